#include "platform/ui/htmlpagebridge.h"

void HtmlPageBridge::elements(const QVariantMap& values) {
    if (onElements) {
        onElements(values);
    }
}

#include "platform/ui/windowsnapshot.h"

#include "platform/ui/qtaccess.h"

#include <QImage>
#include <QString>
#include <QWidget>

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    QWidget* widget = WidgetFromHandle(window);
    if (widget == nullptr) {
        return false;
    }
    return widget->grab().toImage().save(QString::fromStdWString(path));
}

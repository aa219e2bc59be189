#include "platform/ui/icon.h"

#include "platform/ui/windowimpl.h"

#include <QImage>
#include <QPixmap>

#include <map>
#include <mutex>

namespace {

struct IconTable {
    std::mutex mutex;
    std::map<QString, HICON> byName;
    std::map<ULONG_PTR, QImage> images;
    ULONG_PTR next = 0x10000;
};

IconTable& Icons() {
    static IconTable table;
    return table;
}

QString NameOf(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        return QString::number(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return QString::fromWCharArray(name);
}

} // namespace

namespace uiimpl {

QIcon IconOf(HICON icon) {
    QImage image;
    {
        IconTable& table = Icons();
        std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.images.find(reinterpret_cast<ULONG_PTR>(icon));
        if (found == table.images.end()) {
            return QIcon();
        }
        image = found->second;
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace uiimpl

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    const QString key = NameOf(name);
    IconTable& table = Icons();
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.byName.find(key);
        if (found != table.byName.end()) {
            return found->second;
        }
    }
    const QImage image(QStringLiteral(":/icon/%1.png").arg(key));
    if (image.isNull()) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.byName.find(key);
    if (found != table.byName.end()) {
        return found->second;
    }
    const ULONG_PTR handle = table.next;
    table.next += 4;
    table.images[handle] = image;
    const HICON icon = reinterpret_cast<HICON>(handle);
    table.byName[key] = icon;
    return icon;
}

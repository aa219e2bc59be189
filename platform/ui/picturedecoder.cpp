#include "platform/ui/picturedecoder.h"

#include "platform/ui/qtaccess.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdint>

HBITMAP DecodePictureData(const void* data, size_t size, COLORREF transparentKey) {
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT32_MAX)) {
        return nullptr;
    }
    const QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data), static_cast<int>(size));
    QImage image = QImage::fromData(bytes);
    if (image.isNull()) {
        return nullptr;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(GetRValue(transparentKey), GetGValue(transparentKey), GetBValue(transparentKey));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qAlpha(line[x]) < 128 ? key : (line[x] | 0xFF000000u);
        }
    }
    return BitmapFromImage(image.convertToFormat(QImage::Format_RGB32));
}

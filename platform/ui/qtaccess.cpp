#include "platform/ui/qtaccess.h"

#include "platform/ui/gdiimpl.h"
#include "platform/ui/glvideowidget.h"
#include "platform/ui/messagequeue.h"
#include "platform/ui/windowimpl.h"

#include <QPainter>
#include <QWidget>

using namespace uiimpl;

QWidget* WidgetFromHandle(HWND window) {
    const Window* record = Lookup(window);
    return record != nullptr ? record->widget.data() : nullptr;
}

QWidget* InputWidgetFromHandle(HWND window) {
    const Window* record = Lookup(window);
    return record != nullptr && record->host != nullptr ? record->host->InputWidget() : nullptr;
}

HWND HandleFromWidget(const QWidget* widget) {
    return HandleOfWidget(widget);
}

QImage ImageFromBitmap(HBITMAP bitmap) {
    const std::shared_ptr<BitmapObject> found = FindBitmap(bitmap);
    return found != nullptr ? found->image.convertToFormat(QImage::Format_RGB32) : QImage();
}

HBITMAP BitmapFromImage(const QImage& image) {
    return image.isNull() ? nullptr : AddBitmap(image);
}

QImage WindowPicture(HWND window) {
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget || record->host == nullptr) {
        return QImage();
    }
    if (record->video && record->video->isVisible()) {
        return static_cast<GlVideoWidget*>(record->video.data())->Picture();
    }
    if (record->host->PaintsSurface()) {
        FitSurface(*record);
        return record->surface;
    }
    return record->widget->grab().toImage();
}

void PresentToWindow(HWND window, const QImage& picture, const QRect& target) {
    MessageQueue* queue = MessageQueue::Instance();
    if (queue == nullptr || picture.isNull()) {
        return;
    }
    queue->RunLater([window, picture, target] {
        Window* record = Lookup(window);
        if (record == nullptr || record->host == nullptr || !record->widget) {
            return;
        }
        QImage* canvas = nullptr;
        if (record->host->PaintsSurface()) {
            FitSurface(*record);
            canvas = &record->surface;
        } else {
            const QSize size = record->widget->size();
            if (record->overlay.size() != size) {
                record->overlay = QImage(size, QImage::Format_ARGB32_Premultiplied);
                record->overlay.fill(Qt::transparent);
            }
            canvas = &record->overlay;
            record->overlayArea += target;
        }
        if (canvas->isNull()) {
            return;
        }
        {
            QPainter painter(canvas);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, picture);
        }
        record->host->InputWidget()->update(target.translated(-record->host->InputOffset()));
    });
}

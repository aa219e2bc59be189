#include "platform/video/videoscene.h"

#include "platform/video/videodeviceimpl.h"

#include <QColor>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cstring>
#include <utility>

extern "C" {
#include <libavutil/frame.h>
}

void VideoScene::Impl::ClearAround(const QRect& kept) {
    if (!clearPending)
        return;
    clearPending = false;
    const QRect whole = canvas.rect();
    if (!kept.intersects(whole)) {
        canvas.fill(clear);
        return;
    }
    const QRect inside = kept.intersected(whole);
    const QRect bars[4] = {
        QRect(0, 0, whole.width(), inside.top()),
        QRect(0, inside.bottom() + 1, whole.width(), whole.height() - inside.bottom() - 1),
        QRect(0, inside.top(), inside.left(), inside.height()),
        QRect(inside.right() + 1, inside.top(), whole.width() - inside.right() - 1, inside.height()),
    };
    for (const QRect& bar : bars)
        for (int y = bar.top(); y <= bar.bottom() && !bar.isEmpty(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(canvas.scanLine(y)) + bar.left(), bar.width(), clear);
}

QPainter& VideoScene::Impl::Painter() {
    if (!painter) {
        QImage* target = &canvas;
        if (inParts) {
            if (overlay.isNull()) {
                overlay = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
                overlay.fill(Qt::transparent);
            }
            target = &overlay;
        } else {
            ClearAround(QRect());
        }
        painter = std::make_unique<QPainter>(target);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->scale(static_cast<double>(width) / backBufferWidth,
                       static_cast<double>(height) / backBufferHeight);
    }
    return *painter;
}

void VideoScene::Impl::EndPainting() {
    if (painter) {
        painter->end();
        painter.reset();
    }
}

bool VideoScene::Impl::TakeVideo(VideoSurface::Impl& surface, const RECT& source, const RECT& destination) {
    if (video || !overlay.isNull() || !surface.picture || surface.picture->format != AV_PIX_FMT_YUV420P)
        return false;
    SurfacePlanes planes;
    if (!PlanesOfSurface(surface, source, &planes))
        return false;
    PresentedVideo taken;
    taken.owner = surface.picture;
    for (int plane = 0; plane < 3; ++plane) {
        taken.planes[plane] = planes.data[plane];
        taken.pitches[plane] = planes.linesize[plane];
    }
    taken.width = planes.width;
    taken.height = planes.height;
    taken.destination = QRect(destination.left, destination.top, destination.right - destination.left,
                              destination.bottom - destination.top);
    taken.mirrored = planes.mirrored;
    video = std::move(taken);
    return true;
}

bool VideoScene::Impl::Compose() {
    EndPainting();
    inParts = false;
    canvas = canvases->Take(width, height);
    if (canvas.isNull())
        return false;
    if (video) {
        ClearAround(video->destination);
        scaler->ToCanvas(*video, canvas);
        video.reset();
    }
    ClearAround(QRect());
    if (!overlay.isNull()) {
        QPainter over(&canvas);
        over.drawImage(QPoint(0, 0), overlay);
        overlay = QImage();
    }
    return true;
}

VideoScene::VideoScene(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
VideoScene::~VideoScene() {
    m_impl->EndPainting();
}

int VideoScene::Width() const {
    return m_impl->width;
}
int VideoScene::Height() const {
    return m_impl->height;
}

HRESULT VideoScene::StretchRect(VideoSurface& surface, const RECT& source, const RECT& destination) {
    VideoSurface::Impl& pixels = surface.GetImpl();
    if (source.left < 0 || source.top < 0 || source.right > pixels.width || source.bottom > pixels.height ||
        source.right <= source.left || source.bottom <= source.top)
        return D3DERR_INVALIDCALL;
    if (destination.left < 0 || destination.top < 0 || destination.right > m_impl->width ||
        destination.bottom > m_impl->height || destination.right <= destination.left ||
        destination.bottom <= destination.top)
        return D3DERR_INVALIDCALL;
    std::lock_guard<std::mutex> guard(pixels.lock);
    if (m_impl->inParts) {
        if (m_impl->TakeVideo(pixels, source, destination))
            return S_OK;
        if (!m_impl->Compose())
            return E_OUTOFMEMORY;
    }
    QImage& canvas = m_impl->canvas;
    // The scaler writes straight into the canvas, so no painter may hold it meanwhile.
    m_impl->EndPainting();
    m_impl->ClearAround(QRect(destination.left, destination.top, destination.right - destination.left,
                              destination.bottom - destination.top));

    const int pitch = static_cast<int>(canvas.bytesPerLine());
    std::uint8_t* target = canvas.bits() + static_cast<std::size_t>(destination.top) * pitch +
                           static_cast<std::size_t>(destination.left) * 4;
    const int width = destination.right - destination.left;
    const int height = destination.bottom - destination.top;
    if (pixels.picture && m_impl->placements) {
        m_impl->placements->Remember(PlacementMemory::Placement{m_impl->width, m_impl->height, pixels.width,
                                                                pixels.height, source, width, height});
        if (const VideoSurface::Impl::Prepared* prepared = PreparedFor(pixels, source, width, height)) {
            for (int row = 0; row < height; ++row)
                std::memcpy(target + static_cast<std::size_t>(row) * pitch,
                            prepared->pixels->data() + static_cast<std::size_t>(row) * prepared->pitch,
                            static_cast<std::size_t>(width) * 4);
            return S_OK;
        }
    }
    SurfacePlanes planes;
    if (!PlanesOfSurface(pixels, source, &planes))
        return D3DERR_INVALIDCALL;
    // A destination as wide as the canvas may spill into the canvas's own row slack.
    const bool fullRows = destination.left == 0 && destination.right == canvas.width() && !planes.mirrored;
    const bool done = fullRows ? m_impl->scaler->ToBgraWithSlack(planes, target, pitch, width, height)
                               : m_impl->scaler->ToBgra(planes, target, pitch, width, height);
    return done ? S_OK : E_FAIL;
}

HRESULT VideoScene::DrawLines(const std::vector<VideoPoint>& points, float width, D3DCOLOR colour) {
    if (points.size() < 2)
        return E_INVALIDARG;
    QPolygonF line;
    line.reserve(static_cast<int>(points.size()));
    for (const VideoPoint& point : points)
        line.append(QPointF(point.x, point.y));
    QPen pen(QColor::fromRgba(colour));
    pen.setWidthF(width < 1.0f ? 1.0 : width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    QPainter& painter = m_impl->Painter();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
    return S_OK;
}

HRESULT VideoScene::DrawText(const VideoFont& font, const std::wstring& text, const RECT& rect,
                             D3DCOLOR colour) {
    if (!CanRenderText())
        return E_FAIL;
    QPainter& painter = m_impl->Painter();
    painter.setFont(font.GetImpl().font);
    painter.setPen(QColor::fromRgba(colour));
    painter.drawText(QRectF(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                     Qt::AlignLeft | Qt::AlignTop, QString::fromStdWString(text));
    return S_OK;
}

HRESULT VideoScene::DrawTexture(const VideoTexture& texture, float x, float y, BYTE alpha) {
    const QImage& image = texture.GetImpl().image;
    QPainter& painter = m_impl->Painter();
    painter.save();
    painter.setOpacity(alpha / 255.0);
    painter.drawImage(QRectF(x, y, image.width(), image.height()), image);
    painter.restore();
    return S_OK;
}

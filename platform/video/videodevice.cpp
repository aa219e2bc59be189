#include "platform/video/videodevice.h"

#include "platform/video/presentedpictureqt.h"
#include "platform/video/videodeviceimpl.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

BYTE ClampByte(double value) {
    return static_cast<BYTE>(std::clamp(std::lround(value), 0L, 255L));
}

// BT.601 video range, the conversion the scaler undoes.
void YuvOf(D3DCOLOR colour, BYTE* y, BYTE* u, BYTE* v) {
    const double r = (colour >> 16) & 0xFF;
    const double g = (colour >> 8) & 0xFF;
    const double b = colour & 0xFF;
    *y = ClampByte(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255);
    *u = ClampByte(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
    *v = ClampByte(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
}

void FillRows(std::uint8_t* bytes, int pitch, int rows, int rowBytes, const BYTE* pattern, int patternSize) {
    for (int row = 0; row < rows; ++row) {
        std::uint8_t* line = bytes + static_cast<std::size_t>(row) * pitch;
        for (int offset = 0; offset + patternSize <= rowBytes; offset += patternSize)
            std::memcpy(line + offset, pattern, static_cast<std::size_t>(patternSize));
    }
}

HRESULT CopyRows(const QImage& image, BYTE* buffer, std::size_t size, int pitch) {
    const int width = image.width();
    const int height = image.height();
    if (!buffer)
        return E_POINTER;
    if (pitch < width * 4 ||
        size < static_cast<std::size_t>(pitch) * (height - 1) + static_cast<std::size_t>(width) * 4)
        return E_INVALIDARG;
    for (int row = 0; row < height; ++row)
        std::memcpy(buffer + static_cast<std::size_t>(row) * pitch, image.constScanLine(row),
                    static_cast<std::size_t>(width) * 4);
    return S_OK;
}

void Fill(VideoSurface::Impl& pixels, std::uint8_t* bytes, D3DCOLOR colour) {
    const int rowBytes = pixels.width * SurfaceBytesPerPixel(pixels.format);
    const BYTE red = (colour >> 16) & 0xFF;
    const BYTE green = (colour >> 8) & 0xFF;
    const BYTE blue = colour & 0xFF;
    BYTE y, u, v;
    YuvOf(colour, &y, &u, &v);
    switch (pixels.format) {
    case D3DFMT_YUY2: {
        const BYTE pattern[4] = {y, u, y, v};
        FillRows(bytes, pixels.pitch, pixels.height, rowBytes, pattern, 4);
        break;
    }
    case D3DFMT_UYVY: {
        const BYTE pattern[4] = {u, y, v, y};
        FillRows(bytes, pixels.pitch, pixels.height, rowBytes, pattern, 4);
        break;
    }
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: {
        const BYTE pattern[4] = {blue, green, red, static_cast<BYTE>(colour >> 24)};
        FillRows(bytes, pixels.pitch, pixels.height, rowBytes, pattern, 4);
        break;
    }
    case D3DFMT_R5G6B5: {
        const WORD value = static_cast<WORD>((red >> 3) << 11 | (green >> 2) << 5 | blue >> 3);
        const BYTE pattern[2] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>(value >> 8)};
        FillRows(bytes, pixels.pitch, pixels.height, rowBytes, pattern, 2);
        break;
    }
    case D3DFMT_X1R5G5B5: {
        const WORD value = static_cast<WORD>(0x8000 | (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3);
        const BYTE pattern[2] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>(value >> 8)};
        FillRows(bytes, pixels.pitch, pixels.height, rowBytes, pattern, 2);
        break;
    }
    case D3DFMT_YV12: {
        const std::size_t luma = static_cast<std::size_t>(pixels.pitch) * pixels.height;
        const std::size_t chroma = luma / 4;
        std::memset(bytes, y, luma);
        std::memset(bytes + luma, v, chroma);
        std::memset(bytes + luma + chroma, u, chroma);
        break;
    }
    case D3DFMT_NV12: {
        const std::size_t luma = static_cast<std::size_t>(pixels.pitch) * pixels.height;
        std::memset(bytes, y, luma);
        const BYTE pattern[2] = {u, v};
        FillRows(bytes + luma, pixels.pitch, pixels.height / 2, rowBytes, pattern, 2);
        break;
    }
    default:
        break;
    }
}

} // namespace

namespace {

// A new reference to the frame's buffers, freed with its last owner; null without memory for it.
std::shared_ptr<const AVFrame> SharedReference(const AVFrame& frame) {
    AVFrame* reference = av_frame_clone(&frame);
    if (!reference)
        return nullptr;
    return std::shared_ptr<const AVFrame>(reference, [](const AVFrame* held) {
        AVFrame* freed = const_cast<AVFrame*>(held);
        av_frame_free(&freed);
    });
}

// The picture at the surface's size in the surface's format (YUY2), mirrored by pixel pairs.
void ConvertPicture(const AVFrame& frame, bool mirrored, const VideoSurface::Impl& surface,
                    std::uint8_t* bytes) {
    SwsContext* context = sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format),
                                         surface.width, surface.height, PixelFormatOfSurface(surface.format),
                                         SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!context)
        return;
    std::uint8_t* const planes[4] = {bytes, nullptr, nullptr, nullptr};
    const int pitches[4] = {surface.pitch, 0, 0, 0};
    sws_scale(context, frame.data, frame.linesize, 0, frame.height, planes, pitches);
    sws_freeContext(context);
    if (!mirrored)
        return;
    for (int row = 0; row < surface.height; ++row) {
        auto* pairs = reinterpret_cast<std::uint32_t*>(bytes + static_cast<std::size_t>(row) * surface.pitch);
        std::reverse(pairs, pairs + surface.width / 2);
        // Within a pair the two luma samples change places (Y0 U Y1 V).
        for (int pair = 0; pair < surface.width / 2; ++pair) {
            std::uint8_t* sample = reinterpret_cast<std::uint8_t*>(pairs + pair);
            std::swap(sample[0], sample[2]);
        }
    }
}

VideoSurface::Impl::Bytes NewBytes(const VideoSurface::Impl& surface) {
    // Readers fetch whole vectors, a little past the last pixel.
    return std::make_shared<std::vector<std::uint8_t>>(surface.dataSize +
                                                       2 * static_cast<std::size_t>(surface.pitch) + 256);
}

} // namespace

const std::uint8_t* SurfaceBytesToRead(VideoSurface::Impl& surface) {
    if (!surface.bytes) {
        surface.bytes = NewBytes(surface);
        if (surface.pendingFill)
            Fill(surface, surface.bytes->data(), *surface.pendingFill);
        surface.pendingFill.reset();
    }
    return surface.bytes->data();
}

std::uint8_t* SurfaceBytesToWrite(VideoSurface::Impl& surface, bool discard) {
    if (surface.picture) {
        // The picture becomes bytes only for a writer that keeps what it does not overwrite.
        std::shared_ptr<const AVFrame> picture = std::move(surface.picture);
        if (!surface.bytes || surface.bytes.use_count() > 1)
            surface.bytes = NewBytes(surface);
        if (!discard)
            ConvertPicture(*picture, surface.mirrored, surface, surface.bytes->data());
        return surface.bytes->data();
    }
    SurfaceBytesToRead(surface);
    if (surface.bytes.use_count() > 1) {
        VideoSurface::Impl::Bytes own =
            surface.spare && surface.spare.use_count() == 1 ? std::move(surface.spare) : NewBytes(surface);
        if (!discard)
            *own = *surface.bytes;
        surface.spare = std::move(surface.bytes);
        surface.bytes = std::move(own);
    }
    return surface.bytes->data();
}

VideoDevice::VideoDevice(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
VideoDevice::~VideoDevice() = default;

HRESULT VideoDevice::Create(HWND window, int backBufferWidth, int backBufferHeight,
                            std::unique_ptr<VideoDevice>* device) {
    if (!device)
        return E_POINTER;
    device->reset();
    if (TakeDeviceCreationFailure() || !window || !FindPresentationTarget(window))
        return E_FAIL;
    auto impl = std::make_unique<Impl>();
    impl->window = window;
    impl->backBufferWidth = backBufferWidth;
    impl->backBufferHeight = backBufferHeight;
    impl->lossGeneration = CurrentLossGeneration();
    device->reset(new VideoDevice(std::move(impl)));
    return S_OK;
}

HWND VideoDevice::Window() const {
    return m_impl->window;
}
int VideoDevice::BackBufferWidth() const {
    return m_impl->backBufferWidth;
}
int VideoDevice::BackBufferHeight() const {
    return m_impl->backBufferHeight;
}

HRESULT VideoDevice::TestCooperativeLevel() const {
    return CurrentLossGeneration() != m_impl->lossGeneration ? D3DERR_DEVICELOST : S_OK;
}

HRESULT VideoDevice::CheckDeviceFormat(D3DFORMAT format) const {
    return PixelFormatOfSurface(format) == AV_PIX_FMT_NONE || IsSurfaceFormatRefused(format)
               ? D3DERR_NOTAVAILABLE
               : S_OK;
}

HRESULT VideoDevice::CreateOffscreenPlainSurface(int width, int height, D3DFORMAT format,
                                                 std::unique_ptr<VideoSurface>* surface) const {
    if (!surface)
        return E_POINTER;
    surface->reset();
    if (CheckDeviceFormat(format) != S_OK)
        return D3DERR_NOTAVAILABLE;
    const bool planar = format == D3DFMT_YV12 || format == D3DFMT_NV12;
    const bool pairs = planar || format == D3DFMT_YUY2 || format == D3DFMT_UYVY;
    if (width < 1 || height < 1 || (pairs && width % 2 != 0) || (planar && height % 2 != 0))
        return D3DERR_INVALIDCALL;
    auto impl = std::make_unique<VideoSurface::Impl>();
    impl->width = width;
    impl->height = height;
    impl->format = format;
    impl->pitch = width * SurfaceBytesPerPixel(format);
    impl->dataSize = static_cast<std::size_t>(impl->pitch) * height * (planar ? 3 : 2) / 2;
    surface->reset(new VideoSurface(std::move(impl)));
    return S_OK;
}

HRESULT VideoDevice::ColorFill(VideoSurface& surface, D3DCOLOR colour) const {
    VideoSurface::Impl& pixels = surface.GetImpl();
    if (SurfaceBytesPerPixel(pixels.format) == 0)
        return D3DERR_INVALIDCALL;
    std::lock_guard<std::mutex> guard(pixels.lock);
    pixels.picture.reset();
    if (!pixels.bytes)
        pixels.pendingFill = colour;
    else
        Fill(pixels, SurfaceBytesToWrite(pixels, true), colour);
    return S_OK;
}

HRESULT VideoDevice::UpdateSurface(VideoSurface& source, VideoSurface& target) const {
    VideoSurface::Impl& from = source.GetImpl();
    VideoSurface::Impl& to = target.GetImpl();
    if (&from == &to || from.width != to.width || from.height != to.height || from.format != to.format)
        return D3DERR_INVALIDCALL;
    VideoSurface::Impl::Bytes bytes;
    std::shared_ptr<const AVFrame> picture;
    bool mirrored = false;
    {
        std::lock_guard<std::mutex> guard(from.lock);
        if (!from.picture)
            SurfaceBytesToRead(from);
        bytes = from.bytes;
        picture = from.picture;
        mirrored = from.mirrored;
    }
    std::lock_guard<std::mutex> guard(to.lock);
    to.bytes = std::move(bytes);
    to.picture = std::move(picture);
    to.mirrored = mirrored;
    to.pendingFill.reset();
    return S_OK;
}

HRESULT VideoDevice::SetSurfacePicture(VideoSurface& surface, const AVFrame* frame, bool mirrored) const {
    VideoSurface::Impl& pixels = surface.GetImpl();
    if (!frame || !frame->data[0] || frame->width < 1 || frame->height < 1 ||
        !av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format)) || pixels.format != D3DFMT_YUY2)
        return D3DERR_INVALIDCALL;
    const std::shared_ptr<const AVFrame> picture = SharedReference(*frame);
    if (!picture)
        return E_OUTOFMEMORY;
    std::optional<PictureAhead> ahead;
    {
        std::lock_guard<std::mutex> guard(m_impl->aheadLock);
        ahead.swap(m_impl->ahead);
    }
    const bool same = ahead && ahead->mirrored == mirrored && ahead->frame->buf[0] && frame->buf[0] &&
                      ahead->frame->buf[0]->data == frame->buf[0]->data &&
                      std::equal(frame->data, frame->data + 3, ahead->frame->data) &&
                      std::equal(frame->linesize, frame->linesize + 3, ahead->frame->linesize) &&
                      ahead->placement.surfaceWidth == pixels.width &&
                      ahead->placement.surfaceHeight == pixels.height;
    std::lock_guard<std::mutex> guard(pixels.lock);
    pixels.picture = picture;
    pixels.mirrored = mirrored;
    pixels.pendingFill.reset();
    // The bytes are not needed while a picture stands in for them.
    pixels.bytes.reset();
    pixels.spare.reset();
    if (pixels.prepared && pixels.prepared->pixels.use_count() == 1) {
        std::lock_guard<std::mutex> spare(m_impl->aheadLock);
        m_impl->spareAhead = std::move(pixels.prepared->pixels);
    }
    pixels.prepared.reset();
    if (same) {
        VideoSurface::Impl::Prepared prepared;
        prepared.of = picture;
        prepared.source = ahead->placement.source;
        prepared.width = ahead->placement.width;
        prepared.height = ahead->placement.height;
        prepared.pitch = ahead->pitch;
        prepared.pixels = std::move(ahead->pixels);
        pixels.prepared = std::move(prepared);
    }
    return S_OK;
}

void VideoDevice::PreparePicture(const AVFrame* frame, bool mirrored) const {
    const std::optional<PlacementMemory::Placement> placement = m_impl->placements->Last();
    if (!placement || !frame || !frame->buf[0] || frame->format != AV_PIX_FMT_YUV420P)
        return;
    // Not for a window hidden since, or of another size now: nobody would see the result.
    const RECT client = GetClientRect();
    if (client.right != placement->clientWidth || client.bottom != placement->clientHeight)
        return;
    std::shared_ptr<const AVFrame> picture = SharedReference(*frame);
    if (!picture || !picture->data[0])
        return;
    // The rectangle of the frame the place shows, found as on a surface of the place's size.
    VideoSurface::Impl view;
    view.width = placement->surfaceWidth;
    view.height = placement->surfaceHeight;
    view.format = D3DFMT_YUY2;
    view.picture = picture;
    view.mirrored = mirrored;
    SurfacePlanes planes;
    // Converting ahead pays where the picture shrinks a lot: all its planes are read for a small
    // result, whose copy when shown costs little. Near the frame's size the copy costs what the
    // cache saves.
    if (!PlanesOfSurface(view, placement->source, &planes) ||
        static_cast<std::int64_t>(placement->width) * placement->height * 4 >
            static_cast<std::int64_t>(planes.width) * planes.height)
        return;
    std::shared_ptr<std::vector<std::uint8_t>> pixels;
    {
        std::lock_guard<std::mutex> guard(m_impl->aheadLock);
        pixels.swap(m_impl->spareAhead);
        // A picture converted ahead but never handed over gives its memory to this one.
        if (!pixels && m_impl->ahead)
            pixels = std::move(m_impl->ahead->pixels);
        m_impl->ahead.reset();
    }
    const int pitch = PitchWithSlack(placement->width);
    if (!pixels)
        pixels = std::make_shared<std::vector<std::uint8_t>>();
    pixels->resize(static_cast<std::size_t>(pitch) * (placement->height + kSlackRows));
    const bool converted = planes.mirrored
                               ? m_impl->preparingScaler.ToBgra(planes, pixels->data(), pitch,
                                                                placement->width, placement->height)
                               : m_impl->preparingScaler.ToBgraWithSlack(planes, pixels->data(), pitch,
                                                                         placement->width, placement->height);
    if (!converted)
        return;
    std::lock_guard<std::mutex> guard(m_impl->aheadLock);
    m_impl->ahead = PictureAhead{std::move(picture), mirrored, *placement, pitch, std::move(pixels)};
}

RECT VideoDevice::GetClientRect() const {
    RECT client;
    if (const std::shared_ptr<IPresentationTarget> target = FindPresentationTarget(m_impl->window)) {
        const SIZE size = target->ClientSize();
        client.right = std::max<LONG>(0, size.cx);
        client.bottom = std::max<LONG>(0, size.cy);
    }
    return client;
}

HRESULT VideoDevice::BeginScene(D3DCOLOR clear, std::unique_ptr<VideoScene>* scene) const {
    if (!scene)
        return E_POINTER;
    scene->reset();
    const RECT client = GetClientRect();
    if (client.right < 1 || client.bottom < 1) {
        // Nothing is shown: no picture is converted ahead for it either.
        m_impl->placements->Forget();
        return D3DERR_INVALIDCALL;
    }
    auto impl = std::make_unique<VideoScene::Impl>();
    impl->width = client.right;
    impl->height = client.bottom;
    const std::shared_ptr<IPresentationTarget> target = FindPresentationTarget(m_impl->window);
    impl->inParts = target && target->DrawsScenes();
    impl->canvases = m_impl->canvases;
    if (impl->inParts)
        m_impl->placements->Forget();
    else
        impl->placements = m_impl->placements;
    if (!impl->inParts) {
        impl->canvas = m_impl->canvases->Take(client.right, client.bottom);
        if (impl->canvas.isNull())
            return E_OUTOFMEMORY;
    }
    impl->clear = clear | 0xFF000000u;
    const bool backBuffer = m_impl->backBufferWidth > 0 && m_impl->backBufferHeight > 0;
    impl->backBufferWidth = backBuffer ? m_impl->backBufferWidth : client.right;
    impl->backBufferHeight = backBuffer ? m_impl->backBufferHeight : client.bottom;
    impl->scaler = &m_impl->sceneScaler;
    scene->reset(new VideoScene(std::move(impl)));
    return S_OK;
}

HRESULT VideoDevice::Present(std::unique_ptr<VideoScene> scene) {
    if (!scene)
        return D3DERR_INVALIDCALL;
    if (TestCooperativeLevel() != S_OK)
        return D3DERR_DEVICELOST;
    VideoScene::Impl& composed = scene->GetImpl();
    composed.EndPainting();
    PresentedPicture picture;
    if (composed.inParts) {
        picture = PresentedPictureFromParts(QSize(composed.width, composed.height), composed.clear,
                                            std::move(composed.video), std::move(composed.overlay));
    } else {
        composed.ClearAround(QRect());
        picture = PresentedPictureFromImage(std::move(composed.canvas));
    }
    {
        std::lock_guard<std::mutex> guard(m_impl->lastLock);
        m_impl->lastPresented = picture;
    }
    if (const std::shared_ptr<IPresentationTarget> target = FindPresentationTarget(m_impl->window))
        target->Present(picture);
    return S_OK;
}

HRESULT VideoDevice::GetSurfaceData(VideoSurface& surface, BYTE* buffer, std::size_t size, int pitch) const {
    VideoSurface::Impl& pixels = surface.GetImpl();
    if (!buffer)
        return E_POINTER;
    if (pitch < pixels.width * 4 || size < static_cast<std::size_t>(pitch) * (pixels.height - 1) +
                                               static_cast<std::size_t>(pixels.width) * 4)
        return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(pixels.lock);
    SurfacePlanes planes;
    if (!PlanesOfSurface(pixels, RECT{0, 0, pixels.width, pixels.height}, &planes))
        return D3DERR_INVALIDCALL;
    return m_impl->captureScaler.ToBgra(planes, buffer, pitch, pixels.width, pixels.height) ? S_OK : E_FAIL;
}

HRESULT VideoDevice::GetRenderTargetData(BYTE* buffer, std::size_t size, int pitch) const {
    PresentedPicture presented;
    {
        std::lock_guard<std::mutex> guard(m_impl->lastLock);
        presented = m_impl->lastPresented;
    }
    // A picture presented in its parts is composed here, once, as only a capture needs its pixels.
    const QImage last = ImageOfPresentedPicture(presented);
    if (last.isNull())
        return D3DERR_INVALIDCALL;
    const int width = m_impl->backBufferWidth > 0 ? m_impl->backBufferWidth : last.width();
    const int height = m_impl->backBufferHeight > 0 ? m_impl->backBufferHeight : last.height();
    const QImage backBuffer = last.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_RGB32);
    return CopyRows(backBuffer, buffer, size, pitch);
}

int GetDisplayBitsPerPixel() {
    int depth = DisplayBitsPerPixelOverride();
    if (!depth) {
        const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        const QScreen* screen = application ? QGuiApplication::primaryScreen() : nullptr;
        depth = screen ? screen->depth() : 32;
    }
    // 24-bit desktops hold their pixels in 32 bits.
    return depth >= 24 ? 32 : depth;
}

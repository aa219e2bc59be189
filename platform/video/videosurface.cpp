#include "platform/video/videosurface.h"

#include "platform/video/videodeviceimpl.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstdint>
#include <utility>

VideoSurface::VideoSurface(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
VideoSurface::~VideoSurface() = default;

int VideoSurface::Width() const {
    return m_impl->width;
}
int VideoSurface::Height() const {
    return m_impl->height;
}
D3DFORMAT VideoSurface::Format() const {
    return m_impl->format;
}

HRESULT VideoSurface::LockRect(D3DLOCKED_RECT* locked, DWORD flags) {
    if (!locked)
        return D3DERR_INVALIDCALL;
    m_impl->lock.lock();
    locked->Pitch = m_impl->pitch;
    locked->pBits = SurfaceBytesToWrite(*m_impl, (flags & D3DLOCK_DISCARD) != 0);
    return S_OK;
}

HRESULT VideoSurface::UnlockRect() {
    m_impl->lock.unlock();
    return S_OK;
}

int SurfaceBytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_YUY2:
    case D3DFMT_UYVY:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
        return 2;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_YV12:
    case D3DFMT_NV12:
        return 1;
    default:
        return 0;
    }
}

AVPixelFormat PixelFormatOfSurface(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_YUY2:
        return AV_PIX_FMT_YUYV422;
    case D3DFMT_UYVY:
        return AV_PIX_FMT_UYVY422;
    case D3DFMT_A8R8G8B8:
        return AV_PIX_FMT_BGRA;
    case D3DFMT_X8R8G8B8:
        return AV_PIX_FMT_BGR0;
    case D3DFMT_R5G6B5:
        return AV_PIX_FMT_RGB565LE;
    case D3DFMT_X1R5G5B5:
        return AV_PIX_FMT_RGB555LE;
    case D3DFMT_YV12:
        return AV_PIX_FMT_YUV420P;
    case D3DFMT_NV12:
        return AV_PIX_FMT_NV12;
    default:
        return AV_PIX_FMT_NONE;
    }
}

namespace {

// The rectangle of the surface in its decoded picture, which may be of another size and is read
// mirrored when the surface is.
bool PlanesOfPicture(const VideoSurface::Impl& surface, int left, int top, int right, int bottom,
                     SurfacePlanes* planes) {
    const AVFrame& frame = *surface.picture;
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    if (!layout)
        return false;
    if (surface.mirrored) {
        const int mirroredLeft = surface.width - right;
        right = surface.width - left;
        left = mirroredLeft;
    }
    const auto scaled = [](int value, int from, int to, bool up) {
        const std::int64_t product = static_cast<std::int64_t>(value) * to;
        return static_cast<int>(up ? (product + from - 1) / from : product / from);
    };
    int frameLeft = scaled(left, surface.width, frame.width, false);
    int frameTop = scaled(top, surface.height, frame.height, false);
    const int frameRight = std::min(frame.width, scaled(right, surface.width, frame.width, true));
    const int frameBottom = std::min(frame.height, scaled(bottom, surface.height, frame.height, true));
    // Chroma is shared by pixel (and row) groups: the corner moves onto their grid.
    frameLeft &= ~((1 << layout->log2_chroma_w) - 1);
    frameTop &= ~((1 << layout->log2_chroma_h) - 1);
    if (frameRight <= frameLeft || frameBottom <= frameTop)
        return false;

    *planes = SurfacePlanes{};
    planes->format = static_cast<AVPixelFormat>(frame.format);
    planes->width = frameRight - frameLeft;
    planes->height = frameBottom - frameTop;
    planes->mirrored = surface.mirrored;
    std::size_t offsets[4] = {};
    for (int component = 0; component < layout->nb_components; ++component) {
        const AVComponentDescriptor& sample = layout->comp[component];
        const bool chroma = component == 1 || component == 2;
        const int x = chroma ? frameLeft >> layout->log2_chroma_w : frameLeft;
        const int y = chroma ? frameTop >> layout->log2_chroma_h : frameTop;
        offsets[sample.plane] = static_cast<std::size_t>(y) * frame.linesize[sample.plane] +
                                static_cast<std::size_t>(x) * sample.step;
    }
    for (int plane = 0; plane < 4 && frame.data[plane]; ++plane) {
        planes->data[plane] = frame.data[plane] + offsets[plane];
        planes->linesize[plane] = frame.linesize[plane];
    }
    return true;
}

} // namespace

const VideoSurface::Impl::Prepared* PreparedFor(const VideoSurface::Impl& surface, const RECT& source,
                                                int width, int height) {
    const std::optional<VideoSurface::Impl::Prepared>& prepared = surface.prepared;
    if (!prepared || !surface.picture || prepared->width != width || prepared->height != height ||
        prepared->source.left != source.left || prepared->source.top != source.top ||
        prepared->source.right != source.right || prepared->source.bottom != source.bottom)
        return nullptr;
    // The same picture: the weak reference shares its owner, which it keeps from being reused.
    const std::weak_ptr<const AVFrame>& of = prepared->of;
    if (of.owner_before(surface.picture) || surface.picture.owner_before(of))
        return nullptr;
    return &*prepared;
}

bool PlanesOfSurface(VideoSurface::Impl& surface, const RECT& rect, SurfacePlanes* planes) {
    int left = std::max<int>(0, rect.left);
    int top = std::max<int>(0, rect.top);
    const int right = std::min<int>(surface.width, rect.right);
    const int bottom = std::min<int>(surface.height, rect.bottom);
    if (surface.picture)
        return right > left && bottom > top && PlanesOfPicture(surface, left, top, right, bottom, planes);
    const bool planar = surface.format == D3DFMT_YV12 || surface.format == D3DFMT_NV12;
    const bool pairs = planar || surface.format == D3DFMT_YUY2 || surface.format == D3DFMT_UYVY;
    // Chroma is shared by pixel pairs (and row pairs in the planar formats).
    if (pairs)
        left &= ~1;
    if (planar)
        top &= ~1;
    if (right <= left || bottom <= top)
        return false;

    *planes = SurfacePlanes{};
    planes->format = PixelFormatOfSurface(surface.format);
    planes->width = right - left;
    planes->height = bottom - top;
    const std::uint8_t* base = SurfaceBytesToRead(surface);
    const int pitch = surface.pitch;
    if (!planar) {
        planes->data[0] = base + static_cast<std::size_t>(top) * pitch +
                          static_cast<std::size_t>(left) * SurfaceBytesPerPixel(surface.format);
        planes->linesize[0] = pitch;
        return true;
    }
    const std::uint8_t* chroma = base + static_cast<std::size_t>(pitch) * surface.height;
    planes->data[0] = base + static_cast<std::size_t>(top) * pitch + left;
    planes->linesize[0] = pitch;
    if (surface.format == D3DFMT_NV12) {
        planes->data[1] = chroma + static_cast<std::size_t>(top / 2) * pitch + left;
        planes->linesize[1] = pitch;
        return true;
    }
    // YV12 keeps V before U.
    const int chromaPitch = pitch / 2;
    const std::size_t chromaOffset = static_cast<std::size_t>(top / 2) * chromaPitch + left / 2;
    const std::uint8_t* vPlane = chroma;
    const std::uint8_t* uPlane = chroma + static_cast<std::size_t>(chromaPitch) * (surface.height / 2);
    planes->data[1] = uPlane + chromaOffset;
    planes->data[2] = vPlane + chromaOffset;
    planes->linesize[1] = planes->linesize[2] = chromaPitch;
    return true;
}

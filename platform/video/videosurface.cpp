#include "platform/video/videosurface.h"

#include "platform/video/videodeviceimpl.h"

#include <algorithm>
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

bool PlanesOfSurface(VideoSurface::Impl& surface, const RECT& rect, SurfacePlanes* planes) {
    int left = std::max<int>(0, rect.left);
    int top = std::max<int>(0, rect.top);
    const int right = std::min<int>(surface.width, rect.right);
    const int bottom = std::min<int>(surface.height, rect.bottom);
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

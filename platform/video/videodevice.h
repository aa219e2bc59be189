#pragma once
// The video device of one window: the software stand-in for a Direct3D 9 device. It makes
// surfaces in the formats the renderer uploads, composes scenes at the window's client size and
// hands each presented picture to the window's presentation target (presentationtarget.h); a
// target that draws scenes itself (with OpenGL) is handed their parts instead, uncomposed. Every
// operation may be called from any thread. A device is lost only when a test says so
// (videotesthooks.h); a lost device stays lost, as the renderer replaces it rather than reset it.

#include "platform/base/windowsystem.h"
#include "platform/video/videotypes.h"

#include <cstddef>
#include <memory>

class VideoScene;
class VideoSurface;
struct AVFrame;

class VideoDevice {
  public:
    // E_FAIL when the window has no presentation target (there is no device for it). The back
    // buffer size is the coordinate space of overlays; a size below 1 x 1 takes the client size.
    static HRESULT Create(HWND window, int backBufferWidth, int backBufferHeight,
                          std::unique_ptr<VideoDevice>* device);
    ~VideoDevice();
    VideoDevice(const VideoDevice&) = delete;
    VideoDevice& operator=(const VideoDevice&) = delete;

    HWND Window() const;
    int BackBufferWidth() const;
    int BackBufferHeight() const;

    // S_OK, or D3DERR_DEVICELOST.
    HRESULT TestCooperativeLevel() const;
    // S_OK when surfaces of the format can be made and shown, else D3DERR_NOTAVAILABLE.
    HRESULT CheckDeviceFormat(D3DFORMAT format) const;
    // D3DERR_NOTAVAILABLE for a format the device does not take; D3DERR_INVALIDCALL for a size
    // below 1 x 1, or an odd width (odd height too for YV12 and NV12) in a YUV format.
    HRESULT CreateOffscreenPlainSurface(int width, int height, D3DFORMAT format,
                                        std::unique_ptr<VideoSurface>* surface) const;
    // The whole surface in one colour (converted to the surface's format).
    HRESULT ColorFill(VideoSurface& surface, D3DCOLOR colour) const;
    // The target holds the source's picture from now on; both of the same size and format, which
    // may belong to another device. The picture is shared, not copied, until one of them is written.
    HRESULT UpdateSurface(VideoSurface& source, VideoSurface& target) const;
    // The YUY2 surface holds the decoded picture from now on, as if it had been converted into it
    // at the surface's size (and mirrored left to right when asked): presenting scales it straight
    // to the window, and only a lock that keeps the surface's bytes converts it at full size. The
    // picture's planes are referenced, not copied. D3DERR_INVALIDCALL for another surface format or
    // a frame without picture.
    HRESULT SetSurfacePicture(VideoSurface& surface, const AVFrame* frame, bool mirrored) const;
    // Converts a picture just decoded, while its planes are still in the processor's cache, for the
    // place where this device last showed a picture much smaller than the frame; the next
    // SetSurfacePicture of the same picture takes the result, so that showing it only copies.
    // Nothing happens without such a place (a window hidden, or drawn with OpenGL).
    void PreparePicture(const AVFrame* frame, bool mirrored) const;

    // The window's client rectangle now; empty when it has none or is gone.
    RECT GetClientRect() const;

    // A scene of the client area's size, cleared to the colour. D3DERR_INVALIDCALL while the window
    // has no client area.
    HRESULT BeginScene(D3DCOLOR clear, std::unique_ptr<VideoScene>* scene) const;
    // Hands the finished scene to the window. D3DERR_DEVICELOST (and nothing shown) when lost.
    HRESULT Present(std::unique_ptr<VideoScene> scene);

    // The surface converted to 32-bit pixels in B, G, R, X byte order (YUV as BT.601 video range):
    // height rows of width * 4 bytes at the pitch. E_POINTER without a buffer; E_INVALIDARG when the
    // pitch is below width * 4 or the buffer of size bytes cannot hold the rows (nothing written).
    HRESULT GetSurfaceData(VideoSurface& surface, BYTE* buffer, std::size_t size, int pitch) const;
    // The back buffer as the last presentation left it, scaled from the client size, in the same
    // form; D3DERR_INVALIDCALL before the first presentation.
    HRESULT GetRenderTargetData(BYTE* buffer, std::size_t size, int pitch) const;

    struct Impl;

  private:
    explicit VideoDevice(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
};

// The desktop's bits per pixel, as the renderer's RGB fallback asks the screen: 32 on every
// 24- or 32-bit desktop.
int GetDisplayBitsPerPixel();

#pragma once
// The video renderer of one channel in one window: a double buffer of video surfaces on the
// window's video device, the picture stretched into the window (keeping its aspect ratio in mode 0,
// filling the window otherwise), the overlays over it, and copies of the shown picture for captures.
// Uploads come from a channel's video thread, presentations from the engine's event thread and the
// user-interface thread, overlay changes and captures from the user-interface thread.

#include "platform/video/videodevice.h"
#include "platform/video/videosurface.h"
#include "viewer/engine/irenderable.h"
#include "viewer/engine/overlaystore.h"
#include "viewer/engine/videostate.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

// The rectangle, shrunk on two sides to the picture's aspect ratio and centred.
RECT AspectFitRect(RECT rect, int pictureWidth, int pictureHeight);

class D3D9RenderImpl : public IRenderable {
  public:
    D3D9RenderImpl();
    ~D3D9RenderImpl() override;

    HRESULT Initialize(HWND window, BOOL windowed) override;
    HRESULT CheckFormatConversion(D3DFORMAT format) override;
    HRESULT CreateVideoSurface(int width, int height, D3DFORMAT format) override;
    // The device has no staging surface, so after its checks this always fails with E_FAIL.
    HRESULT Display(BYTE* plane0, BYTE* plane1, BYTE* plane2) override;
    // The back buffer (back-buffer size) as the last presentation left it.
    HRESULT CaptureDisplay(BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                           int* pitch) override;
    // The picture on screen at the video size; S_FALSE before the first presentation.
    HRESULT CaptureVideoFrame(BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                              int* pitch) override;
    void SetDisplayMode(int mode) override;
    int GetDisplayMode() override;

    HRESULT AddLine(int id, int x1, int y1, int x2, int y2, float width, D3DCOLOR colour,
                    BYTE alpha) override;
    HRESULT AddRectangle(int id, RECT rect, float width, D3DCOLOR colour, BYTE alpha) override;
    // E_POINTER without points, E_INVALIDARG for a count below 1; nothing is stored then.
    HRESULT AddPolygon(int id, const POINT* points, int count, float width, D3DCOLOR colour,
                       BYTE alpha) override;
    // E_POINTER without a text; the text is copied.
    HRESULT AddText(int id, const wchar_t* text, RECT rect, int height, D3DCOLOR colour,
                    const wchar_t* faceName, BYTE alpha) override;
    // E_POINTER without pixels, E_INVALIDARG for a size below 1 x 1.
    HRESULT AddBitmap(int id, int x, int y, int width, int height, const BYTE* pixels, BYTE alpha) override;
    HRESULT RemoveOverlay(int id) override;
    HRESULT ClearOverlays() override;

    // Shows the picture that was uploaded for the picture-queue index (the latest upload when that
    // index was not uploaded here) and holds it.
    virtual HRESULT PresentNextFrame(int index);
    // Copies a picture into the next video surface; channels 2 and 3 are mirrored in YUY2. The index
    // is the engine's picture-queue index. E_POINTER for missing planes; a lost device sets
    // deviceLost and returns the device's failure.
    virtual HRESULT UploadFrame(int channel, int index, BYTE* plane0, BYTE* plane1, BYTE* plane2);
    // The picture the source last took for the same channel, taken as if uploaded here: the zoom
    // renderer shares the main renderer's picture instead of copying it. D3DERR_INVALIDCALL when
    // the source holds none or its surfaces differ from these.
    HRESULT UploadFrameFrom(int index, D3D9RenderImpl& source);
    // A decoded picture for a YUY2 renderer, taken as UploadFrame takes its converted planes (the
    // side cameras mirrored), but kept as decoded: it is scaled once, straight to the window, when
    // presented. D3DERR_INVALIDCALL for other surface formats.
    HRESULT UploadDecodedFrame(int channel, int index, const AVFrame* frame);
    // Has the device convert a picture just decoded, ahead of its UploadDecodedFrame, for where
    // this renderer last showed one (see VideoDevice::PreparePicture).
    void PrepareDecodedFrame(int channel, const AVFrame* frame);
    // Shows the held picture again, unless another presentation is under way (then nothing).
    HRESULT PresentLastFrame();
    void InvalidateFrame();
    // Clamped to the video surface; D3DERR_INVALIDCALL (and no change) when nothing is left.
    HRESULT SetSourceRect(int x, int y, int width, int height);

    // Read by the engine's event thread to start the recreation of all renderers.
    std::atomic<int32_t> deviceLost{0};

    HWND Window() const { return window; }
    int HeldFrame() const;
    int LastWritten() const;
    int LastPresented() const;
    RECT SourceRect() const;
    RECT ClientRect() const;
    int VideoWidth() const { return videoWidth; }
    int VideoHeight() const { return videoHeight; }
    D3DFORMAT VideoFormat() const { return videoFormat; }
    OverlayStore& Overlays() { return overlays; }

  private:
    HRESULT TestDevice();
    HRESULT PresentSurface(int surfaceIndex, bool keep);
    void CopyPlanes(int channel, BYTE* target, int pitch, const BYTE* plane0, const BYTE* plane1,
                    const BYTE* plane2) const;
    // The surface the next picture goes to, and its number.
    VideoSurface* NextSurface(int* target);
    // The picture for the picture-queue index now stands in the surface.
    void MarkWritten(int target, int index);

    // Guards the indices, the surfaces' identities and the rectangles; never held while composing.
    mutable std::mutex lock;
    // Held for a whole presentation; PresentLastFrame only tries it.
    std::mutex busy;

    int heldFrame = -1;
    int lastWritten = -1;
    int lastPresented = -1;
    int surfaceOfIndex[2] = {-1, -1};
    std::unique_ptr<VideoDevice> device;
    std::unique_ptr<VideoSurface> videoSurfaces[2];
    RECT sourceRect;
    RECT clientRect;
    HWND window = nullptr;
    D3DFORMAT videoFormat = D3DFMT_UNKNOWN;
    OverlayStore overlays;
    std::atomic<int> displayMode{0};
    int videoWidth = 0;
    int videoHeight = 0;
};

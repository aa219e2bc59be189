#include "viewer/engine/d3d9renderimpl.h"

#include "platform/video/videofont.h"
#include "platform/video/videoscene.h"
#include "platform/video/videotexture.h"
#include "viewer/app/globals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr D3DCOLOR kOpaqueBlack = 0xFF000000u;

void ZeroSizes(int* width, int* height, int* pitch) {
    if (width)
        *width = 0;
    if (height)
        *height = 0;
    if (pitch)
        *pitch = 0;
}

void CopyRows(BYTE* target, int targetPitch, const BYTE* source, int sourcePitch, int rowBytes, int rows) {
    for (int row = 0; row < rows; ++row)
        std::memcpy(target + static_cast<size_t>(row) * targetPitch,
                    source + static_cast<size_t>(row) * sourcePitch, static_cast<size_t>(rowBytes));
}

// Four pixel pairs as one 16-byte vector of 32-bit words (one pair a word).
typedef uint32_t PairWords __attribute__((vector_size(16)));

// Little-endian: in each pair Y0 is the low byte and Y1 the third.
template <typename Words> Words SwapLumaOfPairs(Words pairs) {
    return (pairs & 0xFF00FF00u) | ((pairs >> 16) & 0xFFu) | ((pairs & 0xFFu) << 16);
}

// The side cameras see the world as in a mirror: each pixel pair (Y0 U Y1 V) goes to the mirrored
// place as (Y1 U Y0 V). Four pairs at a time, their order reversed, for every picture of two of the
// four channels goes through here twice.
void CopyMirroredYuy2(BYTE* target, int targetPitch, const BYTE* source, int width, int rows) {
    const int pairs = width / 2;
    for (int row = 0; row < rows; ++row) {
        const BYTE* in = source + static_cast<size_t>(row) * width * 2;
        BYTE* out = target + static_cast<size_t>(row) * targetPitch + 4 * static_cast<size_t>(pairs);
        int k = 0;
        for (; k + 4 <= pairs; k += 4, in += 16) {
            PairWords four;
            std::memcpy(&four, in, sizeof four);
            four = SwapLumaOfPairs(four);
            four = __builtin_shufflevector(four, four, 3, 2, 1, 0);
            out -= sizeof four;
            std::memcpy(out, &four, sizeof four);
        }
        for (; k < pairs; ++k, in += 4) {
            uint32_t pair;
            std::memcpy(&pair, in, sizeof pair);
            pair = SwapLumaOfPairs(pair);
            out -= sizeof pair;
            std::memcpy(out, &pair, sizeof pair);
        }
    }
}

} // namespace

RECT AspectFitRect(RECT rect, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return rect;
    const float aspect = static_cast<float>(pictureWidth) / static_cast<float>(pictureHeight);
    const float rectWidth = static_cast<float>(std::abs(rect.right - rect.left));
    const float rectHeight = static_cast<float>(std::abs(rect.bottom - rect.top));
    if (rectHeight < rectWidth / aspect) {
        const int difference = static_cast<int>(rectHeight * aspect - rectWidth);
        const int margin = static_cast<int>(std::abs(difference) / 2);
        rect.left += margin;
        rect.right -= margin;
    } else {
        const int difference = static_cast<int>(rectWidth / aspect - rectHeight);
        const int margin = static_cast<int>(std::abs(difference) / 2);
        rect.top += margin;
        rect.bottom -= margin;
    }
    return rect;
}

D3D9RenderImpl::D3D9RenderImpl() = default;

D3D9RenderImpl::~D3D9RenderImpl() {
    overlays.Clear();
}

HRESULT D3D9RenderImpl::Initialize(HWND targetWindow, BOOL) {
    {
        std::lock_guard<std::mutex> guard(lock);
        heldFrame = -1;
        window = targetWindow;
    }
    std::unique_ptr<VideoDevice> created;
    const HRESULT hr = VideoDevice::Create(targetWindow, g_screenWidth, g_screenHeight, &created);
    if (FAILED(hr))
        return hr;
    device = std::move(created);
    const RECT client = device->GetClientRect();
    {
        std::lock_guard<std::mutex> guard(lock);
        clientRect = client;
    }
    deviceLost = 0;
    return S_OK;
}

HRESULT D3D9RenderImpl::CheckFormatConversion(D3DFORMAT format) {
    return device ? device->CheckDeviceFormat(format) : E_FAIL;
}

HRESULT D3D9RenderImpl::CreateVideoSurface(int width, int height, D3DFORMAT format) {
    videoWidth = width;
    videoHeight = height;
    videoFormat = format;
    for (std::unique_ptr<VideoSurface>& surface : videoSurfaces) {
        if (!device) {
            // Nothing can be shown without a device; the program cannot go on.
            MessageBox(
                nullptr,
                L"Direct3D 로드에 실패하였습니다.\n최신 그래픽드라이버를 설치 후 재시도 해 주시기 바랍니다.",
                L"", MB_OK);
            std::exit(EXIT_FAILURE);
        }
        std::unique_ptr<VideoSurface> made;
        const HRESULT hr = device->CreateOffscreenPlainSurface(width, height, format, &made);
        if (FAILED(hr))
            return hr;
        device->ColorFill(*made, kOpaqueBlack);
        std::lock_guard<std::mutex> guard(lock);
        surface = std::move(made);
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        sourceRect = RECT{0, 0, width, height};
    }
    return device->ColorFill(*videoSurfaces[0], kOpaqueBlack);
}

HRESULT D3D9RenderImpl::Display(BYTE* plane0, BYTE* plane1, BYTE* plane2) {
    if (!plane0 || (videoFormat == D3DFMT_NV12 && !plane1) ||
        (videoFormat == D3DFMT_YV12 && (!plane1 || !plane2)))
        return E_POINTER;
    const HRESULT hr = TestDevice();
    if (FAILED(hr))
        return hr;
    return E_FAIL;
}

HRESULT D3D9RenderImpl::CaptureDisplay(BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                                       int* pitch) {
    ZeroSizes(width, height, pitch);
    if (!device)
        return E_FAIL;
    const int backWidth = device->BackBufferWidth();
    const int backHeight = device->BackBufferHeight();
    const HRESULT hr = device->GetRenderTargetData(buffer, bufferSize, backWidth * 4);
    if (FAILED(hr))
        return hr;
    if (width)
        *width = backWidth;
    if (height)
        *height = backHeight;
    if (pitch)
        *pitch = backWidth * 4;
    return S_OK;
}

HRESULT D3D9RenderImpl::CaptureVideoFrame(BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                                          int* pitch) {
    ZeroSizes(width, height, pitch);
    VideoSurface* held = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (heldFrame != -1)
            held = videoSurfaces[heldFrame].get();
    }
    if (!held || !device)
        return S_FALSE;
    const HRESULT hr = device->GetSurfaceData(*held, buffer, bufferSize, videoWidth * 4);
    if (FAILED(hr))
        return hr;
    if (width)
        *width = videoWidth;
    if (height)
        *height = videoHeight;
    if (pitch)
        *pitch = videoWidth * 4;
    return S_OK;
}

void D3D9RenderImpl::SetDisplayMode(int mode) {
    displayMode = mode;
}

int D3D9RenderImpl::GetDisplayMode() {
    return displayMode;
}

HRESULT D3D9RenderImpl::AddLine(int id, int x1, int y1, int x2, int y2, float width, D3DCOLOR colour,
                                BYTE alpha) {
    overlays.Add(std::make_unique<LineOverlay>(x1, y1, x2, y2, width, colour, alpha), static_cast<short>(id));
    return S_OK;
}

HRESULT D3D9RenderImpl::AddRectangle(int id, RECT rect, float width, D3DCOLOR colour, BYTE alpha) {
    overlays.Add(std::make_unique<RectangleOverlay>(rect, width, colour, alpha), static_cast<short>(id));
    return S_OK;
}

HRESULT D3D9RenderImpl::AddPolygon(int id, const POINT* points, int count, float width, D3DCOLOR colour,
                                   BYTE alpha) {
    if (!points)
        return E_POINTER;
    if (count < 1)
        return E_INVALIDARG;
    overlays.Add(std::make_unique<PolygonOverlay>(points, count, width, colour, alpha),
                 static_cast<short>(id));
    return S_OK;
}

HRESULT D3D9RenderImpl::AddText(int id, const wchar_t* text, RECT rect, int height, D3DCOLOR colour,
                                const wchar_t* faceName, BYTE alpha) {
    if (!text)
        return E_POINTER;
    std::unique_ptr<VideoFont> font;
    // Without a font the overlay is kept but draws nothing, as when the font cannot be made.
    VideoFont::Create(height, 700, faceName ? faceName : L"", &font);
    overlays.Add(std::make_unique<TextOverlay>(std::move(font), std::wstring(text), rect, colour, alpha),
                 static_cast<short>(id));
    return S_OK;
}

HRESULT D3D9RenderImpl::AddBitmap(int id, int x, int y, int width, int height, const BYTE* pixels,
                                  BYTE alpha) {
    std::unique_ptr<VideoTexture> texture;
    const HRESULT hr = VideoTexture::Create(width, height, pixels, &texture);
    if (FAILED(hr))
        return hr;
    overlays.Add(std::make_unique<BitmapOverlay>(x, y, std::move(texture), alpha), static_cast<short>(id));
    return S_OK;
}

HRESULT D3D9RenderImpl::RemoveOverlay(int id) {
    overlays.Remove(static_cast<short>(id));
    return S_OK;
}

HRESULT D3D9RenderImpl::ClearOverlays() {
    overlays.Clear();
    return S_OK;
}

HRESULT D3D9RenderImpl::TestDevice() {
    const HRESULT hr = device ? device->TestCooperativeLevel() : S_FALSE;
    deviceLost = hr != S_OK ? 1 : 0;
    return hr;
}

void D3D9RenderImpl::CopyPlanes(int channel, BYTE* target, int pitch, const BYTE* plane0, const BYTE* plane1,
                                const BYTE* plane2) const {
    const int width = videoWidth;
    const int rows = videoHeight;
    switch (videoFormat) {
    case D3DFMT_YV12: {
        CopyRows(target, pitch, plane0, width, width, rows);
        BYTE* chroma = target + static_cast<size_t>(pitch) * rows;
        const int chromaPitch = pitch / 2;
        CopyRows(chroma, chromaPitch, plane2, width / 2, width / 2, rows / 2);
        CopyRows(chroma + static_cast<size_t>(chromaPitch) * (rows / 2), chromaPitch, plane1, width / 2,
                 width / 2, rows / 2);
        break;
    }
    case D3DFMT_NV12:
        CopyRows(target, pitch, plane0, width, width, rows);
        CopyRows(target + static_cast<size_t>(pitch) * rows, pitch, plane2, width, width, rows / 2);
        break;
    case D3DFMT_YUY2:
        if (channel == kCameraLeft || channel == kCameraRight)
            CopyMirroredYuy2(target, pitch, plane0, width, rows);
        else
            CopyRows(target, pitch, plane0, width * 2, width * 2, rows);
        break;
    case D3DFMT_UYVY:
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5: {
        const int rowBytes = width * SurfaceBytesPerPixel(videoFormat);
        CopyRows(target, pitch, plane0, rowBytes, rowBytes, rows);
        break;
    }
    default:
        break;
    }
}

VideoSurface* D3D9RenderImpl::NextSurface(int* target) {
    std::lock_guard<std::mutex> guard(lock);
    *target = (lastWritten + 1) % 2;
    return videoSurfaces[*target].get();
}

void D3D9RenderImpl::MarkWritten(int target, int index) {
    std::lock_guard<std::mutex> guard(lock);
    lastWritten = target;
    if (index == 0 || index == 1)
        surfaceOfIndex[index] = target;
}

HRESULT D3D9RenderImpl::UploadFrame(int channel, int index, BYTE* plane0, BYTE* plane1, BYTE* plane2) {
    if (!plane0 || (videoFormat == D3DFMT_NV12 && !plane2) ||
        (videoFormat == D3DFMT_YV12 && (!plane1 || !plane2)))
        return E_POINTER;
    HRESULT hr = TestDevice();
    if (FAILED(hr))
        return hr;
    int target;
    VideoSurface* surface = NextSurface(&target);
    if (!surface)
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked;
    hr = surface->LockRect(&locked, D3DLOCK_DISCARD);
    if (FAILED(hr))
        return hr;
    CopyPlanes(channel, locked.pBits, locked.Pitch, plane0, plane1, plane2);
    MarkWritten(target, index);
    return surface->UnlockRect();
}

HRESULT D3D9RenderImpl::UploadDecodedFrame(int channel, int index, const AVFrame* frame) {
    if (!frame)
        return E_POINTER;
    if (!device || videoFormat != D3DFMT_YUY2)
        return D3DERR_INVALIDCALL;
    HRESULT hr = TestDevice();
    if (FAILED(hr))
        return hr;
    int target;
    VideoSurface* surface = NextSurface(&target);
    if (!surface)
        return D3DERR_INVALIDCALL;
    hr = device->SetSurfacePicture(*surface, frame, channel == kCameraLeft || channel == kCameraRight);
    if (FAILED(hr))
        return hr;
    MarkWritten(target, index);
    return S_OK;
}

void D3D9RenderImpl::PrepareDecodedFrame(int channel, const AVFrame* frame) {
    if (frame && device && videoFormat == D3DFMT_YUY2)
        device->PreparePicture(frame, channel == kCameraLeft || channel == kCameraRight);
}

HRESULT D3D9RenderImpl::UploadFrameFrom(int index, D3D9RenderImpl& source) {
    if (&source == this || !device)
        return D3DERR_INVALIDCALL;
    HRESULT hr = TestDevice();
    if (FAILED(hr))
        return hr;
    VideoSurface* picture;
    {
        std::lock_guard<std::mutex> guard(source.lock);
        picture = source.lastWritten != -1 ? source.videoSurfaces[source.lastWritten].get() : nullptr;
    }
    int target;
    VideoSurface* surface = NextSurface(&target);
    if (!picture || !surface)
        return D3DERR_INVALIDCALL;
    hr = device->UpdateSurface(*picture, *surface);
    if (FAILED(hr))
        return hr;
    MarkWritten(target, index);
    return S_OK;
}

HRESULT D3D9RenderImpl::PresentSurface(int surfaceIndex, bool keep) {
    if (!device)
        return E_FAIL;
    const RECT client = device->GetClientRect();
    // A window that is hidden or has no size is shown nothing; the picture is still held, for the
    // presentation that follows when the window shows again.
    if (client.right <= client.left || client.bottom <= client.top) {
        if (!keep) {
            std::lock_guard<std::mutex> guard(lock);
            heldFrame = lastPresented = surfaceIndex;
        }
        return S_OK;
    }
    std::unique_ptr<VideoScene> scene;
    HRESULT hr = device->BeginScene(kOpaqueBlack, &scene);
    if (FAILED(hr))
        return hr;
    VideoSurface* surface;
    RECT source;
    {
        std::lock_guard<std::mutex> guard(lock);
        clientRect = client;
        surface = videoSurfaces[surfaceIndex].get();
        source = sourceRect;
    }
    if (!surface)
        return D3DERR_INVALIDCALL;
    const RECT destination = displayMode == 0 ? AspectFitRect(client, videoWidth, videoHeight) : client;
    // The picture goes into the scene before the overlays and the presentation, so the window shows
    // the picture just stretched, not the one before it.
    hr = scene->StretchRect(*surface, source, destination);
    if (FAILED(hr))
        return hr;
    overlays.DrawAll(*scene);
    if (!keep) {
        std::lock_guard<std::mutex> guard(lock);
        heldFrame = lastPresented = surfaceIndex;
    }
    return device->Present(std::move(scene));
}

HRESULT D3D9RenderImpl::PresentNextFrame(int index) {
    std::lock_guard<std::mutex> presenting(busy);
    int surfaceIndex;
    {
        std::lock_guard<std::mutex> guard(lock);
        if ((index == 0 || index == 1) && surfaceOfIndex[index] != -1)
            surfaceIndex = surfaceOfIndex[index];
        else if (lastWritten != -1)
            surfaceIndex = lastWritten;
        else
            surfaceIndex = (lastPresented + 1) % 2;
    }
    return PresentSurface(surfaceIndex, false);
}

HRESULT D3D9RenderImpl::PresentLastFrame() {
    std::unique_lock<std::mutex> presenting(busy, std::try_to_lock);
    if (!presenting.owns_lock())
        return S_OK;
    int held;
    {
        std::lock_guard<std::mutex> guard(lock);
        held = heldFrame;
    }
    return held == -1 ? S_OK : PresentSurface(held, true);
}

void D3D9RenderImpl::InvalidateFrame() {
    std::lock_guard<std::mutex> guard(lock);
    heldFrame = lastWritten = lastPresented = -1;
    surfaceOfIndex[0] = surfaceOfIndex[1] = -1;
}

HRESULT D3D9RenderImpl::SetSourceRect(int x, int y, int width, int height) {
    const RECT clamped{std::max(0, x), std::max(0, y), std::min(videoWidth, x + width),
                       std::min(videoHeight, y + height)};
    if (clamped.right <= clamped.left || clamped.bottom <= clamped.top)
        return D3DERR_INVALIDCALL;
    std::lock_guard<std::mutex> guard(lock);
    sourceRect = clamped;
    return S_OK;
}

int D3D9RenderImpl::HeldFrame() const {
    std::lock_guard<std::mutex> guard(lock);
    return heldFrame;
}

int D3D9RenderImpl::LastWritten() const {
    std::lock_guard<std::mutex> guard(lock);
    return lastWritten;
}

int D3D9RenderImpl::LastPresented() const {
    std::lock_guard<std::mutex> guard(lock);
    return lastPresented;
}

RECT D3D9RenderImpl::SourceRect() const {
    std::lock_guard<std::mutex> guard(lock);
    return sourceRect;
}

RECT D3D9RenderImpl::ClientRect() const {
    std::lock_guard<std::mutex> guard(lock);
    return clientRect;
}

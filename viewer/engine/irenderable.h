#pragma once
// What a video renderer offers: showing pictures (IDisplable), shaders (none), and overlays drawn
// over the picture (IOverlable). Overlay coordinates are back-buffer pixels.

#include "platform/base/windowsystem.h"
#include "platform/base/wintypes.h"
#include "platform/video/videotypes.h"

#include <cstddef>

class IDisplable {
  public:
    virtual ~IDisplable() = default;
    virtual HRESULT Initialize(HWND window, BOOL windowed) = 0;
    virtual HRESULT CheckFormatConversion(D3DFORMAT format) = 0;
    virtual HRESULT CreateVideoSurface(int width, int height, D3DFORMAT format) = 0;
    virtual HRESULT Display(BYTE* plane0, BYTE* plane1, BYTE* plane2) = 0;
    // Both captures write rows of width * 4 bytes (B, G, R, X) at the pitch into a buffer of
    // bufferSize bytes, and report the sizes; on any failure the sizes are 0.
    virtual HRESULT CaptureDisplay(BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                                   int* pitch) = 0;
    virtual HRESULT CaptureVideoFrame(BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                                      int* pitch) = 0;
    virtual void SetDisplayMode(int mode) = 0;
    virtual int GetDisplayMode() = 0;
};

class IShaderable {
  public:
    virtual ~IShaderable() = default;
};

// Ids are taken as their low 16 bits, signed; adding an id that exists replaces its overlay.
class IOverlable {
  public:
    virtual ~IOverlable() = default;
    virtual HRESULT AddLine(int id, int x1, int y1, int x2, int y2, float width, D3DCOLOR colour,
                            BYTE alpha) = 0;
    virtual HRESULT AddRectangle(int id, RECT rect, float width, D3DCOLOR colour, BYTE alpha) = 0;
    virtual HRESULT AddPolygon(int id, const POINT* points, int count, float width, D3DCOLOR colour,
                               BYTE alpha) = 0;
    virtual HRESULT AddText(int id, const wchar_t* text, RECT rect, int height, D3DCOLOR colour,
                            const wchar_t* faceName, BYTE alpha) = 0;
    virtual HRESULT AddBitmap(int id, int x, int y, int width, int height, const BYTE* pixels,
                              BYTE alpha) = 0;
    virtual HRESULT RemoveOverlay(int id) = 0;
    virtual HRESULT ClearOverlays() = 0;
};

class IRenderable : public IDisplable, public IShaderable, public IOverlable {};

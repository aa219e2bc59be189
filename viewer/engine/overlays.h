#pragma once
// The shapes, texts and pictures drawn over the video, each kept by a renderer's overlay store.
// Positions and sizes are back-buffer pixels.

#include "platform/base/wintypes.h"
#include "platform/video/videoscene.h"
#include "platform/video/videotypes.h"

#include <memory>
#include <string>
#include <vector>

class VideoFont;
class VideoTexture;

// The colour an overlay draws with: the red, green and blue of the given colour under the alpha.
constexpr D3DCOLOR OverlayColour(D3DCOLOR colour, BYTE alpha) {
    return (colour & 0x00FFFFFFu) | (static_cast<D3DCOLOR>(alpha) << 24);
}

class Overlay {
  public:
    Overlay(D3DCOLOR colour, BYTE alpha) : colour(OverlayColour(colour, alpha)), alpha(alpha) {}
    virtual ~Overlay() = default;
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // Called just before the store destroys the overlay.
    virtual void Release() {}
    virtual HRESULT Draw(VideoScene& scene) = 0;

    D3DCOLOR Colour() const { return colour; }
    BYTE Alpha() const { return alpha; }

  protected:
    D3DCOLOR colour;
    BYTE alpha;
};

// Lines and outlines: a polyline of the given width.
class LineOverlay : public Overlay {
  public:
    LineOverlay(int x1, int y1, int x2, int y2, float width, D3DCOLOR colour, BYTE alpha);
    HRESULT Draw(VideoScene& scene) override;

  protected:
    LineOverlay(std::vector<VideoPoint> points, float width, D3DCOLOR colour, BYTE alpha);

  private:
    std::vector<VideoPoint> points;
    float width;
};

class RectangleOverlay : public LineOverlay {
  public:
    RectangleOverlay(const RECT& rect, float width, D3DCOLOR colour, BYTE alpha);
};

// The outline through the points, back to the first. The caller checks that there is one point.
class PolygonOverlay : public LineOverlay {
  public:
    PolygonOverlay(const POINT* points, int count, float width, D3DCOLOR colour, BYTE alpha);
};

// The text is the overlay's own copy. Without a font (no text rendering) it draws nothing.
class TextOverlay : public Overlay {
  public:
    TextOverlay(std::unique_ptr<VideoFont> font, std::wstring text, const RECT& rect, D3DCOLOR colour,
                BYTE alpha);
    ~TextOverlay() override;
    HRESULT Draw(VideoScene& scene) override;

  private:
    std::unique_ptr<VideoFont> font;
    std::wstring text;
    RECT rect;
};

// The picture's own alpha is scaled by the overlay's alpha.
class BitmapOverlay : public Overlay {
  public:
    BitmapOverlay(int x, int y, std::unique_ptr<VideoTexture> texture, BYTE alpha);
    ~BitmapOverlay() override;
    HRESULT Draw(VideoScene& scene) override;

  private:
    int x;
    int y;
    std::unique_ptr<VideoTexture> texture;
};

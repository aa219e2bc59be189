#pragma once
// One picture being composed for a window: the video stretched into the client area, then the
// overlays on top. Overlays are given in back-buffer pixels (the back buffer has the size the device
// was made with) and are scaled with the whole back buffer into the client area, line widths and
// text included. A scene belongs to the thread that began it until it is presented.

#include "platform/video/videotypes.h"

#include <memory>
#include <string>
#include <vector>

class VideoSurface;
class VideoFont;
class VideoTexture;

struct VideoPoint {
    float x = 0;
    float y = 0;
};

class VideoScene {
  public:
    ~VideoScene();
    VideoScene(const VideoScene&) = delete;
    VideoScene& operator=(const VideoScene&) = delete;

    // The client area the scene is composed for.
    int Width() const;
    int Height() const;

    // Linear filtering from the source rectangle (surface pixels) into the destination rectangle
    // (client pixels). D3DERR_INVALIDCALL for an empty rectangle or one outside its surface or the
    // client area.
    HRESULT StretchRect(VideoSurface& surface, const RECT& source, const RECT& destination);

    // A polyline of at least two points; flat ends, mitred corners; a width below 1 draws 1.
    HRESULT DrawLines(const std::vector<VideoPoint>& points, float width, D3DCOLOR colour);
    // Top-left aligned in the rectangle and clipped to it; '\n' breaks lines, nothing wraps.
    HRESULT DrawText(const VideoFont& font, const std::wstring& text, const RECT& rect, D3DCOLOR colour);
    // The texture at its own size, its pixels' alpha scaled by alpha / 255.
    HRESULT DrawTexture(const VideoTexture& texture, float x, float y, BYTE alpha);

    struct Impl;
    Impl& GetImpl() const { return *m_impl; }

  private:
    friend class VideoDevice;
    explicit VideoScene(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
};

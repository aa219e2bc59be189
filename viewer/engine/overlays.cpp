#include "viewer/engine/overlays.h"

#include "platform/video/videofont.h"
#include "platform/video/videotexture.h"

#include <utility>

LineOverlay::LineOverlay(int x1, int y1, int x2, int y2, float width, D3DCOLOR colour, BYTE alpha)
    : LineOverlay({VideoPoint{static_cast<float>(x1), static_cast<float>(y1)},
                   VideoPoint{static_cast<float>(x2), static_cast<float>(y2)}},
                  width, colour, alpha) {}

LineOverlay::LineOverlay(std::vector<VideoPoint> points, float width, D3DCOLOR colour, BYTE alpha)
    : Overlay(colour, alpha), points(std::move(points)), width(width) {}

HRESULT LineOverlay::Draw(VideoScene& scene) {
    return scene.DrawLines(points, width, colour);
}

namespace {

std::vector<VideoPoint> RectangleOutline(const RECT& rect) {
    const auto left = static_cast<float>(rect.left);
    const auto top = static_cast<float>(rect.top);
    const auto right = static_cast<float>(rect.right);
    const auto bottom = static_cast<float>(rect.bottom);
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
}

std::vector<VideoPoint> ClosedOutline(const POINT* points, int count) {
    std::vector<VideoPoint> outline;
    outline.reserve(static_cast<size_t>(count) + 1);
    for (int i = 0; i < count; ++i)
        outline.push_back({static_cast<float>(points[i].x), static_cast<float>(points[i].y)});
    outline.push_back(outline.front());
    return outline;
}

} // namespace

RectangleOverlay::RectangleOverlay(const RECT& rect, float width, D3DCOLOR colour, BYTE alpha)
    : LineOverlay(RectangleOutline(rect), width, colour, alpha) {}

PolygonOverlay::PolygonOverlay(const POINT* points, int count, float width, D3DCOLOR colour, BYTE alpha)
    : LineOverlay(ClosedOutline(points, count), width, colour, alpha) {}

TextOverlay::TextOverlay(std::unique_ptr<VideoFont> font, std::wstring text, const RECT& rect,
                         D3DCOLOR colour, BYTE alpha)
    : Overlay(colour, alpha), font(std::move(font)), text(std::move(text)), rect(rect) {}

TextOverlay::~TextOverlay() = default;

HRESULT TextOverlay::Draw(VideoScene& scene) {
    return font ? scene.DrawText(*font, text, rect, colour) : S_OK;
}

BitmapOverlay::BitmapOverlay(int x, int y, std::unique_ptr<VideoTexture> texture, BYTE alpha)
    : Overlay(0, alpha), x(x), y(y), texture(std::move(texture)) {}

BitmapOverlay::~BitmapOverlay() = default;

HRESULT BitmapOverlay::Draw(VideoScene& scene) {
    return scene.DrawTexture(*texture, static_cast<float>(x), static_cast<float>(y), alpha);
}

#include "viewer/skin/painter.h"

#include <algorithm>

namespace {

bool IsUsable(const CBitmap* bitmap) {
    return bitmap != nullptr && bitmap->GetSafeHandle() != nullptr;
}

CRect SourceOrWhole(const CBitmap* bitmap, const CRect& source) {
    if (!source.IsRectEmpty()) {
        return source;
    }
    BITMAP description;
    bitmap->GetBitmap(&description);
    return CRect(0, 0, description.bmWidth, description.bmHeight);
}

// A memory DC holding the bitmap for the duration of one drawing.
class SourceDC {
  public:
    SourceDC(CDC* reference, CBitmap* bitmap) {
        m_dc.CreateCompatibleDC(reference);
        m_previous = m_dc.SelectObject(bitmap);
    }
    ~SourceDC() { m_dc.SelectObject(m_previous); }
    SourceDC(const SourceDC&) = delete;
    SourceDC& operator=(const SourceDC&) = delete;
    CDC* operator->() { return &m_dc; }
    CDC* get() { return &m_dc; }

  private:
    CDC m_dc;
    CBitmap* m_previous = nullptr;
};

} // namespace

CPainter::CPainter(CDC* target) : m_target(target) {}

BOOL CPainter::DrawBitmap(CBitmap* bitmap, CPoint destination, CRect source) {
    if (!IsUsable(bitmap)) {
        return FALSE;
    }
    const CRect from = SourceOrWhole(bitmap, source);
    SourceDC memory(m_target, bitmap);
    // Straight from the bitmap, so that a source rectangle away from the corner gives its own pixels.
    m_target->BitBlt(destination.x, destination.y, from.Width(), from.Height(), memory.get(), from.left,
                     from.top, SRCCOPY);
    return TRUE;
}

BOOL CPainter::DrawTransparent(CBitmap* bitmap, CRect source, COLORREF key, CRect destination) {
    if (!IsUsable(bitmap)) {
        return FALSE;
    }
    const CRect from = SourceOrWhole(bitmap, source);
    SourceDC memory(m_target, bitmap);
    return m_target->TransparentBlt(destination.left, destination.top, destination.Width(),
                                    destination.Height(), memory.get(), from.left, from.top, from.Width(),
                                    from.Height(), key);
}

BOOL CPainter::TileHorizontal(CBitmap* bitmap, CRect area, CRect source, COLORREF key) {
    if (!IsUsable(bitmap)) {
        return FALSE;
    }
    const CRect from = SourceOrWhole(bitmap, source);
    // A piece without width would never advance.
    if (from.Width() <= 0 || from.Height() <= 0) {
        return TRUE;
    }
    SourceDC memory(nullptr, bitmap);
    for (int x = area.left; x < area.right; x += from.Width()) {
        const int width = std::min<int>(from.Width(), area.right - x);
        m_target->TransparentBlt(x, area.top, width, from.Height(), memory.get(), from.left, from.top, width,
                                 from.Height(), key);
    }
    return TRUE;
}

BOOL CPainter::TileVertical(CBitmap* bitmap, CRect area, CRect source, COLORREF key) {
    if (!IsUsable(bitmap)) {
        return FALSE;
    }
    const CRect from = SourceOrWhole(bitmap, source);
    if (from.Width() <= 0 || from.Height() <= 0) {
        return TRUE;
    }
    SourceDC memory(nullptr, bitmap);
    for (int y = area.top; y < area.bottom; y += from.Height()) {
        const int height = std::min<int>(from.Height(), area.bottom - y);
        m_target->TransparentBlt(area.left, y, from.Width(), height, memory.get(), from.left, from.top,
                                 from.Width(), height, key);
    }
    return TRUE;
}

#include "viewer/skin/sliderctrlex.h"

#include "platform/ui/cursor.h"
#include "platform/ui/window.h"
#include "viewer/skin/painter.h"

#include <algorithm>
#include <cstdint>

CSliderCtrlEx::CSliderCtrlEx() {
    m_className = L"SliderCtrlEx";
    m_options = OPTION_HOVER;
}

CSliderCtrlEx::~CSliderCtrlEx() {
    DestroyWindow();
}

void CSliderCtrlEx::SetRange(int minimum, int maximum, BOOL redraw) {
    m_minimum = minimum;
    m_maximum = std::max(maximum, minimum);
    m_position = std::clamp(m_position, m_minimum, m_maximum);
    if (redraw && m_hWnd != nullptr) {
        Invalidate(FALSE);
    }
}

void CSliderCtrlEx::SetPos(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
    if (m_hWnd != nullptr) {
        Invalidate(FALSE);
    }
}

void CSliderCtrlEx::SetBitmaps(HBITMAP thumbNormal, HBITMAP thumbHover, HBITMAP thumbPressed,
                               HBITMAP thumbDisabled, HBITMAP channel) {
    const HBITMAP handles[SLOT_COUNT] = {thumbNormal, thumbHover, thumbPressed, thumbDisabled, channel};
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        m_handles[slot] = handles[slot];
        m_bitmaps[slot].Borrow(handles[slot]);
    }
}

void CSliderCtrlEx::SetMargins(CRect thumbMargins, CRect channelMargins) {
    m_thumbMargins = thumbMargins;
    m_channelMargins = channelMargins;
}

CSliderCtrlEx::Geometry CSliderCtrlEx::Layout(const CRect& client, CSize thumbBitmap,
                                              const CRect& thumbMargins, const CRect& channelMargins,
                                              int minimum, int maximum, int position) {
    Geometry geometry;
    geometry.thumbWidth = thumbBitmap.cx - thumbMargins.Width();
    const int half = geometry.thumbWidth / 2;
    geometry.track = client;
    geometry.track.left = client.left + channelMargins.left + half;
    geometry.track.right = client.right - channelMargins.right - half;
    // Without a thumb or room to move it every position would divide by nothing.
    geometry.usable = geometry.thumbWidth >= 1 && geometry.track.Width() > 0;
    geometry.thumbCentre = geometry.track.left;
    if (geometry.usable && maximum != minimum) {
        geometry.thumbCentre =
            geometry.track.left + static_cast<int>(static_cast<double>(geometry.track.Width()) *
                                                   (position - minimum) / (maximum - minimum));
    }
    geometry.thumb = CRect(geometry.thumbCentre - half, 0, geometry.thumbCentre + half, thumbBitmap.cy);
    return geometry;
}

int CSliderCtrlEx::PositionFromPoint(const Geometry& geometry, int x, int minimum, int maximum) {
    if (!geometry.usable) {
        return minimum;
    }
    const auto product =
        static_cast<int32_t>(static_cast<int64_t>(x - geometry.track.left) * (maximum - minimum));
    return static_cast<int>(static_cast<double>(product) / geometry.track.Width() + minimum);
}

CSliderCtrlEx::Geometry CSliderCtrlEx::CurrentGeometry() const {
    CRect client;
    GetClientRect(&client);
    return Layout(client, m_bitmaps[THUMB_NORMAL].Size(), m_thumbMargins, m_channelMargins, m_minimum,
                  m_maximum, m_position);
}

void CSliderCtrlEx::DrawSkin(CDC* dc) {
    const Geometry geometry = CurrentGeometry();
    if (!geometry.usable) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    CPainter painter(dc);
    const COLORREF key = GetBaseColor(2);
    if (geometry.thumb.left != 0 && m_bitmaps[CHANNEL].IsSet()) {
        painter.TileHorizontal(&m_bitmaps[CHANNEL],
                               CRect(client.left, client.top, geometry.thumbCentre, client.bottom), CRect(),
                               key);
    }
    int state = THUMB_NORMAL;
    if (m_pressed != 0) {
        state = THUMB_PRESSED;
    } else if (m_thumbHover != 0) {
        state = THUMB_HOVER;
    } else if (!IsWindowEnabled()) {
        state = THUMB_DISABLED;
    }
    CBorrowedBitmap& bitmap = m_bitmaps[state].IsSet() ? m_bitmaps[state] : m_bitmaps[THUMB_NORMAL];
    const CSize size = bitmap.Size();
    const CRect source(m_thumbMargins.left, m_thumbMargins.top, size.cx - m_thumbMargins.right,
                       size.cy - m_thumbMargins.bottom);
    painter.DrawTransparent(&bitmap, source, key, geometry.thumb);
}

BOOL CSliderCtrlEx::OnSetCursor(CWnd*, UINT, UINT) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CSliderCtrlEx::Notify(UINT code) {
    ::SendMessageW(m_notifyWnd, WM_HSCROLL,
                   MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(m_position)),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void CSliderCtrlEx::OnLButtonDown(UINT flags, CPoint point) {
    const Geometry geometry = CurrentGeometry();
    if (!geometry.usable) {
        return;
    }
    SetPos(PositionFromPoint(geometry, point.x, m_minimum, m_maximum));
    CBaseWnd::OnLButtonDown(flags, point);
}

void CSliderCtrlEx::OnMouseMove(UINT flags, CPoint point) {
    CBaseWnd::OnMouseMove(flags, point);
    const Geometry geometry = CurrentGeometry();
    if (!geometry.usable) {
        return;
    }
    const int hover = geometry.thumb.PtInRect(point) ? 1 : 0;
    if (hover != m_thumbHover) {
        m_thumbHover = hover;
        Invalidate(FALSE);
    }
    if (m_pressed != 0) {
        SetPos(PositionFromPoint(geometry, point.x, m_minimum, m_maximum));
        Notify(SB_THUMBTRACK);
    }
}

void CSliderCtrlEx::OnLButtonUp(UINT flags, CPoint point) {
    if (m_pressed != 0) {
        const Geometry geometry = CurrentGeometry();
        if (geometry.usable) {
            SetPos(PositionFromPoint(geometry, point.x, m_minimum, m_maximum));
        }
        Notify(SB_ENDSCROLL);
    }
    CBaseWnd::OnLButtonUp(flags, point);
}

void CSliderCtrlEx::OnMouseLeave() {
    m_thumbHover = 0;
    CBaseWnd::OnMouseLeave();
}

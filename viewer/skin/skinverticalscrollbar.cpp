#include "viewer/skin/skinverticalscrollbar.h"

#include "platform/ui/dc.h"
#include "platform/ui/window.h"
#include "viewer/skin/mymemdc.h"
#include "viewer/skin/stretchblit.h"

namespace {

constexpr COLORREF kFill = 0x6B524A;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT_PTR kHoldTimer = 2;
constexpr UINT_PTR kDragTimer = 3;

bool Within(const CPoint& point, int left, int top, int right, int bottom) {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
}

} // namespace

CSkinVerticalScrollbar::~CSkinVerticalScrollbar() {
    DestroyWindow();
}

void CSkinVerticalScrollbar::SetBitmaps(HBITMAP topCap, HBITMAP bottomCap, HBITMAP upArrow, HBITMAP downArrow,
                                        HBITMAP track, HBITMAP thumb) {
    m_topCap.Borrow(topCap);
    m_bottomCap.Borrow(bottomCap);
    m_upArrow.Borrow(upArrow);
    m_downArrow.Borrow(downArrow);
    m_track.Borrow(track);
    m_thumb.Borrow(thumb);
    m_thumbTop = m_topCap.Size().cy + m_upArrow.Size().cy;
}

double CSkinVerticalScrollbar::PixelsPerUnit(int height, int fixedHeight, int scrollLimit) {
    const int room = height - fixedHeight;
    if (scrollLimit <= 0 || room <= 0) {
        return 0.0;
    }
    return static_cast<double>(room) / scrollLimit;
}

int CSkinVerticalScrollbar::Height() const {
    CRect client;
    GetClientRect(&client);
    return client.Height();
}

int CSkinVerticalScrollbar::FixedHeight() const {
    return m_topCap.Size().cy + m_upArrow.Size().cy + m_downArrow.Size().cy + m_bottomCap.Size().cy +
           m_thumb.Size().cy;
}

int CSkinVerticalScrollbar::LimitThumb(int y) const {
    const int height = Height();
    const int bottom = m_bottomCap.Size().cy + m_downArrow.Size().cy;
    const int thumb = m_thumb.Size().cy;
    const int top = m_topCap.Size().cy + m_upArrow.Size().cy;
    if (y + thumb > height - bottom) {
        y = height - (bottom + thumb);
    }
    if (y < top) {
        y = top;
    }
    return y;
}

void CSkinVerticalScrollbar::UpdateThumbPosition() {
    if (m_list == nullptr || m_hWnd == nullptr) {
        return;
    }
    m_pixelsPerUnit = PixelsPerUnit(Height(), FixedHeight(), m_list->GetScrollLimit(SB_VERT));
    m_thumbTop = LimitThumb(m_topCap.Size().cy + m_upArrow.Size().cy +
                            static_cast<int>(m_pixelsPerUnit * m_list->GetScrollPos(SB_VERT)));
    Invalidate(FALSE);
}

void CSkinVerticalScrollbar::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) {
        return;
    }
    CMyMemDC dc(&paint, client);
    dc.FillSolidRect(&client, kFill);
    const int height = client.Height();
    const CSize top = m_topCap.Size();
    const CSize bottom = m_bottomCap.Size();
    const CSize up = m_upArrow.Size();
    const CSize down = m_downArrow.Size();
    const CSize track = m_track.Size();
    const CSize thumb = m_thumb.Size();
    StretchWholeBitmap(&dc, m_topCap, 0, 0, top.cx, top.cy);
    StretchWholeBitmap(&dc, m_upArrow, 0, top.cy, up.cx, up.cy);
    StretchWholeBitmap(&dc, m_track, 0, top.cy + up.cy, track.cx, height - (top.cy + up.cy));
    StretchWholeBitmap(&dc, m_downArrow, 0, height - (down.cy + bottom.cy), down.cx, down.cy);
    StretchWholeBitmap(&dc, m_bottomCap, 0, height - bottom.cy, bottom.cx, bottom.cy);
    if (m_list != nullptr && m_list->GetScrollLimit(SB_VERT) != 0) {
        StretchWholeBitmap(&dc, m_thumb, 0, m_thumbTop, thumb.cx, thumb.cy);
    }
}

void CSkinVerticalScrollbar::Scroll(UINT code) {
    if (m_list == nullptr) {
        return;
    }
    m_list->SendMessage(WM_VSCROLL, MAKEWPARAM(static_cast<WORD>(code), 0), 0);
    UpdateThumbPosition();
    m_list->Invalidate(FALSE);
}

void CSkinVerticalScrollbar::OnLButtonDown(UINT flags, CPoint point) {
    SetCapture();
    const int height = Height();
    const CSize top = m_topCap.Size();
    const CSize bottom = m_bottomCap.Size();
    const CSize up = m_upArrow.Size();
    const CSize down = m_downArrow.Size();
    const CSize thumb = m_thumb.Size();
    if (Within(point, 0, m_thumbTop, thumb.cx, m_thumbTop + thumb.cy)) {
        m_dragging = true;
    } else if (Within(point, 0, height - (bottom.cy + down.cy), down.cx, height - bottom.cy)) {
        m_downArrowHeld = true;
        SetTimer(kHoldTimer, 250);
    } else if (Within(point, 0, top.cy, up.cx, top.cy + up.cy)) {
        m_upArrowHeld = true;
        SetTimer(kHoldTimer, 250);
    }
    CStatic::OnLButtonDown(flags, point);
}

void CSkinVerticalScrollbar::OnTimer(UINT_PTR id) {
    if (id == kHoldTimer && (m_upArrowHeld || m_downArrowHeld)) {
        KillTimer(kHoldTimer);
        SetTimer(kRepeatTimer, 50);
    } else if (id == kRepeatTimer) {
        if (m_downArrowHeld) {
            Scroll(SB_LINEDOWN);
        } else if (m_upArrowHeld) {
            Scroll(SB_LINEUP);
        }
    } else if (id == kDragTimer) {
        KillTimer(kDragTimer);
        if (m_list != nullptr) {
            m_list->Scroll(m_pendingScroll);
        }
    } else {
        CStatic::OnTimer(id);
    }
}

void CSkinVerticalScrollbar::OnLButtonUp(UINT flags, CPoint point) {
    UpdateThumbPosition();
    KillTimer(kRepeatTimer);
    KillTimer(kHoldTimer);
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    const int height = Height();
    const CSize top = m_topCap.Size();
    const CSize bottom = m_bottomCap.Size();
    const CSize up = m_upArrow.Size();
    const CSize down = m_downArrow.Size();
    const CSize thumb = m_thumb.Size();
    if (Within(point, 0, top.cy, up.cx, top.cy + up.cy)) {
        if (m_upArrowHeld) {
            Scroll(SB_LINEUP);
        }
    } else if (Within(point, 0, height - (bottom.cy + down.cy), down.cx, height - bottom.cy)) {
        if (m_downArrowHeld) {
            Scroll(SB_LINEDOWN);
        }
    } else if (Within(point, 0, m_thumbTop, thumb.cx, m_thumbTop + thumb.cy)) {
        // A release on the thumb ends a drag and nothing more.
    } else if (!m_dragging) {
        Scroll(m_thumbTop < point.y ? SB_PAGEDOWN : SB_PAGEUP);
    }
    m_upArrowHeld = m_downArrowHeld = m_moved = m_dragging = false;
    CStatic::OnLButtonUp(flags, point);
}

void CSkinVerticalScrollbar::OnMouseMove(UINT flags, CPoint point) {
    if (m_dragging && m_list != nullptr) {
        m_moved = true;
        const int y = point.y - m_thumb.Size().cy / 2;
        m_pixelsPerUnit = PixelsPerUnit(Height(), FixedHeight(), m_list->GetScrollLimit(SB_VERT));
        // A list that cannot scroll has nowhere to drag to.
        if (m_pixelsPerUnit > 0.0) {
            const int target =
                static_cast<int>((y - (m_topCap.Size().cy + m_upArrow.Size().cy)) / m_pixelsPerUnit);
            CRect row;
            m_list->GetItemRect(0, &row, LVIR_BOUNDS);
            m_pendingScroll = CSize(0, (target - m_list->GetScrollPos(SB_VERT)) * row.Height());
            SetTimer(kDragTimer, 0);
            m_thumbTop = LimitThumb(y);
            Invalidate(FALSE);
        }
    }
    CStatic::OnMouseMove(flags, point);
}

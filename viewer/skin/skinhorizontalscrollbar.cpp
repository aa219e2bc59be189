#include "viewer/skin/skinhorizontalscrollbar.h"

#include "platform/ui/dc.h"
#include "platform/ui/window.h"
#include "viewer/skin/mymemdc.h"
#include "viewer/skin/stretchblit.h"

namespace {

constexpr COLORREF kFill = 0x76554C;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT_PTR kHoldTimer = 2;

bool Within(const CPoint& point, int left, int top, int right, int bottom) {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
}

} // namespace

CSkinHorizontalScrollbar::~CSkinHorizontalScrollbar() {
    DestroyWindow();
}

void CSkinHorizontalScrollbar::SetBitmaps(HBITMAP leftArrow, HBITMAP rightArrow, HBITMAP thumb,
                                          HBITMAP track) {
    m_leftArrow.Borrow(leftArrow);
    m_rightArrow.Borrow(rightArrow);
    m_thumb.Borrow(thumb);
    m_track.Borrow(track);
    m_thumbLeft = m_leftArrow.Size().cx;
}

double CSkinHorizontalScrollbar::PixelsPerUnit(int width, int leftWidth, int thumbWidth, int rightWidth,
                                               int scrollLimit) {
    const int room = width - (leftWidth + thumbWidth + rightWidth);
    if (scrollLimit <= 0 || room <= 0) {
        return 0.0;
    }
    return static_cast<double>(room) / scrollLimit;
}

int CSkinHorizontalScrollbar::LimitThumb(int x, int width, int leftWidth, int thumbWidth, int rightWidth) {
    if (x + thumbWidth > width - rightWidth) {
        x = width - (rightWidth + thumbWidth);
    }
    if (x < leftWidth) {
        x = leftWidth;
    }
    return x;
}

int CSkinHorizontalScrollbar::Width() const {
    CRect client;
    GetClientRect(&client);
    return client.Width();
}

void CSkinHorizontalScrollbar::UpdateThumbPosition() {
    if (m_list == nullptr || m_hWnd == nullptr) {
        return;
    }
    const int width = Width();
    const int left = m_leftArrow.Size().cx;
    const int thumb = m_thumb.Size().cx;
    const int right = m_rightArrow.Size().cx;
    m_pixelsPerUnit = PixelsPerUnit(width, left, thumb, right, m_list->GetScrollLimit(SB_HORZ));
    m_thumbLeft = LimitThumb(left + static_cast<int>(m_pixelsPerUnit * m_list->GetScrollPos(SB_HORZ)), width,
                             left, thumb, right);
    Invalidate(FALSE);
}

void CSkinHorizontalScrollbar::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) {
        return;
    }
    CMyMemDC dc(&paint, client);
    dc.FillSolidRect(&client, kFill);
    const CSize left = m_leftArrow.Size();
    const CSize right = m_rightArrow.Size();
    const CSize track = m_track.Size();
    const CSize thumb = m_thumb.Size();
    StretchWholeBitmap(&dc, m_leftArrow, 0, 0, left.cx, left.cy);
    StretchWholeBitmap(&dc, m_track, left.cx, 0, client.Width() - left.cx, track.cy);
    StretchWholeBitmap(&dc, m_rightArrow, client.Width() - right.cx, 0, right.cx, right.cy);
    if (m_list != nullptr && m_list->GetScrollLimit(SB_HORZ) != 0) {
        StretchWholeBitmap(&dc, m_thumb, m_thumbLeft, 0, thumb.cx, thumb.cy);
    }
}

void CSkinHorizontalScrollbar::Scroll(UINT code) {
    if (m_list != nullptr) {
        m_list->SendMessage(WM_HSCROLL, MAKEWPARAM(static_cast<WORD>(code), 0), 0);
    }
}

void CSkinHorizontalScrollbar::OnLButtonDown(UINT flags, CPoint point) {
    SetCapture();
    const int width = Width();
    const CSize left = m_leftArrow.Size();
    const CSize right = m_rightArrow.Size();
    const CSize thumb = m_thumb.Size();
    if (Within(point, m_thumbLeft, 0, m_thumbLeft + thumb.cx, thumb.cy)) {
        m_dragging = true;
    } else if (Within(point, width - right.cx, 0, width, right.cy)) {
        m_rightArrowHeld = true;
        SetTimer(kHoldTimer, 250);
    } else if (Within(point, 0, 0, left.cx, left.cy)) {
        m_leftArrowHeld = true;
        SetTimer(kHoldTimer, 250);
    }
    CStatic::OnLButtonDown(flags, point);
}

void CSkinHorizontalScrollbar::OnTimer(UINT_PTR id) {
    if (id == kHoldTimer && (m_leftArrowHeld || m_rightArrowHeld)) {
        KillTimer(kHoldTimer);
        SetTimer(kRepeatTimer, 50);
    } else if (id == kRepeatTimer) {
        if (m_rightArrowHeld) {
            Scroll(SB_LINERIGHT);
            UpdateThumbPosition();
        } else if (m_leftArrowHeld) {
            Scroll(SB_LINELEFT);
            UpdateThumbPosition();
        }
    } else {
        CStatic::OnTimer(id);
    }
}

void CSkinHorizontalScrollbar::OnLButtonUp(UINT flags, CPoint point) {
    UpdateThumbPosition();
    KillTimer(kRepeatTimer);
    KillTimer(kHoldTimer);
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    const int width = Width();
    const CSize left = m_leftArrow.Size();
    const CSize right = m_rightArrow.Size();
    const CSize thumb = m_thumb.Size();
    if (Within(point, 0, 0, left.cx, left.cy)) {
        Scroll(SB_LINELEFT);
    } else if (Within(point, width - right.cx, 0, width, right.cy)) {
        Scroll(SB_LINERIGHT);
    } else if (Within(point, m_thumbLeft, 0, m_thumbLeft + thumb.cx, thumb.cy)) {
        // A release on the thumb ends a drag and nothing more.
    } else if (!m_dragging) {
        Scroll(m_thumbLeft < point.x ? SB_PAGERIGHT : SB_PAGELEFT);
    }
    UpdateThumbPosition();
    m_leftArrowHeld = m_rightArrowHeld = m_moved = m_dragging = false;
    CStatic::OnLButtonUp(flags, point);
}

void CSkinHorizontalScrollbar::OnMouseMove(UINT flags, CPoint point) {
    if (m_dragging && m_list != nullptr) {
        m_moved = true;
        const int width = Width();
        const int left = m_leftArrow.Size().cx;
        const int thumb = m_thumb.Size().cx;
        const int right = m_rightArrow.Size().cx;
        const int x = point.x - thumb / 2;
        m_pixelsPerUnit = PixelsPerUnit(width, left, thumb, right, m_list->GetScrollLimit(SB_HORZ));
        // A list that cannot scroll has nowhere to drag to.
        if (m_pixelsPerUnit > 0.0) {
            const int target = static_cast<int>((x - left) / m_pixelsPerUnit);
            m_list->Scroll(CSize(target - m_list->GetScrollPos(SB_HORZ), 0));
            m_thumbLeft = LimitThumb(x, width, left, thumb, right);
            Invalidate(FALSE);
        }
    }
    CStatic::OnMouseMove(flags, point);
}

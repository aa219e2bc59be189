#include "viewer/skin/skinheaderctrl.h"

#include "platform/ui/dc.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/mymemdc.h"
#include "viewer/skin/stretchblit.h"

namespace {

constexpr COLORREF kBackground = 0x171717;
constexpr COLORREF kText = 0x8B8B8B;

} // namespace

CSkinHeaderCtrl::~CSkinHeaderCtrl() {
    // The header window belongs to the list; it only stops sending its messages here.
    if (m_hWnd != nullptr) {
        UnsubclassWindow();
    }
}

void CSkinHeaderCtrl::SetBitmaps(HBITMAP start, HBITMAP span, HBITMAP end) {
    m_start.Borrow(start);
    m_span.Borrow(span);
    m_end.Borrow(end);
    if (m_hWnd != nullptr) {
        Invalidate(FALSE);
    }
}

void CSkinHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

void CSkinHeaderCtrl::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) {
        return;
    }
    CMyMemDC dc(&paint, client);
    dc.FillSolidRect(&client, kBackground);
    const CSize start = m_start.Size();
    const CSize span = m_span.Size();
    const CSize end = m_end.Size();
    StretchWholeBitmap(&dc, m_span, client.left + start.cx, 0, client.Width(), span.cy);
    CFont font;
    font.CreateFont(13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"NanumGothic");
    CFont* previousFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kText);
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        WCHAR text[256] = {};
        HDITEMW item;
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = 256;
        GetItem(i, &item);
        CRect rect;
        GetItemRect(i, &rect);
        if (item.iOrder == 0) {
            StretchWholeBitmap(&dc, m_start, rect.left, rect.top, start.cx, start.cy);
        } else {
            // Later columns start with the span, so the dividers come from the end pieces alone.
            StretchWholeBitmap(&dc, m_span, rect.left + 1, rect.top, span.cx, span.cy);
        }
        StretchWholeBitmap(&dc, m_span, rect.left + start.cx, 0, rect.Width() - 4, 1);
        StretchWholeBitmap(&dc, m_end, rect.right - end.cx, 0, end.cx, end.cy);
        DRAWITEMSTRUCT draw;
        draw.CtlType = ODT_HEADER;
        draw.CtlID = static_cast<UINT>(i);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hDC = dc.GetSafeHdc();
        draw.rcItem = rect;
        DrawItem(&draw);
        CRect textRect = rect;
        textRect.DeflateRect(2, 2);
        dc.DrawText(text, -1, &textRect,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    dc.SelectObject(previousFont);
}

BOOL CSkinHeaderCtrl::OnEraseBkgnd(CDC*) {
    return FALSE;
}

BOOL CSkinHeaderCtrl::OnSetCursor(CWnd*, UINT, UINT) {
    return FALSE;
}

void CSkinHeaderCtrl::OnLButtonDown(UINT flags, CPoint point) {
    ::PostMessageW(g_hViewWnd, WM_TOGGLE_LIST_ORDER, 0, 0);
    CHeaderCtrl::OnLButtonDown(flags, point);
}

void CSkinHeaderCtrl::OnRButtonDown(UINT flags, CPoint point) {
    CPoint screen = point;
    ClientToScreen(&screen);
    ::PostMessageW(g_hViewWnd, WM_SHOW_TYPE_MENU, 0,
                   MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    CHeaderCtrl::OnRButtonDown(flags, point);
}

#include "viewer/skin/staticex.h"

#include "platform/base/trace.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/painter.h"

#include <algorithm>

namespace {

constexpr int kZone = 5;

LPCWSTR CursorOfHit(int hit) {
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
    case CStaticEx::HIT_CENTRE:
        return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
        return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return IDC_SIZENESW;
    default:
        return IDC_ARROW;
    }
}

} // namespace

CStaticEx::CStaticEx() : m_textColor(GetBaseColor(0)) {
    m_className = L"StaticEx";
}

CStaticEx::~CStaticEx() {
    DestroyWindow();
}

void CStaticEx::SetBitmaps(HBITMAP first, HBITMAP second, HBITMAP third) {
    if ((second != nullptr || third != nullptr) &&
        (m_options & (OPTION_THREE_PIECES | OPTION_TILE_VERTICAL)) == 0) {
        TraceLine(L"CStaticEx::SetBitmaps: pieces given to a plain static");
    }
    m_handles[0] = first;
    m_handles[1] = second;
    m_handles[2] = third;
    for (int slot = 0; slot < 3; ++slot) {
        m_bitmaps[slot].Borrow(m_handles[slot]);
    }
}

void CStaticEx::SetTextStyle(int pointSize, LPCWSTR faceName, COLORREF color, UINT format) {
    m_pointSize = pointSize;
    m_faceName = faceName;
    m_textColor = color;
    m_textFormat = format;
}

void CStaticEx::SetSizingEdges(DWORD edges, HWND target) {
    m_edges = edges;
    m_target = target;
    if (edges != 0) {
        m_options |= OPTION_GRIP;
    }
}

int CStaticEx::HitTest(DWORD edges, const CRect& client, CPoint point) {
    if (!client.PtInRect(point)) {
        return HTNOWHERE;
    }
    const int x = point.x - client.left;
    const int y = point.y - client.top;
    const int width = client.Width();
    const int height = client.Height();
    const bool left = (edges & EDGE_LEFT) != 0;
    const bool right = (edges & EDGE_RIGHT) != 0;
    const bool top = (edges & EDGE_TOP) != 0;
    const bool bottom = (edges & EDGE_BOTTOM) != 0;
    const bool nearLeft = x < kZone;
    const bool nearRight = x >= width - kZone;
    const bool nearTop = y < kZone;
    const bool nearBottom = y >= height - kZone;
    if (nearLeft && nearTop && (left || top)) {
        return left && top ? HTTOPLEFT : (top ? HTTOP : HTLEFT);
    }
    if (nearRight && nearTop && (right || top)) {
        return right && top ? HTTOPRIGHT : (top ? HTTOP : HTRIGHT);
    }
    if (nearLeft && nearBottom && (left || bottom)) {
        return left && bottom ? HTBOTTOMLEFT : (bottom ? HTBOTTOM : HTLEFT);
    }
    if (nearRight && nearBottom && (right || bottom)) {
        return right && bottom ? HTBOTTOMRIGHT : (bottom ? HTBOTTOM : HTRIGHT);
    }
    if ((edges & EDGE_CENTRE) != 0) {
        const bool inStrip = width < 2 * kZone || (x >= width / 2 - kZone && x < width / 2 + kZone);
        if (inStrip) {
            return HIT_CENTRE;
        }
    }
    if (nearLeft && left) {
        return HTLEFT;
    }
    if (nearRight) {
        return right ? HTRIGHT : HTCLIENT;
    }
    if (nearTop && top) {
        return HTTOP;
    }
    if (nearBottom && bottom) {
        return HTBOTTOM;
    }
    return HTCLIENT;
}

CStaticEx::ThreePieceLayout CStaticEx::LayoutThreePieces(const CRect& client, CSize first, CSize second,
                                                         CSize third) {
    ThreePieceLayout layout;
    if (third.cx > 0) {
        layout.end = CRect(client.right - third.cx, client.top, client.right, client.bottom);
    }
    layout.first = second.cx > 0 ? CRect(0, 0, first.cx, first.cy) : client;
    if (second.cx > 0) {
        layout.middle = CRect(first.cx, 0, client.Width() - std::max<LONG>(third.cx, 0), client.Height());
    }
    return layout;
}

void CStaticEx::DrawSkin(CDC* dc) {
    if (!m_bitmaps[0].IsSet()) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    CPainter painter(dc);
    const COLORREF key = GetBaseColor(2);
    if ((m_options & OPTION_THREE_PIECES) != 0) {
        const ThreePieceLayout layout =
            LayoutThreePieces(client, m_bitmaps[0].Size(), m_bitmaps[1].Size(), m_bitmaps[2].Size());
        if (m_bitmaps[2].IsSet()) {
            painter.TileHorizontal(&m_bitmaps[2], layout.end, CRect(), key);
        }
        painter.TileHorizontal(&m_bitmaps[0], layout.first, CRect(), key);
        if (m_bitmaps[1].IsSet()) {
            painter.TileHorizontal(&m_bitmaps[1], layout.middle, CRect(), key);
        }
    }
    if ((m_options & OPTION_TILE_VERTICAL) != 0) {
        painter.TileVertical(&m_bitmaps[0], client, CRect(), key);
    }
    if ((m_options & (OPTION_THREE_PIECES | OPTION_TILE_VERTICAL)) == 0) {
        if ((m_options & OPTION_TRANSPARENT) == 0) {
            painter.DrawBitmap(&m_bitmaps[0], CPoint(0, 0), CRect());
        } else {
            painter.DrawTransparent(&m_bitmaps[0], CRect(), key, CRect(CPoint(0, 0), m_bitmaps[0].Size()));
        }
    }
    if ((m_options & OPTION_TEXT) != 0) {
        CString text;
        GetWindowText(text);
        if (!text.IsEmpty()) {
            CFont font;
            font.CreatePointFont(m_pointSize, m_faceName, dc);
            CFont* previous = dc->SelectObject(&font);
            dc->SetBkMode(TRANSPARENT);
            dc->SetTextColor(m_textColor);
            CRect area = client;
            dc->DrawText(text, &area, m_textFormat | DT_END_ELLIPSIS);
            dc->SelectObject(previous);
        }
    }
}

HWND CStaticEx::Target() const {
    if (m_target != nullptr) {
        return m_target;
    }
    CWnd* main = AfxGetMainWnd();
    return main != nullptr ? main->GetSafeHwnd() : nullptr;
}

int CStaticEx::HitTestCursor() const {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(&client);
    return HitTest(m_edges, client, cursor);
}

BOOL CStaticEx::OnSetCursor(CWnd* window, UINT hitTest, UINT message) {
    if ((m_options & OPTION_GRIP) == 0) {
        return CBaseWnd::OnSetCursor(window, hitTest, message);
    }
    const int hit = HitTestCursor();
    if (hit == HTNOWHERE) {
        return FALSE;
    }
    SetCursor(LoadCursorW(nullptr, CursorOfHit(hit)));
    return TRUE;
}

void CStaticEx::Forward(UINT message, WPARAM wParam, CPoint point) {
    if (m_notifyWnd != nullptr) {
        ::SendMessageW(m_notifyWnd, message, wParam,
                       MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    }
}

void CStaticEx::OnLButtonDown(UINT flags, CPoint point) {
    if (m_edges != 0) {
        if (!GetCursorPos(&m_pressPoint)) {
            m_pressPoint = POINT{};
        }
        ::GetWindowRect(Target(), &m_pressRect);
        CRect client;
        GetClientRect(&client);
        m_pressHit = HitTest(m_edges, client, point);
        g_sizingHitCode = m_pressHit;
    }
    Forward(WM_LBUTTONDOWN, MK_LBUTTON, point);
    CBaseWnd::OnLButtonDown(flags, point);
}

void CStaticEx::OnMouseMove(UINT flags, CPoint point) {
    if (m_pressed != 0 && ::GetCapture() == m_hWnd && m_edges != 0) {
        if (m_pressHit == HTCLIENT) {
            POINT cursor{};
            GetCursorPos(&cursor);
            const int dx = cursor.x - m_pressPoint.x;
            const int dy = cursor.y - m_pressPoint.y;
            HWND target = Target();
            POINT corner{m_pressRect.left + dx, m_pressRect.top + dy};
            HWND parent = ::GetParent(target);
            if (parent != nullptr && (::GetWindowLongPtrW(target, GWL_STYLE) & WS_CHILD) != 0) {
                ::ScreenToClient(parent, &corner);
            }
            ::MoveWindow(target, corner.x, corner.y, m_pressRect.Width(), m_pressRect.Height(), TRUE);
        } else {
            Forward(WM_MOUSEMOVE, flags, point);
        }
    }
    CBaseWnd::OnMouseMove(flags, point);
}

void CStaticEx::OnLButtonUp(UINT flags, CPoint point) {
    if (m_pressed != 0) {
        Invalidate(FALSE);
        Forward(WM_LBUTTONUP, MK_LBUTTON, point);
        HWND target = Target();
        if ((m_edges & (EDGE_RIGHT | EDGE_BOTTOM)) != 0 && target != nullptr) {
            MINMAXINFO limits{};
            ::SendMessageW(target, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
            CRect client;
            ::GetClientRect(target, &client);
            ::SetWindowPos(target, nullptr, 0, 0, std::max<int>(limits.ptMinTrackSize.x, client.Width()),
                           std::max<int>(limits.ptMinTrackSize.y, client.Height()),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    CBaseWnd::OnLButtonUp(flags, point);
}

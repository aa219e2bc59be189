#include "viewer/skin/taskbarpopup.h"

#include "platform/ui/cursor.h"
#include "platform/ui/dc.h"
#include "platform/ui/rgn.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"

#include <algorithm>
#include <vector>

namespace {

// A point font of the face and size with the style bits applied.
void BuildFont(CFont& font, LPCWSTR faceName, int pointSize, int style) {
    font.DeleteObject();
    CFont point;
    point.CreatePointFont(pointSize, faceName);
    LOGFONTW logFont;
    point.GetLogFont(&logFont);
    logFont.lfWeight = (style & 1) != 0 ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (style & 2) != 0 ? 1 : 0;
    logFont.lfUnderline = (style & 4) != 0 ? 1 : 0;
    font.CreateFontIndirect(&logFont);
}

} // namespace

CTaskbarPopup::CTaskbarPopup() = default;

CTaskbarPopup::~CTaskbarPopup() {
    DestroyWindow();
}

bool CTaskbarPopup::Create(CWnd* parent) {
    m_parent = parent != nullptr ? parent->GetSafeHwnd() : nullptr;
    LPCWSTR className =
        AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_WINDOW));
    if (!CreateEx(0, className, L"", WS_POPUP, 0, 0, 0, 0, m_parent, nullptr)) {
        return false;
    }
    m_handCursor = LoadCursorW(nullptr, IDC_HAND);
    return true;
}

bool CTaskbarPopup::SetSkin(UINT bitmapId, int r, int g, int b) {
    CBitmap loaded;
    if (!loaded.LoadBitmap(bitmapId)) {
        m_skin.DeleteObject();
        m_skinWidth = 0;
        m_skinHeight = 0;
        return false;
    }
    return SetSkin(static_cast<HBITMAP>(loaded.Detach()), r, g, b);
}

bool CTaskbarPopup::SetSkin(HBITMAP bitmap, int r, int g, int b) {
    m_skin.DeleteObject();
    m_skinWidth = 0;
    m_skinHeight = 0;
    if (bitmap == nullptr) {
        return false;
    }
    m_skin.Attach(bitmap);
    BITMAP description;
    m_skin.GetBitmap(&description);
    m_skinWidth = description.bmWidth;
    m_skinHeight = description.bmHeight;
    if (r != -1 && g != -1 && b != -1 && m_hWnd != nullptr) {
        HRGN region =
            CreateRgnFromBitmap(bitmap, static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
        if (region != nullptr) {
            SetWindowRgn(region, TRUE);
        }
    }
    return true;
}

void CTaskbarPopup::SetTextFont(LPCWSTR faceName, int pointSize, int normalStyle, int hoverStyle) {
    BuildFont(m_normalFont, faceName, pointSize, normalStyle);
    BuildFont(m_hoverFont, faceName, pointSize, hoverStyle);
}

void CTaskbarPopup::SetTextColor(COLORREF normal, COLORREF hover) {
    m_normalColor = normal;
    m_hoverColor = hover;
    if (m_hWnd != nullptr) {
        Redraw();
    }
}

CTaskbarPopup::Direction CTaskbarPopup::ChooseEdge(const RECT& workArea, int screenWidth, int screenHeight) {
    const int workWidth = workArea.right - workArea.left;
    const int workHeight = workArea.bottom - workArea.top;
    if (workWidth < screenWidth) {
        return workArea.left == 0 ? FROM_RIGHT : FROM_LEFT;
    }
    if (workHeight < screenHeight && workArea.top != 0) {
        return FROM_TOP;
    }
    return FROM_BOTTOM;
}

HRGN CTaskbarPopup::CreateRgnFromBitmap(HBITMAP bitmap, BYTE r, BYTE g, BYTE b) {
    if (bitmap == nullptr) {
        return nullptr;
    }
    BITMAP description;
    if (GetObjectW(bitmap, sizeof(description), &description) == 0 || description.bmWidth <= 0 ||
        description.bmHeight <= 0) {
        return nullptr;
    }
    // Every column counts, not only those up to a multiple of 4: 32-bit rows need no padding.
    const int width = description.bmWidth;
    const int height = description.bmHeight;
    BITMAPINFO info;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    HDC screen = ::GetDC(nullptr);
    const int lines =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (lines == 0) {
        return nullptr;
    }
    HRGN region = CreateRectRgn(0, 0, width, height);
    HRGN square = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const BYTE* pixel = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
            if (pixel[0] == b && pixel[1] == g && pixel[2] == r) {
                SetRectRgn(square, x, y, x + 1, y + 1);
                CombineRgn(region, region, square, RGN_XOR);
            }
        }
    }
    DeleteObject(square);
    return region;
}

void CTaskbarPopup::Show(LPCWSTR text, DWORD timeToShow, DWORD timeToStay, DWORD timeToHide) {
    if (m_hWnd == nullptr) {
        return;
    }
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_text = text != nullptr ? text : L"";
    m_timeToShow = timeToShow;
    m_timeToStay = timeToStay;
    m_timeToHide = timeToHide;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    m_workArea = work;
    const Direction edge = ChooseEdge(work, g_screenWidth, g_screenHeight);
    switch (m_state) {
    case STATE_HIDDEN: {
        const int steps = (edge == FROM_LEFT || edge == FROM_RIGHT ? m_skinWidth : m_skinHeight) / m_step;
        // Without a picture of at least one step there is nothing to slide.
        if (steps <= 0) {
            return;
        }
        ShowWindow(SW_SHOWNOACTIVATE);
        m_showStepDelay = m_timeToShow / static_cast<DWORD>(steps);
        m_hideStepDelay = m_timeToHide / static_cast<DWORD>(steps);
        switch (edge) {
        case FROM_RIGHT:
            m_startX = work.right;
            m_startY = work.bottom - m_skinHeight;
            break;
        case FROM_LEFT:
            m_startX = work.left - m_skinWidth;
            m_startY = work.bottom - m_skinHeight;
            break;
        case FROM_TOP:
            m_startX = work.right - m_skinWidth;
            m_startY = work.top - m_skinHeight;
            break;
        case FROM_BOTTOM:
            m_startX = work.right - m_skinWidth;
            m_startY = work.bottom;
            break;
        }
        m_direction = edge;
        m_currentX = m_startX;
        m_currentY = m_startY;
        SetTimer(TIMER_APPEAR, m_showStepDelay);
        break;
    }
    case STATE_APPEARING:
        Redraw();
        break;
    case STATE_WAITING:
        Redraw();
        KillTimer(TIMER_WAIT);
        SetTimer(TIMER_WAIT, m_timeToStay);
        break;
    case STATE_HIDING:
        KillTimer(TIMER_HIDE);
        SetTimer(TIMER_WAIT, m_timeToStay);
        switch (m_direction) {
        case FROM_RIGHT:
            m_currentX = work.right - m_skinWidth;
            break;
        case FROM_LEFT:
            m_currentX = work.left;
            break;
        case FROM_TOP:
            m_currentY = work.top;
            break;
        default:
            m_currentY = work.bottom - m_skinHeight;
            break;
        }
        // Waiting again, so that a Hide stops the wait timer that now runs.
        m_state = STATE_WAITING;
        MoveToCurrent();
        Redraw();
        break;
    default:
        break;
    }
}

void CTaskbarPopup::Hide() {
    switch (m_state) {
    case STATE_APPEARING:
        KillTimer(TIMER_APPEAR);
        break;
    case STATE_WAITING:
        KillTimer(TIMER_WAIT);
        break;
    case STATE_HIDING:
        KillTimer(TIMER_HIDE);
        break;
    default:
        // A Show whose first step has not come yet.
        KillTimer(TIMER_APPEAR);
        break;
    }
    if (m_hWnd != nullptr) {
        MoveWindow(0, 0, 0, 0);
        ShowWindow(SW_HIDE);
    }
    m_state = STATE_HIDDEN;
}

void CTaskbarPopup::MoveToCurrent() {
    SetWindowPos(nullptr, m_currentX, m_currentY, m_skinWidth, m_skinHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTaskbarPopup::Redraw() {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CTaskbarPopup::OnTimer(UINT_PTR id) {
    switch (id) {
    case TIMER_APPEAR: {
        m_state = STATE_APPEARING;
        bool stepped = true;
        switch (m_direction) {
        case FROM_TOP:
            stepped = m_currentY - m_startY < m_skinHeight;
            m_currentY += stepped ? m_step : 0;
            break;
        case FROM_LEFT:
            stepped = m_currentX - m_startX < m_skinWidth;
            m_currentX += stepped ? m_step : 0;
            break;
        case FROM_RIGHT:
            stepped = m_startX - m_skinWidth < m_currentX;
            m_currentX -= stepped ? m_step : 0;
            break;
        default:
            stepped = m_startY - m_skinHeight < m_currentY;
            m_currentY -= stepped ? m_step : 0;
            break;
        }
        if (!stepped) {
            KillTimer(TIMER_APPEAR);
            SetTimer(TIMER_WAIT, m_timeToStay);
            m_state = STATE_WAITING;
        }
        MoveToCurrent();
        break;
    }
    case TIMER_WAIT:
        KillTimer(TIMER_WAIT);
        SetTimer(TIMER_HIDE, m_hideStepDelay);
        break;
    case TIMER_HIDE: {
        m_state = STATE_HIDING;
        bool stepped = true;
        switch (m_direction) {
        case FROM_TOP:
            stepped = m_startY < m_currentY;
            m_currentY -= stepped ? m_step : 0;
            break;
        case FROM_LEFT:
            stepped = m_startX < m_currentX;
            m_currentX -= stepped ? m_step : 0;
            break;
        case FROM_RIGHT:
            stepped = m_currentX < m_startX;
            m_currentX += stepped ? m_step : 0;
            break;
        default:
            stepped = m_currentY < m_startY;
            m_currentY += stepped ? m_step : 0;
            break;
        }
        if (!stepped) {
            KillTimer(TIMER_HIDE);
            Hide();
            return;
        }
        MoveToCurrent();
        break;
    }
    default:
        CWnd::OnTimer(id);
        break;
    }
}

BOOL CTaskbarPopup::OnEraseBkgnd(CDC*) {
    return TRUE;
}

void CTaskbarPopup::OnPaint() {
    CPaintDC dc(this);
    if (m_skin.GetSafeHandle() != nullptr) {
        CDC memory;
        memory.CreateCompatibleDC(&dc);
        CBitmap* previous = memory.SelectObject(&m_skin);
        dc.BitBlt(0, 0, m_skinWidth, m_skinHeight, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(previous);
    }
    if (m_text.IsEmpty()) {
        return;
    }
    CFont& font = m_hover != 0 ? m_hoverFont : m_normalFont;
    CFont* previousFont = font.GetSafeHandle() != nullptr ? dc.SelectObject(&font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_hover != 0 ? m_hoverColor : m_normalColor);
    // Vertical centring works on single lines only, so the wrapped block is measured and placed.
    CRect measured = m_textRect;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS;
    dc.DrawText(m_text, &measured, format | DT_CALCRECT);
    CRect area = m_textRect;
    const int height = std::min<int>(measured.Height(), m_textRect.Height());
    area.top = m_textRect.top + (m_textRect.Height() - height) / 2;
    area.bottom = area.top + height;
    dc.DrawText(m_text, &area, format);
    if (previousFont != nullptr) {
        dc.SelectObject(previousFont);
    }
}

void CTaskbarPopup::OnMouseMove(UINT flags, CPoint point) {
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = 1;
    ::TrackMouseEvent(&track);
    CWnd::OnMouseMove(flags, point);
}

void CTaskbarPopup::OnMouseHover(UINT, CPoint) {
    if (m_hover == 0) {
        m_hover = 1;
        Redraw();
    }
}

void CTaskbarPopup::OnMouseLeave() {
    if (m_hover == 1) {
        m_hover = 0;
        Redraw();
    }
}

BOOL CTaskbarPopup::OnSetCursor(CWnd* window, UINT hitTest, UINT message) {
    if (hitTest == HTCLIENT) {
        SetCursor(m_handCursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(window, hitTest, message);
}

void CTaskbarPopup::OnLButtonUp(UINT flags, CPoint point) {
    ::PostMessageW(m_parent, WM_NOTIFIER_CLICKED, 0, 0);
    CWnd::OnLButtonUp(flags, point);
}

#include "viewer/skin/buttonex.h"

#include "platform/ui/cursor.h"
#include "platform/ui/window.h"
#include "viewer/skin/color.h"
#include "viewer/skin/painter.h"

CButtonEx::CButtonEx() {
    m_className = L"ButtonEx";
    m_options = OPTION_TRANSPARENT | OPTION_HOVER;
}

CButtonEx::~CButtonEx() {
    DestroyWindow();
}

void CButtonEx::SetImages(HBITMAP normal, HBITMAP hover, HBITMAP pressed, HBITMAP disabled, HBITMAP mask,
                          COLORREF, CRect source) {
    m_handles[STATE_NORMAL] = normal;
    m_handles[STATE_HOVER] = hover;
    m_handles[STATE_PRESSED] = pressed;
    m_handles[STATE_DISABLED] = disabled;
    m_handles[STATE_MASK] = mask;
    m_source = source;
    Rebuild();
}

void CButtonEx::SetCheck(int checked) {
    const int changed = m_checked != checked;
    m_checked = checked;
    if (changed && m_hWnd != nullptr) {
        Invalidate(FALSE);
    }
}

int CButtonEx::ChooseState(bool enabled, bool toggle, bool checked, bool pressed, bool hovering) {
    if (!enabled) {
        return STATE_DISABLED;
    }
    if ((toggle && checked) || pressed) {
        return STATE_PRESSED;
    }
    return hovering ? STATE_HOVER : STATE_NORMAL;
}

HBITMAP CButtonEx::OwnCopy(int slot, HBITMAP source) {
    m_copies[slot].DeleteObject();
    if (source == nullptr) {
        return nullptr;
    }
    BITMAP description;
    GetObjectW(source, sizeof(description), &description);
    HDC screen = ::GetDC(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, description.bmWidth, description.bmHeight);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ previousFrom = ::SelectObject(from, source);
    HGDIOBJ previousTo = ::SelectObject(to, copy);
    ::BitBlt(to, 0, 0, description.bmWidth, description.bmHeight, from, 0, 0, SRCCOPY);
    ::SelectObject(from, previousFrom);
    ::SelectObject(to, previousTo);
    DeleteDC(from);
    DeleteDC(to);
    ::ReleaseDC(nullptr, screen);
    m_copies[slot].Attach(copy);
    return copy;
}

void CButtonEx::Rebuild() {
    const bool tint = (m_options & OPTION_TINT) != 0;
    const bool shades = (m_options & OPTION_HOVER_SHADES) != 0;
    for (int slot = STATE_NORMAL; slot <= STATE_MASK; ++slot) {
        HBITMAP image = m_handles[slot];
        // Images are shared with other controls, so changing one means changing a copy of it.
        const bool changes =
            slot != STATE_MASK && (tint || (shades && (slot == STATE_HOVER || slot == STATE_PRESSED)));
        m_copies[slot].DeleteObject();
        if (changes && image != nullptr) {
            image = OwnCopy(slot, image);
        }
        m_bitmaps[slot].Borrow(image);
    }
    const COLORREF key = GetBaseColor(2);
    if (tint) {
        WORD hue = 0;
        WORD lightness = 0;
        WORD saturation = 0;
        CColor::RGBToHLS(GetBaseColor(0), &hue, &lightness, &saturation);
        for (int slot = STATE_NORMAL; slot <= STATE_DISABLED; ++slot) {
            if (m_bitmaps[slot].IsSet()) {
                CColor::SetHLSComponent(m_bitmaps[slot], 0, 0, -1, -1, static_cast<BYTE>(hue), 0, key, 1);
            }
        }
    }
    if (shades) {
        if (m_bitmaps[STATE_HOVER].IsSet()) {
            CColor::ShiftHLS(m_bitmaps[STATE_HOVER], 0, 0, -1, -1, 0, 20, 0, key, 1);
        }
        if (m_bitmaps[STATE_PRESSED].IsSet()) {
            CColor::ShiftHLS(m_bitmaps[STATE_PRESSED], 0, 0, -1, -1, 0, -20, 0, key, 1);
        }
    }
    ApplySizeAndRegion();
}

void CButtonEx::ApplySizeAndRegion() {
    if (m_hWnd == nullptr) {
        return;
    }
    const CSize size = m_source.IsRectEmpty() ? m_bitmaps[STATE_NORMAL].Size() : m_source.Size();
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    // A skin without a mask keeps the button rectangular rather than shapeless.
    if ((m_options & OPTION_MASK_REGION) != 0 && m_bitmaps[STATE_MASK].IsSet()) {
        SetWindowRgn(CreateRegionFromBitmap(m_bitmaps[STATE_MASK], m_source, GetBaseColor(2)), TRUE);
    }
}

int CButtonEx::OnCreate(LPCREATESTRUCTW create) {
    const int result = CBaseWnd::OnCreate(create);
    if (result != -1) {
        // The images may have come before the window.
        ApplySizeAndRegion();
    }
    return result;
}

WPARAM CButtonEx::CommandWParam() const {
    return MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), BN_CLICKED);
}

void CButtonEx::DrawSkin(CDC* dc) {
    if (!m_bitmaps[STATE_NORMAL].IsSet()) {
        return;
    }
    m_state = ChooseState(IsWindowEnabled() != FALSE, (m_options & OPTION_TOGGLE) != 0, m_checked != 0,
                          m_pressed != 0, m_hovering != 0);
    CBitmap* bitmap = m_bitmaps[m_state].IsSet() ? &m_bitmaps[m_state] : &m_bitmaps[STATE_NORMAL];
    CRect client;
    GetClientRect(&client);
    const CRect source =
        m_source.IsRectEmpty() ? CRect(CPoint(0, 0), m_bitmaps[STATE_NORMAL].Size()) : m_source;
    CPainter(dc).DrawTransparent(bitmap, source, GetBaseColor(2), client);
}

void CButtonEx::OnLButtonDown(UINT flags, CPoint point) {
    Invalidate(FALSE);
    CBaseWnd::OnLButtonDown(flags, point);
    if ((m_options & OPTION_AUTO_REPEAT) != 0) {
        m_repeatTimer = SetTimer(kRepeatTimer, 600);
    }
}

void CButtonEx::OnTimer(UINT_PTR id) {
    if (id != kRepeatTimer) {
        CBaseWnd::OnTimer(id);
        return;
    }
    KillTimer(kRepeatTimer);
    if (m_notifyWnd != nullptr) {
        ::SendMessageW(m_notifyWnd, WM_COMMAND, CommandWParam(), reinterpret_cast<LPARAM>(m_hWnd));
    }
    m_repeatTimer = SetTimer(kRepeatTimer, 500);
}

void CButtonEx::OnLButtonUp(UINT flags, CPoint point) {
    if ((m_options & OPTION_AUTO_REPEAT) != 0) {
        KillTimer(kRepeatTimer);
        m_repeatTimer = 0;
    }
    if (m_pressed != 0) {
        Invalidate(FALSE);
        POINT cursor{};
        GetCursorPos(&cursor);
        if (m_notifyWnd != nullptr && ::WindowFromPoint(cursor) == m_hWnd) {
            if ((m_options & OPTION_TOGGLE) != 0) {
                m_checked = m_checked == 0 ? 1 : 0;
            }
            ::PostMessageW(m_notifyWnd, WM_COMMAND, CommandWParam(), reinterpret_cast<LPARAM>(m_hWnd));
        }
    }
    CBaseWnd::OnLButtonUp(flags, point);
}

#include "platform/ui/headerctrl.h"

#include "platform/ui/window.h"

int CHeaderCtrl::GetItemCount() const {
    return static_cast<int>(SendMessageW(m_hWnd, HDM_GETITEMCOUNT, 0, 0));
}

BOOL CHeaderCtrl::GetItem(int item, HDITEMW* description) const {
    return static_cast<BOOL>(
        SendMessageW(m_hWnd, HDM_GETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(description)));
}

BOOL CHeaderCtrl::SetItem(int item, HDITEMW* description) {
    return static_cast<BOOL>(
        SendMessageW(m_hWnd, HDM_SETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(description)));
}

BOOL CHeaderCtrl::GetItemRect(int item, LPRECT rect) const {
    return static_cast<BOOL>(
        SendMessageW(m_hWnd, HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
}

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

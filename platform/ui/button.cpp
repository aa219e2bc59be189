#include "platform/ui/button.h"

#include "platform/ui/window.h"

BOOL CButton::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    CWnd* window = this;
    return window->Create(L"Button", text, style, rect, parent, id);
}

int CButton::GetCheck() const {
    return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int check) {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

#include "platform/ui/edit.h"

#include "platform/ui/window.h"

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    CWnd* window = this;
    return window->Create(L"Edit", nullptr, style, rect, parent, id);
}

void CEdit::LimitText(int characters) {
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

UINT CEdit::GetLimitText() const {
    return static_cast<UINT>(::SendMessageW(m_hWnd, EM_GETLIMITTEXT, 0, 0));
}

BOOL CEdit::SetReadOnly(BOOL readOnly) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(readOnly), 0));
}

void CEdit::SetPasswordChar(wchar_t character) {
    SendMessage(EM_SETPASSWORDCHAR, static_cast<WPARAM>(character), 0);
}

wchar_t CEdit::GetPasswordChar() const {
    return static_cast<wchar_t>(::SendMessageW(m_hWnd, EM_GETPASSWORDCHAR, 0, 0));
}

void CEdit::SetSel(int start, int end, BOOL) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CEdit::GetSel(int& start, int& end) const {
    const DWORD selection = static_cast<DWORD>(::SendMessageW(m_hWnd, EM_GETSEL, 0, 0));
    start = LOWORD(selection);
    end = HIWORD(selection);
}

#include "platform/ui/combobox.h"

#include "platform/ui/window.h"

#include <vector>

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam, const void* lParam) {
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

} // namespace

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    // Through the virtual creation, which a derived class may use to adjust the style.
    CWnd* window = this;
    return window->Create(WC_COMBOBOXW, nullptr, style, rect, parent, id);
}

int CComboBox::AddString(LPCWSTR text) {
    return static_cast<int>(Send(m_hWnd, CB_ADDSTRING, 0, text));
}

int CComboBox::InsertString(int index, LPCWSTR text) {
    return static_cast<int>(Send(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(index), text));
}

int CComboBox::DeleteString(UINT index) {
    return static_cast<int>(SendMessageW(m_hWnd, CB_DELETESTRING, index, 0));
}

void CComboBox::ResetContent() {
    SendMessageW(m_hWnd, CB_RESETCONTENT, 0, 0);
}

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0));
}

int CComboBox::SetCurSel(int index) {
    return static_cast<int>(SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int CComboBox::GetLBText(int index, LPWSTR buffer) const {
    return static_cast<int>(Send(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index), buffer));
}

void CComboBox::GetLBText(int index, CString& text) const {
    const int length = GetLBTextLen(index);
    if (length < 0) {
        text.Empty();
        return;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GetLBText(index, buffer.data());
    text = CString(buffer.data());
}

int CComboBox::GetLBTextLen(int index) const {
    return static_cast<int>(SendMessageW(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(
        SendMessageW(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int CComboBox::SetItemHeight(int index, UINT height) {
    return static_cast<int>(
        SendMessageW(m_hWnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(index), static_cast<LPARAM>(height)));
}

int CComboBox::GetItemHeight(int index) const {
    return static_cast<int>(SendMessageW(m_hWnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

BOOL CComboBox::GetDroppedState() const {
    return static_cast<BOOL>(SendMessageW(m_hWnd, CB_GETDROPPEDSTATE, 0, 0));
}

void CComboBox::ShowDropDown(BOOL show) {
    SendMessageW(m_hWnd, CB_SHOWDROPDOWN, static_cast<WPARAM>(show), 0);
}

int CComboBox::FindStringExact(int start, LPCWSTR text) const {
    return static_cast<int>(Send(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), text));
}

int CComboBox::SelectString(int start, LPCWSTR text) {
    return static_cast<int>(Send(m_hWnd, CB_SELECTSTRING, static_cast<WPARAM>(start), text));
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (result != nullptr) {
            *result = TRUE;
        }
        return TRUE;
    }
    if (message == WM_MEASUREITEM) {
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        if (result != nullptr) {
            *result = TRUE;
        }
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

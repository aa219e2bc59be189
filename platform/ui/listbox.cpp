#include "platform/ui/listbox.h"

#include "platform/ui/window.h"

#include <vector>

int CListBox::GetCount() const {
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0));
}

int CListBox::GetText(int index, LPWSTR buffer) const {
    return static_cast<int>(
        SendMessageW(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}

void CListBox::GetText(int index, CString& text) const {
    const int length = GetTextLen(index);
    if (length < 0) {
        text.Empty();
        return;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GetText(index, buffer.data());
    text = CString(buffer.data());
}

int CListBox::GetTextLen(int index) const {
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
}

int CListBox::GetItemRect(int index, LPRECT rect) const {
    return static_cast<int>(
        SendMessageW(m_hWnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
}

int CListBox::GetCurSel() const {
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0));
}

int CListBox::GetItemHeight(int index) const {
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

int CListBox::GetTopIndex() const {
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0));
}

#include "platform/ui/listctrl.h"

#include "platform/ui/window.h"

#include <vector>

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam, const void* lParam) {
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

} // namespace

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    CWnd* window = this;
    return window->Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
}

int CListCtrl::InsertColumn(int column, LPCWSTR heading, int format, int width, int subItem) {
    LVCOLUMNW description;
    description.mask = LVCF_TEXT | LVCF_FMT;
    description.fmt = format;
    description.pszText = const_cast<LPWSTR>(heading);
    if (width >= 0) {
        description.mask |= LVCF_WIDTH;
        description.cx = width;
    }
    if (subItem >= 0) {
        description.mask |= LVCF_SUBITEM;
        description.iSubItem = subItem;
    }
    return static_cast<int>(Send(m_hWnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), &description));
}

BOOL CListCtrl::DeleteColumn(int column) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0));
}

int CListCtrl::GetColumnWidth(int column) const {
    return static_cast<int>(SendMessageW(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                                          MAKELPARAM(static_cast<WORD>(width), 0)));
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
    return dynamic_cast<CHeaderCtrl*>(
        FromHandle(reinterpret_cast<HWND>(SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0))));
}

int CListCtrl::InsertItem(int item, LPCWSTR text) {
    LVITEMW description;
    description.mask = LVIF_TEXT;
    description.iItem = item;
    description.pszText = const_cast<LPWSTR>(text);
    return InsertItem(&description);
}

int CListCtrl::InsertItem(const LVITEMW* item) {
    return static_cast<int>(Send(m_hWnd, LVM_INSERTITEMW, 0, item));
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCWSTR text) {
    LVITEMW description;
    description.iSubItem = subItem;
    description.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(Send(m_hWnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), &description));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    std::vector<wchar_t> buffer(256, L'\0');
    for (;;) {
        LVITEMW description;
        description.iSubItem = subItem;
        description.pszText = buffer.data();
        description.cchTextMax = static_cast<int>(buffer.size());
        const auto length =
            static_cast<size_t>(Send(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), &description));
        if (length + 1 < buffer.size()) {
            return CString(buffer.data());
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
    LVITEMW description;
    description.mask = LVIF_PARAM;
    description.iItem = item;
    description.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(Send(m_hWnd, LVM_SETITEMW, 0, &description));
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMW description;
    description.mask = LVIF_PARAM;
    description.iItem = item;
    Send(m_hWnd, LVM_GETITEMW, 0, &description);
    return static_cast<DWORD_PTR>(description.lParam);
}

BOOL CListCtrl::DeleteItem(int item) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_DELETEITEM, static_cast<WPARAM>(item), 0));
}

BOOL CListCtrl::DeleteAllItems() {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0));
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    return static_cast<UINT>(
        SendMessageW(m_hWnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMW description;
    description.state = state;
    description.stateMask = mask;
    return static_cast<BOOL>(Send(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item), &description));
}

UINT CListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(SendMessageW(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0));
}

int CListCtrl::GetNextItem(int item, int flags) const {
    return static_cast<int>(SendMessageW(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                         MAKELPARAM(static_cast<WORD>(flags), 0)));
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const {
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(Send(m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(item), rect));
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const {
    LVHITTESTINFO test;
    test.pt = point;
    const int item = HitTest(&test);
    if (flags != nullptr) {
        *flags = test.flags;
    }
    return item;
}

int CListCtrl::HitTest(LVHITTESTINFO* test) const {
    return static_cast<int>(Send(m_hWnd, LVM_HITTEST, 0, test));
}

BOOL CListCtrl::EnsureVisible(int item, BOOL partialOk) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk));
}

BOOL CListCtrl::Scroll(CSize size) {
    return static_cast<BOOL>(
        SendMessageW(m_hWnd, LVM_SCROLL, static_cast<WPARAM>(size.cx), static_cast<LPARAM>(size.cy)));
}

int CListCtrl::GetTopIndex() const {
    return static_cast<int>(SendMessageW(m_hWnd, LVM_GETTOPINDEX, 0, 0));
}

int CListCtrl::GetCountPerPage() const {
    return static_cast<int>(SendMessageW(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0));
}

COLORREF CListCtrl::GetBkColor() const {
    return static_cast<COLORREF>(SendMessageW(m_hWnd, LVM_GETBKCOLOR, 0, 0));
}

BOOL CListCtrl::SetBkColor(COLORREF color) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)));
}

COLORREF CListCtrl::GetTextColor() const {
    return static_cast<COLORREF>(SendMessageW(m_hWnd, LVM_GETTEXTCOLOR, 0, 0));
}

BOOL CListCtrl::SetTextColor(COLORREF color) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color)));
}

COLORREF CListCtrl::GetTextBkColor() const {
    return static_cast<COLORREF>(SendMessageW(m_hWnd, LVM_GETTEXTBKCOLOR, 0, 0));
}

BOOL CListCtrl::SetTextBkColor(COLORREF color) {
    return static_cast<BOOL>(SendMessageW(m_hWnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(color)));
}

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(
        SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

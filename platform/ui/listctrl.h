#pragma once
// The report-style list view: columns under a header, rows of texts, selection, scrolling and
// custom drawing (NM_CUSTOMDRAW to the parent, which the class library reflects to the list).

#include "platform/ui/commctrl.h"
#include "platform/ui/headerctrl.h"
#include "platform/ui/wnd.h"

class CListCtrl : public CWnd {
  public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int InsertColumn(int column, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int column);
    int GetColumnWidth(int column) const;
    BOOL SetColumnWidth(int column, int width);
    CHeaderCtrl* GetHeaderCtrl() const;

    int InsertItem(int item, LPCWSTR text);
    int InsertItem(const LVITEMW* item);
    BOOL SetItemText(int item, int subItem, LPCWSTR text);
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetItemCount() const;

    UINT GetItemState(int item, UINT mask) const;
    // item -1 changes every row.
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetSelectedCount() const;
    int GetNextItem(int item, int flags) const;

    BOOL GetItemRect(int item, LPRECT rect, UINT code) const;
    int HitTest(CPoint point, UINT* flags = nullptr) const;
    int HitTest(LVHITTESTINFO* test) const;
    BOOL EnsureVisible(int item, BOOL partialOk);
    // Pixels; vertically whole rows.
    BOOL Scroll(CSize size);
    int GetTopIndex() const;
    int GetCountPerPage() const;

    COLORREF GetBkColor() const;
    BOOL SetBkColor(COLORREF color);
    COLORREF GetTextColor() const;
    BOOL SetTextColor(COLORREF color);
    COLORREF GetTextBkColor() const;
    BOOL SetTextBkColor(COLORREF color);
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD style);
};

#pragma once
// The drop-down list combo box. Any combo type asked for is made a drop-down list. It sends
// CBN_SELCHANGE, CBN_DROPDOWN, CBN_CLOSEUP, CBN_SETFOCUS and CBN_KILLFOCUS to its parent as
// WM_COMMAND; owner-drawn boxes (CBS_OWNERDRAWFIXED) draw their list items in DrawItem.

#include "platform/ui/commctrl.h"
#include "platform/ui/wnd.h"

class CComboBox : public CWnd {
  public:
    using CWnd::Create;
    // The rectangle's height is the box's and its list's together.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int AddString(LPCWSTR text);
    int InsertString(int index, LPCWSTR text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetLBText(int index, LPWSTR buffer) const;
    void GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    // index -1 is the selection field.
    int SetItemHeight(int index, UINT height);
    int GetItemHeight(int index) const;
    BOOL GetDroppedState() const;
    void ShowDropDown(BOOL show = TRUE);
    int FindStringExact(int start, LPCWSTR text) const;
    int SelectString(int start, LPCWSTR text);

    // Owner drawing: the item in draw->rcItem on draw->hDC.
    virtual void DrawItem(LPDRAWITEMSTRUCT draw);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measure);

  protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

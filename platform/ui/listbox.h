#pragma once
// The list of a combo box, as the class library reaches it.

#include "platform/ui/commctrl.h"
#include "platform/ui/wnd.h"

class CListBox : public CWnd {
  public:
    int GetCount() const;
    int GetText(int index, LPWSTR buffer) const;
    void GetText(int index, CString& text) const;
    int GetTextLen(int index) const;
    // In the list's client coordinates.
    int GetItemRect(int index, LPRECT rect) const;
    int GetCurSel() const;
    int GetItemHeight(int index) const;
    int GetTopIndex() const;
};

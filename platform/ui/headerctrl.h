#pragma once
// The header control above a report list's rows (the list's child with id 0).

#include "platform/ui/commctrl.h"
#include "platform/ui/wnd.h"

class CHeaderCtrl : public CWnd {
  public:
    int GetItemCount() const;
    BOOL GetItem(int item, HDITEMW* description) const;
    BOOL SetItem(int item, HDITEMW* description);
    // In the header's client coordinates.
    BOOL GetItemRect(int item, LPRECT rect) const;
    // Owner drawing of one item; the header itself draws nothing here.
    virtual void DrawItem(LPDRAWITEMSTRUCT draw);
};

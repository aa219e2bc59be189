#pragma once
// Buttons ("Button"): push buttons, check boxes and radio buttons, drawn in the desktop's style. A
// click reaches the parent as WM_COMMAND with BN_CLICKED. An automatic check box changes its check
// before that; an automatic radio button checks itself and unchecks the other automatic radio
// buttons of its group (the siblings from the last one with WS_GROUP up to the next). The other
// kinds leave their check to the program.

#include "platform/ui/wnd.h"

constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_TYPEMASK = 0x000F;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
// A click as the user makes it.
constexpr UINT BM_CLICK = 0x00F5;

constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

class CButton : public CWnd {
  public:
    using CWnd::Create;
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int GetCheck() const;
    void SetCheck(int check);
};

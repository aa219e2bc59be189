#pragma once
// The static control: a plain child window that shows its text on the dialog colour. Without
// SS_NOTIFY the mouse passes through it to the window below, as on the platform.

#include "platform/ui/wnd.h"

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_NOTIFY = 0x0100;

class CStatic : public CWnd {
  public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
};

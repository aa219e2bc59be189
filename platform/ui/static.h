#pragma once
// The static control: a plain child window that shows a text, a bitmap or a frame. Before painting
// a text or a bitmap it asks its parent with WM_CTLCOLORSTATIC (the DC in wParam, itself in
// lParam): the parent sets the text colour, background mode and colour on the DC and answers the
// brush the background is filled with. The stock null brush leaves the background out, so what
// lies below (the parent, or a picture under it) shows through. Frames are drawn without asking
// and leave their inside out. Without SS_NOTIFY the mouse passes through to the window below, as
// on the platform.

#include "platform/ui/gdidefs.h"
#include "platform/ui/wnd.h"

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_BLACKFRAME = 0x0007;
constexpr DWORD SS_GRAYFRAME = 0x0008;
constexpr DWORD SS_WHITEFRAME = 0x0009;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
// The control's text "#<id>" names a bitmap of the program's resources, which the control loads
// and owns; the control takes the bitmap's size when it gets a bitmap.
constexpr DWORD SS_BITMAP = 0x000E;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOTIFY = 0x0100;
// A bitmap is centred in the control, which keeps its size.
constexpr DWORD SS_CENTERIMAGE = 0x0200;

// lParam a bitmap (wParam IMAGE_BITMAP); answers the bitmap shown before. A bitmap given this way
// stays its giver's, one the control loaded itself is freed.
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;

class CStatic : public CWnd {
  public:
    using CWnd::Create;
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
};

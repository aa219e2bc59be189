#pragma once
// Mouse cursors. The cursor shown is set while a window handles WM_SETCURSOR (the default
// handling sets its class cursor) and stays until the next mouse message.

#include "platform/ui/windefs.h"

inline const LPCWSTR IDC_ARROW = MAKEINTRESOURCEW(32512);
inline const LPCWSTR IDC_IBEAM = MAKEINTRESOURCEW(32513);
inline const LPCWSTR IDC_WAIT = MAKEINTRESOURCEW(32514);
inline const LPCWSTR IDC_CROSS = MAKEINTRESOURCEW(32515);
inline const LPCWSTR IDC_UPARROW = MAKEINTRESOURCEW(32516);
inline const LPCWSTR IDC_SIZENWSE = MAKEINTRESOURCEW(32642);
inline const LPCWSTR IDC_SIZENESW = MAKEINTRESOURCEW(32643);
inline const LPCWSTR IDC_SIZEWE = MAKEINTRESOURCEW(32644);
inline const LPCWSTR IDC_SIZENS = MAKEINTRESOURCEW(32645);
inline const LPCWSTR IDC_SIZEALL = MAKEINTRESOURCEW(32646);
inline const LPCWSTR IDC_NO = MAKEINTRESOURCEW(32648);
inline const LPCWSTR IDC_HAND = MAKEINTRESOURCEW(32649);
inline const LPCWSTR IDC_APPSTARTING = MAKEINTRESOURCEW(32650);

// A null module loads one of the system cursors above; any other a cursor of the program's
// resources. Loaded cursors are shared and never destroyed.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// Answers the cursor set before; null hides the cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Only cursors loaded from files are destroyed; others succeed and stay.
BOOL DestroyCursor(HCURSOR cursor);
// Where the mouse is on the screen. On the offscreen platform, where nothing moves the pointer,
// it is where the last mouse event the program received happened.
BOOL GetCursorPos(POINT* point);
// Moves the pointer. On the offscreen platform it sets where GetCursorPos reports it (until the
// next mouse event), which is how tests place the mouse.
BOOL SetCursorPos(int x, int y);

#pragma once
// The window calls of the platform over handles. PostMessageW, IsWindow and InvalidateRect do
// their work from any thread. Every other call made on another thread is done on the GUI thread
// while the caller waits (guithread.h); when the GUI thread cannot take it, it fails as on a dead
// window (0, FALSE or null), so no thread but the GUI thread ever touches a window.

#include "platform/ui/gdidefs.h"

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// Messages. A null or dead window answers 0 (send) or drops the message (post, answer FALSE).
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Ends the outermost message loop once the messages posted before it have been handled.
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window classes: the style (CS_DBLCLKS decides whether double clicks arrive), the cursor and the
// background brush matter; a procedure other than DefWindowProcW becomes the default procedure.
WORD RegisterClassW(const WNDCLASSW* windowClass);
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* windowClass);
// A class with these properties under a name made up for it; the same properties give the same name.
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);

BOOL IsWindow(HWND window);
BOOL DestroyWindow(HWND window);
// Answers whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
// The window and all its parents are visible.
BOOL IsWindowVisible(HWND window);
// A top-level window that is minimised.
BOOL IsIconic(HWND window);
// Answers whether the window was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Children are placed in their parent's client coordinates, other windows on the screen. A window
// as insertAfter puts this one directly behind it among its siblings. A top-level window is sized
// within the tracking size its WM_GETMINMAXINFO gives (asked again whenever it is sized or shown);
// SWP_FRAMECHANGED applies style changes of its frame: without WS_CAPTION it is frameless.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// A null window stands for the screen.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
// The parent of a child window, the owner of any other.
HWND GetParent(HWND window);
BOOL IsChild(HWND parent, HWND window);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND window);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR buffer, int size);
int GetWindowTextLengthW(HWND window);
HWND WindowFromPoint(POINT point);

// Painting. The invalid part of a window gets WM_PAINT when the event loop comes round, or at once
// with UpdateWindow.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// The window takes over the region (and frees it); null makes the window rectangular again.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);

// Keyboard focus, activation and mouse capture.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// WM_MOUSEHOVER after the mouse rested for the hover time (HOVER_DEFAULT: 400 ms), WM_MOUSELEAVE
// when it left the client area; each is asked for once.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
// The high bit is set while the key or button is down.
short GetKeyState(int virtualKey);
UINT GetDoubleClickTime();

// Timers by window and id. A period of 0 is the platform's minimum of 10 ms; setting an id again
// restarts it with the new period.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds);
BOOL KillTimer(HWND window, UINT_PTR id);

// Scroll state of the scrolling controls (the list view).
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
int GetScrollPos(HWND window, int bar);
BOOL InitializeFlatSB(HWND window);
BOOL FlatSB_EnableScrollBar(HWND window, int bar, UINT arrows);

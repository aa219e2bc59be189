#pragma once
// What the application object and the main view share with the rest of the program: the view's
// window, which receives every private message, and the string library.

#include "platform/base/resourcemodule.h"
#include "platform/base/windowsystem.h"

// Null until the frame has created the view; senders send nothing while it is null.
extern HWND g_hViewWnd;
// The string library TREVO_Res, loaded as data while the application runs.
extern HMODULE g_hResourceDll;

// The private messages the main view handles.
constexpr UINT WM_SET_STATUS_TEXT = 10001;
constexpr UINT WM_OPEN_FOLDER = 10002;
constexpr UINT WM_OPEN_FILE = 10003;
constexpr UINT WM_CONFIG_FILE_ADDED = 10004;
constexpr UINT WM_SHOW_TYPE_MENU = 10005;
constexpr UINT WM_TOGGLE_LIST_ORDER = 10006;
constexpr UINT WM_RENDERER_RESET = 10007;
constexpr UINT WM_PLAYER_READ_ERROR = 10009;
constexpr UINT WM_TOGGLE_PLAY = 10011;
constexpr UINT WM_DRIVE_ARRIVED = 10012;
constexpr UINT WM_DRIVE_REMOVED = 10013;
constexpr UINT WM_NOTIFIER_CLICKED = 0x47B;

// The primary screen's size in pixels, recorded when the application object is made and never
// changed: the back-buffer size of every video renderer and the scale of the zoom selection.
extern int g_screenWidth;
extern int g_screenHeight;
// The picture layout size, 1920 x 1080: every decoded picture and video surface has this size.
extern int g_layoutWidth;
extern int g_layoutHeight;
// The size of the monitor on which the view last placed itself (CChildView::SetScreenMode).
extern int g_monitorWidth;
extern int g_monitorHeight;
// The left edge of that monitor's work area, and the top edge of the whole monitor. The top is
// needed beside the height wherever a monitor lies above or below the primary one.
extern int g_monitorLeft;
extern int g_monitorTop;
// The hit code (10 to 17 an edge or corner, 1 the interior) of the skinned sizing grip pressed
// last; the windows it forwards the mouse to read it while they resize. 0 before any press.
extern int g_sizingHitCode;

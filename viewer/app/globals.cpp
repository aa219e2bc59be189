#include "viewer/app/globals.h"

HWND g_hViewWnd = nullptr;
HMODULE g_hResourceDll = nullptr;
int g_sizingHitCode = 0;
int ScreenWidth = 0;
int ScreenHeight = 0;
int LayoutWidth = 1920;
int LayoutHeight = 1080;
int MonitorHeight = 0;
int g_monitorLeft = 0;
int g_monitorTop = 0;

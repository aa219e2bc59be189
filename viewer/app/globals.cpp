#include "viewer/app/globals.h"

HWND g_hViewWnd = nullptr;
HMODULE g_hResourceDll = nullptr;
int g_sizingHitCode = 0;
int g_screenWidth = 0;
int g_screenHeight = 0;
int g_layoutWidth = 1920;
int g_layoutHeight = 1080;
int g_monitorWidth = 0;
int g_monitorHeight = 0;
int g_monitorLeft = 0;
int g_monitorTop = 0;

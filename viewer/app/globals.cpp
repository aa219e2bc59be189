#include "viewer/app/globals.h"

HWND g_hViewWnd = nullptr;
HMODULE g_hResourceDll = nullptr;

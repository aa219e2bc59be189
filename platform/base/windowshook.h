#pragma once
// Low-level keyboard hooks. Linux offers no system-wide hook to an ordinary program, so the chain
// sees the key events of the program's own windows: the window layer reports each one through
// RunLowLevelKeyboardHooks. Hooks run newest first; each passes the event on with CallNextHookEx,
// and a hook that answers non-zero without passing it on swallows the key. GUI thread only.

#include "platform/base/resourcemodule.h"
#include "platform/base/wintypes.h"

struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

constexpr int WH_KEYBOARD_LL = 13;
constexpr int HC_ACTION = 0;

struct KBDLLHOOKSTRUCT {
    DWORD vkCode = 0;
    DWORD scanCode = 0;
    DWORD flags = 0;
    DWORD time = 0;
    ULONG_PTR dwExtraInfo = 0;
};
constexpr DWORD LLKHF_UP = 0x80;

// Only WH_KEYBOARD_LL exists; null for anything else.
HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
// The hook handle is ignored, as the platform does: the next hook after the running one gets the
// event, and past the last one the answer is 0.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// wParam is the key message (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP). True when a hook
// swallowed the event.
bool RunLowLevelKeyboardHooks(WPARAM keyMessage, const KBDLLHOOKSTRUCT& event);

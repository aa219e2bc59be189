#pragma once
// Window handles, messages and message boxes as code without windows of its own sees them (the
// catalogue, the settings files, worker threads). The window layer installs itself as the window
// system when the program starts; tests install a fake. With none installed, sends answer 0, posts
// fail and message boxes answer IDCANCEL, so headless code never blocks on a question.

#include "platform/base/wintypes.h"

#include <string>

struct HWND__;
using HWND = HWND__*;

constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class IWindowSystem {
  public:
    virtual ~IWindowSystem() = default;
    // Synchronous, on the GUI thread.
    virtual LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // From any thread; false when the window is gone or null.
    virtual bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // From any thread; a worker blocks until the user has answered on the GUI thread.
    virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                               UINT type) = 0;
};

// Returns the window system installed before; null uninstalls.
IWindowSystem* SetWindowSystem(IWindowSystem* windowSystem);

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

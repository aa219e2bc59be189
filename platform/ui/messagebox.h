#pragma once
// Message boxes. The answering is behind MessageBoxHandler so that tests answer them headlessly; the
// platform's own boxes are Qt's. Any thread may ask: the box is shown on the GUI thread while the
// asking thread waits (so the GUI thread must not be waiting for that thread).

#include "platform/ui/windefs.h"

#include <string>

constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

class MessageBoxHandler {
  public:
    virtual ~MessageBoxHandler() = default;
    // Called on the GUI thread; answers IDOK, IDCANCEL, IDYES, IDNO, ...
    virtual int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
};

// Answers the handler installed before; null brings back the platform's boxes.
MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler);

// A null caption is "Error", as on the platform.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Owned by the main window, captioned with the application's name.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);

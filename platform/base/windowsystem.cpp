#include "platform/base/windowsystem.h"

#include "platform/base/trace.h"

#include <atomic>

namespace {

std::atomic<IWindowSystem*> installedWindowSystem{nullptr};

} // namespace

IWindowSystem* SetWindowSystem(IWindowSystem* windowSystem) {
    return installedWindowSystem.exchange(windowSystem);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IWindowSystem* windowSystem = installedWindowSystem;
    return windowSystem && window ? windowSystem->Send(window, message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IWindowSystem* windowSystem = installedWindowSystem;
    return windowSystem && window && windowSystem->Post(window, message, wParam, lParam) ? TRUE : FALSE;
}

int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    IWindowSystem* windowSystem = installedWindowSystem;
    if (windowSystem)
        return windowSystem->ShowMessageBox(owner, text, caption, type);
    TraceLine(L"message box without a window system: " + text);
    return IDCANCEL;
}

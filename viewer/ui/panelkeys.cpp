#include "viewer/ui/panelkeys.h"

#include "platform/ui/app.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "platform/ui/wnd.h"
#include "viewer/app/globals.h"

void DestroyMainWindowLater() {
    if (CWnd* main = AfxGetMainWnd(); main != nullptr && main->m_hWnd != nullptr) {
        const HWND handle = main->m_hWnd;
        RunOnGuiThread([handle] { ::DestroyWindow(handle); }, false);
    }
}

BOOL TranslateSidePanelKey(const MSG& message) {
    const UINT key = static_cast<UINT>(message.wParam);
    if (message.message == WM_SYSKEYDOWN && key == kVkF4) {
        DestroyMainWindowLater();
        return TRUE;
    }
    if (message.message == WM_KEYDOWN &&
        (key == VK_ESCAPE || key == VK_RETURN || key == VK_SPACE || key == kVkCancel)) {
        return TRUE;
    }
    if (message.message == WM_KEYUP && key == VK_SPACE && g_hViewWnd != nullptr) {
        ::SendMessageW(g_hViewWnd, WM_TOGGLE_PLAY, 0, 0);
    }
    return FALSE;
}

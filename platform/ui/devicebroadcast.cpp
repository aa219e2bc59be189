#include "platform/ui/devicebroadcast.h"

#include "platform/ui/app.h"
#include "platform/ui/window.h"
#include "platform/ui/wnd.h"

void BroadcastVolumeChange(WPARAM event, wchar_t letter) {
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || letter < L'A' || letter > L'Z')
        return;
    DEV_BROADCAST_VOLUME volume;
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (letter - L'A');
    SendMessageW(main->GetSafeHwnd(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

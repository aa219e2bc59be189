#pragma once
// Device-change broadcasts: a volume that arrives or goes is announced to the program's main window
// as WM_DEVICECHANGE, with the event in wParam and a DEV_BROADCAST_VOLUME in lParam whose unit mask
// has the volume's drive-letter bit. Who finds the volumes is the devices layer (volumewatcher.h).

#include "platform/base/wintypes.h"

constexpr UINT WM_DEVICECHANGE = 0x0219;

// Events (wParam).
constexpr WPARAM DBT_DEVNODES_CHANGED = 0x0007;
constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;

// Device types of the broadcast header.
constexpr DWORD DBT_DEVTYP_VOLUME = 0x00000002;

// The start every broadcast shares; its device type tells which structure it begins.
struct DEV_BROADCAST_HDR {
    DWORD dbch_size = 0;
    DWORD dbch_devicetype = 0;
    DWORD dbch_reserved = 0;
};

struct DEV_BROADCAST_VOLUME {
    DWORD dbcv_size = 0;
    DWORD dbcv_devicetype = 0;
    DWORD dbcv_reserved = 0;
    // Bit 0 for A:, bit 25 for Z:.
    DWORD dbcv_unitmask = 0;
    // 0: a volume that came or went with its drive (not media in a drive that stays, nor a network
    // volume).
    WORD dbcv_flags = 0;
};

// Sends (synchronously, on the GUI thread) the event for the volume with the letter 'A' to 'Z' to
// the main window; without a main window, or for any other letter, nothing is sent.
void BroadcastVolumeChange(WPARAM event, wchar_t letter);

#pragma once
// What the frame makes of a device-change broadcast, apart from its window: the trace lines it
// writes and the message the view is sent. Volumes only; every other broadcast is traced at most.

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

class DeviceChangeRules {
  public:
    struct Action {
        std::vector<std::string> traces;
        // 0: nothing is sent; else WM_DRIVE_ARRIVED or WM_DRIVE_REMOVED with the drive letter.
        UINT message = 0;
        char letter = 0;
    };

    // data is the broadcast's header (DEV_BROADCAST_HDR), or 0.
    static Action Decide(WPARAM event, LPARAM data);
};

#include "viewer/ui/devicechangerules.h"

#include "platform/ui/devicebroadcast.h"
#include "viewer/app/globals.h"
#include "viewer/ui/usbdrivedetector.h"

namespace {

void AnnounceVolume(DeviceChangeRules::Action& action, const char* name, UINT message, LPARAM data) {
    action.traces.push_back(std::string(name));
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME) {
        return;
    }
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data);
    action.letter = DriveLetterFromUnitMask(volume->dbcv_unitmask);
    action.traces.push_back(std::string(name) + " - " + action.letter);
    action.message = message;
}

} // namespace

DeviceChangeRules::Action DeviceChangeRules::Decide(WPARAM event, LPARAM data) {
    Action action;
    switch (event) {
    case DBT_DEVNODES_CHANGED:
        action.traces.push_back("DBT_DEVNODES_CHANGED");
        break;
    case DBT_DEVICEARRIVAL:
        AnnounceVolume(action, "DBT_DEVICEARRIVAL", WM_DRIVE_ARRIVED, data);
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        AnnounceVolume(action, "DBT_DEVICEREMOVECOMPLETE", WM_DRIVE_REMOVED, data);
        break;
    default:
        break;
    }
    return action;
}

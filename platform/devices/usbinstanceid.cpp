#include "platform/devices/usbinstanceid.h"

#include "platform/base/drivetable.h"
#include "platform/base/filesystem.h"

#include <cwchar>

BOOL GetUsbParentInstanceIdOfDrive(wchar_t letter, std::wstring& instanceId) {
    const auto volume = DriveTable::Instance().Find(letter);
    if (!volume || !FileSystem::IsDirectory(volume->mountRoot))
        return FALSE;
    if (volume->usbVendorId == 0 && volume->usbProductId == 0)
        return FALSE;
    wchar_t ids[32];
    std::swprintf(ids, sizeof ids / sizeof ids[0], L"USB\\VID_%04X&PID_%04X", volume->usbVendorId,
                  volume->usbProductId);
    instanceId = ids;
    if (!volume->usbSerial.empty())
        instanceId += L"\\" + volume->usbSerial;
    return TRUE;
}

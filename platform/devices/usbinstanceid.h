#pragma once
// The USB device behind a drive letter, named as the platform's device tree names it: the device
// instance id "USB\VID_04E8&PID_6860\serial" of the USB device that carries the volume (without the
// serial part when the device has none). This stands for opening the volume, finding its storage
// device among the disk, CD-ROM and floppy interfaces and taking that device's parent: sysfs gave
// the ids when the volume got its letter (volumeregistry.h).

#include "platform/base/wintypes.h"

#include <string>

// FALSE when the letter names no volume, the volume cannot be reached any more (a card pulled out
// before its removal was seen) or no USB device is known to carry it; instanceId is then untouched.
BOOL GetUsbParentInstanceIdOfDrive(wchar_t letter, std::wstring& instanceId);

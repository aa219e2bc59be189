#pragma once
// Whether a block device holds removable media and which USB device carries it, as sysfs tells:
// the removable-media bit of the disk, and the ids of the nearest USB device (the one with idVendor
// and idProduct) above the block device in the device tree. The sysfs root is a parameter so that a
// folder built to look like sysfs can stand in for it.

#include "platform/base/wintypes.h"

#include <optional>
#include <string>

struct RemovableMediaFacts {
    // A partition's is its disk's.
    bool removable = false;
    // A USB device carries the block device (built-in card readers, NVMe and virtual disks have none).
    bool onUsb = false;
    // 0 when the USB device's ids do not read as 1 to 4 hexadecimal digits.
    DWORD usbVendorId = 0;
    DWORD usbProductId = 0;
    // Empty when the device has none, or one that could not stand in a device instance id.
    std::string usbSerial;
};

// Nothing when no block device has these numbers.
std::optional<RemovableMediaFacts> ReadRemovableMediaFacts(const std::string& sysfsRoot, unsigned major,
                                                           unsigned minor);

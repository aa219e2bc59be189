#pragma once
// What sysfs tells of a block device: its name and device node, and, for a partition, its number,
// start and the disk it lies on. The sysfs root is a parameter so that a folder built to look like
// sysfs can stand in for it.

#include "platform/base/wintypes.h"

#include <optional>
#include <string>

struct BlockDeviceFacts {
    // "sdb1", "mmcblk0p1", "loop0".
    std::string name;
    std::string deviceNode;
    // 0 for a whole disk.
    int partitionNumber = 0;
    // In 512-byte units, whatever the device's sector size.
    ULONGLONG start512 = 0;
    // Of the disk a partition lies on; empty for a whole disk.
    std::string diskName;
    std::string diskNode;
};

constexpr const char* kSysfsRoot = "/sys";

// Nothing when no block device has these numbers.
std::optional<BlockDeviceFacts> ReadBlockDeviceFacts(const std::string& sysfsRoot, unsigned major,
                                                     unsigned minor);

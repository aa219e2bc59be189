#pragma once
// The kernel's table of mounts (/proc/self/mountinfo), as far as finding and unmounting the
// volume behind a drive letter needs it.

#include <string>
#include <vector>

struct MountInfoEntry {
    unsigned major = 0;
    unsigned minor = 0;
    // The folder of the mounted file system that appears at the mount point ("/" for all of it).
    std::string root;
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

// Entries in the table's order: a later mount on the same point hides an earlier one. Lines that
// do not parse are left out. Octal escapes (\040 for a space) are decoded.
std::vector<MountInfoEntry> ParseMountInfo(const std::string& text);
std::vector<MountInfoEntry> ReadMountInfo();

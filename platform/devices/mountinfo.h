#pragma once
// The kernel's table of mounts (/proc/self/mountinfo), as far as finding the volumes that get drive
// letters, and unmounting the volume behind one, need it.

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

constexpr const char* kMountInfoPath = "/proc/self/mountinfo";
// Empty when the file cannot be read.
std::vector<MountInfoEntry> ReadMountInfo(const std::string& path = kMountInfoPath);

// The mounts that show a whole block-device volume, one per device, in the table's order: only
// devices under /dev with a real device number (not the anonymous major 0 of proc, tmpfs and the
// like), only mounts of the file system's top (a bind mount of a folder inside it is no volume),
// and of several mounts of one device the first that no later mount on the same point hides.
std::vector<MountInfoEntry> BlockVolumeMounts(const std::vector<MountInfoEntry>& entries);

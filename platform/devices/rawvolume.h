#pragma once
// A whole volume opened for raw writing, as the card format needs it. Two back ends stand behind
// it: an image file (imagefilevolume.h) and the card's block device (blockdevicevolume.h). Every
// call that fails returns false and leaves errno telling why, as the system's last error.

#include "platform/base/wintypes.h"

#include <cstddef>

struct RawVolumeGeometry {
    DWORD bytesPerSector = 0;
    DWORD sectorsPerTrack = 0;
    DWORD tracksPerCylinder = 0;
};

struct RawVolumePartition {
    // Bytes from the start of the disk.
    ULONGLONG startingOffset = 0;
    ULONGLONG length = 0;
    DWORD hiddenSectors = 0;
    // Not on an MBR partition table: its type byte is left alone.
    bool gpt = false;
};

class RawVolume {
  public:
    RawVolume() = default;
    virtual ~RawVolume() = default;
    RawVolume(const RawVolume&) = delete;
    RawVolume& operator=(const RawVolume&) = delete;

    // Takes the volume for this process alone. It fails, and the volume stays untouched, while
    // anything else holds it (a mount, another program, another format).
    virtual bool Lock() = 0;
    virtual bool GetGeometry(RawVolumeGeometry& geometry) = 0;
    virtual bool GetPartitionInfo(RawVolumePartition& partition) = 0;
    // Moves the write position, in bytes from the start of the volume.
    virtual bool SetPointer(ULONGLONG offset) = 0;
    // Writes all of the bytes at the write position and moves it past them.
    virtual bool Write(const void* data, size_t length) = 0;
    // Marks the volume's entry in an MBR partition table as FAT32 with LBA addressing (0x0C).
    // Fails where there is no such entry: a whole-disk volume, a logical partition, another table.
    virtual bool SetPartitionTypeFat32() = 0;
    // Every write so far reaches the medium.
    virtual bool Flush() = 0;
    // Gives the volume back to the system; nothing can be written afterwards.
    virtual bool Unlock() = 0;
};

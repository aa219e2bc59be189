#pragma once
// The card itself as a raw volume: the block device behind a drive letter. Lock unmounts every
// mount of it and opens it exclusively, so a card still in use (an open file, a busy mount) is
// refused before anything is written. Root opens the device and edits the partition table
// directly; any other user goes through udisks2 (udisks.h), which asks for authorisation.

#include "platform/devices/blockdevicefacts.h"
#include "platform/devices/rawvolume.h"
#include "platform/devices/rawvolumeio.h"

#include <memory>
#include <string>

class BlockDeviceVolume : public RawVolume {
  public:
    // The block device whose mount point is the folder of a removable drive letter. Nothing, with
    // errno set, when the letter is not registered (ENOENT), or is not removable or not the mount
    // point of a whole block-device file system (ENODEV).
    static std::unique_ptr<BlockDeviceVolume> OpenDrive(char letter);
    // The block device at a node such as "/dev/sdb1"; nothing (errno set) when it is none.
    static std::unique_ptr<BlockDeviceVolume> Open(const std::string& deviceNode);

    bool Lock() override;
    bool GetGeometry(RawVolumeGeometry& geometry) override;
    bool GetPartitionInfo(RawVolumePartition& partition) override;
    bool SetPointer(ULONGLONG offset) override;
    bool Write(const void* data, size_t length) override;
    bool SetPartitionTypeFat32() override;
    bool Flush() override;
    bool Unlock() override;

  private:
    BlockDeviceVolume(BlockDeviceFacts facts, unsigned major, unsigned minor);

    bool UnmountAll();
    int OpenExclusive();
    bool DiskHoldsDosTable();

    BlockDeviceFacts m_facts;
    unsigned m_major;
    unsigned m_minor;
    // Root works on the device directly; anyone else through udisks.
    bool m_direct;
    ScopedDescriptor m_device{-1};
};

#pragma once
// A disk image file as a raw volume: one whole-disk volume over the file's full length, as a card
// that holds no partition table. Lock takes an exclusive advisory lock on the file, so two formats
// never write one image at once.

#include "platform/devices/rawvolume.h"
#include "platform/devices/rawvolumeio.h"

#include <memory>
#include <string>

class ImageFileVolume : public RawVolume {
  public:
    // Nothing when the file cannot be opened for reading and writing, or is not a regular file.
    static std::unique_ptr<ImageFileVolume> Open(const std::wstring& path, DWORD bytesPerSector = 512);

    bool Lock() override;
    bool GetGeometry(RawVolumeGeometry& geometry) override;
    bool GetPartitionInfo(RawVolumePartition& partition) override;
    bool SetPointer(ULONGLONG offset) override;
    bool Write(const void* data, size_t length) override;
    bool SetPartitionTypeFat32() override;
    bool Flush() override;
    bool Unlock() override;

  private:
    ImageFileVolume(int fd, DWORD bytesPerSector) : m_file(fd), m_bytesPerSector(bytesPerSector) {}

    ScopedDescriptor m_file;
    DWORD m_bytesPerSector = 512;
    bool m_locked = false;
};

// The bytes a file really holds on the disk; a sparse image holds far fewer than its length.
ULONGLONG ImageFileAllocatedBytes(const std::wstring& path);

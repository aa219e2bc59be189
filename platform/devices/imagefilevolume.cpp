#include "platform/devices/imagefilevolume.h"

#include "platform/base/unicode.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Geometry an image has none of; mtools prints these, the file system ignores them.
constexpr DWORD kImageSectorsPerTrack = 63;
constexpr DWORD kImageTracksPerCylinder = 255;

} // namespace

std::unique_ptr<ImageFileVolume> ImageFileVolume::Open(const std::wstring& path, DWORD bytesPerSector) {
    const int fd = open(Utf8FromWide(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    const int error = fstat(fd, &status) != 0 ? errno : S_ISREG(status.st_mode) ? 0 : EINVAL;
    if (error != 0) {
        close(fd);
        errno = error;
        return nullptr;
    }
    return std::unique_ptr<ImageFileVolume>(new ImageFileVolume(fd, bytesPerSector));
}

bool ImageFileVolume::Lock() {
    if (flock(m_file.Get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    m_locked = true;
    return true;
}

bool ImageFileVolume::GetGeometry(RawVolumeGeometry& geometry) {
    geometry.bytesPerSector = m_bytesPerSector;
    geometry.sectorsPerTrack = kImageSectorsPerTrack;
    geometry.tracksPerCylinder = kImageTracksPerCylinder;
    return true;
}

bool ImageFileVolume::GetPartitionInfo(RawVolumePartition& partition) {
    struct stat status {};
    if (fstat(m_file.Get(), &status) != 0)
        return false;
    partition = RawVolumePartition{};
    partition.length = static_cast<ULONGLONG>(status.st_size);
    return true;
}

bool ImageFileVolume::SetPointer(ULONGLONG offset) {
    return SeekDescriptor(m_file.Get(), offset);
}

bool ImageFileVolume::Write(const void* data, size_t length) {
    if (!m_locked) {
        errno = ENOLCK;
        return false;
    }
    return WriteDescriptor(m_file.Get(), data, length);
}

bool ImageFileVolume::SetPartitionTypeFat32() {
    // An image is a whole-disk volume: there is no table to mark.
    errno = ENOENT;
    return false;
}

bool ImageFileVolume::Flush() {
    return fsync(m_file.Get()) == 0;
}

bool ImageFileVolume::Unlock() {
    if (flock(m_file.Get(), LOCK_UN) != 0)
        return false;
    m_locked = false;
    return true;
}

ULONGLONG ImageFileAllocatedBytes(const std::wstring& path) {
    struct stat status {};
    if (stat(Utf8FromWide(path).c_str(), &status) != 0)
        return 0;
    // st_blocks counts 512-byte units whatever the file system's block size.
    return static_cast<ULONGLONG>(status.st_blocks) * 512;
}

#include "platform/devices/mbrpartition.h"

#include "platform/devices/rawvolumeio.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kFirstEntry = 446;
constexpr size_t kEntrySize = 16;
constexpr size_t kTypeOffset = 4;
constexpr size_t kStartOffset = 8;
constexpr BYTE kGptProtective = 0xEE;

ULONGLONG ReadLittle32(const BYTE* bytes) {
    return static_cast<ULONGLONG>(bytes[0]) | (static_cast<ULONGLONG>(bytes[1]) << 8) |
           (static_cast<ULONGLONG>(bytes[2]) << 16) | (static_cast<ULONGLONG>(bytes[3]) << 24);
}

bool IsExtended(BYTE type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

} // namespace

PartitionTableType PartitionTableTypeOf(const BYTE* mbr) {
    if (mbr[510] != 0x55 || mbr[511] != 0xAA)
        return PartitionTableType::None;
    bool protective = false;
    for (size_t i = 0; i < 4; ++i) {
        const BYTE* entry = mbr + kFirstEntry + i * kEntrySize;
        // Anything but 0x00 or 0x80 here is a boot sector's code, not a table.
        if (entry[0] != 0x00 && entry[0] != 0x80)
            return PartitionTableType::None;
        protective = protective || entry[kTypeOffset] == kGptProtective;
    }
    return protective ? PartitionTableType::Gpt : PartitionTableType::Dos;
}

bool SetMbrPartitionType(BYTE* mbr, int number, ULONGLONG startLba, BYTE type) {
    if (number < 1 || number > 4 || PartitionTableTypeOf(mbr) != PartitionTableType::Dos)
        return false;
    BYTE* entry = mbr + kFirstEntry + static_cast<size_t>(number - 1) * kEntrySize;
    if (entry[kTypeOffset] == 0 || IsExtended(entry[kTypeOffset]) ||
        ReadLittle32(entry + kStartOffset) != startLba)
        return false;
    entry[kTypeOffset] = type;
    return true;
}

bool SetMbrPartitionTypeOnDisk(const std::string& diskPath, int number, ULONGLONG start512, BYTE type) {
    const ScopedDescriptor disk(open(diskPath.c_str(), O_RDWR | O_CLOEXEC));
    if (disk.Get() < 0)
        return false;
    struct stat status {};
    if (fstat(disk.Get(), &status) != 0)
        return false;
    // Table entries count the disk's own logical sectors; an image has 512-byte ones.
    int sectorSize = 512;
    if (S_ISBLK(status.st_mode) && ioctl(disk.Get(), BLKSSZGET, &sectorSize) != 0)
        return false;
    if (sectorSize < 512 || (start512 * 512) % static_cast<ULONGLONG>(sectorSize) != 0) {
        errno = EINVAL;
        return false;
    }
    BYTE mbr[kMbrSize];
    if (!ReadDescriptorAt(disk.Get(), 0, mbr, sizeof mbr))
        return false;
    if (!SetMbrPartitionType(mbr, number, start512 * 512 / static_cast<ULONGLONG>(sectorSize), type)) {
        errno = ENOENT;
        return false;
    }
    return WriteDescriptorAt(disk.Get(), 0, mbr, sizeof mbr) && fsync(disk.Get()) == 0;
}

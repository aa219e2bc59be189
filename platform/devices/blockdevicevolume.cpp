#include "platform/devices/blockdevicevolume.h"

#include "platform/devices/cardmount.h"
#include "platform/devices/mbrpartition.h"
#include "platform/devices/mountinfo.h"
#include "platform/devices/udisks.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// What a device without a geometry of its own (a loop device) reports, as an image does.
constexpr DWORD kDefaultSectorsPerTrack = 63;
constexpr DWORD kDefaultTracksPerCylinder = 255;

bool IsMountOf(const MountInfoEntry& entry, unsigned major, unsigned minor) {
    return entry.major == major && entry.minor == minor;
}

bool IsMounted(unsigned major, unsigned minor) {
    const auto mounts = ReadMountInfo();
    return std::any_of(mounts.begin(), mounts.end(),
                       [&](const MountInfoEntry& entry) { return IsMountOf(entry, major, minor); });
}

} // namespace

BlockDeviceVolume::BlockDeviceVolume(BlockDeviceFacts facts, unsigned major, unsigned minor)
    : m_facts(std::move(facts)), m_major(major), m_minor(minor), m_direct(geteuid() == 0) {}

std::unique_ptr<BlockDeviceVolume> BlockDeviceVolume::OpenDrive(char letter) {
    const auto card = FindCardMount(letter);
    return card ? Open(card->deviceNode) : nullptr;
}

std::unique_ptr<BlockDeviceVolume> BlockDeviceVolume::Open(const std::string& deviceNode) {
    struct stat status {};
    if (stat(deviceNode.c_str(), &status) != 0)
        return nullptr;
    const unsigned major = ::major(status.st_rdev);
    const unsigned minor = ::minor(status.st_rdev);
    auto facts = S_ISBLK(status.st_mode) ? ReadBlockDeviceFacts(kSysfsRoot, major, minor) : std::nullopt;
    if (!facts) {
        errno = ENODEV;
        return nullptr;
    }
    facts->deviceNode = deviceNode;
    return std::unique_ptr<BlockDeviceVolume>(new BlockDeviceVolume(std::move(*facts), major, minor));
}

bool BlockDeviceVolume::UnmountAll() {
    auto mounts = ReadMountInfo();
    // The last mount on a point hides the earlier ones, so they come off in reverse.
    std::reverse(mounts.begin(), mounts.end());
    for (const MountInfoEntry& entry : mounts) {
        if (!IsMountOf(entry, m_major, m_minor))
            continue;
        const bool unmounted =
            m_direct ? umount2(entry.mountPoint.c_str(), 0) == 0 : UDisksUnmount(m_facts.name);
        if (!unmounted)
            return false;
    }
    if (IsMounted(m_major, m_minor)) {
        errno = EBUSY;
        return false;
    }
    return true;
}

int BlockDeviceVolume::OpenExclusive() {
    if (m_direct)
        return open(m_facts.deviceNode.c_str(), O_RDWR | O_EXCL | O_CLOEXEC);
    return UDisksOpenForRestore(m_facts.name);
}

bool BlockDeviceVolume::Lock() {
    if (m_device.Get() >= 0) {
        errno = EBUSY;
        return false;
    }
    if (!UnmountAll())
        return false;
    // O_EXCL on a block device fails with EBUSY while anything still holds it.
    m_device.Reset(OpenExclusive());
    if (m_device.Get() < 0)
        return false;
    struct stat status {};
    if (fstat(m_device.Get(), &status) != 0 || !S_ISBLK(status.st_mode) ||
        status.st_rdev != makedev(m_major, m_minor)) {
        m_device.Close();
        errno = ENODEV;
        return false;
    }
    return true;
}

bool BlockDeviceVolume::GetGeometry(RawVolumeGeometry& geometry) {
    int sectorSize = 0;
    if (ioctl(m_device.Get(), BLKSSZGET, &sectorSize) != 0)
        return false;
    geometry.bytesPerSector = static_cast<DWORD>(sectorSize);
    hd_geometry driveGeometry{};
    const bool known = ioctl(m_device.Get(), HDIO_GETGEO, &driveGeometry) == 0 &&
                       driveGeometry.sectors != 0 && driveGeometry.heads != 0;
    geometry.sectorsPerTrack = known ? driveGeometry.sectors : kDefaultSectorsPerTrack;
    geometry.tracksPerCylinder = known ? driveGeometry.heads : kDefaultTracksPerCylinder;
    return true;
}

bool BlockDeviceVolume::DiskHoldsDosTable() {
    if (!m_direct)
        return UDisksPartitionTableType(m_facts.diskName) == std::string("dos");
    const ScopedDescriptor disk(open(m_facts.diskNode.c_str(), O_RDONLY | O_CLOEXEC));
    BYTE mbr[kMbrSize];
    return disk.Get() >= 0 && ReadDescriptorAt(disk.Get(), 0, mbr, sizeof mbr) &&
           PartitionTableTypeOf(mbr) == PartitionTableType::Dos;
}

bool BlockDeviceVolume::GetPartitionInfo(RawVolumePartition& partition) {
    RawVolumeGeometry geometry;
    std::uint64_t length = 0;
    if (!GetGeometry(geometry) || ioctl(m_device.Get(), BLKGETSIZE64, &length) != 0)
        return false;
    const ULONGLONG start = m_facts.start512 * 512;
    if (start / geometry.bytesPerSector > 0xFFFFFFFFu) {
        errno = EOVERFLOW;
        return false;
    }
    partition.startingOffset = start;
    partition.length = length;
    partition.hiddenSectors = static_cast<DWORD>(start / geometry.bytesPerSector);
    // A partition whose table is unknown counts as GPT too: its type byte is left alone.
    partition.gpt = m_facts.partitionNumber != 0 && !DiskHoldsDosTable();
    return true;
}

bool BlockDeviceVolume::SetPointer(ULONGLONG offset) {
    return SeekDescriptor(m_device.Get(), offset);
}

bool BlockDeviceVolume::Write(const void* data, size_t length) {
    return WriteDescriptor(m_device.Get(), data, length);
}

bool BlockDeviceVolume::SetPartitionTypeFat32() {
    // Logical partitions (5 and up) live in extended boot records, not in the MBR.
    if (m_facts.partitionNumber < 1 || m_facts.partitionNumber > 4) {
        errno = ENOENT;
        return false;
    }
    if (m_direct)
        return SetMbrPartitionTypeOnDisk(m_facts.diskNode, m_facts.partitionNumber, m_facts.start512,
                                         kPartitionTypeFat32Lba);
    if (!DiskHoldsDosTable()) {
        errno = ENOENT;
        return false;
    }
    return UDisksSetPartitionType(m_facts.name, "0x0c");
}

bool BlockDeviceVolume::Flush() {
    return fsync(m_device.Get()) == 0;
}

bool BlockDeviceVolume::Unlock() {
    // Only the close gives up the exclusive hold; udev then announces the card anew.
    if (m_device.Get() < 0) {
        errno = EBADF;
        return false;
    }
    return m_device.Close();
}

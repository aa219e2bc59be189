#include "viewer/tools/fat32format.h"

#include "platform/base/unicode.h"
#include "platform/devices/blockdevicevolume.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace {

constexpr DWORD kReservedSectors = 32;
constexpr DWORD kNumberOfFats = 2;
constexpr BYTE kMedia = 0xF8;
constexpr DWORD kRootCluster = 2;
constexpr WORD kFsInfoSector = 1;
constexpr WORD kBackupBootSector = 6;
constexpr BYTE kDriveNumber = 0x80;
constexpr BYTE kExtendedBootSignature = 0x29;
constexpr DWORD kZeroBurstSectors = 128;
constexpr DWORD kMinimumClusters = 65536;
constexpr DWORD kMaximumClusters = 0x0FFFFFFF;
constexpr size_t kLabelLength = 11;
// The boot sector's label as the layout first writes it, and the label every model's card gets.
constexpr BYTE kBootSectorLabel[kLabelLength] = {'Q', '7', 'X'};
constexpr BYTE kVolumeLabel[kLabelLength] = {'T', '5', '5', '0', '_', 'F', 'H', 'D', ' ', ' ', ' '};
constexpr BYTE kVolumeIdAttribute = 0x08;
constexpr size_t kBootLabelOffset = 71;

constexpr wchar_t kOpenFailure[] =
    L"Failed to open device - close any files on the card before formatting and "
    L"make sure you may write to it\n Check that this is the right drive.";

void Put16(BYTE* at, DWORD value) {
    at[0] = static_cast<BYTE>(value);
    at[1] = static_cast<BYTE>(value >> 8);
}

void Put32(BYTE* at, DWORD value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

struct Layout {
    DWORD bytesPerSector = 0;
    DWORD sectorsPerCluster = 0;
    DWORD totalSectors = 0;
    DWORD fatSize = 0;
    DWORD clusters = 0;
    DWORD RootSector() const { return kReservedSectors + kNumberOfFats * fatSize; }
};

void FillBootSector(BYTE* sector, const Layout& layout, const RawVolumeGeometry& geometry,
                    const RawVolumePartition& partition) {
    const BYTE jump[] = {0xEB, 0x58, 0x90};
    std::memcpy(sector, jump, sizeof jump);
    std::memcpy(sector + 3, "MSWIN4.1", 8);
    Put16(sector + 11, layout.bytesPerSector);
    sector[13] = static_cast<BYTE>(layout.sectorsPerCluster);
    Put16(sector + 14, kReservedSectors);
    sector[16] = kNumberOfFats;
    sector[21] = kMedia;
    Put16(sector + 24, geometry.sectorsPerTrack);
    Put16(sector + 26, geometry.tracksPerCylinder);
    Put32(sector + 28, partition.hiddenSectors);
    Put32(sector + 32, layout.totalSectors);
    Put32(sector + 36, layout.fatSize);
    Put32(sector + 44, kRootCluster);
    Put16(sector + 48, kFsInfoSector);
    Put16(sector + 50, kBackupBootSector);
    sector[64] = kDriveNumber;
    sector[66] = kExtendedBootSignature;
    Put32(sector + 67, MakeVolumeId());
    std::memcpy(sector + kBootLabelOffset, kBootSectorLabel, kLabelLength);
    std::memcpy(sector + 82, "FAT32   ", 8);
    sector[510] = 0x55;
    sector[511] = 0xAA;
    sector[layout.bytesPerSector - 2] = 0x55;
    sector[layout.bytesPerSector - 1] = 0xAA;
}

void FillFsInfo(BYTE* sector, const Layout& layout) {
    Put32(sector, 0x41615252);
    Put32(sector + 484, 0x61417272);
    Put32(sector + 488, layout.clusters - 1);
    Put32(sector + 492, 3);
    Put32(sector + 508, 0xAA550000);
}

void FillFirstFatSector(BYTE* sector) {
    Put32(sector, 0x0FFFFFF8);
    Put32(sector + 4, 0x0FFFFFFF);
    // The root directory's single cluster ends its chain.
    Put32(sector + 8, 0x0FFFFFFF);
}

std::unique_ptr<BYTE[]> AllocateZeroed(size_t bytes) {
    return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[bytes]());
}

bool IsValidSectorSize(DWORD bytesPerSector) {
    return bytesPerSector == 512 || bytesPerSector == 1024 || bytesPerSector == 2048 ||
           bytesPerSector == 4096;
}

bool IsValidClusterSize(int sectorsPerCluster) {
    return sectorsPerCluster >= 1 && sectorsPerCluster <= 128 &&
           (sectorsPerCluster & (sectorsPerCluster - 1)) == 0;
}

// Linux has no call that labels an unmounted volume, so the label goes on by hand: a volume-ID
// entry first in the root directory, and the same name in the boot sector and its copy, where
// file-system checkers want it to match.
CString WriteLabel(RawVolume& volume, const Layout& layout, BYTE* bootSector) {
    const DWORD bytesPerSector = layout.bytesPerSector;
    auto rootSector = AllocateZeroed(bytesPerSector);
    if (!rootSector) {
        errno = ENOMEM;
        return ReportLastError(L"Failed to allocate memory");
    }
    std::memcpy(rootSector.get(), kVolumeLabel, kLabelLength);
    rootSector[kLabelLength] = kVolumeIdAttribute;
    std::memcpy(bootSector + kBootLabelOffset, kVolumeLabel, kLabelLength);
    // The raw calls keep the system's error for the label's own failure text.
    const auto writeSector = [&](DWORD sector, const BYTE* data) {
        return SeekToSector(volume, sector, bytesPerSector) && volume.Write(data, bytesPerSector);
    };
    const bool written = writeSector(layout.RootSector(), rootSector.get()) && writeSector(0, bootSector) &&
                         writeSector(kBackupBootSector, bootSector) && volume.Flush();
    return written ? CString() : ReportLastError(L"Failed to label device");
}

CString FormatLockedVolume(RawVolume& volume, void* context, int sectorsPerCluster,
                           FormatProgressCallback callback) {
    RawVolumeGeometry geometry;
    if (!volume.GetGeometry(geometry))
        return ReportLastError(L"Failed to get device geometry");
    // Every size below divides by it, and FAT knows no other sector sizes.
    if (!IsValidSectorSize(geometry.bytesPerSector)) {
        errno = EINVAL;
        return ReportLastError(L"Failed to get device geometry");
    }
    RawVolumePartition partition;
    if (!volume.GetPartitionInfo(partition))
        return ReportLastError(L"Failed to get partition info");
    // The size rules below fail for the layout's own reasons, with no system error behind them.
    errno = 0;

    Layout layout;
    layout.bytesPerSector = geometry.bytesPerSector;
    const ULONGLONG totalSectors = partition.length / layout.bytesPerSector;
    if (totalSectors < 65536)
        return ReportLastError(L"This drive is too small for FAT32: it needs at least 65536 clusters\n");
    if (totalSectors >= 0xFFFFFFFFull)
        return ReportLastError(L"This drive is too big for FAT32: at most 2 TB\n");
    layout.totalSectors = static_cast<DWORD>(totalSectors);

    auto bootSector = AllocateZeroed(layout.bytesPerSector);
    auto fsInfo = AllocateZeroed(layout.bytesPerSector);
    auto fatSector = AllocateZeroed(layout.bytesPerSector);
    if (!bootSector || !fsInfo || !fatSector) {
        errno = ENOMEM;
        return ReportLastError(L"Failed to allocate memory");
    }

    if (sectorsPerCluster == 0)
        sectorsPerCluster =
            static_cast<int>(DefaultSectorsPerCluster(partition.length, layout.bytesPerSector));
    // The boot sector holds it in one byte, and the sizes below divide by it.
    if (!IsValidClusterSize(sectorsPerCluster))
        return ReportLastError(L"Sectors per cluster must be a power of two from 1 to 128\n");
    layout.sectorsPerCluster = static_cast<DWORD>(sectorsPerCluster);
    layout.fatSize = GetFatSizeSectors(layout.totalSectors, kReservedSectors, layout.sectorsPerCluster,
                                       kNumberOfFats, layout.bytesPerSector);
    layout.clusters = (layout.totalSectors - layout.RootSector()) / layout.sectorsPerCluster;
    if (layout.clusters > kMaximumClusters)
        return ReportLastError(L"This drive has more than 2^28 clusters, use a larger cluster size\n");
    if (layout.clusters < kMinimumClusters)
        return ReportLastError(L"FAT32 must have at least 65536 clusters, use a smaller cluster size\n");

    FillBootSector(bootSector.get(), layout, geometry, partition);
    FillFsInfo(fsInfo.get(), layout);
    FillFirstFatSector(fatSector.get());

    CString error = ZeroSectors(volume, 0, layout.bytesPerSector,
                                layout.RootSector() + layout.sectorsPerCluster, context, callback);
    if (!error.IsEmpty())
        return error;
    const struct {
        DWORD sector;
        const BYTE* data;
    } writes[] = {
        {0, bootSector.get()},
        {kFsInfoSector, fsInfo.get()},
        {kBackupBootSector, bootSector.get()},
        {kBackupBootSector + kFsInfoSector, fsInfo.get()},
        {kReservedSectors, fatSector.get()},
        {kReservedSectors + layout.fatSize, fatSector.get()},
    };
    for (const auto& write : writes) {
        error = WriteSectors(volume, write.sector, layout.bytesPerSector, write.data, 1);
        if (!error.IsEmpty())
            return error;
    }

    // Its result does not matter: the file system is complete without it.
    if (!partition.gpt)
        volume.SetPartitionTypeFat32();
    if (!volume.Flush())
        return ReportLastError(L"Failed to dismount device");
    error = WriteLabel(volume, layout, bootSector.get());
    if (!error.IsEmpty())
        return error;
    if (!volume.Unlock())
        return ReportLastError(L"Failed to unlock device");
    return CString();
}

} // namespace

CString FormatVolumeFat32(void* context, char letter, int sectorsPerCluster,
                          FormatProgressCallback callback) {
    return FormatVolumeFat32(BlockDeviceVolume::OpenDrive(letter), context, sectorsPerCluster, callback);
}

CString FormatVolumeFat32(std::unique_ptr<RawVolume> volume, void* context, int sectorsPerCluster,
                          FormatProgressCallback callback) {
    if (!volume)
        return ReportLastError(kOpenFailure);
    if (!volume->Lock())
        return ReportLastError(L"Failed to lock device");
    return FormatLockedVolume(*volume, context, sectorsPerCluster, callback);
}

DWORD MakeVolumeId() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return MakeVolumeId(now);
}

DWORD MakeVolumeId(const SYSTEMTIME& time) {
    const WORD low =
        static_cast<WORD>(time.wDay + time.wMonth * 256 + (time.wMilliseconds / 10 + time.wSecond * 256));
    const WORD high = static_cast<WORD>(time.wMinute + time.wHour * 256 + time.wYear);
    return low + (static_cast<DWORD>(high) << 16);
}

DWORD DefaultSectorsPerCluster(ULONGLONG partitionLength, DWORD bytesPerSector) {
    const ULONGLONG megabytes = partitionLength / (1024 * 1024);
    if (megabytes > 32768)
        return ClusterBytesToSectors(32, bytesPerSector);
    if (megabytes > 16384)
        return ClusterBytesToSectors(16, bytesPerSector);
    if (megabytes > 8192)
        return ClusterBytesToSectors(8, bytesPerSector);
    if (megabytes > 512)
        return ClusterBytesToSectors(4, bytesPerSector);
    return 1;
}

DWORD ClusterBytesToSectors(DWORD kilobytes, DWORD bytesPerSector) {
    return kilobytes * 1024 / bytesPerSector;
}

DWORD GetFatSizeSectors(DWORD totalSectors, DWORD reservedSectors, DWORD sectorsPerCluster,
                        DWORD numberOfFats, DWORD bytesPerSector) {
    const ULONGLONG dataSectors = totalSectors > reservedSectors ? totalSectors - reservedSectors : 0;
    ULONGLONG fatSize =
        4 * dataSectors / (static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector + 4 * numberOfFats) + 1;
    // The estimate above can leave the FAT one entry short (about one size in 128), and checkers
    // and other systems refuse such a volume; every extra sector shrinks the clusters it must hold.
    for (;;) {
        const ULONGLONG systemSectors = reservedSectors + numberOfFats * fatSize;
        const ULONGLONG clusters =
            totalSectors > systemSectors ? (totalSectors - systemSectors) / sectorsPerCluster : 0;
        if ((clusters + 2) * 4 <= fatSize * bytesPerSector)
            return static_cast<DWORD>(fatSize);
        ++fatSize;
    }
}

bool SeekToSector(RawVolume& volume, ULONGLONG sector, DWORD bytesPerSector) {
    return volume.SetPointer(sector * bytesPerSector);
}

CString WriteSectors(RawVolume& volume, ULONGLONG sector, DWORD bytesPerSector, const void* data,
                     DWORD count) {
    if (!SeekToSector(volume, sector, bytesPerSector) ||
        !volume.Write(data, static_cast<size_t>(count) * bytesPerSector))
        return ReportLastError(L"Failed to write");
    return CString();
}

CString ZeroSectors(RawVolume& volume, ULONGLONG startSector, DWORD bytesPerSector, DWORD count,
                    void* context, FormatProgressCallback callback) {
    const bool reporting = context != nullptr && callback != nullptr;
    auto zeros = AllocateZeroed(static_cast<size_t>(kZeroBurstSectors) * bytesPerSector);
    if (!zeros) {
        errno = ENOMEM;
        return ReportLastError(L"Failed to allocate memory");
    }
    if (!SeekToSector(volume, startSector, bytesPerSector))
        return ReportLastError(L"Failed to write");
    if (reporting)
        callback(context, 0);
    int reported = 0;
    DWORD written = 0;
    while (written < count) {
        const DWORD burst = count - written < kZeroBurstSectors ? count - written : kZeroBurstSectors;
        if (!volume.Write(zeros.get(), static_cast<size_t>(burst) * bytesPerSector))
            return ReportLastError(L"Failed to write");
        written += burst;
        const int percent = static_cast<int>(written * 100.0 / count + 0.5);
        if (reporting && percent > reported) {
            callback(context, percent);
            reported = percent;
        }
    }
    return CString();
}

CString ReportLastError(LPCWSTR failure) {
    const int code = errno;
    if (code == 0)
        return CString(failure);
    CString text;
    text.Format(L"%s\nGetLastError()=%d: %s\n", failure, code, WideFromUtf8(std::strerror(code)).c_str());
    return text;
}

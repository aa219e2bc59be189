#pragma once
// The card format: FAT32 written straight onto the volume, without the system's own format tools.
// It is a quick format: the reserved area, both FATs and the root directory's cluster are zeroed,
// the boot sector, FSInfo, their copies and the first sector of each FAT are written, and the data
// area is left as it was. Only a complete format is labelled "T550_FHD"; after a failure nothing
// more is written, since the label's place belongs to the new layout, not to what was there.

#include "platform/base/cstring.h"
#include "platform/base/timing.h"
#include "platform/base/wintypes.h"
#include "platform/devices/rawvolume.h"

#include <memory>

// The caller's context and the percent done, 0 to 100, on the formatting thread between writes.
using FormatProgressCallback = void (*)(void* context, int percent);

// Formats the card behind a drive letter. Returns the error text, empty on success. With a null
// context or callback nothing is reported. sectorsPerCluster 0 chooses by the size of the volume.
CString FormatVolumeFat32(void* context, char letter, int sectorsPerCluster, FormatProgressCallback callback);
// The same on a volume the caller opened, such as an image file; no volume means the open failed.
CString FormatVolumeFat32(std::unique_ptr<RawVolume> volume, void* context, int sectorsPerCluster,
                          FormatProgressCallback callback);

// The serial number of a new volume, from the local date and time.
DWORD MakeVolumeId();
DWORD MakeVolumeId(const SYSTEMTIME& time);
DWORD DefaultSectorsPerCluster(ULONGLONG partitionLength, DWORD bytesPerSector);
DWORD ClusterBytesToSectors(DWORD kilobytes, DWORD bytesPerSector);
// Large enough for an entry for every cluster plus the two reserved entries.
DWORD GetFatSizeSectors(DWORD totalSectors, DWORD reservedSectors, DWORD sectorsPerCluster,
                        DWORD numberOfFats, DWORD bytesPerSector);
bool SeekToSector(RawVolume& volume, ULONGLONG sector, DWORD bytesPerSector);
CString WriteSectors(RawVolume& volume, ULONGLONG sector, DWORD bytesPerSector, const void* data,
                     DWORD count);
// Zeroes count sectors in bursts of 128, reporting the rounded percent whenever it grows.
CString ZeroSectors(RawVolume& volume, ULONGLONG startSector, DWORD bytesPerSector, DWORD count,
                    void* context, FormatProgressCallback callback);
// The failure text alone when no system error lies behind it, else with the error's number and text.
CString ReportLastError(LPCWSTR failure);

#pragma once
// The type byte of a primary partition in an MBR ("dos") partition table, read, changed and written
// back in place on the disk. Nothing else of the table is touched.

#include "platform/base/wintypes.h"

#include <string>

constexpr size_t kMbrSize = 512;
constexpr BYTE kPartitionTypeFat32Lba = 0x0C;

enum class PartitionTableType { None, Dos, Gpt };

// Of a disk's first 512 bytes. A GPT disk's protective MBR counts as GPT.
PartitionTableType PartitionTableTypeOf(const BYTE* mbr);

// Sets the type of primary entry number (1 to 4) in a dos table, when that entry is in use, holds
// no extended partition and begins at startLba (the check that it is the volume's own entry).
// Returns false and leaves the bytes untouched otherwise.
bool SetMbrPartitionType(BYTE* mbr, int number, ULONGLONG startLba, BYTE type);

// The same on a disk or disk image, with the partition's start in 512-byte units as sysfs gives
// it. The write is flushed before it returns. False with errno set when nothing was changed.
bool SetMbrPartitionTypeOnDisk(const std::string& diskPath, int number, ULONGLONG start512, BYTE type);

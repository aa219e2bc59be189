#pragma once
// Disk images for the format tests: sparse files, a known pattern to show what was written, little-
// endian fields, and the external FAT tools run on an image.

#include "platform/base/wintypes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A sparse file of that length whose first patternBytes hold Pattern().
void CreateImage(const std::filesystem::path& path, ULONGLONG length, ULONGLONG patternBytes = 0);
// The byte the pattern holds at an offset: never a zero, so no zeroed byte passes for it.
BYTE Pattern(ULONGLONG offset);
// The first offset in [offset, offset + length) where the pattern no longer holds, or nothing.
std::optional<ULONGLONG> FirstPatternMismatch(const std::filesystem::path& path, ULONGLONG offset,
                                              ULONGLONG length);
std::vector<BYTE> ReadBytes(const std::filesystem::path& path, ULONGLONG offset, size_t length);
std::vector<BYTE> ReadSector(const std::filesystem::path& path, ULONGLONG sector, DWORD bytesPerSector = 512);
bool AllZero(const std::vector<BYTE>& bytes);
DWORD Little32(const std::vector<BYTE>& bytes, size_t offset);
DWORD Little16(const std::vector<BYTE>& bytes, size_t offset);

struct ToolRun {
    int exitCode = -1;
    std::string output;
};
// The program's path when it is installed (PATH, then the system folders), else nothing.
std::optional<std::string> FindTool(const std::string& name);
// Runs a program with its arguments, no shell quoting involved, and collects what it prints.
ToolRun RunTool(const std::vector<std::string>& arguments);

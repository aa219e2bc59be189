#pragma once
// The host systems of the version-made-by field: which the library understands, how their file
// attributes map onto each other, which code pages their names and comments use, and how path
// separators are turned.

#include "viewer/ziparchive/zipautobuffer.h"

#include "platform/base/wintypes.h"

#include <string>

namespace ZipCompatibility {

enum ZipPlatforms {
    zcDosFat = 0,
    zcAmiga = 1,
    zcVaxVms = 2,
    zcUnix = 3,
    zcVmCms = 4,
    zcAtari = 5,
    zcOs2Hpfs = 6,
    zcMacintosh = 7,
    zcZsystem = 8,
    zcCpm = 9,
    zcTops20 = 10,
    zcNtfs = 11,
    zcQdos = 12,
    zcAcorn = 13,
    zcVfat = 14,
    zcMvs = 15,
    zcBeOs = 16,
    zcTandem = 17,
    zcOs400 = 18,
    zcOsX = 19,
    zcLast = 20,
};
constexpr int kSystemCount = 21;

// The common form is the DOS/Windows attribute word.
constexpr DWORD attReadOnly = 0x01;
constexpr DWORD attHidden = 0x02;
constexpr DWORD attDirectory = 0x10;
constexpr DWORD attArchive = 0x20;

bool IsHostSystemSupported(int system);
// Throws cause 220 when either system has no converter; equal systems and ids of 21 and above
// pass the value through.
DWORD ConvertAttributes(DWORD attributes, int fromSystem, int toSystem);

UINT NameCodePageForSystem(int system);
// Also the code page of a password set without an explicit one.
UINT CommentCodePageForSystem(int system);

void ConvertSlashes(std::wstring& path, bool toWindowsForm);
// Entry names keep the Windows form here, so that the program's "cfg\\cfg.xml" lookups match.
void ConvertSlashesForPlatform(std::wstring& path);
bool IsPathSeparator(wchar_t character);

std::wstring BufferToString(const CZipAutoBuffer& buffer, UINT codePage);
CZipAutoBuffer StringToBuffer(const std::wstring& text, UINT codePage);

} // namespace ZipCompatibility

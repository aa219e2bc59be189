#pragma once
// Where the zip library touches the operating system: folders, attributes, times and code pages.
// Attributes travel in the DOS form the archive's host table speaks (this platform reports host
// system 0); what Linux cannot express (hidden, system, archive bits, creation times) is skipped
// and counts as success.

#include "viewer/ziparchive/zipautobuffer.h"

#include "platform/base/wintypes.h"

#include <ctime>
#include <string>

class CZipFile;

namespace ZipPlatform {

int GetSystemID();
bool GetSystemCaseSensitivity();
DWORD GetDefaultAttributes();
DWORD GetDefaultDirAttributes();
bool IsDirectory(DWORD attributes);

// -1 for a directory, 1 for a file, 0 when nothing can be found there.
int FileExists(const std::wstring& path);
bool GetFileAttr(const std::wstring& path, DWORD& attributes);
bool SetFileAttr(const std::wstring& path, DWORD attributes);
bool CreateNewDirectory(const std::wstring& path);
// Creates the folder and every missing parent; an existing folder or a root is success.
bool ForceDirectory(const std::wstring& path);
// Flag 0x1 clears a read-only attribute first; flag 0x4 (the recycle bin) deletes plainly here.
// A failure throws cause 218 with the path when asked, else gives false.
bool RemoveFile(const std::wstring& path, bool throwOnError = true, int flags = 0);

// Null pointers are neither read nor written. The creation time is not kept by Linux: reading it
// gives the modification time, setting it is skipped.
bool GetFileTimes(const std::wstring& path, std::time_t* modificationTime, std::time_t* creationTime,
                  std::time_t* accessTime);
bool SetFileTimes(const std::wstring& path, const std::time_t* modificationTime,
                  const std::time_t* creationTime, const std::time_t* accessTime);
bool SetFileTimesOnHandle(CZipFile& file, const std::time_t* modificationTime,
                          const std::time_t* creationTime, const std::time_t* accessTime);

// Seconds since 1970 to a Windows FILETIME (100-nanosecond units since 1601); a time of 0 or less
// stands for now.
void TimeToFileTime(std::time_t time, ULONGLONG& fileTime);
// Windows FILETIME to seconds since 1970; false for a FILETIME of 0 and for any time not after
// 1970.
bool FileTimeToTime(ULONGLONG fileTime, std::time_t& time);

// Byte count, 0 for empty text (the buffer released) or -1 when the text cannot be converted.
int WideToMultiByte(const std::wstring& text, CZipAutoBuffer& buffer, bool zeroTerminate, UINT codePage);
// Character count; a negative length reads up to a terminating zero; -1 on failure.
int MultiByteToWide(const char* bytes, int length, std::wstring& text, UINT codePage);
int MultiByteToWide(const CZipAutoBuffer& buffer, std::wstring& text, UINT codePage);

} // namespace ZipPlatform

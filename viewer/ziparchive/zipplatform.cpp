#include "viewer/ziparchive/zipplatform.h"

#include "viewer/ziparchive/zipcompatibility.h"
#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zipfile.h"
#include "viewer/ziparchive/zippathcomponent.h"

#include "platform/base/codepage.h"
#include "platform/base/filesystem.h"

namespace ZipPlatform {

namespace {

constexpr LONGLONG kFileTimeUnitsPerSecond = 10000000;
constexpr LONGLONG kFileTimeOf1970 = 116444736000000000;

// Times of 0 or less stand for now, as they do when a FILETIME is made from them.
std::time_t EffectiveTime(const std::time_t* time) {
    return *time > 0 ? *time : std::time(nullptr);
}

} // namespace

int GetSystemID() {
    return ZipCompatibility::zcDosFat;
}
bool GetSystemCaseSensitivity() {
    return false;
}
DWORD GetDefaultAttributes() {
    return ZipCompatibility::attArchive;
}
DWORD GetDefaultDirAttributes() {
    return ZipCompatibility::attDirectory;
}
bool IsDirectory(DWORD attributes) {
    return (attributes & ZipCompatibility::attDirectory) != 0;
}

int FileExists(const std::wstring& path) {
    FileSystem::Status status;
    if (!FileSystem::GetStatus(path, status))
        return 0;
    return status.isDirectory ? -1 : 1;
}

bool GetFileAttr(const std::wstring& path, DWORD& attributes) {
    const DWORD found = FileSystem::GetAttributes(path);
    if (found == INVALID_FILE_ATTRIBUTES)
        return false;
    attributes = found;
    return true;
}

bool SetFileAttr(const std::wstring& path, DWORD attributes) {
    return FileSystem::SetAttributes(path, attributes);
}

bool CreateNewDirectory(const std::wstring& path) {
    return FileSystem::CreateDirectory(path);
}

bool ForceDirectory(const std::wstring& path) {
    std::wstring folder = path;
    CZipPathComponent::TrimTrailingSeparators(folder);
    if (folder.empty())
        return true;
    const std::wstring parent = CZipPathComponent(folder).GetFilePath();
    if (parent == folder || FileExists(folder) == -1)
        return true;
    if (!parent.empty() && !ForceDirectory(parent))
        return false;
    return CreateNewDirectory(folder);
}

bool RemoveFile(const std::wstring& path, bool throwOnError, int flags) {
    DWORD attributes = 0;
    if ((flags & 0x1) && GetFileAttr(path, attributes) && (attributes & ZipCompatibility::attReadOnly))
        SetFileAttr(path, GetDefaultAttributes());
    if (FileSystem::RemoveFile(path))
        return true;
    if (throwOnError)
        CZipException::Throw(CZipException::removeFailed, path);
    return false;
}

bool GetFileTimes(const std::wstring& path, std::time_t* modificationTime, std::time_t* creationTime,
                  std::time_t* accessTime) {
    std::time_t modification = 0;
    std::time_t access = 0;
    const bool found = FileSystem::GetFileTimes(path, &modification, &access);
    const bool valid = found && modification > 0 && access > 0;
    if (!valid) {
        const std::time_t now = std::time(nullptr);
        if (modification <= 0)
            modification = now;
        if (access <= 0)
            access = now;
    }
    if (modificationTime)
        *modificationTime = modification;
    if (creationTime)
        *creationTime = modification;
    if (accessTime)
        *accessTime = access;
    return valid;
}

bool SetFileTimes(const std::wstring& path, const std::time_t* modificationTime, const std::time_t*,
                  const std::time_t* accessTime) {
    const std::time_t modification = modificationTime ? EffectiveTime(modificationTime) : 0;
    const std::time_t access = accessTime ? EffectiveTime(accessTime) : 0;
    return FileSystem::SetFileTimes(path, modificationTime ? &modification : nullptr,
                                    accessTime ? &access : nullptr);
}

bool SetFileTimesOnHandle(CZipFile& file, const std::time_t* modificationTime, const std::time_t*,
                          const std::time_t* accessTime) {
    const std::time_t modification = modificationTime ? EffectiveTime(modificationTime) : 0;
    const std::time_t access = accessTime ? EffectiveTime(accessTime) : 0;
    return FileSystem::SetFileTimes(file.GetHandle(), modificationTime ? &modification : nullptr,
                                    accessTime ? &access : nullptr);
}

void TimeToFileTime(std::time_t time, ULONGLONG& fileTime) {
    // In unsigned arithmetic: a time beyond the FILETIME range wraps instead of overflowing.
    fileTime =
        static_cast<ULONGLONG>(EffectiveTime(&time)) * static_cast<ULONGLONG>(kFileTimeUnitsPerSecond) +
        static_cast<ULONGLONG>(kFileTimeOf1970);
}

bool FileTimeToTime(ULONGLONG fileTime, std::time_t& time) {
    if (fileTime == 0) {
        time = 0;
        return false;
    }
    time = static_cast<std::time_t>((static_cast<LONGLONG>(fileTime) - kFileTimeOf1970) /
                                    kFileTimeUnitsPerSecond);
    return time > 0;
}

int WideToMultiByte(const std::wstring& text, CZipAutoBuffer& buffer, bool zeroTerminate, UINT codePage) {
    if (text.empty()) {
        buffer.Release();
        return 0;
    }
    const int length = static_cast<int>(text.size());
    const int count = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (count < 1) {
        buffer.Release();
        return -1;
    }
    buffer.Allocate(static_cast<DWORD>(count + (zeroTerminate ? 1 : 0)));
    WideCharToMultiByte(codePage, 0, text.data(), length, buffer.GetBuffer(), count, nullptr, nullptr);
    if (zeroTerminate)
        buffer.GetBuffer()[count] = '\0';
    return count;
}

int MultiByteToWide(const char* bytes, int length, std::wstring& text, UINT codePage) {
    text.clear();
    if (length == 0)
        return 0;
    const DWORD flags = codePage == CP_ACP || codePage == CP_OEMCP ? MB_PRECOMPOSED : 0;
    const int count = MultiByteToWideChar(codePage, flags, bytes, length, nullptr, 0);
    if (count < 1)
        return -1;
    text.resize(static_cast<size_t>(count));
    MultiByteToWideChar(codePage, flags, bytes, length, text.data(), count);
    // Up to a terminating zero, the zero itself is counted but not part of the text.
    if (length < 0 && !text.empty() && text.back() == L'\0')
        text.pop_back();
    return static_cast<int>(text.size());
}

int MultiByteToWide(const CZipAutoBuffer& buffer, std::wstring& text, UINT codePage) {
    return MultiByteToWide(buffer.GetBuffer(), static_cast<int>(buffer.GetSize()), text, codePage);
}

} // namespace ZipPlatform

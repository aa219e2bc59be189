#pragma once
// File system helpers on wide Linux paths (UTF-8 on disk, see unicode.h). Paths the program holds in
// Windows form go through TranslatePath (drivetable.h) first. Nothing here throws: calls report
// failure through their result and leave the cause in errno, as the system calls themselves do.

#include "platform/base/wintypes.h"

#include <ctime>
#include <string>
#include <vector>

// DOS attribute bits the program and its archives speak. Linux has no hidden or system bit:
// setting them succeeds and changes nothing, and they are never reported.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

namespace FileSystem {

struct Status {
    bool isDirectory = false;
    ULONGLONG size = 0;
    std::time_t modificationTime = 0;
    std::time_t accessTime = 0;
};

struct DirectoryEntry {
    std::wstring name;
    bool isDirectory = false;
    // Filled only by a listing with ListDetail::ReadAccess: a file the caller may open for reading.
    bool readableFile = false;
};

// Asking for read access while listing checks each name against the open folder, which spares
// the file system a whole path walk per file.
enum class ListDetail { Kinds, ReadAccess };

// Symbolic links are followed everywhere, as the program only ever meant the file behind them.
bool GetStatus(const std::wstring& path, Status& status);
bool Exists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
bool GetSize(const std::wstring& path, ULONGLONG& size);
// Whether the path may be opened for reading (a directory too); one question to the file system,
// cheaper than opening it.
bool CanRead(const std::wstring& path);

// Files are 0x20 (plus 0x01 when the owner may not write), directories 0x10 (plus 0x01 likewise);
// INVALID_FILE_ATTRIBUTES when the path cannot be read.
DWORD GetAttributes(const std::wstring& path);
// Only the read-only bit has an effect: it removes every write permission, clearing it gives the
// owner write permission back.
bool SetAttributes(const std::wstring& path, DWORD attributes);

// Times in seconds since 1970 UTC; a null pointer leaves that time as it is.
bool GetFileTimes(const std::wstring& path, std::time_t* modificationTime, std::time_t* accessTime);
bool SetFileTimes(const std::wstring& path, const std::time_t* modificationTime,
                  const std::time_t* accessTime);
bool SetFileTimes(int descriptor, const std::time_t* modificationTime, const std::time_t* accessTime);

// The folder's entries without "." and "..", sorted by name so that every run sees the same order.
bool ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries,
                   ListDetail detail = ListDetail::Kinds);

// Fails with EEXIST when anything is already there.
bool CreateDirectory(const std::wstring& path);
// Creates every missing level; an existing directory is success.
bool CreateDirectories(const std::wstring& path);

// Replaces an existing target atomically; both paths must lie on one volume (else EXDEV).
bool Rename(const std::wstring& from, const std::wstring& to);
bool RemoveFile(const std::wstring& path);
// Only an empty directory can be removed.
bool RemoveDirectory(const std::wstring& path);

// Copies content, permissions and modification time. The copy is written under a temporary name in
// the target's folder and renamed at the end, so a failed copy never leaves a partial target.
// With failIfExists an existing target fails with EEXIST and stays untouched.
bool CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists);

// Cuts or extends (with zero bytes) to the given length.
bool Resize(const std::wstring& path, ULONGLONG length);
bool Resize(int descriptor, ULONGLONG length);

// The key under which the platform's file systems and registry compare names: case is folded the
// same way whatever the user's locale.
std::wstring FoldNameCase(const std::wstring& name);
// The actual name in the folder that equals the name when case is ignored (an exact match first),
// or empty when there is none. Cards copied to a Linux disk keep whatever case they had.
std::wstring FindNameNoCase(const std::wstring& folder, const std::wstring& name);

// The absolute path with every link and "." or ".." resolved; empty when the path does not exist.
std::wstring CanonicalPath(const std::wstring& path);

// The folder that holds the running program (from /proc/self/exe), without a trailing slash.
std::wstring ProgramFolder();
// The user's documents folder: XDG_DOCUMENTS_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else
// ~/Documents. Never created here.
std::wstring DocumentsFolder();
// The folder that stands for the Windows program's fixed "C:\repair": ~/repair. Never created here.
std::wstring RepairFolder();
// $HOME, else the home folder of the user's account.
std::wstring HomeFolder();
// $TMPDIR when it names a directory, else /tmp.
std::wstring TemporaryFolder();
// Who may read a temporary file: only its owner, or as for any new file (the user's umask), for a
// file that becomes a user's document once it is renamed into place.
enum class TemporaryFileAccess { OwnerOnly, AsNewFile };
// Creates a new empty file with a unique name in the folder (the temporary folder when empty) and
// returns its path; empty on failure. Creating it keeps two callers from choosing the same name.
std::wstring CreateTemporaryFile(const std::wstring& folder = L"", const std::wstring& prefix = L"trevo",
                                 TemporaryFileAccess access = TemporaryFileAccess::OwnerOnly);

} // namespace FileSystem

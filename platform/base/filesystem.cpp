#include "platform/base/filesystem.h"

#include "platform/base/unicode.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <locale.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

namespace FileSystem {

namespace {

// Closes its descriptor without disturbing errno, so the cause of a failure survives the clean-up.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsValid() const { return m_fd >= 0; }
    // Closes and reports a deferred write error, which some file systems only give here.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }
    void Reset() {
        if (m_fd < 0)
            return;
        const int saved = errno;
        ::close(m_fd);
        m_fd = -1;
        errno = saved;
    }

  private:
    int m_fd;
};

void UnlinkKeepingErrno(const std::string& path) {
    const int saved = errno;
    ::unlink(path.c_str());
    errno = saved;
}

bool StatPath(const std::wstring& path, struct stat& info) {
    return ::stat(Utf8FromWide(path).c_str(), &info) == 0;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return WithoutTrailingSlashes(path.substr(0, slash));
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CreateDirectoriesUtf8(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    struct stat info {};
    if (errno == EEXIST) {
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            return true;
        errno = EEXIST;
        return false;
    }
    if (errno != ENOENT)
        return false;
    const std::string parent = ParentOf(path);
    if (parent == path || parent == "." || parent == "/")
        return false;
    if (!CreateDirectoriesUtf8(parent))
        return false;
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    // Someone else may have made it in the meantime.
    return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteAll(int fd, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t put = ::write(fd, bytes, count);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (put == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += put;
        count -= static_cast<size_t>(put);
    }
    return true;
}

bool CopyContent(int from, int to) {
    // The kernel copies by itself where it can (and shares the blocks where the file system lets
    // it); through the buffer only when it cannot between these two files.
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
        if (copied > 0)
            continue;
        if (copied == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EBADF)
            return false;
        break;
    }
    std::vector<char> buffer(1 << 18);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(got)))
            return false;
    }
}

// Moves the finished copy into place; without replacing anything when the caller asked so, also if
// a target appeared while copying.
bool PlaceCopy(const std::string& temporary, const std::string& target, bool failIfExists) {
    if (!failIfExists)
        return ::rename(temporary.c_str(), target.c_str()) == 0;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot refuse a replacement by itself (FAT on some kernels, FUSE).
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(temporary.c_str(), target.c_str()) == 0;
}

locale_t CaseFoldingLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

std::wstring Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? WideFromUtf8(value) : std::wstring();
}

std::wstring WithoutTrailingSlashes(std::wstring path) {
    while (path.size() > 1 && path.back() == L'/')
        path.pop_back();
    return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return folder == L"/" ? folder + name : folder + L"/" + name;
}

// One value of user-dirs.dirs: "$HOME/name" or an absolute path, in double quotes, with backslash
// escapes. Anything else is not a folder and is ignored, as the XDG tools do.
std::wstring UserDirValue(std::wstring value, const std::wstring& home) {
    std::wstring text;
    bool quoted = !value.empty() && value.front() == L'"';
    for (size_t i = quoted ? 1 : 0; i < value.size(); ++i) {
        if (quoted && value[i] == L'"')
            break;
        if (value[i] == L'\\' && i + 1 < value.size())
            ++i;
        text.push_back(value[i]);
    }
    if (text.compare(0, 5, L"$HOME") == 0 && (text.size() == 5 || text[5] == L'/'))
        return WithoutTrailingSlashes(home + text.substr(5));
    if (!text.empty() && text.front() == L'/')
        return WithoutTrailingSlashes(text);
    return std::wstring();
}

} // namespace

bool GetStatus(const std::wstring& path, Status& status) {
    struct stat info {};
    if (!StatPath(path, info))
        return false;
    status.isDirectory = S_ISDIR(info.st_mode);
    status.size = static_cast<ULONGLONG>(info.st_size);
    status.modificationTime = info.st_mtim.tv_sec;
    status.accessTime = info.st_atim.tv_sec;
    return true;
}

bool Exists(const std::wstring& path) {
    struct stat info {};
    return StatPath(path, info);
}

bool CanRead(const std::wstring& path) {
    return ::access(Utf8FromWide(path).c_str(), R_OK) == 0;
}

bool IsDirectory(const std::wstring& path) {
    struct stat info {};
    return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool GetSize(const std::wstring& path, ULONGLONG& size) {
    Status status;
    if (!GetStatus(path, status))
        return false;
    size = status.size;
    return true;
}

DWORD GetAttributes(const std::wstring& path) {
    struct stat info {};
    if (!StatPath(path, info))
        return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(info.st_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

bool SetAttributes(const std::wstring& path, DWORD attributes) {
    struct stat info {};
    if (!StatPath(path, info))
        return false;
    const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? info.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)
                                                               : info.st_mode | S_IWUSR;
    if ((mode & 07777) == (info.st_mode & 07777))
        return true;
    return ::chmod(Utf8FromWide(path).c_str(), mode & 07777) == 0;
}

bool GetFileTimes(const std::wstring& path, std::time_t* modificationTime, std::time_t* accessTime) {
    Status status;
    if (!GetStatus(path, status))
        return false;
    if (modificationTime)
        *modificationTime = status.modificationTime;
    if (accessTime)
        *accessTime = status.accessTime;
    return true;
}

namespace {

void FillTimes(struct timespec (&times)[2], const std::time_t* modificationTime,
               const std::time_t* accessTime) {
    times[0] = accessTime ? timespec{*accessTime, 0} : timespec{0, UTIME_OMIT};
    times[1] = modificationTime ? timespec{*modificationTime, 0} : timespec{0, UTIME_OMIT};
}

} // namespace

bool SetFileTimes(const std::wstring& path, const std::time_t* modificationTime,
                  const std::time_t* accessTime) {
    struct timespec times[2];
    FillTimes(times, modificationTime, accessTime);
    return ::utimensat(AT_FDCWD, Utf8FromWide(path).c_str(), times, 0) == 0;
}

bool SetFileTimes(int descriptor, const std::time_t* modificationTime, const std::time_t* accessTime) {
    struct timespec times[2];
    FillTimes(times, modificationTime, accessTime);
    return ::futimens(descriptor, times) == 0;
}

bool ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries, ListDetail detail) {
    entries.clear();
    const int fd = ::open(Utf8FromWide(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* directory = ::fdopendir(fd);
    if (!directory) {
        Descriptor owner(fd);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory);
        if (!entry)
            break;
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            isDirectory = ::fstatat(fd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        const bool readableFile = detail == ListDetail::ReadAccess && !isDirectory &&
                                  ::faccessat(fd, entry->d_name, R_OK, 0) == 0;
        entries.push_back({WideFromUtf8(name), isDirectory, readableFile});
    }
    const int readError = errno;
    ::closedir(directory);
    if (readError != 0) {
        entries.clear();
        errno = readError;
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return true;
}

bool CreateDirectory(const std::wstring& path) {
    return ::mkdir(Utf8FromWide(path).c_str(), 0777) == 0;
}

bool CreateDirectories(const std::wstring& path) {
    const std::string bytes = WithoutTrailingSlashes(Utf8FromWide(path));
    if (bytes.empty()) {
        errno = ENOENT;
        return false;
    }
    return CreateDirectoriesUtf8(bytes);
}

bool Rename(const std::wstring& from, const std::wstring& to) {
    return ::rename(Utf8FromWide(from).c_str(), Utf8FromWide(to).c_str()) == 0;
}

bool RemoveFile(const std::wstring& path) {
    return ::unlink(Utf8FromWide(path).c_str()) == 0;
}

bool RemoveDirectory(const std::wstring& path) {
    return ::rmdir(Utf8FromWide(path).c_str()) == 0;
}

bool CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) {
    const std::string target = Utf8FromWide(to);
    Descriptor source(::open(Utf8FromWide(from).c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.IsValid())
        return false;
    struct stat info {};
    if (::fstat(source.Get(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    struct stat existing {};
    if (failIfExists && ::lstat(target.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }

    std::string temporary = ParentOf(target) + "/." + NameOf(target) + ".XXXXXX";
    Descriptor copy(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!copy.IsValid())
        return false;
    if (!CopyContent(source.Get(), copy.Get())) {
        copy.Reset();
        UnlinkKeepingErrno(temporary);
        return false;
    }
    // Permissions and time are kept as the platform's copy keeps them; a file system that cannot
    // hold them (FAT keeps no owner bits) does not make the copy fail.
    ::fchmod(copy.Get(), info.st_mode & 07777);
    const struct timespec times[2] = {{0, UTIME_NOW}, info.st_mtim};
    ::futimens(copy.Get(), times);
    if (!copy.Close() || !PlaceCopy(temporary, target, failIfExists)) {
        UnlinkKeepingErrno(temporary);
        return false;
    }
    return true;
}

bool Resize(const std::wstring& path, ULONGLONG length) {
    if (length > static_cast<ULONGLONG>(LLONG_MAX)) {
        errno = EFBIG;
        return false;
    }
    return ::truncate(Utf8FromWide(path).c_str(), static_cast<off_t>(length)) == 0;
}

bool Resize(int descriptor, ULONGLONG length) {
    if (length > static_cast<ULONGLONG>(LLONG_MAX)) {
        errno = EFBIG;
        return false;
    }
    return ::ftruncate(descriptor, static_cast<off_t>(length)) == 0;
}

std::wstring FoldNameCase(const std::wstring& name) {
    std::wstring folded(name);
    const locale_t locale = CaseFoldingLocale();
    for (wchar_t& ch : folded) {
        if (locale)
            ch = static_cast<wchar_t>(::towupper_l(static_cast<wint_t>(ch), locale));
        else if (ch >= L'a' && ch <= L'z')
            ch = static_cast<wchar_t>(ch - L'a' + L'A');
    }
    return folded;
}

std::wstring FindNameNoCase(const std::wstring& folder, const std::wstring& name) {
    std::vector<DirectoryEntry> entries;
    if (name.empty() || !ListDirectory(folder, entries))
        return std::wstring();
    for (const auto& entry : entries) {
        if (entry.name == name)
            return entry.name;
    }
    const std::wstring key = FoldNameCase(name);
    for (const auto& entry : entries) {
        if (FoldNameCase(entry.name) == key)
            return entry.name;
    }
    return std::wstring();
}

std::wstring ProgramFolder() {
    static const std::wstring folder = [] {
        std::string buffer(PATH_MAX, '\0');
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
            return std::wstring();
        buffer.resize(static_cast<size_t>(length));
        return WideFromUtf8(ParentOf(buffer));
    }();
    return folder;
}

std::wstring HomeFolder() {
    std::wstring home = Environment("HOME");
    if (home.empty()) {
        struct passwd entry {};
        struct passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir)
            home = WideFromUtf8(found->pw_dir);
    }
    return home.empty() ? L"/" : WithoutTrailingSlashes(home);
}

std::wstring DocumentsFolder() {
    const std::wstring home = HomeFolder();
    std::wstring configHome = Environment("XDG_CONFIG_HOME");
    if (configHome.empty() || configHome.front() != L'/')
        configHome = JoinPath(home, L".config");
    std::ifstream file(Utf8FromWide(JoinPath(WithoutTrailingSlashes(configHome), L"user-dirs.dirs")));
    std::string line;
    std::wstring found;
    while (std::getline(file, line)) {
        const std::wstring text = WideFromUtf8(line);
        const size_t start = text.find_first_not_of(L" \t");
        if (start == std::wstring::npos || text[start] == L'#')
            continue;
        const size_t equals = text.find(L'=', start);
        if (equals == std::wstring::npos || text.substr(start, equals - start) != L"XDG_DOCUMENTS_DIR")
            continue;
        // The last assignment wins, as when the shell reads the file.
        const std::wstring value = UserDirValue(text.substr(equals + 1), home);
        if (!value.empty())
            found = value;
    }
    return found.empty() ? JoinPath(home, L"Documents") : found;
}

std::wstring CanonicalPath(const std::wstring& path) {
    char* resolved = realpath(Utf8FromWide(path).c_str(), nullptr);
    if (resolved == nullptr)
        return std::wstring();
    std::wstring result = WideFromUtf8(resolved);
    std::free(resolved);
    return result;
}

std::wstring RepairFolder() {
    return JoinPath(HomeFolder(), L"repair");
}

std::wstring TemporaryFolder() {
    const std::wstring folder = WithoutTrailingSlashes(Environment("TMPDIR"));
    return !folder.empty() && folder.front() == L'/' && IsDirectory(folder) ? folder : L"/tmp";
}

namespace {

// The process's umask, read without changing it (umask() sets it, racing other threads' creations).
mode_t ProcessUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    unsigned int mask = 022;
    if (status) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &mask) == 1)
                break;
        std::fclose(status);
    }
    return static_cast<mode_t>(mask & 0777);
}

} // namespace

std::wstring CreateTemporaryFile(const std::wstring& folder, const std::wstring& prefix,
                                 TemporaryFileAccess access) {
    const std::wstring base = folder.empty() ? TemporaryFolder() : WithoutTrailingSlashes(folder);
    std::string pattern = Utf8FromWide(JoinPath(base, prefix)) + "XXXXXX.tmp";
    Descriptor file(::mkostemps(pattern.data(), 4, O_CLOEXEC));
    if (!file.IsValid())
        return std::wstring();
    if (access == TemporaryFileAccess::AsNewFile && ::fchmod(file.Get(), 0666 & ~ProcessUmask()) != 0) {
        const int error = errno;
        ::unlink(pattern.c_str());
        errno = error;
        return std::wstring();
    }
    return WideFromUtf8(pattern);
}

} // namespace FileSystem

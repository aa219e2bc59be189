#include "platform/base/file.h"

#include "platform/base/unicode.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int CFileException::CauseFromOsError(int osError) {
    switch (osError) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case ESPIPE:
    case EINVAL:
        return badSeek;
    case EIO:
        return hardIO;
    case EBUSY:
    case ETXTBSY:
        return sharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return diskFull;
    default:
        return genericException;
    }
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(const std::wstring& path, UINT openFlags, CFileException* error) {
    if (IsOpen())
        Abort();
    int flags = O_CLOEXEC;
    switch (openFlags & 3) {
    case modeRead:
        flags |= O_RDONLY;
        break;
    case modeWrite:
        flags |= O_WRONLY;
        break;
    default:
        flags |= O_RDWR;
        break;
    }
    if (openFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(openFlags & modeNoTruncate))
            flags |= O_TRUNC;
    }
    const int fd = ::open(Utf8FromWide(path).c_str(), flags, 0666);
    if (fd < 0) {
        const int osError = errno;
        if (error)
            *error = CFileException(CFileException::CauseFromOsError(osError), osError, path);
        return FALSE;
    }
    // The class library refuses to open a directory as a file; so do we.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        if (error)
            *error = CFileException(CFileException::accessDenied, EISDIR, path);
        return FALSE;
    }
    m_hFile = fd;
    m_strFileName = path;
    return TRUE;
}

void CFile::ThrowOsError(int osError) const {
    throw CFileException(CFileException::CauseFromOsError(osError), osError, m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (count == 0)
        return 0;
    UINT done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t got = ::read(m_hFile, bytes + done, count - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (got == 0)
            break;
        done += static_cast<UINT>(got);
    }
    return done;
}

void CFile::Write(const void* buffer, UINT count) {
    UINT done = 0;
    const auto* bytes = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t put = ::write(m_hFile, bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (put == 0)
            ThrowOsError(ENOSPC);
        done += static_cast<UINT>(put);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    const off_t position = ::lseek(m_hFile, static_cast<off_t>(offset), whence);
    if (position < 0)
        ThrowOsError(errno);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const {
    const off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
    if (position < 0)
        ThrowOsError(errno);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const {
    struct stat info {};
    if (::fstat(m_hFile, &info) != 0)
        ThrowOsError(errno);
    return static_cast<ULONGLONG>(info.st_size);
}

void CFile::SetLength(ULONGLONG length) {
    if (::ftruncate(m_hFile, static_cast<off_t>(length)) != 0)
        ThrowOsError(errno);
}

void CFile::Flush() {
    if (IsOpen() && ::fsync(m_hFile) != 0 && errno != EINVAL)
        ThrowOsError(errno);
}

void CFile::Close() {
    if (!IsOpen())
        return;
    const int fd = m_hFile;
    m_hFile = hFileNull;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowOsError(errno);
    m_strFileName.clear();
}

void CFile::Abort() {
    if (!IsOpen())
        return;
    ::close(m_hFile);
    m_hFile = hFileNull;
    m_strFileName.clear();
}

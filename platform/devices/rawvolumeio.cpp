#include "platform/devices/rawvolumeio.h"

#include <cerrno>
#include <cstdint>
#include <unistd.h>

bool SeekDescriptor(int fd, ULONGLONG offset) {
    if (offset > static_cast<ULONGLONG>(INT64_MAX)) {
        errno = EINVAL;
        return false;
    }
    return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool WriteDescriptor(int fd, const void* data, size_t length) {
    const auto* bytes = static_cast<const BYTE*>(data);
    while (length > 0) {
        const ssize_t written = write(fd, bytes, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadDescriptorAt(int fd, ULONGLONG offset, void* data, size_t length) {
    auto* bytes = static_cast<BYTE*>(data);
    while (length > 0) {
        const ssize_t got = pread(fd, bytes, length, static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0) {
            errno = EIO;
            return false;
        }
        bytes += got;
        offset += static_cast<ULONGLONG>(got);
        length -= static_cast<size_t>(got);
    }
    return true;
}

bool WriteDescriptorAt(int fd, ULONGLONG offset, const void* data, size_t length) {
    return SeekDescriptor(fd, offset) && WriteDescriptor(fd, data, length);
}

bool ScopedDescriptor::Close() {
    if (m_fd < 0)
        return true;
    const int error = errno;
    const bool closed = close(m_fd) == 0;
    m_fd = -1;
    if (closed)
        errno = error;
    return closed;
}

ScopedDescriptor::~ScopedDescriptor() {
    const int error = errno;
    Close();
    errno = error;
}

void ScopedDescriptor::Reset(int fd) {
    const int error = errno;
    Close();
    errno = error;
    m_fd = fd;
}

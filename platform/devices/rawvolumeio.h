#pragma once
// File-descriptor calls both raw-volume back ends share. Each returns false with errno set.

#include "platform/base/wintypes.h"

#include <cstddef>

bool SeekDescriptor(int fd, ULONGLONG offset);
// Writes every byte, going on after interrupted and partial writes.
bool WriteDescriptor(int fd, const void* data, size_t length);
// Reads exactly length bytes at offset; a file that ends early is EIO.
bool ReadDescriptorAt(int fd, ULONGLONG offset, void* data, size_t length);
bool WriteDescriptorAt(int fd, ULONGLONG offset, const void* data, size_t length);

// Owns a descriptor and closes it on every way out, keeping the errno of the failure that led there.
class ScopedDescriptor {
  public:
    explicit ScopedDescriptor(int fd) : m_fd(fd) {}
    ~ScopedDescriptor();
    ScopedDescriptor(const ScopedDescriptor&) = delete;
    ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

    int Get() const { return m_fd; }
    // Takes a new descriptor, closing the one held before.
    void Reset(int fd);
    // Closes it now; false with errno set when the close reports an error.
    bool Close();

  private:
    int m_fd;
};

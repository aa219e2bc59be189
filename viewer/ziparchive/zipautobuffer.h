#pragma once
// An owned block of bytes: raw names, extra fields, passwords and transfer buffers. It moves but
// does not copy, so a block always has exactly one owner.

#include "platform/base/wintypes.h"

#include <memory>

class CZipAutoBuffer {
  public:
    CZipAutoBuffer() = default;
    CZipAutoBuffer(DWORD size, bool zeroMemory = false) { Allocate(size, zeroMemory); }
    virtual ~CZipAutoBuffer() = default;
    CZipAutoBuffer(CZipAutoBuffer&& other) noexcept;
    CZipAutoBuffer& operator=(CZipAutoBuffer&& other) noexcept;
    CZipAutoBuffer(const CZipAutoBuffer&) = delete;
    CZipAutoBuffer& operator=(const CZipAutoBuffer&) = delete;

    // Keeps the block when the size does not change; a size of 0 leaves the buffer empty (null).
    char* Allocate(DWORD size, bool zeroMemory = false);
    void Release();

    DWORD GetSize() const { return m_size; }
    char* GetBuffer() { return m_buffer.get(); }
    const char* GetBuffer() const { return m_buffer.get(); }
    operator char*() { return m_buffer.get(); }
    operator const char*() const { return m_buffer.get(); }

  private:
    std::unique_ptr<char[]> m_buffer;
    DWORD m_size = 0;
};

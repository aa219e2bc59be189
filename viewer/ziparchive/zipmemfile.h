#pragma once
// A growable block of memory used as a file: the target the skin store extracts XML and bitmaps
// into. Sizes stay within 32 bits; growing is computed in 64 bits so that no size can wrap, and a
// request beyond 4 GiB - 1 or beyond what the heap gives is cause 505.

#include "viewer/ziparchive/zipabstractfile.h"

class CZipMemFile : public CZipAbstractFile {
  public:
    explicit CZipMemFile(UINT growBy = 1024);
    ~CZipMemFile() override;

    // Frees an owned buffer and starts empty again with the given step.
    void ReInit(UINT growBy = 1024);
    // Hands the buffer to the caller, who frees it with free(); the file is empty afterwards and,
    // with a grow step of 0, needs ReInit before it can be written again.
    BYTE* Detach();

    void Close() override;
    void Flush() override {}
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG Seek(LONGLONG offset, int from) override;
    ULONGLONG GetLength() const override { return m_dataSize; }
    // Within the buffer the position moves to the new end; growing leaves it where it is.
    ULONGLONG SetLength(ULONGLONG length) override;
    std::wstring GetFilePath() const override { return std::wstring(); }
    bool HasFilePath() const override { return false; }
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    bool IsClosed() const override { return m_buffer == nullptr; }

    UINT GetBufferSize() const { return m_bufferSize; }
    const BYTE* GetData() const { return m_buffer; }

  private:
    void Init();
    void Allocate(ULONGLONG size);

    UINT m_growBy = 0;
    UINT m_position = 0;
    UINT m_bufferSize = 0;
    UINT m_dataSize = 0;
    BYTE* m_buffer = nullptr;
    bool m_autoDelete = true;
};

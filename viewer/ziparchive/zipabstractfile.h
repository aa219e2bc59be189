#pragma once
// The one file interface the library reads and writes through: a disk file (CZipFile) or a block
// of memory (CZipMemFile).

#include "platform/base/wintypes.h"

#include <string>

class CZipAbstractFile {
  public:
    enum SeekFrom { begin = 0, current = 1, end = 2 };

    CZipAbstractFile() = default;
    virtual ~CZipAbstractFile() = default;
    CZipAbstractFile(const CZipAbstractFile&) = delete;
    CZipAbstractFile& operator=(const CZipAbstractFile&) = delete;

    virtual bool Open(const std::wstring&, UINT, bool) { return false; }
    virtual void Close() = 0;
    virtual void Flush() = 0;
    virtual ULONGLONG GetPosition() const = 0;
    virtual ULONGLONG Seek(LONGLONG offset, int from) = 0;
    virtual ULONGLONG GetLength() const = 0;
    // Returns the new length.
    virtual ULONGLONG SetLength(ULONGLONG length) = 0;
    virtual ULONGLONG SeekToBegin() { return Seek(0, begin); }
    virtual ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual std::wstring GetFilePath() const = 0;
    virtual bool HasFilePath() const = 0;
    virtual UINT Read(void* buffer, UINT count) = 0;
    virtual void Write(const void* buffer, UINT count) = 0;
    virtual bool IsClosed() const = 0;
};

#pragma once
// A file on disk for the library, over the platform's CFile: open failures are either the
// platform's CFileException or a false result, read and write errors are CFileException.

#include "viewer/ziparchive/zipabstractfile.h"

#include "platform/base/file.h"

class CZipFile : public CZipAbstractFile {
  public:
    CZipFile() = default;
    ~CZipFile() override = default;

    // The flags are CFile's (modeRead, modeReadWrite, modeCreate, shareDenyWrite, modeNoTruncate...).
    bool Open(const std::wstring& path, UINT openFlags, bool throwOnError) override;
    void Close() override { m_file.Close(); }
    void Flush() override { m_file.Flush(); }
    ULONGLONG GetPosition() const override { return m_file.GetPosition(); }
    ULONGLONG Seek(LONGLONG offset, int from) override;
    ULONGLONG GetLength() const override { return m_file.GetLength(); }
    ULONGLONG SetLength(ULONGLONG length) override {
        m_file.SetLength(length);
        return length;
    }
    std::wstring GetFilePath() const override { return m_file.GetFilePath(); }
    bool HasFilePath() const override { return true; }
    UINT Read(void* buffer, UINT count) override { return m_file.Read(buffer, count); }
    void Write(const void* buffer, UINT count) override { m_file.Write(buffer, count); }
    bool IsClosed() const override { return !m_file.IsOpen(); }

    // The descriptor, for stamping an extracted file's times while it is open.
    int GetHandle() const { return m_file.m_hFile; }

  private:
    CFile m_file;
};

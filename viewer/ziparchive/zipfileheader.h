#pragma once
// One archive entry: the fields of its central header, what reading needs of its local header,
// its extra fields, name and comment, and its times and attributes in this platform's terms.

#include "viewer/ziparchive/zipautobuffer.h"
#include "viewer/ziparchive/zipextrafield.h"

#include "platform/base/wintypes.h"

#include <ctime>
#include <memory>
#include <string>

class CZipCentralDir;
class CZipStorage;

class CZipFileHeader {
  public:
    static constexpr DWORD kCentralSize = 46;
    static constexpr DWORD kLocalSize = 30;
    static constexpr BYTE kNotEncrypted = 0xFF;

    explicit CZipFileHeader(CZipCentralDir* centralDir) : m_centralDir(centralDir) {}
    virtual ~CZipFileHeader() = default;
    CZipFileHeader(const CZipFileHeader&) = delete;
    CZipFileHeader& operator=(const CZipFileHeader&) = delete;

    // Reads one central header at the storage's position; false when it is not one.
    bool Read(bool readSignature);
    // Reads and checks the entry's local header against this one; afterwards the storage stands
    // at the entry's first data byte. False on a mismatch, cause 223 for WinZip AES.
    bool ReadLocal(CZipCentralDir* centralDir);
    // Compares the data descriptor at the storage's position with this header.
    bool CheckDataDescriptor(CZipStorage* storage) const;

    // The name in this platform's form (backslashes); converted on first use.
    const std::wstring& GetFileName(bool clearBuffer = true);
    const std::wstring& GetComment();
    // The NTFS time when one was recorded, else the DOS fields as local time (-1 when invalid).
    std::time_t GetModificationTime() const;
    std::time_t GetLastAccessTime() const { return m_lastAccessTime; }
    std::time_t GetCreationTime() const { return m_creationTime; }
    // The attributes converted to this platform's (DOS) form.
    DWORD GetSystemAttributes();
    bool IsDirectory();
    bool IsEncrypted() const { return m_encryptionMethod != kNotEncrypted; }
    bool IsDataDescriptor() const { return (m_flags & 0x0008) != 0; }
    int GetSystemCompatibility() const { return m_systemCompatibility; }
    DWORD GetExternalAttributes() const { return m_externalAttributes; }
    DWORD GetEncryptedInfoSize() const;

    BYTE m_versionMadeBy = 0;
    WORD m_versionNeeded = 0;
    WORD m_flags = 0;
    WORD m_method = 8;
    WORD m_modTime = 0;
    WORD m_modDate = 0;
    DWORD m_crcValue = 0;
    DWORD m_compressedSize = 0;
    DWORD m_uncompressedSize = 0;
    WORD m_volumeStart = 0;
    WORD m_internalAttributes = 0;
    DWORD m_localCompressedSize = 0;
    DWORD m_localUncompressedSize = 0;
    DWORD m_localHeaderOffset = 0;
    CZipExtraField m_centralExtra;
    CZipExtraField m_localExtra;
    WORD m_localFileNameSize = 0;
    BYTE m_encryptionMethod = kNotEncrypted;
    DWORD m_localHeaderSize = 0;

  private:
    void ReadNtfsTimes();

    std::time_t m_modificationTime = 0;
    std::time_t m_lastAccessTime = 0;
    std::time_t m_creationTime = 0;
    DWORD m_externalAttributes = 0;
    CZipCentralDir* m_centralDir;
    CZipAutoBuffer m_rawFileName;
    std::unique_ptr<std::wstring> m_fileName;
    CZipAutoBuffer m_rawComment;
    std::unique_ptr<std::wstring> m_comment;
    BYTE m_systemCompatibility = 0;
};

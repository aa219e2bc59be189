#pragma once
// The archive's directory: finds the end record, reads every central header, keeps the headers
// in archive order, answers name lookups through a sorted index, and opens and closes the one
// entry being read.

#include "viewer/ziparchive/zipautobuffer.h"
#include "viewer/ziparchive/zipfileheader.h"
#include "viewer/ziparchive/zipstringcompare.h"

#include "platform/base/wintypes.h"

#include <memory>
#include <string>
#include <vector>

class CZipStorage;

class CZipCentralDir {
  public:
    // Consistency checks; a set bit in the ignored mask switches the check off. Opening resets the
    // mask to the default, so the end record's volume counts are never held against an archive.
    enum ConsistencyCheck : DWORD {
        checkCrc = 0x0001,
        checkLocalMethod = 0x0002,
        checkLocalSizes = 0x0004,
        checkLocalCrc = 0x0008,
        checkLocalFlags = 0x0010,
        checkDataDescriptor = 0x0100,
        checkVolumeEntries = 0x0200,
        checkDecryptionVerifier = 0x0400,
    };
    static constexpr DWORD kDefaultIgnoredChecks = checkDataDescriptor | checkVolumeEntries;
    static constexpr WORD kNotFound = 0xFFFF;

    CZipCentralDir() = default;
    virtual ~CZipCentralDir() = default;
    CZipCentralDir(const CZipCentralDir&) = delete;
    CZipCentralDir& operator=(const CZipCentralDir&) = delete;

    void Attach(CZipStorage* storage) { m_storage = storage; }
    void Init();
    // Reads the end record and every header; throws CZipException on damage.
    void Read();
    void Close();

    bool IsValidIndex(WORD index) const { return index < m_headers.size() && index < 0xFFFF; }
    WORD GetCount() const { return static_cast<WORD>(m_headers.size()); }
    CZipFileHeader* operator[](WORD index) const { return m_headers[index].get(); }

    // Reads and checks the entry's local header; cause 201 when it fails.
    void OpenFile(WORD index);
    // With the data-descriptor check on, compares the descriptor that follows a fully read entry.
    void CloseFile(bool skipChecks);
    CZipFileHeader* GetOpenedFile() const { return m_openedFile; }
    // The most bytes the entry's extraction can deliver: its plain size, cut to what its stored
    // bytes in this file can give; 0 for a method the library cannot read. Sizes are only judged
    // when the entry is read, so memory sized from this is all a damaged size can cost.
    DWORD GetExtractableSize(const CZipFileHeader& header) const;

    WORD FindFile(const std::wstring& name, bool caseSensitive, bool oneOffLookup, bool fileNameOnly);
    void EnableFindFast(bool enable, bool caseSensitive);

    DWORD GetIgnoredChecks() const { return m_ignoredChecks; }
    void SetIgnoredChecks(DWORD checks) { m_ignoredChecks = checks; }
    bool IsIgnored(DWORD check) const { return (m_ignoredChecks & check) != 0; }
    CZipStorage* GetStorage() const { return m_storage; }
    const CZipAutoBuffer& GetComment() const { return m_comment; }
    [[noreturn]] void ThrowError(int cause) const;

  private:
    struct CZipFindFast {
        CZipFileHeader* header;
        WORD index;
    };

    void ReadHeaders();
    void BuildFindFastArray(bool caseSensitive);
    WORD FindFileNameIndex(const std::wstring& name) const;

    CZipStorage* m_storage = nullptr;
    CZipFileHeader* m_openedFile = nullptr;
    DWORD m_ignoredChecks = kDefaultIgnoredChecks;
    std::vector<std::unique_ptr<CZipFileHeader>> m_headers;
    std::vector<CZipFindFast> m_findArray;

    ULONGLONG m_endRecordOffset = 0;
    WORD m_lastVolume = 0;
    WORD m_totalEntries = 0;
    DWORD m_centralDirSize = 0;
    DWORD m_centralDirOffset = 0;
    CZipAutoBuffer m_comment;
    bool m_caseSensitive = false;
    bool m_findFastEnabled = false;
    ZipStringCompare m_compare = GetStringCompareFunction(false, true);
};

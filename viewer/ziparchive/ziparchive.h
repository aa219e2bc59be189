#pragma once
// The zip library's facade, read side: open an archive file, set the password, look entries up by
// name, read them, extract them into memory or onto disk, close. Misuse is traced and answered
// with false, 0, null or 65535; damage, I/O failure, a wrong password and a CRC mismatch throw
// CZipException (opening a file that cannot be opened throws the platform's CFileException).

#include "viewer/ziparchive/zipabstractfile.h"
#include "viewer/ziparchive/zipautobuffer.h"
#include "viewer/ziparchive/zipcentraldir.h"
#include "viewer/ziparchive/zipcompressor.h"
#include "viewer/ziparchive/zipcryptograph.h"
#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zipfile.h"
#include "viewer/ziparchive/zipfileheader.h"
#include "viewer/ziparchive/zipmemfile.h"
#include "viewer/ziparchive/zipstorage.h"

#include "platform/base/wintypes.h"

#include <memory>
#include <string>

class CZipArchive {
  public:
    // Open modes: an existing archive, read-write or read-only. Creating and segmented archives
    // belong to the writing side, which the program never uses.
    enum OpenMode { zipOpen = 0x0001, zipOpenReadOnly = 0x0003 };
    // FindFile's case mode.
    enum CaseMode { caseDefault = 0, caseSensitive = 1, caseInsensitive = 2 };
    // Close's after-exception mode.
    enum CloseMode { closeNormal = 0, closeAfterException = 1, closeAfterExceptionWrite = 2 };
    // ExtractFile's overwrite mode bits.
    enum OverwriteMode { overwriteReadOnly = 0x1, overwriteOnlyOlder = 0x2, overwriteToRecycleBin = 0x4 };
    // CloseFile's results.
    enum CloseFileResult {
        closeFileNone = 0,
        closeFileDone = 1,
        closeFileUnfinished = -1,
        closeFileStampFailed = -2
    };
    static constexpr WORD kNotFound = 0xFFFF;
    static constexpr UINT kDefaultCodePage = 0xFFFFFFFF;
    static constexpr DWORD kDefaultBufferSize = 65536;

    CZipArchive();
    // Does not close: the owner calls Close first.
    virtual ~CZipArchive() = default;
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    bool Open(const std::wstring& path, int mode = zipOpenReadOnly, DWORD volumeSize = 0);
    // Null clears the password, as does an empty text. Opening and closing clear it too.
    bool SetPassword(const wchar_t* password, UINT codePage = kDefaultCodePage);
    bool IsClosed(bool wholeArchive = true) const { return m_storage.IsClosed(wholeArchive); }
    WORD GetCount() const { return m_centralDir.GetCount(); }
    CZipFileHeader* GetFileInfo(WORD index);
    CZipFileHeader* operator[](WORD index) { return GetFileInfo(index); }
    WORD FindFile(const std::wstring& name, int caseMode = caseDefault, bool fileNameOnly = false);
    // What to reserve for extracting the entry: its plain size, but never more than the archive can
    // fill, so that a damaged size fails at its extraction without having reserved gigabytes first.
    // 0 for a method the library cannot read, an invalid index or a closed archive.
    DWORD GetExtractableSize(WORD index);

    bool OpenFile(WORD index);
    DWORD ReadFile(void* buffer, DWORD size);
    int CloseFile(const wchar_t* targetPath = nullptr, bool afterException = false);
    int CloseFile(CZipFile& targetFile);

    // Writes the entry to the target path exactly as given; the full-path flag and the new name
    // do not change it, so an entry's name never becomes a path on disk.
    bool ExtractFile(WORD index, const std::wstring& targetPath, bool fullPath = true,
                     const wchar_t* newName = nullptr, int overwriteMode = 0,
                     DWORD bufferSize = kDefaultBufferSize);
    bool ExtractFileInto(WORD index, CZipAbstractFile& target, bool rewind = false,
                         DWORD bufferSize = kDefaultBufferSize);

    // The path of the archive that was closed; empty when it was closed already.
    std::wstring Close(int afterException = closeNormal, bool updateTimeStamp = false);

    // Consistency checks to skip (CZipCentralDir::ConsistencyCheck bits); opening resets them.
    void SetIgnoredConsistencyChecks(DWORD checks) { m_centralDir.SetIgnoredChecks(checks); }
    DWORD GetIgnoredConsistencyChecks() const { return m_centralDir.GetIgnoredChecks(); }
    // Applied to every compressor the archive uses from now on.
    void SetCompressionOptions(const CZipCompressor::COptions& options) { m_compressorOptions.Set(options); }
    int GetSystemCompatibility() const { return m_archiveSystem; }
    std::wstring GetGlobalComment() const;

    [[noreturn]] void ThrowError(int cause, const std::wstring* fileName = nullptr) const;

  protected:
    virtual CZipCryptograph* CreateCryptograph(int encryptionMethod);
    virtual CZipCompressor* CreateCompressor(WORD method);

  private:
    void CloseAfterFailedOpen();
    bool StampFile(CZipFileHeader& header, const std::wstring& path);

    bool m_caseSensitive;
    CZipStorage m_storage;
    CZipCentralDir m_centralDir;
    int m_fileOpened = 0;
    int m_archiveSystem;
    CZipAutoBuffer m_password;
    std::unique_ptr<CZipCryptograph> m_cryptograph;
    std::unique_ptr<CZipCompressor> m_compressor;
    CZipCompressor::COptionsMap m_compressorOptions;
};

#pragma once
// The archive's access to its bytes: opens the archive file, reads exact counts (a short read is
// damage, cause 201), seeks with the bytes that stand before the archive data added, and finds a
// signature by scanning backwards from the end. Small reads go through a read-ahead block, so that
// headers and small entries that lie together cost one system call, not several each. Only
// single-file archives are read: an end record that names another volume is refused.

#include "viewer/ziparchive/zipautobuffer.h"
#include "viewer/ziparchive/zipfile.h"

#include "platform/base/wintypes.h"

#include <string>

class CZipStorage {
  public:
    // The open mode bits the read side understands; the create and segment bits belong to the
    // writing side.
    enum OpenModeBits {
        modeOpen = 0x0001,
        modeReadOnlyBit = 0x0002,
    };
    enum SeekType { seekFromBeginning = 0, seekCurrentPosition = 2 };
    static constexpr DWORD kReadAheadSize = 65536;

    CZipStorage() = default;
    virtual ~CZipStorage() = default;
    CZipStorage(const CZipStorage&) = delete;
    CZipStorage& operator=(const CZipStorage&) = delete;

    // Opens an existing archive; failure to open the file throws the platform's CFileException.
    void Open(const std::wstring& path, int mode);
    // Returns the archive path; the storage is closed afterwards whatever happens.
    std::wstring Close();

    void Read(void* buffer, DWORD size);
    // From the beginning the bytes before the archive are added (once the directory knows them);
    // from the current position the move is relative.
    void Seek(ULONGLONG offset, SeekType from = seekFromBeginning);
    // An absolute file position, whatever stands before the archive.
    void SetPosition(ULONGLONG position) { m_position = position; }
    ULONGLONG GetLength() const { return m_length; }
    // Absolute offset of the occurrence nearest the end of the file within the last maxDepth
    // bytes, or -1.
    LONGLONG LocateSignature(const char* signature, DWORD maxDepth);
    // The end record's disk number: 0 makes this a plain archive; anything else is a segmented
    // archive, which the read side does not handle (cause 201).
    void UpdateSegmentMode(WORD lastVolume);

    bool IsClosed(bool wholeArchive) const;
    std::wstring GetFilePath() const { return m_file ? m_file->GetFilePath() : std::wstring(); }
    [[noreturn]] void ThrowError(int cause) const;

    ULONGLONG m_bytesBeforeArchive = 0;
    DWORD m_locateBufferSize = 32768;

  private:
    // Reads straight from the file at an absolute position; fewer bytes only at its end.
    DWORD ReadAt(ULONGLONG position, char* buffer, DWORD size);

    CZipAbstractFile* m_file = nullptr;
    CZipFile m_internalFile;
    std::wstring m_archivePath;
    bool m_opened = false;
    WORD m_currentVolume = 0xFFFF;
    ULONGLONG m_length = 0;
    ULONGLONG m_position = 0;
    // Where the file itself stands, so that a read right after the last one needs no seek.
    ULONGLONG m_filePosition = 0;
    CZipAutoBuffer m_readAhead;
    ULONGLONG m_readAheadStart = 0;
    DWORD m_readAheadCount = 0;
};

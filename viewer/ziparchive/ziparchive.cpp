#include "viewer/ziparchive/ziparchive.h"

#include "viewer/ziparchive/zipcompatibility.h"
#include "viewer/ziparchive/zippathcomponent.h"
#include "viewer/ziparchive/zipplatform.h"

#include <algorithm>

CZipArchive::CZipArchive()
    : m_caseSensitive(ZipPlatform::GetSystemCaseSensitivity()), m_archiveSystem(ZipPlatform::GetSystemID()) {
    m_centralDir.Attach(&m_storage);
}

bool CZipArchive::Open(const std::wstring& path, int mode, DWORD) {
    if (!IsClosed()) {
        ZIPTRACE("Archive already opened.");
        return false;
    }
    if (mode != zipOpen && mode != zipOpenReadOnly) {
        ZIPTRACE("Only existing archives can be opened; the library has no writing side.");
        return false;
    }
    try {
        m_storage.Open(path, mode);
        m_password.Release();
        m_fileOpened = 0;
        m_centralDir.Init();
        m_archiveSystem = ZipPlatform::GetSystemID();
        m_centralDir.Read();
        if (m_centralDir.IsValidIndex(0)) {
            const int system = m_centralDir[0]->GetSystemCompatibility();
            if (ZipCompatibility::IsHostSystemSupported(system))
                m_archiveSystem = system;
        }
    } catch (...) {
        // A half-read directory is worth nothing: leave the archive closed, so that it can be
        // opened again and no lookup sees partial headers.
        CloseAfterFailedOpen();
        throw;
    }
    return true;
}

void CZipArchive::CloseAfterFailedOpen() {
    m_centralDir.Close();
    try {
        m_storage.Close();
    } catch (const CFileException&) {
        // The open already failed; the file is released either way.
    }
    m_password.Release();
    m_fileOpened = 0;
}

bool CZipArchive::SetPassword(const wchar_t* password, UINT codePage) {
    if (m_fileOpened != 0) {
        ZIPTRACE("Zip library cannot change the password when a file is opened.");
        return false;
    }
    if (IsClosed())
        ZIPTRACE("Setting the password for a closed archive has no effect.");
    if (password) {
        if (codePage == kDefaultCodePage)
            codePage = ZipCompatibility::CommentCodePageForSystem(m_archiveSystem);
        m_password = ZipCompatibility::StringToBuffer(password, codePage);
    } else {
        m_password.Release();
    }
    return true;
}

CZipFileHeader* CZipArchive::GetFileInfo(WORD index) {
    if (IsClosed()) {
        ZIPTRACE("Archive is closed.");
        return nullptr;
    }
    if (!m_centralDir.IsValidIndex(index))
        return nullptr;
    return m_centralDir[index];
}

DWORD CZipArchive::GetExtractableSize(WORD index) {
    const CZipFileHeader* header = GetFileInfo(index);
    return header ? m_centralDir.GetExtractableSize(*header) : 0;
}

WORD CZipArchive::FindFile(const std::wstring& name, int caseMode, bool fileNameOnly) {
    if (IsClosed()) {
        ZIPTRACE("Archive is closed.");
        return kNotFound;
    }
    switch (caseMode) {
    case caseSensitive:
        return m_centralDir.FindFile(name, true, true, fileNameOnly);
    case caseInsensitive:
        return m_centralDir.FindFile(name, false, true, fileNameOnly);
    default:
        return m_centralDir.FindFile(name, m_caseSensitive, false, fileNameOnly);
    }
}

bool CZipArchive::OpenFile(WORD index) {
    if (IsClosed()) {
        ZIPTRACE("Archive is closed.");
        return false;
    }
    if (!m_centralDir.IsValidIndex(index))
        return false;
    if (m_fileOpened != 0) {
        ZIPTRACE("A file already opened.");
        return false;
    }
    m_centralDir.OpenFile(index);
    CZipFileHeader* header = m_centralDir.GetOpenedFile();
    if (header->m_method != CZipCompressor::methodStore &&
        header->m_method != CZipCompressor::methodDeflate) {
        m_centralDir.CloseFile(true);
        ZIPTRACE("The compression method is not supported.");
        return false;
    }
    try {
        if (!header->IsEncrypted()) {
            m_cryptograph.reset();
            if (m_password.GetSize() > 0)
                ZIPTRACE("Password set for a not encrypted file. Ignoring password.");
        } else {
            if (m_password.GetSize() == 0) {
                ZIPTRACE("Password not set for the encrypted file.");
                ThrowError(CZipException::badPassword);
            }
            CreateCryptograph(header->m_encryptionMethod);
            const bool ignoreCheck = m_centralDir.IsIgnored(CZipCentralDir::checkDecryptionVerifier);
            if (!m_cryptograph->InitDecode(m_password, *header, m_storage, ignoreCheck))
                ThrowError(CZipException::badPassword);
        }
        CreateCompressor(header->m_method);
        m_compressor->InitDecompression(header, m_cryptograph.get());
    } catch (...) {
        // Nothing is open after a refusal: the next entry can be opened right away.
        m_cryptograph.reset();
        m_centralDir.CloseFile(true);
        throw;
    }
    m_fileOpened = -1;
    return true;
}

DWORD CZipArchive::ReadFile(void* buffer, DWORD size) {
    if (m_fileOpened != -1) {
        ZIPTRACE("Current file must be opened.");
        return 0;
    }
    if (!buffer || size == 0)
        return 0;
    return m_compressor->Decompress(buffer, size);
}

bool CZipArchive::StampFile(CZipFileHeader& header, const std::wstring& path) {
    const std::time_t modification = header.GetModificationTime();
    const std::time_t creation = header.GetCreationTime();
    const std::time_t access = header.GetLastAccessTime();
    const bool timesSet = ZipPlatform::SetFileTimes(path, &modification, &creation, &access);
    const bool attributesSet = ZipPlatform::SetFileAttr(path, header.GetSystemAttributes());
    return timesSet && attributesSet;
}

int CZipArchive::CloseFile(const wchar_t* targetPath, bool afterException) {
    if (m_fileOpened != -1) {
        ZIPTRACE("There is no opened file.");
        return closeFileNone;
    }
    CZipFileHeader* header = m_centralDir.GetOpenedFile();
    int result = closeFileDone;
    if (afterException) {
        m_compressor->FinishDecompression(true);
    } else {
        if (m_compressor->GetUncompressedLeft() == 0) {
            if (!m_centralDir.IsIgnored(CZipCentralDir::checkCrc) &&
                m_compressor->GetCrc() != header->m_crcValue)
                ThrowError(CZipException::crcMismatch);
        } else {
            result = closeFileUnfinished;
        }
        m_compressor->FinishDecompression(false);
        if (targetPath && !StampFile(*header, targetPath))
            result = closeFileStampFailed;
        if (m_cryptograph)
            m_cryptograph->FinishDecode(*header, m_storage);
    }
    // A descriptor only follows the data once all of it was read.
    m_centralDir.CloseFile(afterException || result == closeFileUnfinished);
    m_fileOpened = 0;
    m_cryptograph.reset();
    return result;
}

int CZipArchive::CloseFile(CZipFile& targetFile) {
    int stamped = closeFileDone;
    if (CZipFileHeader* header = m_fileOpened == -1 ? m_centralDir.GetOpenedFile() : nullptr) {
        const std::time_t modification = header->GetModificationTime();
        const std::time_t creation = header->GetCreationTime();
        const std::time_t access = header->GetLastAccessTime();
        const bool timesSet =
            ZipPlatform::SetFileTimesOnHandle(targetFile, &modification, &creation, &access);
        const bool attributesSet =
            ZipPlatform::SetFileAttr(targetFile.GetFilePath(), header->GetSystemAttributes());
        if (!timesSet || !attributesSet)
            stamped = closeFileStampFailed;
    }
    targetFile.Close();
    const int result = CloseFile(nullptr, false);
    return result == closeFileDone ? stamped : result;
}

bool CZipArchive::ExtractFile(WORD index, const std::wstring& targetPath, bool, const wchar_t*,
                              int overwriteMode, DWORD bufferSize) {
    if (bufferSize == 0 || targetPath.empty())
        return false;
    CZipFileHeader* header = GetFileInfo(index);
    if (!header)
        return false;

    if (header->IsDirectory()) {
        // A folder that cannot be made is a failure, not a success with nothing on disk.
        if (!ZipPlatform::ForceDirectory(targetPath))
            return false;
        ZipPlatform::SetFileAttr(targetPath, header->GetSystemAttributes());
        return true;
    }

    if (ZipPlatform::FileExists(targetPath) != 0) {
        const std::time_t entryTime = header->GetModificationTime();
        if ((overwriteMode & overwriteOnlyOlder) && entryTime > 0) {
            std::time_t existingTime = 0;
            if (ZipPlatform::GetFileTimes(targetPath, &existingTime, nullptr, nullptr) && existingTime > 0 &&
                existingTime >= entryTime)
                return true;
        }
        ZipPlatform::RemoveFile(targetPath, true, overwriteMode);
    }

    if (!OpenFile(index))
        return false;
    ZipPlatform::ForceDirectory(CZipPathComponent(targetPath).GetFilePath());
    CZipFile file;
    try {
        file.Open(targetPath, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite, true);
    } catch (const CFileException&) {
        CloseFile(nullptr, true);
        throw;
    }
    CZipAutoBuffer buffer(bufferSize);
    for (;;) {
        const DWORD count = ReadFile(buffer.GetBuffer(), bufferSize);
        if (count == 0)
            break;
        file.Write(buffer.GetBuffer(), count);
    }
    const int result = CloseFile(file);
    if (result == closeFileUnfinished)
        ThrowError(CZipException::damagedArchive, &targetPath);
    return result == closeFileDone;
}

bool CZipArchive::ExtractFileInto(WORD index, CZipAbstractFile& target, bool rewind, DWORD bufferSize) {
    if (bufferSize == 0)
        return false;
    CZipFileHeader* header = GetFileInfo(index);
    if (!header || header->IsDirectory())
        return false;
    if (!OpenFile(index))
        return false;
    const ULONGLONG position = rewind ? target.GetPosition() : 0;
    // No larger than the entry needs: most of the skin's entries are a few KB.
    bufferSize = std::max<DWORD>(1, std::min(bufferSize, header->m_uncompressedSize));
    CZipAutoBuffer buffer(bufferSize);
    for (;;) {
        const DWORD count = ReadFile(buffer.GetBuffer(), bufferSize);
        if (count == 0)
            break;
        target.Write(buffer.GetBuffer(), count);
    }
    const int result = CloseFile(nullptr, false);
    if (result == closeFileUnfinished)
        ThrowError(CZipException::damagedArchive);
    if (rewind) {
        // A position with the top bit set is one counted back from the end.
        if (position & (1ull << 63))
            target.Seek(static_cast<LONGLONG>(position), CZipAbstractFile::end);
        else
            target.Seek(static_cast<LONGLONG>(position), CZipAbstractFile::begin);
    }
    return result == closeFileDone;
}

std::wstring CZipArchive::Close(int afterException, bool updateTimeStamp) {
    if (IsClosed() && (afterException == closeNormal || IsClosed(false))) {
        ZIPTRACE("Archive is already closed.");
        return std::wstring();
    }
    // An entry still open is abandoned, not checked: its CRC error, if any, was raised already,
    // and raising it again here would escape the owner's destructor.
    if (m_fileOpened == -1)
        CloseFile(nullptr, true);

    std::time_t newest = 0;
    if (updateTimeStamp) {
        for (WORD i = 0; i < m_centralDir.GetCount(); ++i)
            newest = std::max(newest, m_centralDir[i]->GetModificationTime());
    }
    m_centralDir.Close();
    const std::wstring path = m_storage.Close();
    m_password.Release();
    if (updateTimeStamp && !path.empty())
        ZipPlatform::SetFileTimes(path, &newest, nullptr, nullptr);
    return path;
}

std::wstring CZipArchive::GetGlobalComment() const {
    return ZipCompatibility::BufferToString(m_centralDir.GetComment(),
                                            ZipCompatibility::CommentCodePageForSystem(m_archiveSystem));
}

void CZipArchive::ThrowError(int cause, const std::wstring* fileName) const {
    CZipException::Throw(cause, fileName ? *fileName : m_storage.GetFilePath());
}

CZipCryptograph* CZipArchive::CreateCryptograph(int encryptionMethod) {
    if (!m_cryptograph || !m_cryptograph->CanHandle(encryptionMethod))
        m_cryptograph = CZipCryptograph::CreateCryptograph(encryptionMethod);
    return m_cryptograph.get();
}

CZipCompressor* CZipArchive::CreateCompressor(WORD method) {
    if (!m_compressor || !m_compressor->SupportsMethod(method))
        m_compressor = CZipCompressor::CreateCompressor(method, &m_storage);
    if (m_compressor)
        m_compressor->ApplyOptions(m_compressorOptions);
    return m_compressor.get();
}

#include "viewer/ziparchive/zipfileheader.h"

#include "viewer/ziparchive/zipcentraldir.h"
#include "viewer/ziparchive/zipcompatibility.h"
#include "viewer/ziparchive/zipcryptograph.h"
#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zipplatform.h"
#include "viewer/ziparchive/zipstorage.h"

#include <cstring>

namespace {

const char kCentralSignature[] = {'P', 'K', 1, 2};
const char kLocalSignature[] = {'P', 'K', 3, 4};
const char kDataDescriptorSignature[] = {'P', 'K', 7, 8};
constexpr WORD kWinZipAesMethod = 99;

WORD Word(const unsigned char* bytes) {
    return static_cast<WORD>(bytes[0] | (bytes[1] << 8));
}
DWORD Dword(const unsigned char* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}
ULONGLONG Qword(const unsigned char* bytes) {
    return static_cast<ULONGLONG>(Dword(bytes)) | (static_cast<ULONGLONG>(Dword(bytes + 4)) << 32);
}

std::time_t NtfsTime(const unsigned char* bytes) {
    std::time_t time = 0;
    return ZipPlatform::FileTimeToTime(Qword(bytes), time) ? time : 0;
}

} // namespace

bool CZipFileHeader::Read(bool readSignature) {
    CZipStorage* storage = m_centralDir->GetStorage();
    unsigned char record[kCentralSize];
    if (readSignature) {
        storage->Read(record, kCentralSize);
        if (std::memcmp(record, kCentralSignature, 4) != 0)
            return false;
    } else {
        storage->Read(record + 4, kCentralSize - 4);
    }

    const WORD versionMadeBy = Word(record + 4);
    m_versionMadeBy = static_cast<BYTE>(versionMadeBy & 0xFF);
    m_systemCompatibility = static_cast<BYTE>(versionMadeBy >> 8);
    m_versionNeeded = Word(record + 6);
    m_flags = Word(record + 8);
    m_method = Word(record + 10);
    m_modTime = Word(record + 12);
    m_modDate = Word(record + 14);
    m_crcValue = Dword(record + 16);
    m_compressedSize = Dword(record + 20);
    m_uncompressedSize = Dword(record + 24);
    const WORD fileNameSize = Word(record + 28);
    const WORD extraSize = Word(record + 30);
    const WORD commentSize = Word(record + 32);
    m_volumeStart = Word(record + 34);
    m_internalAttributes = Word(record + 36);
    m_externalAttributes = Dword(record + 38);
    m_localHeaderOffset = Dword(record + 42);
    m_encryptionMethod = (m_flags & 0x0001) ? 0 : kNotEncrypted;

    m_fileName.reset();
    m_rawFileName.Allocate(fileNameSize);
    storage->Read(m_rawFileName.GetBuffer(), fileNameSize);
    if (!m_centralExtra.Read(storage, extraSize))
        return false;
    ReadNtfsTimes();
    m_comment.reset();
    m_rawComment.Allocate(commentSize);
    storage->Read(m_rawComment.GetBuffer(), commentSize);
    m_centralExtra.RemoveInternalHeaders();
    return true;
}

void CZipFileHeader::ReadNtfsTimes() {
    const CZipExtraData* ntfs = m_centralExtra.Find(CZipExtraData::ntfs);
    if (!ntfs || ntfs->m_data.GetSize() < 32)
        return;
    const auto* data = reinterpret_cast<const unsigned char*>(ntfs->m_data.GetBuffer());
    if (Word(data + 4) != 1 || Word(data + 6) != 24)
        return;
    m_modificationTime = NtfsTime(data + 8);
    m_lastAccessTime = NtfsTime(data + 16);
    m_creationTime = NtfsTime(data + 24);
}

bool CZipFileHeader::ReadLocal(CZipCentralDir* centralDir) {
    CZipStorage* storage = centralDir->GetStorage();
    storage->Seek(m_localHeaderOffset);
    unsigned char record[kLocalSize];
    storage->Read(record, kLocalSize);
    if (std::memcmp(record, kLocalSignature, 4) != 0)
        return false;

    const WORD flags = Word(record + 6);
    if (!centralDir->IsIgnored(CZipCentralDir::checkLocalFlags) && (flags & 0xF) != (m_flags & 0xF))
        return false;

    m_localFileNameSize = Word(record + 26);
    const WORD extraSize = Word(record + 28);
    storage->Seek(m_localFileNameSize, CZipStorage::seekCurrentPosition);
    m_localHeaderSize = kLocalSize + m_localFileNameSize + extraSize;
    if (!m_localExtra.Read(storage, extraSize))
        return false;

    m_localCompressedSize = Dword(record + 18);
    m_localUncompressedSize = Dword(record + 22);
    const WORD method = Word(record + 8);
    if (method == kWinZipAesMethod && IsEncrypted())
        CZipException::Throw(CZipException::aesRequired, storage->GetFilePath());
    if (!centralDir->IsIgnored(CZipCentralDir::checkLocalMethod) && method != m_method)
        return false;

    // With a data descriptor the local CRC and sizes are zero; the descriptor carries them.
    if (!(flags & 0x0008) && !centralDir->IsIgnored(CZipCentralDir::checkLocalSizes) &&
        !centralDir->IsIgnored(CZipCentralDir::checkLocalCrc)) {
        if (Dword(record + 14) != m_crcValue)
            return false;
        if (m_localCompressedSize != 0 && m_localCompressedSize != m_compressedSize)
            return false;
        if (m_localUncompressedSize != m_uncompressedSize)
            return false;
    }
    return true;
}

bool CZipFileHeader::CheckDataDescriptor(CZipStorage* storage) const {
    if (!IsDataDescriptor())
        return true;
    unsigned char descriptor[16];
    storage->Read(descriptor, 12);
    const unsigned char* values = descriptor;
    if (std::memcmp(descriptor, kDataDescriptorSignature, 4) == 0) {
        storage->Read(descriptor + 12, 4);
        values = descriptor + 4;
    }
    return Dword(values) == m_crcValue && Dword(values + 4) == m_compressedSize &&
           Dword(values + 8) == m_uncompressedSize;
}

const std::wstring& CZipFileHeader::GetFileName(bool clearBuffer) {
    if (!m_fileName) {
        auto name = std::make_unique<std::wstring>(ZipCompatibility::BufferToString(
            m_rawFileName, ZipCompatibility::NameCodePageForSystem(m_systemCompatibility)));
        ZipCompatibility::ConvertSlashesForPlatform(*name);
        m_fileName = std::move(name);
    }
    if (clearBuffer)
        m_rawFileName.Release();
    return *m_fileName;
}

const std::wstring& CZipFileHeader::GetComment() {
    if (!m_comment) {
        m_comment = std::make_unique<std::wstring>(ZipCompatibility::BufferToString(
            m_rawComment, ZipCompatibility::CommentCodePageForSystem(m_systemCompatibility)));
        m_rawComment.Release();
    }
    return *m_comment;
}

std::time_t CZipFileHeader::GetModificationTime() const {
    if (m_modificationTime != 0)
        return m_modificationTime;
    std::tm calendar{};
    calendar.tm_sec = (m_modTime & 31) * 2;
    calendar.tm_min = (m_modTime & 0x7FF) >> 5;
    calendar.tm_hour = m_modTime >> 11;
    calendar.tm_mday = m_modDate & 31;
    calendar.tm_mon = ((m_modDate & 0x1FF) >> 5) - 1;
    calendar.tm_year = (m_modDate >> 9) + 80;
    calendar.tm_isdst = -1;
    return std::mktime(&calendar);
}

DWORD CZipFileHeader::GetSystemAttributes() {
    const int thisSystem = ZipPlatform::GetSystemID();
    const std::wstring& name = GetFileName();
    const bool endsWithSeparator = !name.empty() && ZipCompatibility::IsPathSeparator(name.back());
    if (!ZipCompatibility::IsHostSystemSupported(m_systemCompatibility))
        return endsWithSeparator ? ZipPlatform::GetDefaultDirAttributes()
                                 : ZipPlatform::GetDefaultAttributes();

    const DWORD source = m_systemCompatibility == ZipCompatibility::zcUnix ? m_externalAttributes >> 16
                                                                           : m_externalAttributes & 0xFFFF;
    DWORD attributes = ZipCompatibility::ConvertAttributes(source, m_systemCompatibility, thisSystem);
    if (m_compressedSize != 0 && m_externalAttributes != 0)
        return attributes;
    if (!ZipPlatform::IsDirectory(attributes) && endsWithSeparator)
        attributes |= ZipPlatform::GetDefaultDirAttributes();
    return attributes;
}

bool CZipFileHeader::IsDirectory() {
    return ZipPlatform::IsDirectory(GetSystemAttributes());
}

DWORD CZipFileHeader::GetEncryptedInfoSize() const {
    return CZipCryptograph::GetEncryptedInfoSize(m_encryptionMethod);
}

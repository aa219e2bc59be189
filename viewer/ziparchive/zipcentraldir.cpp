#include "viewer/ziparchive/zipcentraldir.h"

#include "viewer/ziparchive/zipcompressor.h"
#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zippathcomponent.h"
#include "viewer/ziparchive/zipstorage.h"

#include <algorithm>
#include <cstring>

namespace {

const char kEndSignature[] = {'P', 'K', 5, 6};
const char kZip64LocatorSignature[] = {'P', 'K', 6, 7};
constexpr DWORD kEndRecordSize = 22;
constexpr DWORD kLargestComment = 0xFFFF;
constexpr DWORD kZip64LocatorSize = 20;
// Deflate cannot expand beyond 258 bytes for every two bits of its input.
constexpr ULONGLONG kLargestDeflateRatio = 1032;

WORD Word(const unsigned char* bytes) {
    return static_cast<WORD>(bytes[0] | (bytes[1] << 8));
}
DWORD Dword(const unsigned char* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

} // namespace

void CZipCentralDir::Init() {
    Close();
    m_ignoredChecks = kDefaultIgnoredChecks;
}

void CZipCentralDir::Close() {
    m_openedFile = nullptr;
    m_findArray.clear();
    m_headers.clear();
    m_endRecordOffset = 0;
    m_lastVolume = 0;
    m_totalEntries = 0;
    m_centralDirSize = 0;
    m_centralDirOffset = 0;
    m_comment.Release();
    m_caseSensitive = false;
    m_findFastEnabled = false;
    m_compare = GetStringCompareFunction(false, true);
}

void CZipCentralDir::ThrowError(int cause) const {
    m_storage->ThrowError(cause);
}

void CZipCentralDir::Read() {
    const LONGLONG found = m_storage->LocateSignature(kEndSignature, kLargestComment + kEndRecordSize);
    if (found < 0)
        ThrowError(CZipException::centralDirNotFound);
    m_endRecordOffset = static_cast<ULONGLONG>(found);
    m_storage->SetPosition(m_endRecordOffset + 4);

    unsigned char record[kEndRecordSize - 4];
    m_storage->Read(record, sizeof record);
    m_lastVolume = Word(record);
    const WORD volumeWithCentralDir = Word(record + 2);
    const WORD volumeEntries = Word(record + 4);
    m_totalEntries = Word(record + 6);
    m_centralDirSize = Dword(record + 8);
    m_centralDirOffset = Dword(record + 12);
    const WORD commentSize = Word(record + 16);
    m_comment.Allocate(commentSize);
    m_storage->Read(m_comment.GetBuffer(), commentSize);

    const bool saturated = m_lastVolume == 0xFFFF || volumeWithCentralDir == 0xFFFF ||
                           volumeEntries == 0xFFFF || m_totalEntries == 0xFFFF ||
                           m_centralDirSize == 0xFFFFFFFF || m_centralDirOffset == 0xFFFFFFFF;
    if (saturated && m_endRecordOffset >= kZip64LocatorSize) {
        m_storage->SetPosition(m_endRecordOffset - kZip64LocatorSize);
        char signature[4];
        m_storage->Read(signature, sizeof signature);
        if (std::memcmp(signature, kZip64LocatorSignature, sizeof signature) == 0)
            ThrowError(CZipException::zip64Required);
    }

    m_storage->UpdateSegmentMode(m_lastVolume);

    // In 64 bits: a damaged offset and size must not wrap past the end record and pass.
    const ULONGLONG directoryEnd = static_cast<ULONGLONG>(m_centralDirOffset) + m_centralDirSize;
    if (m_endRecordOffset < directoryEnd)
        ThrowError(CZipException::damagedArchive);
    // Whatever stands before the archive (a self-extracting stub) shifts every stored offset.
    if (m_storage->m_bytesBeforeArchive == 0 && m_lastVolume == 0)
        m_storage->m_bytesBeforeArchive = m_endRecordOffset - directoryEnd;

    if ((m_centralDirSize == 0) != (m_totalEntries == 0))
        ThrowError(CZipException::damagedArchive);

    if (m_centralDirSize != 0)
        ReadHeaders();
}

void CZipCentralDir::ReadHeaders() {
    m_storage->Seek(m_centralDirOffset);
    m_openedFile = nullptr;
    m_findArray.clear();
    m_headers.clear();
    m_headers.reserve(m_totalEntries);
    for (DWORD i = 0; i < m_totalEntries; ++i) {
        auto header = std::make_unique<CZipFileHeader>(this);
        if (!header->Read(true))
            ThrowError(CZipException::damagedArchive);
        m_headers.push_back(std::move(header));
    }

    std::sort(m_headers.begin(), m_headers.end(), [](const auto& first, const auto& second) {
        if (first->m_volumeStart != second->m_volumeStart)
            return first->m_volumeStart < second->m_volumeStart;
        return first->m_localHeaderOffset < second->m_localHeaderOffset;
    });
    // Two entries cannot share one local header.
    for (size_t i = 1; i < m_headers.size(); ++i) {
        if (m_headers[i - 1]->m_volumeStart == m_headers[i]->m_volumeStart &&
            m_headers[i - 1]->m_localHeaderOffset == m_headers[i]->m_localHeaderOffset)
            CZipException::Throw(CZipException::damagedArchive);
    }

    if (m_findFastEnabled)
        BuildFindFastArray(m_caseSensitive);
}

DWORD CZipCentralDir::GetExtractableSize(const CZipFileHeader& header) const {
    if (header.m_method != CZipCompressor::methodStore && header.m_method != CZipCompressor::methodDeflate)
        return 0;
    const ULONGLONG dataStart =
        m_storage->m_bytesBeforeArchive + header.m_localHeaderOffset + CZipFileHeader::kLocalSize;
    const ULONGLONG length = m_storage->GetLength();
    if (dataStart >= length)
        return 0;
    ULONGLONG stored = std::min<ULONGLONG>(header.m_compressedSize, length - dataStart);
    const DWORD encryptedInfoSize = header.GetEncryptedInfoSize();
    stored = stored > encryptedInfoSize ? stored - encryptedInfoSize : 0;
    const ULONGLONG deliverable =
        header.m_method == CZipCompressor::methodDeflate ? stored * kLargestDeflateRatio : stored;
    return static_cast<DWORD>(std::min<ULONGLONG>(header.m_uncompressedSize, deliverable));
}

void CZipCentralDir::OpenFile(WORD index) {
    CZipFileHeader* header = m_headers[index].get();
    if (!header->ReadLocal(this))
        ThrowError(CZipException::damagedArchive);
    m_openedFile = header;
}

void CZipCentralDir::CloseFile(bool skipChecks) {
    if (!m_openedFile)
        return;
    if (!skipChecks && !IsIgnored(checkDataDescriptor) && !m_openedFile->CheckDataDescriptor(m_storage))
        ThrowError(CZipException::damagedArchive);
    m_openedFile = nullptr;
}

void CZipCentralDir::EnableFindFast(bool enable, bool caseSensitive) {
    if (enable == m_findFastEnabled)
        return;
    m_findFastEnabled = enable;
    if (enable)
        BuildFindFastArray(caseSensitive);
    else
        m_findArray.clear();
}

void CZipCentralDir::BuildFindFastArray(bool caseSensitive) {
    m_findArray.clear();
    m_caseSensitive = caseSensitive;
    m_compare = GetStringCompareFunction(caseSensitive, true);
    m_findArray.reserve(m_headers.size());
    for (size_t i = 0; i < m_headers.size(); ++i)
        m_findArray.push_back({m_headers[i].get(), static_cast<WORD>(i)});
    const ZipStringCompare compare = m_compare;
    std::sort(m_findArray.begin(), m_findArray.end(),
              [compare](const CZipFindFast& first, const CZipFindFast& second) {
                  return compare(first.header->GetFileName(), second.header->GetFileName()) < 0;
              });
}

WORD CZipCentralDir::FindFile(const std::wstring& name, bool caseSensitive, bool oneOffLookup,
                              bool fileNameOnly) {
    if (!m_findFastEnabled)
        EnableFindFast(true, oneOffLookup ? !caseSensitive : caseSensitive);

    size_t position = m_findArray.size();
    if (!fileNameOnly) {
        if (caseSensitive == m_caseSensitive) {
            return FindFileNameIndex(name);
        } else if (!oneOffLookup) {
            BuildFindFastArray(caseSensitive);
            return FindFileNameIndex(name);
        }
        const ZipStringCompare compare = GetStringCompareFunction(caseSensitive, true);
        for (size_t i = 0; i < m_findArray.size(); ++i) {
            if (compare(m_findArray[i].header->GetFileName(), name) == 0) {
                position = i;
                break;
            }
        }
    } else {
        const ZipStringCompare compare =
            caseSensitive == m_caseSensitive ? m_compare : GetStringCompareFunction(caseSensitive, true);
        for (size_t i = 0; i < m_findArray.size(); ++i) {
            const CZipPathComponent path(m_findArray[i].header->GetFileName());
            if (compare(path.GetFileName(), name) == 0) {
                position = i;
                break;
            }
        }
    }
    return position < m_findArray.size() ? m_findArray[position].index : kNotFound;
}

WORD CZipCentralDir::FindFileNameIndex(const std::wstring& name) const {
    if (m_findArray.empty())
        return kNotFound;
    int start = 0;
    int end = static_cast<int>(m_findArray.size()) - 1;
    while (start <= end) {
        const int middle = (start + end) / 2;
        const int result = m_compare(m_findArray[middle].header->GetFileName(), name);
        if (result > 0) {
            if (middle == 0)
                return kNotFound;
            end = middle - 1;
        } else if (result < 0) {
            start = middle + 1;
        } else {
            return m_findArray[middle].index;
        }
    }
    return kNotFound;
}

#include "viewer/ziparchive/zipstorage.h"

#include "viewer/ziparchive/zipexception.h"

#include <algorithm>
#include <cstring>

void CZipStorage::Open(const std::wstring& path, int mode) {
    m_currentVolume = 0xFFFF;
    m_opened = true;
    m_file = &m_internalFile;
    m_archivePath = path;
    const bool readOnly = (mode & (modeOpen | modeReadOnlyBit)) == (modeOpen | modeReadOnlyBit);
    // Linux has no deny-write sharing; the flag is passed for what it says and ignored there.
    const UINT flags =
        (readOnly ? CFile::modeRead : CFile::modeReadWrite) | CFile::modeNoTruncate | CFile::shareDenyWrite;
    m_internalFile.Open(path, flags, true);
    m_length = m_file->GetLength();
    m_position = 0;
    m_filePosition = 0;
    m_readAhead.Allocate(kReadAheadSize);
    m_readAheadCount = 0;
}

std::wstring CZipStorage::Close() {
    const std::wstring path = m_archivePath;
    m_readAhead.Release();
    m_readAheadCount = 0;
    m_currentVolume = 0xFFFF;
    m_opened = false;
    m_bytesBeforeArchive = 0;
    m_length = 0;
    m_archivePath.clear();
    CZipAbstractFile* file = m_file;
    m_file = nullptr;
    if (file)
        file->Close();
    return path;
}

DWORD CZipStorage::ReadAt(ULONGLONG position, char* buffer, DWORD size) {
    if (position != m_filePosition)
        m_file->Seek(static_cast<LONGLONG>(position), CZipAbstractFile::begin);
    const DWORD count = m_file->Read(buffer, size);
    m_filePosition = position + count;
    return count;
}

void CZipStorage::Read(void* buffer, DWORD size) {
    auto* out = static_cast<char*>(buffer);
    while (size > 0) {
        if (m_position >= m_readAheadStart && m_position < m_readAheadStart + m_readAheadCount) {
            const DWORD offset = static_cast<DWORD>(m_position - m_readAheadStart);
            const DWORD count = std::min(size, m_readAheadCount - offset);
            std::memcpy(out, m_readAhead.GetBuffer() + offset, count);
            out += count;
            size -= count;
            m_position += count;
            continue;
        }
        // Large reads (stored entries, deflate input) go straight to their target.
        if (size >= kReadAheadSize / 2) {
            if (ReadAt(m_position, out, size) != size)
                ThrowError(CZipException::damagedArchive);
            m_position += size;
            return;
        }
        m_readAheadStart = m_position;
        m_readAheadCount = ReadAt(m_position, m_readAhead.GetBuffer(), kReadAheadSize);
        if (m_readAheadCount < size)
            ThrowError(CZipException::damagedArchive);
    }
}

void CZipStorage::Seek(ULONGLONG offset, SeekType from) {
    if (from == seekFromBeginning)
        m_position = offset + (m_currentVolume == 0 ? m_bytesBeforeArchive : 0);
    else
        m_position += offset;
}

LONGLONG CZipStorage::LocateSignature(const char* signature, DWORD maxDepth) {
    const ULONGLONG depth = std::min<ULONGLONG>(m_length, maxDepth);
    ULONGLONG consumed = 0;
    CZipAutoBuffer buffer(m_locateBufferSize);
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.GetBuffer());
    const auto* wanted = reinterpret_cast<const unsigned char*>(signature);
    // The match runs from the signature's last byte to its first and carries over between blocks,
    // so a signature that straddles two blocks is still found.
    int k = 3;
    bool partial = false;
    while (consumed < depth) {
        consumed += m_locateBufferSize;
        DWORD start = 0;
        if (consumed > depth) {
            start = static_cast<DWORD>(consumed - depth);
            consumed = depth;
        }
        const DWORD wantedCount = m_locateBufferSize - start;
        if (ReadAt(m_length - consumed, buffer.GetBuffer() + start, wantedCount) != wantedCount)
            ThrowError(CZipException::damagedArchive);
        for (DWORD i = m_locateBufferSize; i > start;) {
            const DWORD at = i - 1;
            if (bytes[at] == wanted[k]) {
                if (k == 0)
                    return static_cast<LONGLONG>(m_length - consumed + (at - start));
                partial = true;
                --k;
                --i;
            } else if (partial) {
                k = 3;
                partial = false;
            } else {
                --i;
            }
        }
    }
    return -1;
}

void CZipStorage::UpdateSegmentMode(WORD lastVolume) {
    if (lastVolume != 0) {
        ZIPTRACE("Segmented archives are not supported.");
        ThrowError(CZipException::damagedArchive);
    }
    m_currentVolume = 0;
}

bool CZipStorage::IsClosed(bool wholeArchive) const {
    if (wholeArchive)
        return !m_opened;
    return !m_file || m_file->IsClosed();
}

void CZipStorage::ThrowError(int cause) const {
    CZipException::Throw(cause, GetFilePath());
}

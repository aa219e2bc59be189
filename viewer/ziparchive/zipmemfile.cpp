#include "viewer/ziparchive/zipmemfile.h"

#include "viewer/ziparchive/zipexception.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
constexpr ULONGLONG kLargestSize = 0xFFFFFFFFull;
}

CZipMemFile::CZipMemFile(UINT growBy) : m_growBy(growBy) {}

CZipMemFile::~CZipMemFile() {
    Close();
}

void CZipMemFile::Init() {
    m_growBy = 0;
    m_position = 0;
    m_bufferSize = 0;
    m_dataSize = 0;
    m_buffer = nullptr;
}

void CZipMemFile::ReInit(UINT growBy) {
    Close();
    m_growBy = growBy;
    m_autoDelete = true;
}

BYTE* CZipMemFile::Detach() {
    BYTE* buffer = m_buffer;
    Init();
    return buffer;
}

void CZipMemFile::Close() {
    if (m_autoDelete && m_buffer)
        std::free(m_buffer);
    Init();
}

void CZipMemFile::Allocate(ULONGLONG size) {
    if (size <= m_bufferSize)
        return;
    if (m_growBy == 0 || size > kLargestSize)
        CZipException::Throw(CZipException::outOfMemory);
    // Whole steps above the current size, as the step promises, but never past 4 GiB - 1.
    const ULONGLONG steps = (size - m_bufferSize + m_growBy - 1) / m_growBy;
    ULONGLONG newSize = m_bufferSize + steps * m_growBy;
    if (newSize > kLargestSize)
        newSize = size;
    void* grown = std::realloc(m_buffer, static_cast<size_t>(newSize));
    if (!grown)
        CZipException::Throw(CZipException::outOfMemory);
    m_buffer = static_cast<BYTE*>(grown);
    m_bufferSize = static_cast<UINT>(newSize);
}

ULONGLONG CZipMemFile::Seek(LONGLONG offset, int from) {
    ULONGLONG base;
    switch (from) {
    case begin:
        base = 0;
        break;
    case current:
        base = m_position;
        break;
    case end:
        base = m_dataSize;
        break;
    default:
        return m_position;
    }
    if (offset < -static_cast<LONGLONG>(base) || offset > static_cast<LONGLONG>(kLargestSize))
        CZipException::Throw(CZipException::outOfMemory);
    const ULONGLONG target = static_cast<ULONGLONG>(static_cast<LONGLONG>(base) + offset);
    if (target > kLargestSize)
        CZipException::Throw(CZipException::outOfMemory);
    if (target > m_dataSize)
        Allocate(target);
    m_position = static_cast<UINT>(target);
    return m_position;
}

ULONGLONG CZipMemFile::SetLength(ULONGLONG length) {
    if (length <= m_bufferSize)
        m_position = static_cast<UINT>(length);
    else
        Allocate(length);
    m_dataSize = static_cast<UINT>(length);
    return length;
}

UINT CZipMemFile::Read(void* buffer, UINT count) {
    if (m_position >= m_dataSize)
        return 0;
    const UINT copied = std::min(count, m_dataSize - m_position);
    std::memcpy(buffer, m_buffer + m_position, copied);
    m_position += copied;
    return copied;
}

void CZipMemFile::Write(const void* buffer, UINT count) {
    if (count == 0)
        return;
    const ULONGLONG end = static_cast<ULONGLONG>(m_position) + count;
    if (end > m_bufferSize)
        Allocate(end);
    std::memcpy(m_buffer + m_position, buffer, count);
    m_position = static_cast<UINT>(end);
    if (m_position > m_dataSize)
        m_dataSize = m_position;
}

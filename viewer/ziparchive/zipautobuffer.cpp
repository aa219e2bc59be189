#include "viewer/ziparchive/zipautobuffer.h"

#include <cstring>

CZipAutoBuffer::CZipAutoBuffer(CZipAutoBuffer&& other) noexcept
    : m_buffer(std::move(other.m_buffer)), m_size(other.m_size) {
    other.m_size = 0;
}

CZipAutoBuffer& CZipAutoBuffer::operator=(CZipAutoBuffer&& other) noexcept {
    if (this != &other) {
        m_buffer = std::move(other.m_buffer);
        m_size = other.m_size;
        other.m_size = 0;
    }
    return *this;
}

char* CZipAutoBuffer::Allocate(DWORD size, bool zeroMemory) {
    if (size != m_size) {
        Release();
        if (size > 0) {
            m_buffer.reset(new char[size]);
            m_size = size;
        }
    }
    if (zeroMemory && m_buffer)
        std::memset(m_buffer.get(), 0, m_size);
    return m_buffer.get();
}

void CZipAutoBuffer::Release() {
    m_buffer.reset();
    m_size = 0;
}

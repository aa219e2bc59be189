#include "viewer/ziparchive/zipextrafield.h"

#include "viewer/ziparchive/zipstorage.h"

#include <cstring>

namespace {
WORD ReadWord(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<WORD>(b[0] | (b[1] << 8));
}
} // namespace

bool CZipExtraData::Read(const char* bytes, DWORD size) {
    if (size < 4)
        return false;
    m_headerId = ReadWord(bytes);
    const WORD dataSize = ReadWord(bytes + 2);
    if (dataSize > size - 4)
        return false;
    m_data.Allocate(dataSize);
    if (dataSize > 0)
        std::memcpy(m_data.GetBuffer(), bytes + 4, dataSize);
    return true;
}

bool CZipExtraField::Read(CZipStorage* storage, WORD size) {
    if (size == 0)
        return true;
    RemoveAll();
    CZipAutoBuffer buffer(size);
    storage->Read(buffer.GetBuffer(), size);
    DWORD position = 0;
    while (position < size) {
        auto record = std::make_unique<CZipExtraData>();
        const DWORD left = size - position;
        if (!record->Read(buffer.GetBuffer() + position, left) || record->GetTotalSize() > left)
            return false;
        position += record->GetTotalSize();
        m_records.push_back(std::move(record));
    }
    return true;
}

const CZipExtraData* CZipExtraField::Find(WORD headerId) const {
    for (const auto& record : m_records) {
        if (record->m_headerId == headerId)
            return record.get();
    }
    return nullptr;
}

void CZipExtraField::RemoveInternalHeaders() {
    for (size_t i = m_records.size(); i > 0; --i) {
        switch (m_records[i - 1]->m_headerId) {
        case CZipExtraData::zip64:
        case CZipExtraData::winZipAes:
        case CZipExtraData::unicodePath:
        case CZipExtraData::unicodeComment:
        case CZipExtraData::codePage:
        case CZipExtraData::ntfs:
            RemoveAt(i - 1);
            break;
        default:
            break;
        }
    }
}

void CZipExtraField::RemoveAt(size_t index) {
    m_records.erase(m_records.begin() + static_cast<ptrdiff_t>(index));
}

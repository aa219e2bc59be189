#pragma once
// Extra-field records of an entry header: every record is a 16-bit id, a 16-bit size and that
// many bytes. A record that does not fit what is left of the field makes the header invalid.

#include "viewer/ziparchive/zipautobuffer.h"

#include "platform/base/wintypes.h"

#include <memory>
#include <vector>

class CZipStorage;

class CZipExtraData {
  public:
    enum HeaderIds : WORD {
        ntfs = 0x000A,
        zip64 = 0x0001,
        winZipAes = 0x9901,
        unicodePath = 0x7075,
        unicodeComment = 0x6375,
        codePage = 0x5A4C,
    };

    // Parses one record at the start of the bytes; false when it does not fit.
    bool Read(const char* bytes, DWORD size);
    // Bytes the record takes in the field, its head included.
    DWORD GetTotalSize() const { return m_data.GetSize() + 4; }

    CZipAutoBuffer m_data;
    WORD m_headerId = 0;
};

class CZipExtraField {
  public:
    // Replaces the records with the size bytes read from the storage; false when they do not
    // parse into whole records.
    bool Read(CZipStorage* storage, WORD size);
    // The first record with the id, or null.
    const CZipExtraData* Find(WORD headerId) const;
    // Drops the records whose meaning lives in the header itself (Zip64, AES, Unicode names and
    // comments, code page, NTFS times).
    void RemoveInternalHeaders();
    void RemoveAt(size_t index);
    void RemoveAll() { m_records.clear(); }
    size_t GetCount() const { return m_records.size(); }
    const CZipExtraData& GetAt(size_t index) const { return *m_records[index]; }

  private:
    std::vector<std::unique_ptr<CZipExtraData>> m_records;
};

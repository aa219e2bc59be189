#include "viewer/ziparchive/zipcrc32cryptograph.h"

#include "viewer/ziparchive/zipfileheader.h"
#include "viewer/ziparchive/zipstorage.h"

#include <zlib.h>

namespace {

DWORD CrcStep(DWORD crc, BYTE byte) {
    static const z_crc_t* const table = get_crc_table();
    return (crc >> 8) ^ static_cast<DWORD>(table[(crc ^ byte) & 0xFF]);
}

} // namespace

void CZipCrc32Cryptograph::InitKeys(const CZipAutoBuffer& password) {
    m_keys[0] = 0x12345678;
    m_keys[1] = 0x23456789;
    m_keys[2] = 0x34567890;
    const char* bytes = password.GetBuffer();
    for (DWORD i = 0; i < password.GetSize(); ++i)
        UpdateKeys(static_cast<BYTE>(bytes[i]));
}

void CZipCrc32Cryptograph::UpdateKeys(BYTE plain) {
    m_keys[0] = CrcStep(m_keys[0], plain);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
    m_keys[2] = CrcStep(m_keys[2], static_cast<BYTE>(m_keys[1] >> 24));
}

BYTE CZipCrc32Cryptograph::StreamByte() const {
    const DWORD t = (m_keys[2] & 0xFFFF) | 2;
    return static_cast<BYTE>(((t * (t ^ 1)) >> 8) & 0xFF);
}

void CZipCrc32Cryptograph::Decode(char* buffer, DWORD size) {
    for (DWORD i = 0; i < size; ++i) {
        const BYTE plain = static_cast<BYTE>(static_cast<BYTE>(buffer[i]) ^ StreamByte());
        UpdateKeys(plain);
        buffer[i] = static_cast<char>(plain);
    }
}

bool CZipCrc32Cryptograph::InitDecode(const CZipAutoBuffer& password, const CZipFileHeader& header,
                                      CZipStorage& storage, bool ignoreCheck) {
    InitKeys(password);
    char encryptionHeader[kEncryptionHeaderSize];
    storage.Read(encryptionHeader, kEncryptionHeaderSize);
    Decode(encryptionHeader, kEncryptionHeaderSize);
    if (ignoreCheck)
        return true;
    // With a data descriptor the CRC is not known when the header is written: the writer checks
    // against the high byte of the DOS time instead.
    const BYTE check = header.IsDataDescriptor() ? static_cast<BYTE>(header.m_modTime >> 8)
                                                 : static_cast<BYTE>(header.m_crcValue >> 24);
    return static_cast<BYTE>(encryptionHeader[kEncryptionHeaderSize - 1]) == check;
}

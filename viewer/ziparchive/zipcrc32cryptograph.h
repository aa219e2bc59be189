#pragma once
// The traditional PKWARE stream cipher of the zip application note: three keys stirred with
// CRC-32 steps, a 12-byte encryption header whose last byte checks the password.

#include "viewer/ziparchive/zipcryptograph.h"

class CZipCrc32Cryptograph : public CZipCryptograph {
  public:
    static constexpr DWORD kEncryptionHeaderSize = 12;

    bool InitDecode(const CZipAutoBuffer& password, const CZipFileHeader& header, CZipStorage& storage,
                    bool ignoreCheck) override;
    void Decode(char* buffer, DWORD size) override;
    bool CanHandle(int encryptionMethod) const override { return encryptionMethod == encStandard; }

    // Sets the keys from the password bytes.
    void InitKeys(const CZipAutoBuffer& password);
    const DWORD* GetKeys() const { return m_keys; }

  private:
    void UpdateKeys(BYTE plain);
    BYTE StreamByte() const;

    DWORD m_keys[3] = {};
};

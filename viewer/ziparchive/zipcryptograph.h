#pragma once
// Decryption of an entry's stored bytes. Only the traditional PKWARE cipher is known: every
// encryption method but "none" (255) is taken for it.

#include "viewer/ziparchive/zipautobuffer.h"

#include "platform/base/wintypes.h"

#include <memory>

class CZipFileHeader;
class CZipStorage;

class CZipCryptograph {
  public:
    enum EncryptionMethod { encStandard = 0, encNone = 0xFF };

    // Null for 255, the traditional cipher for every other method.
    static std::unique_ptr<CZipCryptograph> CreateCryptograph(int encryptionMethod);
    // Bytes of encryption header that precede an entry's data.
    static DWORD GetEncryptedInfoSize(int encryptionMethod);

    CZipCryptograph() = default;
    virtual ~CZipCryptograph() = default;
    CZipCryptograph(const CZipCryptograph&) = delete;
    CZipCryptograph& operator=(const CZipCryptograph&) = delete;

    // Reads and checks the encryption header at the storage's position; false for a password
    // that fails the check.
    virtual bool InitDecode(const CZipAutoBuffer& password, const CZipFileHeader& header,
                            CZipStorage& storage, bool ignoreCheck) = 0;
    virtual void Decode(char* buffer, DWORD size) = 0;
    virtual void FinishDecode(const CZipFileHeader&, CZipStorage&) {}
    virtual bool CanHandle(int) const { return false; }
};

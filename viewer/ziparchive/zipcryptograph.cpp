#include "viewer/ziparchive/zipcryptograph.h"

#include "viewer/ziparchive/zipcrc32cryptograph.h"

std::unique_ptr<CZipCryptograph> CZipCryptograph::CreateCryptograph(int encryptionMethod) {
    if (encryptionMethod == encNone)
        return nullptr;
    return std::make_unique<CZipCrc32Cryptograph>();
}

DWORD CZipCryptograph::GetEncryptedInfoSize(int encryptionMethod) {
    return encryptionMethod == encStandard ? CZipCrc32Cryptograph::kEncryptionHeaderSize : 0;
}

#include "viewer/ziparchive/zipcrc32cryptograph.h"

#include "ziptestsupport.h"

#include <gtest/gtest.h>

TEST(ZipCryptograph, FactoryAndCanHandle) {
    EXPECT_EQ(CZipCryptograph::CreateCryptograph(255), nullptr);
    for (int method : {0, 1, 99}) {
        const auto cryptograph = CZipCryptograph::CreateCryptograph(method);
        ASSERT_NE(cryptograph, nullptr) << method;
        EXPECT_NE(dynamic_cast<CZipCrc32Cryptograph*>(cryptograph.get()), nullptr);
        EXPECT_TRUE(cryptograph->CanHandle(0));
        EXPECT_FALSE(cryptograph->CanHandle(1));
    }
    EXPECT_EQ(CZipCryptograph::GetEncryptedInfoSize(0), 12u);
    EXPECT_EQ(CZipCryptograph::GetEncryptedInfoSize(255), 0u);
    EXPECT_EQ(CZipCryptograph::GetEncryptedInfoSize(1), 0u);
}

TEST(ZipCryptograph, EmptyPasswordLeavesTheInitialKeys) {
    CZipCrc32Cryptograph cryptograph;
    cryptograph.InitKeys(CZipAutoBuffer());
    EXPECT_EQ(cryptograph.GetKeys()[0], 0x12345678u);
    EXPECT_EQ(cryptograph.GetKeys()[1], 0x23456789u);
    EXPECT_EQ(cryptograph.GetKeys()[2], 0x34567890u);
}

TEST(ZipCryptograph, DecodingInChunksEqualsDecodingAtOnce) {
    std::string plain;
    for (int i = 0; i < 10000; ++i)
        plain.push_back(static_cast<char>(i * 7 + i / 13));
    const std::string cipher = TraditionalEncrypt(plain, "pw", 0x42);
    CZipAutoBuffer password(2);
    password[0] = 'p';
    password[1] = 'w';

    for (DWORD chunk : {1u, 7u, 4096u, 20000u}) {
        CZipCrc32Cryptograph cryptograph;
        cryptograph.InitKeys(password);
        std::string bytes = cipher;
        for (DWORD at = 0; at < bytes.size(); at += chunk)
            cryptograph.Decode(&bytes[at], std::min<DWORD>(chunk, static_cast<DWORD>(bytes.size()) - at));
        EXPECT_EQ(static_cast<uint8_t>(bytes[11]), 0x42) << chunk;
        EXPECT_EQ(bytes.substr(12), plain) << chunk;
    }
}

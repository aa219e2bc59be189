#include "viewer/catalogue/md5legacy.h"
#include "viewer/catalogue/rsa64.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Hex(const std::array<BYTE, 16>& digest) {
    std::string text;
    char pair[3];
    for (BYTE byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

std::string Digest(const std::string& text, const Md5Legacy::ChainingWords& start) {
    Md5Legacy md5(start);
    md5.Update(text.data(), text.size());
    md5.Final();
    return Hex(md5.Digest());
}

struct DigestCase {
    std::string text;
    std::string published; // RFC 1321's test suite
    std::string recorder;  // from zero chaining words, where pinned
};

TEST(Md5Legacy, PublishedStartGivesTheRfcVectorsAndZeroStartTheRecordersDigest) {
    const DigestCase cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e", "b0e641c998cc3eae6fa2f8726d98cddd"},
        {"a", "0cc175b9c0f1b6a831c399e269772661", ""},
        {"abc", "900150983cd24fb0d6963f7d28e17f72", "c974bc19183bcf1b909e7f07ea1e8fbb"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0", "8b55f9c30f5f40c91e1d0cc70fcbedb1"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b", ""},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f",
         ""},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a", ""},
    };
    for (const DigestCase& c : cases) {
        EXPECT_EQ(Digest(c.text, Md5Legacy::kPublishedStart), c.published) << '"' << c.text << '"';
        if (!c.recorder.empty()) {
            EXPECT_EQ(Digest(c.text, Md5Legacy::kRecorderStart), c.recorder) << '"' << c.text << '"';
        }
    }
}

TEST(Md5Legacy, PiecesOfAnyLengthGiveTheDigestOfTheWhole) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += static_cast<char>(i * 7 + i / 13);
    const std::string whole = Digest(text, Md5Legacy::kRecorderStart);
    for (size_t piece : {1u, 3u, 36u, 55u, 56u, 63u, 64u, 65u, 1000u, 1024u}) {
        Md5Legacy md5;
        for (size_t at = 0; at < text.size(); at += piece)
            md5.Update(text.data() + at, std::min(piece, text.size() - at));
        md5.Final();
        EXPECT_EQ(Hex(md5.Digest()), whole) << "pieces of " << piece;
    }
    // Lengths around the padding boundary take one or two final blocks.
    for (size_t length : {55u, 56u, 57u, 63u, 64u, 119u, 120u}) {
        Md5Legacy md5(Md5Legacy::kPublishedStart);
        md5.Update(text.data(), length);
        md5.Final();
        Md5Legacy again(Md5Legacy::kPublishedStart);
        for (size_t i = 0; i < length; ++i)
            again.Update(text.data() + i, 1);
        again.Final();
        EXPECT_EQ(md5.Digest(), again.Digest()) << length;
    }
}

TEST(Md5Legacy, InitStartsOver) {
    Md5Legacy md5;
    md5.Update("garbage", 7);
    md5.Init();
    md5.Update("abc", 3);
    md5.Final();
    EXPECT_EQ(Hex(md5.Digest()), "c974bc19183bcf1b909e7f07ea1e8fbb");
}

// The recorder's own loop: d multiplications, one after the other.
ULONGLONG DecryptByMultiplication(ULONGLONG c, ULONGLONG d, ULONGLONG n) {
    ULONGLONG r = 1;
    for (ULONGLONG i = 0; i < d; ++i)
        r = r * c % n;
    return r % n;
}

ULONGLONG PowMod(ULONGLONG base, ULONGLONG exponent, ULONGLONG modulus) {
    ULONGLONG result = 1;
    base %= modulus;
    for (; exponent; exponent >>= 1, base = base * base % modulus) {
        if (exponent & 1)
            result = result * base % modulus;
    }
    return result;
}

TEST(Rsa64, DecryptWordEqualsTheRecordersMultiplicationLoop) {
    const Rsa64 key = Rsa64::RecordingKey();
    EXPECT_EQ(key.Modulus(), 0x1C4E2B9u);
    EXPECT_EQ(key.PrivateExponent(), 0xA7E52Bu);
    for (ULONGLONG c :
         {0ull, 1ull, 2ull, 0xFFFFull, 0x1C4E2B8ull, 0x1C4E2B9ull, 0x12345678ull, 0xFFFFFFFFull})
        EXPECT_EQ(key.DecryptWord(c), DecryptByMultiplication(c, key.PrivateExponent(), key.Modulus())) << c;
}

TEST(Rsa64, EveryDigestPieceSignedWithTheTestExponentDecryptsToItself) {
    // 1219 inverts d modulo lambda(n) = 22800, which is what a signer for these tests needs.
    const Rsa64 key = Rsa64::RecordingKey();
    for (ULONGLONG m = 0; m < 0x10000; ++m)
        ASSERT_EQ(key.DecryptWord(PowMod(m, 1219, key.Modulus())), m);
}

} // namespace

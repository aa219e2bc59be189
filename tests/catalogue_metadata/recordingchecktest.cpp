#include "viewer/catalogue/recordingcheck.h"
#include "metadatabuilders.h"
#include "support/testfolder.h"
#include "viewer/catalogue/md5legacy.h"

#include <gtest/gtest.h>

using namespace metadata_test;

namespace {

constexpr uint64_t kModulus = 0x1C4E2B9;
constexpr uint64_t kSigningExponent = 1219; // inverts the check exponent modulo lambda(n)

uint64_t PowMod(uint64_t base, uint64_t exponent, uint64_t modulus) {
    uint64_t result = 1;
    base %= modulus;
    for (; exponent; exponent >>= 1, base = base * base % modulus) {
        if (exponent & 1)
            result = result * base % modulus;
    }
    return result;
}

// The MD5J payload for a digest.
Bytes Sign(const std::array<BYTE, 16>& digest) {
    Bytes words;
    for (int i = 0; i < 8; ++i) {
        const uint64_t piece = digest[2 * i] | (static_cast<uint64_t>(digest[2 * i + 1]) << 8);
        words += Le32(static_cast<uint32_t>(PowMod(piece, kSigningExponent, kModulus)));
    }
    return words;
}

// The recorder's digest described by ranges rather than by its block loop: the bytes from 36 up to
// and including `phase1Last`, then bytes 0-35, then from there to and including `phase3Last`.
std::array<BYTE, 16> RangeDigest(const Bytes& file, size_t phase1Last, size_t phase3Last) {
    Md5Legacy md5;
    md5.Update(file.data() + 36, phase1Last + 1 - 36);
    md5.Update(file.data(), 36);
    md5.Update(file.data() + phase1Last + 1, phase3Last - phase1Last);
    md5.Final();
    return md5.Digest();
}

struct Layout {
    Bytes file;
    size_t mdatLast = 0;   // last byte of "mdat"
    size_t md5jOffset = 0; // header of "MD5J"
};

// ftyp, mdat of the given payload length, a moov larger than a block, MD5J, then a trailing box.
Layout MakeLayout(size_t mdatPayload) {
    Layout layout;
    Bytes head = Box("ftyp", "isom" + Be32(0x200) + "isomiso2avc1mp41");
    Bytes media;
    for (size_t i = 0; i < mdatPayload; ++i)
        media += static_cast<char>(i * 31 + 7);
    head += Box("mdat", media);
    layout.mdatLast = head.size() - 1;
    head += Box("moov", Box("mvhd", Bytes(100, '\0')) + Box("udta", Bytes(1500, 'u')));
    head += Box("GPSR", GpsRecordBytes("$GPRMC,1,A,4807.038,N,01131.000,E,1,2"));
    layout.md5jOffset = head.size();
    layout.file = head + Box("MD5J", Bytes(32, '\0')) + Box("free", "after the signature");
    return layout;
}

void StoreSignature(Layout& layout, const std::array<BYTE, 16>& digest) {
    layout.file.replace(layout.md5jOffset + 8, 32, Sign(digest));
}

Bytes AviFile() {
    AviBuild build;
    build.chunks.push_back({"00dc", Bytes(3000, 'v')});
    return BuildAvi(build);
}

class RecordingCheckTest : public ::testing::Test {
  protected:
    std::wstring Write(const Bytes& bytes, const std::string& name = "recording.mp4") {
        WriteFile(m_folder / name, bytes);
        return m_folder.Wide(name);
    }

    TestFolder m_folder;
};

TEST_F(RecordingCheckTest, ASignedRecordingPassesAndAnyChangeInTheHashedRangesFails) {
    Layout layout = MakeLayout(5000);
    StoreSignature(layout, RangeDigest(layout.file, layout.mdatLast, layout.md5jOffset - 1));
    ASSERT_EQ(VerifyRecordingFile(Write(layout.file)), 1);

    struct Flip {
        const char* name;
        size_t offset;
        int result;
    };
    const Flip flips[] = {
        {"in the first 36 bytes", 20, 0},
        {"the 36th byte", 35, 0},
        {"inside mdat", 1000, 0},
        {"the last byte of mdat", layout.mdatLast, 0},
        {"the byte after mdat", layout.mdatLast + 1, 0},
        {"inside moov", layout.mdatLast + 600, 0},
        {"the byte before MD5J", layout.md5jOffset - 1, 0},
        {"inside the signature", layout.md5jOffset + 8 + 3, 0},
        {"after the signature", layout.file.size() - 2, 1},
    };
    for (const Flip& flip : flips) {
        Bytes changed = layout.file;
        changed[flip.offset] = static_cast<char>(changed[flip.offset] ^ 0x01);
        EXPECT_EQ(VerifyRecordingFile(Write(changed, "changed.mp4")), flip.result) << flip.name;
    }
}

TEST_F(RecordingCheckTest, AnMdatEndingOnAWholeBlockMovesItsLastByteBehindTheHead) {
    // E - 36 a multiple of 1024: the block loop stops with pos == E, so byte E is hashed after
    // the first 36 bytes, not before them.
    Layout layout = MakeLayout(36 + 2048 - MakeLayout(0).mdatLast);
    ASSERT_EQ((layout.mdatLast - 36) % 1024, 0u);

    Layout naive = layout;
    StoreSignature(naive, RangeDigest(naive.file, naive.mdatLast, naive.md5jOffset - 1));
    EXPECT_EQ(VerifyRecordingFile(Write(naive.file)), 0);

    StoreSignature(layout, RangeDigest(layout.file, layout.mdatLast - 1, layout.md5jOffset - 1));
    EXPECT_EQ(VerifyRecordingFile(Write(layout.file)), 1);
}

TEST_F(RecordingCheckTest, ThePhaseAfterTheHeadStopsShortOnAWholeBlockToo) {
    // L - (E + 1) a multiple of 1024 (and more than one block): that phase stops with pos == L, so
    // the byte before MD5J is not hashed.
    Layout layout = MakeLayout(3000);
    const size_t gap = layout.md5jOffset - 1 - (layout.mdatLast + 1);
    const size_t pad = (1024 - gap % 1024) % 1024 + 1024;
    Bytes extra = Box("free", Bytes(pad - 8, 'f'));
    layout.file.insert(layout.md5jOffset, extra);
    layout.md5jOffset += extra.size();
    ASSERT_EQ((layout.md5jOffset - 1 - (layout.mdatLast + 1)) % 1024, 0u);
    StoreSignature(layout, RangeDigest(layout.file, layout.mdatLast, layout.md5jOffset - 2));
    EXPECT_EQ(VerifyRecordingFile(Write(layout.file)), 1);
}

TEST_F(RecordingCheckTest, FilesThatCannotPass) {
    Layout signedLayout = MakeLayout(3000);
    StoreSignature(signedLayout,
                   RangeDigest(signedLayout.file, signedLayout.mdatLast, signedLayout.md5jOffset - 1));
    const Bytes& file = signedLayout.file;
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"no MD5J box", file.substr(0, signedLayout.md5jOffset)},
        {"cut inside mdat", file.substr(0, 2000)},
        {"shorter than the head", file.substr(0, 20)},
        {"empty", ""},
        // No top-level mdat: the media phase has nothing to hash (an AVI file, an unknown first box).
        {"an AVI file", AviFile()},
        {"an unknown first box", Box("abcd", Bytes(100, 'x')) + file.substr(32)},
        {"an mdat ending before byte 36", Box("ftyp", "isom") + Box("mdat", "") + file.substr(20)},
        {"an mdat of size 0", Box("ftyp", "isom") + BoxWithSize(0, "mdat", Bytes(3000, 'm'))},
        {"an mdat past the end of the file",
         Box("ftyp", "isom") + BoxWithSize(0x7FFFFFFF, "mdat", Bytes(3000, 'm'))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerifyRecordingFile(Write(c.bytes, "damaged.mp4")), 0) << c.name;
}

TEST_F(RecordingCheckTest, AFileThatCannotBeOpenedGivesMinusOneAndALine) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(VerifyRecordingFile(m_folder.Wide("gone.mp4")), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              (m_folder / "gone.mp4").string() + " can't be opened.\n");

    testing::internal::CaptureStdout();
    EXPECT_EQ(VerifyRecordingFile(L""), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace

#include "viewer/catalogue/moviesimpleparser.h"
#include "metadatabuilders.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace metadata_test;

namespace {

const std::string kFix1 = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kFix2 = "$GPRMC,123520,A,4807.040,N,01131.010,E,023.0,085.0,230394,003.1,W*6B";
const std::string kFix3 = "$GPRMC,123521,V,,,,,,,230394,,,N*53";

Bytes Ftyp() {
    return Box("ftyp", "isom" + Be32(0x200) + "isomiso2avc1mp41");
}
Bytes Moov(uint32_t frames) {
    return Box("moov",
               Box("mvhd", Bytes(100, '\0')) + Track("soun", 431, "mp4a") + Track("vide", frames, "avc1"));
}
Bytes Gpsr(const std::vector<std::string>& texts) {
    Bytes payload;
    for (const std::string& text : texts)
        payload += GpsRecordBytes(text);
    return Box("GPSR", payload);
}
Bytes Sens() {
    return Box("SENS", GsensorSampleBytes(0.5f, -1.25f, 0.98f) + GsensorSampleBytes(1, 2, 3));
}
Bytes Ency() {
    return Box("ENCY", "opaque\x01\x02");
}
Bytes Carn() {
    return Box("CARN", "12\xB0\xA1"
                       "3456");
}
// The recorder's layout: media, index, then its own boxes.
Bytes Recording(uint32_t frames = 300) {
    return Ftyp() + Box("mdat", Bytes(2000, 'm')) + Moov(frames) + Box("TIME", "20230524123000") +
           Box("FWVR", "T550_V1.00") + Carn() + Box("GPSI", Bytes(8, '\0')) + Gpsr({kFix1, kFix2, kFix3}) +
           Sens() + Ency() + Box("MD5J", Bytes(32, 's'));
}

class MovieSimpleParserTest : public ::testing::Test {
  protected:
    std::wstring Write(const Bytes& bytes, const std::string& name = "recording.mp4") {
        WriteFile(m_folder / name, bytes);
        return m_folder.Wide(name);
    }

    TestFolder m_folder;
};

TEST_F(MovieSimpleParserTest, ReadsEveryRecorderBoxOfARecording) {
    MovieSimpleParser parser;
    EXPECT_EQ(parser.ParseMovie(Write(Recording())), 0);
    EXPECT_EQ(parser.frameCount, 300);
    ASSERT_EQ(parser.gpsRecords.size(), 3u);
    EXPECT_EQ(parser.gpsRecords[0].status, 'A');
    EXPECT_EQ(parser.gpsRecords[0].sentenceFlag, 1);
    EXPECT_NEAR(parser.gpsRecords[0].latitude, 48.1173, 1e-9);
    EXPECT_DOUBLE_EQ(parser.gpsRecords[1].speed, 23.0);
    EXPECT_EQ(parser.gpsRecords[2].status, 'V');
    EXPECT_EQ(parser.gpsrPayload.size(), 3 * 8 + kFix1.size() + kFix2.size() + kFix3.size());
    ASSERT_EQ(parser.gsensorSamples.size(), 2u);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[0].x, 0.5f);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[0].y, -1.25f);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[0].z, 0.98f);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[1].z, 3.0f);
    EXPECT_EQ(parser.gsensorSamples[1].reserved[11], 'r');
    EXPECT_EQ(parser.carNumber, "12\xB0\xA1"
                                "3456");
    EXPECT_EQ(std::string(parser.encyPayload.begin(), parser.encyPayload.end()), "opaque\x01\x02");
    EXPECT_TRUE(parser.HoldsPayload());
}

TEST_F(MovieSimpleParserTest, FrameCountComesFromTheVideoTrackOnly) {
    struct Case {
        const char* name;
        Bytes moov;
        int frames;
    };
    const Bytes mhlr = "mhlr";
    // A MOV track names its media in the media handler; the data handler in minf says nothing.
    const Bytes movVideo =
        Box("trak",
            Box("mdia", Handler(mhlr, "vide") +
                            Box("minf", Handler("dhlr", "alis") +
                                            Box("stbl", Box("stsz", Bytes(4, '\0') + Be32(0) + Be32(77))))));
    const Case cases[] = {
        {"audio after video", Box("moov", Track("vide", 120, "avc1") + Track("soun", 999, "mp4a")), 120},
        {"audio before video", Box("moov", Track("soun", 999, "mp4a") + Track("vide", 120, "avc1")), 120},
        {"MOV handlers", Box("moov", movVideo + Track("soun", 999, "mp4a", mhlr)), 77},
        {"no video track", Box("moov", Track("soun", 999, "mp4a")), 0},
    };
    for (const Case& c : cases) {
        MovieSimpleParser parser;
        parser.ParseMovie(Write(Ftyp() + c.moov));
        EXPECT_EQ(parser.frameCount, c.frames) << c.name;
    }
}

TEST_F(MovieSimpleParserTest, WalkControl) {
    struct Case {
        const char* name;
        Bytes file;
        size_t gpsRecords;
        bool carNumber;
    };
    const Bytes found = Moov(10) + Box("TIME", "t") + Sens() + Ency();
    const Case cases[] = {
        {"a 64-bit mdat is skipped by its 64-bit size",
         Ftyp() + Box64("mdat", Bytes(5000, 'm')) + Gpsr({kFix1}), 1, false},
        {"a box of size 0 is the last one handled", Ftyp() + BoxWithSize(0, "free", "") + Gpsr({kFix1}), 0,
         false},
        {"a payload box of size 0 ends the walk unread",
         Ftyp() + BoxWithSize(0, "GPSR", GpsRecordBytes(kFix1)), 0, false},
        {"unknown boxes are passed while something is missing",
         Ftyp() + Box("abcd", "x") + Gpsr({kFix1}) + Carn(), 1, true},
        {"an unknown box ends the walk once everything was found",
         found + Gpsr({kFix1}) + Box("abcd", "x") + Carn(), 1, false},
        {"a 64-bit GPSR box keeps the payload behind its 16-byte header",
         Ftyp() + Box64("GPSR", GpsRecordBytes(kFix1) + GpsRecordBytes(kFix2)), 2, false},
    };
    for (const Case& c : cases) {
        MovieSimpleParser parser;
        EXPECT_EQ(parser.ParseMovie(Write(c.file)), 0) << c.name;
        EXPECT_EQ(parser.gpsRecords.size(), c.gpsRecords) << c.name;
        EXPECT_EQ(!parser.carNumber.empty(), c.carNumber) << c.name;
    }
}

TEST_F(MovieSimpleParserTest, BoxesBehindFourGigabytesOfMediaAreFound) {
    // FAT32 allows files up to 4 GiB, and an exFAT card more: offsets are 64-bit all the way.
    const uint64_t media = (5ull << 30) + 3;
    const Bytes head = Ftyp() + Be32(1) + "mdat" + Be64(16 + media);
    const Bytes tail = Moov(300) + Box("TIME", "t") + Gpsr({kFix1, kFix2}) + Sens() + Ency() + Carn() +
                       Box("MD5J", "0123456789abcdef0123456789ABCDEF");
    WriteSparseFile(m_folder / "large.mp4", head, media, tail);
    const std::wstring path = m_folder.Wide("large.mp4");

    MovieSimpleParser parser;
    parser.ParseMovie(path);
    EXPECT_EQ(parser.frameCount, 300);
    EXPECT_EQ(parser.gpsRecords.size(), 2u);
    EXPECT_EQ(parser.gsensorSamples.size(), 2u);
    EXPECT_FALSE(parser.carNumber.empty());
    const auto mdatEnd = static_cast<LONGLONG>(head.size() + media);
    EXPECT_EQ(MovieSimpleParser::FindAtomEnd(path, BoxType("mdat")), mdatEnd - 1);
    const auto md5j = static_cast<LONGLONG>(head.size() + media + tail.size() - 40);
    EXPECT_EQ(MovieSimpleParser::FindAtomOffset(path, BoxType("MD5J")), md5j);
    char signature[32];
    MovieSimpleParser::ReadMd5j(path, signature, sizeof signature);
    EXPECT_EQ(std::string(signature, 32), "0123456789abcdef0123456789ABCDEF");
}

TEST_F(MovieSimpleParserTest, TheRearFileIsReadOnlyWhenTheFrontGaveNoPayload) {
    const std::wstring front = Write(Recording(300), "front.mp4");
    const std::wstring rear = Write(Ftyp() + Moov(250) + Gpsr({kFix2}), "rear.mp4");
    MovieSimpleParser parser;
    parser.ParseMovie(front);
    EXPECT_EQ(parser.ParseMovie(rear), 1);
    EXPECT_EQ(parser.frameCount, 300);
    EXPECT_EQ(parser.gpsRecords.size(), 3u);

    // A front file without the recorder's boxes (card pulled before they were written).
    MovieSimpleParser bare;
    bare.ParseMovie(Write(Ftyp() + Moov(300), "bare.mp4"));
    EXPECT_FALSE(bare.HoldsPayload());
    EXPECT_EQ(bare.ParseMovie(rear), 0);
    EXPECT_EQ(bare.frameCount, 250);
    EXPECT_EQ(bare.gpsRecords.size(), 1u);
    EXPECT_EQ(bare.ParseMovie(front), 1);
}

TEST_F(MovieSimpleParserTest, APayloadBoxMetTwiceReplacesTheFirst) {
    MovieSimpleParser parser;
    parser.ParseMovie(Write(Ftyp() + Gpsr({kFix1, kFix2}) + Gpsr({kFix3})));
    ASSERT_EQ(parser.gpsRecords.size(), 1u);
    EXPECT_EQ(parser.gpsRecords[0].status, 'V');
}

TEST_F(MovieSimpleParserTest, GpsRecordsEndAtTheFirstBadRecord) {
    struct Case {
        const char* name;
        Bytes payload;
        size_t count;
    };
    const Bytes good = GpsRecordBytes(kFix1);
    const Case cases[] = {
        {"well formed", good + good + good, 3},
        {"a negative length", good + GpsRecordBytes(kFix2, -5) + good, 1},
        {"a length past the payload", good + good + GpsRecordBytes(kFix2, 500), 2},
        {"a rest shorter than a record header", good + good + Bytes(7, '\x7f'), 2},
        {"a rest of a header with a zero length", good + Bytes(8, '\0'), 2},
        {"a text of 1 MiB less one byte", GpsRecordBytes(std::string((1 << 20) - 1, 'x')) + good, 2},
        {"a text of 1 MiB", good + GpsRecordBytes(std::string(1 << 20, 'x')) + good, 1},
        {"the largest length there is", good + GpsRecordBytes(kFix2, 0x7FFFFFFF), 1},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        MovieSimpleParser parser;
        parser.ParseMovie(Write(Box("GPSR", c.payload)));
        EXPECT_EQ(parser.gpsRecords.size(), c.count) << c.name;
        EXPECT_EQ(parser.gpsrPayload.size(), c.payload.size()) << c.name;
        if (c.count > 0 && c.payload.substr(0, good.size()) == good) {
            EXPECT_EQ(parser.gpsRecords[0].status, 'A') << c.name;
        }
    }
}

TEST_F(MovieSimpleParserTest, SensKeepsWholeSamplesOnly) {
    MovieSimpleParser parser;
    parser.ParseMovie(Write(Box("SENS", GsensorSampleBytes(1, 2, 3) + Bytes(23, 'x'))));
    EXPECT_EQ(parser.gsensorSamples.size(), 1u);
    EXPECT_TRUE(parser.HoldsPayload());
}

TEST_F(MovieSimpleParserTest, AFileThatCannotBeOpenedChangesNothing) {
    MovieSimpleParser parser;
    parser.frameCount = 7;
    EXPECT_EQ(parser.ParseMovie(m_folder.Wide("missing.mp4")), 0);
    EXPECT_EQ(parser.ParseMovie(m_folder.Wide()), 0);
    EXPECT_EQ(parser.ParseMovie(L""), 0);
    EXPECT_EQ(parser.frameCount, 7);
    EXPECT_FALSE(parser.HoldsPayload());
}

TEST_F(MovieSimpleParserTest, HasAudioTrack) {
    struct Case {
        const char* name;
        Bytes file;
        bool audio;
    };
    const Case cases[] = {
        {"video and AAC", Ftyp() + Moov(10), true},
        {"video only", Ftyp() + Box("moov", Track("vide", 10, "avc1")), false},
        {"AAC after the video", Ftyp() + Box("moov", Track("vide", 10, "avc1") + Track("soun", 20, "mp4a")),
         true},
        {"PCM sound", Ftyp() + Box("moov", Track("vide", 10, "avc1") + Track("soun", 20, "sowt")), false},
        {"an unknown first box", Box("abcd", "x") + Moov(10), false},
        {"a cut-off sample description",
         Ftyp() + Box("moov", Box("trak", Box("mdia", Handler(Bytes(4, '\0'), "soun") +
                                                          Box("stsd", Bytes(6, '\0'))))),
         false},
        {"empty", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasAudioTrack(Write(c.file)), c.audio) << c.name;
    EXPECT_FALSE(HasAudioTrack(m_folder.Wide("missing.mp4")));
}

TEST_F(MovieSimpleParserTest, TopLevelFinders) {
    const Bytes ftyp = Ftyp();
    const Bytes mdat = Box64("mdat", Bytes(3000, 'm'));
    const Bytes moov = Moov(10);
    const Bytes md5j = Box("MD5J", "0123456789abcdef0123456789ABCDEFtail");
    const std::wstring path = Write(ftyp + mdat + moov + md5j + Box("free", "z"));
    const LONGLONG mdatOffset = static_cast<LONGLONG>(ftyp.size());
    const LONGLONG md5jOffset = static_cast<LONGLONG>(ftyp.size() + mdat.size() + moov.size());

    EXPECT_EQ(MovieSimpleParser::FindAtomEnd(path, BoxType("mdat")),
              mdatOffset + static_cast<LONGLONG>(mdat.size()) - 1);
    EXPECT_EQ(MovieSimpleParser::FindAtomOffset(path, BoxType("mdat")), mdatOffset);
    EXPECT_EQ(MovieSimpleParser::FindAtomOffset(path, BoxType("MD5J")), md5jOffset);
    // Boxes inside containers are not looked at.
    EXPECT_EQ(MovieSimpleParser::FindAtomEnd(path, BoxType("trak")), 0);
    const LONGLONG fileSize = static_cast<LONGLONG>(std::filesystem::file_size(m_folder / "recording.mp4"));
    EXPECT_EQ(MovieSimpleParser::FindAtomOffset(path, BoxType("trak")), fileSize);

    char signature[32];
    MovieSimpleParser::ReadMd5j(path, signature, sizeof signature);
    EXPECT_EQ(std::string(signature, 32), "0123456789abcdef0123456789ABCDEF");

    // The walk ends at the first unknown box, there.
    const std::wstring odd = Write(ftyp + Box("abcd", "x") + mdat + md5j, "odd.mp4");
    EXPECT_EQ(MovieSimpleParser::FindAtomEnd(odd, BoxType("mdat")), 0);
    EXPECT_EQ(MovieSimpleParser::FindAtomOffset(odd, BoxType("MD5J")), static_cast<LONGLONG>(ftyp.size()));
    char untouched[32];
    std::memset(untouched, 'u', sizeof untouched);
    MovieSimpleParser::ReadMd5j(odd, untouched, sizeof untouched);
    EXPECT_EQ(std::string(untouched, 32), std::string(32, 'u'));

    EXPECT_EQ(MovieSimpleParser::FindAtomEnd(m_folder.Wide("missing.mp4"), BoxType("mdat")), 0);
    EXPECT_EQ(MovieSimpleParser::FindAtomOffset(m_folder.Wide("missing.mp4"), BoxType("mdat")), 0);
}

// Sizes a card that lost power or a bad copy leaves behind. None may crash, hang, allocate the
// claimed size or keep a payload that is not whole in the file.
TEST_F(MovieSimpleParserTest, DamagedBoxSizesEndTheWalkQuietly) {
    struct Case {
        std::string name;
        Bytes file;
    };
    std::vector<Case> cases;
    const Bytes record = GpsRecordBytes(kFix1);
    for (const std::string type : {"GPSR", "SENS", "ENCY", "CARN"}) {
        const Bytes payload = record + record;
        cases.push_back({type + " of size 4", Ftyp() + BoxWithSize(4, type, payload)});
        cases.push_back({type + " of size 7", Ftyp() + BoxWithSize(7, type, payload)});
        cases.push_back({type + " of size 0", Ftyp() + BoxWithSize(0, type, payload)});
        cases.push_back({type + " of size 0xFFFFFFFF", Ftyp() + BoxWithSize(0xFFFFFFFF, type, payload)});
        cases.push_back({type + " of size 0x80000008", Ftyp() + BoxWithSize(0x80000008, type, payload)});
        cases.push_back({type + " one byte longer than the file",
                         Ftyp() + BoxWithSize(static_cast<uint32_t>(9 + payload.size()), type, payload)});
        for (uint64_t size : {0ull, 8ull, 15ull, 1ull << 40, 1ull << 63, ~0ull})
            cases.push_back({type + " of 64-bit size " + std::to_string(size),
                             Ftyp() + Be32(1) + type + Be64(size) + payload});
        cases.push_back({type + " cut in its 64-bit size", Ftyp() + Be32(1) + type + "\0\0\0"});
    }
    for (uint64_t size : {0ull, 8ull, 1ull << 63, ~0ull - 4})
        cases.push_back({"mdat of 64-bit size " + std::to_string(size),
                         Ftyp() + Be32(1) + "mdat" + Be64(size) + Box("GPSR", record)});
    cases.push_back({"moov of size 4", Ftyp() + BoxWithSize(4, "moov", Moov(5))});
    cases.push_back({"moov larger than the file", Ftyp() + BoxWithSize(1u << 31, "moov", Moov(5))});
    cases.push_back({"hdlr cut off", Ftyp() + Box("moov", Box("trak", Be32(40) + "hdlr" + Bytes(2, '\0')))});
    cases.push_back(
        {"stsz cut off", Ftyp() + Box("moov", Box("trak", Handler(Bytes(4, '\0'), "vide") + Be32(40) +
                                                              "stsz" + Bytes(6, '\0')))});
    cases.push_back({"a header cut short", Ftyp() + "\0\0\0"});
    cases.push_back({"empty", ""});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = Write(c.file);
        MovieSimpleParser parser;
        EXPECT_EQ(parser.ParseMovie(path), 0);
        EXPECT_FALSE(parser.HoldsPayload());
        EXPECT_TRUE(parser.gpsRecords.empty());
        EXPECT_TRUE(parser.carNumber.empty());
        HasAudioTrack(path);
        MovieSimpleParser::FindAtomEnd(path, BoxType("MD5J"));
        MovieSimpleParser::FindAtomOffset(path, BoxType("MD5J"));
    }
}

} // namespace

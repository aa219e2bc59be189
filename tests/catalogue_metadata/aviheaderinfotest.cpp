#include "viewer/catalogue/aviheaderinfo.h"
#include "metadatabuilders.h"
#include "platform/base/file.h"
#include "support/testfolder.h"
#include "viewer/catalogue/moviesimpleparser.h"

#include <gtest/gtest.h>

using namespace metadata_test;

namespace {

std::string Fix(int second) {
    return "$GPRMC,1235" + std::to_string(10 + second) + ",A,4807.038,N,01131.000,E,0" +
           std::to_string(10 + second) + ".0,084.4,230394,003.1,W";
}

// Three frames of two video streams with a text chunk each, as model 3 writes them.
AviBuild ThreeFrames() {
    AviBuild build;
    for (int frame = 0; frame < 3; ++frame) {
        build.chunks.push_back({"00dc", Bytes(101 + frame, 'v')});
        build.chunks.push_back({"01dc", Bytes(50, 'w')});
        build.chunks.push_back({"02tx", AviTextData(Fix(frame), 1234 * (frame + 1), -500, 1000)});
    }
    return build;
}

class AviTest : public ::testing::Test {
  protected:
    std::wstring Write(const Bytes& bytes) {
        WriteFile(m_folder / "2023_05_24_12_30_45_N.avi", bytes);
        return m_folder.Wide("2023_05_24_12_30_45_N.avi");
    }

    TestFolder m_folder;
};

TEST_F(AviTest, FramesTextsAndSamples) {
    MovieSimpleParser parser;
    parser.carNumber = "kept";
    parser.ParseAvi(Write(BuildAvi(ThreeFrames())));
    EXPECT_EQ(parser.frameCount, 3);
    ASSERT_EQ(parser.gpsRecords.size(), 3u);
    ASSERT_EQ(parser.gsensorSamples.size(), 3u);
    ASSERT_EQ(parser.gpsrPayload.size(), 3u * 256);
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(parser.gpsRecords[frame].status, 'A');
        EXPECT_EQ(parser.gpsRecords[frame].sentenceFlag, 1);
        EXPECT_DOUBLE_EQ(parser.gpsRecords[frame].speed, 10.0 + frame);
        EXPECT_EQ(std::string(parser.gpsrPayload.data() + frame * 256), Fix(frame));
        EXPECT_FLOAT_EQ(parser.gsensorSamples[frame].x, 1.234f * static_cast<float>(frame + 1));
        EXPECT_FLOAT_EQ(parser.gsensorSamples[frame].y, -0.5f);
        EXPECT_FLOAT_EQ(parser.gsensorSamples[frame].z, 1.0f);
    }
    EXPECT_EQ(parser.carNumber, "kept");
    EXPECT_EQ(g_aviTextBuffer.size(), 9u * kAviIndexEntrySize);
    FreeAviTextBuffer();
    EXPECT_TRUE(g_aviTextBuffer.empty());
}

TEST_F(AviTest, TextChunks) {
    struct Case {
        const char* name;
        int textChunks; // of the three frames'
        bool leadIn;
        int extraTexts; // after the last frame
        size_t filled;
    };
    const Case cases[] = {
        {"one chunk a frame", 3, false, 0, 3},
        {"a 32-byte lead-in", 3, true, 0, 3},
        {"fewer chunks than frames", 1, false, 0, 1},
        {"more chunks than frames", 3, false, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AviBuild build;
        for (int frame = 0; frame < 3; ++frame) {
            build.chunks.push_back({"00dc", Bytes(10, 'v')});
            if (frame < c.textChunks)
                build.chunks.push_back({"02tx", AviTextData(Fix(frame), 1000, 2000, 3000, c.leadIn)});
        }
        for (int extra = 0; extra < c.extraTexts; ++extra)
            build.chunks.push_back({"02tx", AviTextData(Fix(9), 9000, 9000, 9000)});
        MovieSimpleParser parser;
        parser.ParseAvi(Write(BuildAvi(build)));
        ASSERT_EQ(parser.frameCount, 3);
        for (size_t frame = 0; frame < 3; ++frame) {
            const bool filled = frame < c.filled;
            EXPECT_EQ(parser.gpsRecords[frame].status, filled ? 'A' : 0) << frame;
            EXPECT_FLOAT_EQ(parser.gsensorSamples[frame].z, filled ? 3.0f : 0.0f) << frame;
        }
    }
}

TEST_F(AviTest, ASentenceFillingItsSlotIsReadWithinTheSlot) {
    const std::string sentence = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,";
    AviBuild build;
    build.chunks.push_back({"00dc", Bytes(10, 'v')});
    build.chunks.push_back(
        {"02tx", AviTextData(sentence + std::string(256 - sentence.size(), '7'), 1, 2, 3)});
    MovieSimpleParser parser;
    parser.ParseAvi(Write(BuildAvi(build)));
    ASSERT_EQ(parser.frameCount, 1);
    EXPECT_DOUBLE_EQ(parser.gpsRecords[0].course, 84.4);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[0].x, 0.001f);
}

TEST_F(AviTest, AChunkCutOffByTheEndOfTheFileDoesNotRepeatThePreviousFrame) {
    Bytes file = BuildAvi(ThreeFrames());
    // Point the last text entry of the index at a chunk that starts 100 bytes before the end.
    const size_t lastEntry = file.size() - kAviIndexEntrySize;
    const size_t movieBase = file.find("movi");
    file.replace(lastEntry + 8, 4, Le32(static_cast<uint32_t>(file.size() - 100 - movieBase)));
    MovieSimpleParser parser;
    parser.ParseAvi(Write(file));
    ASSERT_EQ(parser.frameCount, 3);
    EXPECT_EQ(parser.gpsRecords[1].status, 'A');
    EXPECT_NE(std::string(parser.gpsrPayload.data() + 2 * 256, 256),
              std::string(parser.gpsrPayload.data() + 256, 256));
    EXPECT_FLOAT_EQ(parser.gsensorSamples[2].x, 0.0f);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[2].y, 0.0f);
    EXPECT_FLOAT_EQ(parser.gsensorSamples[2].z, 0.0f);
}

TEST_F(AviTest, IndexLimits) {
    struct Case {
        const char* name;
        uint32_t extraEntries;
        int lists;
        int frames;
    };
    // Three real entries a frame; the rest of the entries are junk.
    const Case cases[] = {
        {"200,000 entries are read", 200000 - 9, 0, 3},
        {"200,001 entries are too many", 200000 - 8, 0, 0},
        {"one LIST before the index is skipped", 0, 1, 3},
        {"two LISTs hide the index", 0, 2, 0},
    };
    for (const Case& c : cases) {
        AviBuild build = ThreeFrames();
        build.extraIndexEntries = c.extraEntries;
        build.listsBeforeIndex = c.lists;
        MovieSimpleParser parser;
        parser.frameCount = 99;
        parser.ParseAvi(Write(BuildAvi(build)));
        EXPECT_EQ(parser.frameCount, c.frames) << c.name;
    }
}

// Headers and indexes of damaged files: each gives frame count 0 (or a short, usable index) and
// leaves the parser's earlier data as it was; AddressSanitizer watches the reads.
TEST_F(AviTest, DamagedHeadersAndIndexes) {
    struct Case {
        std::string name;
        Bytes file;
        int frames;
    };
    std::vector<Case> cases;
    auto with = [](auto change) {
        AviBuild build = ThreeFrames();
        change(build);
        return BuildAvi(build);
    };
    const Bytes good = BuildAvi(ThreeFrames());
    cases.push_back(
        {"a negative header list size", with([](AviBuild& b) { b.headerListSize = 0x80000000u; }), 0});
    cases.push_back(
        {"a header list size of -1", with([](AviBuild& b) { b.headerListSize = 0xFFFFFFFFu; }), 0});
    cases.push_back(
        {"a header list size past the end", with([](AviBuild& b) { b.headerListSize = 0x7FFFFFF0u; }), 0});
    cases.push_back({"a movie list size that wraps 32 bits",
                     with([](AviBuild& b) { b.movieListSize = 0xFFFFFFF0u; }), 0});
    cases.push_back(
        {"a movie list size past the end", with([](AviBuild& b) { b.movieListSize = 0x10000000u; }), 0});
    cases.push_back({"a negative index size", with([](AviBuild& b) { b.indexSize = 0xFFFFFFF0u; }), 0});
    cases.push_back({"a huge index size", with([](AviBuild& b) { b.indexSize = 0x7FFFFFF0u; }), 0});
    cases.push_back(
        {"an index size past the end of the file", with([](AviBuild& b) { b.indexSize = 16 * 1000; }), 3});
    cases.push_back({"no index", with([](AviBuild& b) { b.index = false; }), 0});
    cases.push_back({"an index cut after two whole entries", good.substr(0, good.size() - 7 * 16 + 5), 1});
    cases.push_back({"a header only", good.substr(0, 72), 0});
    cases.push_back({"shorter than the header", good.substr(0, 71), 0});
    cases.push_back({"empty", "", 0});
    {
        // A LIST before the index whose size runs past the end of the file.
        AviBuild build = ThreeFrames();
        build.listsBeforeIndex = 1;
        Bytes file = BuildAvi(build);
        const size_t info = file.rfind("LIST");
        file.replace(info + 4, 4, Le32(0xFFFFFFF0u));
        cases.push_back({"a LIST size past the end", file, 0});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MovieSimpleParser parser;
        parser.frameCount = 99;
        parser.gpsRecords.resize(5);
        parser.ParseAvi(Write(c.file));
        EXPECT_EQ(parser.frameCount, c.frames);
        if (c.frames == 0) {
            EXPECT_EQ(parser.gpsRecords.size(), 5u);
        }
    }
}

TEST_F(AviTest, AnUnreadableFileChangesNothing) {
    MovieSimpleParser parser;
    parser.frameCount = 12;
    parser.ParseAvi(m_folder.Wide("missing.avi"));
    EXPECT_EQ(parser.frameCount, 12);
}

TEST_F(AviTest, ReadAviHeaderAndIndexFillsTheHeaderRecord) {
    const Bytes file = BuildAvi(ThreeFrames());
    const std::wstring path = Write(file);
    CFile handle;
    ASSERT_TRUE(handle.Open(path, CFile::modeRead));
    AviHeaderInfo info;
    const std::optional<std::vector<BYTE>> index = ReadAviHeaderAndIndex(info, handle);
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(index->size(), 9 * kAviIndexEntrySize);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.header), 4), "RIFF");
    EXPECT_EQ(std::string(info.listId, 4), "LIST");
    EXPECT_EQ(std::string(info.indexId, 4), "idx1");
    EXPECT_EQ(info.indexSize, 9 * kAviIndexEntrySize);
    EXPECT_EQ(info.movieBase, file.find("movi"));
    EXPECT_EQ(info.listOffset, file.find("idx1"));
}

} // namespace

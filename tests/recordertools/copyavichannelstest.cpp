// The channel copy of AVI recordings: which chunks it keeps and how it renumbers them, the header
// and index it writes, the sources it refuses, and that it never harms the recording.
#include "viewer/tools/copyavichannels.h"

#include "viewer/tools/repairavi.h"

#include "mediaprobe.h"
#include "recorderavifile.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::string Named(char tag) {
    return std::string("2023_05_24_12_30_45_") + tag + "_N.avi";
}

// The chunks and index entries the copy must hold: the source's of the kept streams, renumbered.
struct Expected {
    std::vector<AviChunk> chunks;
    int kept = 0;
};

Expected ExpectedCopy(const std::vector<AviChunk>& source, int videoStreams, const std::array<int, 4>& keep) {
    std::array<int, 4> number{-1, -1, -1, -1};
    Expected expected;
    for (int s = 0; s < videoStreams; ++s)
        if (keep[s])
            number[s] = expected.kept++;
    char id[16];
    for (const auto& chunk : source) {
        const int stream = chunk.id[1] - '0';
        const std::string kind = chunk.id.substr(2);
        if (kind == "dc" && number[stream] < 0)
            continue;
        const int copyNumber = kind == "dc"   ? number[stream]
                               : kind == "wb" ? expected.kept
                                              : expected.kept + 1;
        std::snprintf(id, sizeof id, "%02d%s", copyNumber, kind.c_str());
        expected.chunks.push_back({id, chunk.data, chunk.indexFlags});
    }
    return expected;
}

// Everything the copy holds for these chunks: header, title, chunks, an index over `indexed` of
// them, and the sizes.
void ExpectCopy(const Bytes& sourceFile, const Bytes& copyFile, const Expected& expected, size_t indexed,
                const std::vector<int>& keptStreams) {
    const ParsedAvi source = ParseAvi(sourceFile);
    const ParsedAvi copy = ParseAvi(copyFile);
    const int k = expected.kept;
    EXPECT_EQ(copy.streams, static_cast<uint32_t>(k + 2));
    ASSERT_EQ(copy.streamLists.size(), static_cast<size_t>(k + 2));
    for (int j = 0; j < k; ++j)
        EXPECT_EQ(copy.streamLists[j], source.streamLists[keptStreams[j]]) << "video list " << j;
    const size_t sourceVideo = source.streamLists.size() - 2;
    EXPECT_EQ(copy.streamLists[k], source.streamLists[sourceVideo]);
    EXPECT_EQ(copy.streamLists[k + 1], source.streamLists[sourceVideo + 1]);
    // The main header is the source's but for the stream count.
    for (size_t i = 24; i < 88; ++i) {
        if (i < 56 || i >= 60) {
            EXPECT_EQ(copyFile[i], sourceFile[i]) << "main header byte " << i;
        }
    }
    EXPECT_EQ(copy.title, "RM-WQKZ-4CH ");
    EXPECT_EQ(copy.headerListSize, 286u + 124u * k);
    EXPECT_EQ(copy.moviFourCC, copy.headerListEnd + 8);

    ASSERT_EQ(copy.chunks.size(), expected.chunks.size());
    for (size_t i = 0; i < expected.chunks.size(); ++i) {
        EXPECT_EQ(copy.chunks[i].id, expected.chunks[i].id) << i;
        EXPECT_EQ(copy.chunks[i].data, expected.chunks[i].data) << i;
    }
    ASSERT_TRUE(copy.hasIndex);
    ASSERT_EQ(copy.index.size(), indexed);
    for (size_t i = 0; i < indexed; ++i) {
        EXPECT_EQ(copy.index[i].id, expected.chunks[i].id) << i;
        EXPECT_EQ(copy.index[i].flags, expected.chunks[i].indexFlags) << i;
        EXPECT_EQ(copy.index[i].offset, copy.chunks[i].offset - copy.moviFourCC) << i;
        EXPECT_EQ(copy.index[i].size, expected.chunks[i].data.size()) << i;
    }
    const size_t moviEnd = copy.chunks.empty()
                               ? copy.moviFourCC + 4
                               : copy.chunks.back().offset + 8 + copy.chunks.back().data.size();
    EXPECT_EQ(copy.moviSize, moviEnd - copy.moviFourCC);
    EXPECT_EQ(copy.riffSize, copyFile.size() - 8);
    EXPECT_EQ(copy.indexEnd, copyFile.size());
}

class CopyAviChannelsTest : public testing::Test {
  protected:
    bool Copy(const std::string& source, const std::string& output, std::array<int, 4> keep) {
        return CopyAviChannels(m_folder.Wide(output), m_folder.Wide(source), keep[0], keep[1], keep[2],
                               keep[3]);
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TestFolder m_folder;
};

TEST_F(CopyAviChannelsTest, KeptStreamsAreRenumberedInOrderWithSoundAndTextAfterThem) {
    RecorderAviOptions options;
    options.videoStreams = 4;
    const auto chunks = MakeFrames(4, 12, 160, 5);
    const Bytes source = MakeRecorderAvi(options, chunks);
    WriteBytes(m_folder / Named('Q'), source);
    const std::array<int, 4> keeps[] = {
        {1, 1, 0, 0}, {1, 0, 1, 0}, {1, 0, 0, 0}, {1, 1, 1, 1}, {0, 0, 0, 1}, {1, 0, 1, 1},
    };
    for (const auto& keep : keeps) {
        SCOPED_TRACE(testing::PrintToString(keep));
        ASSERT_TRUE(Copy(Named('Q'), "copy.avi", keep));
        std::vector<int> keptStreams;
        for (int s = 0; s < 4; ++s)
            if (keep[s])
                keptStreams.push_back(s);
        const Expected expected = ExpectedCopy(chunks, 4, keep);
        ExpectCopy(source, ReadBytes(m_folder / "copy.avi"), expected, expected.chunks.size(), keptStreams);
    }
    // Keeping streams 0 and 2 makes stream 2's chunks "01dc", sound "02wb" and text "03tx".
    ASSERT_TRUE(Copy(Named('Q'), "copy.avi", {1, 0, 1, 0}));
    const ParsedAvi copy = ParseAvi(ReadBytes(m_folder / "copy.avi"));
    EXPECT_EQ(copy.chunks[1].id, "01dc");
    EXPECT_EQ(copy.chunks[1].data, chunks[2].data);
    EXPECT_EQ(copy.index[2].id, "02wb");
    EXPECT_EQ(copy.index[3].id, "03tx");
    EXPECT_EQ(copy.index[0].offset, 4u);
}

TEST_F(CopyAviChannelsTest, ACopyOfACopyReadsPastItsTitleListAndOtherListsByTheirSize) {
    RecorderAviOptions options;
    options.videoStreams = 4;
    const auto chunks = MakeFrames(4, 6);
    WriteBytes(m_folder / Named('Q'), MakeRecorderAvi(options, chunks));
    ASSERT_TRUE(Copy(Named('Q'), Named('T'), {1, 1, 0, 1}));
    const Bytes first = ReadBytes(m_folder / Named('T'));
    ASSERT_TRUE(Copy(Named('T'), Named('D'), {1, 0, 1, 0}));
    // Streams 0 and 3 of the recording, through stream 2 of the first copy.
    const Expected expected = ExpectedCopy(chunks, 4, {1, 0, 0, 1});
    ExpectCopy(first, ReadBytes(m_folder / Named('D')), expected, expected.chunks.size(), {0, 2});

    // A title list of another length than the copy's own is passed over by its size.
    options.videoStreams = 2;
    options.titleListContent = 52;
    const auto twoStreams = MakeFrames(2, 4);
    const Bytes titled = MakeRecorderAvi(options, twoStreams);
    WriteBytes(m_folder / "other_D_N.avi", titled);
    ASSERT_TRUE(Copy("other_D_N.avi", "other_S_N.avi", {0, 1, 0, 0}));
    const Expected second = ExpectedCopy(twoStreams, 2, {0, 1, 0, 0});
    ExpectCopy(titled, ReadBytes(m_folder / "other_S_N.avi"), second, second.chunks.size(), {1});
}

TEST_F(CopyAviChannelsTest, SourcesWithoutAMatchingTagLetterAreRefused) {
    RecorderAviOptions options;
    options.videoStreams = 2;
    const Bytes twoStreams = MakeRecorderAvi(options, MakeFrames(2, 3));
    options.videoStreams = 4;
    const Bytes fourStreams = MakeRecorderAvi(options, MakeFrames(4, 3));
    std::filesystem::create_directories(m_folder / "2023_05_24_12_30_45_Q_");
    struct Case {
        std::string name;
        const Bytes& content;
    };
    const Case cases[] = {
        {"Q.avi", fourStreams},                        // too short for a tag letter
        {"_N.avi", fourStreams},                       // six characters
        {"2023_05_24_12_30_45_Q_/N.avi", fourStreams}, // the letter would lie in the folder's name
        {Named('F'), fourStreams},
        {Named('q'), fourStreams},
        {Named('Q'), twoStreams}, // the header holds fewer streams than the letter says
        {Named('D'), fourStreams},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(m_folder / c.name, c.content);
        WriteBytes(m_folder / "copy.avi", {'o', 'l', 'd'});
        EXPECT_FALSE(Copy(c.name, "copy.avi", {1, 1, 1, 1}));
        EXPECT_EQ(ReadBytes(m_folder / "copy.avi"), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(ReadBytes(m_folder / c.name), c.content);
        std::filesystem::remove(m_folder / c.name);
    }
    // Seven characters are enough.
    WriteBytes(m_folder / "Q_N.avi", fourStreams);
    EXPECT_TRUE(Copy("Q_N.avi", "copy.avi", {1, 0, 0, 0}));
}

TEST_F(CopyAviChannelsTest, TheSourceUnderAnyNameIsNeverWrittenOnto) {
    RecorderAviOptions options;
    options.videoStreams = 4;
    const Bytes source = MakeRecorderAvi(options, MakeFrames(4, 5));
    WriteBytes(m_folder / Named('Q'), source);
    std::filesystem::create_directories(m_folder / "sub");
    std::filesystem::create_hard_link(m_folder / Named('Q'), m_folder / "hard.avi");
    std::filesystem::create_symlink(m_folder / Named('Q'), m_folder / "soft.avi");
    for (const std::string& name :
         {Named('Q'), "sub/../" + Named('Q'), std::string("hard.avi"), std::string("soft.avi")}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Copy(Named('Q'), name, {1, 1, 1, 1}));
        EXPECT_FALSE(Copy(Named('Q'), name, {1, 0, 0, 0}));
        EXPECT_EQ(ReadBytes(m_folder / Named('Q')), source);
    }
}

TEST_F(CopyAviChannelsTest, FilesThatCannotBeOpenedOrCreatedFailWithoutLeavingAnything) {
    EXPECT_FALSE(Copy(Named('S'), "copy.avi", {1, 0, 0, 0}));
    RecorderAviOptions options;
    WriteBytes(m_folder / Named('S'), MakeRecorderAvi(options, MakeFrames(1, 3)));
    EXPECT_FALSE(Copy(Named('S'), "no/such/folder/copy.avi", {1, 0, 0, 0}));
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{Named('S')}));
}

TEST_F(CopyAviChannelsTest, LongRecordingsKeepEveryChunkInTheIndex) {
    // More chunks than the 28,800 a fixed table would hold.
    RecorderAviOptions options;
    const auto chunks = MakeFrames(1, 10000, 4);
    const Bytes source = MakeRecorderAvi(options, chunks);
    WriteBytes(m_folder / Named('S'), source);
    ASSERT_TRUE(Copy(Named('S'), "copy.avi", {1, 0, 0, 0}));
    const Expected expected = ExpectedCopy(chunks, 1, {1, 0, 0, 0});
    ASSERT_EQ(expected.chunks.size(), 30000u);
    ExpectCopy(source, ReadBytes(m_folder / "copy.avi"), expected, 30000, {0});
}

TEST_F(CopyAviChannelsTest, TheIndexEndsWhereTheCopiedChunksOrTheirOrderEnd) {
    RecorderAviOptions options;
    options.videoStreams = 2;
    const auto chunks = MakeFrames(2, 5);
    const Bytes whole = MakeRecorderAvi(options, chunks);
    const ParsedAvi layout = ParseAvi(whole);

    // More matching index entries than chunks: the index stops with the chunks.
    Bytes longIndex = whole;
    const size_t indexSizeAt = layout.indexEnd - chunks.size() * 16 - 4;
    for (int i = 0; i < 6; ++i) {
        const Bytes entry(whole.end() - 16 * (i + 1), whole.end() - 16 * i);
        longIndex.insert(longIndex.end(), entry.begin(), entry.end());
    }
    const uint32_t indexSize = static_cast<uint32_t>((chunks.size() + 6) * 16);
    for (int i = 0; i < 4; ++i)
        longIndex[indexSizeAt + i] = static_cast<uint8_t>(indexSize >> (8 * i));

    // Two entries swapped: the index ends at the first one out of order.
    Bytes swapped = whole;
    const size_t firstEntry = layout.indexEnd - chunks.size() * 16;
    std::swap_ranges(swapped.begin() + firstEntry + 16 * 6, swapped.begin() + firstEntry + 16 * 7,
                     swapped.begin() + firstEntry + 16 * 7);

    // Cut off in the middle of the movie list: no index to follow.
    const Bytes cut(whole.begin(), whole.begin() + layout.chunks[9].offset + 20);

    struct Case {
        const char* what;
        Bytes source;
        size_t copied; // chunks in the copy
        size_t indexed;
    };
    const Case cases[] = {
        {"longer index", longIndex, chunks.size(), chunks.size()},
        {"swapped entries", swapped, chunks.size(), 6},
        {"cut off", cut, 9, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(m_folder / Named('D'), c.source);
        ASSERT_TRUE(Copy(Named('D'), "copy.avi", {1, 1, 0, 0}));
        Expected expected = ExpectedCopy(chunks, 2, {1, 1, 0, 0});
        expected.chunks.resize(c.copied);
        ExpectCopy(whole, ReadBytes(m_folder / "copy.avi"), expected, c.indexed, {0, 1});
    }
}

TEST_F(CopyAviChannelsTest, CopiesOfRecordingsAndOfRepairedRecordingsOpenInFfmpeg) {
    if (!HaveFfmpegTools())
        GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
    RecorderAviOptions options;
    options.videoStreams = 4;
    options.width = 160;
    options.height = 96;
    const auto chunks = MakeEncodedFrames(4, 16, options.width, options.height, options.fps);
    WriteBytes(m_folder / Named('Q'), MakeRecorderAvi(options, chunks));
    // A broken recording, repaired first: cut in the middle of frame 12.
    options.index = false;
    Bytes broken = MakeRecorderAvi(options, chunks);
    broken.resize(ParseAvi(broken).chunks[6 * 11 + 2].offset + 30);
    WriteBytes(m_folder / "broken.avi", broken);
    ASSERT_EQ(RepairAvi(m_folder.Wide("broken.avi"), m_folder.Wide("repaired_Q_N.avi")), 0);

    struct Case {
        std::string source;
        std::array<int, 4> keep;
        std::vector<int> frames; // of each kept video stream
    };
    const Case cases[] = {
        {Named('Q'), {1, 1, 0, 0}, {16, 16}},
        {Named('Q'), {1, 0, 1, 1}, {16, 16, 16}},
        {"repaired_Q_N.avi", {0, 1, 0, 1}, {12, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " " + testing::PrintToString(c.keep));
        ASSERT_TRUE(Copy(c.source, "copy_X_N.avi", c.keep));
        const auto streams = ProbeStreams(m_folder / "copy_X_N.avi");
        ASSERT_TRUE(streams.has_value());
        ASSERT_GE(streams->size(), c.frames.size() + 1);
        for (size_t s = 0; s < c.frames.size(); ++s) {
            EXPECT_EQ((*streams)[s].codec, "hevc") << s;
            EXPECT_EQ((*streams)[s].frames, c.frames[s]) << s;
        }
        EXPECT_EQ((*streams)[c.frames.size()].type, "audio");
        EXPECT_TRUE(DecodesToTheEnd(m_folder / "copy_X_N.avi"));
    }
}

} // namespace

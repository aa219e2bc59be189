// The repair of broken AVI recordings: what it keeps, the counts and index it writes, the headers
// it refuses, and that it never loses or half-writes a file.
#include "viewer/tools/repairavi.h"

#include "mediaprobe.h"
#include "recorderavifile.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const std::string kVideoIds[] = {"00dc", "01dc", "02dc", "03dc"};

std::string AudioId(int videoStreams) {
    return "0" + std::to_string(videoStreams) + "wb";
}
std::string TextId(int videoStreams) {
    return "0" + std::to_string(videoStreams + 1) + "tx";
}

// A recording cut off after its first `kept` chunks (and `extra` bytes of the next one).
Bytes CutRecording(const RecorderAviOptions& options, const std::vector<AviChunk>& chunks, size_t kept,
                   size_t extra = 0) {
    RecorderAviOptions broken = options;
    broken.index = false;
    Bytes file = MakeRecorderAvi(broken, chunks);
    const ParsedAvi layout = ParseAvi(file);
    const size_t end = kept < layout.chunks.size() ? layout.chunks[kept].offset : file.size();
    file.resize(std::min(file.size(), end + extra));
    return file;
}

// Checks everything the repaired file must hold for the chunks it kept: the chunks themselves,
// the index over them (less a trailing text chunk), the counts and the sizes.
void ExpectRepaired(const Bytes& input, const Bytes& output, const std::vector<AviChunk>& kept,
                    int videoStreams) {
    const ParsedAvi avi = ParseAvi(output);
    ASSERT_EQ(avi.chunks.size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(avi.chunks[i].id, kept[i].id) << i;
        EXPECT_EQ(avi.chunks[i].data, kept[i].data) << i;
    }
    const size_t indexed =
        !kept.empty() && kept.back().id == TextId(videoStreams) ? kept.size() - 1 : kept.size();
    ASSERT_TRUE(avi.hasIndex);
    ASSERT_EQ(avi.index.size(), indexed);
    std::map<std::string, uint32_t> counts;
    for (size_t i = 0; i < indexed; ++i) {
        ++counts[kept[i].id];
        EXPECT_EQ(avi.index[i].id, kept[i].id) << i;
        EXPECT_EQ(avi.index[i].offset, avi.chunks[i].offset - avi.moviFourCC) << i;
        EXPECT_EQ(avi.index[i].size, kept[i].data.size()) << i;
        const bool video = kept[i].id.substr(2) == "dc";
        const bool key = !video || (kept[i].data.size() > 103 && kept[i].data[103] == 0x26);
        EXPECT_EQ(avi.index[i].flags, key ? 0x10u : 0u) << i;
    }
    if (!avi.index.empty()) {
        EXPECT_EQ(avi.index[0].offset, 4u);
    }
    EXPECT_EQ(avi.totalFrames, counts["00dc"]);
    for (int s = 0; s < videoStreams; ++s)
        EXPECT_EQ(avi.streamLengths[s], counts[kVideoIds[s]]) << s;
    // Sound and text lengths stay as they were.
    const size_t audioList = 88 + 124 * videoStreams;
    EXPECT_EQ(avi.streamLengths[videoStreams], U32At(input, audioList + 52));
    EXPECT_EQ(avi.streamLengths[videoStreams + 1], U32At(input, audioList + 102 + 52));

    const size_t moviEnd =
        kept.empty() ? avi.moviFourCC + 4 : avi.chunks.back().offset + 8 + kept.back().data.size();
    EXPECT_EQ(avi.moviSize, moviEnd - avi.moviFourCC);
    EXPECT_EQ(avi.riffSize, output.size() - 8);
    EXPECT_EQ(avi.indexEnd, output.size());

    // The header is the input's but for the RIFF size, the total frames, the video lengths and
    // the movi size.
    std::vector<size_t> changed = {4, 48, avi.moviFourCC - 4};
    for (int s = 0; s < videoStreams; ++s)
        changed.push_back(88 + 124 * s + 52);
    for (size_t i = 0; i < avi.moviFourCC + 4; ++i) {
        bool inField = false;
        for (size_t field : changed)
            inField = inField || (i >= field && i < field + 4);
        if (!inField) {
            EXPECT_EQ(output[i], input[i]) << "header byte " << i;
        }
    }
}

class RepairAviTest : public testing::Test {
  protected:
    // Repairs `input` into out.avi; the output bytes, or nothing on failure.
    int Repair(const Bytes& input) {
        WriteBytes(m_folder / "in.avi", input);
        return RepairAvi(m_folder.Wide("in.avi"), m_folder.Wide("out.avi"));
    }
    Bytes Output() const { return ReadBytes(m_folder / "out.avi"); }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TestFolder m_folder;
};

TEST_F(RepairAviTest, CutRecordingsGetTheirCountsAndAnIndexWithIdsByStreamCount) {
    struct Case {
        int videoStreams;
        size_t kept;  // whole chunks before the cut
        size_t extra; // bytes of the next chunk that survived
    };
    const Case cases[] = {
        {4, 6 * 5 - 1, 0},  // after the sound of frame 5
        {4, 6 * 5 + 2, 0},  // in the middle of frame 6: streams 0 and 1 have one frame more
        {4, 6 * 5 + 2, 90}, // part of a third picture survived: it is dropped
        {3, 5 * 3 - 1, 0},  {2, 4 * 7 - 1, 3}, // only part of the next chunk's header
        {1, 3 * 6 - 1, 0},  {1, 3 * 12, 0},    // the whole recording, only its index lost
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("video streams " + std::to_string(c.videoStreams) + ", cut after " +
                     std::to_string(c.kept));
        RecorderAviOptions options;
        options.videoStreams = c.videoStreams;
        const auto chunks = MakeFrames(c.videoStreams, 12);
        const Bytes input = CutRecording(options, chunks, c.kept, c.extra);
        ASSERT_EQ(Repair(input), 0);
        const std::vector<AviChunk> kept(chunks.begin(), chunks.begin() + std::min(c.kept, chunks.size()));
        ExpectRepaired(input, Output(), kept, c.videoStreams);
        const ParsedAvi avi = ParseAvi(Output());
        for (const auto& entry : avi.index)
            EXPECT_TRUE(entry.id.substr(2) == "dc" || entry.id == AudioId(c.videoStreams) ||
                        entry.id == TextId(c.videoStreams))
                << entry.id;
    }
}

TEST_F(RepairAviTest, ATrailingTextChunkStaysInTheMovieListButGetsNoIndexEntry) {
    RecorderAviOptions options;
    options.videoStreams = 2;
    const auto chunks = MakeFrames(2, 8);
    const Bytes input = CutRecording(options, chunks, 4 * 3); // three whole frames, text last
    ASSERT_EQ(Repair(input), 0);
    const std::vector<AviChunk> kept(chunks.begin(), chunks.begin() + 12);
    ExpectRepaired(input, Output(), kept, 2);
    const ParsedAvi avi = ParseAvi(Output());
    EXPECT_EQ(avi.chunks.size(), 12u);
    EXPECT_EQ(avi.index.size(), 11u);
    EXPECT_EQ(avi.chunks.back().id, "03tx");
}

TEST_F(RepairAviTest, KeyFramesAreVideoChunksWithTheMarkAtByte103) {
    auto video = [](size_t size, uint8_t mark) {
        Bytes data(size, 0x26); // a short chunk's neighbourhood holds the mark everywhere
        if (size > 103)
            data[103] = mark;
        return AviChunk{"00dc", data, 0};
    };
    const std::vector<AviChunk> chunks = {
        video(300, 0x26),
        video(300, 0x25),
        video(104, 0x26),
        video(103, 0),
        video(40, 0),
        video(0, 0),
        {"01wb", Bytes(10, 0), 0},
        {"02tx", Bytes(400, 0), 0},
        {"01wb", Bytes(2, 0), 0},
    };
    RecorderAviOptions options;
    options.index = false;
    ASSERT_EQ(Repair(MakeRecorderAvi(options, chunks)), 0);
    const ParsedAvi avi = ParseAvi(Output());
    std::vector<uint32_t> flags;
    for (const auto& entry : avi.index)
        flags.push_back(entry.flags);
    EXPECT_EQ(flags, (std::vector<uint32_t>{0x10, 0, 0x10, 0, 0, 0, 0x10, 0x10, 0x10}));
    EXPECT_EQ(avi.totalFrames, 6u);
}

TEST_F(RepairAviTest, DamagedChunksEndTheScanAndWhatCameBeforeIsKept) {
    struct Case {
        const char* what;
        std::string id;
        uint32_t size;
    };
    const Case cases[] = {
        {"size far beyond the file", "00dc", 0xFFFFFFF0u},
        {"size one byte beyond the file", "00dc", 0}, // filled in below
        {"unknown id", "JUNK", 16},
        {"id of a fifth video stream", "04dc", 16},
        {"sound id of no recorder", "05wb", 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecorderAviOptions options;
        options.videoStreams = 3;
        options.index = false;
        auto chunks = MakeFrames(3, 4);
        const std::vector<AviChunk> kept(chunks.begin(), chunks.begin() + 9);
        Bytes input = MakeRecorderAvi(options, chunks);
        const ParsedAvi layout = ParseAvi(input);
        const size_t at = layout.chunks[9].offset;
        std::copy(c.id.begin(), c.id.end(), input.begin() + at);
        uint32_t size = c.size;
        if (size == 0)
            size = static_cast<uint32_t>(input.size() - at - 8 + 1);
        for (int i = 0; i < 4; ++i)
            input[at + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
        ASSERT_EQ(Repair(input), 0);
        ExpectRepaired(input, Output(), kept, 3);
    }
}

TEST_F(RepairAviTest, AMovieListWithoutChunksGivesAnEmptyIndex) {
    RecorderAviOptions options;
    options.videoStreams = 4;
    const Bytes input = CutRecording(options, MakeFrames(4, 2), 0);
    ASSERT_EQ(Repair(input), 0);
    ExpectRepaired(input, Output(), {}, 4);
    EXPECT_EQ(Output().size(), input.size() + 8);
}

TEST_F(RepairAviTest, HeadersOfOtherWritersAreRefusedAndTheOutputIsLeftAsItWas) {
    RecorderAviOptions options;
    options.videoStreams = 2;
    const auto chunks = MakeFrames(2, 3);
    const Bytes good = MakeRecorderAvi(options, chunks);
    auto with = [&](size_t at, const std::string& text) {
        Bytes bytes = good;
        std::copy(text.begin(), text.end(), bytes.begin() + at);
        return bytes;
    };
    auto inserted = [&](size_t at, const Bytes& more) {
        Bytes bytes = good;
        bytes.insert(bytes.begin() + at, more.begin(), more.end());
        return bytes;
    };
    const size_t movi = 274 + 124 * 2;
    RecorderAviOptions titled = options;
    titled.titleListContent = 24;
    struct Case {
        const char* what;
        Bytes input;
    };
    const Case cases[] = {
        {"H.264 stream handler", with(88 + 24, "h264")},
        {"H.264 compression of the second stream", with(88 + 124 + 100, "H264")},
        {"not RIFF", with(0, "RIFX")},
        {"sound list where a video list belongs", with(88 + 124 + 20, "auds")},
        {"text stream of another handler", with(88 + 248 + 102 + 24, "GAB2")},
        {"stream count of five video streams", with(56, std::string("\x07\0\0\0", 4))},
        // Counts far beyond four video streams, some of them negative as signed numbers.
        {"stream count 0x80000002", with(56, std::string("\x02\0\0\x80", 4))},
        {"stream count 0x80000001", with(56, std::string("\x01\0\0\x80", 4))},
        {"stream count 0xFFFFFFFF", with(56, std::string("\xFF\xFF\xFF\xFF", 4))},
        {"main header alone with stream count 0x80000002",
         [&] {
             Bytes bytes = with(56, std::string("\x02\0\0\x80", 4));
             bytes.resize(88);
             return bytes;
         }()},
        {"JUNK chunk before the movie list", inserted(movi, {'J', 'U', 'N', 'K', 0, 0, 0, 0})},
        {"INFO list before the movie list", MakeRecorderAvi(titled, chunks)},
        {"text format with content",
         [&] {
             Bytes bytes = inserted(movi, {1, 2, 3, 4});
             bytes[movi - 4] = 4;
             return bytes;
         }()},
        {"header cut short", Bytes(good.begin(), good.begin() + 300)},
        {"empty file", Bytes()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(m_folder / "out.avi", {'o', 'l', 'd'});
        EXPECT_EQ(Repair(c.input), -1);
        EXPECT_EQ(Output(), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(FolderNames(), (std::vector<std::string>{"in.avi", "out.avi"}));
    }
}

TEST_F(RepairAviTest, ASuccessfulRepairReplacesTheOutputAndLeavesNoTemporaryFile) {
    RecorderAviOptions options;
    options.videoStreams = 1;
    WriteBytes(m_folder / "out.avi", Bytes(100000, 7));
    const auto chunks = MakeFrames(1, 5);
    ASSERT_EQ(Repair(CutRecording(options, chunks, 14)), 0);
    EXPECT_EQ(ParseAvi(Output()).chunks.size(), 14u);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"in.avi", "out.avi"}));
}

TEST_F(RepairAviTest, FilesThatCannotBeOpenedOrCreatedFail) {
    EXPECT_EQ(RepairAvi(m_folder.Wide("missing.avi"), m_folder.Wide("out.avi")), -1);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "out.avi"));
    RecorderAviOptions options;
    WriteBytes(m_folder / "in.avi", MakeRecorderAvi(options, MakeFrames(1, 2)));
    EXPECT_EQ(RepairAvi(m_folder.Wide("in.avi"), m_folder.Wide("no/such/folder/out.avi")), -1);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"in.avi"}));
}

TEST_F(RepairAviTest, TheSameFileUnderAnyNameIsRefusedAndTheRecordingKept) {
    RecorderAviOptions options;
    options.videoStreams = 2;
    const Bytes input = CutRecording(options, MakeFrames(2, 6), 15);
    WriteBytes(m_folder / "in.avi", input);
    std::filesystem::create_directories(m_folder / "sub");
    std::filesystem::create_hard_link(m_folder / "in.avi", m_folder / "hard.avi");
    std::filesystem::create_symlink(m_folder / "in.avi", m_folder / "soft.avi");
    for (const char* name : {"in.avi", "sub/../in.avi", "hard.avi", "soft.avi"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RepairAvi(m_folder.Wide("in.avi"), m_folder.Wide(name)), -1);
        EXPECT_EQ(ReadBytes(m_folder / "in.avi"), input);
    }
}

TEST_F(RepairAviTest, RepairedRecordingsOpenInFfmpegWithTheirFramesAndDecodeToTheEnd) {
    if (!HaveFfmpegTools())
        GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
    RecorderAviOptions options;
    options.videoStreams = 4;
    options.width = 160;
    options.height = 96;
    const auto chunks = MakeEncodedFrames(4, 20, options.width, options.height, options.fps);
    struct Case {
        size_t kept;
        size_t extra;
        std::vector<int> frames; // per video stream
    };
    const Case cases[] = {
        {6 * 13 - 1, 0, {13, 13, 13, 13}}, // after the sound of frame 13
        {6 * 9 + 3, 25, {10, 10, 10, 9}},  // in the fourth picture of frame 10
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("cut after chunk " + std::to_string(c.kept));
        ASSERT_EQ(Repair(CutRecording(options, chunks, c.kept, c.extra)), 0);
        const auto streams = ProbeStreams(m_folder / "out.avi");
        ASSERT_TRUE(streams.has_value());
        ASSERT_GE(streams->size(), 5u);
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ((*streams)[s].type, "video") << s;
            EXPECT_EQ((*streams)[s].codec, "hevc") << s;
            EXPECT_EQ((*streams)[s].frames, c.frames[s]) << s;
        }
        EXPECT_EQ((*streams)[4].type, "audio");
        EXPECT_TRUE(DecodesToTheEnd(m_folder / "out.avi"));
    }
}

} // namespace

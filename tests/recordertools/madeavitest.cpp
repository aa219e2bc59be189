// Recordings of the AVI maker, cut off or stripped of their index as a recorder leaves them when
// its power fails, then repaired and copied: the files the tools write must hold the maker's
// chunks under a sound index, and FFmpeg must find the expected streams and frames and decode
// them to the end.
#include "viewer/tools/copyavichannels.h"
#include "viewer/tools/repairavi.h"

#include "tools/fixtures/avimaker.h"

#include "mediaprobe.h"
#include "recorderavifile.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>

namespace {

constexpr int kFrames = 24;

struct MadeRecording {
    Bytes bytes;
    fixtures::AviLayout layout;
};

// One recording for each camera count, made once: encoding is the slow part.
const MadeRecording& Made(int cameras) {
    static std::map<int, MadeRecording> made;
    auto found = made.find(cameras);
    if (found != made.end())
        return found->second;
    fixtures::QuietCodecLogs();
    fixtures::AviOptions options;
    options.streams = cameras;
    options.audio = true;
    options.video.width = 160;
    options.video.height = 96;
    options.video.frameCount = kFrames;
    options.video.fps = 12;
    options.video.keyframeInterval = 8;
    TestFolder folder;
    const auto path = folder / "made.avi";
    MadeRecording recording;
    recording.layout = fixtures::MakeAviRecording(path, options);
    recording.bytes = ReadBytes(path);
    return made.emplace(cameras, std::move(recording)).first->second;
}

// The recording as a power failure leaves it: no index, and cut off after its first `kept` chunks
// and `extra` bytes of the next one (kept beyond the last chunk: only the index is lost).
Bytes Broken(const MadeRecording& made, size_t kept, size_t extra) {
    const auto& chunks = made.layout.chunks;
    const size_t end = kept < chunks.size() ? chunks[kept].offset + extra : made.layout.indexOffset;
    return Bytes(made.bytes.begin(), made.bytes.begin() + end);
}

// Complete video chunks of each stream among the first `kept` chunks.
std::vector<int> VideoFrames(const MadeRecording& made, int cameras, size_t kept) {
    std::vector<int> frames(cameras, 0);
    for (size_t i = 0; i < std::min(kept, made.layout.chunks.size()); ++i) {
        const std::string& id = made.layout.chunks[i].id;
        if (id.substr(2) == "dc")
            ++frames[id[1] - '0'];
    }
    return frames;
}

// ffprobe sees the video streams with their frames and the sound behind them, and ffmpeg decodes
// pictures and sound to the end.
void ExpectPlayable(const std::filesystem::path& file, const std::vector<int>& frames) {
    const auto streams = ProbeStreams(file);
    ASSERT_TRUE(streams.has_value());
    ASSERT_EQ(streams->size(), frames.size() + 2);
    std::vector<int> decoded;
    for (size_t s = 0; s < frames.size(); ++s) {
        EXPECT_EQ((*streams)[s].type, "video") << s;
        EXPECT_EQ((*streams)[s].codec, "hevc") << s;
        EXPECT_EQ((*streams)[s].frames, frames[s]) << s;
        decoded.push_back(static_cast<int>(s));
    }
    EXPECT_EQ((*streams)[frames.size()].type, "audio");
    EXPECT_EQ((*streams)[frames.size()].codec, "pcm_s16le");
    EXPECT_GT((*streams)[frames.size()].frames, 0);
    decoded.push_back(static_cast<int>(frames.size()));
    EXPECT_TRUE(DecodesToTheEnd(file, decoded));
}

class MadeAviTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!HaveFfmpegTools())
            GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
    }

    TestFolder m_folder;
};

TEST_F(MadeAviTest, MadeRecordingsHaveTheRecordersHeaderAndTheRepairsView) {
    for (int cameras : {1, 2, 4}) {
        SCOPED_TRACE(std::to_string(cameras) + " cameras");
        const MadeRecording& made = Made(cameras);
        const ParsedAvi avi = ParseAvi(made.bytes);
        std::vector<std::string> types(cameras, "vids");
        types.push_back("auds");
        types.push_back("txts");
        EXPECT_EQ(avi.streamTypes, types);
        ASSERT_EQ(avi.streamLists.size(), types.size());
        for (size_t s = 0; s < types.size(); ++s) {
            const size_t size = s < static_cast<size_t>(cameras) ? 124 : s == types.size() - 1 ? 84 : 102;
            EXPECT_EQ(avi.streamLists[s].size(), size) << s;
        }
        EXPECT_EQ(avi.moviFourCC, 282u + 124 * cameras);

        // Repairing a whole recording keeps every chunk where it was and indexes all but the last
        // text chunk.
        WriteBytes(m_folder / "in.avi", made.bytes);
        ASSERT_EQ(RepairAvi(m_folder.Wide("in.avi"), m_folder.Wide("out.avi")), 0);
        const ParsedAvi repaired = ParseAvi(ReadBytes(m_folder / "out.avi"));
        ASSERT_EQ(repaired.chunks.size(), made.layout.chunks.size());
        ASSERT_EQ(repaired.index.size(), made.layout.chunks.size() - 1);
        for (size_t i = 0; i < repaired.index.size(); ++i) {
            const fixtures::AviChunkInfo& chunk = made.layout.chunks[i];
            EXPECT_EQ(repaired.index[i].id, chunk.id) << i;
            // Every key frame carries the mark; a picture whose byte 103 is 0x26 by chance is
            // taken for one too, as in the recorder's own files.
            const bool mark = chunk.size > fixtures::kAviKeyFrameMarkOffset &&
                              made.bytes[chunk.offset + 8 + fixtures::kAviKeyFrameMarkOffset] == 0x26;
            const bool video = chunk.id.substr(2) == "dc";
            EXPECT_EQ(repaired.index[i].flags, !video || mark ? 0x10u : 0u) << i;
            if (video && chunk.flags == 0x10) {
                EXPECT_TRUE(mark) << i;
            }
            EXPECT_EQ(repaired.index[i].offset, chunk.offset - made.layout.movieBase) << i;
            EXPECT_EQ(repaired.index[i].size, chunk.size) << i;
        }
        EXPECT_EQ(repaired.totalFrames, static_cast<uint32_t>(kFrames));
    }
}

TEST_F(MadeAviTest, CutRecordingsRepairedOpenWithTheFramesTheyKept) {
    struct Case {
        int cameras;
        size_t kept;  // whole chunks before the cut
        size_t extra; // bytes of the next chunk that survived
    };
    const Case cases[] = {
        {1, 3 * kFrames, 0},     // whole, only the index lost
        {1, 3 * 10 - 1, 0},      // after the sound of frame 10
        {2, 4 * 13 + 1, 50},     // in the second picture of frame 14
        {2, 4 * 20 + 3, 100},    // in the text of frame 21
        {4, 6 * 9 - 1, 0},       // after the sound of frame 9
        {4, 6 * 16 + 2, 30},     // in the third picture of frame 17
        {4, 6 * kFrames - 2, 7}, // in the sound of the last frame
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cameras) + " cameras, cut after chunk " + std::to_string(c.kept));
        const MadeRecording& made = Made(c.cameras);
        WriteBytes(m_folder / "in.avi", Broken(made, c.kept, c.extra));
        ASSERT_EQ(RepairAvi(m_folder.Wide("in.avi"), m_folder.Wide("out.avi")), 0);
        const std::vector<int> frames = VideoFrames(made, c.cameras, c.kept);
        const ParsedAvi repaired = ParseAvi(ReadBytes(m_folder / "out.avi"));
        ASSERT_EQ(repaired.chunks.size(), std::min(c.kept, made.layout.chunks.size()));
        EXPECT_EQ(repaired.totalFrames, static_cast<uint32_t>(frames[0]));
        ExpectPlayable(m_folder / "out.avi", frames);
    }
}

TEST_F(MadeAviTest, CopiesOfWholeAndOfRepairedRecordingsOpenWithTheKeptCameras) {
    struct Case {
        int cameras;
        size_t kept; // chunks of the source left by a cut; beyond the last: the whole recording
        std::array<int, 4> keep;
    };
    const Case cases[] = {
        {1, SIZE_MAX, {1, 0, 0, 0}},
        {2, SIZE_MAX, {0, 1, 0, 0}},
        {4, SIZE_MAX, {1, 1, 0, 0}},
        {4, SIZE_MAX, {1, 0, 1, 1}},
        {4, 6 * 11 + 2, {0, 1, 1, 0}}, // cut in the third picture of frame 12,
                                       // repaired first
        {2, 4 * 7 - 1, {1, 1, 0, 0}},  // cut after the sound of frame 7, repaired first
    };
    const char tags[] = "?SDTQ";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cameras) + " cameras, " + testing::PrintToString(c.keep) +
                     (c.kept == SIZE_MAX ? "" : ", cut after chunk " + std::to_string(c.kept)));
        const MadeRecording& made = Made(c.cameras);
        const std::string source = std::string("2023_05_24_12_30_45_") + tags[c.cameras] + "_N.avi";
        if (c.kept == SIZE_MAX) {
            WriteBytes(m_folder / source, made.bytes);
        } else {
            WriteBytes(m_folder / "broken.avi", Broken(made, c.kept, 20));
            ASSERT_EQ(RepairAvi(m_folder.Wide("broken.avi"), m_folder.Wide(source)), 0);
        }
        ASSERT_TRUE(CopyAviChannels(m_folder.Wide("copy_X_N.avi"), m_folder.Wide(source), c.keep[0],
                                    c.keep[1], c.keep[2], c.keep[3]));

        // The kept cameras' pictures, the sound and the text, in the source's order.
        const std::vector<int> sourceFrames = VideoFrames(made, c.cameras, c.kept);
        std::vector<int> frames;
        std::array<int, 4> number{-1, -1, -1, -1};
        for (int s = 0; s < c.cameras; ++s)
            if (c.keep[s]) {
                number[s] = static_cast<int>(frames.size());
                frames.push_back(sourceFrames[s]);
            }
        const ParsedAvi original = ParseAvi(ReadBytes(m_folder / source));
        const ParsedAvi copy = ParseAvi(ReadBytes(m_folder / "copy_X_N.avi"));
        std::vector<std::string> ids;
        for (const auto& chunk : original.chunks) {
            const int stream = chunk.id[1] - '0';
            const std::string kind = chunk.id.substr(2);
            if (kind == "dc" && number[stream] < 0)
                continue;
            const size_t k = frames.size();
            const size_t renumbered = kind == "dc" ? number[stream] : kind == "wb" ? k : k + 1;
            ids.push_back("0" + std::to_string(renumbered) + kind);
        }
        ASSERT_EQ(copy.chunks.size(), ids.size());
        for (size_t i = 0; i < ids.size(); ++i)
            EXPECT_EQ(copy.chunks[i].id, ids[i]) << i;
        ExpectPlayable(m_folder / "copy_X_N.avi", frames);
    }
}

} // namespace

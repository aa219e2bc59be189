// The repair program against made recordings whose index is gone: whatever was whole in the broken
// file comes back, in order, byte for byte and with its timing, and FFmpeg decodes the result to
// its end.

#include "mediaprobe.h"

#include "platform/base/filesystem.h"
#include "platform/base/process.h"
#include "platform/base/unicode.h"
#include "support/testfolder.h"
#include "tools/fixtures/moviemaker.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

struct Packet {
    bool video = false;
    int64_t position = 0;
    int64_t dts = 0;
    Bytes data;
    bool operator==(const Packet& other) const {
        return video == other.video && dts == other.dts && data == other.data;
    }
};

std::vector<Packet> ReadPackets(const fs::path& path) {
    std::vector<Packet> packets;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return packets;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            const AVStream* stream = format->streams[packet->stream_index];
            if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ||
                stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
                Packet p;
                p.video = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
                p.position = packet->pos;
                // In seconds' millionths, so that time scales of the two files may differ.
                p.dts = av_rescale_q(packet->dts, stream->time_base, AVRational{1, 1000000});
                p.data.assign(reinterpret_cast<const char*>(packet->data), static_cast<size_t>(packet->size));
                packets.push_back(std::move(p));
            }
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&format);
    return packets;
}

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each kind of track per stream, in file order: the repair interleaves the two tracks anew.
std::vector<Packet> OfKind(const std::vector<Packet>& packets, bool video) {
    std::vector<Packet> kind;
    for (const Packet& packet : packets)
        if (packet.video == video)
            kind.push_back(packet);
    return kind;
}

int Repair(const fs::path& reference, const fs::path& broken, const fs::path& output, bool aac) {
    std::vector<std::wstring> arguments = {FileSystem::ProgramFolder() + L"/mp4repair",
                                           L"-y",
                                           L"-i",
                                           WideFromUtf8(reference.string()),
                                           L"-broken",
                                           WideFromUtf8(broken.string())};
    for (const wchar_t* option :
         aac ? std::vector<const wchar_t*>{L"-broken_aac", L"aac", L"-codec", L"copy"}
             : std::vector<const wchar_t*>{L"-vcodec", L"copy", L"-acodec", L"adpcm_ima_wav"})
        arguments.push_back(option);
    arguments.push_back(WideFromUtf8(output.string()));
    int exitCode = -1;
    if (!RunProcessAndWait(arguments, ProcessOutput::Hidden, exitCode))
        return -1;
    return exitCode;
}

struct Family {
    const char* name;
    int model;
    fixtures::VideoCodec codec;
    fixtures::MovieContainer container;
    int audioRate;
    int audioChannels;
};

// A recording of the family, its reference, and the same recording without its index.
class Mp4RepairTest : public testing::TestWithParam<Family> {
  protected:
    void SetUp() override {
        fixtures::QuietCodecLogs();
        const Family& family = GetParam();
        fixtures::MovieOptions options;
        options.model = family.model;
        options.container = family.container;
        options.video.codec = family.codec;
        options.video.frameCount = 60;
        options.audio = true;
        options.audioSampleRate = family.audioRate;
        options.audioChannels = family.audioChannels;
        m_reference = m_folder / "reference.mov";
        options.video.frameCount = 10;
        fixtures::MakeMovieRecording(m_reference, options);
        options.video.frameCount = 60;
        options.start.second = 7;
        m_original = m_folder / "original.mov";
        m_layout = fixtures::MakeMovieRecording(m_original, options);
        const Bytes whole = Read(m_original);
        for (const fixtures::BoxInfo& box : m_layout.boxes) {
            if (box.type == "moov")
                continue;
            if (box.type == "mdat") {
                m_mediaBegin = m_indexless.size() + box.headerSize;
                m_mediaEnd = m_indexless.size() + box.size;
            }
            m_indexless += whole.substr(box.offset, box.size);
            m_boxes.push_back({box.type, m_indexless.size() - box.size, box.size, box.headerSize});
        }
        // The media data lies before the index, so its packets keep their places.
        m_packets = ReadPackets(m_original);
        ASSERT_FALSE(m_packets.empty());
    }

    // The packets wholly inside [0, cut) and outside [damageBegin, damageEnd).
    std::vector<Packet> Whole(uint64_t cut, uint64_t damageBegin = 0, uint64_t damageEnd = 0) const {
        std::vector<Packet> whole;
        for (const Packet& packet : m_packets) {
            const uint64_t begin = static_cast<uint64_t>(packet.position);
            const uint64_t end = begin + packet.data.size();
            if (end <= cut && (end <= damageBegin || begin >= damageEnd))
                whole.push_back(packet);
        }
        return whole;
    }

    // How exactly the repaired packets keep their time: all of them; the video, while the sound
    // after damage may be off by the estimate below; or both within that estimate.
    enum class Timing { Same, SameVideo, Estimated };

    // Repairs the broken bytes and checks the result against the expected packets.
    void Check(const Bytes& broken, const std::vector<Packet>& expected, Timing timing,
               const std::string& what) {
        const fs::path brokenPath = m_folder / "broken.mov";
        const fs::path output = m_folder / "repaired.mov";
        Write(brokenPath, broken);
        ASSERT_EQ(Repair(m_reference, brokenPath, output, true), 0) << what;
        const std::vector<Packet> repaired = ReadPackets(output);
        for (bool video : {true, false}) {
            const std::vector<Packet> want = OfKind(expected, video);
            const std::vector<Packet> got = OfKind(repaired, video);
            ASSERT_EQ(got.size(), want.size()) << what << (video ? " video" : " sound");
            for (size_t i = 0; i < want.size(); ++i) {
                ASSERT_EQ(got[i].data, want[i].data) << what << (video ? " video " : " sound ") << i;
                if (timing == Timing::Same || (video && timing == Timing::SameVideo)) {
                    ASSERT_EQ(got[i].dts, want[i].dts) << what << (video ? " video " : " sound ") << i;
                } else {
                    // After damage the time lost is estimated: a picture off, or two sound frames (and the
                    // rounding to microseconds).
                    const int64_t frame = want.size() > 1 ? want[1].dts - want[0].dts : 0;
                    ASSERT_LE(std::llabs(got[i].dts - want[i].dts), (video ? frame : 2 * frame) + 1)
                        << what << (video ? " video " : " sound ") << i;
                }
            }
        }
        // Where FFmpeg's programs are installed, they decode the result to its end.
        static const bool haveTools = HaveFfmpegTools();
        if (haveTools) {
            EXPECT_TRUE(DecodesToTheEnd(output, {0, 1})) << what;
        }
    }

    TestFolder m_folder;
    fs::path m_reference;
    fs::path m_original;
    fixtures::MovieLayout m_layout;
    Bytes m_indexless;
    std::vector<fixtures::BoxInfo> m_boxes;
    uint64_t m_mediaBegin = 0;
    uint64_t m_mediaEnd = 0;
    std::vector<Packet> m_packets;
};

TEST_P(Mp4RepairTest, ARecordingWithoutItsIndexComesBackWholeWithTheRecordersBoxes) {
    Check(m_indexless, m_packets, Timing::Same, "index dropped");
    // The recorder's boxes follow the new index as they stood.
    const Bytes repaired = Read(m_folder / "repaired.mov");
    for (const fixtures::BoxInfo& box : m_boxes) {
        if (box.type == "ftyp" || box.type == "mdat" || box.type == "free" || box.type == "wide")
            continue;
        EXPECT_NE(repaired.find(m_indexless.substr(box.offset, box.size)), Bytes::npos) << box.type;
    }
}

TEST_P(Mp4RepairTest, ACutRecordingKeepsEveryFrameThatWasWhole) {
    std::vector<std::pair<std::string, uint64_t>> cuts;
    const std::vector<Packet> video = OfKind(m_packets, true);
    const std::vector<Packet> sound = OfKind(m_packets, false);
    cuts.emplace_back("inside a key picture", video[15].position + video[15].data.size() / 2);
    cuts.emplace_back("inside a picture", video[37].position + 5);
    cuts.emplace_back("inside a sound frame", sound[20].position + sound[20].data.size() / 2);
    cuts.emplace_back("right after a sound frame", sound[20].position + sound[20].data.size());
    cuts.emplace_back("inside a NAL length", video[45].position + 2);
    for (int step = 1; step < 6; ++step)
        cuts.emplace_back("at a sixth " + std::to_string(step),
                          m_mediaBegin + (m_mediaEnd - m_mediaBegin) * step / 6);
    for (const fixtures::BoxInfo& box : m_boxes)
        if (box.type == "GPSR" || box.type == "SENS")
            cuts.emplace_back("inside " + box.type, box.offset + box.size / 2);
    for (const auto& [what, cut] : cuts)
        Check(m_indexless.substr(0, cut), Whole(cut), Timing::Same, what);
}

TEST_P(Mp4RepairTest, ADamagedStretchIsSkippedAndTheScanPicksUpAfterIt) {
    struct Case {
        const char* what;
        uint64_t begin;
        uint64_t length;
    };
    const std::vector<Packet> video = OfKind(m_packets, true);
    const Case cases[] = {
        {"random bytes from a picture into the ones after it", static_cast<uint64_t>(video[20].position),
         3000},
        {"a zeroed run of whole samples", static_cast<uint64_t>(video[30].position),
         static_cast<uint64_t>(video[33].position - video[30].position)},
        {"zeros from inside a picture up to the next one", static_cast<uint64_t>(video[50].position + 3),
         static_cast<uint64_t>(video[53].position - video[50].position - 3)},
    };
    for (const Case& c : cases) {
        Bytes broken = m_indexless;
        uint32_t seed = 12345;
        for (uint64_t i = 0; i < c.length; ++i) {
            seed = seed * 1103515245u + 12345u;
            broken[c.begin + i] =
                std::string(c.what).find("zero") != std::string::npos ? '\0' : static_cast<char>(seed >> 24);
        }
        Check(broken, Whole(broken.size(), c.begin, c.begin + c.length), Timing::Estimated, c.what);
    }
}

// The recordings have a key picture every 15 pictures (0, 15, 30, 45) of their 60. Damage from
// inside a picture to the start of a later one loses the pictures between; those after it keep
// their time exactly, whether a key picture follows the damage or the recording ends first, and
// whether a key picture (several times the size of another) was lost or not.
TEST_P(Mp4RepairTest, PicturesAfterDamageFromInsideAPictureKeepTheirTime) {
    struct Case {
        int first;
        int lost;
    };
    const Case cases[] = {{12, 3}, {20, 3}, {44, 2}, {50, 3}, {50, 5}};
    const std::vector<Packet> video = OfKind(m_packets, true);
    for (const Case& c : cases) {
        const uint64_t begin = static_cast<uint64_t>(video[c.first].position) + 3;
        const uint64_t end = static_cast<uint64_t>(video[c.first + c.lost].position);
        Bytes broken = m_indexless;
        std::fill(broken.begin() + static_cast<std::ptrdiff_t>(begin),
                  broken.begin() + static_cast<std::ptrdiff_t>(end), '\0');
        Check(broken, Whole(broken.size(), begin, end), Timing::SameVideo,
              "pictures " + std::to_string(c.first) + " to " + std::to_string(c.first + c.lost - 1) +
                  " damaged");
    }
}

INSTANTIATE_TEST_SUITE_P(
    RecorderFamilies, Mp4RepairTest,
    testing::Values(
        Family{"Model0H264Mp4", 0, fixtures::VideoCodec::H264, fixtures::MovieContainer::Mp4, 22050, 1},
        Family{"Model1HevcMov", 1, fixtures::VideoCodec::Hevc, fixtures::MovieContainer::Mov, 48000, 2},
        Family{"Model2H264Mov", 2, fixtures::VideoCodec::H264, fixtures::MovieContainer::Mov, 44100, 1}),
    [](const testing::TestParamInfo<Family>& info) { return std::string(info.param.name); });

} // namespace

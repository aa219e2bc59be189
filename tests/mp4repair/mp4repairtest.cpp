// The repair program against made recordings whose index is gone: whatever was whole in the broken
// file comes back, in order, byte for byte and with its timing, and FFmpeg decodes the result to
// its end. With "-acodec adpcm_ima_wav" the sound comes back as IMA ADPCM that sounds as the
// original did, at the original's time.

#include "mediaprobe.h"

#include "platform/base/filesystem.h"
#include "platform/base/process.h"
#include "platform/base/unicode.h"
#include "support/testfolder.h"
#include "tools/fixtures/moviemaker.h"
#include "tools/fixtures/testtone.h"
#include "tools/mp4repair/referencemovie.h"
#include "tools/mp4repair/soundconverter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
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

// The first channel of the first sound stream as FFmpeg plays it, in 16 bits, with the facts of
// its coding.
struct Sound {
    std::vector<int16_t> samples;
    int rate = 0;
    int channels = 0;
    int blockAlign = 0;
    int64_t duration = -1; // microseconds, as the index gives it
};

int16_t FirstChannelSample(const AVFrame& frame, int index) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int at = av_sample_fmt_is_planar(format) ? index : index * frame.ch_layout.nb_channels;
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_S16:
        return reinterpret_cast<const int16_t*>(frame.extended_data[0])[at];
    case AV_SAMPLE_FMT_FLT:
        return static_cast<int16_t>(std::lround(
            std::clamp(reinterpret_cast<const float*>(frame.extended_data[0])[at], -1.0f, 1.0f) * 32767.0f));
    default:
        ADD_FAILURE() << "unexpected sample format " << frame.format;
        return 0;
    }
}

Sound DecodeSound(const fs::path& path) {
    Sound sound;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return sound;
    const int index = avformat_find_stream_info(format, nullptr) >= 0
                          ? av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)
                          : -1;
    const AVCodec* codec =
        index >= 0 ? avcodec_find_decoder(format->streams[index]->codecpar->codec_id) : nullptr;
    AVCodecContext* decoder = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    if (decoder != nullptr && avcodec_parameters_to_context(decoder, format->streams[index]->codecpar) >= 0 &&
        avcodec_open2(decoder, codec, nullptr) >= 0) {
        const AVStream* stream = format->streams[index];
        sound.rate = stream->codecpar->sample_rate;
        sound.channels = stream->codecpar->ch_layout.nb_channels;
        sound.blockAlign = stream->codecpar->block_align;
        if (stream->duration > 0)
            sound.duration = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000000});
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        const auto drain = [&]() {
            while (avcodec_receive_frame(decoder, frame) >= 0) {
                for (int i = 0; i < frame->nb_samples; ++i)
                    sound.samples.push_back(FirstChannelSample(*frame, i));
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(decoder, packet) >= 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        drain();
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return sound;
}

// How closely the repaired sound over [at + shift, at + shift + count) follows the original's
// [at, at + count), in decibels; infinite where they are equal.
double SignalToNoise(const Sound& original, const Sound& repaired, int64_t at, int64_t shift, int64_t count) {
    double signal = 0;
    double noise = 0;
    for (int64_t i = at; i < at + count; ++i) {
        const double want = original.samples[static_cast<size_t>(i)];
        const int64_t there = i + shift;
        const double got = there >= 0 && there < static_cast<int64_t>(repaired.samples.size())
                               ? repaired.samples[static_cast<size_t>(there)]
                               : 0.0;
        signal += want * want;
        noise += (want - got) * (want - got);
    }
    return noise == 0 ? INFINITY : 10 * std::log10(signal / noise);
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

// The two command lines the viewer gives: the sound copied, or converted to IMA ADPCM.
enum class Line { Copy, Adpcm };

int Repair(const fs::path& reference, const fs::path& broken, const fs::path& output, Line line) {
    std::vector<std::wstring> arguments = {FileSystem::ProgramFolder() + L"/mp4repair",
                                           L"-y",
                                           L"-i",
                                           WideFromUtf8(reference.string()),
                                           L"-broken",
                                           WideFromUtf8(broken.string())};
    for (const wchar_t* option :
         line == Line::Copy ? std::vector<const wchar_t*>{L"-broken_aac", L"aac", L"-codec", L"copy"}
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
    bool pcm; // 16-bit PCM sound rather than AAC
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
        options.pcmAudio = family.pcm;
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
        m_sound = DecodeSound(m_original);
        ASSERT_GT(m_sound.rate, 0);
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

    // Repairs the broken bytes with each command line and checks the result against the expected
    // packets.
    void Check(const Bytes& broken, const std::vector<Packet>& expected, Timing timing,
               const std::string& what, const std::vector<Line>& lines = {Line::Copy, Line::Adpcm}) {
        for (Line line : lines)
            CheckLine(broken, expected, timing, what + (line == Line::Copy ? " (copy)" : " (adpcm)"), line);
    }

    void CheckLine(const Bytes& broken, const std::vector<Packet>& expected, Timing timing,
                   const std::string& what, Line line) {
        const fs::path brokenPath = m_folder / "broken.mov";
        const fs::path output = m_folder / "repaired.mov";
        Write(brokenPath, broken);
        ASSERT_EQ(Repair(m_reference, brokenPath, output, line), 0) << what;
        const std::vector<Packet> repaired = ReadPackets(output);
        // PCM and converted sound come in chunks of the repair's own making: they are compared
        // as sound, below.
        const bool soundAsPackets = line == Line::Copy && !GetParam().pcm;
        for (bool video : {true, false}) {
            if (!video && !soundAsPackets)
                continue;
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
        if (!soundAsPackets)
            CheckSound(output, expected, timing == Timing::Same, what, line);
        // Where FFmpeg's programs are installed, they decode the result to its end.
        static const bool haveTools = HaveFfmpegTools();
        if (haveTools) {
            EXPECT_TRUE(DecodesToTheEnd(output, {0, 1})) << what;
            if (line == Line::Adpcm) {
                const auto streams = ProbeStreams(output);
                ASSERT_TRUE(streams && streams->size() >= 2) << what;
                EXPECT_EQ((*streams)[1].codec, "adpcm_ima_wav") << what;
            }
        }
    }

    // Each whole sound packet of the original sounds in the repaired file at its time: PCM copied
    // is equal to the sample, converted sound within IMA ADPCM's error. After damage the time is
    // estimated: the sound may be shifted, by two AAC frames or two pictures' worth at most.
    void CheckSound(const fs::path& output, const std::vector<Packet>& expected, bool sameTiming,
                    const std::string& what, Line line) {
        const Sound repaired = DecodeSound(output);
        ASSERT_EQ(repaired.rate, m_sound.rate) << what;
        ASSERT_EQ(repaired.channels, m_sound.channels) << what;
        const std::vector<Packet> all = OfKind(m_packets, false);
        const std::vector<Packet> want = OfKind(expected, false);
        ASSERT_GE(want.size(), 2u) << what;
        const auto toSamples = [this](int64_t microseconds) {
            return static_cast<int64_t>(std::llround(static_cast<double>(microseconds) * m_sound.rate / 1e6));
        };
        const int64_t packetLength = toSamples(all[2].dts - all[1].dts);
        // Two AAC frames, or two pictures' worth of PCM.
        const std::vector<Packet> pictures = OfKind(m_packets, true);
        const int64_t tolerance =
            sameTiming ? 0 : 2 * std::max(packetLength, toSamples(pictures[1].dts - pictures[0].dts)) + 1;
        int64_t blockLength = 0;
        if (line == Line::Adpcm) {
            ASSERT_GT(repaired.blockAlign, 4 * repaired.channels) << what;
            // Each block holds its first sample in its header, and two samples a byte after it.
            blockLength = (repaired.blockAlign - 4 * repaired.channels) * 2 / repaired.channels + 1;
        }
        size_t next = 0; // in all the original's sound packets
        int64_t shift = 0;
        bool compared = false;
        int64_t soundEnd = 0;
        for (const Packet& packet : want) {
            while (next < all.size() && all[next].position != packet.position)
                ++next;
            ASSERT_LT(next, all.size()) << what;
            const int64_t at = toSamples(packet.dts);
            const int64_t count = std::min<int64_t>(
                toSamples(next + 1 < all.size() ? all[next + 1].dts : m_sound.duration) - at,
                static_cast<int64_t>(m_sound.samples.size()) - at);
            const bool lossBefore =
                next > 0 && std::find(expected.begin(), expected.end(), all[next - 1]) == expected.end();
            ++next;
            // The repair knows no shorter last AAC frame: each lasts as long as the others.
            soundEnd =
                at + (GetParam().pcm ? static_cast<int64_t>(packet.data.size()) / (2 * m_sound.channels)
                                     : packetLength);
            // AAC overlaps each frame with the one before: the first frame after a loss, and the
            // encoder's priming, sound as they were only with their neighbours.
            if (at < 0 || count <= 0 || (lossBefore && !GetParam().pcm))
                continue;
            // IMA ADPCM begins, and comes out of silence, with its smallest step: it takes a few
            // dozen samples to reach the tone's level.
            const int64_t settle = line == Line::Adpcm && (lossBefore || !compared) ? 100 : 0;
            compared = true;
            const bool exact = line == Line::Copy && GetParam().pcm;
            const auto good = [&](double ratio) { return exact ? ratio == INFINITY : ratio > 30.0; };
            double ratio = SignalToNoise(m_sound, repaired, at + settle, shift, count - settle);
            // Where the shift so far does not fit, the estimate after damage gave another.
            if (!good(ratio) && tolerance > 0) {
                for (int64_t s = -tolerance; s <= tolerance; ++s) {
                    const double tried = SignalToNoise(m_sound, repaired, at + settle, s, count - settle);
                    if (tried > ratio) {
                        ratio = tried;
                        shift = s;
                    }
                }
            }
            EXPECT_TRUE(good(ratio)) << what << " sound at " << at << " shifted by " << shift << ": " << ratio
                                     << " dB";
        }
        // The sound lasts as long as what was recovered of it, to a whole block. PCM is kept to
        // the last whole sample frame, also of a packet cut short.
        const int64_t duration = toSamples(repaired.duration);
        EXPECT_GE(duration, soundEnd + shift) << what;
        if (!GetParam().pcm || want.size() == all.size()) {
            EXPECT_LE(duration, soundEnd + shift + std::max<int64_t>(blockLength, 1)) << what;
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
    Sound m_sound;
};

TEST_P(Mp4RepairTest, ARecordingWithoutItsIndexComesBackWholeWithTheRecordersBoxes) {
    Check(m_indexless, m_packets, Timing::Same, "index dropped");
    // The converted sound, made last, lasts as long as the video, to a whole block; from AAC also
    // the encoder's last frame, whose true length only the lost index knew, lasts a whole frame.
    const Sound converted = DecodeSound(m_folder / "repaired.mov");
    const std::vector<Packet> video = OfKind(m_packets, true);
    const int64_t videoEnd = 2 * video.back().dts - video[video.size() - 2].dts;
    const int64_t block = (converted.blockAlign - 4 * converted.channels) * 2 / converted.channels + 1;
    const int64_t aacFrame = GetParam().pcm ? 0 : 1024;
    EXPECT_GE(converted.duration, videoEnd);
    EXPECT_LE(converted.duration, videoEnd + (block + aacFrame) * 1000000 / converted.rate + 1);
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
    // Converting the sound is checked where a cut ends the sound: in a frame and after one.
    for (const auto& [what, cut] : cuts)
        Check(m_indexless.substr(0, cut), Whole(cut), Timing::Same, what,
              what.find("sound frame") != std::string::npos ? std::vector<Line>{Line::Copy, Line::Adpcm}
                                                            : std::vector<Line>{Line::Copy});
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

// Damage that ends in what reads as the start of a picture, one whose first unit runs on into the
// intact pictures after it: found while the scan looks for its footing, such a picture is not
// confirmed by what follows it, so it is passed over as damage and the pictures it spans are kept.
TEST_P(Mp4RepairTest, APictureStartInTheDamageDoesNotTakeThePicturesAfterIt) {
    const std::vector<Packet> video = OfKind(m_packets, true);
    const uint64_t begin = static_cast<uint64_t>(video[20].position);
    const uint64_t end = static_cast<uint64_t>(video[21].position);
    Bytes broken = m_indexless;
    std::fill(broken.begin() + static_cast<std::ptrdiff_t>(begin),
              broken.begin() + static_cast<std::ptrdiff_t>(end), '\0');
    // A four-byte length reaching into picture 30, and the header of a first slice.
    const uint64_t fake = end - 7;
    const uint64_t length = static_cast<uint64_t>(video[30].position) + 7 - (fake + 4);
    const bool hevc = GetParam().codec == fixtures::VideoCodec::Hevc;
    const uint8_t unit[7] = {static_cast<uint8_t>(length >> 24),
                             static_cast<uint8_t>(length >> 16),
                             static_cast<uint8_t>(length >> 8),
                             static_cast<uint8_t>(length),
                             hevc ? uint8_t{0x02} : uint8_t{0x41},
                             hevc ? uint8_t{0x01} : uint8_t{0x80},
                             0x80};
    for (size_t i = 0; i < sizeof unit; ++i)
        broken[fake + i] = static_cast<char>(unit[i]);
    Check(broken, Whole(broken.size(), begin, end), Timing::Estimated, "a picture start in the damage");
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

// Boxes of a reference recording made by hand, for sound descriptions the fixture maker does not
// write.
mp4repair::Bytes BigEndian(uint64_t value, int bytes) {
    mp4repair::Bytes out;
    for (int b = bytes - 1; b >= 0; --b)
        out.push_back(static_cast<uint8_t>(value >> (8 * b)));
    return out;
}

mp4repair::Bytes Box(const char* type, std::initializer_list<mp4repair::Bytes> parts) {
    mp4repair::Bytes payload;
    for (const mp4repair::Bytes& part : parts)
        payload.insert(payload.end(), part.begin(), part.end());
    mp4repair::Bytes box = BigEndian(8 + payload.size(), 4);
    box.insert(box.end(), type, type + 4);
    box.insert(box.end(), payload.begin(), payload.end());
    return box;
}

mp4repair::Bytes Zeros(size_t count) {
    return mp4repair::Bytes(count, 0);
}

mp4repair::Bytes Track(const char* handler, const mp4repair::Bytes& entry) {
    const bool video = std::string(handler) == "vide";
    return Box(
        "trak",
        {Box("tkhd", {Zeros(84)}),
         Box("mdia", {Box("mdhd", {Zeros(12), BigEndian(1000, 4), Zeros(8)}),
                      Box("hdlr", {Zeros(8), mp4repair::Bytes(handler, handler + 4), Zeros(13)}),
                      Box("minf", {Box(video ? "vmhd" : "smhd", {Zeros(video ? 12 : 8)}), Box("dinf", {}),
                                   Box("stbl", {Box("stsd", {Zeros(4), BigEndian(1, 4), entry}),
                                                Box("stts", {Zeros(4), BigEndian(1, 4), BigEndian(1, 4),
                                                             BigEndian(40, 4)})})})})});
}

// The sound descriptions of integer PCM in the ISO layout and of 'lpcm' in QuickTime's version 2
// give the format their samples are read in.
TEST(ReferenceSound, PcmDescriptionsGiveTheirSampleLayout) {
    const auto isoEntry = [](std::initializer_list<mp4repair::Bytes> children) {
        mp4repair::Bytes fields = Zeros(28);
        fields[17] = 2;  // channels
        fields[19] = 16; // sample size, which a pcmC box overrides
        const mp4repair::Bytes rate = BigEndian(uint64_t{48000} << 16, 4);
        std::copy(rate.begin(), rate.end(), fields.begin() + 24);
        mp4repair::Bytes entry = Box("ipcm", {fields});
        for (const mp4repair::Bytes& child : children)
            entry.insert(entry.end(), child.begin(), child.end());
        const mp4repair::Bytes size = BigEndian(entry.size(), 4);
        std::copy(size.begin(), size.end(), entry.begin());
        return entry;
    };
    double rate = 44100;
    uint64_t rateBits;
    std::memcpy(&rateBits, &rate, sizeof rateBits);
    mp4repair::Bytes lpcm = Zeros(64);
    lpcm[9] = 2; // version 2
    const auto put = [&](size_t at, const mp4repair::Bytes& value) {
        std::copy(value.begin(), value.end(), lpcm.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(32, BigEndian(rateBits, 8));
    put(40, BigEndian(1, 4));
    put(48, BigEndian(24, 4));
    put(52, BigEndian(2 | 4, 4));
    struct Case {
        const char* what;
        mp4repair::Bytes entry;
        int bits;
        uint32_t flags;
        uint32_t rate;
        int channels;
    };
    const Case cases[] = {
        {"ipcm, little-endian 24-bit by its pcmC", isoEntry({Box("pcmC", {Zeros(4), {1, 24}})}), 24, 4, 48000,
         2},
        {"ipcm, big-endian by its pcmC", isoEntry({Box("pcmC", {Zeros(4), {0, 16}})}), 16, 2 | 4, 48000, 2},
        {"ipcm without a pcmC", isoEntry({}), 16, 2 | 4, 48000, 2},
        {"lpcm version 2", Box("lpcm", {lpcm}), 24, 2 | 4, 44100, 1},
    };
    for (const Case& c : cases) {
        const mp4repair::Bytes file = Box("ftyp", {mp4repair::Bytes{'q', 't', ' ', ' '}, Zeros(4)});
        mp4repair::Bytes whole = file;
        const mp4repair::Bytes moov =
            Box("moov", {Track("vide", Box("avc1", {Zeros(78)})), Track("soun", c.entry)});
        whole.insert(whole.end(), moov.begin(), moov.end());
        mp4repair::ReferenceMovie reference;
        ASSERT_TRUE(mp4repair::ReadReference(whole, reference)) << c.what;
        ASSERT_EQ(reference.soundKind, mp4repair::SoundKind::Pcm) << c.what;
        EXPECT_EQ(reference.sound->sampleBits, c.bits) << c.what;
        EXPECT_EQ(reference.sound->lpcmFlags, c.flags) << c.what;
        EXPECT_EQ(reference.sound->sampleRate, c.rate) << c.what;
        EXPECT_EQ(reference.sound->channels, c.channels) << c.what;
    }
}

// Every PCM layout a recorder may write reads as the same sound: the tone in 8 bits' precision,
// laid out in each, converts to the very blocks it gives as 16-bit little-endian samples.
TEST(SoundConverter, EveryPcmLayoutReadsAsTheSameSound) {
    struct Layout {
        const char* format;
        int bits;
        uint32_t flags; // 'lpcm': 1 floating point, 2 big-endian, 4 signed
    };
    const Layout layouts[] = {{"sowt", 16, 0},     {"twos", 16, 0}, {"twos", 8, 0},      {"raw ", 8, 0},
                              {"sowt", 24, 0},     {"lpcm", 24, 4}, {"lpcm", 32, 2 | 4}, {"lpcm", 32, 1},
                              {"lpcm", 64, 1 | 2}, {"ipcm", 16, 4}, {"ipcm", 24, 2 | 4}};
    constexpr int kRate = 22050;
    constexpr int kFrames = 5000;
    std::vector<int> tone;
    for (int i = 0; i < kFrames; ++i)
        tone.push_back(static_cast<int>(std::lround(fixtures::TestToneSample(i, kRate) * 127)) * 256);
    std::vector<uint8_t> first;
    mp4repair::CodecLibrary codecs;
    for (const Layout& layout : layouts) {
        const std::string what = std::string(layout.format) + " " + std::to_string(layout.bits);
        const bool floating = std::string(layout.format) == "lpcm" && (layout.flags & 1) != 0;
        const bool bigEndian = std::string(layout.format) == "twos" || (layout.flags & 2) != 0;
        const int bytes = layout.bits / 8;
        std::vector<uint8_t> data;
        for (int value : tone) {
            uint64_t raw;
            if (floating && bytes == 4) {
                const float f = static_cast<float>(value / 32767.0);
                uint32_t word;
                std::memcpy(&word, &f, sizeof word);
                raw = word;
            } else if (floating) {
                const double d = value / 32767.0;
                std::memcpy(&raw, &d, sizeof raw);
            } else {
                const int64_t scaled =
                    static_cast<int64_t>(value) * (int64_t{1} << (layout.bits - 16 + 8)) / 256;
                raw = static_cast<uint64_t>(std::string(layout.format) == "raw " ? scaled + 128 : scaled);
            }
            for (int b = 0; b < bytes; ++b)
                data.push_back(static_cast<uint8_t>(raw >> (8 * (bigEndian ? bytes - 1 - b : b))));
        }
        mp4repair::ReferenceTrack track;
        track.format = layout.format;
        track.channels = 1;
        track.sampleBits = layout.bits;
        track.sampleRate = kRate;
        track.lpcmFlags = layout.flags;
        mp4repair::SoundConverter converter(codecs, track, mp4repair::SoundKind::Pcm);
        ASSERT_TRUE(converter.Ready()) << what;
        converter.Add(data.data(), data.size(), 0, kFrames);
        converter.Finish(kFrames);
        const std::vector<uint8_t> blocks = converter.TakeBlocks();
        ASSERT_EQ(blocks.size() % converter.BlockAlign(), 0u) << what;
        ASSERT_EQ(blocks.size() / converter.BlockAlign(),
                  (kFrames + converter.SamplesPerBlock() - 1) / converter.SamplesPerBlock())
            << what;
        if (first.empty())
            first = blocks;
        EXPECT_EQ(blocks, first) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(RecorderFamilies, Mp4RepairTest,
                         testing::Values(Family{"Model0H264Mp4", 0, fixtures::VideoCodec::H264,
                                                fixtures::MovieContainer::Mp4, 22050, 1, false},
                                         Family{"Model1HevcMov", 1, fixtures::VideoCodec::Hevc,
                                                fixtures::MovieContainer::Mov, 48000, 2, false},
                                         Family{"Model2H264Mov", 2, fixtures::VideoCodec::H264,
                                                fixtures::MovieContainer::Mov, 44100, 1, false},
                                         Family{"Model1HevcMovPcm", 1, fixtures::VideoCodec::Hevc,
                                                fixtures::MovieContainer::Mov, 48000, 2, true},
                                         Family{"Model2H264MovPcm", 2, fixtures::VideoCodec::H264,
                                                fixtures::MovieContainer::Mov, 22050, 1, true}),
                         [](const testing::TestParamInfo<Family>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

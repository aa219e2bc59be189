#include "recorderavifile.h"

#include "tools/fixtures/videoencoder.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr int kSoundRate = 16000;

void PutU16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutId(Bytes& out, const std::string& id) {
    for (size_t i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(i < id.size() ? id[i] : ' '));
}

void SetU32(Bytes& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string IdAt(const Bytes& bytes, size_t offset) {
    return std::string(reinterpret_cast<const char*>(&bytes[offset]), 4);
}

// strh: type, handler, flags, priority, language, initial frames, scale, rate, start, length,
// buffer size, quality, sample size, frame rectangle.
void PutStreamHeader(Bytes& out, const std::string& type, const std::string& handler, uint32_t rate,
                     uint32_t length, uint32_t sampleSize, int width, int height) {
    PutId(out, "strh");
    PutU32(out, 56);
    PutId(out, type);
    PutId(out, handler);
    PutU32(out, 0);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, 0);
    PutU32(out, 1);
    PutU32(out, rate);
    PutU32(out, 0);
    PutU32(out, length);
    PutU32(out, 0x10000);
    PutU32(out, 0xFFFFFFFF);
    PutU32(out, sampleSize);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, static_cast<uint16_t>(width));
    PutU16(out, static_cast<uint16_t>(height));
}

int StreamOf(const std::string& id) {
    return (id[0] - '0') * 10 + (id[1] - '0');
}

} // namespace

Bytes MakeRecorderAvi(const RecorderAviOptions& options, const std::vector<AviChunk>& chunks) {
    const int v = options.videoStreams;
    std::vector<uint32_t> counts(v + 2, 0);
    for (const auto& chunk : chunks) {
        const int stream = StreamOf(chunk.id);
        if (stream >= 0 && stream < v + 2)
            ++counts[stream];
    }
    Bytes out;
    PutId(out, "RIFF");
    PutU32(out, 0);
    PutId(out, "AVI ");
    PutId(out, "LIST");
    PutU32(out, 0);
    PutId(out, "hdrl");
    PutId(out, "avih");
    PutU32(out, 56);
    PutU32(out, 1000000 / options.fps);
    PutU32(out, 4000000);
    PutU32(out, 0);
    PutU32(out, 0x10);
    PutU32(out, counts[0]);
    PutU32(out, 0);
    PutU32(out, options.streamCount != 0 ? options.streamCount : static_cast<uint32_t>(v + 2));
    PutU32(out, 0x100000);
    PutU32(out, static_cast<uint32_t>(options.width));
    PutU32(out, static_cast<uint32_t>(options.height));
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);
    for (int s = 0; s < v; ++s) {
        PutId(out, "LIST");
        PutU32(out, 116);
        PutId(out, "strl");
        PutStreamHeader(out, "vids", options.videoHandler, static_cast<uint32_t>(options.fps), counts[s], 0,
                        options.width, options.height);
        PutId(out, "strf");
        PutU32(out, 40);
        PutU32(out, 40);
        PutU32(out, static_cast<uint32_t>(options.width));
        PutU32(out, static_cast<uint32_t>(options.height));
        PutU16(out, 1);
        PutU16(out, 24);
        PutId(out, options.videoHandler);
        PutU32(out, static_cast<uint32_t>(options.width * options.height * 3));
        for (int i = 0; i < 4; ++i)
            PutU32(out, 0);
    }
    PutId(out, "LIST");
    PutU32(out, 94);
    PutId(out, "strl");
    PutStreamHeader(out, "auds", std::string(4, '\0'), kSoundRate, counts[v] * 533, 2, 0, 0);
    PutId(out, "strf");
    PutU32(out, 18);
    PutU16(out, 1);
    PutU16(out, 1);
    PutU32(out, kSoundRate);
    PutU32(out, kSoundRate * 2);
    PutU16(out, 2);
    PutU16(out, 16);
    PutU16(out, 0);
    PutId(out, "LIST");
    PutU32(out, 76);
    PutId(out, "strl");
    PutStreamHeader(out, "txts", "XBLB", static_cast<uint32_t>(options.fps), counts[v + 1], 0, 0, 0);
    PutId(out, "strf");
    PutU32(out, 0);
    if (options.titleListContent != 0) {
        PutId(out, "LIST");
        PutU32(out, options.titleListContent + 4);
        PutId(out, "INFO");
        PutId(out, "INAM");
        PutU32(out, options.titleListContent - 8);
        out.resize(out.size() + options.titleListContent - 8, 'x');
    }
    SetU32(out, 16, static_cast<uint32_t>(out.size() - 20));
    PutId(out, "LIST");
    const size_t moviSizeAt = out.size();
    PutU32(out, 0);
    PutId(out, "movi");
    std::vector<size_t> offsets;
    for (const auto& chunk : chunks) {
        offsets.push_back(out.size());
        PutId(out, chunk.id);
        PutU32(out, static_cast<uint32_t>(chunk.data.size()));
        out.insert(out.end(), chunk.data.begin(), chunk.data.end());
    }
    SetU32(out, moviSizeAt, static_cast<uint32_t>(out.size() - moviSizeAt - 4));
    if (options.index) {
        PutId(out, "idx1");
        PutU32(out, static_cast<uint32_t>(chunks.size() * 16));
        for (size_t i = 0; i < chunks.size(); ++i) {
            PutId(out, chunks[i].id);
            PutU32(out, chunks[i].indexFlags);
            PutU32(out, static_cast<uint32_t>(offsets[i] - moviSizeAt - 4));
            PutU32(out, static_cast<uint32_t>(chunks[i].data.size()));
        }
    }
    SetU32(out, 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

std::vector<AviChunk> MakeFrames(int videoStreams, int frames, uint32_t videoSize, int keyInterval) {
    std::vector<AviChunk> chunks;
    char id[16];
    for (int f = 0; f < frames; ++f) {
        const bool key = f % keyInterval == 0;
        for (int s = 0; s < videoStreams; ++s) {
            Bytes data(videoSize);
            for (uint32_t i = 0; i < videoSize; ++i)
                data[i] = static_cast<uint8_t>(f * 7 + s * 31 + i);
            if (videoSize > 103)
                data[103] = key ? 0x26 : 0x02;
            std::snprintf(id, sizeof id, "%02ddc", s);
            chunks.push_back({id, std::move(data), key ? 0x10u : 0u});
        }
        std::snprintf(id, sizeof id, "%02dwb", videoStreams);
        chunks.push_back({id, Bytes(64 + f % 3, static_cast<uint8_t>(f)), 0x10});
        std::snprintf(id, sizeof id, "%02dtx", videoStreams + 1);
        chunks.push_back({id, Bytes(400, static_cast<uint8_t>('a' + f % 26)), 0x10});
    }
    return chunks;
}

std::vector<AviChunk> MakeEncodedFrames(int videoStreams, int frames, int width, int height, int fps) {
    fixtures::QuietCodecLogs();
    fixtures::VideoOptions video;
    video.width = width;
    video.height = height;
    video.frameCount = frames;
    video.fps = fps;
    video.codec = fixtures::VideoCodec::Hevc;
    std::vector<std::vector<AviChunk>> streams(videoStreams);
    char id[16];
    for (int s = 0; s < videoStreams; ++s) {
        fixtures::VideoEncoder encoder(video, s, false);
        std::snprintf(id, sizeof id, "%02ddc", s);
        const std::string videoId = id;
        auto sink = [&](const AVPacket& packet) {
            streams[s].push_back({videoId, Bytes(packet.data, packet.data + packet.size),
                                  (packet.flags & AV_PKT_FLAG_KEY) != 0 ? 0x10u : 0u});
        };
        for (int f = 0; f < frames; ++f)
            encoder.EncodeFrame(f, sink);
        encoder.Flush(sink);
        if (static_cast<int>(streams[s].size()) != frames)
            throw std::runtime_error("the encoder did not give one packet a frame");
    }
    std::vector<AviChunk> chunks;
    for (int f = 0; f < frames; ++f) {
        for (int s = 0; s < videoStreams; ++s)
            chunks.push_back(std::move(streams[s][f]));
        Bytes sound;
        for (int n = f * kSoundRate / fps; n < (f + 1) * kSoundRate / fps; ++n)
            PutU16(sound, static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(n * 0.05))));
        std::snprintf(id, sizeof id, "%02dwb", videoStreams);
        chunks.push_back({id, std::move(sound), 0x10});
        Bytes text(400, 0);
        const std::string when = "2023/05/24 12:30:" + std::to_string(10 + f / fps);
        std::copy(when.begin(), when.end(), text.begin() + 4);
        std::snprintf(id, sizeof id, "%02dtx", videoStreams + 1);
        chunks.push_back({id, std::move(text), 0x10});
    }
    return chunks;
}

uint32_t U32At(const Bytes& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        throw std::runtime_error("read past the end at " + std::to_string(offset));
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

ParsedAvi ParseAvi(const Bytes& file) {
    auto need = [&](size_t end) {
        if (end > file.size())
            throw std::runtime_error("a size points past the end of the file");
    };
    ParsedAvi avi;
    need(12);
    if (IdAt(file, 0) != "RIFF" || IdAt(file, 8) != "AVI ")
        throw std::runtime_error("not an AVI file");
    avi.riffSize = U32At(file, 4);
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const std::string id = IdAt(file, at);
        const uint32_t size = U32At(file, at + 4);
        need(at + 8 + size);
        const std::string type = size >= 4 ? IdAt(file, at + 8) : "";
        if (id == "LIST" && type == "hdrl") {
            avi.headerListSize = size;
            avi.headerListEnd = at + 8 + size;
            size_t inner = at + 12;
            while (inner + 8 <= avi.headerListEnd) {
                const std::string innerId = IdAt(file, inner);
                const uint32_t innerSize = U32At(file, inner + 4);
                need(inner + 8 + innerSize);
                if (innerId == "avih") {
                    avi.totalFrames = U32At(file, inner + 8 + 16);
                    avi.streams = U32At(file, inner + 8 + 24);
                } else if (innerId == "LIST" && IdAt(file, inner + 8) == "strl") {
                    avi.streamTypes.push_back(IdAt(file, inner + 20));
                    avi.streamLengths.push_back(U32At(file, inner + 20 + 32));
                    avi.streamLists.emplace_back(file.begin() + inner, file.begin() + inner + 8 + innerSize);
                } else if (innerId == "LIST" && IdAt(file, inner + 8) == "INFO" &&
                           IdAt(file, inner + 12) == "INAM") {
                    const uint32_t length = U32At(file, inner + 16);
                    need(inner + 20 + length);
                    avi.title.assign(reinterpret_cast<const char*>(&file[inner + 20]), length);
                }
                inner += 8 + innerSize;
            }
        } else if (id == "LIST" && type == "movi") {
            avi.moviFourCC = at + 8;
            avi.moviSize = size;
            size_t chunk = at + 12;
            while (chunk + 8 <= at + 8 + size) {
                const uint32_t chunkSize = U32At(file, chunk + 4);
                need(chunk + 8 + chunkSize);
                avi.chunks.push_back({IdAt(file, chunk), chunk,
                                      Bytes(file.begin() + chunk + 8, file.begin() + chunk + 8 + chunkSize)});
                chunk += 8 + chunkSize;
            }
        } else if (id == "idx1") {
            avi.hasIndex = true;
            avi.indexEnd = at + 8 + size;
            for (size_t entry = at + 8; entry + 16 <= avi.indexEnd; entry += 16)
                avi.index.push_back({IdAt(file, entry), U32At(file, entry + 4), U32At(file, entry + 8),
                                     U32At(file, entry + 12)});
        }
        at += 8 + size;
    }
    return avi;
}

Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

#pragma once
// AVI recordings in the exact layout of the recorder model 3 (video stream lists of 124 bytes with
// the "hev1" codec, a sound list of 102 bytes, a "txts" list of 84 bytes, chunks without pad
// bytes), and a reader that takes any RIFF file apart by its sizes alone, so the tools' output is
// checked without their own code.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct AviChunk {
    std::string id;
    Bytes data;
    uint32_t indexFlags = 0x10;
};

struct RecorderAviOptions {
    int videoStreams = 1;
    uint32_t streamCount = 0; // 0: videoStreams + 2
    int width = 320;
    int height = 180;
    int fps = 30;
    std::string videoHandler = "hev1";
    // Written between the stream lists and "movi", inside the header list, as the channel copy
    // writes its title: a "LIST" "INFO" whose content is this many bytes (0: none).
    uint32_t titleListContent = 0;
    bool index = true; // idx1 over every chunk, offsets from the "movi" fourcc
};

Bytes MakeRecorderAvi(const RecorderAviOptions& options, const std::vector<AviChunk>& chunks);

// Chunks as the recorder writes a frame: the video of each stream, then sound, then text. Video
// chunks are `videoSize` bytes, key frames (every `keyInterval`) carrying 0x26 at byte 103.
std::vector<AviChunk> MakeFrames(int videoStreams, int frames, uint32_t videoSize = 160,
                                 int keyInterval = 10);

// HEVC frames of the fixture encoder, PCM sound and 400-byte text records, as real recordings
// hold them; players decode them.
std::vector<AviChunk> MakeEncodedFrames(int videoStreams, int frames, int width, int height, int fps);

struct AviIndexEntry {
    std::string id;
    uint32_t flags = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
};

struct ParsedChunk {
    std::string id;
    size_t offset = 0; // of the id
    Bytes data;
};

struct ParsedAvi {
    uint32_t riffSize = 0;
    uint32_t headerListSize = 0;
    size_t headerListEnd = 0; // where the header list ends by its size
    uint32_t totalFrames = 0;
    uint32_t streams = 0;
    std::vector<std::string> streamTypes; // "vids", "auds", "txts" in order
    std::vector<uint32_t> streamLengths;
    std::vector<Bytes> streamLists; // each stream list, whole
    std::string title;              // of an "INAM" in an "INFO" list inside the header list
    size_t moviFourCC = 0;          // offset of "movi"
    uint32_t moviSize = 0;
    std::vector<ParsedChunk> chunks;
    bool hasIndex = false;
    size_t indexEnd = 0; // where idx1 ends by its size
    std::vector<AviIndexEntry> index;
};

// Walks the file by its sizes; throws std::runtime_error when a size points outside the file.
ParsedAvi ParseAvi(const Bytes& file);

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
uint32_t U32At(const Bytes& bytes, size_t offset);

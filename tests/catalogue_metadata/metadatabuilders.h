#pragma once
// Small hand-built recordings for the metadata readers: MP4 boxes and AVI chunks put together byte
// by byte, so a test can damage exactly the field it is about.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace metadata_test {

using Bytes = std::string;

Bytes Be32(uint32_t value);
Bytes Be64(uint64_t value);
Bytes Le32(uint32_t value);
Bytes LeFloat(float value);

// A box with its size field made from the payload (8-byte header), or with a 64-bit size field.
Bytes Box(const std::string& type, const Bytes& payload);
Bytes Box64(const std::string& type, const Bytes& payload);
// A box whose 32-bit size field says whatever the test wants.
Bytes BoxWithSize(uint32_t size, const std::string& type, const Bytes& payload);

// hdlr with a component type (4 zero bytes for MP4, "mhlr" for MOV) and a handler type.
Bytes Handler(const Bytes& component, const std::string& handler);
// A track: trak > mdia > hdlr + minf > stbl > stsd (first entry of the format) + stsz (count).
Bytes Track(const std::string& handler, uint32_t sampleCount, const std::string& format,
            const Bytes& component = Bytes(4, '\0'));

// One GPSR record: [4 bytes][text length][text]; the length field says `length` when given.
Bytes GpsRecordBytes(const std::string& text, std::optional<int32_t> length = std::nullopt);
Bytes GsensorSampleBytes(float x, float y, float z);

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
// head, a hole of `holeLength` zero bytes that takes no disk space, then tail.
void WriteSparseFile(const std::filesystem::path& path, const Bytes& head, uint64_t holeLength,
                     const Bytes& tail);
Bytes ReadFile(const std::filesystem::path& path);

// An AVI file as model 3 writes it: RIFF 'AVI ', the header list with avih, the 'movi' list with
// the chunks, optional further LISTs, then idx1 with an entry per chunk (offsets from 'movi').
struct AviChunk {
    std::string id; // "00dc", "01dc", "02tx", ...
    Bytes data;
};

struct AviBuild {
    std::vector<AviChunk> chunks;
    int listsBeforeIndex = 0;
    bool index = true;
    uint32_t extraIndexEntries = 0; // entries with the id "JUNK" after the real ones
    std::optional<uint32_t> headerListSize;
    std::optional<uint32_t> movieListSize;
    std::optional<uint32_t> indexSize;
};

// A text chunk's data: the record at the start, or after 32 other bytes; the sentence is copied
// into the 256-byte slot as far as it goes (no terminator when it fills the slot).
Bytes AviTextData(const std::string& sentence, int32_t x, int32_t y, int32_t z, bool leadIn = false,
                  const std::string& year = "20");

Bytes BuildAvi(const AviBuild& build);

} // namespace metadata_test

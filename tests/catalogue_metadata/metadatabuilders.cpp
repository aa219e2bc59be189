#include "metadatabuilders.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace metadata_test {

Bytes Be32(uint32_t value) {
    return Bytes{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                 static_cast<char>(value >> 8), static_cast<char>(value)};
}

Bytes Be64(uint64_t value) {
    return Be32(static_cast<uint32_t>(value >> 32)) + Be32(static_cast<uint32_t>(value));
}

Bytes Le32(uint32_t value) {
    return Bytes{static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                 static_cast<char>(value >> 24)};
}

Bytes LeFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Le32(bits);
}

Bytes Box(const std::string& type, const Bytes& payload) {
    return BoxWithSize(static_cast<uint32_t>(8 + payload.size()), type, payload);
}

Bytes Box64(const std::string& type, const Bytes& payload) {
    return Be32(1) + type + Be64(16 + payload.size()) + payload;
}

Bytes BoxWithSize(uint32_t size, const std::string& type, const Bytes& payload) {
    return Be32(size) + type + payload;
}

Bytes Handler(const Bytes& component, const std::string& handler) {
    return Box("hdlr", Bytes(4, '\0') + component + handler + Bytes(12, '\0'));
}

Bytes Track(const std::string& handler, uint32_t sampleCount, const std::string& format,
            const Bytes& component) {
    const Bytes stsd = Box("stsd", Bytes(4, '\0') + Be32(1) + Be32(16) + format + Bytes(8, '\0'));
    const Bytes stsz = Box("stsz", Bytes(4, '\0') + Be32(0) + Be32(sampleCount));
    return Box("trak",
               Box("tkhd", Bytes(84, '\0')) +
                   Box("mdia", Box("mdhd", Bytes(24, '\0')) + Handler(component, handler) +
                                   Box("minf", Box("stbl", stsd + Box("stts", Bytes(8, '\0')) + stsz))));
}

Bytes GpsRecordBytes(const std::string& text, std::optional<int32_t> length) {
    return Le32(0x1234) + Le32(static_cast<uint32_t>(length.value_or(static_cast<int32_t>(text.size())))) +
           text;
}

Bytes GsensorSampleBytes(float x, float y, float z) {
    return LeFloat(x) + LeFloat(y) + LeFloat(z) + Bytes(12, 'r');
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void WriteSparseFile(const std::filesystem::path& path, const Bytes& head, uint64_t holeLength,
                     const Bytes& tail) {
    WriteFile(path, head);
    std::filesystem::resize_file(path, head.size() + holeLength);
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes AviTextData(const std::string& sentence, int32_t x, int32_t y, int32_t z, bool leadIn,
                  const std::string& year) {
    Bytes record(400, '\0');
    record.replace(4, 2, year);
    record.replace(34, std::min<size_t>(sentence.size(), 256), sentence.substr(0, 256));
    record.replace(290, 4, Le32(static_cast<uint32_t>(x)));
    record.replace(294, 4, Le32(static_cast<uint32_t>(y)));
    record.replace(298, 4, Le32(static_cast<uint32_t>(z)));
    return leadIn ? Bytes(32, 'L') + record : record;
}

Bytes BuildAvi(const AviBuild& build) {
    Bytes mainHeader;
    const uint32_t fields[10] = {33333, 0, 0, 0x10, 0, 0, 1, 0, 320, 180};
    for (uint32_t field : fields)
        mainHeader += Le32(field);
    mainHeader += Bytes(16, '\0');
    const Bytes headerContent =
        "hdrl" + ("avih" + Le32(static_cast<uint32_t>(mainHeader.size())) + mainHeader);
    const Bytes headerList =
        "LIST" + Le32(build.headerListSize.value_or(static_cast<uint32_t>(headerContent.size()))) +
        headerContent;

    Bytes movie = "movi";
    Bytes index;
    for (const AviChunk& chunk : build.chunks) {
        index += chunk.id + Le32(0x10) + Le32(static_cast<uint32_t>(movie.size())) +
                 Le32(static_cast<uint32_t>(chunk.data.size()));
        movie += chunk.id + Le32(static_cast<uint32_t>(chunk.data.size())) + chunk.data;
        if (chunk.data.size() % 2)
            movie += '\0';
    }
    for (uint32_t i = 0; i < build.extraIndexEntries; ++i)
        index += "JUNK" + Bytes(12, '\0');
    const Bytes movieList =
        "LIST" + Le32(build.movieListSize.value_or(static_cast<uint32_t>(movie.size()))) + movie;

    Bytes after;
    for (int i = 0; i < build.listsBeforeIndex; ++i)
        after += "LIST" + Le32(12) + "INFO" + "ISFT" + Le32(0);
    if (build.index)
        after += "idx1" + Le32(build.indexSize.value_or(static_cast<uint32_t>(index.size()))) + index;

    const Bytes body = "AVI " + headerList + movieList + after;
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

} // namespace metadata_test

#include "zipbuilder.h"

#include <zlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

std::string Le16(uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}
std::string Le32(uint32_t value) {
    return Le16(static_cast<uint16_t>(value)) + Le16(static_cast<uint16_t>(value >> 16));
}
std::string Le64(uint64_t value) {
    return Le32(static_cast<uint32_t>(value)) + Le32(static_cast<uint32_t>(value >> 32));
}

std::string ExtraRecord(uint16_t id, const std::string& data) {
    return Le16(id) + Le16(static_cast<uint16_t>(data.size())) + data;
}

uint32_t Crc32(const std::string& data) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(stream.total_out);
    return out;
}

namespace {

struct Keys {
    uint32_t k[3] = {0x12345678, 0x23456789, 0x34567890};
    void Update(uint8_t byte) {
        const z_crc_t* table = get_crc_table();
        k[0] = (k[0] >> 8) ^ table[(k[0] ^ byte) & 0xFF];
        k[1] = (k[1] + (k[0] & 0xFF)) * 134775813u + 1;
        k[2] = (k[2] >> 8) ^ table[(k[2] ^ (k[1] >> 24)) & 0xFF];
    }
    uint8_t Stream() const {
        const uint32_t t = (k[2] & 0xFFFF) | 2;
        return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    }
};

} // namespace

std::string TraditionalEncrypt(const std::string& plain, const std::string& password, uint8_t checkByte) {
    Keys keys;
    for (char c : password)
        keys.Update(static_cast<uint8_t>(c));
    std::string header(12, '\0');
    for (size_t i = 0; i < 11; ++i)
        header[i] = static_cast<char>(0x31 * (i + 7));
    header[11] = static_cast<char>(checkByte);
    std::string out;
    for (char c : header + plain) {
        const uint8_t p = static_cast<uint8_t>(c);
        out.push_back(static_cast<char>(p ^ keys.Stream()));
        keys.Update(p);
    }
    return out;
}

std::string BuildZip(const std::vector<ZipBuilderEntry>& entries, const ZipBuilderOptions& options) {
    std::string archive = options.prepended;
    const size_t base = archive.size();
    std::vector<std::string> records;
    for (const ZipBuilderEntry& entry : entries) {
        const uint32_t offset = static_cast<uint32_t>(archive.size() - base);
        const uint32_t trueCrc = Crc32(entry.data);
        uint16_t flags = entry.flags;
        if (!entry.password.empty())
            flags |= 0x0001;
        if (entry.dataDescriptor)
            flags |= 0x0008;
        std::string stored;
        if (entry.rawData) {
            stored = *entry.rawData;
        } else {
            stored = entry.method == 8 ? RawDeflate(entry.data) : entry.data;
            if (!entry.password.empty()) {
                const uint8_t check = entry.dataDescriptor ? static_cast<uint8_t>(entry.modTime >> 8)
                                                           : static_cast<uint8_t>(trueCrc >> 24);
                stored = TraditionalEncrypt(stored, entry.password, check);
            }
        }
        const uint32_t crc = entry.crc.value_or(trueCrc);
        const uint32_t compressed = entry.compressedSize.value_or(static_cast<uint32_t>(stored.size()));
        const uint32_t uncompressed =
            entry.uncompressedSize.value_or(static_cast<uint32_t>(entry.data.size()));

        const bool descriptorInLocal = entry.dataDescriptor;
        archive += "PK\x03\x04" + Le16(20) + Le16(entry.localFlags.value_or(flags)) +
                   Le16(entry.localMethod.value_or(entry.method)) + Le16(entry.modTime) +
                   Le16(entry.modDate) + Le32(descriptorInLocal ? 0 : entry.localCrc.value_or(crc)) +
                   Le32(descriptorInLocal ? 0 : compressed) + Le32(descriptorInLocal ? 0 : uncompressed) +
                   Le16(static_cast<uint16_t>(entry.name.size())) +
                   Le16(static_cast<uint16_t>(entry.localExtra.size())) + entry.name + entry.localExtra +
                   stored;
        if (entry.dataDescriptor)
            archive += (entry.descriptorSignature ? std::string("PK\x07\x08") : std::string()) + Le32(crc) +
                       Le32(compressed) + Le32(uncompressed);

        records.push_back("PK\x01\x02" + Le16(entry.versionMadeBy) + Le16(20) + Le16(flags) +
                          Le16(entry.method) + Le16(entry.modTime) + Le16(entry.modDate) + Le32(crc) +
                          Le32(compressed) + Le32(uncompressed) +
                          Le16(static_cast<uint16_t>(entry.name.size())) +
                          Le16(static_cast<uint16_t>(entry.centralExtra.size())) +
                          Le16(static_cast<uint16_t>(entry.comment.size())) + Le16(0) + Le16(0) +
                          Le32(entry.externalAttributes) + Le32(entry.localHeaderOffset.value_or(offset)) +
                          entry.name + entry.centralExtra + entry.comment);
    }
    std::string directory;
    for (size_t i = 0; i < records.size(); ++i)
        directory += records[options.directoryOrder.empty() ? i : options.directoryOrder[i]];
    const uint32_t directoryOffset = static_cast<uint32_t>(archive.size() - base);
    archive += directory + options.betweenDirectoryAndEnd;
    if (options.zip64Locator)
        archive += "PK\x06\x07" + Le32(0) + Le64(archive.size()) + Le32(1);
    const uint16_t count = static_cast<uint16_t>(entries.size());
    archive += "PK\x05\x06" + Le16(options.lastVolume.value_or(0)) +
               Le16(options.volumeWithCentralDir.value_or(0)) + Le16(options.volumeEntries.value_or(count)) +
               Le16(options.totalEntries.value_or(count)) +
               Le32(options.centralDirSize.value_or(static_cast<uint32_t>(directory.size()))) +
               Le32(options.centralDirOffset.value_or(directoryOffset)) +
               Le16(static_cast<uint16_t>(options.comment.size())) + options.comment;
    return archive;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

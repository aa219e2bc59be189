#include "storedzip.h"

#include <zlib.h>

#include <cstdint>

namespace {

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string archive;
    std::string directory;
    for (const auto& [name, data] : entries) {
        const uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const uint32_t offset = static_cast<uint32_t>(archive.size());
        // Version 2.0, no flags, stored, 2020-01-01 00:00, then CRC and both sizes.
        std::string common;
        Put16(common, 20);
        Put16(common, 0);
        Put16(common, 0);
        Put16(common, 0);
        Put16(common, 0x5021);
        Put32(common, crc);
        Put32(common, static_cast<uint32_t>(data.size()));
        Put32(common, static_cast<uint32_t>(data.size()));
        Put16(common, static_cast<uint32_t>(name.size()));
        Put16(common, 0);

        Put32(archive, 0x04034B50);
        archive += common;
        archive += name;
        archive += data;

        Put32(directory, 0x02014B50);
        Put16(directory, 20);
        directory += common;
        Put16(directory, 0);    // comment length
        Put16(directory, 0);    // disk
        Put16(directory, 0);    // internal attributes
        Put32(directory, 0x20); // external attributes: an archive file
        Put32(directory, offset);
        directory += name;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put32(archive, static_cast<uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}

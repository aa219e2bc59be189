#pragma once
// Writes small zip archives for the tests, with a knob for every field a damaged archive may get
// wrong. Real-world archives come from Info-ZIP and Python; this one makes the broken ones.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ZipBuilderEntry {
    std::string name;
    std::string data;
    uint16_t method = 8;
    uint16_t flags = 0;
    // High byte: host system (0 DOS, 3 Unix); low byte: the zip format version it follows.
    uint16_t versionMadeBy = 20;
    uint32_t externalAttributes = 0x20;
    uint16_t modTime = 0x6000; // 12:00:00
    uint16_t modDate = 0x5A21; // 2025-01-01
    // Traditional encryption when not empty (flag bit 0 is set for it).
    std::string password;
    bool dataDescriptor = false;
    bool descriptorSignature = true;
    // Stored bytes used as they stand instead of compressing (and encrypting) the data.
    std::optional<std::string> rawData;
    // Central (and, unless overridden there, local) header values in place of the true ones.
    std::optional<uint32_t> crc;
    std::optional<uint32_t> compressedSize;
    std::optional<uint32_t> uncompressedSize;
    std::optional<uint32_t> localHeaderOffset;
    std::optional<uint16_t> localMethod;
    std::optional<uint16_t> localFlags;
    std::optional<uint32_t> localCrc;
    std::string centralExtra;
    std::string localExtra;
    std::string comment;
};

struct ZipBuilderOptions {
    std::string prepended;
    std::string comment;
    // Bytes written between the central directory and the end record.
    std::string betweenDirectoryAndEnd;
    // A Zip64 end-of-directory locator right before the end record.
    bool zip64Locator = false;
    // The order of the directory records by entry position; the entries' order when empty.
    std::vector<size_t> directoryOrder;
    std::optional<uint16_t> lastVolume;
    std::optional<uint16_t> volumeWithCentralDir;
    std::optional<uint16_t> volumeEntries;
    std::optional<uint16_t> totalEntries;
    std::optional<uint32_t> centralDirSize;
    std::optional<uint32_t> centralDirOffset;
};

std::string BuildZip(const std::vector<ZipBuilderEntry>& entries, const ZipBuilderOptions& options = {});

// Raw deflate of the bytes (no zlib header), the CRC-32 and the traditional cipher, for the tests'
// own expectations.
std::string RawDeflate(const std::string& data);
uint32_t Crc32(const std::string& data);
std::string TraditionalEncrypt(const std::string& plain, const std::string& password, uint8_t checkByte);
// One extra-field record: id, size, data.
std::string ExtraRecord(uint16_t id, const std::string& data);
std::string Le16(uint16_t value);
std::string Le32(uint32_t value);
std::string Le64(uint64_t value);

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

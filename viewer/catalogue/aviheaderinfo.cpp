#include "viewer/catalogue/aviheaderinfo.h"

#include "platform/base/file.h"
#include "platform/base/trace.h"

#include <cstdio>
#include <cstring>

std::vector<BYTE> g_aviTextBuffer;

namespace {

DWORD LittleEndian32(const BYTE* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

// Reads exactly `count` bytes at `offset`; false on a short read or an I/O error.
bool ReadExactly(CFile& file, ULONGLONG offset, void* buffer, UINT count) {
    try {
        file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
        return file.Read(buffer, count) == count;
    } catch (const CFileException&) {
        return false;
    }
}

// Reads an id and a size as stored.
bool ReadChunkHeader(CFile& file, ULONGLONG offset, char (&id)[4], DWORD& size) {
    BYTE bytes[8];
    if (!ReadExactly(file, offset, bytes, sizeof bytes))
        return false;
    std::memcpy(id, bytes, 4);
    size = LittleEndian32(bytes + 4);
    return true;
}

void TraceHeader(const AviHeaderInfo& info, size_t entries) {
    const BYTE* h = info.header;
    char line[256];
    std::snprintf(line, sizeof line,
                  "ReadAviHeaderAndIndex : szRIFF=%4.4s nRiff=0x%x szAVI=%4.4s szLIST1=%4.4s nList1=0x%x",
                  reinterpret_cast<const char*>(h), LittleEndian32(h + 4),
                  reinterpret_cast<const char*>(h + 8), reinterpret_cast<const char*>(h + 12),
                  LittleEndian32(h + 16));
    TraceLine(std::string(line));
    std::snprintf(line, sizeof line,
                  "    szLIST2=%4.4s nList2=0x%x idx1=%4.4s size16=0x%x offList=0x%llx offMovie=0x%llx",
                  info.listId, info.listSize, info.indexId, info.indexSize,
                  static_cast<unsigned long long>(info.listOffset),
                  static_cast<unsigned long long>(info.movieBase));
    TraceLine(std::string(line));
    std::snprintf(line, sizeof line,
                  "    usPerFrame=%d nTotalFrame=%d nStream=%d width=%d height=%d indexcount=%d",
                  static_cast<int>(LittleEndian32(h + 32)), static_cast<int>(LittleEndian32(h + 48)),
                  static_cast<int>(LittleEndian32(h + 56)), static_cast<int>(LittleEndian32(h + 64)),
                  static_cast<int>(LittleEndian32(h + 68)), static_cast<int>(entries));
    TraceLine(std::string(line));
}

} // namespace

std::optional<std::vector<BYTE>> ReadAviHeaderAndIndex(AviHeaderInfo& info, CFile& file) {
    ULONGLONG length = 0;
    try {
        length = file.GetLength();
    } catch (const CFileException&) {
        return std::nullopt;
    }
    if (!ReadExactly(file, 0, info.header, sizeof info.header))
        return std::nullopt;

    // Every size is unsigned 32-bit on disk and every offset is 64-bit here, so no size can wrap an
    // offset back into the file; the header list's size is the one the recorder treats as signed.
    const auto headerListSize = static_cast<LONG>(LittleEndian32(info.header + 16));
    if (headerListSize < 0 || static_cast<ULONGLONG>(headerListSize) >= length)
        return std::nullopt;

    info.listOffset = 20 + static_cast<ULONGLONG>(headerListSize);
    if (!ReadChunkHeader(file, info.listOffset, info.listId, info.listSize))
        return std::nullopt;
    info.movieBase = info.listOffset + 8;
    info.listOffset = info.movieBase + info.listSize;
    if (info.listOffset >= length)
        return std::nullopt;

    ULONGLONG indexOffset = info.listOffset;
    if (!ReadChunkHeader(file, indexOffset, info.indexId, info.indexSize))
        return std::nullopt;
    if (std::memcmp(info.indexId, "LIST", 4) == 0) {
        indexOffset += 8 + static_cast<ULONGLONG>(info.indexSize);
        if (indexOffset >= length || !ReadChunkHeader(file, indexOffset, info.indexId, info.indexSize))
            return std::nullopt;
    }

    const size_t entries = info.indexSize / kAviIndexEntrySize;
    if (std::memcmp(info.indexId, "idx1", 4) != 0 || entries > kAviMaxIndexEntries)
        return std::nullopt;

    // An index cut short by the end of the file is used as far as whole entries were read: the
    // rest would be garbage offsets.
    std::vector<BYTE> index(entries * kAviIndexEntrySize);
    UINT got = 0;
    try {
        got = index.empty() ? 0 : file.Read(index.data(), static_cast<UINT>(index.size()));
    } catch (const CFileException&) {
        return std::nullopt;
    }
    index.resize(got / kAviIndexEntrySize * kAviIndexEntrySize);
    TraceHeader(info, index.size() / kAviIndexEntrySize);
    return index;
}

void FreeAviTextBuffer() {
    g_aviTextBuffer.clear();
    g_aviTextBuffer.shrink_to_fit();
}

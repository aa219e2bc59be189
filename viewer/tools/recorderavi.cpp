#include "viewer/tools/recorderavi.h"

#include "platform/base/file.h"

#include <cstring>

namespace RecorderAvi {

DWORD GetU32(const BYTE* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

void SetU32(std::vector<BYTE>& bytes, size_t offset, DWORD value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<BYTE>(value >> (8 * i));
}

void AppendU32(std::vector<BYTE>& bytes, DWORD value) {
    bytes.resize(bytes.size() + 4);
    SetU32(bytes, bytes.size() - 4, value);
}

void AppendFourCC(std::vector<BYTE>& bytes, const char* code) {
    bytes.insert(bytes.end(), code, code + 4);
}

bool IsFourCC(const BYTE* bytes, const char* code) {
    return std::memcmp(bytes, code, 4) == 0;
}

std::array<char, 5> ChunkId(int stream, const char* kind) {
    return {static_cast<char>('0' + stream / 10 % 10), static_cast<char>('0' + stream % 10), kind[0], kind[1],
            0};
}

bool IsStreamList(const BYTE* list, const char* type) {
    return IsFourCC(list, "LIST") && IsFourCC(list + 8, "strl") && IsFourCC(list + 12, "strh") &&
           IsFourCC(list + kStreamTypeOffset, type);
}

bool ReadAppend(CFile& file, std::vector<BYTE>& bytes, size_t count) {
    const size_t start = bytes.size();
    bytes.resize(start + count);
    try {
        if (file.Read(bytes.data() + start, static_cast<UINT>(count)) == count)
            return true;
    } catch (const CFileException&) {
    }
    bytes.resize(start);
    return false;
}

} // namespace RecorderAvi

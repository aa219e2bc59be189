#pragma once
// The fixed header of the AVI recordings of the recorder model 3, as the repair and the channel
// copy read it: the main header, then one stream list of 124 bytes for each video stream, one of
// 102 bytes for the sound and one of 84 bytes for the text (the per-frame metadata), all numbers
// little-endian. Chunks carry no pad byte.

#include "platform/base/wintypes.h"

#include <array>
#include <cstddef>
#include <vector>

class CFile;

namespace RecorderAvi {

constexpr size_t kMainHeaderEnd = 88; // "RIFF", the "hdrl" list head, "avih" and its 14 fields
constexpr size_t kRiffSizeOffset = 4;
constexpr size_t kHeaderListSizeOffset = 16;
constexpr size_t kTotalFramesOffset = 48;
constexpr size_t kStreamCountOffset = 56;
constexpr size_t kVideoListSize = 124;
constexpr size_t kAudioListSize = 102;
constexpr size_t kTextListSize = 84;
constexpr size_t kStreamTypeOffset = 20;   // in a stream list: "vids", "auds", "txts"
constexpr size_t kStreamLengthOffset = 52; // in a stream list
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kIndexEntrySize = 16;
constexpr int kMaxVideoStreams = 4;
constexpr DWORD kKeyFrameFlag = 0x10;
// Offsets and sizes are 32-bit: nothing is written past this.
constexpr ULONGLONG kLargestFile = 0xFFFFFFFFull;

DWORD GetU32(const BYTE* bytes);
void SetU32(std::vector<BYTE>& bytes, size_t offset, DWORD value);
void AppendU32(std::vector<BYTE>& bytes, DWORD value);
void AppendFourCC(std::vector<BYTE>& bytes, const char* code);
bool IsFourCC(const BYTE* bytes, const char* code);
// "%02d" of the stream number (0 to 99) and the two letters of the kind: "00dc", "04wb"...
std::array<char, 5> ChunkId(int stream, const char* kind);

// "LIST", a size, "strl", "strh", a size and the stream type, as every stream list begins.
bool IsStreamList(const BYTE* list, const char* type);

// Reads exactly `count` bytes into the end of `bytes`; false on a short read or a read error.
bool ReadAppend(CFile& file, std::vector<BYTE>& bytes, size_t count);

} // namespace RecorderAvi

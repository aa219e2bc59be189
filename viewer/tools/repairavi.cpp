#include "viewer/tools/repairavi.h"

#include "platform/base/file.h"
#include "platform/base/fileidentity.h"
#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "viewer/tools/recorderavi.h"
#include "viewer/tools/temporaryoutput.h"

#include <array>
#include <cstdio>
#include <exception>

using namespace RecorderAvi;

namespace {

constexpr int kAudioKind = 5;
constexpr int kTextKind = 6;
// The byte a key frame's chunk holds at this offset: the header of the recorder's HEVC IDR_W_RADL
// unit, which follows its parameter sets.
constexpr size_t kKeyFrameMarkOffset = 103;
constexpr BYTE kKeyFrameMark = 0x26;

struct ChunkRecord {
    DWORD offset; // of the chunk's id in the output
    DWORD size;
    int kind; // 0-3 video stream, kAudioKind, kTextKind
    bool keyFrame;
};

// The kind of one of the twelve chunk ids the recorder writes, or -1: the scan ends at any other.
int ChunkKind(const BYTE* id) {
    static const std::array<const char*, 4> video = {"00dc", "01dc", "02dc", "03dc"};
    static const std::array<const char*, 4> audio = {"01wb", "02wb", "03wb", "04wb"};
    static const std::array<const char*, 4> text = {"02tx", "03tx", "04tx", "05tx"};
    for (int i = 0; i < 4; ++i) {
        if (IsFourCC(id, video[i]))
            return i;
        if (IsFourCC(id, audio[i]))
            return kAudioKind;
        if (IsFourCC(id, text[i]))
            return kTextKind;
    }
    return -1;
}

bool IsVideoList(const BYTE* list) {
    return IsStreamList(list, "vids") && IsFourCC(list + 24, "hev1") && IsFourCC(list + 76, "strf") &&
           IsFourCC(list + 100, "hev1");
}

bool IsAudioList(const BYTE* list) {
    return IsStreamList(list, "auds") && IsFourCC(list + 76, "strf");
}

bool IsTextList(const BYTE* list) {
    return IsStreamList(list, "txts") && IsFourCC(list + 24, "XBLB") && IsFourCC(list + 76, "strf");
}

// Reads the header up to the first chunk of the "movi" list. Every field but the fourccs is kept
// as it stands; the video stream count follows from the stream count (video, sound and text).
bool ReadRecorderHeader(CFile& input, std::vector<BYTE>& header, int& videoStreams) {
    if (!ReadAppend(input, header, kMainHeaderEnd) || !IsFourCC(header.data(), "RIFF") ||
        !IsFourCC(&header[8], "AVI ") || !IsFourCC(&header[12], "LIST") || !IsFourCC(&header[20], "hdrl") ||
        !IsFourCC(&header[24], "avih"))
        return false;
    // Judged as read, before it becomes a signed count: a damaged count must not turn negative and
    // wrap the size of the rest of the header.
    const DWORD streams = GetU32(&header[kStreamCountOffset]);
    if (streams > static_cast<DWORD>(kMaxVideoStreams + 2))
        return false;
    // The recorder always writes the first video stream; a count below three still means one.
    videoStreams = streams <= 3 ? 1 : static_cast<int>(streams) - 2;
    const size_t rest = videoStreams * kVideoListSize + kAudioListSize + kTextListSize + 12;
    if (!ReadAppend(input, header, rest))
        return false;
    size_t at = kMainHeaderEnd;
    for (int i = 0; i < videoStreams; ++i, at += kVideoListSize)
        if (!IsVideoList(&header[at]))
            return false;
    if (!IsAudioList(&header[at]))
        return false;
    at += kAudioListSize;
    if (!IsTextList(&header[at]))
        return false;
    at += kTextListSize;
    return IsFourCC(&header[at], "LIST") && IsFourCC(&header[at + 8], "movi");
}

void Trace(const char* what, const std::wstring& path) {
    TraceLine("RepairAvi: " + std::string(what) + " " + Utf8FromWide(path));
}

void AppendIndexEntry(std::vector<BYTE>& index, const char* id, const ChunkRecord& chunk, DWORD base) {
    AppendFourCC(index, id);
    AppendU32(index, chunk.keyFrame ? kKeyFrameFlag : 0);
    AppendU32(index, chunk.offset - base);
    AppendU32(index, chunk.size);
}

int Repair(CFile& input, const std::wstring& inputPath, TemporaryOutput& output) {
    std::vector<BYTE> header;
    int videoStreams = 0;
    if (!ReadRecorderHeader(input, header, videoStreams)) {
        Trace("not a recording of this recorder:", inputPath);
        return -1;
    }
    CFile& out = output.File();
    out.Write(header.data(), static_cast<UINT>(header.size()));

    // Chunks are copied as they stand up to the first id the recorder does not write, or up to
    // a chunk whose data the file no longer holds (a recording cut off while it was written).
    const ULONGLONG inputLength = input.GetLength();
    ULONGLONG inputPosition = header.size();
    ULONGLONG outputPosition = header.size();
    std::vector<ChunkRecord> chunks;
    std::vector<BYTE> chunk;
    for (;;) {
        chunk.clear();
        if (!ReadAppend(input, chunk, kChunkHeaderSize))
            break;
        const int kind = ChunkKind(chunk.data());
        if (kind < 0)
            break;
        const DWORD size = GetU32(&chunk[4]);
        inputPosition += kChunkHeaderSize;
        if (inputPosition > inputLength || size > inputLength - inputPosition)
            break;
        const ULONGLONG end = outputPosition + kChunkHeaderSize + size;
        if (end + kChunkHeaderSize + (chunks.size() + 1) * kIndexEntrySize > kLargestFile)
            break;
        if (!ReadAppend(input, chunk, size))
            break;
        out.Write(chunk.data(), static_cast<UINT>(chunk.size()));
        const bool video = kind < kAudioKind;
        // A chunk too short to hold the mark is no key frame.
        const bool keyFrame = !video || (size > kKeyFrameMarkOffset &&
                                         chunk[kChunkHeaderSize + kKeyFrameMarkOffset] == kKeyFrameMark);
        chunks.push_back({static_cast<DWORD>(outputPosition), size, kind, keyFrame});
        inputPosition += size;
        outputPosition = end;
    }
    const DWORD moviEnd = static_cast<DWORD>(outputPosition);

    // The recorder writes a frame's text after its pictures and sound: a text chunk at the very
    // end belongs to a frame that was cut off, and stays out of the index.
    size_t indexed = chunks.size();
    if (indexed > 0 && chunks.back().kind == kTextKind)
        --indexed;

    std::array<DWORD, kMaxVideoStreams> frames{};
    for (size_t i = 0; i < indexed; ++i)
        if (chunks[i].kind < kAudioKind)
            ++frames[chunks[i].kind];

    const size_t moviSizeAt = header.size() - 8;
    const DWORD base = static_cast<DWORD>(moviSizeAt + 4); // the "movi" fourcc
    const auto audioId = ChunkId(videoStreams, "wb");
    const auto textId = ChunkId(videoStreams + 1, "tx");
    std::vector<BYTE> index;
    AppendFourCC(index, "idx1");
    AppendU32(index, static_cast<DWORD>(indexed * kIndexEntrySize));
    for (size_t i = 0; i < indexed; ++i) {
        const ChunkRecord& record = chunks[i];
        const auto id = record.kind == kAudioKind  ? audioId
                        : record.kind == kTextKind ? textId
                                                   : ChunkId(record.kind, "dc");
        AppendIndexEntry(index, id.data(), record, base);
    }
    out.Write(index.data(), static_cast<UINT>(index.size()));
    const ULONGLONG fileEnd = outputPosition + index.size();

    SetU32(header, kRiffSizeOffset, static_cast<DWORD>(fileEnd - 8));
    SetU32(header, kTotalFramesOffset, frames[0]);
    for (int i = 0; i < videoStreams; ++i)
        SetU32(header, kMainHeaderEnd + i * kVideoListSize + kStreamLengthOffset, frames[i]);
    SetU32(header, moviSizeAt, moviEnd - static_cast<DWORD>(moviSizeAt) - 4);
    out.SeekToBegin();
    out.Write(header.data(), static_cast<UINT>(header.size()));

    char line[160];
    std::snprintf(line, sizeof line, "RepairAvi: %zu chunks kept, %zu indexed, %u frames", chunks.size(),
                  indexed, static_cast<unsigned>(frames[0]));
    TraceLine(std::string(line));
    return 0;
}

int RepairFile(const std::wstring& input, const std::wstring& output) {
    // Writing would empty the recording before a byte of it is read.
    if (FileSystem::IsSameFile(input, output)) {
        Trace("input and output are the same file:", input);
        return -1;
    }
    CFile in;
    if (!in.Open(input, CFile::modeRead | CFile::typeBinary)) {
        Trace("cannot open", input);
        return -1;
    }
    TemporaryOutput out(output);
    if (!out.Open()) {
        Trace("cannot create a file beside", output);
        return -1;
    }
    if (Repair(in, input, out) != 0)
        return -1;
    if (!out.Commit()) {
        Trace("cannot rename the rebuilt file to", output);
        return -1;
    }
    return 0;
}

} // namespace

int RepairAvi(const std::wstring& input, const std::wstring& output) {
    // The repair runs on a worker thread: whatever a damaged file does must come back as a
    // failure, never end the program.
    try {
        return RepairFile(input, output);
    } catch (const CFileException&) {
        Trace("cannot write", output);
    } catch (const std::exception& error) {
        // A chunk may claim as much memory as the file is long.
        Trace(error.what(), input);
    }
    return -1;
}

#include "viewer/tools/copyavichannels.h"

#include "platform/base/file.h"
#include "platform/base/fileidentity.h"
#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "viewer/tools/recorderavi.h"
#include "viewer/tools/temporaryoutput.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>

using namespace RecorderAvi;

namespace {

constexpr size_t kListHeadSize = 12; // "LIST", size, type
constexpr char kTitle[] = "RM-WQKZ-4CH ";

constexpr int kDropped = -1; // a video stream that is not copied
constexpr int kEndOfMovie = -2;

// 1 to 4 from the channel tag letter, or 0 when the name has none.
int ChannelCountFromName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'/');
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (name.size() < 7)
        return 0;
    switch (name[name.size() - 7]) {
    case L'S':
        return 1;
    case L'D':
        return 2;
    case L'T':
        return 3;
    case L'Q':
        return 4;
    default:
        return 0;
    }
}

// How the source's ids map onto the copy's: kept video streams 0..K-1, then sound and text.
class StreamNumbers {
  public:
    StreamNumbers(int sourceVideoStreams, const std::array<int, kMaxVideoStreams>& keep) {
        m_video.fill(kDropped);
        for (int i = 0; i < sourceVideoStreams; ++i)
            if (keep[i] != 0)
                m_video[i] = m_kept++;
    }

    int Kept() const { return m_kept; }
    bool IsKept(int sourceStream) const { return m_video[sourceStream] != kDropped; }

    // The copy's id for a chunk or index id of the source (written to `copy`), kDropped for a
    // video stream that is not copied, or kEndOfMovie for an id that is no stream's.
    int Map(const BYTE* id, std::array<char, 5>& copy) const {
        int number;
        const char* kind;
        if (id[0] == '0' && id[1] >= '0' && id[1] <= '3' && std::memcmp(id + 2, "dc", 2) == 0) {
            number = m_video[id[1] - '0'];
            if (number == kDropped)
                return kDropped;
            kind = "dc";
        } else if (std::memcmp(id + 2, "wb", 2) == 0) {
            number = m_kept;
            kind = "wb";
        } else if (std::memcmp(id + 2, "tx", 2) == 0) {
            number = m_kept + 1;
            kind = "tx";
        } else {
            return kEndOfMovie;
        }
        copy = ChunkId(number, kind);
        return number;
    }

  private:
    std::array<int, kMaxVideoStreams> m_video{};
    int m_kept = 0;
};

void Trace(const std::string& what, const std::wstring& path) {
    TraceLine("CopyAviChannels: " + what + " " + Utf8FromWide(path));
}

// Reads the header blocks of a source with `videoStreams` video streams and leaves the file at
// the first chunk of its "movi" list. Lists between the stream lists and "movi" (the title list
// of an earlier copy) are passed over by their own size.
bool ReadSourceHeader(CFile& source, int videoStreams, std::vector<BYTE>& header) {
    if (!ReadAppend(source, header,
                    kMainHeaderEnd + videoStreams * kVideoListSize + kAudioListSize + kTextListSize))
        return false;
    size_t at = kMainHeaderEnd;
    for (int i = 0; i < videoStreams; ++i, at += kVideoListSize)
        if (!IsStreamList(&header[at], "vids"))
            return false;
    if (!IsStreamList(&header[at], "auds") || !IsStreamList(&header[at + kAudioListSize], "txts"))
        return false;

    const ULONGLONG length = source.GetLength();
    for (;;) {
        std::vector<BYTE> list;
        if (!ReadAppend(source, list, kListHeadSize) || !IsFourCC(list.data(), "LIST"))
            return false;
        if (IsFourCC(&list[8], "movi"))
            return true;
        const DWORD size = GetU32(&list[4]);
        const ULONGLONG position = source.GetPosition();
        if (size < 4 || size - 4 > length - position)
            return false;
        source.Seek(size - 4, CFile::current);
    }
}

void AppendTitleList(std::vector<BYTE>& header) {
    AppendFourCC(header, "LIST");
    AppendU32(header, 24);
    AppendFourCC(header, "INFO");
    AppendFourCC(header, "INAM");
    AppendU32(header, 12);
    header.insert(header.end(), kTitle, kTitle + 12);
}

// The copy's header up to and with the "movi" list head.
std::vector<BYTE> MakeCopyHeader(const std::vector<BYTE>& source, int videoStreams,
                                 const StreamNumbers& numbers) {
    std::vector<BYTE> header(source.begin(), source.begin() + kMainHeaderEnd);
    SetU32(header, kRiffSizeOffset, 0); // set at the end
    SetU32(header, kStreamCountOffset, static_cast<DWORD>(numbers.Kept() + 2));
    size_t at = kMainHeaderEnd;
    for (int i = 0; i < videoStreams; ++i, at += kVideoListSize)
        if (numbers.IsKept(i))
            header.insert(header.end(), source.begin() + at, source.begin() + at + kVideoListSize);
    header.insert(header.end(), source.begin() + at, source.begin() + at + kAudioListSize + kTextListSize);
    AppendTitleList(header);
    SetU32(header, kHeaderListSizeOffset, static_cast<DWORD>(header.size() - kHeaderListSizeOffset - 4));
    AppendFourCC(header, "LIST");
    AppendU32(header, 0); // set at the end
    AppendFourCC(header, "movi");
    return header;
}

struct WrittenChunk {
    DWORD offset; // of its id in the copy
    std::array<char, 5> id;
};

void PatchU32(CFile& file, ULONGLONG offset, DWORD value) {
    std::vector<BYTE> bytes;
    AppendU32(bytes, value);
    file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
    file.Write(bytes.data(), 4);
}

// Copies the chunks of the kept streams and then the index entries that belong to them. False
// when the source cannot be read (the copy would be incomplete).
bool CopyBody(CFile& source, CFile& out, size_t headerSize, const StreamNumbers& numbers) {
    const ULONGLONG length = source.GetLength();
    ULONGLONG outputPosition = headerSize;
    std::vector<WrittenChunk> written;
    std::vector<BYTE> chunk;
    bool atIndex = false;
    DWORD indexSize = 0;
    for (;;) {
        chunk.clear();
        if (!ReadAppend(source, chunk, kChunkHeaderSize))
            break;
        std::array<char, 5> id{};
        const int number = numbers.Map(chunk.data(), id);
        const DWORD size = GetU32(&chunk[4]);
        if (number == kEndOfMovie) {
            atIndex = IsFourCC(chunk.data(), "idx1");
            indexSize = size;
            break;
        }
        const ULONGLONG position = source.GetPosition();
        // A chunk cut off by the end of the file ends the copy; it is not copied in part.
        if (size > length - position)
            break;
        if (number == kDropped) {
            source.Seek(size, CFile::current);
            continue;
        }
        const ULONGLONG end = outputPosition + kChunkHeaderSize + size;
        if (end + kChunkHeaderSize + (written.size() + 1) * kIndexEntrySize > kLargestFile)
            break;
        if (!ReadAppend(source, chunk, size))
            return false;
        std::memcpy(chunk.data(), id.data(), 4);
        out.Write(chunk.data(), static_cast<UINT>(chunk.size()));
        written.push_back({static_cast<DWORD>(outputPosition), id});
        outputPosition = end;
    }
    const ULONGLONG moviSizeAt = headerSize - 8;
    const DWORD base = static_cast<DWORD>(headerSize - 4); // the "movi" fourcc

    // The index follows the source's, entry by entry, as long as each entry is the next chunk
    // that was written; a chunk that was not written (a cut-off source) ends it.
    std::vector<BYTE> index;
    AppendFourCC(index, "idx1");
    AppendU32(index, 0);
    if (atIndex) {
        const ULONGLONG available = length - source.GetPosition();
        const size_t entries =
            static_cast<size_t>(std::min<ULONGLONG>(indexSize, available) / kIndexEntrySize);
        std::vector<BYTE> entryBytes;
        if (!ReadAppend(source, entryBytes, entries * kIndexEntrySize))
            return false;
        size_t next = 0;
        for (size_t i = 0; i < entries; ++i) {
            const BYTE* entry = &entryBytes[i * kIndexEntrySize];
            std::array<char, 5> id{};
            const int number = numbers.Map(entry, id);
            if (number == kDropped)
                continue;
            if (number == kEndOfMovie || next == written.size())
                break;
            if (id != written[next].id) {
                TraceLine("CopyAviChannels: the index does not follow the chunks; it ends at entry " +
                          std::to_string(i));
                break;
            }
            AppendFourCC(index, id.data());
            AppendU32(index, GetU32(entry + 4));
            AppendU32(index, written[next].offset - base);
            AppendU32(index, GetU32(entry + 12));
            ++next;
        }
    }
    SetU32(index, 4, static_cast<DWORD>(index.size() - kChunkHeaderSize));
    out.Write(index.data(), static_cast<UINT>(index.size()));
    const ULONGLONG end = outputPosition + index.size();

    PatchU32(out, moviSizeAt, static_cast<DWORD>(outputPosition - moviSizeAt - 4));
    PatchU32(out, kRiffSizeOffset, static_cast<DWORD>(end - 8));
    return true;
}

bool CopyChannels(const std::wstring& output, const std::wstring& source,
                  const std::array<int, kMaxVideoStreams>& keep) {
    const int videoStreams = ChannelCountFromName(source);
    if (videoStreams == 0) {
        Trace("no channel tag letter in the name", source);
        return false;
    }
    // The copy would take the recording's place, and the channels it leaves out would be lost.
    if (FileSystem::IsSameFile(output, source)) {
        Trace("output and source are the same file:", source);
        return false;
    }
    CFile in;
    if (!in.Open(source, CFile::modeRead | CFile::typeBinary)) {
        Trace("cannot open", source);
        return false;
    }
    std::vector<BYTE> sourceHeader;
    if (!ReadSourceHeader(in, videoStreams, sourceHeader)) {
        Trace("the header does not match the channel tag letter:", source);
        return false;
    }
    const StreamNumbers numbers(videoStreams, keep);
    const std::vector<BYTE> header = MakeCopyHeader(sourceHeader, videoStreams, numbers);
    TemporaryOutput out(output);
    if (!out.Open()) {
        Trace("cannot create a file beside", output);
        return false;
    }
    out.File().Write(header.data(), static_cast<UINT>(header.size()));
    if (!CopyBody(in, out.File(), header.size(), numbers)) {
        Trace("cannot read", source);
        return false;
    }
    if (!out.Commit()) {
        Trace("cannot rename the copy to", output);
        return false;
    }
    return true;
}

} // namespace

bool CopyAviChannels(const std::wstring& output, const std::wstring& source, int keep0, int keep1, int keep2,
                     int keep3) {
    // Called from a menu command: a damaged source must end in a failed copy, not in the end of
    // the program.
    try {
        return CopyChannels(output, source, {keep0, keep1, keep2, keep3});
    } catch (const CFileException&) {
        Trace("cannot copy to", output);
    } catch (const std::exception& error) {
        // A chunk or the index may claim as much memory as the file is long.
        Trace(error.what(), source);
    }
    return false;
}

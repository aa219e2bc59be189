#include "viewer/catalogue/moviesimpleparser.h"

#include "platform/base/file.h"
#include "platform/base/trace.h"
#include "viewer/catalogue/aviheaderinfo.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kMoov = BoxType("moov");
constexpr DWORD kTrak = BoxType("trak");
constexpr DWORD kMdia = BoxType("mdia");
constexpr DWORD kMinf = BoxType("minf");
constexpr DWORD kStbl = BoxType("stbl");
constexpr DWORD kUdta = BoxType("udta");
constexpr DWORD kUdat = BoxType("udat");
constexpr DWORD kHdlr = BoxType("hdlr");
constexpr DWORD kStsz = BoxType("stsz");
constexpr DWORD kStsd = BoxType("stsd");
constexpr DWORD kTime = BoxType("TIME");
constexpr DWORD kEncy = BoxType("ENCY");
constexpr DWORD kGpsr = BoxType("GPSR");
constexpr DWORD kSens = BoxType("SENS");
constexpr DWORD kCarn = BoxType("CARN");
constexpr DWORD kMd5j = BoxType("MD5J");

// The 38 box types the recorder's files hold, four characters each.
constexpr char kKnownTypes[] =
    "freejunkmdatmoovpnotwidePICTuuidudtaTIMEENCYGPSIGPSRSENSmvhdiodstraktkhdmdiamdhd"
    "hdlrminfvmhddinfsmhdstblstsdsttsstszstscstcostssftypudatedtsFWVRCARNMD5J";
static_assert(sizeof kKnownTypes - 1 == 38 * 4, "38 known box types");

bool IsKnownType(DWORD type) {
    for (size_t i = 0; i + 4 < sizeof kKnownTypes; i += 4) {
        const char name[5] = {kKnownTypes[i], kKnownTypes[i + 1], kKnownTypes[i + 2], kKnownTypes[i + 3], 0};
        if (BoxType(name) == type)
            return true;
    }
    return false;
}

bool IsContainer(DWORD type) {
    return type == kMoov || type == kTrak || type == kMdia || type == kMinf || type == kStbl ||
           type == kUdta || type == kUdat;
}

// The found-mask: four bits each for the frame count, TIME, GPSR, SENS and ENCY.
constexpr DWORD kAllFound = 0xFFFFF;
constexpr DWORD kFrameCountBits = 0x0000F;
constexpr DWORD kTimeBits = 0x000F0;
constexpr DWORD kGpsrBits = 0x00F00;
constexpr DWORD kSensBits = 0x0F000;
constexpr DWORD kEncyBits = 0xF0000;

// A recorder writes a few megabytes of metadata at most; a payload claiming more is damage, and
// must not turn into an allocation of the size of the file.
constexpr ULONGLONG kMaxPayloadSize = 256ull << 20;
// The text of one GPS record had to fit a 1 MiB buffer with its terminator on the recorder's side.
constexpr LONG kMaxGpsTextLength = (1 << 20) - 1;

DWORD BigEndian32(const BYTE* bytes) {
    return (static_cast<DWORD>(bytes[0]) << 24) | (static_cast<DWORD>(bytes[1]) << 16) |
           (static_cast<DWORD>(bytes[2]) << 8) | static_cast<DWORD>(bytes[3]);
}

ULONGLONG BigEndian64(const BYTE* bytes) {
    return (static_cast<ULONGLONG>(BigEndian32(bytes)) << 32) | BigEndian32(bytes + 4);
}

DWORD LittleEndian32(const BYTE* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

float LittleEndianFloat(const BYTE* bytes) {
    const DWORD bits = LittleEndian32(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct BoxHeader {
    ULONGLONG offset = 0;
    ULONGLONG size = 0; // the 64-bit size when the size field is 1
    DWORD type = 0;
    UINT headerLength = 8;

    // Size 0 and sizes that do not even cover the header end a walk: the next box cannot be found.
    bool IsLast() const { return size < headerLength; }
    // Where the box following it would start; 0 when that is not past this one (a wrapped size).
    ULONGLONG End() const { return offset + size > offset ? offset + size : 0; }
};

// Reads a recording file by absolute positions. Any I/O error counts as the end of the file, as a
// short read does: the walks end quietly with what they have.
class BoxFile {
  public:
    explicit BoxFile(CFile& file) : m_file(file) {
        try {
            m_length = file.GetLength();
        } catch (const CFileException&) {
            m_length = 0;
        }
    }

    ULONGLONG Length() const { return m_length; }

    // Reads up to `count` bytes at `offset`; returns how many came.
    size_t ReadAt(ULONGLONG offset, void* buffer, size_t count) {
        if (offset >= m_length || count == 0)
            return 0;
        count = static_cast<size_t>(std::min<ULONGLONG>(count, m_length - offset));
        try {
            m_file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
            size_t done = 0;
            while (done < count) {
                const UINT piece = static_cast<UINT>(std::min<size_t>(count - done, 1u << 30));
                const UINT got = m_file.Read(static_cast<BYTE*>(buffer) + done, piece);
                done += got;
                if (got < piece)
                    break;
            }
            return done;
        } catch (const CFileException&) {
            return 0;
        }
    }

    bool ReadExactly(ULONGLONG offset, void* buffer, size_t count) {
        return ReadAt(offset, buffer, count) == count;
    }

    bool ReadHeader(ULONGLONG offset, BoxHeader& header) {
        BYTE bytes[8];
        if (!ReadExactly(offset, bytes, 8))
            return false;
        header.offset = offset;
        header.size = BigEndian32(bytes);
        header.type = BigEndian32(bytes + 4);
        header.headerLength = 8;
        if (header.size == 1) {
            if (!ReadExactly(offset + 8, bytes, 8))
                return false;
            header.size = BigEndian64(bytes);
            header.headerLength = 16;
        }
        return true;
    }

    // The payload of a box, when the whole box lies inside the file and is of a sane size.
    bool ReadPayload(const BoxHeader& header, std::vector<char>& payload) {
        if (header.IsLast() || header.End() == 0 || header.End() > m_length)
            return false;
        const ULONGLONG size = header.size - header.headerLength;
        if (size > kMaxPayloadSize)
            return false;
        payload.resize(static_cast<size_t>(size));
        return ReadExactly(header.offset + header.headerLength, payload.data(), payload.size());
    }

  private:
    CFile& m_file;
    ULONGLONG m_length = 0;
};

// The handler test of "hdlr": the component type (0 in MP4, "mhlr" in MOV) says the handler type
// that follows names the track's media; "dhlr" and the like leave the track as it was. Returns
// false on a short read.
bool ReadHandler(BoxFile& file, const BoxHeader& header, bool& videoTrack) {
    BYTE component[4];
    if (!file.ReadExactly(header.offset + 12, component, 4))
        return false;
    if (component[0] != 0 && BigEndian32(component) != BoxType("mhlr"))
        return true;
    BYTE handler[4];
    if (!file.ReadExactly(header.offset + 16, handler, 4))
        return false;
    videoTrack = BigEndian32(handler) == BoxType("vide");
    return true;
}

ULONGLONG NextBoxOffset(const BoxHeader& header) {
    return IsContainer(header.type) ? header.offset + header.headerLength : header.End();
}

// atof in the C locale whatever the user's locale, bounded by the text.
double AsciiToDouble(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || (text[start] >= '\t' && text[start] <= '\r')))
        ++start;
    if (start < text.size() && text[start] == '+' && (start + 1 == text.size() || text[start + 1] != '-'))
        ++start;
    double value = 0;
    const auto result = std::from_chars(text.data() + start, text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

// ddmm.mmmm (degreeDigits 2) or dddmm.mmmm (3). Minutes missing from a short text count as 0.
double Coordinate(std::string_view text, size_t degreeDigits) {
    const double degrees = std::trunc(AsciiToDouble(text) / 100.0);
    const double minutes = text.size() > degreeDigits ? AsciiToDouble(text.substr(degreeDigits)) : 0.0;
    return degrees + minutes / 60.0;
}

// Whole GPS records of a GPSR payload: [4 bytes][text length, int32 LE][text]. The list ends at
// the first record that is cut short, has a negative length or a text of 1 MiB or more.
std::vector<std::string_view> SplitGpsRecords(const std::vector<char>& payload) {
    std::vector<std::string_view> texts;
    size_t position = 0;
    size_t rest = payload.size();
    while (rest >= 8) {
        const auto length =
            static_cast<LONG>(LittleEndian32(reinterpret_cast<const BYTE*>(payload.data() + position + 4)));
        if (length < 0 || length > kMaxGpsTextLength || static_cast<size_t>(length) > rest - 8)
            break;
        texts.emplace_back(payload.data() + position + 8, static_cast<size_t>(length));
        position += 8 + static_cast<size_t>(length);
        rest -= 8 + static_cast<size_t>(length);
    }
    return texts;
}

void TraceElapsed(const char* walk, std::chrono::steady_clock::time_point start) {
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
            .count();
    char line[96];
    std::snprintf(line, sizeof line, "%s: %lld us", walk, static_cast<long long>(micros));
    TraceLine(std::string(line));
}

// A walk over the top-level boxes only, to the first of the given type. Returns false when the
// walk ended without finding it, with `header.offset` where it ended.
bool FindTopLevelBox(BoxFile& file, DWORD type, BoxHeader& header) {
    ULONGLONG offset = 0;
    for (;;) {
        if (!file.ReadHeader(offset, header) || !IsKnownType(header.type) || header.IsLast()) {
            header.offset = offset;
            return false;
        }
        if (header.type == type)
            return true;
        const ULONGLONG next = header.End();
        if (next <= offset) {
            header.offset = offset;
            return false;
        }
        offset = next;
    }
}

bool OpenForReading(CFile& file, const std::wstring& path) {
    return !path.empty() && file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
}

} // namespace

void ParseGprmc(GpsRecord& record, std::string_view text) {
    const size_t end = text.find('\0');
    if (end != std::string_view::npos)
        text = text.substr(0, end);

    size_t field = 1;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string_view token =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        const char first = token.empty() ? 0 : token.front();
        switch (field) {
        case 1:
            record.sentenceFlag = token.substr(0, 6) == "$GPRMC" ? 1 : 0;
            break;
        case 3:
            record.status = first;
            break;
        case 4:
            record.latitude = Coordinate(token, 2);
            break;
        case 5:
            record.latHemisphere = first;
            if (first == 'S')
                record.latitude = -record.latitude;
            break;
        case 6:
            record.longitude = Coordinate(token, 3);
            break;
        case 7:
            record.lonHemisphere = first;
            if (first == 'W')
                record.longitude = -record.longitude;
            break;
        case 8:
            record.speed = AsciiToDouble(token);
            break;
        case 9:
            record.course = AsciiToDouble(token);
            break;
        default:
            break;
        }
        if (comma == std::string_view::npos || field == 9)
            break;
        start = comma + 1;
        ++field;
    }
}

bool HasAudioTrack(const std::wstring& path) {
    CFile handle;
    if (!OpenForReading(handle, path))
        return false;
    BoxFile file(handle);
    bool videoTrack = false;
    BoxHeader header;
    ULONGLONG offset = 0;
    while (file.ReadHeader(offset, header) && IsKnownType(header.type)) {
        if (header.type == kTrak) {
            videoTrack = false;
        } else if (header.type == kHdlr) {
            if (!ReadHandler(file, header, videoTrack))
                break;
        } else if (header.type == kStsd && !videoTrack) {
            BYTE entry[8];
            if (!file.ReadExactly(header.offset + 16, entry, 8))
                break;
            if (BigEndian32(entry + 4) == BoxType("mp4a"))
                return true;
        }
        const ULONGLONG next = NextBoxOffset(header);
        if (header.IsLast() || next <= offset)
            break;
        offset = next;
    }
    return false;
}

int MovieSimpleParser::ParseMovie(const std::wstring& path) {
    if (HoldsPayload())
        return 1;
    CFile file;
    if (!OpenForReading(file, path))
        return 0;
    return ParseMovie(file);
}

int MovieSimpleParser::ParseMovie(CFile& handle) {
    if (HoldsPayload())
        return 1;
    const auto start = std::chrono::steady_clock::now();
    BoxFile file(handle);
    DWORD mask = kAllFound;
    bool videoTrack = false;
    BoxHeader header;
    std::vector<char> payload;
    ULONGLONG offset = 0;
    while (file.ReadHeader(offset, header)) {
        if (!IsKnownType(header.type) && mask == 0)
            break;
        bool ok = true;
        switch (header.type) {
        case kTrak:
            videoTrack = false;
            break;
        case kHdlr:
            ok = ReadHandler(file, header, videoTrack);
            break;
        case kStsz:
            if (videoTrack) {
                BYTE count[4];
                ok = file.ReadExactly(header.offset + 16, count, 4);
                if (ok) {
                    const DWORD samples = BigEndian32(count);
                    frameCount = samples <= INT_MAX ? static_cast<int>(samples) : 0;
                    mask &= ~kFrameCountBits;
                    TraceLine("frame_count = " + std::to_string(frameCount));
                }
            }
            break;
        case kTime:
            mask &= ~kTimeBits;
            TraceLine(std::string("= TIME_ATOM ="));
            break;
        case kEncy:
            ok = file.ReadPayload(header, payload);
            if (ok) {
                encyPayload.assign(payload.begin(), payload.end());
                m_payloadHeld = true;
                mask &= ~kEncyBits;
                TraceLine(std::string("= ENCY_ATOM ="));
            }
            break;
        case kGpsr:
            ok = file.ReadPayload(header, payload);
            if (ok) {
                KeepGpsr(std::move(payload));
                mask &= ~kGpsrBits;
                TraceLine(std::string("= GPSR_ATOM ="));
            }
            break;
        case kSens:
            ok = file.ReadPayload(header, payload);
            if (ok) {
                KeepSens(payload);
                mask &= ~kSensBits;
                TraceLine(std::string("= SENS_ATOM ="));
            }
            break;
        case kCarn:
            ok = file.ReadPayload(header, payload);
            if (ok) {
                carNumber.assign(payload.begin(), payload.end());
                TraceLine(std::string("= CARN_ATOM ="));
            }
            break;
        default:
            break;
        }
        const ULONGLONG next = NextBoxOffset(header);
        if (!ok || header.IsLast() || next <= offset)
            break;
        offset = next;
    }
    TraceElapsed("ParseMovie", start);
    return 0;
}

void MovieSimpleParser::KeepGpsr(std::vector<char> payload) {
    gpsrPayload = std::move(payload);
    const std::vector<std::string_view> texts = SplitGpsRecords(gpsrPayload);
    gpsRecords.assign(texts.size(), GpsRecord());
    for (size_t i = 0; i < texts.size(); ++i)
        ParseGprmc(gpsRecords[i], texts[i]);
    m_payloadHeld = true;
}

void MovieSimpleParser::KeepSens(const std::vector<char>& payload) {
    gsensorSamples.assign(payload.size() / kGsensorSampleSize, GsensorSample());
    const auto* bytes = reinterpret_cast<const BYTE*>(payload.data());
    for (size_t i = 0; i < gsensorSamples.size(); ++i) {
        const BYTE* sample = bytes + i * kGsensorSampleSize;
        gsensorSamples[i].x = LittleEndianFloat(sample);
        gsensorSamples[i].y = LittleEndianFloat(sample + 4);
        gsensorSamples[i].z = LittleEndianFloat(sample + 8);
        std::memcpy(gsensorSamples[i].reserved, sample + 12, sizeof gsensorSamples[i].reserved);
    }
    m_payloadHeld = true;
}

LONGLONG MovieSimpleParser::FindAtomEnd(const std::wstring& path, DWORD type) {
    CFile handle;
    if (!OpenForReading(handle, path))
        return 0;
    BoxFile file(handle);
    BoxHeader header;
    if (!FindTopLevelBox(file, type, header) || header.End() == 0)
        return 0;
    return static_cast<LONGLONG>(header.End() - 1);
}

LONGLONG MovieSimpleParser::FindAtomOffset(const std::wstring& path, DWORD type) {
    CFile handle;
    if (!OpenForReading(handle, path))
        return 0;
    BoxFile file(handle);
    BoxHeader header;
    FindTopLevelBox(file, type, header);
    return static_cast<LONGLONG>(header.offset);
}

void MovieSimpleParser::ReadMd5j(const std::wstring& path, void* buffer, size_t length) {
    CFile handle;
    if (!OpenForReading(handle, path))
        return;
    BoxFile file(handle);
    BoxHeader header;
    if (FindTopLevelBox(file, kMd5j, header))
        file.ReadAt(header.offset + 8, buffer, length);
}

void MovieSimpleParser::ParseAvi(const std::wstring& path) {
    constexpr size_t kTextRecordSize = 400;
    constexpr size_t kLeadInSize = 32;
    constexpr size_t kSlotSize = 256;
    constexpr size_t kSlotOffset = 34;
    constexpr size_t kAccelerationOffset = 290;

    CFile handle;
    if (!OpenForReading(handle, path))
        return;
    AviHeaderInfo info;
    std::optional<std::vector<BYTE>> index = ReadAviHeaderAndIndex(info, handle);
    FreeAviTextBuffer();
    if (!index) {
        frameCount = 0;
        return;
    }

    const size_t entries = index->size() / kAviIndexEntrySize;
    size_t frames = 0;
    for (size_t i = 0; i < entries; ++i) {
        if (std::memcmp(index->data() + i * kAviIndexEntrySize, "00dc", 4) == 0)
            ++frames;
    }
    frameCount = static_cast<int>(frames);
    gsensorSamples.assign(frames, GsensorSample());
    gpsrPayload.assign(frames * kSlotSize, 0);
    gpsRecords.assign(frames, GpsRecord());
    m_payloadHeld = true;

    BoxFile file(handle);
    size_t k = 0;
    for (size_t i = 0; i < entries && k < frames; ++i) {
        const BYTE* entry = index->data() + i * kAviIndexEntrySize;
        if (entry[2] != 't' || entry[3] != 'x')
            continue;
        const ULONGLONG chunk = info.movieBase + LittleEndian32(entry + 8);
        // Zeroed before each read: a chunk cut off by the end of the file must not show the
        // previous frame's values.
        BYTE record[kTextRecordSize] = {};
        file.ReadAt(chunk + 8, record, sizeof record);
        const bool yearAt4 = (record[4] == '1' && record[5] == '9') || (record[4] == '2' && record[5] == '0');
        if (!yearAt4) {
            std::memset(record, 0, sizeof record);
            file.ReadAt(chunk + 8 + kLeadInSize, record, sizeof record);
        }
        GsensorSample& sample = gsensorSamples[k];
        sample.x =
            static_cast<float>(static_cast<LONG>(LittleEndian32(record + kAccelerationOffset)) / 1000.0);
        sample.y =
            static_cast<float>(static_cast<LONG>(LittleEndian32(record + kAccelerationOffset + 4)) / 1000.0);
        sample.z =
            static_cast<float>(static_cast<LONG>(LittleEndian32(record + kAccelerationOffset + 8)) / 1000.0);
        char* slot = gpsrPayload.data() + k * kSlotSize;
        std::memcpy(slot, record + kSlotOffset, kSlotSize);
        ParseGprmc(gpsRecords[k], std::string_view(slot, kSlotSize));
        ++k;
    }
    g_aviTextBuffer = std::move(*index);
}

#pragma once
// The metadata a recorder stores beside the pictures: GPS fixes, G-sensor samples, the car number
// and an opaque block, read from the recorder's own boxes of an MP4/MOV file (models 0-2) or from
// the per-frame text chunks of an AVI file (model 3, aviheaderinfo.h). Box sizes on a card that
// lost power can be anything, so every size is checked against the file before it is used and a
// damaged file ends the walk quietly with what was read so far. Nothing here throws.

#include "platform/base/wintypes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CFile;

// One fix from a "$GPRMC" sentence. The view shows it only when status is 'A' and sentenceFlag 1.
struct GpsRecord {
    char status = 0;       // 'A' valid, 'V' void, 0 when no sentence filled the record
    BYTE sentenceFlag = 0; // 1 when the sentence's first field begins with "$GPRMC"
    char latHemisphere = 0;
    char lonHemisphere = 0;
    double latitude = 0;  // decimal degrees, negative south
    double longitude = 0; // decimal degrees, negative west
    double speed = 0;     // knots, as the sentence gives it
    double course = 0;    // degrees
};

// One G-sensor sample as the recorder stores it: x, y, z in g, then bytes nobody reads.
struct GsensorSample {
    float x = 0;
    float y = 0;
    float z = 0;
    BYTE reserved[12] = {};
};
static_assert(sizeof(GsensorSample) == 24, "the recorder's sample is 24 bytes");

constexpr size_t kGsensorSampleSize = 24;

// A box type as the walk compares it: the four characters as one big-endian word.
constexpr DWORD BoxType(const char (&name)[5]) {
    return (static_cast<DWORD>(static_cast<BYTE>(name[0])) << 24) |
           (static_cast<DWORD>(static_cast<BYTE>(name[1])) << 16) |
           (static_cast<DWORD>(static_cast<BYTE>(name[2])) << 8) |
           static_cast<DWORD>(static_cast<BYTE>(name[3]));
}

// Parses one NMEA sentence into the record. The text ends at its first NUL or at the end of the
// view. Fields are taken by position, so an empty field (a course while standing still) reads as 0
// and the fields after it keep their places.
void ParseGprmc(GpsRecord& record, std::string_view text);

// True when an MP4/MOV file has an "mp4a" sample entry in a track that is not the video track.
bool HasAudioTrack(const std::wstring& path);

class MovieSimpleParser {
  public:
    // Fills the parser from one MP4/MOV file. Returns 1 at once, reading nothing, when a GPSR, SENS
    // or ENCY payload is already held (the front file gave them, so the rear file is not read);
    // otherwise 0, also when the file cannot be opened.
    int ParseMovie(const std::wstring& path);
    // The same walk over a file already open (read from its start).
    int ParseMovie(CFile& file);

    // Fills the parser from a model-3 AVI recording: frame count, one GPS record, one text slot and
    // one G-sensor sample per video frame of stream 0. An unreadable file changes nothing; a file
    // without a usable index sets the frame count to 0 and leaves the other fields as they were.
    void ParseAvi(const std::wstring& path);

    // True once a GPSR, SENS or ENCY payload was kept (even an empty one).
    bool HoldsPayload() const { return m_payloadHeld; }

    // Top-level boxes only. The offset of the last byte of the first box of that type, 0 when there
    // is none or the file cannot be opened.
    static LONGLONG FindAtomEnd(const std::wstring& path, DWORD type);
    // The offset of the first box of that type; when there is none, the offset where the walk
    // ended; 0 when the file cannot be opened.
    static LONGLONG FindAtomOffset(const std::wstring& path, DWORD type);
    // Copies up to `length` bytes from the payload of the first top-level "MD5J" box; the buffer is
    // left as it was when there is none.
    static void ReadMd5j(const std::wstring& path, void* buffer, size_t length);

    int frameCount = 0; // video samples of the recording
    // GPSR payload as stored; for an AVI recording one 256-byte text slot per frame.
    std::vector<char> gpsrPayload;
    std::vector<GpsRecord> gpsRecords;
    std::vector<GsensorSample> gsensorSamples; // the SENS payload, whole samples only
    std::string carNumber;                     // CARN text as stored, 8-bit
    std::vector<BYTE> encyPayload;             // kept as it is, never interpreted

  private:
    void KeepGpsr(std::vector<char> payload);
    void KeepSens(const std::vector<char>& payload);

    bool m_payloadHeld = false;
};

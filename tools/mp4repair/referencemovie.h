#pragma once
// What the repair takes from the intact reference recording: the file type, and for the video and
// the sound track their header, handler and media boxes as they stand, their sample description
// (the codec configuration), time scale and sample duration.

#include "tools/mp4repair/samplescanner.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mp4repair {

using Bytes = std::vector<uint8_t>;

struct BoxSpan {
    std::string type;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t headerSize = 8;
    // The size the header gives passes the end of the data.
    bool cut = false;
};

// The boxes one after another in [begin, end); a box whose size passes the end is cut to it and
// ends the list, so a cut file still shows where its last box began.
std::vector<BoxSpan> ListBoxes(const uint8_t* data, uint64_t begin, uint64_t end);
std::vector<BoxSpan> ListBoxes(ByteSource& source, uint64_t begin, uint64_t end);

struct ReferenceTrack {
    Bytes trackHeader;  // tkhd
    Bytes handler;      // hdlr
    Bytes mediaHeader;  // vmhd or smhd
    Bytes dataInfo;     // dinf
    Bytes description;  // stsd
    std::string format; // the sample entry's four characters
    uint32_t timeScale = 0;
    // Where the track's presentation begins in its media (the encoder's priming), from its edit list.
    int64_t editMediaTime = 0;
    uint32_t sampleDuration = 0;
    // Video: NAL length size. Sound: channels, bits and rate of the entry.
    int nalLengthSize = 4;
    int channels = 0;
    int sampleBits = 0;
    uint32_t sampleRate = 0;
    uint32_t lpcmFlags = 0; // 'lpcm' and 'ipcm': 1 floating point, 2 big-endian, 4 signed
    Bytes codecConfig;      // the AAC decoder configuration, when there is one
};

struct ReferenceMovie {
    Bytes fileType;
    std::optional<ReferenceTrack> video;
    std::optional<ReferenceTrack> sound;
    VideoCodec codec = VideoCodec::H264;
    SoundKind soundKind = SoundKind::None;
};

// False when the data holds no video track of H.264 or HEVC.
bool ReadReference(const Bytes& file, ReferenceMovie& reference);

} // namespace mp4repair

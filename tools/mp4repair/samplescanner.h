#pragma once
// Finds the samples of a broken recording's media data without its index. Video samples are runs
// of length-prefixed NAL units whose lengths and headers are plausible, cut where the next
// picture begins; what lies between two video samples is sound, split into frames that a check
// confirms (AAC frames by decoding them). Bytes that are neither are a damaged stretch: they are
// skipped, and the scan picks up again at the next video sample.
//
// The data is read through a window of bounded size, so the memory a scan needs does not grow
// with the file, only with the number of samples found.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mp4repair {

enum class VideoCodec { H264, Hevc };
enum class SoundKind { None, Aac, Pcm };

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to `count` bytes at the offset; fewer only at the end of the data.
    virtual size_t Read(uint64_t offset, uint8_t* to, size_t count) = 0;
    // The open file behind the data, for copies the system makes itself; -1 when there is none.
    virtual int Descriptor() const { return -1; }
};

class SoundCheck {
  public:
    virtual ~SoundCheck() = default;
    // True when the bytes are exactly one whole sound frame.
    virtual bool IsFrame(const uint8_t* data, size_t size) = 0;
};

struct ScanSettings {
    VideoCodec codec = VideoCodec::H264;
    int nalLengthSize = 4;
    SoundKind sound = SoundKind::None;
    // PCM sound is kept in whole sample frames of this many bytes.
    uint32_t pcmBlockAlign = 2;
    // Nothing larger is taken for a video sample or a sound frame.
    uint32_t largestVideoSample = 8u << 20;
    uint32_t largestSoundFrame = 8192;
};

struct Sample {
    uint64_t offset = 0;
    uint32_t size = 0;
    bool video = false;
    // A video sample that starts a picture the decoder can begin with.
    bool key = false;
};

struct ScanResult {
    std::vector<Sample> samples;
    uint64_t skippedBytes = 0;
};

// Whether a run of PCM between two pictures is so much longer than the recorder's usual run that it
// holds damage: the scan and the index both go by it.
inline bool PcmRunHoldsDamage(uint64_t length, uint64_t usual, uint32_t blockAlign) {
    return length > usual + usual / 2 + blockAlign;
}

// Scans [begin, end) of the source. The check is used for AAC sound and may be null otherwise.
ScanResult ScanMediaData(ByteSource& source, uint64_t begin, uint64_t end, const ScanSettings& settings,
                         SoundCheck* check);

} // namespace mp4repair

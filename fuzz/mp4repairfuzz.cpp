// The repair program's scanner and box reader on any bytes. The first byte picks the settings (video
// codec, NAL length size, sound kind); the rest is the media data, and also a reference file. Every
// sample found must lie inside the data, in order and without overlapping the one before. The sound
// found is then converted to IMA ADPCM, in a PCM layout the first byte also picks, and comes out
// in whole blocks.
#include "tools/mp4repair/aacframecheck.h"
#include "tools/mp4repair/referencemovie.h"
#include "tools/mp4repair/samplescanner.h"
#include "tools/mp4repair/soundconverter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

class Memory : public mp4repair::ByteSource {
  public:
    Memory(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint64_t Size() const override { return m_size; }
    size_t Read(uint64_t offset, uint8_t* to, size_t count) override {
        if (offset >= m_size)
            return 0;
        const size_t n = count < m_size - offset ? count : static_cast<size_t>(m_size - offset);
        std::memcpy(to, m_data + offset, n);
        return n;
    }

  private:
    const uint8_t* m_data;
    size_t m_size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    Memory media(data + 1, size - 1);

    mp4repair::ReferenceMovie reference;
    mp4repair::ReadReference(mp4repair::Bytes(data + 1, data + size), reference);
    mp4repair::ListBoxes(media, 0, media.Size());

    mp4repair::ScanSettings settings;
    settings.codec = (choice & 1) != 0 ? mp4repair::VideoCodec::Hevc : mp4repair::VideoCodec::H264;
    settings.nalLengthSize = (choice >> 1 & 3) + 1;
    settings.sound = (choice >> 3 & 3) == 1   ? mp4repair::SoundKind::Aac
                     : (choice >> 3 & 3) == 2 ? mp4repair::SoundKind::Pcm
                                              : mp4repair::SoundKind::None;
    settings.pcmBlockAlign = (choice >> 5) + 1;
    settings.largestVideoSample = 1 << 16;
    settings.largestSoundFrame = 784;
    // AAC LC, 22050 Hz, mono.
    static mp4repair::CodecLibrary codecs;
    static mp4repair::AacFrameCheck check(codecs, {0x13, 0x88});
    const mp4repair::ScanResult scan = mp4repair::ScanMediaData(
        media, 0, media.Size(), settings, settings.sound == mp4repair::SoundKind::Aac ? &check : nullptr);
    uint64_t previousEnd = 0;
    for (const mp4repair::Sample& sample : scan.samples) {
        if (sample.size == 0 || sample.offset < previousEnd || sample.offset + sample.size > media.Size())
            std::abort();
        previousEnd = sample.offset + sample.size;
    }
    if (settings.sound == mp4repair::SoundKind::None)
        return 0;

    mp4repair::ReferenceTrack sound;
    sound.codecConfig = {0x13, 0x88};
    sound.sampleRate = 22050;
    static const char* const kFormats[] = {"sowt", "twos", "raw ", "lpcm"};
    sound.format = kFormats[choice >> 5 & 3];
    sound.channels = (choice >> 7) + 1;
    sound.sampleBits = static_cast<int>(settings.pcmBlockAlign) * 8 / sound.channels;
    sound.lpcmFlags = choice & 7;
    mp4repair::SoundConverter converter(codecs, sound, settings.sound);
    if (!converter.Ready())
        return 0;
    // Pieces at their places, some overlapping, some with holes between.
    int64_t at = -64;
    size_t made = 0;
    for (const mp4repair::Sample& sample : scan.samples) {
        if (sample.video)
            continue;
        const int64_t length = static_cast<int64_t>(sample.size % 4096);
        converter.Add(data + 1 + sample.offset, sample.size, at, at + length);
        at += length - static_cast<int64_t>(sample.offset % 97) + 48;
        made += converter.TakeBlocks().size();
    }
    converter.Finish(at);
    made += converter.TakeBlocks().size();
    if (made % converter.BlockAlign() != 0)
        std::abort();
    return 0;
}

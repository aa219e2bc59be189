#pragma once
// Turns the recovered sound (PCM in the reference's layout, or AAC frames) into IMA ADPCM in the
// WAV block layout, with the AAC decoder and IMA ADPCM encoder of the loaded codec library. Each
// piece of sound is placed at its time: a hole before it becomes silence, and what overlaps sound
// already placed is dropped, so the sound after a damaged stretch stays in step with the video.

#include "tools/mp4repair/codeclibrary.h"
#include "tools/mp4repair/referencemovie.h"

#include <cstdint>
#include <vector>

namespace mp4repair {

class SoundConverter {
  public:
    // The source is the reference's sound track, of the given kind. Waits for the codec library.
    SoundConverter(CodecLibrary& library, const ReferenceTrack& source, SoundKind kind);
    ~SoundConverter();
    SoundConverter(const SoundConverter&) = delete;
    SoundConverter& operator=(const SoundConverter&) = delete;

    // False when the source's coding cannot be decoded or the encoder cannot be opened.
    bool Ready() const { return m_encoder != nullptr; }
    int Channels() const { return m_channels; }
    uint32_t SampleRate() const { return m_rate; }
    uint32_t BlockAlign() const { return m_blockAlign; }
    uint32_t SamplesPerBlock() const { return m_samplesPerBlock; }

    // One piece of source sound (a run of PCM or one AAC frame) whose decoded samples belong at
    // [from, until), counted in sample frames from the start of the output; from may be negative
    // where the piece begins with the encoder's priming.
    void Add(const uint8_t* data, size_t size, int64_t from, int64_t until);
    // Fills with silence up to `until` and then to a whole block.
    void Finish(int64_t until);
    // The whole blocks made since the last call.
    std::vector<uint8_t> TakeBlocks();

  private:
    void Decode(const uint8_t* data, size_t size);
    void DecodePcm(const uint8_t* data, size_t size);
    void Place(const int16_t* samples, int64_t frames);
    void Silence(int64_t frames);
    void EncodeWholeBlocks();

    const CodecFunctions* m_av;
    SoundKind m_kind;
    // PCM layout of the source.
    int m_bits = 16;
    bool m_bigEndian = false;
    bool m_signed = true;
    bool m_float = false;

    int m_channels = 0;
    uint32_t m_rate = 0;
    uint32_t m_blockAlign = 0;
    uint32_t m_samplesPerBlock = 0;
    AVCodecContext* m_decoder = nullptr;
    AVCodecContext* m_encoder = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;

    // Where the next placed sample frame goes, and the piece being placed.
    int64_t m_position = 0;
    int64_t m_pieceAt = 0;
    int64_t m_pieceEnd = 0;
    std::vector<int16_t> m_decoded; // one piece, interleaved
    std::vector<int16_t> m_pending; // placed, not yet a whole block, interleaved
    std::vector<uint8_t> m_blocks;
};

} // namespace mp4repair

#pragma once
// Confirms AAC frames by decoding them with FFmpeg's decoder: a candidate is one frame when it
// decodes without error into exactly one frame and leaves nothing over. The decoder is opened at
// the first question, so the codec library loads meanwhile.

#include "tools/mp4repair/codeclibrary.h"
#include "tools/mp4repair/samplescanner.h"

#include <vector>

namespace mp4repair {

class AacFrameCheck : public SoundCheck {
  public:
    // The decoder configuration of the reference's sound track.
    AacFrameCheck(CodecLibrary& library, const std::vector<uint8_t>& config);
    ~AacFrameCheck() override;
    AacFrameCheck(const AacFrameCheck&) = delete;
    AacFrameCheck& operator=(const AacFrameCheck&) = delete;

    // Opens the decoder when it is not open yet; false when it cannot be.
    bool Ready();
    bool IsFrame(const uint8_t* data, size_t size) override;

  private:
    CodecLibrary& m_library;
    std::vector<uint8_t> m_config;
    bool m_tried = false;
    const CodecFunctions* m_av = nullptr;
    AVCodecContext* m_context = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    std::vector<uint8_t> m_buffer;
};

} // namespace mp4repair

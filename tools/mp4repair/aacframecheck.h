#pragma once
// Confirms AAC frames by decoding them with FFmpeg's decoder: a candidate is one frame when it
// decodes without error into exactly one frame and leaves nothing over.

#include "tools/mp4repair/samplescanner.h"

#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace mp4repair {

class AacFrameCheck : public SoundCheck {
  public:
    // The decoder configuration of the reference's sound track.
    explicit AacFrameCheck(const std::vector<uint8_t>& config);
    ~AacFrameCheck() override;
    AacFrameCheck(const AacFrameCheck&) = delete;
    AacFrameCheck& operator=(const AacFrameCheck&) = delete;

    bool Ready() const { return m_context != nullptr; }
    bool IsFrame(const uint8_t* data, size_t size) override;

  private:
    AVCodecContext* m_context = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    std::vector<uint8_t> m_buffer;
};

} // namespace mp4repair

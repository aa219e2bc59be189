#include "tools/mp4repair/aacframecheck.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mem.h>
}

#include <cstring>

namespace mp4repair {

AacFrameCheck::AacFrameCheck(const std::vector<uint8_t>& config) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_AAC);
    if (codec == nullptr || config.empty())
        return;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr)
        return;
    context->extradata = static_cast<uint8_t*>(av_mallocz(config.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (context->extradata != nullptr) {
        std::memcpy(context->extradata, config.data(), config.size());
        context->extradata_size = static_cast<int>(config.size());
    }
    // Every damage must show as an error, never be concealed.
    context->err_recognition = AV_EF_EXPLODE | AV_EF_BITSTREAM | AV_EF_BUFFER;
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (context->extradata == nullptr || m_frame == nullptr || m_packet == nullptr ||
        avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return;
    }
    m_context = context;
}

AacFrameCheck::~AacFrameCheck() {
    avcodec_free_context(&m_context);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
}

bool AacFrameCheck::IsFrame(const uint8_t* data, size_t size) {
    if (m_context == nullptr || size == 0 || size > (1u << 20))
        return false;
    m_buffer.assign(data, data + size);
    m_buffer.resize(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    avcodec_flush_buffers(m_context);
    m_packet->data = m_buffer.data();
    m_packet->size = static_cast<int>(size);
    const bool sent = avcodec_send_packet(m_context, m_packet) >= 0;
    m_packet->data = nullptr;
    m_packet->size = 0;
    if (!sent)
        return false;
    if (avcodec_receive_frame(m_context, m_frame) < 0)
        return false;
    av_frame_unref(m_frame);
    const int more = avcodec_receive_frame(m_context, m_frame);
    av_frame_unref(m_frame);
    return more == AVERROR(EAGAIN);
}

} // namespace mp4repair

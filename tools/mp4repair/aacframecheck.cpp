#include "tools/mp4repair/aacframecheck.h"

#include <cstring>

namespace mp4repair {

AacFrameCheck::AacFrameCheck(CodecLibrary& library, const std::vector<uint8_t>& config)
    : m_library(library), m_config(config) {}

AacFrameCheck::~AacFrameCheck() {
    if (m_av == nullptr)
        return;
    m_av->freeContext(&m_context);
    m_av->frameFree(&m_frame);
    m_av->packetFree(&m_packet);
}

bool AacFrameCheck::Ready() {
    if (m_tried)
        return m_context != nullptr;
    m_tried = true;
    m_av = m_library.Functions();
    if (m_av == nullptr)
        return false;
    const AVCodec* codec = m_av->findDecoder(AV_CODEC_ID_AAC);
    if (codec == nullptr || m_config.empty())
        return false;
    AVCodecContext* context = m_av->allocContext(codec);
    if (context == nullptr)
        return false;
    context->extradata = static_cast<uint8_t*>(m_av->mallocz(m_config.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (context->extradata != nullptr) {
        std::memcpy(context->extradata, m_config.data(), m_config.size());
        context->extradata_size = static_cast<int>(m_config.size());
    }
    // Every damage must show as an error, never be concealed.
    context->err_recognition = AV_EF_EXPLODE | AV_EF_BITSTREAM | AV_EF_BUFFER;
    m_frame = m_av->frameAlloc();
    m_packet = m_av->packetAlloc();
    if (context->extradata == nullptr || m_frame == nullptr || m_packet == nullptr ||
        m_av->open(context, codec, nullptr) < 0) {
        m_av->freeContext(&context);
        return false;
    }
    m_context = context;
    return true;
}

bool AacFrameCheck::IsFrame(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20) || !Ready())
        return false;
    m_buffer.assign(data, data + size);
    m_buffer.resize(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    m_av->flushBuffers(m_context);
    m_packet->data = m_buffer.data();
    m_packet->size = static_cast<int>(size);
    const bool sent = m_av->sendPacket(m_context, m_packet) >= 0;
    m_packet->data = nullptr;
    m_packet->size = 0;
    if (!sent)
        return false;
    if (m_av->receiveFrame(m_context, m_frame) < 0)
        return false;
    m_av->frameUnref(m_frame);
    const int more = m_av->receiveFrame(m_context, m_frame);
    m_av->frameUnref(m_frame);
    return more == AVERROR(EAGAIN);
}

} // namespace mp4repair

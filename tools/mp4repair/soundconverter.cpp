#include "tools/mp4repair/soundconverter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mp4repair {

namespace {

int16_t FromFloat(double value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

// Sample `index` of channel `channel` of a decoded frame, in 16 bits.
int16_t FrameSample(const CodecFunctions& av, const AVFrame& frame, int channel, int index) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const bool planar = av.sampleFormatIsPlanar(format) != 0;
    const int channels = frame.ch_layout.nb_channels;
    const uint8_t* plane = frame.extended_data[planar ? channel : 0];
    const int at = planar ? index : index * channels + channel;
    switch (av.packedSampleFormat(format)) {
    case AV_SAMPLE_FMT_FLT:
        return FromFloat(reinterpret_cast<const float*>(plane)[at]);
    case AV_SAMPLE_FMT_DBL:
        return FromFloat(reinterpret_cast<const double*>(plane)[at]);
    case AV_SAMPLE_FMT_S16:
        return reinterpret_cast<const int16_t*>(plane)[at];
    case AV_SAMPLE_FMT_S32:
        return static_cast<int16_t>(reinterpret_cast<const int32_t*>(plane)[at] >> 16);
    default:
        return 0;
    }
}

} // namespace

SoundConverter::SoundConverter(CodecLibrary& library, const ReferenceTrack& source, SoundKind kind)
    : m_av(library.Functions()), m_kind(kind) {
    if (m_av == nullptr)
        return;
    m_frame = m_av->frameAlloc();
    m_packet = m_av->packetAlloc();
    if (m_frame == nullptr || m_packet == nullptr)
        return;
    if (kind == SoundKind::Aac) {
        const AVCodec* aac = m_av->findDecoder(AV_CODEC_ID_AAC);
        m_decoder = aac != nullptr ? m_av->allocContext(aac) : nullptr;
        if (m_decoder == nullptr || source.codecConfig.empty())
            return;
        m_decoder->extradata =
            static_cast<uint8_t*>(m_av->mallocz(source.codecConfig.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (m_decoder->extradata == nullptr)
            return;
        std::memcpy(m_decoder->extradata, source.codecConfig.data(), source.codecConfig.size());
        m_decoder->extradata_size = static_cast<int>(source.codecConfig.size());
        if (m_av->open(m_decoder, aac, nullptr) < 0)
            return;
        m_channels = m_decoder->ch_layout.nb_channels;
        // The decoder learns its rate from the first frame; the entry's rate is the one it gives.
        m_rate =
            m_decoder->sample_rate > 0 ? static_cast<uint32_t>(m_decoder->sample_rate) : source.sampleRate;
    } else if (kind == SoundKind::Pcm) {
        m_channels = source.channels;
        m_rate = source.sampleRate;
        m_bits = source.sampleBits;
        // 'sowt' is little-endian; 'twos' big-endian; 'raw ' is unsigned 8-bit; 'lpcm' says all of
        // it in its flags, and so does the ISO 'ipcm' as its reader sets them.
        m_bigEndian = source.format == "twos";
        m_signed = source.format != "raw ";
        if (source.format == "lpcm" || source.format == "ipcm") {
            m_float = (source.lpcmFlags & 1) != 0;
            m_bigEndian = (source.lpcmFlags & 2) != 0;
            m_signed = (source.lpcmFlags & 4) != 0;
        }
        const bool known =
            m_float ? m_bits == 32 || m_bits == 64 : m_bits % 8 == 0 && m_bits >= 8 && m_bits <= 32;
        if (!known)
            return;
    } else {
        return;
    }
    // FFmpeg's encoder takes one or two channels.
    if (m_channels < 1 || m_channels > 2 || m_rate == 0 || m_rate > 65535)
        return;
    const AVCodec* adpcm = m_av->findEncoder(AV_CODEC_ID_ADPCM_IMA_WAV);
    AVCodecContext* encoder = adpcm != nullptr ? m_av->allocContext(adpcm) : nullptr;
    if (encoder == nullptr)
        return;
    encoder->sample_rate = static_cast<int>(m_rate);
    m_av->channelLayoutDefault(&encoder->ch_layout, m_channels);
    encoder->sample_fmt = adpcm->sample_fmts != nullptr ? adpcm->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    encoder->time_base = AVRational{1, static_cast<int>(m_rate)};
    const bool planar = encoder->sample_fmt == AV_SAMPLE_FMT_S16P;
    if ((!planar && encoder->sample_fmt != AV_SAMPLE_FMT_S16) || m_av->open(encoder, adpcm, nullptr) < 0 ||
        encoder->frame_size <= 1 || encoder->block_align <= 0) {
        m_av->freeContext(&encoder);
        return;
    }
    m_samplesPerBlock = static_cast<uint32_t>(encoder->frame_size);
    m_blockAlign = static_cast<uint32_t>(encoder->block_align);
    m_encoder = encoder;
}

SoundConverter::~SoundConverter() {
    if (m_av == nullptr)
        return;
    m_av->freeContext(&m_decoder);
    m_av->freeContext(&m_encoder);
    m_av->frameFree(&m_frame);
    m_av->packetFree(&m_packet);
}

void SoundConverter::Add(const uint8_t* data, size_t size, int64_t from, int64_t until) {
    if (!Ready())
        return;
    if (from > m_position)
        Silence(from - m_position);
    m_pieceAt = from;
    m_pieceEnd = until;
    Decode(data, size);
    EncodeWholeBlocks();
}

void SoundConverter::Finish(int64_t until) {
    if (!Ready())
        return;
    if (until > m_position)
        Silence(until - m_position);
    const size_t block = static_cast<size_t>(m_samplesPerBlock) * static_cast<size_t>(m_channels);
    if (!m_pending.empty())
        m_pending.resize((m_pending.size() + block - 1) / block * block, 0);
    EncodeWholeBlocks();
}

std::vector<uint8_t> SoundConverter::TakeBlocks() {
    std::vector<uint8_t> blocks;
    blocks.swap(m_blocks);
    return blocks;
}

void SoundConverter::Decode(const uint8_t* data, size_t size) {
    if (m_kind == SoundKind::Pcm) {
        DecodePcm(data, size);
        return;
    }
    if (m_av->newPacket(m_packet, static_cast<int>(size)) < 0)
        return;
    std::memcpy(m_packet->data, data, size);
    const int sent = m_av->sendPacket(m_decoder, m_packet);
    m_av->packetUnref(m_packet);
    if (sent < 0)
        return;
    while (m_av->receiveFrame(m_decoder, m_frame) >= 0) {
        // A frame in another layout than the track announced cannot be placed in it.
        if (m_frame->ch_layout.nb_channels == m_channels &&
            m_frame->sample_rate == static_cast<int>(m_rate)) {
            m_decoded.resize(static_cast<size_t>(m_frame->nb_samples) * static_cast<size_t>(m_channels));
            for (int i = 0; i < m_frame->nb_samples; ++i)
                for (int channel = 0; channel < m_channels; ++channel)
                    m_decoded[static_cast<size_t>(i * m_channels + channel)] =
                        FrameSample(*m_av, *m_frame, channel, i);
            Place(m_decoded.data(), m_frame->nb_samples);
        }
        m_av->frameUnref(m_frame);
    }
}

void SoundConverter::DecodePcm(const uint8_t* data, size_t size) {
    const size_t bytes = static_cast<size_t>(m_bits / 8);
    const size_t frameBytes = bytes * static_cast<size_t>(m_channels);
    const size_t frames = size / frameBytes;
    m_decoded.resize(frames * static_cast<size_t>(m_channels));
    for (size_t i = 0; i < m_decoded.size(); ++i) {
        const uint8_t* p = data + i * bytes;
        uint64_t raw = 0;
        for (size_t b = 0; b < bytes; ++b)
            raw |= static_cast<uint64_t>(p[m_bigEndian ? b : bytes - 1 - b]) << (8 * (bytes - 1 - b));
        int16_t value;
        if (m_float && bytes == 4) {
            const auto word = static_cast<uint32_t>(raw);
            float f;
            std::memcpy(&f, &word, sizeof f);
            value = FromFloat(std::isfinite(f) ? f : 0.0);
        } else if (m_float) {
            double d;
            std::memcpy(&d, &raw, sizeof d);
            value = FromFloat(std::isfinite(d) ? d : 0.0);
        } else {
            // The top 16 bits, made signed.
            const uint64_t top = bytes >= 2 ? raw >> (8 * (bytes - 2)) : raw << 8;
            value = static_cast<int16_t>(static_cast<uint16_t>(m_signed ? top : top ^ 0x8000));
        }
        m_decoded[i] = value;
    }
    Place(m_decoded.data(), static_cast<int64_t>(frames));
}

void SoundConverter::Place(const int16_t* samples, int64_t frames) {
    const int64_t begin = std::max(m_pieceAt, m_position);
    const int64_t end = std::min(m_pieceAt + frames, m_pieceEnd);
    if (end > begin) {
        const auto channels = static_cast<size_t>(m_channels);
        m_pending.insert(m_pending.end(), samples + static_cast<size_t>(begin - m_pieceAt) * channels,
                         samples + static_cast<size_t>(end - m_pieceAt) * channels);
        m_position = end;
    }
    m_pieceAt += frames;
}

void SoundConverter::Silence(int64_t frames) {
    // Block by block, so that a long hole never stands in memory as samples.
    while (frames > 0) {
        const int64_t count = std::min<int64_t>(frames, m_samplesPerBlock);
        m_pending.insert(m_pending.end(), static_cast<size_t>(count) * static_cast<size_t>(m_channels), 0);
        m_position += count;
        frames -= count;
        EncodeWholeBlocks();
    }
}

void SoundConverter::EncodeWholeBlocks() {
    const size_t perBlock = static_cast<size_t>(m_samplesPerBlock);
    const auto channels = static_cast<size_t>(m_channels);
    size_t used = 0;
    while (m_pending.size() - used >= perBlock * channels) {
        m_frame->nb_samples = static_cast<int>(perBlock);
        m_frame->format = m_encoder->sample_fmt;
        m_frame->sample_rate = m_encoder->sample_rate;
        if (m_av->channelLayoutCopy(&m_frame->ch_layout, &m_encoder->ch_layout) < 0 ||
            m_av->frameGetBuffer(m_frame, 0) < 0) {
            m_av->frameUnref(m_frame);
            break;
        }
        const int16_t* from = m_pending.data() + used;
        if (m_encoder->sample_fmt == AV_SAMPLE_FMT_S16P) {
            for (size_t channel = 0; channel < channels; ++channel) {
                auto* plane = reinterpret_cast<int16_t*>(m_frame->extended_data[channel]);
                for (size_t i = 0; i < perBlock; ++i)
                    plane[i] = from[i * channels + channel];
            }
        } else {
            std::memcpy(m_frame->data[0], from, perBlock * channels * sizeof(int16_t));
        }
        used += perBlock * channels;
        const int sent = m_av->sendFrame(m_encoder, m_frame);
        m_av->frameUnref(m_frame);
        if (sent < 0)
            break;
        while (m_av->receivePacket(m_encoder, m_packet) >= 0) {
            m_blocks.insert(m_blocks.end(), m_packet->data, m_packet->data + m_packet->size);
            m_av->packetUnref(m_packet);
        }
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(used));
}

} // namespace mp4repair

#include "viewer/engine/audiooutput.h"

#include "viewer/engine/enginetrace.h"
#include "viewer/engine/packetqueue.h"
#include "viewer/engine/videorefresh.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr int kTargetBytesPerSample = 2; // signed 16-bit

void SetParams(AudioParams* params, int frequency, const AVChannelLayout& layout, AVSampleFormat format) {
    av_channel_layout_uninit(&params->channelLayout);
    av_channel_layout_copy(&params->channelLayout, &layout);
    params->frequency = frequency;
    params->channels = layout.nb_channels;
    params->format = format;
}

// A decoded frame that needs a new resampler: its format, layout or rate changed, or its length is
// to be corrected and there is no resampler to do it.
bool NeedsNewResampler(const VideoState* is, const AVFrame* frame, int wantedSamples) {
    return frame->format != is->audioSrc.format ||
           av_channel_layout_compare(&frame->ch_layout, &is->audioSrc.channelLayout) != 0 ||
           frame->sample_rate != is->audioSrc.frequency ||
           (wantedSamples != frame->nb_samples && !is->swrCtx);
}

// Converts the frame into the output buffer; its size in bytes, or -1 when the frame is dropped.
int ConvertFrame(VideoState* is, AVFrame* frame, int wantedSamples) {
    if (NeedsNewResampler(is, frame, wantedSamples)) {
        swr_free(&is->swrCtx);
        swr_alloc_set_opts2(&is->swrCtx, &is->audioTgt.channelLayout, is->audioTgt.format,
                            is->audioTgt.frequency, &frame->ch_layout,
                            static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
        if (!is->swrCtx || swr_init(is->swrCtx) < 0) {
            EngineError(
                "Cannot create sample rate converter for conversion of %d Hz %s %d channels to %d Hz %s %d "
                "channels!",
                frame->sample_rate, av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame->format)),
                frame->ch_layout.nb_channels, is->audioTgt.frequency,
                av_get_sample_fmt_name(is->audioTgt.format), is->audioTgt.channels);
            swr_free(&is->swrCtx);
            return -1;
        }
        SetParams(&is->audioSrc, frame->sample_rate, frame->ch_layout,
                  static_cast<AVSampleFormat>(frame->format));
    }
    if (!is->swrCtx) {
        is->audioBuf = frame->data[0];
        return av_samples_get_buffer_size(nullptr, frame->ch_layout.nb_channels, frame->nb_samples,
                                          static_cast<AVSampleFormat>(frame->format), 1);
    }
    const int targetRate = is->audioTgt.frequency;
    if (wantedSamples != frame->nb_samples &&
        swr_set_compensation(is->swrCtx,
                             (wantedSamples - frame->nb_samples) * targetRate / frame->sample_rate,
                             wantedSamples * targetRate / frame->sample_rate) < 0) {
        EngineError("swr_set_compensation() failed");
        return -1;
    }
    uint8_t* output = is->audioBuf1.data();
    const int room = kAudioBufferBytes / is->audioTgt.channels / kTargetBytesPerSample;
    const int converted = swr_convert(is->swrCtx, &output, room,
                                      const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (converted < 0) {
        EngineError("audio_resample() failed");
        return -1;
    }
    if (converted == room) {
        EngineError("warning: audio buffer is probably too small");
        swr_init(is->swrCtx);
    }
    is->audioBuf = is->audioBuf1.data();
    return converted * is->audioTgt.channels * kTargetBytesPerSample;
}

double BytesPerSecond(const VideoState* is) {
    return static_cast<double>(is->audioTgt.frequency) * is->audioTgt.channels * kTargetBytesPerSample;
}

// The sound from the picture's time on: decoded sound that would be heard before it is dropped, so
// that the clock of the callback's end (audio time, with its two hardware buffers of latency) meets
// the video clock. False while no sound is decoded yet.
bool AlignSoundToPicture(VideoState* is, int frameSize) {
    const double bytesPerSecond = BytesPerSecond(is);
    if (bytesPerSecond <= 0 || frameSize <= 0)
        return true;
    // The callback fills one hardware buffer; the audio time at its end lies one buffer behind
    // the first sample written.
    const double start = get_video_clock(is) + is->audioHwBufSize / bytesPerSecond;
    for (;;) {
        double pts = 0;
        const int size = audio_decode_frame(is, &pts);
        if (size < 0)
            return false;
        if (is->audioClock <= start)
            continue;
        const double skipped = std::clamp((start - pts) * bytesPerSecond, 0.0, static_cast<double>(size));
        is->audioBufSize = static_cast<unsigned>(size);
        is->audioBufIndex = static_cast<unsigned>(static_cast<int>(skipped) / frameSize * frameSize);
        // What was measured against the clock while catching up says nothing about the drift.
        is->audioDiffAvgCount = 0;
        is->audioDiffCum = 0;
        return true;
    }
}

// A picture of the current place is on screen: one was shown since the channel opened or since the
// video thread took up the last seek (which forgets the time of the picture shown before it).
bool PictureOfThisPlaceShown(const VideoState* is) {
    return !is->seekFlushPending && !std::isnan(is->frameLastPts.load());
}

// How far the sound's clock is ahead of the picture's (negative: behind); 0 while there is no
// running picture to keep to.
double SoundLead(VideoState* is) {
    if (is->videoStream < 0 || !is->pictureShown || is->paused)
        return 0;
    return get_audio_clock(is) - get_video_clock(is);
}

} // namespace

int WantedAudioLayout(const char* environmentChannels, const AVChannelLayout& decoderLayout,
                      AVChannelLayout* wanted) {
    AVChannelLayout layout{};
    if (environmentChannels)
        av_channel_layout_default(&layout, std::atoi(environmentChannels));
    else if (decoderLayout.order != AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_copy(&layout, &decoderLayout);
    else
        av_channel_layout_default(&layout, decoderLayout.nb_channels);
    if (layout.order == AV_CHANNEL_ORDER_NATIVE && (layout.u.mask & AV_CH_LAYOUT_STEREO_DOWNMIX)) {
        const uint64_t mask = layout.u.mask & ~AV_CH_LAYOUT_STEREO_DOWNMIX;
        av_channel_layout_uninit(&layout);
        av_channel_layout_from_mask(&layout, mask);
    }
    // The sound device takes 1, 2, 4 or 6 channels.
    const int count = layout.nb_channels;
    const int supported = count == 3 ? 2 : count == 5 ? 4 : count > 6 ? 6 : count;
    if (supported != count) {
        av_channel_layout_uninit(&layout);
        av_channel_layout_default(&layout, supported);
    }
    *wanted = layout;
    return layout.nb_channels;
}

int AudioComponentOpen(VideoState* is, AVCodecContext* context, int streamIndex) {
    AVChannelLayout wanted{};
    WantedAudioLayout(SDL_getenv("SDL_AUDIO_CHANNELS"), context->ch_layout, &wanted);
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = context->sample_rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(std::max(0, wanted.nb_channels));
    want.silence = 0;
    want.samples = kAudioCallbackSamples;
    want.callback = AudioCallback;
    want.userdata = is;
    if (want.freq <= 0 || wanted.nb_channels <= 0) {
        EngineError("Invalid sample rate or channel count!");
        av_channel_layout_uninit(&wanted);
        return -1;
    }
    if (SDL_OpenAudio(&want, &have) < 0) {
        EngineError("SDL_OpenAudio: %s", SDL_GetError());
        av_channel_layout_uninit(&wanted);
        return -1;
    }
    if (have.format != AUDIO_S16SYS) {
        EngineError("SDL advised audio format %d is not supported!", have.format);
        SDL_CloseAudio();
        av_channel_layout_uninit(&wanted);
        return -1;
    }
    if (have.channels != want.channels) {
        av_channel_layout_uninit(&wanted);
        av_channel_layout_default(&wanted, have.channels);
        if (wanted.order != AV_CHANNEL_ORDER_NATIVE) {
            EngineError("SDL advised channel count %d is not supported!", have.channels);
            SDL_CloseAudio();
            av_channel_layout_uninit(&wanted);
            return -1;
        }
    }
    is->ownsAudioDevice = true;
    SetParams(&is->audioTgt, have.freq, wanted, AV_SAMPLE_FMT_S16);
    SetParams(&is->audioSrc, have.freq, wanted, AV_SAMPLE_FMT_S16);
    av_channel_layout_uninit(&wanted);
    is->audioHwBufSize = static_cast<int>(have.size);
    is->audioBufSize = 0;
    is->audioBufIndex = 0;
    is->audioDiffAvgCoef = std::exp(std::log(0.01) / kAudioDiffAverageCount);
    is->audioDiffAvgCount = 0;
    is->audioDiffCum = 0;
    is->audioDiffThreshold = kAudioDiffThreshold;
    is->audioBuf1.assign(kAudioBufferBytes, 0);
    is->audioSilence.assign(kAudioCallbackSamples, 0);
    is->audioPkt = av_packet_alloc();
    is->audioFrame = av_frame_alloc();
    is->audioSt = is->ic->streams[streamIndex];
    is->audioCtx = context;
    packet_queue_init(&is->audioq);
    is->audioq.neverWait = 1;
    is->audioStream = streamIndex;
    // Everything above is in place before the first call: the callback runs under the audio lock.
    SDL_LockAudio();
    SDL_PauseAudio(0);
    SDL_UnlockAudio();
    return 0;
}

int synchronize_audio(VideoState* is, int sampleCount) {
    int wanted = sampleCount;
    if (g_playbackEngine.avSyncType == 0)
        return wanted;
    const double difference = get_audio_clock(is) - get_master_clock(is);
    if (std::isnan(difference) || std::fabs(difference) >= kAudioNoSyncThreshold) {
        // Too far apart to be a drift (a seek, a jump): start measuring afresh.
        is->audioDiffAvgCount = 0;
        is->audioDiffCum = 0;
        return wanted;
    }
    is->audioDiffCum = difference + is->audioDiffAvgCoef * is->audioDiffCum;
    if (is->audioDiffAvgCount < kAudioDiffAverageCount) {
        ++is->audioDiffAvgCount;
        return wanted;
    }
    const double average = is->audioDiffCum * (1.0 - is->audioDiffAvgCoef);
    if (std::fabs(average) >= is->audioDiffThreshold) {
        wanted = sampleCount + static_cast<int>(difference * is->audioSrc.frequency);
        const int minimum = sampleCount * (100 - kSampleCorrectionPercentMax) / 100;
        const int maximum = sampleCount * (100 + kSampleCorrectionPercentMax) / 100;
        wanted = std::clamp(wanted, minimum, maximum);
    }
    return wanted;
}

int audio_decode_frame(VideoState* is, double* pts) {
    for (;;) {
        const int received = avcodec_receive_frame(is->audioCtx, is->audioFrame);
        if (received == 0) {
            AVFrame* frame = is->audioFrame;
            const int wanted = synchronize_audio(is, frame->nb_samples);
            const int size = ConvertFrame(is, frame, wanted);
            if (size < 0)
                continue;
            *pts = is->audioClock;
            if (frame->sample_rate > 0)
                is->audioClock += static_cast<double>(frame->nb_samples) / frame->sample_rate;
            return size;
        }
        if (received == AVERROR_EOF)
            avcodec_flush_buffers(is->audioCtx);
        if (is->paused || is->audioq.abortRequest)
            return -1;
        PacketKind kind;
        if (packet_queue_get(&is->audioq, is->audioPkt, 1, &kind) <= 0)
            return -1;
        switch (kind) {
        case PacketKind::Flush:
            avcodec_flush_buffers(is->audioCtx);
            break;
        case PacketKind::Empty:
            avcodec_send_packet(is->audioCtx, nullptr);
            av_packet_unref(is->audioPkt);
            break;
        case PacketKind::Data:
            if (is->audioPkt->pts != AV_NOPTS_VALUE)
                is->audioClock = av_q2d(is->audioSt->time_base) * is->audioPkt->pts;
            // A packet the decoder refuses (the zero packets at the end, for some codecs) is dropped.
            avcodec_send_packet(is->audioCtx, is->audioPkt);
            av_packet_unref(is->audioPkt);
            break;
        }
    }
}

void AudioCallback(void* opaque, uint8_t* stream, int length) {
    auto* is = static_cast<VideoState*>(opaque);
    const int frameSize = is->audioTgt.channels * kTargetBytesPerSample;
    const int64_t callbackTime = static_cast<int64_t>(EngineNow() * 1000000.0);
    is->audioCallbackTime = callbackTime;
    // Other speeds play silence: SDL clears the buffer before every call.
    if (is->speed != 1.0)
        return;
    // A picture that stalls is never made up, a front camera may wait for the rear, and a sound
    // device may run faster or slower than the clock: whenever the sound is more than one callback
    // away from the picture, it waits for the picture (silence, its clock standing still) or skips
    // ahead to it. Smaller differences are left to the stretch of synchronize_audio.
    bool play = true;
    const double bytesPerSecond = BytesPerSecond(is);
    const double oneCallback = bytesPerSecond > 0 ? is->audioHwBufSize / bytesPerSecond : 0;
    if (is->soundAwaitsPicture) {
        // Silence until the first picture is on screen, then the sound from that picture's time.
        if (!PictureOfThisPlaceShown(is) || !AlignSoundToPicture(is, frameSize))
            return;
        is->soundAwaitsPicture = 0;
    } else if (const double lead = SoundLead(is); lead > oneCallback) {
        play = false;
    } else if (lead < -oneCallback) {
        play = AlignSoundToPicture(is, frameSize);
    }
    const int volume = g_playbackEngine.volume;
    while (play && length > 0) {
        if (is->audioBufIndex >= is->audioBufSize) {
            double pts = 0;
            const int size = audio_decode_frame(is, &pts);
            if (size < 0) {
                is->audioBuf = is->audioSilence.data();
                is->audioBufSize = frameSize > 0 ? kAudioCallbackSamples / frameSize * frameSize : 0;
            } else {
                is->audioBufSize = static_cast<unsigned>(size);
            }
            is->audioBufIndex = 0;
            if (is->audioBufSize == 0)
                break;
        }
        const int chunk = std::min(static_cast<int>(is->audioBufSize - is->audioBufIndex), length);
        SDL_MixAudio(stream, is->audioBuf + is->audioBufIndex, static_cast<Uint32>(chunk), volume);
        length -= chunk;
        stream += chunk;
        is->audioBufIndex += static_cast<unsigned>(chunk);
    }
    if (bytesPerSecond > 0) {
        const unsigned buffered = is->audioBufSize - is->audioBufIndex;
        const double audioTime =
            is->audioClock - static_cast<double>(2 * is->audioHwBufSize + buffered) / bytesPerSecond;
        is->audioCurrentPts = audioTime;
        is->audioCurrentPtsDrift = audioTime - callbackTime / 1000000.0;
    }
}

#include "viewer/engine/readthread.h"

#include "platform/base/codepage.h"
#include "platform/base/timing.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/recordingnames.h"
#include "viewer/engine/audiooutput.h"
#include "viewer/engine/enginetrace.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/packetqueue.h"
#include "viewer/engine/playerevents.h"
#include "viewer/engine/videorefresh.h"
#include "viewer/engine/videothread.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/cpu.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr int kEndOfFileResult = 2;
constexpr int kOpenFailedResult = -1;
// A demuxer that fails at the same place without an I/O error is given this many tries (100 ms
// apart) before the file counts as ended; otherwise the channel would never finish.
constexpr int kMaxReadRetries = 50;
constexpr int kEofPushTries = 100;

bool UnknownDuration(int64_t duration) {
    return duration == AV_NOPTS_VALUE || duration <= 0;
}

// The end of the file: the channel mutes (keeping the volume for a later seek) and stops its sound.
void MuteAtEnd(VideoState* is) {
    PlaybackEngine& engine = g_playbackEngine;
    if (is->ownsAudioDevice)
        SDL_PauseAudio(1);
    const int volume = engine.volume;
    if (volume != 0)
        engine.savedVolume = volume;
    engine.volume = 0;
    engine.mutedAtEnd = 1;
}

// After a seek: the sound plays again, at the volume it had before the engine muted it.
void UnmuteAfterSeek(VideoState* is) {
    PlaybackEngine& engine = g_playbackEngine;
    if (is->ownsAudioDevice)
        SDL_PauseAudio(0);
    if (engine.mutedAtEnd.exchange(0))
        engine.volume = engine.savedVolume.load();
}

void ReportReadFailure() {
    if (g_hViewWnd)
        PostMessage(g_hViewWnd, WM_PLAYER_READ_ERROR, 1, 0);
}

int FindVideoStream(VideoState* is) {
    AVFormatContext* ic = is->ic;
    if (is->singleFileAvi) {
        // One file holds every camera: stream n is camera n.
        const int index = is->channel;
        return index < static_cast<int>(ic->nb_streams) &&
                       ic->streams[index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO
                   ? index
                   : -1;
    }
    return av_find_best_stream(ic, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
}

bool IsPcm(AVCodecID codec) {
    return codec >= AV_CODEC_ID_FIRST_AUDIO && codec < AV_CODEC_ID_ADPCM_IMA_QT;
}

void SeekIfAsked(VideoState* is, int* eof, int* silencePackets, bool* drained) {
    if (!is->seekRequest)
        return;
    const int64_t target = is->seekPos;
    const SeekWindow window = SeekWindowFor(target, is->seekRel);
    const int result = avformat_seek_file(is->ic, -1, window.minimum, target, window.maximum, is->seekFlags);
    if (result < 0) {
        EngineError("%s: error while seeking", is->filename.c_str());
    } else {
        // In a one-file recording the front channel's sound stands for the file.
        if (is->audioStream >= 0 && (!is->singleFileAvi || is->channel == kCameraFront)) {
            // The sound of the new place waits for its picture, as at the start.
            is->soundAwaitsPicture = is->videoStream >= 0 ? 1 : 0;
            packet_queue_flush(&is->audioq);
            packet_queue_put_flush(&is->audioq);
        }
        if (is->videoStream >= 0) {
            packet_queue_flush(&is->videoq);
            is->seekFlushPending = 1;
            packet_queue_put_flush(&is->videoq);
        }
    }
    is->seekRequest = 0;
    if (result < 0)
        return;
    is->seekSkipState = 4;
    *eof = 0;
    *silencePackets = 0;
    *drained = false;
    if (is->audioStream >= 0)
        UnmuteAfterSeek(is);
    av_read_play(is->ic);
}

// An MP4 or MOV header gives every stream's codec, picture size, frame rate and sound format, and
// the file's length: probing the streams would only decode the first key frame before the decoder
// decodes it again, which with four channels opening at once delays every first picture.
bool HeaderDescribesStreams(const AVFormatContext* ic) {
    if (std::strncmp(ic->iformat->name, "mov,", 4) != 0 || UnknownDuration(ic->duration))
        return false;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        const AVStream* stream = ic->streams[i];
        const AVCodecParameters* parameters = stream->codecpar;
        if (parameters->codec_id == AV_CODEC_ID_NONE)
            return false;
        if (parameters->codec_type == AVMEDIA_TYPE_VIDEO &&
            (parameters->width <= 0 || parameters->height <= 0 || stream->avg_frame_rate.num <= 0))
            return false;
        if (parameters->codec_type == AVMEDIA_TYPE_AUDIO &&
            (parameters->sample_rate <= 0 || parameters->ch_layout.nb_channels <= 0))
            return false;
    }
    return true;
}

bool QueuesFull(VideoState* is) {
    const bool audio = is->audioStream >= 0;
    const bool video = is->videoStream >= 0;
    if (is->audioq.byteSize + is->videoq.byteSize > kMaxQueueBytes)
        return true;
    return !((is->audioq.byteSize <= kMinAudioQueueBytes && audio) ||
             (is->videoq.packetCount <= kMinVideoPackets && video));
}

} // namespace

int DecoderThreadCount(int cores) {
    return std::max(1, cores / kChannelCount);
}

SeekWindow SeekWindowFor(int64_t target, int64_t relative) {
    SeekWindow window;
    window.minimum = relative > 0 ? target - relative + 2 : INT64_MIN;
    window.maximum = relative < 0 ? target - relative - 2 : INT64_MAX;
    return window;
}

void stream_seek(VideoState* is, int64_t position, int64_t relative, int byBytes) {
    if (is->seekRequest)
        return;
    is->seekPos = position;
    is->seekRel = relative;
    is->seekFlags = byBytes ? AVSEEK_FLAG_BYTE : 0;
    is->syncWarmupCount = 0;
    is->seekRequest = 1;
}

int FindAudioStream(AVFormatContext* context, int videoIndex) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters* parameters = context->streams[i]->codecpar;
        if (parameters->codec_type == AVMEDIA_TYPE_AUDIO && IsPcm(parameters->codec_id))
            return static_cast<int>(i);
    }
    return av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, videoIndex, nullptr, 0);
}

void CloseInput(AVFormatContext** context) {
    if (!*context)
        return;
    AVIOContext* ownIo = ((*context)->flags & AVFMT_FLAG_CUSTOM_IO) ? (*context)->pb : nullptr;
    avformat_close_input(context);
    if (ownIo) {
        av_freep(&ownIo->buffer);
        avio_context_free(&ownIo);
    }
}

int StreamComponentOpen(VideoState* is, int streamIndex) {
    AVFormatContext* ic = is->ic;
    if (streamIndex < 0 || streamIndex >= static_cast<int>(ic->nb_streams))
        return -1;
    AVStream* stream = ic->streams[streamIndex];
    AVCodecContext* context = avcodec_alloc_context3(nullptr);
    if (!context)
        return -1;
    const AVCodec* codec = nullptr;
    if (avcodec_parameters_to_context(context, stream->codecpar) >= 0) {
        context->pkt_timebase = stream->time_base;
        codec = avcodec_find_decoder(context->codec_id);
    }
    context->thread_count = DecoderThreadCount(av_cpu_count());
    const bool opened = codec && avcodec_open2(context, codec, nullptr) >= 0;
    if (!opened) {
        avcodec_free_context(&context);
        return -1;
    }

    stream->discard = AVDISCARD_DEFAULT;
    switch (context->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        if (AudioComponentOpen(is, context, streamIndex) < 0) {
            stream->discard = AVDISCARD_ALL;
            avcodec_free_context(&context);
            return -1;
        }
        return 0;
    case AVMEDIA_TYPE_VIDEO: {
        is->videoSt = stream;
        is->videoCtx = context;
        is->decoderWidth = context->width;
        is->decoderHeight = context->height;
        const AVRational rate = av_guess_frame_rate(ic, stream, nullptr);
        is->videoFrameDuration = rate.num > 0 && rate.den > 0 ? av_q2d(AVRational{rate.den, rate.num}) : 0.0;
        is->frameTimer = EngineNow();
        is->videoCurrentPtsDrift = -EngineNow();
        packet_queue_init(&is->videoq);
        is->videoq.neverWait = 0;
        is->videoStream = streamIndex;
        is->videoThread = SDL_CreateThread(VideoThread, is);
        if (!is->videoThread) {
            is->videoStream = -1;
            packet_queue_destroy(&is->videoq);
            is->videoSt = nullptr;
            is->videoCtx = nullptr;
            stream->discard = AVDISCARD_ALL;
            avcodec_free_context(&context);
            return -1;
        }
        return 0;
    }
    default:
        stream->discard = AVDISCARD_ALL;
        avcodec_free_context(&context);
        return -1;
    }
}

void stream_component_close(VideoState* is, int streamIndex) {
    AVFormatContext* ic = is->ic;
    if (streamIndex < 0 || streamIndex >= static_cast<int>(ic->nb_streams))
        return;
    AVStream* stream = ic->streams[streamIndex];
    if (streamIndex == is->audioStream) {
        packet_queue_abort(&is->audioq);
        if (is->ownsAudioDevice) {
            SDL_CloseAudio();
            is->ownsAudioDevice = false;
        }
        is->audioStream = -1;
        packet_queue_destroy(&is->audioq);
        swr_free(&is->swrCtx);
        av_packet_free(&is->audioPkt);
        av_frame_free(&is->audioFrame);
        is->audioBuf = nullptr;
        is->audioBufSize = is->audioBufIndex = 0;
        avcodec_free_context(&is->audioCtx);
        is->audioSt = nullptr;
    } else if (streamIndex == is->videoStream) {
        packet_queue_abort(&is->videoq);
        SDL_mutexP(is->pictqMutex);
        SDL_CondSignal(is->pictqCond);
        SDL_mutexV(is->pictqMutex);
        SDL_WaitThread(is->videoThread, nullptr);
        is->videoThread = nullptr;
        is->videoStream = -1;
        packet_queue_destroy(&is->videoq);
        avcodec_free_context(&is->videoCtx);
        is->videoSt = nullptr;
    } else {
        return;
    }
    stream->discard = AVDISCARD_ALL;
}

int ReadThread(void* arg) {
    auto* is = static_cast<VideoState*>(arg);
    PlayerChannelTables& tables = PlayerTables();
    const int channel = is->channel;
    AVFormatContext* ic = is->ic;
    AVPacket* packet = av_packet_alloc();
    int result = 0;
    int eof = 0;
    int silencePackets = 0;
    int readRetries = 0;
    bool readFailed = false;
    // Once the queues have drained at the end, nothing more is fed: the sound device is paused by
    // then, and a silent packet put after that would never leave its queue.
    bool drained = false;

    is->singleFileAvi = LacksFrontRearTag(WideFromAnsi(is->filename));
    if (!packet || (!HeaderDescribesStreams(ic) && avformat_find_stream_info(ic, nullptr) < 0)) {
        EngineError("%s: could not find codec parameters", is->filename.c_str());
        result = kOpenFailedResult;
    }
    if (result == 0) {
        if (!UnknownDuration(ic->duration))
            is->duration = ic->duration;
        if (ic->pb)
            ic->pb->eof_reached = 0;
        for (unsigned i = 0; i < ic->nb_streams; ++i)
            ic->streams[i]->discard = AVDISCARD_ALL;
        const int videoIndex = FindVideoStream(is);
        const int audioIndex = is->noAudio ? -1 : FindAudioStream(ic, videoIndex);
        is->soundAwaitsPicture = videoIndex >= 0 ? 1 : 0;
        // Subtitles are never shown, so their decoder is not opened.
        if (audioIndex >= 0)
            StreamComponentOpen(is, audioIndex);
        if (videoIndex >= 0)
            StreamComponentOpen(is, videoIndex);
        // Without a picture to wait for, the sound starts at once.
        if (is->videoStream < 0)
            is->soundAwaitsPicture = 0;
        is->refreshThread = SDL_CreateThread(RefreshThread, is);
        if (is->videoStream < 0 && is->audioStream < 0) {
            EngineError("%s: could not open codecs", is->filename.c_str());
            result = kOpenFailedResult;
        }
        tables.lastDisplayTick[channel] = GetTickCount();
    }

    while (result == 0 && !is->abortRequest) {
        if (is->paused != is->lastPaused) {
            is->lastPaused = is->paused;
            if (is->paused)
                is->readPauseReturn = av_read_pause(ic);
            else
                av_read_play(ic);
        }
        SeekIfAsked(is, &eof, &silencePackets, &drained);

        if (QueuesFull(is)) {
            if (!avio_feof(ic->pb)) {
                SDL_Delay(10);
                continue;
            }
        }

        if (eof) {
            if (is->videoStream >= 0 && !drained)
                packet_queue_put_empty(&is->videoq, is->videoStream);
            if (is->audioStream >= 0 && silencePackets < kMaxSilencePackets && !drained) {
                AVPacket* silence = av_packet_alloc();
                if (silence && av_new_packet(silence, kSilencePacketBytes) == 0) {
                    std::memset(silence->data, 0, kSilencePacketBytes);
                    silence->stream_index = is->audioStream;
                    packet_queue_put(&is->audioq, silence);
                    ++silencePackets;
                }
                av_packet_free(&silence);
            }
            SDL_Delay(10);
            const int partner = EndPartner(channel);
            if (drained || is->audioq.byteSize + is->videoq.byteSize == 0) {
                drained = true;
                tables.finished[channel] = 1;
                if (is->audioStream >= 0)
                    MuteAtEnd(is);
                if (tables.finished[partner] == 1) {
                    EngineTrace("(1)EOF!!!!!!!!!!!!!!!!!!!");
                    result = kEndOfFileResult;
                    break;
                }
            } else if (is->speed != 1.0 && is->videoq.packetCount == 0) {
                // At other speeds the sound is not played, so its queue never drains: the end is
                // near enough once the picture is 99 % through a file of known length.
                const int64_t duration = is->duration;
                if (!UnknownDuration(duration) &&
                    get_video_clock(is) * 1e6 / duration > kEndFractionAtSpeed) {
                    tables.finished[channel] = 1;
                    if (tables.finished[partner] == 1) {
                        EngineTrace("(2)EOF!!!!!!!!!!!!!!!!!!!");
                        result = kEndOfFileResult;
                        break;
                    }
                }
            }
            eof = 0;
            continue;
        }

        const int read = av_read_frame(ic, packet);
        if (read < 0) {
            if (read == AVERROR_EOF || avio_feof(ic->pb))
                eof = 1;
            else if (++readRetries >= kMaxReadRetries)
                eof = 1;
            if (ic->pb && ic->pb->error) {
                EngineError("[%d] READ Error, ic->pb->error = %d", channel, ic->pb->error);
                ReportReadFailure();
                readFailed = true;
                break;
            }
            SDL_Delay(100);
            continue;
        }
        readRetries = 0;
        if (packet->stream_index == is->audioStream && is->audioStream >= 0) {
            if (is->speed == 1.0)
                packet_queue_put(&is->audioq, packet);
            else
                av_packet_unref(packet);
        } else if (packet->stream_index == is->videoStream && is->videoStream >= 0) {
            packet_queue_put(&is->videoq, packet);
        } else {
            av_packet_unref(packet);
        }
        Sleep(1);
    }

    if (readFailed)
        while (!is->abortRequest)
            SDL_Delay(100);

    if (is->audioStream >= 0)
        stream_component_close(is, is->audioStream);
    if (is->videoStream >= 0)
        stream_component_close(is, is->videoStream);
    is->inputOpen = 0;
    CloseInput(&is->ic);
    av_packet_free(&packet);

    if (result == kEndOfFileResult) {
        // The view must hear of the end even when the event queue is briefly full.
        for (int tries = 0; tries < kEofPushTries && !PushChannelEvent(FF_EOF_EVENT, is); ++tries)
            SDL_Delay(10);
        is->abortRequest = 1;
        WakeRefreshThread(is);
    } else if (result == kOpenFailedResult) {
        // Only this channel fails: the others play on, and the view hears of it as of a read error.
        tables.finished[channel] = 1;
        ReportReadFailure();
    }
    return 0;
}

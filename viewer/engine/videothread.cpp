#include "viewer/engine/videothread.h"

#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/enginetrace.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/packetqueue.h"
#include "viewer/engine/playerevents.h"
#include "viewer/engine/playertransport.h"
#include "viewer/engine/rendererguard.h"
#include "viewer/engine/videorefresh.h"

#include <SDL.h>

#include <cinttypes>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr int kSeekSkipWindowMs = 100;
// An unanswered allocation request is sent again after this long (the event queue may have been full).
constexpr int kAllocationRetryMs = 20;

// A repeated field adds half a picture.
double PictureDuration(const VideoState* is, const AVFrame* frame) {
    return is->videoFrameDuration * (1 + 0.5 * frame->repeat_pict);
}

void DiscardPictures(VideoState* is) {
    avcodec_flush_buffers(is->videoCtx);
    is->videoDecoderDrained = false;
    is->videoDrainSent = false;
    SDL_mutexP(is->pictqMutex);
    for (VideoPicture& picture : is->pictq)
        picture.skip = 1;
    // The refresh thread takes the queue's lock under its own: it is woken outside the queue's.
    SDL_mutexV(is->pictqMutex);
    WakeRefreshThread(is);
    SDL_mutexP(is->pictqMutex);
    while (is->pictqSize && !is->videoq.abortRequest)
        SDL_CondWait(is->pictqCond, is->pictqMutex);
    is->videoCurrentPos = -1;
    is->frameLastPts = NAN;
    is->frameLastDuration = 0;
    is->frameTimer = EngineNow();
    is->frameLastDroppedPts = NAN;
    SDL_mutexV(is->pictqMutex);
    // The decoder now starts from the seek's new position: the skip that follows a seek counts
    // from here, whatever pictures of the old position went through meanwhile.
    if (is->seekFlushPending.exchange(0))
        is->seekSkipState = 4;
}

// Hands a picture to the channel's renderers: the main renderer takes it, the zoom renderer shares
// the main renderer's (or takes its own when the main renderer could not).
template <typename Take> void UploadToRenderers(int channel, int index, Take take) {
    PlayerChannelTables& tables = PlayerTables();
    GuardedRendererCall(channel, [&] {
        D3D9RenderImpl* main = tables.mainRenderer[channel].get();
        const bool taken = main && SUCCEEDED(take(*main));
        D3D9RenderImpl* zoom = tables.zoomRenderer[channel].get();
        if (zoom && !(taken && SUCCEEDED(zoom->UploadFrameFrom(index, *main))))
            take(*zoom);
    });
}

void Upload(VideoState* is, VideoPicture* vp, int index) {
    UploadToRenderers(is->channel, index, [&](D3D9RenderImpl& renderer) {
        return renderer.UploadFrame(is->channel, index, vp->planes[0], vp->planes[2], vp->planes[1]);
    });
}

void PrepareDecoded(VideoState* is, const AVFrame* frame) {
    GuardedRendererCall(is->channel, [&] {
        if (D3D9RenderImpl* main = PlayerTables().mainRenderer[is->channel].get())
            main->PrepareDecodedFrame(is->channel, frame);
    });
}

void UploadDecoded(VideoState* is, const AVFrame* frame, int index) {
    UploadToRenderers(is->channel, index, [&](D3D9RenderImpl& renderer) {
        return renderer.UploadDecodedFrame(is->channel, index, frame);
    });
}

} // namespace

int get_video_frame(VideoState* is, AVFrame* frame, int64_t* pts, AVPacket* packet) {
    if (!is->videoDecoderDrained) {
        const int received = avcodec_receive_frame(is->videoCtx, frame);
        if (received == 0) {
            *pts = frame->best_effort_timestamp == AV_NOPTS_VALUE ? 0 : frame->best_effort_timestamp;
            return 1;
        }
        if (received == AVERROR_EOF)
            is->videoDecoderDrained = true;
    }
    PacketKind kind;
    if (packet_queue_get(&is->videoq, packet, 1, &kind) < 0)
        return -1;
    switch (kind) {
    case PacketKind::Flush:
        DiscardPictures(is);
        return 0;
    case PacketKind::Empty:
        av_packet_unref(packet);
        // The first empty packet at the end drains the decoder; later ones have nothing to add.
        if (!is->videoDrainSent && !is->videoDecoderDrained) {
            avcodec_send_packet(is->videoCtx, nullptr);
            is->videoDrainSent = true;
        }
        break;
    case PacketKind::Data:
        if (is->videoDecoderDrained || is->videoDrainSent) {
            avcodec_flush_buffers(is->videoCtx);
            is->videoDecoderDrained = false;
            is->videoDrainSent = false;
        }
        avcodec_send_packet(is->videoCtx, packet);
        av_packet_unref(packet);
        break;
    }
    if (is->videoDecoderDrained)
        return 0;
    const int received = avcodec_receive_frame(is->videoCtx, frame);
    if (received == AVERROR_EOF)
        is->videoDecoderDrained = true;
    if (received != 0)
        return 0;
    *pts = frame->best_effort_timestamp == AV_NOPTS_VALUE ? 0 : frame->best_effort_timestamp;
    return 1;
}

void alloc_picture(VideoState* is) {
    const PlaybackEngine& engine = g_playbackEngine;
    SDL_mutexP(is->pictqMutex);
    VideoPicture* vp = &is->pictq[is->pictqWindex];
    SDL_mutexV(is->pictqMutex);
    vp->width = engine.pictureWidth;
    vp->height = engine.pictureHeight;
    vp->planes[0] = vp->planes[1] = vp->planes[2] = nullptr;
    if (engine.rgbMode) {
        // Only RGB renderers take converted rows; YUY2 renderers take the decoded pictures.
        const size_t pitch = static_cast<size_t>(vp->width) * (engine.rgbBitsPerPixel / 8);
        // The scaler's vector code may write a little past a row, and past the last one.
        vp->buffer.assign(pitch * vp->height + 2 * pitch + 256, 0);
        vp->planes[0] = vp->buffer.data();
    } else {
        std::vector<uint8_t>().swap(vp->buffer);
    }
    SDL_mutexP(is->pictqMutex);
    vp->allocated = 1;
    SDL_CondSignal(is->pictqCond);
    SDL_mutexV(is->pictqMutex);
}

int queue_picture(VideoState* is, AVFrame* frame, double pts, int64_t pos) {
    const PlaybackEngine& engine = g_playbackEngine;
    if (pts == 0)
        pts = is->videoClock;
    else
        is->videoClock = pts;
    const double duration = PictureDuration(is, frame);
    is->videoClock += duration;

    // Converted for its window while its planes are in the processor's cache: during the wait
    // below the other channels' decoding pushes them out.
    if (!engine.rgbMode && frame->data[0])
        PrepareDecoded(is, frame);
    SDL_mutexP(is->pictqMutex);
    while (is->pictqSize >= 1 && !is->videoq.abortRequest)
        SDL_CondWait(is->pictqCond, is->pictqMutex);
    const int index = is->pictqWindex;
    SDL_mutexV(is->pictqMutex);
    if (is->videoq.abortRequest)
        return -1;

    VideoPicture* vp = &is->pictq[index];
    vp->duration = duration;
    if (!vp->allocated || vp->reallocate) {
        SDL_mutexP(is->pictqMutex);
        vp->allocated = 0;
        vp->reallocate = 0;
        vp->sourceFormat = frame->format;
        vp->sourceWidth = frame->width;
        vp->sourceHeight = frame->height;
        bool requested = PushChannelEvent(FF_ALLOC_EVENT, is);
        while (!vp->allocated && !is->videoq.abortRequest) {
            SDL_CondWaitTimeout(is->pictqCond, is->pictqMutex, kAllocationRetryMs);
            if (!requested && !vp->allocated)
                requested = PushChannelEvent(FF_ALLOC_EVENT, is);
        }
        SDL_mutexV(is->pictqMutex);
        if (is->videoq.abortRequest) {
            // Only this channel's own request is taken back; other channels' stay queued.
            PurgeChannelEvents(is->channel, is->generation);
            return -1;
        }
    }

    if (!engine.rgbMode && frame->data[0]) {
        // Each renderer scales the decoded picture once, straight to its window.
        UploadDecoded(is, frame, index);
    } else if (vp->planes[0] && frame->data[0]) {
        const AVPixelFormat target = static_cast<AVPixelFormat>(engine.rgbPixelFormat);
        const int pitch = engine.pictureWidth * engine.rgbBitsPerPixel / 8;
        // The frame's own size and format: a stream may change them half way.
        is->imgConvertCtx = sws_getCachedContext(
            is->imgConvertCtx, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
            engine.pictureWidth, engine.pictureHeight, target, engine.scalerFlags, nullptr, nullptr, nullptr);
        if (!is->imgConvertCtx) {
            EngineError("Cannot initialize the conversion context");
            return 0;
        }
        uint8_t* const planes[4] = {vp->planes[0], nullptr, nullptr, nullptr};
        const int pitches[4] = {pitch, 0, 0, 0};
        sws_scale(is->imgConvertCtx, frame->data, frame->linesize, 0, frame->height, planes, pitches);
        Upload(is, vp, index);
    }

    vp->pts = pts;
    vp->pos = pos;
    vp->skip = 0;
    SDL_mutexP(is->pictqMutex);
    is->pictqWindex = (is->pictqWindex + 1) % kVideoPictureQueueSize;
    ++is->pictqSize;
    SDL_mutexV(is->pictqMutex);
    WakeRefreshThread(is);
    return 0;
}

int VideoThread(void* arg) {
    auto* is = static_cast<VideoState*>(arg);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const AVRational timeBase = is->videoSt->time_base;
    while (frame && packet) {
        while (is->paused && !is->videoq.abortRequest && is->seekSkipState == 0) {
            ++is->pausePasses;
            SDL_Delay(10);
        }
        int64_t ptsInt = 0;
        const int got = get_video_frame(is, frame, &ptsInt, packet);
        if (got < 0)
            break;
        if (got == 0)
            continue;

        const int skipState = is->seekSkipState;
        if (skipState == 4 || is->seekFlushPending) {
            // Pictures up to the first one within 100 ms of the target (or past it) are not shown.
            if (skipState == 4 && !is->seekFlushPending) {
                const int64_t pictureMs = av_rescale_q(ptsInt, timeBase, AVRational{1, 1000});
                const int64_t targetMs = is->seekPos / 1000;
                if (targetMs - pictureMs < kSeekSkipWindowMs) {
                    is->seekSkipState = 3;
                    EngineTrace("[%d] check!!! %" PRId64 " / %" PRId64, is->channel, pictureMs, targetMs);
                }
            }
            av_frame_unref(frame);
            continue;
        }
        if (skipState > 0)
            is->seekSkipState = skipState - 1;

        const double pts = ptsInt * av_q2d(timeBase);
        const int queued = queue_picture(is, frame, pts, frame->pkt_pos);
        av_frame_unref(frame);
        if (queued < 0)
            break;
        // Only ever pauses: a step that finds the channel paused while this thread was still
        // decoding must not be turned into playing on by a second toggle.
        if (is->stepRequest && !is->paused)
            stream_toggle_pause(is);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    return 0;
}

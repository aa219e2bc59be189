#include "viewer/engine/videorefresh.h"

#include "platform/base/timing.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/playerevents.h"
#include "viewer/engine/rendererguard.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

extern "C" {
#include <libavutil/time.h>
}

namespace {

constexpr int kSyncWarmupPasses = 90;
constexpr double kFrontRearTolerance = 0.05;
constexpr int kRefreshAnswerLimitMs = 50;
// A picture held for its partner camera is looked at again this soon.
constexpr double kHoldRetrySeconds = 0.001;

void NextPicture(VideoState* is) {
    is->pictqRindex = (is->pictqRindex + 1) % kVideoPictureQueueSize;
    SDL_mutexP(is->pictqMutex);
    --is->pictqSize;
    SDL_CondSignal(is->pictqCond);
    SDL_mutexV(is->pictqMutex);
}

int QueuedPictures(VideoState* is) {
    SDL_mutexP(is->pictqMutex);
    const int size = is->pictqSize;
    SDL_mutexV(is->pictqMutex);
    return size;
}

void Present(VideoState* is, int index) {
    const int channel = is->channel;
    PlayerChannelTables& tables = PlayerTables();
    GuardedRendererCall(channel, [&] {
        if (!tables.mainRenderer[channel])
            PlayerPickPictureSize(is, 0);
        tables.lastDisplayTick[channel] = GetTickCount();
        if (is->displayEnabled != 1)
            return;
        if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
            main->PresentNextFrame(index);
        if (is->zoomActive == 1)
            if (D3D9RenderImpl* zoom = tables.zoomRenderer[channel].get())
                zoom->PresentNextFrame(index);
    });
}

} // namespace

double EngineNow() {
    return av_gettime_relative() / 1000000.0;
}

double get_video_clock(VideoState* is) {
    return is->paused ? is->videoCurrentPts.load() : is->videoCurrentPtsDrift + EngineNow();
}

double get_audio_clock(VideoState* is) {
    return is->paused ? is->audioCurrentPts.load() : is->audioCurrentPtsDrift + EngineNow();
}

double get_master_clock(VideoState* is) {
    // The video clock leads: the sound is stretched to follow it.
    return g_playbackEngine.avSyncType == 0 ? get_audio_clock(is) : get_video_clock(is);
}

double FrameDelay(double lastDuration, double speed) {
    return speed > 0 ? lastDuration / speed : lastDuration;
}

double AdvanceFrameTimer(double frameTimer, double delay, double now) {
    if (delay <= 0)
        return frameTimer;
    const double intervals = std::floor((now - frameTimer) / delay);
    return frameTimer + (intervals < 1 ? 1 : intervals) * delay;
}

bool HoldForPartner(int channel, int warmupPasses, double ownClock, double partnerClock, bool partnerOpen,
                    bool partnerFinished) {
    if (warmupPasses <= kSyncWarmupPasses || channel > kCameraRear)
        return false;
    return partnerOpen && !partnerFinished && partnerClock + kFrontRearTolerance < ownClock;
}

int RefreshThread(void* arg) {
    auto* is = static_cast<VideoState*>(arg);
    while (!is->abortRequest) {
        bool sent = true;
        if (!is->refreshPending) {
            is->refreshPending = 1;
            // A full queue must not leave the channel waiting for an event that was never sent.
            if (!PushChannelEvent(FF_REFRESH_EVENT, is)) {
                is->refreshPending = 0;
                sent = false;
            }
        }
        if (!sent) {
            Sleep(1);
            continue;
        }
        // Nothing is to be done until the event thread has handled the event, nor while no picture
        // waits (a refresh without one does nothing): the video thread wakes the thread for each
        // picture, and whoever sets the abort flag wakes it too; the limit is only a safety net.
        // Without pictures the refresh only acknowledges renderer resets, so it keeps going; and a
        // failed renderer recreation counts its retry down by events, which must keep coming.
        std::unique_lock<std::mutex> hold(is->refreshLock);
        is->refreshAnswered.wait_for(hold, std::chrono::milliseconds(kRefreshAnswerLimitMs), [is] {
            return is->abortRequest ||
                   (!is->refreshPending &&
                    (is->videoStream < 0 || QueuedPictures(is) > 0 || g_playbackEngine.resetCountdown > 0));
        });
        // A picture that is not due yet is not asked about again before it is: the event thread
        // neither waits for it nor is woken for nothing.
        const double wait = is->refreshDueAt - EngineNow();
        if (wait > 0)
            is->refreshAnswered.wait_for(
                hold, std::chrono::duration<double>(std::min(wait, kRefreshAnswerLimitMs / 1000.0)),
                [is] { return is->abortRequest || is->refreshDueAt == 0; });
    }
    is->refreshThreadDone = 1;
    return 0;
}

void AnswerRefresh(VideoState* is) {
    {
        std::lock_guard<std::mutex> hold(is->refreshLock);
        is->refreshPending = 0;
    }
    is->refreshAnswered.notify_one();
}

void WakeRefreshThread(VideoState* is) {
    {
        std::lock_guard<std::mutex> hold(is->refreshLock);
        is->refreshDueAt = 0;
    }
    is->refreshAnswered.notify_one();
}

void video_display(VideoState* is) {
    const int channel = is->channel;
    PlayerChannelTables& tables = PlayerTables();
    tables.lastDisplayTick[channel] = GetTickCount();
    if (is->displayEnabled != 1)
        return;
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
            main->PresentLastFrame();
        if (is->zoomActive == 1)
            if (D3D9RenderImpl* zoom = tables.zoomRenderer[channel].get())
                zoom->PresentLastFrame();
    });
}

void video_refresh(VideoState* is) {
    const int channel = is->channel;
    PlayerChannelTables& tables = PlayerTables();
    if (is->videoStream < 0) {
        if (is->audioStream >= 0)
            AcknowledgePendingReset(channel);
        return;
    }
    for (int queued = QueuedPictures(is); queued > 0; queued = QueuedPictures(is)) {
        VideoPicture* vp = &is->pictq[is->pictqRindex];
        if (vp->skip) {
            NextPicture(is);
            continue;
        }
        const double lastDuration = vp->pts - is->frameLastPts;
        if (lastDuration > 0 && lastDuration < 1.0)
            is->frameLastDuration = lastDuration;
        const double delay = FrameDelay(is->frameLastDuration, is->speed);
        const double now = EngineNow();

        const int warmupPasses = is->syncWarmupCount++;
        if (channel == kCameraFront || channel == kCameraRear) {
            const int partner = 1 - channel;
            bool hold = false;
            if (warmupPasses > kSyncWarmupPasses) {
                const double own = channel == kCameraFront
                                       ? is->frameLastPts.load()
                                       : is->frameLastPts + g_playbackEngine.rearCamOffset;
                tables.channelClock[channel] = own;
                hold = HoldForPartner(channel, warmupPasses, own, tables.channelClock[partner],
                                      tables.openState[partner] != nullptr, tables.finished[partner] != 0);
            }
            if (hold) {
                is->refreshDueAt = now + kHoldRetrySeconds;
                return;
            }
        }

        if (!is->stepMode && now < is->frameTimer + delay) {
            if (is->redrawPending) {
                video_display(is);
                is->redrawPending = 0;
            }
            is->refreshDueAt = is->frameTimer + delay;
            return;
        }
        if (delay > 0)
            is->frameTimer = AdvanceFrameTimer(is->frameTimer, delay, now);

        SDL_mutexP(is->pictqMutex);
        is->videoCurrentPts = vp->pts;
        is->videoCurrentPtsDrift = vp->pts - now;
        is->videoCurrentPos = vp->pos;
        is->frameLastPts = vp->pts;
        is->pictureShown = 1;
        SDL_mutexV(is->pictqMutex);

        const double nextDuration =
            queued > 1 ? is->pictq[(is->pictqRindex + 1) % kVideoPictureQueueSize].pts - vp->pts
                       : vp->duration;
        const int frameDrop = g_playbackEngine.frameDrop;
        if ((frameDrop > 0 || (frameDrop != 0 && is->audioStream >= 0)) &&
            now > is->frameTimer + nextDuration && queued > 1) {
            ++is->lateDrops;
            NextPicture(is);
            continue;
        }
        Present(is, is->pictqRindex);
        NextPicture(is);
        return;
    }

    SDL_mutexP(is->pictqMutex);
    const double dropped = is->frameLastDroppedPts;
    if (!std::isnan(dropped) && dropped > is->frameLastPts) {
        is->videoCurrentPts = dropped;
        is->videoCurrentPtsDrift = dropped - EngineNow();
        is->videoCurrentPos = is->frameLastDroppedPos.load();
        is->frameLastDroppedPts = NAN;
    }
    SDL_mutexV(is->pictqMutex);
}

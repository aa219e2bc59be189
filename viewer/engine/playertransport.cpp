#include "viewer/engine/playertransport.h"

#include "platform/base/timing.h"
#include "platform/video/presentationtarget.h"
#include "viewer/app/globals.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/enginetrace.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/playerevents.h"
#include "viewer/engine/readthread.h"
#include "viewer/engine/rendererguard.h"
#include "viewer/engine/rendererset.h"
#include "viewer/engine/videorefresh.h"

#include <algorithm>
#include <cinttypes>
#include <cstdlib>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/error.h>
}

namespace {

constexpr uint32_t kNoSelection = 65535u << 16;
constexpr int kCaptionCapacity = 1024;
constexpr uint32_t kRedrawWindowMs = 200;
constexpr int kSelectionOverlay = 1;
constexpr int kResetSettleWaits = 200;
constexpr int kResetSettleMs = 10;
constexpr int kResetAckWaits = 400;
constexpr int kResetAckMs = 20;
constexpr int kResetRetryCountdown = 2000;

bool UnknownDuration(int64_t duration) {
    return duration == AV_NOPTS_VALUE || duration <= 0;
}

void AddCaptionOverlays(D3D9RenderImpl* main, int channel, const std::wstring& caption) {
    main->AddText(channel + 3, caption.c_str(), RECT{65, 15, 1500, 1000}, 50, 0xFF7D7D7Du, L"Ariel", 255);
    main->AddText(channel + 5, caption.c_str(), RECT{67, 17, 1500, 1000}, 50, 0xFFF0F0F0u, L"Ariel", 255);
}

bool ChannelClientSize(int channel, int* width, int* height) {
    const std::shared_ptr<IPresentationTarget> target =
        FindPresentationTarget(PlayerTables().channelWindow[channel]);
    if (!target)
        return false;
    const SIZE size = target->ClientSize();
    *width = size.cx;
    *height = size.cy;
    return size.cx > 0 && size.cy > 0;
}

int RaiseOdd(int value) {
    return value % 2 != 0 ? value + 1 : value;
}

} // namespace

double PositionRatio(bool hasFile, bool atEnd, bool pictureShown, double videoClock, int64_t duration) {
    if (!hasFile || atEnd)
        return -1.0;
    if (UnknownDuration(duration) || !pictureShown || videoClock < 0)
        return 0.0;
    return videoClock * 1e6 / static_cast<double>(duration);
}

int64_t SeekTarget(int channel, int64_t microseconds, double rearCamOffset) {
    int64_t target = microseconds;
    if (channel == kCameraRear)
        target -= static_cast<int64_t>(1e6 * rearCamOffset);
    return target <= 0 ? 0 : target;
}

bool ScaleDragRect(int left, int top, int right, int bottom, int clientWidth, int clientHeight,
                   int targetWidth, int targetHeight, ScaledRect* scaled) {
    if (clientWidth <= 0 || clientHeight <= 0)
        return false;
    const int x1 = RaiseOdd(left * targetWidth / clientWidth);
    const int x2 = RaiseOdd(right * targetWidth / clientWidth);
    const int y1 = RaiseOdd(top * targetHeight / clientHeight);
    const int y2 = RaiseOdd(bottom * targetHeight / clientHeight);
    scaled->x = std::min(x1, x2);
    scaled->y = std::min(y1, y2);
    scaled->width = std::abs(x2 - x1);
    scaled->height = std::abs(y2 - y1);
    return true;
}

bool RedrawLeftToDisplay(bool paused, bool finished, uint32_t now, uint32_t lastDisplayTick) {
    const auto elapsed = static_cast<int32_t>(now - lastDisplayTick);
    return !paused && !finished && static_cast<uint32_t>(std::abs(elapsed)) <= kRedrawWindowMs;
}

void stream_toggle_pause(VideoState* is) {
    if (is->paused) {
        const double now = EngineNow();
        is->frameTimer = is->frameTimer + now + is->videoCurrentPtsDrift - is->videoCurrentPts;
        if (is->readPauseReturn != AVERROR(ENOSYS))
            is->videoCurrentPts = is->videoCurrentPtsDrift + now;
        is->videoCurrentPtsDrift = is->videoCurrentPts - now;
    }
    is->paused = !is->paused;
    WakeRefreshThread(is);
}

void step_to_next_frame(VideoState* is) {
    // Set before the pause is left: a video thread that got through first would otherwise decode
    // on until it saw the request, showing several pictures for one step.
    is->stepRequest = 1;
    if (is->paused)
        stream_toggle_pause(is);
    WakeRefreshThread(is);
}

void PlayerRestartTimer(VideoState* is) {
    is->frameTimer = EngineNow();
    is->paused = 0;
    WakeRefreshThread(is);
}

void PlayerPause(VideoState* state) {
    if (!state)
        return;
    state->paused = 1;
    state->stepMode = 0;
    AcknowledgePendingReset(state->channel);
}

void PlayerPlay(VideoState* state) {
    if (!state)
        return;
    state->speed = 1.0;
    state->stepRequest = 0;
    state->stepMode = 0;
    PlayerTables().resetAck[state->channel] = 0;
    PushChannelEvent(FF_PLAY_EVENT, state);
    AcknowledgePendingReset(state->channel);
}

void PlayerStep(VideoState* state) {
    if (!state)
        return;
    state->speed = 1.0;
    state->stepMode = 1;
    step_to_next_frame(state);
    AcknowledgePendingReset(state->channel);
}

void PlayerSetSpeed(VideoState* state, int n, int fast) {
    if (!state || n < 1)
        return;
    state->speed = fast ? static_cast<double>(n) : 1.0 / n;
    state->stepMode = 0;
    WakeRefreshThread(state);
    const int channel = state->channel;
    if (!(fast == 1 && n == 1))
        GuardedRendererCall(channel, [&] {
            if (D3D9RenderImpl* main = PlayerTables().mainRenderer[channel].get())
                AddCaptionOverlays(main, channel, state->caption);
        });
    PlayerRedraw(state, 0);
}

void PlayerSetCaption(VideoState* state, const std::wstring& text) {
    if (!state)
        return;
    state->stepMode = 0;
    state->caption = text.substr(0, kCaptionCapacity - 1);
    const int channel = state->channel;
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = PlayerTables().mainRenderer[channel].get()) {
            main->RemoveOverlay(channel + 3);
            main->RemoveOverlay(channel + 5);
            AddCaptionOverlays(main, channel, state->caption);
        }
    });
    PlayerRedraw(state, 0);
}

void PlayerSeekTime(VideoState* state, int64_t microseconds) {
    if (!state || !state->inputOpen)
        return;
    const int64_t target = SeekTarget(state->channel, microseconds, g_playbackEngine.rearCamOffset);
    EngineTrace("%" PRId64 " / %" PRId64, target, state->duration.load());
    stream_seek(state, target, 0, 0);
}

void PlayerSeekRatio(VideoState* state, double fraction) {
    if (!state || !state->inputOpen)
        return;
    const int64_t duration = state->duration;
    // Without a known length there is no place a fraction could name.
    if (UnknownDuration(duration))
        return;
    PlayerSeekTime(state, static_cast<int64_t>(duration * fraction));
}

int64_t PlayerRatioToTime(VideoState* state, double fraction) {
    if (!state || !state->inputOpen)
        return -1;
    const int64_t duration = state->duration;
    return UnknownDuration(duration) ? 0 : static_cast<int64_t>(duration * fraction);
}

double PlayerGetPositionRatio(VideoState* state) {
    if (!state)
        return -1.0;
    return PositionRatio(state->inputOpen != 0, PlayerTables().eofFlag[state->channel] == 1,
                         state->pictureShown != 0, get_video_clock(state), state->duration);
}

void PlayerEnableDisplay(VideoState* state, int enable) {
    if (state)
        state->displayEnabled = enable == 1 ? 1 : 0;
}

int PlayerIsDisplayEnabled(VideoState* state) {
    return state && state->displayEnabled ? 1 : 0;
}

void PlayerSelectChannel(VideoState* state, int, int mode) {
    if (!state)
        return;
    const int channel = state->channel;
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = PlayerTables().mainRenderer[channel].get())
            main->RemoveOverlay(kSelectionOverlay);
    });
    PlayerSetSelection(state, channel, mode);
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = PlayerTables().mainRenderer[channel].get())
            main->PresentLastFrame();
    });
}

void PlayerSetSelection(VideoState* state, int channel, int mode) {
    if (!state)
        return;
    g_playbackEngine.selectionWord =
        mode ? (static_cast<uint32_t>(channel) << 16 | static_cast<uint16_t>(mode)) : kNoSelection;
    PlayerPickPictureSize(state, 1);
}

int PlayerGetSelectedChannel() {
    return static_cast<int>(g_playbackEngine.selectionWord >> 16);
}

void PlayerPickPictureSize(VideoState* state, int) {
    if (!state)
        return;
    const PlaybackEngine& engine = g_playbackEngine;
    const bool selected = PlayerGetSelectedChannel() != 65535;
    int width = 640;
    int height = 480;
    if (selected && engine.pictureWidth) {
        width = engine.pictureWidth;
        height = engine.pictureHeight;
    } else if (!selected && engine.requestedWidth) {
        width = engine.requestedWidth;
        height = engine.requestedHeight;
    } else if (state->decoderWidth) {
        width = state->decoderWidth;
        height = state->decoderHeight;
    }
    state->pictureWidthOut = width;
    state->pictureHeightOut = height;
}

void PlayerSetZoomRect(VideoState* state, int on, int left, int top, int right, int bottom) {
    if (!state || state->displayEnabled != 1)
        return;
    const int channel = state->channel;
    PlayerChannelTables& tables = PlayerTables();
    state->zoomActive = on == 1 ? 1 : 0;
    if (on != 1) {
        GuardedRendererCall(channel, [&] {
            if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
                main->RemoveOverlay(kSelectionOverlay);
        });
        PlayerRedraw(state, 1);
        return;
    }
    int clientWidth;
    int clientHeight;
    ScaledRect source;
    if (!ChannelClientSize(channel, &clientWidth, &clientHeight) ||
        !ScaleDragRect(left, top, right, bottom, clientWidth, clientHeight, g_playbackEngine.pictureWidth,
                       g_playbackEngine.pictureHeight, &source))
        return;
    const bool shown = GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* zoom = tables.zoomRenderer[channel].get()) {
            zoom->SetSourceRect(source.x, source.y, source.width, source.height);
            // The zoom shows the latest picture it was given: the one on screen.
            zoom->PresentNextFrame(-1);
        }
    });
    if (shown)
        PlayerRedraw(state, 1);
}

void PlayerDrawSelectionRect(VideoState* state, int left, int top, int right, int bottom) {
    if (!state || state->displayEnabled != 1)
        return;
    const int channel = state->channel;
    PlayerChannelTables& tables = PlayerTables();
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
            main->RemoveOverlay(kSelectionOverlay);
    });
    int clientWidth;
    int clientHeight;
    ScaledRect selection;
    // The selection is drawn in back-buffer pixels, which have the screen's size.
    if (!ChannelClientSize(channel, &clientWidth, &clientHeight) ||
        !ScaleDragRect(left, top, right, bottom, clientWidth, clientHeight, g_screenWidth, g_screenHeight,
                       &selection))
        return;
    const bool drawn = GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
            main->AddRectangle(
                kSelectionOverlay,
                RECT{selection.x, selection.y, selection.x + selection.width, selection.y + selection.height},
                6.0f, 0xFFFFFFFFu, 255);
    });
    if (drawn)
        PlayerRedraw(state, 0);
}

void PlayerGetPictureSize(int* width, int* height) {
    if (width)
        *width = g_playbackEngine.pictureWidth;
    if (height)
        *height = g_playbackEngine.pictureHeight;
}

HRESULT PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                           int* pitch) {
    if (width)
        *width = 0;
    if (height)
        *height = 0;
    if (pitch)
        *pitch = 0;
    if (!state || !buffer)
        return E_POINTER;
    const int channel = state->channel;
    HRESULT result = S_FALSE;
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = PlayerTables().mainRenderer[channel].get())
            result = main->CaptureVideoFrame(buffer, bufferSize, width, height, pitch);
    });
    return result;
}

void PlayerRedraw(VideoState* state, int withZoom) {
    if (!state)
        return;
    const int channel = state->channel;
    PlayerChannelTables& tables = PlayerTables();
    if (RedrawLeftToDisplay(state->paused != 0, tables.finished[channel] != 0, GetTickCount(),
                            tables.lastDisplayTick[channel])) {
        // Slow motion may not show a picture for a while: the next refresh pass redraws.
        if (state->speed < 0.5) {
            state->redrawPending = 1;
            WakeRefreshThread(state);
        }
        return;
    }
    GuardedRendererCall(channel, [&] {
        if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
            main->PresentLastFrame();
        if (withZoom && state->zoomActive == 1)
            if (D3D9RenderImpl* zoom = tables.zoomRenderer[channel].get())
                zoom->PresentLastFrame();
    });
}

void PlayerSetVolume(int volume) {
    g_playbackEngine.volume = volume;
    g_playbackEngine.mutedAtEnd = 0;
}

void PlayerSetRearCamSync(double seconds) {
    g_playbackEngine.rearCamOffset = seconds;
}

void ResetRenderers() {
    PlaybackEngine& engine = g_playbackEngine;
    PlayerChannelTables& tables = PlayerTables();
    for (auto& flag : tables.resetFlag)
        flag = 1;
    for (int wait = 0; wait < kResetSettleWaits; ++wait)
        Sleep(kResetSettleMs);
    for (int wait = 0; wait < kResetAckWaits; ++wait) {
        bool acknowledged = true;
        for (const auto& ack : tables.resetAck)
            acknowledged = acknowledged && ack == 1;
        if (acknowledged)
            break;
        Sleep(kResetAckMs);
    }
    AllRenderersLock locks = LockAllRenderers();
    DeleteAllRenderers();
    if (SUCCEEDED(RecreateRenderers(tables.channelWindow))) {
        for (auto& flag : tables.resetFlag)
            flag = 0;
        engine.resetCountdown = 0;
        return;
    }
    DeleteAllRenderers();
    engine.resetCountdown = kResetRetryCountdown;
}

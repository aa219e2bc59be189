#include "viewer/engine/ffmpegplayer.h"

#include "platform/base/codepage.h"
#include "platform/base/timing.h"
#include "platform/base/unicode.h"
#include "viewer/app/globals.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/enginetrace.h"
#include "viewer/engine/packetqueue.h"
#include "viewer/engine/playerevents.h"
#include "viewer/engine/playertransport.h"
#include "viewer/engine/readthread.h"
#include "viewer/engine/rendererguard.h"
#include "viewer/engine/rendererset.h"
#include "viewer/engine/videorefresh.h"
#include "viewer/engine/videostate.h"
#include "viewer/engine/videothread.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

PlaybackEngine g_playbackEngine;

namespace {

constexpr size_t kFilenameCapacity = 1024;
constexpr size_t kFolderCapacity = 2048;
constexpr int kQuitPushTries = 1000;
// A quit that found no room in the queue is noticed this soon.
constexpr int kEventWaitLimitMs = 100;

std::thread eventThread;
std::atomic<int> eventThreadQuit{0};
// Held while the event thread acts on a channel, and while a channel is taken out of the tables:
// once PlayerClose has taken a state out, no event reaches it any more.
std::mutex dispatchLock;
std::atomic<uint32_t> nextGeneration{0};
std::atomic<PlayerInputOpener> inputOpener{nullptr};

int OpenInput(AVFormatContext** context, const std::string& path) {
    if (const PlayerInputOpener opener = inputOpener)
        return opener(context, path);
    return avformat_open_input(context, path.c_str(), nullptr, nullptr);
}

// The folder and the name as one path, as the name resolved against the folder made current.
std::string InputPath(const std::string& name, const std::wstring& folder) {
    const std::string utf8Name = Utf8FromWide(WideFromAnsi(name));
    if (folder.empty() || (!utf8Name.empty() && utf8Name.front() == '/'))
        return utf8Name;
    std::string path = Utf8FromWide(folder);
    if (path.back() != '/')
        path += '/';
    return path + utf8Name;
}

template <typename Action> void WithOpenChannel(const SDL_Event& event, Action&& action) {
    const int channel = event.user.code;
    if (channel < 0 || channel >= kChannelCount)
        return;
    const auto generation = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(event.user.data1));
    std::lock_guard<std::mutex> guard(dispatchLock);
    VideoState* state = PlayerTables().openState[channel];
    if (state && state->generation == generation)
        action(state);
}

void RaiseAllResetFlags() {
    for (auto& flag : PlayerTables().resetFlag)
        flag = 1;
}

// A lost device (noticed by main 0's uploads) or the end of a failed recreation's countdown asks
// the view to recreate the renderers.
void WatchLostDevice() {
    PlaybackEngine& engine = g_playbackEngine;
    PlayerChannelTables& tables = PlayerTables();
    const int countdown = engine.resetCountdown;
    if (countdown > 1) {
        engine.resetCountdown = countdown - 1;
        return;
    }
    if (countdown == 1) {
        RaiseAllResetFlags();
        engine.resetCountdown = 0;
        PostMessage(g_hViewWnd, WM_RENDERER_RESET, 0, 0);
        return;
    }
    for (const auto& flag : tables.resetFlag)
        if (flag)
            return;
    bool lost = false;
    {
        std::shared_lock<std::shared_mutex> hold(tables.rendererLock[0], std::try_to_lock);
        lost = hold.owns_lock() && tables.mainRenderer[0] && tables.mainRenderer[0]->deviceLost;
    }
    if (lost) {
        RaiseAllResetFlags();
        PostMessage(g_hViewWnd, WM_RENDERER_RESET, 0, 0);
    }
}

void PlayerEventThread() {
    SDL_Event event;
    for (;;) {
        const bool got = WaitEngineEvent(&event, kEventWaitLimitMs);
        // Shut-down ends the loop even when its quit event found no room in the queue.
        if (eventThreadQuit)
            break;
        if (!got)
            continue;
        WatchLostDevice();
        if (event.type == SDL_QUIT || event.type == FF_QUIT_EVENT)
            break;
        switch (event.type) {
        case FF_ALLOC_EVENT:
            WithOpenChannel(event, [](VideoState* state) {
                PlayerPickPictureSize(state, 0);
                alloc_picture(state);
            });
            break;
        case FF_REFRESH_EVENT:
            WithOpenChannel(event, [](VideoState* state) {
                if (!state->refreshThreadDone)
                    video_refresh(state);
                AnswerRefresh(state);
            });
            break;
        case FF_PLAY_EVENT:
            WithOpenChannel(event, PlayerRestartTimer);
            break;
        case FF_EOF_EVENT:
            WithOpenChannel(event, [](VideoState* state) {
                EngineTrace("Done!!!!!");
                PlayerTables().eofFlag[state->channel] = 1;
            });
            break;
        default:
            break;
        }
    }
    EngineTrace("BYE~~~~~~~~~~~~~~~~~~~~~~~~~");
}

// SDL 1.2 claims SIGINT and SIGTERM to turn them into quit events, which would end only the event
// thread; the program keeps the handlers it had.
int StartSdl() {
    const auto interruptHandler = std::signal(SIGINT, SIG_DFL);
    std::signal(SIGINT, interruptHandler);
    const auto terminateHandler = std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGTERM, terminateHandler);
    // Without a display SDL 1.2 would take over the terminal with its text driver; its video part is
    // needed only for the event queue.
    static char dummyVideo[] = "SDL_VIDEODRIVER=dummy";
    if (!SDL_getenv("SDL_VIDEODRIVER"))
        SDL_putenv(dummyVideo);
    // No SDL timer is ever set; SDL 1.2's timer part would only add a thread that wakes every
    // millisecond (its delays and ticks work without it).
    const int result = SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
    std::signal(SIGINT, interruptHandler);
    std::signal(SIGTERM, terminateHandler);
    return result;
}

} // namespace

VideoState::VideoState() = default;

VideoState::~VideoState() {
    if (audioCtx)
        avcodec_free_context(&audioCtx);
    if (videoCtx)
        avcodec_free_context(&videoCtx);
    CloseInput(&ic);
    packet_queue_destroy(&audioq);
    packet_queue_destroy(&videoq);
    swr_free(&swrCtx);
    av_packet_free(&audioPkt);
    av_frame_free(&audioFrame);
    av_channel_layout_uninit(&audioSrc.channelLayout);
    av_channel_layout_uninit(&audioTgt.channelLayout);
    sws_freeContext(imgConvertCtx);
    if (pictqMutex)
        SDL_DestroyMutex(pictqMutex);
    if (pictqCond)
        SDL_DestroyCond(pictqCond);
}

PlayerInputOpener SetPlayerInputOpener(PlayerInputOpener opener) {
    return inputOpener.exchange(opener);
}

int PlayerInit(HWND window0, HWND window1, HWND window2, HWND window3) {
    // A second start begins afresh rather than leave the first one's thread behind.
    if (eventThread.joinable())
        PlayerUninit();
    PlaybackEngine& engine = g_playbackEngine;
    PlayerChannelTables& tables = PlayerTables();
    av_log_set_level(AV_LOG_QUIET);
    av_log_set_flags(AV_LOG_SKIP_REPEATED);
    if (StartSdl() != 0) {
        EngineTrace("Could not initialize SDL - %s", SDL_GetError());
        EngineTrace("(Did you set the DISPLAY variable?)");
        return 0;
    }
    SDL_EventState(SDL_ACTIVEEVENT, SDL_IGNORE);
    SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
    SDL_EventState(SDL_USEREVENT, SDL_IGNORE);
    DiscardPendingEvents();

    engine.rgbMode = 0;
    engine.surfaceFormat = D3DFMT_YUY2;
    engine.pictureWidth = g_layoutWidth;
    engine.pictureHeight = g_layoutHeight;
    engine.resetCountdown = 0;
    for (auto& flag : tables.resetFlag)
        flag = 0;

    eventThreadQuit = 0;
    eventThread = std::thread(PlayerEventThread);

    const HWND windows[kChannelCount] = {window0, window1, window2, window3};
    for (int channel = 0; channel < kChannelCount; ++channel)
        tables.channelWindow[channel] = windows[channel];
    int made;
    {
        AllRenderersLock locks = LockAllRenderers();
        made = CreateRenderersAtStart(windows);
    }
    if (!made) {
        PlayerUninit();
        return 0;
    }
    for (auto& ack : tables.resetAck)
        ack = 1;
    return 1;
}

void PlayerUninit() {
    if (eventThread.joinable()) {
        eventThreadQuit = 1;
        for (int tries = 0; tries < kQuitPushTries && !PushEngineEvent(FF_QUIT_EVENT); ++tries)
            Sleep(1);
        // The renderers are deleted only once the event thread can no longer present with them.
        eventThread.join();
    }
    {
        AllRenderersLock locks = LockAllRenderers();
        DeleteAllRenderers();
    }
    static std::once_flag quitAtExit;
    std::call_once(quitAtExit, [] { std::atexit(SDL_Quit); });
}

VideoState* stream_open(const char* name, const wchar_t* folder, const void*, int noAudio, int channel) {
    if (!name || channel < 0 || channel >= kChannelCount)
        return nullptr;
    auto state = std::make_unique<VideoState>();
    EngineTrace("stream_open()");
    state->filename.assign(name, std::min(std::char_traits<char>::length(name), kFilenameCapacity - 1));
    if (folder)
        state->folder.assign(folder,
                             std::min(std::char_traits<wchar_t>::length(folder), kFolderCapacity - 1));
    state->noAudio = noAudio;
    state->channel = channel;
    state->generation = ++nextGeneration;
    state->pictqMutex = SDL_CreateMutex();
    state->pictqCond = SDL_CreateCond();
    state->speed = 1.0;
    state->path = InputPath(state->filename, state->folder);
    if (!state->pictqMutex || !state->pictqCond)
        return nullptr;

    if (OpenInput(&state->ic, state->path) < 0) {
        state->ic = nullptr;
        return nullptr;
    }
    state->inputOpen = 1;
    if (state->ic->duration != AV_NOPTS_VALUE && state->ic->duration > 0)
        state->duration = state->ic->duration;

    // The channel is known, and its tables ready, before any of its threads runs.
    PlayerChannelTables& tables = PlayerTables();
    {
        std::lock_guard<std::mutex> guard(dispatchLock);
        tables.eofFlag[channel] = 0;
        tables.finished[channel] = 0;
        tables.channelClock[channel] = 0.0;
        tables.openState[channel] = state.get();
    }
    state->readThread = SDL_CreateThread(ReadThread, state.get());
    if (!state->readThread) {
        std::lock_guard<std::mutex> guard(dispatchLock);
        tables.openState[channel] = nullptr;
        tables.finished[channel] = 1;
        return nullptr;
    }
    return state.release();
}

void stream_close(VideoState* state) {
    state->abortRequest = 1;
    WakeRefreshThread(state);
    if (state->readThread)
        SDL_WaitThread(state->readThread, nullptr);
    if (state->refreshThread)
        SDL_WaitThread(state->refreshThread, nullptr);
    PurgeChannelEvents(state->channel, state->generation);
    delete state;
}

VideoState* PlayerOpen(const char* name, const wchar_t* folder, int width, int height, int noAudio,
                       int channel) {
    g_playbackEngine.requestedWidth = width;
    g_playbackEngine.requestedHeight = height;
    VideoState* state = stream_open(name, folder, nullptr, noAudio, channel);
    if (!state)
        EngineError("Failed to initialize VideoState!");
    return state;
}

void PlayerClose(VideoState* state) {
    if (!state)
        return;
    const int channel = state->channel;
    PlayerChannelTables& tables = PlayerTables();
    bool current;
    {
        std::lock_guard<std::mutex> guard(dispatchLock);
        VideoState* expected = state;
        current = tables.openState[channel].compare_exchange_strong(expected, nullptr);
    }
    if (current) {
        const bool cleared = GuardedRendererCall(channel, [&] {
            if (D3D9RenderImpl* main = tables.mainRenderer[channel].get()) {
                main->RemoveOverlay(channel + 3);
                main->RemoveOverlay(channel + 5);
                main->RemoveOverlay(1);
            }
        });
        if (cleared)
            PlayerRedraw(state, 1);
        tables.resetAck[channel] = 1;
        tables.finished[channel] = 1;
    }
    stream_close(state);
    // The channel's threads may have used a renderer until they ended; a closed channel must never
    // keep a renderer recreation waiting for its acknowledgement.
    if (current)
        tables.resetAck[channel] = 1;
}

void PlayerInvalidateFrames() {
    PlayerChannelTables& tables = PlayerTables();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (D3D9RenderImpl* main = tables.mainRenderer[channel].get())
            main->InvalidateFrame();
        if (D3D9RenderImpl* zoom = tables.zoomRenderer[channel].get())
            zoom->InvalidateFrame();
    }
}

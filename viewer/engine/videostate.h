#pragma once
// The playback engine's data: the state of one open channel (VideoState), its packet and picture
// queues, the per-channel tables and the engine-wide settings. Everything several threads share is
// atomic or guarded by the lock named beside it; the rest belongs to the one thread named.

#include "platform/base/windowsystem.h"
#include "platform/video/videotypes.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;
struct SwsContext;
struct SDL_cond;
struct SDL_mutex;
struct SDL_Thread;

class D3D9RenderImpl;

// The cameras: 0 front, 1 rear, 2 left, 3 right. Partners (zoom, window pairs) are 0-1 and 2-3.
enum CameraChannel { kCameraFront = 0, kCameraRear = 1, kCameraLeft = 2, kCameraRight = 3 };
constexpr int kChannelCount = 4;

// The engine's events in SDL's queue. Channel events carry the channel number and the generation
// of the open state they were meant for, never a pointer, so a late event of a closed channel is
// recognised and dropped.
constexpr int FF_ALLOC_EVENT = 24;
constexpr int FF_REFRESH_EVENT = 25;
constexpr int FF_QUIT_EVENT = 26;
constexpr int FF_PLAY_EVENT = 27;
constexpr int FF_EOF_EVENT = 28;

// Read loop limits.
constexpr int kMaxQueueBytes = 0xF00000;
constexpr int kMinAudioQueueBytes = 0x50000;
constexpr int kMinVideoPackets = 5;
constexpr int kPacketNodeBytes = 80;
constexpr int kMaxSilencePackets = 10;
constexpr int kSilencePacketBytes = 4096;
constexpr double kEndFractionAtSpeed = 0.99;

constexpr int kVideoPictureQueueSize = 2;
constexpr int kAudioBufferBytes = 768000;
constexpr int kAudioCallbackSamples = 1024;
constexpr int kAudioDiffAverageCount = 20;
constexpr double kAudioNoSyncThreshold = 10.0;
// The sound is stretched towards the picture once it is this far off on average: well inside the
// one callback after which the callback itself waits or skips, so that a sound device running a
// little faster or slower than the clock is followed smoothly instead of by jumps.
constexpr double kAudioDiffThreshold = 0.010;
constexpr int kSampleCorrectionPercentMax = 10;

// What a queued packet is: read data, the marker a seek puts in front of the new data, or the
// empty packet that makes a decoder give out its delayed pictures at the end of the file.
enum class PacketKind { Data, Flush, Empty };

struct PacketNode {
    AVPacket* packet = nullptr;
    PacketKind kind = PacketKind::Data;
    PacketNode* next = nullptr;
};

struct PacketQueue {
    // -1 after init; 1: a blocking get returns at once on an empty queue (audio); 0: it waits.
    std::atomic<int32_t> neverWait{-1};
    PacketNode* first = nullptr; // mutex
    PacketNode* last = nullptr;  // mutex
    // Written under the mutex; the read thread looks at them without it to decide whether to read.
    std::atomic<int32_t> packetCount{0};
    std::atomic<int32_t> byteSize{0};
    std::atomic<int32_t> abortRequest{0};
    // Blocking gets asleep on the condition; lets a test put or abort only once a get waits.
    std::atomic<int32_t> waiting{0};
    SDL_mutex* mutex = nullptr;
    SDL_cond* cond = nullptr;
};

// One entry of the picture queue; guarded by the picture-queue mutex, except that the video thread
// fills the entry at the write index (and the event thread shows the one at the read index) while
// the count says it is theirs.
struct VideoPicture {
    double pts = 0;
    double duration = 0;
    int64_t pos = 0;
    int32_t skip = 0;
    uint8_t* planes[3] = {};
    std::vector<uint8_t> buffer;
    int32_t width = 0;
    int32_t height = 0;
    int32_t allocated = 0;
    int32_t reallocate = 0;
    int32_t sourceFormat = -1;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
};

struct AudioParams {
    int frequency = 0;
    AVChannelLayout channelLayout{};
    int channels = 0;
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
};

struct VideoState {
    VideoState();
    ~VideoState();
    VideoState(const VideoState&) = delete;
    VideoState& operator=(const VideoState&) = delete;

    // Set before any of the channel's threads starts; constant afterwards.
    int32_t channel = 0;
    uint32_t generation = 0;
    std::string filename; // as the view named it (8-bit ANSI text)
    std::wstring folder;
    std::string path; // folder and name as one UTF-8 path for FFmpeg
    int32_t noAudio = 0;

    SDL_Thread* readThread = nullptr;    // user-interface thread
    SDL_Thread* refreshThread = nullptr; // read thread
    SDL_Thread* videoThread = nullptr;   // read thread

    // Read thread (stream_open hands it over before the thread starts).
    AVFormatContext* ic = nullptr;
    // The duration in microseconds, kept apart so that the user-interface thread never reads the
    // format context the read thread may be closing. AV_NOPTS_VALUE or 0 when unknown.
    std::atomic<int64_t> duration{0};
    std::atomic<int32_t> inputOpen{0};
    int32_t singleFileAvi = 0;
    int32_t lastPaused = 0;
    std::atomic<int32_t> readPauseReturn{0};

    std::atomic<int32_t> zoomActive{0};
    std::atomic<int32_t> displayEnabled{1};
    std::atomic<int32_t> abortRequest{0};
    std::atomic<int32_t> paused{0};
    std::atomic<int32_t> seekRequest{0};
    std::atomic<int32_t> seekFlags{0};
    std::atomic<int64_t> seekPos{0};
    std::atomic<int64_t> seekRel{0};
    std::atomic<int32_t> seekSkipState{0};
    // Set by a seek until the video thread reaches the seek's flush marker: pictures decoded before
    // it are from the old position and never count towards the seek's skip.
    std::atomic<int32_t> seekFlushPending{0};
    std::atomic<int32_t> pictureWidthOut{0};
    std::atomic<int32_t> pictureHeightOut{0};
    std::atomic<int32_t> stepRequest{0};
    std::atomic<int32_t> refreshPending{0};
    // The refresh thread sleeps on this until its event has been answered (refreshPending back to 0)
    // and a picture waits, or the channel closes, instead of looking every millisecond.
    std::mutex refreshLock;
    std::condition_variable refreshAnswered;
    // When the queued picture is due on the engine's clock, as the last refresh found it: the
    // refresh thread sends its next event then rather than asking over and over. 0: at once; any
    // change of the channel's timing wakes the thread and sets it back to 0.
    std::atomic<double> refreshDueAt{0};
    std::atomic<double> speed{1.0};
    std::wstring caption; // user-interface thread
    std::atomic<int32_t> syncWarmupCount{0};
    std::atomic<int32_t> stepMode{0};
    std::atomic<int32_t> refreshThreadDone{0};
    std::atomic<int32_t> redrawPending{0};
    // Passes of the video thread through its pause wait, where it holds no picture: lets a test see
    // that a paused channel has nothing more on its way.
    std::atomic<int64_t> pausePasses{0};

    // Audio: opened and closed by the read thread, used by SDL's audio thread in between.
    std::atomic<int32_t> audioStream{-1};
    AVStream* audioSt = nullptr;
    AVCodecContext* audioCtx = nullptr;
    PacketQueue audioq;
    AVPacket* audioPkt = nullptr;
    AVFrame* audioFrame = nullptr;
    const uint8_t* audioBuf = nullptr;
    std::vector<uint8_t> audioBuf1;
    std::vector<uint8_t> audioSilence;
    unsigned audioBufSize = 0;
    unsigned audioBufIndex = 0;
    int audioHwBufSize = 0;
    AudioParams audioSrc;
    AudioParams audioTgt;
    SwrContext* swrCtx = nullptr;
    double audioClock = 0;
    double audioDiffCum = 0;
    double audioDiffAvgCoef = 0;
    double audioDiffThreshold = 0;
    int audioDiffAvgCount = 0;
    int64_t audioCallbackTime = 0;
    // Set by the read thread before the sound opens, and at each seek, when there are pictures to
    // go with it: the sound then waits for the first picture and starts where the picture is,
    // rather than a good part of a second ahead of it while the video decoder warms up.
    std::atomic<int32_t> soundAwaitsPicture{0};
    std::atomic<double> audioCurrentPts{0};
    std::atomic<double> audioCurrentPtsDrift{0};
    bool ownsAudioDevice = false; // read thread

    // Video: the decoder belongs to the video thread; the timing to the event thread, except that a
    // flush and the pause toggle reset it from other threads (hence atomic).
    std::atomic<int32_t> videoStream{-1};
    AVStream* videoSt = nullptr;
    AVCodecContext* videoCtx = nullptr;
    PacketQueue videoq;
    bool videoDecoderDrained = false;    // video thread
    bool videoDrainSent = false;         // video thread
    double videoClock = 0;               // video thread
    double videoFrameDuration = 0;       // from the stream's frame rate, set when the decoder opens
    SwsContext* imgConvertCtx = nullptr; // video thread
    std::atomic<int32_t> decoderWidth{0};
    std::atomic<int32_t> decoderHeight{0};
    std::atomic<double> frameTimer{0};
    std::atomic<double> frameLastPts{NAN};
    std::atomic<double> frameLastDuration{0};
    std::atomic<double> frameLastDroppedPts{NAN};
    std::atomic<int64_t> frameLastDroppedPos{-1};
    std::atomic<double> videoCurrentPts{0};
    std::atomic<double> videoCurrentPtsDrift{0};
    std::atomic<int64_t> videoCurrentPos{-1};
    std::atomic<int32_t> pictureShown{0};
    std::atomic<int64_t> lateDrops{0};

    VideoPicture pictq[kVideoPictureQueueSize];
    int pictqSize = 0;   // pictqMutex
    int pictqRindex = 0; // event thread
    int pictqWindex = 0; // video thread
    SDL_mutex* pictqMutex = nullptr;
    SDL_cond* pictqCond = nullptr;
};

// The per-channel tables: renderers and windows, the reset protocol,
// end-of-file and finishing, and the clocks the front and rear channels keep step by.
struct PlayerChannelTables {
    // Replaced only by PlayerInit, PlayerUninit and ResetRenderers on the user-interface thread
    // while holding the channel's rendererLock exclusively; everyone else uses them under a shared
    // hold (see GuardedRendererCall).
    std::unique_ptr<D3D9RenderImpl> mainRenderer[kChannelCount];
    std::unique_ptr<D3D9RenderImpl> zoomRenderer[kChannelCount];
    std::shared_mutex rendererLock[kChannelCount];
    HWND channelWindow[kChannelCount] = {};
    std::atomic<int32_t> resetFlag[kChannelCount] = {0, 0, 0, 0};
    std::atomic<int32_t> resetAck[kChannelCount] = {0, 0, 0, 0};
    std::atomic<int32_t> eofFlag[kChannelCount] = {0, 0, 0, 0};
    std::atomic<int32_t> finished[kChannelCount] = {1, 1, 0, 0};
    std::atomic<VideoState*> openState[kChannelCount] = {nullptr, nullptr, nullptr, nullptr};
    std::atomic<double> channelClock[kChannelCount] = {0.0, 0.0, 0.0, 0.0};
    std::atomic<uint32_t> lastDisplayTick[kChannelCount] = {0, 0, 0, 0};
};

// The engine-wide settings and words. The picture format is decided by PlayerInit before any
// channel opens and is constant while channels play.
struct PlaybackEngine {
    PlayerChannelTables tables;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    int32_t rgbMode = 0;
    int32_t rgbBitsPerPixel = 16;
    int32_t rgbPixelFormat = 0; // an AVPixelFormat; RGB565LE until PlayerInit decides
    D3DFORMAT surfaceFormat = 0;
    int32_t scalerFlags = 1; // SWS_FAST_BILINEAR
    int32_t displayMode = 1;
    std::atomic<int32_t> requestedWidth{0};
    std::atomic<int32_t> requestedHeight{0};
    std::atomic<uint32_t> selectionWord{65535u << 16};
    std::atomic<double> rearCamOffset{0.0};
    std::atomic<int32_t> volume{50};
    std::atomic<int32_t> savedVolume{50};
    // Set when the engine itself muted at the end of a file; only then does a seek bring the saved
    // volume back, so that a seek never overrides the volume the user chose.
    std::atomic<int32_t> mutedAtEnd{0};
    std::atomic<int32_t> resetCountdown{0};
    int32_t avSyncType = 1;
    int32_t frameDrop = -1;
};

extern PlaybackEngine g_playbackEngine;

// Shorthand for the tables.
inline PlayerChannelTables& PlayerTables() {
    return g_playbackEngine.tables;
}

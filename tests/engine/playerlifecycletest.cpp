// Engine start-up and shut-down, opening and closing channels, the engine's events, and files the
// engine cannot play.

#include "enginetestsupport.h"

#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "platform/video/videotesthooks.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/moviemaker.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/playerevents.h"
#include "viewer/engine/rendererset.h"

#include <SDL.h>

#include <cstring>
#include <fstream>
#include <iterator>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using namespace std::chrono_literals;

const RecordingRequest kFront90{"front90.mp4", 0, 90, true};

// The renderer traces of a start-up, in order.
std::vector<std::string> RendererTraces(const std::function<void()>& run) {
    std::vector<std::string> lines;
    std::mutex lock;
    const TraceSink previous = SetTraceSink([&](const std::wstring& line) {
        std::lock_guard<std::mutex> guard(lock);
        const std::string text = Utf8FromWide(line);
        if (text.rfind("[", 0) == 0 && text.find("] hr = 0x") != std::string::npos)
            lines.push_back(text);
    });
    run();
    SetTraceSink(previous);
    return lines;
}

class LifecycleTest : public EngineTest {};

TEST_F(LifecycleTest, StartUpMakesEightRenderersInOrder) {
    StopEngine();
    const std::vector<std::string> traces = RendererTraces([&] { ASSERT_TRUE(StartEngine()); });
    ASSERT_EQ(traces.size(), 16u);
    for (size_t i = 0; i < traces.size(); ++i)
        EXPECT_EQ(traces[i], "[" + std::to_string(i) + "] hr = 0x00000000");
    struct Expected {
        bool zoom;
        int channel;
        int window;
        int mode;
    };
    const Expected renderers[] = {{false, 0, 0, 1}, {true, 0, 1, 1}, {false, 1, 1, 1}, {true, 1, 0, 1},
                                  {false, 2, 2, 0}, {true, 2, 3, 1}, {false, 3, 3, 0}, {true, 3, 2, 1}};
    for (const Expected& e : renderers) {
        const auto& renderer =
            e.zoom ? PlayerTables().zoomRenderer[e.channel] : PlayerTables().mainRenderer[e.channel];
        ASSERT_TRUE(renderer) << e.channel << e.zoom;
        EXPECT_EQ(renderer->Window(), Window(e.window)) << e.channel << e.zoom;
        EXPECT_EQ(renderer->GetDisplayMode(), e.mode) << e.channel << e.zoom;
        EXPECT_EQ(renderer->VideoFormat(), D3DFMT_YUY2);
        EXPECT_EQ(renderer->VideoWidth(), kPictureWidth);
        EXPECT_EQ(renderer->VideoHeight(), kPictureHeight);
    }
    for (int channel = 0; channel < kChannelCount; ++channel)
        EXPECT_EQ(PlayerTables().resetAck[channel], 1);
}

TEST_F(LifecycleTest, WithoutYuy2TheDesktopsRgbIsUsed) {
    struct Case {
        int desktopBits;
        D3DFORMAT format;
        int bits;
    };
    const Case cases[] = {{32, D3DFMT_A8R8G8B8, 32}, {16, D3DFMT_R5G6B5, 16}, {24, D3DFMT_A8R8G8B8, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktopBits);
        StopEngine();
        RefuseSurfaceFormat(D3DFMT_YUY2, true);
        SetDisplayBitsPerPixel(c.desktopBits);
        const std::vector<std::string> traces = RendererTraces([&] { ASSERT_TRUE(StartEngine()); });
        ASSERT_EQ(traces.size(), 17u);
        EXPECT_EQ(traces[1], "[1] hr = 0x8876086A");
        EXPECT_EQ(traces[2], "[2] hr = 0x00000000");
        EXPECT_EQ(g_playbackEngine.rgbMode, 1);
        EXPECT_EQ(g_playbackEngine.rgbBitsPerPixel, c.bits);
        EXPECT_EQ(g_playbackEngine.pictureWidth, kPictureWidth);
        for (const RendererSlot& slot : kRendererOrder)
            EXPECT_EQ(RendererOf(slot)->VideoFormat(), c.format);
        // The side cameras are not mirrored in RGB.
        ASSERT_NE(Open(Recording({"camera2-45.mp4", 2, 45, false}), 2), nullptr);
        ASSERT_TRUE(WaitForAnyFrame(2).has_value());
        EXPECT_EQ(FrameCodeOf(m_windows[2]->LastPicture(), false)->channel, 2);
        Close(2);
        ResetVideoTestHooks();
    }
}

TEST_F(LifecycleTest, StartUpFailsWhenNoSurfaceFormatWorks) {
    StopEngine();
    for (D3DFORMAT format : {D3DFMT_YUY2, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5})
        RefuseSurfaceFormat(format, true);
    EXPECT_FALSE(StartEngine());
    for (const RendererSlot& slot : kRendererOrder)
        EXPECT_FALSE(RendererOf(slot));
    ResetVideoTestHooks();
    EXPECT_TRUE(StartEngine());
}

TEST_F(LifecycleTest, ShutDownDeletesEveryRenderer) {
    StopEngine();
    for (const RendererSlot& slot : kRendererOrder)
        EXPECT_FALSE(RendererOf(slot));
    ASSERT_TRUE(StartEngine());
}

TEST_F(LifecycleTest, CallsWithoutAStateDoNothing) {
    std::vector<BYTE> buffer(16, 0xAB);
    int width = 5, height = 5, pitch = 5;
    PlayerClose(nullptr);
    PlayerPause(nullptr);
    PlayerPlay(nullptr);
    PlayerStep(nullptr);
    PlayerSetSpeed(nullptr, 2, 1);
    PlayerSetCaption(nullptr, L"text");
    PlayerSeekTime(nullptr, 1000000);
    PlayerSeekRatio(nullptr, 0.5);
    PlayerEnableDisplay(nullptr, 1);
    PlayerSelectChannel(nullptr, 0, 1);
    PlayerSetSelection(nullptr, 0, 1);
    PlayerPickPictureSize(nullptr, 0);
    PlayerSetZoomRect(nullptr, 1, 0, 0, 10, 10);
    PlayerDrawSelectionRect(nullptr, 0, 0, 10, 10);
    PlayerRedraw(nullptr, 1);
    EXPECT_EQ(PlayerRatioToTime(nullptr, 0.5), -1);
    EXPECT_EQ(PlayerGetPositionRatio(nullptr), -1.0);
    EXPECT_EQ(PlayerIsDisplayEnabled(nullptr), 0);
    EXPECT_EQ(PlayerCaptureFrame(nullptr, buffer.data(), buffer.size(), &width, &height, &pitch), E_POINTER);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(PlayerGetSelectedChannel(), 65535);
    for (int channel = 0; channel < kChannelCount; ++channel)
        EXPECT_TRUE(PlayerTables().mainRenderer[channel]->Overlays().IsEmpty());
    EXPECT_EQ(buffer[0], 0xAB);
}

TEST_F(LifecycleTest, AMissingFileLeavesTheChannelAlone) {
    PlayerTables().eofFlag[2] = 1;
    PlayerTables().finished[2] = 0;
    const std::wstring folder = RecordingFolder();
    EXPECT_EQ(PlayerOpen("missing.mp4", folder.c_str(), 640, 360, 1, 2), nullptr);
    EXPECT_EQ(PlayerTables().eofFlag[2], 1);
    EXPECT_EQ(PlayerTables().finished[2], 0);
    EXPECT_EQ(PlayerTables().openState[2], nullptr);
    PlayerTables().eofFlag[2] = 0;
    EXPECT_EQ(PlayerOpen(nullptr, folder.c_str(), 640, 360, 1, 2), nullptr);
    EXPECT_EQ(PlayerOpen(Recording(kFront90).c_str(), folder.c_str(), 640, 360, 1, 4), nullptr);
}

TEST_F(LifecycleTest, TheFolderAndNameMakeOnePath) {
    const std::string name = Recording(kFront90);
    const std::wstring folder = RecordingFolder();
    const std::wstring withoutSeparator = folder.substr(0, folder.size() - 1);
    m_open[0] = PlayerOpen(name.c_str(), withoutSeparator.c_str(), 640, 360, 0, 0);
    ASSERT_NE(m_open[0], nullptr);
    Close(0);
    const std::string absolute = RecordingPath(name);
    m_open[0] = PlayerOpen(absolute.c_str(), L"/nowhere/", 640, 360, 0, 0);
    ASSERT_NE(m_open[0], nullptr);
    EXPECT_TRUE(WaitForAnyFrame(0).has_value());
}

TEST_F(LifecycleTest, ClosingTakesTheChannelsOverlaysAndMarksItFinished) {
    VideoState* state = Open(Recording(kFront90), 0);
    ASSERT_TRUE(WaitForFrame(0, 3));
    PlayerSetCaption(state, L"caption");
    PlayerDrawSelectionRect(state, 10, 10, 60, 40);
    D3D9RenderImpl* main = PlayerTables().mainRenderer[0].get();
    EXPECT_EQ(main->Overlays().Ids(), std::vector<short>({1, 3, 5}));
    Close(0);
    EXPECT_TRUE(main->Overlays().IsEmpty());
    EXPECT_EQ(PlayerTables().finished[0], 1);
    EXPECT_EQ(PlayerTables().resetAck[0], 1);
    EXPECT_EQ(PlayerTables().openState[0], nullptr);
}

TEST_F(LifecycleTest, LateEventsOfAClosedChannelAreDropped) {
    VideoState* rearState = Open(Recording({"camera1-150.mp4", 1, 150, false}), 1);
    ASSERT_NE(rearState, nullptr);
    ASSERT_TRUE(WaitForAnyFrame(1).has_value());
    // Held while the front channel churns, so a slow machine cannot run the rear one to its end.
    PlayerPause(rearState);
    // Each close leaves a play event (and refresh and allocation events) of a freed state behind.
    for (int round = 0; round < 15; ++round) {
        VideoState* state = Open(Recording(kFront90), 0);
        ASSERT_NE(state, nullptr);
        if (round % 3 == 0)
            WaitForAnyFrame(0, 2s);
        PlayerPlay(state);
        PlayerPause(state);
        PlayerPlay(state);
        Close(0);
    }
    const int rear = WaitForAnyFrame(1).value_or(-1);
    PlayerPlay(rearState);
    EXPECT_TRUE(WaitForFrameAtLeast(1, rear + 5));
}

TEST_F(LifecycleTest, ClosingAChannelRemovesOnlyItsOwnEvents) {
    // No event thread: the queue keeps what is pushed.
    StopEngine();
    VideoState mine;
    mine.channel = 0;
    mine.generation = 100;
    VideoState other;
    other.channel = 1;
    other.generation = 200;
    VideoState earlier;
    earlier.channel = 0;
    earlier.generation = 99;
    DiscardPendingEvents();
    ASSERT_TRUE(PushChannelEvent(FF_ALLOC_EVENT, &mine));
    ASSERT_TRUE(PushChannelEvent(FF_REFRESH_EVENT, &other));
    ASSERT_TRUE(PushChannelEvent(FF_REFRESH_EVENT, &mine));
    ASSERT_TRUE(PushEngineEvent(FF_QUIT_EVENT));
    ASSERT_TRUE(PushChannelEvent(FF_ALLOC_EVENT, &earlier));
    ASSERT_TRUE(PushChannelEvent(FF_EOF_EVENT, &mine));
    PurgeChannelEvents(0, 100);
    SDL_Event events[8];
    const int left = SDL_PeepEvents(events, 8, SDL_GETEVENT, 0xFFFFFFFFu);
    ASSERT_EQ(left, 3);
    EXPECT_EQ(events[0].type, FF_REFRESH_EVENT);
    EXPECT_EQ(events[0].user.code, 1);
    EXPECT_EQ(events[1].type, FF_QUIT_EVENT);
    EXPECT_EQ(events[2].type, FF_ALLOC_EVENT);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(events[2].user.data1), 99u);
    ASSERT_TRUE(StartEngine());
}

// Bytes of a file; a copy with every occurrence of a text before the 'movi' list replaced.
std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string UnknownCodecAvi() {
    const std::string name = Recording({"h264.avi", 0, 30, false, true, 1});
    std::vector<char> bytes = ReadFile(RecordingPath(name));
    const std::string movi = "movi";
    const auto end = std::search(bytes.begin(), bytes.end(), movi.begin(), movi.end());
    for (const std::string codec : {"H264", "h264"})
        for (auto at = std::search(bytes.begin(), end, codec.begin(), codec.end()); at != end;
             at = std::search(at + 4, end, codec.begin(), codec.end()))
            std::copy_n("ZZZZ", 4, at);
    WriteFile(RecordingPath("unknowncodec.avi"), bytes);
    return "unknowncodec.avi";
}

TEST_F(LifecycleTest, AnUndecodableFileFailsOnlyItsChannel) {
    struct Case {
        const char* name;
        std::function<std::string()> make;
        int model;
    };
    const Case cases[] = {
        // A one-file AVI recording whose third camera is missing.
        {"no stream for the channel",
         [] {
             return Recording({"20230101_120000_N.avi", 0, 30, false, true, 1});
         },
         3},
        {"no decoder for the codec", UnknownCodecAvi, 0},
    };
    ASSERT_NE(Open(Recording({"camera0-300.mp4", 0, 300, true}), 0), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetModelIndex(c.model);
        const int before = m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1);
        VideoState* bad = Open(c.make(), 2);
        ASSERT_NE(bad, nullptr);
        ASSERT_TRUE(
            WaitUntil([&] { return m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1) == before + 1; }, 10s));
        EXPECT_EQ(PlayerGetPositionRatio(bad), -1.0);
        // The front channel plays on.
        const int front = WaitForAnyFrame(0).value_or(-1);
        EXPECT_TRUE(WaitForFrameAtLeast(0, front + 10));
        Close(2);
        EXPECT_EQ(m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1), before + 1);
        EXPECT_EQ(PlayerTables().eofFlag[2], 0);
    }
}

TEST_F(LifecycleTest, FilesThatAreNoRecordingsAreNotOpened) {
    WriteFile(RecordingPath("text.mp4"), std::vector<char>(4000, 'x'));
    const std::string name = Recording({"whole.mp4", 0, 60, false});
    std::vector<char> bytes = ReadFile(RecordingPath(name));
    // Cut before the index at the end.
    bytes.resize(bytes.size() / 2);
    WriteFile(RecordingPath("cut.mp4"), bytes);
    for (const char* file : {"text.mp4", "cut.mp4"}) {
        EXPECT_EQ(Open(file, 0), nullptr) << file;
        EXPECT_EQ(PlayerTables().openState[0], nullptr);
    }
    EXPECT_EQ(m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1), 0);
}

TEST_F(LifecycleTest, ACutAviPlaysToWhereItWasCut) {
    fixtures::AviOptions options;
    options.video.width = kPictureWidth;
    options.video.height = kPictureHeight;
    options.video.frameCount = 60;
    options.textChunks = false;
    const fixtures::AviLayout layout = fixtures::MakeAviRecording(RecordingPath("cutlater.avi"), options);
    options.damage.truncateTo = layout.chunks[30].offset;
    fixtures::MakeAviRecording(RecordingPath("cut.avi"), options);
    VideoState* state = Open("cut.avi", 0);
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(WaitForFrameAtLeast(0, 25));
    EXPECT_TRUE(WaitUntil([&] { return PlayerTables().eofFlag[0] == 1; }, 10s));
    EXPECT_LT(ShownFrame(0)->frame, 31);
    EXPECT_EQ(m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1), 0);
}

// A file read through FFmpeg's own I/O that fails with an I/O error in the second half of the
// media data, as a card pulled out while playing does.
struct FailingInput {
    std::vector<char> bytes;
    int64_t position = 0;
    int64_t failFrom = 0;
    int64_t failTo = 0;
};
FailingInput* failingInput = nullptr;

int ReadFailing(void* opaque, uint8_t* buffer, int size) {
    auto* input = static_cast<FailingInput*>(opaque);
    if (input->position >= input->failFrom && input->position < input->failTo)
        return AVERROR(EIO);
    const int64_t left = static_cast<int64_t>(input->bytes.size()) - input->position;
    if (left <= 0)
        return AVERROR_EOF;
    int64_t count = std::min<int64_t>(size, left);
    if (input->position < input->failFrom)
        count = std::min(count, input->failFrom - input->position);
    std::memcpy(buffer, input->bytes.data() + input->position, static_cast<size_t>(count));
    input->position += count;
    return static_cast<int>(count);
}

int64_t SeekFailing(void* opaque, int64_t offset, int whence) {
    auto* input = static_cast<FailingInput*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE)
        return static_cast<int64_t>(input->bytes.size());
    const int64_t base = whence == SEEK_CUR   ? input->position
                         : whence == SEEK_END ? static_cast<int64_t>(input->bytes.size())
                                              : 0;
    input->position = base + offset;
    return input->position;
}

int OpenFailingInput(AVFormatContext** context, const std::string& path) {
    constexpr int kBufferSize = 4096;
    AVFormatContext* format = avformat_alloc_context();
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBufferSize));
    AVIOContext* io =
        avio_alloc_context(buffer, kBufferSize, 0, failingInput, ReadFailing, nullptr, SeekFailing);
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    const int result = avformat_open_input(&format, path.c_str(), nullptr, nullptr);
    if (result < 0) {
        av_freep(&io->buffer);
        avio_context_free(&io);
        return result;
    }
    *context = format;
    return result;
}

TEST_F(LifecycleTest, AReadErrorIsReportedOnce) {
    fixtures::MovieOptions options;
    options.video.width = kPictureWidth;
    options.video.height = kPictureHeight;
    options.video.frameCount = 90;
    options.recorderBoxes = false;
    const fixtures::MovieLayout layout = fixtures::MakeMovieRecording(RecordingPath("failing.mp4"), options);
    FailingInput input;
    input.bytes = ReadFile(RecordingPath("failing.mp4"));
    for (const fixtures::BoxInfo& box : layout.boxes)
        if (box.type == "mdat") {
            input.failFrom = static_cast<int64_t>(box.offset + box.size / 2);
            input.failTo = static_cast<int64_t>(box.offset + box.size);
        }
    ASSERT_GT(input.failFrom, 0);
    failingInput = &input;
    SetPlayerInputOpener(OpenFailingInput);
    VideoState* state = Open("failing.mp4", 0);
    ASSERT_NE(state, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1) == 1; }, 10s));
    // The channel stays open and uses up what was read before the error: its decoder takes every
    // packet and its picture queue empties. Neither that nor the close reports anything more.
    ASSERT_TRUE(WaitUntil(
        [&] {
            SDL_mutexP(state->pictqMutex);
            const int queued = state->pictqSize;
            SDL_mutexV(state->pictqMutex);
            return state->videoq.packetCount == 0 && queued == 0;
        },
        10s));
    EXPECT_EQ(m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1), 1);
    EXPECT_EQ(PlayerTables().eofFlag[0], 0);
    const std::vector<PostedMessage> posts = m_windowSystem.Posts();
    EXPECT_EQ(posts.back().window, ViewWindow());
    Close(0);
    EXPECT_EQ(m_windowSystem.CountOf(WM_PLAYER_READ_ERROR, 1), 1);
    SetPlayerInputOpener(nullptr);
    failingInput = nullptr;
}

TEST_F(LifecycleTest, WithoutAViewWindowNothingIsPosted) {
    g_hViewWnd = nullptr;
    SetModelIndex(3);
    ASSERT_NE(Open(Recording({"20230101_120000_N.avi", 0, 30, false, true, 1}), 2), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return PlayerTables().finished[2] == 1; }, 10s));
    // The failure is reported (if at all) after the channel is marked finished; the close waits for
    // the read thread to end.
    Close(2);
    EXPECT_TRUE(m_windowSystem.Posts().empty());
}

} // namespace

#include "enginetestsupport.h"

#include "platform/base/codepage.h"
#include "platform/base/unicode.h"
#include "platform/video/videotesthooks.h"
#include "support/testfolder.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/moviemaker.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/ffmpegplayer.h"

#include <SDL.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>

SIZE TestWindow::ClientSize() const {
    std::lock_guard<std::mutex> guard(m_lock);
    SIZE size;
    size.cx = m_width;
    size.cy = m_height;
    return size;
}

void TestWindow::Present(const PresentedPicture& picture) {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_count;
    m_last = picture;
    for (Wait* wait : m_waits)
        if (!wait->found && wait->test(picture))
            wait->found = picture;
    m_presented.notify_all();
}

void TestWindow::Resize(int width, int height) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_width = width;
    m_height = height;
}

int TestWindow::Presentations() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_count;
}

PresentedPicture TestWindow::LastPicture() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_last;
}

std::optional<PresentedPicture>
TestWindow::WaitForPicture(const std::function<bool(const PresentedPicture&)>& test,
                           std::chrono::milliseconds timeout, bool includeShown) {
    std::unique_lock<std::mutex> lock(m_lock);
    Wait wait{test, std::nullopt};
    if (includeShown && !m_last.IsNull() && test(m_last))
        return m_last;
    m_waits.insert(&wait);
    m_presented.wait_for(lock, timeout, [&] { return wait.found.has_value(); });
    m_waits.erase(&wait);
    return wait.found;
}

bool RecordingWindowSystem::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_posts.push_back({window, message, wParam, lParam});
    return true;
}

std::vector<PostedMessage> RecordingWindowSystem::Posts() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_posts;
}

int RecordingWindowSystem::CountOf(UINT message, WPARAM wParam) const {
    std::lock_guard<std::mutex> guard(m_lock);
    int count = 0;
    for (const PostedMessage& post : m_posts)
        count += post.message == message && post.wParam == wParam ? 1 : 0;
    return count;
}

namespace {

TestFolder& Library() {
    static TestFolder folder;
    return folder;
}

} // namespace

std::wstring RecordingFolder() {
    return Library().Wide() + L"/";
}

std::string RecordingPath(const std::string& name) {
    return (Library() / name).string();
}

std::string Recording(const RecordingRequest& request) {
    static std::mutex lock;
    static std::set<std::string> made;
    std::lock_guard<std::mutex> guard(lock);
    if (made.count(request.name))
        return request.name;
    fixtures::QuietCodecLogs();
    fixtures::VideoOptions video;
    video.width = kPictureWidth;
    video.height = kPictureHeight;
    video.frameCount = request.frames;
    video.fps = kFps;
    video.keyframeInterval = kKeyframeInterval;
    video.codec = fixtures::VideoCodec::H264;
    if (request.avi) {
        fixtures::AviOptions options;
        options.video = video;
        options.streams = request.aviStreams;
        options.firstChannel = request.channel;
        options.audio = request.audio;
        options.textChunks = false;
        fixtures::MakeAviRecording(Library() / request.name, options);
    } else {
        fixtures::MovieOptions options;
        options.video = video;
        options.channel = request.channel;
        options.audio = request.audio;
        options.recorderBoxes = false;
        fixtures::MakeMovieRecording(Library() / request.name, options);
    }
    made.insert(request.name);
    return request.name;
}

std::optional<fixtures::FrameCode> FrameCodeOf(const std::vector<uint8_t>& bgrx, int width, int height,
                                               bool mirrored) {
    if (width != kPictureWidth || height != kPictureHeight ||
        bgrx.size() < static_cast<size_t>(width) * height * 4)
        return std::nullopt;
    if (!mirrored)
        return fixtures::ReadFrameCode(bgrx.data(), width, height, width * 4, 4);
    std::vector<uint8_t> turned(bgrx.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(&turned[(static_cast<size_t>(y) * width + x) * 4],
                        &bgrx[(static_cast<size_t>(y) * width + (width - 1 - x)) * 4], 4);
    return fixtures::ReadFrameCode(turned.data(), width, height, width * 4, 4);
}

std::optional<fixtures::FrameCode> FrameCodeOf(const PresentedPicture& picture, bool mirrored) {
    if (picture.IsNull())
        return std::nullopt;
    std::vector<uint8_t> rows(static_cast<size_t>(picture.Width()) * picture.Height() * 4);
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(&rows[static_cast<size_t>(y) * picture.Width() * 4],
                    picture.Bits() + static_cast<size_t>(y) * picture.Pitch(),
                    static_cast<size_t>(picture.Width()) * 4);
    return FrameCodeOf(rows, picture.Width(), picture.Height(), mirrored);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void EngineTest::SetUp() {
    EnsureTextRendering();
    fixtures::QuietCodecLogs();
    ResetVideoTestHooks();
    m_savedLayout[0] = g_layoutWidth;
    m_savedLayout[1] = g_layoutHeight;
    m_savedLayout[2] = g_screenWidth;
    m_savedLayout[3] = g_screenHeight;
    g_layoutWidth = kPictureWidth;
    g_layoutHeight = kPictureHeight;
    g_screenWidth = 2 * kPictureWidth;
    g_screenHeight = 2 * kPictureHeight;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        m_windows[channel] = std::make_shared<TestWindow>(kPictureWidth, kPictureHeight);
        RegisterPresentationTarget(Window(channel), m_windows[channel]);
    }
    m_previousWindowSystem = SetWindowSystem(&m_windowSystem);
    g_hViewWnd = ViewWindow();
    SetModelIndex(0);
    PlaybackEngine& engine = g_playbackEngine;
    engine.volume = 50;
    engine.savedVolume = 50;
    engine.mutedAtEnd = 0;
    engine.rearCamOffset = 0.0;
    engine.selectionWord = 65535u << 16;
    for (auto& flag : PlayerTables().eofFlag)
        flag = 0;
    ASSERT_TRUE(StartEngine());
}

void EngineTest::TearDown() {
    for (int channel = 0; channel < kChannelCount; ++channel)
        Close(channel);
    StopEngine();
    for (int channel = 0; channel < kChannelCount; ++channel)
        UnregisterPresentationTarget(Window(channel));
    SetWindowSystem(m_previousWindowSystem);
    g_hViewWnd = nullptr;
    g_layoutWidth = m_savedLayout[0];
    g_layoutHeight = m_savedLayout[1];
    g_screenWidth = m_savedLayout[2];
    g_screenHeight = m_savedLayout[3];
    SetPlayerInputOpener(nullptr);
    SetModelIndex(0);
    ResetVideoTestHooks();
}

bool EngineTest::StartEngine() {
    m_started = PlayerInit(Window(0), Window(1), Window(2), Window(3)) == 1;
    return m_started;
}

void EngineTest::StopEngine() {
    if (!m_started)
        return;
    PlayerUninit();
    m_started = false;
}

VideoState* EngineTest::Open(const std::string& name, int channel) {
    const std::wstring folder = RecordingFolder();
    m_open[channel] = PlayerOpen(name.c_str(), folder.c_str(), g_screenWidth, g_screenHeight,
                                 channel == 0 ? 0 : 1, channel);
    return m_open[channel];
}

void EngineTest::Close(int channel) {
    if (!m_open[channel])
        return;
    PlayerClose(m_open[channel]);
    m_open[channel] = nullptr;
}

namespace {

bool Mirrored(int channel) {
    return channel >= kCameraLeft && g_playbackEngine.surfaceFormat == D3DFMT_YUY2;
}

} // namespace

std::optional<fixtures::FrameCode> EngineTest::ShownFrame(int channel) {
    return FrameCodeOf(m_windows[channel]->LastPicture(), Mirrored(channel));
}

bool EngineTest::WaitForFrame(int channel, int frame, std::chrono::milliseconds timeout) {
    const bool mirrored = Mirrored(channel);
    return m_windows[channel]
        ->WaitForPicture(
            [&](const PresentedPicture& picture) {
                const auto code = FrameCodeOf(picture, mirrored);
                return code && code->frame == frame;
            },
            timeout)
        .has_value();
}

bool EngineTest::WaitForFrameAtLeast(int channel, int frame, std::chrono::milliseconds timeout) {
    const bool mirrored = Mirrored(channel);
    return m_windows[channel]
        ->WaitForPicture(
            [&](const PresentedPicture& picture) {
                const auto code = FrameCodeOf(picture, mirrored);
                return code && code->frame >= frame;
            },
            timeout)
        .has_value();
}

std::optional<int> EngineTest::WaitForAnyFrame(int channel, std::chrono::milliseconds timeout) {
    const bool mirrored = Mirrored(channel);
    const auto picture = m_windows[channel]->WaitForPicture(
        [&](const PresentedPicture& shown) { return FrameCodeOf(shown, mirrored).has_value(); }, timeout);
    if (!picture)
        return std::nullopt;
    return FrameCodeOf(*picture, mirrored)->frame;
}

std::optional<fixtures::FrameCode> EngineTest::CapturedFrame(int channel) {
    std::vector<uint8_t> buffer(static_cast<size_t>(kPictureWidth) * kPictureHeight * 4);
    int width = 0;
    int height = 0;
    int pitch = 0;
    if (PlayerCaptureFrame(m_open[channel], buffer.data(), buffer.size(), &width, &height, &pitch) != S_OK)
        return std::nullopt;
    return FrameCodeOf(buffer, width, height, Mirrored(channel));
}

int EngineTest::EngineFrame(int channel) {
    return static_cast<int>(std::lround(m_open[channel]->videoCurrentPts * kFps));
}

bool EngineTest::WaitForEngineFrameAtLeast(int channel, int frame) {
    return WaitUntil([&] { return EngineFrame(channel) >= frame; }, std::chrono::seconds(10));
}

namespace {

int QueuedPictures(VideoState* state) {
    SDL_mutexP(state->pictqMutex);
    const int queued = state->pictqSize;
    SDL_mutexV(state->pictqMutex);
    return queued;
}

// Paused, with no seek under way: nothing may release the video thread from its pause wait.
bool HeldByPause(const VideoState* state) {
    return state->paused && !state->seekRequest && !state->seekFlushPending && state->seekSkipState == 0;
}

} // namespace

bool EngineTest::WaitForSettled(int channel) {
    VideoState* state = m_open[channel];
    // A pass through the pause wait after the channel was seen held shows that the video thread
    // put down whatever picture it had in hand; the refresh then shows what is left in the queue.
    int64_t passesWhenHeld = -1;
    return WaitUntil(
        [&] {
            if (!HeldByPause(state)) {
                passesWhenHeld = -1;
                return false;
            }
            const int64_t passes = state->pausePasses;
            if (passesWhenHeld < 0)
                passesWhenHeld = passes;
            if (passes == passesWhenHeld || QueuedPictures(state) != 0)
                return false;
            const auto shown = ShownFrame(channel);
            return shown && shown->frame == EngineFrame(channel);
        },
        std::chrono::seconds(10));
}

bool EngineTest::WaitForPausePasses(int channel, int passes) {
    VideoState* state = m_open[channel];
    const int64_t until = state->pausePasses + passes;
    return WaitUntil([&] { return state->pausePasses >= until; }, std::chrono::seconds(10));
}

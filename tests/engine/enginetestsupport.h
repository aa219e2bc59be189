#pragma once
// What the engine's tests share: windows that receive presented pictures, a window system that
// records the engine's posts, recordings made once per test program, and the frame number read
// back from a picture.

#include "platform/base/windowsystem.h"
#include "platform/video/presentationtarget.h"
#include "tools/fixtures/framepainter.h"
#include "viewer/engine/videostate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// A window's presentation target: a client size the test sets, and every picture it was given.
class TestWindow : public IPresentationTarget {
  public:
    TestWindow(int width, int height) : m_width(width), m_height(height) {}

    SIZE ClientSize() const override;
    void Present(const PresentedPicture& picture) override;

    void Resize(int width, int height);
    int Presentations() const;
    PresentedPicture LastPicture() const;
    // Waits (at most the timeout) for a presented picture that satisfies the test; the last such one.
    // The test runs on the presenting thread, so it may look at the engine as it was at that
    // presentation; with includeShown false only pictures presented from now on are tested.
    std::optional<PresentedPicture> WaitForPicture(const std::function<bool(const PresentedPicture&)>& test,
                                                   std::chrono::milliseconds timeout,
                                                   bool includeShown = true);

  private:
    struct Wait {
        std::function<bool(const PresentedPicture&)> test;
        std::optional<PresentedPicture> found;
    };

    mutable std::mutex m_lock;
    std::condition_variable m_presented;
    std::set<Wait*> m_waits;
    int m_width;
    int m_height;
    int m_count = 0;
    PresentedPicture m_last;
};

struct PostedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records posts from any thread; sends answer 0, message boxes IDOK.
class RecordingWindowSystem : public IWindowSystem {
  public:
    LRESULT Send(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int ShowMessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDOK; }

    std::vector<PostedMessage> Posts() const;
    int CountOf(UINT message, WPARAM wParam) const;

  private:
    mutable std::mutex m_lock;
    std::vector<PostedMessage> m_posts;
};

// The recordings the tests play, made at the first use in a folder that lives as long as the program.
// Pictures are kPictureWidth x kPictureHeight at 30 pictures a second, key frames every 15.
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 180;
constexpr int kFps = 30;
constexpr int kKeyframeInterval = 15;

struct RecordingRequest {
    std::string name;
    int channel = 0; // the camera painted in
    int frames = 60;
    bool audio = false; // AAC sound (MP4) or PCM (AVI)
    bool avi = false;
    int aviStreams = 1;
};
// The folder holding the made recordings, with a trailing separator, as the view passes it.
std::wstring RecordingFolder();
// Makes the recording once; answers its file name (8-bit, as the view passes it).
std::string Recording(const RecordingRequest& request);
std::string RecordingPath(const std::string& name);

// The frame number and camera painted into a picture the size of the recordings; side cameras
// (mirrored) are turned back first.
std::optional<fixtures::FrameCode> FrameCodeOf(const PresentedPicture& picture, bool mirrored = false);
std::optional<fixtures::FrameCode> FrameCodeOf(const std::vector<uint8_t>& bgrx, int width, int height,
                                               bool mirrored = false);

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// A started engine with four test windows (picture-sized client areas), the recording window
// system and a view handle, and everything undone afterwards.
class EngineTest : public ::testing::Test {
  protected:
    static HWND Window(int channel) {
        return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7100 + channel));
    }
    static HWND ViewWindow() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7900)); }

    void SetUp() override;
    void TearDown() override;
    // PlayerInit with the test windows; false when it failed.
    bool StartEngine();
    void StopEngine();

    // Opens a recording on a channel (sound on channel 0 only, as the view does) and remembers it.
    VideoState* Open(const std::string& name, int channel);
    void Close(int channel);
    // The frame shown in the channel's window (the last picture presented there).
    std::optional<fixtures::FrameCode> ShownFrame(int channel);
    // Waits for the channel's window to show the frame (of the channel's camera).
    bool WaitForFrame(int channel, int frame, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool WaitForFrameAtLeast(int channel, int frame,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits until the channel's window shows some picture of its camera; the frame.
    std::optional<int> WaitForAnyFrame(int channel,
                                       std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The frame of the channel's captured picture.
    std::optional<fixtures::FrameCode> CapturedFrame(int channel);
    // The frame the channel's clock stands at: the last picture it took from its queue, shown or not.
    int EngineFrame(int channel);
    bool WaitForEngineFrameAtLeast(int channel, int frame);
    // Waits until the channel is paused, its video thread held by the pause with no picture in hand,
    // its picture queue empty and its window showing the frame its clock stands at.
    bool WaitForSettled(int channel);
    // Waits until the paused channel's video thread has passed its pause wait this many more times.
    bool WaitForPausePasses(int channel, int passes);

    std::shared_ptr<TestWindow> m_windows[kChannelCount];
    RecordingWindowSystem m_windowSystem;
    IWindowSystem* m_previousWindowSystem = nullptr;
    VideoState* m_open[kChannelCount] = {};
    bool m_started = false;
    int m_savedLayout[4] = {};
};

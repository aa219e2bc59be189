// Recreating the renderers after a lost device: the engine's request to the view, the recreation,
// its failure and retry, and channels that keep playing (or stay paused) meanwhile.

#include "enginetestsupport.h"

#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "platform/video/videotesthooks.h"
#include "viewer/app/globals.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/rendererset.h"

namespace {

using namespace std::chrono_literals;

const RecordingRequest kLongFront{"front240.mp4", 0, 240, true};

class RendererResetTest : public EngineTest {
  protected:
    void ExpectRenderersInStretchMode() {
        for (const RendererSlot& slot : kRendererOrder) {
            ASSERT_TRUE(RendererOf(slot)) << slot.channel << slot.zoom;
            EXPECT_EQ(RendererOf(slot)->GetDisplayMode(), 1) << slot.channel << slot.zoom;
            EXPECT_EQ(RendererOf(slot)->Window(), Window(slot.windowChannel));
        }
    }
    bool AllFlags(int value) {
        for (const auto& flag : PlayerTables().resetFlag)
            if (flag != value)
                return false;
        return true;
    }
};

TEST_F(RendererResetTest, ALostDeviceAsksTheViewOnceAndIsReplaced) {
    ASSERT_NE(Open(Recording(kLongFront), 0), nullptr);
    ASSERT_TRUE(WaitForFrame(0, 10));
    SimulateDeviceLoss();
    ASSERT_TRUE(WaitUntil([&] { return m_windowSystem.CountOf(WM_RENDERER_RESET, 0) == 1; }, 10s));
    EXPECT_TRUE(AllFlags(1));
    // The engine looks for a lost device at every event it handles: ten more pictures taken (and
    // not shown, the renderers being withheld) ask nothing more of the view.
    ASSERT_TRUE(WaitForEngineFrameAtLeast(0, EngineFrame(0) + 10));
    EXPECT_EQ(m_windowSystem.CountOf(WM_RENDERER_RESET, 0), 1);
    EXPECT_EQ(m_windowSystem.Posts().back().window, ViewWindow());

    ResetRenderers();
    EXPECT_TRUE(AllFlags(0));
    EXPECT_EQ(g_playbackEngine.resetCountdown, 0);
    ExpectRenderersInStretchMode();
    EXPECT_EQ(PlayerTables().mainRenderer[0]->deviceLost, 0);
    // Playing goes on in the new renderers.
    const int presentations = m_windows[0]->Presentations();
    EXPECT_TRUE(WaitUntil([&] { return m_windows[0]->Presentations() > presentations + 5; }, 10s));
    EXPECT_TRUE(ShownFrame(0).has_value());
    EXPECT_EQ(m_windowSystem.CountOf(WM_RENDERER_RESET, 0), 1);
}

TEST_F(RendererResetTest, AFailedRecreationAsksAgainWhenItsCountdownEnds) {
    ASSERT_NE(Open(Recording(kLongFront), 0), nullptr);
    ASSERT_TRUE(WaitForFrame(0, 3));
    std::vector<std::string> traces;
    std::mutex lock;
    const TraceSink previous = SetTraceSink([&](const std::wstring& line) {
        std::lock_guard<std::mutex> guard(lock);
        if (line.rfind(L"[*", 0) == 0)
            traces.push_back(Utf8FromWide(line));
    });
    FailNextDeviceCreations(1);
    ResetRenderers();
    SetTraceSink(previous);
    ASSERT_FALSE(traces.empty());
    EXPECT_EQ(traces.front(), "[*1] hr = 0x80004005");
    EXPECT_EQ(traces.size(), 1u);
    for (const RendererSlot& slot : kRendererOrder)
        EXPECT_FALSE(RendererOf(slot));
    // A fresh countdown, of which the event thread may already have taken a few ticks.
    EXPECT_LE(g_playbackEngine.resetCountdown, 2000);
    EXPECT_GT(g_playbackEngine.resetCountdown, 1500);
    EXPECT_TRUE(AllFlags(1));
    // Nothing touches the missing renderers; the countdown runs with the events.
    g_playbackEngine.resetCountdown = 5;
    ASSERT_TRUE(WaitUntil([&] { return m_windowSystem.CountOf(WM_RENDERER_RESET, 0) == 1; }, 10s));
    EXPECT_EQ(g_playbackEngine.resetCountdown, 0);
    EXPECT_TRUE(AllFlags(1));
    ResetRenderers();
    ExpectRenderersInStretchMode();
    EXPECT_TRUE(AllFlags(0));
    const int presentations = m_windows[0]->Presentations();
    EXPECT_TRUE(WaitUntil([&] { return m_windows[0]->Presentations() > presentations; }, 10s));
}

TEST_F(RendererResetTest, APausedChannelStaysPausedThroughARecreation) {
    VideoState* state = Open(Recording(kLongFront), 0);
    ASSERT_TRUE(WaitForFrame(0, 10));
    PlayerPause(state);
    ASSERT_TRUE(WaitForSettled(0));
    const int paused = ShownFrame(0)->frame;
    // A paused channel touches no renderer, so it never acknowledges: the wait runs out.
    ResetRenderers();
    EXPECT_TRUE(AllFlags(0));
    EXPECT_EQ(state->paused, 1);
    EXPECT_EQ(ShownFrame(0)->frame, paused);
    PlayerPlay(state);
    EXPECT_TRUE(WaitForFrameAtLeast(0, paused + 5));
}

TEST_F(RendererResetTest, RecreationWhileFourChannelsPlay) {
    // Each recreation gives the channels two seconds and more to play on unseen: the recordings
    // outlast two of them even on a machine that hands out a fraction of a core.
    for (int channel = 0; channel < kChannelCount; ++channel)
        ASSERT_NE(
            Open(Recording({"camera" + std::to_string(channel) + "-600.mp4", channel, 600, channel == 0}),
                 channel),
            nullptr);
    for (int round = 0; round < 2; ++round) {
        for (int channel = 0; channel < kChannelCount; ++channel)
            ASSERT_TRUE(WaitForAnyFrame(channel).has_value());
        ResetRenderers();
        EXPECT_TRUE(AllFlags(0));
    }
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const int presentations = m_windows[channel]->Presentations();
        EXPECT_TRUE(WaitUntil([&] { return m_windows[channel]->Presentations() > presentations; }, 10s))
            << channel;
    }
}

} // namespace

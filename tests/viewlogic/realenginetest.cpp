// The transport on the real engine and the real catalogue, playing made recordings of both
// recorder families: open, pause, step, seek, speed, the end of a recording and the next one.
// Every wait is for a picture, a frame number or an engine state.
#include "enginetestsupport.h"

#include "platform/base/unicode.h"
#include "platform/ui/windefs.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/ui/datadircatalogue.h"
#include "viewer/ui/ffmpegplayerengine.h"
#include "viewer/ui/playbacktransport.h"
#include "viewlogicfakes.h"
#include "viewlogicfixture.h"

#include <array>

namespace {

using namespace std::chrono_literals;
using Slider = PlaybackTransport::Slider;

constexpr int kFrames = 60;

class RealEngineTransportTest : public EngineTest {
  protected:
    void TearDown() override {
        transport.Stop(0, 0);
        EngineTest::TearDown();
    }

    // Makes the recordings, adds them to the catalogue and lists them oldest first.
    void AddRecordings(const std::vector<RecordingRequest>& requests) {
        // All made first: a front file finds its rear partner when it is added.
        for (const RecordingRequest& request : requests)
            Recording(request);
        for (const RecordingRequest& request : requests)
            ASSERT_NE(data.AddFile(RecordingFolder() + WideFromUtf8(request.name), &list), 0) << request.name;
        data.FillListByType(&list, 9, 1);
    }

    // Waits until every open channel shows a picture of its own camera with a frame the test takes.
    bool WaitForChannels(const std::function<bool(int frame)>& test) {
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (!transport.GetChannel(channel))
                continue;
            const auto picture = m_windows[channel]->WaitForPicture(
                [&](const PresentedPicture& shown) {
                    const auto code = FrameCodeOf(shown, channel >= 2 && Mirrored());
                    return code && code->channel == channel && test(code->frame);
                },
                10s);
            if (!picture)
                return false;
        }
        return true;
    }

    // Waits until every open channel is paused with nothing waiting to be shown.
    bool WaitForPaused() {
        for (int channel = 0; channel < kChannelCount; ++channel) {
            m_open[channel] = transport.GetChannel(channel);
            const bool settled = !m_open[channel] || WaitForSettled(channel);
            m_open[channel] = nullptr;
            if (!settled)
                return false;
        }
        return true;
    }

    int Shown(int channel) {
        const auto code = FrameCodeOf(m_windows[channel]->LastPicture(), channel >= 2 && Mirrored());
        return code ? code->frame : -1;
    }

    static bool Mirrored() { return g_playbackEngine.surfaceFormat == D3DFMT_YUY2; }

    bool WaitForEnd() {
        return WaitUntil([&] { return engine.PlayerGetPositionRatio(transport.GetChannel(0)) < 0.0; }, 20s);
    }

    // The whole walk through one recording and on to the next row.
    void PlayPauseStepSeekAndMoveOn(const std::string& nextFirstFile) {
        ASSERT_EQ(transport.OpenAndPlay(0), 1);
        EXPECT_EQ(view.seekMaximum, kFrames);
        ASSERT_TRUE(WaitForChannels([](int frame) { return frame >= 5; }));

        transport.Pause();
        ASSERT_TRUE(WaitForPaused());
        // Each channel keeps its own clock: each is stepped on from where it paused.
        std::array<int, kChannelCount> paused{};
        for (int channel = 0; channel < kChannelCount; ++channel)
            paused[channel] = Shown(channel);
        ASSERT_GE(paused[0], 5);
        transport.Step();
        ASSERT_TRUE(WaitForPaused());
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (transport.GetChannel(channel)) {
                EXPECT_EQ(Shown(channel), paused[channel] + 1) << channel;
            }
        }
        // After a step the tick follows the position while paused.
        transport.OnTick();
        EXPECT_NEAR(view.seekPosition, paused[0] + 1, 2);

        // Three quarters in, every channel.
        transport.OnHScroll(Slider::SEEK, SB_ENDSCROLL, 45);
        EXPECT_EQ(transport.GetCountdown(), 3);
        ASSERT_TRUE(WaitForChannels([](int frame) { return frame >= 44 && frame <= 50; }));

        transport.Play();
        transport.OnHScroll(Slider::SPEED, SB_ENDSCROLL, 4);
        EXPECT_EQ(transport.GetChannel(0)->speed, 2.0);
        ASSERT_TRUE(WaitForEnd());

        // The tick after the seek is skipped; then the sliders go to the end; then the next row.
        const stringex first = transport.GetPlayingKey();
        transport.OnTick();
        transport.OnTick();
        EXPECT_EQ(view.seekPosition, kFrames);
        EXPECT_EQ(transport.GetPlayingKey(), first);
        transport.OnTick();
        ASSERT_EQ(transport.GetCurrentListIndex(), 1);
        EXPECT_NE(transport.GetPlayingKey(), first);
        EXPECT_EQ(Narrow(transport.GetFrontName()), nextFirstFile);
        ASSERT_TRUE(WaitForChannels([](int frame) { return frame < 30; }));
    }

    Log calls;
    FfmpegPlayerEngine engine;
    DataDirStruct data;
    DataDirCatalogue catalogue{data};
    FakeList list;
    FakeView view{calls};
    PlaybackTransport transport{engine, catalogue, list, view};
};

TEST_F(RealEngineTransportTest, FourCameraAviPlaysAndMovesOnToTheNextRecording) {
    SetModelIndex(3);
    const RecordingRequest four{AviName(1, 'Q'), 0, kFrames, true, true, 4};
    const RecordingRequest two{AviName(2, 'D'), 0, kFrames, true, true, 2};
    AddRecordings({four, two});
    PlayPauseStepSeekAndMoveOn(two.name);
    EXPECT_NE(transport.GetChannel(1), nullptr);
    EXPECT_EQ(transport.GetChannel(2), nullptr);
    EXPECT_EQ(transport.GetChannel(3), nullptr);
}

TEST_F(RealEngineTransportTest, Mp4PairPlaysAndMovesOnToTheNextRecording) {
    SetModelIndex(0);
    const RecordingRequest front{Mp4Name(1, 'F'), 0, kFrames, true};
    const RecordingRequest rear{Mp4Name(1, 'R'), 1, kFrames, false};
    const RecordingRequest nextFront{Mp4Name(2, 'F'), 0, kFrames, true};
    const RecordingRequest nextRear{Mp4Name(2, 'R'), 1, kFrames, false};
    AddRecordings({front, rear, nextFront, nextRear});
    ASSERT_EQ(list.GetItemCount(), 2);
    PlayPauseStepSeekAndMoveOn(nextFront.name);
    EXPECT_NE(transport.GetChannel(1), nullptr);
    EXPECT_EQ(Narrow(transport.GetRearName()), nextRear.name);
}

} // namespace

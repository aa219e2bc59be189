// Playing recordings through the whole engine: SDL's queue and threads, FFmpeg, the renderers and
// the software video device, with the frame numbers painted into the pictures read back from the
// windows and from captures.

#include "enginetestsupport.h"

#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/engine/audiooutput.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/videorefresh.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace std::chrono_literals;

const RecordingRequest kFront90{"front90.mp4", 0, 90, true};
const RecordingRequest kRear90{"rear90.mp4", 1, 90, false};

std::string CameraRecording(int channel, int frames) {
    return Recording({"camera" + std::to_string(channel) + "-" + std::to_string(frames) + ".mp4", channel,
                      frames, channel == 0});
}

class PlaybackTest : public EngineTest {
  protected:
    // Opens the front recording and pauses it once it shows a picture; the frame it settled on.
    int OpenPausedFront(VideoState** state) {
        *state = Open(Recording(kFront90), 0);
        EXPECT_NE(*state, nullptr);
        EXPECT_TRUE(WaitForFrame(0, 3));
        PlayerPause(*state);
        EXPECT_TRUE(WaitForSettled(0));
        const auto shown = ShownFrame(0);
        return shown ? shown->frame : -1;
    }
};

TEST_F(PlaybackTest, EveryChannelOpensPlaysAndCloses) {
    // A closed channel's window stays as it was while the next channel plays twenty pictures through
    // the same event thread (the front one again after the last).
    int closed = -1;
    int closedPresentations = 0;
    for (int round = 0; round <= kChannelCount; ++round) {
        const int channel = round % kChannelCount;
        SCOPED_TRACE(channel);
        ASSERT_NE(Open(CameraRecording(channel, 45), channel), nullptr);
        EXPECT_EQ(PlayerTables().openState[channel], m_open[channel]);
        EXPECT_EQ(PlayerTables().finished[channel], 0);
        ASSERT_TRUE(WaitForFrame(channel, 20));
        EXPECT_EQ(ShownFrame(channel)->channel, channel);
        if (closed >= 0) {
            EXPECT_EQ(m_windows[closed]->Presentations(), closedPresentations) << closed;
        }
        Close(channel);
        EXPECT_EQ(PlayerTables().openState[channel], nullptr);
        EXPECT_EQ(PlayerTables().finished[channel], 1);
        closed = channel;
        closedPresentations = m_windows[channel]->Presentations();
    }
}

TEST_F(PlaybackTest, FourChannelsPlayTogether) {
    for (int channel = 0; channel < kChannelCount; ++channel)
        ASSERT_NE(Open(CameraRecording(channel, 60), channel), nullptr);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        EXPECT_TRUE(WaitForFrameAtLeast(channel, 40)) << channel;
        EXPECT_EQ(ShownFrame(channel)->channel, channel);
    }
}

TEST_F(PlaybackTest, PauseHoldsThePictureStepShowsTheNextOne) {
    VideoState* state;
    const int paused = OpenPausedFront(&state);
    ASSERT_GE(paused, 3);
    // The window and a snapshot agree on the picture.
    EXPECT_EQ(CapturedFrame(0)->frame, paused);
    ASSERT_TRUE(WaitForPausePasses(0, 10));
    EXPECT_EQ(ShownFrame(0)->frame, paused);

    for (int step = 1; step <= 2; ++step) {
        PlayerStep(state);
        ASSERT_TRUE(WaitForSettled(0));
        EXPECT_EQ(ShownFrame(0)->frame, paused + step);
        EXPECT_EQ(CapturedFrame(0)->frame, paused + step);
        EXPECT_EQ(state->speed, 1.0);
    }
    PlayerPlay(state);
    EXPECT_TRUE(WaitForFrame(0, paused + 15));
    EXPECT_EQ(state->paused, 0);
}

TEST_F(PlaybackTest, APausedSeekShowsTheThirdPictureAfterTheTarget) {
    VideoState* state;
    OpenPausedFront(&state);
    // Key frames every 15 pictures. The seek lands on the key frame before the target, skips up to
    // and including the first picture less than 100 ms before the target, then shows three.
    struct Case {
        int64_t target;
        int frame;
    };
    const Case cases[] = {{1000000, 33}, {1200000, 37}, {500000, 18}, {0, 3}, {2500000, 78}, {1950000, 59}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        PlayerSeekTime(state, c.target);
        ASSERT_TRUE(WaitForSettled(0));
        EXPECT_EQ(ShownFrame(0)->frame, c.frame);
        EXPECT_EQ(CapturedFrame(0)->frame, c.frame);
        EXPECT_EQ(state->paused, 1);
    }
    ASSERT_GT(PlayerRatioToTime(state, 1.0), 2900000);
    PlayerSeekRatio(state, 0.5);
    ASSERT_TRUE(WaitForSettled(0));
    EXPECT_EQ(ShownFrame(0)->frame, 48);
}

TEST_F(PlaybackTest, ASeekDuringPlaybackShowsTheNewPlace) {
    VideoState* state = Open(Recording(kFront90), 0);
    ASSERT_TRUE(WaitForFrame(0, 45));
    PlayerSeekTime(state, 500000);
    EXPECT_TRUE(WaitForFrame(0, 18));
    EXPECT_TRUE(WaitForFrame(0, 30));
}

TEST_F(PlaybackTest, SpeedStepsAndTheirCaptions) {
    VideoState* state;
    OpenPausedFront(&state);
    D3D9RenderImpl* main = PlayerTables().mainRenderer[0].get();
    struct Case {
        int n;
        int fast;
        double speed;
        bool captions;
    };
    const Case cases[] = {{1, 1, 1.0, false}, {2, 0, 0.5, true}, {4, 1, 4.0, true}, {4, 0, 0.25, true}};
    for (const Case& c : cases) {
        main->ClearOverlays();
        state->stepMode = 1;
        PlayerSetSpeed(state, c.n, c.fast);
        EXPECT_DOUBLE_EQ(state->speed, c.speed) << c.n << c.fast;
        EXPECT_EQ(state->stepMode, 0);
        EXPECT_EQ(main->Overlays().Ids(), c.captions ? std::vector<short>({3, 5}) : std::vector<short>())
            << c.n << c.fast;
    }
}

TEST_F(PlaybackTest, CaptionsAreDrawnOverThePausedPicture) {
    VideoState* state;
    const int paused = OpenPausedFront(&state);
    const int before = m_windows[0]->Presentations();
    PlayerSetCaption(state, L"2023-01-01 12:00:00  x2");
    ASSERT_TRUE(WaitUntil([&] { return m_windows[0]->Presentations() > before; }, 10s));
    const PresentedPicture shown = m_windows[0]->LastPicture();
    int captionPixels = 0;
    for (int y = 8; y < 40; ++y)
        for (int x = 33; x < kPictureWidth; ++x) {
            const DWORD pixel = shown.Pixel(x, y);
            captionPixels +=
                ((pixel >> 16) & 0xFF) == 0xF0 && ((pixel >> 8) & 0xFF) == 0xF0 && (pixel & 0xFF) == 0xF0;
        }
    EXPECT_GT(captionPixels, 20);
    EXPECT_EQ(FrameCodeOf(shown)->frame, paused);
    EXPECT_EQ(PlayerTables().mainRenderer[0]->Overlays().Ids(), std::vector<short>({3, 5}));
}

TEST_F(PlaybackTest, AtOtherSpeedsNoSoundIsQueuedAndTheEndComesAt99Percent) {
    VideoState* state = Open(Recording(kFront90), 0);
    ASSERT_TRUE(WaitForFrame(0, 5));
    PlayerSetSpeed(state, 2, 1);
    const int queued = state->audioq.packetCount;
    ASSERT_TRUE(WaitForFrame(0, 40));
    // Only the few silent packets that flush the decoder at the end of the file.
    EXPECT_LE(state->audioq.packetCount, queued + kMaxSilencePackets);
    // The sound queue never drains at this speed; the picture's position ends the file.
    EXPECT_TRUE(WaitUntil([&] { return PlayerTables().eofFlag[0] == 1; }, 10s));
    EXPECT_EQ(PlayerGetPositionRatio(state), -1.0);
}

TEST_F(PlaybackTest, TheFrontChannelPlaysItsSound) {
    VideoState* front = Open(Recording(kFront90), 0);
    VideoState* rear = Open(Recording(kRear90), 1);
    ASSERT_NE(front, nullptr);
    ASSERT_NE(rear, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return front->audioCurrentPts > 1.0; }, 10s));
    EXPECT_GE(front->audioStream, 0);
    EXPECT_LT(rear->audioStream, 0);
    EXPECT_LT(std::fabs(get_audio_clock(front) - get_video_clock(front)), 0.25);
    // Silence keeps the device running.
    PlayerSetVolume(0);
    const double before = front->audioCurrentPts;
    EXPECT_TRUE(WaitUntil([&] { return front->audioCurrentPts > before + 0.3; }, 10s));
}

TEST(AudioCallbackTest, SpeedAndVolumeDecideWhatIsMixed) {
    VideoState state;
    state.audioTgt.channels = 1;
    state.audioTgt.frequency = 8000;
    std::vector<uint8_t> sound(200, 0x40);
    state.audioBuf = sound.data();
    state.audioBufSize = static_cast<unsigned>(sound.size());
    const int savedVolume = g_playbackEngine.volume;
    struct Case {
        const char* name;
        double speed;
        int volume;
        bool mixed;
    };
    const Case cases[] = {
        {"other speed", 2.0, 128, false}, {"silenced", 1.0, 0, false}, {"normal", 1.0, 128, true}};
    for (const Case& c : cases) {
        state.speed = c.speed;
        state.audioBufIndex = 0;
        g_playbackEngine.volume = c.volume;
        std::vector<uint8_t> stream(100, 0);
        AudioCallback(&state, stream.data(), static_cast<int>(stream.size()));
        const bool mixed = std::any_of(stream.begin(), stream.end(), [](uint8_t b) { return b != 0; });
        EXPECT_EQ(mixed, c.mixed) << c.name;
        EXPECT_EQ(state.audioBufIndex, c.speed == 1.0 ? 100u : 0u) << c.name;
    }
    g_playbackEngine.volume = savedVolume;
}

// The front camera's sound keeps to its picture: silent before the first picture, and silent again
// (its clock standing still) while the picture lags behind it by more than one callback's sound;
// smaller differences are played as they are.
TEST(AudioCallbackTest, TheSoundWaitsForThePicture) {
    const int savedVolume = g_playbackEngine.volume;
    g_playbackEngine.volume = 128;
    struct Case {
        const char* name;
        bool awaitsPicture;
        bool pictureShown;
        bool seekPending; // the video thread has not taken up the seek yet
        bool hasPictures;
        double soundAhead; // seconds
        bool played;
    };
    const Case cases[] = {
        {"before the first picture", true, false, false, true, 0.0, false},
        {"after a seek, before its picture", true, true, true, true, 0.0, false},
        {"ahead of the picture", false, true, false, true, 0.5, false},
        {"with the picture", false, true, false, true, 0.0, true},
        {"a little behind the picture (left to the stretch)", false, true, false, true, -0.004, true},
        {"sound without pictures", false, false, false, false, 0.5, true},
    };
    for (const Case& c : cases) {
        VideoState state;
        state.audioTgt.channels = 1;
        state.audioTgt.frequency = 8000;
        state.audioHwBufSize = 160; // 10 ms of sound
        std::vector<uint8_t> sound(200, 0x40);
        state.audioBuf = sound.data();
        state.audioBufSize = static_cast<unsigned>(sound.size());
        state.soundAwaitsPicture = c.awaitsPicture ? 1 : 0;
        state.pictureShown = c.pictureShown ? 1 : 0;
        state.frameLastPts = c.pictureShown ? 10.0 : NAN;
        state.seekFlushPending = c.seekPending ? 1 : 0;
        state.videoStream = c.hasPictures ? 0 : -1;
        const double now = EngineNow();
        state.videoCurrentPtsDrift = 10.0 - now;
        state.audioCurrentPtsDrift = 10.0 + c.soundAhead - now;
        std::vector<uint8_t> stream(100, 0);
        AudioCallback(&state, stream.data(), static_cast<int>(stream.size()));
        const bool mixed = std::any_of(stream.begin(), stream.end(), [](uint8_t b) { return b != 0; });
        EXPECT_EQ(mixed, c.played) << c.name;
        EXPECT_EQ(state.audioBufIndex, c.played ? 100u : 0u) << c.name;
    }
    g_playbackEngine.volume = savedVolume;
}

TEST_F(PlaybackTest, FrontAndRearKeepTheRearOffset) {
    PlayerSetRearCamSync(1.0);
    // Each camera keeps to the other only after its first 91 refresh passes. A pass takes at most
    // one picture, so on a machine too slow to leave any pass idle that takes 91 pictures of each:
    // the recordings are long enough for the two to come together well before the front ends.
    ASSERT_NE(Open(CameraRecording(0, 150), 0), nullptr);
    ASSERT_NE(Open(CameraRecording(1, 150), 1), nullptr);
    // Both windows are read as the rear presents, on the thread that presents both. Each camera
    // waits while it is more than 50 ms (one and a half pictures) ahead of the other, and each
    // compares the other's clock with the picture it showed before: two pictures either way.
    int front = -1;
    int rear = -1;
    const auto kept = m_windows[1]->WaitForPicture(
        [&](const PresentedPicture& picture) {
            const auto frontCode = FrameCodeOf(m_windows[0]->LastPicture(), false);
            const auto rearCode = FrameCodeOf(picture, false);
            if (!frontCode || !rearCode)
                return false;
            front = frontCode->frame;
            rear = rearCode->frame;
            return front < 149 && std::abs(front - rear - 30) <= 2;
        },
        60s, false);
    EXPECT_TRUE(kept.has_value()) << front << " " << rear;
    // Once the front has finished, the rear runs on alone to its end; only its last picture may
    // still be waiting when the channel ends.
    EXPECT_TRUE(WaitForFrameAtLeast(1, 148, 60s));
}

TEST_F(PlaybackTest, PairedChannelsEndTogether) {
    struct Case {
        int frontFrames;
        int rearFrames;
    };
    const Case cases[] = {{20, 60}, {60, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frontFrames);
        g_playbackEngine.volume = 50;
        g_playbackEngine.savedVolume = 50;
        g_playbackEngine.mutedAtEnd = 0;
        VideoState* front = Open(CameraRecording(0, c.frontFrames), 0);
        VideoState* rear = Open(CameraRecording(1, c.rearFrames), 1);
        const int shorter = c.frontFrames < c.rearFrames ? 0 : 1;
        // The front one mutes once it has finished.
        ASSERT_TRUE(WaitUntil(
            [&] {
                return PlayerTables().finished[shorter] == 1 &&
                       (shorter != 0 || g_playbackEngine.mutedAtEnd == 1);
            },
            10s));
        // The shorter one waits for its partner: no end is reported before the partner has
        // finished too. The flags are read first, so a partner still playing proves them.
        const int endFront = PlayerTables().eofFlag[0];
        const int endRear = PlayerTables().eofFlag[1];
        if (PlayerTables().finished[1 - shorter] == 0) {
            EXPECT_EQ(endFront, 0);
            EXPECT_EQ(endRear, 0);
        }
        if (shorter == 0) {
            EXPECT_EQ(g_playbackEngine.volume, 0);
            EXPECT_EQ(g_playbackEngine.savedVolume, 50);
        }
        ASSERT_TRUE(
            WaitUntil([&] { return PlayerTables().eofFlag[0] == 1 && PlayerTables().eofFlag[1] == 1; }, 10s));
        EXPECT_EQ(PlayerGetPositionRatio(front), -1.0);
        EXPECT_EQ(PlayerGetPositionRatio(rear), -1.0);
        Close(0);
        Close(1);
    }
}

TEST_F(PlaybackTest, SeeksKeepTheUsersVolume) {
    PlayerSetVolume(80);
    VideoState* front = Open(CameraRecording(0, 20), 0);
    ASSERT_NE(Open(CameraRecording(1, 150), 1), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return g_playbackEngine.mutedAtEnd == 1; }, 10s));
    EXPECT_EQ(PlayerTables().finished[0], 1);
    EXPECT_EQ(g_playbackEngine.volume, 0);
    EXPECT_EQ(g_playbackEngine.savedVolume, 80);
    // Paused, so that it cannot come to its end (and mute) again. The seek has been taken up in full
    // once its pictures are shown.
    PlayerPause(front);
    // The engine muted at the end, so a seek brings the sound back.
    PlayerSeekTime(front, 0);
    ASSERT_TRUE(WaitForSettled(0));
    EXPECT_EQ(ShownFrame(0)->frame, 3);
    EXPECT_EQ(g_playbackEngine.volume, 80);
    // A volume the user chose stays through a seek.
    PlayerSetVolume(30);
    PlayerSeekTime(front, 100000);
    ASSERT_TRUE(WaitForSettled(0));
    EXPECT_EQ(ShownFrame(0)->frame, 4);
    EXPECT_EQ(g_playbackEngine.volume, 30);
}

TEST_F(PlaybackTest, TheEndIsReportedForItsChannelOnly) {
    ASSERT_EQ(PlayerTables().finished[1], 1);
    VideoState* left = Open(CameraRecording(2, 30), 2);
    ASSERT_TRUE(WaitUntil([&] { return PlayerTables().eofFlag[2] == 1; }, 10s));
    EXPECT_EQ(PlayerTables().eofFlag[0], 0);
    EXPECT_EQ(PlayerTables().eofFlag[1], 0);
    EXPECT_EQ(PlayerTables().eofFlag[3], 0);
    EXPECT_EQ(PlayerGetPositionRatio(left), -1.0);
}

TEST_F(PlaybackTest, AOneFileRecordingGivesEachChannelItsOwnCamera) {
    SetModelIndex(3);
    const std::string name = Recording({"20230101_120000_N_Q.avi", 0, 45, false, true, 4});
    // Again and again: the channel must be known before the read thread picks its stream.
    for (int round = 0; round < 3; ++round)
        for (int channel : {3, 2, 1, 0}) {
            SCOPED_TRACE(channel);
            ASSERT_NE(Open(name, channel), nullptr);
            ASSERT_TRUE(WaitForAnyFrame(channel).has_value());
            EXPECT_EQ(ShownFrame(channel)->channel, channel);
            Close(channel);
        }
}

TEST_F(PlaybackTest, ZoomShowsPartOfThePictureInThePartnersWindow) {
    VideoState* front;
    OpenPausedFront(&front);
    D3D9RenderImpl* zoom = PlayerTables().zoomRenderer[0].get();
    // Every picture goes to the zoom renderer too, which shows nothing until asked.
    EXPECT_NE(zoom->LastWritten(), -1);
    EXPECT_EQ(m_windows[1]->Presentations(), 0);

    PlayerDrawSelectionRect(front, 10, 10, 100, 60);
    // Window pixels doubled into the back buffer (640 x 360).
    EXPECT_EQ(PlayerTables().mainRenderer[0]->Overlays().Ids(), std::vector<short>({1}));
    const PresentedPicture selected = m_windows[0]->LastPicture();
    EXPECT_EQ(selected.Pixel(10, 35) & 0xFFFFFF, 0xFFFFFFu);

    PlayerSetZoomRect(front, 1, 0, 0, 160, 90);
    EXPECT_EQ(front->zoomActive, 1);
    ASSERT_GE(m_windows[1]->Presentations(), 1);
    const RECT source = zoom->SourceRect();
    EXPECT_EQ(source.left, 0);
    EXPECT_EQ(source.right, 160);
    EXPECT_EQ(source.bottom, 90);
    // The partner's window shows the top-left quarter twice as large.
    const PresentedPicture zoomed = m_windows[1]->LastPicture();
    const PresentedPicture whole = m_windows[0]->LastPicture();
    for (const POINT point : {POINT{40, 40}, POINT{250, 150}, POINT{300, 20}}) {
        const DWORD a = zoomed.Pixel(point.x, point.y);
        const DWORD b = whole.Pixel(point.x / 2, point.y / 2);
        EXPECT_NEAR(static_cast<int>(a & 0xFF), static_cast<int>(b & 0xFF), 48) << point.x;
    }

    PlayerSetZoomRect(front, 0, 0, 0, 0, 0);
    EXPECT_EQ(front->zoomActive, 0);
    EXPECT_TRUE(PlayerTables().mainRenderer[0]->Overlays().IsEmpty());
}

TEST_F(PlaybackTest, ADisabledDisplayPresentsNothing) {
    VideoState* state = Open(Recording(kFront90), 0);
    ASSERT_TRUE(WaitForFrame(0, 5));
    PlayerEnableDisplay(state, 0);
    EXPECT_EQ(PlayerIsDisplayEnabled(state), 0);
    // A presentation under way may still end; the refresh that takes the next picture sees the
    // display disabled, and so does every one after it while the channel plays on.
    ASSERT_TRUE(WaitForEngineFrameAtLeast(0, EngineFrame(0) + 1));
    const int presentations = m_windows[0]->Presentations();
    ASSERT_TRUE(WaitForEngineFrameAtLeast(0, EngineFrame(0) + 10));
    EXPECT_EQ(m_windows[0]->Presentations(), presentations);
    PlayerEnableDisplay(state, 1);
    EXPECT_TRUE(WaitUntil([&] { return m_windows[0]->Presentations() > presentations; }, 10s));
}

TEST_F(PlaybackTest, SelectingAChannelShowsItAlone) {
    VideoState* state;
    OpenPausedFront(&state);
    PlayerDrawSelectionRect(state, 10, 10, 100, 60);
    PlayerSelectChannel(state, 0, 1);
    EXPECT_EQ(PlayerGetSelectedChannel(), 0);
    EXPECT_TRUE(PlayerTables().mainRenderer[0]->Overlays().IsEmpty());
    PlayerSelectChannel(state, 0, 0);
    EXPECT_EQ(PlayerGetSelectedChannel(), 65535);
}

} // namespace

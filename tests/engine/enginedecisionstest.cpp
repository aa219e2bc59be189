// The engine's decisions that stand on their own: display timing, the front/rear step, seek windows
// and targets, positions, drag scaling, redraws, the sound layout and the sound's correction.

#include "viewer/engine/audiooutput.h"
#include "viewer/engine/playertransport.h"
#include "viewer/engine/readthread.h"
#include "viewer/engine/videorefresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace {

TEST(DisplayTimingTest, DelayFollowsTheSpeed) {
    const double duration = 1.0 / 30;
    EXPECT_DOUBLE_EQ(FrameDelay(duration, 1.0), duration);
    EXPECT_DOUBLE_EQ(FrameDelay(duration, 0.25), 4 * duration);
    EXPECT_DOUBLE_EQ(FrameDelay(duration, 4.0), duration / 4);
}

TEST(DisplayTimingTest, TheFrameTimerSkipsMissedIntervalsWhole) {
    struct Case {
        double timer;
        double now;
        double expected;
    };
    const Case cases[] = {
        {10.0, 10.01, 10.1}, // not yet one delay late: one step
        {10.0, 10.1, 10.1},
        {10.0, 10.35, 10.3}, // three whole delays missed
        {10.0, 9.0, 10.1},   // a timer ahead of the clock still moves by one
    };
    for (const Case& c : cases)
        EXPECT_NEAR(AdvanceFrameTimer(c.timer, 0.1, c.now), c.expected, 1e-9) << c.now;
    EXPECT_DOUBLE_EQ(AdvanceFrameTimer(10.0, 0.0, 20.0), 10.0);
}

TEST(DisplayTimingTest, FrontAndRearHoldForEachOther) {
    struct Case {
        const char* name;
        int channel;
        int warmup;
        double own;
        double partner;
        bool partnerOpen;
        bool partnerFinished;
        bool hold;
    };
    const Case cases[] = {
        {"front ahead", 0, 91, 5.0, 4.9, true, false, true},
        {"front within 0.05", 0, 91, 5.0, 4.96, true, false, false},
        {"still warming up", 0, 90, 5.0, 4.0, true, false, false},
        {"rear closed", 0, 91, 5.0, 4.0, false, false, false},
        {"rear finished", 0, 91, 5.0, 4.0, true, true, false},
        // The rear clock carries the offset: with 1.0 s it shows t while the front shows t + 1.
        {"rear with offset ahead", 1, 200, 2.0 + 1.0, 2.9, true, false, true},
        {"rear with offset in step", 1, 200, 2.0 + 1.0, 3.0, true, false, false},
        {"side camera", 2, 500, 9.0, 1.0, true, false, false},
        {"other side camera", 3, 500, 9.0, 1.0, true, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HoldForPartner(c.channel, c.warmup, c.own, c.partner, c.partnerOpen, c.partnerFinished),
                  c.hold)
            << c.name;
}

TEST(SeekTest, WindowsOpenOnlyInTheDirectionOfTheSeek) {
    struct Case {
        int64_t target;
        int64_t relative;
        int64_t minimum;
        int64_t maximum;
    };
    const Case cases[] = {
        {5000000, 0, INT64_MIN, INT64_MAX},
        {5000000, 1000000, 4000002, INT64_MAX},
        {5000000, -1000000, INT64_MIN, 5999998},
    };
    for (const Case& c : cases) {
        const SeekWindow window = SeekWindowFor(c.target, c.relative);
        EXPECT_EQ(window.minimum, c.minimum) << c.relative;
        EXPECT_EQ(window.maximum, c.maximum) << c.relative;
    }
}

TEST(SeekTest, TheRearCameraSeeksByItsOffset) {
    struct Case {
        int channel;
        int64_t target;
        double offset;
        int64_t expected;
    };
    const Case cases[] = {
        {0, 1000000, 2.0, 1000000},
        {1, 1000000, 2.0, 0},
        {1, 10000000, 2.0, 8000000},
        {1, 1000000, -1.0, 2000000},
        {1, 0, 0.0, 0},
        {0, -5, 0.0, 0},
        {2, 10000000, 2.0, 10000000},
        {1, 10000000, 0.0, 10000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeekTarget(c.channel, c.target, c.offset), c.expected) << c.channel << " " << c.offset;
}

TEST(SeekTest, ASecondSeekWhileOneIsPendingIsIgnored) {
    VideoState state;
    state.syncWarmupCount = 120;
    stream_seek(&state, 3000000, 0, 0);
    stream_seek(&state, 7000000, 0, 1);
    EXPECT_EQ(state.seekRequest, 1);
    EXPECT_EQ(state.seekPos, 3000000);
    EXPECT_EQ(state.seekFlags, 0);
    EXPECT_EQ(state.syncWarmupCount, 0);
}

TEST(SeekTest, EndPartners) {
    EXPECT_EQ(EndPartner(0), 1);
    EXPECT_EQ(EndPartner(1), 0);
    EXPECT_EQ(EndPartner(2), 1);
    EXPECT_EQ(EndPartner(3), 0);
}

// An AVI recording whose text stream FFmpeg's probing took for MP3 sound, richer by its bit rate
// than the recorder's PCM sound; and an MP4 recording with AAC sound only.
TEST(SoundStreamTest, ThePcmSoundIsPlayedNotAProbedTextStream) {
    struct Case {
        const char* name;
        std::vector<std::pair<AVMediaType, AVCodecID>> streams;
        int expected; // -1: none
    };
    const std::vector<Case> cases = {
        {"text stream after the sound",
         {{AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_HEVC},
          {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_PCM_S16LE},
          {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_MP3}},
         1},
        {"text stream before the sound",
         {{AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_HEVC},
          {AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_HEVC},
          {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_MP3},
          {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_PCM_S16LE}},
         3},
        {"no PCM sound", {{AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_H264}, {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_AAC}}, 1},
        {"no sound", {{AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_H264}, {AVMEDIA_TYPE_SUBTITLE, AV_CODEC_ID_NONE}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AVFormatContext* context = avformat_alloc_context();
        ASSERT_NE(context, nullptr);
        for (const auto& [type, codec] : c.streams) {
            AVStream* stream = avformat_new_stream(context, nullptr);
            ASSERT_NE(stream, nullptr);
            stream->codecpar->codec_type = type;
            stream->codecpar->codec_id = codec;
            // The probed stream claims the higher rate, so FFmpeg's own choice would be wrong.
            stream->codecpar->bit_rate = codec == AV_CODEC_ID_MP3 ? 1000000 : 256000;
            if (type == AVMEDIA_TYPE_AUDIO) {
                stream->codecpar->sample_rate = 16000;
                av_channel_layout_default(&stream->codecpar->ch_layout, 1);
            }
        }
        EXPECT_EQ(std::max(FindAudioStream(context, 0), -1), c.expected);
        avformat_free_context(context);
    }
}

TEST(PositionTest, RatioOfTheShownPicture) {
    struct Case {
        const char* name;
        bool hasFile;
        bool atEnd;
        bool shown;
        double clock;
        int64_t duration;
        double expected;
    };
    const Case cases[] = {
        {"no file", false, false, true, 1.0, 10000000, -1.0},
        {"at the end", true, true, true, 9.9, 10000000, -1.0},
        {"before the first picture", true, false, false, 123456.0, 10000000, 0.0},
        {"negative clock", true, false, true, -0.5, 10000000, 0.0},
        {"half way", true, false, true, 5.0, 10000000, 0.5},
        {"unknown duration", true, false, true, 5.0, AV_NOPTS_VALUE, 0.0},
        {"zero duration", true, false, true, 5.0, 0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(PositionRatio(c.hasFile, c.atEnd, c.shown, c.clock, c.duration), c.expected)
            << c.name;
}

TEST(DragTest, RectanglesScaleFromAnyCorner) {
    struct Case {
        const char* name;
        int left, top, right, bottom;
        int clientWidth, clientHeight;
        int x, y, width, height;
    };
    const Case cases[] = {
        {"left to right", 100, 50, 300, 150, 960, 540, 200, 100, 400, 200},
        {"right to left", 300, 150, 100, 50, 960, 540, 200, 100, 400, 200},
        {"bottom-left to top-right", 100, 150, 300, 50, 960, 540, 200, 100, 400, 200},
        // 101 * 1920 / 960 = 202; 51 * 1080 / 540 = 102; 33 * 2 = 66 are even; 7 * 1920 / 1000 = 13 is
        // raised.
        {"odd results raised", 7, 0, 500, 500, 1000, 1000, 14, 0, 946, 540},
    };
    for (const Case& c : cases) {
        ScaledRect scaled;
        ASSERT_TRUE(ScaleDragRect(c.left, c.top, c.right, c.bottom, c.clientWidth, c.clientHeight, 1920, 1080,
                                  &scaled))
            << c.name;
        EXPECT_EQ(scaled.x, c.x) << c.name;
        EXPECT_EQ(scaled.y, c.y) << c.name;
        EXPECT_EQ(scaled.width, c.width) << c.name;
        EXPECT_EQ(scaled.height, c.height) << c.name;
    }
    ScaledRect untouched;
    EXPECT_FALSE(ScaleDragRect(0, 0, 10, 10, 0, 100, 1920, 1080, &untouched));
    EXPECT_FALSE(ScaleDragRect(0, 0, 10, 10, 100, 0, 1920, 1080, &untouched));
}

TEST(RedrawTest, ARunningDisplayRedrawsByItself) {
    struct Case {
        const char* name;
        bool paused;
        bool finished;
        uint32_t now;
        uint32_t last;
        bool left;
    };
    const Case cases[] = {
        {"playing, shown 100 ms ago", false, false, 5100, 5000, true},
        {"playing, shown 300 ms ago", false, false, 5300, 5000, false},
        {"paused", true, false, 5100, 5000, false},
        {"finished", false, true, 5100, 5000, false},
        {"across the counter's wrap", false, false, 50, 0xFFFFFFF0u, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RedrawLeftToDisplay(c.paused, c.finished, c.now, c.last), c.left) << c.name;
}

TEST(AudioLayoutTest, TheDeviceGetsOneTwoFourOrSixChannels) {
    struct Case {
        const char* name;
        const char* environment;
        uint64_t mask; // 0: a layout of unknown order with count channels
        int count;
        int wanted;
        uint64_t wantedMask; // 0: the default layout of the wanted count
    };
    const Case cases[] = {
        {"mono", nullptr, AV_CH_LAYOUT_MONO, 1, 1, AV_CH_LAYOUT_MONO},
        {"stereo", nullptr, AV_CH_LAYOUT_STEREO, 2, 2, AV_CH_LAYOUT_STEREO},
        {"three to two", nullptr, AV_CH_LAYOUT_SURROUND, 3, 2, AV_CH_LAYOUT_STEREO},
        {"five to four", nullptr, AV_CH_LAYOUT_5POINT0, 5, 4, 0},
        {"six stay", nullptr, AV_CH_LAYOUT_5POINT1, 6, 6, AV_CH_LAYOUT_5POINT1},
        {"eight to six", nullptr, AV_CH_LAYOUT_7POINT1, 8, 6, 0},
        {"unknown order", nullptr, 0, 2, 2, AV_CH_LAYOUT_STEREO},
        {"downmix channels dropped", nullptr, AV_CH_LAYOUT_STEREO | AV_CH_LAYOUT_STEREO_DOWNMIX, 4, 2,
         AV_CH_LAYOUT_STEREO},
        {"environment wins", "1", AV_CH_LAYOUT_5POINT1, 6, 1, AV_CH_LAYOUT_MONO},
    };
    for (const Case& c : cases) {
        AVChannelLayout decoder{};
        if (c.mask)
            av_channel_layout_from_mask(&decoder, c.mask);
        else
            decoder = AVChannelLayout{AV_CHANNEL_ORDER_UNSPEC, c.count, {0}, nullptr};
        AVChannelLayout wanted{};
        EXPECT_EQ(WantedAudioLayout(c.environment, decoder, &wanted), c.wanted) << c.name;
        EXPECT_EQ(wanted.order, AV_CHANNEL_ORDER_NATIVE) << c.name;
        AVChannelLayout expected{};
        if (c.wantedMask)
            av_channel_layout_from_mask(&expected, c.wantedMask);
        else
            av_channel_layout_default(&expected, c.wanted);
        EXPECT_EQ(av_channel_layout_compare(&wanted, &expected), 0) << c.name;
        av_channel_layout_uninit(&wanted);
        av_channel_layout_uninit(&decoder);
    }
}

TEST(AudioSyncTest, SoundFollowsTheVideoClockWithinTenPercent) {
    struct Case {
        const char* name;
        double audioClock; // the video clock is 10.0
        int measurements;  // earlier ones, each with the same difference
        int samples;       // at 8000 Hz; the threshold is 2 * 1024 / 8000 = 0.256 s
        int expected;      // -1: none
    };
    const Case cases[] = {
        {"still measuring", 10.5, 5, 1000, 1000},
        {"within the threshold", 10.2, 30, 1000, 1000},
        {"sound ahead: stretched at most 10 %", 10.5, 30, 1000, 1100},
        {"sound behind: shrunk at most 10 %", 9.5, 30, 1000, 900},
        {"ahead within 10 %", 10.3, 30, 40000, 42400},
        {"ten seconds apart: no correction", 25.0, 30, 1000, 1000},
    };
    for (const Case& c : cases) {
        VideoState state;
        state.paused = 1; // the clocks then stand at their last pictures' times
        state.videoCurrentPts = 10.0;
        state.audioCurrentPts = c.audioClock;
        state.audioSrc.frequency = 8000;
        state.audioDiffAvgCoef = std::exp(std::log(0.01) / kAudioDiffAverageCount);
        state.audioDiffThreshold = 2.0 * kAudioCallbackSamples / 8000;
        int result = 0;
        for (int i = 0; i <= c.measurements; ++i)
            result = synchronize_audio(&state, c.samples);
        EXPECT_EQ(result, c.expected) << c.name;
    }
    VideoState reset;
    reset.paused = 1;
    reset.videoCurrentPts = 0.0;
    reset.audioCurrentPts = 30.0;
    reset.audioDiffAvgCount = 12;
    reset.audioDiffCum = 4.0;
    synchronize_audio(&reset, 1000);
    EXPECT_EQ(reset.audioDiffAvgCount, 0);
    EXPECT_EQ(reset.audioDiffCum, 0.0);
}

} // namespace

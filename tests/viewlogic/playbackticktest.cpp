// The 500 ms tick: when it runs, which channel it follows, what the map, the readout and the graph
// are told, and the end of a recording.
#include "viewer/ui/playbacktick.h"
#include "platform/ui/windefs.h"
#include "viewlogicfixture.h"

#include <cmath>

namespace {

TEST(PlaybackTick, CountdownSkipsOneTickAfterASeekAndRunsWhilePausedAfterAStep) {
    struct Case {
        int countdown;
        int paused;
        bool runs;
        int after;
    };
    const Case cases[] = {{3, 0, false, 2}, {3, 1, false, 2}, {5, 1, false, 4}, {2, 0, true, 2},
                          {2, 1, true, 2},  {0, 0, true, 0},  {0, 1, false, 0}, {-1, 1, false, -1}};
    for (const Case& c : cases) {
        int countdown = c.countdown;
        EXPECT_EQ(PlaybackTick::Runs(countdown, c.paused), c.runs) << c.countdown << "/" << c.paused;
        EXPECT_EQ(countdown, c.after) << c.countdown << "/" << c.paused;
    }
}

TEST(PlaybackTick, PositionsAndSampleIndexes) {
    EXPECT_EQ(PlaybackTick::SliderPosition(900, 0.5), 450);
    EXPECT_EQ(PlaybackTick::SliderPosition(900, 0.99999), 899);
    EXPECT_EQ(PlaybackTick::SliderPosition(900, NAN), 0);
    EXPECT_EQ(PlaybackTick::GraphPercent(0.004), 0);
    EXPECT_EQ(PlaybackTick::GraphPercent(0.257), 25);
    // A click on the graph at half its width, and one beyond 16 bits of frames.
    EXPECT_EQ(PlaybackTick::GraphSeekPosition(900, 5000), 450);
    EXPECT_EQ(PlaybackTick::GraphSeekPosition(100000, 9000), 90000);

    struct Case {
        int position;
        int count;
        int maximum;
        bool perFrame;
        int index;
    };
    const Case cases[] = {
        {900, 600, 1200, false, 450},
        {900, 600, 1200, true, 900},
        // 32-bit arithmetic would overflow here.
        {108000, 108000, 108000, false, 108000},
        {10, 600, 0, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaybackTick::SampleIndex(c.position, c.count, c.maximum, c.perFrame), c.index)
            << c.position;
}

GpsRecord Fix(char status, BYTE sentence, double latitude, double longitude, double speed) {
    GpsRecord record;
    record.status = status;
    record.sentenceFlag = sentence;
    record.latitude = latitude;
    record.longitude = longitude;
    record.speed = speed;
    return record;
}

class PlaybackTickTest : public ViewLogicTest {
  protected:
    // A front/rear pair of 900 frames, shown with a second one after it.
    FakeRecording& MakePairs() {
        FakeRecording& first = AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R'));
        AddRecording(L"k2", Mp4Name(2, 'F'), Mp4Name(2, 'R'));
        ShowAll();
        return first;
    }
    Log MapCalls() const { return Calls({"MoveMapTo", "ShowMapNotice", "ShowSpeedReadout"}); }
};

TEST_F(PlaybackTickTest, ASeekSkipsExactlyOneTick) {
    MakePairs();
    OpenRow(0);
    engine.ratios = {{0, 0.25}, {1, 0.25}};
    transport.OnHScroll(PlaybackTransport::Slider::SEEK, SB_ENDSCROLL, 600);
    EXPECT_EQ(transport.GetCountdown(), 3);
    ClearLogs();
    transport.OnTick();
    EXPECT_TRUE(Calls({"SetSeekPosition"}).empty());
    engine.ratios = {{0, 0.75}, {1, 0.75}};
    transport.OnTick();
    EXPECT_EQ(Calls({"SetSeekPosition"}), Log{"SetSeekPosition(675)"});
    EXPECT_EQ(transport.GetCurrentPosition(), 675);
}

TEST_F(PlaybackTickTest, WhilePausedTheTickFollowsOnlyAfterAStep) {
    MakePairs();
    OpenRow(0);
    engine.ratios = {{0, 0.5}};
    transport.Pause();
    ClearLogs();
    transport.OnTick();
    transport.OnTick();
    EXPECT_EQ(calls, Log{});
    transport.Step();
    for (int tick = 0; tick < 3; ++tick) {
        ClearLogs();
        transport.OnTick();
        EXPECT_EQ(Calls({"SetSeekPosition"}), Log{"SetSeekPosition(450)"}) << tick;
    }
}

TEST_F(PlaybackTickTest, EndOfFileMovesToTheEndThenOpensTheNextRow) {
    MakePairs();
    OpenRow(0);
    engine.ratios = {{0, -1.0}, {1, -1.0}};
    transport.OnTick();
    EXPECT_EQ(calls, Log{"SetSeekPosition(900)"});
    EXPECT_TRUE(transport.IsAnyChannelOpen());
    ClearLogs();
    transport.OnTick();
    EXPECT_EQ(
        Calls({"PlayerClose", "PlayerOpen", "SetTimer"}),
        (Log{"PlayerClose(h1)", "PlayerClose(h2)",
             "PlayerOpen(" + Mp4Name(2, 'F') + "," + FolderText() + ",0,0)",
             "PlayerOpen(" + Mp4Name(2, 'R') + "," + FolderText() + ",1,1)", "SetTimer(0x20000001,500)"}));
    EXPECT_EQ(transport.GetPlayingKey(), L"k2");
    EXPECT_EQ(transport.GetCurrentListIndex(), 1);

    // The last row: two ticks later playback has stopped and nothing opens.
    TraceCapture trace;
    ClearLogs();
    transport.OnTick();
    transport.OnTick();
    EXPECT_FALSE(transport.IsAnyChannelOpen());
    EXPECT_TRUE(Calls({"PlayerOpen"}).empty());
    EXPECT_EQ(trace.lines, std::vector<std::string>{"End of file list"});
    EXPECT_EQ(transport.GetCurrentListIndex(), 1);
}

TEST_F(PlaybackTickTest, OnlyChannel0MovesTheMapTheSpeedAndTheGraph) {
    FakeRecording& recording = MakePairs();
    recording.gps.assign(900, Fix('A', 1, 37.5, 127.0, 20.0));
    recording.samples.assign(900, GsensorSample{0.5f, 0, 0, {}});
    engine.failingChannels = {0};
    OpenRow(0);
    engine.ratios = {{1, 0.5}};
    transport.OnTick();
    EXPECT_EQ(calls, Log{"SetSeekPosition(450)"});
    engine.ratios = {{1, -1.0}};
    transport.OnTick();
    ClearLogs();
    transport.OnTick();
    EXPECT_EQ(transport.GetPlayingKey(), L"k2");

    // With channel 0 the same tick reaches the map, the readout and the graph.
    engine.failingChannels.clear();
    transport.OpenAndPlay(0);
    engine.ratios = {{0, 0.5}};
    ClearLogs();
    transport.OnTick();
    EXPECT_EQ(calls, (Log{"SetSeekPosition(450)", "MoveMapTo(37.5,127)", "ShowMapNotice(1)",
                          "ShowSpeedReadout(    37,37)", "SetGraphCursor(50)", "SetGraphValues(0.5,0,0)"}));
}

TEST_F(PlaybackTickTest, MapIsToldAFixOnlyWhenThereIsANewOne) {
    struct Case {
        const char* what;
        std::vector<GpsRecord> gps;
        Log calls;
    };
    const Case cases[] = {
        {"no records", {}, {"ShowMapNotice(0)"}},
        {"void fix", {Fix('V', 1, 37.5, 127.0, 10.0)}, {"ShowMapNotice(0)", "ShowSpeedReadout(    18,18)"}},
        {"not a fix sentence",
         {Fix('A', 0, 37.5, 127.0, 10.0)},
         {"ShowMapNotice(0)", "ShowSpeedReadout(    18,18)"}},
        {"new fix",
         {Fix('A', 1, 37.5, 127.0, 10.0)},
         {"MoveMapTo(37.5,127)", "ShowMapNotice(1)", "ShowSpeedReadout(    18,18)"}},
        {"no record for the position", {Fix('A', 1, 37.5, 127.0, 10.0), Fix('A', 1, 37.5, 127.0, 10.0)}, {}},
    };
    for (const Case& c : cases) {
        catalogue.recordings.clear();
        FakeRecording& recording = AddRecording(L"k1", Mp4Name(1, 'F'));
        recording.gps = c.gps;
        recording.frames = 4;
        ShowAll();
        OpenRow(0);
        // Position 0 for the single records; 2 is beyond the list of two.
        engine.ratios = {{0, c.gps.size() == 2 ? 0.5 : 0.0}};
        transport.OnTick();
        EXPECT_EQ(MapCalls(), c.calls) << c.what;
        transport.Stop(0, 0);
    }
}

TEST_F(PlaybackTickTest, SameFixShowsTheNoticeAndAFailedMoveIsRetried) {
    FakeRecording& recording = MakePairs();
    recording.gps = {Fix('A', 1, 37.5, 127.0, 10.0), Fix('A', 1, 37.5000000001, 127.0, 10.0),
                     Fix('A', 1, 37.6, 127.0, 10.0)};
    OpenRow(0);
    engine.ratios = {{0, 0.0}};
    transport.OnTick();
    ClearLogs();
    // Equal as 32-bit floats.
    engine.ratios = {{0, 1.5 / 900}};
    transport.OnTick();
    EXPECT_EQ(Calls({"MoveMapTo", "ShowMapNotice"}), Log{"ShowMapNotice(0)"});
    ClearLogs();
    view.moveMapResult = 0;
    engine.ratios = {{0, 2.5 / 900}};
    transport.OnTick();
    transport.OnTick();
    EXPECT_EQ(Calls({"MoveMapTo", "ShowMapNotice"}), (Log{"MoveMapTo(37.6,127)", "MoveMapTo(37.6,127)"}));
}

TEST_F(PlaybackTickTest, ReloadedMapIsGivenTheCarAgain) {
    FakeRecording& first = MakePairs();
    first.gps = {Fix('A', 1, 37.5, 127.0, 10.0)};
    catalogue.recordings[L"k2"].gps = first.gps;
    OpenRow(0);
    engine.ratios = {{0, 0.0}};
    transport.OnTick();
    transport.PlayNextFile();
    transport.OnTick();
    EXPECT_EQ(Calls({"MoveMapTo", "ReloadMap"}),
              (Log{"MoveMapTo(37.5,127)", "ReloadMap", "MoveMapTo(37.5,127)"}));
}

TEST_F(PlaybackTickTest, GraphCursorAndSampleFollowThePosition) {
    SetModelIndex(3);
    FakeRecording& recording = AddRecording(L"k1", AviName(1, 'F'));
    recording.frames = 1200;
    for (int i = 0; i < 600; ++i)
        recording.samples.push_back(GsensorSample{static_cast<float>(i) / 1000.0f, 0, 0, {}});
    ShowAll();
    OpenRow(0);
    engine.ratios = {{0, 0.75}};
    transport.OnTick();
    EXPECT_EQ(Calls({"SetGraphCursor", "SetGraphValues"}),
              (Log{"SetGraphCursor(75)", "SetGraphValues(0.45,0,0)"}));
    ClearLogs();
    engine.ratios = {{0, 0.004}};
    transport.OnTick();
    EXPECT_TRUE(Calls({"SetGraphCursor", "SetGraphValues"}).empty());
    // The MP4/MOV models index samples by frame: a position beyond them shows no values.
    SetModelIndex(0);
    ClearLogs();
    engine.ratios = {{0, 0.5}};
    transport.OpenAndPlay(0);
    transport.OnTick();
    EXPECT_EQ(Calls({"SetGraphValues"}).back(), "SetGraphValues(0,0,0)");
}

} // namespace

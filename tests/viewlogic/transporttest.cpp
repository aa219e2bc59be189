// Play, pause, step, stop, speed, the neighbouring recordings, deleting and the defog frames, as
// the transport drives the engine and the view.
#include "platform/ui/windefs.h"
#include "viewer/ui/speedrules.h"
#include "viewlogicfixture.h"

#include <climits>
#include <cmath>

namespace {

using Slider = PlaybackTransport::Slider;

TEST(SpeedRules, StepsGiveSpeedValuesAndLabels) {
    struct Case {
        int step;
        int value;
        const wchar_t* label;
    };
    const Case cases[] = {{0, -4, L"1/4x"}, {1, -3, L"1/3x"}, {2, -2, L"1/2x"}, {3, 1, L"1x"},
                          {4, 2, L"2x"},    {5, 3, L"3x"},    {6, 4, L"4x"}};
    for (const Case& c : cases) {
        EXPECT_EQ(SpeedRules::SpeedValue(c.step), c.value) << c.step;
        EXPECT_EQ(SpeedRules::SpeedLabel(c.step), c.label) << c.step;
    }
}

TEST(SpeedRules, VehicleSpeedIsTruncatedTowardZero) {
    struct Case {
        double knots;
        int unit;
        int speed;
        const wchar_t* text;
    };
    const Case cases[] = {
        {60.0, 0, 111, L"    111"}, {60.0, 1, 69, L"    69"},
        {-1.0, 0, -1, L"    ---"},  {-1.0, 1, -1, L"    ---"},
        {0.0, 0, 0, L"    0"},      {0.0, 1, 0, L"    0"},
        {-0.3, 0, 0, L"    0"},     {-0.3, 1, 0, L"    0"},
        {NAN, 0, -1, L"    ---"},   {1e300, 0, INT_MAX, L"    2147483647"},
    };
    for (const Case& c : cases) {
        const int speed = SpeedRules::VehicleSpeed(c.knots, c.unit);
        EXPECT_EQ(speed, c.speed) << c.knots << " unit " << c.unit;
        EXPECT_EQ(SpeedRules::ReadoutText(speed), c.text) << c.knots << " unit " << c.unit;
    }
}

class TransportTest : public ViewLogicTest {
  protected:
    // Three front/rear pairs, shown oldest first.
    void MakePairs() {
        for (int i = 1; i <= 3; ++i)
            AddRecording(L"k" + std::to_wstring(i), Mp4Name(i, 'F'), Mp4Name(i, 'R'));
        ShowAll();
    }
};

TEST_F(TransportTest, SpeedStepsReachEveryOpenChannelWhilePlaying) {
    MakePairs();
    OpenRow(0);
    struct Case {
        int step;
        const char* label;
        int n;
        int fast;
    };
    const Case cases[] = {{0, "1/4x", 4, 0}, {1, "1/3x", 3, 0}, {2, "1/2x", 2, 0}, {3, "1x", 1, 1},
                          {4, "2x", 2, 1},   {5, "3x", 3, 1},   {6, "4x", 4, 1}};
    for (const Case& c : cases) {
        ClearLogs();
        transport.OnHScroll(Slider::SPEED, SB_ENDSCROLL, c.step);
        const std::string speed = std::to_string(c.n) + "," + std::to_string(c.fast) + ")";
        EXPECT_EQ(Calls({"SetSpeedSliders", "PlayerSetSpeed", "SetSpeedLabel"}),
                  (Log{"SetSpeedSliders(" + std::to_string(c.step) + ")", "PlayerSetSpeed(h1," + speed,
                       "PlayerSetSpeed(h2," + speed, "SetSpeedLabel(" + std::string(c.label) + ")"}))
            << c.step;
    }
}

TEST_F(TransportTest, SpeedSnapsBackToNormalWhenPausedOrIdle) {
    MakePairs();
    // Idle.
    transport.OnHScroll(Slider::SPEED, SB_ENDSCROLL, 5);
    EXPECT_EQ(Calls({"SetSpeedSliders", "PlayerSetSpeed", "SetSpeedLabel"}),
              (Log{"SetSpeedSliders(5)", "SetSpeedSliders(3)", "SetSpeedLabel(1x)"}));
    EXPECT_EQ(transport.GetSpeedValue(), 1);
    // Paused.
    OpenRow(0);
    transport.Pause();
    ClearLogs();
    transport.OnHScroll(Slider::SPEED, SB_ENDSCROLL, 1);
    EXPECT_EQ(Calls({"SetSpeedSliders", "PlayerSetSpeed", "SetSpeedLabel"}),
              (Log{"SetSpeedSliders(1)", "SetSpeedSliders(3)", "SetSpeedLabel(1x)"}));
    EXPECT_EQ(view.speedStep, 3);
    EXPECT_EQ(view.speedLabel, L"1x");
    // Dragging the thumb while playing previews the label without telling the engine.
    transport.Play();
    ClearLogs();
    transport.OnHScroll(Slider::SPEED, SB_THUMBTRACK, 6);
    EXPECT_EQ(Calls({"SetSpeedSliders", "PlayerSetSpeed", "SetSpeedLabel"}),
              (Log{"SetSpeedSliders(6)", "SetSpeedLabel(4x)"}));
}

TEST_F(TransportTest, ShowSpeedWritesTheReadoutInTheUnitOfSpeed) {
    transport.ShowSpeed(60.0);
    EXPECT_EQ(view.readout, L"    111");
    transport.SetUnitOfSpeed(1);
    transport.ShowSpeed(60.0);
    EXPECT_EQ(view.readout, L"    69");
    transport.ShowSpeed(-0.3);
    EXPECT_EQ(view.readout, L"    0");
    transport.ShowSpeed(-1.0);
    EXPECT_EQ(Calls({"ShowSpeedReadout"}).back(), "ShowSpeedReadout(    ---,-1)");
}

TEST_F(TransportTest, PausePlayAndStepDriveEveryChannel) {
    MakePairs();
    OpenRow(1);
    EXPECT_EQ(transport.GetPaused(), 0);

    transport.TogglePlayPause();
    EXPECT_EQ(Calls({"ShowPlayButton", "PlayerPause", "SetSpeedSliders"}),
              (Log{"ShowPlayButton(1)", "PlayerPause(h1)", "PlayerPause(h2)", "SetSpeedSliders(3)"}));
    EXPECT_EQ(transport.GetPaused(), 1);

    ClearLogs();
    transport.TogglePlayPause();
    EXPECT_EQ(Calls({"ShowPlayButton", "PlayerPlay", "SetSpeedSliders"}),
              (Log{"PlayerPlay(h1)", "PlayerPlay(h2)", "ShowPlayButton(0)"}));
    EXPECT_EQ(transport.GetPaused(), 0);

    ClearLogs();
    transport.Step();
    EXPECT_EQ(Calls({"ShowPlayButton", "PlayerStep", "SetSpeedSliders"}),
              (Log{"ShowPlayButton(1)", "PlayerStep(h1)", "PlayerStep(h2)", "SetSpeedSliders(3)"}));
    EXPECT_EQ(transport.GetCountdown(), 2);
    // The step leaves the paused flag as it was.
    EXPECT_EQ(transport.GetPaused(), 0);
}

TEST_F(TransportTest, TransportWithNothingOpenDoesNothing) {
    MakePairs();
    transport.Pause();
    transport.Step();
    transport.TogglePlayPause();
    transport.PlayPrevFile();
    EXPECT_EQ(calls, Log{});
}

TEST_F(TransportTest, PlayWhileIdleOpensTheAnchorOnlyWhenItIsTheOneSelection) {
    MakePairs();
    // No anchor.
    transport.Play();
    EXPECT_TRUE(Calls({"PlayerOpen"}).empty());
    // Two rows selected.
    list.SetItemSelected(0, true);
    list.SetItemSelected(2, true);
    list.SetSelectionMark(2);
    transport.Play();
    EXPECT_TRUE(Calls({"PlayerOpen"}).empty());
    EXPECT_FALSE(transport.IsAnyChannelOpen());
    // One row selected.
    list.SetItemSelected(0, false);
    transport.Play();
    EXPECT_EQ(transport.GetPlayingKey(), L"k3");
    EXPECT_EQ(transport.GetCurrentListIndex(), 2);
}

TEST_F(TransportTest, StopKeepsTheListIndexOnlyForTheEndOfAFile) {
    MakePairs();
    struct Case {
        int keepIndex;
        int index;
    };
    for (const Case c : {Case{1, 1}, Case{0, -1}}) {
        OpenRow(1);
        transport.Stop(c.keepIndex, 0);
        EXPECT_EQ(transport.GetCurrentListIndex(), c.index) << c.keepIndex;
        EXPECT_EQ(transport.GetPlayingRow(), c.index) << c.keepIndex;
        EXPECT_FALSE(transport.IsAnyChannelOpen());
        EXPECT_TRUE(engine.OpenHandles().empty());
        EXPECT_TRUE(transport.GetPlayingKey().empty());
        EXPECT_EQ(transport.GetPaused(), 1);
        EXPECT_EQ(view.readout, L"    ---");
        EXPECT_EQ(view.speedLabel, L"1x");
        EXPECT_EQ(
            Calls({"KillTimer", "ShowPlayButton", "ShowPlaybackSliders", "ShowGpsState"}),
            (Log{"KillTimer(0x20000001)", "ShowPlayButton(1)", "ShowPlaybackSliders(0)", "ShowGpsState(0)"}));
    }
    // Nothing open and no force: only the speed goes back to normal.
    ClearLogs();
    transport.Stop(0, 0);
    EXPECT_EQ(calls, (Log{"SetSpeedSliders(3)", "SetSpeedLabel(1x)"}));
}

TEST_F(TransportTest, PreviousAndNextStopAtTheEndsOfTheList) {
    MakePairs();
    TraceCapture trace;
    OpenRow(0);
    transport.PlayPrevFile();
    EXPECT_TRUE(Calls({"PlayerOpen", "PlayerClose"}).empty());
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"Begin of file list"}));

    transport.PlayNextFile();
    EXPECT_EQ(transport.GetPlayingKey(), L"k2");
    transport.PlayNextFile();
    EXPECT_EQ(transport.GetPlayingKey(), L"k3");
    ClearLogs();
    transport.PlayNextFile();
    EXPECT_TRUE(Calls({"PlayerOpen", "PlayerClose"}).empty());
    EXPECT_EQ(transport.GetPlayingKey(), L"k3");
    EXPECT_EQ(trace.lines.back(), "End of file list");

    transport.PlayPrevFile();
    EXPECT_EQ(transport.GetPlayingKey(), L"k2");
    EXPECT_EQ(transport.GetCurrentListIndex(), 1);
}

TEST_F(TransportTest, AFailedNeighbourClearsTheListPosition) {
    MakePairs();
    catalogue.recordings[L"k1"].front = folder.Wide("gone.mp4");
    catalogue.recordings[L"k3"].front = folder.Wide("gone.mp4");
    for (const bool next : {true, false}) {
        OpenRow(1);
        if (next)
            transport.PlayNextFile();
        else
            transport.PlayPrevFile();
        EXPECT_EQ(Calls({"MessageBox"}), Log{"MessageBox(#213)"}) << next;
        EXPECT_EQ(transport.GetCurrentListIndex(), -1) << next;
        EXPECT_EQ(transport.GetPlayingRow(), -1) << next;
        EXPECT_GT(list.repaints, 0) << next;
        EXPECT_FALSE(transport.IsAnyChannelOpen()) << next;
    }
}

TEST_F(TransportTest, DeletingThePlayingRecordingStopsItFirst) {
    MakePairs();
    OpenRow(1);
    list.SetItemSelected(0, false);
    list.SetItemSelected(1, true);
    list.SetItemSelected(2, true);
    transport.DeleteSelectedRecordings();
    EXPECT_EQ(Calls({"PlayerClose", "RemoveRecord"}),
              (Log{"PlayerClose(h1)", "PlayerClose(h2)", "RemoveRecord(k2)", "RemoveRecord(k3)"}));
    EXPECT_EQ(list.Keys(), std::vector<std::wstring>{L"k1"});
    EXPECT_TRUE(transport.GetPlayingKey().empty());
    EXPECT_EQ(transport.GetCurrentListIndex(), -1);
}

TEST_F(TransportTest, DeletingSkipsRowsWithoutAKeyAndEnds) {
    MakePairs();
    list.rows.insert(list.rows.begin() + 1, FakeList::Row{L"", false});
    list.rows.push_back(FakeList::Row{L"", false});
    for (auto& row : list.rows)
        row.selected = true;
    transport.DeleteSelectedRecordings();
    EXPECT_EQ(Calls({"RemoveRecord"}), (Log{"RemoveRecord(k1)", "RemoveRecord(k2)", "RemoveRecord(k3)"}));
    EXPECT_EQ(list.Keys(), (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(list.Selected(), (std::vector<int>{0, 1}));
}

TEST_F(TransportTest, DeletingEndsWhenTheListRefusesARow) {
    MakePairs();
    for (auto& row : list.rows)
        row.selected = true;
    list.deletionsLeft = 1;
    transport.DeleteSelectedRecordings();
    EXPECT_EQ(list.Keys(), (std::vector<std::wstring>{L"k2", L"k3"}));
}

TEST_F(TransportTest, DeletingRowsAboveThePlayingOneMovesItsRowWithIt) {
    MakePairs();
    OpenRow(2);
    list.SetItemSelected(2, false);
    list.SetItemSelected(0, true);
    transport.DeleteSelectedRecordings();
    EXPECT_EQ(transport.GetPlayingKey(), L"k3");
    EXPECT_EQ(transport.GetCurrentListIndex(), 1);
    EXPECT_EQ(transport.GetPlayingRow(), 1);
    transport.PlayPrevFile();
    EXPECT_EQ(transport.GetPlayingKey(), L"k2");
}

TEST_F(TransportTest, DefogWithNothingOpenSaysSo) {
    transport.DefogCurrentFrame();
    EXPECT_EQ(calls, Log{"MessageBox(#227)"});
}

TEST_F(TransportTest, DefogPausesAndHandsOverThePictureOfEachOpenChannel) {
    SetModelIndex(3);
    AddRecording(L"k1", AviName(1, 'T'));
    ShowAll();
    // Channels 0 and 2 open, 1 and 3 not.
    engine.failingChannels = {1};
    OpenRow(0);
    engine.selectedChannel = 2;
    transport.DefogCurrentFrame();
    EXPECT_EQ(Calls({"SetScreenMode", "PlayerPause", "PlayerCaptureFrame", "ShowDefogWindow"}),
              (Log{"SetScreenMode(2,0)", "PlayerPause(h1)", "PlayerPause(h2)", "PlayerCaptureFrame(h1)",
                   "PlayerCaptureFrame(h2)", "ShowDefogWindow"}));
    EXPECT_EQ(transport.GetPaused(), 1);
    const std::array<bool, 4> open = {true, false, true, false};
    for (int channel = 0; channel < 4; ++channel) {
        const CapturedFrame& frame = view.defogFrames[channel];
        ASSERT_EQ(frame.open, open[channel]) << channel;
        if (!frame.open)
            continue;
        EXPECT_EQ(frame.width, 4);
        EXPECT_EQ(frame.height, 2);
        EXPECT_EQ(frame.pixels, std::vector<BYTE>(32, static_cast<BYTE>(channel + 1))) << channel;
    }
}

} // namespace

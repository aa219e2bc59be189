// Opening a recording: which files go to which channel, the graph, the GPS look, the caption, the
// rear offset, and every way an open can fail.
#include "platform/base/registry.h"
#include "viewlogicfixture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>

namespace {

class OpenAndPlayTest : public ViewLogicTest {
  protected:
    void TearDown() override {
        SetRearCamSync(nullptr);
        ViewLogicTest::TearDown();
    }

    // Writes the registry's rear offset; null removes it.
    static void SetRearCamSync(const wchar_t* text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (text) {
            const std::vector<BYTE> bytes = RegStringBytes(text, true);
            RegSetValueExW(key, L"RearCamSync", 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
        } else {
            RegDeleteValueW(key, L"RearCamSync");
        }
        RegCloseKey(key);
    }

    Log Opens() const { return Calls({"PlayerOpen"}); }
};

TEST_F(OpenAndPlayTest, ChannelPlanFollowsTheRecordingKind) {
    struct Case {
        const char* what;
        int model;
        std::string front;
        std::string rear;
        int numberOfChannel;
        std::vector<std::pair<std::string, std::string>> opens; // file, "noAudio,channel"
    };
    const std::string f = Mp4Name(1, 'F');
    const std::string r = Mp4Name(1, 'R');
    const std::string af = AviName(1, 'F');
    const std::string ar = AviName(1, 'R');
    const std::string d = AviName(1, 'D');
    const std::string t = AviName(1, 'T');
    const std::string q = AviName(1, 'Q');
    const std::string single = AviName(1, 'S');
    const Case cases[] = {
        {"MP4 pair, two channels", 0, f, r, 2, {{f, "0,0"}, {r, "1,1"}}},
        {"MP4 pair, one channel", 0, f, r, 1, {{f, "0,0"}}},
        {"MP4 front alone", 0, f, "", 2, {{f, "0,0"}}},
        {"AVI pair", 3, af, ar, 2, {{af, "0,0"}, {ar, "1,1"}}},
        {"AVI pair, one channel", 3, af, ar, 1, {{af, "0,0"}}},
        {"AVI _D_", 3, d, "", 2, {{d, "0,0"}, {d, "1,1"}}},
        {"AVI _T_", 3, t, "", 2, {{t, "0,0"}, {t, "1,1"}, {t, "1,2"}}},
        {"AVI _Q_", 3, q, "", 2, {{q, "0,0"}, {q, "1,1"}, {q, "1,2"}, {q, "1,3"}}},
        {"AVI _Q_, one channel", 3, q, "", 1, {{q, "0,0"}, {q, "1,1"}, {q, "1,2"}, {q, "1,3"}}},
        {"AVI without a camera tag", 3, single, "", 2, {{single, "0,0"}}},
    };
    for (const Case& c : cases) {
        SetModelIndex(c.model);
        catalogue.recordings.clear();
        AddRecording(L"k1", c.front, c.rear);
        ShowAll();
        transport.SetNumberOfChannel(c.numberOfChannel);
        ClearLogs();
        EXPECT_EQ(transport.OpenAndPlay(0), 1) << c.what;
        Log expected;
        for (const auto& [file, rest] : c.opens)
            expected.push_back("PlayerOpen(" + file + "," + FolderText() + "," + rest + ")");
        EXPECT_EQ(Opens(), expected) << c.what;
        EXPECT_EQ(Calls({"PlayerEnableDisplay"}).size(), c.opens.size()) << c.what;
        transport.Stop(0, 0);
    }
}

TEST_F(OpenAndPlayTest, GraphTakesSamplesUntilTheFirstOutOfRange) {
    struct Case {
        const char* what;
        GsensorSample breaking;
        size_t added;
    };
    const Case cases[] = {
        {"-2.0 stops", {-2.0f, 0, 0, {}}, 1},
        {"2.0 stops", {0, 2.0f, 0, {}}, 1},
        {"NaN stops", {0, 0, NAN, {}}, 1},
        {"-2.5 stops", {0, -2.5f, 0, {}}, 1},
        {"1.999999 passes", {1.999999f, -1.999999f, 0, {}}, 3},
    };
    for (const Case& c : cases) {
        catalogue.recordings.clear();
        AddRecording(L"k1", Mp4Name(1, 'F')).samples = {{0.5f, -0.25f, 1.0f, {}}, c.breaking, {0, 0, 0, {}}};
        ShowAll();
        ClearLogs();
        ASSERT_EQ(transport.OpenAndPlay(0), 1);
        Log expected = {"ResetGraph", "AddGraphSample(4500000,3750000,5000000)"};
        if (c.added == 3) {
            expected.push_back("AddGraphSample(5999999,2000001,4000000)");
            expected.push_back("AddGraphSample(4000000,4000000,4000000)");
        }
        expected.push_back("SetGraphCursor(0)");
        expected.push_back("SetGraphValues(0,0,0)");
        const Log graph = Calls({"ResetGraph", "AddGraphSample", "SetGraphCursor", "SetGraphValues"});
        // The first ResetGraph is the closing of what was open before.
        EXPECT_EQ(Log(graph.begin() + 1, graph.end()), expected) << c.what;
        transport.Stop(0, 0);
    }
}

TEST_F(OpenAndPlayTest, GpsLookFollowsTheFirstFixSpeed) {
    struct Case {
        std::vector<GpsRecord> gps;
        const char* last; // the last GPS look of the open
    };
    GpsRecord moving;
    moving.speed = 12.0;
    GpsRecord still;
    still.speed = 0.0;
    GpsRecord none;
    none.speed = -1.0;
    const Case cases[] = {
        {{moving}, "ShowGpsState(1)"},
        {{still}, "ShowGpsState(1)"},
        {{none, moving}, "ShowGpsState(0)"},
        {{}, "ShowGpsState(0)"},
    };
    for (const Case& c : cases) {
        catalogue.recordings.clear();
        AddRecording(L"k1", Mp4Name(1, 'F')).gps = c.gps;
        ShowAll();
        ClearLogs();
        ASSERT_EQ(transport.OpenAndPlay(0), 1);
        EXPECT_EQ(Calls({"ShowGpsState"}).back(), c.last);
        EXPECT_EQ(transport.HasGpsSpeed(), std::string(c.last) == "ShowGpsState(1)");
        transport.Stop(0, 0);
    }
}

TEST_F(OpenAndPlayTest, RearOffsetAppliesOnlyWhenChannel0PlaysWithAnother) {
    SetRearCamSync(L"0.5");
    struct Case {
        const char* what;
        bool rear;
        std::set<int> failing;
        const char* offset;
    };
    const Case cases[] = {
        {"pair", true, {}, "PlayerSetRearCamSync(0.5)"},
        {"front alone", false, {}, "PlayerSetRearCamSync(0)"},
        {"rear alone", true, {0}, "PlayerSetRearCamSync(0)"},
    };
    for (const Case& c : cases) {
        catalogue.recordings.clear();
        AddRecording(L"k1", Mp4Name(1, 'F'), c.rear ? Mp4Name(1, 'R') : "");
        ShowAll();
        engine.failingChannels = c.failing;
        ASSERT_EQ(transport.OpenAndPlay(0), 1) << c.what;
        EXPECT_EQ(Calls({"PlayerSetRearCamSync"}), Log{c.offset}) << c.what;
        transport.Stop(0, 0);
    }
}

TEST_F(OpenAndPlayTest, SuccessfulOpenSelectsTheRowAndStartsTheTick) {
    AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R'));
    AddRecording(L"k2", Mp4Name(2, 'F'), Mp4Name(2, 'R'));
    ShowAll();
    list.SetItemSelected(0, true);
    list.SetSelectionMark(0);
    transport.OnHScroll(PlaybackTransport::Slider::VOLUME, 8, 70);
    ClearLogs();
    ASSERT_EQ(transport.OpenAndPlay(1), 1);
    EXPECT_EQ(list.Selected(), std::vector<int>{1});
    EXPECT_EQ(list.selectionMark, 1);
    EXPECT_EQ(list.visibleRow, 1);
    EXPECT_EQ(transport.GetCurrentListIndex(), 1);
    EXPECT_EQ(transport.GetPlayingRow(), 1);
    EXPECT_EQ(transport.GetPlayingKey(), L"k2");
    EXPECT_EQ(transport.GetPaused(), 0);
    EXPECT_EQ(transport.GetFrontName(), std::filesystem::path(Mp4Name(2, 'F')).wstring());
    EXPECT_EQ(transport.GetRearPath(), folder.Wide(Mp4Name(2, 'R')));
    EXPECT_EQ(Calls({"SetSeekRange", "SetTimer", "PlayerSetVolume", "ShowPlayButton", "ShowPlaybackSliders",
                     "PlayerInvalidateFrames", "ReloadMap"}),
              (Log{"ShowPlaybackSliders(0)", "PlayerInvalidateFrames", "ReloadMap", "SetSeekRange(900)",
                   "PlayerSetVolume(70)", "SetTimer(0x20000001,500)", "ShowPlayButton(0)",
                   "ShowPlaybackSliders(1)"}));
}

TEST_F(OpenAndPlayTest, EnlargedChannelStaysOnlyIfItOpensAgain) {
    AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R'));
    AddRecording(L"k2", Mp4Name(2, 'F'));
    ShowAll();
    engine.selectedChannel = 1;
    ClearLogs();
    transport.OpenAndPlay(0);
    EXPECT_TRUE(Calls({"SetScreenMode"}).empty());
    transport.OpenAndPlay(1);
    EXPECT_EQ(Calls({"SetScreenMode"}), Log{"SetScreenMode(1,0)"});
}

TEST_F(OpenAndPlayTest, CaptionIsCutAt19CharactersAndClearedWithoutACarNumber) {
    AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R')).carNumber = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    AddRecording(L"k2", Mp4Name(2, 'F'), Mp4Name(2, 'R'));
    AddRecording(L"k3", Mp4Name(3, 'F')).carNumber = "12\xB0\xA1"
                                                     "3456";
    ShowAll();
    transport.OpenAndPlay(0);
    EXPECT_EQ(transport.GetCaption(), L"ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(Calls({"PlayerSetCaption"}),
              (Log{"PlayerSetCaption(h1,ABCDEFGHIJKLMNOPQRS)", "PlayerSetCaption(h2,ABCDEFGHIJKLMNOPQRS)"}));
    ClearLogs();
    transport.OpenAndPlay(1);
    EXPECT_EQ(Calls({"PlayerSetCaption"}), (Log{"PlayerSetCaption(h3,)", "PlayerSetCaption(h4,)"}));
    ClearLogs();
    transport.OpenAndPlay(2);
    // The card's 8-bit text, Korean in code page 949.
    EXPECT_EQ(Calls({"PlayerSetCaption"}), Log{"PlayerSetCaption(h5,12\xEA\xB0\x80"
                                               "3456)"});
}

TEST_F(OpenAndPlayTest, FailuresTellTheUserAndLeaveNothingOpen) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::deque<int> answers;
        Log messages;
        Log actions; // what else must have happened, in order
    };
    const Case cases[] = {
        {"row without a key",
         [this] { list.rows[0].key.clear(); },
         {},
         {"MessageBox(#178)"},
         {"SetScreenMode(65535,0)"}},
        {"own file missing",
         [this] { catalogue.recordings[L"k1"].front = folder.Wide("missing.mp4"); },
         {},
         {"MessageBox(#213)"},
         {}},
        {"broken, no repair",
         [this] { catalogue.recordings[L"k1"].frames = 0; },
         {IDOK, IDNO},
         {"MessageBox(#178)", "MessageBox(#210?)"},
         {"SetScreenMode(65535,0)", "ShowSpeedReadout(    ---,-1)"}},
        {"broken, repair",
         [this] { catalogue.recordings[L"k1"].frames = -1; },
         {IDOK, IDYES},
         {"MessageBox(#178)", "MessageBox(#210?)"},
         {"SetScreenMode(65535,0)", "StartRepair(k1)", "ShowSpeedReadout(    ---,-1)"}},
        {"front file is a folder",
         [this] {
             std::filesystem::create_directory(folder / "folder.mp4");
             catalogue.recordings[L"k1"].front = folder.Wide("folder.mp4");
         },
         {},
         {"MessageBox(#213)"},
         {"SetScreenMode(65535,0)"}},
        {"rear file gone",
         [this] { std::filesystem::remove(folder / Mp4Name(1, 'R')); },
         {},
         {"MessageBox(#178)"},
         {"PlayerOpen(" + Mp4Name(1, 'F'), "PlayerClose(h", "SetScreenMode(65535,0)"}},
        {"engine opens nothing",
         [this] {
             engine.failingChannels = {0, 1};
         },
         {},
         {"MessageBox(#178)"},
         {"SetScreenMode(65535,0)"}},
    };
    for (const Case& c : cases) {
        catalogue.recordings.clear();
        engine.failingChannels.clear();
        AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R'));
        ShowAll();
        c.arrange();
        ClearLogs();
        boxes.answers = c.answers;
        EXPECT_EQ(transport.OpenAndPlay(0), 0) << c.what;
        EXPECT_EQ(Calls({"MessageBox"}), c.messages) << c.what;
        // Every action in order, each matched by its beginning.
        const Log all = calls;
        auto at = all.begin();
        for (const std::string& action : c.actions) {
            at = std::find_if(at, all.end(), [&](const std::string& call) {
                return call.compare(0, action.size(), action) == 0;
            });
            EXPECT_NE(at, all.end()) << c.what << ": " << action;
        }
        EXPECT_FALSE(transport.IsAnyChannelOpen()) << c.what;
        EXPECT_TRUE(engine.OpenHandles().empty()) << c.what;
        EXPECT_TRUE(Calls({"SetTimer"}).empty()) << c.what;
        EXPECT_TRUE(transport.GetPlayingKey().empty()) << c.what;
    }
}

TEST_F(OpenAndPlayTest, BrokenRecordingIsOfferedForRepairWithItsKey) {
    AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R'));
    AddRecording(L"k2", Mp4Name(2, 'F')).frames = 0;
    ShowAll();
    OpenRow(0);
    boxes.answers = {IDOK, IDYES};
    EXPECT_EQ(transport.OpenAndPlay(1), 0);
    EXPECT_EQ(transport.GetRepairKey(), L"k2");
    EXPECT_EQ(transport.GetCurrentListIndex(), -1);
    EXPECT_EQ(transport.GetPlayingRow(), -1);
    EXPECT_EQ(transport.GetPaused(), 1);
}

TEST_F(OpenAndPlayTest, RepairThatCannotStartEndsTheOpenAtOnce) {
    AddRecording(L"k1", Mp4Name(1, 'F')).frames = 0;
    ShowAll();
    view.repairStarts = false;
    boxes.answers = {IDOK, IDYES};
    TraceCapture trace;
    ClearLogs();
    EXPECT_EQ(transport.OpenAndPlay(0), 0);
    EXPECT_EQ(trace.lines, std::vector<std::string>{"Draw: Couldn't start a Repair thread"});
    // No Stop after it: the readout is not reset.
    EXPECT_TRUE(Calls({"ShowSpeedReadout"}).empty());
}

TEST_F(OpenAndPlayTest, AFailedRearOpenClosesTheFrontEvenOnTheFirstOpen) {
    AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R'));
    ShowAll();
    std::filesystem::remove(folder / Mp4Name(1, 'R'));
    ASSERT_EQ(transport.OpenAndPlay(0), 0);
    EXPECT_EQ(Calls({"PlayerOpen", "PlayerClose", "SetTimer", "KillTimer"}),
              (Log{"PlayerOpen(" + Mp4Name(1, 'F') + "," + FolderText() + ",0,0)", "PlayerClose(h1)"}));
    // The next open starts from nothing open.
    catalogue.recordings[L"k1"].rear.clear();
    ClearLogs();
    ASSERT_EQ(transport.OpenAndPlay(0), 1);
    EXPECT_TRUE(Calls({"PlayerClose"}).empty());
}

TEST_F(OpenAndPlayTest, VerifyChecksTheRowAndStopsAfterAMissingKey) {
    AddRecording(L"k1", Mp4Name(1, 'F'));
    AddRecording(L"k2", Mp4Name(2, 'F')).verify = 0;
    AddRecording(L"k3", Mp4Name(3, 'F')).verify = -1;
    ShowAll();
    list.rows.push_back(FakeList::Row{L"", false});
    ClearLogs();
    transport.OnVerifyRecording();
    EXPECT_EQ(calls, Log{});
    const std::pair<int, const char*> cases[] = {
        {0, "MessageBox(#207)"}, {1, "MessageBox(#208)"}, {2, "MessageBox(#208)"}};
    for (const auto& [row, message] : cases) {
        ClearLogs();
        transport.SetVerifyRow(row);
        transport.OnVerifyRecording();
        EXPECT_EQ(Calls({"MessageBox", "VerifyRecording"}),
                  (Log{"VerifyRecording(k" + std::to_string(row + 1) + ")", message}));
    }
    ClearLogs();
    transport.SetVerifyRow(3);
    transport.OnVerifyRecording();
    EXPECT_EQ(Calls({"MessageBox", "VerifyRecording"}), Log{"MessageBox(#178)"});
}

TEST(GetFileNameOfPath, TakesTheLastComponent) {
    EXPECT_EQ(PlaybackTransport::GetFileNameOfPath(L"/media/card/Drive/a.mp4"), L"a.mp4");
    EXPECT_EQ(PlaybackTransport::GetFileNameOfPath(L"a.mp4"), L"a.mp4");
    EXPECT_EQ(PlaybackTransport::GetFileNameOfPath(L"/media/card/"), L"");
}

} // namespace

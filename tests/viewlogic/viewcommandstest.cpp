// The view's command table: skinned buttons, menu commands, popup menus, list filters and order,
// slider seeking, the private messages and the timers.
#include "platform/ui/windefs.h"
#include "viewer/app/globals.h"
#include "viewlogicfixture.h"

namespace {

using Slider = PlaybackTransport::Slider;

class ViewCommandsTest : public ViewLogicTest {
  protected:
    // Recordings of two kinds, shown oldest first.
    void MakeRecordings() {
        AddRecording(L"k1", Mp4Name(1, 'F'), Mp4Name(1, 'R')).type = 3;
        AddRecording(L"k2", Mp4Name(2, 'F'), Mp4Name(2, 'R')).type = 4;
        AddRecording(L"k3", Mp4Name(3, 'F'), Mp4Name(3, 'R')).type = 3;
        ShowAll();
    }
};

TEST_F(ViewCommandsTest, SkinnedButtonsWithoutPlayback) {
    using Panel = ICommandView::SidePanel;
    struct Case {
        UINT id;
        std::set<Panel> visible;
        Log calls;
    };
    const Case cases[] = {
        {20000, {}, {"ShowPasswordDialog"}},
        {20001, {}, {"CloseMainWindow"}},
        {20002, {}, {"MinimizeMainWindow"}},
        {20005, {}, {"BeginPanelSlide(gsensor,0x10000021)", "SetTimer(0x20000005,0)"}},
        {20005, {ICommandView::GSENSOR_PANEL}, {"HidePanel(gsensor)"}},
        {20006, {}, {"BeginPanelSlide(playlist,0x100000CD)", "SetTimer(0x20000007,0)"}},
        {20006, {ICommandView::PLAYLIST_PANEL}, {}},
        {20015, {}, {"BeginPanelSlide(map,0x10000027)", "SetTimer(0x20000006,0)"}},
        {20015, {ICommandView::MAP_PANEL}, {"HidePanel(map)"}},
        {20013, {}, {}},
        {20016, {}, {"MessageBox(#227)"}},
        {20019, {}, {"ShowPopupMenu"}},
        {20003, {}, {}},
        {20004, {}, {}},
        {20014, {}, {}},
        {20017, {}, {}},
        {21999, {}, {}},
    };
    for (const Case& c : cases) {
        ClearLogs();
        view.visiblePanels = c.visible;
        commands.OnSkinCommand(c.id);
        EXPECT_EQ(calls, c.calls) << c.id;
    }
    view.defogVisible = true;
    ClearLogs();
    commands.OnSkinCommand(20016);
    EXPECT_EQ(calls, Log{});
}

TEST_F(ViewCommandsTest, SkinnedTransportButtons) {
    MakeRecordings();
    list.SetItemSelected(1, true);
    list.SetSelectionMark(1);
    struct Case {
        UINT id;
        const char* call;
    };
    const Case cases[] = {
        {20008, "PlayerOpen("
                "2023_05_24_12_30_02_F_normal.mp4"},
        {20009, "PlayerPause(h1)"},
        {20008, "PlayerPlay(h1)"},
        {20012, "PlayerStep(h1)"},
        {20011, "PlayerOpen(2023_05_24_12_30_03_F_normal.mp4"},
        {20007, "PlayerOpen(2023_05_24_12_30_02_F_normal.mp4"},
        {20010, "PlayerClose(h"},
    };
    for (const Case& c : cases) {
        ClearLogs();
        commands.OnSkinCommand(c.id);
        EXPECT_FALSE(Calls({c.call}).empty()) << c.id;
    }
    EXPECT_FALSE(transport.IsAnyChannelOpen());
}

TEST_F(ViewCommandsTest, MenuCommands) {
    struct Case {
        UINT id;
        Log calls;
    };
    const Case cases[] = {
        {32771, {"FillListByType(3,1)"}},
        {32772, {"FillListByType(4,1)"}},
        {32773, {"FillListByType(6,1)"}},
        {32774, {"FillListByType(5,1)"}},
        {32775, {"FillListByType(9,1)"}},
        {32776, {"FillListByType(7,1)"}},
        {32777, {"OnOpenDirectory"}},
        {32778, {"OnOpenFile"}},
        {32779, {"OnCaptureToFile"}},
        {32780, {"OnCaptureToPrinter"}},
        {32781, {}},
        {32782, {"CopyRecordings(0)"}},
        {32796, {"CopyRecordings(1)"}},
        {32797, {"CopyRecordings(2)"}},
        {32798, {"CopyRecordings(3)"}},
    };
    for (const Case& c : cases) {
        ClearLogs();
        EXPECT_TRUE(commands.OnMenuCommand(c.id)) << c.id;
        EXPECT_EQ(calls, c.calls) << c.id;
    }
    for (const UINT other : {32770u, 32783u, 32795u, 32799u, 20008u}) {
        ClearLogs();
        EXPECT_FALSE(commands.OnMenuCommand(other)) << other;
        EXPECT_EQ(calls, Log{}) << other;
    }
}

TEST_F(ViewCommandsTest, OpenAndTypeMenus) {
    commands.ShowOpenMenu();
    EXPECT_EQ(view.menu, (std::vector<MenuItem>{{32777, L"#176"}, {32778, L"#177"}}));
    EXPECT_FALSE(view.menuPoint.has_value());

    // x -100 and y 200 as the list header packs them.
    commands.OnViewMessage(WM_SHOW_TYPE_MENU, 0, static_cast<LPARAM>((200u << 16) | 0xFF9Cu));
    EXPECT_EQ(view.menu,
              (std::vector<MenuItem>{
                  {32775, L"#175"}, {32771, L"#165"}, {32772, L"#166"}, {32773, L"#209"}, {32774, L"#203"}}));
    ASSERT_TRUE(view.menuPoint.has_value());
    EXPECT_EQ(view.menuPoint->x, -100);
    EXPECT_EQ(view.menuPoint->y, 200);
}

TEST_F(ViewCommandsTest, CaptureMenuFollowsTheOpenChannels) {
    SetModelIndex(3);
    AddRecording(L"k1", AviName(1, 'F'));
    AddRecording(L"k2", AviName(2, 'F'), AviName(2, 'R'));
    AddRecording(L"k3", AviName(3, 'T'));
    AddRecording(L"k4", AviName(4, 'Q'));
    ShowAll();
    const MenuItem fileCopy{32782, L"#233"};
    const MenuItem frontOnly{32796, L"映像コピー（前方のみ）"};
    const MenuItem frontRear{32798, L"映像コピー（前方＋後方）"};
    const MenuItem frontSide{32797, L"映像コピー（前方+側方）"};
    const MenuItem toFile{32779, L"#179"};
    const MenuItem toPrinter{32780, L"#180"};
    struct Case {
        const char* what;
        int row;
        std::set<int> failing;
        std::vector<MenuItem> items;
    };
    const Case cases[] = {
        {"front alone", 0, {}, {fileCopy, toFile, toPrinter}},
        {"front and rear", 1, {}, {fileCopy, frontOnly, toFile, toPrinter}},
        {"three cameras", 2, {}, {fileCopy, frontOnly, frontRear, frontSide, toFile, toPrinter}},
        {"four cameras", 3, {}, {fileCopy, frontOnly, frontRear, frontSide, toFile, toPrinter}},
        {"front and a side", 2, {1}, {fileCopy, frontRear, frontSide, toFile, toPrinter}},
    };
    for (const Case& c : cases) {
        engine.failingChannels = c.failing;
        ASSERT_EQ(transport.OpenAndPlay(c.row), 1) << c.what;
        view.menu.clear();
        commands.OnSkinCommand(20013);
        EXPECT_EQ(view.menu, c.items) << c.what;
    }
    transport.Stop(0, 0);
    ClearLogs();
    commands.ShowCaptureMenu();
    EXPECT_EQ(calls, Log{});
}

TEST_F(ViewCommandsTest, FilterSetsOldestFirstAndFindsThePlayingRow) {
    MakeRecordings();
    OpenRow(2);
    commands.OnViewMessage(WM_TOGGLE_LIST_ORDER, 0, 0);
    EXPECT_EQ(filter.GetOrderFlag(), 0);
    EXPECT_EQ(list.Keys(), (std::vector<std::wstring>{L"k3", L"k2", L"k1"}));
    // Still the playing one, now at the top.
    EXPECT_EQ(transport.GetPlayingRow(), 0);
    EXPECT_EQ(list.Selected(), std::vector<int>{0});
    EXPECT_EQ(list.selectionMark, 0);
    EXPECT_EQ(list.visibleRow, 0);

    commands.OnMenuCommand(ViewCommands::ID_FILTER_ALL);
    EXPECT_EQ(filter.GetOrderFlag(), 1);
    EXPECT_EQ(filter.GetFilterType(), 9);
    EXPECT_EQ(transport.GetPlayingRow(), 2);

    commands.OnMenuCommand(ViewCommands::ID_FILTER_EVENT);
    EXPECT_EQ(list.Keys(), std::vector<std::wstring>{L"k2"});
    const int repaints = list.repaints;
    commands.OnMenuCommand(ViewCommands::ID_FILTER_ALWAYS);
    EXPECT_EQ(list.Keys(), (std::vector<std::wstring>{L"k1", L"k3"}));
    EXPECT_EQ(transport.GetPlayingRow(), 1);
    // Filtered out: no playing row, and the list is repainted all the same.
    commands.OnMenuCommand(ViewCommands::ID_FILTER_PARKING);
    EXPECT_EQ(transport.GetPlayingRow(), -1);
    EXPECT_GT(list.repaints, repaints + 1);
}

TEST_F(ViewCommandsTest, OrderToggleNeedsRows) {
    commands.OnToggleListOrder();
    EXPECT_EQ(filter.GetOrderFlag(), 1);
    EXPECT_EQ(calls, Log{});
    MakeRecordings();
    commands.OnToggleListOrder();
    commands.OnToggleListOrder();
    EXPECT_EQ(calls, (Log{"FillListByType(9,0)", "FillListByType(9,1)"}));
}

TEST_F(ViewCommandsTest, ShowAllKeepsTheOrderFlag) {
    MakeRecordings();
    commands.OnToggleListOrder();
    commands.OnMenuCommand(ViewCommands::ID_FILTER_EVENT);
    ClearLogs();
    commands.OnToggleListOrder();
    filter.ShowAll();
    EXPECT_EQ(calls, (Log{"FillListByType(4,0)", "FillListByType(9,1)"}));
    EXPECT_EQ(filter.GetFilterType(), 9);
    EXPECT_EQ(filter.GetOrderFlag(), 0);
}

TEST_F(ViewCommandsTest, SeekSliderSeeksEveryChannel) {
    MakeRecordings();
    OpenRow(0);
    TraceCapture trace;
    transport.OnHScroll(Slider::SEEK, SB_THUMBTRACK, 300);
    EXPECT_EQ(calls, Log{});
    transport.OnHScroll(Slider::SEEK, SB_ENDSCROLL, 300);
    EXPECT_EQ(calls, (Log{"SetSeekPosition(300)", "SetGraphCursor(33)", "PlayerSeekRatio(h1,0.333333)",
                          "PlayerRatioToTime(h1,0.333333)", "PlayerSeekTime(h2,20000000)"}));
    EXPECT_EQ(transport.GetCountdown(), 3);
    EXPECT_EQ(trace.lines, std::vector<std::string>{"cur ==== 300\n"});
}

TEST_F(ViewCommandsTest, SeekWithoutChannel0Or1ResetsTheSliders) {
    SetModelIndex(3);
    AddRecording(L"k1", AviName(1, 'T'));
    ShowAll();
    engine.failingChannels = {0, 1};
    OpenRow(0);
    ASSERT_NE(transport.GetChannel(2), nullptr);
    transport.OnHScroll(Slider::SEEK, SB_ENDSCROLL, 300);
    EXPECT_EQ(calls, (Log{"SetSeekPosition(0)", "SetGraphCursor(0)"}));
    EXPECT_EQ(transport.GetCountdown(), 0);
}

TEST_F(ViewCommandsTest, SeekFollowsThePlayingRecordingWhateverTheRowAtTheIndex) {
    SetModelIndex(3);
    // The newer one is a single four-camera file: seeking it goes by ratio on every channel.
    AddRecording(L"k1", AviName(1, 'F'), AviName(1, 'R'));
    AddRecording(L"k2", AviName(2, 'Q'));
    ShowAll();
    OpenRow(0);
    commands.OnToggleListOrder();
    ClearLogs();
    transport.SeekToRatio(0.5);
    EXPECT_EQ(calls,
              (Log{"PlayerSeekRatio(h1,0.5)", "PlayerRatioToTime(h1,0.5)", "PlayerSeekTime(h2,30000000)"}));

    transport.OpenAndPlay(list.Keys()[0] == L"k2" ? 0 : 1);
    ClearLogs();
    transport.SeekToRatio(0.5);
    EXPECT_EQ(calls, (Log{"PlayerSeekRatio(h3,0.5)", "PlayerSeekRatio(h4,0.5)", "PlayerSeekRatio(h5,0.5)",
                          "PlayerSeekRatio(h6,0.5)"}));
}

TEST_F(ViewCommandsTest, GraphClicksSeekByTheWholePosition) {
    // Nothing open: nothing happens.
    commands.OnViewMessage(ViewCommands::WM_GRAPH_SEEK, 0, 5000);
    EXPECT_EQ(calls, Log{});

    AddRecording(L"k1", Mp4Name(1, 'F')).frames = 900;
    AddRecording(L"k2", Mp4Name(2, 'F')).frames = 100000;
    ShowAll();
    OpenRow(0);
    commands.OnViewMessage(ViewCommands::WM_GRAPH_SEEK, 0, 5000);
    EXPECT_EQ(Calls({"SetSeekPosition", "PlayerSeekRatio"}),
              (Log{"SetSeekPosition(450)", "PlayerSeekRatio(h1,0.5)"}));
    // Beyond 65,535 frames.
    OpenRow(1);
    commands.OnViewMessage(ViewCommands::WM_GRAPH_SEEK, 0, 9000);
    EXPECT_EQ(Calls({"SetSeekPosition", "PlayerSeekRatio"}),
              (Log{"SetSeekPosition(90000)", "PlayerSeekRatio(h2,0.9)"}));
}

TEST_F(ViewCommandsTest, VolumeSliderActsWhenReleased) {
    transport.OnHScroll(Slider::VOLUME, SB_THUMBTRACK, 70);
    EXPECT_EQ(calls, Log{});
    transport.OnHScroll(Slider::VOLUME, SB_ENDSCROLL, 70);
    EXPECT_EQ(calls, (Log{"SetVolumeSliders(70)", "PlayerSetVolume(70)"}));
    EXPECT_EQ(transport.GetVolume(), 70);
}

TEST_F(ViewCommandsTest, PrivateMessages) {
    MakeRecordings();
    TraceCapture trace;
    EXPECT_TRUE(commands.OnViewMessage(WM_CONFIG_FILE_ADDED, 0, 0));
    EXPECT_TRUE(commands.OnViewMessage(WM_RENDERER_RESET, 0, 0));
    EXPECT_EQ(calls, (Log{"ReadConfig", "ResetRenderers"}));
    EXPECT_EQ(trace.lines, std::vector<std::string>{"------> reset\n"});

    OpenRow(0);
    EXPECT_TRUE(commands.OnViewMessage(WM_TOGGLE_PLAY, 0, 0));
    EXPECT_EQ(transport.GetPaused(), 1);
    EXPECT_TRUE(commands.OnViewMessage(WM_TOGGLE_PLAY, 0, 0));
    EXPECT_EQ(transport.GetPaused(), 0);

    for (const WPARAM code : {WPARAM(1), WPARAM(0)}) {
        OpenRow(0);
        EXPECT_TRUE(commands.OnViewMessage(WM_PLAYER_READ_ERROR, code, 0));
        EXPECT_FALSE(transport.IsAnyChannelOpen());
        EXPECT_EQ(transport.GetCurrentListIndex(), -1);
        EXPECT_EQ(Calls({"MessageBox"}), code == 1 ? Log{"MessageBox(#178)"} : Log{}) << code;
    }
    ClearLogs();
    EXPECT_FALSE(commands.OnViewMessage(10008, 0, 0));
    EXPECT_FALSE(commands.OnViewMessage(WM_OPEN_FOLDER, 0, 0));
    EXPECT_EQ(calls, Log{});
}

TEST_F(ViewCommandsTest, TimersRunOnceAndKillThemselves) {
    struct Case {
        UINT_PTR id;
        int cardOpens;
        Log calls;
    };
    const Case cases[] = {
        {0x20000005, 1, {"KillTimer(0x20000005)", "SlidePanel(gsensor)"}},
        {0x20000006, 1, {"KillTimer(0x20000006)", "SlidePanel(map)"}},
        {0x20000007, 1, {"KillTimer(0x20000007)", "SlidePanel(playlist)", "ShowPlaylistButton(0)"}},
        {0x20000009, 1, {"KillTimer(0x20000009)", "OpenCardFolder", "HideLoadingBox", "ShowMainWindow(1)"}},
        {0x20000009,
         0,
         {"KillTimer(0x20000009)", "OpenCardFolder", "MessageBox(#168)", "HideLoadingBox",
          "ShowMainWindow(1)"}},
        {0x20000002, 1, {}},
    };
    for (const Case& c : cases) {
        ClearLogs();
        view.cardOpens = c.cardOpens;
        commands.OnTimer(c.id);
        EXPECT_EQ(calls, c.calls) << std::hex << c.id;
    }
    // The tick timer is the transport's.
    MakeRecordings();
    OpenRow(0);
    engine.ratios = {{0, 0.5}};
    commands.OnTimer(0x20000001);
    EXPECT_EQ(Calls({"SetSeekPosition"}), Log{"SetSeekPosition(450)"});
}

} // namespace

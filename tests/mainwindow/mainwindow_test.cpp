// The program as the user starts it, on Qt's offscreen platform with the built skin, string
// library and program: start-up and shut-down, the frame, the view's controls against the skin,
// full screen, docking, Space, device broadcasts, and recorder cards opened at start-up, dropped,
// and offered when their drive arrives.

#include "scopedenvironment.h"
#include "testfolder.h"
#include "uitest.h"

#include "platform/base/drivetable.h"
#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "platform/devices/volumeregistry.h"
#include "platform/devices/volumewatcher.h"
#include "platform/ui/cursor.h"
#include "platform/ui/devicebroadcast.h"
#include "platform/ui/menu.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/printer.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/screen.h"
#include "platform/ui/singleinstance.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/cardmaker.h"
#include "viewer/app/globals.h"
#include "viewer/app/viewerapp.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/videostate.h"
#include "viewer/tools/defogdlg.h"
#include "viewer/ui/mainframe.h"
#include "viewer/ui/passworddlg.h"
#include "viewer/ui/playbackcontrolrules.h"
#include "viewer/ui/viewcontroltable.h"
#include "viewer/ui/viewlayout.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace {

using Table = ViewControlTable;

} // namespace

// Rectangles and points in failure messages.
void PrintTo(const CRect& rect, std::ostream* out) {
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
void PrintTo(const CPoint& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

namespace {

class RecordingMessageBoxes : public MessageBoxHandler {
  public:
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        texts.push_back(text);
        return IDOK;
    }
    std::vector<std::wstring> texts;
};

class ScopedMessageBoxes {
  public:
    ScopedMessageBoxes() { m_previous = SetMessageBoxHandler(&boxes); }
    ~ScopedMessageBoxes() { SetMessageBoxHandler(m_previous); }
    RecordingMessageBoxes boxes;

  private:
    MessageBoxHandler* m_previous = nullptr;
};

CRect WindowRect(HWND window) {
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

// The window's rectangle in its parent's client area.
CRect RectInParent(HWND window) {
    CRect rect = WindowRect(window);
    const HWND parent = ::GetParent(window);
    POINT corner{rect.left, rect.top};
    ::ScreenToClient(parent, &corner);
    return CRect(CPoint(corner.x, corner.y), rect.Size());
}

bool HasVisibleStyle(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Shown(CWnd& window) {
    return window.m_hWnd != nullptr && WidgetFromHandle(window.m_hWnd)->isVisible();
}

void SendKeyRelease(HWND window, int key, bool autoRepeat) {
    QWidget* widget = InputWidgetFromHandle(window);
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(" "), autoRepeat);
    QCoreApplication::sendEvent(widget, &event);
}

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        application = std::make_unique<CViewerApp>();
        ASSERT_TRUE(application->InitInstance());
        frame = application->GetFrame();
        ASSERT_NE(frame, nullptr);
        view = &frame->GetView();
        ASSERT_TRUE(WaitFor([&] { return Shown(*frame); }));
    }

    void TearDown() override {
        // The test's event handling goes on after the main window.
        application->m_pMainWnd = nullptr;
        application.reset();
        Pump();
    }

    CRect Component(UINT component, const CRect& origin = CRect()) {
        return view->GetSkin().GetComponentRect(static_cast<eComponentID>(component), origin);
    }

    // Opens one made AVI recording of the start-up model on channel 0.
    void OpenRecording() {
        fixtures::QuietCodecLogs();
        fixtures::AviOptions options;
        options.video.codec = fixtures::VideoCodec::H264;
        options.video.frameCount = 60;
        options.textChunks = false;
        const std::string name = "2023_05_24_12_30_01_F_N.avi";
        fixtures::MakeAviRecording(recordings / name, options);
        ASSERT_NE(view->GetCatalogue().AddFile(recordings.Wide(name), &view->GetList()), 0);
        view->GetCatalogue().FillListByType(&view->GetList(), 9, 1);
        ASSERT_EQ(view->OpenAndPlay(0), 1);
        ASSERT_NE(view->GetPlayer(0), nullptr);
    }

    TestFolder recordings;
    std::unique_ptr<CViewerApp> application;
    CMainFrame* frame = nullptr;
    CChildView* view = nullptr;
};

TEST_F(MainWindowTest, StartUpMakesTheWindowsInOrderAndShowsWhatTheUserSeesWithoutACard) {
    EXPECT_EQ(GetModelIndex(), 3);
    EXPECT_EQ(g_hViewWnd, view->m_hWnd);
    EXPECT_EQ(::GetParent(view->m_hWnd), frame->m_hWnd);
    EXPECT_EQ(view->GetDlgCtrlID(), static_cast<int>(CMainFrame::kViewId));
    EXPECT_NE(g_hResourceDll, nullptr);
    EXPECT_EQ(g_layoutWidth, 1920);
    EXPECT_EQ(g_layoutHeight, 1080);
    EXPECT_EQ(g_screenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(g_screenHeight, GetSystemMetrics(SM_CYSCREEN));
    // Ten bytes a screen pixel, and never too small for a 1920 x 1080 picture of the engine's.
    EXPECT_EQ(view->GetFrameBufferSize(),
              std::max(static_cast<size_t>(g_screenWidth) * g_screenHeight * 10, size_t{1920} * 1080 * 4));

    // Handles are given out in creation order.
    const auto order = [](CWnd& window) { return reinterpret_cast<uintptr_t>(window.m_hWnd); };
    ASSERT_NE(view->GetLoadingBox(), nullptr);
    const uintptr_t created[] = {order(*view),
                                 order(*view->GetLoadingBox()),
                                 order(view->GetChannelWindow(0)),
                                 order(view->GetChannelWindow(3)),
                                 order(view->GetControlBar()),
                                 order(*view->GetSkinControl(Table::ID_BACKGROUND)),
                                 order(*view->GetSkinControl(Table::ID_GPS_FIX)),
                                 order(view->GetDefogWindow()),
                                 order(view->GetPlaylist()),
                                 order(view->GetTaskbarPopup())};
    for (size_t i = 1; i < std::size(created); ++i) {
        EXPECT_LT(created[i - 1], created[i]) << i;
    }

    EXPECT_TRUE(Shown(*view));
    EXPECT_TRUE(Shown(view->GetPlaylist()));
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_TRUE(Shown(view->GetChannelWindow(channel))) << channel;
    }
    EXPECT_FALSE(Shown(*view->GetLoadingBox()));
    EXPECT_FALSE(Shown(view->GetControlBar()));
    EXPECT_FALSE(Shown(view->GetTaskbarPopup()));
    EXPECT_FALSE(Shown(view->GetDefogWindow()));

    // The main window at the skin's size, centred on the primary screen where it fits.
    const CRect mainWindow = Component(CID_MAIN_WINDOW);
    const CPoint corner = ViewLayout::CentredCorner(mainWindow.Size(), g_screenWidth, g_screenHeight);
    const CRect placed = WindowRect(frame->m_hWnd);
    EXPECT_EQ(placed.TopLeft(), corner);
    EXPECT_EQ(placed.Size(), mainWindow.Size());
    // The playlist docked beside it.
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd).TopLeft(),
              CPoint(corner.x + PlaylistDlg::kDockOffsetX, corner.y + PlaylistDlg::kDockOffsetY));
}

TEST_F(MainWindowTest, TheFrameHasNoCaptionMenuOrMaximiseBoxAndKeepsItsMinimumSize) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(frame->m_hWnd, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
    EXPECT_EQ(::GetMenu(frame->m_hWnd), nullptr);
    EXPECT_TRUE(WidgetFromHandle(frame->m_hWnd)->windowFlags() & Qt::FramelessWindowHint);
    wchar_t title[64] = {};
    ::GetWindowTextW(frame->m_hWnd, title, 64);
    EXPECT_STREQ(title, L"TREVO_VIEWER");
    EXPECT_NE(frame->GetIcon(TRUE), nullptr);

    frame->SetWindowPos(nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(frame->m_hWnd).Size(),
              CSize(CMainFrame::kMinTrackWidth, CMainFrame::kMinTrackHeight));
    // The view fills the frame whatever its size.
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(WindowRect(view->m_hWnd), WindowRect(frame->m_hWnd));
}

TEST_F(MainWindowTest, TheViewsControlsLieWhereTheSkinPutsThemForTheStartUpModel) {
    ResStorage& skin = view->GetSkin();
    const auto placeOf = [&](Table::Place place) -> HWND {
        switch (place) {
        case Table::VIEW:
            return view->m_hWnd;
        case Table::BACKGROUND:
            return view->GetSkinControl(Table::ID_BACKGROUND)->m_hWnd;
        case Table::BOTTOM_STRIP:
            return view->GetSkinControl(Table::ID_BOTTOM_STRIP)->m_hWnd;
        case Table::SLIDER_PLATE:
            return view->GetSkinControl(Table::ID_SLIDER_PLATE)->m_hWnd;
        case Table::SPEED_READOUT:
            return view->GetSkinControl(Table::ID_SPEED_READOUT)->m_hWnd;
        }
        return nullptr;
    };
    const auto originOf = [&](const Table::Row& row) {
        switch (row.relativeToParent ? row.parent : Table::VIEW) {
        case Table::BOTTOM_STRIP:
            return Component(CID_MAIN_BOTTOM_STRIP);
        case Table::SLIDER_PLATE:
            return Component(CID_MAIN_SLIDER_PLATE);
        case Table::SPEED_READOUT:
            return Component(CID_MAIN_SPEED_READOUT);
        default:
            return CRect();
        }
    };
    // Hidden at start-up: the password (no password), pause, map and G-sensor buttons; the
    // playback sliders and label under their cover; the GPS and unit signs of a fix.
    const std::set<UINT> hidden{
        Table::ID_PASSWORD,  Table::ID_PAUSE,          Table::ID_MAP,     Table::ID_GSENSOR, Table::ID_VOLUME,
        Table::ID_SPEED,     Table::ID_PLAYBACK_SPEED, Table::ID_GPS_FIX, Table::ID_KMH,     Table::ID_MPH,
        Table::ID_MPH_NO_GPS};
    ASSERT_EQ(Table::Rows().size(), 35u);
    for (const Table::Row& row : Table::Rows()) {
        CWnd* control = view->GetSkinControl(row.id);
        ASSERT_NE(control, nullptr) << row.id;
        const UINT component =
            row.component == Table::kBackgroundByModel ? ViewLayout::BackgroundComponent(3) : row.component;
        EXPECT_FALSE(skin.GetComponentRect(static_cast<eComponentID>(component), CRect()).IsRectEmpty())
            << row.id;
        EXPECT_EQ(::GetParent(control->m_hWnd), placeOf(row.parent)) << row.id;
        EXPECT_EQ(control->GetDlgCtrlID(), static_cast<int>(row.id));
        const CRect expected = Component(component, originOf(row));
        EXPECT_EQ(RectInParent(control->m_hWnd), expected) << row.id;
        EXPECT_EQ(HasVisibleStyle(control->m_hWnd), hidden.count(row.id) == 0) << row.id;
    }
    // The model's background, the one the view takes at start-up; model 0 has its own.
    EXPECT_EQ(RectInParent(view->GetSkinControl(Table::ID_BACKGROUND)->m_hWnd),
              Component(CID_MAIN_BACKGROUND_3));
    EXPECT_FALSE(Component(ViewLayout::BackgroundComponent(0)).IsRectEmpty());

    const UINT videoComponents[] = {CID_MAIN_VIDEO_0, CID_MAIN_VIDEO_1, CID_MAIN_VIDEO_2, CID_MAIN_VIDEO_3};
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(RectInParent(view->GetChannelWindow(channel).m_hWnd), Component(videoComponents[channel]))
            << channel;
    }
    // The readout's first text and the tool tips of the buttons, in the view's language.
    wchar_t readout[32] = {};
    ::GetWindowTextW(view->GetSkinControl(Table::ID_SPEED_READOUT)->m_hWnd, readout, 32);
    EXPECT_STREQ(readout, L"    ---");
}

TEST_F(MainWindowTest, TheConfigurationButtonOpensTheSettingsEditorOnPageOne) {
    OptDlg& editor = view->GetSettingsEditor();
    CWnd* button = view->GetSkinControl(Table::ID_CONFIG);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(HasVisibleStyle(button->m_hWnd));
    const auto& tips = Table::ToolTips();
    EXPECT_TRUE(std::any_of(tips.begin(), tips.end(), [](const Table::ToolTip& tip) {
        return tip.id == Table::ID_CONFIG && tip.stringId == 191;
    }));
    EXPECT_FALSE(editor.IsWindowVisible());
    for (int round = 0; round < 2; ++round) {
        view->SendMessage(WM_COMMAND, MAKEWPARAM(Table::ID_CONFIG, BN_CLICKED),
                          reinterpret_cast<LPARAM>(button->m_hWnd));
        EXPECT_TRUE(editor.IsWindowVisible()) << round;
        EXPECT_TRUE(HasVisibleStyle(editor.GetPage(1)->m_hWnd)) << round;
        EXPECT_FALSE(HasVisibleStyle(editor.GetPage(3)->m_hWnd)) << round;
        CWnd* tab = editor.GetControl(22004);
        ASSERT_NE(tab, nullptr);
        editor.SendMessage(WM_COMMAND, MAKEWPARAM(22004, BN_CLICKED), reinterpret_cast<LPARAM>(tab->m_hWnd));
        EXPECT_TRUE(HasVisibleStyle(editor.GetPage(3)->m_hWnd)) << round;
        editor.SendMessage(WM_COMMAND, MAKEWPARAM(22012, BN_CLICKED),
                           reinterpret_cast<LPARAM>(editor.GetControl(22012)->m_hWnd));
        EXPECT_FALSE(editor.IsWindowVisible()) << round;
    }
}

TEST_F(MainWindowTest, FullScreenCoversTheMonitorAndComesBackWithThePanelsAndTheControlBarFollowsTheCursor) {
    ASSERT_NO_FATAL_FAILURE(OpenRecording());
    const CRect normal = WindowRect(frame->m_hWnd);
    ASSERT_TRUE(Shown(view->GetPlaylist()));
    view->GetSettingsEditor().ShowWindow(SW_SHOW);

    view->SetScreenMode(0, 1);
    EXPECT_FALSE(Shown(view->GetSettingsEditor()));
    MONITORINFO monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(view->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
    const CRect full(monitor.rcMonitor);
    EXPECT_EQ(g_monitorWidth, full.Width());
    EXPECT_EQ(g_monitorHeight, full.Height());
    EXPECT_EQ(g_monitorTop, full.top);
    EXPECT_EQ(PlayerGetSelectedChannel(), 0);
    EXPECT_EQ(WindowRect(frame->m_hWnd), CRect(CPoint(monitor.rcWork.left, full.top), full.Size()));
    EXPECT_EQ(RectInParent(view->GetChannelWindow(0).m_hWnd), CRect(CPoint(0, 0), full.Size()));
    for (int channel = 1; channel < 4; ++channel) {
        EXPECT_FALSE(Shown(view->GetChannelWindow(channel))) << channel;
    }
    EXPECT_FALSE(Shown(view->GetPlaylist()));
    EXPECT_FALSE(Shown(view->GetControlBar()));

    // The cursor within 70 pixels of the bottom shows the bar at the bottom of the monitor.
    const HWND channel0 = view->GetChannelWindow(0).m_hWnd;
    SendMouse(channel0, QEvent::MouseMove, Qt::NoButton, QPoint(20, full.Height() - 10), Qt::NoButton);
    ASSERT_TRUE(Shown(view->GetControlBar()));
    const CRect bar = WindowRect(view->GetControlBar().m_hWnd);
    EXPECT_EQ(bar.bottom, full.top + full.Height());
    // The auto-hide timer keeps it while the cursor stays near the bottom, and hides it once higher.
    SetCursorPos(20, full.top + full.Height() - PlaybackControlRules::kBottomReach);
    view->GetControlBar().SendMessage(WM_TIMER, PlaybackControlRules::kAutoHideTimer, 0);
    EXPECT_TRUE(Shown(view->GetControlBar()));
    SetCursorPos(20, full.top + full.Height() - PlaybackControlRules::kBottomReach - 1);
    view->GetControlBar().SendMessage(WM_TIMER, PlaybackControlRules::kAutoHideTimer, 0);
    EXPECT_FALSE(Shown(view->GetControlBar()));

    // Moving the enlarged window leaves the hidden playlist where it is.
    view->SetScreenMode(0, 0);
    EXPECT_EQ(PlayerGetSelectedChannel(), 65535);
    EXPECT_EQ(WindowRect(frame->m_hWnd), normal);
    EXPECT_TRUE(Shown(view->GetPlaylist()));
    EXPECT_TRUE(Shown(view->GetSettingsEditor()));
    EXPECT_FALSE(Shown(view->GetControlBar()));
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_TRUE(Shown(view->GetChannelWindow(channel))) << channel;
    }
    EXPECT_EQ(RectInParent(channel0), Component(CID_MAIN_VIDEO_0));
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd).TopLeft(),
              CPoint(normal.left + PlaylistDlg::kDockOffsetX, normal.top + PlaylistDlg::kDockOffsetY));

    // A channel with nothing open: the base size at the normal place, panels as they were.
    view->SetScreenMode(2, 1);
    EXPECT_EQ(WindowRect(frame->m_hWnd), CRect(normal.TopLeft(), Component(CID_MAIN_WINDOW).Size()));
    EXPECT_TRUE(Shown(view->GetPlaylist()));
    EXPECT_EQ(PlayerGetSelectedChannel(), 65535);
}

TEST_F(MainWindowTest, SeekingBeyondSixteenBitsFromTheControlBarReachesTheViewWhole) {
    ASSERT_NO_FATAL_FAILURE(OpenRecording());
    constexpr int kMaximum = 100000;
    constexpr int kPosition = 70000;
    view->SetSeekRange(kMaximum);
    CSliderCtrlEx& barSeek = view->GetControlBar().GetSeekSlider();
    barSeek.SetPos(kPosition);
    view->GetControlBar().SendMessage(WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(kPosition)),
                                      reinterpret_cast<LPARAM>(barSeek.m_hWnd));
    EXPECT_EQ(view->GetTransport().GetCurrentPosition(), kPosition);
    EXPECT_EQ(static_cast<CSliderCtrlEx*>(view->GetSkinControl(Table::ID_SEEK))->GetPos(), kPosition);
}

TEST_F(MainWindowTest, ThePlaylistFollowsTheMainWindowUnlessAChannelIsEnlarged) {
    frame->SetWindowPos(nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd).TopLeft(),
              CPoint(40 + PlaylistDlg::kDockOffsetX, 30 + PlaylistDlg::kDockOffsetY));
    frame->SetWindowPos(nullptr, 0, 0, 1100, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd).TopLeft(),
              CPoint(40 + PlaylistDlg::kDockOffsetX, 30 + PlaylistDlg::kDockOffsetY));

    // A hidden playlist does not follow; the playlist button slides it out again, through the frame.
    view->GetPlaylist().ShowWindow(SW_HIDE);
    frame->SetWindowPos(nullptr, 60, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd).TopLeft(),
              CPoint(40 + PlaylistDlg::kDockOffsetX, 30 + PlaylistDlg::kDockOffsetY));
    frame->SendMessage(WM_COMMAND, Table::ID_PLAYLIST, 0);
    // The slide runs at the slide timer's first expiry, which also hides the button.
    const HWND button = view->GetSkinControl(Table::ID_PLAYLIST)->m_hWnd;
    ASSERT_TRUE(WaitFor([&] { return !HasVisibleStyle(button); }));
    EXPECT_TRUE(Shown(view->GetPlaylist()));
    // It opens at its own place on the main window, at its skin size, and stays there at the next move.
    const CRect main = WindowRect(frame->m_hWnd);
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd),
              CRect(CPoint(main.left + PlaylistDlg::kDockOffsetX, main.top + PlaylistDlg::kDockOffsetY),
                    Component(CID_PLAYLIST_PANEL).Size()));
    frame->SetWindowPos(nullptr, 70, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(view->GetPlaylist().m_hWnd).TopLeft(),
              CPoint(70 + PlaylistDlg::kDockOffsetX, 20 + PlaylistDlg::kDockOffsetY));
}

TEST_F(MainWindowTest, ReleasingSpaceTogglesPlaybackExactlyOnceFromEveryWindowAndNeverOnRepeat) {
    ASSERT_NO_FATAL_FAILURE(OpenRecording());
    PlaybackTransport& transport = view->GetTransport();
    const struct {
        const char* name;
        HWND window;
    } windows[] = {
        {"frame", frame->m_hWnd},
        {"view", view->m_hWnd},
        {"channel window", view->GetChannelWindow(1).m_hWnd},
        {"playlist", view->GetPlaylist().m_hWnd},
        {"playlist's list", view->GetPlaylist().GetListCtrl().m_hWnd},
        {"background", view->GetSkinControl(Table::ID_BACKGROUND)->m_hWnd},
    };
    for (const auto& target : windows) {
        const int paused = transport.GetPaused();
        SendKeyRelease(target.window, Qt::Key_Space, true);
        EXPECT_EQ(transport.GetPaused(), paused) << target.name << ": a repeated release";
        SendKeyRelease(target.window, Qt::Key_Space, false);
        EXPECT_EQ(transport.GetPaused(), paused == 0 ? 1 : 0) << target.name;
    }
}

TEST_F(MainWindowTest, VolumeBroadcastsAreSentToTheViewAsDriveMessages) {
    TestWindow receiver;
    ASSERT_TRUE(receiver.CreateTop(CRect(0, 0, 10, 10)));
    const HWND viewWindow = g_hViewWnd;
    g_hViewWnd = receiver.m_hWnd;
    DEV_BROADCAST_VOLUME volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 4;
    const LPARAM data = reinterpret_cast<LPARAM>(&volume);
    EXPECT_EQ(frame->SendMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), TRUE);
    EXPECT_EQ(frame->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, data), TRUE);
    volume.dbcv_unitmask = 1u << 5;
    EXPECT_EQ(frame->SendMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, data), TRUE);
    EXPECT_EQ(frame->SendMessage(WM_DEVICECHANGE, 0x8001, data), TRUE);
    g_hViewWnd = viewWindow;
    const std::vector<LoggedMessage> sent = receiver.Only({WM_DRIVE_ARRIVED, WM_DRIVE_REMOVED});
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, WM_DRIVE_ARRIVED);
    EXPECT_EQ(sent[0].wParam, static_cast<WPARAM>('E'));
    EXPECT_EQ(sent[1].message, WM_DRIVE_REMOVED);
    EXPECT_EQ(sent[1].wParam, static_cast<WPARAM>('F'));
}

TEST_F(MainWindowTest, ClosingWaitsForARunningWorkerWhileTheViewStillStands) {
    const HWND viewWindow = view->m_hWnd;
    const HWND playlistWindow = view->GetPlaylist().m_hWnd;
    WorkerThreads& workers = view->GetWorkers();
    std::atomic<bool> ended{false};
    std::atomic<bool> viewStood{false};
    std::atomic<bool> playlistStood{false};
    ASSERT_TRUE(workers.Start([&] {
        // Works until asked to stop, as a repair stops between its steps.
        while (!workers.StopRequested()) {
            std::this_thread::yield();
        }
        viewStood = ::IsWindow(viewWindow) != FALSE;
        playlistStood = ::IsWindow(playlistWindow) != FALSE;
        ended = true;
    }));
    application->m_pMainWnd = nullptr;
    frame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(ended.load());
    EXPECT_TRUE(viewStood.load());
    EXPECT_TRUE(playlistStood.load());
    EXPECT_FALSE(::IsWindow(viewWindow));
    EXPECT_FALSE(::IsWindow(playlistWindow));
}

// A recorder card of the start-up model (the AVI model, whose USB ids are 3A7E:0004 in the skin's
// model table) as the recorder leaves it.
fixtures::CardLayout MakeRecorderCard(const std::filesystem::path& root, bool namesOnly) {
    fixtures::QuietCodecLogs();
    fixtures::CardOptions options;
    options.model = 3;
    options.namesOnly = namesOnly;
    options.totalRecordings = 3;
    options.video.frameCount = 15;
    return fixtures::MakeCard(root, options);
}

// The entry of TREVO_EXTRA_VOLUMES that offers the folder as that recorder's card.
std::string RecorderVolumeEntry(const std::filesystem::path& root) {
    std::string entry;
    for (const char c : root.string()) {
        if (c == '\\' || c == ';' || c == ':') {
            entry += '\\';
        }
        entry += c;
    }
    return entry + ":3A7E:0004";
}

std::vector<std::wstring> ListKeys(IPlaylistControl& list) {
    std::vector<std::wstring> keys;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        keys.push_back(list.GetItemKey(row));
    }
    return keys;
}

// The demo card as scripts/run offers it: through TREVO_EXTRA_VOLUMES, with its drive letter before
// the program starts, as a card inserted earlier has.
class DemoCardTest : public MainWindowTest {
  protected:
    void SetUp() override {
        card = MakeRecorderCard(cardFolder / "democard", false);
        extraVolumes.emplace(kExtraVolumesVariable, RecorderVolumeEntry(cardFolder / "democard"));
        volumes = std::make_unique<VolumeRegistry>(VolumeSources::FromEnvironment());
        volumes->Refresh();
        ASSERT_NE(DriveTable::Instance().LetterOfRoot(cardFolder.Wide("democard")), 0);
        MainWindowTest::SetUp();
    }

    void TearDown() override {
        MainWindowTest::TearDown();
        volumes.reset();
    }

    TestFolder cardFolder;
    fixtures::CardLayout card;
    std::optional<ScopedEnvironment> extraVolumes;
    std::unique_ptr<VolumeRegistry> volumes;
};

TEST_F(DemoCardTest, TheCardIsOpenedAtStartUpWithoutAskingAndItsFirstRecordingPlays) {
    ASSERT_EQ(card.recordings, 3);
    ASSERT_EQ(view->GetList().GetItemCount(), card.recordings);
    // Oldest first.
    const std::vector<std::wstring> keys = ListKeys(view->GetList());
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_TRUE(Shown(view->GetPlaylist()));
    // The box told what was going on before the main window first showed, and is hidden again.
    ASSERT_NE(view->GetLoadingBox(), nullptr);
    CString status;
    view->GetLoadingBox()->GetDlgItemText(LoadingMsgDlg::kStatus, status);
    EXPECT_EQ(std::wstring(status), view->LoadText(174));
    EXPECT_FALSE(Shown(*view->GetLoadingBox()));

    // A double click on the first row plays it.
    CSkinListCtrl& list = view->GetPlaylist().GetListCtrl();
    CRect row;
    ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
    const QPoint at(row.CenterPoint().x, row.CenterPoint().y);
    quint64 time = 1000000;
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        SendMouse(list.m_hWnd, type, Qt::LeftButton, at, Qt::LeftButton, Qt::NoModifier, ++time);
        SendMouse(list.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton, Qt::NoModifier,
                  ++time);
    }
    EXPECT_NE(view->GetPlayer(0), nullptr);
    EXPECT_EQ(view->GetTransport().GetPaused(), 0);
    EXPECT_EQ(*view->GetPlayingRowPointer(), 0);
}

std::vector<std::string> FileLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(DemoCardTest, AValueChangedOnAnotherPageOfTheSettingsEditorAndAppliedChangesExactlyItsKey) {
    ScopedMessageBoxes messages;
    const std::filesystem::path config = cardFolder / "democard" / card.config;
    const std::vector<std::string> before = FileLines(config);
    ASSERT_FALSE(before.empty());
    OptDlg& editor = view->GetSettingsEditor();
    const auto click = [](CWnd& window, CWnd* control, UINT id) {
        ASSERT_NE(control, nullptr) << id;
        window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control->m_hWnd));
    };
    click(*view, view->GetSkinControl(Table::ID_CONFIG), Table::ID_CONFIG);
    ASSERT_TRUE(editor.IsWindowVisible());
    click(editor, editor.GetControl(22004), 22004);
    ASSERT_TRUE(HasVisibleStyle(editor.GetPage(3)->m_hWnd));

    // The parking motion slider let go at its third notch: 40 on this model.
    CSliderCtrlEx* motion = editor.GetSlider(OptSlider::ParkingMotion);
    ASSERT_NE(motion, nullptr);
    ASSERT_NE(motion->GetPos(), 2);
    motion->SetPos(2);
    editor.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 2), reinterpret_cast<LPARAM>(motion->m_hWnd));
    click(editor, editor.GetControl(22007), 22007);
    EXPECT_FALSE(editor.IsWindowVisible());
    EXPECT_TRUE(messages.boxes.texts.empty());

    // Line for line the same but the key, and the checksum byte after the text made anew.
    const std::vector<std::string> after = FileLines(config);
    ASSERT_EQ(after.size(), before.size());
    size_t changed = 0;
    for (size_t i = 0; i + 1 < after.size(); ++i) {
        if (after[i] != before[i]) {
            ++changed;
            EXPECT_EQ(before[i].rfind("motion=", 0), 0u) << before[i];
            EXPECT_EQ(after[i], "motion=40");
        }
    }
    EXPECT_EQ(changed, 1u);
    std::ifstream in(config, std::ios::binary);
    const fixtures::Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), fixtures::ConfigChecksumByte(fixtures::Bytes(bytes.begin(), bytes.end() - 1)));
}

TEST_F(DemoCardTest, TheGsensorGraphHoldsTheRecordingsSamplesAndItsCursorFollowsThePlayback) {
    ASSERT_EQ(view->OpenAndPlay(0), 1);
    const CPushGraph& graph = view->GetSensorPanel().GetGraph();
    ASSERT_EQ(graph.GetLines().size(), 3u);
    EXPECT_GT(graph.GetLines()[0].values.size(), 1u);
    EXPECT_EQ(graph.GetLines()[0].values.size(), graph.GetLines()[2].values.size());
    EXPECT_EQ(graph.GetLineColor(0), 0x00FF00u) << "the colours after a reset";
    EXPECT_TRUE(WaitFor([&] { return graph.GetCursor() > 0; }, 20000)) << "the tick moves the cursor";
}

TEST_F(DemoCardTest, ACardTakenOutWhilePlayingEndsItsRecordingAndLeavesTheListUsable) {
    ScopedMessageBoxes messages;
    ASSERT_EQ(view->OpenAndPlay(0), 1);
    // The card is taken out: nothing is left where its drive was.
    std::filesystem::rename(cardFolder / "democard", cardFolder / "taken out");
    // What was open plays to its end; the next recording cannot be opened, and the user is told.
    ASSERT_TRUE(WaitFor([&] { return !messages.boxes.texts.empty(); }, 20000));
    EXPECT_TRUE(WaitFor([&] { return view->GetPlayer(0) == nullptr; }));
    EXPECT_EQ(view->GetList().GetItemCount(), card.recordings);
    // The list still answers: another row is refused the same way, and once the card is back its
    // recordings play again.
    const size_t told = messages.boxes.texts.size();
    EXPECT_EQ(view->OpenAndPlay(2), 0);
    EXPECT_GT(messages.boxes.texts.size(), told);
    std::filesystem::rename(cardFolder / "taken out", cardFolder / "democard");
    EXPECT_EQ(view->OpenAndPlay(2), 1);
    EXPECT_NE(view->GetPlayer(0), nullptr);
}

// Answers the file dialog that the next modal loop shows: the path chosen in its folder.
void ChooseInNextFileDialog(const std::filesystem::path& chosen) {
    QTimer::singleShot(0, qApp, [chosen] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog != nullptr && dialog->isVisible()) {
                dialog->setDirectory(QString::fromStdString(chosen.parent_path().string()));
                dialog->selectFile(QString::fromStdString(chosen.filename().string()));
                static_cast<QDialog*>(dialog)->accept();
                return;
            }
        }
        ADD_FAILURE() << "no file dialog runs";
    });
}

// Yes to every question, OK to every message; the texts kept.
class AgreeingMessageBoxes : public MessageBoxHandler {
  public:
    AgreeingMessageBoxes() : m_previous(SetMessageBoxHandler(this)) {}
    ~AgreeingMessageBoxes() override { SetMessageBoxHandler(m_previous); }
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT type) override {
        texts.push_back(text);
        return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
    std::vector<std::wstring> texts;

  private:
    MessageBoxHandler* m_previous;
};

class PdfPrintDialog : public PrintDialogHandler {
  public:
    explicit PdfPrintDialog(std::wstring file)
        : m_file(std::move(file)), m_previous(SetPrintDialogHandler(this)) {}
    ~PdfPrintDialog() override { SetPrintDialogHandler(m_previous); }
    int Show(HWND, DWORD, std::wstring& pdfFile) override {
        pdfFile = m_file;
        return IDOK;
    }

  private:
    std::wstring m_file;
    PrintDialogHandler* m_previous;
};

TEST_F(MainWindowTest, ThePlayingRecordingIsSavedAsASnapshotPrintedAndCopiedFromTheCaptureMenu) {
    OpenRecording();
    // The capture reads the picture on show: wait for the first one.
    std::vector<BYTE> buffer(view->GetFrameBufferSize());
    int width = 0, height = 0, pitch = 0;
    ASSERT_TRUE(WaitFor([&] {
        return PlayerCaptureFrame(view->GetPlayer(0), buffer.data(), buffer.size(), &width, &height,
                                  &pitch) == S_OK;
    }));
    AgreeingMessageBoxes boxes;
    TestFolder output;

    ChooseInNextFileDialog(output / "crash.PNG");
    view->SendMessage(WM_COMMAND, 32779);
    EXPECT_EQ(view->GetTransport().GetPaused(), 1);
    const QImage snapshot(QString::fromStdString((output / "crash-CH1.PNG").string()), "png");
    EXPECT_EQ(snapshot.size(), QSize(width, height));
    EXPECT_TRUE(boxes.texts.empty());

    PdfPrintDialog print(output.Wide("printed.pdf"));
    view->SendMessage(WM_COMMAND, 32780);
    EXPECT_GT(std::filesystem::file_size(output / "printed.pdf"), 0u);

    std::filesystem::create_directory(output / "copies");
    ChooseInNextFileDialog(output / "copies");
    view->SendMessage(WM_COMMAND, 32782);
    const std::string name = "2023_05_24_12_30_01_F_N.avi";
    EXPECT_EQ(std::filesystem::file_size(output / "copies" / name),
              std::filesystem::file_size(recordings / name));
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts.back(), L"コピーが完了しました。\n" + WideFromUtf8(name));
}

TEST_F(MainWindowTest, AnAviFileOfAllCamerasIsCopiedWithTheFrontChannelAloneUnderItsNewTag) {
    fixtures::QuietCodecLogs();
    fixtures::AviOptions options;
    options.streams = 2;
    options.video.frameCount = 12;
    const std::string name = "2023_05_24_12_30_02_D_N.avi";
    fixtures::MakeAviRecording(recordings / name, options);
    ASSERT_NE(view->GetCatalogue().AddFile(recordings.Wide(name), &view->GetList()), 0);
    view->GetCatalogue().FillListByType(&view->GetList(), 9, 1);
    ASSERT_EQ(view->OpenAndPlay(0), 1);
    AgreeingMessageBoxes boxes;
    TestFolder output;
    ChooseInNextFileDialog(output.Path());
    view->SendMessage(WM_COMMAND, 32796);
    EXPECT_TRUE(std::filesystem::exists(output / "2023_05_24_12_30_02_S_N.avi"));
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts.back(), L"コピーが完了しました。\n" + WideFromUtf8(name));
}

TEST_F(MainWindowTest, PausingAFourChannelRecordingAndPressingDefogShowsItsFourFrames) {
    fixtures::QuietCodecLogs();
    fixtures::AviOptions options;
    options.streams = 4;
    options.video.codec = fixtures::VideoCodec::H264;
    options.video.frameCount = 300;
    options.textChunks = false;
    const std::string name = "2023_05_24_12_30_03_Q_N.avi";
    fixtures::MakeAviRecording(recordings / name, options);
    ASSERT_NE(view->GetCatalogue().AddFile(recordings.Wide(name), &view->GetList()), 0);
    view->GetCatalogue().FillListByType(&view->GetList(), 9, 1);
    ASSERT_EQ(view->OpenAndPlay(0), 1);
    std::vector<BYTE> buffer(view->GetFrameBufferSize());
    int width = 0, height = 0, pitch = 0;
    const auto capture = [&](int channel) {
        return PlayerCaptureFrame(view->GetPlayer(channel), buffer.data(), buffer.size(), &width, &height,
                                  &pitch) == S_OK;
    };
    for (int channel = 0; channel < 4; ++channel) {
        ASSERT_NE(view->GetPlayer(channel), nullptr) << channel;
        ASSERT_TRUE(WaitFor([&] { return capture(channel); }, 20000)) << channel;
    }
    DefogDlg& defog = view->GetDefogWindow();
    EXPECT_FALSE(Shown(defog));

    // Paused, and every channel's video thread has been through its pause wait with no picture
    // left in its queue: the picture shown stays.
    view->Pause();
    for (int channel = 0; channel < 4; ++channel) {
        VideoState* state = view->GetPlayer(channel);
        int64_t passesWhenHeld = -1;
        ASSERT_TRUE(WaitFor(
            [&] {
                SDL_mutexP(state->pictqMutex);
                const int queued = state->pictqSize;
                SDL_mutexV(state->pictqMutex);
                if (!state->paused || state->seekRequest || state->seekFlushPending ||
                    state->seekSkipState != 0) {
                    passesWhenHeld = -1;
                    return false;
                }
                if (passesWhenHeld < 0) {
                    passesWhenHeld = state->pausePasses;
                }
                return state->pausePasses != passesWhenHeld && queued == 0;
            },
            20000))
            << channel;
    }

    view->SendMessage(WM_COMMAND, Table::ID_DEFOG);
    EXPECT_EQ(view->GetTransport().GetPaused(), 1);
    ASSERT_TRUE(WaitFor([&] { return Shown(defog); }));
    for (int channel = 0; channel < 4; ++channel) {
        ASSERT_TRUE(capture(channel));
        const QImage shown =
            ImageFromBitmap(defog.GetWorkingCopy(channel)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), QSize(width, height)) << channel;
        const QImage current(buffer.data(), width, height, pitch, QImage::Format_RGB32);
        // The fourth bytes carry no colour.
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                differing += (shown.pixel(x, y) & 0xFFFFFF) != (current.pixel(x, y) & 0xFFFFFF);
            }
        }
        EXPECT_EQ(differing, 0) << "channel " << channel << " shows the paused frame";
        EXPECT_TRUE(defog.GetSlider(channel).IsWindowVisible() ||
                    WaitFor([&] { return defog.GetSlider(channel).IsWindowVisible() != FALSE; }));
    }

    // While the window is open the button does nothing; full screen hides it and brings it back.
    const HBITMAP first = defog.GetSource(0);
    view->SendMessage(WM_COMMAND, Table::ID_DEFOG);
    EXPECT_EQ(defog.GetSource(0), first);
    view->ShowSidePanels(0);
    EXPECT_FALSE(defog.IsWindowVisible());
    view->ShowSidePanels(1);
    EXPECT_TRUE(defog.IsWindowVisible());
}

TEST_F(MainWindowTest, TheLockButtonsCommandAsksForTheOldPasswordOverADisabledView) {
    // Without the skin's check the lock is not made at start-up; its command still works.
    EXPECT_EQ(view->GetPasswordLock().m_hWnd, nullptr);
    view->SendMessage(WM_COMMAND, 20000);
    PasswordDlg& lock = view->GetPasswordLock();
    ASSERT_NE(lock.m_hWnd, nullptr);
    EXPECT_TRUE(Shown(lock));
    EXPECT_FALSE(view->IsWindowEnabled());
    EXPECT_EQ(lock.GetLock().GetMode(), PasswordLock::kProveOld);
    CString title;
    lock.GetWindowText(title);
    EXPECT_EQ(std::wstring(title), view->LoadText(216));
    lock.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(Shown(lock));
    EXPECT_TRUE(view->IsWindowEnabled());
}

TEST_F(MainWindowTest, AFolderDroppedOnTheViewIsReadAsACardAndThePlaylistSlidesOutOnlyWithRows) {
    const int count = MakeRecorderCard(recordings / "card", true).recordings;
    std::filesystem::create_directories(recordings / "empty");
    view->GetPlaylist().ShowWindow(SW_HIDE);
    const HWND playlistButton = view->GetSkinControl(Table::ID_PLAYLIST)->m_hWnd;

    const std::wstring empty = recordings.Wide("empty");
    view->SendMessage(WM_OPEN_FOLDER, 0, reinterpret_cast<LPARAM>(empty.c_str()));
    EXPECT_EQ(view->GetList().GetItemCount(), 0);
    Pump();
    EXPECT_FALSE(Shown(view->GetPlaylist()));
    EXPECT_TRUE(HasVisibleStyle(playlistButton));

    // Dropped on a channel window, the card's root is opened as a card: every type, oldest first.
    DropPaths(view->GetChannelWindow(1).m_hWnd, {recordings.Wide("card")});
    ASSERT_EQ(view->GetList().GetItemCount(), count);
    const std::vector<std::wstring> keys = ListKeys(view->GetList());
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    // The slide runs at the slide timer's first expiry, which also hides the button.
    ASSERT_TRUE(WaitFor([&] { return !HasVisibleStyle(playlistButton); }));
    EXPECT_TRUE(Shown(view->GetPlaylist()));
}

TEST_F(MainWindowTest, ARecorderDriveThatArrivesIsOfferedAndOpensBehindTheLoadingBoxWhenThePopUpIsClicked) {
    const std::filesystem::path card = recordings / "card";
    const std::filesystem::path mountTable = recordings / "mountinfo";
    std::ofstream(mountTable).close();
    VolumeWatcher watcher(
        VolumeSources{mountTable.string(), (recordings / "sys").string(), RecorderVolumeEntry(card)},
        AnnounceToMainWindow);
    const int count = MakeRecorderCard(card, true).recordings;
    // Hot-plug: the watcher tells the frame, which tells the view.
    watcher.Check();
    const wchar_t letter = DriveTable::Instance().LetterOfRoot(recordings.Wide("card"));
    ASSERT_NE(letter, 0);
    CTaskbarPopup& popup = view->GetTaskbarPopup();
    EXPECT_EQ(popup.GetDriveLetter(), static_cast<char>(letter));
    ASSERT_TRUE(WaitFor([&] { return Shown(popup); }));
    EXPECT_EQ(view->GetList().GetItemCount(), 0) << "only offered";

    view->SendMessage(WM_NOTIFIER_CLICKED);
    EXPECT_EQ(popup.GetState(), CTaskbarPopup::STATE_HIDDEN);
    EXPECT_FALSE(Shown(popup));
    EXPECT_TRUE(Shown(*view->GetLoadingBox()));
    EXPECT_FALSE(Shown(*frame));
    CString status;
    view->GetLoadingBox()->GetDlgItemText(LoadingMsgDlg::kStatus, status);
    EXPECT_EQ(std::wstring(status), view->LoadText(174));

    // The card is read at the deferred-open timer, and the main window comes back with it.
    ASSERT_TRUE(WaitFor([&] { return Shown(*frame); }));
    EXPECT_EQ(view->GetList().GetItemCount(), count);
    EXPECT_FALSE(Shown(*view->GetLoadingBox()));
    EXPECT_TRUE(Shown(view->GetPlaylist()));
}

TEST(ViewerApp, AMissingStringLibraryIsToldAndNoWindowIsMade) {
    ScopedMessageBoxes messages;
    CViewerApp application(L"/nonexistent/TREVO_Res.dll");
    EXPECT_FALSE(application.InitInstance());
    EXPECT_EQ(messages.boxes.texts, std::vector<std::wstring>{L"Load TREVO_Res.dll fail!!"});
    EXPECT_EQ(application.GetFrame(), nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"TREVO_VIEWER"), nullptr);
    EXPECT_EQ(g_hResourceDll, nullptr);
}

TEST_F(MainWindowTest, ASecondStartRestoresTheFirstWindowAndEndsWithoutOne) {
    frame->ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(frame->m_hWnd));
    QProcess second;
    second.setProgram(QCoreApplication::applicationDirPath() + "/TREVO_VIEWER");
    second.start();
    ASSERT_TRUE(second.waitForStarted());
    // This process answers the second one from its event loop.
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(IsIconic(frame->m_hWnd));
    EXPECT_TRUE(Shown(*frame));
}

} // namespace

#include "panelsfixture.h"
#include "platform/ui/cursor.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/screen.h"
#include "viewer/app/globals.h"
#include "viewer/ui/playbackcontroldialog.h"
#include "viewer/ui/playbackcontrolrules.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

using Rules = PlaybackControlRules;

TEST(PlaybackControlRules, SliderMovementsThatReachTheView) {
    const HWND handle = reinterpret_cast<HWND>(0x1234);
    const struct {
        Rules::Slider slider;
        UINT code;
        bool withHandle;
        bool forwarded;
    } cases[] = {
        {Rules::SEEK, SB_THUMBTRACK, true, false},     {Rules::SEEK, SB_ENDSCROLL, true, true},
        {Rules::SEEK, SB_LINEDOWN, true, false},       {Rules::SEEK, SB_ENDSCROLL, false, false},
        {Rules::VOLUME, SB_THUMBTRACK, true, false},   {Rules::VOLUME, SB_ENDSCROLL, true, true},
        {Rules::VOLUME, SB_PAGEUP, true, false},       {Rules::VOLUME, SB_ENDSCROLL, false, false},
        {Rules::SPEED, SB_THUMBTRACK, true, true},     {Rules::SPEED, SB_ENDSCROLL, true, true},
        {Rules::SPEED, SB_THUMBPOSITION, true, false}, {Rules::SPEED, SB_THUMBTRACK, false, false},
        {Rules::SPEED, SB_ENDSCROLL, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Rules::Forwards(c.slider, c.code, c.withHandle ? handle : nullptr), c.forwarded)
            << c.slider << " " << c.code << " " << c.withHandle;
    }
}

TEST(PlaybackControlRules, TextsAndWhichControlsShow) {
    EXPECT_EQ(Rules::SpeedText(-1), L"    ---");
    EXPECT_EQ(Rules::SpeedText(-57), L"    ---");
    EXPECT_EQ(Rules::SpeedText(0), L"    0");
    EXPECT_EQ(Rules::SpeedText(57), L"    57");
    EXPECT_TRUE(Rules::ShowsPlayButton(1));
    for (int flag : {0, 2, -1}) {
        EXPECT_FALSE(Rules::ShowsPlayButton(flag)) << flag;
    }
    EXPECT_TRUE(Rules::ShowsUnitB(1));
    for (int unit : {0, 2, -1}) {
        EXPECT_FALSE(Rules::ShowsUnitB(unit)) << unit;
    }
    for (int channel : {0, 1}) {
        EXPECT_TRUE(Rules::EscapeLeavesEnlarged(channel)) << channel;
    }
    for (int channel : {2, 3, 65535, -1}) {
        EXPECT_FALSE(Rules::EscapeLeavesEnlarged(channel)) << channel;
    }
}

TEST(PlaybackControlRules, PlaceAndHideOnTheMonitorOfTheMainWindow) {
    const CSize bar(1000, 80);
    EXPECT_EQ(Rules::OnPrimaryScreen(1920, 1080, bar), CRect(460, 1000, 1460, 1080));
    EXPECT_EQ(Rules::AtBottom(0, 0, 1920, 1080, bar), CRect(460, 1000, 1460, 1080));
    // A monitor beside the primary one, and one below it; half of an odd difference rounds down.
    EXPECT_EQ(Rules::AtBottom(1920, 0, 1281, 1024, bar), CRect(1920 + 140, 944, 1920 + 1140, 1024));
    EXPECT_EQ(Rules::AtBottom(0, 1080, 1280, 1024, bar), CRect(140, 1080 + 944, 1140, 1080 + 1024));
    // And one above it, with negative coordinates; half of -1 is 0.
    EXPECT_EQ(Rules::AtBottom(-1280, -1024, 999, 1024, bar), CRect(-1280, -80, -280, 0));

    const struct {
        int cursorY;
        int monitorTop;
        int monitorHeight;
        bool hides;
    } cases[] = {
        {1009, 0, 1080, true},          {1010, 0, 1080, false},          {1079, 0, 1080, false},
        {1080 + 953, 1080, 1024, true}, {1080 + 954, 1080, 1024, false}, {500, 1080, 1024, true},
        {-71, -1024, 1024, true},       {-70, -1024, 1024, false},       {-10, -1024, 1024, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Rules::HidesWithCursorAt(c.cursorY, c.monitorTop, c.monitorHeight), c.hides)
            << c.cursorY << " " << c.monitorTop << " " << c.monitorHeight;
    }
}

class ControlBarTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        savedMonitorHeight = g_monitorHeight;
        savedMonitorLeft = g_monitorLeft;
        savedMonitorTop = g_monitorTop;
        ASSERT_TRUE(viewSeek.CreateChild(&view, CRect(0, 0, 10, 10), 1));
        ASSERT_TRUE(viewVolume.CreateChild(&view, CRect(0, 10, 10, 20), 2));
        ASSERT_TRUE(viewSpeed.CreateChild(&view, CRect(0, 20, 10, 30), 3));
        fakeView.window = view.m_hWnd;
        ASSERT_TRUE(bar.Create(PlaybackControlDialog::IDD, &view));
        bar.SetView(&fakeView);
        bar.SetResStorage(&Skin());
        bar.CreateControls();
        bar.SetViewSliders(viewSeek.m_hWnd, viewVolume.m_hWnd, viewSpeed.m_hWnd);
    }
    void TearDown() override {
        g_monitorHeight = savedMonitorHeight;
        g_monitorLeft = savedMonitorLeft;
        g_monitorTop = savedMonitorTop;
        PanelTest::TearDown();
    }

    CWnd* Background() { return bar.GetDlgItem(PlaybackControlDialog::ID_BACKGROUND); }
    CWnd* Control(UINT id) {
        CWnd* control = bar.GetDlgItem(static_cast<int>(id));
        return control != nullptr || Background() == nullptr ? control
                                                             : Background()->GetDlgItem(static_cast<int>(id));
    }
    CRect BarRect() {
        CRect rect;
        bar.GetWindowRect(&rect);
        return rect;
    }
    // Whether the auto-hide timer runs; asking stops it.
    BOOL TimerWasRunning() { return ::KillTimer(bar.m_hWnd, 0); }
    void SendCommand(UINT id) {
        CWnd* control = Control(id);
        bar.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                        reinterpret_cast<LPARAM>(control != nullptr ? control->m_hWnd : nullptr));
    }
    std::vector<LoggedMessage> ScrollsOfTheView() const { return view.Only({WM_HSCROLL}); }

    TestWindow viewSeek;
    TestWindow viewVolume;
    TestWindow viewSpeed;
    FakeControlBarView fakeView;
    PlaybackControlDialog bar;
    int savedMonitorHeight = 0;
    int savedMonitorLeft = 0;
    int savedMonitorTop = 0;
};

TEST_F(ControlBarTest, TheBuilderMakesTheBarOfTheSkinHidden) {
    const CRect background = Skin().GetComponentRect(CID_BAR_BACKGROUND, CRect());
    EXPECT_EQ(BarRect(), Rules::OnPrimaryScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                background.Size()));
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_NE(bar.GetExStyle() & WS_EX_TOPMOST, 0u);

    ASSERT_NE(Background(), nullptr);
    const struct {
        UINT id;
        eComponentID component;
        bool onBackground;
        bool visible;
    } controls[] = {
        {PlaybackControlDialog::ID_PREV, CID_BAR_PREV, false, true},
        {PlaybackControlDialog::ID_PLAY, CID_BAR_PLAY, false, true},
        {PlaybackControlDialog::ID_PAUSE, CID_BAR_PAUSE, false, false},
        {PlaybackControlDialog::ID_STOP, CID_BAR_STOP, false, true},
        {PlaybackControlDialog::ID_STEP, CID_BAR_STEP, false, true},
        {PlaybackControlDialog::ID_NEXT, CID_BAR_NEXT, false, true},
        {PlaybackControlDialog::ID_CAPTURE, CID_BAR_CAPTURE, false, true},
        {PlaybackControlDialog::ID_DEFOG, CID_BAR_DEFOG, false, true},
        {PlaybackControlDialog::ID_BACKGROUND, CID_BAR_BACKGROUND, false, true},
        {PlaybackControlDialog::ID_SEEK, CID_BAR_SEEK, true, true},
        {PlaybackControlDialog::ID_VOLUME, CID_BAR_VOLUME, true, true},
        {PlaybackControlDialog::ID_SPEED, CID_BAR_SPEED, true, true},
        {PlaybackControlDialog::ID_SPEED_READOUT, CID_BAR_SPEED_READOUT, true, false},
        {PlaybackControlDialog::ID_PLAYBACK_SPEED, CID_BAR_SPEED_LABEL, true, true},
        {PlaybackControlDialog::ID_UNIT_A, CID_BAR_UNIT_A, true, false},
        {PlaybackControlDialog::ID_UNIT_B, CID_BAR_UNIT_B, true, false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        CWnd* control = Control(c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetParent(), c.onBackground ? Background() : &bar);
        EXPECT_EQ((control->GetStyle() & WS_VISIBLE) != 0, c.visible);
        CRect rect;
        control->GetWindowRect(&rect);
        control->GetParent()->ScreenToClient(&rect);
        EXPECT_EQ(rect, Skin().GetComponentRect(c.component, c.onBackground ? background : CRect()));
    }

    EXPECT_EQ(bar.GetSeekSlider().GetRangeMax(), 100);
    EXPECT_EQ(bar.GetSeekSlider().GetPos(), 50);
    EXPECT_EQ(bar.GetSpeedSlider().GetRangeMax(), 6);
    EXPECT_EQ(bar.GetSpeedSlider().GetPos(), 3);
    auto* volume = static_cast<CSliderCtrlEx*>(Control(PlaybackControlDialog::ID_VOLUME));
    EXPECT_EQ(volume->GetRangeMin(), 0);
    EXPECT_EQ(volume->GetRangeMax(), 128);
    EXPECT_EQ(volume->GetPos(), 50);
    CString text;
    bar.GetPlaybackSpeedLabel().GetWindowText(text);
    EXPECT_EQ(std::wstring(text), L"1x");
    EXPECT_EQ(bar.GetSpeed(), -1);
}

TEST_F(ControlBarTest, WithoutViewSlidersNothingIsForwarded) {
    PlaybackControlDialog fresh;
    ASSERT_TRUE(fresh.Create(PlaybackControlDialog::IDD, &view));
    fresh.SetView(&fakeView);
    fresh.SetResStorage(&Skin());
    fresh.CreateControls();
    for (const UINT id : {PlaybackControlDialog::ID_SEEK, PlaybackControlDialog::ID_VOLUME,
                          PlaybackControlDialog::ID_SPEED}) {
        CWnd* slider =
            fresh.GetDlgItem(PlaybackControlDialog::ID_BACKGROUND)->GetDlgItem(static_cast<int>(id));
        for (const UINT code : {SB_THUMBTRACK, SB_ENDSCROLL}) {
            fresh.SendMessage(WM_HSCROLL, MAKEWPARAM(code, 2), reinterpret_cast<LPARAM>(slider->m_hWnd));
        }
    }
    EXPECT_TRUE(ScrollsOfTheView().empty());
}

TEST_F(ControlBarTest, SliderMovementsReachTheViewAsItsOwnSliders) {
    const struct {
        UINT id;
        HWND viewSlider;
    } sliders[] = {{PlaybackControlDialog::ID_SEEK, viewSeek.m_hWnd},
                   {PlaybackControlDialog::ID_VOLUME, viewVolume.m_hWnd},
                   {PlaybackControlDialog::ID_SPEED, viewSpeed.m_hWnd}};
    for (const auto& slider : sliders) {
        for (const UINT code : {SB_THUMBTRACK, SB_ENDSCROLL, SB_LINEUP}) {
            SCOPED_TRACE(testing::Message() << slider.id << " " << code);
            view.log.clear();
            bar.SendMessage(WM_HSCROLL, MAKEWPARAM(code, 4),
                            reinterpret_cast<LPARAM>(Control(slider.id)->m_hWnd));
            const bool forwarded = code == SB_ENDSCROLL ||
                                   (code == SB_THUMBTRACK && slider.id == PlaybackControlDialog::ID_SPEED);
            const std::vector<LoggedMessage> scrolls = ScrollsOfTheView();
            ASSERT_EQ(scrolls.size(), forwarded ? 1u : 0u);
            if (forwarded) {
                EXPECT_EQ(scrolls[0].wParam, MAKEWPARAM(code, 4));
                EXPECT_EQ(scrolls[0].lParam, reinterpret_cast<LPARAM>(slider.viewSlider));
            }
        }
    }
    // A message from a window that is none of the bar's sliders goes nowhere.
    view.log.clear();
    bar.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 4), reinterpret_cast<LPARAM>(viewSeek.m_hWnd));
    EXPECT_TRUE(ScrollsOfTheView().empty());

    // Dragging the speed slider's thumb: every step while dragging and the release.
    bar.ShowWindow(SW_SHOW);
    view.log.clear();
    CSliderCtrlEx& speed = bar.GetSpeedSlider();
    CRect track;
    speed.GetClientRect(&track);
    const CSliderCtrlEx::Geometry geometry =
        CSliderCtrlEx::Layout(track, CSize(14, track.Height()), CRect(), CRect(), 0, 6, speed.GetPos());
    const QPoint thumb(geometry.thumbCentre, track.Height() / 2);
    SendMouse(speed.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, thumb, Qt::LeftButton);
    SendMouse(speed.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(track.right - 1, thumb.y()),
              Qt::LeftButton);
    SendMouse(speed.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(track.right - 1, thumb.y()),
              Qt::NoButton);
    const std::vector<LoggedMessage> scrolls = ScrollsOfTheView();
    ASSERT_GE(scrolls.size(), 2u);
    EXPECT_EQ(LOWORD(scrolls.front().wParam), SB_THUMBTRACK);
    EXPECT_EQ(scrolls.back().wParam, MAKEWPARAM(SB_ENDSCROLL, 6));
    EXPECT_EQ(scrolls.back().lParam, reinterpret_cast<LPARAM>(viewSpeed.m_hWnd));
}

TEST_F(ControlBarTest, EachButtonRestartsTheCountdownBeforeTheViewActs) {
    bar.ShowWindow(SW_SHOW);
    std::vector<BOOL> runningAtCall;
    fakeView.beforeCall = [&](const std::string&) { runningAtCall.push_back(TimerWasRunning()); };
    const struct {
        UINT id;
        const char* call;
    } buttons[] = {
        {PlaybackControlDialog::ID_PREV, "PlayPrevFile"},
        {PlaybackControlDialog::ID_PLAY, "Play"},
        {PlaybackControlDialog::ID_PAUSE, "Pause"},
        {PlaybackControlDialog::ID_STOP, "Stop(0,0)"},
        {PlaybackControlDialog::ID_STEP, "Step"},
        {PlaybackControlDialog::ID_NEXT, "PlayNextFile"},
        {PlaybackControlDialog::ID_CAPTURE, "ShowCaptureMenu"},
        {PlaybackControlDialog::ID_DEFOG, "DefogCurrentFrame(0)"},
    };
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.id);
        TimerWasRunning();
        fakeView.calls.clear();
        runningAtCall.clear();
        SendCommand(button.id);
        EXPECT_EQ(fakeView.calls, std::vector<std::string>{button.call});
        EXPECT_EQ(runningAtCall, std::vector<BOOL>{TRUE});
    }
    // The rest of the bar's range only restarts the countdown; beyond it nothing happens.
    fakeView.calls.clear();
    for (const UINT id : {23001u, 23011u, 23500u}) {
        TimerWasRunning();
        SendCommand(id);
        EXPECT_TRUE(TimerWasRunning()) << id;
    }
    SendCommand(23501);
    EXPECT_FALSE(TimerWasRunning());
    EXPECT_TRUE(fakeView.calls.empty());

    // A real click on the play button, with the button on the screen, where the mouse can reach it.
    bar.SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    CWnd* play = Control(PlaybackControlDialog::ID_PLAY);
    CRect rect;
    play->GetClientRect(&rect);
    Click(play->m_hWnd, QPoint(rect.CenterPoint().x, rect.CenterPoint().y));
    ASSERT_TRUE(WaitFor([&] { return !fakeView.calls.empty(); }));
    EXPECT_EQ(fakeView.calls, std::vector<std::string>{"Play"});
    EXPECT_EQ(runningAtCall.back(), TRUE);
}

TEST_F(ControlBarTest, ShowingAndMovingTheMouseOverTheBarStartTheCountdown) {
    EXPECT_FALSE(TimerWasRunning());
    bar.ShowWindow(SW_SHOW);
    EXPECT_TRUE(TimerWasRunning());
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(TimerWasRunning());
}

TEST_F(ControlBarTest, TheBarHidesWhenTheCursorLeavesTheBottomOfAMonitorBelowThePrimary) {
    g_monitorLeft = 0;
    g_monitorTop = 1080;
    g_monitorHeight = 1024;
    bar.PlaceAtBottom(1280, 1024);
    bar.ShowWindow(SW_SHOW);
    const int reachTop = 1080 + 1024 - 70;

    SetCursorPos(600, reachTop);
    bar.SendMessage(WM_TIMER, 0);
    EXPECT_TRUE(bar.IsWindowVisible()) << "within the bottom 70 pixels the bar stays";
    EXPECT_TRUE(TimerWasRunning()) << "and checks again later";

    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SetCursorPos(600, reachTop - 1);
    bar.SendMessage(WM_TIMER, 0);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(TimerWasRunning()) << "the countdown ends with the bar";

    // On a monitor above the primary one.
    g_monitorTop = -1024;
    bar.ShowWindow(SW_SHOW);
    SetCursorPos(600, -30);
    bar.SendMessage(WM_TIMER, 0);
    EXPECT_TRUE(bar.IsWindowVisible());
    SetCursorPos(600, -500);
    bar.SendMessage(WM_TIMER, 0);
    EXPECT_FALSE(bar.IsWindowVisible());
}

TEST_F(ControlBarTest, PlacedAtTheBottomOfTheMonitorOfTheMainWindow) {
    g_monitorLeft = 1920;
    g_monitorTop = 1080;
    bar.PlaceAtBottom(1281, 1024);
    EXPECT_EQ(BarRect(), CRect(1920 + 140, 1080 + 1024 - 80, 1920 + 140 + 1000, 1080 + 1024));
    EXPECT_FALSE(bar.IsWindowVisible()) << "placed, not shown";

    PlaybackControlDialog withoutSkin;
    ASSERT_TRUE(withoutSkin.Create(PlaybackControlDialog::IDD, &view));
    CRect before;
    withoutSkin.GetWindowRect(&before);
    withoutSkin.CreateControls();
    withoutSkin.PlaceAtBottom(1281, 1024);
    CRect after;
    withoutSkin.GetWindowRect(&after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(withoutSkin.GetDlgItem(PlaybackControlDialog::ID_BACKGROUND), nullptr);
}

TEST_F(ControlBarTest, SpeedPlayButtonAndUnitLabels) {
    const struct {
        int speed;
        const wchar_t* text;
    } speeds[] = {{-1, L"    ---"}, {57, L"    57"}, {0, L"    0"}};
    for (const auto& speed : speeds) {
        bar.SetSpeed(speed.speed);
        CString text;
        Control(PlaybackControlDialog::ID_SPEED_READOUT)->GetWindowText(text);
        EXPECT_EQ(std::wstring(text), speed.text);
        EXPECT_EQ(bar.GetSpeed(), speed.speed);
    }
    const auto visible = [&](UINT id) { return (Control(id)->GetStyle() & WS_VISIBLE) != 0; };
    const struct {
        int flag;
        bool play;
    } buttons[] = {{0, false}, {1, true}, {2, false}, {1, true}, {-1, false}};
    for (const auto& button : buttons) {
        bar.ShowPlayButton(button.flag);
        EXPECT_EQ(visible(PlaybackControlDialog::ID_PLAY), button.play) << button.flag;
        EXPECT_EQ(visible(PlaybackControlDialog::ID_PAUSE), !button.play) << button.flag;
    }
    const struct {
        int unit;
        bool unitB;
    } units[] = {{1, true}, {0, false}, {2, false}, {1, true}};
    for (const auto& unit : units) {
        bar.SetSpeedUnit(unit.unit);
        EXPECT_EQ(visible(PlaybackControlDialog::ID_UNIT_B), unit.unitB) << unit.unit;
        EXPECT_EQ(visible(PlaybackControlDialog::ID_UNIT_A), !unit.unitB) << unit.unit;
    }
}

TEST_F(ControlBarTest, KeysOfTheBar) {
    bar.ShowWindow(SW_SHOW);
    const struct {
        UINT message;
        UINT key;
        int selectedChannel;
        BOOL swallowed;
        const char* call;
        size_t toggles;
    } cases[] = {
        {WM_KEYDOWN, VK_RETURN, 65535, TRUE, nullptr, 0},
        {WM_KEYDOWN, VK_ESCAPE, 0, TRUE, nullptr, 0},
        {WM_KEYUP, VK_ESCAPE, 0, FALSE, "SetScreenMode(0,0)", 0},
        {WM_KEYUP, VK_ESCAPE, 1, FALSE, "SetScreenMode(1,0)", 0},
        {WM_KEYUP, VK_ESCAPE, 2, FALSE, nullptr, 0},
        {WM_KEYUP, VK_ESCAPE, 3, FALSE, nullptr, 0},
        {WM_KEYUP, VK_ESCAPE, 65535, FALSE, nullptr, 0},
        {WM_KEYDOWN, VK_SPACE, 65535, FALSE, nullptr, 0},
        {WM_KEYUP, VK_SPACE, 65535, FALSE, nullptr, 1},
        {WM_KEYUP, VK_RETURN, 0, FALSE, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.key << " " << c.selectedChannel);
        SelectChannel(c.selectedChannel);
        // On the bar, and on a slider, from which the walk goes up through the background to the bar.
        for (const HWND target : {bar.m_hWnd, bar.GetSeekSlider().m_hWnd}) {
            fakeView.calls.clear();
            view.log.clear();
            MSG message{};
            message.hwnd = target;
            message.message = c.message;
            message.wParam = c.key;
            EXPECT_EQ(CWnd::WalkPreTranslateTree(&message), c.swallowed);
            EXPECT_EQ(fakeView.calls,
                      c.call != nullptr ? std::vector<std::string>{c.call} : std::vector<std::string>{});
            EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), c.toggles);
            EXPECT_TRUE(bar.IsWindowVisible()) << "no key closes the bar";
        }
    }
}

TEST_F(ControlBarTest, SpaceHeldDownTogglesOnceWhenReleased) {
    bar.ShowWindow(SW_SHOW);
    QWidget* widget = WidgetFromHandle(bar.GetPlaybackSpeedLabel().m_hWnd);
    const auto key = [widget](QEvent::Type type, bool autoRepeat) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QString(), autoRepeat);
        QCoreApplication::sendEvent(widget, &event);
    };
    key(QEvent::KeyPress, false);
    for (int repeat = 0; repeat < 3; ++repeat) {
        key(QEvent::KeyRelease, true);
        key(QEvent::KeyPress, true);
    }
    EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), 0u);
    key(QEvent::KeyRelease, false);
    EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), 1u);
}

TEST_F(ControlBarTest, AltF4EndsTheProgramOutsideTheBarsHandler) {
    bar.ShowWindow(SW_SHOW);
    MainWindowOfTheProgram program(main);
    MSG message{};
    message.hwnd = bar.m_hWnd;
    message.message = WM_SYSKEYDOWN;
    message.wParam = VK_F1 + 3;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(&message));
    EXPECT_NE(main.m_hWnd, nullptr);
    ASSERT_TRUE(WaitFor([&] { return main.m_hWnd == nullptr; }));
}

} // namespace

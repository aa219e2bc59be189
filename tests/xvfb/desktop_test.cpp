// The program on a real X screen under a window manager, where the offscreen platform has no
// say: a minimised first instance brought back by a second start, and the docked playlist where
// the screen shows it. What the screen shows is read over a connection of the test's own.

#include "uitest.h"
#include "xscreen.h"

#include "platform/ui/qtaccess.h"
#include "viewer/app/viewerapp.h"
#include "viewer/ui/childview.h"
#include "viewer/ui/mainframe.h"
#include "viewer/ui/playlistdlg.h"

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

namespace {

// Only a failure limit: every wait ends as soon as the screen shows what it waits for.
constexpr int kLimit = 30000;

xcb_window_t XWindowOf(HWND window) {
    // Asked each time: Qt makes a new native window when a window's frame changes.
    return static_cast<xcb_window_t>(WidgetFromHandle(window)->winId());
}

class DesktopTest : public testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("TREVO_TEST_DISPLAY") == nullptr) {
            GTEST_SKIP() << "needs the virtual X screen that scripts/xvfb-test makes";
        }
        ASSERT_TRUE(screen.Connected()) << "no X display";
        ASSERT_TRUE(WaitFor([&] { return screen.WindowManagerRunning(); }, kLimit)) << "no window manager";
        application = std::make_unique<CViewerApp>();
        ASSERT_TRUE(application->InitInstance());
        frame = application->GetFrame();
        ASSERT_NE(frame, nullptr);
        view = &frame->GetView();
        // The window manager takes the windows of the start-up in its own time; one it takes later
        // may bring the main window up with it.
        ASSERT_TRUE(
            WaitFor([&] { return Managed(frame->m_hWnd) && Managed(view->GetPlaylist().m_hWnd); }, kLimit))
            << "main " << Describe(frame->m_hWnd) << "\n  playlist " << Describe(view->GetPlaylist().m_hWnd);
    }

    void TearDown() override {
        if (application) {
            application->m_pMainWnd = nullptr;
            application.reset();
        }
        Pump();
    }

    // Mapped, and taken by the window manager as a normal window.
    bool Managed(HWND window) {
        const xcb_window_t x = XWindowOf(window);
        return screen.Viewable(x) && screen.StateOf(x) == XScreen::WmState::Normal;
    }

    bool At(HWND window, int x, int y) {
        return screen.PositionOf(XWindowOf(window)) == XScreen::Point{x, y};
    }

    std::string Describe(HWND window) {
        const xcb_window_t x = XWindowOf(window);
        const XScreen::Point at = screen.PositionOf(x);
        std::ostringstream text;
        text << "window 0x" << std::hex << x << std::dec << ": WM_STATE "
             << static_cast<int>(screen.StateOf(x)) << (screen.Viewable(x) ? ", viewable" : ", not viewable")
             << ", at (" << at.x << ", " << at.y << "), _NET_WM_STATE {";
        for (const std::string& state : screen.NetStatesOf(x)) {
            text << ' ' << state;
        }
        text << " }; active window 0x" << std::hex << screen.ActiveWindow();
        return text.str();
    }

    XScreen screen;
    std::unique_ptr<CViewerApp> application;
    CMainFrame* frame = nullptr;
    CChildView* view = nullptr;
};

// How the user left the first instance's main window before starting the program again.
enum class FirstWindow { Minimised, Covered };

void PrintTo(FirstWindow state, std::ostream* out) {
    *out << (state == FirstWindow::Minimised ? "minimised" : "covered");
}

class SecondStartTest : public DesktopTest, public testing::WithParamInterface<FirstWindow> {};

TEST_P(SecondStartTest, BringsTheFirstInstanceWindowBackOnTopAndActive) {
    ASSERT_TRUE(screen.WindowManagerSupports("_NET_ACTIVE_WINDOW"));
    const xcb_window_t main = XWindowOf(frame->m_hWnd);
    if (GetParam() == FirstWindow::Minimised) {
        frame->ShowWindow(SW_MINIMIZE);
        ASSERT_TRUE(WaitFor([&] { return screen.StateOf(main) == XScreen::WmState::Iconic; }, kLimit))
            << Describe(frame->m_hWnd);
        ASSERT_TRUE(WaitFor([&] { return IsIconic(frame->m_hWnd) != FALSE; }, kLimit));
        EXPECT_FALSE(screen.Viewable(main));
    }
    // Meanwhile another program's window covers the screen and takes the focus, and this process
    // has handled all that came before the loss of its own. Where an iconic window's frame stands
    // in the stacking order is the window manager's affair: nothing of it shows.
    const XScreen::Point size = screen.Size();
    const xcb_window_t other = screen.MapOtherWindow(0, 0, size.x, size.y);
    ASSERT_TRUE(WaitFor(
        [&] {
            return screen.StateOf(other) == XScreen::WmState::Normal && screen.Viewable(other) &&
                   screen.ActiveWindow() == other && GetActiveWindow() == nullptr &&
                   (GetParam() == FirstWindow::Minimised || screen.Above(other, main));
        },
        kLimit))
        << "main " << Describe(frame->m_hWnd) << "\n  other: WM_STATE "
        << static_cast<int>(screen.StateOf(other)) << ", above the main window: " << screen.Above(other, main)
        << "; Qt's active window " << GetActiveWindow();

    QProcess second;
    second.setProgram(QCoreApplication::applicationDirPath() + "/TREVO_VIEWER");
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start();
    ASSERT_TRUE(second.waitForStarted());
    // This process answers the second one from its event loop.
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, kLimit));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    // The window manager shows the first window again, on top and active, and Qt agrees.
    ASSERT_TRUE(WaitFor(
        [&] {
            const xcb_window_t shown = XWindowOf(frame->m_hWnd);
            return Managed(frame->m_hWnd) && screen.ActiveWindow() == shown && screen.Above(shown, other) &&
                   GetActiveWindow() == frame->m_hWnd;
        },
        kLimit))
        << Describe(frame->m_hWnd)
        << "; above the other window: " << screen.Above(XWindowOf(frame->m_hWnd), other)
        << "; Qt's active window " << GetActiveWindow();
    EXPECT_FALSE(IsIconic(frame->m_hWnd));
    for (const std::string& state : screen.NetStatesOf(XWindowOf(frame->m_hWnd))) {
        EXPECT_NE(state, "_NET_WM_STATE_HIDDEN");
    }
}

INSTANTIATE_TEST_SUITE_P(Desktop, SecondStartTest,
                         testing::Values(FirstWindow::Minimised, FirstWindow::Covered),
                         [](const testing::TestParamInfo<FirstWindow>& info) {
                             return info.param == FirstWindow::Minimised ? "Minimised" : "Covered";
                         });

TEST_F(DesktopTest, TheDockedPlaylistStandsAtItsPlaceOnTheScreenAndFollowsTheMainWindow) {
    const HWND main = frame->m_hWnd;
    const HWND playlist = view->GetPlaylist().m_hWnd;
    const auto docked = [&](int x, int y) {
        return At(main, x, y) && At(playlist, x + PlaylistDlg::kDockOffsetX, y + PlaylistDlg::kDockOffsetY);
    };

    // Where the program placed its windows at start-up.
    CRect placed;
    ::GetWindowRect(main, &placed);
    EXPECT_TRUE(WaitFor([&] { return docked(placed.left, placed.top); }, kLimit))
        << "main window at (" << placed.left << ", " << placed.top << ")\n  main " << Describe(main)
        << "\n  playlist " << Describe(playlist);

    // The program moves its window, as a drag on its skin does.
    frame->SetWindowPos(nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(WaitFor([&] { return docked(40, 30); }, kLimit))
        << "main " << Describe(main) << "\n  playlist " << Describe(playlist);

    // The window manager moves it, as a keyboard move or a pager does.
    ASSERT_TRUE(screen.WindowManagerSupports("_NET_MOVERESIZE_WINDOW"));
    screen.AskMove(XWindowOf(main), 200, 100);
    EXPECT_TRUE(WaitFor([&] { return docked(200, 100); }, kLimit))
        << "main " << Describe(main) << "\n  playlist " << Describe(playlist);
    // The program's own idea of the places agrees with the screen.
    CRect moved;
    ::GetWindowRect(playlist, &moved);
    EXPECT_EQ(moved.left, 200 + PlaylistDlg::kDockOffsetX);
    EXPECT_EQ(moved.top, 100 + PlaylistDlg::kDockOffsetY);
}

} // namespace

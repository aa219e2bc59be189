#include "panelsfixture.h"
#include "viewer/ui/playlistdlg.h"
#include "viewer/ui/slideson.h"

namespace {

// A bare panel 120 x 300, created with the view as its parent as the view creates its panels.
class SlideSonTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        panel.m_templateStyle = WS_POPUP;
        panel.m_templateRect = CRect(0, 0, 120, 300);
    }

    CRect MainRect() const {
        CRect rect;
        main.GetWindowRect(&rect);
        return rect;
    }
    CRect PanelRect() const {
        CRect rect;
        panel.GetWindowRect(&rect);
        return rect;
    }

    CSlideSon panel{100, nullptr};
};

TEST_F(SlideSonTest, CreateDocksToTheViewsParentRightOfItWithoutDelay) {
    panel.SetDockMode(SlideRules::DOCK_BELOW, SlideRules::ALIGN_CENTRE, 0);
    panel.SetSlideDelay(40);
    ASSERT_TRUE(panel.Create(100, &view));
    EXPECT_EQ(panel.GetDockMode(), SlideRules::DOCK_RIGHT);
    EXPECT_EQ(panel.GetSlideDelay(), 0);
    EXPECT_EQ(panel.GetDockParent(), &main);
    EXPECT_FALSE(panel.IsWindowVisible());
}

TEST_F(SlideSonTest, OpeningRightOfTheMainWindowLandsThereOnTheScreenAtOnce) {
    ASSERT_TRUE(panel.Create(100, &view));
    panel.BeginSlide(CRect(0, 0, 500, 200));
    const CRect mainRect = MainRect();
    EXPECT_EQ(PanelRect(),
              CRect(mainRect.right, mainRect.top + 4, mainRect.right + 120, mainRect.bottom - 4));
    EXPECT_TRUE(panel.IsWindowVisible());
    panel.Slide();
    EXPECT_EQ(PanelRect(),
              CRect(mainRect.right, mainRect.top + 4, mainRect.right + 120, mainRect.bottom - 4));

    main.MoveWindow(300, 150, 900, 600);
    panel.DockToParent();
    EXPECT_EQ(PanelRect(), CRect(1200, 150, 1320, 150 + mainRect.Height() - 8))
        << "beside the top right corner, keeping its size";
}

TEST_F(SlideSonTest, ASlideDownWithDelayTakesOneStepPerTimerExpiry) {
    ASSERT_TRUE(panel.Create(100, &view));
    panel.SetDockMode(SlideRules::DOCK_BELOW, SlideRules::ALIGN_CENTRE, 0);
    panel.SetSlideDelay(60000);
    const CRect mainRect = MainRect();
    panel.BeginSlide(CRect(0, 0, 500, 200));
    // Centred by the width it had before, hidden behind the main window's bottom edge.
    EXPECT_EQ(PanelRect(), CRect(CPoint(mainRect.left + (mainRect.Width() - 120) / 2, mainRect.bottom - 300),
                                 CSize(500, 200)));

    panel.Slide();
    const int left = mainRect.left + (mainRect.Width() - 500) / 2;
    EXPECT_EQ(PanelRect(), CRect(CPoint(left, mainRect.bottom - 200), CSize(500, 200)));
    EXPECT_TRUE(panel.IsWindowVisible());
    for (int step = 1; step <= 40; ++step) {
        panel.SendMessage(WM_TIMER, CSlideSon::kSlideStepTimer);
        ASSERT_EQ(PanelRect().top, mainRect.bottom - 200 + 5 * step) << step;
    }
    panel.SendMessage(WM_TIMER, CSlideSon::kSlideStepTimer);
    EXPECT_EQ(PanelRect(), CRect(CPoint(left, mainRect.bottom), CSize(500, 200))) << "the slide has ended";
}

TEST_F(SlideSonTest, DockingStopsASlideStillUnderWay) {
    ASSERT_TRUE(panel.Create(100, &view));
    panel.SetDockMode(SlideRules::DOCK_BELOW, SlideRules::ALIGN_LEFT, 0);
    panel.SetSlideDelay(60000);
    panel.Slide();
    panel.SendMessage(WM_TIMER, CSlideSon::kSlideStepTimer);
    const CRect mainRect = MainRect();
    panel.DockToParent();
    const CRect docked(CPoint(mainRect.left, mainRect.bottom), CSize(120, 300));
    EXPECT_EQ(PanelRect(), docked);
    panel.SendMessage(WM_TIMER, CSlideSon::kSlideStepTimer);
    EXPECT_EQ(PanelRect(), docked) << "no step of the earlier slide moves it again";
}

TEST_F(PanelTest, ThePlaylistFollowsTheMainWindowAtItsOwnPlace) {
    FakePlaylistView fakeView;
    PlaylistDlg playlist;
    ASSERT_TRUE(playlist.Create(PlaylistDlg::IDD, &view));
    playlist.SetView(&fakeView);
    playlist.SetResStorage(&Skin());
    playlist.CreateControls();
    playlist.ShowWindow(SW_SHOW);
    const CSize size = Skin().GetComponentRect(CID_PLAYLIST_PANEL, CRect()).Size();

    playlist.ShowWindow(SW_HIDE);
    playlist.SetWindowPos(nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);

    // Opened, it appears at its own place on the main window, at the size of its skin component,
    // wholly within the main window.
    playlist.BeginSlide(Skin().GetComponentRect(CID_PLAYLIST_PANEL, CRect()));
    CRect rect;
    playlist.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(CPoint(kMainLeft + 905, kMainTop + 393), size));
    EXPECT_TRUE(playlist.IsWindowVisible());
    const CSize mainSize = Skin().GetComponentRect(CID_MAIN_WINDOW, CRect()).Size();
    EXPECT_LE(rect.bottom, kMainTop + mainSize.cy);
    EXPECT_LE(rect.right, kMainLeft + mainSize.cx);
    // Its slide does not move it.
    playlist.Slide();
    playlist.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(kMainLeft + 905, kMainTop + 393));

    main.MoveWindow(50, 60, mainSize.cx, mainSize.cy);
    playlist.DockToParent();
    playlist.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(CPoint(50 + 905, 60 + 393), size));
    EXPECT_TRUE(playlist.IsWindowVisible());
}

} // namespace

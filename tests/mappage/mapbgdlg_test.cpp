#include "panelsfixture.h"
#include "platform/ui/qtaccess.h"
#include "viewer/app/globals.h"
#include "viewer/ui/mapbgdlg.h"

#include <QWidget>

namespace {

constexpr int kPageTimeout = 60000;

class MapPanelTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_TRUE(panel.Create(MapBGDlg::IDD, &view));
        panel.SetResStorage(&Skin());
        panel.CreateControls();
        panel.ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        g_sizingHitCode = 0;
        PanelTest::TearDown();
    }

    CRect ChildRect(CWnd& child) {
        CRect rect;
        child.GetWindowRect(&rect);
        panel.ScreenToClient(&rect);
        return rect;
    }
    CRect PanelRect() {
        CRect rect;
        panel.GetWindowRect(&rect);
        return rect;
    }

    bool online = true;
    MapBGDlg panel{[this] { return online; }};
};

} // namespace

TEST(MapPanelRules, TheOutlineFollowsTheDraggedEdgesAndKeepsTheMinimumSize) {
    const CRect start(100, 50, 460, 375);
    const CSize minimum(360, 325);
    const struct {
        int hit;
        int dx;
        int dy;
        CRect sized;
        CRect released;
    } cases[] = {
        {HTRIGHT, 40, 99, {100, 50, 500, 375}, {100, 50, 500, 375}},
        {HTLEFT, -30, 7, {70, 50, 460, 375}, {70, 50, 460, 375}},
        {HTTOP, 5, -20, {100, 30, 460, 375}, {100, 30, 460, 375}},
        {HTBOTTOMRIGHT, 20, 30, {100, 50, 480, 405}, {100, 50, 480, 405}},
        // Too small: the side opposite the dragged edge stays where it was.
        {HTRIGHT, -100, 0, {100, 50, 360, 375}, {100, 50, 460, 375}},
        {HTLEFT, 100, 0, {200, 50, 460, 375}, {100, 50, 460, 375}},
        {HTTOPLEFT, 50, 60, {150, 110, 460, 375}, {100, 50, 460, 375}},
        {HTBOTTOMLEFT, 10, -10, {110, 50, 460, 365}, {100, 50, 460, 375}},
        {HTBOTTOM, 0, -400, {100, 50, 460, -25}, {100, 50, 460, 375}},
    };
    for (const auto& c : cases) {
        const CRect sized = MapBGDlg::SizingRect(c.hit, start, c.dx, c.dy);
        EXPECT_EQ(sized, c.sized) << c.hit << " " << c.dx << "," << c.dy;
        EXPECT_EQ(MapBGDlg::ReleasedRect(c.hit, sized, minimum), c.released)
            << c.hit << " " << c.dx << "," << c.dy;
    }
}

TEST_F(MapPanelTest, TheBuilderPlacesThePageInsideHiddenGripsAndDocksOnTheMainWindow) {
    EXPECT_EQ(PanelRect().Size(), Skin().GetComponentRect(CID_MAP_PANEL, CRect()).Size());
    EXPECT_EQ(ChildRect(panel.GetPage()), Skin().GetComponentRect(CID_MAP_PAGE, CRect()));
    for (const UINT id :
         {MapBGDlg::kGripTopId, MapBGDlg::kGripLeftId, MapBGDlg::kGripRightId, MapBGDlg::kGripBottomId}) {
        EXPECT_FALSE(panel.GetGrip(id).IsWindowVisible()) << id;
    }
    CWnd* close = panel.GetGrip(MapBGDlg::kGripTopId).GetDlgItem(MapBGDlg::kCloseId);
    ASSERT_NE(close, nullptr) << "the close button lies on the top grip";
    EXPECT_FALSE(close->IsWindowVisible());
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(MapBGDlg::kCloseId, BN_CLICKED), 0);
    EXPECT_FALSE(panel.IsWindowVisible());

    panel.ShowWindow(SW_SHOW);
    panel.DockToParent();
    CRect mainRect;
    main.GetWindowRect(&mainRect);
    EXPECT_TRUE(
        WaitFor([&] { return PanelRect().TopLeft() == CPoint(mainRect.left + 905, mainRect.top + 60); }));
}

TEST_F(MapPanelTest, OnlyItsOwnGripResizesThePanel) {
    const CRect before = PanelRect();
    // A hit code another window's grip left behind, and a drag over a bare spot of the panel.
    g_sizingHitCode = HTRIGHT;
    SendMouse(panel.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(4, 100), Qt::LeftButton);
    SendMouse(panel.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(80, 100), Qt::LeftButton);
    SendMouse(panel.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(80, 100), Qt::NoButton);
    EXPECT_EQ(PanelRect(), before);

    CStaticEx& grip = panel.GetGrip(MapBGDlg::kGripRightId);
    grip.ShowWindow(SW_SHOW);
    SendMouse(grip.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(6, 100), Qt::LeftButton);
    ASSERT_EQ(g_sizingHitCode, HTRIGHT);
    SendMouse(grip.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(46, 100), Qt::LeftButton);
    EXPECT_EQ(PanelRect(), before) << "the panel keeps its size while the outline shows the new one";
    SendMouse(grip.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(46, 100), Qt::NoButton);
    EXPECT_EQ(PanelRect(), CRect(before.left, before.top, before.right + 40, before.bottom));
    EXPECT_EQ(g_sizingHitCode, 0);
    EXPECT_EQ(ChildRect(panel.GetPage()).Width(),
              Skin().GetComponentRect(CID_MAP_PAGE, CRect()).Width() + 40);
}

TEST_F(MapPanelTest, TheForwardersReachThePageOnceItIsBuilt) {
    ASSERT_TRUE(WaitFor([&] { return panel.GetPage().Logic().IsPageLoaded(); }, kPageTimeout));
    EXPECT_EQ(panel.IsMapReady(), 1);
    EXPECT_EQ(panel.MoveTo(37.5, 127.0), 1);
    online = false;
    EXPECT_EQ(panel.IsMapReady(), -1);
    EXPECT_EQ(panel.MoveTo(37.5, 127.0), 0);
}

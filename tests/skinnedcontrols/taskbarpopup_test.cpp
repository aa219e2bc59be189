#include "platform/ui/qtaccess.h"
#include "platform/ui/screen.h"
#include "skintest.h"
#include "uitest.h"
#include "viewer/app/globals.h"
#include "viewer/skin/taskbarpopup.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(TaskbarPopupTest, EdgeFollowsTheTaskbar) {
    struct Case {
        RECT work;
        CTaskbarPopup::Direction edge;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1080}, CTaskbarPopup::FROM_BOTTOM}, {{0, 0, 1920, 1040}, CTaskbarPopup::FROM_BOTTOM},
        {{60, 0, 1920, 1080}, CTaskbarPopup::FROM_LEFT},  {{0, 0, 1860, 1080}, CTaskbarPopup::FROM_RIGHT},
        {{0, 40, 1920, 1080}, CTaskbarPopup::FROM_TOP},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTaskbarPopup::ChooseEdge(c.work, 1920, 1080), c.edge) << c.work.left << "," << c.work.top;
    }
}

TEST(TaskbarPopupTest, RegionLeavesOutTheColourOverTheFullWidth) {
    const COLORREF o = RGB(1, 1, 1);
    HBITMAP bitmap = MakeBitmap({{o, o, o, o, o, kKey}, {kKey, o, o, o, o, o}});
    HRGN region = CTaskbarPopup::CreateRgnFromBitmap(bitmap, 255, 0, 255);
    ASSERT_NE(region, nullptr);
    EXPECT_FALSE(PtInRegion(region, 5, 0));
    EXPECT_TRUE(PtInRegion(region, 5, 1)) << "the sixth column belongs to the window";
    EXPECT_FALSE(PtInRegion(region, 0, 1));
    DeleteObject(region);
    DeleteObject(bitmap);
}

class TaskbarPopupWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 50, 50)));
        ASSERT_TRUE(popup.Create(&parent));
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        savedWidth = g_screenWidth;
        savedHeight = g_screenHeight;
        // The work area fills the screen: the pop-up rises from the bottom.
        g_screenWidth = work.right - work.left;
        g_screenHeight = work.bottom - work.top;
    }
    void TearDown() override {
        g_screenWidth = savedWidth;
        g_screenHeight = savedHeight;
    }
    void Tick(UINT_PTR timer) { popup.SendMessage(WM_TIMER, timer, 0); }

    TestWindow parent;
    CTaskbarPopup popup;
    RECT work{};
    int savedWidth = 0;
    int savedHeight = 0;
};

TEST_F(TaskbarPopupWindowTest, ShowWithoutAPictureDoesNothing) {
    EXPECT_FALSE(popup.SetSkin(static_cast<HBITMAP>(nullptr)));
    popup.Show(L"card", 500, 15000, 500);
    EXPECT_EQ(popup.GetState(), CTaskbarPopup::STATE_HIDDEN);
    EXPECT_FALSE(popup.IsWindowVisible());
}

TEST_F(TaskbarPopupWindowTest, SlidesInWaitsAndSlidesOutOnItsTimers) {
    ASSERT_TRUE(popup.SetSkin(MakeSolidBitmap(200, 83, RGB(40, 40, 40))));
    popup.Show(L"card", 500, 15000, 500);
    EXPECT_EQ(popup.GetShowStepDelay(), 12u) << "41 steps in 500 ms";
    EXPECT_EQ(popup.GetPosition(), CPoint(work.right - 200, work.bottom));
    int ticks = 0;
    while (popup.GetState() != CTaskbarPopup::STATE_WAITING && ticks < 100) {
        const int before = popup.GetPosition().y;
        Tick(CTaskbarPopup::TIMER_APPEAR);
        ++ticks;
        if (popup.GetState() == CTaskbarPopup::STATE_APPEARING) {
            EXPECT_EQ(popup.GetPosition().y, before - 2);
        }
    }
    EXPECT_EQ(ticks, 43) << "42 steps of 2 pixels, then the tick that finds none left";
    EXPECT_EQ(popup.GetPosition().y, work.bottom - 84) << "the odd height overshoots by one";
    CRect placed;
    popup.GetWindowRect(&placed);
    EXPECT_EQ(placed, CRect(work.right - 200, work.bottom - 84, work.right, work.bottom - 1));

    // A second Show while waiting keeps it up with the new text.
    popup.Show(L"other card", 500, 15000, 500);
    EXPECT_EQ(popup.GetState(), CTaskbarPopup::STATE_WAITING);

    Tick(CTaskbarPopup::TIMER_WAIT);
    Tick(CTaskbarPopup::TIMER_HIDE);
    EXPECT_EQ(popup.GetState(), CTaskbarPopup::STATE_HIDING);
    EXPECT_EQ(popup.GetPosition().y, work.bottom - 82);
    // Show while hiding puts it back in its place and waits again.
    popup.Show(L"again", 500, 15000, 500);
    EXPECT_EQ(popup.GetPosition().y, work.bottom - 83);
    EXPECT_EQ(popup.GetState(), CTaskbarPopup::STATE_WAITING);

    Tick(CTaskbarPopup::TIMER_WAIT);
    for (int i = 0; i < 100 && popup.GetState() != CTaskbarPopup::STATE_HIDDEN; ++i) {
        Tick(CTaskbarPopup::TIMER_HIDE);
    }
    EXPECT_EQ(popup.GetState(), CTaskbarPopup::STATE_HIDDEN);
    EXPECT_FALSE(popup.IsWindowVisible());
}

TEST_F(TaskbarPopupWindowTest, RunsOnRealTimersAndAClickPostsToTheParent) {
    ASSERT_TRUE(popup.SetSkin(MakeSolidBitmap(20, 8, RGB(40, 40, 40))));
    popup.Show(L"card", 40, 50, 40);
    ASSERT_TRUE(WaitFor([&] { return popup.GetState() == CTaskbarPopup::STATE_WAITING; }));
    Click(popup.m_hWnd, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([&] { return !parent.Only({WM_NOTIFIER_CLICKED}).empty(); }));
    Pump(20);
    EXPECT_EQ(parent.Only({WM_NOTIFIER_CLICKED}).size(), 1u);
    EXPECT_EQ(WM_NOTIFIER_CLICKED, 1147u);
    ASSERT_TRUE(WaitFor([&] { return popup.GetState() == CTaskbarPopup::STATE_HIDDEN; }))
        << "the wait ends and the pop-up slides out";
}

} // namespace

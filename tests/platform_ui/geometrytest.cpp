// Placing, stacking, showing, enabling and focusing windows.

#include "uitest.h"

#include "platform/ui/qtaccess.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(Geometry, MovesAndSizesAreReportedOnceInParentCoordinates) {
    TestWindow parent;
    TestWindow child;
    ASSERT_TRUE(parent.CreateTop(CRect(100, 50, 400, 350)));
    ASSERT_TRUE(child.CreateChild(&parent, CRect(10, 20, 60, 50), 1));
    child.log.clear();
    child.MoveWindow(30, 40, 100, 80);
    const std::vector<LoggedMessage> sizes = child.Only({WM_SIZE});
    const std::vector<LoggedMessage> moves = child.Only({WM_MOVE});
    ASSERT_EQ(sizes.size(), 1u);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(100, 80));
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(30, 40));

    CRect window;
    child.GetWindowRect(&window);
    EXPECT_EQ(window, CRect(130, 90, 230, 170));
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 100, 80));
    CPoint point(5, 6);
    child.ClientToScreen(&point);
    EXPECT_EQ(point, CPoint(135, 96));
    parent.ScreenToClient(&point);
    EXPECT_EQ(point, CPoint(35, 46));

    // Keeping the size or the place.
    child.log.clear();
    child.SetWindowPos(nullptr, 0, 0, 10, 10, SWP_NOSIZE | SWP_NOZORDER);
    child.SetWindowPos(nullptr, 99, 99, 50, 60, SWP_NOMOVE | SWP_NOZORDER);
    child.GetWindowRect(&window);
    parent.ScreenToClient(&window);
    EXPECT_EQ(window, CRect(0, 0, 50, 60));
    EXPECT_EQ(child.Only({WM_SIZE}).size(), 1u);
    EXPECT_EQ(child.Only({WM_MOVE}).size(), 1u);
}

TEST(Geometry, InsertAfterPutsAWindowDirectlyBehindItsSibling) {
    TestWindow parent;
    TestWindow first;
    TestWindow second;
    TestWindow third;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 200, 200)));
    for (TestWindow* child : {&first, &second, &third}) {
        ASSERT_TRUE(child->CreateChild(&parent, CRect(0, 0, 50, 50), 1));
    }
    const auto order = [&] {
        std::vector<HWND> stacked;
        for (QObject* object : WidgetFromHandle(parent.m_hWnd)->children()) {
            if (auto* widget = qobject_cast<QWidget*>(object)) {
                stacked.push_back(HandleFromWidget(widget));
            }
        }
        return stacked;
    };
    EXPECT_EQ(order(), (std::vector<HWND>{first.m_hWnd, second.m_hWnd, third.m_hWnd}));
    EXPECT_TRUE(third.SetWindowPos(&first, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE));
    EXPECT_EQ(order(), (std::vector<HWND>{third.m_hWnd, first.m_hWnd, second.m_hWnd}));
    first.SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_EQ(order().back(), first.m_hWnd);

    TestWindow popup;
    ASSERT_TRUE(popup.CreateTop(CRect(0, 0, 20, 20), WS_POPUP | WS_VISIBLE, &parent));
    popup.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    EXPECT_NE(popup.GetExStyle() & WS_EX_TOPMOST, 0u);
    EXPECT_TRUE(WidgetFromHandle(popup.m_hWnd)->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(popup.IsWindowVisible());
}

TEST(Geometry, ShowingEnablingAndFocusingTellTheWindow) {
    TestWindow parent;
    TestWindow child;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 200, 200)));
    ASSERT_TRUE(child.CreateChild(&parent, CRect(0, 0, 50, 50), 1, 0));
    EXPECT_FALSE(child.IsWindowVisible());
    EXPECT_FALSE(child.ShowWindow(SW_SHOW));
    EXPECT_TRUE(child.IsWindowVisible());
    EXPECT_TRUE(child.ShowWindow(SW_SHOW));
    EXPECT_EQ(child.Only({WM_SHOWWINDOW}).size(), 1u);
    parent.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());
    parent.ShowWindow(SW_SHOW);

    EXPECT_FALSE(child.EnableWindow(FALSE));
    EXPECT_FALSE(child.IsWindowEnabled());
    EXPECT_TRUE(child.EnableWindow(TRUE));
    const std::vector<LoggedMessage> enables = child.Only({WM_ENABLE});
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_EQ(enables[0].wParam, 0u);
    EXPECT_EQ(enables[1].wParam, 1u);

    child.SetFocus();
    ASSERT_TRUE(WaitFor([&] { return CWnd::GetFocus() == &child; }));
    EXPECT_EQ(child.Only({WM_SETFOCUS}).size(), 1u);
    TestWindow other;
    ASSERT_TRUE(other.CreateChild(&parent, CRect(60, 0, 100, 50), 2));
    EXPECT_EQ(other.SetFocus(), &child);
    const std::vector<LoggedMessage> lost = child.Only({WM_KILLFOCUS});
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(lost[0].wParam), other.m_hWnd);
}

} // namespace

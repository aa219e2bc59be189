// What a frame changes on its top-level window after creation: its caption and border, its
// minimum tracking size and its menu (its icon, one of the program's resources, is tested with
// them in tests/boxes).

#include "uitest.h"

#include "platform/ui/menu.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/screen.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(Frames, CaptionAndBorderTakenAwayAfterCreationLeaveAFramelessWindow) {
    TestWindow frame;
    ASSERT_TRUE(frame.CreateTop(CRect(50, 60, 450, 360), (WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX) | WS_VISIBLE));
    QWidget* widget = WidgetFromHandle(frame.m_hWnd);
    EXPECT_EQ(frame.GetStyle() & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(widget->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(widget->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(widget->windowFlags() & Qt::WindowMinimizeButtonHint);
    CRect before;
    frame.GetWindowRect(&before);

    EXPECT_TRUE(frame.ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED));
    widget = WidgetFromHandle(frame.m_hWnd);
    EXPECT_EQ(frame.GetStyle() & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_TRUE(widget->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(widget->isVisible());
    CRect after;
    frame.GetWindowRect(&after);
    EXPECT_EQ(after, before);
    CRect client;
    frame.GetClientRect(&client);
    EXPECT_EQ(client.Size(), after.Size()) << "without a frame the client is the whole window";
}

TEST(Frames, TheMinimumTrackingSizeHolds) {
    TestWindow frame;
    frame.handler = [](UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_GETMINMAXINFO) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{975, 490};
        }
        return false;
    };
    ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 1200, 700), WS_POPUP));
    frame.MoveWindow(10, 20, 500, 300);
    CRect rect;
    frame.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(10, 20, 985, 510));
    frame.SetWindowPos(nullptr, 0, 0, 1000, 400, SWP_NOMOVE | SWP_NOZORDER);
    frame.GetWindowRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(1000, 490));
    // The desktop's own sizing keeps to it from the window's showing on.
    frame.ShowWindow(SW_SHOW);
    EXPECT_EQ(WidgetFromHandle(frame.m_hWnd)->minimumSize(), QSize(975, 490));
}

TEST(Frames, AMenuIsTheWindowsUntilTakenAway) {
    TestWindow frame;
    TestWindow child;
    ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 200, 100), WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(child.CreateChild(&frame, CRect(0, 0, 10, 10), 1));
    const HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 57664, L"About"));
    EXPECT_EQ(GetMenu(frame.m_hWnd), nullptr);
    EXPECT_TRUE(SetMenu(frame.m_hWnd, menu));
    EXPECT_FALSE(SetMenu(child.m_hWnd, menu)) << "children have no menus";
    EXPECT_EQ(GetMenu(frame.m_hWnd), menu);

    // The frame's way: take it, set none, destroy the old one.
    const HMENU old = GetMenu(frame.m_hWnd);
    EXPECT_TRUE(SetMenu(frame.m_hWnd, nullptr));
    EXPECT_EQ(GetMenu(frame.m_hWnd), nullptr);
    EXPECT_TRUE(DestroyMenu(old));

    // A menu still set goes with its window.
    const HMENU kept = CreatePopupMenu();
    ASSERT_TRUE(SetMenu(frame.m_hWnd, kept));
    frame.DestroyWindow();
    EXPECT_FALSE(DestroyMenu(kept));
}

} // namespace

namespace {

TEST(Frames, AWindowLeftToTheSystemLiesOnThePrimaryScreensWorkArea) {
    TestWindow frame;
    ASSERT_TRUE(frame.CreateEx(0, TestClassName(), L"placed", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr));
    CRect rect;
    frame.GetWindowRect(&rect);
    CRect work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(rect.TopLeft(), work.TopLeft());
    EXPECT_GT(rect.Width(), 0);
    EXPECT_GT(rect.Height(), 0);
    EXPECT_LE(rect.Width(), work.Width());
    EXPECT_LE(rect.Height(), work.Height());
    frame.DestroyWindow();
}

} // namespace

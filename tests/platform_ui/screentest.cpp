// Screens, work area, monitors and the system colours.

#include "uitest.h"

#include "platform/ui/gdiobj.h"
#include "platform/ui/screen.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

TEST(Screen, MetricsAndMonitorsDescribeThePrimaryScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.height());
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), static_cast<int>(QGuiApplication::screens().size()));
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_LE(work.right - work.left, screen.width());

    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(10, 10, 60, 60)));
    const HMONITOR monitor = MonitorFromWindow(window.m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info;
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
    EXPECT_EQ(info.rcMonitor.right - info.rcMonitor.left, screen.width());
    EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
    POINT far{-100000, -100000};
    EXPECT_EQ(MonitorFromPoint(far, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(far, MONITOR_DEFAULTTONEAREST), monitor);
}

TEST(Screen, SystemColoursAreThePlatformsStandardScheme) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_APPWORKSPACE), RGB(171, 171, 171));
    EXPECT_EQ(GetSysColor(COLOR_MENU), RGB(240, 240, 240));
    LOGBRUSH brush;
    ASSERT_NE(GetObjectW(GetSysColorBrush(COLOR_APPWORKSPACE), sizeof(brush), &brush), 0);
    EXPECT_EQ(brush.lbColor, RGB(171, 171, 171));
}

} // namespace

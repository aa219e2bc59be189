// Screens, work area, monitors and the system colours.

#include "uitest.h"

#include "platform/ui/cursor.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/screen.h"
#include "probeprocess.h"

#include "support/testfolder.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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

TEST(Screen, MonitorsBesideAndAboveThePrimaryOneKeepTheirOwnPlace) {
    // A primary screen, one to its right lying higher, and one above it. The offscreen platform
    // takes its screens in the order of their names, the first as the primary one.
    TestFolder folder;
    std::ofstream(folder / "screens.json") << R"({"screens": [
        {"name": "1 right", "x": 1920, "y": -200, "width": 1280, "height": 1024},
        {"name": "2 above", "x": 0, "y": -900, "width": 1600, "height": 900},
        {"name": "0 primary", "x": 0, "y": 0, "width": 1920, "height": 1080}]})";
    const ProbeResult probe =
        RunProbe({"screens", "2000", "100", "400", "300", "1700", "300", "400", "300", "100", "-500", "300", "200",
                  "5000", "5000", "10", "10"},
                 {{"QT_QPA_PLATFORM", "offscreen:configfile=" + (folder / "screens.json").string()}});
    ASSERT_EQ(probe.exitCode, 0);
    std::istringstream lines(probe.output);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "screens 3 primary 1920 1080");
    const char* expected[] = {
        // Wholly on the right-hand monitor, whose top is above the primary's.
        "window monitor 1920 -200 3200 824 work 1920 -200 3200 824 primary 0",
        // Across the edge, mostly on the primary one.
        "window monitor 0 0 1920 1080 work 0 0 1920 1080 primary 1",
        "window monitor 0 -900 1600 0 work 0 -900 1600 0 primary 0",
        // On no monitor: the nearest.
        "window monitor 1920 -200 3200 824 work 1920 -200 3200 824 primary 0",
    };
    for (const char* wanted : expected) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line, wanted);
    }
}

TEST(Screen, TestsPlaceTheCursorWhereGetCursorPosFindsIt) {
    EXPECT_TRUE(SetCursorPos(123, -45));
    POINT point;
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 123);
    EXPECT_EQ(point.y, -45);
    // Until the next mouse event.
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(10, 20, 110, 120)));
    SendMouse(window.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(5, 6), Qt::NoButton);
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 15);
    EXPECT_EQ(point.y, 26);
}

} // namespace

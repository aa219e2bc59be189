// One instance per user session: the event a first instance holds, and a second start handing
// over to it. The second instance is the probe, a process of its own.

#include "uitest.h"

#include "platform/base/lasterror.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/singleinstance.h"
#include "probeprocess.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr const wchar_t* kEventName = L"q7mvtrx2pazk9wd4hsbnf6ljye";
constexpr int kHandedOver = 10;
constexpr int kNoWindow = 11;
constexpr int kFirst = 12;

TEST(SingleInstance, TheFirstHoldsTheEventUntilItLetsGo) {
    const HANDLE first = CreateEventW(nullptr, FALSE, TRUE, kEventName);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    const HANDLE again = CreateEventW(nullptr, FALSE, TRUE, kEventName);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(again));
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));

    const HANDLE next = CreateEventW(nullptr, FALSE, TRUE, kEventName);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(next));
    EXPECT_EQ(CreateEventW(nullptr, FALSE, TRUE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SingleInstance, ASecondStartRestoresAndRaisesTheFirstsWindowOrRunsWhenThereIsNone) {
    const HANDLE event = CreateEventW(nullptr, FALSE, TRUE, kEventName);
    ASSERT_EQ(GetLastError(), ERROR_SUCCESS);

    // Still starting: no window of that title yet, so both run.
    EXPECT_EQ(RunProbe({"second", "TREVO_VIEWER"}).exitCode, kNoWindow);

    TestWindow other;
    TestWindow frame;
    ASSERT_TRUE(other.CreateTop(CRect(0, 0, 100, 100), WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    other.SetWindowText(L"Another window");
    ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 300, 200), WS_POPUP | WS_VISIBLE));
    frame.SetWindowText(L"TREVO_VIEWER");
    frame.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(frame.m_hWnd));
    EXPECT_EQ(FindWindowW(nullptr, L"TREVO_VIEWER"), frame.m_hWnd);

    EXPECT_EQ(RunProbe({"second", "TREVO_VIEWER"}).exitCode, kHandedOver);
    EXPECT_FALSE(IsIconic(frame.m_hWnd));
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(WidgetFromHandle(other.m_hWnd)->isVisible()) << "other windows are left alone";

    EXPECT_TRUE(CloseHandle(event));
    EXPECT_EQ(RunProbe({"second", "TREVO_VIEWER"}).exitCode, kFirst) << "the event is free again";
}

TEST(SingleInstance, AnInstanceThatDiedLeavesNoLockBehind) {
    const ProbeResult crashed = RunProbe({"crash"});
    EXPECT_TRUE(crashed.crashed);
    const HANDLE event = CreateEventW(nullptr, FALSE, TRUE, kEventName);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // And its socket does not keep this instance from answering the next start.
    TestWindow frame;
    ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 300, 200), WS_POPUP | WS_VISIBLE));
    frame.SetWindowText(L"TREVO_VIEWER");
    EXPECT_EQ(RunProbe({"second", "TREVO_VIEWER"}).exitCode, kHandedOver);
    EXPECT_TRUE(CloseHandle(event));
}

} // namespace

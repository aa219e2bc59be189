// Window timers by (window, id).

#include "uitest.h"

#include <gtest/gtest.h>

namespace {

size_t Ticks(const TestWindow& window, UINT_PTR id) {
    size_t count = 0;
    for (const LoggedMessage& logged : window.Only({WM_TIMER})) {
        count += logged.wParam == id ? 1 : 0;
    }
    return count;
}

TEST(Timers, RepeatUntilKilledAndCarryTheirId) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    EXPECT_EQ(window.SetTimer(7, 5), 7u);
    EXPECT_EQ(window.SetTimer(8, 5), 8u);
    ASSERT_TRUE(WaitFor([&] { return Ticks(window, 7) >= 3 && Ticks(window, 8) >= 3; }));
    for (const LoggedMessage& logged : window.Only({WM_TIMER})) {
        EXPECT_EQ(logged.lParam, 0);
    }
    EXPECT_TRUE(window.KillTimer(7));
    EXPECT_FALSE(window.KillTimer(7));
    EXPECT_FALSE(window.KillTimer(99));
    const size_t afterKill = Ticks(window, 7);
    ASSERT_TRUE(WaitFor([&] { return Ticks(window, 8) >= 6; }));
    EXPECT_EQ(Ticks(window, 7), afterKill);
}

TEST(Timers, ZeroPeriodFiresAndSettingAnIdAgainReplacesItsTimer) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    // The handler kills the timer at its first tick: a second timer under the same id would tick
    // on regardless.
    window.handler = [&window](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_TIMER && wParam == 3) {
            window.KillTimer(3);
        }
        return false;
    };
    window.SetTimer(3, 0);
    window.SetTimer(3, 0);
    ASSERT_TRUE(WaitFor([&] { return Ticks(window, 3) == 1; }));
    Pump(80);
    EXPECT_EQ(Ticks(window, 3), 1u);
}

TEST(Timers, EndWithTheirWindow) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    window.SetTimer(1, 1);
    ASSERT_TRUE(WaitFor([&] { return Ticks(window, 1) >= 1; }));
    window.DestroyWindow();
    const size_t ticks = Ticks(window, 1);
    Pump(40);
    EXPECT_EQ(Ticks(window, 1), ticks);
}

} // namespace

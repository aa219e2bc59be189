#include "platform/base/windowshook.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string calls;

LRESULT PassingHookA(int code, WPARAM wParam, LPARAM lParam) {
    calls += "A";
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
LRESULT PassingHookB(int code, WPARAM wParam, LPARAM lParam) {
    calls += "B";
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
LRESULT SwallowingHook(int, WPARAM, LPARAM) {
    calls += "S";
    return 1;
}
LRESULT KeyReadingHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    calls += std::to_string(code) + ":" + std::to_string(wParam) + ":" + std::to_string(event->vkCode);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

KBDLLHOOKSTRUCT Key(DWORD vk) {
    KBDLLHOOKSTRUCT event;
    event.vkCode = vk;
    return event;
}

} // namespace

TEST(WindowsHook, NewestHookRunsFirstAndEachPassesTheKeyOn) {
    calls.clear();
    HHOOK a = SetWindowsHookExW(WH_KEYBOARD_LL, PassingHookA, nullptr, 0);
    HHOOK b = SetWindowsHookExW(WH_KEYBOARD_LL, PassingHookB, nullptr, 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(RunLowLevelKeyboardHooks(0x0100, Key(0x20)));
    EXPECT_EQ(calls, "BA");
    EXPECT_TRUE(UnhookWindowsHookEx(b));
    EXPECT_FALSE(UnhookWindowsHookEx(b));
    calls.clear();
    RunLowLevelKeyboardHooks(0x0101, Key(0x20));
    EXPECT_EQ(calls, "A");
    EXPECT_TRUE(UnhookWindowsHookEx(a));
    calls.clear();
    EXPECT_FALSE(RunLowLevelKeyboardHooks(0x0100, Key(0x20)));
    EXPECT_EQ(calls, "");
}

TEST(WindowsHook, AHookThatAnswersWithoutPassingOnSwallowsTheKey) {
    calls.clear();
    HHOOK a = SetWindowsHookExW(WH_KEYBOARD_LL, PassingHookA, nullptr, 0);
    HHOOK s = SetWindowsHookExW(WH_KEYBOARD_LL, SwallowingHook, nullptr, 0);
    EXPECT_TRUE(RunLowLevelKeyboardHooks(0x0100, Key(0x0D)));
    EXPECT_EQ(calls, "S");
    UnhookWindowsHookEx(s);
    UnhookWindowsHookEx(a);
}

TEST(WindowsHook, TheHookSeesTheActionTheMessageAndTheKey) {
    calls.clear();
    HHOOK k = SetWindowsHookExW(WH_KEYBOARD_LL, KeyReadingHook, nullptr, 0);
    RunLowLevelKeyboardHooks(0x0104, Key(0x41));
    EXPECT_EQ(calls, "0:260:65");
    UnhookWindowsHookEx(k);
}

TEST(WindowsHook, OnlyLowLevelKeyboardHooksExist) {
    EXPECT_EQ(SetWindowsHookExW(2, PassingHookA, nullptr, 0), nullptr);
    EXPECT_EQ(SetWindowsHookExW(WH_KEYBOARD_LL, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(CallNextHookEx(nullptr, HC_ACTION, 0, 0), 0);
}

// The model index, the catalogue's key order and the diagnostic log.
#include "viewer/catalogue/sharedhelpers.h"

#include "platform/base/windowshook.h"

#include "cataloguetestsupport.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

TEST(ModelIndexTest, BelowThreeIsSigned) {
    struct Case {
        int model;
        int below3;
    };
    for (const Case c : {Case{-1, 1}, Case{0, 1}, Case{2, 1}, Case{3, 0}, Case{4, 0}}) {
        ModelIndexScope model(c.model);
        EXPECT_EQ(GetModelIndex(), c.model);
        EXPECT_EQ(ModelIndexBelow3(), c.below3) << c.model;
    }
}

TEST(ModelIndexTest, SetModelIndexReturnsTheIndex) {
    ModelIndexScope model(0);
    EXPECT_EQ(SetModelIndex(3), 3);
    EXPECT_EQ(g_modelIndex.load(), 3);
}

TEST(StringexTest, OrdersByUtf16CodeUnits) {
    // U+1F600 is D83D DE00 in UTF-16: below U+E000 there, above it as a code point.
    const stringex emoji = L"a\U0001F600";
    const stringex privateUse = L"a\uE000";
    const stringex hangul = L"a\uAC00";
    EXPECT_TRUE(emoji < privateUse);
    EXPECT_TRUE(hangul < emoji);
    EXPECT_TRUE(stringex(L"2023_05_24") < stringex(L"2023_05_25"));
    EXPECT_TRUE(stringex(L"ab") < stringex(L"abc"));
    EXPECT_FALSE(stringex(L"abc") < stringex(L"abc"));
    EXPECT_EQ(CompareUtf16(L"a\U0001F600", L"a\U0001F601"), -1);
    EXPECT_EQ(CompareUtf16(L"x", L"x"), 0);

    std::vector<stringex> keys = {privateUse, emoji, hangul};
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<stringex>{hangul, emoji, privateUse}));
}

void FixedClock(SYSTEMTIME* time) {
    *time = SYSTEMTIME{};
    time->wHour = 9;
    time->wMinute = 15;
    time->wSecond = 2;
    time->wMilliseconds = 45;
}

TEST(LogTest, WritesStampedLinesOnlyWhileOpen) {
    TestFolder folder;
    const auto path = folder / "Log.txt";
    const LogClock before = SetLogClock(FixedClock);
    WriteLog(L"closed");
    g_logFile = std::fopen(path.c_str(), "a+");
    ASSERT_NE(g_logFile, nullptr);
    WriteLog(L"abc");
    WriteLog(nullptr);
    CloseLog();
    EXPECT_EQ(g_logFile, nullptr);
    WriteLog(L"after");
    SetLogClock(before);
    EXPECT_EQ(ReadBytes(path), "[09:15:02:045] abc\n");
}

} // namespace

namespace {

struct CountingView : IKeyboardHookView {
    int activity = 0;
    void ViewKeyboardActivity() override { ++activity; }
};

int laterHookCalls = 0;
LRESULT LaterHook(int, WPARAM, LPARAM) {
    ++laterHookCalls;
    return 0;
}

TEST(KeyboardHookTest, EveryKeyReachesTheViewAndIsPassedOn) {
    laterHookCalls = 0;
    HHOOK later = SetWindowsHookExW(WH_KEYBOARD_LL, LaterHook, nullptr, 0);
    HHOOK viewHook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, nullptr, 0);
    KBDLLHOOKSTRUCT key;
    key.vkCode = 0x20;

    // Before the view exists only the rest of the chain sees the key.
    ASSERT_EQ(g_pKeyboardHookView, nullptr);
    EXPECT_FALSE(RunLowLevelKeyboardHooks(0x0100, key));
    EXPECT_EQ(laterHookCalls, 1);

    CountingView view;
    g_pKeyboardHookView = &view;
    EXPECT_FALSE(RunLowLevelKeyboardHooks(0x0100, key));
    EXPECT_FALSE(RunLowLevelKeyboardHooks(0x0101, key));
    g_pKeyboardHookView = nullptr;
    EXPECT_EQ(view.activity, 2);
    EXPECT_EQ(laterHookCalls, 3);

    UnhookWindowsHookEx(viewHook);
    UnhookWindowsHookEx(later);
}

} // namespace

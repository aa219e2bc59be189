#include "platform/base/windowsystem.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingWindowSystem : IWindowSystem {
    struct Call {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Call> sent, posted;
    std::vector<std::wstring> boxes;
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        sent.push_back({window, message, wParam, lParam});
        return 42;
    }
    bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        posted.push_back({window, message, wParam, lParam});
        return true;
    }
    int ShowMessageBox(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        boxes.push_back(text);
        return IDYES;
    }
};

HWND SomeWindow() {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
}

} // namespace

TEST(WindowSystem, WithoutOneNothingIsDeliveredAndQuestionsAreDeclined) {
    ASSERT_EQ(SetWindowSystem(nullptr), nullptr);
    EXPECT_EQ(SendMessage(SomeWindow(), WM_USER, 1, 2), 0);
    EXPECT_EQ(PostMessage(SomeWindow(), WM_USER, 1, 2), FALSE);
    EXPECT_EQ(MessageBox(nullptr, L"Continue?", L"", MB_YESNO), IDCANCEL);
}

TEST(WindowSystem, RoutesToTheInstalledOneButNeverToANullWindow) {
    RecordingWindowSystem fake;
    SetWindowSystem(&fake);
    EXPECT_EQ(SendMessage(SomeWindow(), 10004, 0, 0), 42);
    EXPECT_EQ(PostMessage(SomeWindow(), 10009, 1, 0), TRUE);
    EXPECT_EQ(SendMessage(nullptr, 10004, 0, 0), 0);
    EXPECT_EQ(PostMessage(nullptr, 10009, 1, 0), FALSE);
    EXPECT_EQ(MessageBox(nullptr, L"Continue?", L"", MB_YESNO), IDYES);
    EXPECT_EQ(SetWindowSystem(nullptr), &fake);
    ASSERT_EQ(fake.sent.size(), 1u);
    EXPECT_EQ(fake.sent[0].message, 10004u);
    ASSERT_EQ(fake.posted.size(), 1u);
    EXPECT_EQ(fake.posted[0].wParam, 1u);
    EXPECT_EQ(fake.boxes, std::vector<std::wstring>{L"Continue?"});
}

// Sending, posting and the life of window handles.

#include "uitest.h"

#include "platform/base/windowsystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

constexpr UINT WM_TEST = WM_APP + 1;
constexpr UINT WM_OTHER = WM_APP + 2;

std::vector<WPARAM> TestParameters(const TestWindow& window) {
    std::vector<WPARAM> values;
    for (const LoggedMessage& logged : window.Only({WM_TEST})) {
        values.push_back(logged.wParam);
    }
    return values;
}

TEST(Messages, SentMessagesRunAtOncePostedOnesLaterInPostingOrder) {
    TestWindow first;
    TestWindow second;
    ASSERT_TRUE(first.CreateTop(CRect(0, 0, 50, 50)));
    ASSERT_TRUE(second.CreateTop(CRect(60, 0, 110, 50)));
    std::vector<std::pair<HWND, WPARAM>> order;
    const auto record = [&order](HWND window) {
        return [&order, window](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
            if (message != WM_TEST) {
                return false;
            }
            order.emplace_back(window, wParam);
            result = static_cast<LRESULT>(wParam * 10);
            return true;
        };
    };
    first.handler = record(first.m_hWnd);
    second.handler = record(second.m_hWnd);

    EXPECT_TRUE(PostMessageW(first.m_hWnd, WM_TEST, 1, 0));
    EXPECT_TRUE(PostMessageW(second.m_hWnd, WM_TEST, 2, 0));
    EXPECT_TRUE(first.PostMessage(WM_TEST, 3));
    EXPECT_EQ(SendMessageW(second.m_hWnd, WM_TEST, 4, 0), 40);
    ASSERT_EQ(order.size(), 1u);
    Pump();
    const std::vector<std::pair<HWND, WPARAM>> expected = {
        {second.m_hWnd, 4}, {first.m_hWnd, 1}, {second.m_hWnd, 2}, {first.m_hWnd, 3}};
    EXPECT_EQ(order, expected);
}

TEST(Messages, NullAndDeadHandlesDropMessages) {
    EXPECT_FALSE(PostMessageW(nullptr, WM_TEST, 0, 0));
    EXPECT_EQ(SendMessageW(nullptr, WM_TEST, 0, 0), 0);

    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    const HWND handle = window.m_hWnd;
    // Posted before the window dies, delivered never.
    EXPECT_TRUE(PostMessageW(handle, WM_TEST, 1, 0));
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(PostMessageW(handle, WM_TEST, 2, 0));
    EXPECT_EQ(SendMessageW(handle, WM_TEST, 3, 0), 0);
    EXPECT_FALSE(SetTimer(handle, 1, 10));
    Pump(20);
    EXPECT_TRUE(TestParameters(window).empty());

    // A dead handle is never handed out again.
    TestWindow next;
    ASSERT_TRUE(next.CreateTop(CRect(0, 0, 50, 50)));
    EXPECT_NE(next.m_hWnd, handle);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(Messages, OtherThreadsPostInOrderAndSendThroughTheGuiThread) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    const std::thread::id gui = std::this_thread::get_id();
    std::atomic<bool> allOnGui{true};
    window.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_TEST && message != WM_OTHER) {
            return false;
        }
        if (std::this_thread::get_id() != gui) {
            allOnGui = false;
        }
        result = static_cast<LRESULT>(wParam + 1);
        return true;
    };
    constexpr WPARAM Count = 200;
    std::atomic<LRESULT> sent{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (WPARAM i = 0; i < Count; ++i) {
            PostMessageW(window.m_hWnd, WM_TEST, i, 0);
        }
        sent = SendMessageW(window.m_hWnd, WM_OTHER, 41, 0);
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load() && TestParameters(window).size() == Count; }));
    worker.join();
    EXPECT_EQ(sent.load(), 42);
    EXPECT_TRUE(allOnGui.load());
    const std::vector<WPARAM> received = TestParameters(window);
    for (WPARAM i = 0; i < Count; ++i) {
        ASSERT_EQ(received[i], i);
    }
}

TEST(Messages, BaseLayerSendAndPostReachTheWindows) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    window.handler = [](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        result = static_cast<LRESULT>(wParam * 2);
        return message == WM_TEST;
    };
    EXPECT_EQ(SendMessage(window.m_hWnd, WM_TEST, 21, 0), 42);
    EXPECT_TRUE(PostMessage(window.m_hWnd, WM_TEST, 5, 0));
    Pump();
    EXPECT_EQ(TestParameters(window), (std::vector<WPARAM>{21, 5}));
}

TEST(Messages, DestructionReachesOwnedWindowsAndChildrenInPlatformOrder) {
    std::vector<std::pair<HWND, UINT>> order;
    const auto record = [&order](TestWindow& window) {
        window.handler = [&order, &window](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message == WM_DESTROY || message == WM_NCDESTROY) {
                order.emplace_back(window.m_hWnd, message);
            }
            return false;
        };
    };
    TestWindow top;
    TestWindow child;
    TestWindow grandchild;
    TestWindow owned;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 200)));
    ASSERT_TRUE(child.CreateChild(&top, CRect(10, 10, 100, 100), 1));
    ASSERT_TRUE(grandchild.CreateChild(&child, CRect(5, 5, 20, 20), 2));
    ASSERT_TRUE(owned.CreateTop(CRect(300, 0, 350, 50), WS_POPUP | WS_VISIBLE, &top));
    EXPECT_EQ(owned.GetParent(), &top);
    EXPECT_EQ(grandchild.GetParent(), &child);
    EXPECT_EQ(child.GetDlgItem(2), &grandchild);
    record(top);
    record(child);
    record(grandchild);
    record(owned);
    const HWND topHandle = top.m_hWnd;
    const HWND childHandle = child.m_hWnd;
    const HWND grandchildHandle = grandchild.m_hWnd;
    const HWND ownedHandle = owned.m_hWnd;

    EXPECT_TRUE(top.DestroyWindow());
    const std::vector<std::pair<HWND, UINT>> expected = {
        {ownedHandle, WM_DESTROY},   {ownedHandle, WM_NCDESTROY},    {topHandle, WM_DESTROY},
        {childHandle, WM_DESTROY},   {grandchildHandle, WM_DESTROY}, {grandchildHandle, WM_NCDESTROY},
        {childHandle, WM_NCDESTROY}, {topHandle, WM_NCDESTROY},
    };
    EXPECT_EQ(order, expected);
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(grandchildHandle));
    EXPECT_FALSE(IsWindow(ownedHandle));
}

// Destroys itself from its own procedure and deletes itself when its window is gone; nothing of it
// may be touched afterwards.
class SelfDeletingWindow : public CWnd {
  public:
    explicit SelfDeletingWindow(bool& deleted) : m_deleted(deleted) {}

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TEST) {
            DestroyWindow();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {
        m_deleted = true;
        delete this;
    }

  private:
    bool& m_deleted;
};

TEST(Messages, WindowThatDeletesItselfMayDestroyItselfFromItsOwnProcedure) {
    bool deleted = false;
    auto* window = new SelfDeletingWindow(deleted);
    ASSERT_TRUE(
        window->CreateEx(0, TestClassName(), L"", WS_POPUP | WS_VISIBLE, CRect(0, 0, 50, 50), nullptr, 0));
    const HWND handle = window->m_hWnd;
    PostMessageW(handle, WM_TEST, 0, 0);
    Pump();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(Messages, DefaultHandlingKeepsTextAndClosingDestroys) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    window.SetWindowText(L"Caption text");
    CString text;
    window.GetWindowText(text);
    EXPECT_EQ(std::wstring(text), L"Caption text");
    wchar_t small[5];
    EXPECT_EQ(window.GetWindowText(small, 5), 4);
    EXPECT_EQ(std::wstring(small), L"Capt");

    const HWND handle = window.m_hWnd;
    window.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(handle));
}

// A control's notification is offered to the control itself first (reflection).
class ReflectingChild : public TestWindow {
  public:
    bool takeIt = false;
    std::vector<WPARAM> reflected;

  protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT*) override {
        if (message == WM_COMMAND) {
            reflected.push_back(wParam);
            return takeIt;
        }
        return FALSE;
    }
};

class CommandParent : public TestWindow {
  public:
    std::vector<WPARAM> commands;

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (CWnd::OnCommand(wParam, lParam)) {
            return TRUE;
        }
        commands.push_back(wParam);
        return TRUE;
    }
};

TEST(Messages, ControlNotificationsAreReflectedBeforeTheParentSeesThem) {
    CommandParent parent;
    ReflectingChild child;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 100, 100)));
    ASSERT_TRUE(child.CreateChild(&parent, CRect(0, 0, 10, 10), 7));
    const WPARAM command = MAKEWPARAM(7, 5);
    parent.SendMessage(WM_COMMAND, command, reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(child.reflected, std::vector<WPARAM>{command});
    EXPECT_EQ(parent.commands, std::vector<WPARAM>{command});

    child.takeIt = true;
    parent.SendMessage(WM_COMMAND, command, reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(child.reflected.size(), 2u);
    EXPECT_EQ(parent.commands.size(), 1u);
}

} // namespace

// Keys, characters and the pre-translation walk.

#include "uitest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class KeysTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(top.CreateTop(CRect(0, 0, 300, 300)));
        ASSERT_TRUE(child.CreateChild(&top, CRect(10, 10, 200, 200), 1));
        ASSERT_TRUE(grandchild.CreateChild(&child, CRect(10, 10, 100, 100), 2));
        ASSERT_TRUE(owned.CreateTop(CRect(400, 0, 450, 50), WS_POPUP | WS_VISIBLE, &top));
        for (TestWindow* window : {&top, &child, &grandchild, &owned}) {
            window->preTranslate = [this, window](MSG* message) {
                if (message->message == WM_KEYDOWN || message->message == WM_CHAR ||
                    message->message == WM_APP) {
                    walk.push_back(window->m_hWnd);
                }
                return window == stopAt ? TRUE : FALSE;
            };
        }
    }

    TestWindow top;
    TestWindow child;
    TestWindow grandchild;
    TestWindow owned;
    std::vector<HWND> walk;
    TestWindow* stopAt = nullptr;
};

TEST_F(KeysTest, WalkGoesFromTheFocusWindowUpToItsTopLevelWindowOnly) {
    SendKey(grandchild.m_hWnd, QEvent::KeyPress, Qt::Key_F5);
    EXPECT_EQ(walk, (std::vector<HWND>{grandchild.m_hWnd, child.m_hWnd, top.m_hWnd}));
    EXPECT_EQ(grandchild.Only({WM_KEYDOWN}).size(), 1u);

    // The owned pop-up is a top-level window of its own: its walk ends with itself.
    walk.clear();
    SendKey(owned.m_hWnd, QEvent::KeyPress, Qt::Key_F5);
    EXPECT_EQ(walk, std::vector<HWND>{owned.m_hWnd});

    // A window that takes the message stops the walk and the delivery.
    walk.clear();
    stopAt = &child;
    SendKey(grandchild.m_hWnd, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(walk, (std::vector<HWND>{grandchild.m_hWnd, child.m_hWnd}));
    EXPECT_EQ(grandchild.Only({WM_KEYDOWN}).size(), 1u);
    EXPECT_TRUE(grandchild.Only({WM_CHAR}).empty());
}

TEST_F(KeysTest, PostedMessagesAreWalkedToo) {
    PostMessageW(grandchild.m_hWnd, WM_APP, 0, 0);
    Pump();
    EXPECT_EQ(walk, (std::vector<HWND>{grandchild.m_hWnd, child.m_hWnd, top.m_hWnd}));
    EXPECT_EQ(grandchild.Only({WM_APP}).size(), 1u);
}

TEST_F(KeysTest, KeyMessagesCarryVirtualKeysFlagsAndCharacters) {
    SendKey(grandchild.m_hWnd, QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    SendKey(grandchild.m_hWnd, QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier);
    SendKey(grandchild.m_hWnd, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    SendKey(grandchild.m_hWnd, QEvent::KeyPress, Qt::Key_Down);
    SendKey(grandchild.m_hWnd, QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
    const std::vector<LoggedMessage> keys = grandchild.Only({WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN});
    ASSERT_EQ(keys.size(), 7u);
    // Ctrl+A: the key, the character 1 (which the list's select-all looks for), the release.
    EXPECT_EQ(keys[0].message, WM_KEYDOWN);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(keys[1].message, WM_CHAR);
    EXPECT_EQ(keys[1].wParam, 1u);
    EXPECT_EQ(keys[2].message, WM_KEYUP);
    EXPECT_EQ(static_cast<DWORD>(keys[2].lParam) >> 30, 3u);
    EXPECT_EQ(keys[3].wParam, VK_ESCAPE);
    EXPECT_EQ(keys[4].message, WM_CHAR);
    EXPECT_EQ(keys[4].wParam, 0x1Bu);
    EXPECT_EQ(keys[5].wParam, VK_DOWN);
    EXPECT_NE(static_cast<DWORD>(keys[5].lParam) & (1u << 24), 0u);
    EXPECT_EQ(keys[6].message, WM_SYSKEYDOWN);
    EXPECT_EQ(keys[6].wParam, VK_F1 + 3);
    EXPECT_NE(static_cast<DWORD>(keys[6].lParam) & (1u << 29), 0u);
}

} // namespace

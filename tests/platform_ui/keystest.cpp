// Keys, characters and the pre-translation walk.

#include "uitest.h"

#include "platform/ui/qtaccess.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
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

TEST_F(KeysTest, AHeldKeyIsReleasedOnceWhenLetGo) {
    QWidget* widget = WidgetFromHandle(grandchild.m_hWnd);
    for (int repeat = 0; repeat < 3; ++repeat) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), repeat > 0);
        QCoreApplication::sendEvent(widget, &press);
        if (repeat > 0) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
            QCoreApplication::sendEvent(widget, &release);
        }
    }
    EXPECT_TRUE(grandchild.Only({WM_KEYUP}).empty());
    QKeyEvent letGo(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), false);
    QCoreApplication::sendEvent(widget, &letGo);
    const std::vector<LoggedMessage> keys = grandchild.Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[3].message, WM_KEYUP);
    EXPECT_EQ(keys[3].wParam, VK_SPACE);
    // Repeated presses say so, as on the platform.
    EXPECT_EQ(static_cast<DWORD>(keys[0].lParam) & (1u << 30), 0u);
    EXPECT_NE(static_cast<DWORD>(keys[1].lParam) & (1u << 30), 0u);
}

// The main window, with a panel of its own: a frameless pop-up it owns, held as a member and
// ended with it, whose Alt+F4 ends the main window, as the program's panels do.
class MainWindow : public TestWindow {
  public:
    explicit MainWindow(bool* deleted) : m_deleted(deleted) {}
    ~MainWindow() override { *m_deleted = true; }

    TestWindow panel;

  protected:
    void PostNcDestroy() override { delete this; }

  private:
    bool* m_deleted;
};

class PanelKeys : public testing::Test {
  protected:
    void SetUp() override {
        main = new MainWindow(&deleted);
        ASSERT_TRUE(main->CreateTop(CRect(0, 0, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        mainHandle = main->m_hWnd;
        ASSERT_TRUE(main->panel.CreateTop(CRect(300, 0, 400, 200), WS_POPUP | WS_VISIBLE, main));
        panelHandle = main->panel.m_hWnd;
        main->panel.preTranslate = [this](MSG* message) {
            if (message->message == WM_SYSKEYDOWN && message->wParam == VK_F4) {
                ::DestroyWindow(mainHandle);
                return TRUE;
            }
            return FALSE;
        };
        main->preTranslate = [this](MSG* message) {
            mainSaw += message->message == WM_SYSKEYDOWN ? 1 : 0;
            return FALSE;
        };
    }
    void TearDown() override {
        if (IsWindow(mainHandle)) {
            ::DestroyWindow(mainHandle);
        }
    }

    MainWindow* main = nullptr;
    bool deleted = false;
    HWND mainHandle = nullptr;
    HWND panelHandle = nullptr;
    int mainSaw = 0;
};

TEST_F(PanelKeys, AltF4OnAPanelEndsTheMainWindowFromInsideThePanelsHandler) {
    SendKey(panelHandle, QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(IsWindow(mainHandle));
    EXPECT_FALSE(IsWindow(panelHandle));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(mainSaw, 0) << "the panel's keys never reach the main window's pre-translation";
    Pump();
}

TEST_F(PanelKeys, TheDesktopsCloseRequestOnAFramelessPanelArrivesAsAltF4) {
    // The desktop turns Alt+F4 into a close request before the program sees the key.
    QCloseEvent close;
    QCoreApplication::sendEvent(WidgetFromHandle(panelHandle), &close);
    EXPECT_FALSE(IsWindow(mainHandle));
    EXPECT_TRUE(deleted);
    Pump();
}

TEST(CloseRequests, ACaptionedWindowIsClosedWithoutAKey) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 100, 100), WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    // No modifier is held (with Alt held the request would be Alt+F4).
    SendKey(window.m_hWnd, QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    window.handler = [](UINT message, WPARAM, LPARAM, LRESULT&) { return message == WM_CLOSE; };
    QCloseEvent close;
    QCoreApplication::sendEvent(WidgetFromHandle(window.m_hWnd), &close);
    EXPECT_EQ(window.Sequence({WM_SYSKEYDOWN, WM_CLOSE}), std::vector<UINT>{WM_CLOSE});

    // A frameless window whose key goes untaken is closed as the key's default handling does.
    TestWindow frameless;
    ASSERT_TRUE(frameless.CreateTop(CRect(0, 0, 100, 100), WS_POPUP | WS_VISIBLE));
    frameless.handler = [](UINT message, WPARAM, LPARAM, LRESULT&) { return message == WM_CLOSE; };
    QCoreApplication::sendEvent(WidgetFromHandle(frameless.m_hWnd), &close);
    EXPECT_EQ(frameless.Sequence({WM_SYSKEYDOWN, WM_CLOSE}), (std::vector<UINT>{WM_SYSKEYDOWN, WM_CLOSE}));
    EXPECT_EQ(frameless.Only({WM_SYSKEYDOWN})[0].wParam, VK_F4);
}

} // namespace

// Mouse messages: parameters, the platform's double-click order, capture, hover and leave,
// cursors, wheel and drops.

#include "uitest.h"

#include "platform/ui/cursor.h"
#include "platform/ui/drop.h"
#include "platform/ui/qtaccess.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace {

class MouseTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(top.CreateTop(CRect(100, 100, 400, 300))); }

    TestWindow top;
};

TEST_F(MouseTest, MessagesCarryKeysAndSignedClientPoints) {
    struct Case {
        QPoint point;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        WPARAM keys;
    };
    const Case cases[] = {
        {QPoint(10, 20), Qt::NoButton, Qt::NoModifier, 0},
        {QPoint(299, 199), Qt::LeftButton, Qt::ControlModifier, MK_LBUTTON | MK_CONTROL},
        {QPoint(-5, 300), Qt::RightButton, Qt::ShiftModifier, MK_RBUTTON | MK_SHIFT},
        {QPoint(-40000 + 65536, -3), Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier,
         MK_LBUTTON | MK_MBUTTON},
    };
    // With the capture, moves outside the client area still arrive.
    top.SetCapture();
    for (const Case& test : cases) {
        top.log.clear();
        SendMouse(top.m_hWnd, QEvent::MouseMove, Qt::NoButton, test.point, test.buttons, test.modifiers);
        const std::vector<LoggedMessage> moves = top.Only({WM_MOUSEMOVE});
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(moves[0].wParam, test.keys);
        EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), static_cast<short>(test.point.x()));
        EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), static_cast<short>(test.point.y()));
    }
    ReleaseCapture();
}

TEST_F(MouseTest, DoubleClicksFollowThePlatformOrder) {
    const QPoint at(30, 30);
    const UINT down = WM_LBUTTONDOWN;
    const UINT up = WM_LBUTTONUP;
    const UINT dbl = WM_LBUTTONDBLCLK;
    Click(top.m_hWnd, at, 1000);
    Click(top.m_hWnd, at + QPoint(1, 1), 1100);
    Click(top.m_hWnd, at, 1200);
    EXPECT_EQ(top.Sequence({down, up, dbl}), (std::vector<UINT>{down, up, dbl, up, down, up}));

    // Qt's own double-click event in place of the second press gives the same messages.
    top.log.clear();
    SendMouse(top.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, at, Qt::LeftButton, Qt::NoModifier, 5000);
    SendMouse(top.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton, Qt::NoModifier, 5010);
    SendMouse(top.m_hWnd, QEvent::MouseButtonDblClick, Qt::LeftButton, at, Qt::LeftButton, Qt::NoModifier,
              5100);
    SendMouse(top.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton, Qt::NoModifier, 5110);
    EXPECT_EQ(top.Sequence({down, up, dbl}), (std::vector<UINT>{down, up, dbl, up}));

    // Too slow, too far, or a class without CS_DBLCLKS: two single clicks.
    top.log.clear();
    Click(top.m_hWnd, at, 10000);
    Click(top.m_hWnd, at, 10000 + GetDoubleClickTime() + 1);
    Click(top.m_hWnd, at + QPoint(10, 0), 10000 + GetDoubleClickTime() + 50);
    EXPECT_EQ(top.Sequence({down, up, dbl}), (std::vector<UINT>{down, up, down, up, down, up}));

    TestWindow plain;
    ASSERT_TRUE(plain.CreateChild(&top, CRect(200, 100, 250, 150), 1, WS_VISIBLE, 0, PlainClassName()));
    Click(plain.m_hWnd, at, 20000);
    Click(plain.m_hWnd, at, 20050);
    EXPECT_EQ(plain.Sequence({down, up, dbl}), (std::vector<UINT>{down, up, down, up}));
}

TEST_F(MouseTest, CaptureTakesEveryMouseMessageUntilReleased) {
    TestWindow left;
    TestWindow right;
    ASSERT_TRUE(left.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    ASSERT_TRUE(right.CreateChild(&top, CRect(150, 0, 250, 100), 2));
    EXPECT_EQ(left.SetCapture(), nullptr);
    EXPECT_EQ(CWnd::GetCapture(), &left);

    SendMouse(right.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(10, 20), Qt::NoButton);
    EXPECT_TRUE(right.Only({WM_MOUSEMOVE}).empty());
    const std::vector<LoggedMessage> moves = left.Only({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 160);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 20);
    // No cursor negotiation while the mouse is captured.
    EXPECT_TRUE(left.Only({WM_SETCURSOR}).empty());

    right.SetCapture();
    const std::vector<LoggedMessage> lost = left.Only({WM_CAPTURECHANGED});
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(lost[0].lParam), right.m_hWnd);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(right.Only({WM_CAPTURECHANGED}).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);

    // Destroying the capturing window frees the mouse.
    left.SetCapture();
    left.DestroyWindow();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseTest, HoverAndLeaveArriveOnceEachWhenAskedFor) {
    TestWindow first;
    TestWindow second;
    ASSERT_TRUE(first.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    ASSERT_TRUE(second.CreateChild(&top, CRect(150, 0, 250, 100), 2));
    first.handler = [&first](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_MOUSEMOVE) {
            TRACKMOUSEEVENT track;
            track.dwFlags = TME_HOVER | TME_LEAVE;
            track.hwndTrack = first.m_hWnd;
            track.dwHoverTime = 1;
            EXPECT_TRUE(TrackMouseEvent(&track));
        }
        return false;
    };
    SendMouse(first.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(40, 50), Qt::NoButton);
    ASSERT_TRUE(WaitFor([&] { return !first.Only({WM_MOUSEHOVER}).empty(); }));
    const LoggedMessage hover = first.Only({WM_MOUSEHOVER})[0];
    EXPECT_EQ(GET_X_LPARAM(hover.lParam), 40);
    EXPECT_EQ(GET_Y_LPARAM(hover.lParam), 50);
    EXPECT_TRUE(first.Only({WM_MOUSELEAVE}).empty());

    first.handler = nullptr;
    SendMouse(second.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(5, 5), Qt::NoButton);
    ASSERT_TRUE(WaitFor([&] { return !first.Only({WM_MOUSELEAVE}).empty(); }));
    SendMouse(second.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(6, 5), Qt::NoButton);
    Pump(20);
    EXPECT_EQ(first.Only({WM_MOUSEHOVER}).size(), 1u);
    EXPECT_EQ(first.Only({WM_MOUSELEAVE}).size(), 1u);
    EXPECT_TRUE(second.Only({WM_MOUSELEAVE}).empty());

    // Asked for while the mouse is elsewhere, the leave comes at once.
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = first.m_hWnd;
    EXPECT_TRUE(TrackMouseEvent(&track));
    ASSERT_TRUE(WaitFor([&] { return first.Only({WM_MOUSELEAVE}).size() == 2; }));
}

TEST_F(MouseTest, CursorIsAskedForBeforeEachMoveAndShown) {
    TestWindow child;
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), hand);
    child.handler = [hand](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message == WM_SETCURSOR) {
            SetCursor(hand);
            result = TRUE;
            return true;
        }
        return false;
    };
    SendMouse(child.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(10, 10), Qt::NoButton);
    const std::vector<UINT> order = child.Sequence({WM_SETCURSOR, WM_MOUSEMOVE});
    EXPECT_EQ(order, (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEMOVE}));
    const LoggedMessage ask = child.Only({WM_SETCURSOR})[0];
    EXPECT_EQ(reinterpret_cast<HWND>(ask.wParam), child.m_hWnd);
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(ask.lParam)), HTCLIENT);
    EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(ask.lParam)), WM_MOUSEMOVE);
    EXPECT_EQ(WidgetFromHandle(child.m_hWnd)->cursor().shape(), Qt::PointingHandCursor);

    // Without an answer the parent is asked, then the child's own class cursor shows, not the parent's.
    WNDCLASSW crossClass;
    crossClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    crossClass.lpszClassName = L"TrevoTestCrossWindow";
    RegisterClassW(&crossClass);
    TestWindow crossParent;
    TestWindow arrowChild;
    ASSERT_TRUE(crossParent.CreateTop(CRect(0, 0, 100, 100), WS_POPUP | WS_VISIBLE, nullptr,
                                      L"TrevoTestCrossWindow"));
    ASSERT_TRUE(arrowChild.CreateChild(&crossParent, CRect(0, 0, 50, 50), 1));
    SendMouse(arrowChild.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(11, 10), Qt::NoButton);
    EXPECT_EQ(crossParent.Only({WM_SETCURSOR}).size(), 1u);
    EXPECT_EQ(WidgetFromHandle(arrowChild.m_hWnd)->cursor().shape(), Qt::ArrowCursor);
    SendMouse(crossParent.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(80, 80), Qt::NoButton);
    EXPECT_EQ(WidgetFromHandle(crossParent.m_hWnd)->cursor().shape(), Qt::CrossCursor);
}

TEST_F(MouseTest, CursorPositionAndWindowUnderItFollowTheMouse) {
    TestWindow child;
    ASSERT_TRUE(child.CreateChild(&top, CRect(20, 30, 120, 130), 1));
    ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(top.m_hWnd)->isVisible(); }));
    SendMouse(child.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(7, 9), Qt::NoButton);
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    CPoint expected(7, 9);
    child.ClientToScreen(&expected);
    EXPECT_EQ(CPoint(cursor), expected);
    EXPECT_EQ(CWnd::WindowFromPoint(cursor), &child);
    POINT outside{cursor.x - 10, cursor.y};
    EXPECT_EQ(CWnd::WindowFromPoint(outside), &top);
}

TEST_F(MouseTest, WheelGoesToTheParentByDefault) {
    TestWindow child;
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    QWidget* widget = WidgetFromHandle(child.m_hWnd);
    QWheelEvent wheel(QPointF(5, 5), QPointF(widget->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
    const std::vector<LoggedMessage> atParent = top.Only({WM_MOUSEWHEEL});
    ASSERT_EQ(atParent.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(atParent[0].wParam), -120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(atParent[0].wParam), MK_CONTROL);
}

TEST_F(MouseTest, DroppedFilesArriveInDropOrderOnWindowsThatAcceptThem) {
    TestWindow accepting;
    TestWindow refusing;
    ASSERT_TRUE(accepting.CreateChild(&top, CRect(0, 0, 100, 100), 1, WS_VISIBLE, WS_EX_ACCEPTFILES));
    ASSERT_TRUE(refusing.CreateChild(&top, CRect(150, 0, 250, 100), 2));
    std::vector<std::wstring> paths;
    POINT dropPoint{};
    HDROP received = nullptr;
    accepting.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message != WM_DROPFILES) {
            return false;
        }
        received = reinterpret_cast<HDROP>(wParam);
        const UINT count = DragQueryFileW(received, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t buffer[1024];
            EXPECT_EQ(DragQueryFileW(received, i, nullptr, 0), DragQueryFileW(received, i, buffer, 1024));
            paths.emplace_back(buffer);
        }
        wchar_t tiny[4];
        EXPECT_EQ(DragQueryFileW(received, 0, tiny, 4), 3u);
        DragQueryPoint(received, &dropPoint);
        return true;
    };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/folder one")),
                  QUrl::fromLocalFile(QString::fromUtf8("/tmp/파일.mp4"))});
    const auto drop = [&data](HWND window) {
        QWidget* widget = WidgetFromHandle(window);
        QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &enter);
        QDropEvent dropped(QPointF(20, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &dropped);
        return enter.isAccepted();
    };
    EXPECT_TRUE(drop(accepting.m_hWnd));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"/tmp/folder one", L"/tmp/파일.mp4"}));
    EXPECT_EQ(dropPoint.x, 20);
    EXPECT_EQ(dropPoint.y, 30);
    // The handle ends with the message.
    EXPECT_EQ(DragQueryFileW(received, 0xFFFFFFFF, nullptr, 0), 0u);

    EXPECT_FALSE(drop(refusing.m_hWnd));
    EXPECT_TRUE(refusing.Only({WM_DROPFILES}).empty());
}

} // namespace

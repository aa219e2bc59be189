#include "channelwindowfixture.h"

#include "platform/ui/qtaccess.h"
#include "viewer/app/globals.h"
#include "viewer/engine/videostate.h"

#include <QWidget>

VideoState* FakeView::GetPlayer(int channel) {
    return channel >= 0 && channel < 4 ? players[channel] : nullptr;
}

void FakeView::Invalidate(int channel) {
    invalidated.push_back(channel);
    if (windows[channel] != nullptr) {
        windows[channel]->Invalidate(TRUE);
    }
}

LRESULT ViewWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_OPEN_FOLDER || message == WM_OPEN_FILE) {
        opened.emplace_back(message, reinterpret_cast<const wchar_t*>(lParam));
    }
    return TestWindow::WindowProc(message, wParam, lParam);
}

void ChannelWindowTest::SetUp() {
    savedMonitorHeight = g_monitorHeight;
    SelectChannel(65535);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 2 * kWindowWidth, 2 * kWindowHeight)));
    ASSERT_TRUE(viewWindow.CreateTop(CRect(0, 0, 10, 10), WS_POPUP));
    for (int channel = 0; channel < 4; ++channel) {
        windows[channel] = std::make_unique<MovieWndDlg>(&top);
        ASSERT_TRUE(windows[channel]->Create(MovieWndDlg::IDD, &top));
        windows[channel]->SetView(&view);
        windows[channel]->SetChannel(channel);
        windows[channel]->MoveWindow((channel % 2) * kWindowWidth, (channel / 2) * kWindowHeight,
                                     kWindowWidth, kWindowHeight);
        windows[channel]->ShowWindow(SW_SHOW);
        view.windows[channel] = windows[channel].get();
    }
    ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(Handle(3))->isVisible(); }));
    g_hViewWnd = viewWindow.m_hWnd;
}

void ChannelWindowTest::TearDown() {
    g_hViewWnd = nullptr;
    for (auto& window : windows) {
        window.reset();
    }
    SelectChannel(65535);
    g_monitorHeight = savedMonitorHeight;
    Pump();
}

QImage ChannelWindowTest::Picture(int channel) const {
    return WindowPicture(Handle(channel));
}

namespace {

quint64 eventTime = 1000000;

} // namespace

void ChannelWindowTest::Mouse(HWND window, QEvent::Type type, Qt::MouseButton button, const QPoint& client,
                              Qt::MouseButtons buttons) {
    eventTime += 10000;
    SendMouse(window, type, button, client, buttons, Qt::NoModifier, eventTime);
}

void ChannelWindowTest::Drag(int channel, const QPoint& from, const QPoint& to) {
    Mouse(channel, QEvent::MouseButtonPress, Qt::LeftButton, from, Qt::LeftButton);
    Mouse(channel, QEvent::MouseMove, Qt::NoButton, (from + to) / 2, Qt::LeftButton);
    Mouse(channel, QEvent::MouseMove, Qt::NoButton, to, Qt::LeftButton);
    Mouse(channel, QEvent::MouseButtonRelease, Qt::LeftButton, to, Qt::NoButton);
}

void ChannelWindowTest::RightClick(int channel, const QPoint& at) {
    Mouse(channel, QEvent::MouseButtonPress, Qt::RightButton, at, Qt::RightButton);
    Mouse(channel, QEvent::MouseButtonRelease, Qt::RightButton, at, Qt::NoButton);
}

void ChannelWindowTest::DoubleClick(int channel, const QPoint& at) {
    eventTime += 10000;
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        SendMouse(Handle(channel), type, Qt::LeftButton, at, Qt::LeftButton, Qt::NoModifier, ++eventTime);
        SendMouse(Handle(channel), QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton,
                  Qt::NoModifier, ++eventTime);
    }
}

void ChannelWindowTest::SelectChannel(int channel) {
    g_playbackEngine.selectionWord =
        channel == 65535 ? 65535u << 16 : static_cast<uint32_t>(channel) << 16 | 1u;
}

#pragma once
// What the channel-window tests share: a stand-in for the main view that records what the windows
// ask of it, and four channel windows in a top-level window with that view behind them.

#include "uitest.h"
#include "viewer/engine/channelwindowview.h"
#include "viewer/engine/moviewnddlg.h"

#include <QImage>
#include <QPoint>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class FakeView : public IChannelWindowView {
  public:
    VideoState* GetPlayer(int channel) override;
    int GetNumberOfChannel() override { return numberOfChannel; }
    void SetScreenMode(int channel, int enlarged) override { screenModes.emplace_back(channel, enlarged); }
    void InvalidateChannelWnd1() override { Invalidate(0); }
    void InvalidateChannelWnd2() override { Invalidate(1); }
    void InvalidateChannelWnd3() override { Invalidate(2); }
    void InvalidateChannelWnd4() override { Invalidate(3); }
    CWnd* GetPlaybackControlBar() override { return controlBar; }

    VideoState* players[4] = {};
    int numberOfChannel = 2;
    CWnd* controlBar = nullptr;
    MovieWndDlg* windows[4] = {};
    std::vector<std::pair<int, int>> screenModes;
    std::vector<int> invalidated; // channel numbers

  private:
    void Invalidate(int channel);
};

// Stands in for the main view's window (g_hViewWnd): records the paths it is sent to open.
class ViewWindow : public TestWindow {
  public:
    std::vector<std::pair<UINT, std::wstring>> opened;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The four channel windows, each kWindowWidth x kWindowHeight, side by side in pairs.
class ChannelWindowTest : public testing::Test {
  protected:
    static constexpr int kWindowWidth = 320;
    static constexpr int kWindowHeight = 180;

    void SetUp() override;
    void TearDown() override;

    HWND Handle(int channel) const { return windows[channel]->m_hWnd; }
    QImage Picture(int channel) const;
    // Mouse events stamped far enough apart that no two presses make a double click unless asked.
    static void Mouse(HWND window, QEvent::Type type, Qt::MouseButton button, const QPoint& client,
                      Qt::MouseButtons buttons);
    void Mouse(int channel, QEvent::Type type, Qt::MouseButton button, const QPoint& client,
               Qt::MouseButtons buttons) {
        Mouse(Handle(channel), type, button, client, buttons);
    }
    // A drag with the left button from one client point to another, with one move between.
    void Drag(int channel, const QPoint& from, const QPoint& to);
    void RightClick(int channel, const QPoint& at);
    void DoubleClick(int channel, const QPoint& at);
    // Selects a channel as enlarged in the engine (65535: none).
    static void SelectChannel(int channel);

    TestWindow top;
    ViewWindow viewWindow;
    FakeView view;
    std::unique_ptr<MovieWndDlg> windows[4];
    int savedMonitorHeight = 0;
};

// Windows that video is shown in: the receiver a window registers for the video devices follows
// the window's size while it can be seen, draws what is presented, and goes away with the window.

#include "platform/ui/presentationwindow.h"
#include "platform/ui/qtaccess.h"
#include "platform/video/presentedpictureqt.h"
#include "uitest.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>

namespace {

bool HasSize(HWND window, int width, int height) {
    const std::shared_ptr<IPresentationTarget> target = FindPresentationTarget(window);
    return target && target->ClientSize().cx == width && target->ClientSize().cy == height;
}

TEST(PresentationWindowTest, ReceiverFollowsTheWindowDrawsWhatIsPresentedAndLeavesWithIt) {
    TestWindow top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 400, 300)));
    TestWindow video;
    ASSERT_TRUE(video.CreateChild(&top, CRect(10, 10, 170, 100), 1));
    ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(video.m_hWnd)->isVisible(); }));
    EXPECT_EQ(FindPresentationTarget(video.m_hWnd), nullptr);

    ASSERT_TRUE(ShowPresentedPictures(video.m_hWnd));
    const std::shared_ptr<IPresentationTarget> target = FindPresentationTarget(video.m_hWnd);
    ASSERT_NE(target, nullptr);
    EXPECT_TRUE(HasSize(video.m_hWnd, 160, 90));
    // Asking again keeps the one receiver.
    ASSERT_TRUE(ShowPresentedPictures(video.m_hWnd));
    EXPECT_EQ(FindPresentationTarget(video.m_hWnd), target);

    video.MoveWindow(0, 0, 200, 120);
    EXPECT_TRUE(WaitFor([&] { return HasSize(video.m_hWnd, 200, 120); }));
    // Nobody sees a hidden window or one whose main window is minimised: it has no size for the
    // devices, which then do no work for it.
    video.ShowWindow(SW_HIDE);
    EXPECT_TRUE(WaitFor([&] { return HasSize(video.m_hWnd, 0, 0); }));
    video.ShowWindow(SW_SHOW);
    EXPECT_TRUE(WaitFor([&] { return HasSize(video.m_hWnd, 200, 120); }));
    top.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(WaitFor([&] { return HasSize(video.m_hWnd, 0, 0); }));
    top.ShowWindow(SW_RESTORE);
    EXPECT_TRUE(WaitFor([&] { return HasSize(video.m_hWnd, 200, 120); }));
    // The window's own painting would cover the picture.
    video.UpdateWindow();
    Pump();

    // Devices present from their own threads.
    QImage picture(200, 120, QImage::Format_RGB32);
    picture.fill(0xFF3366CC);
    std::thread device([&] { target->Present(PresentedPictureFromImage(picture)); });
    device.join();
    EXPECT_TRUE(WaitFor([&] { return WindowPicture(video.m_hWnd).pixel(150, 100) == 0xFF3366CCu; }));

    const HWND handle = video.m_hWnd;
    video.DestroyWindow();
    EXPECT_TRUE(WaitFor([&] {
        Pump();
        return FindPresentationTarget(handle) == nullptr;
    }));
    // A picture still on its way to the gone window is dropped.
    target->Present(PresentedPictureFromImage(picture));
    Pump();

    EXPECT_FALSE(ShowPresentedPictures(handle));
}

} // namespace

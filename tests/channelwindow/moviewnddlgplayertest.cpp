// The channel windows with the real engine playing made recordings into them: the presented
// picture, the zoom drag and its end, the refusals, the enlarged-mode switch and the repaint of a
// window that shows the partner's zoom view.

#include "channelwindowfixture.h"
#include "platform/ui/qtaccess.h"
#include "support/testfolder.h"
#include "tools/fixtures/framepainter.h"
#include "tools/fixtures/moviemaker.h"
#include "viewer/app/globals.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/videostate.h"

#include <optional>
#include <string>

namespace {

// Front and rear recordings of the windows' size, made once for the whole program.
const TestFolder& Recordings() {
    static TestFolder folder;
    static const bool made = [] {
        fixtures::QuietCodecLogs();
        for (int channel = 0; channel < 2; ++channel) {
            fixtures::MovieOptions options;
            options.video.width = 320;
            options.video.height = 180;
            options.video.frameCount = 90;
            options.channel = channel;
            options.recorderBoxes = false;
            fixtures::MakeMovieRecording(folder / ("camera" + std::to_string(channel) + ".mp4"), options);
        }
        return true;
    }();
    (void)made;
    return folder;
}

// The camera whose coded picture the window shows; nothing when it shows none (the idle picture,
// a zoom view).
std::optional<int> ShownCamera(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const auto code = fixtures::ReadFrameCode(pixels.constBits(), pixels.width(), pixels.height(),
                                              static_cast<int>(pixels.bytesPerLine()), 4);
    if (!code) {
        return std::nullopt;
    }
    return code->channel;
}

class ChannelWindowPlayerTest : public ChannelWindowTest {
  protected:
    void SetUp() override {
        ChannelWindowTest::SetUp();
        saved[0] = g_layoutWidth;
        saved[1] = g_layoutHeight;
        saved[2] = g_screenWidth;
        saved[3] = g_screenHeight;
        g_layoutWidth = kWindowWidth;
        g_layoutHeight = kWindowHeight;
        g_screenWidth = 2 * kWindowWidth;
        g_screenHeight = 2 * kWindowHeight;
        Recordings();
        ASSERT_EQ(PlayerInit(Handle(0), Handle(1), Handle(2), Handle(3)), 1);
        started = true;
    }

    void TearDown() override {
        for (VideoState*& player : view.players) {
            PlayerClose(player);
            player = nullptr;
        }
        if (started) {
            PlayerUninit();
        }
        g_layoutWidth = saved[0];
        g_layoutHeight = saved[1];
        g_screenWidth = saved[2];
        g_screenHeight = saved[3];
        ChannelWindowTest::TearDown();
    }

    // Opens the camera's recording on its channel, waits until its window shows it and pauses it
    // there, so that the pictures stay put.
    VideoState* Open(int channel) {
        const std::string name = "camera" + std::to_string(channel) + ".mp4";
        const std::wstring folder = Recordings().Wide() + L"/";
        VideoState* player = PlayerOpen(name.c_str(), folder.c_str(), g_screenWidth, g_screenHeight,
                                        channel == 0 ? 0 : 1, channel);
        view.players[channel] = player;
        if (player == nullptr) {
            ADD_FAILURE() << "cannot open " << name;
            return nullptr;
        }
        EXPECT_TRUE(WaitFor([&] { return ShownCamera(Picture(channel)) == channel; }, 20000));
        PlayerPause(player);
        return player;
    }

    bool ShowsCamera(int window, int camera) {
        return WaitFor([&] { return ShownCamera(Picture(window)) == camera; }, 20000);
    }
    bool ShowsNoCamera(int window) {
        return WaitFor([&] { return !ShownCamera(Picture(window)).has_value(); }, 20000);
    }

    bool started = false;
    int saved[4] = {};
};

TEST_F(ChannelWindowPlayerTest, WindowShowsThePresentedPictureAndRepaintsItWithoutTheIdlePicture) {
    ASSERT_NE(Open(0), nullptr);
    windows[0]->Invalidate();
    windows[0]->UpdateWindow();
    EXPECT_TRUE(ShowsCamera(0, 0));
    // The other windows still show their camera names.
    EXPECT_EQ(Picture(1).pixel(2, 2), 0xFF171717u);
}

TEST_F(ChannelWindowPlayerTest, DragZoomsIntoThePartnerWindowAndRightClickEndsIt) {
    VideoState* front = Open(0);
    VideoState* rear = Open(1);
    ASSERT_TRUE(front && rear);

    Mouse(0, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 30), Qt::LeftButton);
    EXPECT_EQ(::GetCapture(), Handle(0));
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(200, 130), Qt::LeftButton);
    Mouse(0, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 130), Qt::NoButton);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(front->zoomActive, 1);
    EXPECT_EQ(PlayerIsDisplayEnabled(rear), 0);
    EXPECT_EQ(PlayerIsDisplayEnabled(front), 1);
    // The rear window now shows a magnified part of the front picture.
    EXPECT_TRUE(ShowsNoCamera(1));
    EXPECT_EQ(ShownCamera(Picture(0)), 0);

    RightClick(0, QPoint(60, 60));
    EXPECT_EQ(front->zoomActive, 0);
    EXPECT_EQ(PlayerIsDisplayEnabled(rear), 1);
    EXPECT_EQ(view.invalidated, std::vector<int>{1});
    EXPECT_TRUE(ShowsCamera(1, 1));
}

TEST_F(ChannelWindowPlayerTest, ShortDragsAndReleasesOutsideTheWindowEndTheZoomView) {
    VideoState* front = Open(0);
    VideoState* rear = Open(1);
    ASSERT_TRUE(front && rear);
    const QPoint start(40, 30);
    const QPoint ends[] = {
        start,                          // a click
        start + QPoint(1, 80),          // too narrow
        start + QPoint(80, 1),          // too flat
        QPoint(kWindowWidth + 20, 100), // right of the window
        QPoint(100, kWindowHeight + 1), // below it
        QPoint(0, 100),                 // on its left edge
    };
    for (const QPoint& end : ends) {
        SCOPED_TRACE(testing::Message() << end.x() << "," << end.y());
        Drag(0, start, QPoint(200, 130));
        ASSERT_EQ(front->zoomActive, 1);
        ASSERT_EQ(PlayerIsDisplayEnabled(rear), 0);
        Drag(0, start, end);
        EXPECT_EQ(front->zoomActive, 0);
        EXPECT_EQ(PlayerIsDisplayEnabled(rear), 1);
        EXPECT_EQ(::GetCapture(), nullptr);
    }
}

TEST_F(ChannelWindowPlayerTest, ZoomIsRefusedOutsideTheTwoWindowLayoutAndWhileAChannelIsEnlarged) {
    VideoState* front = Open(0);
    VideoState* rear = Open(1);
    ASSERT_TRUE(front && rear);
    struct Case {
        int numberOfChannel;
        int selected;
    };
    for (const Case& c : {Case{1, 65535}, Case{4, 65535}, Case{2, 1}, Case{2, 0}}) {
        SCOPED_TRACE(testing::Message() << c.numberOfChannel << " windows, selected " << c.selected);
        view.numberOfChannel = c.numberOfChannel;
        SelectChannel(c.selected);
        Mouse(0, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 30), Qt::LeftButton);
        EXPECT_EQ(::GetCapture(), nullptr);
        Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(200, 130), Qt::LeftButton);
        Mouse(0, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 130), Qt::NoButton);
        EXPECT_EQ(front->zoomActive, 0);
        EXPECT_EQ(PlayerIsDisplayEnabled(rear), 1);
    }
}

TEST_F(ChannelWindowPlayerTest, ZoomWithoutAPartnerAndAPlayerGoneBeforeTheRelease) {
    VideoState* front = Open(0);
    ASSERT_NE(front, nullptr);
    Drag(0, QPoint(40, 30), QPoint(200, 130));
    EXPECT_EQ(front->zoomActive, 1);
    RightClick(0, QPoint(60, 60));
    EXPECT_EQ(front->zoomActive, 0);

    // The view dropped the rear player during the drag: the release ends the zoom view and brings
    // the partner's picture back.
    VideoState* rear = Open(1);
    ASSERT_NE(rear, nullptr);
    PlayerEnableDisplay(rear, 0);
    view.invalidated.clear();
    Mouse(0, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 30), Qt::LeftButton);
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(200, 130), Qt::LeftButton);
    view.players[0] = nullptr;
    Mouse(0, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 130), Qt::NoButton);
    view.players[0] = front;
    EXPECT_EQ(PlayerIsDisplayEnabled(rear), 1);
    EXPECT_EQ(view.invalidated, std::vector<int>{1});
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ChannelWindowPlayerTest, DoubleClickSwitchesTheEnlargedModeOfAChannelThatShowsItsPicture) {
    VideoState* front = Open(0);
    VideoState* rear = Open(1);
    ASSERT_TRUE(front && rear);
    DoubleClick(0, QPoint(50, 50));
    DoubleClick(0, QPoint(50, 50));
    EXPECT_EQ(view.screenModes, (std::vector<std::pair<int, int>>{{0, 1}, {0, 0}}));

    // A window whose display is off (it shows the partner's zoom) stays as it is, and so does an
    // enlarged idle window while the front or rear channel plays.
    view.screenModes.clear();
    PlayerEnableDisplay(rear, 0);
    DoubleClick(1, QPoint(50, 50));
    windows[2]->SetEnlarged(1);
    DoubleClick(2, QPoint(50, 50));
    EXPECT_TRUE(view.screenModes.empty());
}

TEST_F(ChannelWindowPlayerTest, RepaintingTheZoomWindowKeepsTheZoomView) {
    VideoState* front = Open(0);
    VideoState* rear = Open(1);
    ASSERT_TRUE(front && rear);
    Drag(0, QPoint(40, 30), QPoint(200, 130));
    ASSERT_EQ(front->zoomActive, 1);
    ASSERT_TRUE(ShowsNoCamera(1));
    windows[1]->Invalidate();
    windows[1]->UpdateWindow();
    // The paused rear channel would present its own last picture at once; give it every chance.
    Pump(500);
    EXPECT_FALSE(ShownCamera(Picture(1)).has_value());
    EXPECT_EQ(ShownCamera(Picture(0)), 0);
}

} // namespace

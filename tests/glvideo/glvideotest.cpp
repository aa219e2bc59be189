// Video drawn with OpenGL: a window that shows video draws the presented pictures from their parts
// (the decoded planes, where they go, the overlays). What it shows is read back from its OpenGL
// drawing and compared with a reference conversion of the decoded frame and with what the software
// path composes of the same picture, on a frame of colour bars and sharp edges, at several window
// sizes, for 16:9 and 4:3 frames, letterboxed and stretched, mirrored as the side cameras are.
#include "platform/ui/dc.h"
#include "platform/ui/presentationwindow.h"
#include "platform/ui/qtaccess.h"
#include "platform/video/presentationtarget.h"
#include "platform/video/videodevice.h"
#include "platform/video/videoscene.h"
#include "platform/video/videosurface.h"
#include "uitest.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <QImage>
#include <QOpenGLWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;

// BT.601 video-range samples of eight colour bars (white, yellow, cyan, green, magenta, red, blue,
// black), and the colours they stand for.
constexpr int kBars[8][3] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                             {106, 202, 222}, {81, 90, 240},  {41, 240, 110}, {16, 128, 128}};
constexpr QRgb kBarColours[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                                 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

// The bars over the top two thirds; below them a white block with sharp edges on black.
Frame MakeFrame(int width, int height) {
    Frame frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool lower = y >= height * 2 / 3;
            const bool block =
                lower && x >= width / 8 && x < width * 3 / 8 && y >= height * 3 / 4 && y < height * 15 / 16;
            const int* bar = kBars[x * 8 / width];
            frame->data[0][y * frame->linesize[0] + x] =
                static_cast<uint8_t>(lower ? (block ? 235 : 16) : bar[0]);
            if (x % 2 == 0 && y % 2 == 0) {
                frame->data[1][(y / 2) * frame->linesize[1] + x / 2] =
                    static_cast<uint8_t>(lower ? 128 : bar[1]);
                frame->data[2][(y / 2) * frame->linesize[2] + x / 2] =
                    static_cast<uint8_t>(lower ? 128 : bar[2]);
            }
        }
    return frame;
}

// The frame converted in one step to the size with swscale's linear filter, mirrored when asked.
QImage Reference(const AVFrame& frame, int width, int height, bool mirrored) {
    QImage image(width, height, QImage::Format_RGB32);
    SwsContext* context =
        sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width, height,
                       AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    uint8_t* const planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int pitches[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(context, frame.data, frame.linesize, 0, frame.height, planes, pitches);
    sws_freeContext(context);
    return mirrored ? image.mirrored(true, false) : image;
}

int Difference(QRgb a, QRgb b) {
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

struct Comparison {
    double mean = 0;
    // Of the pixels more than two away from a sharp edge of the expected picture.
    int worstAwayFromEdges = 0;
};

Comparison Compare(const QImage& shown, const QRect& place, const QImage& expected) {
    Comparison result;
    const auto edge = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int nx = std::clamp(x + dx, 0, expected.width() - 1);
                const int ny = std::clamp(y + dy, 0, expected.height() - 1);
                if (Difference(expected.pixel(nx, ny), expected.pixel(x, y)) > 24)
                    return true;
            }
        return false;
    };
    long total = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const int difference =
                Difference(shown.pixel(place.left() + x, place.top() + y), expected.pixel(x, y));
            total += difference;
            if (difference > result.worstAwayFromEdges && !edge(x, y))
                result.worstAwayFromEdges = difference;
        }
    result.mean = static_cast<double>(total) / (static_cast<double>(expected.width()) * expected.height());
    return result;
}

// The tolerance: off by at most 4 levels (of 255) wherever the picture is flat, which a picture out
// of place, mirrored wrongly or converted with other coefficients is not; and by the given mean over
// all pixels, as two linear filters blur a sharp edge over a pixel or two differently (on a picture
// shrunk ten times over, edges are a fifth of it).
void ExpectClose(const Comparison& comparison, double mean, const char* what) {
    EXPECT_LE(comparison.worstAwayFromEdges, 4) << what;
    EXPECT_LE(comparison.mean, mean) << what;
}

// Passes the window's pictures on and keeps the last, whose pixels are the software path's.
class Recorder final : public IPresentationTarget {
  public:
    explicit Recorder(std::shared_ptr<IPresentationTarget> window) : m_window(std::move(window)) {}
    SIZE ClientSize() const override { return m_window->ClientSize(); }
    void Present(const PresentedPicture& picture) override {
        last = picture;
        m_window->Present(picture);
    }
    bool DrawsScenes() const override { return m_window->DrawsScenes(); }

    PresentedPicture last;

  private:
    std::shared_ptr<IPresentationTarget> m_window;
};

QImage Composed(const PresentedPicture& picture) {
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (int y = 0; y < picture.Height(); ++y)
        std::copy_n(picture.Bits() + static_cast<size_t>(y) * picture.Pitch(), picture.Width() * 4,
                    image.scanLine(y));
    return image;
}

// The frame kept in its proportions, centred, with black bars beside or above and below it.
RECT FittedPlace(int width, int height, int frameWidth, int frameHeight) {
    if (width * frameHeight > height * frameWidth) {
        const int fitted = height * frameWidth / frameHeight;
        return RECT{(width - fitted) / 2, 0, (width - fitted) / 2 + fitted, height};
    }
    const int fitted = width * frameHeight / frameWidth;
    return RECT{0, (height - fitted) / 2, width, (height - fitted) / 2 + fitted};
}

class GlVideoTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { setenv("TREVO_VIDEO", "opengl", 1); }

    void SetUp() override {
        ASSERT_TRUE(m_top.CreateTop(CRect(0, 0, 1920, 1080)));
        ASSERT_TRUE(m_video.CreateChild(&m_top, CRect(0, 0, 441, 330), 1));
        ASSERT_TRUE(ShowPresentedPictures(m_video.m_hWnd));
        const std::shared_ptr<IPresentationTarget> window = FindPresentationTarget(m_video.m_hWnd);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->DrawsScenes())
            << "no OpenGL context on this screen (Mesa's libgl1-mesa-dri and libglx-mesa0 missing?)";
        m_recorder = std::make_shared<Recorder>(window);
        RegisterPresentationTarget(m_video.m_hWnd, m_recorder);
        ASSERT_EQ(VideoDevice::Create(m_video.m_hWnd, 1920, 1080, &m_device), S_OK);
        // The window is shown and has painted itself once its OpenGL drawing has a context.
        ASSERT_TRUE(WaitFor([&] {
            const auto* drawing = WidgetFromHandle(m_video.m_hWnd)->findChild<QOpenGLWidget*>();
            return drawing != nullptr && drawing->isValid() && !m_video.Only({WM_PAINT}).empty();
        }));
    }
    void TearDown() override {
        UnregisterPresentationTarget(m_video.m_hWnd);
        m_device.reset();
        m_video.DestroyWindow();
        m_top.DestroyWindow();
        Pump();
    }

    void Resize(int width, int height) {
        m_video.MoveWindow(0, 0, width, height);
        ASSERT_TRUE(WaitFor([&] {
            const SIZE size = m_recorder->ClientSize();
            return size.cx == width && size.cy == height;
        }));
        // The window's own painting of its new area would cover the picture.
        m_video.UpdateWindow();
        Pump();
    }

    // Presents the frame stretched from the whole surface into the rectangle, with what the
    // overlays draw on top, and waits until the window shows it.
    QImage Present(const AVFrame& frame, bool mirrored, const RECT& place,
                   const std::function<void(VideoScene&)>& overlays = nullptr) {
        std::unique_ptr<VideoSurface> surface;
        EXPECT_EQ(m_device->CreateOffscreenPlainSurface(1920, 1080, D3DFMT_YUY2, &surface), S_OK);
        EXPECT_EQ(m_device->SetSurfacePicture(*surface, &frame, mirrored), S_OK);
        std::unique_ptr<VideoScene> scene;
        EXPECT_EQ(m_device->BeginScene(0xFF000000u, &scene), S_OK);
        if (!scene)
            return QImage();
        EXPECT_EQ(scene->StretchRect(*surface, RECT{0, 0, 1920, 1080}, place), S_OK);
        if (overlays)
            overlays(*scene);
        EXPECT_EQ(m_device->Present(std::move(scene)), S_OK);
        EXPECT_TRUE(m_recorder->last.InParts());
        // The picture reaches the window through its event loop.
        Pump();
        return WindowPicture(m_video.m_hWnd);
    }

    TestWindow m_top;
    TestWindow m_video;
    std::shared_ptr<Recorder> m_recorder;
    std::unique_ptr<VideoDevice> m_device;
};

TEST_F(GlVideoTest, PicturesMatchTheReferenceAndTheSoftwarePath) {
    struct Case {
        int width;
        int height;
        int frameWidth;
        int frameHeight;
        bool fitted;
        bool mirrored;
        // Mean difference allowed.
        double mean;
    };
    const Case cases[] = {
        {441, 330, 1920, 1080, true, false, 4},   {441, 330, 1920, 1080, false, true, 4},
        {1920, 1080, 1920, 1080, true, false, 4}, {1920, 1080, 1440, 1080, true, true, 4},
        {333, 187, 1920, 1080, false, false, 4},  {333, 187, 1440, 1080, true, false, 4},
        {640, 480, 1440, 1080, false, true, 4},   {201, 97, 1920, 1080, true, true, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " frame " +
                     std::to_string(c.frameWidth) + "x" + std::to_string(c.frameHeight) +
                     (c.fitted ? " letterboxed" : " stretched") + (c.mirrored ? " mirrored" : ""));
        Resize(c.width, c.height);
        const Frame frame = MakeFrame(c.frameWidth, c.frameHeight);
        const RECT place = c.fitted ? FittedPlace(c.width, c.height, c.frameWidth, c.frameHeight)
                                    : RECT{0, 0, c.width, c.height};
        const QImage shown = Present(*frame, c.mirrored, place);
        ASSERT_EQ(shown.size(), QSize(c.width, c.height));
        const QRect rect(place.left, place.top, place.right - place.left, place.bottom - place.top);

        ExpectClose(Compare(shown, rect, Reference(*frame, rect.width(), rect.height(), c.mirrored)), c.mean,
                    "reference");
        ExpectClose(Compare(shown, QRect(QPoint(0, 0), shown.size()), Composed(m_recorder->last)), c.mean,
                    "software path");
        // The middle of each bar has the bar's colour, wherever the bars are.
        for (int bar = 0; bar < 8; ++bar) {
            const int column = (bar * 2 + 1) * rect.width() / 16;
            const int x = rect.left() + (c.mirrored ? rect.width() - 1 - column : column);
            EXPECT_LE(Difference(shown.pixel(x, rect.top() + rect.height() / 3), kBarColours[bar]), 3) << bar;
        }
        if (rect.top() > 0) {
            EXPECT_EQ(shown.pixel(c.width / 2, 0) & 0xFFFFFF, 0u) << "letterboxed in black";
        }
        if (rect.left() > 0) {
            EXPECT_EQ(shown.pixel(0, c.height / 2) & 0xFFFFFF, 0u) << "pillarboxed in black";
        }
    }
}

// Lines and textures drawn in the scene lie over the picture, as the software path composes them;
// what the window paints itself over a picture shows until the next picture.
TEST_F(GlVideoTest, OverlaysAndTheWindowsOwnPaintingLieOnTop) {
    Resize(441, 330);
    const Frame frame = MakeFrame(1920, 1080);
    const QImage shown = Present(*frame, false, RECT{0, 0, 441, 330}, [](VideoScene& scene) {
        EXPECT_EQ(scene.DrawLines({{100, 100}, {1800, 100}, {1800, 900}}, 20, 0xFF10E010u), S_OK);
        EXPECT_EQ(scene.DrawLines({{100, 540}, {1800, 540}}, 40, 0x80FFFFFFu), S_OK);
    });
    ExpectClose(Compare(shown, QRect(QPoint(0, 0), shown.size()), Composed(m_recorder->last)), 4,
                "software path");
    // The opaque line over the bars, and the translucent one half way between a bar and white.
    EXPECT_LE(Difference(shown.pixel(220, 30), 0xFF10E010u), 3);
    const QRgb bar = shown.pixel(220, 60);
    const QRgb half = shown.pixel(220, 165);
    EXPECT_LE(std::abs(qRed(half) - (qRed(bar) + 255) / 2), 4);
    EXPECT_LE(std::abs(qBlue(half) - (qBlue(bar) + 255) / 2), 4);

    CDC* dc = m_video.GetDC();
    ASSERT_NE(dc, nullptr);
    dc->FillSolidRect(CRect(10, 200, 60, 250), RGB(0x12, 0x34, 0x56));
    m_video.ReleaseDC(dc);
    ASSERT_TRUE(WaitFor([&] { return WindowPicture(m_video.m_hWnd).pixel(30, 220) == 0xFF123456u; }));
    EXPECT_LE(Difference(WindowPicture(m_video.m_hWnd).pixel(220, 30), 0xFF10E010u), 3) << "the rest stays";

    const QImage next = Present(*frame, false, RECT{0, 0, 441, 330});
    ExpectClose(Compare(next, QRect(0, 0, 441, 330), Reference(*frame, 441, 330, false)), 4, "next picture");
}

} // namespace

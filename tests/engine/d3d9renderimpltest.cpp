// The renderer on the software video device: which surface is written, shown and held, how the
// picture is fitted into the window, the side cameras' mirror, captures, overlays by pixel probes,
// and device loss.

#include "enginetestsupport.h"

#include "platform/video/videotesthooks.h"
#include "viewer/app/globals.h"
#include "viewer/engine/d3d9renderimpl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const HWND kWindow = reinterpret_cast<HWND>(0x7200);

int Red(DWORD pixel) {
    return (pixel >> 16) & 0xFF;
}
int Green(DWORD pixel) {
    return (pixel >> 8) & 0xFF;
}
int Blue(DWORD pixel) {
    return pixel & 0xFF;
}

bool Near(DWORD pixel, int red, int green, int blue, int tolerance = 8) {
    return std::abs(Red(pixel) - red) <= tolerance && std::abs(Green(pixel) - green) <= tolerance &&
           std::abs(Blue(pixel) - blue) <= tolerance;
}

// The grey a luma sample shows in video range.
int GreyOf(int luma) {
    return std::clamp((luma - 16) * 255 / 219, 0, 255);
}

// A YUY2 picture from one luma sample a pixel; chroma neutral.
std::vector<BYTE> Yuy2FromLuma(int width, int height, const std::function<int(int, int)>& luma) {
    std::vector<BYTE> picture(static_cast<size_t>(width) * height * 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            picture[(static_cast<size_t>(y) * width + x) * 2] = static_cast<BYTE>(luma(x, y));
            picture[(static_cast<size_t>(y) * width + x) * 2 + 1] = 128;
        }
    return picture;
}

// A YUY2 picture whose left half is red and right half blue.
std::vector<BYTE> Yuy2RedBlue(int width, int height) {
    std::vector<BYTE> picture(static_cast<size_t>(width) * height * 2);
    for (int y = 0; y < height; ++y)
        for (int pair = 0; pair < width / 2; ++pair) {
            const bool left = pair * 2 < width / 2;
            BYTE* out = &picture[(static_cast<size_t>(y) * width + pair * 2) * 2];
            const BYTE luma = left ? 81 : 41;
            out[0] = out[2] = luma;
            out[1] = left ? 90 : 240;  // U
            out[3] = left ? 240 : 110; // V
        }
    return picture;
}

std::vector<BYTE> SolidBgra(int width, int height, BYTE blue, BYTE green, BYTE red) {
    std::vector<BYTE> picture(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < picture.size(); i += 4) {
        picture[i] = blue;
        picture[i + 1] = green;
        picture[i + 2] = red;
        picture[i + 3] = 255;
    }
    return picture;
}

class RendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTextRendering();
        ResetVideoTestHooks();
        m_savedScreen[0] = g_screenWidth;
        m_savedScreen[1] = g_screenHeight;
        g_screenWidth = 640;
        g_screenHeight = 360;
        m_window = std::make_shared<TestWindow>(640, 360);
        RegisterPresentationTarget(kWindow, m_window);
    }
    void TearDown() override {
        UnregisterPresentationTarget(kWindow);
        g_screenWidth = m_savedScreen[0];
        g_screenHeight = m_savedScreen[1];
        ResetVideoTestHooks();
    }

    std::unique_ptr<D3D9RenderImpl> Make(int width, int height, D3DFORMAT format, int mode = 1) {
        auto renderer = std::make_unique<D3D9RenderImpl>();
        EXPECT_EQ(renderer->Initialize(kWindow, TRUE), S_OK);
        EXPECT_EQ(renderer->CreateVideoSurface(width, height, format), S_OK);
        renderer->SetDisplayMode(mode);
        return renderer;
    }

    std::shared_ptr<TestWindow> m_window;
    int m_savedScreen[2] = {};
};

TEST_F(RendererTest, PresentsTheSurfaceJustWritten) {
    struct Step {
        char op; // U upload, P present next, L present last, I invalidate
        int picture;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int shown; // the picture the window shows at the end; -1: nothing presented
        int lastWritten;
        int heldFrame;
    };
    const Case cases[] = {
        {"one picture", {{'U', 0}, {'P', 0}}, 0, 0, 0},
        {"alternating surfaces", {{'U', 0}, {'P', 0}, {'U', 1}, {'P', 1}}, 1, 1, 1},
        {"third picture back on surface 0",
         {{'U', 0}, {'P', 0}, {'U', 1}, {'P', 1}, {'U', 2}, {'P', 2}},
         2,
         0,
         0},
        {"a presentation skipped", {{'U', 0}, {'U', 1}, {'P', 1}}, 1, 1, 1},
        {"present last keeps the held one", {{'U', 0}, {'P', 0}, {'U', 1}, {'L', 0}}, 0, 1, 0},
        {"after invalidation surface 0 again", {{'U', 0}, {'P', 0}, {'I', 0}, {'U', 1}, {'P', 1}}, 1, 0, 0},
        {"nothing held after invalidation", {{'U', 0}, {'I', 0}, {'L', 0}}, -1, -1, -1},
    };
    constexpr int kWidth = 64;
    constexpr int kHeight = 36;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto renderer = Make(kWidth, kHeight, D3DFMT_YUY2);
        const int before = m_window->Presentations();
        for (const Step& step : c.steps) {
            if (step.op == 'U') {
                std::vector<BYTE> picture =
                    Yuy2FromLuma(kWidth, kHeight, [&](int, int) { return 40 + 50 * step.picture; });
                EXPECT_EQ(renderer->UploadFrame(0, step.picture % 2, picture.data(), nullptr, nullptr), S_OK);
            } else if (step.op == 'P') {
                EXPECT_EQ(renderer->PresentNextFrame(step.picture % 2), S_OK);
            } else if (step.op == 'L') {
                EXPECT_EQ(renderer->PresentLastFrame(), S_OK);
            } else {
                renderer->InvalidateFrame();
            }
        }
        EXPECT_EQ(renderer->LastWritten(), c.lastWritten);
        EXPECT_EQ(renderer->HeldFrame(), c.heldFrame);
        if (c.shown < 0) {
            EXPECT_EQ(m_window->Presentations(), before);
            continue;
        }
        const PresentedPicture shown = m_window->LastPicture();
        const int grey = GreyOf(40 + 50 * c.shown);
        EXPECT_TRUE(Near(shown.Pixel(320, 180), grey, grey, grey, 3)) << std::hex << shown.Pixel(320, 180);
    }
}

TEST_F(RendererTest, TheZoomRendererSharesTheMainPictureAndEachKeepsItsOwnWhenTheOtherWrites) {
    const HWND zoomWindow = reinterpret_cast<HWND>(0x7201);
    auto zoomTarget = std::make_shared<TestWindow>(640, 360);
    RegisterPresentationTarget(zoomWindow, zoomTarget);
    auto main = Make(64, 36, D3DFMT_YUY2);
    auto zoom = std::make_unique<D3D9RenderImpl>();
    ASSERT_EQ(zoom->Initialize(zoomWindow, TRUE), S_OK);
    ASSERT_EQ(zoom->CreateVideoSurface(64, 36, D3DFMT_YUY2), S_OK);
    const auto greyPicture = [](int luma) { return Yuy2FromLuma(64, 36, [=](int, int) { return luma; }); };
    const auto shows = [](TestWindow& window, int luma) {
        const int grey = GreyOf(luma);
        return Near(window.LastPicture().Pixel(320, 180), grey, grey, grey, 3);
    };

    EXPECT_EQ(zoom->UploadFrameFrom(0, *main), D3DERR_INVALIDCALL) << "nothing to take yet";
    std::vector<BYTE> picture = greyPicture(60);
    ASSERT_EQ(main->UploadFrame(0, 0, picture.data(), nullptr, nullptr), S_OK);
    ASSERT_EQ(zoom->UploadFrameFrom(0, *main), S_OK);
    ASSERT_EQ(zoom->PresentNextFrame(0), S_OK);
    EXPECT_TRUE(shows(*zoomTarget, 60));

    // The main renderer writes both its surfaces again; the zoom renderer still shows its picture.
    for (const int luma : {110, 160}) {
        picture = greyPicture(luma);
        ASSERT_EQ(main->UploadFrame(0, 0, picture.data(), nullptr, nullptr), S_OK);
    }
    ASSERT_EQ(zoom->PresentNextFrame(0), S_OK);
    EXPECT_TRUE(shows(*zoomTarget, 60));
    ASSERT_EQ(main->PresentNextFrame(0), S_OK);
    EXPECT_TRUE(shows(*m_window, 160));

    // And the other way round: the zoom renderer writing its surfaces leaves the main picture be.
    ASSERT_EQ(zoom->UploadFrameFrom(1, *main), S_OK);
    for (const int luma : {200, 30}) {
        picture = greyPicture(luma);
        ASSERT_EQ(zoom->UploadFrame(0, 1, picture.data(), nullptr, nullptr), S_OK);
    }
    ASSERT_EQ(main->PresentNextFrame(0), S_OK);
    EXPECT_TRUE(shows(*m_window, 160));
    ASSERT_EQ(zoom->PresentNextFrame(1), S_OK);
    EXPECT_TRUE(shows(*zoomTarget, 30));

    auto other = std::make_unique<D3D9RenderImpl>();
    ASSERT_EQ(other->Initialize(zoomWindow, TRUE), S_OK);
    ASSERT_EQ(other->CreateVideoSurface(32, 36, D3DFMT_YUY2), S_OK);
    EXPECT_EQ(other->UploadFrameFrom(0, *main), D3DERR_INVALIDCALL) << "surfaces of another size";
    UnregisterPresentationTarget(zoomWindow);
}

TEST_F(RendererTest, NothingHeldBeforeTheFirstPresentation) {
    auto renderer = Make(64, 36, D3DFMT_YUY2);
    EXPECT_EQ(renderer->PresentLastFrame(), S_OK);
    EXPECT_EQ(m_window->Presentations(), 0);
    std::vector<BYTE> buffer(64 * 36 * 4, 0xAB);
    int width = 77, height = 77, pitch = 77;
    EXPECT_EQ(renderer->CaptureVideoFrame(buffer.data(), buffer.size(), &width, &height, &pitch), S_FALSE);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(pitch, 0);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](BYTE b) { return b == 0xAB; }));
}

TEST_F(RendererTest, CapturesAreBoundedByTheBufferAndComeAsBgrx) {
    auto renderer = Make(8, 4, D3DFMT_A8R8G8B8);
    std::vector<BYTE> picture = SolidBgra(8, 4, 10, 20, 30);
    renderer->UploadFrame(0, 0, picture.data(), nullptr, nullptr);
    renderer->PresentNextFrame(0);

    std::vector<BYTE> small(8 * 4 * 4 - 1, 0xAB);
    int width = 77, height = 77, pitch = 77;
    EXPECT_EQ(renderer->CaptureVideoFrame(small.data(), small.size(), &width, &height, &pitch), E_INVALIDARG);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](BYTE b) { return b == 0xAB; }));

    std::vector<BYTE> buffer(8 * 4 * 4, 0xAB);
    ASSERT_EQ(renderer->CaptureVideoFrame(buffer.data(), buffer.size(), &width, &height, &pitch), S_OK);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(pitch, 32);
    EXPECT_EQ(buffer[0], 10);
    EXPECT_EQ(buffer[1], 20);
    EXPECT_EQ(buffer[2], 30);
    EXPECT_EQ(buffer[31 * 4 + 2], 30);
}

TEST_F(RendererTest, AspectFitCentresThePicture) {
    struct Case {
        RECT client;
        int width;
        int height;
        RECT fitted;
    };
    const Case cases[] = {
        {{0, 0, 1000, 1000}, 1920, 1080, {0, 218, 1000, 782}},
        {{0, 0, 2000, 500}, 1920, 1080, {555, 0, 1445, 500}},
        {{0, 0, 1920, 1080}, 1920, 1080, {0, 0, 1920, 1080}},
        {{0, 0, 500, 1000}, 1920, 1080, {0, 359, 500, 641}},
    };
    for (const Case& c : cases) {
        const RECT fitted = AspectFitRect(c.client, c.width, c.height);
        EXPECT_EQ(fitted.left, c.fitted.left) << c.client.right << "x" << c.client.bottom;
        EXPECT_EQ(fitted.top, c.fitted.top) << c.client.right << "x" << c.client.bottom;
        EXPECT_EQ(fitted.right, c.fitted.right) << c.client.right << "x" << c.client.bottom;
        EXPECT_EQ(fitted.bottom, c.fitted.bottom) << c.client.right << "x" << c.client.bottom;
    }
}

TEST_F(RendererTest, ModeZeroLetterboxesAndOtherModesStretch) {
    m_window->Resize(100, 100);
    const std::vector<BYTE> white = Yuy2FromLuma(160, 90, [](int, int) { return 235; });
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        auto renderer = Make(160, 90, D3DFMT_YUY2, mode);
        renderer->UploadFrame(0, 0, const_cast<BYTE*>(white.data()), nullptr, nullptr);
        renderer->PresentNextFrame(0);
        const PresentedPicture shown = m_window->LastPicture();
        ASSERT_EQ(shown.Width(), 100);
        ASSERT_EQ(shown.Height(), 100);
        // Needed height 56.25: bars of 21 rows above and below.
        const bool letterbox = mode == 0;
        EXPECT_EQ(Near(shown.Pixel(50, 20), 0, 0, 0), letterbox);
        EXPECT_TRUE(Near(shown.Pixel(50, 21), 255, 255, 255));
        EXPECT_TRUE(Near(shown.Pixel(50, 78), 255, 255, 255));
        EXPECT_EQ(Near(shown.Pixel(50, 79), 0, 0, 0), letterbox);
        EXPECT_EQ(Near(shown.Pixel(0, 99), 0, 0, 0), letterbox);
    }
}

TEST_F(RendererTest, SourceRectangleZoomsIntoTheWholeWindow) {
    m_window->Resize(200, 100);
    auto renderer = Make(160, 90, D3DFMT_YUY2);
    std::vector<BYTE> picture = Yuy2RedBlue(160, 90);
    renderer->UploadFrame(0, 0, picture.data(), nullptr, nullptr);
    renderer->PresentNextFrame(0);
    EXPECT_TRUE(Near(m_window->LastPicture().Pixel(20, 50), 255, 0, 0, 40));
    EXPECT_TRUE(Near(m_window->LastPicture().Pixel(180, 50), 0, 0, 255, 40));

    EXPECT_EQ(renderer->SetSourceRect(80, 0, 80, 90), S_OK);
    renderer->PresentLastFrame();
    const PresentedPicture zoomed = m_window->LastPicture();
    EXPECT_TRUE(Near(zoomed.Pixel(5, 50), 0, 0, 255, 40));
    EXPECT_TRUE(Near(zoomed.Pixel(195, 50), 0, 0, 255, 40));
    EXPECT_EQ(renderer->SetSourceRect(200, 0, 10, 10), D3DERR_INVALIDCALL);
    const RECT source = renderer->SourceRect();
    EXPECT_EQ(source.left, 80);
    EXPECT_EQ(source.right, 160);
}

TEST_F(RendererTest, AResizedWindowGetsPicturesOfItsNewSize) {
    auto renderer = Make(64, 36, D3DFMT_YUY2);
    std::vector<BYTE> picture = Yuy2FromLuma(64, 36, [](int, int) { return 128; });
    renderer->UploadFrame(0, 0, picture.data(), nullptr, nullptr);
    renderer->PresentNextFrame(0);
    EXPECT_EQ(m_window->LastPicture().Width(), 640);
    m_window->Resize(200, 120);
    renderer->PresentLastFrame();
    EXPECT_EQ(m_window->LastPicture().Width(), 200);
    EXPECT_EQ(m_window->LastPicture().Height(), 120);
    EXPECT_EQ(renderer->ClientRect().right, 200);

    // Without a size (hidden) nothing is composed or shown, but the newest picture is held and
    // shown as soon as the window has a size again.
    m_window->Resize(0, 0);
    const int presentations = m_window->Presentations();
    picture = Yuy2FromLuma(64, 36, [](int, int) { return 200; });
    renderer->UploadFrame(0, 1, picture.data(), nullptr, nullptr);
    EXPECT_EQ(renderer->PresentNextFrame(1), S_OK);
    EXPECT_EQ(m_window->Presentations(), presentations);
    EXPECT_EQ(renderer->HeldFrame(), 1);
    m_window->Resize(200, 120);
    EXPECT_EQ(renderer->PresentLastFrame(), S_OK);
    EXPECT_EQ(m_window->Presentations(), presentations + 1);
    EXPECT_TRUE(Near(m_window->LastPicture().Pixel(100, 60), GreyOf(200), GreyOf(200), GreyOf(200), 3));
}

TEST_F(RendererTest, SideCamerasAreMirroredInYuy2) {
    constexpr int kHeight = 2;
    // Every pixel its own luma, so the order of the samples within a pair shows too; an odd number of
    // pairs as well as an even one, and rows of several four-pair blocks with and without a rest.
    for (const int width : {8, 6, 32, 22}) {
        const std::vector<BYTE> picture = Yuy2FromLuma(width, kHeight, [](int x, int) { return 20 + 7 * x; });
        for (int channel = 0; channel < kChannelCount; ++channel) {
            SCOPED_TRACE(std::to_string(width) + " wide, channel " + std::to_string(channel));
            auto renderer = Make(width, kHeight, D3DFMT_YUY2);
            renderer->UploadFrame(channel, 0, const_cast<BYTE*>(picture.data()), nullptr, nullptr);
            renderer->PresentNextFrame(0);
            std::vector<BYTE> captured(static_cast<size_t>(width) * kHeight * 4);
            int capturedWidth, capturedHeight, pitch;
            ASSERT_EQ(renderer->CaptureVideoFrame(captured.data(), captured.size(), &capturedWidth,
                                                  &capturedHeight, &pitch),
                      S_OK);
            const bool mirrored = channel >= kCameraLeft;
            for (int x = 0; x < width; ++x) {
                const int source = mirrored ? width - 1 - x : x;
                EXPECT_NEAR(captured[static_cast<size_t>(x) * 4], GreyOf(20 + 7 * source), 2) << x;
                EXPECT_NEAR(captured[static_cast<size_t>(width + x) * 4 + 1], GreyOf(20 + 7 * source), 2)
                    << x;
            }
        }
    }
    m_window->Resize(160, 90);
    std::vector<BYTE> redBlue = Yuy2RedBlue(160, 90);
    auto left = Make(160, 90, D3DFMT_YUY2);
    left->UploadFrame(kCameraLeft, 0, redBlue.data(), nullptr, nullptr);
    left->PresentNextFrame(0);
    EXPECT_TRUE(Near(m_window->LastPicture().Pixel(10, 45), 0, 0, 255, 40));
    EXPECT_TRUE(Near(m_window->LastPicture().Pixel(150, 45), 255, 0, 0, 40));
}

TEST_F(RendererTest, MissingPlanesAreRefused) {
    struct Case {
        D3DFORMAT format;
        bool plane0;
        bool plane1;
        bool plane2;
        HRESULT expected;
    };
    const Case cases[] = {
        {D3DFMT_YUY2, false, true, true, E_POINTER}, {D3DFMT_YUY2, true, false, false, S_OK},
        {D3DFMT_NV12, true, true, false, E_POINTER}, {D3DFMT_NV12, true, false, true, S_OK},
        {D3DFMT_YV12, true, false, true, E_POINTER}, {D3DFMT_YV12, true, true, false, E_POINTER},
        {D3DFMT_YV12, true, true, true, S_OK},       {D3DFMT_A8R8G8B8, false, false, false, E_POINTER},
    };
    std::vector<BYTE> plane(64 * 36 * 4, 100);
    for (const Case& c : cases) {
        auto renderer = Make(64, 36, c.format);
        EXPECT_EQ(renderer->UploadFrame(0, 0, c.plane0 ? plane.data() : nullptr,
                                        c.plane1 ? plane.data() : nullptr, c.plane2 ? plane.data() : nullptr),
                  c.expected)
            << std::hex << c.format << " " << c.plane0 << c.plane1 << c.plane2;
        EXPECT_EQ(renderer->LastWritten(), c.expected == S_OK ? 0 : -1);
    }
}

TEST_F(RendererTest, SurfacesNeverWrittenShowBlackInEveryFormat) {
    m_window->Resize(8, 4);
    const D3DFORMAT formats[] = {D3DFMT_YUY2,     D3DFMT_UYVY,     D3DFMT_YV12,   D3DFMT_NV12,
                                 D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    for (const D3DFORMAT format : formats) {
        SCOPED_TRACE(format);
        auto renderer = Make(8, 4, format);
        ASSERT_EQ(renderer->PresentNextFrame(0), S_OK);
        EXPECT_TRUE(Near(m_window->LastPicture().Pixel(3, 2), 0, 0, 0, 2))
            << std::hex << m_window->LastPicture().Pixel(3, 2);
        std::vector<BYTE> buffer(8 * 4 * 4, 0xAB);
        int width = 0, height = 0, pitch = 0;
        ASSERT_EQ(renderer->CaptureVideoFrame(buffer.data(), buffer.size(), &width, &height, &pitch), S_OK);
        EXPECT_LE(std::max({buffer[0], buffer[1], buffer[2]}), 2);
    }
}

TEST_F(RendererTest, RgbSurfacesKeepTheirColours) {
    m_window->Resize(8, 4);
    struct Case {
        D3DFORMAT format;
        std::vector<BYTE> pixel; // one pixel as uploaded
        int red;
        int green;
        int blue;
    };
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, {40, 80, 200, 255}, 200, 80, 40},
        {D3DFMT_X8R8G8B8, {40, 80, 200, 0}, 200, 80, 40},
        // 0xF800 is full red in RGB565.
        {D3DFMT_R5G6B5, {0x00, 0xF8}, 255, 0, 0},
        {D3DFMT_X1R5G5B5, {0x1F, 0x00}, 0, 0, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        auto renderer = Make(8, 4, c.format);
        std::vector<BYTE> picture;
        for (int i = 0; i < 8 * 4; ++i)
            picture.insert(picture.end(), c.pixel.begin(), c.pixel.end());
        ASSERT_EQ(renderer->UploadFrame(2, 0, picture.data(), nullptr, nullptr), S_OK);
        renderer->PresentNextFrame(0);
        EXPECT_TRUE(Near(m_window->LastPicture().Pixel(3, 2), c.red, c.green, c.blue, 6))
            << std::hex << m_window->LastPicture().Pixel(3, 2);
    }
}

TEST_F(RendererTest, UnsupportedFormatsAreRefused) {
    D3D9RenderImpl renderer;
    ASSERT_EQ(renderer.Initialize(kWindow, TRUE), S_OK);
    EXPECT_EQ(renderer.CreateVideoSurface(64, 36, MAKEFOURCC('I', '4', '2', '0')), D3DERR_NOTAVAILABLE);
    RefuseSurfaceFormat(D3DFMT_YUY2, true);
    EXPECT_EQ(renderer.CreateVideoSurface(64, 36, D3DFMT_YUY2), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(renderer.CreateVideoSurface(64, 36, D3DFMT_A8R8G8B8), S_OK);
    D3D9RenderImpl orphan;
    EXPECT_EQ(orphan.Initialize(reinterpret_cast<HWND>(0x7201), TRUE), E_FAIL);
}

TEST_F(RendererTest, ALostDeviceRefusesUploads) {
    auto renderer = Make(64, 36, D3DFMT_YUY2);
    std::vector<BYTE> picture = Yuy2FromLuma(64, 36, [](int, int) { return 100; });
    EXPECT_EQ(renderer->UploadFrame(0, 0, picture.data(), nullptr, nullptr), S_OK);
    EXPECT_EQ(renderer->deviceLost, 0);
    SimulateDeviceLoss();
    EXPECT_EQ(renderer->UploadFrame(0, 1, picture.data(), nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(renderer->deviceLost, 1);
    EXPECT_EQ(renderer->LastWritten(), 0);
    auto fresh = Make(64, 36, D3DFMT_YUY2);
    EXPECT_EQ(fresh->UploadFrame(0, 0, picture.data(), nullptr, nullptr), S_OK);
}

class OverlayDrawingTest : public RendererTest {
  protected:
    // A black picture in a window half the back buffer's size (back buffer 640 x 360).
    std::unique_ptr<D3D9RenderImpl> BlackRenderer() {
        m_window->Resize(320, 180);
        auto renderer = Make(64, 36, D3DFMT_YUY2);
        std::vector<BYTE> black = Yuy2FromLuma(64, 36, [](int, int) { return 16; });
        renderer->UploadFrame(0, 0, black.data(), nullptr, nullptr);
        return renderer;
    }

    static int CountNear(const PresentedPicture& picture, int red, int green, int blue, int tolerance) {
        int count = 0;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                count += Near(picture.Pixel(x, y), red, green, blue, tolerance) ? 1 : 0;
        return count;
    }
};

TEST_F(OverlayDrawingTest, RectanglesLandAtTheBackBuffersScaledPlace) {
    auto renderer = BlackRenderer();
    renderer->AddRectangle(1, RECT{100, 100, 300, 200}, 6.0f, 0xFFFFFFFFu, 255);
    renderer->PresentNextFrame(0);
    const PresentedPicture shown = m_window->LastPicture();
    // Half scale: the outline runs at x 50 and 150, y 50 and 100, three pixels wide.
    EXPECT_TRUE(Near(shown.Pixel(50, 75), 255, 255, 255));
    EXPECT_TRUE(Near(shown.Pixel(150, 75), 255, 255, 255));
    EXPECT_TRUE(Near(shown.Pixel(100, 50), 255, 255, 255));
    EXPECT_TRUE(Near(shown.Pixel(100, 100), 255, 255, 255));
    EXPECT_TRUE(Near(shown.Pixel(100, 75), 0, 0, 0));
    EXPECT_TRUE(Near(shown.Pixel(46, 75), 0, 0, 0));
    EXPECT_TRUE(Near(shown.Pixel(200, 150), 0, 0, 0));
}

TEST_F(OverlayDrawingTest, PolygonsAreClosed) {
    auto renderer = BlackRenderer();
    const POINT triangle[3] = {{100, 100}, {300, 100}, {100, 300}};
    renderer->AddPolygon(2, triangle, 3, 4.0f, 0xFF00FF00u, 255);
    renderer->PresentNextFrame(0);
    const PresentedPicture shown = m_window->LastPicture();
    // The closing edge runs from (100, 300) back to (100, 100): x 50 in the window.
    EXPECT_TRUE(Near(shown.Pixel(50, 100), 0, 255, 0));
    EXPECT_TRUE(Near(shown.Pixel(100, 50), 0, 255, 0));
    EXPECT_TRUE(Near(shown.Pixel(90, 90), 0, 0, 0));
}

TEST_F(OverlayDrawingTest, BitmapAlphaIsScaledByTheOverlaysAlpha) {
    auto renderer = BlackRenderer();
    const std::vector<BYTE> white = SolidBgra(40, 40, 255, 255, 255);
    renderer->AddBitmap(4, 200, 100, 40, 40, white.data(), 128);
    std::vector<BYTE> faint = SolidBgra(40, 40, 255, 255, 255);
    for (size_t i = 3; i < faint.size(); i += 4)
        faint[i] = 128;
    renderer->AddBitmap(5, 400, 100, 40, 40, faint.data(), 255);
    renderer->PresentNextFrame(0);
    const PresentedPicture shown = m_window->LastPicture();
    EXPECT_TRUE(Near(shown.Pixel(110, 60), 128, 128, 128, 10)) << std::hex << shown.Pixel(110, 60);
    EXPECT_TRUE(Near(shown.Pixel(210, 60), 128, 128, 128, 10)) << std::hex << shown.Pixel(210, 60);
    EXPECT_TRUE(Near(shown.Pixel(130, 60), 0, 0, 0));
}

TEST_F(OverlayDrawingTest, CaptionTextLiesOverItsShadowAndIsCopied) {
    auto renderer = BlackRenderer();
    std::wstring caption = L"x2 SLOW";
    renderer->AddText(1 + 5, caption.c_str(), RECT{67, 17, 1500, 1000}, 50, 0xFFF0F0F0u, L"Ariel", 255);
    renderer->PresentNextFrame(0);
    // Fully covered text pixels: the edges blend with whatever lies below.
    const int textAlone = CountNear(m_window->LastPicture(), 0xF0, 0xF0, 0xF0, 0);
    ASSERT_GT(textAlone, 50);

    renderer->AddText(1 + 3, caption.c_str(), RECT{65, 15, 1500, 1000}, 50, 0xFF7D7D7Du, L"Ariel", 255);
    // The overlay keeps its own copy: the caller's text may change or go.
    caption.assign(caption.size(), L' ');
    renderer->PresentLastFrame();
    const PresentedPicture shown = m_window->LastPicture();
    EXPECT_EQ(CountNear(shown, 0xF0, 0xF0, 0xF0, 0), textAlone);
    EXPECT_GT(CountNear(shown, 0x7D, 0x7D, 0x7D, 4), 10);
    // The text sits within its rectangle's corner, at half scale.
    EXPECT_EQ(
        CountNear(shown, 0xF0, 0xF0, 0xF0, 0) -
            [&] {
                int inside = 0;
                for (int y = 8; y < 60; ++y)
                    for (int x = 33; x < 320; ++x)
                        inside += Near(shown.Pixel(x, y), 0xF0, 0xF0, 0xF0, 0) ? 1 : 0;
                return inside;
            }(),
        0);
}

TEST_F(OverlayDrawingTest, DisplayCaptureHasTheBackBuffersSize) {
    auto renderer = BlackRenderer();
    std::vector<BYTE> buffer(640 * 360 * 4);
    int width, height, pitch;
    EXPECT_NE(renderer->CaptureDisplay(buffer.data(), buffer.size(), &width, &height, &pitch), S_OK);
    renderer->AddRectangle(1, RECT{100, 100, 300, 200}, 6.0f, 0xFFFFFFFFu, 255);
    renderer->PresentNextFrame(0);
    ASSERT_EQ(renderer->CaptureDisplay(buffer.data(), buffer.size(), &width, &height, &pitch), S_OK);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);
    EXPECT_EQ(pitch, 640 * 4);
    EXPECT_GT(buffer[(150 * 640 + 100) * 4], 200);
    EXPECT_LT(buffer[(150 * 640 + 200) * 4], 30);
}

} // namespace

// Decoded pictures handed to the renderer as they are: what a window shows is the decoded frame
// scaled once to its place (letterboxed or stretched, the side cameras mirrored), what a capture
// gives is the frame at the surface's full size, and a surface locked for its bytes holds the frame
// converted into YUY2. A window that draws scenes itself is handed the same pictures in their parts,
// composed by nobody until somebody reads them.
#include "enginetestsupport.h"
#include "platform/video/videodevice.h"
#include "platform/video/videoscene.h"
#include "platform/video/videosurface.h"
#include "platform/video/videotesthooks.h"
#include "platform/video/videotexture.h"
#include "viewer/app/globals.h"
#include "viewer/engine/d3d9renderimpl.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

const HWND kWindow = reinterpret_cast<HWND>(0x7300);
constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 180;
// The renderer's surfaces are of the layout's size, larger than the recording's pictures.
constexpr int kSurfaceWidth = 640;
constexpr int kSurfaceHeight = 360;

struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;

// Eight colour bars over the top two thirds and a white block with sharp edges on black below.
Frame MakeFrame() {
    Frame frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = kFrameWidth;
    frame->height = kFrameHeight;
    EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
    const int bars[8][3] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                            {106, 202, 222}, {81, 90, 240},  {41, 240, 110}, {16, 128, 128}};
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const bool lower = y >= kFrameHeight * 2 / 3;
            const bool block = lower && x >= 40 && x < 120 && y >= 130 && y < 170;
            const int* bar = bars[x * 8 / kFrameWidth];
            const int luma = lower ? (block ? 235 : 16) : bar[0];
            frame->data[0][y * frame->linesize[0] + x] = static_cast<uint8_t>(luma);
            if (x % 2 == 0 && y % 2 == 0) {
                frame->data[1][(y / 2) * frame->linesize[1] + x / 2] =
                    static_cast<uint8_t>(lower ? 128 : bar[1]);
                frame->data[2][(y / 2) * frame->linesize[2] + x / 2] =
                    static_cast<uint8_t>(lower ? 128 : bar[2]);
            }
        }
    return frame;
}

// The frame converted into 32-bit pixels of the size in one step, with the linear filter the device
// stretches with.
std::vector<uint32_t> Reference(const AVFrame& frame, int width, int height, bool mirrored) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    SwsContext* context =
        sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width, height,
                       AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    uint8_t* const planes[4] = {reinterpret_cast<uint8_t*>(pixels.data()), nullptr, nullptr, nullptr};
    const int pitches[4] = {width * 4, 0, 0, 0};
    sws_scale(context, frame.data, frame.linesize, 0, frame.height, planes, pitches);
    sws_freeContext(context);
    if (mirrored)
        for (int y = 0; y < height; ++y)
            std::reverse(pixels.begin() + static_cast<long>(y) * width,
                         pixels.begin() + static_cast<long>(y + 1) * width);
    return pixels;
}

int Difference(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16})
        most = std::max(
            most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

// Near everywhere: compared in blocks of 8 x 8 pixels, so that two filters that round a sharp edge
// a pixel apart agree, while a picture out of place, mirrored wrongly or off colour does not.
void ExpectSamePicture(const std::function<uint32_t(int, int)>& shown, const std::vector<uint32_t>& expected,
                       int width, int height) {
    constexpr int kBlock = 8;
    int worst = 0;
    long total = 0;
    for (int top = 0; top < height; top += kBlock)
        for (int left = 0; left < width; left += kBlock) {
            long sums[2][3] = {};
            for (int y = top; y < std::min(height, top + kBlock); ++y)
                for (int x = left; x < std::min(width, left + kBlock); ++x)
                    for (int channel = 0; channel < 3; ++channel) {
                        sums[0][channel] += (shown(x, y) >> (8 * channel)) & 0xFF;
                        sums[1][channel] +=
                            (expected[static_cast<size_t>(y) * width + x] >> (8 * channel)) & 0xFF;
                    }
            const long count = static_cast<long>(std::min(height, top + kBlock) - top) *
                               (std::min(width, left + kBlock) - left);
            for (int channel = 0; channel < 3; ++channel)
                worst =
                    std::max(worst, static_cast<int>(std::abs(sums[0][channel] - sums[1][channel]) / count));
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            total += Difference(shown(x, y), expected[static_cast<size_t>(y) * width + x]);
    EXPECT_LE(worst, 24);
    EXPECT_LE(static_cast<double>(total) / (width * height), 6.0);
}

// A window that draws scenes from their parts, as the OpenGL one does.
class SceneWindow : public TestWindow {
  public:
    using TestWindow::TestWindow;
    bool DrawsScenes() const override { return true; }
};

class DecodedPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTextRendering();
        ResetVideoTestHooks();
        UseWindow(false);
    }
    void UseWindow(bool drawsScenes) {
        m_window = drawsScenes ? std::make_shared<SceneWindow>(kSurfaceWidth, kSurfaceHeight)
                               : std::make_shared<TestWindow>(kSurfaceWidth, kSurfaceHeight);
        RegisterPresentationTarget(kWindow, m_window);
    }
    void TearDown() override {
        UnregisterPresentationTarget(kWindow);
        ResetVideoTestHooks();
    }

    std::shared_ptr<TestWindow> m_window;
    Frame m_frame = MakeFrame();
};

TEST_F(DecodedPictureTest, WindowsShowTheFrameScaledOnceToTheirPlace) {
    struct Case {
        int width;
        int height;
        int mode;
        int channel;
    };
    const Case cases[] = {
        {640, 360, 1, 0}, {200, 120, 1, 0}, {333, 77, 1, 1}, {333, 77, 0, 0},
        {150, 300, 0, 1}, {640, 360, 1, 2}, {201, 97, 0, 3},
    };
    // Each case composed by the device, and handed in its parts to a window that draws them.
    std::vector<std::pair<bool, Case>> runs;
    for (const bool parts : {false, true})
        for (const Case& c : cases)
            runs.emplace_back(parts, c);
    for (const auto& [parts, c] : runs) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " mode " +
                     std::to_string(c.mode) + " channel " + std::to_string(c.channel) +
                     (parts ? " in parts" : " composed"));
        UseWindow(parts);
        m_window->Resize(c.width, c.height);
        D3D9RenderImpl renderer;
        ASSERT_EQ(renderer.Initialize(kWindow, TRUE), S_OK);
        ASSERT_EQ(renderer.CreateVideoSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2), S_OK);
        renderer.SetDisplayMode(c.mode);
        ASSERT_EQ(renderer.UploadDecodedFrame(c.channel, 0, m_frame.get()), S_OK);
        ASSERT_EQ(renderer.PresentNextFrame(0), S_OK);
        const PresentedPicture shown = m_window->LastPicture();
        ASSERT_EQ(shown.InParts(), parts);
        ASSERT_EQ(shown.Width(), c.width);
        ASSERT_EQ(shown.Height(), c.height);
        const RECT place = c.mode == 0
                               ? AspectFitRect(RECT{0, 0, c.width, c.height}, kSurfaceWidth, kSurfaceHeight)
                               : RECT{0, 0, c.width, c.height};
        const int width = place.right - place.left;
        const int height = place.bottom - place.top;
        const bool mirrored = c.channel == 2 || c.channel == 3;
        ExpectSamePicture([&](int x, int y) { return shown.Pixel(place.left + x, place.top + y); },
                          Reference(*m_frame, width, height, mirrored), width, height);
        if (place.top > 0) {
            EXPECT_EQ(shown.Pixel(c.width / 2, 0) & 0xFFFFFF, 0u) << "letterboxed in black";
        }
    }
}

TEST_F(DecodedPictureTest, TheZoomShowsThePartOfTheFrameItsSourceRectangleNames) {
    D3D9RenderImpl renderer;
    ASSERT_EQ(renderer.Initialize(kWindow, TRUE), S_OK);
    ASSERT_EQ(renderer.CreateVideoSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2), S_OK);
    renderer.SetDisplayMode(1);
    ASSERT_EQ(renderer.UploadDecodedFrame(0, 0, m_frame.get()), S_OK);
    // The lower left quarter of the surface: the white block on black.
    ASSERT_EQ(renderer.SetSourceRect(0, kSurfaceHeight / 2, kSurfaceWidth / 2, kSurfaceHeight / 2), S_OK);
    ASSERT_EQ(renderer.PresentNextFrame(0), S_OK);
    const PresentedPicture shown = m_window->LastPicture();
    // The quarter is the frame's columns 0-159 and rows 90-179, four times enlarged: the white
    // block (columns 40-119, rows 130-169) at its centre column, black left of it, the colour bars
    // (down to row 119) at the top.
    EXPECT_GT(Difference(shown.Pixel(320, 240), 0), 200);
    EXPECT_LT(Difference(shown.Pixel(40, 240), 0), 10);
    EXPECT_GT(Difference(shown.Pixel(320, 40), 0), 100);
}

TEST_F(DecodedPictureTest, CapturesGiveTheFrameAtTheSurfacesFullSize) {
    const std::pair<bool, int> runs[] = {{false, 0}, {false, 3}, {true, 0}, {true, 3}};
    for (const auto& [parts, channel] : runs) {
        SCOPED_TRACE(std::to_string(channel) + (parts ? " in parts" : " composed"));
        UseWindow(parts);
        D3D9RenderImpl renderer;
        ASSERT_EQ(renderer.Initialize(kWindow, TRUE), S_OK);
        ASSERT_EQ(renderer.CreateVideoSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2), S_OK);
        ASSERT_EQ(renderer.UploadDecodedFrame(channel, 0, m_frame.get()), S_OK);
        ASSERT_EQ(renderer.PresentNextFrame(0), S_OK);
        std::vector<BYTE> buffer(static_cast<size_t>(kSurfaceWidth) * kSurfaceHeight * 4);
        int width = 0, height = 0, pitch = 0;
        ASSERT_EQ(renderer.CaptureVideoFrame(buffer.data(), buffer.size(), &width, &height, &pitch), S_OK);
        ASSERT_EQ(width, kSurfaceWidth);
        ASSERT_EQ(height, kSurfaceHeight);
        const auto* pixels = reinterpret_cast<const uint32_t*>(buffer.data());
        ExpectSamePicture([&](int x, int y) { return pixels[static_cast<size_t>(y) * (pitch / 4) + x]; },
                          Reference(*m_frame, kSurfaceWidth, kSurfaceHeight, channel == 3), kSurfaceWidth,
                          kSurfaceHeight);
    }
}

TEST_F(DecodedPictureTest, ASurfaceLockedForItsBytesHoldsTheFrameInYuy2) {
    std::unique_ptr<VideoDevice> device;
    ASSERT_EQ(VideoDevice::Create(kWindow, 0, 0, &device), S_OK);
    std::unique_ptr<VideoSurface> rgb;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_X8R8G8B8, &rgb),
              S_OK);
    EXPECT_EQ(device->SetSurfacePicture(*rgb, m_frame.get(), false), D3DERR_INVALIDCALL);

    for (const bool mirrored : {false, true}) {
        SCOPED_TRACE(mirrored);
        std::unique_ptr<VideoSurface> surface;
        ASSERT_EQ(device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2, &surface),
                  S_OK);
        ASSERT_EQ(device->SetSurfacePicture(*surface, m_frame.get(), mirrored), S_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(surface->LockRect(&locked), S_OK);
        std::vector<uint8_t> yuy2(static_cast<size_t>(locked.Pitch) * kSurfaceHeight);
        std::copy_n(static_cast<const uint8_t*>(locked.pBits), yuy2.size(), yuy2.begin());
        surface->UnlockRect();
        // Read back as 32-bit pixels, the YUY2 bytes show the frame.
        std::vector<uint32_t> shown(static_cast<size_t>(kSurfaceWidth) * kSurfaceHeight);
        SwsContext* context =
            sws_getContext(kSurfaceWidth, kSurfaceHeight, AV_PIX_FMT_YUYV422, kSurfaceWidth, kSurfaceHeight,
                           AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        const uint8_t* const in[4] = {yuy2.data(), nullptr, nullptr, nullptr};
        const int inPitches[4] = {locked.Pitch, 0, 0, 0};
        uint8_t* const out[4] = {reinterpret_cast<uint8_t*>(shown.data()), nullptr, nullptr, nullptr};
        const int outPitches[4] = {kSurfaceWidth * 4, 0, 0, 0};
        sws_scale(context, in, inPitches, 0, kSurfaceHeight, out, outPitches);
        sws_freeContext(context);
        ExpectSamePicture([&](int x, int y) { return shown[static_cast<size_t>(y) * kSurfaceWidth + x]; },
                          Reference(*m_frame, kSurfaceWidth, kSurfaceHeight, mirrored), kSurfaceWidth,
                          kSurfaceHeight);
    }
}

// Scenes a window that draws them itself is handed in parts, and what it is handed instead when the
// parts cannot describe the scene: either way its pixels, and the back buffer a capture of the
// display reads, are those of the scene composed for a window that takes finished pictures.
// Once a window has shown a picture much smaller than the frame, its device converts each picture
// just decoded for that place ahead of its upload. What the window then shows must be exactly what
// converting it when shown gives, and never a picture converted ahead for another frame, another
// mirroring or another place, nor for a surface since filled or given another's picture.
TEST_F(DecodedPictureTest, PicturesConvertedAheadShowExactlyWhatConvertingThemWhenShownGives) {
    // The frame's negative, with its colours swapped.
    Frame negative(av_frame_clone(m_frame.get()));
    ASSERT_EQ(av_frame_make_writable(negative.get()), 0);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            uint8_t& luma = negative->data[0][y * negative->linesize[0] + x];
            luma = static_cast<uint8_t>(251 - luma);
            if (x % 2 == 0 && y % 2 == 0)
                std::swap(negative->data[1][(y / 2) * negative->linesize[1] + x / 2],
                          negative->data[2][(y / 2) * negative->linesize[2] + x / 2]);
        }
    const RECT whole{0, 0, kSurfaceWidth, kSurfaceHeight};
    // At most a quarter of the frame, across the whole window or inside it.
    const RECT wide{0, 10, 158, 90};
    const RECT inset{20, 20, 140, 80};
    m_window->Resize(158, 100);
    const auto show = [&](VideoDevice& device, VideoSurface& surface, const RECT& destination) {
        std::unique_ptr<VideoScene> scene;
        EXPECT_EQ(device.BeginScene(0xFF000000u, &scene), S_OK);
        EXPECT_EQ(scene->StretchRect(surface, whole, destination), S_OK);
        EXPECT_EQ(device.Present(std::move(scene)), S_OK);
        return m_window->LastPicture();
    };
    // What a device that has shown nothing before shows of the frame.
    const auto whenShown = [&](const AVFrame* frame, bool mirrored, const RECT& destination) {
        std::unique_ptr<VideoDevice> device;
        std::unique_ptr<VideoSurface> surface;
        EXPECT_EQ(VideoDevice::Create(kWindow, 0, 0, &device), S_OK);
        EXPECT_EQ(device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2, &surface),
                  S_OK);
        EXPECT_EQ(device->SetSurfacePicture(*surface, frame, mirrored), S_OK);
        return show(*device, *surface, destination);
    };
    const auto differing = [](const PresentedPicture& a, const PresentedPicture& b) {
        int count = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                count += a.Pixel(x, y) != b.Pixel(x, y);
        return count;
    };
    for (const bool mirrored : {false, true}) {
        for (const RECT& place : {wide, inset}) {
            SCOPED_TRACE(std::string(mirrored ? "mirrored, " : "") +
                         (place.left == 0 ? "full rows" : "inset"));
            const RECT elsewhere = place.left == 0 ? inset : wide;
            std::unique_ptr<VideoDevice> device;
            std::unique_ptr<VideoSurface> surface;
            ASSERT_EQ(VideoDevice::Create(kWindow, 0, 0, &device), S_OK);
            ASSERT_EQ(
                device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2, &surface),
                S_OK);
            const auto hand = [&](const AVFrame* ahead, bool aheadMirrored, const AVFrame* frame) {
                device->PreparePicture(ahead, aheadMirrored);
                EXPECT_EQ(device->SetSurfacePicture(*surface, frame, mirrored), S_OK);
            };
            hand(m_frame.get(), mirrored, m_frame.get());
            show(*device, *surface, place);
            hand(negative.get(), mirrored, negative.get());
            EXPECT_EQ(differing(show(*device, *surface, place), whenShown(negative.get(), mirrored, place)),
                      0);
            // Shown again (a paused channel's redraw), and somewhere else.
            EXPECT_EQ(differing(show(*device, *surface, place), whenShown(negative.get(), mirrored, place)),
                      0);
            EXPECT_EQ(
                differing(show(*device, *surface, elsewhere), whenShown(negative.get(), mirrored, elsewhere)),
                0);
            // Converted ahead for another frame, or mirrored the other way.
            hand(m_frame.get(), mirrored, negative.get());
            EXPECT_EQ(
                differing(show(*device, *surface, elsewhere), whenShown(negative.get(), mirrored, elsewhere)),
                0);
            hand(m_frame.get(), !mirrored, m_frame.get());
            EXPECT_EQ(
                differing(show(*device, *surface, elsewhere), whenShown(m_frame.get(), mirrored, elsewhere)),
                0);
            // Converted ahead, then filled: the fill shows.
            hand(negative.get(), mirrored, negative.get());
            ASSERT_EQ(device->ColorFill(*surface, 0xFF4080C0u), S_OK);
            const PresentedPicture filled = show(*device, *surface, elsewhere);
            EXPECT_LE(Difference(filled.Pixel(elsewhere.left + 5, elsewhere.top + 5), 0xFF4080C0u), 2);
            // Converted ahead, then given another surface's picture: that picture shows.
            hand(m_frame.get(), mirrored, m_frame.get());
            std::unique_ptr<VideoSurface> other;
            ASSERT_EQ(device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2, &other),
                      S_OK);
            ASSERT_EQ(device->SetSurfacePicture(*other, negative.get(), mirrored), S_OK);
            ASSERT_EQ(device->UpdateSurface(*other, *surface), S_OK);
            EXPECT_EQ(
                differing(show(*device, *surface, elsewhere), whenShown(negative.get(), mirrored, elsewhere)),
                0);
        }
    }
}

TEST_F(DecodedPictureTest, ScenesInPartsShowWhatComposedScenesShow) {
    constexpr int kBackWidth = 800;
    constexpr int kBackHeight = 450;
    std::vector<BYTE> badge(24 * 16 * 4);
    for (size_t i = 0; i < badge.size(); i += 4) {
        badge[i] = 0x20;     // blue
        badge[i + 1] = 0xE0; // green
        badge[i + 2] = 0xF0; // red
        badge[i + 3] = 0xA0; // alpha
    }
    std::unique_ptr<VideoTexture> texture;
    ASSERT_EQ(VideoTexture::Create(24, 16, badge.data(), &texture), S_OK);
    const auto overlays = [&](VideoScene& scene) {
        EXPECT_EQ(scene.DrawLines({{10, 10}, {700, 300}, {100, 400}}, 6, 0xC0FF2020u), S_OK);
        EXPECT_EQ(scene.DrawTexture(*texture, 500, 50, 200), S_OK);
    };
    struct Case {
        const char* name;
        bool mirrored;
        // Left in parts, or composed because the parts cannot describe it.
        bool inParts;
        std::function<void(VideoScene&, VideoSurface&, VideoSurface&)> draw;
    };
    const RECT whole{0, 0, kSurfaceWidth, kSurfaceHeight};
    const Case cases[] = {
        {"picture and overlays", false, true,
         [&](VideoScene& scene, VideoSurface& surface, VideoSurface&) {
             EXPECT_EQ(scene.StretchRect(surface, RECT{40, 20, 600, 340}, RECT{7, 5, 300, 190}), S_OK);
             overlays(scene);
         }},
        {"mirrored picture", true, true,
         [&](VideoScene& scene, VideoSurface& surface, VideoSurface&) {
             EXPECT_EQ(scene.StretchRect(surface, whole, RECT{0, 9, 331, 201}), S_OK);
         }},
        {"overlays only", false, true,
         [&](VideoScene& scene, VideoSurface&, VideoSurface&) { overlays(scene); }},
        {"overlays under the picture", false, false,
         [&](VideoScene& scene, VideoSurface& surface, VideoSurface&) {
             overlays(scene);
             EXPECT_EQ(scene.StretchRect(surface, whole, RECT{50, 50, 250, 150}), S_OK);
         }},
        {"two pictures", true, false,
         [&](VideoScene& scene, VideoSurface& surface, VideoSurface&) {
             EXPECT_EQ(scene.StretchRect(surface, whole, RECT{0, 0, 331, 201}), S_OK);
             EXPECT_EQ(scene.StretchRect(surface, RECT{0, 180, 320, 360}, RECT{200, 100, 331, 201}), S_OK);
             overlays(scene);
         }},
        {"a picture held as bytes", false, false,
         [&](VideoScene& scene, VideoSurface&, VideoSurface& bytes) {
             EXPECT_EQ(scene.StretchRect(bytes, whole, RECT{3, 3, 330, 200}), S_OK);
             overlays(scene);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PresentedPicture shown[2];
        std::vector<BYTE> backBuffers[2];
        for (const bool parts : {false, true}) {
            UseWindow(parts);
            m_window->Resize(331, 201);
            std::unique_ptr<VideoDevice> device;
            ASSERT_EQ(VideoDevice::Create(kWindow, kBackWidth, kBackHeight, &device), S_OK);
            std::unique_ptr<VideoSurface> surface;
            std::unique_ptr<VideoSurface> bytes;
            ASSERT_EQ(
                device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2, &surface),
                S_OK);
            ASSERT_EQ(device->CreateOffscreenPlainSurface(kSurfaceWidth, kSurfaceHeight, D3DFMT_YUY2, &bytes),
                      S_OK);
            ASSERT_EQ(device->SetSurfacePicture(*surface, m_frame.get(), c.mirrored), S_OK);
            ASSERT_EQ(device->ColorFill(*bytes, 0xFF4080C0u), S_OK);
            std::unique_ptr<VideoScene> scene;
            ASSERT_EQ(device->BeginScene(0xFF102030u, &scene), S_OK);
            c.draw(*scene, *surface, *bytes);
            ASSERT_EQ(device->Present(std::move(scene)), S_OK);
            shown[parts] = m_window->LastPicture();
            EXPECT_EQ(shown[parts].InParts(), parts && c.inParts);
            backBuffers[parts].resize(static_cast<size_t>(kBackWidth) * kBackHeight * 4);
            ASSERT_EQ(device->GetRenderTargetData(backBuffers[parts].data(), backBuffers[parts].size(),
                                                  kBackWidth * 4),
                      S_OK);
        }
        ASSERT_EQ(shown[1].Width(), 331);
        ASSERT_EQ(shown[1].Height(), 201);
        int worst = 0;
        for (int y = 0; y < 201; ++y)
            for (int x = 0; x < 331; ++x)
                worst = std::max(worst, Difference(shown[0].Pixel(x, y), shown[1].Pixel(x, y)));
        // Overlays blended onto a picture of their own first round a level differently.
        EXPECT_LE(worst, 2);
        int worstBack = 0;
        for (size_t i = 0; i < backBuffers[0].size(); ++i)
            worstBack = std::max(worstBack, std::abs(backBuffers[0][i] - backBuffers[1][i]));
        EXPECT_LE(worstBack, 2);
    }
}

} // namespace

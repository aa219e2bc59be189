#include "platform/ui/bitmap.h"
#include "platform/ui/cursor.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/resources.h"
#include "platform/ui/screen.h"
#include "uitest.h"
#include "viewer/app/globals.h"
#include "viewer/skin/animatedpicture.h"
#include "viewer/skin/taskbarpopup.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr UINT kCardNotice = 314;
constexpr UINT kZoomCursor = 317;
constexpr UINT kWaitAnimation = 327;

int Lightness(QRgb pixel) {
    return qGray(pixel);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP description{};
    GetObjectW(bitmap, sizeof(description), &description);
    return SIZE{description.bmWidth, description.bmHeight};
}

TEST(ProgramResourceTest, PicturesAreCompiledInAtTheirPathsAndSizes) {
    struct Case {
        const char* path;
        int width;
        int height;
        bool alpha;
    };
    const Case cases[] = {
        {":/bitmap/314.bmp", 200, 83, false},
        {":/cursor/317.png", 32, 32, true},
        {":/icon/128.png", 256, 256, true},
    };
    for (const Case& c : cases) {
        const QImage image(QString::fromLatin1(c.path));
        ASSERT_FALSE(image.isNull()) << c.path;
        EXPECT_EQ(image.size(), QSize(c.width, c.height)) << c.path;
        EXPECT_EQ(image.hasAlphaChannel(), c.alpha) << c.path;
    }
    // The pop-up's picture is a 24-bit bottom-up BMP, as the program's bitmap resources are.
    QFile bmp(QStringLiteral(":/bitmap/314.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(54);
    ASSERT_EQ(header.size(), 54);
    EXPECT_EQ(header.left(2), QByteArray("BM"));
    EXPECT_EQ(static_cast<uchar>(header[28]), 24u) << "bits per pixel";
    EXPECT_EQ(static_cast<uchar>(header[22]), 83u) << "a positive height: bottom-up rows";
}

TEST(ProgramResourceTest, CardNoticeLoadsAsABitmapResource) {
    HANDLE loaded = LoadImageW(nullptr, MAKEINTRESOURCEW(kCardNotice), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(loaded, nullptr);
    const SIZE size = BitmapSize(static_cast<HBITMAP>(loaded));
    EXPECT_EQ(size.cx, 200);
    EXPECT_EQ(size.cy, 83);
    DeleteObject(loaded);

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(kCardNotice));
    BITMAP description{};
    bitmap.GetBitmap(&description);
    EXPECT_EQ(description.bmWidth, 200);
    EXPECT_EQ(description.bmHeight, 83);
}

class CardNoticePopupTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 50, 50)));
        ASSERT_TRUE(popup.Create(&parent));
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        savedWidth = g_screenWidth;
        savedHeight = g_screenHeight;
        g_screenWidth = work.right - work.left;
        g_screenHeight = work.bottom - work.top;
    }
    void TearDown() override {
        g_screenWidth = savedWidth;
        g_screenHeight = savedHeight;
    }

    TestWindow parent;
    CTaskbarPopup popup;
    int savedWidth = 0;
    int savedHeight = 0;
};

// Set up as the main view sets it up, the pop-up shows the picture with the text readable on it,
// in both its colours.
TEST_F(CardNoticePopupTest, ShowsThePictureWithItsTextReadable) {
    ASSERT_TRUE(popup.SetSkin(kCardNotice, -1, -1, -1));
    popup.SetTextFont(L"Arial", 90, 0, 4);
    popup.SetTextColor(RGB(0, 0, 0), 0xC80000);
    const CRect text(10, 15, 200 - 10, 83 - 25);
    popup.SetTextRect(text);
    popup.Show(L"Recorder card", 500, 15000, 500);
    for (int tick = 0; tick < 100 && popup.GetState() != CTaskbarPopup::STATE_WAITING; ++tick) {
        popup.SendMessage(WM_TIMER, CTaskbarPopup::TIMER_APPEAR, 0);
    }
    ASSERT_EQ(popup.GetState(), CTaskbarPopup::STATE_WAITING);
    CRect client;
    popup.GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(200, 83)) << "the pop-up takes its picture's size";

    CBitmap reference;
    ASSERT_TRUE(reference.LoadBitmap(kCardNotice));
    const QImage picture = ImageFromBitmap(static_cast<HBITMAP>(reference.GetSafeHandle()));
    for (int y = text.top; y < text.bottom; ++y) {
        for (int x = text.left; x < text.right; ++x) {
            ASSERT_GT(Lightness(picture.pixel(x, y)), 200)
                << "the text lies on a light area at " << x << "," << y;
        }
    }

    popup.UpdateWindow();
    Pump();
    const QImage shown = WindowPicture(popup.m_hWnd);
    ASSERT_EQ(shown.size(), QSize(200, 83));
    EXPECT_EQ(shown.pixel(2, 70), picture.pixel(2, 70)) << "the picture outside the text";
    EXPECT_EQ(shown.pixel(100, 5), picture.pixel(100, 5));
    const auto countText = [&](const QImage& image, const std::function<bool(QRgb)>& isText) {
        int count = 0;
        for (int y = text.top; y < text.bottom; ++y) {
            for (int x = text.left; x < text.right; ++x) {
                count += isText(image.pixel(x, y)) ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_GT(countText(shown, [](QRgb pixel) { return Lightness(pixel) < 80; }), 20) << "black text";

    popup.SendMessage(WM_MOUSEHOVER, 0, 0);
    Pump();
    const QImage hovered = WindowPicture(popup.m_hWnd);
    EXPECT_GT(
        countText(hovered,
                  [](QRgb pixel) { return qBlue(pixel) > 120 && qRed(pixel) < 80 && qGreen(pixel) < 80; }),
        20)
        << "blue text under the mouse";
}

// The repair box's animation, loaded by resource name and type as the box loads it.
TEST(WaitAnimationTest, LoadsAsAnAnimatedGifResourceAndPlays) {
    TestWindow top;
    ASSERT_TRUE(top.CreateTop(CRect(100, 100, 300, 300)));
    CAnimatedPicture picture;
    ASSERT_TRUE(picture.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top, 1007));
    ASSERT_TRUE(picture.Load(MAKEINTRESOURCEW(kWaitAnimation), L"GIF"));

    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(kWaitAnimation), L"GIF");
    ASSERT_NE(resource, nullptr);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    const size_t inFile = CAnimatedPicture::CountGifFrames(data, SizeofResource(nullptr, resource));
    EXPECT_GE(inFile, 4u);
    EXPECT_EQ(picture.GetFrameCount(), inFile) << "every frame decodes";

    const SIZE size = picture.GetPictureSize();
    EXPECT_GE(size.cx, 32);
    EXPECT_LE(size.cx, 120) << "fits the box's picture frame";
    EXPECT_EQ(size.cx, size.cy);
    for (size_t index = 0; index < picture.GetFrameCount(); ++index) {
        const CAnimatedPicture::TFrame& frame = picture.GetFrame(index);
        EXPECT_GE(frame.delay, 5u) << index;
        EXPECT_LE(frame.delay, 20u) << index;
        EXPECT_EQ(frame.frameSize.cx, size.cx) << index;
        EXPECT_EQ(frame.frameSize.cy, size.cy) << index;
    }
    // The decoded frames are the picture, not noise: the background in the corner, and the spinner
    // in the skin's accent.
    const QImage first = ImageFromBitmap(picture.GetFrame(0).picture);
    EXPECT_EQ(first.pixel(0, 0) & 0xFFFFFFu, 0x1E1F22u);
    bool accent = false;
    for (int y = 0; y < first.height() && !accent; ++y) {
        for (int x = 0; x < first.width() && !accent; ++x) {
            accent = (first.pixel(x, y) & 0xFFFFFFu) == 0xF2BB30u;
        }
    }
    EXPECT_TRUE(accent);

    ASSERT_TRUE(picture.Draw());
    EXPECT_TRUE(picture.IsPlaying());
    const QImage before = WindowPicture(picture.m_hWnd);
    EXPECT_TRUE(WaitFor([&] { return WindowPicture(picture.m_hWnd) != before; }, 10000))
        << "the spinner turns";
    picture.Stop();
}

TEST(ZoomCursorTest, LoadsAsACursorResourceWithItsHotSpotInside) {
    EXPECT_NE(LoadImageW(nullptr, MAKEINTRESOURCEW(kZoomCursor), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR),
              nullptr);
    const QImage image(QStringLiteral(":/cursor/317.png"));
    const QStringList hotSpot = image.text(QStringLiteral("hotspot")).split(QLatin1Char(','));
    ASSERT_EQ(hotSpot.size(), 2);
    EXPECT_GE(hotSpot[0].toInt(), 0);
    EXPECT_LT(hotSpot[0].toInt(), 32);
    EXPECT_GE(hotSpot[1].toInt(), 0);
    EXPECT_LT(hotSpot[1].toInt(), 32);
    int opaque = 0;
    int clear = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
            clear += qAlpha(image.pixel(x, y)) == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 60) << "a visible shape";
    EXPECT_GT(clear, 32 * 32 / 2) << "a cursor, not a tile";
}

} // namespace

#include "skintest.h"
#include "viewer/skin/color.h"
#include "viewer/skin/mymemdc.h"
#include "viewer/skin/painter.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct HlsCase {
    COLORREF color;
    WORD hue, lightness, saturation;
};

TEST(ColorTest, SystemConversionMatchesReferenceValues) {
    const HlsCase cases[] = {
        {RGB(0, 0, 0), 160, 0, 0},          {RGB(255, 255, 255), 160, 240, 0},
        {RGB(255, 0, 0), 0, 120, 240},      {RGB(0, 255, 0), 80, 120, 240},
        {RGB(0, 0, 255), 160, 120, 240},    {RGB(128, 128, 128), 160, 120, 0},
        {RGB(255, 0, 255), 200, 120, 240},  {RGB(23, 23, 23), 160, 22, 0},
        {RGB(48, 187, 242), 131, 136, 212},
    };
    for (const HlsCase& c : cases) {
        WORD h = 1, l = 1, s = 1;
        CColor::RGBToHLS(c.color, &h, &l, &s);
        EXPECT_EQ(h, c.hue) << std::hex << c.color;
        EXPECT_EQ(l, c.lightness) << std::hex << c.color;
        EXPECT_EQ(s, c.saturation) << std::hex << c.color;
    }
    EXPECT_EQ(CColor::HLSToRGB(0, 120, 240), RGB(255, 0, 0));
    EXPECT_EQ(CColor::HLSToRGB(80, 120, 240), RGB(0, 255, 0));
    EXPECT_EQ(CColor::HLSToRGB(160, 120, 240), RGB(0, 0, 255));
    EXPECT_EQ(CColor::HLSToRGB(0, 240, 0), RGB(255, 255, 255));
    EXPECT_EQ(CColor::HLSToRGB(200, 120, 240), RGB(255, 0, 255));
    // The base colour of the skin, HLS(217, 105, 200).
    EXPECT_EQ(CColor::HLSToRGB(217, 105, 200), RGB(205, 18, 125));
}

TEST(ColorTest, SystemConversionRoundTripsWithinRounding) {
    for (int r = 0; r < 256; r += 17) {
        for (int g = 0; g < 256; g += 51) {
            for (int b = 0; b < 256; b += 85) {
                const COLORREF color = RGB(r, g, b);
                WORD h, l, s;
                CColor::RGBToHLS(color, &h, &l, &s);
                const COLORREF back = CColor::HLSToRGB(h, l, s);
                EXPECT_LE(std::abs(GetRValue(back) - r), 4) << std::hex << color;
                EXPECT_LE(std::abs(GetGValue(back) - g), 4) << std::hex << color;
                EXPECT_LE(std::abs(GetBValue(back) - b), 4) << std::hex << color;
            }
        }
    }
}

TEST(ColorTest, OwnConversionTruncates) {
    struct Case {
        COLORREF color;
        DWORD hls;
    };
    const Case cases[] = {
        {RGB(0, 0, 0), 0x000000},     {RGB(255, 255, 255), 0x00F000}, {RGB(255, 0, 0), 0xF078F0},
        {RGB(0, 255, 0), 0xF07850},   {RGB(0, 0, 255), 0xF078A0},     {RGB(128, 128, 128), 0x007800},
        {RGB(255, 0, 255), 0xF078C8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CColor::ColorToHLS(c.color), c.hls) << std::hex << c.color;
    }
    // Red lies at hue 360 degrees, which the conversion keeps.
    EXPECT_EQ(CColor::HLSToColor(0xF078F0), RGB(255, 0, 0));
    EXPECT_EQ(CColor::HLSToColor(0xF07800), RGB(255, 0, 0));
    EXPECT_EQ(CColor::HLSToColor(0xF078A0), RGB(0, 0, 255));
    EXPECT_EQ(CColor::HLSToColor(0x00F000), RGB(255, 255, 255));
    // Grey 128 comes back as 127: the lightness was cut to 120 of 240.
    EXPECT_EQ(CColor::HLSToColor(0x007800), RGB(127, 127, 127));
    const BYTE pixel[4] = {0, 0, 255, 0x55};
    EXPECT_EQ(CColor::PixelToHLS(pixel), 0xF078F0u);
}

// A 32-bit bottom-up buffer of width x 1.
std::vector<BYTE> Row(const std::vector<COLORREF>& colors) {
    std::vector<BYTE> pixels;
    for (COLORREF color : colors) {
        pixels.insert(pixels.end(), {GetBValue(color), GetGValue(color), GetRValue(color), 0});
    }
    return pixels;
}

COLORREF At(const std::vector<BYTE>& pixels, int index) {
    return RGB(pixels[index * 4 + 2], pixels[index * 4 + 1], pixels[index * 4]);
}

TEST(ColorTest, ShiftClampsAtTheEndsOfTheScale) {
    // Greys of lightness 200 and 30.
    std::vector<BYTE> pixels = Row({RGB(212, 212, 212), RGB(32, 32, 32)});
    CColor::ShiftHLS(pixels.data(), 2, 1, 0, 0, 1, 1, 0, 50, 0, kKey, 0);
    CColor::ShiftHLS(pixels.data(), 2, 1, 1, 0, 1, 1, 0, -50, 0, kKey, 0);
    EXPECT_EQ(At(pixels, 0), CColor::HLSToRGB(160, 239, 0));
    EXPECT_EQ(At(pixels, 0), RGB(253, 253, 253));
    EXPECT_EQ(At(pixels, 1), RGB(0, 0, 0));
}

TEST(ColorTest, KeyPixelsAreKeptOnlyWhenAsked) {
    for (DWORD flags : {0u, 1u}) {
        std::vector<BYTE> pixels = Row({kKey, RGB(255, 0, 0)});
        CColor::ShiftHLS(pixels.data(), 2, 1, 0, 0, 2, 1, 0, 0, -240, kKey, flags);
        EXPECT_EQ(At(pixels, 0) == kKey, flags == 1) << flags;
        EXPECT_EQ(GetRValue(At(pixels, 1)), GetGValue(At(pixels, 1))) << "saturation removed";
    }
}

TEST(ColorTest, TheCacheGivesEachPixelItsOwnResult) {
    const COLORREF a = RGB(200, 40, 40);
    const COLORREF b = RGB(40, 40, 200);
    std::vector<BYTE> pixels = Row({a, b, a, b});
    CColor::SetHLSComponent(pixels.data(), 4, 1, 0, 0, 4, 1, 80, 0, kKey, 1);
    EXPECT_EQ(At(pixels, 0), At(pixels, 2));
    EXPECT_EQ(At(pixels, 1), At(pixels, 3));
    EXPECT_EQ(At(pixels, 0), CColor::HLSToColor((CColor::ColorToHLS(a) & ~0xFFu) | 80));
    EXPECT_EQ(At(pixels, 1), CColor::HLSToColor((CColor::ColorToHLS(b) & ~0xFFu) | 80));
}

TEST(ColorTest, SetComponentOnABitmapKeepsKeyPixelsAndRowsInPlace) {
    BitmapStore store;
    HBITMAP bitmap = store.Keep(MakeBitmap({{kKey, RGB(200, 40, 40)}, {RGB(40, 200, 40), kKey}}));
    ASSERT_TRUE(CColor::SetHLSComponent(bitmap, 0, 0, -1, -1, 160, 0, kKey, 1));
    EXPECT_EQ(PixelOf(bitmap, 0, 0), kKey);
    EXPECT_EQ(PixelOf(bitmap, 1, 1), kKey);
    const DWORD top = CColor::ColorToHLS(PixelOf(bitmap, 1, 0));
    const DWORD bottom = CColor::ColorToHLS(PixelOf(bitmap, 0, 1));
    EXPECT_NEAR(static_cast<int>(top & 0xFF), 160, 2);
    EXPECT_NEAR(static_cast<int>(bottom & 0xFF), 160, 2);
    EXPECT_FALSE(CColor::SetHLSComponent(static_cast<HBITMAP>(nullptr), 0, 0, -1, -1, 0, 0, kKey, 1));
}

class PainterTest : public testing::Test {
  protected:
    void SetUp() override {
        target.CreateCompatibleDC(nullptr);
        canvas.CreateCompatibleBitmap(&target, 12, 6);
        previous = target.SelectObject(&canvas);
        const CRect all(0, 0, 12, 6);
        target.FillSolidRect(&all, RGB(1, 2, 3));
    }
    void TearDown() override { target.SelectObject(previous); }

    CBitmap* Borrow(HBITMAP bitmap) {
        pieces.emplace_back(std::make_unique<CBitmap>());
        pieces.back()->Attach(bitmap);
        return pieces.back().get();
    }
    void TearDownPieces() {
        for (auto& piece : pieces) {
            piece->Detach();
        }
    }
    ~PainterTest() override { TearDownPieces(); }

    BitmapStore store;
    std::vector<std::unique_ptr<CBitmap>> pieces;
    CDC target;
    CBitmap canvas;
    CBitmap* previous = nullptr;
};

TEST_F(PainterTest, DrawBitmapTakesTheSourceRectanglesOwnPixels) {
    const COLORREF a = RGB(10, 0, 0), b = RGB(20, 0, 0), c = RGB(30, 0, 0), d = RGB(40, 0, 0);
    CBitmap* bitmap = Borrow(store.Keep(MakeBitmap({{a, b}, {c, d}})));
    CPainter painter(&target);
    EXPECT_TRUE(painter.DrawBitmap(bitmap, CPoint(5, 2), CRect(1, 1, 2, 2)));
    EXPECT_EQ(target.GetPixel(5, 2), d);
    EXPECT_EQ(target.GetPixel(6, 2), RGB(1, 2, 3));
    EXPECT_TRUE(painter.DrawBitmap(bitmap, CPoint(0, 0), CRect()));
    EXPECT_EQ(target.GetPixel(0, 0), a);
    EXPECT_EQ(target.GetPixel(1, 1), d);
}

TEST_F(PainterTest, TransparentStretchLeavesKeyPixelsUntouched) {
    CBitmap* bitmap = Borrow(store.Keep(MakeBitmap({{kKey, RGB(0, 200, 0)}})));
    CPainter painter(&target);
    EXPECT_TRUE(painter.DrawTransparent(bitmap, CRect(0, 0, 2, 1), kKey, CRect(0, 0, 8, 2)));
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(target.GetPixel(x, 1), RGB(1, 2, 3)) << x;
    }
    for (int x = 4; x < 8; ++x) {
        EXPECT_EQ(target.GetPixel(x, 1), RGB(0, 200, 0)) << x;
    }
    EXPECT_EQ(target.GetPixel(8, 0), RGB(1, 2, 3));
}

TEST_F(PainterTest, TilesEndExactlyAtTheAreasEdgeWithACutLastPiece) {
    const COLORREF first = RGB(100, 0, 0), second = RGB(0, 100, 0);
    CBitmap* bitmap = Borrow(store.Keep(MakeBitmap({{first, second, kKey}, {first, second, kKey}})));
    CPainter painter(&target);
    EXPECT_TRUE(painter.TileHorizontal(bitmap, CRect(1, 0, 9, 1), CRect(), kKey));
    const COLORREF expected[] = {RGB(1, 2, 3), first,        second, RGB(1, 2, 3), first,
                                 second,       RGB(1, 2, 3), first,  second,       RGB(1, 2, 3)};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(target.GetPixel(x, 0), expected[x]) << x;
    }
    EXPECT_EQ(target.GetPixel(1, 1), first) << "pieces keep their own height";

    CBitmap* column = Borrow(store.Keep(MakeBitmap({{first}, {second}})));
    EXPECT_TRUE(painter.TileVertical(column, CRect(11, 1, 12, 6), CRect(), kKey));
    const COLORREF down[] = {RGB(1, 2, 3), first, second, first, second, first};
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(target.GetPixel(11, y), down[y]) << y;
    }
}

TEST_F(PainterTest, AnEmptyPieceDrawsNothingAndEnds) {
    CBitmap empty;
    CPainter painter(&target);
    EXPECT_FALSE(painter.TileHorizontal(&empty, CRect(0, 0, 12, 6), CRect(), kKey));
    EXPECT_FALSE(painter.TileVertical(nullptr, CRect(0, 0, 12, 6), CRect(), kKey));
    EXPECT_FALSE(painter.DrawTransparent(&empty, CRect(), kKey, CRect(0, 0, 12, 6)));
    EXPECT_EQ(target.GetPixel(0, 0), RGB(1, 2, 3));
}

TEST_F(PainterTest, MemoryDcCopiesToItsTargetOnDestruction) {
    {
        CMyMemDC memory(&target, CRect(0, 0, 4, 3));
        const CRect inside(1, 1, 4, 3);
        memory.FillSolidRect(&inside, RGB(7, 8, 9));
        EXPECT_EQ(target.GetPixel(2, 2), RGB(1, 2, 3));
    }
    EXPECT_EQ(target.GetPixel(1, 1), RGB(7, 8, 9));
    EXPECT_EQ(target.GetPixel(3, 2), RGB(7, 8, 9));
    EXPECT_EQ(target.GetPixel(4, 2), RGB(1, 2, 3)) << "only the rectangle is copied";
}

} // namespace

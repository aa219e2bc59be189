// Drawing on memory DCs, probed pixel by pixel, and the paint cycle of a window.

#include "uitest.h"

#include "platform/ui/bmpbatchdecoder.h"
#include "platform/ui/dc.h"
#include "platform/ui/qtaccess.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Magenta = RGB(255, 0, 255);

// A memory DC with its own bitmap of the given size, filled with one colour.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill = White) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, width, height);
        previous = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, width, height, fill);
    }
    ~Canvas() { dc.SelectObject(previous); }

    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
};

int CountColor(const CDC& dc, const CRect& area, COLORREF color) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            count += dc.GetPixel(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

// The bounding box of pixels that are not the background.
CRect Inked(const CDC& dc, const CRect& area, COLORREF background) {
    CRect box(area.right, area.bottom, area.left, area.top);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (dc.GetPixel(x, y) != background) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box;
}

TEST(Painting, FillsExcludeRightAndBottomAndReadsOutsideAreInvalid) {
    Canvas canvas(10, 10);
    CBrush brush(Red);
    const CRect area(2, 3, 5, 7);
    canvas.dc.FillRect(&area, &brush);
    EXPECT_EQ(CountColor(canvas.dc, CRect(0, 0, 10, 10), Red), 3 * 4);
    EXPECT_EQ(canvas.dc.GetPixel(4, 6), Red);
    EXPECT_EQ(canvas.dc.GetPixel(5, 6), White);
    EXPECT_EQ(canvas.dc.GetPixel(4, 7), White);
    EXPECT_EQ(canvas.dc.GetPixel(10, 0), CLR_INVALID);
    EXPECT_EQ(canvas.dc.GetPixel(-1, 0), CLR_INVALID);
    // FillSolidRect leaves its colour as the background colour.
    canvas.dc.FillSolidRect(0, 0, 1, 1, Blue);
    EXPECT_EQ(canvas.dc.GetBkColor(), Blue);
    // A system colour brush by its number.
    canvas.dc.FillRect(CRect(0, 9, 1, 10), reinterpret_cast<CBrush*>(0));
    EXPECT_EQ(FillRect(canvas.dc, CRect(9, 9, 10, 10), reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1)), 1);
    EXPECT_EQ(canvas.dc.GetPixel(9, 9), GetSysColor(COLOR_APPWORKSPACE));
}

TEST(Painting, BitBltCopiesWithinTheSourceAndTheClipRegion) {
    Canvas source(4, 4, Green);
    source.dc.SetPixel(0, 0, Red);
    Canvas target(10, 10);
    EXPECT_TRUE(target.dc.BitBlt(2, 2, 6, 6, &source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.dc.GetPixel(2, 2), Red);
    // Only the 4 x 4 the source has arrives.
    EXPECT_EQ(CountColor(target.dc, CRect(0, 0, 10, 10), Green), 15);
    EXPECT_EQ(target.dc.GetPixel(6, 6), White);

    Canvas clipped(10, 10);
    CRgn region;
    region.CreateRectRgn(0, 0, 10, 10);
    clipped.dc.SelectClipRgn(&region);
    clipped.dc.ExcludeClipRect(0, 0, 5, 10);
    CRect box;
    EXPECT_EQ(clipped.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(5, 0, 10, 10));
    clipped.dc.BitBlt(0, 0, 10, 10, &target.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(CountColor(clipped.dc, CRect(0, 0, 10, 10), Green), 4);
    clipped.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(clipped.dc.GetPixel(2, 2), White);
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, 0x00EE0086));
}

TEST(Painting, StretchBltScalesMirrorsAndSmoothsWithHalftone) {
    Canvas source(2, 1);
    source.dc.SetPixel(0, 0, Black);
    source.dc.SetPixel(1, 0, White);
    Canvas target(8, 4);
    target.dc.SetStretchBltMode(COLORONCOLOR);
    EXPECT_TRUE(target.dc.StretchBlt(0, 0, 8, 2, &source.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(CountColor(target.dc, CRect(0, 0, 4, 2), Black), 8);
    EXPECT_EQ(CountColor(target.dc, CRect(4, 0, 8, 2), White), 8);
    // A negative width mirrors.
    EXPECT_TRUE(target.dc.StretchBlt(7, 2, -8, 2, &source.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(target.dc.GetPixel(0, 2), White);
    EXPECT_EQ(target.dc.GetPixel(7, 2), Black);

    Canvas wide(16, 1);
    wide.dc.SetStretchBltMode(HALFTONE);
    wide.dc.StretchBlt(0, 0, 16, 1, &source.dc, 0, 0, 2, 1, SRCCOPY);
    int between = 0;
    for (int x = 0; x < 16; ++x) {
        const COLORREF pixel = wide.dc.GetPixel(x, 0);
        between += pixel != Black && pixel != White ? 1 : 0;
    }
    EXPECT_GT(between, 0);
}

TEST(Painting, TransparentBltLeavesTheKeyColourOut) {
    Canvas source(3, 2, Magenta);
    source.dc.SetPixel(1, 0, Red);
    source.dc.SetPixel(2, 1, Blue);
    Canvas target(6, 4, Green);
    EXPECT_TRUE(target.dc.TransparentBlt(0, 0, 3, 2, &source.dc, 0, 0, 3, 2, Magenta));
    EXPECT_EQ(target.dc.GetPixel(0, 0), Green);
    EXPECT_EQ(target.dc.GetPixel(1, 0), Red);
    EXPECT_EQ(target.dc.GetPixel(2, 1), Blue);
    EXPECT_EQ(CountColor(target.dc, CRect(0, 0, 6, 4), Magenta), 0);
    // Stretched to twice the size.
    EXPECT_TRUE(target.dc.TransparentBlt(0, 0, 6, 4, &source.dc, 0, 0, 3, 2, Magenta));
    EXPECT_EQ(CountColor(target.dc, CRect(2, 0, 4, 2), Red), 4);
    EXPECT_EQ(target.dc.GetPixel(0, 0), Green);
    // A source rectangle beyond the bitmap fails and draws nothing.
    Canvas untouched(4, 4, Green);
    EXPECT_FALSE(untouched.dc.TransparentBlt(0, 0, 4, 4, &source.dc, 1, 0, 3, 2, Magenta));
    EXPECT_EQ(CountColor(untouched.dc, CRect(0, 0, 4, 4), Green), 16);
}

TEST(Painting, LinesLeaveOutTheirEndPointAndRectanglesTheirRightAndBottomEdges) {
    Canvas canvas(12, 12);
    CPen pen(PS_SOLID, 1, Red);
    CPen* oldPen = canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(1, 1);
    canvas.dc.LineTo(6, 1);
    EXPECT_EQ(CountColor(canvas.dc, CRect(0, 1, 12, 2), Red), 5);
    EXPECT_EQ(canvas.dc.GetPixel(6, 1), White);
    EXPECT_EQ(canvas.dc.MoveTo(0, 0), CPoint(6, 1));

    CBrush brush(Blue);
    CBrush* oldBrush = canvas.dc.SelectObject(&brush);
    canvas.dc.Rectangle(2, 4, 7, 10);
    EXPECT_EQ(canvas.dc.GetPixel(2, 4), Red);
    EXPECT_EQ(canvas.dc.GetPixel(6, 9), Red);
    EXPECT_EQ(canvas.dc.GetPixel(7, 9), White);
    EXPECT_EQ(canvas.dc.GetPixel(6, 10), White);
    EXPECT_EQ(CountColor(canvas.dc, CRect(0, 0, 12, 12), Blue), 3 * 4);
    canvas.dc.SelectObject(oldBrush);
    canvas.dc.SelectObject(oldPen);
}

TEST(Painting, DrawTextPlacesMeasuresBreaksAndEllipsises) {
    Canvas canvas(200, 60);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Arial"));
    LOGFONTW description;
    font.GetLogFont(&description);
    EXPECT_EQ(description.lfHeight, -13);
    CFont* oldFont = canvas.dc.SelectObject(&font);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.SetTextColor(Black);

    CRect measured(0, 0, 200, 0);
    const int height = canvas.dc.DrawText(L"Centred", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(measured.Width(), 20);
    EXPECT_EQ(measured.Height(), height);
    EXPECT_EQ(CountColor(canvas.dc, CRect(0, 0, 200, 60), White), 200 * 60);
    EXPECT_EQ(canvas.dc.GetTextExtent(L"Centred").cx, measured.Width());

    CRect box(0, 0, 200, 60);
    canvas.dc.DrawText(L"Centred", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const CRect ink = Inked(canvas.dc, box, White);
    ASSERT_FALSE(ink.IsRectEmpty());
    EXPECT_NEAR(ink.CenterPoint().x, 100, 3);
    EXPECT_NEAR(ink.CenterPoint().y, 30, 4);

    // Too long for its box: cut with an ellipsis, never drawn beyond the box.
    Canvas narrow(200, 40);
    narrow.dc.SelectObject(&font);
    narrow.dc.SetBkMode(TRANSPARENT);
    CRect small(0, 0, 60, 40);
    narrow.dc.DrawText(L"A rather long caption", -1, &small, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(Inked(narrow.dc, CRect(0, 0, 200, 40), White).right, 60);
    EXPECT_FALSE(Inked(narrow.dc, CRect(0, 0, 60, 40), White).IsRectEmpty());

    // Word breaks make lines; without DT_NOPREFIX "&&" counts as one ampersand.
    CRect twoLines(0, 0, 60, 0);
    canvas.dc.DrawText(L"word word word", -1, &twoLines, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(twoLines.Height(), 2 * height);
    CRect prefixed(0, 0, 200, 0);
    CRect plain(0, 0, 200, 0);
    canvas.dc.DrawText(L"a&&b", -1, &prefixed, DT_SINGLELINE | DT_CALCRECT);
    canvas.dc.DrawText(L"a&b", -1, &plain, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(prefixed.Width(), plain.Width());
    canvas.dc.SelectObject(oldFont);
}

TEST(Painting, FontStylesAndAlignmentShowInTheInk) {
    const auto inkOf = [](LONG weight, BYTE underline, UINT format, CRect* box) {
        Canvas canvas(200, 40);
        CFont font;
        font.CreateFont(-16, 0, 0, 0, weight, 0, underline, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                        0, L"Arial");
        CFont* oldFont = canvas.dc.SelectObject(&font);
        canvas.dc.SetBkMode(TRANSPARENT);
        CRect area(0, 0, 200, 40);
        canvas.dc.DrawText(L"Card", -1, &area, format | DT_SINGLELINE | DT_VCENTER);
        *box = Inked(canvas.dc, area, White);
        const int ink = 200 * 40 - CountColor(canvas.dc, area, White);
        canvas.dc.SelectObject(oldFont);
        return ink;
    };
    CRect plainBox;
    CRect underlinedBox;
    CRect boldBox;
    CRect rightBox;
    const int plain = inkOf(FW_NORMAL, 0, DT_LEFT, &plainBox);
    const int underlined = inkOf(FW_NORMAL, 1, DT_LEFT, &underlinedBox);
    const int bold = inkOf(FW_BOLD, 0, DT_LEFT, &boldBox);
    inkOf(FW_NORMAL, 0, DT_RIGHT, &rightBox);
    EXPECT_GT(underlined, plain);
    EXPECT_GT(underlinedBox.bottom, plainBox.bottom);
    EXPECT_GT(bold, plain);
    EXPECT_NEAR(rightBox.right, 200, 2);
    EXPECT_LE(plainBox.left, 2);
}

TEST(Painting, KoreanFaceNamesDrawKoreanText) {
    Canvas canvas(200, 40);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(130, L"나눔고딕"));
    CFont* oldFont = canvas.dc.SelectObject(&font);
    canvas.dc.SetBkMode(OPAQUE);
    canvas.dc.SetBkColor(Green);
    canvas.dc.TextOut(5, 5, CString(L"전방 카메라"));
    const CRect ink = Inked(canvas.dc, CRect(0, 0, 200, 40), White);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 5);
    EXPECT_GT(ink.Width(), 40);
    EXPECT_GT(CountColor(canvas.dc, ink, Green), 0);
    canvas.dc.SelectObject(oldFont);
}

std::vector<BYTE> BmpFile(int width, int height, WORD bits, DWORD compression = BI_RGB) {
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    std::vector<BYTE> file(14 + 40 + stride * static_cast<size_t>(height < 0 ? -height : height), 0);
    file[0] = 'B';
    file[1] = 'M';
    const DWORD offset = 54;
    std::memcpy(&file[10], &offset, 4);
    BITMAPINFOHEADER header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = bits;
    header.biCompression = compression;
    std::memcpy(&file[14], &header, sizeof(header));
    return file;
}

TEST(Bitmaps, BmpDataIsCheckedAgainstItsOwnSizes) {
    // A 3 x 2 24-bit picture: rows padded to 12 bytes, stored bottom row first.
    std::vector<BYTE> good = BmpFile(3, 2, 24);
    const BYTE bottomLeft[3] = {0, 0, 255};
    const BYTE topRight[3] = {255, 0, 0};
    std::memcpy(&good[54], bottomLeft, 3);
    std::memcpy(&good[54 + 12 + 6], topRight, 3);
    const HBITMAP bitmap = LoadBitmapFromBmpData(good.data(), good.size());
    ASSERT_NE(bitmap, nullptr);
    BITMAP description;
    ASSERT_EQ(GetObjectW(bitmap, sizeof(description), &description), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 3);
    EXPECT_EQ(description.bmHeight, 2);
    const QImage image = ImageFromBitmap(bitmap);
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));

    std::vector<BYTE> sixteen = BmpFile(2, 1, 16);
    const WORD red555 = 31 << 10;
    std::memcpy(&sixteen[54], &red555, 2);
    const HBITMAP fromSixteen = LoadBitmapFromBmpData(sixteen.data(), sixteen.size());
    ASSERT_NE(fromSixteen, nullptr);
    EXPECT_EQ(ImageFromBitmap(fromSixteen).pixel(0, 0), qRgb(255, 0, 0));
    DeleteObject(fromSixteen);
    const std::vector<BYTE> thirtyTwo = BmpFile(2, 2, 32);
    const HBITMAP fromThirtyTwo = LoadBitmapFromBmpData(thirtyTwo.data(), thirtyTwo.size());
    EXPECT_NE(fromThirtyTwo, nullptr);
    DeleteObject(fromThirtyTwo);

    std::vector<BYTE> beyond = good;
    const DWORD farOffset = 60;
    std::memcpy(&beyond[10], &farOffset, 4);
    const struct {
        const char* name;
        std::vector<BYTE> data;
    } bad[] = {
        {"truncated pixels", std::vector<BYTE>(good.begin(), good.end() - 1)},
        {"headers only", std::vector<BYTE>(good.begin(), good.begin() + 54)},
        {"too short for headers", std::vector<BYTE>(good.begin(), good.begin() + 40)},
        {"pixels beyond the end", beyond},
        {"top-down", BmpFile(3, -2, 24)},
        {"palette", BmpFile(3, 2, 8)},
        {"bit fields", BmpFile(3, 2, 32, BI_BITFIELDS)},
        {"no width", BmpFile(0, 2, 24)},
    };
    for (const auto& test : bad) {
        EXPECT_EQ(LoadBitmapFromBmpData(test.data.data(), test.data.size()), nullptr) << test.name;
    }
    EXPECT_EQ(LoadBitmapFromBmpData(nullptr, 100), nullptr);
}

TEST(Bitmaps, TheBatchDecoderGivesWhatTheSingleReaderGives) {
    struct Picture {
        std::vector<BYTE> file;
        HBITMAP batch = nullptr;
    };
    std::vector<Picture> pictures;
    unsigned seed = 7;
    const WORD depths[] = {16, 24, 32};
    for (int i = 0; i < 24; ++i) {
        Picture picture{BmpFile(5 + i * 7, 3 + i, depths[i % 3])};
        for (size_t at = 54; at < picture.file.size(); ++at) {
            seed = seed * 1103515245u + 12345u;
            picture.file[at] = static_cast<BYTE>(seed >> 16);
        }
        pictures.push_back(std::move(picture));
    }
    {
        BmpBatchDecoder decoder;
        for (Picture& picture : pictures) {
            // The decoder keeps the data it needs; the caller lets go at once.
            auto data = std::make_shared<std::vector<BYTE>>(picture.file);
            picture.batch =
                decoder.Decode(std::shared_ptr<const unsigned char>(data, data->data()), data->size());
        }
        const std::vector<BYTE> refused = BmpFile(3, 2, 8);
        auto data = std::make_shared<std::vector<BYTE>>(refused);
        EXPECT_EQ(decoder.Decode(std::shared_ptr<const unsigned char>(data, data->data()), data->size()),
                  nullptr);
        EXPECT_EQ(decoder.Decode(nullptr, 100), nullptr);
    } // The decoder waits for its workers as it goes.
    for (size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(pictures[i].batch, nullptr);
        const HBITMAP single = LoadBitmapFromBmpData(pictures[i].file.data(), pictures[i].file.size());
        EXPECT_EQ(ImageFromBitmap(pictures[i].batch), ImageFromBitmap(single));
        DeleteObject(single);
        EXPECT_TRUE(DeleteObject(pictures[i].batch));
    }
}

TEST(Bitmaps, DibBitsRoundTripInBothRowOrders) {
    Canvas canvas(3, 2, Black);
    canvas.dc.SetPixel(0, 0, Red);
    canvas.dc.SetPixel(2, 1, Blue);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_NE(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, nullptr, &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 3u * 4u * 2u);

    // Bottom-up 32 bits: the first row is the picture's bottom row.
    info.bmiHeader.biBitCount = 32;
    std::vector<BYTE> bottomUp(24);
    ASSERT_EQ(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, bottomUp.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bottomUp[8], 255);      // (2, 1) blue
    EXPECT_EQ(bottomUp[12 + 2], 255); // (0, 0) red
    // Top-down 24 bits, rows padded to 12 bytes.
    BITMAPINFO topDown = info;
    topDown.bmiHeader.biHeight = -2;
    topDown.bmiHeader.biBitCount = 24;
    std::vector<BYTE> rows(24);
    ASSERT_EQ(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, rows.data(), &topDown, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[2], 255);
    EXPECT_EQ(rows[12 + 6], 255);

    rows[0] = 0;
    rows[1] = 255;
    rows[2] = 0;
    ASSERT_EQ(SetDIBits(canvas.dc, canvas.bitmap, 0, 2, rows.data(), &topDown, DIB_RGB_COLORS), 2);
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), Green);
    EXPECT_EQ(canvas.dc.GetPixel(2, 1), Blue);
}

TEST(Bitmaps, OneOwnerAndNoDeletionWhileSelected) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    // A bitmap lives in one memory DC at a time.
    CDC other;
    other.CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectW(bitmap, sizeof(BITMAP), nullptr), 0);
    // Stock objects stay.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_NE(GetObjectW(GetStockObject(BLACK_BRUSH), sizeof(LOGBRUSH), nullptr), 0);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 5), nullptr);
}

TEST(Regions, KeyColourPixelsAreLeftOutOfABitmapRegionAndShapeAWindow) {
    Canvas canvas(4, 3, Red);
    canvas.dc.SetPixel(0, 0, Magenta);
    canvas.dc.SetPixel(3, 2, Magenta);
    canvas.dc.SetPixel(2, 1, Magenta);
    CRgn region;
    region.Attach(CreateRgnFromBitmapKey(canvas.bitmap, nullptr, Magenta));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool key = (x == 0 && y == 0) || (x == 3 && y == 2) || (x == 2 && y == 1);
            EXPECT_EQ(region.PtInRegion(x, y) != FALSE, !key) << x << "," << y;
        }
    }
    // From a source rectangle, at places relative to its corner.
    CRgn part;
    const CRect source(2, 1, 4, 3);
    part.Attach(CreateRgnFromBitmapKey(canvas.bitmap, &source, Magenta));
    EXPECT_FALSE(part.PtInRegion(0, 0));
    EXPECT_TRUE(part.PtInRegion(1, 0));
    EXPECT_FALSE(part.PtInRegion(1, 1));

    CRgn difference;
    difference.CreateRectRgn(0, 0, 10, 10);
    CRgn hole;
    hole.CreateRectRgn(2, 2, 3, 3);
    EXPECT_EQ(difference.CombineRgn(&difference, &hole, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(difference.PtInRegion(2, 2));

    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 4, 3)));
    const HRGN shape = static_cast<HRGN>(region.Detach());
    EXPECT_EQ(window.SetWindowRgn(shape, TRUE), 1);
    const QRegion mask = WidgetFromHandle(window.m_hWnd)->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_TRUE(mask.contains(QPoint(1, 0)));
    // The window took the region over.
    EXPECT_FALSE(DeleteObject(shape));
}

TEST(WindowPainting, InvalidPartsAreErasedAndPaintedOnceAndClientDrawingShows) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 40, 30)));
    window.handler = [&window](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_PAINT) {
            CPaintDC dc(&window);
            dc.FillSolidRect(0, 0, 20, 30, Red);
            return true;
        }
        return false;
    };
    window.UpdateWindow();
    Pump();
    // BeginPaint erases inside WM_PAINT.
    EXPECT_EQ(window.Sequence({WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    QImage picture = WindowPicture(window.m_hWnd);
    EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 0, 0));
    // Erased with the class brush where the procedure did not paint.
    EXPECT_EQ(picture.pixel(30, 5), qRgb(255, 255, 255));

    window.log.clear();
    const CRect part(0, 0, 5, 5);
    window.InvalidateRect(&part, FALSE);
    window.InvalidateRect(&part, FALSE);
    window.UpdateWindow();
    Pump();
    EXPECT_EQ(window.Sequence({WM_ERASEBKGND, WM_PAINT}), std::vector<UINT>{WM_PAINT});

    window.log.clear();
    CClientDC client(&window);
    client.FillSolidRect(30, 20, 5, 5, Blue);
    Pump();
    EXPECT_TRUE(window.Only({WM_PAINT}).empty());
    EXPECT_EQ(WindowPicture(window.m_hWnd).pixel(32, 22), qRgb(0, 0, 255));
    EXPECT_EQ(WidgetFromHandle(window.m_hWnd)->grab().toImage().pixel(32, 22), qRgb(0, 0, 255));
}

} // namespace

// The filter on the window's bitmaps: read in place from a DIB section or copied from another
// bitmap, the result made 8-bit by scaling with 255, rounding and saturating.

#include "viewer/tools/defogpicture.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/resources.h"
#include "viewer/tools/defogretinex.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWidth = 150;
constexpr int kHeight = 40;

// A dim, hazy picture with some detail, B, G, R and an unused fourth byte.
std::vector<BYTE> HazyPixels() {
    std::vector<BYTE> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
            p[0] = static_cast<BYTE>(90 + (x * 7 + y * 3) % 40);
            p[1] = static_cast<BYTE>(100 + ((x / 10 + y / 10) % 2) * 30);
            p[2] = static_cast<BYTE>(110 + (x * y) % 25);
            p[3] = static_cast<BYTE>(x);
        }
    }
    return pixels;
}

std::vector<BYTE> DibBytes(HBITMAP dib) {
    BITMAP info;
    EXPECT_NE(GetObjectW(dib, sizeof(info), &info), 0);
    EXPECT_NE(info.bmBits, nullptr);
    // The pixels of each row, without the padding to whole words.
    std::vector<BYTE> bytes;
    for (int y = 0; y < info.bmHeight; ++y) {
        const auto* row = static_cast<const BYTE*>(info.bmBits) + static_cast<size_t>(y) * info.bmWidthBytes;
        bytes.insert(bytes.end(), row, row + static_cast<size_t>(info.bmWidth) * info.bmBitsPixel / 8);
    }
    return bytes;
}

} // namespace

TEST(DefogPicture, TheResultBecomesEightBitsScaledRoundedAndSaturated) {
    struct Case {
        float value;
        BYTE byte;
    };
    const Case cases[] = {{1.2f, 255}, {-0.1f, 0}, {0.5f, 128}, {0.998f, 254}, {0.0f, 0}, {1.0f, 255}};
    for (const Case& c : cases) {
        const cv::Mat result(2, 3, CV_32FC3, cv::Scalar(c.value, 0.25, 0.75));
        HBITMAP dib = DefogPicture::DibOfResult(result);
        ASSERT_NE(dib, nullptr);
        BITMAP info;
        GetObjectW(dib, sizeof(info), &info);
        EXPECT_EQ(info.bmBitsPixel, 24);
        const std::vector<BYTE> bytes = DibBytes(dib);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const BYTE* p = &bytes[(static_cast<size_t>(y) * 3 + x) * 3];
                EXPECT_EQ(p[0], c.byte) << c.value;
                EXPECT_EQ(p[1], 64);
                EXPECT_EQ(p[2], 191);
            }
        }
        DeleteObject(dib);
    }
    EXPECT_EQ(DefogPicture::DibOfResult(cv::Mat()), nullptr);
}

TEST(DefogPicture, FiltersADibSectionInPlaceAndAnyOtherBitmapAlikeAsTheFilterDoes) {
    std::vector<BYTE> pixels = HazyPixels();
    HBITMAP plain = CreateBitmap(kWidth, kHeight, 1, 32, pixels.data());
    HBITMAP section = static_cast<HBITMAP>(CopyImage(plain, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(section, nullptr);
    BITMAP info;
    GetObjectW(section, sizeof(info), &info);
    EXPECT_EQ(DefogPicture::SourcePixels(section).data, info.bmBits) << "read in place, not copied";

    DefogRetinex filter;
    HBITMAP expected =
        DefogPicture::DibOfResult(filter.DefogFilter(cv::Mat(kHeight, kWidth, CV_8UC4, pixels.data()), 6.0));
    for (HBITMAP source : {plain, section}) {
        HBITMAP filtered = DefogPicture::Filter(source, 6);
        ASSERT_NE(filtered, nullptr);
        EXPECT_EQ(DibBytes(filtered), DibBytes(expected));
        DeleteObject(filtered);
    }
    EXPECT_EQ(DefogPicture::Filter(nullptr, 6), nullptr);
    for (HBITMAP bitmap : {plain, section, expected}) {
        DeleteObject(bitmap);
    }
}

TEST(DefogPicture, CopyImageMakesAnIndependentDibSectionOfTheSamePixels) {
    std::vector<BYTE> pixels = HazyPixels();
    HBITMAP plain = CreateBitmap(kWidth, kHeight, 1, 32, pixels.data());
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(plain, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(copy, nullptr);
    BITMAP info;
    GetObjectW(copy, sizeof(info), &info);
    EXPECT_EQ(std::make_tuple(info.bmWidth, info.bmHeight, info.bmBitsPixel),
              std::make_tuple(kWidth, kHeight, WORD{32}));
    auto* bits = static_cast<BYTE*>(info.bmBits);
    ASSERT_NE(bits, nullptr);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(std::vector<BYTE>(bits + i, bits + i + 3), std::vector<BYTE>(&pixels[i], &pixels[i] + 3))
            << i;
    }
    bits[0] = static_cast<BYTE>(bits[0] ^ 0xFF);
    const cv::Mat source = DefogPicture::SourcePixels(plain);
    EXPECT_EQ(source.at<cv::Vec4b>(0, 0)[0], pixels[0]) << "writing the copy leaves the source alone";
    EXPECT_EQ(CopyImage(plain, IMAGE_CURSOR, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(CopyImage(plain, IMAGE_BITMAP, 10, 10, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(CopyImage(nullptr, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    DeleteObject(copy);
    DeleteObject(plain);
}

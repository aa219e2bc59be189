// Bitmaps made from captured pixels and saved as image files: the file holds the picture in the
// format asked for, opaque whatever the unused fourth bytes hold, and a failed write leaves nothing.

#include "uitest.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/image.h"

#include "support/testfolder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 32; // quarters on whole JPEG blocks

// B, G, R and a fourth byte of 0, as the engine captures; four flat quarters so that JPEG keeps them.
std::vector<BYTE> CapturedPixels() {
    std::vector<BYTE> pixels(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            BYTE* pixel = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
            pixel[0] = x < kWidth / 2 ? 200 : 20;
            pixel[1] = y < kHeight / 2 ? 180 : 40;
            pixel[2] = (x < kWidth / 2) == (y < kHeight / 2) ? 230 : 10;
        }
    }
    return pixels;
}

std::string Head(const std::filesystem::path& path, size_t count) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(count, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return bytes;
}

TEST(Images, SavedFilesHoldTheCapturedPictureOpaqueInTheFormatAskedFor) {
    struct Case {
        ImageFileFormat format;
        const char* name;
        std::string magic;
        int tolerance;
    };
    const Case cases[] = {
        {ImageFileFormat::Jpeg, "shot.jpg", std::string("\xFF\xD8", 2), 12},
        {ImageFileFormat::Bmp, "shot.bmp", "BM", 0},
        {ImageFileFormat::Png, "shot.png", "\x89PNG", 0},
        // The format asked for counts, not the name.
        {ImageFileFormat::Png, "shot.jpg.tmp", "\x89PNG", 0},
    };
    TestFolder folder;
    const std::vector<BYTE> pixels = CapturedPixels();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CImage image;
        image.Attach(CreateBitmap(kWidth, kHeight, 1, 32, pixels.data()));
        ASSERT_EQ(image.Save(folder.Wide(c.name).c_str(), c.format), S_OK);
        EXPECT_EQ(Head(folder / c.name, c.magic.size()), c.magic);

        const QImage saved(QString::fromStdString((folder / c.name).string()));
        ASSERT_EQ(saved.size(), QSize(kWidth, kHeight));
        int worst = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const QRgb pixel = saved.pixel(x, y);
                const BYTE* captured = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
                ASSERT_EQ(qAlpha(pixel), 255) << x << "," << y;
                // The decoder blends colours across a hard edge: JPEG is compared inside the quarters.
                const bool nearEdge = std::abs(x - kWidth / 2) < 8 || std::abs(y - kHeight / 2) < 8;
                if (c.tolerance > 0 && nearEdge) {
                    continue;
                }
                worst =
                    std::max({worst, std::abs(qBlue(pixel) - captured[0]),
                              std::abs(qGreen(pixel) - captured[1]), std::abs(qRed(pixel) - captured[2])});
            }
        }
        EXPECT_LE(worst, c.tolerance);
    }
}

TEST(Images, DibSectionWrittenThroughItsBitsIsSavedOpaque) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CImage image;
    image.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(bits, nullptr);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < 8 * 4; ++i) {
        pixels[i] = 0x00336699; // fourth byte 0: a picture filtered in place
    }
    TestFolder folder;
    ASSERT_EQ(image.Save(folder.Wide("filtered.png").c_str(), ImageFileFormat::Png), S_OK);
    const QImage saved(QString::fromStdString((folder / "filtered.png").string()));
    EXPECT_EQ(saved.pixel(3, 2), qRgb(0x33, 0x66, 0x99));
}

TEST(Images, FailedSaveLeavesNoFileAndAnEmptyImageSavesNothing) {
    TestFolder folder;
    const std::vector<BYTE> pixels = CapturedPixels();
    CImage image;
    image.Attach(CreateBitmap(kWidth, kHeight, 1, 32, pixels.data()));
    EXPECT_EQ(image.Save(folder.Wide("missing/shot.jpg").c_str(), ImageFileFormat::Jpeg), E_FAIL);

    // A folder where the file should be: the write fails and the folder stays as it was.
    std::filesystem::create_directory(folder / "taken.png");
    EXPECT_EQ(image.Save(folder.Wide("taken.png").c_str(), ImageFileFormat::Png), E_FAIL);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.png"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    CImage empty;
    EXPECT_EQ(empty.Save(folder.Wide("empty.png").c_str(), ImageFileFormat::Png), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.png"));
}

TEST(Images, CreateBitmapTakesOnlyOnePlaneOf32BitPixels) {
    const std::vector<BYTE> pixels = CapturedPixels();
    struct Case {
        int width, height;
        UINT planes, bits;
        const void* data;
        bool made;
    };
    const Case cases[] = {
        {kWidth, kHeight, 1, 32, pixels.data(), true},  {kWidth, kHeight, 2, 32, pixels.data(), false},
        {kWidth, kHeight, 1, 24, pixels.data(), false}, {kWidth, kHeight, 1, 32, nullptr, false},
        {0, kHeight, 1, 32, pixels.data(), false},      {kWidth, -1, 1, 32, pixels.data(), false},
    };
    for (const Case& c : cases) {
        HBITMAP bitmap = CreateBitmap(c.width, c.height, c.planes, c.bits, c.data);
        EXPECT_EQ(bitmap != nullptr, c.made)
            << c.width << "x" << c.height << " " << c.planes << "/" << c.bits;
        if (bitmap != nullptr) {
            BITMAP description;
            ASSERT_NE(GetObjectW(bitmap, sizeof(description), &description), 0);
            EXPECT_EQ(description.bmWidth, c.width);
            EXPECT_EQ(description.bmHeight, c.height);
            DeleteObject(bitmap);
        }
    }
}

TEST(Images, ImageDeletesItsBitmapUnlessDetached) {
    const std::vector<BYTE> pixels = CapturedPixels();
    HBITMAP kept = CreateBitmap(kWidth, kHeight, 1, 32, pixels.data());
    HBITMAP owned = CreateBitmap(kWidth, kHeight, 1, 32, pixels.data());
    {
        CImage image;
        image.Attach(kept);
        EXPECT_EQ(image.Detach(), kept);
        image.Attach(owned);
    }
    BITMAP description;
    EXPECT_NE(GetObjectW(kept, sizeof(description), &description), 0);
    EXPECT_EQ(GetObjectW(owned, sizeof(description), &description), 0);
    DeleteObject(kept);
}

} // namespace

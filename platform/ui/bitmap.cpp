#include "platform/ui/bitmap.h"

#include "platform/ui/dc.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/resources.h"

#include <cstdint>
#include <cstring>

using namespace uiimpl;

namespace {

// Larger pictures than this are refused rather than allocated.
constexpr LONG MaximumSide = 32768;

size_t Stride(LONG width, WORD bitsPerPixel) {
    return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

bool SupportedFormat(const BITMAPINFOHEADER& header, bool allow16) {
    return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biCompression == BI_RGB &&
           header.biWidth > 0 && header.biWidth <= MaximumSide && header.biHeight != 0 &&
           header.biHeight >= -MaximumSide && header.biHeight <= MaximumSide &&
           (header.biBitCount == 24 || header.biBitCount == 32 || (allow16 && header.biBitCount == 16));
}

QRgb ReadPixel(const BYTE* row, LONG x, WORD bitsPerPixel) {
    switch (bitsPerPixel) {
    case 16: {
        const unsigned value = row[x * 2] | (row[x * 2 + 1] << 8);
        const auto expand = [](unsigned five) { return static_cast<int>((five << 3) | (five >> 2)); };
        return qRgb(expand((value >> 10) & 31), expand((value >> 5) & 31), expand(value & 31));
    }
    case 24:
        return qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    default:
        return qRgb(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    }
}

void WritePixel(BYTE* row, LONG x, WORD bitsPerPixel, QRgb pixel) {
    BYTE* target = row + x * (bitsPerPixel / 8);
    target[0] = static_cast<BYTE>(qBlue(pixel));
    target[1] = static_cast<BYTE>(qGreen(pixel));
    target[2] = static_cast<BYTE>(qRed(pixel));
    if (bitsPerPixel == 32) {
        target[3] = 0;
    }
}

// One DIB row as image pixels; the common depths without a test per pixel, for skins of many
// megapixels.
void ReadRow(const BYTE* row, QRgb* out, LONG width, WORD bitsPerPixel) {
    if (bitsPerPixel == 24) {
        for (LONG x = 0; x < width; ++x, row += 3) {
            out[x] = 0xFF000000u | static_cast<QRgb>(row[2]) << 16 | static_cast<QRgb>(row[1]) << 8 | row[0];
        }
    } else if (bitsPerPixel == 32) {
        for (LONG x = 0; x < width; ++x, row += 4) {
            out[x] = 0xFF000000u | static_cast<QRgb>(row[2]) << 16 | static_cast<QRgb>(row[1]) << 8 | row[0];
        }
    } else {
        for (LONG x = 0; x < width; ++x) {
            out[x] = ReadPixel(row, x, bitsPerPixel);
        }
    }
}

// The image row that DIB row "line" of a picture "height" rows high stands for.
int ImageRow(LONG height, UINT line) {
    return height > 0 ? static_cast<int>(height - 1 - static_cast<LONG>(line)) : static_cast<int>(line);
}

} // namespace

namespace uiimpl {

HBITMAP AddBitmap(QImage image) {
    auto bitmap = std::make_shared<BitmapObject>();
    bitmap->image = image.format() == QImage::Format_RGB32 ? std::move(image)
                                                           : image.convertToFormat(QImage::Format_RGB32);
    return static_cast<HBITMAP>(AddObject(bitmap));
}

QImage OpaquePictureOf(HBITMAP handle) {
    const std::shared_ptr<BitmapObject> bitmap = FindBitmap(handle);
    if (bitmap == nullptr) {
        return QImage();
    }
    if (!bitmap->dibSection || bitmap->image.format() != QImage::Format_RGB32) {
        return bitmap->image;
    }
    QImage picture = bitmap->image.copy();
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            row[x] |= 0xFF000000u;
        }
    }
    return picture;
}

} // namespace uiimpl

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (planes != 1 || bitsPerPixel != 32 || bits == nullptr || width <= 0 || height <= 0 ||
        width > MaximumSide || height > MaximumSide) {
        return nullptr;
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;
    }
    const auto* source = static_cast<const BYTE*>(bits);
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y, source += rowBytes) {
        ReadRow(source, reinterpret_cast<QRgb*>(image.scanLine(y)), width, 32);
    }
    return AddBitmap(std::move(image));
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    if (width <= 0 || height <= 0 || width > MaximumSide || height > MaximumSide) {
        return nullptr;
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;
    }
    image.fill(qRgb(0, 0, 0));
    return AddBitmap(std::move(image));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits != nullptr) {
        *bits = nullptr;
    }
    if (info == nullptr || usage != DIB_RGB_COLORS || !SupportedFormat(info->bmiHeader, false)) {
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const bool topDown = header.biHeight < 0;
    if (bits != nullptr && !topDown) {
        return nullptr;
    }
    const int height = static_cast<int>(topDown ? -header.biHeight : header.biHeight);
    auto bitmap = std::make_shared<BitmapObject>();
    bitmap->image = QImage(static_cast<int>(header.biWidth), height,
                           header.biBitCount == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32);
    if (bitmap->image.isNull()) {
        return nullptr;
    }
    bitmap->image.fill(qRgb(0, 0, 0));
    bitmap->dibSection = true;
    bitmap->bitsPerPixel = header.biBitCount;
    if (bits != nullptr) {
        *bits = bitmap->image.bits();
    }
    return static_cast<HBITMAP>(AddObject(bitmap));
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
    const std::shared_ptr<BitmapObject> source = FindBitmap(bitmap);
    if (source == nullptr || info == nullptr || usage != DIB_RGB_COLORS) {
        return 0;
    }
    BITMAPINFOHEADER& header = info->bmiHeader;
    const QImage& image = source->image;
    if (bits == nullptr) {
        header.biWidth = image.width();
        header.biHeight = image.height();
        header.biPlanes = 1;
        if (header.biBitCount != 24 && header.biBitCount != 32) {
            header.biBitCount = 32;
        }
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(Stride(image.width(), header.biBitCount) * image.height());
        return image.height();
    }
    if (!SupportedFormat(header, false) || header.biWidth != image.width()) {
        return 0;
    }
    const LONG height = header.biHeight;
    const LONG rows = height < 0 ? -height : height;
    if (rows != image.height() || start >= static_cast<UINT>(rows)) {
        return 0;
    }
    const UINT count = std::min<UINT>(lines, static_cast<UINT>(rows) - start);
    const size_t stride = Stride(header.biWidth, header.biBitCount);
    auto* out = static_cast<BYTE*>(bits);
    for (UINT line = 0; line < count; ++line) {
        BYTE* row = out + stride * line;
        std::memset(row, 0, stride);
        const int y = ImageRow(height, start + line);
        for (LONG x = 0; x < header.biWidth; ++x) {
            WritePixel(row, x, header.biBitCount, image.pixel(static_cast<int>(x), y));
        }
    }
    return static_cast<int>(count);
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage) {
    const std::shared_ptr<BitmapObject> target = FindBitmap(bitmap);
    if (target == nullptr || bits == nullptr || info == nullptr || usage != DIB_RGB_COLORS ||
        !SupportedFormat(info->bmiHeader, true)) {
        return 0;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    QImage& image = target->image;
    const LONG height = header.biHeight;
    const LONG rows = height < 0 ? -height : height;
    if (header.biWidth != image.width() || rows != image.height() || start >= static_cast<UINT>(rows)) {
        return 0;
    }
    const UINT count = std::min<UINT>(lines, static_cast<UINT>(rows) - start);
    const size_t stride = Stride(header.biWidth, header.biBitCount);
    const auto* in = static_cast<const BYTE*>(bits);
    for (UINT line = 0; line < count; ++line) {
        const BYTE* row = in + stride * line;
        const int y = ImageRow(height, start + line);
        for (LONG x = 0; x < header.biWidth; ++x) {
            image.setPixel(static_cast<int>(x), y, ReadPixel(row, x, header.biBitCount));
        }
    }
    return static_cast<int>(count);
}

namespace uiimpl {

bool ReadBmpLayout(const void* data, size_t size, BmpLayout& layout) {
    constexpr size_t FileHeaderSize = 14;
    if (data == nullptr || size < FileHeaderSize + sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    const auto* bytes = static_cast<const BYTE*>(data);
    DWORD offset = 0;
    std::memcpy(&offset, bytes + 10, sizeof(offset));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes + FileHeaderSize, sizeof(header));
    if (!SupportedFormat(header, true) || header.biHeight < 0 || header.biPlanes != 1) {
        return false;
    }
    const std::uint64_t stride = Stride(header.biWidth, header.biBitCount);
    const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(header.biHeight);
    if (offset < FileHeaderSize + header.biSize || static_cast<std::uint64_t>(offset) + pixelBytes > size) {
        return false;
    }
    layout =
        BmpLayout{offset, static_cast<size_t>(stride), header.biWidth, header.biHeight, header.biBitCount};
    return true;
}

void DecodeBmpRows(const void* data, const BmpLayout& layout, uchar* pixels, qsizetype pitch) {
    const auto* bytes = static_cast<const BYTE*>(data) + layout.offset;
    for (LONG line = 0; line < layout.height; ++line) {
        const int row = ImageRow(layout.height, static_cast<UINT>(line));
        ReadRow(bytes + layout.stride * static_cast<size_t>(line),
                reinterpret_cast<QRgb*>(pixels + pitch * row), layout.width, layout.bitsPerPixel);
    }
}

} // namespace uiimpl

HBITMAP LoadBitmapFromBmpData(const void* data, size_t size) {
    BmpLayout layout;
    if (!ReadBmpLayout(data, size, layout)) {
        return nullptr;
    }
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height), QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;
    }
    DecodeBmpRows(data, layout, image.bits(), image.bytesPerLine());
    return AddBitmap(std::move(image));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc != nullptr ? dc->m_hDC : nullptr, width, height));
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(
        LoadImageW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(id)), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

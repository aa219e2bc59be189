#include "viewer/tools/defogpicture.h"

#include "platform/ui/bitmap.h"
#include "viewer/tools/defogretinex.h"

#include <cstring>

namespace DefogPicture {

namespace {

BITMAPINFO TopDownHeader(int width, int height, WORD bitsPerPixel) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = bitsPerPixel;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
}

} // namespace

HBITMAP SourceOfCapture(int width, int height, const BYTE* pixels, size_t size) {
    if (width <= 0 || height <= 0 || pixels == nullptr || size < static_cast<size_t>(width) * height * 4) {
        return nullptr;
    }
    const BITMAPINFO header = TopDownHeader(width, height, 32);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib != nullptr) {
        std::memcpy(bits, pixels, static_cast<size_t>(width) * height * 4);
    }
    return dib;
}

cv::Mat SourcePixels(HBITMAP source) {
    BITMAP info;
    if (source == nullptr || GetObjectW(source, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return cv::Mat();
    }
    if (info.bmBits != nullptr && info.bmBitsPixel == 32) {
        return cv::Mat(info.bmHeight, info.bmWidth, CV_8UC4, info.bmBits,
                       static_cast<size_t>(info.bmWidthBytes));
    }
    cv::Mat pixels(info.bmHeight, info.bmWidth, CV_8UC4);
    BITMAPINFO header = TopDownHeader(info.bmWidth, info.bmHeight, 32);
    if (GetDIBits(nullptr, source, 0, static_cast<UINT>(info.bmHeight), pixels.data, &header,
                  DIB_RGB_COLORS) != info.bmHeight) {
        return cv::Mat();
    }
    return pixels;
}

HBITMAP DibOfResult(const cv::Mat& result) {
    if (result.empty() || result.type() != CV_32FC3) {
        return nullptr;
    }
    const BITMAPINFO header = TopDownHeader(result.cols, result.rows, 24);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr) {
        return nullptr;
    }
    BITMAP info;
    GetObjectW(dib, sizeof(info), &info);
    cv::Mat pixels(result.rows, result.cols, CV_8UC3, bits, static_cast<size_t>(info.bmWidthBytes));
    result.convertTo(pixels, CV_8UC3, 255.0);
    return dib;
}

HBITMAP Filter(HBITMAP source, int strength) {
    const cv::Mat pixels = SourcePixels(source);
    if (pixels.empty()) {
        return nullptr;
    }
    // Out of memory is the one way the filter fails; the window then keeps the picture it shows.
    try {
        DefogRetinex filter;
        return DibOfResult(filter.DefogFilter(pixels, static_cast<double>(strength)));
    } catch (const cv::Exception&) {
        return nullptr;
    }
}

} // namespace DefogPicture

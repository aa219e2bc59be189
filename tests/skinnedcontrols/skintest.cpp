#include "skintest.h"

HBITMAP MakeBitmap(const std::vector<std::vector<COLORREF>>& rows) {
    const int height = static_cast<int>(rows.size());
    const int width = height == 0 ? 0 : static_cast<int>(rows[0].size());
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(dc, x, y, rows[y][x]);
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return bitmap;
}

HBITMAP MakeSolidBitmap(int width, int height, COLORREF color) {
    return MakeBitmap(std::vector<std::vector<COLORREF>>(height, std::vector<COLORREF>(width, color)));
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const COLORREF color = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return color;
}

BitmapStore::~BitmapStore() {
    for (HBITMAP bitmap : m_bitmaps) {
        DeleteObject(bitmap);
    }
}

HBITMAP BitmapStore::Keep(HBITMAP bitmap) {
    m_bitmaps.push_back(bitmap);
    return bitmap;
}

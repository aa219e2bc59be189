#pragma once
// Small hand-made bitmaps for the skinned-control tests, and pixel probes.

#include "platform/ui/dc.h"

#include <vector>

constexpr COLORREF kKey = RGB(255, 0, 255);

// A bitmap from rows of colours (top row first); the caller owns it.
HBITMAP MakeBitmap(const std::vector<std::vector<COLORREF>>& rows);
// A bitmap of one colour.
HBITMAP MakeSolidBitmap(int width, int height, COLORREF color);
COLORREF PixelOf(HBITMAP bitmap, int x, int y);

// Deletes the bitmaps it was given when the test ends: the test is the images' one owner, as the
// skin store is in the program.
class BitmapStore {
  public:
    BitmapStore() = default;
    ~BitmapStore();
    BitmapStore(const BitmapStore&) = delete;
    BitmapStore& operator=(const BitmapStore&) = delete;
    HBITMAP Keep(HBITMAP bitmap);

  private:
    std::vector<HBITMAP> m_bitmaps;
};

#pragma once
// Bitmaps: colour pictures named by HBITMAP. Each handle has one owner, who deletes it with
// DeleteObject (or a CBitmap that holds it); a bitmap selected into a device context cannot be
// deleted until it is selected out.

#include "platform/ui/gdiobj.h"

#include <cstddef>

// One plane of 32-bit pixels (B, G, R and an unused byte), rows of width * 4 bytes, top row first.
// Null for any other shape, a size of 0 or less, or no bits.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Always a colour bitmap, whatever the DC; null for a size of 0 or less.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 24- or 32-bit BI_RGB. The bits pointer is given only for top-down sections (negative height),
// whose rows lie in memory as the platform lays them out; a bottom-up section asked for its bits
// fails.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// Rows are numbered from the bottom for a positive height (bottom-up), from the top otherwise;
// 24- and 32-bit BI_RGB pixels (SetDIBits also 16-bit 5-5-5). With null bits GetDIBits fills the
// header (biSizeImage included) and answers non-zero. Both answer the rows copied.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage);

// A bottom-up BMP file of 16 (5-5-5), 24 or 32 bits without palette, every size checked against
// the data: null for anything else, a truncated file or pixel data beyond its end.
HBITMAP LoadBitmapFromBmpData(const void* data, size_t size);

class CDC;

class CBitmap : public CGdiObject {
  public:
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // Bitmap resource of the program.
    BOOL LoadBitmap(UINT id);
    int GetBitmap(BITMAP* description) const { return GetObject(sizeof(BITMAP), description); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

#pragma once
// Regions: areas made of rectangles, for clipping and for window shapes.

#include "platform/ui/gdiobj.h"

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// Answers NULLREGION, SIMPLEREGION, COMPLEXREGION, or ERROR for a bad handle or mode.
int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// The pixels of the bitmap's source rectangle (the whole bitmap when it is null or empty) whose
// colour is not the key, at their places relative to the rectangle's corner.
HRGN CreateRgnFromBitmapKey(HBITMAP bitmap, const RECT* source, COLORREF key);

class CRgn : public CGdiObject {
  public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom) {
        return Attach(::CreateRectRgn(left, top, right, bottom));
    }
    BOOL CreateRectRgnIndirect(const RECT* rect) { return Attach(::CreateRectRgnIndirect(rect)); }
    int CombineRgn(const CRgn* first, const CRgn* second, int mode);
    int OffsetRgn(int dx, int dy) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), dx, dy); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
    int GetRgnBox(RECT* box) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), box); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

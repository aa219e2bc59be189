#pragma once
// Draws skin bitmaps onto a DC: plainly, with a transparent key colour, or tiled.

#include "platform/ui/dc.h"

class CPainter {
  public:
    // The DC is not owned and must outlive the painter.
    explicit CPainter(CDC* target);

    // Copies the source rectangle (the whole bitmap when it is empty) to the destination point.
    BOOL DrawBitmap(CBitmap* bitmap, CPoint destination, CRect source);
    // The source rectangle (the whole bitmap when it is empty) into the destination rectangle,
    // stretched, key pixels left out.
    BOOL DrawTransparent(CBitmap* bitmap, CRect source, COLORREF key, CRect destination);
    // Copies of the source rectangle side by side over the area; the last is cut at the area's end.
    BOOL TileHorizontal(CBitmap* bitmap, CRect area, CRect source, COLORREF key);
    BOOL TileVertical(CBitmap* bitmap, CRect area, CRect source, COLORREF key);

  private:
    CDC* m_target;
};

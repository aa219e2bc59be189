#include "viewer/skin/stretchblit.h"

void StretchWholeBitmap(CDC* target, CBitmap& bitmap, int x, int y, int width, int height) {
    if (bitmap.GetSafeHandle() == nullptr || width <= 0 || height <= 0) {
        return;
    }
    CDC source;
    source.CreateCompatibleDC(target);
    CBitmap* previous = source.SelectObject(&bitmap);
    BITMAP description;
    bitmap.GetBitmap(&description);
    if (width == description.bmWidth && height == description.bmHeight) {
        target->BitBlt(x, y, width, height, &source, 0, 0, SRCCOPY);
    } else {
        target->StretchBlt(x, y, width, height, &source, 0, 0, description.bmWidth, description.bmHeight,
                           SRCCOPY);
    }
    source.SelectObject(previous);
}

#pragma once
// Drawing a whole skin image into a rectangle, as the list's header and scroll bars paint theirs.

#include "platform/ui/dc.h"

// Stretches when the rectangle differs from the image; a missing image or an empty rectangle
// draws nothing.
void StretchWholeBitmap(CDC* target, CBitmap& bitmap, int x, int y, int width, int height);

#pragma once
// Decoding of picture files held in memory (GIF, PNG, JPEG, BMP): what the platform's picture
// loader does for controls that show a picture from the program's resources.

#include "platform/ui/gdidefs.h"

#include <cstddef>

// A new bitmap of the picture's own size (the caller owns it); pixels the picture leaves
// transparent get the key colour. Null when the data is no picture the decoder knows.
HBITMAP DecodePictureData(const void* data, size_t size, COLORREF transparentKey);

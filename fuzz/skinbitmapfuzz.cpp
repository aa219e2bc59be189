// The BMP reader of the skin store on any bytes: a file that is no sound 16-, 24- or 32-bit
// bottom-up BMP gives no bitmap, and one that is gives a bitmap of the size its header says.
#include "platform/ui/bitmap.h"
#include "platform/ui/gdiobj.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HBITMAP bitmap = LoadBitmapFromBmpData(data, size);
    if (!bitmap)
        return 0;
    // A bitmap comes only from a file with a whole info header, which holds width and height here.
    int32_t width = 0;
    int32_t height = 0;
    std::memcpy(&width, data + 18, sizeof width);
    std::memcpy(&height, data + 22, sizeof height);
    BITMAP info = {};
    if (::GetObjectW(bitmap, sizeof info, &info) != sizeof info || info.bmWidth != width ||
        info.bmHeight != height)
        std::abort();
    ::DeleteObject(bitmap);
    return 0;
}

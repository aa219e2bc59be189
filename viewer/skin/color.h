#pragma once
// Colour functions in the HLS model (hue, lightness and saturation each on a 0..240 scale) used to
// re-tint skin bitmaps and to turn the base colour setting into RGB. Two conversions live here:
// the system's classic rounded one (RGBToHLS / HLSToRGB) and a plain truncating one (ColorToHLS /
// HLSToColor) that the component setter uses. Pixel buffers are 32-bit bottom-up DIBs.

#include "platform/ui/gdidefs.h"

class CColor {
  public:
    CColor() = delete;

    static void RGBToHLS(COLORREF color, WORD* hue, WORD* lightness, WORD* saturation);
    static COLORREF HLSToRGB(WORD hue, WORD lightness, WORD saturation);

    // Adds the deltas to every pixel of the rectangle (rows counted from the top), clamping each
    // component to 0..239. With bit 0 of flags, pixels of the key colour stay as they are.
    static BOOL ShiftHLS(BYTE* pixels, int width, int height, int x, int y, int w, int h, int hueDelta,
                         int lightnessDelta, int saturationDelta, COLORREF key, DWORD flags);
    // A width or height of -1 stands for the bitmap's.
    static BOOL ShiftHLS(HBITMAP bitmap, int x, int y, int w, int h, int hueDelta, int lightnessDelta,
                         int saturationDelta, COLORREF key, DWORD flags);
    // Replaces one component (0 hue, 1 lightness, 2 saturation) by the value.
    static BOOL SetHLSComponent(BYTE* pixels, int width, int height, int x, int y, int w, int h, BYTE value,
                                int component, COLORREF key, DWORD flags);
    static BOOL SetHLSComponent(HBITMAP bitmap, int x, int y, int w, int h, BYTE value, int component,
                                COLORREF key, DWORD flags);

    // Packed HLS: hue in the low byte, then lightness, then saturation.
    static DWORD PixelToHLS(const BYTE* pixel);
    static DWORD ColorToHLS(COLORREF color);
    static COLORREF HLSToColor(DWORD hls);
};

#include "viewer/skin/color.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/dc.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;
// Hue of a grey, where hue means nothing.
constexpr int kUndefinedHue = kHlsMax * 2 / 3;

int HueToChannel(int n1, int n2, int hue) {
    if (hue < 0) {
        hue += kHlsMax;
    }
    if (hue > kHlsMax) {
        hue -= kHlsMax;
    }
    if (hue < kHlsMax / 6) {
        return n1 + (((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6));
    }
    if (hue < kHlsMax / 2) {
        return n2;
    }
    if (hue < kHlsMax * 2 / 3) {
        return n1 + (((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6));
    }
    return n1;
}

BYTE ToByte(int value) {
    return static_cast<BYTE>(std::clamp(value, 0, kRgbMax));
}

DWORD ReadPixel(const BYTE* pixel) {
    DWORD value = 0;
    std::memcpy(&value, pixel, sizeof(value));
    return value;
}

// The key colour as the whole 32-bit pixel: blue, green, red and a zero fourth byte.
DWORD KeyAsPixel(COLORREF key) {
    return (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
}

COLORREF PixelColor(const BYTE* pixel) {
    return RGB(pixel[2], pixel[1], pixel[0]);
}

// Walks the rectangle with the key test and a one-entry cache: skin bitmaps are mostly flat colours.
BOOL WalkPixels(BYTE* pixels, int width, int height, int x, int y, int w, int h, COLORREF key, DWORD flags,
                const std::function<void(BYTE* pixel)>& convert) {
    if (pixels == nullptr || w < 1 || h < 1) {
        return TRUE;
    }
    const DWORD keyPixel = KeyAsPixel(key);
    bool cached = false;
    DWORD lastIn = 0;
    DWORD lastOut = 0;
    const int right = std::min(x + w, width);
    const int bottom = std::min(y + h, height);
    for (int row = std::max(y, 0); row < bottom; ++row) {
        BYTE* line = pixels + static_cast<size_t>(width) * 4 * static_cast<size_t>(height - row - 1);
        for (int column = std::max(x, 0); column < right; ++column) {
            BYTE* pixel = line + static_cast<size_t>(column) * 4;
            const DWORD value = ReadPixel(pixel);
            if ((flags & 1) != 0 && value == keyPixel) {
                continue;
            }
            if (cached && value == lastIn) {
                std::memcpy(pixel, &lastOut, sizeof(lastOut));
                continue;
            }
            convert(pixel);
            cached = true;
            lastIn = value;
            lastOut = ReadPixel(pixel);
        }
    }
    return TRUE;
}

// Reads the bitmap as a 32-bit bottom-up DIB, runs the buffer form and writes it back.
BOOL WithBitmapPixels(HBITMAP bitmap, int& w, int& h,
                      const std::function<void(BYTE* pixels, int width, int height)>& work) {
    if (bitmap == nullptr) {
        return FALSE;
    }
    BITMAP description;
    if (GetObjectW(bitmap, sizeof(description), &description) == 0) {
        return FALSE;
    }
    if (w == -1) {
        w = description.bmWidth;
    }
    if (h == -1) {
        h = description.bmHeight;
    }
    HDC screen = GetDC(nullptr);
    BITMAPINFO info;
    info.bmiHeader.biWidth = description.bmWidth;
    info.bmiHeader.biHeight = description.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(description.bmHeight), nullptr, &info, DIB_RGB_COLORS);
    std::vector<BYTE> pixels(info.bmiHeader.biSizeImage != 0
                                 ? info.bmiHeader.biSizeImage
                                 : static_cast<size_t>(description.bmWidth) * 4 * description.bmHeight);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(description.bmHeight), pixels.data(), &info,
              DIB_RGB_COLORS);
    work(pixels.data(), description.bmWidth, description.bmHeight);
    SetDIBits(screen, bitmap, 0, static_cast<UINT>(description.bmHeight), pixels.data(), &info,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return TRUE;
}

} // namespace

void CColor::RGBToHLS(COLORREF color, WORD* hue, WORD* lightness, WORD* saturation) {
    const int r = GetRValue(color);
    const int g = GetGValue(color);
    const int b = GetBValue(color);
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    const int l = ((high + low) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    int h = kUndefinedHue;
    int s = 0;
    if (high != low) {
        const int range = high - low;
        if (l <= kHlsMax / 2) {
            s = (range * kHlsMax + (high + low) / 2) / (high + low);
        } else {
            s = (range * kHlsMax + (2 * kRgbMax - high - low) / 2) / (2 * kRgbMax - high - low);
        }
        const int rDelta = ((high - r) * (kHlsMax / 6) + range / 2) / range;
        const int gDelta = ((high - g) * (kHlsMax / 6) + range / 2) / range;
        const int bDelta = ((high - b) * (kHlsMax / 6) + range / 2) / range;
        if (r == high) {
            h = bDelta - gDelta;
        } else if (g == high) {
            h = kHlsMax / 3 + rDelta - bDelta;
        } else {
            h = kHlsMax * 2 / 3 + gDelta - rDelta;
        }
        if (h < 0) {
            h += kHlsMax;
        }
        if (h > kHlsMax) {
            h -= kHlsMax;
        }
    }
    if (hue != nullptr) {
        *hue = static_cast<WORD>(h);
    }
    if (lightness != nullptr) {
        *lightness = static_cast<WORD>(l);
    }
    if (saturation != nullptr) {
        *saturation = static_cast<WORD>(s);
    }
}

COLORREF CColor::HLSToRGB(WORD hue, WORD lightness, WORD saturation) {
    const int h = hue;
    const int l = lightness;
    const int s = saturation;
    if (s == 0) {
        const BYTE grey = ToByte(l * kRgbMax / kHlsMax);
        return RGB(grey, grey, grey);
    }
    const int magic2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax
                                        : l + s - (l * s + kHlsMax / 2) / kHlsMax;
    const int magic1 = 2 * l - magic2;
    const int r = (HueToChannel(magic1, magic2, h + kHlsMax / 3) * kRgbMax + kHlsMax / 2) / kHlsMax;
    const int g = (HueToChannel(magic1, magic2, h) * kRgbMax + kHlsMax / 2) / kHlsMax;
    const int b = (HueToChannel(magic1, magic2, h - kHlsMax / 3) * kRgbMax + kHlsMax / 2) / kHlsMax;
    return RGB(ToByte(r), ToByte(g), ToByte(b));
}

BOOL CColor::ShiftHLS(BYTE* pixels, int width, int height, int x, int y, int w, int h, int hueDelta,
                      int lightnessDelta, int saturationDelta, COLORREF key, DWORD flags) {
    const auto shift = [](int value, int delta) {
        if (delta == 0) {
            return value;
        }
        const int sum = value + delta;
        return sum >= 239 ? 239 : std::max(sum, 0);
    };
    return WalkPixels(pixels, width, height, x, y, w, h, key, flags, [&](BYTE* pixel) {
        WORD hue = 0;
        WORD lightness = 0;
        WORD saturation = 0;
        RGBToHLS(PixelColor(pixel), &hue, &lightness, &saturation);
        const COLORREF result = HLSToRGB(static_cast<WORD>(shift(hue, hueDelta)),
                                         static_cast<WORD>(shift(lightness, lightnessDelta)),
                                         static_cast<WORD>(shift(saturation, saturationDelta)));
        pixel[0] = GetBValue(result);
        pixel[1] = GetGValue(result);
        pixel[2] = GetRValue(result);
        pixel[3] = 0;
    });
}

BOOL CColor::ShiftHLS(HBITMAP bitmap, int x, int y, int w, int h, int hueDelta, int lightnessDelta,
                      int saturationDelta, COLORREF key, DWORD flags) {
    return WithBitmapPixels(bitmap, w, h, [&](BYTE* pixels, int width, int height) {
        ShiftHLS(pixels, width, height, x, y, w, h, hueDelta, lightnessDelta, saturationDelta, key, flags);
    });
}

BOOL CColor::SetHLSComponent(BYTE* pixels, int width, int height, int x, int y, int w, int h, BYTE value,
                             int component, COLORREF key, DWORD flags) {
    if (component < 0 || component > 2) {
        return TRUE;
    }
    return WalkPixels(pixels, width, height, x, y, w, h, key, flags, [&](BYTE* pixel) {
        DWORD hls = PixelToHLS(pixel);
        const int shiftBits = component * 8;
        hls = (hls & ~(0xFFu << shiftBits)) | (static_cast<DWORD>(value) << shiftBits);
        const COLORREF result = HLSToColor(hls);
        pixel[0] = GetBValue(result);
        pixel[1] = GetGValue(result);
        pixel[2] = GetRValue(result);
    });
}

BOOL CColor::SetHLSComponent(HBITMAP bitmap, int x, int y, int w, int h, BYTE value, int component,
                             COLORREF key, DWORD flags) {
    return WithBitmapPixels(bitmap, w, h, [&](BYTE* pixels, int width, int height) {
        SetHLSComponent(pixels, width, height, x, y, w, h, value, component, key, flags);
    });
}

DWORD CColor::PixelToHLS(const BYTE* pixel) {
    return ColorToHLS(PixelColor(pixel));
}

DWORD CColor::ColorToHLS(COLORREF color) {
    const double r = GetRValue(color);
    const double g = GetGValue(color);
    const double b = GetBValue(color);
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double l = (high + low) / 510.0;
    double hue = 0.0;
    double saturation = 0.0;
    if (high != low) {
        const double range = high - low;
        const double rc = (high - r) / range;
        const double gc = (high - g) / range;
        const double bc = (high - b) / range;
        saturation = l <= 0.5 ? range / (high + low) : range / (510.0 - high - low);
        if (r == high) {
            hue = (6.0 + bc - gc) * 60.0;
        }
        if (g == high) {
            hue = (2.0 + rc - bc) * 60.0;
        }
        if (b == high) {
            hue = (4.0 + gc - rc) * 60.0;
        }
        if (hue > 360.0) {
            hue -= 360.0;
        }
    }
    const auto h = static_cast<DWORD>(hue * 240.0 / 360.0);
    const auto light = static_cast<DWORD>(l * 240.0);
    const auto sat = static_cast<DWORD>(saturation * 240.0);
    return (h & 0xFF) | ((light & 0xFF) << 8) | ((sat & 0xFF) << 16);
}

COLORREF CColor::HLSToColor(DWORD hls) {
    const double s = static_cast<double>((hls >> 16) & 0xFF) / 240.0;
    const double l = static_cast<double>((hls >> 8) & 0xFF) / 240.0;
    const double hue = static_cast<double>(hls & 0xFF) * 360.0 / 240.0;
    if (s == 0.0) {
        const BYTE grey = ToByte(static_cast<int>(l * 255.0));
        return RGB(grey, grey, grey);
    }
    const double m2 = l > 0.5 ? l + s - l * s : l * (1.0 + s);
    const double m1 = 2.0 * l - m2;
    const auto channel = [m1, m2](double x) {
        if (x > 360.0) {
            x -= 360.0;
        } else if (x < 0.0) {
            x += 360.0;
        }
        double value = m1;
        if (x < 60.0) {
            value = m1 + (m2 - m1) * x / 60.0;
        } else if (x < 180.0) {
            value = m2;
        } else if (x < 240.0) {
            value = m1 + (m2 - m1) * (240.0 - x) / 60.0;
        }
        return ToByte(static_cast<int>(value * 255.0));
    };
    return RGB(channel(hue + 120.0), channel(hue), channel(hue - 120.0));
}

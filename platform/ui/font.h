#pragma once
// Fonts by face name and height. A negative height is the character height in pixels, a positive
// one the cell height; a point font's tenths of a point become pixels at 96 dots per inch.

#include "platform/ui/gdiobj.h"

HFONT CreateFontIndirectW(const LOGFONTW* logFont);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outputPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName);

class CDC;

class CFont : public CGdiObject {
  public:
    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outputPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName);
    // pointSize in tenths of a point.
    BOOL CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc = nullptr);
    // lfHeight in tenths of a point.
    BOOL CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc = nullptr);
    int GetLogFont(LOGFONTW* logFont) const { return GetObject(sizeof(LOGFONTW), logFont); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

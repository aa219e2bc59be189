#pragma once
// Device contexts: drawing on a window, on a bitmap selected into a memory DC, or (for owner and
// custom drawing) on a picture the layer is painting. Coordinates are pixels; right and bottom
// edges of rectangles are exclusive.

#include "platform/base/cstring.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/font.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/rect.h"
#include "platform/ui/rgn.h"

#include <memory>
#include <string>
#include <vector>

class CWnd;

// A memory DC holds a 1 x 1 bitmap until another is selected. A null reference DC means the screen.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
// A DC on the window's client area; a null window gives the screen DC, which only serves as a
// reference for compatible DCs and bitmaps. Window DCs are for the GUI thread only.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// The DC is clipped to the invalid part, which becomes valid; WM_ERASEBKGND is sent first when the
// invalidation asked for erasing.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Answers the object of the same kind selected before. A region is selected as the clip region
// and answers its complexity instead.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetDeviceCaps(HDC dc, int index);

int SelectClipRgn(HDC dc, HRGN region);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, RECT* box);

// SRCCOPY only. Source pixels outside the source bitmap are left out.
BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
// HALFTONE smooths, every other mode takes the nearest pixel; negative sizes mirror.
BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop);
// Pixels of the key colour are left out; the source must lie within the source bitmap.
BOOL TransparentBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, UINT keyColor);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Outline with the pen (the right and bottom edges excluded), inside with the brush.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// Draws with the pen up to, not including, the end point, which becomes the current position.
BOOL LineTo(HDC dc, int x, int y);
// Lines through the points in one stroke, with the current pen; the current position stays.
BOOL Polyline(HDC dc, const POINT* points, int count);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the bitmap or the clip region.
COLORREF GetPixel(HDC dc, int x, int y);

// DT_VCENTER and DT_BOTTOM apply to single lines only. Without DT_NOPREFIX "&&" shows "&" and a
// single "&" is left out. Answers the text's height (from the rectangle's top for DT_VCENTER
// and DT_BOTTOM).
int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);

class CDC {
  public:
    CDC() = default;
    // Deletes a DC made with CreateCompatibleDC.
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A stand-in object for a DC the caller does not own; it lasts as long as the DC.
    static CDC* FromHandle(HDC dc);

    BOOL CreateCompatibleDC(CDC* reference);
    BOOL DeleteDC();
    BOOL Attach(HDC dc);
    HDC Detach();

    // Each answers the object selected before, or null.
    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    int SelectObject(CRgn* region);
    HGDIOBJ SelectObject(HGDIOBJ object);
    CGdiObject* SelectStockObject(int index);

    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    int SelectClipRgn(CRgn* region);
    int ExcludeClipRect(int left, int top, int right, int bottom) {
        return ::ExcludeClipRect(m_hDC, left, top, right, bottom);
    }
    int ExcludeClipRect(LPCRECT rect) {
        return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom);
    }
    int IntersectClipRect(int left, int top, int right, int bottom) {
        return ::IntersectClipRect(m_hDC, left, top, right, bottom);
    }
    int IntersectClipRect(LPCRECT rect) {
        return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
    }
    int GetClipBox(LPRECT box) const { return ::GetClipBox(m_hDC, box); }

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, DWORD rop);
    BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                        int sourceWidth, int sourceHeight, UINT keyColor);
    void FillRect(LPCRECT rect, CBrush* brush);
    // Also makes the colour the DC's background colour, as the class library does.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int width, int height, COLORREF color);
    BOOL Rectangle(int left, int top, int right, int bottom) {
        return ::Rectangle(m_hDC, left, top, right, bottom);
    }
    BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }

    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) {
        return ::DrawTextW(m_hDC, text, count, rect, format);
    }
    int DrawText(const CString& text, LPRECT rect, UINT format) {
        return DrawText(text, text.GetLength(), rect, format);
    }
    BOOL TextOut(int x, int y, LPCWSTR text, int count) { return ::TextOutW(m_hDC, x, y, text, count); }
    BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
    CSize GetTextExtent(LPCWSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    BOOL GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

  protected:
    template <typename T> T* Wrap(HGDIOBJ object);
    // Stand-ins for the objects this DC had selected before; they never delete their handles.
    std::vector<std::unique_ptr<CGdiObject>> m_wrappers;

  private:
    friend class CDCAccess;
    bool m_temporary = false;
};

// BeginPaint and EndPaint for a window's WM_PAINT.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

  private:
    HWND m_window;
};

// A DC on a window's client area outside painting.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

  private:
    HWND m_window;
};

#pragma once
// The class library's point, size and rectangle: thin value types over POINT, SIZE and RECT.
// Right and bottom are exclusive, as everywhere on the platform.

#include "platform/base/wintypes.h"

class CPoint : public POINT {
  public:
    CPoint() = default;
    CPoint(int px, int py) {
        x = px;
        y = py;
    }
    CPoint(const POINT& point) : POINT(point) {}

    void Offset(int dx, int dy) {
        x += dx;
        y += dy;
    }
    bool operator==(const POINT& other) const { return x == other.x && y == other.y; }
    bool operator!=(const POINT& other) const { return !(*this == other); }
    CPoint operator+(const POINT& other) const { return CPoint(x + other.x, y + other.y); }
    CPoint operator-(const POINT& other) const { return CPoint(x - other.x, y - other.y); }
};

class CSize : public SIZE {
  public:
    CSize() = default;
    CSize(int width, int height) {
        cx = width;
        cy = height;
    }
    CSize(const SIZE& size) : SIZE(size) {}

    bool operator==(const SIZE& other) const { return cx == other.cx && cy == other.cy; }
    bool operator!=(const SIZE& other) const { return !(*this == other); }
};

class CRect : public RECT {
  public:
    CRect() = default;
    CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
    CRect(const RECT& rect) : RECT(rect) {}
    CRect(const POINT& topLeft, const SIZE& size) {
        SetRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy);
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    // Empty means no area: a width or a height of 0 or less.
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(const POINT& point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }

    void SetRect(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(const POINT& delta) { OffsetRect(delta.x, delta.y); }
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    void InflateRect(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    void NormalizeRect() {
        if (left > right) {
            const LONG swap = left;
            left = right;
            right = swap;
        }
        if (top > bottom) {
            const LONG swap = top;
            top = bottom;
            bottom = swap;
        }
    }
    // The overlap of the two; empty (all zero) when they do not overlap.
    bool IntersectRect(const RECT& a, const RECT& b) {
        SetRect(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }

    bool operator==(const RECT& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const RECT& other) const { return !(*this == other); }

    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};

#pragma once
// Inside the window layer: the drawing objects behind the handles. One table holds every bitmap,
// pen, brush, font, region and device context; a handle names an entry until DeleteObject (or
// DeleteDC) removes it, and a removed handle is never handed out again. The table may be used from
// any thread; one object must not be used by two threads at once, as on the platform.

#include "platform/ui/gdidefs.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>

#include <functional>
#include <memory>

class QPainter;

namespace uiimpl {

enum class GdiKind { Bitmap, Pen, Brush, Font, Region, DeviceContext };

struct GdiObject {
    explicit GdiObject(GdiKind kind) : kind(kind) {}
    virtual ~GdiObject() = default;
    GdiKind kind;
    bool stock = false;
    int selections = 0; // device contexts it is selected into
};

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(GdiKind::Bitmap) {}
    QImage image;
    // A DIB section's pixels may be written through its bits pointer; they are made opaque
    // before the bitmap is read.
    bool dibSection = false;
    WORD bitsPerPixel = 32;
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(GdiKind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(GdiKind::Brush) {}
    bool hollow = false;
    COLORREF color = 0;
};

struct FontObject : GdiObject {
    FontObject() : GdiObject(GdiKind::Font) {}
    LOGFONTW logFont;
    QFont font;
};

struct RegionObject : GdiObject {
    RegionObject() : GdiObject(GdiKind::Region) {}
    QRegion region;
};

struct DeviceContext : GdiObject {
    enum class Target { Memory, Window, Screen, Painter };
    DeviceContext() : GdiObject(GdiKind::DeviceContext) {}
    Target target = Target::Screen;
    HWND window = nullptr;
    QPainter* painter = nullptr; // Painter target: owned by whoever paints
    QRegion baseClip;            // a paint DC's paint region
    bool hasBaseClip = false;
    QRegion clip; // SelectClipRgn and friends
    bool hasClip = false;
    HBITMAP bitmap = nullptr;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColor = 0x000000;
    COLORREF backgroundColor = 0xFFFFFF;
    int backgroundMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    int mixMode = R2_COPYPEN;
    QPoint position;
};

HGDIOBJ AddObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle);
template <typename T> std::shared_ptr<T> Find(HGDIOBJ handle, GdiKind kind) {
    std::shared_ptr<GdiObject> object = FindObject(handle);
    return object != nullptr && object->kind == kind ? std::static_pointer_cast<T>(object) : nullptr;
}
// Takes the entry out of the table; false for a stock object or one still selected into a DC.
bool RemoveObject(HGDIOBJ handle);

std::shared_ptr<BitmapObject> FindBitmap(HBITMAP bitmap);

// Where a BMP file keeps its rows, and their shape.
struct BmpLayout {
    DWORD offset = 0;
    size_t stride = 0;
    LONG width = 0;
    LONG height = 0;
    WORD bitsPerPixel = 0;
};
// False for anything LoadBitmapFromBmpData refuses.
bool ReadBmpLayout(const void* data, size_t size, BmpLayout& layout);
// Writes the file's rows, top row first, as RGB32 pixels of the given pitch.
void DecodeBmpRows(const void* data, const BmpLayout& layout, uchar* pixels, qsizetype pitch);
std::shared_ptr<DeviceContext> FindDC(HDC dc);
// A region's area; TakeRegion also removes it, as a window takes over its region.
bool RegionOf(HRGN region, QRegion* area);
bool TakeRegion(HRGN region, QRegion* area);
HRGN AddRegion(const QRegion& area);
// A brush's colour; false for a hollow or unknown brush. (HBRUSH)(COLOR_xxx + 1) stands for the
// system colour.
bool BrushColor(HBRUSH brush, QColor* color);
QFont FontOf(HFONT font);
QFont FontFromLogFont(const LOGFONTW& logFont);
HBITMAP AddBitmap(QImage image);
// The bitmap's picture as it is drawn: a DIB section's fourth bytes count for nothing. Null for a
// handle that names no bitmap.
QImage OpaquePictureOf(HBITMAP bitmap);

inline QColor ColorOf(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}
inline COLORREF ColorRefOf(QRgb pixel) {
    return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)),
               static_cast<BYTE>(qBlue(pixel)));
}

// A device context that draws with a painter someone else holds (owner drawing, custom drawing).
HDC CreatePainterDC(QPainter* painter, HWND window);
// Runs the drawing on the DC's target with its clipping; false when the DC cannot be drawn on.
bool PaintOnDC(HDC dc, const std::function<void(QPainter&)>& draw);

} // namespace uiimpl

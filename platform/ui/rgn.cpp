#include "platform/ui/rgn.h"

#include "platform/ui/gdiimpl.h"

using namespace uiimpl;

namespace {

int Complexity(const QRegion& region) {
    if (region.isEmpty()) {
        return NULLREGION;
    }
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect FromCorners(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) {
        return QRect();
    }
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

namespace uiimpl {

bool RegionOf(HRGN region, QRegion* area) {
    const std::shared_ptr<RegionObject> found = Find<RegionObject>(region, GdiKind::Region);
    if (found == nullptr) {
        return false;
    }
    *area = found->region;
    return true;
}

bool TakeRegion(HRGN region, QRegion* area) {
    return RegionOf(region, area) && RemoveObject(region);
}

HRGN AddRegion(const QRegion& area) {
    auto region = std::make_shared<RegionObject>();
    region->region = area;
    return static_cast<HRGN>(AddObject(region));
}

} // namespace uiimpl

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return AddRegion(QRegion(FromCorners(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect != nullptr ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode) {
    const std::shared_ptr<RegionObject> target = Find<RegionObject>(destination, GdiKind::Region);
    QRegion a;
    if (target == nullptr || !RegionOf(first, &a)) {
        return ERROR;
    }
    QRegion b;
    if (mode != RGN_COPY && !RegionOf(second, &b)) {
        return ERROR;
    }
    switch (mode) {
    case RGN_AND:
        target->region = a & b;
        break;
    case RGN_OR:
        target->region = a | b;
        break;
    case RGN_XOR:
        target->region = a ^ b;
        break;
    case RGN_DIFF:
        target->region = a - b;
        break;
    case RGN_COPY:
        target->region = a;
        break;
    default:
        return ERROR;
    }
    return Complexity(target->region);
}

int OffsetRgn(HRGN region, int dx, int dy) {
    const std::shared_ptr<RegionObject> found = Find<RegionObject>(region, GdiKind::Region);
    if (found == nullptr) {
        return ERROR;
    }
    found->region.translate(dx, dy);
    return Complexity(found->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    QRegion area;
    return RegionOf(region, &area) && area.contains(QPoint(x, y)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
    QRegion area;
    if (!RegionOf(region, &area) || box == nullptr) {
        return ERROR;
    }
    const QRect bounds = area.boundingRect();
    box->left = bounds.left();
    box->top = bounds.top();
    box->right = bounds.isEmpty() ? bounds.left() : bounds.left() + bounds.width();
    box->bottom = bounds.isEmpty() ? bounds.top() : bounds.top() + bounds.height();
    if (area.isEmpty()) {
        *box = RECT();
    }
    return Complexity(area);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    const std::shared_ptr<RegionObject> found = Find<RegionObject>(region, GdiKind::Region);
    if (found == nullptr) {
        return FALSE;
    }
    found->region = QRegion(FromCorners(left, top, right, bottom));
    return TRUE;
}

HRGN CreateRgnFromBitmapKey(HBITMAP bitmap, const RECT* source, COLORREF key) {
    const std::shared_ptr<BitmapObject> found = FindBitmap(bitmap);
    if (found == nullptr) {
        return nullptr;
    }
    const QImage& image = found->image;
    QRect area(QPoint(0, 0), image.size());
    if (source != nullptr && source->right > source->left && source->bottom > source->top) {
        area = QRect(source->left, source->top, source->right - source->left, source->bottom - source->top);
    }
    const QRgb keyPixel = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    QRegion shape;
    // Runs of non-key pixels, row by row, keep the region small.
    for (int y = 0; y < area.height(); ++y) {
        int runStart = -1;
        for (int x = 0; x <= area.width(); ++x) {
            const QPoint pixel(area.left() + x, area.top() + y);
            const bool inside = x < area.width() && image.rect().contains(pixel) &&
                                (image.pixel(pixel) & 0xFFFFFF) != (keyPixel & 0xFFFFFF);
            if (inside && runStart < 0) {
                runStart = x;
            } else if (!inside && runStart >= 0) {
                shape += QRect(runStart, y, x - runStart, 1);
                runStart = -1;
            }
        }
    }
    return AddRegion(shape);
}

int CRgn::CombineRgn(const CRgn* first, const CRgn* second, int mode) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject),
                        first != nullptr ? static_cast<HRGN>(first->m_hObject) : nullptr,
                        second != nullptr ? static_cast<HRGN>(second->m_hObject) : nullptr, mode);
}

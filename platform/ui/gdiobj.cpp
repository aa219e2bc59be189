#include "platform/ui/gdiobj.h"

#include "platform/ui/gdiimpl.h"

#include <array>
#include <cstring>
#include <mutex>
#include <unordered_map>

using namespace uiimpl;

namespace {

struct ObjectTable {
    std::mutex mutex;
    std::unordered_map<ULONG_PTR, std::shared_ptr<GdiObject>> objects;
    // Far above the small values that stand for system-colour brushes.
    ULONG_PTR next = 0x100000;
};

ObjectTable& Objects() {
    static ObjectTable table;
    return table;
}

constexpr int SystemColorCount = 31;

// The platform's standard scheme.
constexpr COLORREF SystemColors[SystemColorCount] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
    RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(51, 153, 255),  RGB(255, 255, 255),
    RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(67, 78, 84),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(51, 153, 255),
    RGB(240, 240, 240),
};

HGDIOBJ AddStock(std::shared_ptr<GdiObject> object) {
    object->stock = true;
    return AddObject(std::move(object));
}

HGDIOBJ MakeStockBrush(bool hollow, COLORREF color) {
    auto brush = std::make_shared<BrushObject>();
    brush->hollow = hollow;
    brush->color = color;
    return AddStock(brush);
}

HGDIOBJ MakeStockPen(int style, COLORREF color) {
    auto pen = std::make_shared<PenObject>();
    pen->style = style;
    pen->color = color;
    return AddStock(pen);
}

HGDIOBJ MakeStockFont(LONG height, LONG weight, const wchar_t* face) {
    auto font = std::make_shared<FontObject>();
    font->logFont.lfHeight = height;
    font->logFont.lfWeight = weight;
    std::wcsncpy(font->logFont.lfFaceName, face, LF_FACESIZE - 1);
    font->font = FontFromLogFont(font->logFont);
    return AddStock(font);
}

} // namespace

namespace uiimpl {

HGDIOBJ AddObject(std::shared_ptr<GdiObject> object) {
    ObjectTable& table = Objects();
    std::lock_guard<std::mutex> lock(table.mutex);
    const ULONG_PTR key = table.next;
    table.next += 4;
    table.objects.emplace(key, std::move(object));
    return reinterpret_cast<HGDIOBJ>(key);
}

std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle) {
    ObjectTable& table = Objects();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<ULONG_PTR>(handle));
    return found == table.objects.end() ? nullptr : found->second;
}

bool RemoveObject(HGDIOBJ handle) {
    ObjectTable& table = Objects();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<ULONG_PTR>(handle));
    if (found == table.objects.end() || found->second->stock || found->second->selections > 0) {
        return false;
    }
    table.objects.erase(found);
    return true;
}

std::shared_ptr<BitmapObject> FindBitmap(HBITMAP bitmap) {
    return Find<BitmapObject>(bitmap, GdiKind::Bitmap);
}

std::shared_ptr<DeviceContext> FindDC(HDC dc) {
    return Find<DeviceContext>(dc, GdiKind::DeviceContext);
}

bool BrushColor(HBRUSH brush, QColor* color) {
    const auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value >= 1 && value <= SystemColorCount) {
        *color = ColorOf(GetSysColor(static_cast<int>(value - 1)));
        return true;
    }
    const std::shared_ptr<BrushObject> found = Find<BrushObject>(brush, GdiKind::Brush);
    if (found == nullptr || found->hollow) {
        return false;
    }
    *color = ColorOf(found->color);
    return true;
}

} // namespace uiimpl

BOOL DeleteObject(HGDIOBJ object) {
    const auto value = reinterpret_cast<ULONG_PTR>(object);
    if (value >= 1 && value <= SystemColorCount) {
        return TRUE;
    }
    const std::shared_ptr<GdiObject> found = FindObject(object);
    if (found == nullptr || found->kind == GdiKind::DeviceContext) {
        return FALSE;
    }
    if (found->stock) {
        return TRUE;
    }
    return RemoveObject(object) ? TRUE : FALSE;
}

int GetObjectW(HGDIOBJ object, int size, void* buffer) {
    const std::shared_ptr<GdiObject> found = FindObject(object);
    if (found == nullptr) {
        return 0;
    }
    const auto copy = [size, buffer](const auto& value) {
        const int needed = static_cast<int>(sizeof(value));
        if (buffer == nullptr) {
            return needed;
        }
        if (size < needed) {
            return 0;
        }
        std::memcpy(buffer, &value, sizeof(value));
        return needed;
    };
    switch (found->kind) {
    case GdiKind::Bitmap: {
        const auto& bitmap = static_cast<const BitmapObject&>(*found);
        BITMAP description;
        description.bmWidth = bitmap.image.width();
        description.bmHeight = bitmap.image.height();
        description.bmWidthBytes = ((bitmap.image.width() * bitmap.bitsPerPixel + 31) / 32) * 4;
        description.bmPlanes = 1;
        description.bmBitsPixel = bitmap.bitsPerPixel;
        description.bmBits = bitmap.dibSection ? const_cast<uchar*>(bitmap.image.constBits()) : nullptr;
        return copy(description);
    }
    case GdiKind::Font:
        return copy(static_cast<const FontObject&>(*found).logFont);
    case GdiKind::Pen: {
        const auto& pen = static_cast<const PenObject&>(*found);
        LOGPEN description;
        description.lopnStyle = static_cast<UINT>(pen.style);
        description.lopnWidth.x = pen.width;
        description.lopnColor = pen.color;
        return copy(description);
    }
    case GdiKind::Brush: {
        const auto& brush = static_cast<const BrushObject&>(*found);
        LOGBRUSH description;
        description.lbStyle = brush.hollow ? BS_NULL : BS_SOLID;
        description.lbColor = brush.color;
        return copy(description);
    }
    default:
        return 0;
    }
}

HGDIOBJ GetStockObject(int index) {
    static std::once_flag made;
    static std::array<HGDIOBJ, DEFAULT_GUI_FONT + 1> stock{};
    std::call_once(made, [] {
        stock[WHITE_BRUSH] = MakeStockBrush(false, RGB(255, 255, 255));
        stock[LTGRAY_BRUSH] = MakeStockBrush(false, RGB(192, 192, 192));
        stock[GRAY_BRUSH] = MakeStockBrush(false, RGB(128, 128, 128));
        stock[DKGRAY_BRUSH] = MakeStockBrush(false, RGB(64, 64, 64));
        stock[BLACK_BRUSH] = MakeStockBrush(false, RGB(0, 0, 0));
        stock[NULL_BRUSH] = MakeStockBrush(true, 0);
        stock[WHITE_PEN] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
        stock[BLACK_PEN] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
        stock[NULL_PEN] = MakeStockPen(PS_NULL, 0);
        stock[SYSTEM_FONT] = MakeStockFont(16, FW_BOLD, L"");
        stock[DEFAULT_GUI_FONT] = MakeStockFont(-11, FW_NORMAL, L"");
    });
    return index >= 0 && index < static_cast<int>(stock.size()) ? stock[static_cast<size_t>(index)] : nullptr;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto pen = std::make_shared<PenObject>();
    pen->style = style;
    pen->width = width < 1 ? 1 : width;
    pen->color = color & 0xFFFFFF;
    return static_cast<HPEN>(AddObject(pen));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_shared<BrushObject>();
    brush->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(AddObject(brush));
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= SystemColorCount) {
        return nullptr;
    }
    static std::mutex mutex;
    static std::array<HGDIOBJ, SystemColorCount> brushes{};
    std::lock_guard<std::mutex> lock(mutex);
    if (brushes[static_cast<size_t>(index)] == nullptr) {
        brushes[static_cast<size_t>(index)] = MakeStockBrush(false, SystemColors[index]);
    }
    return static_cast<HBRUSH>(brushes[static_cast<size_t>(index)]);
}

COLORREF GetSysColor(int index) {
    return index >= 0 && index < SystemColorCount ? SystemColors[index] : 0;
}

CGdiObject::~CGdiObject() {
    if (m_hObject != nullptr && !m_temporary) {
        ::DeleteObject(m_hObject);
    }
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (m_hObject != nullptr || object == nullptr) {
        return FALSE;
    }
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) {
        return FALSE;
    }
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int size, void* buffer) const {
    return GetObjectW(m_hObject, size, buffer);
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    return Attach(::CreatePen(style, width, color));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreateSysColorBrush(int index) {
    return Attach(::GetSysColorBrush(index));
}

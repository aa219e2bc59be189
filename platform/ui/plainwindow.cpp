#include "platform/ui/plainwindow.h"

#include "platform/ui/dc.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/resources.h"
#include "platform/ui/static.h"
#include "platform/ui/window.h"

#include <QEvent>
#include <QPainter>

#include <cwchar>
#include <string>

namespace uiimpl {

namespace {

bool IsFrame(DWORD type) {
    return type == SS_BLACKFRAME || type == SS_GRAYFRAME || type == SS_WHITEFRAME;
}

// The bitmap an SS_BITMAP static's text names: "#<id>" or a resource name.
HBITMAP LoadNamedBitmap(const std::wstring& name) {
    if (name.empty()) {
        return nullptr;
    }
    if (name[0] != L'#') {
        return static_cast<HBITMAP>(LoadImageW(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    }
    wchar_t* end = nullptr;
    const unsigned long id = std::wcstoul(name.c_str() + 1, &end, 10);
    if (end == name.c_str() + 1 || *end != L'\0' || id == 0 || id > 0xFFFF) {
        return nullptr;
    }
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(id)), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP description;
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(description), &description) == 0) {
        return SIZE{};
    }
    return SIZE{description.bmWidth, description.bmHeight};
}

// The part of a static's picture being painted becomes transparent.
void ClearSurface(Window& window, const QRegion& region) {
    if (window.surface.isNull() || !window.surface.hasAlphaChannel()) {
        return;
    }
    QPainter painter(&window.surface);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setClipRegion(region);
    painter.fillRect(window.surface.rect(), Qt::transparent);
}

void DrawFrame(HDC dc, const RECT& client, DWORD type) {
    const int color = type == SS_BLACKFRAME ? COLOR_WINDOWFRAME : type == SS_GRAYFRAME ? COLOR_BTNSHADOW : COLOR_WINDOW;
    if (client.right <= client.left || client.bottom <= client.top) {
        return;
    }
    const HBRUSH brush = GetSysColorBrush(color);
    const RECT edges[] = {
        {client.left, client.top, client.right, client.top + 1},
        {client.left, client.bottom - 1, client.right, client.bottom},
        {client.left, client.top, client.left + 1, client.bottom},
        {client.right - 1, client.top, client.right, client.bottom},
    };
    for (const RECT& edge : edges) {
        FillRect(dc, &edge, brush);
    }
}

void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& client, bool centred) {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    int x = client.left;
    int y = client.top;
    if (centred) {
        x += (client.right - client.left - size.cx) / 2;
        y += (client.bottom - client.top - size.cy) / 2;
    }
    BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

UINT TextFormat(DWORD type) {
    switch (type) {
    case SS_CENTER:
        return DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    case SS_RIGHT:
        return DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX;
    case SS_LEFTNOWORDWRAP:
        return DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    default:
        return DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    }
}

} // namespace

PlainWidget::PlainWidget(const Window& window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), WindowHost(window.handle), m_kind(window.windowClass->kind) {
    if (m_kind != ClassKind::Static) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    if (m_kind == ClassKind::Static && (window.style & SS_NOTIFY) == 0) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

PlainWidget::~PlainWidget() {
    if (m_ownsImage) {
        DeleteObject(m_image);
    }
}

bool PlainWidget::NativeEvent(QWidget*, QEvent* event) {
    return QWidget::event(event);
}

HBITMAP PlainWidget::SetImage(Window& window, HBITMAP image, bool owned) {
    HBITMAP previous = m_image;
    if (m_ownsImage) {
        DeleteObject(previous);
        previous = nullptr;
    }
    m_image = image;
    m_ownsImage = owned;
    const SIZE size = BitmapSize(image);
    if ((window.style & SS_CENTERIMAGE) == 0 && size.cx > 0 && size.cy > 0) {
        resize(size.cx, size.cy);
    }
    InvalidateRect(window.handle, nullptr, TRUE);
    return previous;
}

LRESULT PlainWidget::PaintStatic(Window& window) {
    const QRegion region = window.invalid;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window.handle, &paint);
    if (dc == nullptr) {
        return 0;
    }
    const HWND handle = window.handle;
    const DWORD type = window.style & SS_TYPEMASK;
    RECT client;
    GetClientRect(handle, &client);
    if (IsFrame(type)) {
        ClearSurface(window, region);
        DrawFrame(dc, client, type);
        EndPaint(handle, &paint);
        return 0;
    }
    const HGDIOBJ previousFont =
        SelectObject(dc, window.font != nullptr ? window.font : GetStockObject(DEFAULT_GUI_FONT));
    const WPARAM colorDc = reinterpret_cast<WPARAM>(dc);
    const LPARAM self = reinterpret_cast<LPARAM>(handle);
    auto brush = reinterpret_cast<HBRUSH>(window.parent != nullptr
                                              ? SendMessageW(window.parent, WM_CTLCOLORSTATIC, colorDc, self)
                                              : GenericWindowProc(window, WM_CTLCOLORSTATIC, colorDc, self));
    // The parent may have ended the static while choosing its colours.
    Window* current = Lookup(handle);
    if (current == nullptr) {
        EndPaint(handle, &paint);
        return 0;
    }
    if (brush == nullptr) {
        brush = reinterpret_cast<HBRUSH>(GenericWindowProc(*current, WM_CTLCOLORSTATIC, colorDc, self));
    }
    QColor background;
    if (BrushColor(brush, &background)) {
        FillRect(dc, &client, brush);
    } else {
        ClearSurface(*current, region);
    }
    if (type == SS_BITMAP) {
        DrawBitmap(dc, m_image, client, (current->style & SS_CENTERIMAGE) != 0);
    } else {
        DrawTextW(dc, current->text.c_str(), -1, &client, TextFormat(type));
    }
    SelectObject(dc, previousFont);
    EndPaint(handle, &paint);
    return 0;
}

LRESULT PlainWidget::StaticProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if ((window.style & SS_TYPEMASK) == SS_BITMAP) {
            if (const HBITMAP image = LoadNamedBitmap(window.text)) {
                SetImage(window, image, true);
            }
        }
        return 0;
    case WM_PAINT:
        if (wParam == 0) {
            return PaintStatic(window);
        }
        break;
    case WM_SETTEXT: {
        const LRESULT result = GenericWindowProc(window, message, wParam, lParam);
        InvalidateRect(window.handle, nullptr, TRUE);
        return result;
    }
    case STM_SETIMAGE:
        return wParam == IMAGE_BITMAP
                   ? reinterpret_cast<LRESULT>(SetImage(window, reinterpret_cast<HBITMAP>(lParam), false))
                   : 0;
    case STM_GETIMAGE:
        return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(m_image) : 0;
    default:
        break;
    }
    return GenericWindowProc(window, message, wParam, lParam);
}

LRESULT PlainWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_kind == ClassKind::Static) {
        return StaticProc(window, message, wParam, lParam);
    }
    // A dialog closed from its frame is cancelled, not destroyed.
    if (m_kind == ClassKind::Dialog && message == WM_CLOSE) {
        SendMessageW(window.handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return GenericWindowProc(window, message, wParam, lParam);
}

bool PlainWidget::event(QEvent* event) {
    if (HandleEvent(this, event)) {
        return true;
    }
    return QWidget::event(event);
}

QWidget* CreatePlainWidget(Window& window, QWidget* parent, Qt::WindowFlags flags) {
    return new PlainWidget(window, parent, flags);
}

} // namespace uiimpl

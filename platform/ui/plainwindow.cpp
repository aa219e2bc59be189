#include "platform/ui/plainwindow.h"

#include "platform/ui/dc.h"
#include "platform/ui/static.h"
#include "platform/ui/window.h"

#include <QEvent>

namespace uiimpl {

namespace {

LRESULT PaintStatic(Window& window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window.handle, &paint);
    if (dc == nullptr) {
        return 0;
    }
    RECT client;
    GetClientRect(window.handle, &client);
    HGDIOBJ previous =
        SelectObject(dc, window.font != nullptr ? window.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    UINT format = DT_WORDBREAK | DT_NOPREFIX;
    if ((window.style & SS_CENTER) != 0) {
        format |= DT_CENTER;
    } else if ((window.style & SS_RIGHT) != 0) {
        format |= DT_RIGHT;
    }
    DrawTextW(dc, window.text.c_str(), -1, &client, format);
    SelectObject(dc, previous);
    EndPaint(window.handle, &paint);
    return 0;
}

} // namespace

PlainWidget::PlainWidget(const Window& window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), WindowHost(window.handle), m_kind(window.windowClass->kind) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    if (m_kind == ClassKind::Static && (window.style & SS_NOTIFY) == 0) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

bool PlainWidget::NativeEvent(QWidget*, QEvent* event) {
    return QWidget::event(event);
}

LRESULT PlainWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_kind == ClassKind::Static) {
        if (message == WM_PAINT && wParam == 0) {
            return PaintStatic(window);
        }
        if (message == WM_SETTEXT) {
            const LRESULT result = GenericWindowProc(window, message, wParam, lParam);
            InvalidateRect(window.handle, nullptr, TRUE);
            return result;
        }
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

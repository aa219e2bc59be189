#include "platform/ui/window.h"

#include "platform/base/trace.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/guithread.h"
#include "platform/ui/messagequeue.h"
#include "platform/ui/windowimpl.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>

#include <algorithm>
#include <cstdio>

using namespace uiimpl;

namespace {

constexpr UINT MinimumTimerPeriod = 10;
constexpr UINT MaximumTimerPeriod = 0x7FFFFFFF;
constexpr DWORD DefaultHoverTime = 400;

QWidget* WidgetOf(HWND window) {
    const Window* record = Lookup(window);
    return record == nullptr ? nullptr : record->widget.data();
}

bool IsTopLevel(const Window& window) {
    return (window.style & WS_CHILD) == 0;
}

void ApplyZOrder(Window& window, HWND insertAfter, UINT flags) {
    QWidget* widget = window.widget.data();
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        if (!IsTopLevel(window)) {
            return;
        }
        const bool topmost = insertAfter == HWND_TOPMOST;
        if (((window.exStyle & WS_EX_TOPMOST) != 0) != topmost) {
            window.exStyle = topmost ? (window.exStyle | WS_EX_TOPMOST) : (window.exStyle & ~WS_EX_TOPMOST);
            const bool visible = widget->isVisible();
            widget->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
            if (visible) {
                widget->setAttribute(Qt::WA_ShowWithoutActivating, (flags & SWP_NOACTIVATE) != 0);
                widget->show();
            }
        }
        if (topmost) {
            widget->raise();
        }
        return;
    }
    if (insertAfter == HWND_TOP) {
        widget->raise();
        return;
    }
    if (insertAfter == HWND_BOTTOM) {
        widget->lower();
        return;
    }
    Window* after = Lookup(insertAfter);
    if (after == nullptr || !after->widget || after == &window) {
        return;
    }
    if (!IsTopLevel(window) && !IsTopLevel(*after) && window.parent == after->parent) {
        widget->stackUnder(after->widget);
    } else if (IsTopLevel(window) && IsTopLevel(*after)) {
        // Top-level windows can only be raised: this one goes up, then the one it belongs behind.
        widget->raise();
        after->widget->raise();
    }
}

QRect ScreenRect(const Window& window) {
    const QWidget* widget = window.widget.data();
    if (widget->isWindow()) {
        return FramedRect(widget);
    }
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

void ToRect(const QRect& from, RECT* to) {
    to->left = from.left();
    to->top = from.top();
    to->right = from.left() + from.width();
    to->bottom = from.top() + from.height();
}

QRect FromRect(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// A window call made on another thread is done on the GUI thread while the caller waits; when the
// GUI thread cannot take it, it fails as on a dead window.
template <typename Result, typename Call> Result OnGui(Result failed, Call call) {
    Result result = failed;
    RunOnGuiThread([&result, &call] { result = call(); }, true);
    return result;
}

void StopHover(Window& window) {
    if (window.hoverTimer != 0) {
        if (MessageQueue* queue = MessageQueue::Instance()) {
            queue->StopTimer(window.hoverTimer);
        }
        window.hoverTimer = 0;
    }
}

} // namespace

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr) {
        return 0;
    }
    if (!OnGuiThread()) {
        return IsLive(window) ? OnGui<LRESULT>(0, [=] { return Dispatch(window, message, wParam, lParam); })
                              : 0;
    }
    return Dispatch(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageQueue* queue = MessageQueue::Instance();
    return queue != nullptr && queue->Post(window, message, wParam, lParam) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
    if (MessageQueue* queue = MessageQueue::Instance()) {
        queue->PostQuit(exitCode);
    }
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!OnGuiThread()) {
        return OnGui<LRESULT>(0, [=] { return DefWindowProcW(window, message, wParam, lParam); });
    }
    Window* record = Lookup(window);
    return record == nullptr ? 0 : GenericWindowProc(*record, message, wParam, lParam);
}

WORD RegisterClassW(const WNDCLASSW* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(windowClass->lpszClassName)) {
        return 0;
    }
    static WORD nextAtom = 0xC000;
    WindowClass registered;
    registered.name = windowClass->lpszClassName;
    registered.style = windowClass->style;
    registered.procedure = windowClass->lpfnWndProc == DefWindowProcW ? nullptr : windowClass->lpfnWndProc;
    registered.cursor = windowClass->hCursor;
    registered.background = windowClass->hbrBackground;
    registered.instance = windowClass->hInstance;
    return AddClass(registered) != nullptr ? nextAtom++ : 0;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* windowClass) {
    if (className == nullptr || IS_INTRESOURCE(className) || windowClass == nullptr) {
        return FALSE;
    }
    const WindowClass* found = FindClass(className);
    if (found == nullptr) {
        return FALSE;
    }
    *windowClass = WNDCLASSW();
    windowClass->style = found->style;
    windowClass->lpfnWndProc = found->procedure != nullptr ? found->procedure : DefWindowProcW;
    windowClass->hInstance = found->instance;
    windowClass->hCursor = found->cursor;
    windowClass->hbrBackground = found->background;
    windowClass->lpszClassName = found->name.c_str();
    return TRUE;
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    wchar_t name[96];
    std::swprintf(name, sizeof(name) / sizeof(name[0]), L"Afx:%x:%lx:%lx:%lx", classStyle,
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(cursor)),
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(background)),
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(icon)));
    if (const WindowClass* found = FindClass(name)) {
        return found->name.c_str();
    }
    WindowClass registered;
    registered.name = name;
    registered.style = classStyle;
    registered.cursor = cursor;
    registered.background = background;
    const WindowClass* added = AddClass(registered);
    return added != nullptr ? added->name.c_str() : nullptr;
}

BOOL IsWindow(HWND window) {
    return IsLive(window) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return DestroyWindow(window); });
    }
    return DestroyWindowTree(window);
}

BOOL ShowWindow(HWND window, int command) {
    if (IsRemoteWindow(window)) {
        return RemoteShowWindow(window, command);
    }
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return ShowWindow(window, command); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return FALSE;
    }
    const BOOL wasVisible = (record->style & WS_VISIBLE) != 0 ? TRUE : FALSE;
    const bool show = command != SW_HIDE;
    if (show != (wasVisible != FALSE)) {
        Dispatch(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        record = Lookup(window);
        if (record == nullptr || !record->widget) {
            return wasVisible;
        }
    }
    if (show && IsTopLevel(*record)) {
        AskTrackingSize(window);
        record = Lookup(window);
        if (record == nullptr || !record->widget) {
            return wasVisible;
        }
    }
    QWidget* widget = record->widget.data();
    if (!show) {
        record->style &= ~WS_VISIBLE;
        widget->hide();
        return wasVisible;
    }
    record->style |= WS_VISIBLE;
    const bool noActivate = command == SW_SHOWNA || command == SW_SHOWNOACTIVATE ||
                            command == SW_SHOWMINNOACTIVE || (record->exStyle & WS_EX_NOACTIVATE) != 0;
    widget->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
    if (widget->isWindow() &&
        (command == SW_SHOWMINIMIZED || command == SW_MINIMIZE || command == SW_SHOWMINNOACTIVE)) {
        widget->showMinimized();
    } else if (widget->isWindow() && command == SW_MAXIMIZE) {
        widget->showMaximized();
    } else if (widget->isWindow() && (command == SW_RESTORE || command == SW_SHOWNORMAL)) {
        widget->showNormal();
    } else {
        widget->show();
    }
    // Showing delivers Qt's pending events, whose messages may have ended the window.
    record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return wasVisible;
    }
    if (!wasVisible) {
        InvalidateRegion(*record, QRegion(record->widget->rect()), true);
    }
    ReportGeometry(*record);
    return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return IsWindowVisible(window); });
    }
    for (const Window* record = Lookup(window); record != nullptr; record = Lookup(record->parent)) {
        if ((record->style & WS_VISIBLE) == 0) {
            return FALSE;
        }
        if (IsTopLevel(*record)) {
            return TRUE;
        }
    }
    return FALSE;
}

namespace {

// Qt disables a widget's child windows with it, but a disabled owner must leave the windows it
// owns (the modal dialog that disabled it, above all) working, as each keeps its own state.
void KeepOwnedWindowsEnabled(QWidget& owner) {
    for (QObject* child : owner.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || !widget->isWindow()) {
            continue;
        }
        const Window* owned = Lookup(HandleOfWidget(widget));
        if (owned == nullptr || (owned->style & WS_DISABLED) == 0) {
            widget->setEnabled(true);
        }
    }
}

} // namespace

BOOL EnableWindow(HWND window, BOOL enable) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return EnableWindow(window, enable); });
    }
    Window* record = Lookup(window);
    if (record == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = (record->style & WS_DISABLED) != 0 ? TRUE : FALSE;
    if ((enable != FALSE) == (wasDisabled != FALSE)) {
        record->style = enable ? (record->style & ~WS_DISABLED) : (record->style | WS_DISABLED);
        if (record->widget) {
            record->widget->setEnabled(enable != FALSE);
            if (!enable) {
                KeepOwnedWindowsEnabled(*record->widget);
            }
        }
        if (!enable && CaptureWindow() == window) {
            ReleaseCapture();
        }
        Dispatch(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasDisabled;
}

BOOL IsIconic(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return IsIconic(window); });
    }
    const QWidget* widget = WidgetOf(window);
    return widget != nullptr && widget->isWindow() && widget->isMinimized() ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return IsWindowEnabled(window); });
    }
    const Window* record = Lookup(window);
    return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return SetWindowPos(window, insertAfter, x, y, width, height, flags); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return FALSE;
    }
    if ((flags & SWP_FRAMECHANGED) != 0) {
        ApplyFrame(*record);
    }
    // A top-level window keeps to the tracking size its procedure gives.
    TrackingSize limits;
    if ((flags & SWP_NOSIZE) == 0 && IsTopLevel(*record)) {
        limits = AskTrackingSize(window);
        record = Lookup(window);
        if (record == nullptr || !record->widget) {
            return FALSE;
        }
    }
    QWidget* widget = record->widget.data();
    if ((flags & SWP_NOMOVE) == 0 || (flags & SWP_NOSIZE) == 0) {
        const QPoint position = (flags & SWP_NOMOVE) != 0 ? widget->pos() : QPoint(x, y);
        const QSize size = (flags & SWP_NOSIZE) != 0 ? widget->size()
                                                     : limits.Clamp(QSize(std::max(0, width), std::max(0, height)));
        if (widget->isWindow()) {
            // The window rectangle includes the frame; the widget's size is the client's.
            const QSize frame = FrameSize(widget);
            widget->move(position);
            widget->resize((flags & SWP_NOSIZE) != 0 ? size : (size - frame).expandedTo(QSize(0, 0)));
        } else {
            const QRect requested(position, size);
            const bool fit = record->host != nullptr && (flags & SWP_NOSIZE) == 0;
            widget->setGeometry(fit ? record->host->FitGeometry(requested) : requested);
        }
    }
    if ((flags & SWP_NOZORDER) == 0) {
        ApplyZOrder(*record, insertAfter, flags);
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(window, (flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(window, SW_HIDE);
    }
    if (Window* current = Lookup(window)) {
        ReportGeometry(*current);
    }
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return GetWindowRect(window, rect); });
    }
    const Window* record = Lookup(window);
    if (record == nullptr || !record->widget || rect == nullptr) {
        return FALSE;
    }
    ToRect(ScreenRect(*record), rect);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return GetClientRect(window, rect); });
    }
    const QWidget* widget = WidgetOf(window);
    if (widget == nullptr || rect == nullptr) {
        return FALSE;
    }
    ToRect(QRect(QPoint(0, 0), widget->size()), rect);
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return ClientToScreen(window, point); });
    }
    const QWidget* widget = WidgetOf(window);
    if (widget == nullptr || point == nullptr) {
        return FALSE;
    }
    const QPoint mapped = widget->mapToGlobal(QPoint(point->x, point->y));
    point->x = mapped.x();
    point->y = mapped.y();
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return ScreenToClient(window, point); });
    }
    const QWidget* widget = WidgetOf(window);
    if (widget == nullptr || point == nullptr) {
        return FALSE;
    }
    const QPoint mapped = widget->mapFromGlobal(QPoint(point->x, point->y));
    point->x = mapped.x();
    point->y = mapped.y();
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    if (!OnGuiThread()) {
        return OnGui<int>(0, [=] { return MapWindowPoints(from, to, points, count); });
    }
    QPoint origin(0, 0);
    if (from != nullptr) {
        const QWidget* widget = WidgetOf(from);
        if (widget == nullptr) {
            return 0;
        }
        origin = widget->mapToGlobal(origin);
    }
    QPoint target(0, 0);
    if (to != nullptr) {
        const QWidget* widget = WidgetOf(to);
        if (widget == nullptr) {
            return 0;
        }
        target = widget->mapToGlobal(target);
    }
    const QPoint delta = origin - target;
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += delta.x();
        points[i].y += delta.y();
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(delta.x()), static_cast<WORD>(delta.y())));
}

HWND GetParent(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return GetParent(window); });
    }
    const Window* record = Lookup(window);
    if (record == nullptr) {
        return nullptr;
    }
    return IsTopLevel(*record) ? record->owner : record->parent;
}

BOOL IsChild(HWND parent, HWND window) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return IsChild(parent, window); });
    }
    for (const Window* record = Lookup(window); record != nullptr && !IsTopLevel(*record);
         record = Lookup(record->parent)) {
        if (record->parent == parent) {
            return TRUE;
        }
    }
    return FALSE;
}

HWND GetDlgItem(HWND parent, int id) {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return GetDlgItem(parent, id); });
    }
    for (HWND child : ChildrenOf(parent)) {
        const Window* record = Lookup(child);
        if (record != nullptr && static_cast<int>(record->id) == id) {
            return child;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<int>(0, [=] { return GetDlgCtrlID(window); });
    }
    const Window* record = Lookup(window);
    return record != nullptr && !IsTopLevel(*record) ? static_cast<int>(record->id) : 0;
}

LONG_PTR GetWindowLongPtrW(HWND window, int index) {
    if (!OnGuiThread()) {
        return OnGui<LONG_PTR>(0, [=] { return GetWindowLongPtrW(window, index); });
    }
    const Window* record = Lookup(window);
    if (record == nullptr) {
        return 0;
    }
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(record->style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(record->exStyle);
    case GWLP_ID:
        return static_cast<LONG_PTR>(record->id);
    case GWLP_USERDATA:
        return record->userData;
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    if (!OnGuiThread()) {
        return OnGui<LONG_PTR>(0, [=] { return SetWindowLongPtrW(window, index, value); });
    }
    Window* record = Lookup(window);
    if (record == nullptr) {
        return 0;
    }
    const LONG_PTR previous = GetWindowLongPtrW(window, index);
    switch (index) {
    case GWL_STYLE:
        record->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        record->exStyle = static_cast<DWORD>(value);
        if (record->widget) {
            record->widget->setAcceptDrops((record->exStyle & WS_EX_ACCEPTFILES) != 0);
        }
        break;
    case GWLP_ID:
        record->id = static_cast<UINT_PTR>(value);
        break;
    case GWLP_USERDATA:
        record->userData = value;
        break;
    default:
        return 0;
    }
    return previous;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : L"")) != 0
               ? TRUE
               : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = L'\0';
    return static_cast<int>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window) {
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

HWND WindowFromPoint(POINT point) {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return WindowFromPoint(point); });
    }
    return HandleOfWidget(QApplication::widgetAt(QPoint(point.x, point.y)));
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (!OnGuiThread()) {
        MessageQueue* queue = MessageQueue::Instance();
        if (queue == nullptr || !IsLive(window)) {
            return FALSE;
        }
        const bool whole = rect == nullptr;
        const RECT copy = whole ? RECT() : *rect;
        queue->RunLater(
            [window, whole, copy, erase] { InvalidateRect(window, whole ? nullptr : &copy, erase); });
        return TRUE;
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return FALSE;
    }
    InvalidateRegion(*record, rect == nullptr ? QRegion(record->widget->rect()) : QRegion(FromRect(*rect)),
                     erase != FALSE);
    return TRUE;
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return InvalidateRgn(window, region, erase); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return FALSE;
    }
    QRegion area(record->widget->rect());
    if (region != nullptr && !RegionOf(region, &area)) {
        return FALSE;
    }
    InvalidateRegion(*record, area, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return ValidateRect(window, rect); });
    }
    Window* record = Lookup(window);
    if (record == nullptr) {
        return FALSE;
    }
    if (rect == nullptr) {
        record->invalid = QRegion();
        record->eraseNeeded = false;
    } else {
        record->invalid -= QRegion(FromRect(*rect));
    }
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return UpdateWindow(window); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget || record->host == nullptr) {
        return FALSE;
    }
    if (!record->invalid.isEmpty() && record->widget->isVisible()) {
        record->host->InputWidget()->repaint(record->invalid.translated(-record->host->InputOffset()));
    }
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return RedrawWindow(window, rect, region, flags); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return FALSE;
    }
    QRegion area(record->widget->rect());
    if (rect != nullptr) {
        area = QRegion(FromRect(*rect));
    } else if (region != nullptr && !RegionOf(region, &area)) {
        return FALSE;
    }
    if ((flags & RDW_INVALIDATE) != 0) {
        InvalidateRegion(*record, area, (flags & RDW_ERASE) != 0 && (flags & RDW_NOERASE) == 0);
    }
    if ((flags & RDW_VALIDATE) != 0) {
        record->invalid -= area;
    }
    if ((flags & RDW_ALLCHILDREN) != 0) {
        for (HWND child : ChildrenOf(window)) {
            RedrawWindow(child, nullptr, nullptr, flags);
        }
    }
    if ((flags & RDW_UPDATENOW) != 0) {
        UpdateWindow(window);
    }
    return TRUE;
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
    if (!OnGuiThread()) {
        return OnGui<int>(0, [=] { return SetWindowRgn(window, region, redraw); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return 0;
    }
    QRegion area;
    if (region != nullptr && !TakeRegion(region, &area)) {
        return 0;
    }
    if (region != nullptr) {
        record->widget->setMask(area);
    } else {
        record->widget->clearMask();
    }
    if (redraw) {
        InvalidateRegion(*record, QRegion(record->widget->rect()), true);
    }
    return 1;
}

HWND SetFocus(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return SetFocus(window); });
    }
    const HWND previous = GetFocus();
    if (window == nullptr) {
        if (QWidget* focused = QApplication::focusWidget()) {
            focused->clearFocus();
        }
        return previous;
    }
    QWidget* widget = WidgetOf(window);
    if (widget == nullptr) {
        return nullptr;
    }
    if (!widget->window()->isActiveWindow()) {
        widget->window()->activateWindow();
    }
    widget->setFocus(Qt::OtherFocusReason);
    return previous;
}

HWND GetFocus() {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return GetFocus(); });
    }
    return HandleOfWidget(QApplication::focusWidget());
}

HWND GetActiveWindow() {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return GetActiveWindow(); });
    }
    return HandleOfWidget(QApplication::activeWindow());
}

BOOL SetForegroundWindow(HWND window) {
    if (IsRemoteWindow(window)) {
        return RemoteSetForegroundWindow(window);
    }
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return SetForegroundWindow(window); });
    }
    QWidget* widget = WidgetOf(window);
    if (widget == nullptr) {
        return FALSE;
    }
    widget->window()->raise();
    widget->window()->activateWindow();
    return TRUE;
}

HWND SetCapture(HWND window) {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return SetCapture(window); });
    }
    const HWND previous = CaptureWindow();
    Window* record = Lookup(window);
    if (record == nullptr || previous == window) {
        return previous;
    }
    if (QWidget* old = WidgetOf(previous)) {
        old->releaseMouse();
    }
    SetCaptureWindow(window);
    if (record->widget && record->widget->isVisible() && record->host != nullptr) {
        record->host->InputWidget()->grabMouse();
    }
    if (previous != nullptr) {
        Dispatch(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    return previous;
}

BOOL ReleaseCapture() {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return ReleaseCapture(); });
    }
    const HWND previous = CaptureWindow();
    if (previous == nullptr) {
        return TRUE;
    }
    SetCaptureWindow(nullptr);
    if (Window* record = Lookup(previous); record != nullptr && record->host != nullptr) {
        record->host->InputWidget()->releaseMouse();
    }
    Dispatch(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    if (!OnGuiThread()) {
        return OnGui<HWND>(nullptr, [=] { return GetCapture(); });
    }
    return CaptureWindow();
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return TrackMouseEvent(track); });
    }
    if (track == nullptr || track->cbSize != sizeof(TRACKMOUSEEVENT)) {
        return FALSE;
    }
    Window* record = Lookup(track->hwndTrack);
    if (record == nullptr) {
        return FALSE;
    }
    const DWORD kinds = track->dwFlags & (TME_HOVER | TME_LEAVE);
    if ((track->dwFlags & TME_QUERY) != 0) {
        track->dwFlags = record->trackFlags;
        track->dwHoverTime = record->hoverTime;
        return TRUE;
    }
    if ((track->dwFlags & TME_CANCEL) != 0) {
        record->trackFlags &= ~kinds;
        if ((kinds & TME_HOVER) != 0) {
            StopHover(*record);
        }
        return TRUE;
    }
    record->hoverTime = track->dwHoverTime == HOVER_DEFAULT ? DefaultHoverTime : track->dwHoverTime;
    if ((kinds & TME_LEAVE) != 0) {
        if (record->mouseInside) {
            record->trackFlags |= TME_LEAVE;
        } else {
            PostMessageW(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
        }
    }
    if ((kinds & TME_HOVER) != 0 && record->mouseInside) {
        record->trackFlags |= TME_HOVER;
        record->hoverAnchor = LastCursorPosition();
        StopHover(*record);
        if (MessageQueue* queue = MessageQueue::Instance()) {
            record->hoverTimer = queue->StartHoverTimer(track->hwndTrack, record->hoverTime);
        }
    }
    return TRUE;
}

short GetKeyState(int virtualKey) {
    if (!OnGuiThread()) {
        return OnGui<short>(0, [=] { return GetKeyState(virtualKey); });
    }
    constexpr short Down = static_cast<short>(0x8000);
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    switch (static_cast<UINT>(virtualKey)) {
    case VK_SHIFT:
        return (modifiers & Qt::ShiftModifier) ? Down : 0;
    case VK_CONTROL:
        return (modifiers & Qt::ControlModifier) ? Down : 0;
    case VK_MENU:
        return (modifiers & Qt::AltModifier) ? Down : 0;
    case VK_LBUTTON:
        return (buttons & Qt::LeftButton) ? Down : 0;
    case VK_RBUTTON:
        return (buttons & Qt::RightButton) ? Down : 0;
    case VK_MBUTTON:
        return (buttons & Qt::MiddleButton) ? Down : 0;
    default:
        return 0;
    }
}

UINT GetDoubleClickTime() {
    if (!OnGuiThread()) {
        return OnGui<UINT>(0, [=] { return GetDoubleClickTime(); });
    }
    return static_cast<UINT>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds) {
    if (!OnGuiThread()) {
        return OnGui<UINT_PTR>(0, [=] { return SetTimer(window, id, milliseconds); });
    }
    Window* record = Lookup(window);
    MessageQueue* queue = MessageQueue::Instance();
    if (record == nullptr || queue == nullptr) {
        return 0;
    }
    const auto existing = record->timers.find(id);
    if (existing != record->timers.end()) {
        queue->StopTimer(existing->second);
        record->timers.erase(existing);
    }
    const UINT period = std::clamp(milliseconds, MinimumTimerPeriod, MaximumTimerPeriod);
    const int timer = queue->StartWindowTimer(window, id, period);
    if (timer == 0) {
        return 0;
    }
    record->timers[id] = timer;
    return id != 0 ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return KillTimer(window, id); });
    }
    Window* record = Lookup(window);
    MessageQueue* queue = MessageQueue::Instance();
    if (record == nullptr || queue == nullptr) {
        return FALSE;
    }
    const auto found = record->timers.find(id);
    if (found == record->timers.end()) {
        return FALSE;
    }
    queue->StopTimer(found->second);
    record->timers.erase(found);
    return TRUE;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return GetScrollInfo(window, bar, info); });
    }
    Window* record = Lookup(window);
    if (record == nullptr || record->host == nullptr || info == nullptr) {
        return FALSE;
    }
    SCROLLINFO state;
    if (!record->host->GetScrollInfo(bar, state)) {
        return FALSE;
    }
    if ((info->fMask & SIF_RANGE) != 0) {
        info->nMin = state.nMin;
        info->nMax = state.nMax;
    }
    if ((info->fMask & SIF_PAGE) != 0) {
        info->nPage = state.nPage;
    }
    if ((info->fMask & SIF_POS) != 0) {
        info->nPos = state.nPos;
    }
    if ((info->fMask & SIF_TRACKPOS) != 0) {
        info->nTrackPos = state.nTrackPos;
    }
    return TRUE;
}

int GetScrollPos(HWND window, int bar) {
    SCROLLINFO info;
    info.fMask = SIF_POS;
    return GetScrollInfo(window, bar, &info) ? info.nPos : 0;
}

BOOL InitializeFlatSB(HWND window) {
    return IsWindow(window);
}

BOOL FlatSB_EnableScrollBar(HWND window, int bar, UINT arrows) {
    if (!OnGuiThread()) {
        return OnGui<BOOL>(FALSE, [=] { return FlatSB_EnableScrollBar(window, bar, arrows); });
    }
    Window* record = Lookup(window);
    return record != nullptr && record->host != nullptr && record->host->EnableScrollBar(bar, arrows) ? TRUE
                                                                                                      : FALSE;
}

// Qt's events become the platform's numbered messages here: input and painting go through the
// window procedure (and Qt's own handling runs only when the procedure asks for the default),
// while geometry, focus and activation let Qt act first and then tell the window.

#include "platform/base/timing.h"
#include "platform/base/unicode.h"
#include "platform/ui/drop.h"
#include "platform/ui/keymap.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>

#include <cstdlib>
#include <string>
#include <vector>

namespace uiimpl {

namespace {

constexpr int DoubleClickDistance = 2; // half the platform's 4-pixel double-click rectangle

struct ClickState {
    HWND window = nullptr;
    Qt::MouseButton button = Qt::NoButton;
    qint64 time = 0;
    QPoint screen;
    bool armed = false;
};

ClickState lastClick;
Qt::MouseButtons pressedButtons;

qint64 EventTime(const QInputEvent& event) {
    static QElapsedTimer clock;
    if (!clock.isValid()) {
        clock.start();
    }
    return event.timestamp() != 0 ? static_cast<qint64>(event.timestamp()) : clock.elapsed();
}

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) {
        keys |= MK_LBUTTON;
    }
    if (buttons & Qt::RightButton) {
        keys |= MK_RBUTTON;
    }
    if (buttons & Qt::MiddleButton) {
        keys |= MK_MBUTTON;
    }
    if (modifiers & Qt::ShiftModifier) {
        keys |= MK_SHIFT;
    }
    if (modifiers & Qt::ControlModifier) {
        keys |= MK_CONTROL;
    }
    return keys;
}

LPARAM PackPoint(const QPoint& point) {
    return MAKELPARAM(static_cast<WORD>(point.x()), static_cast<WORD>(point.y()));
}

UINT ButtonMessage(Qt::MouseButton button, int offset) {
    switch (button) {
    case Qt::LeftButton:
        return WM_LBUTTONDOWN + static_cast<UINT>(offset);
    case Qt::RightButton:
        return WM_RBUTTONDOWN + static_cast<UINT>(offset);
    case Qt::MiddleButton:
        return WM_MBUTTONDOWN + static_cast<UINT>(offset);
    default:
        return 0;
    }
}

bool IsDoubleClick(HWND window, Qt::MouseButton button, qint64 time, const QPoint& screen) {
    const Window* record = Lookup(window);
    const bool classWants = record != nullptr && (record->windowClass->style & CS_DBLCLKS) != 0;
    const bool result = classWants && lastClick.armed && lastClick.window == window &&
                        lastClick.button == button &&
                        time - lastClick.time <= static_cast<qint64>(GetDoubleClickTime()) &&
                        std::abs(screen.x() - lastClick.screen.x()) <= DoubleClickDistance &&
                        std::abs(screen.y() - lastClick.screen.y()) <= DoubleClickDistance;
    // A third click starts over, as on the platform.
    lastClick = ClickState{window, button, time, screen, !result};
    return result;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const QPoint& screen) {
    MSG queued;
    queued.hwnd = window;
    queued.message = message;
    queued.wParam = wParam;
    queued.lParam = lParam;
    queued.time = GetTickCount();
    queued.pt.x = screen.x();
    queued.pt.y = screen.y();
    return queued;
}

QWidget* InputWidgetOf(HWND window) {
    const Window* record = Lookup(window);
    return record != nullptr && record->host != nullptr ? record->host->InputWidget() : nullptr;
}

bool TranslateMouse(WindowHost& host, QWidget* receiver, QMouseEvent& event) {
    const QPoint screen = event.globalPosition().toPoint();
    NoteCursorPosition(screen);
    HWND target = host.Handle();
    QPoint client = receiver->mapTo(host.Widget(), event.position().toPoint());
    bool redirected = false;
    if (const HWND capture = CaptureWindow(); capture != nullptr && capture != target) {
        const Window* captured = Lookup(capture);
        if (captured == nullptr || !captured->widget) {
            return true;
        }
        target = capture;
        client = captured->widget->mapFromGlobal(screen);
        redirected = true;
    }

    UINT message = 0;
    switch (event.type()) {
    case QEvent::MouseMove:
        message = WM_MOUSEMOVE;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Qt may report the second press of a double click as a press, as a double click, or as
        // both; the platform's rule decides instead.
        if (event.type() == QEvent::MouseButtonDblClick && (pressedButtons & event.button())) {
            event.accept();
            return true;
        }
        pressedButtons |= event.button();
        message = ButtonMessage(event.button(),
                                IsDoubleClick(target, event.button(), EventTime(event), screen) ? 2 : 0);
        break;
    case QEvent::MouseButtonRelease:
        pressedButtons &= ~event.button();
        message = ButtonMessage(event.button(), 1);
        break;
    default:
        return false;
    }
    if (message == 0) {
        return true;
    }
    const WPARAM keys = MouseKeys(event.buttons(), event.modifiers());
    const LPARAM point = PackPoint(client);

    if (message == WM_MOUSEMOVE) {
        MouseMovedInto(target, client, screen);
    }
    BeginInputCursor();
    if (!redirected && CaptureWindow() == nullptr) {
        Dispatch(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                 MAKELPARAM(HTCLIENT, static_cast<WORD>(message)));
    }
    MSG queued = MakeMessage(target, message, keys, point, screen);
    QtEvent native{receiver, &event};
    if (!PreTranslate(queued)) {
        Dispatch(queued.hwnd, queued.message, queued.wParam, queued.lParam, redirected ? nullptr : &native);
    }
    EndInputCursor(InputWidgetOf(target));
    event.accept();
    return true;
}

bool TranslateWheel(WindowHost& host, QWidget* receiver, QWheelEvent& event) {
    const QPoint screen = event.globalPosition().toPoint();
    NoteCursorPosition(screen);
    const int delta = event.angleDelta().y();
    if (delta == 0) {
        return false;
    }
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(MouseKeys(event.buttons(), event.modifiers())),
                                     static_cast<WORD>(static_cast<short>(delta)));
    MSG queued = MakeMessage(host.Handle(), WM_MOUSEWHEEL, wParam, PackPoint(screen), screen);
    QtEvent native{receiver, &event};
    if (!PreTranslate(queued)) {
        Dispatch(queued.hwnd, queued.message, queued.wParam, queued.lParam, &native);
    }
    event.accept();
    return true;
}

std::vector<UINT> CharactersOf(const QKeyEvent& event, UINT virtualKey) {
    std::vector<UINT> characters;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) && virtualKey >= 'A' &&
        virtualKey <= 'Z') {
        characters.push_back(virtualKey - 'A' + 1);
        return characters;
    }
    for (const QChar unit : event.text()) {
        if (unit.unicode() != 0 && unit.unicode() != 0x7F) {
            characters.push_back(unit.unicode());
        }
    }
    return characters;
}

bool TranslateKey(WindowHost& host, QWidget* receiver, QKeyEvent& event) {
    // The platform reports a held key's release once, when it is let go; Qt reports one with every
    // repeat.
    if (event.type() == QEvent::KeyRelease && event.isAutoRepeat()) {
        event.accept();
        return true;
    }
    const HWND target = host.Handle();
    const UINT virtualKey = VirtualKeyFromQt(event.key(), event.modifiers());
    const bool alt = (event.modifiers() & Qt::AltModifier) != 0;
    const bool press = event.type() == QEvent::KeyPress;
    DWORD flags = 1;
    if (IsExtendedKey(virtualKey, event.modifiers())) {
        flags |= 1u << 24;
    }
    if (alt) {
        flags |= 1u << 29;
    }
    if (!press || event.isAutoRepeat()) {
        flags |= 1u << 30;
    }
    if (!press) {
        flags |= 1u << 31;
    }
    const LPARAM lParam = static_cast<LPARAM>(flags);
    const QPoint screen = LastCursorPosition();
    QtEvent native{receiver, &event};
    // Keys never travel on to the parent widget, whatever the procedure did with them.
    struct Accept {
        QKeyEvent& event;
        ~Accept() { event.accept(); }
    } accept{event};
    if (virtualKey != 0) {
        const UINT message = press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
        MSG queued = MakeMessage(target, message, virtualKey, lParam, screen);
        if (PreTranslate(queued)) {
            return true;
        }
        Dispatch(queued.hwnd, queued.message, queued.wParam, queued.lParam, &native);
    }
    if (!press || !IsLive(target)) {
        return true;
    }
    for (const UINT character : CharactersOf(event, virtualKey)) {
        MSG queued = MakeMessage(target, alt ? WM_SYSCHAR : WM_CHAR, character, lParam, screen);
        if (!PreTranslate(queued)) {
            Dispatch(queued.hwnd, queued.message, queued.wParam, queued.lParam,
                     virtualKey == 0 ? &native : nullptr);
        }
    }
    return true;
}

bool TranslatePaint(WindowHost& host, Window& window, QWidget* receiver, QPaintEvent& event) {
    if (receiver != host.InputWidget()) {
        return false;
    }
    const HWND handle = window.handle;
    const QPoint offset = host.InputOffset();
    const QRegion region = event.region().translated(offset);
    if (host.PaintsSurface()) {
        FitSurface(window);
        if (!window.invalid.isEmpty() && receiver->updatesEnabled()) {
            window.inSurfacePaint = true;
            window.paintedDuringPaint = QRegion();
            Dispatch(handle, WM_PAINT, 0, 0);
            if (Window* painted = Lookup(handle)) {
                painted->inSurfacePaint = false;
                // A procedure that did not validate would be asked again forever.
                painted->invalid = QRegion();
                painted->eraseNeeded = false;
                const QRegion beyond = painted->paintedDuringPaint - region;
                if (!beyond.isEmpty()) {
                    receiver->update(beyond);
                }
            }
        }
        const Window* current = Lookup(handle);
        if (current == nullptr) {
            return true;
        }
        QPainter painter(receiver);
        painter.setClipRegion(event.region());
        painter.drawImage(QPoint(0, 0), current->surface);
        return true;
    }

    NativePaint paint;
    paint.receiver = receiver;
    paint.offset = offset;
    paint.region = region;
    window.invalid += region;
    window.nativePaint = &paint;
    QtEvent native{receiver, &event};
    Dispatch(handle, WM_PAINT, 0, 0, &native);
    paint.painter.reset();
    Window* painted = Lookup(handle);
    if (painted == nullptr) {
        return true;
    }
    painted->nativePaint = nullptr;
    if (!paint.validated) {
        painted->invalid -= region;
    }
    const QRegion drawnOver = painted->overlayArea & region;
    if (!drawnOver.isEmpty()) {
        QPainter painter(receiver);
        painter.translate(-offset);
        painter.setClipRegion(drawnOver);
        painter.drawImage(QPoint(0, 0), painted->overlay);
        // What was drawn outside painting lasts until the control paints that part again.
        painted->overlayArea -= drawnOver;
    }
    return true;
}

std::vector<std::wstring> DroppedPaths(const QMimeData* data) {
    std::vector<std::wstring> paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            const QByteArray bytes = QFile::encodeName(url.toLocalFile());
            paths.push_back(WideFromUtf8(std::string(bytes.constData(), static_cast<size_t>(bytes.size()))));
        }
    }
    return paths;
}

bool TranslateDrop(WindowHost& host, Window& window, QWidget* receiver, QDropEvent& event) {
    if ((window.exStyle & WS_EX_ACCEPTFILES) == 0) {
        return false;
    }
    const std::vector<std::wstring> paths = DroppedPaths(event.mimeData());
    if (paths.empty()) {
        return false;
    }
    event.acceptProposedAction();
    if (event.type() != QEvent::Drop) {
        return true;
    }
    const QPoint client = receiver->mapTo(host.Widget(), event.position().toPoint());
    POINT point;
    point.x = client.x();
    point.y = client.y();
    const HDROP drop = CreateDropHandle(paths, point);
    Dispatch(window.handle, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    DragFinish(drop);
    return true;
}

// The desktop turns Alt+F4 into a request to close the focused window; a window without a caption
// offers nothing else to close it by. Such a request arrives as the key (WM_SYSKEYDOWN VK_F4, to
// the focus window within the window, pre-translated), and only when nothing takes the key as
// WM_CLOSE, as the platform's default handling of the key does.
void TranslateClose(HWND handle, QWidget* widget) {
    const Window* window = Lookup(handle);
    if (window == nullptr) {
        return;
    }
    const bool captioned = (window->style & WS_CAPTION) == WS_CAPTION;
    if (widget->isWindow() && (!captioned || (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier))) {
        HWND target = HandleOfWidget(QApplication::focusWidget());
        if (target == nullptr || TopLevelOf(target) != handle) {
            target = handle;
        }
        const DWORD flags = 1u | (1u << 29) | (static_cast<DWORD>(0x3E) << 16);
        MSG key = MakeMessage(target, WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(flags), LastCursorPosition());
        if (PreTranslate(key)) {
            return;
        }
        Dispatch(key.hwnd, key.message, key.wParam, key.lParam);
    }
    Dispatch(handle, WM_CLOSE, 0, 0);
}

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

bool WindowHost::HandleEvent(QWidget* receiver, QEvent* event) {
    Window* window = Lookup(m_handle);
    if (window == nullptr) {
        // The window is gone and its widget waits for deletion.
        return IsInput(event->type());
    }
    const HWND handle = m_handle;
    switch (event->type()) {
    case QEvent::Paint:
        return TranslatePaint(*this, *window, receiver, *static_cast<QPaintEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return TranslateMouse(*this, receiver, *static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
        return TranslateWheel(*this, receiver, *static_cast<QWheelEvent*>(event));
    case QEvent::Leave:
        if (receiver == InputWidget()) {
            MouseLeft(handle);
        }
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return TranslateKey(*this, receiver, *static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        NativeEvent(receiver, event);
        const bool in = event->type() == QEvent::FocusIn;
        const HWND other = in ? nullptr : HandleOfWidget(QApplication::focusWidget());
        Dispatch(handle, in ? WM_SETFOCUS : WM_KILLFOCUS, reinterpret_cast<WPARAM>(other), 0);
        return true;
    }
    case QEvent::Resize:
    case QEvent::Move:
        if (receiver != Widget()) {
            return false;
        }
        NativeEvent(receiver, event);
        ReportGeometry(*window);
        return true;
    case QEvent::Close:
        event->ignore();
        TranslateClose(handle, receiver);
        return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate: {
        NativeEvent(receiver, event);
        if (receiver == Widget() && receiver->isWindow()) {
            const WORD state = event->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE;
            Dispatch(handle, WM_ACTIVATE, MAKEWPARAM(state, receiver->isMinimized() ? 1 : 0), 0);
        }
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return TranslateDrop(*this, *window, receiver, *static_cast<QDropEvent*>(event));
    default:
        return false;
    }
}

} // namespace uiimpl

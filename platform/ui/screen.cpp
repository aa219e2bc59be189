#include "platform/ui/screen.h"

#include "platform/ui/guithread.h"
#include "platform/ui/windowimpl.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>

using namespace uiimpl;

namespace {

void ToRect(const QRect& from, RECT* to) {
    to->left = from.left();
    to->top = from.top();
    to->right = from.left() + from.width();
    to->bottom = from.top() + from.height();
}

HMONITOR HandleOf(const QScreen* screen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto index = screens.indexOf(const_cast<QScreen*>(screen));
    return index < 0 ? nullptr : reinterpret_cast<HMONITOR>(static_cast<ULONG_PTR>(index + 1));
}

QScreen* ScreenOf(HMONITOR monitor) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto index = reinterpret_cast<ULONG_PTR>(monitor);
    return index >= 1 && index <= static_cast<ULONG_PTR>(screens.size())
               ? screens[static_cast<int>(index - 1)]
               : nullptr;
}

QScreen* Nearest(const QPoint& point) {
    QScreen* best = nullptr;
    long long bestDistance = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const long long dx = point.x() < area.left()
                                 ? area.left() - point.x()
                                 : (point.x() > area.right() ? point.x() - area.right() : 0);
        const long long dy = point.y() < area.top()
                                 ? area.top() - point.y()
                                 : (point.y() > area.bottom() ? point.y() - area.bottom() : 0);
        const long long distance = dx * dx + dy * dy;
        if (bestDistance < 0 || distance < bestDistance) {
            best = screen;
            bestDistance = distance;
        }
    }
    return best;
}

HMONITOR Fallback(const QPoint& point, DWORD flags) {
    if (flags == MONITOR_DEFAULTTOPRIMARY) {
        return HandleOf(QGuiApplication::primaryScreen());
    }
    if (flags == MONITOR_DEFAULTTONEAREST) {
        return HandleOf(Nearest(point));
    }
    return nullptr;
}

} // namespace

int GetSystemMetrics(int index) {
    if (!OnGuiThread() && QCoreApplication::instance() != nullptr) {
        int value = 0;
        RunOnGuiThread([&value, index] { value = GetSystemMetrics(index); }, true);
        return value;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return 0;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect screen = primary != nullptr ? primary->geometry() : QRect();
    const QRect work = primary != nullptr ? primary->availableGeometry() : QRect();
    const QRect virtualScreen = primary != nullptr ? primary->virtualGeometry() : QRect();
    switch (index) {
    case SM_CXSCREEN:
        return screen.width();
    case SM_CYSCREEN:
        return screen.height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CYCAPTION:
        return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXFULLSCREEN:
        return work.width();
    case SM_CYFULLSCREEN:
        return work.height() - 23;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXDRAG:
    case SM_CYDRAG:
        return QGuiApplication::styleHints()->startDragDistance();
    case SM_XVIRTUALSCREEN:
        return virtualScreen.left();
    case SM_YVIRTUALSCREEN:
        return virtualScreen.top();
    case SM_CXVIRTUALSCREEN:
        return virtualScreen.width();
    case SM_CYVIRTUALSCREEN:
        return virtualScreen.height();
    case SM_CMONITORS:
        return static_cast<int>(QGuiApplication::screens().size());
    default:
        return 0;
    }
}

BOOL SystemParametersInfoW(UINT action, UINT parameter, void* value, UINT update) {
    if (!OnGuiThread()) {
        BOOL done = FALSE;
        RunOnGuiThread([&] { done = SystemParametersInfoW(action, parameter, value, update); }, true);
        return done;
    }
    if (action != SPI_GETWORKAREA || value == nullptr) {
        return FALSE;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return FALSE;
    }
    ToRect(primary->availableGeometry(), static_cast<RECT*>(value));
    return TRUE;
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    if (!OnGuiThread()) {
        HMONITOR monitor = nullptr;
        RunOnGuiThread([&monitor, window, flags] { monitor = MonitorFromWindow(window, flags); }, true);
        return monitor;
    }
    const Window* record = Lookup(window);
    if (record == nullptr || !record->widget) {
        return Fallback(QPoint(), flags == MONITOR_DEFAULTTONEAREST ? MONITOR_DEFAULTTOPRIMARY : flags);
    }
    // The monitor that holds most of the window; one it only touches is the nearest.
    const QWidget* widget = record->widget.data();
    const QRect area = widget->isWindow() ? FramedRect(widget)
                                          : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    QScreen* best = nullptr;
    long long bestShare = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->geometry().intersected(area);
        const long long share = shared.isEmpty() ? 0 : static_cast<long long>(shared.width()) * shared.height();
        if (share > bestShare) {
            best = screen;
            bestShare = share;
        }
    }
    if (best != nullptr) {
        return HandleOf(best);
    }
    return Fallback(area.center(), flags);
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    if (!OnGuiThread()) {
        HMONITOR monitor = nullptr;
        RunOnGuiThread([&monitor, point, flags] { monitor = MonitorFromPoint(point, flags); }, true);
        return monitor;
    }
    const QPoint at(point.x, point.y);
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().contains(at)) {
            return HandleOf(screen);
        }
    }
    return Fallback(at, flags);
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
    if (!OnGuiThread()) {
        BOOL done = FALSE;
        RunOnGuiThread([&done, monitor, info] { done = GetMonitorInfoW(monitor, info); }, true);
        return done;
    }
    const QScreen* screen = ScreenOf(monitor);
    if (screen == nullptr || info == nullptr || info->cbSize < sizeof(MONITORINFO)) {
        return FALSE;
    }
    ToRect(screen->geometry(), &info->rcMonitor);
    ToRect(screen->availableGeometry(), &info->rcWork);
    info->dwFlags = screen == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

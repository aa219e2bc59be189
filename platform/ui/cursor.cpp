#include "platform/ui/cursor.h"

#include "platform/ui/cursorimpl.h"
#include "platform/ui/guithread.h"
#include "platform/ui/windowimpl.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>

#include <map>
#include <mutex>

using namespace uiimpl;

namespace {

struct CursorEntry {
    QCursor cursor;
    bool shared = true;
};

struct CursorTable {
    std::mutex mutex;
    std::map<ULONG_PTR, CursorEntry> cursors;
    std::map<ULONG_PTR, HCURSOR> system;    // by IDC_ id
    std::map<ULONG_PTR, HCURSOR> resources; // by resource id
    ULONG_PTR next = 0x10000;
    HCURSOR current = nullptr;
};

CursorTable& Cursors() {
    static CursorTable table;
    return table;
}

HCURSOR AddEntry(CursorTable& table, const QCursor& cursor, bool shared) {
    const ULONG_PTR key = table.next;
    table.next += 4;
    table.cursors[key] = CursorEntry{cursor, shared};
    return reinterpret_cast<HCURSOR>(key);
}

struct SystemCursor {
    ULONG_PTR id;
    Qt::CursorShape shape;
};

constexpr SystemCursor SystemCursors[] = {
    {32512, Qt::ArrowCursor},     {32513, Qt::IBeamCursor},     {32514, Qt::WaitCursor},
    {32515, Qt::CrossCursor},     {32516, Qt::UpArrowCursor},   {32642, Qt::SizeFDiagCursor},
    {32643, Qt::SizeBDiagCursor}, {32644, Qt::SizeHorCursor},   {32645, Qt::SizeVerCursor},
    {32646, Qt::SizeAllCursor},   {32648, Qt::ForbiddenCursor}, {32649, Qt::PointingHandCursor},
    {32650, Qt::BusyCursor},
};

bool SystemShape(ULONG_PTR id, Qt::CursorShape* shape) {
    for (const SystemCursor& cursor : SystemCursors) {
        if (cursor.id == id) {
            *shape = cursor.shape;
            return true;
        }
    }
    return false;
}

QCursor CursorFromImage(const QImage& image) {
    QPoint hotSpot(image.width() / 2, image.height() / 2);
    const QStringList parts = image.text(QStringLiteral("hotspot")).split(QLatin1Char(','));
    if (parts.size() == 2) {
        bool xOk = false;
        bool yOk = false;
        const int x = parts[0].trimmed().toInt(&xOk);
        const int y = parts[1].trimmed().toInt(&yOk);
        if (xOk && yOk) {
            hotSpot = QPoint(x, y);
        }
    }
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

} // namespace

namespace uiimpl {

QCursor CursorOf(HCURSOR cursor) {
    CursorTable& table = Cursors();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.cursors.find(reinterpret_cast<ULONG_PTR>(cursor));
    return found == table.cursors.end() ? QCursor(Qt::BlankCursor) : found->second.cursor;
}

HCURSOR AddCursor(const QImage& image, bool shared) {
    if (image.isNull() || QGuiApplication::instance() == nullptr) {
        return nullptr;
    }
    const QCursor cursor = CursorFromImage(image);
    CursorTable& table = Cursors();
    std::lock_guard<std::mutex> lock(table.mutex);
    return AddEntry(table, cursor, shared);
}

void ApplyCursorTo(QWidget* widget) {
    if (widget != nullptr) {
        widget->setCursor(CursorOf(GetCursor()));
    }
}

} // namespace uiimpl

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (name == nullptr || !IS_INTRESOURCE(name)) {
        return nullptr;
    }
    const auto id = reinterpret_cast<ULONG_PTR>(name);
    CursorTable& table = Cursors();
    if (instance == nullptr) {
        Qt::CursorShape shape;
        if (!SystemShape(id, &shape)) {
            return nullptr;
        }
        std::lock_guard<std::mutex> lock(table.mutex);
        HCURSOR& cursor = table.system[id];
        if (cursor == nullptr) {
            cursor = AddEntry(table, QCursor(shape), true);
        }
        return cursor;
    }
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.resources.find(id);
        if (found != table.resources.end()) {
            return found->second;
        }
    }
    const HCURSOR cursor = AddCursor(QImage(QStringLiteral(":/cursor/%1.png").arg(id)), true);
    if (cursor != nullptr) {
        std::lock_guard<std::mutex> lock(table.mutex);
        table.resources[id] = cursor;
    }
    return cursor;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous;
    {
        CursorTable& table = Cursors();
        std::lock_guard<std::mutex> lock(table.mutex);
        previous = table.current;
        table.current = cursor;
    }
    NoteCursorSet();
    const HWND target = CaptureWindow() != nullptr ? CaptureWindow() : MouseWindow();
    if (const Window* window = Lookup(target); window != nullptr && window->host != nullptr) {
        ApplyCursorTo(window->host->InputWidget());
    }
    return previous;
}

HCURSOR GetCursor() {
    CursorTable& table = Cursors();
    std::lock_guard<std::mutex> lock(table.mutex);
    return table.current;
}

BOOL DestroyCursor(HCURSOR cursor) {
    CursorTable& table = Cursors();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.cursors.find(reinterpret_cast<ULONG_PTR>(cursor));
    if (found == table.cursors.end()) {
        return FALSE;
    }
    if (!found->second.shared) {
        if (table.current == cursor) {
            table.current = nullptr;
        }
        table.cursors.erase(found);
    }
    return TRUE;
}

namespace {

bool Offscreen() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

} // namespace

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) {
        return FALSE;
    }
    if (!OnGuiThread()) {
        BOOL done = FALSE;
        RunOnGuiThread([&done, point] { done = GetCursorPos(point); }, true);
        return done;
    }
    const QPoint position = Offscreen() ? LastCursorPosition() : QCursor::pos();
    point->x = position.x();
    point->y = position.y();
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    if (!OnGuiThread()) {
        BOOL done = FALSE;
        RunOnGuiThread([&done, x, y] { done = SetCursorPos(x, y); }, true);
        return done;
    }
    NoteCursorPosition(QPoint(x, y));
    if (!Offscreen()) {
        QCursor::setPos(x, y);
    }
    return TRUE;
}

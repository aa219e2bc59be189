#include "uitest.h"

#include "platform/ui/cursor.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/qtaccess.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform reports what it cannot do (raising windows, grabbing the mouse) on every
// call; that is noise here.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (standardHandler != nullptr) {
        standardHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

class QtApplicationEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        static int argumentCount = 1;
        static char programName[] = "platform_ui_tests";
        static char* arguments[] = {programName, nullptr};
        standardHandler = qInstallMessageHandler(QuietHandler);
        m_application = std::make_unique<QApplication>(argumentCount, arguments);
    }
    void TearDown() override { m_application.reset(); }

  private:
    std::unique_ptr<QApplication> m_application;
};

testing::Environment* const qtEnvironment = testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

LPCWSTR Register(LPCWSTR name, UINT style) {
    WNDCLASSW windowClass;
    if (!GetClassInfoW(nullptr, name, &windowClass)) {
        windowClass.style = style;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    return name;
}

} // namespace

LPCWSTR TestClassName() {
    return Register(L"TrevoTestWindow", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

LPCWSTR PlainClassName() {
    return Register(L"TrevoTestPlainWindow", 0);
}

BOOL TestWindow::CreateTop(const RECT& rect, DWORD style, CWnd* owner, LPCWSTR className) {
    return CreateEx(0, className != nullptr ? className : TestClassName(), L"test", style, rect.left,
                    rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    owner != nullptr ? owner->m_hWnd : nullptr, nullptr);
}

BOOL TestWindow::CreateChild(CWnd* parent, const RECT& rect, UINT id, DWORD style, DWORD exStyle,
                             LPCWSTR className) {
    return CreateEx(exStyle, className != nullptr ? className : TestClassName(), L"", WS_CHILD | style, rect,
                    parent, id);
}

std::vector<LoggedMessage> TestWindow::Only(std::initializer_list<UINT> messages) const {
    std::vector<LoggedMessage> found;
    for (const LoggedMessage& logged : log) {
        for (UINT wanted : messages) {
            if (logged.message == wanted) {
                found.push_back(logged);
            }
        }
    }
    return found;
}

std::vector<UINT> TestWindow::Sequence(std::initializer_list<UINT> messages) const {
    std::vector<UINT> sequence;
    for (const LoggedMessage& logged : Only(messages)) {
        sequence.push_back(logged.message);
    }
    return sequence;
}

LRESULT TestWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    log.push_back(LoggedMessage{message, wParam, lParam});
    LRESULT result = 0;
    if (handler && handler(message, wParam, lParam, result)) {
        return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL TestWindow::PreTranslateMessage(MSG* message) {
    return preTranslate ? preTranslate(message) : CWnd::PreTranslateMessage(message);
}

void TestWindow::PostNcDestroy() {
    if (onPostNcDestroy) {
        onPostNcDestroy();
    }
}

void Pump(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (clock.elapsed() < milliseconds);
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void DropPaths(HWND window, const std::vector<std::wstring>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::wstring& path : paths) {
        urls.push_back(QUrl::fromLocalFile(QString::fromStdWString(path)));
    }
    data.setUrls(urls);
    QWidget* widget = InputWidgetFromHandle(window);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &dropped);
}

void SendMouse(HWND window, QEvent::Type type, Qt::MouseButton button, const QPoint& client,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, quint64 timestamp) {
    QWidget* widget = WidgetFromHandle(window);
    QWidget* input = InputWidgetFromHandle(window);
    ASSERT_NE(input, nullptr);
    const QPoint local = input->mapFrom(widget, client);
    QMouseEvent event(type, QPointF(local), QPointF(input->mapToGlobal(local)), button, buttons, modifiers);
    event.setTimestamp(timestamp);
    QCoreApplication::sendEvent(input, &event);
}

void Click(HWND window, const QPoint& client, quint64 timestamp) {
    SendMouse(window, QEvent::MouseButtonPress, Qt::LeftButton, client, Qt::LeftButton, Qt::NoModifier,
              timestamp);
    SendMouse(window, QEvent::MouseButtonRelease, Qt::LeftButton, client, Qt::NoButton, Qt::NoModifier,
              timestamp);
}

void SendKey(HWND window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QWidget* widget = WidgetFromHandle(window);
    ASSERT_NE(widget, nullptr);
    QKeyEvent event(type, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &event);
}

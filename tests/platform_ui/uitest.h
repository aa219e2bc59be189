#pragma once
// What the window-layer tests share: the application object (made once, before the first test),
// a window that records its messages, and Qt input events aimed at a window.

#include "platform/ui/window.h"
#include "platform/ui/wnd.h"

#include <QEvent>
#include <QPoint>
#include <QString>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

struct LoggedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Logs every message; a handler may take a message and answer it.
class TestWindow : public CWnd {
  public:
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    // A window of the test class (CS_DBLCLKS, arrow cursor, white background).
    BOOL CreateTop(const RECT& rect, DWORD style = WS_POPUP | WS_VISIBLE, CWnd* owner = nullptr,
                   LPCWSTR className = nullptr);
    BOOL CreateChild(CWnd* parent, const RECT& rect, UINT id, DWORD style = WS_VISIBLE, DWORD exStyle = 0,
                     LPCWSTR className = nullptr);

    // The logged messages among those named, in order.
    std::vector<LoggedMessage> Only(std::initializer_list<UINT> messages) const;
    std::vector<UINT> Sequence(std::initializer_list<UINT> messages) const;

    std::vector<LoggedMessage> log;
    Handler handler;
    std::function<BOOL(MSG*)> preTranslate;
    std::function<void()> onPostNcDestroy;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* message) override;
    void PostNcDestroy() override;
};

LPCWSTR TestClassName();
// The same without CS_DBLCLKS.
LPCWSTR PlainClassName();

// Lets Qt's event loop run for the time given (at least once).
void Pump(int milliseconds = 0);
// Runs the event loop until the condition holds; false on time-out.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 3000);

// Drops the paths on the window as the desktop would (enter, then drop).
void DropPaths(HWND window, const std::vector<std::wstring>& paths);

// Mouse and key events as Qt delivers them to the window's widget. Points are client coordinates.
void SendMouse(HWND window, QEvent::Type type, Qt::MouseButton button, const QPoint& client,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               quint64 timestamp = 0);
void Click(HWND window, const QPoint& client, quint64 timestamp = 0);
void SendKey(HWND window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString());

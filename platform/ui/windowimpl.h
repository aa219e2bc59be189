#pragma once
// Inside the window layer: the window records behind the handles, the class table, the dispatch
// stack and the interface every Qt widget that is a window implements. Only platform/ui includes
// this header.

#include "platform/ui/gdidefs.h"

#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CWnd;
class QEvent;
class QPainter;

namespace uiimpl {

enum class ClassKind { Plain, Static, Dialog, ToolTip, ListView, Header, ComboBox, ComboList, Edit, Button };

struct WindowClass {
    std::wstring name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    HINSTANCE instance = nullptr;
    ClassKind kind = ClassKind::Plain;
};

// Registered classes live for the whole run; class names ignore case.
const WindowClass* FindClass(const std::wstring& name);
const WindowClass* AddClass(const WindowClass& windowClass);

class WindowHost;

// The painting of a native control in progress: Qt asked its widget to paint, and the window's
// procedure may open a paint DC on that widget or hand the event back to Qt.
struct NativePaint {
    QWidget* receiver = nullptr;
    QPoint offset;  // of the receiver in client coordinates
    QRegion region; // client coordinates
    std::unique_ptr<QPainter> painter;
    bool validated = false;
};

struct Window {
    HWND handle = nullptr;
    CWnd* object = nullptr;            // the object the window's messages go to
    std::unique_ptr<CWnd> layerObject; // for windows the layer makes for itself (a list's header)
    const WindowClass* windowClass = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT_PTR id = 0;
    LONG_PTR userData = 0;
    HWND parent = nullptr; // WS_CHILD windows
    HWND owner = nullptr;  // pop-up windows
    std::wstring text;
    HFONT font = nullptr;
    HMENU menu = nullptr;  // a top-level window's menu, destroyed with it
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;
    SIZE dialogBaseUnits; // a dialog made from a template: its font's base units
    QPointer<QWidget> widget;
    WindowHost* host = nullptr;
    bool destroying = false;

    // Painting
    QRegion invalid; // client coordinates
    bool eraseNeeded = false;
    QImage surface; // plain windows keep their picture here
    QImage overlay; // drawing on a native control outside its painting
    QRegion overlayArea;
    NativePaint* nativePaint = nullptr;
    // The OpenGL drawing of a window that shows video (glvideowidget.h).
    QPointer<QWidget> video;
    bool inSurfacePaint = false;
    QRegion paintedDuringPaint;

    // What was last reported with WM_SIZE and WM_MOVE.
    QSize reportedSize{-1, -1};
    QPoint reportedPos{-100000, -100000};

    // Timers by their id on this window, and the queue's timer behind each.
    std::map<UINT_PTR, int> timers;

    // TrackMouseEvent
    DWORD trackFlags = 0;
    DWORD hoverTime = 0;
    QPoint hoverAnchor; // screen
    int hoverTimer = 0;
    bool mouseInside = false;
};

// The registry of live windows. Lookups happen on the GUI thread; IsLive is safe anywhere.
Window* Lookup(HWND handle);
bool IsLive(HWND handle);
Window& Register(std::unique_ptr<Window> window);
// Takes the window out of the registry. Its record stays valid until the GUI thread gets back to
// its event loop, so callers deeper on the stack never hold a dangling record.
void Retire(Window& window);
std::vector<HWND> LiveWindows();
std::vector<HWND> ChildrenOf(HWND parent);
std::vector<HWND> OwnedBy(HWND owner);
HWND HandleOfWidget(const QWidget* widget);
HWND TopLevelOf(HWND handle);
QWidget* ParentWidgetFor(HWND parent);

// The original Qt event behind a message, while that message is being dispatched.
struct QtEvent {
    QWidget* receiver = nullptr;
    QEvent* event = nullptr;
    bool done = false;
};

struct DispatchFrame {
    HWND handle = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    QtEvent* native = nullptr;
};

// Synchronous delivery to the window's object on the GUI thread; 0 for a dead handle.
LRESULT Dispatch(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, QtEvent* native = nullptr);
const DispatchFrame* InnermostFrame(HWND handle);
// Runs Qt's own handling of the event behind the message being dispatched, once, when the message
// matches; false when there is none.
bool RunNative(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// Implemented by every widget that is a window.
class WindowHost {
  public:
    explicit WindowHost(HWND handle) : m_handle(handle) {}
    virtual ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    HWND Handle() const { return m_handle; }
    virtual QWidget* Widget() = 0;
    // Where the widget's mouse and paint events arrive (a scroll area's viewport), and its place in
    // client coordinates.
    virtual QWidget* InputWidget() { return Widget(); }
    QPoint InputOffset();
    virtual bool PaintsSurface() const { return false; }
    // Windows that may leave parts of their picture out (statics) keep it with transparency.
    virtual bool TransparentSurface() const { return false; }
    // Qt's own handling of an event of the widget or of its input widget.
    virtual bool NativeEvent(QWidget* receiver, QEvent* event) = 0;
    // The class's window procedure: the control's own messages, then what every window shares.
    virtual LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    // Scroll state of scrolling controls.
    virtual bool GetScrollInfo(int bar, SCROLLINFO& info);
    // The geometry a control takes when asked for a rectangle (a combo box keeps the height of its
    // box and makes the rest its list's).
    virtual QRect FitGeometry(const QRect& requested) { return requested; }
    // Flat scroll bars of scrolling controls: ESB_DISABLE_BOTH takes the control's own bar away.
    virtual bool EnableScrollBar(int bar, UINT arrows);
    // The list's own painting into a device context (WM_PAINT with a DC).
    virtual bool PaintInto(HDC dc);

    // The widget calls this from its event handlers; true when the event was taken.
    bool HandleEvent(QWidget* receiver, QEvent* event);

    // What the common controls built on Qt's widgets share: the first paint of a paint message
    // runs Qt's own painting, the background is never erased, the cursor is Qt's, and anything
    // else goes to Qt's handling of the event or else to the generic procedure.
    LRESULT NativeControlProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

    // Detached hosts belong to destroyed windows and ignore everything.
    void Detach() { m_handle = nullptr; }

  protected:
    // Called just before Qt's own painting of the control.
    virtual void BeforeNativePaint() {}

  private:
    HWND m_handle;
};

// What DefWindowProc does for every window.
LRESULT GenericWindowProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// Creation and destruction behind CWnd::CreateEx and DestroyWindow.
HWND CreateWindowRecord(CWnd* object, const CREATESTRUCTW& create, const WindowClass& windowClass);
// A window the layer makes as part of a control (a list's header, a combo box's list), with an
// object of the layer's own that receives its messages until the program subclasses it. The
// caller makes the widget and sets it and its host on the record.
Window& RegisterPartWindow(const wchar_t* className, HWND parent, HWND owner, DWORD style, UINT_PTR id,
                           std::unique_ptr<CWnd> object);
BOOL DestroyWindowTree(HWND handle);

// What the desktop's frame adds to a shown top-level window; nothing for a frameless one (whatever
// the desktop still reports for it until it has caught up).
QSize FrameSize(const QWidget* widget);
// A top-level window's rectangle with its frame, on the screen.
QRect FramedRect(const QWidget* widget);

// Qt's window flags for a window's styles: top-level windows without a caption are frameless.
Qt::WindowFlags WindowFlagsFor(const Window& window);
// The frame follows the window's styles (SWP_FRAMECHANGED); the window rectangle stays.
void ApplyFrame(Window& window);

// The tracking size a top-level window's procedure gives through WM_GETMINMAXINFO; the layer's own
// defaults limit nothing. Asking also sets the widget's own limits, which sizing by the desktop
// keeps to.
struct TrackingSize {
    QSize minimum{0, 0};
    QSize maximum{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    QSize Clamp(const QSize& size) const { return size.expandedTo(minimum).boundedTo(maximum); }
};
TrackingSize AskTrackingSize(HWND handle);

// Keeps WM_SIZE and WM_MOVE in step with the widget's geometry.
void ReportGeometry(Window& window);
// Marks a part of the client area as needing WM_PAINT.
void InvalidateRegion(Window& window, const QRegion& region, bool erase);
// The picture of a plain window follows its client size.
void FitSurface(Window& window);

// Mouse tracking and capture.
void MouseMovedInto(HWND handle, const QPoint& client, const QPoint& screen);
void MouseLeft(HWND handle);
void HoverTimerFired(HWND handle);
HWND CaptureWindow();
void SetCaptureWindow(HWND handle);
// The window the mouse was last seen over.
HWND MouseWindow();
void NoteCursorPosition(const QPoint& screen);
QPoint LastCursorPosition();
// SetCursor while a mouse message is being handled is applied after Qt's own handling of it.
void BeginInputCursor();
void EndInputCursor(QWidget* widget);
void NoteCursorSet();

// Windows of another instance of the program, found by FindWindowW (singleinstance.h): the calls
// made on them travel to that instance.
bool IsRemoteWindow(HWND handle);
BOOL RemoteShowWindow(HWND handle, int command);
BOOL RemoteSetForegroundWindow(HWND handle);

// The program's icons behind their handles; a null icon for an unknown handle.
QIcon IconOf(HICON icon);

// The drop handle that WM_DROPFILES carries; DragFinish frees it.
HDROP CreateDropHandle(const std::vector<std::wstring>& paths, POINT point);

// Pre-translation of a queued message: the application first, else the window walk.
bool PreTranslate(MSG& message);

// The application object's event loop has ended: calls handed to the GUI thread are refused
// (guithread.h) until the object is gone.
void EndHandOver();
void ResumeHandOver();

// Starts the layer on the GUI thread: the message queue and the window system of the base layer.
void EnsureStarted();
bool OnGuiThread();

} // namespace uiimpl

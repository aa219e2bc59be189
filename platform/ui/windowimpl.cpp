#include "platform/ui/windowimpl.h"

#include "platform/base/trace.h"
#include "platform/base/windowsystem.h"
#include "platform/ui/buttonwidget.h"
#include "platform/ui/comboboxwidget.h"
#include "platform/ui/cursor.h"
#include "platform/ui/cursorimpl.h"
#include "platform/ui/dc.h"
#include "platform/ui/editwidget.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/listviewwidget.h"
#include "platform/ui/menu.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/messagequeue.h"
#include "platform/ui/plainwindow.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "platform/ui/wnd.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <cwctype>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace uiimpl {

// Grants the layer the calls into CWnd that the class library keeps to itself.
struct WindowAccess {
    static LRESULT WindowProc(CWnd& object, UINT message, WPARAM wParam, LPARAM lParam) {
        return object.WindowProc(message, wParam, lParam);
    }
    static void PreSubclassWindow(CWnd& object) { object.PreSubclassWindow(); }
    static void PostNcDestroy(CWnd& object) { object.PostNcDestroy(); }
};

namespace {

std::wstring Folded(const std::wstring& name) {
    std::wstring folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](wchar_t ch) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch))); });
    return folded;
}

struct ClassTable {
    std::mutex mutex;
    std::deque<WindowClass> classes;
    std::map<std::wstring, const WindowClass*> byName;

    ClassTable() {
        const auto builtIn = [this](const wchar_t* name, UINT style, HBRUSH background, ClassKind kind) {
            WindowClass windowClass;
            windowClass.name = name;
            windowClass.style = style;
            windowClass.background = background;
            windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.kind = kind;
            classes.push_back(windowClass);
            byName[Folded(name)] = &classes.back();
        };
        const auto systemBrush = [](int index) {
            return reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(index + 1));
        };
        // Statics paint their own background, in the colour their parent gives (WM_CTLCOLORSTATIC).
        builtIn(L"Static", CS_DBLCLKS, nullptr, ClassKind::Static);
        builtIn(L"#32770", CS_DBLCLKS, systemBrush(COLOR_3DFACE), ClassKind::Dialog);
        builtIn(L"tooltips_class32", CS_DBLCLKS, nullptr, ClassKind::ToolTip);
        builtIn(L"SysListView32", CS_DBLCLKS, nullptr, ClassKind::ListView);
        builtIn(L"SysHeader32", CS_DBLCLKS, nullptr, ClassKind::Header);
        builtIn(L"ComboBox", CS_DBLCLKS, nullptr, ClassKind::ComboBox);
        builtIn(L"ComboLBox", CS_DBLCLKS, nullptr, ClassKind::ComboList);
        builtIn(L"Edit", CS_DBLCLKS, nullptr, ClassKind::Edit);
        builtIn(L"Button", CS_DBLCLKS, nullptr, ClassKind::Button);
    }
};

ClassTable& Classes() {
    static ClassTable table;
    return table;
}

// Handles start far above the reserved values (HWND_TOPMOST and friends) and are never reused.
struct Registry {
    std::mutex mutex;
    std::unordered_map<ULONG_PTR, std::unique_ptr<Window>> windows;
    ULONG_PTR nextHandle = 0x10000;
    std::vector<std::unique_ptr<Window>> retired;
};

Registry& Windows() {
    static Registry registry;
    return registry;
}

ULONG_PTR Key(HWND handle) {
    return reinterpret_cast<ULONG_PTR>(handle);
}

std::vector<DispatchFrame>& Frames() {
    static std::vector<DispatchFrame> frames;
    return frames;
}

// Retired records are freed only when no message is being dispatched: a handler deeper on the
// stack may still hold one, even across a nested message loop.
void CollectRetired() {
    if (!Frames().empty()) {
        return;
    }
    std::vector<std::unique_ptr<Window>> done;
    Registry& registry = Windows();
    std::lock_guard<std::mutex> lock(registry.mutex);
    done.swap(registry.retired);
}

HWND captureWindow = nullptr;
HWND mouseWindow = nullptr;
QPoint lastCursor;
bool lastCursorKnown = false;
bool inputCursorActive = false;
bool inputCursorSet = false;

class UiWindowSystem : public IWindowSystem {
  public:
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        return SendMessageW(window, message, wParam, lParam);
    }
    bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        return PostMessageW(window, message, wParam, lParam) != FALSE;
    }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                       UINT type) override {
        return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    }
};

QWidget* CreateWidgetFor(Window& window, QWidget* parent, Qt::WindowFlags flags) {
    switch (window.windowClass->kind) {
    case ClassKind::ListView:
        return CreateListViewWidget(window, parent, flags);
    case ClassKind::ComboBox:
        return CreateComboBoxWidget(window, parent, flags);
    case ClassKind::Edit:
        return CreateEditWidget(window, parent, flags);
    case ClassKind::Button:
        return CreateButtonWidget(window, parent, flags);
    case ClassKind::Header:
    case ClassKind::ComboList:
        // Made only by their list or combo box, together with it.
        return nullptr;
    default:
        return CreatePlainWidget(window, parent, flags);
    }
}

} // namespace

Qt::WindowFlags WindowFlagsFor(const Window& window) {
    if ((window.style & WS_CHILD) != 0) {
        return Qt::Widget;
    }
    Qt::WindowFlags flags;
    if (window.windowClass->kind == ClassKind::ToolTip) {
        flags = Qt::ToolTip;
    } else if (window.windowClass->kind == ClassKind::Dialog) {
        flags = Qt::Dialog;
    } else if ((window.style & WS_POPUP) != 0 &&
               (window.owner != nullptr || (window.exStyle & WS_EX_TOOLWINDOW))) {
        flags = Qt::Tool;
    } else {
        flags = Qt::Window;
    }
    if ((window.style & WS_CAPTION) != WS_CAPTION) {
        flags |= Qt::FramelessWindowHint;
    } else if (flags != Qt::ToolTip) {
        // The caption's buttons are the styles'.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if ((window.style & WS_SYSMENU) != 0) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        }
        if ((window.style & (WS_SYSMENU | WS_MINIMIZEBOX)) == (WS_SYSMENU | WS_MINIMIZEBOX)) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if ((window.style & (WS_SYSMENU | WS_MAXIMIZEBOX)) == (WS_SYSMENU | WS_MAXIMIZEBOX)) {
            flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    if ((window.exStyle & WS_EX_TOPMOST) != 0) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    if ((window.exStyle & WS_EX_NOACTIVATE) != 0) {
        flags |= Qt::WindowDoesNotAcceptFocus;
    }
    return flags;
}

QSize FrameSize(const QWidget* widget) {
    if (!widget->isVisible() || (widget->windowFlags() & Qt::FramelessWindowHint)) {
        return QSize(0, 0);
    }
    return widget->frameGeometry().size() - widget->size();
}

QRect FramedRect(const QWidget* widget) {
    return (widget->windowFlags() & Qt::FramelessWindowHint) ? widget->geometry() : widget->frameGeometry();
}

void ApplyFrame(Window& window) {
    QWidget* widget = window.widget.data();
    if (widget == nullptr || !widget->isWindow()) {
        return;
    }
    const Qt::WindowFlags flags = WindowFlagsFor(window);
    if (widget->windowFlags() == flags) {
        return;
    }
    const bool visible = widget->isVisible();
    const QRect rectangle = visible ? FramedRect(widget) : widget->geometry();
    // Qt hides a window whose flags change; it comes back where it was, frame and all.
    widget->setWindowFlags(flags);
    widget->setGeometry(rectangle);
    if (visible) {
        widget->show();
    }
}

TrackingSize AskTrackingSize(HWND handle) {
    MINMAXINFO info;
    info.ptMinTrackSize = POINT{0, 0};
    info.ptMaxTrackSize = POINT{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    RECT work;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        info.ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
        info.ptMaxPosition = POINT{work.left, work.top};
    }
    Dispatch(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    TrackingSize limits;
    limits.minimum = QSize(std::max<LONG>(0, info.ptMinTrackSize.x), std::max<LONG>(0, info.ptMinTrackSize.y));
    limits.maximum = QSize(std::clamp<LONG>(info.ptMaxTrackSize.x, 0, QWIDGETSIZE_MAX),
                           std::clamp<LONG>(info.ptMaxTrackSize.y, 0, QWIDGETSIZE_MAX))
                         .expandedTo(limits.minimum);
    Window* window = Lookup(handle);
    QWidget* widget = window != nullptr ? window->widget.data() : nullptr;
    if (widget != nullptr && widget->isWindow()) {
        const QSize frame = FrameSize(widget);
        widget->setMinimumSize((limits.minimum - frame).expandedTo(QSize(0, 0)));
        widget->setMaximumSize((limits.maximum - frame).boundedTo(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)));
    }
    return limits;
}

const WindowClass* FindClass(const std::wstring& name) {
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.byName.find(Folded(name));
    return found == table.byName.end() ? nullptr : found->second;
}

const WindowClass* AddClass(const WindowClass& windowClass) {
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> lock(table.mutex);
    const std::wstring key = Folded(windowClass.name);
    if (key.empty() || table.byName.count(key) != 0) {
        return nullptr;
    }
    table.classes.push_back(windowClass);
    table.byName[key] = &table.classes.back();
    return &table.classes.back();
}

Window* Lookup(HWND handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    Registry& registry = Windows();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const auto found = registry.windows.find(Key(handle));
    return found == registry.windows.end() ? nullptr : found->second.get();
}

bool IsLive(HWND handle) {
    return Lookup(handle) != nullptr;
}

Window& Register(std::unique_ptr<Window> window) {
    Registry& registry = Windows();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const ULONG_PTR key = registry.nextHandle;
    registry.nextHandle += 4;
    window->handle = reinterpret_cast<HWND>(key);
    Window& registered = *window;
    registry.windows.emplace(key, std::move(window));
    return registered;
}

void Retire(Window& window) {
    Registry& registry = Windows();
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(registry.mutex);
        const auto found = registry.windows.find(Key(window.handle));
        if (found == registry.windows.end()) {
            return;
        }
        first = registry.retired.empty();
        registry.retired.push_back(std::move(found->second));
        registry.windows.erase(found);
    }
    if (first) {
        if (MessageQueue* queue = MessageQueue::Instance()) {
            queue->RunLater(CollectRetired);
        }
    }
}

std::vector<HWND> LiveWindows() {
    Registry& registry = Windows();
    std::lock_guard<std::mutex> lock(registry.mutex);
    std::vector<HWND> handles;
    handles.reserve(registry.windows.size());
    for (const auto& entry : registry.windows) {
        handles.push_back(entry.second->handle);
    }
    std::sort(handles.begin(), handles.end());
    return handles;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    const Window* window = Lookup(parent);
    if (window == nullptr || !window->widget) {
        return children;
    }
    // In z-order from the bottom, as Qt stacks its children.
    for (QObject* object : window->widget->children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr || widget->isWindow()) {
            continue;
        }
        const HWND child = HandleOfWidget(widget);
        const Window* record = Lookup(child);
        if (record != nullptr && record->parent == parent && record->widget == widget) {
            children.push_back(child);
        }
    }
    return children;
}

std::vector<HWND> OwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (HWND handle : LiveWindows()) {
        const Window* window = Lookup(handle);
        if (window != nullptr && window->owner == owner && (window->style & WS_CHILD) == 0) {
            owned.push_back(handle);
        }
    }
    return owned;
}

HWND HandleOfWidget(const QWidget* widget) {
    for (const QWidget* current = widget; current != nullptr; current = current->parentWidget()) {
        if (const auto* host = dynamic_cast<const WindowHost*>(current)) {
            return host->Handle();
        }
    }
    return nullptr;
}

HWND TopLevelOf(HWND handle) {
    HWND current = handle;
    for (const Window* window = Lookup(current); window != nullptr && (window->style & WS_CHILD) != 0;
         window = Lookup(current)) {
        if (window->parent == nullptr) {
            break;
        }
        current = window->parent;
    }
    return IsLive(current) ? current : nullptr;
}

QWidget* ParentWidgetFor(HWND parent) {
    const Window* window = Lookup(parent);
    return window == nullptr ? nullptr : window->widget.data();
}

LRESULT Dispatch(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, QtEvent* native) {
    Window* window = Lookup(handle);
    if (window == nullptr) {
        return 0;
    }
    std::vector<DispatchFrame>& frames = Frames();
    frames.push_back(DispatchFrame{handle, message, wParam, lParam, native});
    struct Pop {
        ~Pop() {
            Frames().pop_back();
            CollectRetired();
        }
    } pop;
    if (window->object != nullptr) {
        return WindowAccess::WindowProc(*window->object, message, wParam, lParam);
    }
    // A window without an object (unsubclassed) keeps its class's behaviour.
    return window->host != nullptr ? window->host->ClassProc(*window, message, wParam, lParam) : 0;
}

const DispatchFrame* InnermostFrame(HWND handle) {
    const std::vector<DispatchFrame>& frames = Frames();
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        if (frame->handle == handle) {
            return &*frame;
        }
    }
    return nullptr;
}

bool RunNative(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    const DispatchFrame* frame = InnermostFrame(window.handle);
    if (frame == nullptr || frame->native == nullptr || frame->native->done || frame->message != message ||
        frame->wParam != wParam || frame->lParam != lParam || window.host == nullptr) {
        return false;
    }
    QtEvent& native = *frame->native;
    native.done = true;
    window.host->NativeEvent(native.receiver, native.event);
    return true;
}

WindowHost::~WindowHost() {
    // The widget went away under a live window (its Qt parent took it along): the window ends
    // quietly, as no message can reach a half-destroyed widget.
    if (Window* window = Lookup(m_handle)) {
        window->host = nullptr;
        window->widget = nullptr;
        if (window->object != nullptr && window->object->m_hWnd == m_handle) {
            window->object->m_hWnd = nullptr;
        }
        Retire(*window);
    }
}

QPoint WindowHost::InputOffset() {
    QWidget* input = InputWidget();
    QWidget* widget = Widget();
    if (input == nullptr || widget == nullptr || input == widget) {
        return QPoint();
    }
    return input->mapTo(widget, QPoint(0, 0));
}

LRESULT WindowHost::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GenericWindowProc(window, message, wParam, lParam);
}

LRESULT WindowHost::NativeControlProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (wParam == 0 && window.nativePaint != nullptr && !window.nativePaint->validated) {
            window.nativePaint->validated = true;
            BeforeNativePaint();
            RunNative(window, message, wParam, lParam);
            return 0;
        }
        return GenericWindowProc(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        return FALSE;
    default:
        if (RunNative(window, message, wParam, lParam)) {
            return 0;
        }
        return GenericWindowProc(window, message, wParam, lParam);
    }
}

bool WindowHost::GetScrollInfo(int, SCROLLINFO&) {
    return false;
}

bool WindowHost::EnableScrollBar(int, UINT) {
    return false;
}

bool WindowHost::PaintInto(HDC) {
    return false;
}

LRESULT GenericWindowProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND handle = window.handle;
    switch (message) {
    case WM_PAINT:
        if (wParam == 0) {
            PAINTSTRUCT paint;
            BeginPaint(handle, &paint);
            EndPaint(handle, &paint);
        }
        return 0;
    case WM_ERASEBKGND: {
        if (window.windowClass->background == nullptr) {
            return 0;
        }
        RECT client;
        GetClientRect(handle, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, window.windowClass->background);
        return 1;
    }
    case WM_SETTEXT: {
        window.text = lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        if (window.widget && window.widget->isWindow()) {
            window.widget->setWindowTitle(QString::fromStdWString(window.text));
        }
        return TRUE;
    }
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        const size_t count = std::min<size_t>(window.text.size(), wParam - 1);
        std::copy_n(window.text.c_str(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window.text.size());
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_SETCURSOR: {
        // The parent has the first say; then the class cursor over the client area.
        if ((window.style & WS_CHILD) != 0 && window.parent != nullptr &&
            SendMessageW(window.parent, WM_SETCURSOR, wParam, lParam) != 0) {
            return TRUE;
        }
        // The class cursor answers the window's own question, never a child's passed up to it.
        if (LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle &&
            window.windowClass->cursor != nullptr) {
            SetCursor(window.windowClass->cursor);
            return TRUE;
        }
        return FALSE;
    }
    case WM_MOUSEWHEEL:
        if ((window.style & WS_CHILD) != 0 && window.parent != nullptr) {
            return SendMessageW(window.parent, WM_MOUSEWHEEL, wParam, lParam);
        }
        return 0;
    case WM_CANCELMODE:
        if (CaptureWindow() == handle) {
            ReleaseCapture();
        }
        return 0;
    case WM_SETFONT:
        window.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<DWORD_PTR>(lParam)) != 0) {
            InvalidateRect(handle, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(window.font);
    case WM_SETREDRAW:
        if (window.widget) {
            window.widget->setUpdatesEnabled(wParam != 0);
        }
        return 0;
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_3DFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
    }
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? window.bigIcon : window.smallIcon;
        const HICON previous = std::exchange(slot, reinterpret_cast<HICON>(lParam));
        if (window.widget && window.widget->isWindow()) {
            window.widget->setWindowIcon(IconOf(window.bigIcon != nullptr ? window.bigIcon : window.smallIcon));
        }
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? window.bigIcon : window.smallIcon);
    default:
        return 0;
    }
}

namespace {

// CW_USEDEFAULT: a child is placed at 0 with no size; a top-level window the system places itself,
// at the corner of the primary screen's work area, three quarters of its size.
QRect RequestedGeometry(const CREATESTRUCTW& create, bool topLevel) {
    int x = create.x;
    int y = create.y;
    int width = create.cx;
    int height = create.cy;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = topLevel && screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 0, 0);
    if (x == CW_USEDEFAULT) {
        x = area.left();
        y = area.top();
    }
    if (width == CW_USEDEFAULT) {
        width = area.width() * 3 / 4;
        height = area.height() * 3 / 4;
    }
    return QRect(x, y, std::max(0, width), std::max(0, height));
}

} // namespace

HWND CreateWindowRecord(CWnd* object, const CREATESTRUCTW& create, const WindowClass& windowClass) {
    EnsureStarted();
    if (!OnGuiThread()) {
        TraceLine(L"windows are made on the GUI thread only");
        return nullptr;
    }
    auto record = std::make_unique<Window>();
    record->object = object;
    record->windowClass = &windowClass;
    record->style = static_cast<DWORD>(create.style);
    // An overlapped window always starts with a caption; taking it away later makes it frameless.
    if ((record->style & (WS_CHILD | WS_POPUP)) == 0) {
        record->style |= WS_CAPTION | WS_CLIPSIBLINGS;
    }
    record->exStyle = create.dwExStyle;
    record->text = create.lpszName != nullptr ? create.lpszName : L"";
    if ((record->style & WS_CHILD) != 0) {
        if (!IsLive(create.hwndParent)) {
            TraceLine(L"a child window needs a live parent");
            return nullptr;
        }
        record->parent = create.hwndParent;
        record->id = reinterpret_cast<UINT_PTR>(create.hMenu);
    } else if (create.hwndParent != nullptr) {
        record->owner = TopLevelOf(create.hwndParent);
    }
    Window& window = Register(std::move(record));
    const HWND handle = window.handle;
    object->m_hWnd = handle;

    QWidget* parentWidget = nullptr;
    if (window.parent != nullptr) {
        parentWidget = ParentWidgetFor(window.parent);
    } else if (window.owner != nullptr) {
        parentWidget = ParentWidgetFor(window.owner);
    }
    QWidget* widget = CreateWidgetFor(window, parentWidget, WindowFlagsFor(window));
    if (widget == nullptr) {
        object->m_hWnd = nullptr;
        Retire(window);
        return nullptr;
    }
    window.widget = widget;
    window.host = dynamic_cast<WindowHost*>(widget);
    const QRect requested = RequestedGeometry(create, widget->isWindow());
    widget->setGeometry(window.host != nullptr ? window.host->FitGeometry(requested) : requested);
    if (widget->isWindow()) {
        widget->setWindowTitle(QString::fromStdWString(window.text));
    }
    widget->setAcceptDrops((window.exStyle & WS_EX_ACCEPTFILES) != 0);
    if ((window.style & WS_DISABLED) != 0) {
        widget->setEnabled(false);
    }
    if ((window.exStyle & WS_EX_NOACTIVATE) != 0) {
        widget->setAttribute(Qt::WA_ShowWithoutActivating);
    }

    WindowAccess::PreSubclassWindow(*object);
    CREATESTRUCTW passed = create;
    passed.x = requested.x();
    passed.y = requested.y();
    passed.cx = requested.width();
    passed.cy = requested.height();
    if (Dispatch(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&passed)) == -1) {
        DestroyWindowTree(handle);
        return nullptr;
    }
    Window* created = Lookup(handle);
    if (created == nullptr) {
        return nullptr;
    }
    ReportGeometry(*created);
    created = Lookup(handle);
    if (created == nullptr) {
        return nullptr;
    }
    InvalidateRegion(*created, QRegion(created->widget->rect()), true);
    if ((created->style & WS_VISIBLE) != 0) {
        created->style &= ~WS_VISIBLE;
        ShowWindow(handle, (created->exStyle & WS_EX_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
    }
    return IsLive(handle) ? handle : nullptr;
}

Window& RegisterPartWindow(const wchar_t* className, HWND parent, HWND owner, DWORD style, UINT_PTR id,
                           std::unique_ptr<CWnd> object) {
    auto record = std::make_unique<Window>();
    record->windowClass = FindClass(className);
    record->style = style;
    record->parent = parent;
    record->owner = owner;
    record->id = id;
    record->layerObject = std::move(object);
    record->object = record->layerObject.get();
    Window& window = Register(std::move(record));
    window.object->m_hWnd = window.handle;
    return window;
}

namespace {

void FinishWindow(HWND handle) {
    Window* window = Lookup(handle);
    if (window == nullptr) {
        return;
    }
    MessageQueue* queue = MessageQueue::Instance();
    for (const auto& timer : window->timers) {
        if (queue != nullptr) {
            queue->StopTimer(timer.second);
        }
    }
    window->timers.clear();
    if (window->hoverTimer != 0 && queue != nullptr) {
        queue->StopTimer(window->hoverTimer);
    }
    if (captureWindow == handle) {
        captureWindow = nullptr;
    }
    if (mouseWindow == handle) {
        mouseWindow = nullptr;
    }
    if (window->menu != nullptr) {
        DestroyMenu(std::exchange(window->menu, nullptr));
    }
    CWnd* object = window->object;
    CWnd* layerObject = window->layerObject.get();
    Retire(*window);
    if (window->host != nullptr) {
        window->host->Detach();
        window->host = nullptr;
    }
    if (QWidget* widget = window->widget.data()) {
        window->widget = nullptr;
        widget->hide();
        if (widget->isWindow()) {
            widget->setParent(nullptr);
        }
        widget->deleteLater();
    }
    if (layerObject != nullptr && layerObject->m_hWnd == handle) {
        layerObject->m_hWnd = nullptr;
    }
    if (object != nullptr && object->m_hWnd == handle) {
        object->m_hWnd = nullptr;
    }
    if (object != nullptr && object != layerObject) {
        WindowAccess::PostNcDestroy(*object);
    }
}

} // namespace

BOOL DestroyWindowTree(HWND handle) {
    Window* window = Lookup(handle);
    if (window == nullptr || window->destroying) {
        return FALSE;
    }
    window->destroying = true;
    for (HWND owned : OwnedBy(handle)) {
        DestroyWindowTree(owned);
    }
    if (captureWindow == handle) {
        ReleaseCapture();
    }
    if (Window* current = Lookup(handle); current != nullptr && current->widget) {
        current->widget->hide();
    }
    Dispatch(handle, WM_DESTROY, 0, 0);
    for (HWND child : ChildrenOf(handle)) {
        DestroyWindowTree(child);
    }
    Dispatch(handle, WM_NCDESTROY, 0, 0);
    FinishWindow(handle);
    return TRUE;
}

void ReportGeometry(Window& window) {
    const HWND handle = window.handle;
    QWidget* widget = window.widget.data();
    if (widget == nullptr) {
        return;
    }
    const QSize size = widget->size();
    if (size != window.reportedSize) {
        window.reportedSize = size;
        FitSurface(window);
        WPARAM state = SIZE_RESTORED;
        if (widget->isWindow() && widget->isMinimized()) {
            state = SIZE_MINIMIZED;
        } else if (widget->isWindow() && widget->isMaximized()) {
            state = SIZE_MAXIMIZED;
        }
        Dispatch(handle, WM_SIZE, state,
                 MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
    }
    Window* current = Lookup(handle);
    if (current == nullptr || !current->widget) {
        return;
    }
    const QPoint position =
        current->widget->isWindow() ? current->widget->geometry().topLeft() : current->widget->pos();
    if (position != current->reportedPos) {
        current->reportedPos = position;
        Dispatch(handle, WM_MOVE, 0,
                 MAKELPARAM(static_cast<WORD>(position.x()), static_cast<WORD>(position.y())));
    }
}

void InvalidateRegion(Window& window, const QRegion& region, bool erase) {
    QWidget* widget = window.widget.data();
    if (widget == nullptr) {
        return;
    }
    const QRegion clipped = region.intersected(QRect(QPoint(0, 0), widget->size()));
    if (clipped.isEmpty()) {
        return;
    }
    window.invalid += clipped;
    window.eraseNeeded = window.eraseNeeded || erase;
    if (window.host != nullptr) {
        QWidget* input = window.host->InputWidget();
        input->update(clipped.translated(-window.host->InputOffset()));
    }
}

void FitSurface(Window& window) {
    if (window.host == nullptr || !window.host->PaintsSurface() || !window.widget) {
        return;
    }
    const QSize size = window.widget->size();
    if (window.surface.size() == size) {
        return;
    }
    const QSize old = window.surface.size();
    QImage resized;
    if (!size.isEmpty()) {
        resized = QImage(size, window.host->TransparentSurface() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
        resized.fill(Qt::white);
        if (!window.surface.isNull()) {
            for (int y = 0; y < std::min(old.height(), size.height()); ++y) {
                std::copy_n(reinterpret_cast<const QRgb*>(window.surface.constScanLine(y)),
                            std::min(old.width(), size.width()),
                            reinterpret_cast<QRgb*>(resized.scanLine(y)));
            }
        }
    }
    window.surface = resized;
    const UINT style = window.windowClass->style;
    const bool redrawAll = ((style & CS_HREDRAW) != 0 && old.width() != size.width()) ||
                           ((style & CS_VREDRAW) != 0 && old.height() != size.height());
    QRegion exposed(QRect(QPoint(0, 0), size));
    if (!redrawAll) {
        exposed -= QRegion(QRect(QPoint(0, 0), old));
    }
    InvalidateRegion(window, exposed, true);
}

// Mouse tracking

void MouseMovedInto(HWND handle, const QPoint& client, const QPoint& screen) {
    if (mouseWindow != nullptr && mouseWindow != handle) {
        MouseLeft(mouseWindow);
    }
    Window* window = Lookup(handle);
    if (window == nullptr || !window->widget) {
        return;
    }
    if (!QRect(QPoint(0, 0), window->widget->size()).contains(client)) {
        MouseLeft(handle);
        return;
    }
    mouseWindow = handle;
    window->mouseInside = true;
    if ((window->trackFlags & TME_HOVER) != 0) {
        const QPoint travel = screen - window->hoverAnchor;
        if (std::abs(travel.x()) > 2 || std::abs(travel.y()) > 2) {
            window->hoverAnchor = screen;
            if (MessageQueue* queue = MessageQueue::Instance()) {
                if (window->hoverTimer != 0) {
                    queue->StopTimer(window->hoverTimer);
                }
                window->hoverTimer = queue->StartHoverTimer(handle, window->hoverTime);
            }
        }
    }
}

void MouseLeft(HWND handle) {
    if (mouseWindow == handle) {
        mouseWindow = nullptr;
    }
    Window* window = Lookup(handle);
    if (window == nullptr) {
        return;
    }
    window->mouseInside = false;
    if ((window->trackFlags & TME_LEAVE) != 0) {
        // Leaving ends hover tracking as well.
        window->trackFlags &= ~(TME_LEAVE | TME_HOVER);
        if (window->hoverTimer != 0) {
            if (MessageQueue* queue = MessageQueue::Instance()) {
                queue->StopTimer(window->hoverTimer);
            }
            window->hoverTimer = 0;
        }
        PostMessageW(handle, WM_MOUSELEAVE, 0, 0);
    }
}

void HoverTimerFired(HWND handle) {
    Window* window = Lookup(handle);
    if (window == nullptr) {
        return;
    }
    window->hoverTimer = 0;
    if ((window->trackFlags & TME_HOVER) == 0 || !window->mouseInside || !window->widget) {
        return;
    }
    window->trackFlags &= ~TME_HOVER;
    const QPoint client = window->widget->mapFromGlobal(LastCursorPosition());
    WPARAM keys = 0;
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    if (buttons & Qt::LeftButton) {
        keys |= MK_LBUTTON;
    }
    if (buttons & Qt::RightButton) {
        keys |= MK_RBUTTON;
    }
    PostMessageW(handle, WM_MOUSEHOVER, keys,
                 MAKELPARAM(static_cast<WORD>(client.x()), static_cast<WORD>(client.y())));
}

HWND CaptureWindow() {
    if (captureWindow != nullptr && !IsLive(captureWindow)) {
        captureWindow = nullptr;
    }
    return captureWindow;
}

void SetCaptureWindow(HWND handle) {
    captureWindow = handle;
}

HWND MouseWindow() {
    return mouseWindow;
}

void NoteCursorPosition(const QPoint& screen) {
    lastCursor = screen;
    lastCursorKnown = true;
}

QPoint LastCursorPosition() {
    return lastCursorKnown ? lastCursor : QCursor::pos();
}

void BeginInputCursor() {
    inputCursorActive = true;
    inputCursorSet = false;
}

void EndInputCursor(QWidget* widget) {
    inputCursorActive = false;
    if (inputCursorSet && widget != nullptr) {
        ApplyCursorTo(widget);
    }
    inputCursorSet = false;
}

void NoteCursorSet() {
    if (inputCursorActive) {
        inputCursorSet = true;
    }
}

bool OnGuiThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

void EnsureStarted() {
    static std::once_flag started;
    if (QCoreApplication::instance() == nullptr || !OnGuiThread()) {
        return;
    }
    std::call_once(started, [] {
        MessageQueue::Instance();
        if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            application->setQuitOnLastWindowClosed(false);
        }
        static UiWindowSystem windowSystem;
        SetWindowSystem(&windowSystem);
    });
}

} // namespace uiimpl

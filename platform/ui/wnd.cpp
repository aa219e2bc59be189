#include "platform/ui/wnd.h"

#include "platform/ui/app.h"
#include "platform/ui/dataexchange.h"
#include "platform/ui/dc.h"
#include "platform/ui/drop.h"
#include "platform/ui/font.h"
#include "platform/ui/rgn.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <vector>

using namespace uiimpl;

namespace {

CPoint PointOf(LPARAM lParam) {
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        const HWND window = m_hWnd;
        ::DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandle(HWND window) {
    return FromHandlePermanent(window);
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    const Window* record = Lookup(window);
    return record == nullptr ? nullptr : record->object;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent != nullptr ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, void* param) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    CREATESTRUCTW create;
    create.lpCreateParams = param;
    create.hMenu = idOrMenu;
    create.hwndParent = parent;
    create.x = x;
    create.y = y;
    create.cx = width;
    create.cy = height;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (!PreCreateWindow(create)) {
        return FALSE;
    }
    if (create.lpszClass == nullptr || IS_INTRESOURCE(create.lpszClass)) {
        return FALSE;
    }
    const WindowClass* windowClass = FindClass(create.lpszClass);
    if (windowClass == nullptr) {
        return FALSE;
    }
    return CreateWindowRecord(this, create, *windowClass) != nullptr ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::SubclassWindow(HWND window) {
    Window* record = Lookup(window);
    if (m_hWnd != nullptr || record == nullptr ||
        (record->object != nullptr && record->object != record->layerObject.get())) {
        return FALSE;
    }
    record->object = this;
    m_hWnd = window;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent != nullptr ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    Window* record = Lookup(m_hWnd);
    if (record == nullptr || record->object != this) {
        return nullptr;
    }
    record->object = record->layerObject.get();
    const HWND window = m_hWnd;
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::Attach(HWND window) {
    if (m_hWnd != nullptr || !::IsWindow(window)) {
        return FALSE;
    }
    m_hWnd = window;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND window = m_hWnd;
    if (Window* record = Lookup(window); record != nullptr && record->object == this) {
        record->object = record->layerObject.get();
    }
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::ShowWindow(int command) {
    return ::ShowWindow(m_hWnd, command);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter != nullptr ? insertAfter->m_hWnd : nullptr, x, y, width, height,
                          flags);
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}
void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}
void CWnd::ClientToScreen(LPPOINT point) const {
    ::ClientToScreen(m_hWnd, point);
}

void CWnd::ClientToScreen(LPRECT rect) const {
    auto* corners = reinterpret_cast<POINT*>(rect);
    ::ClientToScreen(m_hWnd, &corners[0]);
    ::ClientToScreen(m_hWnd, &corners[1]);
}

void CWnd::ScreenToClient(LPPOINT point) const {
    ::ScreenToClient(m_hWnd, point);
}

void CWnd::ScreenToClient(LPRECT rect) const {
    auto* corners = reinterpret_cast<POINT*>(rect);
    ::ScreenToClient(m_hWnd, &corners[0]);
    ::ScreenToClient(m_hWnd, &corners[1]);
}

void CWnd::MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const {
    ::MapWindowPoints(m_hWnd, to != nullptr ? to->m_hWnd : nullptr, points, count);
}

void CWnd::MapWindowPoints(CWnd* to, LPRECT rect) const {
    ::MapWindowPoints(m_hWnd, to != nullptr ? to->m_hWnd : nullptr, reinterpret_cast<POINT*>(rect), 2);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return FALSE;
    }
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (flags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return FALSE;
    }
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (flags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return TRUE;
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

int CWnd::SetDlgCtrlID(int id) {
    return static_cast<int>(::SetWindowLongPtrW(m_hWnd, GWLP_ID, id));
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const {
    const Window* record = Lookup(m_hWnd);
    if (record == nullptr) {
        return nullptr;
    }
    return FromHandle((record->style & WS_CHILD) != 0 ? record->parent : record->owner);
}

CWnd* CWnd::GetTopLevelParent() const {
    return FromHandle(TopLevelOf(m_hWnd));
}

CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetCapture() {
    return FromHandle(::GetCapture());
}

CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}

CWnd* CWnd::WindowFromPoint(POINT point) {
    return FromHandle(::WindowFromPoint(point));
}

void CWnd::SetWindowText(LPCWSTR text) {
    ::SetWindowTextW(m_hWnd, text);
}

int CWnd::GetWindowText(LPWSTR buffer, int size) const {
    return ::GetWindowTextW(m_hWnd, buffer, size);
}

void CWnd::GetWindowText(CString& text) const {
    std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLength()) + 1, L'\0');
    GetWindowText(buffer.data(), static_cast<int>(buffer.size()));
    text = CString(buffer.data());
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}

void CWnd::SetDlgItemText(int id, LPCWSTR text) {
    ::SetWindowTextW(::GetDlgItem(m_hWnd, id), text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    text.Empty();
    if (const CWnd* item = GetDlgItem(id)) {
        item->GetWindowText(text);
    }
    return text.GetLength();
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                                  reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL big) const {
    return reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font != nullptr ? font->GetSafeHandle() : nullptr),
                redraw);
}

void CWnd::SetRedraw(BOOL redraw) {
    SendMessage(WM_SETREDRAW, static_cast<WPARAM>(redraw), 0);
}

void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
    ::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::InvalidateRgn(CRgn* region, BOOL erase) {
    ::InvalidateRgn(m_hWnd, region != nullptr ? static_cast<HRGN>(region->GetSafeHandle()) : nullptr, erase);
}

void CWnd::ValidateRect(LPCRECT rect) {
    ::ValidateRect(m_hWnd, rect);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::RedrawWindow(LPCRECT rect, CRgn* region, UINT flags) {
    return ::RedrawWindow(m_hWnd, rect,
                          region != nullptr ? static_cast<HRGN>(region->GetSafeHandle()) : nullptr, flags);
}

int CWnd::SetWindowRgn(HRGN region, BOOL redraw) {
    return ::SetWindowRgn(m_hWnd, region, redraw);
}

CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* dc) {
    return dc != nullptr ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT milliseconds) {
    return ::SetTimer(m_hWnd, id, milliseconds);
}
BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}
void CWnd::DragAcceptFiles(BOOL accept) {
    ::DragAcceptFiles(m_hWnd, accept);
}

BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) {
    if (info == nullptr) {
        return FALSE;
    }
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, bar, info);
}

int CWnd::GetScrollPos(int bar) const {
    return ::GetScrollPos(m_hWnd, bar);
}

int CWnd::GetScrollLimit(int bar) {
    SCROLLINFO info;
    if (!GetScrollInfo(bar, &info, SIF_RANGE | SIF_PAGE)) {
        return 0;
    }
    const int page = info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0;
    return info.nMax - page;
}

BOOL CWnd::UpdateData(BOOL save) {
    CDataExchange exchange(this, save);
    DoDataExchange(&exchange);
    return exchange.m_bFailed ? FALSE : TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(MSG* message) {
    HWND current = message->hwnd;
    while (current != nullptr) {
        if (CWnd* object = FromHandlePermanent(current);
            object != nullptr && object->PreTranslateMessage(message)) {
            return TRUE;
        }
        const Window* record = Lookup(current);
        if (record == nullptr || (record->style & WS_CHILD) == 0) {
            break;
        }
        current = record->parent;
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_PAINT:
        if (wParam != 0) {
            break;
        }
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), PointOf(lParam));
    case WM_MOUSEHOVER:
        OnMouseHover(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),
               HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),
                  HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),
                HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),
               HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) {
            return 0;
        }
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result)) {
            return result;
        }
        break;
    }
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(static_cast<DWORD_PTR>(lParam)),
                           HIWORD(static_cast<DWORD_PTR>(lParam)));
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_CANCELMODE:
        OnCancelMode();
        return 0;
    case WM_ENABLE:
        OnEnable(static_cast<BOOL>(wParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DRAWITEM:
        OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    case WM_MEASUREITEM:
        OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        return TRUE;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                    FromHandle(reinterpret_cast<HWND>(lParam)),
                                                    message == WM_CTLCOLORSTATIC ? CTLCOLOR_STATIC
                                                                                 : CTLCOLOR_LISTBOX));
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Window* record = Lookup(m_hWnd);
    if (record == nullptr) {
        return 0;
    }
    if (record->windowClass->procedure != nullptr) {
        return record->windowClass->procedure(m_hWnd, message, wParam, lParam);
    }
    return record->host != nullptr ? record->host->ClassProc(*record, message, wParam, lParam)
                                   : GenericWindowProc(*record, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const DispatchFrame* frame = InnermostFrame(m_hWnd);
    return frame == nullptr ? 0 : DefWindowProc(frame->message, frame->wParam, frame->lParam);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&) {
    return TRUE;
}
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return lParam != 0 &&
           ReflectChildNotify(reinterpret_cast<HWND>(lParam), WM_COMMAND, wParam, lParam, &result);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    return header != nullptr && ReflectChildNotify(header->hwndFrom, WM_NOTIFY, wParam, lParam, result);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

BOOL CWnd::ReflectChildNotify(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    CWnd* object = FromHandlePermanent(child);
    if (object == nullptr || object == this) {
        return FALSE;
    }
    return object->OnChildNotify(message, wParam, lParam, result);
}

int CWnd::OnCreate(LPCREATESTRUCTW) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}

void CWnd::OnNcDestroy() {
    // The main window's end is the end of the program's message loop.
    if (CWinApp* application = AfxGetApp(); application != nullptr && application->m_pMainWnd == this) {
        application->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    Default();
}

void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnMouseHover(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseLeave() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CWnd* scrollBar) {
    LRESULT result = 0;
    const DispatchFrame* frame = InnermostFrame(m_hWnd);
    if (scrollBar != nullptr && frame != nullptr &&
        ReflectChildNotify(scrollBar->m_hWnd, WM_HSCROLL, frame->wParam, frame->lParam, &result)) {
        return;
    }
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CWnd* scrollBar) {
    LRESULT result = 0;
    const DispatchFrame* frame = InnermostFrame(m_hWnd);
    if (scrollBar != nullptr && frame != nullptr &&
        ReflectChildNotify(scrollBar->m_hWnd, WM_VSCROLL, frame->wParam, frame->lParam, &result)) {
        return;
    }
    Default();
}

void CWnd::OnDropFiles(HDROP) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}
void CWnd::OnCancelMode() {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) {
    Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT draw) {
    LRESULT result = 0;
    const DispatchFrame* frame = InnermostFrame(m_hWnd);
    if (draw != nullptr && frame != nullptr &&
        ReflectChildNotify(draw->hwndItem, WM_DRAWITEM, frame->wParam, frame->lParam, &result)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure) {
    LRESULT result = 0;
    const DispatchFrame* frame = InnermostFrame(m_hWnd);
    if (measure != nullptr && frame != nullptr &&
        ReflectChildNotify(::GetDlgItem(m_hWnd, id), WM_MEASUREITEM, frame->wParam, frame->lParam, &result)) {
        return;
    }
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* window, UINT) {
    LRESULT result = 0;
    const DispatchFrame* frame = InnermostFrame(m_hWnd);
    if (window != nullptr && frame != nullptr &&
        ReflectChildNotify(window->m_hWnd, frame->message, frame->wParam, frame->lParam, &result)) {
        return reinterpret_cast<HBRUSH>(result);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

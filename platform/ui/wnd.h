#pragma once
// CWnd: the class library's window object. A window's messages go through the virtual WindowProc,
// which hands them to the handlers below; each handler's own behaviour is the window's default
// handling (Default), so a derived class overrides a handler and calls the base for the rest.
// Notifications from child controls (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, scroll and colour
// messages) are offered to the child first through OnChildNotify, as the class library reflects
// them.

#include "platform/base/cstring.h"
#include "platform/ui/gdidefs.h"
#include "platform/ui/rect.h"

#include <cstddef>

class CDataExchange;
class CDC;
class CFont;
class CRgn;

namespace uiimpl {
struct WindowAccess;
}

class CWnd {
  public:
    CWnd();
    // A window still alive is destroyed with its object.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object the window's messages go to; null for a dead handle.
    static CWnd* FromHandle(HWND window);
    static CWnd* FromHandlePermanent(HWND window);

    // Creation by class name: a registered class, "Static", "#32770" (dialog), "SysListView32",
    // "ComboBox" or "tooltips_class32". A child's id is its menu argument.
    virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, void* context = nullptr);
    virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                          CWnd* parent, UINT id, void* param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU idOrMenu, void* param = nullptr);
    virtual BOOL DestroyWindow();

    // The window's messages go to this object from now on (PreSubclassWindow is called).
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    // Refers to the window without receiving its messages.
    BOOL Attach(HWND window);
    HWND Detach();

    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    // insertAfter may be a window or one of HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST.
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags);
    BOOL SetWindowPos(std::nullptr_t, int x, int y, int width, int height, UINT flags) {
        return SetWindowPos(HWND_TOP, x, y, width, height, flags);
    }
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const;
    void MapWindowPoints(CWnd* to, LPRECT rect) const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetDlgItem(int id) const;
    static CWnd* GetFocus();
    CWnd* SetFocus();
    static CWnd* GetCapture();
    CWnd* SetCapture();
    static CWnd* WindowFromPoint(POINT point);

    void SetWindowText(LPCWSTR text);
    int GetWindowText(LPWSTR buffer, int size) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, LPCWSTR text);
    int GetDlgItemText(int id, CString& text) const;
    // WM_SETICON: big is ICON_BIG's icon (the window's own), else ICON_SMALL's. Answers the icon set
    // before.
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    // Off: the window stops repainting until it is switched on again.
    void SetRedraw(BOOL redraw = TRUE);

    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void InvalidateRgn(CRgn* region, BOOL erase = TRUE);
    void ValidateRect(LPCRECT rect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT rect = nullptr, CRgn* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    int SetWindowRgn(HRGN region, BOOL redraw);
    // A DC on the client area, released with ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds);
    BOOL KillTimer(UINT_PTR id);
    void DragAcceptFiles(BOOL accept = TRUE);
    BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL);
    int GetScrollPos(int bar) const;
    // The highest position the bar can scroll to: its maximum less a page.
    int GetScrollLimit(int bar);

    // Binds the controls of a dialog to members and exchanges their values (DoDataExchange);
    // save TRUE reads the controls.
    BOOL UpdateData(BOOL save = TRUE);

    // Key and mouse messages (and posted messages) pass here on their way from the queue, for the
    // window itself and each parent up to its top-level window; TRUE stops the message.
    virtual BOOL PreTranslateMessage(MSG* message);
    static BOOL WalkPreTranslateTree(MSG* message);

  protected:
    friend struct uiimpl::WindowAccess;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window class's own handling of the message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being dispatched to this window.
    LRESULT Default();
    virtual BOOL PreCreateWindow(CREATESTRUCTW& create);
    virtual void DoDataExchange(CDataExchange* exchange);
    virtual void PreSubclassWindow();
    // After the last message; an object that deletes itself does it here.
    virtual void PostNcDestroy();

    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification of this control that its parent reflects; TRUE when handled here.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL ReflectChildNotify(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    virtual int OnCreate(LPCREATESTRUCTW create);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* dc);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    // The point is in screen coordinates.
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual void OnMouseHover(UINT flags, CPoint point);
    virtual void OnMouseLeave();
    virtual void OnSize(UINT type, int width, int height);
    virtual void OnMove(int x, int y);
    virtual void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeatCount, UINT flags);
    virtual void OnChar(UINT character, UINT repeatCount, UINT flags);
    virtual void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
    virtual void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
    virtual void OnDropFiles(HDROP drop);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
    virtual void OnSetFocus(CWnd* previous);
    virtual void OnKillFocus(CWnd* next);
    virtual void OnCaptureChanged(CWnd* window);
    virtual void OnCancelMode();
    virtual void OnEnable(BOOL enable);
    virtual void OnClose();
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnDrawItem(int id, LPDRAWITEMSTRUCT draw);
    virtual void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure);
    virtual HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT type);
};

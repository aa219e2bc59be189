#pragma once
// The base of the skinned child windows: a window class of its own per derived class, painting
// through an off-screen DC so that a derived class only draws, transparency by asking a background
// window for the picture under the control, hover and press tracking, dropped files and folders
// forwarded to the main view, and Enter and Escape kept from the dialog around it.

#include "platform/ui/bitmap.h"
#include "platform/ui/dc.h"
#include "platform/ui/wnd.h"

#include <memory>

// Sent to the background window: wParam the asking control, lParam a SkinBackgroundRequest.
constexpr UINT WM_SKIN_DRAWBKGND = WM_USER + 1002;

struct SkinBackgroundRequest {
    CDC* dc = nullptr;
    CRect rect;
};

class CBaseWnd : public CWnd {
  public:
    // Options of every skinned window; bits from 0x10000 up belong to the derived class.
    static constexpr DWORD OPTION_BACK_BUFFER = 0x1;
    static constexpr DWORD OPTION_TRANSPARENT = 0x2;
    static constexpr DWORD OPTION_HOVER = 0x4;

    CBaseWnd();
    ~CBaseWnd() override;

    using CWnd::Create;
    BOOL Create(CWnd* parent, CRect rect, UINT id, DWORD style);

    void ModifyOptions(DWORD remove, DWORD add, DWORD reserved = 0);
    DWORD GetOptions() const { return m_options; }
    void SetNotifyWnd(HWND window) { m_notifyWnd = window; }
    HWND GetNotifyWnd() const { return m_notifyWnd; }
    void SetBackgroundWnd(HWND window) { m_backgroundWnd = window; }
    bool IsHovering() const { return m_hovering != 0; }
    bool IsPressed() const { return m_pressed != 0; }

    // Set once, before the first control loads a bitmap resource.
    static void SetDefaultResourceModule(HINSTANCE module);
    HBITMAP LoadBitmapResource(UINT id);
    // The source rectangle of the bitmap (the whole of it when empty) less its key-colour pixels,
    // relative to the rectangle's corner. The caller owns the region.
    static HRGN CreateRegionFromBitmap(HBITMAP bitmap, CRect source, COLORREF key);
    // 0: the skin's base colour setting; 2: the transparent key colour; 3: the accent colour.
    static COLORREF GetBaseColor(int which);
    // Each window goes directly behind the one before it; all must share one parent.
    static void SetZOrder(CBaseWnd** windows, int count);

    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    // The derived class paints itself into the memory DC here.
    virtual void DrawSkin(CDC* dc);
    // Copies the part of this window's back buffer that lies under the child into its DC.
    virtual LRESULT OnDrawBkgnd(HWND child, SkinBackgroundRequest* request);

    BOOL PreCreateWindow(CREATESTRUCTW& create) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnCancelMode() override;
    void OnEnable(BOOL enable) override;
    void OnMouseHover(UINT flags, CPoint point) override;
    void OnMouseLeave() override;
    void OnDropFiles(HDROP drop) override;

    CString m_className;
    DWORD m_options = 0;
    HWND m_notifyWnd = nullptr;
    HWND m_backgroundWnd = nullptr;
    int m_hovering = 0;
    int m_pressed = 0;
    HINSTANCE m_resourceModule = nullptr;

  private:
    void UpdateBackBuffer(const CRect& client);

    std::unique_ptr<CBitmap> m_backBuffer;
    int m_classRegistered = 0;
};

// A line for the program's debug trace: "$$@@file(line)$$@@level$$@@text".
void SendDebugTrace(const char* file, int line, int level, const char* format, ...);

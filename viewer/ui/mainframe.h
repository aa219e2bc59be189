#pragma once
// The main window: a frame without caption, border or menu, which the main view fills and draws
// entirely. It hands commands to the view first, turns volume broadcasts and the release of Space
// into the view's messages, and has the panels follow it when it moves or changes size.

#include "platform/ui/wnd.h"
#include "viewer/ui/childview.h"

class CMainFrame : public CWnd {
  public:
    static constexpr int kMinTrackWidth = 975;
    static constexpr int kMinTrackHeight = 490;
    // The class library's first pane.
    static constexpr UINT kViewId = 0xE900;
    static constexpr UINT kResourceId = 128;
    // The overlapped window's style with the frame's add-to-title flag, which is no window style.
    static constexpr DWORD kFrameStyle = 0x00CF8000;

    CMainFrame();
    ~CMainFrame() override;

    // Makes the frame window from the program's resource: title (its string 128, which a second
    // start looks for) and icon. FALSE when the view refused its creation.
    BOOL LoadFrame(UINT resourceId, DWORD style);
    CChildView& GetView() { return m_view; }

    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTW create) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int width, int height) override;
    void OnMove(int x, int y) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    // The view's workers end before any window of the program goes.
    void OnClose() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    // TRUE whatever the event: the view is sent WM_DRIVE_ARRIVED or WM_DRIVE_REMOVED for volumes.
    BOOL OnDeviceChange(UINT event, DWORD_PTR data);

  private:
    UINT m_resourceId = kResourceId;
    CChildView m_view;
};

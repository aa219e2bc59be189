#pragma once
// The child window one camera channel is shown in. The engine's renderers present into it; with no
// file open on its channel it shows the camera's name. Its mouse and keys drive the view: a double
// click switches the enlarged single-channel mode, a drag in the two-window layout selects the part
// shown magnified in the partner channel's window, a right click ends that zoom view, Escape
// leaves the enlarged mode, and dropped files and folders go to the view to be opened.

#include "platform/ui/dialog.h"
#include "viewer/engine/channelwindowview.h"

class MovieWndDlg : public CDialog {
  public:
    enum { IDD = 172 };

    explicit MovieWndDlg(CWnd* parent = nullptr);
    ~MovieWndDlg() override;

    void SetView(IChannelWindowView* owner) { view = owner; }
    void SetChannel(int number) { channel = number; }
    // Called by the view's screen-mode switch.
    void SetEnlarged(int value) { enlarged = value; }

    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnInitDialog() override;

  protected:
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnDropFiles(HDROP drop) override;
    BOOL OnEraseBkgnd(CDC* dc) override;

  private:
    VideoState* Player() const;
    VideoState* PartnerPlayer() const;
    int NumberOfChannel() const;
    void ShowZoomCursor() const;
    // Zoom off on this channel and the partner's own picture back in its window.
    void EndZoomView();
    void InvalidatePartnerWindow();

    IChannelWindowView* view = nullptr;
    int channel = -1;
    int enlarged = 0;
    CPoint dragStart;
    int dragging = 0;
    HCURSOR zoomCursor = nullptr;
};

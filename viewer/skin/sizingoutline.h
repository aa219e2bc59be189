#pragma once
// The outline a panel shows while the user drags one of its edges: a thin grey frame in a window
// of its own above everything, since nothing may be drawn on the desktop itself.

#include "platform/ui/wnd.h"

class CSizingOutline : public CWnd {
  public:
    static constexpr COLORREF kColor = 0x7D7D7D;
    static constexpr int kThickness = 2;

    CSizingOutline();
    ~CSizingOutline() override;

    // Shows the frame along the inside of the screen rectangle.
    void Show(const CRect& rect);
    void Hide();

  protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
};

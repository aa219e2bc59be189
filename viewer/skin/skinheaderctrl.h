#pragma once
// The painted column header of the skinned list. Its clicks drive the main view: a right click
// asks for the type menu, a left click toggles the list's order. Columns can be neither resized
// nor dragged (the list refuses those notifications), and no resize cursor shows.

#include "platform/ui/headerctrl.h"
#include "viewer/skin/borrowedbitmap.h"

class CSkinHeaderCtrl : public CHeaderCtrl {
  public:
    CSkinHeaderCtrl() = default;
    ~CSkinHeaderCtrl() override;

    // The skin store's images: start, span and end of a column.
    void SetBitmaps(HBITMAP start, HBITMAP span, HBITMAP end);
    void DrawItem(LPDRAWITEMSTRUCT draw) override;

  protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;

  private:
    CBorrowedBitmap m_start;
    CBorrowedBitmap m_span;
    CBorrowedBitmap m_end;
};

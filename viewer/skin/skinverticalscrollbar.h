#pragma once
// The bitmap scroll bar drawn beside the skinned list in place of its own: caps, arrows (a line
// on release, repeating while held), page clicks on the track and thumb dragging, sent to the list
// as WM_VSCROLL or by scrolling it.

#include "platform/ui/listctrl.h"
#include "platform/ui/static.h"
#include "viewer/skin/borrowedbitmap.h"

class CSkinVerticalScrollbar : public CStatic {
  public:
    CSkinVerticalScrollbar() = default;
    ~CSkinVerticalScrollbar() override;

    void SetList(CListCtrl* list) { m_list = list; }
    // The skin store's images.
    void SetBitmaps(HBITMAP topCap, HBITMAP bottomCap, HBITMAP upArrow, HBITMAP downArrow, HBITMAP track,
                    HBITMAP thumb);
    CSize TopCapSize() const { return m_topCap.Size(); }
    void UpdateThumbPosition();
    int GetThumbTop() const { return m_thumbTop; }

    // Pixels per scroll unit; 0 when the list cannot scroll or the thumb has no room.
    static double PixelsPerUnit(int height, int fixedHeight, int scrollLimit);

  protected:
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;

  private:
    void Scroll(UINT code);
    int Height() const;
    int LimitThumb(int y) const;
    // Everything but the track: caps, arrows and the thumb.
    int FixedHeight() const;

    CListCtrl* m_list = nullptr;
    bool m_upArrowHeld = false;
    bool m_downArrowHeld = false;
    bool m_moved = false;
    bool m_dragging = false;
    int m_thumbTop = 0;
    double m_pixelsPerUnit = 0.0;
    CBorrowedBitmap m_topCap;
    CBorrowedBitmap m_bottomCap;
    CBorrowedBitmap m_upArrow;
    CBorrowedBitmap m_downArrow;
    CBorrowedBitmap m_track;
    CBorrowedBitmap m_thumb;
    CSize m_pendingScroll;
};

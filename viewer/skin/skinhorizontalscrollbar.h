#pragma once
// The bitmap scroll bar drawn under the skinned list in place of its own: arrows (a line on
// release, repeating while held), page clicks on the track and thumb dragging, all sent to the
// list as WM_HSCROLL or by scrolling it.

#include "platform/ui/listctrl.h"
#include "platform/ui/static.h"
#include "viewer/skin/borrowedbitmap.h"

class CSkinHorizontalScrollbar : public CStatic {
  public:
    CSkinHorizontalScrollbar() = default;
    ~CSkinHorizontalScrollbar() override;

    void SetList(CListCtrl* list) { m_list = list; }
    // The skin store's images.
    void SetBitmaps(HBITMAP leftArrow, HBITMAP rightArrow, HBITMAP thumb, HBITMAP track);
    CSize LeftArrowSize() const { return m_leftArrow.Size(); }
    // Places the thumb for the list's scroll position.
    void UpdateThumbPosition();
    int GetThumbLeft() const { return m_thumbLeft; }

    // Pixels per scroll unit of a bar of the given width; 0 when the list cannot scroll or there
    // is no room for the thumb to move.
    static double PixelsPerUnit(int width, int leftWidth, int thumbWidth, int rightWidth, int scrollLimit);
    // The thumb's left edge held between the arrows.
    static int LimitThumb(int x, int width, int leftWidth, int thumbWidth, int rightWidth);

  protected:
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;

  private:
    void Scroll(UINT code);
    int Width() const;

    CListCtrl* m_list = nullptr;
    bool m_rightArrowHeld = false;
    bool m_leftArrowHeld = false;
    bool m_moved = false;
    bool m_dragging = false;
    int m_thumbLeft = 0;
    double m_pixelsPerUnit = 0.0;
    CBorrowedBitmap m_leftArrow;
    CBorrowedBitmap m_rightArrow;
    CBorrowedBitmap m_thumb;
    CBorrowedBitmap m_track;
};

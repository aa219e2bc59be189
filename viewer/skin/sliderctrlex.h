#pragma once
// The horizontal bitmap slider of the skinned windows: a state picture for the thumb, the channel
// picture tiled up to it, and WM_HSCROLL to the notify window like a trackbar.

#include "viewer/skin/basewnd.h"
#include "viewer/skin/borrowedbitmap.h"

class CSliderCtrlEx : public CBaseWnd {
  public:
    CSliderCtrlEx();
    ~CSliderCtrlEx() override;

    using CBaseWnd::Create;
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    void SetPos(int position);
    int GetPos() const { return m_position; }
    int GetRangeMin() const { return m_minimum; }
    int GetRangeMax() const { return m_maximum; }
    // The images stay the skin store's; the slider only draws them.
    void SetBitmaps(HBITMAP thumbNormal, HBITMAP thumbHover, HBITMAP thumbPressed, HBITMAP thumbDisabled,
                    HBITMAP channel);
    void SetMargins(CRect thumbMargins, CRect channelMargins);

    // The geometry for a client rectangle and a thumb picture of the given size. The track is empty
    // (and the slider inert) when there is no thumb or no room to move it.
    struct Geometry {
        int thumbWidth = 0;
        CRect track;
        int thumbCentre = 0;
        CRect thumb;
        bool usable = false;
    };
    static Geometry Layout(const CRect& client, CSize thumbBitmap, const CRect& thumbMargins,
                           const CRect& channelMargins, int minimum, int maximum, int position);
    static int PositionFromPoint(const Geometry& geometry, int x, int minimum, int maximum);

  protected:
    void DrawSkin(CDC* dc) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseLeave() override;

  private:
    enum Slot { THUMB_NORMAL, THUMB_HOVER, THUMB_PRESSED, THUMB_DISABLED, CHANNEL, SLOT_COUNT };

    Geometry CurrentGeometry() const;
    void Notify(UINT code);

    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    CBorrowedBitmap m_bitmaps[SLOT_COUNT];
    HBITMAP m_handles[SLOT_COUNT] = {};
    CRect m_thumbMargins;
    CRect m_channelMargins;
    int m_thumbHover = 0;
};

#pragma once
// The push, toggle and auto-repeat button of the skinned windows: one of four state pictures from
// the skin, optionally cut to the shape of a mask, reporting clicks as WM_COMMAND / BN_CLICKED.

#include "viewer/skin/basewnd.h"
#include "viewer/skin/borrowedbitmap.h"

class CButtonEx : public CBaseWnd {
  public:
    static constexpr DWORD OPTION_TINT = 0x20000;
    static constexpr DWORD OPTION_MASK_REGION = 0x40000;
    static constexpr DWORD OPTION_TOGGLE = 0x80000;
    static constexpr DWORD OPTION_HOVER_SHADES = 0x100000;
    static constexpr DWORD OPTION_AUTO_REPEAT = 0x200000;

    enum State { STATE_NORMAL = 1, STATE_HOVER = 2, STATE_PRESSED = 3, STATE_DISABLED = 4, STATE_MASK = 5 };

    CButtonEx();
    ~CButtonEx() override;

    using CBaseWnd::Create;
    // The images stay the skin store's; the button only draws them (or copies it re-tints).
    void SetImages(HBITMAP normal, HBITMAP hover, HBITMAP pressed, HBITMAP disabled, HBITMAP mask,
                   COLORREF unused, CRect source);
    void SetCheck(int checked);
    int GetCheck() const { return m_checked; }

    // The picture shown for the given situation, in the order the button tests it.
    static int ChooseState(bool enabled, bool toggle, bool checked, bool pressed, bool hovering);

  protected:
    void DrawSkin(CDC* dc) override;
    int OnCreate(LPCREATESTRUCTW create) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;

  private:
    static constexpr UINT_PTR kRepeatTimer = 2;

    void Rebuild();
    void ApplySizeAndRegion();
    HBITMAP OwnCopy(int slot, HBITMAP source);
    WPARAM CommandWParam() const;

    UINT_PTR m_repeatTimer = 0;
    CBorrowedBitmap m_bitmaps[6];
    // Copies the button made to re-tint or shade; the store's images are never changed.
    CBitmap m_copies[6];
    HBITMAP m_handles[6] = {};
    CRect m_source;
    int m_state = STATE_NORMAL;
    int m_checked = 0;
};

#pragma once
// A skinned pop-up that slides in from the screen edge where the taskbar lies, shows a line of
// text for a while and slides out again; a click on it is posted to its parent as
// WM_NOTIFIER_CLICKED. The slide runs on three window timers: appear, wait, hide.

#include "platform/base/cstring.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/font.h"
#include "platform/ui/wnd.h"

class CTaskbarPopup : public CWnd {
  public:
    enum State { STATE_HIDDEN = 0, STATE_APPEARING = 1, STATE_WAITING = 2, STATE_HIDING = 3 };
    enum Direction { FROM_TOP = 1, FROM_LEFT = 2, FROM_RIGHT = 3, FROM_BOTTOM = 4 };
    static constexpr UINT_PTR TIMER_APPEAR = 1;
    static constexpr UINT_PTR TIMER_WAIT = 2;
    static constexpr UINT_PTR TIMER_HIDE = 3;

    CTaskbarPopup();
    ~CTaskbarPopup() override;

    using CWnd::Create;
    bool Create(CWnd* parent);
    // A program bitmap resource; r, g, b of -1 mean no transparent colour.
    bool SetSkin(UINT bitmapId, int r = -1, int g = -1, int b = -1);
    // The same with a bitmap the pop-up takes over.
    bool SetSkin(HBITMAP bitmap, int r = -1, int g = -1, int b = -1);
    // Styles: bit 1 bold, bit 2 italic, bit 4 underlined.
    void SetTextFont(LPCWSTR faceName, int pointSize, int normalStyle, int hoverStyle);
    void SetTextColor(COLORREF normal, COLORREF hover);
    void SetTextRect(const CRect& rect) { m_textRect = rect; }
    void Show(LPCWSTR text, DWORD timeToShow = 500, DWORD timeToStay = 3000, DWORD timeToHide = 500);
    void Hide();
    // The drive whose card the pop-up offers to open.
    void SetDriveLetter(char letter) { m_driveLetter = letter; }
    char GetDriveLetter() const { return m_driveLetter; }

    int GetState() const { return m_state; }
    CPoint GetPosition() const { return CPoint(m_currentX, m_currentY); }
    DWORD GetShowStepDelay() const { return m_showStepDelay; }
    DWORD GetHideStepDelay() const { return m_hideStepDelay; }

    // The edge the pop-up comes from, for a work area on a screen of the given size.
    static Direction ChooseEdge(const RECT& workArea, int screenWidth, int screenHeight);
    // The pixels of the bitmap that differ from the colour. Null when the pixels cannot be read.
    static HRGN CreateRgnFromBitmap(HBITMAP bitmap, BYTE r, BYTE g, BYTE b);

  protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnTimer(UINT_PTR id) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnMouseHover(UINT flags, CPoint point) override;
    void OnMouseLeave() override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

  private:
    void MoveToCurrent();
    void Redraw();

    HWND m_parent = nullptr;
    CFont m_normalFont;
    CFont m_hoverFont;
    COLORREF m_normalColor = 0xB59285;
    COLORREF m_hoverColor = 0x6A240A;
    HCURSOR m_handCursor = nullptr;
    CBitmap m_skin;
    CRect m_textRect;
    int m_skinWidth = 0;
    int m_skinHeight = 0;
    CString m_text;
    int m_hover = 0;
    int m_state = STATE_HIDDEN;
    DWORD m_timeToShow = 0;
    DWORD m_timeToStay = 0;
    DWORD m_timeToHide = 0;
    DWORD m_showStepDelay = 0;
    DWORD m_hideStepDelay = 0;
    int m_startX = 0;
    int m_startY = 0;
    int m_currentX = 0;
    int m_currentY = 0;
    int m_direction = 0;
    CRect m_workArea;
    int m_step = 2;
    char m_driveLetter = 0;
};

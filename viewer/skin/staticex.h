#pragma once
// The skinned picture and label: backgrounds, frames, bars of a start, a tiled middle and an end
// piece, and text. It forwards the mouse to its notify window and can be the sizing grip or title
// bar of another window: dragging its interior moves that window, dragging its edges lets the
// notify window resize it.

#include "viewer/skin/basewnd.h"
#include "viewer/skin/borrowedbitmap.h"

class CStaticEx : public CBaseWnd {
  public:
    static constexpr DWORD OPTION_TILE_VERTICAL = 0x10000;
    static constexpr DWORD OPTION_THREE_PIECES = 0x20000;
    static constexpr DWORD OPTION_TEXT = 0x40000;
    static constexpr DWORD OPTION_GRIP = 0x100000;

    static constexpr DWORD EDGE_LEFT = 0x1;
    static constexpr DWORD EDGE_RIGHT = 0x2;
    static constexpr DWORD EDGE_TOP = 0x4;
    static constexpr DWORD EDGE_BOTTOM = 0x8;
    static constexpr DWORD EDGE_CENTRE = 0x20;
    // The hit code of the centre strip.
    static constexpr int HIT_CENTRE = 1000;

    CStaticEx();
    ~CStaticEx() override;

    using CBaseWnd::Create;
    // The images stay the skin store's; the static only draws them.
    void SetBitmaps(HBITMAP first, HBITMAP second = nullptr, HBITMAP third = nullptr);
    void SetTextStyle(int pointSize, LPCWSTR faceName, COLORREF color, UINT format);
    // A null target is the application's main window.
    void SetSizingEdges(DWORD edges, HWND target);

    // The grip's hit code of a client point: 0 outside, the standard edge and corner codes, 1000 on
    // the centre strip, 1 elsewhere.
    static int HitTest(DWORD edges, const CRect& client, CPoint point);

    // Where a three-piece bar draws its pieces, in drawing order (an empty rectangle is not drawn).
    struct ThreePieceLayout {
        CRect end;
        CRect first;
        CRect middle;
    };
    static ThreePieceLayout LayoutThreePieces(const CRect& client, CSize first, CSize second, CSize third);

  protected:
    void DrawSkin(CDC* dc) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

  private:
    HWND Target() const;
    int HitTestCursor() const;
    void Forward(UINT message, WPARAM wParam, CPoint point);

    CBorrowedBitmap m_bitmaps[3];
    HBITMAP m_handles[3] = {};
    DWORD m_edges = 0;
    POINT m_pressPoint{};
    int m_pressHit = 0;
    CRect m_pressRect;
    HWND m_target = nullptr;
    int m_pointSize = 100;
    CString m_faceName = L"Arial";
    COLORREF m_textColor;
    UINT m_textFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
};

#pragma once
// The drop-down list combo box of the recorder settings editor, painted from seven skin images
// (the box's left cap, stretched centre and right cap, and the four edges of the open list) and
// two colour pairs: the focused item in the highlight pair, everything else in the normal pair.

#include "platform/ui/combobox.h"
#include "platform/ui/font.h"
#include "viewer/skin/borrowedbitmap.h"
#include "viewer/skin/skinlistbox.h"

class CSkinComboBox : public CComboBox {
  public:
    enum Image { LEFT, CENTER, RIGHT, LIST_TOP, LIST_LEFT, LIST_RIGHT, LIST_BOTTOM, IMAGE_COUNT };

    CSkinComboBox();
    ~CSkinComboBox() override;

    using CComboBox::Create;
    // Whatever combo type is asked for, the box is an owner-drawn drop-down list with strings.
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                void* context = nullptr) override;
    static DWORD ForcedStyle(DWORD style);

    // The skin store's images, in the order of Image.
    void SetBitmaps(const HBITMAP images[IMAGE_COUNT]);
    void SetHighlightColors(COLORREF background, COLORREF text);
    void SetNormalColors(COLORREF background, COLORREF text);

    // The colours an item is drawn in: the highlight pair for the focused item.
    void ItemColors(UINT itemState, COLORREF& background, COLORREF& text) const;
    // Where item texts start, shared by every skinned box: set when a box paints its open list.
    static int ItemTextLeft();
    CSkinListBox& List() { return m_list; }

    void DrawItem(LPDRAWITEMSTRUCT draw) override;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnDestroy() override;

  private:
    void PaintList();

    CSkinListBox m_list;
    COLORREF m_highlightBackground = 0;
    COLORREF m_highlightText = 0;
    COLORREF m_normalBackground = 0;
    COLORREF m_normalText = 0;
    HBITMAP m_handles[IMAGE_COUNT] = {};
    CBorrowedBitmap m_images[IMAGE_COUNT];
    CSize m_sizes[IMAGE_COUNT];
    CFont m_font;
};

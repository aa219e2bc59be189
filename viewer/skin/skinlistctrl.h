#pragma once
// The report list of the playlist panel: dark background, selected rows and the playing row in
// fixed colours, a painted header whose clicks drive the main view's filter and order, and two
// bitmap scroll bars (siblings on the list's parent) in place of its own. Folders and files
// dropped on it are opened by the main view.

#include "platform/ui/listctrl.h"
#include "viewer/skin/skinheaderctrl.h"
#include "viewer/skin/skinhorizontalscrollbar.h"
#include "viewer/skin/skinverticalscrollbar.h"

class CSkinListCtrl : public CListCtrl {
  public:
    CSkinListCtrl();
    ~CSkinListCtrl() override;

    // Once, after the list exists. The playing row (-1 for none) is the main view's; the list reads
    // it while drawing.
    void InitSkinScrollBars(const int* playingRow);
    // The thirteen images of the skin's list record, which stay the skin store's.
    void SetBitmaps(const HBITMAP images[13]);
    void RepositionScrollBars();

    // The colours a row is drawn in: selected rows in the selected pair, the playing row in the
    // current pair, others in the list's own (false).
    struct RowColors {
        COLORREF text;
        COLORREF background;
    };
    bool ChooseRowColors(bool selected, bool playing, RowColors& colors) const;

    CSkinHeaderCtrl& Header() { return m_header; }
    CSkinHorizontalScrollbar& HorizontalBar() { return m_horizontalBar; }
    CSkinVerticalScrollbar& VerticalBar() { return m_verticalBar; }

    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    void PreSubclassWindow() override;
    int OnCreate(LPCREATESTRUCTW create) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnDropFiles(HDROP drop) override;

  private:
    void AttachHeader();
    void UpdateThumbs();
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);

    CSkinHeaderCtrl m_header;
    COLORREF m_selectedText = 0x000000;
    COLORREF m_selectedBackground = 0x30BBF2;
    COLORREF m_currentText = 0x8B8B8B;
    COLORREF m_currentBackground = 0x242424;
    CSkinVerticalScrollbar m_verticalBar;
    CSkinHorizontalScrollbar m_horizontalBar;
    HBITMAP m_images[13] = {};
    const int* m_playingRow = nullptr;
    // Whether the row between its two drawing stages was selected.
    bool m_rowWasSelected = false;
};

#pragma once
// Inside the window layer: the report list view ("SysListView32") on Qt's tree view, and its
// header ("SysHeader32", the child window with id 0) on Qt's header view. The list's client area
// holds the header at its top and the rows below it; the list answers the LVM_ messages, sends
// NM_CUSTOMDRAW for every row it paints and NM_DBLCLK to its parent, and passes its header's
// notifications on to its parent.

#include "platform/ui/commctrl.h"
#include "platform/ui/windowimpl.h"

#include <QHeaderView>
#include <QTreeView>

#include <vector>

class QStandardItemModel;

namespace uiimpl {

class ListViewWidget;

class HeaderWidget final : public QHeaderView, public WindowHost {
  public:
    HeaderWidget(HWND handle, ListViewWidget* list);

    QWidget* Widget() override { return this; }
    QWidget* InputWidget() override { return viewport(); }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    // The section whose right edge lies under x (viewport coordinates), or -1.
    int DividerAt(int x) const;
    LRESULT Notify(UINT code, int item);

    ListViewWidget* m_list;
    bool m_dragRefused = false;
};

class ListViewWidget final : public QTreeView, public WindowHost {
  public:
    ListViewWidget(Window& window, QWidget* parent);

    QWidget* Widget() override { return this; }
    QWidget* InputWidget() override { return viewport(); }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool GetScrollInfo(int bar, SCROLLINFO& info) override;
    bool EnableScrollBar(int bar, UINT arrows) override;
    bool PaintInto(HDC dc) override;

    HWND HeaderHandle() const { return m_headerHandle; }
    int ColumnFormat(int column) const;
    void SetColumnFormat(int column, int format);

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

  private:
    LRESULT Notify(NMHDR& header);
    LRESULT CustomDraw(DWORD stage);
    void DrawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index);
    int RowHeight() const;
    QRect RowRect(int row) const; // client coordinates
    void Scroll(int dx, int dy);
    void ScrollBy(QAbstractSlider* bar, UINT code, int position);
    UINT ItemState(int row, UINT mask) const;
    void SetItemState(int row, UINT state, UINT mask);
    void SetColors();
    LRESULT InsertItem(const LVITEMW& item);
    BOOL SetItem(const LVITEMW& item);
    BOOL GetItem(LVITEMW& item) const;

    QStandardItemModel* m_model;
    HWND m_headerHandle = nullptr;
    std::vector<int> m_formats;
    COLORREF m_background;
    COLORREF m_textColor;
    COLORREF m_textBackground = CLR_NONE;
    DWORD m_extendedStyle = 0;
    LRESULT m_paintAnswer = CDRF_DODEFAULT;
    bool m_inCustomDraw = false;
};

QWidget* CreateListViewWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);

} // namespace uiimpl

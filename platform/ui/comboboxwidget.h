#pragma once
// Inside the window layer: the drop-down list combo box ("ComboBox") on Qt's combo box, and its
// list ("ComboLBox", a pop-up window the box owns) on the box's list view. The box's height is
// that of its selection field; the rest of the height it is given is its list's. Owner-drawn
// boxes draw their items through WM_DRAWITEM to the box's parent.

#include "platform/ui/commctrl.h"
#include "platform/ui/windowimpl.h"

#include <QComboBox>
#include <QListView>

namespace uiimpl {

class ComboBoxWidget;

class ComboListWidget final : public QListView, public WindowHost {
  public:
    ComboListWidget(HWND handle, ComboBoxWidget* combo);

    QWidget* Widget() override { return this; }
    QWidget* InputWidget() override { return viewport(); }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // The box's WM_CTLCOLORLISTBOX answer colours the list.
    void BeforeNativePaint() override;

  private:
    ComboBoxWidget* m_combo;
};

class ComboBoxWidget final : public QComboBox, public WindowHost {
  public:
    ComboBoxWidget(Window& window, QWidget* parent);

    QWidget* Widget() override { return this; }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;
    QRect FitGeometry(const QRect& requested) override;
    void showPopup() override;
    void hidePopup() override;

    bool OwnerDrawn() const { return m_ownerDrawn; }
    int ItemHeight() const { return m_itemHeight; }
    void DrawOwnerItem(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index);

  protected:
    bool event(QEvent* event) override;

  private:
    void Command(WORD code);
    int Insert(int index, const QString& text);
    int Find(int start, const QString& text, bool exact) const;
    int BoxHeight() const { return m_fieldHeight + 6; }

    bool m_ownerDrawn;
    bool m_sorted;
    int m_itemHeight;
    int m_fieldHeight;
    HWND m_listHandle = nullptr;
};

QWidget* CreateComboBoxWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);

} // namespace uiimpl

#pragma once
// The skinned combo box's hold on its open list: the list window, reached by handle, and the
// background colour the box paints it with.

#include "platform/ui/listbox.h"

class CSkinListBox : public CListBox {
  public:
    CSkinListBox() = default;
    // The list belongs to the combo box; the wrapper only lets go of it.
    ~CSkinListBox() override { Detach(); }

    void SetBackgroundColor(COLORREF color) { m_backgroundColor = color; }
    COLORREF GetBackgroundColor() const { return m_backgroundColor; }

  private:
    COLORREF m_backgroundColor = 0;
};

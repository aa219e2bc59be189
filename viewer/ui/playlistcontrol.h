#pragma once
// The recordings list as the main view's transport works it: the rows by key that the catalogue
// fills, plus the selection, deletion, scrolling and repainting of the playlist panel's list. The
// view implements it over that list; tests use a fake.

#include "platform/base/listcontrol.h"

class IPlaylistControl : public IListControl {
  public:
    // The selection anchor row; -1 when there is none.
    virtual int GetSelectionMark() const = 0;
    virtual void SetSelectionMark(int row) = 0;
    virtual int GetSelectedCount() const = 0;
    // The first selected row after `row` (-1: from the top); -1 when there is none.
    virtual int GetNextSelectedItem(int row) const = 0;
    virtual void SetItemSelected(int row, bool selected) = 0;
    // The rows below move up by one.
    virtual bool DeleteItem(int row) = 0;
    // Scrolls until the row is wholly visible.
    virtual void EnsureVisible(int row) = 0;
    // Repaints the rows without erasing the background first (the playing row is drawn anew).
    virtual void Repaint() = 0;
};

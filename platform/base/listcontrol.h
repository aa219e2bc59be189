#pragma once
// The report-style list control as code without windows of its own fills it (the recordings
// catalogue). The window layer's list implements it; tests use a fake.

#include "platform/base/wintypes.h"

#include <string>

class IListControl {
  public:
    virtual ~IListControl() = default;

    virtual BOOL DeleteAllItems() = 0;
    virtual int GetItemCount() const = 0;
    // Inserts a row before `item` with the text of column 0; returns the new row's index, -1 on
    // failure.
    virtual int InsertItem(int item, const std::wstring& text) = 0;
    virtual BOOL SetItemText(int item, int subItem, const std::wstring& text) = 0;

    // A row's data is the key of what it shows, never an address into the owner's storage: a
    // row that outlives its entry then finds nothing instead of freed memory.
    virtual BOOL SetItemKey(int item, const std::wstring& key) = 0;
    // Empty for a row without a key or out of range.
    virtual std::wstring GetItemKey(int item) const = 0;
};

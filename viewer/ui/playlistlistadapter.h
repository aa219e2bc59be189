#pragma once
// The playlist panel's list control as the view's transport and catalogue work it. A row's item
// data is a number of this adapter's, which names the row's key here: the key moves with its row
// when rows above it go, and a row the catalogue never keyed has none. The selection anchor is the
// list's focused row: a click makes a row both.

#include "platform/ui/listctrl.h"
#include "viewer/ui/playlistcontrol.h"

#include <map>
#include <string>

class PlaylistListAdapter : public IPlaylistControl {
  public:
    explicit PlaylistListAdapter(CListCtrl& list) : m_list(list) {}

    BOOL DeleteAllItems() override;
    int GetItemCount() const override;
    int InsertItem(int item, const std::wstring& text) override;
    BOOL SetItemText(int item, int subItem, const std::wstring& text) override;
    BOOL SetItemKey(int item, const std::wstring& key) override;
    std::wstring GetItemKey(int item) const override;

    int GetSelectionMark() const override;
    void SetSelectionMark(int row) override;
    int GetSelectedCount() const override;
    int GetNextSelectedItem(int row) const override;
    void SetItemSelected(int row, bool selected) override;
    bool DeleteItem(int row) override;
    void EnsureVisible(int row) override;
    void Repaint() override;

  private:
    CListCtrl& m_list;
    std::map<DWORD_PTR, std::wstring> m_keys;
    DWORD_PTR m_lastKeyNumber = 0;
};

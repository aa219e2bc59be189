#include "viewer/ui/playlistlistadapter.h"

BOOL PlaylistListAdapter::DeleteAllItems() {
    m_keys.clear();
    return m_list.DeleteAllItems();
}

int PlaylistListAdapter::GetItemCount() const {
    return m_list.GetItemCount();
}

int PlaylistListAdapter::InsertItem(int item, const std::wstring& text) {
    return m_list.InsertItem(item, text.c_str());
}

BOOL PlaylistListAdapter::SetItemText(int item, int subItem, const std::wstring& text) {
    return m_list.SetItemText(item, subItem, text.c_str());
}

BOOL PlaylistListAdapter::SetItemKey(int item, const std::wstring& key) {
    if (item < 0 || item >= m_list.GetItemCount()) {
        return FALSE;
    }
    m_keys.erase(m_list.GetItemData(item));
    const DWORD_PTR number = ++m_lastKeyNumber;
    m_keys[number] = key;
    return m_list.SetItemData(item, number);
}

std::wstring PlaylistListAdapter::GetItemKey(int item) const {
    if (item < 0 || item >= m_list.GetItemCount()) {
        return std::wstring();
    }
    const auto found = m_keys.find(m_list.GetItemData(item));
    return found != m_keys.end() ? found->second : std::wstring();
}

int PlaylistListAdapter::GetSelectionMark() const {
    return m_list.GetNextItem(-1, LVNI_FOCUSED);
}

void PlaylistListAdapter::SetSelectionMark(int row) {
    m_list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
}

int PlaylistListAdapter::GetSelectedCount() const {
    return static_cast<int>(m_list.GetSelectedCount());
}

int PlaylistListAdapter::GetNextSelectedItem(int row) const {
    return m_list.GetNextItem(row, LVNI_SELECTED);
}

void PlaylistListAdapter::SetItemSelected(int row, bool selected) {
    m_list.SetItemState(row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

bool PlaylistListAdapter::DeleteItem(int row) {
    if (row < 0 || row >= m_list.GetItemCount()) {
        return false;
    }
    m_keys.erase(m_list.GetItemData(row));
    return m_list.DeleteItem(row) != FALSE;
}

void PlaylistListAdapter::EnsureVisible(int row) {
    m_list.EnsureVisible(row, FALSE);
}

void PlaylistListAdapter::Repaint() {
    m_list.Invalidate(FALSE);
}

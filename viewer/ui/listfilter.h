#pragma once
// Which recordings the playlist shows and in what order: one recording type (9: all) and the
// order flag (1 oldest first, else newest first). Every change refills the list through the
// catalogue; the view then finds the playing recording in it again.

#include "platform/base/wintypes.h"

class IPlaylistControl;
class IRecordingCatalogue;

class ListFilter {
  public:
    static constexpr int kAllTypes = 9;
    static constexpr int kOldestFirst = 1;

    ListFilter(IRecordingCatalogue& catalogue, IPlaylistControl& list)
        : m_catalogue(catalogue), m_list(list) {}

    int GetFilterType() const { return m_filterType; }
    int GetOrderFlag() const { return m_orderFlag; }

    // The type of a filter command (32771-32776), or -1 for any other id.
    static int FilterTypeOfCommand(UINT id);
    // Shows one type, oldest first.
    void SetFilter(int type);
    // Swaps the order and refills; false, changing nothing, while the list is empty.
    bool ToggleOrder();
    // Every type, oldest first, for a card just opened; the order flag stays as it was.
    void ShowAll();
    // Rows added one by one (files, a plain folder) may be of any type: the filter stops naming one.
    void SetFilterType(int type) { m_filterType = type; }

  private:
    IRecordingCatalogue& m_catalogue;
    IPlaylistControl& m_list;
    int m_filterType = kAllTypes;
    int m_orderFlag = kOldestFirst;
};

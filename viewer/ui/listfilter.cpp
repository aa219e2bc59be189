#include "viewer/ui/listfilter.h"

#include "viewer/ui/playlistcontrol.h"
#include "viewer/ui/recordingcatalogue.h"

int ListFilter::FilterTypeOfCommand(UINT id) {
    switch (id) {
    case 32771:
        return 3;
    case 32772:
        return 4;
    case 32773:
        return 6;
    case 32774:
        return 5;
    case 32775:
        return kAllTypes;
    case 32776:
        return 7;
    default:
        return -1;
    }
}

void ListFilter::SetFilter(int type) {
    m_filterType = type;
    m_orderFlag = kOldestFirst;
    m_catalogue.FillListByType(&m_list, m_filterType, m_orderFlag);
}

bool ListFilter::ToggleOrder() {
    if (m_list.GetItemCount() <= 0) {
        return false;
    }
    m_orderFlag = m_orderFlag == kOldestFirst ? 0 : kOldestFirst;
    m_catalogue.FillListByType(&m_list, m_filterType, m_orderFlag);
    return true;
}

void ListFilter::ShowAll() {
    m_filterType = kAllTypes;
    m_catalogue.FillListByType(&m_list, kAllTypes, kOldestFirst);
}

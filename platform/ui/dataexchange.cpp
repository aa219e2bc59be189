#include "platform/ui/dataexchange.h"

#include "platform/base/trace.h"

#include <string>

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    if (exchange == nullptr || exchange->m_pDlgWnd == nullptr || control.m_hWnd != nullptr) {
        return;
    }
    if (!control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd)) {
        TraceLine("DDX_Control: dialog item " + std::to_string(id) + " cannot be bound");
        exchange->m_bFailed = true;
    }
}

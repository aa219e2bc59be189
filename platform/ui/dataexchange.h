#pragma once
// Data exchange of a dialog: DoDataExchange binds control ids to control objects (DDX_Control);
// the dialog's initialisation runs it once with save FALSE, so bound controls are ready in
// OnInitDialog after the base's.

#include "platform/ui/wnd.h"

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    // Set by an exchange that could not be done; UpdateData then answers FALSE.
    bool m_bFailed = false;
};

// The control object takes over the dialog's item (SubclassDlgItem) the first time; a missing
// item is traced and fails the exchange.
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

#include "viewer/ui/waitingdialog.h"

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/static.h"
#include "viewer/app/globals.h"

namespace {

// A pop-up with a thin border, centred, without caption.
const DialogResource kTemplate(CWaitingDialog::IDD,
                               DialogTemplate{WS_POPUP | WS_BORDER | DS_CENTER | DS_SETFONT,
                                              0,
                                              0,
                                              0,
                                              318,
                                              71,
                                              L"",
                                              L"MS Shell Dlg",
                                              8,
                                              {
                                                  {L"Static", L"", WS_VISIBLE | SS_CENTER, 0, 7, 24, 304, 24,
                                                   CWaitingDialog::kText},
                                              }});

} // namespace

CWaitingDialog::CWaitingDialog(CWnd* parent) : CDialog(IDD, parent) {}

void CWaitingDialog::SetText(const CString& text) {
    m_text = text;
    SetDlgItemText(kText, m_text);
}

BOOL CWaitingDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(kText, m_text);
    return TRUE;
}

LRESULT CWaitingDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SET_STATUS_TEXT) {
        SetDlgItemText(kText, reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

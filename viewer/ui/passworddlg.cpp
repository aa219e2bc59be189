#include "viewer/ui/passworddlg.h"

#include "platform/base/resourcemodule.h"
#include "platform/ui/app.h"
#include "platform/ui/button.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/edit.h"
#include "platform/ui/static.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"

namespace {

constexpr UINT kStringTitle = 216;
constexpr UINT kStringNotice = 218;
constexpr UINT kStringPassword = 219;
constexpr UINT kStringConfirmation = 220;
constexpr UINT kStringCarNumber = 221;

constexpr DWORD kLabel = WS_VISIBLE | SS_RIGHT;
constexpr DWORD kEdit = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

const DialogResource kTemplate(
    PasswordDlg::IDD,
    DialogTemplate{
        WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
        0,
        0,
        0,
        250,
        138,
        L"Password",
        L"MS Shell Dlg",
        9,
        {
            {L"Static", L"", kLabel, 0, 7, 12, 80, 10, PasswordDlg::kPasswordLabel},
            {L"Edit", L"", kEdit | ES_PASSWORD, 0, 92, 10, 150, 14, PasswordDlg::kPasswordEdit},
            {L"Static", L"", kLabel, 0, 7, 32, 80, 10, PasswordDlg::kConfirmationLabel},
            {L"Edit", L"", kEdit | ES_PASSWORD, 0, 92, 30, 150, 14, PasswordDlg::kConfirmationEdit},
            {L"Static", L"", kLabel, 0, 7, 52, 80, 10, PasswordDlg::kCarNumberLabel},
            {L"Edit", L"", kEdit, 0, 92, 50, 150, 14, PasswordDlg::kCarNumberEdit},
            {L"Static", L"", kLabel, 0, 7, 72, 235, 32, PasswordDlg::kNotice},
            {L"Button", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 136, 115, 50, 14, IDOK},
            {L"Button", L"Cancel", WS_VISIBLE | WS_TABSTOP, 0, 192, 115, 50, 14, IDCANCEL},
        }});

} // namespace

PasswordDlg::PasswordDlg() : CDialog(IDD, nullptr) {}

BOOL PasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int id : {kPasswordEdit, kConfirmationEdit}) {
        ::SendMessageW(::GetDlgItem(m_hWnd, id), EM_SETPASSWORDCHAR, L'*', 0);
    }
    LoadTexts();
    return TRUE;
}

std::wstring PasswordDlg::LoadText(UINT id) {
    return LoadStringLang(g_hResourceDll, id, m_languageId);
}

void PasswordDlg::LoadTexts() {
    SetWindowText(LoadText(kStringTitle).c_str());
    SetDlgItemText(kPasswordLabel, LoadText(kStringPassword).c_str());
    SetDlgItemText(kConfirmationLabel, LoadText(kStringConfirmation).c_str());
    SetDlgItemText(kCarNumberLabel, LoadText(kStringCarNumber).c_str());
    SetDlgItemText(kNotice, LoadText(kStringNotice).c_str());
}

std::wstring PasswordDlg::ItemText(int id) const {
    CString text;
    GetDlgItemText(id, text);
    return static_cast<const std::wstring&>(text);
}

void PasswordDlg::ShowItem(int id, bool show) {
    if (CWnd* item = GetDlgItem(id)) {
        item->ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
}

void PasswordDlg::ShowMode(bool confirmation, bool notice, bool carNumberEnabled,
                           const std::wstring& carNumber) {
    ClearPasswordEdits();
    ShowItem(kConfirmationEdit, confirmation);
    ShowItem(kConfirmationLabel, confirmation);
    ShowItem(kNotice, notice);
    if (CWnd* edit = GetDlgItem(kCarNumberEdit)) {
        edit->EnableWindow(carNumberEnabled ? TRUE : FALSE);
    }
    SetDlgItemText(kCarNumberEdit, carNumber.c_str());
}

void PasswordDlg::ClearPasswordEdits() {
    SetDlgItemText(kPasswordEdit, L"");
    SetDlgItemText(kConfirmationEdit, L"");
}

void PasswordDlg::EnableOwner() {
    if (m_view != nullptr) {
        m_view->EnableWindow(TRUE);
    }
}

void PasswordDlg::ExitProgram() {
    if (CWnd* main = AfxGetMainWnd()) {
        main->PostMessage(WM_COMMAND, kAppExit, 0);
    }
}

void PasswordDlg::CloseLock() {
    ShowWindow(SW_HIDE);
}

void PasswordDlg::ShowLocked() {
    if (m_view != nullptr) {
        CRect view;
        CRect lock;
        m_view->GetWindowRect(&view);
        GetWindowRect(&lock);
        SetWindowPos(HWND_TOPMOST, view.left + (view.Width() - lock.Width()) / 2,
                     view.top + (view.Height() - lock.Height()) / 2, 0, 0, SWP_NOSIZE);
        m_view->EnableWindow(FALSE);
    }
    ShowWindow(SW_SHOW);
}

void PasswordDlg::OnOK() {
    m_lock.OnOk(ItemText(kPasswordEdit), ItemText(kConfirmationEdit), ItemText(kCarNumberEdit));
}

void PasswordDlg::OnCancel() {
    m_lock.OnCancel();
}

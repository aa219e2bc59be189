#include "viewer/ui/selectmodeldialog.h"

#include "platform/ui/button.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/window.h"
#include "viewer/catalogue/sharedhelpers.h"

namespace {

constexpr DWORD kRadio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;

const DialogResource
    kTemplate(CSelectModelDialog::IDD,
              DialogTemplate{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
                             0,
                             0,
                             0,
                             160,
                             90,
                             L"Select model",
                             L"MS Shell Dlg",
                             8,
                             {
                                 {L"Button", L"T550", kRadio | WS_GROUP, 0, 14, 10, 80, 12, 20030},
                                 {L"Button", L"T310", kRadio, 0, 14, 24, 80, 12, 20031},
                                 {L"Button", L"T330", kRadio, 0, 14, 38, 80, 12, 20032},
                                 {L"Button", L"R310 / R330", kRadio, 0, 14, 52, 80, 12, 20033},
                                 {L"Button", L"OK", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0,
                                  103, 69, 50, 14, IDOK},
                             }});

} // namespace

CSelectModelDialog::CSelectModelDialog(CWnd* parent) : CDialog(IDD, parent) {}

int CSelectModelDialog::ModelIndexOfCommand(UINT id) {
    return id >= kFirstModelButton && id <= kLastModelButton ? static_cast<int>(id - kFirstModelButton) : -1;
}

BOOL CSelectModelDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // The picker starts from model 0 whatever was set before, so its button is the one checked.
    SetModelIndex(0);
    ::SendMessageW(::GetDlgItem(m_hWnd, static_cast<int>(kFirstModelButton)), BM_SETCHECK, BST_CHECKED, 0);
    return TRUE;
}

BOOL CSelectModelDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int model = ModelIndexOfCommand(LOWORD(wParam));
    if (model != -1 && HIWORD(wParam) == BN_CLICKED) {
        SetModelIndex(model);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

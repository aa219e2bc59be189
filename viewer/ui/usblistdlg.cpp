#include "viewer/ui/usblistdlg.h"

#include "platform/ui/button.h"
#include "platform/ui/dataexchange.h"
#include "platform/ui/dialogtemplate.h"
#include "viewer/ui/recorderdrivelist.h"

namespace {

const DialogResource kTemplate(
    CUSBListDlg::IDD,
    DialogTemplate{
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
        0,
        0,
        0,
        186,
        62,
        L"Dialog",
        L"MS Shell Dlg",
        8,
        {
            {L"ComboBox", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 0, 7, 7,
             172, 60, CUSBListDlg::kDriveList},
            {L"Button", L"Open", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 7, 41, 50, 14,
             CUSBListDlg::kOpen},
            {L"Button", L"Cancel", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 129, 41, 50, 14, IDOK},
        }});

} // namespace

CUSBListDlg::CUSBListDlg(CWnd* parent) : CDialog(IDD, parent) {}

void CUSBListDlg::SetDriveIds(const DWORD* vids, const DWORD* pids) {
    m_vids = vids;
    m_pids = pids;
}

void CUSBListDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, kDriveList, m_driveList);
}

BOOL CUSBListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (m_vids == nullptr || m_pids == nullptr || m_skin == nullptr) {
        return TRUE;
    }
    for (const RecorderDriveList::Entry& entry : RecorderDriveList::Entries(m_vids, m_pids, *m_skin)) {
        const int at = m_driveList.AddString(entry.text.c_str());
        m_driveList.SetItemData(at, static_cast<DWORD_PTR>(entry.drive));
    }
    m_driveList.SetCurSel(0);
    // The sorted list's first entry is the choice: with several recorders, the one whose text sorts
    // first, which for one model is the lowest letter.
    m_selectedDrive = m_driveList.GetCount() > 0 ? static_cast<int>(m_driveList.GetItemData(0)) : -1;
    OnOK();
    return TRUE;
}

#include "viewer/ui/repairwaitdlg.h"

#include "platform/ui/dataexchange.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/guithread.h"
#include "platform/ui/static.h"

namespace {

const DialogResource kTemplate(
    RepairWaitDlg::IDD,
    DialogTemplate{WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
                   0,
                   0,
                   0,
                   255,
                   84,
                   L"復元中です。",
                   L"MS Shell Dlg",
                   8,
                   {
                       {L"Static", L"파일을 복원 중입니다.", WS_VISIBLE | SS_CENTER, 0, 124, 33, 109, 9,
                        RepairWaitDlg::kText},
                       {L"Static", L"", WS_VISIBLE | SS_BLACKFRAME, 0, 7, 7, 83, 69, RepairWaitDlg::kPicture},
                   }});

} // namespace

RepairWaitDlg::RepairWaitDlg(CWnd* parent) : CDialog(IDD, parent) {}

RepairWaitDlg::~RepairWaitDlg() {
    m_picture.Stop();
}

CPoint RepairWaitDlg::CentredOrigin(const CRect& box, const CRect& reference) {
    return CPoint((reference.Width() - box.Width()) / 2 + reference.left,
                  (reference.Height() - box.Height()) / 2 + reference.top);
}

void RepairWaitDlg::ShowCentred(const CRect& reference) {
    RunOnGuiThread(
        [this, reference] {
            if (m_hWnd == nullptr) {
                return;
            }
            Centre(reference);
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE);
            ShowWindow(SW_SHOW);
            // The window manager may give the frame its size only when the box first shows.
            Centre(reference);
        },
        true);
}

void RepairWaitDlg::Centre(const CRect& reference) {
    CRect box;
    GetWindowRect(&box);
    const CPoint origin = CentredOrigin(box, reference);
    SetWindowPos(HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE);
}

void RepairWaitDlg::Hide() {
    RunOnGuiThread(
        [this] {
            if (m_hWnd != nullptr) {
                ShowWindow(SW_HIDE);
            }
        },
        true);
}

void RepairWaitDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, kPicture, m_picture);
}

BOOL RepairWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (GetDlgItem(kText) != nullptr) {
        SetDlgItemText(kText, L"ファイルの復元中です。");
    }
    // Without its picture the box still tells what is going on.
    if (m_picture.Load(MAKEINTRESOURCEW(kAnimation), L"GIF")) {
        m_picture.Draw();
    }
    return TRUE;
}

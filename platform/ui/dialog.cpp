#include "platform/ui/dialog.h"

#include "platform/ui/app.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <QEventLoop>

struct CDialog::ModalLoop {
    QEventLoop loop;
};

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::CreateDialogWindow(HWND parent, DWORD style) {
    CRect rect = m_templateRect;
    if ((style & WS_CHILD) == 0 && (style & DS_CENTER) != 0) {
        RECT around;
        if (parent == nullptr || !::GetWindowRect(parent, &around)) {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
        }
        rect.MoveToXY(around.left + (around.right - around.left - rect.Width()) / 2,
                      around.top + (around.bottom - around.top - rect.Height()) / 2);
    }
    if (!CreateEx(m_templateExStyle, L"#32770", m_templateCaption, style & ~WS_VISIBLE, rect.left, rect.top,
                  rect.Width(), rect.Height(), parent, nullptr)) {
        return FALSE;
    }
    SendMessage(WM_INITDIALOG, 0, 0);
    return m_hWnd != nullptr ? TRUE : FALSE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (parent != nullptr) {
        m_pParentWnd = parent;
    }
    CWnd* owner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    m_ended = false;
    if (!CreateDialogWindow(owner != nullptr ? owner->m_hWnd : nullptr, m_templateStyle)) {
        return FALSE;
    }
    if ((m_templateStyle & WS_VISIBLE) != 0 && !m_ended) {
        ShowWindow(SW_SHOW);
    }
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    CWnd* parent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    const HWND owner = parent != nullptr ? uiimpl::TopLevelOf(parent->m_hWnd) : nullptr;
    m_result = -1;
    m_ended = false;
    if (!CreateDialogWindow(owner, m_templateStyle & ~WS_CHILD)) {
        return -1;
    }
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) {
        if (const HWND capture = ::GetCapture()) {
            ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
        }
        ::EnableWindow(owner, FALSE);
    }
    if (!m_ended && m_hWnd != nullptr) {
        ShowWindow(SW_SHOW);
        m_modal = std::make_unique<ModalLoop>();
        if (!m_ended) {
            m_modal->loop.exec(QEventLoop::DialogExec);
        }
        m_modal.reset();
    }
    if (disableOwner) {
        ::EnableWindow(owner, TRUE);
    }
    DestroyWindow();
    return m_result;
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (m_modal) {
        m_modal->loop.exit();
    } else if (m_hWnd != nullptr) {
        ShowWindow(SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN) &&
        (message->hwnd == m_hWnd || ::IsChild(m_hWnd, message->hwnd))) {
        const int command = message->wParam == VK_ESCAPE ? IDCANCEL : IDOK;
        SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED), 0);
        return TRUE;
    }
    return CWnd::PreTranslateMessage(message);
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

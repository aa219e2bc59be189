#include "platform/ui/dialog.h"

#include "platform/base/trace.h"
#include "platform/ui/app.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <QEventLoop>

#include <string>

struct CDialog::ModalLoop {
    QEventLoop loop;
};

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

const DialogTemplate* CDialog::Resource() const {
    return m_nIDTemplate != 0 ? FindDialogTemplate(m_nIDTemplate) : nullptr;
}

DWORD CDialog::FrameStyle() const {
    const DialogTemplate* resource = Resource();
    return resource != nullptr ? resource->style : m_templateStyle;
}

bool CDialog::CreateControls(const DialogTemplate& resource) {
    const HFONT font = (resource.style & DS_SETFONT) != 0 ? DialogFont(resource) : nullptr;
    if (font != nullptr) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    for (const DialogItemTemplate& item : resource.items) {
        // Until the program binds a control to an object of its own, the layer's plain object
        // receives its messages and hands them to the control's class.
        auto control = std::make_unique<CWnd>();
        const RECT rect = DialogUnitsToPixels(resource, item.x, item.y, item.cx, item.cy);
        if (!control->CreateEx(item.exStyle, item.className, item.text, item.style | WS_CHILD, rect, this,
                               item.id)) {
            TraceLine("dialog " + std::to_string(m_nIDTemplate) + ": control " + std::to_string(item.id) +
                      " cannot be made");
            return false;
        }
        const HWND handle = control->m_hWnd;
        if (uiimpl::Window* record = uiimpl::Lookup(handle)) {
            record->layerObject = std::move(control);
        }
        if (font != nullptr) {
            ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
    return true;
}

BOOL CDialog::CreateDialogWindow(HWND owner, bool modal) {
    const DialogTemplate* resource = Resource();
    DWORD style = m_templateStyle;
    DWORD exStyle = m_templateExStyle;
    CRect rect = m_templateRect;
    CString caption = m_templateCaption;
    if (resource != nullptr) {
        style = resource->style;
        exStyle = resource->exStyle;
        rect = CRect(DialogUnitsToPixels(*resource, resource->x, resource->y, resource->cx, resource->cy));
        caption = resource->caption;
    }
    if (modal) {
        style &= ~WS_CHILD;
    }
    const bool topLevel = (style & WS_CHILD) == 0;
    if (topLevel && (style & DS_CENTER) != 0) {
        RECT around;
        if (owner == nullptr || !::GetWindowRect(owner, &around)) {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
        }
        rect.MoveToXY(around.left + (around.right - around.left - rect.Width()) / 2,
                      around.top + (around.bottom - around.top - rect.Height()) / 2);
    } else if (topLevel && resource != nullptr && owner != nullptr) {
        POINT origin{0, 0};
        ::ClientToScreen(owner, &origin);
        rect.OffsetRect(origin.x, origin.y);
    }
    if (!CreateEx(exStyle, L"#32770", caption, style & ~WS_VISIBLE, rect.left, rect.top, rect.Width(),
                  rect.Height(), owner, nullptr)) {
        return FALSE;
    }
    if (resource != nullptr) {
        if (uiimpl::Window* record = uiimpl::Lookup(m_hWnd)) {
            record->dialogBaseUnits = DialogBaseUnits(*resource);
        }
        if (!CreateControls(*resource)) {
            DestroyWindow();
            return FALSE;
        }
    }
    if (SendMessage(WM_INITDIALOG, 0, 0) != 0 && m_hWnd != nullptr) {
        for (HWND child : uiimpl::ChildrenOf(m_hWnd)) {
            const uiimpl::Window* record = uiimpl::Lookup(child);
            if (record != nullptr && record->widget &&
                (record->style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE)) {
                record->widget->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    return m_hWnd != nullptr ? TRUE : FALSE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (parent != nullptr) {
        m_pParentWnd = parent;
    }
    CWnd* owner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    m_ended = false;
    if (!CreateDialogWindow(owner != nullptr ? owner->m_hWnd : nullptr, false)) {
        return FALSE;
    }
    if ((FrameStyle() & WS_VISIBLE) != 0 && !m_ended) {
        ShowWindow(SW_SHOW);
    }
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    CWnd* parent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    const HWND owner = parent != nullptr ? uiimpl::TopLevelOf(parent->m_hWnd) : nullptr;
    m_result = -1;
    m_ended = false;
    if (!CreateDialogWindow(owner, true)) {
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
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::MapDialogRect(LPRECT rect) const {
    ::MapDialogRect(m_hWnd, rect);
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

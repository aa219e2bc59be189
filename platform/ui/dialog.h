#pragma once
// Dialogs without templates: the dialog window is made empty, with the frame the class sets in the
// template fields before creating it, and its controls are made in code (usually OnInitDialog).
// Enter and Escape inside a dialog become IDOK and IDCANCEL, which end the dialog unless a class
// handles them otherwise.

#include "platform/ui/wnd.h"

#include <memory>

class CDialog : public CWnd {
  public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modeless: a child dialog when the style holds WS_CHILD, else a pop-up owned by the parent.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs its own message loop until EndDialog; the owner is disabled meanwhile. Answers the
    // result given to EndDialog, or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* message) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    // The frame a template would give.
    DWORD m_templateStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    DWORD m_templateExStyle = WS_EX_DLGMODALFRAME;
    CRect m_templateRect;
    CString m_templateCaption;

  protected:
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct ModalLoop;
    BOOL CreateDialogWindow(HWND parent, DWORD style);

    std::unique_ptr<ModalLoop> m_modal;
    int m_result = -1;
    bool m_ended = false;
};

#pragma once
// Dialogs. A dialog whose id names one of the program's dialog resources (dialogtemplate.h) is made
// from it: its frame and controls exist before OnInitDialog. Without one the dialog window is made
// empty, with the frame the class sets in the template fields below, and its controls are made in
// code (usually OnInitDialog). OnInitDialog's base runs the data exchange (DDX_Control binds
// controls); answering TRUE gives the focus to the first control with WS_TABSTOP. Enter and Escape
// inside a dialog become IDOK and IDCANCEL, which end the dialog unless a class handles them
// otherwise.

#include "platform/ui/wnd.h"

#include <memory>

struct DialogTemplate;

class CDialog : public CWnd {
  public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    using CWnd::Create;
    // Modeless: a child dialog when the style holds WS_CHILD, else a pop-up owned by the parent.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs its own message loop until EndDialog; the owner is disabled meanwhile. Answers the
    // result given to EndDialog, or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* message) override;
    // Dialog units to pixels, for a dialog made from a template.
    void MapDialogRect(LPRECT rect) const;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    // The frame of a dialog without a dialog resource.
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
    const DialogTemplate* Resource() const;
    DWORD FrameStyle() const;
    BOOL CreateDialogWindow(HWND owner, bool modal);
    bool CreateControls(const DialogTemplate& resource);

    std::unique_ptr<ModalLoop> m_modal;
    int m_result = -1;
    bool m_ended = false;
};

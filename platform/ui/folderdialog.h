#pragma once
// The folder browser, on Qt's file dialog: it lists file-system folders only and has a field for
// typing a path, as a browser asked for BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE
// has. The chosen path is returned whole, however long.

#include "platform/base/cstring.h"
#include "platform/ui/wnd.h"

class CFolderDialog {
  public:
    explicit CFolderDialog(LPCWSTR title = nullptr, CWnd* parent = nullptr);

    // IDOK when a folder was chosen, else IDCANCEL. Modal over the parent's top-level window (the
    // main window without a parent).
    INT_PTR DoModal();
    // The chosen folder; empty after a cancel.
    CString GetFolderPath() const { return m_folder; }

  private:
    CString m_title;
    CWnd* m_parent;
    CString m_folder;
};

#pragma once
// The wait box shown while a dropped or chosen folder is read: one centred line, given with
// SetText (or WM_SET_STATUS_TEXT), which it keeps and shows from its creation on.

#include "platform/base/cstring.h"
#include "platform/ui/dialog.h"

class CWaitingDialog : public CDialog {
  public:
    enum { IDD = 189 };
    static constexpr int kText = 1020;

    explicit CWaitingDialog(CWnd* parent = nullptr);

    void SetText(const CString& text);

  protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    CString m_text;
};

#pragma once
// The loading box of the start-up: a picture with the program's version and a status line, which
// the view updates with WM_SET_STATUS_TEXT (the text in lParam) while it loads the skin and
// analyses a card. The user-interface thread does not pump messages meanwhile, so the view sends.

#include "platform/base/cstring.h"
#include "platform/base/resourcemodule.h"
#include "platform/ui/dialog.h"

class LoadingMsgDlg : public CDialog {
  public:
    enum { IDD = 163 };
    static constexpr int kPicture = 1065;
    static constexpr int kStatus = 1020;
    static constexpr int kVersion = 1021;

    explicit LoadingMsgDlg(CWnd* parent = nullptr);

    // The value of the key ("FileVersion") in the program's version block; empty when anything is
    // missing. Only the program (a null module) carries version resources here.
    static CString GetVersionString(HMODULE module, LPCWSTR key);
    // Where the key's value lies in a version block: under the block of the first entry of the
    // translation table when the table is exactly one language and code page (4 bytes), else
    // under the user's language with the Unicode code page (04B0). Empty when the path does not
    // fit the 256 characters the path may take.
    static CString VersionValuePath(const void* translation, UINT translationBytes, LANGID userLanguage,
                                    LPCWSTR key);

  protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT type) override;
};

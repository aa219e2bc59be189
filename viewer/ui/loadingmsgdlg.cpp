#include "viewer/ui/loadingmsgdlg.h"

#include "platform/base/userlocale.h"
#include "platform/ui/dc.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/resources.h"
#include "platform/ui/static.h"
#include "viewer/app/globals.h"

namespace {

constexpr COLORREF kTextColor = 0x676767;
constexpr COLORREF kBackgroundColor = 0x171717;
constexpr int kLongestPath = 256;

// A pop-up with a thin border, centred, without caption; the picture fills it and the two lines
// lie on its bottom strip.
const DialogResource kTemplate(LoadingMsgDlg::IDD,
                               DialogTemplate{WS_POPUP | WS_BORDER | DS_CENTER | DS_SETFONT,
                                              0,
                                              0,
                                              0,
                                              320,
                                              153,
                                              L"",
                                              L"MS Shell Dlg",
                                              8,
                                              {
                                                  {L"Static", L"#323", WS_VISIBLE | SS_BITMAP, 0, 0, 0, 320, 153,
                                                   LoadingMsgDlg::kPicture},
                                                  {L"Static", L"Waiting...", WS_VISIBLE | SS_RIGHT, 0, 160, 138, 153,
                                                   9, LoadingMsgDlg::kStatus},
                                                  {L"Static", L"", WS_VISIBLE | SS_LEFT, 0, 7, 138, 150, 9,
                                                   LoadingMsgDlg::kVersion},
                                              }});

} // namespace

LoadingMsgDlg::LoadingMsgDlg(CWnd* parent) : CDialog(IDD, parent) {}

CString LoadingMsgDlg::VersionValuePath(const void* translation, UINT translationBytes, LANGID userLanguage,
                                        LPCWSTR key) {
    CString path;
    if (translation != nullptr && translationBytes == 4) {
        const auto* words = static_cast<const WORD*>(translation);
        path.Format(L"\\StringFileInfo\\%02X%02X%02X%02X\\%s", HIBYTE(words[0]), LOBYTE(words[0]),
                    HIBYTE(words[1]), LOBYTE(words[1]), key);
    } else {
        path.Format(L"\\StringFileInfo\\%04X04B0\\%s", userLanguage, key);
    }
    return path.GetLength() < kLongestPath ? path : CString();
}

CString LoadingMsgDlg::GetVersionString(HMODULE module, LPCWSTR key) {
    if (module != nullptr || key == nullptr) {
        return CString();
    }
    const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION);
    const void* block = resource != nullptr ? LockResource(LoadResource(nullptr, resource)) : nullptr;
    if (block == nullptr) {
        return CString();
    }
    void* translation = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(block, L"\\VarFileInfo\\Translation", &translation, &translationBytes)) {
        translation = nullptr;
        translationBytes = 0;
    }
    const CString path = VersionValuePath(translation, translationBytes, GetUserDefaultLangID(), key);
    void* value = nullptr;
    UINT length = 0;
    if (path.IsEmpty() || !VerQueryValueW(block, path, &value, &length) || value == nullptr) {
        return CString();
    }
    return CString(static_cast<const wchar_t*>(value));
}

BOOL LoadingMsgDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(kVersion, CString(L"Version: ") + GetVersionString(nullptr, L"FileVersion"));
    return TRUE;
}

LRESULT LoadingMsgDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SET_STATUS_TEXT) {
        SetDlgItemText(kStatus, reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

HBRUSH LoadingMsgDlg::OnCtlColor(CDC* dc, CWnd* window, UINT type) {
    if (type != CTLCOLOR_STATIC) {
        return CDialog::OnCtlColor(dc, window, type);
    }
    // The picture shows through around the lines.
    dc->SetTextColor(kTextColor);
    dc->SetBkColor(kBackgroundColor);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

#pragma once
// The application object and its message loop. The program makes one CWinApp (a derived class)
// in main, before any window, and hands control to AfxWinMain. The object makes Qt's application
// object when none exists yet, after choosing the display platform (displayplatform.h).

#include "platform/base/cstring.h"
#include "platform/ui/windefs.h"

#include <memory>

class CWnd;
class QApplication;

class CWinApp {
  public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program at once (after ExitInstance).
    virtual BOOL InitInstance();
    // The message loop; it ends with PostQuitMessage (or the main window's destruction) and answers
    // ExitInstance's result.
    virtual int Run();
    // Answers the program's exit code: the one PostQuitMessage gave.
    virtual int ExitInstance();
    // First look at every queued key, mouse and posted message; the default walks the window and
    // its parents (CWnd::WalkPreTranslateTree).
    virtual BOOL PreTranslateMessage(MSG* message);
    // An icon of the program's resources (icon.h).
    HICON LoadIcon(UINT id) const;

    CWnd* m_pMainWnd = nullptr;
    CString m_strAppName;
    // The arguments after the program's name, separated by blanks, each with blanks quoted.
    CString m_lpCmdLine;

  protected:
    int m_exitCode = 0;

  private:
    std::unique_ptr<QApplication> m_application;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
int AfxWinMain(int argc, char** argv);

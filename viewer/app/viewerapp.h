#pragma once
// The application object: one viewer per user session, the string library bound as data, the
// screen size recorded, the frame made; and at the end the frame, the metadata parser's buffer
// and the string library freed, in that order.

#include "platform/ui/app.h"
#include "platform/ui/windefs.h"

#include <memory>
#include <string>

class CMainFrame;

class CViewerApp : public CWinApp {
  public:
    // The fixed name of the event that stands for a running viewer.
    static constexpr const wchar_t* kInstanceEventName = L"q7mvtrx2pazk9wd4hsbnf6ljye";
    // The title a second start looks for: the frame's.
    static constexpr const wchar_t* kMainWindowTitle = L"TREVO_VIEWER";

    // Records the screen; Qt knows it only once its application object exists, which the base
    // makes first. The string library is the one beside the program unless a test names another.
    explicit CViewerApp(std::wstring stringLibrary = L"TREVO_Res.dll");
    ~CViewerApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Null until InitInstance made it, and again once it is gone.
    CMainFrame* GetFrame() const { return m_frame.get(); }

  private:
    std::wstring m_stringLibrary;
    // Held for the whole run: it is what tells a second start that this one runs.
    HANDLE m_instanceEvent = nullptr;
    std::unique_ptr<CMainFrame> m_frame;
};

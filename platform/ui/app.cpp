#include "platform/ui/app.h"

#include "platform/base/unicode.h"
#include "platform/ui/displayplatform.h"
#include "platform/ui/icon.h"
#include "platform/ui/windowimpl.h"
#include "platform/ui/wnd.h"

#include <QApplication>
#include <QCoreApplication>

#include <string>

namespace {

CWinApp* application = nullptr;

std::wstring QuotedArgument(const std::wstring& argument) {
    return argument.find(L' ') == std::wstring::npos ? argument : L"\"" + argument + L"\"";
}

} // namespace

namespace uiimpl {

bool PreTranslate(MSG& message) {
    if (application != nullptr) {
        return application->PreTranslateMessage(&message) != FALSE;
    }
    return CWnd::WalkPreTranslateTree(&message) != FALSE;
}

} // namespace uiimpl

CWinApp::CWinApp(LPCWSTR appName) : m_strAppName(appName != nullptr ? appName : L"TREVO_VIEWER") {
    application = this;
    if (QCoreApplication::instance() == nullptr) {
        ChooseDisplayPlatform();
        // Qt keeps references to these for the application object's whole life.
        static int argumentCount = 1;
        static char programName[] = "TREVO_VIEWER";
        static char* arguments[] = {programName, nullptr};
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        m_application = std::make_unique<QApplication>(argumentCount, arguments);
    }
    uiimpl::EnsureStarted();
}

CWinApp::~CWinApp() {
    if (application == this) {
        application = nullptr;
        uiimpl::ResumeHandOver();
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    m_exitCode = QCoreApplication::exec();
    // From here on nothing waits for the GUI thread: it no longer takes calls.
    uiimpl::EndHandOver();
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

BOOL CWinApp::PreTranslateMessage(MSG* message) {
    return CWnd::WalkPreTranslateTree(message);
}

HICON CWinApp::LoadIcon(UINT id) const {
    return LoadIconW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(id)));
}

CWinApp* AfxGetApp() {
    return application;
}

CWnd* AfxGetMainWnd() {
    return application != nullptr ? application->m_pMainWnd : nullptr;
}

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) {
        if (!commandLine.empty()) {
            commandLine += L' ';
        }
        commandLine += QuotedArgument(WideFromUtf8(argv[i]));
    }
    app->m_lpCmdLine = CString(commandLine);
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr) {
            app->m_pMainWnd->DestroyWindow();
        }
        return app->ExitInstance();
    }
    return app->Run();
}

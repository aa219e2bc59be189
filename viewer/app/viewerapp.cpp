#include "viewer/app/viewerapp.h"

#include "platform/base/lasterror.h"
#include "platform/base/resourcemodule.h"
#include "platform/devices/volumewatcher.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/screen.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/aviheaderinfo.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/ui/mainframe.h"

#include <clocale>

CViewerApp::CViewerApp(std::wstring stringLibrary)
    : CWinApp(L"TREVO_VIEWER"), m_stringLibrary(std::move(stringLibrary)) {
    std::setlocale(LC_ALL, "");
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    g_monitorLeft = 0;
    g_layoutWidth = 1920;
    g_layoutHeight = 1080;
}

CViewerApp::~CViewerApp() {
    m_pMainWnd = nullptr;
    m_frame.reset();
    // Let go while Qt still runs: its socket goes with it, and the next start finds no one.
    if (m_instanceEvent != nullptr) {
        CloseHandle(m_instanceEvent);
        m_instanceEvent = nullptr;
    }
    if (g_hResourceDll != nullptr) {
        FreeLibrary(g_hResourceDll);
        g_hResourceDll = nullptr;
    }
}

BOOL CViewerApp::InitInstance() {
    CWinApp::InitInstance();
    m_instanceEvent = CreateEventW(nullptr, FALSE, TRUE, kInstanceEventName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (const HWND running = FindWindowW(nullptr, kMainWindowTitle)) {
            ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(running);
            return FALSE;
        }
    }
    g_hResourceDll = LoadLibraryExW(m_stringLibrary.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (g_hResourceDll == nullptr) {
        AfxMessageBox(L"Load TREVO_Res.dll fail!!", MB_OK);
        return FALSE;
    }
    // Volumes arrive as messages to the main window from now on; the view looks at the drives
    // as it is made.
    StartVolumeBroadcasts();
    m_frame = std::make_unique<CMainFrame>();
    m_pMainWnd = m_frame.get();
    if (!m_frame->LoadFrame(CMainFrame::kResourceId, CMainFrame::kFrameStyle)) {
        m_pMainWnd = nullptr;
        m_frame.reset();
        return FALSE;
    }
    m_frame->ShowWindow(SW_SHOW);
    m_frame->UpdateWindow();
    CloseLog();
    return TRUE;
}

int CViewerApp::ExitInstance() {
    m_pMainWnd = nullptr;
    m_frame.reset();
    FreeAviTextBuffer();
    return CWinApp::ExitInstance();
}

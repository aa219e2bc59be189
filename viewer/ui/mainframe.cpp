#include "viewer/ui/mainframe.h"

#include "platform/base/trace.h"
#include "platform/ui/devicebroadcast.h"
#include "platform/ui/icon.h"
#include "platform/ui/menu.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/ui/devicechangerules.h"

namespace {

// The program's string 128.
constexpr const wchar_t* kTitle = L"TREVO_VIEWER";
constexpr DWORD kAddToTitle = 0x00008000;
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;

} // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() {
    DestroyWindow();
}

BOOL CMainFrame::LoadFrame(UINT resourceId, DWORD style) {
    m_resourceId = resourceId;
    return CreateEx(0, nullptr, kTitle, style & ~kAddToTitle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, nullptr, nullptr);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& create) {
    if (!CWnd::PreCreateWindow(create)) {
        return FALSE;
    }
    create.dwExStyle &= ~WS_EX_CLIENTEDGE;
    create.style &= ~static_cast<LONG>(WS_MAXIMIZEBOX);
    create.lpszClass = AfxRegisterWndClass(0);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTW create) {
    if (CWnd::OnCreate(create) == -1) {
        return -1;
    }
    SetIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(m_resourceId))), TRUE);
    // Caption and border go before the view's creation places the frame: a place given to a
    // window with a caption would be its caption's, and the picture would move when it goes.
    if (const HMENU menu = ::GetMenu(m_hWnd)) {
        ::SetMenu(m_hWnd, nullptr);
        ::DestroyMenu(menu);
    }
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, 0);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (!m_view.Create(nullptr, nullptr, kViewStyle, CRect(), this, kViewId)) {
        TraceLine(std::string("뷰 창을 만들지 못했습니다."));
        return -1;
    }
    g_hViewWnd = m_view.m_hWnd;
    return 0;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DEVICECHANGE:
        return OnDeviceChange(static_cast<UINT>(wParam), static_cast<DWORD_PTR>(lParam));
    case WM_CONFIG_FILE_ADDED:
        // The catalogue tells the main window; the view is the one that reads the settings again.
        return m_view.m_hWnd != nullptr ? m_view.SendMessage(message, wParam, lParam) : 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL CMainFrame::OnDeviceChange(UINT event, DWORD_PTR data) {
    const DeviceChangeRules::Action action = DeviceChangeRules::Decide(event, static_cast<LPARAM>(data));
    for (const std::string& line : action.traces) {
        TraceLine(line);
    }
    if (action.message != 0 && g_hViewWnd != nullptr) {
        ::SendMessageW(g_hViewWnd, action.message,
                       static_cast<WPARAM>(static_cast<unsigned char>(action.letter)), 0);
    }
    return TRUE;
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (m_view.m_hWnd != nullptr && m_view.HandleCommand(wParam, lParam)) {
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CMainFrame::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYUP && message->wParam == VK_SPACE && g_hViewWnd != nullptr) {
        ::SendMessageW(g_hViewWnd, WM_TOGGLE_PLAY, 0, 0);
        TraceLine(std::string("VK_SPACE!!!!!!!!!!!!!!!!"));
    }
    return CWnd::PreTranslateMessage(message);
}

void CMainFrame::OnSize(UINT type, int width, int height) {
    CWnd::OnSize(type, width, height);
    if (m_view.m_hWnd != nullptr) {
        m_view.MoveWindow(0, 0, width, height, TRUE);
        m_view.RedockPanels();
    }
}

void CMainFrame::OnMove(int x, int y) {
    CWnd::OnMove(x, y);
    if (m_view.m_hWnd != nullptr) {
        m_view.RedockPanels();
    }
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
    CWnd::OnGetMinMaxInfo(info);
    // The window layer keeps every placement within this size, where the platform kept only the
    // user's sizing: a channel enlarged over a narrower monitor must still cover it exactly.
    if (m_view.m_hWnd != nullptr && m_view.IsChannelEnlarged()) {
        return;
    }
    info->ptMinTrackSize.x = kMinTrackWidth;
    info->ptMinTrackSize.y = kMinTrackHeight;
}

void CMainFrame::OnClose() {
    m_view.GetWorkers().JoinAll();
    CWnd::OnClose();
}

BOOL CMainFrame::OnEraseBkgnd(CDC*) {
    return TRUE;
}

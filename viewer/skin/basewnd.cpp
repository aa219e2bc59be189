#include "viewer/skin/basewnd.h"

#include "platform/base/filesystem.h"
#include "platform/base/registry.h"
#include "platform/base/trace.h"
#include "platform/ui/cursor.h"
#include "platform/ui/drop.h"
#include "platform/ui/resources.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/color.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

HINSTANCE g_defaultResourceModule = nullptr;
bool g_defaultResourceModuleSet = false;

} // namespace

CBaseWnd::CBaseWnd() = default;

CBaseWnd::~CBaseWnd() {
    // The window goes first, while the derived parts it paints with still exist.
    DestroyWindow();
}

BOOL CBaseWnd::Create(CWnd* parent, CRect rect, UINT id, DWORD style) {
    if (m_notifyWnd == nullptr && parent != nullptr) {
        m_notifyWnd = parent->GetSafeHwnd();
    }
    return CreateEx(WS_EX_ACCEPTFILES, m_className, L"", style, rect, parent, id);
}

void CBaseWnd::ModifyOptions(DWORD remove, DWORD add, DWORD) {
    m_options = (m_options & ~remove) | add;
}

void CBaseWnd::SetDefaultResourceModule(HINSTANCE module) {
    if (g_defaultResourceModuleSet) {
        TraceLine(L"CBaseWnd::SetDefaultResourceModule called twice");
        return;
    }
    g_defaultResourceModule = module;
    g_defaultResourceModuleSet = true;
}

HBITMAP CBaseWnd::LoadBitmapResource(UINT id) {
    HINSTANCE module = m_resourceModule != nullptr ? m_resourceModule : g_defaultResourceModule;
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(static_cast<WORD>(id)), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (bitmap == nullptr) {
        SendDebugTrace(__FILE__, __LINE__, 0, "Fail LoadImage:%d", static_cast<int>(id));
    }
    return bitmap;
}

HRGN CBaseWnd::CreateRegionFromBitmap(HBITMAP bitmap, CRect source, COLORREF key) {
    if (bitmap == nullptr) {
        return nullptr;
    }
    if (source.IsRectEmpty()) {
        BITMAP description;
        GetObjectW(bitmap, sizeof(description), &description);
        source = CRect(0, 0, description.bmWidth, description.bmHeight);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HRGN region = CreateRectRgn(0, 0, source.Width(), source.Height());
    HRGN pixel = CreateRectRgn(0, 0, 0, 0);
    for (int y = source.top; y < source.bottom; ++y) {
        for (int x = source.left; x < source.right; ++x) {
            if (GetPixel(dc, x, y) == key) {
                SetRectRgn(pixel, x - source.left, y - source.top, x - source.left + 1, y - source.top + 1);
                CombineRgn(region, region, pixel, RGN_DIFF);
            }
        }
    }
    DeleteObject(pixel);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return region;
}

COLORREF CBaseWnd::GetBaseColor(int which) {
    switch (which) {
    case 0: {
        COLORREF color = CColor::HLSToRGB(217, 105, 200);
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\Settings\\SystemColor", 0, KEY_READ,
                          &key) == ERROR_SUCCESS) {
            DWORD type = 0;
            DWORD value = 0;
            DWORD size = sizeof(value);
            if (RegQueryValueExW(key, L"clrBase", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD && size == sizeof(value)) {
                color = value;
            }
            RegCloseKey(key);
        }
        return color;
    }
    case 2:
        return RGB(255, 0, 255);
    case 3:
        return 0x7FB691;
    default:
        TraceLine(L"CBaseWnd::GetBaseColor: unknown colour " + std::to_wstring(which));
        return 0;
    }
}

void CBaseWnd::SetZOrder(CBaseWnd** windows, int count) {
    bool failed = false;
    for (int i = 1; i < count; ++i) {
        if (windows[i]->GetParent() != windows[i - 1]->GetParent() ||
            !windows[i]->SetWindowPos(windows[i - 1], 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE)) {
            failed = true;
        }
    }
    if (failed) {
        SendDebugTrace(__FILE__, __LINE__, 0, "CBaseWnd::SetZOrder fail");
    }
}

BOOL CBaseWnd::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE)) {
        return TRUE;
    }
    return CWnd::PreTranslateMessage(message);
}

void CBaseWnd::DrawSkin(CDC*) {}

LRESULT CBaseWnd::OnDrawBkgnd(HWND child, SkinBackgroundRequest* request) {
    if (m_backBuffer == nullptr || request == nullptr || request->dc == nullptr) {
        return 0;
    }
    POINT corner{request->rect.left, request->rect.top};
    ::ClientToScreen(child, &corner);
    ::ScreenToClient(m_hWnd, &corner);
    CDC source;
    source.CreateCompatibleDC(request->dc);
    CBitmap* previous = source.SelectObject(m_backBuffer.get());
    request->dc->BitBlt(request->rect.left, request->rect.top, request->rect.Width(), request->rect.Height(),
                        &source, corner.x, corner.y, SRCCOPY);
    source.SelectObject(previous);
    return 0;
}

BOOL CBaseWnd::PreCreateWindow(CREATESTRUCTW& create) {
    if (m_classRegistered == 0) {
        WNDCLASSW windowClass;
        if (!GetClassInfoW(nullptr, m_className, &windowClass)) {
            windowClass = WNDCLASSW();
            windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
            windowClass.lpszClassName = m_className;
            if (RegisterClassW(&windowClass) == 0) {
                return FALSE;
            }
        }
        m_classRegistered = 1;
    }
    return CWnd::PreCreateWindow(create);
}

LRESULT CBaseWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SKIN_DRAWBKGND) {
        return OnDrawBkgnd(reinterpret_cast<HWND>(wParam), reinterpret_cast<SkinBackgroundRequest*>(lParam));
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CBaseWnd::UpdateBackBuffer(const CRect& client) {
    if (client.Width() <= 0 || client.Height() <= 0) {
        return;
    }
    if (m_backBuffer != nullptr) {
        BITMAP description;
        if (m_backBuffer->GetBitmap(&description) != 0 && description.bmWidth == client.Width() &&
            description.bmHeight == client.Height()) {
            return;
        }
    }
    m_backBuffer = std::make_unique<CBitmap>();
    HDC screen = ::GetDC(nullptr);
    m_backBuffer->Attach(CreateCompatibleBitmap(screen, client.Width(), client.Height()));
    ::ReleaseDC(nullptr, screen);
}

void CBaseWnd::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.Width() <= 0 || client.Height() <= 0) {
        return;
    }
    CDC memory;
    memory.CreateCompatibleDC(&paint);
    CBitmap temporary;
    CBitmap* previous = nullptr;
    if ((m_options & OPTION_BACK_BUFFER) != 0) {
        UpdateBackBuffer(client);
        previous = memory.SelectObject(m_backBuffer.get());
    } else {
        temporary.CreateCompatibleBitmap(&paint, client.Width(), client.Height());
        previous = memory.SelectObject(&temporary);
    }
    if ((m_options & OPTION_TRANSPARENT) != 0) {
        HWND background = m_backgroundWnd != nullptr ? m_backgroundWnd : ::GetParent(m_hWnd);
        if (background != nullptr && memory.GetSafeHdc() != nullptr) {
            SkinBackgroundRequest request{&memory, client};
            ::SendMessageW(background, WM_SKIN_DRAWBKGND, reinterpret_cast<WPARAM>(m_hWnd),
                           reinterpret_cast<LPARAM>(&request));
        }
    }
    DrawSkin(&memory);
    paint.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
}

BOOL CBaseWnd::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void CBaseWnd::OnMouseMove(UINT flags, CPoint point) {
    if ((m_options & OPTION_HOVER) != 0 && m_hovering == 0) {
        m_hovering = 1;
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        ::TrackMouseEvent(&track);
        Invalidate(FALSE);
    }
    CWnd::OnMouseMove(flags, point);
}

void CBaseWnd::OnLButtonDown(UINT flags, CPoint point) {
    m_pressed = 1;
    SetCapture();
    Invalidate(FALSE);
    CWnd::OnLButtonDown(flags, point);
}

void CBaseWnd::OnLButtonUp(UINT flags, CPoint point) {
    m_pressed = 0;
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    Invalidate(FALSE);
    CWnd::OnLButtonUp(flags, point);
}

void CBaseWnd::OnCancelMode() {
    CWnd::OnCancelMode();
    m_pressed = 0;
    Invalidate(FALSE);
}

void CBaseWnd::OnEnable(BOOL enable) {
    CWnd::OnEnable(enable);
    Invalidate(FALSE);
}

void CBaseWnd::OnMouseHover(UINT, CPoint) {
    if ((m_options & OPTION_HOVER) != 0) {
        m_hovering = 1;
        Invalidate(FALSE);
    }
}

void CBaseWnd::OnMouseLeave() {
    if ((m_options & OPTION_HOVER) != 0) {
        m_hovering = 0;
        Invalidate(FALSE);
    }
}

void CBaseWnd::OnDropFiles(HDROP drop) {
    for (const std::wstring& path : DroppedFiles(drop)) {
        FileSystem::Status status;
        if (!FileSystem::GetStatus(path, status) || g_hViewWnd == nullptr) {
            continue;
        }
        ::SendMessageW(g_hViewWnd, status.isDirectory ? WM_OPEN_FOLDER : WM_OPEN_FILE, 0,
                       reinterpret_cast<LPARAM>(path.c_str()));
    }
    CWnd::OnDropFiles(drop);
}

void SendDebugTrace(const char* file, int line, int level, const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    char message[512];
    std::snprintf(message, sizeof(message), "$$@@%s(%d)$$@@%d$$@@%s", file, line, level, text);
    TraceLine(std::string(message));
}

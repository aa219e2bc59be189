#include "viewer/skin/sizingoutline.h"

#include "platform/ui/dc.h"
#include "platform/ui/rgn.h"
#include "platform/ui/window.h"

namespace {

constexpr wchar_t kClassName[] = L"SizingOutline";

bool RegisterOutlineClass() {
    WNDCLASSW windowClass;
    if (GetClassInfoW(nullptr, kClassName, &windowClass)) {
        return true;
    }
    windowClass = WNDCLASSW();
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0;
}

} // namespace

CSizingOutline::CSizingOutline() = default;

CSizingOutline::~CSizingOutline() {
    DestroyWindow();
}

void CSizingOutline::Show(const CRect& rect) {
    if (m_hWnd == nullptr &&
        (!RegisterOutlineClass() || !CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName,
                                              L"", WS_POPUP, rect, nullptr, 0))) {
        return;
    }
    // Only the frame belongs to the window: what lies inside stays visible and clickable.
    CRgn frame;
    frame.CreateRectRgn(0, 0, rect.Width(), rect.Height());
    CRgn inside;
    inside.CreateRectRgn(kThickness, kThickness, rect.Width() - kThickness, rect.Height() - kThickness);
    frame.CombineRgn(&frame, &inside, RGN_DIFF);
    SetWindowPos(HWND_TOPMOST, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowRgn(static_cast<HRGN>(frame.Detach()), TRUE);
}

void CSizingOutline::Hide() {
    if (m_hWnd != nullptr) {
        ShowWindow(SW_HIDE);
    }
}

void CSizingOutline::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kColor);
}

BOOL CSizingOutline::OnEraseBkgnd(CDC*) {
    return TRUE;
}

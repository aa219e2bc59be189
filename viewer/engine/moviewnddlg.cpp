#include "viewer/engine/moviewnddlg.h"

#include "platform/base/filesystem.h"
#include "platform/base/trace.h"
#include "platform/ui/cursor.h"
#include "platform/ui/dc.h"
#include "platform/ui/drop.h"
#include "platform/ui/font.h"
#include "platform/ui/presentationwindow.h"
#include "platform/ui/resources.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/engine/ffmpegplayer.h"

#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr UINT kZoomCursorId = 317;
constexpr COLORREF kIdleBackground = 0x171717;
constexpr COLORREF kCameraNameColor = 0x8B8B8B;
// 13 points, in the tenths CreatePointFont takes.
constexpr int kCameraNamePointSize = 130;
// "나눔고딕" (Nanum Gothic).
constexpr const wchar_t* kCameraNameFace = L"\uB098\uB214\uACE0\uB515";
constexpr int kNoSelectedChannel = 65535;
// How near the bottom of the enlarged channel the mouse brings up the playback control bar.
constexpr int kControlBarReach = 70;
// A drag shorter than this in either direction is a click, not a selection.
constexpr int kMinimumDrag = 2;

// The template's 206 x 140 dialog units in the 8-point dialog font (6 x 13 pixel base units).
constexpr int kTemplateWidth = 309;
constexpr int kTemplateHeight = 228;

struct CameraName {
    const wchar_t* text;
    int x;
    int y;
};

constexpr CameraName kCameraNames[] = {
    {L"FRONT CAMERA", 156, 115},
    {L"REAR CAMERA", 156, 115},
    {L"LEFT CAMERA", 156, 115},
    {L"RIGHT CAMERA", 160, 115},
};

bool ValidChannel(int channel) {
    return channel >= 0 && channel < 4;
}

// Front pairs with rear, left with right.
int PartnerOf(int channel) {
    return ValidChannel(channel) ? channel ^ 1 : -1;
}

} // namespace

MovieWndDlg::MovieWndDlg(CWnd* parent) : CDialog(IDD, parent) {
    m_templateStyle = WS_CHILD | DS_CONTROL | DS_SETFONT | DS_FIXEDSYS;
    m_templateExStyle = WS_EX_ACCEPTFILES;
    m_templateRect = CRect(0, 0, kTemplateWidth, kTemplateHeight);
}

MovieWndDlg::~MovieWndDlg() {
    DestroyWindow();
    if (zoomCursor != nullptr) {
        DestroyCursor(zoomCursor);
    }
}

BOOL MovieWndDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The renderers look for the window's receiver when the engine starts, after this.
    ShowPresentedPictures(m_hWnd);
    zoomCursor = static_cast<HCURSOR>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(kZoomCursorId), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
    return TRUE;
}

VideoState* MovieWndDlg::Player() const {
    return view != nullptr ? view->GetPlayer(channel) : nullptr;
}

VideoState* MovieWndDlg::PartnerPlayer() const {
    const int partner = PartnerOf(channel);
    return view != nullptr && partner >= 0 ? view->GetPlayer(partner) : nullptr;
}

int MovieWndDlg::NumberOfChannel() const {
    return view != nullptr ? view->GetNumberOfChannel() : 0;
}

void MovieWndDlg::ShowZoomCursor() const {
    // Without the cursor resource the pointer keeps its shape rather than vanishing.
    if (zoomCursor != nullptr) {
        SetCursor(zoomCursor);
    }
}

void MovieWndDlg::InvalidatePartnerWindow() {
    switch (channel) {
    case 0:
        view->InvalidateChannelWnd2();
        break;
    case 1:
        view->InvalidateChannelWnd1();
        break;
    case 2:
        view->InvalidateChannelWnd4();
        break;
    case 3:
        view->InvalidateChannelWnd3();
        break;
    default:
        break;
    }
}

void MovieWndDlg::EndZoomView() {
    PlayerSetZoomRect(Player(), 0, dragStart.x, dragStart.y, dragStart.x, dragStart.y);
    dragging = 0;
    InvalidatePartnerWindow();
    PlayerEnableDisplay(PartnerPlayer(), 1);
}

void MovieWndDlg::OnPaint() {
    CPaintDC dc(this);
    if (VideoState* player = Player()) {
        // A window whose own display is off shows the partner's zoom view: repainting it must
        // bring that back, not this channel's last picture.
        VideoState* partner = PartnerPlayer();
        PlayerRedraw(PlayerIsDisplayEnabled(player) == 0 && partner != nullptr ? partner : player, 1);
        return;
    }
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kIdleBackground);
    if (!ValidChannel(channel)) {
        return;
    }
    CFont font;
    font.CreatePointFont(kCameraNamePointSize, kCameraNameFace);
    CFont* previousFont = dc.SelectObject(&font);
    dc.SetTextColor(kCameraNameColor);
    const CameraName& name = kCameraNames[channel];
    dc.TextOut(name.x, name.y, name.text, static_cast<int>(std::wcslen(name.text)));
    dc.SelectObject(previousFont);
}

BOOL MovieWndDlg::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void MovieWndDlg::OnLButtonDblClk(UINT flags, CPoint point) {
    if (view != nullptr) {
        const bool idleWhileEnlarged =
            enlarged != 0 && view->GetPlayer(0) == nullptr && view->GetPlayer(1) == nullptr;
        if (PlayerIsDisplayEnabled(Player()) == 1 || idleWhileEnlarged) {
            enlarged = enlarged != 0 ? 0 : 1;
            view->SetScreenMode(channel, enlarged);
        }
    }
    CDialog::OnLButtonDblClk(flags, point);
}

void MovieWndDlg::OnLButtonDown(UINT flags, CPoint point) {
    if (NumberOfChannel() == 2 && PlayerGetSelectedChannel() == kNoSelectedChannel &&
        PlayerIsDisplayEnabled(Player()) == 1) {
        ShowZoomCursor();
        dragging = 1;
        dragStart = point;
        SetCapture();
    }
    CDialog::OnLButtonDown(flags, point);
}

void MovieWndDlg::OnMouseMove(UINT flags, CPoint point) {
    if (view != nullptr && ValidChannel(channel) && PlayerGetSelectedChannel() == channel &&
        point.y >= g_monitorHeight - kControlBarReach) {
        CWnd* controlBar = view->GetPlaybackControlBar();
        if (controlBar != nullptr && controlBar->m_hWnd != nullptr) {
            controlBar->ShowWindow(SW_SHOW);
            controlBar->SetWindowPos(this, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        }
    } else if (NumberOfChannel() == 2) {
        ShowZoomCursor();
        if (dragging != 0) {
            PlayerDrawSelectionRect(Player(), dragStart.x, dragStart.y, point.x, point.y);
        }
    }
    CDialog::OnMouseMove(flags, point);
}

void MovieWndDlg::OnLButtonUp(UINT flags, CPoint point) {
    if (NumberOfChannel() == 2 && dragging != 0) {
        ShowZoomCursor();
        VideoState* player = Player();
        CRect client;
        GetClientRect(&client);
        const bool click =
            std::abs(dragStart.x - point.x) < kMinimumDrag || std::abs(dragStart.y - point.y) < kMinimumDrag;
        const bool outside =
            point.x < 1 || point.y < 1 || point.x > client.Width() || point.y > client.Height();
        if (player == nullptr || click || outside) {
            EndZoomView();
        } else {
            PlayerEnableDisplay(PartnerPlayer(), 0);
            PlayerSetZoomRect(player, 1, dragStart.x, dragStart.y, point.x, point.y);
        }
        dragging = 0;
    }
    if (GetCapture() == this) {
        ReleaseCapture();
    }
    CDialog::OnLButtonUp(flags, point);
}

void MovieWndDlg::OnRButtonDown(UINT flags, CPoint point) {
    if (NumberOfChannel() == 2) {
        EndZoomView();
    }
    CDialog::OnRButtonDown(flags, point);
}

BOOL MovieWndDlg::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE)) {
        return TRUE;
    }
    if (message->message == WM_KEYUP && message->wParam == VK_ESCAPE) {
        const int selected = PlayerGetSelectedChannel();
        if (view != nullptr && ValidChannel(selected)) {
            view->SetScreenMode(selected, 0);
        }
        TraceLine(std::string("VK_ESCAPE!!!!!!!!!!!!!!!!"));
    }
    return CDialog::PreTranslateMessage(message);
}

void MovieWndDlg::OnDropFiles(HDROP drop) {
    for (const std::wstring& path : DroppedFiles(drop)) {
        FileSystem::Status status;
        if (!FileSystem::GetStatus(path, status) || g_hViewWnd == nullptr) {
            continue;
        }
        ::SendMessageW(g_hViewWnd, status.isDirectory ? WM_OPEN_FOLDER : WM_OPEN_FILE, 0,
                       reinterpret_cast<LPARAM>(path.c_str()));
    }
    CDialog::OnDropFiles(drop);
}

#include "viewer/ui/playbackcontroldialog.h"

#include "platform/base/trace.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/guithread.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/playbackcontrolrules.h"
#include "viewer/ui/panelkeys.h"

#include <string>

namespace {

constexpr DWORD kButtonStyle = 0x56010000; // child, visible, clip siblings and children, tab stop
constexpr DWORD kLabelStyle = 0x56000000;  // the same without tab stop
constexpr DWORD kSliderStyle = 0x50000000; // child, visible
constexpr COLORREF kImageKey = RGB(255, 0, 255);
constexpr COLORREF kPlaybackSpeedColor = 0x30BBF2;
constexpr int kPlaybackSpeedPointSize = 80;

} // namespace

PlaybackControlDialog::PlaybackControlDialog(CWnd* parent) : CDialog(IDD, parent) {
    m_templateStyle = WS_POPUP;
    m_templateExStyle = WS_EX_TOPMOST;
}

PlaybackControlDialog::~PlaybackControlDialog() {
    // The controls go with the window, before the objects they are drawn by.
    DestroyWindow();
}

void PlaybackControlDialog::CreateButton(CButtonEx& button, eComponentID component, UINT id, DWORD options) {
    button.Create(this, m_store->GetComponentRect(component, CRect()), id, kButtonStyle);
    button.ModifyOptions(0, options);
    const ComponentImages images = m_store->GetComponentInfo(component);
    button.SetImages(images[0], images[1], images[2], images[3], images[4], kImageKey, CRect());
    button.SetNotifyWnd(m_hWnd);
}

void PlaybackControlDialog::CreateSlider(CSliderCtrlEx& slider, eComponentID component, eComponentID images,
                                         UINT id, int maximum, int position) {
    const CRect backgroundRect = m_store->GetComponentRect(CID_BAR_BACKGROUND, CRect());
    slider.Create(&m_background, m_store->GetComponentRect(component, backgroundRect), id, kSliderStyle);
    slider.ModifyOptions(0, CBaseWnd::OPTION_TRANSPARENT);
    slider.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    const ComponentImages pictures = m_store->GetComponentInfo(images);
    slider.SetBitmaps(pictures[0], pictures[1], pictures[2], pictures[3], pictures[4]);
    slider.SetBackgroundWnd(m_background.m_hWnd);
    slider.SetRange(0, maximum, FALSE);
    slider.SetMargins(CRect(), CRect());
    slider.SetPos(position);
    slider.SetNotifyWnd(m_hWnd);
}

void PlaybackControlDialog::CreateLabel(CStaticEx& label, eComponentID component, UINT id) {
    const CRect backgroundRect = m_store->GetComponentRect(CID_BAR_BACKGROUND, CRect());
    label.Create(&m_background, m_store->GetComponentRect(component, backgroundRect), id, kLabelStyle);
}

void PlaybackControlDialog::CreateControls() {
    if (m_store == nullptr) {
        return;
    }
    const CRect backgroundRect = m_store->GetComponentRect(CID_BAR_BACKGROUND, CRect());
    const CRect bar = PlaybackControlRules::OnPrimaryScreen(
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), backgroundRect.Size());
    SetWindowPos(HWND_TOP, bar.left, bar.top, bar.Width(), bar.Height(), 0);

    constexpr DWORD kButtonOptions = CButtonEx::OPTION_MASK_REGION | CBaseWnd::OPTION_HOVER;
    CreateButton(m_prevButton, CID_BAR_PREV, ID_PREV, kButtonOptions);
    CreateButton(m_playButton, CID_BAR_PLAY, ID_PLAY, kButtonOptions);
    CreateButton(m_pauseButton, CID_BAR_PAUSE, ID_PAUSE, kButtonOptions);
    m_pauseButton.ShowWindow(SW_HIDE);
    CreateButton(m_stopButton, CID_BAR_STOP, ID_STOP, kButtonOptions);
    CreateButton(m_stepButton, CID_BAR_STEP, ID_STEP, kButtonOptions | CButtonEx::OPTION_AUTO_REPEAT);
    CreateButton(m_nextButton, CID_BAR_NEXT, ID_NEXT, kButtonOptions);
    CreateButton(m_captureButton, CID_BAR_CAPTURE, ID_CAPTURE, kButtonOptions);
    CreateButton(m_defogButton, CID_BAR_DEFOG, ID_DEFOG, kButtonOptions);

    m_background.Create(this, backgroundRect, ID_BACKGROUND, kLabelStyle);
    // The buttons, made before it, lie on top of it.
    m_background.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    const ComponentImages backgroundImages = m_store->GetComponentInfo(CID_BAR_BACKGROUND);
    m_background.SetBitmaps(backgroundImages[0], backgroundImages[1], backgroundImages[2]);
    m_background.SetNotifyWnd(m_hWnd);

    CreateSlider(m_volumeSlider, CID_BAR_VOLUME, CID_BAR_VOLUME, ID_VOLUME, 128, 50);
    CreateSlider(m_speedSlider, CID_BAR_SPEED, CID_MAIN_SPEED, ID_SPEED, 6, 3);
    CreateSlider(m_seekSlider, CID_BAR_SEEK, CID_BAR_SEEK, ID_SEEK, 100, 50);

    CreateLabel(m_speedReadout, CID_BAR_SPEED_READOUT, ID_SPEED_READOUT);
    m_speedReadout.ShowWindow(SW_HIDE);
    CreateLabel(m_unitLabelA, CID_BAR_UNIT_A, ID_UNIT_A);
    m_unitLabelA.ShowWindow(SW_HIDE);
    CreateLabel(m_unitLabelB, CID_BAR_UNIT_B, ID_UNIT_B);
    m_unitLabelB.ShowWindow(SW_HIDE);

    CreateLabel(m_playbackSpeedLabel, CID_BAR_SPEED_LABEL, ID_PLAYBACK_SPEED);
    m_playbackSpeedLabel.ModifyOptions(0, CStaticEx::OPTION_TEXT);
    const ComponentImages labelImages = m_store->GetComponentInfo(CID_BAR_SPEED_LABEL);
    m_playbackSpeedLabel.SetBitmaps(labelImages[0], labelImages[1], labelImages[2]);
    m_playbackSpeedLabel.SetTextStyle(kPlaybackSpeedPointSize, L"NanumGothic Bold", kPlaybackSpeedColor,
                                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    m_playbackSpeedLabel.SetWindowText(L"1x");
}

void PlaybackControlDialog::SetViewSliders(HWND seek, HWND volume, HWND speed) {
    m_viewSeekSlider = seek;
    m_viewVolumeSlider = volume;
    m_viewSpeedSlider = speed;
}

void PlaybackControlDialog::PlaceAtBottom(int monitorWidth, int monitorHeight) {
    if (m_store == nullptr) {
        return;
    }
    const CRect bar =
        PlaybackControlRules::AtBottom(g_monitorLeft, g_monitorTop, monitorWidth, monitorHeight,
                                       m_store->GetComponentRect(CID_BAR_BACKGROUND, CRect()).Size());
    MoveWindow(bar.left, bar.top, bar.Width(), bar.Height(), TRUE);
}

void PlaybackControlDialog::ShowPlayButton(int flag) {
    const bool play = PlaybackControlRules::ShowsPlayButton(flag);
    if (m_pauseButton.m_hWnd != nullptr) {
        m_pauseButton.ShowWindow(play ? SW_HIDE : SW_SHOW);
    }
    if (m_playButton.m_hWnd != nullptr) {
        m_playButton.ShowWindow(play ? SW_SHOW : SW_HIDE);
    }
}

void PlaybackControlDialog::SetSpeed(int speed) {
    m_lastSpeed = speed;
    if (m_speedReadout.m_hWnd != nullptr) {
        m_speedReadout.SetWindowText(PlaybackControlRules::SpeedText(speed).c_str());
        m_speedReadout.Invalidate(FALSE);
    }
}

void PlaybackControlDialog::SetSpeedUnit(int unit) {
    const bool unitB = PlaybackControlRules::ShowsUnitB(unit);
    if (m_unitLabelA.m_hWnd != nullptr) {
        m_unitLabelA.ShowWindow(unitB ? SW_HIDE : SW_SHOW);
    }
    if (m_unitLabelB.m_hWnd != nullptr) {
        m_unitLabelB.ShowWindow(unitB ? SW_SHOW : SW_HIDE);
    }
}

// The timer is known by its id alone: for id 0 SetTimer answers 1, which names no timer.
void PlaybackControlDialog::RestartAutoHideTimer() {
    KillTimer(PlaybackControlRules::kAutoHideTimer);
    SetTimer(PlaybackControlRules::kAutoHideTimer, PlaybackControlRules::kAutoHidePeriod);
}

BOOL PlaybackControlDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id >= ID_FIRST_COMMAND && id <= ID_LAST_COMMAND) {
        OnSkinCommand(id);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void PlaybackControlDialog::OnSkinCommand(UINT id) {
    // The countdown starts again before the operation, which may take a while (opening a file).
    RestartAutoHideTimer();
    if (m_view == nullptr) {
        return;
    }
    switch (id) {
    case ID_PREV:
        m_view->PlayPrevFile();
        break;
    case ID_PLAY:
        m_view->Play();
        break;
    case ID_PAUSE:
        m_view->Pause();
        break;
    case ID_STOP:
        m_view->Stop(0, 0);
        break;
    case ID_STEP:
        m_view->Step();
        break;
    case ID_NEXT:
        m_view->PlayNextFile();
        break;
    case ID_CAPTURE:
        m_view->ShowCaptureMenu();
        break;
    case ID_DEFOG:
        m_view->DefogCurrentFrame(0);
        break;
    default:
        break;
    }
}

void PlaybackControlDialog::OnHScroll(UINT code, UINT position, CWnd* scrollBar) {
    const HWND from = scrollBar != nullptr ? scrollBar->m_hWnd : nullptr;
    struct Route {
        const CSliderCtrlEx& slider;
        PlaybackControlRules::Slider kind;
        HWND viewSlider;
    };
    const Route routes[] = {{m_seekSlider, PlaybackControlRules::SEEK, m_viewSeekSlider},
                            {m_volumeSlider, PlaybackControlRules::VOLUME, m_viewVolumeSlider},
                            {m_speedSlider, PlaybackControlRules::SPEED, m_viewSpeedSlider}};
    for (const Route& route : routes) {
        if (from == nullptr || from != route.slider.m_hWnd) {
            continue;
        }
        if (m_view != nullptr && PlaybackControlRules::Forwards(route.kind, code, route.viewSlider)) {
            // The message carries 16 bits of the position; the view reads its own slider, which
            // therefore takes the whole position first.
            if (auto* viewSlider = dynamic_cast<CSliderCtrlEx*>(CWnd::FromHandlePermanent(route.viewSlider))) {
                viewSlider->SetPos(route.slider.GetPos());
            }
            ::SendMessageW(m_view->GetViewWindow(), WM_HSCROLL,
                           MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position)),
                           reinterpret_cast<LPARAM>(route.viewSlider));
        }
        break;
    }
    CDialog::OnHScroll(code, position, scrollBar);
}

void PlaybackControlDialog::OnTimer(UINT_PTR id) {
    if (id == PlaybackControlRules::kAutoHideTimer) {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (PlaybackControlRules::HidesWithCursorAt(cursor.y, g_monitorTop, g_monitorHeight)) {
            KillTimer(PlaybackControlRules::kAutoHideTimer);
            ShowWindow(SW_HIDE);
        }
    }
    CDialog::OnTimer(id);
}

void PlaybackControlDialog::OnMouseMove(UINT flags, CPoint point) {
    RestartAutoHideTimer();
    CDialog::OnMouseMove(flags, point);
}

void PlaybackControlDialog::OnShowWindow(BOOL show, UINT status) {
    CDialog::OnShowWindow(show, status);
    if (show) {
        SetTimer(PlaybackControlRules::kAutoHideTimer, PlaybackControlRules::kAutoHidePeriod);
    }
}

BOOL PlaybackControlDialog::PreTranslateMessage(MSG* message) {
    const UINT key = static_cast<UINT>(message->wParam);
    if (message->message == WM_KEYDOWN && (key == VK_RETURN || key == VK_ESCAPE)) {
        return TRUE;
    }
    if (message->message == WM_KEYUP && key == VK_SPACE) {
        if (g_hViewWnd != nullptr) {
            ::SendMessageW(g_hViewWnd, WM_TOGGLE_PLAY, 0, 0);
            TraceLine(std::string("VK_SPACE!!!!!!!!!!!!!!!!"));
        }
    } else if (message->message == WM_KEYUP && key == VK_ESCAPE) {
        const int selected = PlayerGetSelectedChannel();
        if (m_view != nullptr && PlaybackControlRules::EscapeLeavesEnlarged(selected)) {
            m_view->SetScreenMode(selected, 0);
        }
        TraceLine(std::string("VK_ESCAPE!!!!!!!!!!!!!!!!"));
    } else if (message->message == WM_SYSKEYDOWN && key == kVkF4) {
        DestroyMainWindowLater();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(message);
}

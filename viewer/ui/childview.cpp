#include "viewer/ui/childview.h"

#include "platform/base/resourcemodule.h"
#include "platform/base/trace.h"
#include "platform/devices/cardmount.h"
#include "platform/ui/connectedstate.h"
#include "platform/ui/cursor.h"
#include "platform/ui/filedialog.h"
#include "platform/ui/folderdialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/tools/defogpicture.h"
#include "viewer/tools/viewersettingsstore.h"
#include "viewer/ui/imagesavename.h"
#include "viewer/ui/paneldocking.h"
#include "viewer/ui/usblistdlg.h"
#include "viewer/ui/viewlayout.h"

#include <algorithm>

HHOOK g_hKeyboardHook = nullptr;

namespace {

using Table = ViewControlTable;

constexpr COLORREF kImageKey = RGB(255, 0, 255);
constexpr int kMaxTipWidth = 200;
constexpr UINT kWmSysCommand = 0x0112;
constexpr WPARAM kScScreenSave = 0xF140;
constexpr UINT kWmDisplayChange = 0x007E;
// The settings the settings editor reads from the registry, as it holds them without a registry.

constexpr int kReadoutPointSize = 250;
constexpr UINT kReadoutFormat = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;
constexpr int kSpeedLabelPointSize = 80;
constexpr COLORREF kSpeedLabelColor = 0x30BBF2;
constexpr UINT kSpeedLabelFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
// The grips of the main window move it; none of their edges sizes it.
constexpr DWORD kMoveOnlyEdges = 0x100000;

} // namespace

CChildView::CChildView() {
    g_hKeyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, nullptr, 0);
    m_frameBufferSize = static_cast<size_t>(std::max(0, g_screenWidth)) *
                        static_cast<size_t>(std::max(0, g_screenHeight)) * kBytesPerPixel;
    // The engine captures its pictures at the layout's size (rows rounded up to 32 pixels) whatever
    // the screen: a small screen's buffers must still hold one.
    const size_t layoutPicture = static_cast<size_t>((std::max(0, g_layoutWidth) + 31) / 32 * 32) *
                                 static_cast<size_t>(std::max(0, g_layoutHeight)) * 4;
    m_frameBufferSize = std::max(m_frameBufferSize, layoutPicture);
    for (auto& buffer : m_frameBuffers) {
        // Left uninitialised: the pages cost nothing until a capture writes them.
        buffer.reset(new BYTE[m_frameBufferSize]);
    }
    for (const Table::Row& row : Table::Rows()) {
        switch (row.kind) {
        case Table::BUTTON:
            m_buttons[row.id] = std::make_unique<CButtonEx>();
            break;
        case Table::SLIDER:
            m_sliders[row.id] = std::make_unique<CSliderCtrlEx>();
            break;
        case Table::LABEL:
            m_labels[row.id] = std::make_unique<CStaticEx>();
            break;
        }
    }
}

CChildView::~CChildView() {
    ReleaseResources();
    // The controls go with the window, before the objects they are drawn by.
    DestroyWindow();
}

CWnd* CChildView::Frame() const {
    return GetParent();
}

BOOL CChildView::PreCreateWindow(CREATESTRUCTW& create) {
    if (!CWnd::PreCreateWindow(create)) {
        return FALSE;
    }
    create.dwExStyle |= WS_EX_CLIENTEDGE;
    create.style = (create.style & ~static_cast<LONG>(WS_BORDER)) | WS_CLIPCHILDREN;
    create.lpszClass =
        AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    return TRUE;
}

int CChildView::OnCreate(LPCREATESTRUCTW create) {
    if (CWnd::OnCreate(create) == -1) {
        return -1;
    }
    ModifyStyleEx(WS_EX_CLIENTEDGE, 0, 0);
    // The recorder model at start-up: the one the user chose in the settings editor, if any.
    SetDefaultModelIndex();
    if (const int stored = ReadStoredModelIndex(); stored >= 0)
        SetModelIndex(stored);

    m_loadingBox = std::make_unique<LoadingMsgDlg>();
    m_loadingBox->Create(LoadingMsgDlg::IDD, nullptr);
    m_loadingBox->ShowWindow(SW_SHOW);
    m_loadingBox->Invalidate();

    for (int channel = 0; channel < kChannelCount; ++channel) {
        MovieWndDlg& window = m_channelWindows[static_cast<size_t>(channel)];
        window.Create(MovieWndDlg::IDD, this);
        window.ShowWindow(SW_SHOW);
        window.SetView(this);
        window.SetChannel(channel);
    }
    g_pKeyboardHookView = this;
    PlayerInit(m_channelWindows[0].m_hWnd, m_channelWindows[1].m_hWnd, m_channelWindows[2].m_hWnd,
               m_channelWindows[3].m_hWnd);

    if (m_skin.LoadSkin(L".\\ResStorage.dat", this) == 0) {
        m_loadingBox->ShowWindow(SW_HIDE);
        m_loadingBox->DestroyWindow();
        m_loadingBox.reset();
        MessageBoxW(m_hWnd, L"The resource file is damaged!! Please re-install the software.", nullptr,
                    MB_OK);
        return -1;
    }
    m_languageId = m_skin.GetLanguageId();

    // The settings editor, hidden until its button is pressed; the view takes its viewer settings.
    m_options.Create(OptDlg::IDD, this);
    m_options.SetHost(this);
    m_options.SetResStorage(&m_skin);
    m_options.SetDataDirStruct(&m_catalogue);
    m_options.CreateControls();
    m_options.Editor().LoadRegistrySettings();
    m_options.Editor().ApplyDefaultConfig();
    m_unitOfSpeed = m_options.Editor().GetUnitOfSpeed();
    m_numberOfChannel = m_options.Editor().GetNumberOfChannel();
    m_1ChannelDisplay = m_options.Editor().Get1ChannelDisplay();

    m_controlBar.Create(PlaybackControlDialog::IDD, this);
    m_controlBar.SetView(this);
    m_controlBar.SetResStorage(&m_skin);
    m_controlBar.CreateControls();
    m_controlBar.ShowWindow(SW_HIDE);

    CreateSkinControls();
    m_controlBar.SetViewSliders(Slider(Table::ID_SEEK).m_hWnd, Slider(Table::ID_VOLUME).m_hWnd,
                                Slider(Table::ID_SPEED).m_hWnd);

    m_defog.Create(DefogDlg::IDD, this);
    m_defog.SetResStorage(&m_skin);
    m_defog.SetLanguageId(m_languageId);
    m_defog.CreateControls();

    m_playlist.Create(PlaylistDlg::IDD, this);
    m_playlist.SetView(this);
    m_playlist.SetResStorage(&m_skin);
    m_playlist.SetDataDirStruct(&m_catalogue);
    m_playlist.CreateControls();
    m_playlist.ShowWindow(SW_SHOW);
    m_playlist.DockToParent();
    m_catalogue.SetLanguageId(m_languageId);

    m_sensor.Create(SensorDlg::IDD, this);
    m_sensor.SetResStorage(&m_skin);
    m_sensor.CreateControls();
    m_sensor.SetDockMode(SlideRules::DOCK_BELOW, SlideRules::ALIGN_LEFT, 0);
    m_sensor.SetSlideDelay(0);

    m_taskbarPopup.Create(this);
    m_taskbarPopup.SetSkin(314);
    m_taskbarPopup.SetTextFont(L"Arial", 90, 0, 4);
    m_taskbarPopup.SetTextColor(0, 0xC80000);
    CRect popup;
    m_taskbarPopup.GetWindowRect(&popup);
    m_taskbarPopup.SetTextRect(CRect(10, 15, popup.Width() - 10, popup.Height() - 25));

    // An inserted recorder card is opened without asking, behind the loading box.
    m_opener.OpenInsertedCard();

    m_loadingBox->ShowWindow(SW_HIDE);
    m_repairWaitBox.Create(RepairWaitDlg::IDD, nullptr);
    m_repairWaitBox.Invalidate();
    m_repairWaitBox.ShowWindow(SW_HIDE);
    m_transport.ShowSpeed(-1.0);
    m_passwordCheck = m_skin.GetPasswordCheck();
    // With the check on, a first start asks for a password and the car number before anything else.
    if (m_passwordCheck > 0) {
        CreatePasswordLock();
        if (m_passwordLock.GetPassword().empty()) {
            m_passwordLock.SetMode(PasswordLock::kFirstPassword);
            m_passwordLock.ShowLocked();
        }
    }
    return 0;
}

void CChildView::CreatePasswordLock() {
    if (m_passwordLock.m_hWnd != nullptr) {
        return;
    }
    m_passwordLock.Create(PasswordDlg::IDD, this);
    m_passwordLock.SetLanguageId(m_languageId);
    m_passwordLock.SetView(this);
    m_passwordLock.LoadFromRegistry();
}

void CChildView::CreateSkinControls() {
    const CRect mainWindow = m_skin.GetComponentRect(CID_MAIN_WINDOW, CRect());
    const CPoint corner = ViewLayout::CentredCorner(mainWindow.Size(), g_screenWidth, g_screenHeight);
    m_fullScreen.SetNormalPosition(corner);
    m_fullScreen.SetBaseSize(mainWindow.Size());
    if (CWnd* frame = Frame()) {
        frame->SetWindowPos(HWND_TOP, corner.x, corner.y, mainWindow.Width(), mainWindow.Height(), 0);
    }

    static constexpr eComponentID kVideoComponents[kChannelCount] = {CID_MAIN_VIDEO_0, CID_MAIN_VIDEO_1,
                                                                     CID_MAIN_VIDEO_2, CID_MAIN_VIDEO_3};
    for (size_t channel = 0; channel < kChannelCount; ++channel) {
        m_channelRects[channel] = m_skin.GetComponentRect(kVideoComponents[channel], CRect());
        const CRect& rect = m_channelRects[channel];
        m_channelWindows[channel].SetWindowPos(HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(), 0);
    }

    CBaseWnd::SetDefaultResourceModule(nullptr);
    for (const Table::Row& row : Table::Rows()) {
        CreateSkinControl(row);
    }

    ShowControl(Table::ID_PASSWORD, m_passwordCheck != 0);
    if (m_passwordCheck != 0) {
        AddToolTip(&Button(Table::ID_PASSWORD), Table::kPasswordToolTip.stringId);
    }
    for (const Table::ToolTip& tip : Table::ToolTips()) {
        AddToolTip(GetSkinControl(tip.id), tip.stringId);
    }
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.SetMaxTipWidth(kMaxTipWidth);
    }

    CBaseWnd* order[] = {&Label(Table::ID_BACKGROUND), &Label(Table::ID_BOTTOM_STRIP),
                         &Label(Table::ID_LEFT_EDGE), &Label(Table::ID_RIGHT_EDGE),
                         &Label(Table::ID_DIVIDER)};
    CBaseWnd::SetZOrder(order, static_cast<int>(std::size(order)));

    SetSpeedUnit(m_unitOfSpeed);
    SetNumberOfChannel(m_numberOfChannel);
    Set1ChannelDisplay(m_1ChannelDisplay);
    ShowPlaybackSliders(0);
    ShowGpsState(0);
}

CWnd* CChildView::PlaceWindow(Table::Place place) {
    switch (place) {
    case Table::VIEW:
        return this;
    case Table::BACKGROUND:
        return &Label(Table::ID_BACKGROUND);
    case Table::BOTTOM_STRIP:
        return &Label(Table::ID_BOTTOM_STRIP);
    case Table::SLIDER_PLATE:
        return &Label(Table::ID_SLIDER_PLATE);
    case Table::SPEED_READOUT:
        return &Label(Table::ID_SPEED_READOUT);
    }
    return this;
}

CRect CChildView::PlaceRect(Table::Place place) {
    switch (place) {
    case Table::VIEW:
    case Table::BACKGROUND:
        return CRect();
    case Table::BOTTOM_STRIP:
        return m_skin.GetComponentRect(CID_MAIN_BOTTOM_STRIP, CRect());
    case Table::SLIDER_PLATE:
        return m_skin.GetComponentRect(CID_MAIN_SLIDER_PLATE, CRect());
    case Table::SPEED_READOUT:
        return m_skin.GetComponentRect(CID_MAIN_SPEED_READOUT, CRect());
    }
    return CRect();
}

void CChildView::CreateSkinControl(const Table::Row& row) {
    const eComponentID component = row.component == Table::kBackgroundByModel
                                       ? ViewLayout::BackgroundComponent(GetModelIndex())
                                       : static_cast<eComponentID>(row.component);
    CWnd* parent = PlaceWindow(row.parent);
    const CRect rect =
        m_skin.GetComponentRect(component, row.relativeToParent ? PlaceRect(row.parent) : CRect());
    const ComponentImages images = m_skin.GetComponentInfo(component);
    switch (row.kind) {
    case Table::BUTTON: {
        CButtonEx& button = Button(row.id);
        button.Create(parent, rect, row.id, row.style);
        button.ModifyOptions(0, row.options);
        button.SetImages(images[0], images[1], images[2], images[3], images[4], kImageKey, CRect());
        button.SetNotifyWnd(m_hWnd);
        break;
    }
    case Table::SLIDER: {
        CSliderCtrlEx& slider = Slider(row.id);
        slider.Create(parent, rect, row.id, row.style);
        slider.ModifyOptions(0, CBaseWnd::OPTION_TRANSPARENT);
        slider.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
        slider.SetBitmaps(images[0], images[1], images[2], images[3], images[4]);
        slider.SetBackgroundWnd(parent->m_hWnd);
        slider.SetRange(0, row.maximum, FALSE);
        slider.SetMargins(CRect(), CRect());
        slider.SetPos(row.position);
        slider.SetNotifyWnd(m_hWnd);
        break;
    }
    case Table::LABEL: {
        CStaticEx& label = Label(row.id);
        label.Create(parent, rect, row.id, row.style);
        label.ModifyOptions(0, row.options);
        // A plain label draws its first image alone.
        if ((row.options & (CStaticEx::OPTION_THREE_PIECES | CStaticEx::OPTION_TILE_VERTICAL)) != 0) {
            label.SetBitmaps(images[0], images[1], images[2]);
        } else {
            label.SetBitmaps(images[0]);
        }
        if (row.sizing) {
            label.SetSizingEdges(kMoveOnlyEdges, nullptr);
        }
        break;
    }
    }
    if (row.hidden) {
        ShowControl(row.id, false);
    }
    if (row.id == Table::ID_SPEED_READOUT) {
        Label(row.id).SetTextStyle(kReadoutPointSize, L"NanumGothic", ViewLayout::kReadoutWithoutFix,
                                   kReadoutFormat);
        Label(row.id).SetWindowText(L"    ---");
    } else if (row.id == Table::ID_PLAYBACK_SPEED) {
        Label(row.id).SetTextStyle(kSpeedLabelPointSize, L"NanumGothic Bold", kSpeedLabelColor,
                                   kSpeedLabelFormat);
        Label(row.id).SetWindowText(L"1x");
    }
}

CWnd* CChildView::GetSkinControl(UINT id) {
    CWnd* control = nullptr;
    if (const auto button = m_buttons.find(id); button != m_buttons.end()) {
        control = button->second.get();
    } else if (const auto slider = m_sliders.find(id); slider != m_sliders.end()) {
        control = slider->second.get();
    } else if (const auto label = m_labels.find(id); label != m_labels.end()) {
        control = label->second.get();
    }
    return control != nullptr && control->m_hWnd != nullptr ? control : nullptr;
}

void CChildView::ShowControl(UINT id, bool show) {
    if (CWnd* control = GetSkinControl(id)) {
        control->ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
}

void CChildView::AddToolTip(CWnd* control, UINT stringId) {
    AddToolTipText(control, LoadText(stringId).c_str());
}

void CChildView::AddToolTipText(CWnd* control, LPCWSTR text) {
    if (control == nullptr) {
        return;
    }
    if (m_toolTip.m_hWnd == nullptr) {
        m_toolTip.Create(this, TTS_ALWAYSTIP);
    }
    m_toolTip.AddTool(control, text);
}

void CChildView::SetLoadingMessage(const std::wstring& text) {
    if (m_loadingBox != nullptr && m_loadingBox->m_hWnd != nullptr) {
        m_loadingBox->SendMessage(WM_SET_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CChildView::ViewKeyboardActivity() {}

void CChildView::ArrangeChannelWindows() {
    CWnd* frame = Frame();
    if ((frame != nullptr && IsIconic(frame->m_hWnd)) || GetSkinControl(Table::ID_BOTTOM_STRIP) == nullptr) {
        return;
    }
    if (m_numberOfChannel == 2) {
        for (size_t channel = 0; channel < kChannelCount; ++channel) {
            const CRect& rect = m_channelRects[channel];
            m_channelWindows[channel].SetWindowPos(HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(),
                                                   0);
        }
        for (size_t channel = 1; channel < kChannelCount; ++channel) {
            m_channelWindows[channel].EnableWindow(TRUE);
        }
        return;
    }
    CRect client;
    GetClientRect(&client);
    CRect strip;
    Label(Table::ID_BOTTOM_STRIP).GetClientRect(&strip);
    const ViewLayout::OneChannel layout = ViewLayout::ArrangeOneChannel(
        client.Size(), strip.Height(), m_channelRects[0],
        m_skin.GetComponentRect(CID_MAIN_LEFT_EDGE, CRect()).Width(),
        m_skin.GetComponentRect(CID_MAIN_RIGHT_EDGE, CRect()).Width(), m_1ChannelDisplay);
    m_channelWindows[0].SetWindowPos(HWND_TOP, layout.channel0.left, layout.channel0.top,
                                     layout.channel0.Width(), layout.channel0.Height(), SWP_SHOWWINDOW);
    m_channelWindows[1].SetWindowPos(HWND_TOP, layout.channel1.left, layout.channel1.top,
                                     layout.channel1.Width(), layout.channel1.Height(), SWP_SHOWWINDOW);
    m_channelWindows[1].EnableWindow(FALSE);
    ShowControl(Table::ID_DIVIDER, false);
}

void CChildView::SetScreenMode(int channel, int enlarged) {
    const HMONITOR monitor = MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info;
    if (GetMonitorInfoW(monitor, &info)) {
        g_monitorLeft = info.rcWork.left;
        g_monitorTop = info.rcMonitor.top;
        g_monitorWidth = info.rcMonitor.right - info.rcMonitor.left;
        g_monitorHeight = info.rcMonitor.bottom - info.rcMonitor.top;
    }
    if (!FullScreenState::IsChannel(channel)) {
        return;
    }
    const size_t index = static_cast<size_t>(channel);
    MovieWndDlg& window = m_channelWindows[index];
    window.SetEnlarged(enlarged);
    m_transport.ApplyCaption(0);
    CWnd* frame = Frame();
    const auto placeFrame = [frame](const CRect& rect) {
        if (frame != nullptr) {
            frame->SetWindowPos(HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(), 0);
        }
    };
    const auto showOthers = [&](int command) {
        for (size_t other = 0; other < kChannelCount; ++other) {
            if (other != index) {
                m_channelWindows[other].ShowWindow(command);
            }
        }
    };
    const CRect& home = m_channelRects[index];
    VideoState* player = m_transport.GetChannel(channel);
    if (player == nullptr) {
        m_controlBar.ShowWindow(SW_HIDE);
        placeFrame(m_fullScreen.BaseRect());
        window.SetWindowPos(HWND_TOP, home.left, home.top, home.Width(), home.Height(), 0);
        showOthers(SW_SHOW);
        ShowSidePanels(1);
    } else {
        for (int other = 0; other < kChannelCount; ++other) {
            VideoState* otherPlayer = m_transport.GetChannel(other);
            if (other != channel && otherPlayer != nullptr) {
                m_engine.PlayerEnableDisplay(otherPlayer, enlarged == 1 ? 0 : 1);
            }
        }
        m_engine.PlayerSelectChannel(player, channel, enlarged);
        if (enlarged == 1) {
            CRect normal;
            GetWindowRect(&normal);
            m_fullScreen.RememberNormal(normal);
            m_controlBar.PlaceAtBottom(g_monitorWidth, g_monitorHeight);
            placeFrame(
                FullScreenState::EnlargedRect(g_monitorLeft, g_monitorTop, g_monitorWidth, g_monitorHeight));
            window.SetWindowPos(HWND_TOP, 0, 0, g_monitorWidth, g_monitorHeight, 0);
            window.Invalidate();
            showOthers(SW_HIDE);
            ShowSidePanels(0);
        } else {
            m_controlBar.ShowWindow(SW_HIDE);
            placeFrame(m_fullScreen.NormalRect());
            if (channel != 0 || m_numberOfChannel == 2) {
                window.SetWindowPos(HWND_TOP, home.left, home.top, home.Width(), home.Height(), 0);
            }
            ArrangeChannelWindows();
            showOthers(SW_SHOW);
            ShowSidePanels(1);
        }
        if (channel == 0) {
            InvalidateChannelWnd1();
        }
    }
    m_transport.ApplyCaption(1);
}

void CChildView::ShowSidePanels(int flag) {
    if (flag == 0) {
        FullScreenState::PanelFlags visible{};
        visible[FullScreenState::PLAYLIST] = m_playlist.m_hWnd != nullptr && m_playlist.IsWindowVisible();
        visible[FullScreenState::DEFOG] = IsDefogVisible();
        visible[FullScreenState::GSENSOR] = IsPanelVisible(GSENSOR_PANEL);
        visible[FullScreenState::MAP] = IsPanelVisible(MAP_PANEL);
        visible[FullScreenState::SETTINGS] = m_options.m_hWnd != nullptr && m_options.IsWindowVisible();
        m_fullScreen.RememberPanels(visible);
        m_playlist.ShowWindow(SW_HIDE);
        m_defog.ShowWindow(SW_HIDE);
        m_sensor.ShowWindow(SW_HIDE);
        HidePanel(MAP_PANEL);
        m_options.ShowWindow(SW_HIDE);
        return;
    }
    const FullScreenState::PanelFlags& visible = m_fullScreen.RememberedPanels();
    m_playlist.ShowWindow(visible[FullScreenState::PLAYLIST] ? SW_SHOW : SW_HIDE);
    m_defog.ShowWindow(visible[FullScreenState::DEFOG] ? SW_SHOW : SW_HIDE);
    m_sensor.ShowWindow(visible[FullScreenState::GSENSOR] ? SW_SHOW : SW_HIDE);
    m_options.ShowWindow(visible[FullScreenState::SETTINGS] ? SW_SHOW : SW_HIDE);
    if (m_map != nullptr) {
        m_map->ShowWindow(visible[FullScreenState::MAP] ? SW_SHOW : SW_HIDE);
    }
}

bool CChildView::IsChannelEnlarged() {
    return FullScreenState::IsChannel(m_engine.PlayerGetSelectedChannel());
}

void CChildView::RedockPanels() {
    const PanelDocking::Redock redock = PanelDocking::Decide(
        m_engine.PlayerGetSelectedChannel(), m_map != nullptr, IsPanelVisible(GSENSOR_PANEL),
        m_playlist.m_hWnd != nullptr && m_playlist.IsWindowVisible());
    if (redock.playlist) {
        m_playlist.DockToParent();
    }
    if (redock.gsensor) {
        m_sensor.DockToParent();
    }
    if (redock.map && m_map != nullptr) {
        m_map->DockToParent();
    }
}

void CChildView::ApplySigns(const ViewLayout::Signs& signs, bool gpsSigns) {
    ShowControl(Table::ID_KMH, signs.kmh);
    ShowControl(Table::ID_KMH_NO_GPS, signs.kmhWithoutGps);
    ShowControl(Table::ID_MPH, signs.mph);
    ShowControl(Table::ID_MPH_NO_GPS, signs.mphWithoutGps);
    if (gpsSigns) {
        ShowControl(Table::ID_GPS_FIX, signs.gpsFix);
        ShowControl(Table::ID_GPS_NO_FIX, signs.gpsNoFix);
    }
}

void CChildView::SetSpeedUnit(int unit) {
    m_unitOfSpeed = unit;
    m_transport.SetUnitOfSpeed(unit);
    ApplySigns(ViewLayout::UnitSigns(unit, m_transport.HasGpsSpeed()), false);
    m_controlBar.SetSpeedUnit(unit);
}

void CChildView::ShowGpsState(int valid) {
    const ViewLayout::Signs signs = ViewLayout::GpsSigns(valid, m_unitOfSpeed);
    ApplySigns(signs, true);
    if (CWnd* readout = GetSkinControl(Table::ID_SPEED_READOUT)) {
        Label(Table::ID_SPEED_READOUT)
            .SetTextStyle(kReadoutPointSize, L"NanumGothic", signs.readout, kReadoutFormat);
        readout->Invalidate(FALSE);
    }
}

void CChildView::SetNumberOfChannel(int count) {
    m_numberOfChannel = count;
    m_transport.SetNumberOfChannel(count);
}

void CChildView::Set1ChannelDisplay(int display) {
    m_1ChannelDisplay = display;
    m_transport.Set1ChannelDisplay(display);
}

BOOL CChildView::PreTranslateMessage(MSG* message) {
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.RelayEvent(message);
    }
    if (message->message == kWmSysCommand && (message->wParam & 0xFFF0) == kScScreenSave) {
        return TRUE;
    }
    if (message->message == WM_KEYUP && message->wParam == VK_ESCAPE) {
        const int selected = m_engine.PlayerGetSelectedChannel();
        if (FullScreenState::IsChannel(selected)) {
            SetScreenMode(selected, 0);
        }
        TraceLine(std::string("VK_ESCAPE!!!!!!!!!!!!!!!!"));
    } else if (message->message == WM_LBUTTONUP) {
        for (const UINT id : {Table::ID_KMH, Table::ID_KMH_NO_GPS, Table::ID_MPH, Table::ID_MPH_NO_GPS}) {
            CWnd* sign = GetSkinControl(id);
            if (sign != nullptr && sign->m_hWnd == message->hwnd) {
                SetSpeedUnit(m_unitOfSpeed != 1 ? 1 : 0);
                break;
            }
        }
    }
    return CWnd::PreTranslateMessage(message);
}

LRESULT CChildView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWmDisplayChange) {
        TraceLine(std::string("WM_DISPLAYCHANGE"));
    } else if (m_commands.OnViewMessage(message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
    case WM_OPEN_FOLDER:
        m_opener.OnOpenFolderMsg(reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    case WM_OPEN_FILE:
        m_opener.OnOpenFileMsg(reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    case WM_DRIVE_ARRIVED:
        m_opener.OnDriveArrived(wParam);
        return 0;
    case WM_DRIVE_REMOVED:
        m_opener.OnDriveRemoved(wParam);
        return 0;
    case WM_NOTIFIER_CLICKED:
        m_opener.OnNotifierClicked();
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL CChildView::HandleCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    if (id == Table::ID_CONFIG) {
        m_options.ShowWindow(SW_SHOW);
        return TRUE;
    }
    if (id >= ViewCommands::kFirstSkinCommand && id <= ViewCommands::kLastSkinCommand) {
        m_commands.OnSkinCommand(id);
        return TRUE;
    }
    return m_commands.OnMenuCommand(id) ? TRUE : FALSE;
}

BOOL CChildView::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HandleCommand(wParam, lParam)) {
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CChildView::OnTimer(UINT_PTR id) {
    m_commands.OnTimer(id);
    CWnd::OnTimer(id);
}

void CChildView::OnHScroll(UINT code, UINT position, CWnd* scrollBar) {
    // The slider's own position: the message carries only 16 bits of it.
    const HWND from = scrollBar != nullptr ? scrollBar->m_hWnd : nullptr;
    const std::pair<UINT, PlaybackTransport::Slider> sliders[] = {
        {Table::ID_SEEK, PlaybackTransport::Slider::SEEK},
        {Table::ID_VOLUME, PlaybackTransport::Slider::VOLUME},
        {Table::ID_SPEED, PlaybackTransport::Slider::SPEED}};
    for (const auto& [id, kind] : sliders) {
        CWnd* slider = GetSkinControl(id);
        if (from != nullptr && slider != nullptr && slider->m_hWnd == from) {
            m_transport.OnHScroll(kind, code, Slider(id).GetPos());
            break;
        }
    }
    CWnd::OnHScroll(code, position, scrollBar);
}

void CChildView::OnPaint() {
    CPaintDC dc(this);
}

BOOL CChildView::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void CChildView::OnDestroy() {
    ReleaseResources();
    CWnd::OnDestroy();
}

void CChildView::ReleaseResources() {
    if (m_released) {
        return;
    }
    m_released = true;
    m_workers.JoinAll();
    m_repairWaitBox.DestroyWindow();
    if (m_loadingBox != nullptr) {
        m_loadingBox->DestroyWindow();
        m_loadingBox.reset();
    }
    // The transport closes every open channel; then the engine's threads end while the channel
    // windows they present into still exist.
    m_transport.Stop(0, 1);
    PlayerUninit();
    if (g_hKeyboardHook != nullptr) {
        UnhookWindowsHookEx(g_hKeyboardHook);
        g_hKeyboardHook = nullptr;
    }
    if (g_pKeyboardHookView == this) {
        g_pKeyboardHookView = nullptr;
    }
    for (auto& buffer : m_frameBuffers) {
        buffer.reset();
    }
    m_frameBufferSize = 0;
}

// IChannelWindowView

VideoState* CChildView::GetPlayer(int channel) {
    return m_transport.GetChannel(channel);
}

int CChildView::GetNumberOfChannel() {
    return m_numberOfChannel;
}

void CChildView::InvalidateChannel(int channel) {
    MovieWndDlg& window = m_channelWindows[static_cast<size_t>(channel)];
    if (window.m_hWnd != nullptr) {
        window.Invalidate(TRUE);
    }
}

void CChildView::InvalidateChannelWnd1() {
    InvalidateChannel(0);
}

void CChildView::InvalidateChannelWnd2() {
    InvalidateChannel(1);
}

void CChildView::InvalidateChannelWnd3() {
    InvalidateChannel(2);
}

void CChildView::InvalidateChannelWnd4() {
    InvalidateChannel(3);
}

CWnd* CChildView::GetPlaybackControlBar() {
    return m_controlBar.m_hWnd != nullptr ? &m_controlBar : nullptr;
}

// IPlaylistView

int CChildView::OpenAndPlay(int row) {
    return m_transport.OpenAndPlay(row);
}

void CChildView::DeleteSelectedRecordings() {
    m_transport.DeleteSelectedRecordings();
}

const int* CChildView::GetPlayingRowPointer() {
    return m_transport.GetPlayingRowPointer();
}

// IControlBarView

void CChildView::PlayPrevFile() {
    m_transport.PlayPrevFile();
}

void CChildView::Play() {
    m_transport.Play();
}

void CChildView::Pause() {
    m_transport.Pause();
}

void CChildView::Stop(int keepIndex, int force) {
    m_transport.Stop(keepIndex, force);
}

void CChildView::Step() {
    m_transport.Step();
}

void CChildView::PlayNextFile() {
    m_transport.PlayNextFile();
}

void CChildView::ShowCaptureMenu() {
    m_commands.ShowCaptureMenu();
}

void CChildView::DefogCurrentFrame(int) {
    m_transport.DefogCurrentFrame();
}

HWND CChildView::GetViewWindow() {
    return m_hWnd;
}

// ITransportView

std::wstring CChildView::LoadText(UINT id) {
    return LoadStringLang(g_hResourceDll, id, m_languageId);
}

UINT_PTR CChildView::SetTimer(UINT_PTR id, UINT milliseconds) {
    return CWnd::SetTimer(id, milliseconds);
}

void CChildView::KillTimer(UINT_PTR id) {
    CWnd::KillTimer(id);
}

void CChildView::ShowPlayButton(int paused) {
    ShowControl(Table::ID_PAUSE, paused == 0);
    ShowControl(Table::ID_PLAY, paused != 0);
    m_controlBar.ShowPlayButton(paused);
}

void CChildView::SetSpeedSliders(int step) {
    if (GetSkinControl(Table::ID_SPEED) != nullptr) {
        Slider(Table::ID_SPEED).SetPos(step);
    }
    if (m_controlBar.GetSpeedSlider().m_hWnd != nullptr) {
        m_controlBar.GetSpeedSlider().SetPos(step);
    }
}

void CChildView::SetSpeedLabel(const std::wstring& label) {
    for (CStaticEx* text : {&Label(Table::ID_PLAYBACK_SPEED), &m_controlBar.GetPlaybackSpeedLabel()}) {
        if (text->m_hWnd != nullptr) {
            text->SetWindowText(label.c_str());
            text->Invalidate(FALSE);
        }
    }
}

void CChildView::ShowSpeedReadout(const std::wstring& text, int speed) {
    if (CWnd* readout = GetSkinControl(Table::ID_SPEED_READOUT)) {
        readout->SetWindowText(text.c_str());
        readout->Invalidate(FALSE);
    }
    m_controlBar.SetSpeed(speed);
}

void CChildView::SetSeekRange(int maximum) {
    for (CSliderCtrlEx* slider : {&Slider(Table::ID_SEEK), &m_controlBar.GetSeekSlider()}) {
        if (slider->m_hWnd != nullptr) {
            slider->SetRange(0, maximum, FALSE);
        }
    }
}

void CChildView::SetSeekPosition(int position) {
    for (CSliderCtrlEx* slider : {&Slider(Table::ID_SEEK), &m_controlBar.GetSeekSlider()}) {
        if (slider->m_hWnd != nullptr) {
            slider->SetPos(position);
        }
    }
}

void CChildView::SetVolumeSliders(int position) {
    for (CSliderCtrlEx* slider : {&Slider(Table::ID_VOLUME), &m_controlBar.GetVolumeSlider()}) {
        if (slider->m_hWnd != nullptr) {
            slider->SetPos(position);
        }
    }
}

void CChildView::ShowPlaybackSliders(int show) {
    const bool shown = show == 1;
    ShowControl(Table::ID_VOLUME, shown);
    ShowControl(Table::ID_SPEED, shown);
    ShowControl(Table::ID_PLAYBACK_SPEED, shown);
    ShowControl(Table::ID_SLIDER_COVER, !shown);
}

void CChildView::InvalidateChannelWindows() {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        InvalidateChannel(channel);
    }
}

void CChildView::ReloadMap() {
    if (m_map != nullptr) {
        m_map->ReloadMap();
    }
}

// Without the map panel no page took the position: it is given again once the panel exists.
int CChildView::MoveMapTo(double latitude, double longitude) {
    return m_map != nullptr ? m_map->MoveTo(latitude, longitude) : 0;
}

void CChildView::ShowMapNotice(int flag) {
    if (m_map != nullptr) {
        m_map->ShowNotice(flag);
    }
}

void CChildView::ResetGraph() {
    m_sensor.ResetGraph();
}

void CChildView::AddGraphSample(int x, int y, int z) {
    m_sensor.AddSample(x, y, z);
}

void CChildView::SetGraphCursor(int percent) {
    m_sensor.SetCursor(percent);
}

void CChildView::SetGraphValues(double x, double y, double z) {
    m_sensor.SetCurrentValues(x, y, z);
}

bool CChildView::StartRepair(const stringex& key) {
    RepairRequest request;
    request.key = key;
    request.model = GetModelIndex();
    const wchar_t* front = m_catalogue.GetFilePath(key, 1);
    const wchar_t* rear = m_catalogue.GetFilePath(key, 0);
    request.frontPath = front != nullptr ? front : L"";
    request.rearPath = rear != nullptr ? rear : L"";
    GetWindowRect(&request.viewRect);
    request.language = m_languageId;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        if (m_list.GetItemKey(row) == key) {
            request.row = row;
            break;
        }
    }
    return m_repairs.Submit(std::move(request));
}

std::wstring CChildView::LoadRepairText(UINT id, LANGID language) {
    return LoadStringLang(g_hResourceDll, id, language);
}

void CChildView::ShowRepairMessage(const std::wstring& text) {
    MessageBox(m_hWnd, text, L"", MB_OK);
}

void CChildView::ShowRepairBox(const RECT& over) {
    m_repairWaitBox.ShowCentred(CRect(over));
}

void CChildView::HideRepairBox() {
    m_repairWaitBox.Hide();
}

void CChildView::ReplaceRecordFiles(const std::wstring& newPath, const stringex& oldKey, const stringex& newKey,
                                    int row) {
    m_catalogue.ReplaceRecordFiles(newPath, oldKey, newKey, &m_list, row);
}

void CChildView::ShowDefogWindow(const std::array<CapturedFrame, 4>& frames) {
    std::array<HBITMAP, kChannelCount> pictures{};
    for (size_t channel = 0; channel < pictures.size(); ++channel) {
        const CapturedFrame& frame = frames[channel];
        if (frame.open) {
            pictures[channel] =
                DefogPicture::SourceOfCapture(frame.width, frame.height, frame.pixels.data(), frame.pixels.size());
        }
    }
    m_defog.SetImages(pictures[0], pictures[1], pictures[2], pictures[3]);
    m_defog.Invalidate(TRUE);
    m_defog.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_defog.ShowWindow(SW_SHOW);
}

// ICommandView

CSlideSon* CChildView::SidePanelWindow(SidePanel panel) {
    switch (panel) {
    case GSENSOR_PANEL:
        return &m_sensor;
    case PLAYLIST_PANEL:
        return &m_playlist;
    case MAP_PANEL:
        return m_map.get();
    }
    return nullptr;
}

void CChildView::CreateMapPanel() {
    if (m_map != nullptr) {
        return;
    }
    m_map = std::make_unique<MapBGDlg>([] {
        DWORD flags = 0;
        return InternetGetConnectedState(&flags, 0) != FALSE;
    });
    m_map->Create(MapBGDlg::IDD, this);
    m_map->SetResStorage(&m_skin);
    m_map->CreateControls();
}

bool CChildView::IsPanelVisible(SidePanel panel) {
    CSlideSon* window = SidePanelWindow(panel);
    return window != nullptr && window->m_hWnd != nullptr && window->IsWindowVisible();
}

void CChildView::HidePanel(SidePanel panel) {
    if (CSlideSon* window = SidePanelWindow(panel); window != nullptr && window->m_hWnd != nullptr) {
        window->ShowWindow(SW_HIDE);
    }
}

void CChildView::BeginPanelSlide(SidePanel panel, UINT component) {
    if (panel == MAP_PANEL) {
        CreateMapPanel();
    }
    CSlideSon* window = SidePanelWindow(panel);
    if (window == nullptr || window->m_hWnd == nullptr) {
        return;
    }
    const CRect background =
        m_skin.GetComponentRect(ViewLayout::BackgroundComponent(GetModelIndex()), CRect());
    window->BeginSlide(m_skin.GetComponentRect(static_cast<eComponentID>(component), background));
}

void CChildView::SlidePanel(SidePanel panel) {
    if (CSlideSon* window = SidePanelWindow(panel); window != nullptr && window->m_hWnd != nullptr) {
        window->Slide();
    }
}

void CChildView::ShowPlaylistButton(int show) {
    ShowControl(Table::ID_PLAYLIST, show != 0);
}

bool CChildView::IsDefogVisible() {
    return m_defog.m_hWnd != nullptr && m_defog.IsWindowVisible();
}

void CChildView::ShowPasswordDialog() {
    CreatePasswordLock();
    m_passwordLock.SetMode(PasswordLock::kProveOld);
    m_passwordLock.ShowLocked();
}
void CChildView::OnCaptureToFile() {
    m_snapshots.CaptureToFile();
}

void CChildView::OnCaptureToPrinter() {
    m_snapshots.CaptureToPrinter();
}

bool CChildView::ChooseSnapshotName(std::wstring& path, int& filterIndex) {
    CFileDialog dialog(FALSE, ImageSaveName::kDefaultExtension, ImageSaveName::kInitialName,
                       OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_LONGNAMES, ImageSaveName::kFilter, this);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    path = static_cast<const std::wstring&>(dialog.GetPathName());
    filterIndex = dialog.GetFilterIndex();
    return true;
}

PrintOutcome CChildView::PrintPicture(CBitmap& bitmap, const BITMAP& info) {
    return PrintBitmap(this, &bitmap, &info);
}
void CChildView::CopyRecordings(int mode) {
    m_recordingCopy.Run(mode);
}
void CChildView::ReadConfig() {
    m_options.Editor().ReadConfig(0);
    m_options.ShowPage(m_options.Editor().Page());
}

int CChildView::ShowMessage(const std::wstring& text, UINT type) {
    return AfxMessageBox(text.c_str(), type);
}

void CChildView::PrepareCardFolders() {
    m_opener.PrepareCardFolders();
}

std::vector<CIniFile::Record> CChildView::DefaultConfig() {
    return m_skin.GetDefaultConfig();
}

bool CChildView::ChooseSettingsFile(bool save, std::wstring& path) {
    CFileDialog dialog(save ? FALSE : TRUE, L"*.txt", L"*.txt", 0x208004, L"TXT File (*.txt)|*.txt||", nullptr);
    if (dialog.DoModal() != IDOK)
        return false;
    path = static_cast<const std::wstring&>(dialog.GetPathName());
    return true;
}

CString CChildView::FormatVolume(char letter, int sectorsPerCluster, FormatProgressCallback callback,
                                 void* context) {
    // Noted while the card is still mounted: the format unmounts it, and the settings written back
    // afterwards need it mounted again with the letter leading there.
    CString error;
    FormatAndRemount(letter, FindCardMount(letter), [&] {
        error = FormatVolumeFat32(context, letter, sectorsPerCluster, callback);
        return error.IsEmpty();
    });
    return error;
}

void CChildView::OnOpenDirectory() {
    m_opener.OnOpenDirectory();
}

void CChildView::OnOpenFile() {
    m_opener.OnOpenFile();
}

int CChildView::OpenCardFolder() {
    return m_opener.OpenCardFolder(m_opener.GetDrivePath(), 0);
}

void CChildView::CloseMainWindow() {
    // Posted: the button that asks is one of the windows the close destroys.
    if (CWnd* frame = Frame()) {
        frame->PostMessage(WM_CLOSE);
    }
}

void CChildView::MinimizeMainWindow() {
    if (CWnd* frame = Frame()) {
        frame->ShowWindow(SW_MINIMIZE);
    }
}

void CChildView::ShowPopupMenu(const std::vector<MenuItem>& items, const POINT* at) {
    CMenu menu;
    if (!menu.CreatePopupMenu()) {
        return;
    }
    for (const MenuItem& item : items) {
        menu.AppendMenu(MF_STRING, item.id, item.text.c_str());
    }
    POINT point{};
    if (at != nullptr) {
        point = *at;
    } else {
        GetCursorPos(&point);
    }
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CChildView::HideLoadingBox() {
    if (m_loadingBox != nullptr) {
        m_loadingBox->ShowWindow(SW_HIDE);
    }
}

void CChildView::ShowMainWindow(int show) {
    CWnd* frame = Frame();
    if (show == 1) {
        if (frame != nullptr) {
            frame->ShowWindow(SW_SHOW);
        }
        ShowSidePanels(1);
    } else {
        ShowSidePanels(0);
        if (frame != nullptr) {
            frame->ShowWindow(SW_HIDE);
        }
    }
}

// IOpeningView

void CChildView::ShowWaitingBox(const std::wstring& text) {
    m_waitingBox = std::make_unique<CWaitingDialog>(this);
    m_waitingBox->Create(CWaitingDialog::IDD, this);
    m_waitingBox->SetText(CString(text));
    m_waitingBox->ShowWindow(SW_SHOW);
    m_waitingBox->Invalidate();
    // Drawn now: the reading that follows blocks the thread.
    m_waitingBox->UpdateWindow();
}

void CChildView::CloseWaitingBox() {
    if (m_waitingBox != nullptr) {
        m_waitingBox->DestroyWindow();
        m_waitingBox.reset();
    }
}

void CChildView::ShowLoadingBox() {
    if (m_loadingBox != nullptr) {
        m_loadingBox->ShowWindow(SW_SHOW);
        m_loadingBox->UpdateWindow();
    }
}

bool CChildView::BrowseForFolder(const std::wstring& title, std::wstring& folder) {
    CFolderDialog dialog(title.c_str(), this);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    folder = static_cast<const std::wstring&>(dialog.GetFolderPath());
    return true;
}

bool CChildView::ChooseFiles(const FileDialogSettings& settings, std::vector<std::wstring>& paths) {
    CFileDialog dialog(TRUE, settings.defaultExtension.c_str(), settings.fileName.c_str(), settings.flags,
                       settings.filter.c_str(), this);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    for (POSITION position = dialog.GetStartPosition(); position != nullptr;) {
        paths.push_back(static_cast<const std::wstring&>(dialog.GetNextPathName(position)));
    }
    return true;
}

void CChildView::SetPopupDriveLetter(char letter) {
    m_taskbarPopup.SetDriveLetter(letter);
}

char CChildView::GetPopupDriveLetter() {
    return m_taskbarPopup.GetDriveLetter();
}

void CChildView::ShowPopup(const std::wstring& text, DWORD timeToShow, DWORD timeToStay, DWORD timeToHide) {
    m_taskbarPopup.Show(text.c_str(), timeToShow, timeToStay, timeToHide);
}

void CChildView::HidePopup() {
    m_taskbarPopup.Hide();
}

int CChildView::PickRecorderDrive(const DWORD* vids, const DWORD* pids) {
    CUSBListDlg dialog(this);
    dialog.SetDriveIds(vids, pids);
    dialog.SetResStorage(&m_skin);
    dialog.DoModal();
    return dialog.GetSelectedDrive();
}

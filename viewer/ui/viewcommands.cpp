#include "viewer/ui/viewcommands.h"

#include "platform/base/trace.h"
#include "platform/base/windowsystem.h"
#include "viewer/app/globals.h"
#include "viewer/ui/listfilter.h"
#include "viewer/ui/playbacktick.h"
#include "viewer/ui/playbacktransport.h"
#include "viewer/ui/playerengine.h"
#include "viewer/ui/transportview.h"

#include <cstdint>

namespace {

constexpr UINT kStringCannotOpenDirectory = 168;

struct PanelSlide {
    UINT component; // the rectangle it slides out to
    UINT_PTR timer;
};

PanelSlide SlideOf(ICommandView::SidePanel panel) {
    switch (panel) {
    case ICommandView::GSENSOR_PANEL:
        return {0x10000021, ViewCommands::kGsensorSlideTimer};
    case ICommandView::MAP_PANEL:
        return {0x10000027, ViewCommands::kMapSlideTimer};
    case ICommandView::PLAYLIST_PANEL:
        break;
    }
    return {0x100000cd, ViewCommands::kPlaylistSlideTimer};
}

} // namespace

ViewCommands::ViewCommands(PlaybackTransport& transport, ListFilter& filter, IPlayerEngine& engine,
                           ITransportView& view, ICommandView& windows)
    : m_transport(transport), m_filter(filter), m_engine(engine), m_view(view), m_windows(windows) {}

void ViewCommands::BeginSlide(ICommandView::SidePanel panel) {
    const PanelSlide slide = SlideOf(panel);
    m_windows.BeginPanelSlide(panel, slide.component);
    // Period 0: the slide runs once, at the first expiry.
    m_view.SetTimer(slide.timer, 0);
}

void ViewCommands::OpenOrHidePanel(ICommandView::SidePanel panel) {
    if (m_windows.IsPanelVisible(panel)) {
        m_windows.HidePanel(panel);
    } else {
        BeginSlide(panel);
    }
}

void ViewCommands::OnSkinCommand(UINT id) {
    switch (id) {
    case 20000:
        m_windows.ShowPasswordDialog();
        break;
    case 20001:
        m_windows.CloseMainWindow();
        break;
    case 20002:
        m_windows.MinimizeMainWindow();
        break;
    case 20005:
        OpenOrHidePanel(ICommandView::GSENSOR_PANEL);
        break;
    case 20006:
        // The playlist is closed by sliding it back from its own side, never by its button.
        if (!m_windows.IsPanelVisible(ICommandView::PLAYLIST_PANEL)) {
            BeginSlide(ICommandView::PLAYLIST_PANEL);
        }
        break;
    case 20007:
        m_transport.PlayPrevFile();
        break;
    case 20008:
        m_transport.Play();
        break;
    case 20009:
        m_transport.Pause();
        break;
    case 20010:
        m_transport.Stop(0, 0);
        break;
    case 20011:
        m_transport.PlayNextFile();
        break;
    case 20012:
        m_transport.Step();
        break;
    case 20013:
        ShowCaptureMenu();
        break;
    case 20015:
        OpenOrHidePanel(ICommandView::MAP_PANEL);
        break;
    case 20016:
        if (!m_windows.IsDefogVisible()) {
            m_transport.DefogCurrentFrame();
        }
        break;
    case 20019:
        ShowOpenMenu();
        break;
    default:
        break;
    }
}

bool ViewCommands::OnMenuCommand(UINT id) {
    const int type = ListFilter::FilterTypeOfCommand(id);
    if (type != -1) {
        m_filter.SetFilter(type);
        m_transport.RefreshListSelection();
        return true;
    }
    switch (id) {
    case ID_OPEN_DIRECTORY:
        m_windows.OnOpenDirectory();
        return true;
    case ID_OPEN_FILE:
        m_windows.OnOpenFile();
        return true;
    case ID_CAPTURE_TO_FILE:
        m_windows.OnCaptureToFile();
        return true;
    case ID_CAPTURE_TO_PRINTER:
        m_windows.OnCaptureToPrinter();
        return true;
    case ID_VERIFY_RECORDING:
        m_transport.OnVerifyRecording();
        return true;
    case ID_FILE_COPY:
        m_windows.CopyRecordings(0);
        return true;
    case ID_VIDEO_COPY_FRONT:
        m_windows.CopyRecordings(1);
        return true;
    case ID_VIDEO_COPY_FRONT_SIDE:
        m_windows.CopyRecordings(2);
        return true;
    case ID_VIDEO_COPY_FRONT_REAR:
        m_windows.CopyRecordings(3);
        return true;
    default:
        return false;
    }
}

bool ViewCommands::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CONFIG_FILE_ADDED:
        m_windows.ReadConfig();
        return true;
    case WM_SHOW_TYPE_MENU:
        OnShowTypeMenu(lParam);
        return true;
    case WM_TOGGLE_LIST_ORDER:
        OnToggleListOrder();
        return true;
    case WM_RENDERER_RESET:
        TraceLine(L"------> reset\n");
        m_engine.ResetRenderers();
        return true;
    case WM_PLAYER_READ_ERROR:
        m_transport.OnPlayerReadError(wParam);
        return true;
    case WM_GRAPH_SEEK:
        m_transport.OnGraphSeek(lParam);
        return true;
    case WM_TOGGLE_PLAY:
        m_transport.TogglePlayPause();
        return true;
    default:
        return false;
    }
}

void ViewCommands::OnTimer(UINT_PTR id) {
    switch (id) {
    case PlaybackTick::kTimerId:
        m_transport.OnTick();
        break;
    case kGsensorSlideTimer:
        m_view.KillTimer(id);
        m_windows.SlidePanel(ICommandView::GSENSOR_PANEL);
        break;
    case kMapSlideTimer:
        m_view.KillTimer(id);
        m_windows.SlidePanel(ICommandView::MAP_PANEL);
        break;
    case kPlaylistSlideTimer:
        m_view.KillTimer(id);
        m_windows.SlidePanel(ICommandView::PLAYLIST_PANEL);
        m_windows.ShowPlaylistButton(0);
        break;
    case kCardOpenTimer:
        m_view.KillTimer(id);
        if (m_windows.OpenCardFolder() == 0) {
            MessageBox(m_view.GetViewWindow(), m_view.LoadText(kStringCannotOpenDirectory), L"", MB_OK);
        }
        m_windows.HideLoadingBox();
        m_windows.ShowMainWindow(1);
        break;
    default:
        break;
    }
}

std::vector<MenuItem> ViewCommands::OpenMenu() {
    return {{ID_OPEN_DIRECTORY, m_view.LoadText(176)}, {ID_OPEN_FILE, m_view.LoadText(177)}};
}

std::vector<MenuItem> ViewCommands::CaptureMenu() {
    if (!m_transport.IsAnyChannelOpen()) {
        return {};
    }
    std::vector<MenuItem> items{{ID_FILE_COPY, m_view.LoadText(233)}};
    // The video-copy items are the same fixed texts in every language.
    if (m_transport.GetChannel(1) != nullptr) {
        items.push_back({ID_VIDEO_COPY_FRONT, L"映像コピー（前方のみ）"});
    }
    if (m_transport.GetChannel(2) != nullptr || m_transport.GetChannel(3) != nullptr) {
        items.push_back({ID_VIDEO_COPY_FRONT_REAR, L"映像コピー（前方＋後方）"});
        items.push_back({ID_VIDEO_COPY_FRONT_SIDE, L"映像コピー（前方+側方）"});
    }
    items.push_back({ID_CAPTURE_TO_FILE, m_view.LoadText(179)});
    items.push_back({ID_CAPTURE_TO_PRINTER, m_view.LoadText(180)});
    return items;
}

std::vector<MenuItem> ViewCommands::TypeMenu() {
    // Manual recordings have a filter command but no item.
    return {{ID_FILTER_ALL, m_view.LoadText(175)},
            {ID_FILTER_ALWAYS, m_view.LoadText(165)},
            {ID_FILTER_EVENT, m_view.LoadText(166)},
            {ID_FILTER_MOTION, m_view.LoadText(209)},
            {ID_FILTER_PARKING, m_view.LoadText(203)}};
}

void ViewCommands::ShowOpenMenu() {
    m_windows.ShowPopupMenu(OpenMenu(), nullptr);
}

void ViewCommands::ShowCaptureMenu() {
    const std::vector<MenuItem> items = CaptureMenu();
    if (!items.empty()) {
        m_windows.ShowPopupMenu(items, nullptr);
    }
}

void ViewCommands::OnShowTypeMenu(LPARAM point) {
    // Signed: a monitor left of or above the primary one has negative coordinates.
    POINT at;
    at.x = static_cast<int16_t>(point & 0xFFFF);
    at.y = static_cast<int16_t>((point >> 16) & 0xFFFF);
    m_windows.ShowPopupMenu(TypeMenu(), &at);
}

void ViewCommands::OnToggleListOrder() {
    if (m_filter.ToggleOrder()) {
        m_transport.RefreshListSelection();
    }
}

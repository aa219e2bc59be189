#pragma once
// The main view's command table: its skinned buttons (19999-22000), its menu commands, its popup
// menus, the private messages the panels and the engine send it, and its timers. The view
// forwards them here; the transport, the list filter and the view's windows carry them out.

#include "platform/base/wintypes.h"
#include "viewer/ui/commandview.h"

#include <vector>

class IPlayerEngine;
class ITransportView;
class ListFilter;
class PlaybackTransport;

class ViewCommands {
  public:
    // The range of the view's skinned buttons; ids without a case do nothing.
    static constexpr UINT kFirstSkinCommand = 19999;
    static constexpr UINT kLastSkinCommand = 22000;

    enum : UINT {
        ID_FILTER_ALWAYS = 32771,
        ID_FILTER_EVENT = 32772,
        ID_FILTER_MOTION = 32773,
        ID_FILTER_PARKING = 32774,
        ID_FILTER_ALL = 32775,
        ID_FILTER_MANUAL = 32776,
        ID_OPEN_DIRECTORY = 32777,
        ID_OPEN_FILE = 32778,
        ID_CAPTURE_TO_FILE = 32779,
        ID_CAPTURE_TO_PRINTER = 32780,
        ID_VERIFY_RECORDING = 32781,
        ID_FILE_COPY = 32782,
        ID_VIDEO_COPY_FRONT = 32796,
        ID_VIDEO_COPY_FRONT_SIDE = 32797,
        ID_VIDEO_COPY_FRONT_REAR = 32798,
    };

    // The private message the G-sensor graph sends with a click's place (1/10000 of its width).
    static constexpr UINT WM_GRAPH_SEEK = 10010;

    static constexpr UINT_PTR kGsensorSlideTimer = 0x20000005;
    static constexpr UINT_PTR kMapSlideTimer = 0x20000006;
    static constexpr UINT_PTR kPlaylistSlideTimer = 0x20000007;
    static constexpr UINT_PTR kCardOpenTimer = 0x20000009;

    ViewCommands(PlaybackTransport& transport, ListFilter& filter, IPlayerEngine& engine,
                 ITransportView& view, ICommandView& windows);

    void OnSkinCommand(UINT id);
    // False for an id that is no menu command of the view.
    bool OnMenuCommand(UINT id);
    // WM_CONFIG_FILE_ADDED, WM_SHOW_TYPE_MENU, WM_TOGGLE_LIST_ORDER, WM_RENDERER_RESET,
    // WM_PLAYER_READ_ERROR, WM_GRAPH_SEEK and WM_TOGGLE_PLAY; false for any other message.
    bool OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The playback tick, the one-shot panel slides and the deferred open of a card.
    void OnTimer(UINT_PTR id);

    // The menus as they are built when asked for. The capture menu is empty, and not shown, while
    // no channel is open.
    std::vector<MenuItem> OpenMenu();
    std::vector<MenuItem> CaptureMenu();
    std::vector<MenuItem> TypeMenu();
    void ShowOpenMenu();
    void ShowCaptureMenu();
    // At the point of the message: signed 16-bit x in the low word, y in the high word.
    void OnShowTypeMenu(LPARAM point);
    // Swaps the list's order while it has rows, and finds the playing recording again.
    void OnToggleListOrder();

  private:
    void OpenOrHidePanel(ICommandView::SidePanel panel);
    void BeginSlide(ICommandView::SidePanel panel);

    PlaybackTransport& m_transport;
    ListFilter& m_filter;
    IPlayerEngine& m_engine;
    ITransportView& m_view;
    ICommandView& m_windows;
};

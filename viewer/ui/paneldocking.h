#pragma once
// Which sliding panels follow the main window when it moves or changes size: the map panel
// always, the G-sensor panel and the playlist only while no channel is shown alone and they are
// visible.

class PanelDocking {
  public:
    struct Redock {
        bool map = false;
        bool gsensor = false;
        bool playlist = false;

        bool operator==(const Redock& other) const {
            return map == other.map && gsensor == other.gsensor && playlist == other.playlist;
        }
    };

    // selectedChannel is the engine's enlarged channel (65535: none); a panel without a window
    // is never docked.
    static Redock Decide(int selectedChannel, bool mapExists, bool gsensorVisible, bool playlistVisible);
};

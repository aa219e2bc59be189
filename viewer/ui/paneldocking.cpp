#include "viewer/ui/paneldocking.h"

PanelDocking::Redock PanelDocking::Decide(int selectedChannel, bool mapExists, bool gsensorVisible,
                                          bool playlistVisible) {
    Redock redock;
    redock.map = mapExists;
    const bool enlarged = selectedChannel >= 0 && selectedChannel <= 3;
    redock.gsensor = !enlarged && gsensorVisible;
    redock.playlist = !enlarged && playlistVisible;
    return redock;
}

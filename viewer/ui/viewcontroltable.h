#pragma once
// The main view's skinned controls as the skin places them: one row per control, in the order
// they are made, with the component that gives its rectangle and images, its control id, the
// window it lies on, its style, options and first state; and the tool tips of its buttons.

#include "platform/ui/windefs.h"
#include "viewer/skin/componentinfo.h"

#include <vector>

class ViewControlTable {
  public:
    enum : UINT {
        ID_PASSWORD = 20000,
        ID_EXIT = 20001,
        ID_MINIMIZE = 20002,
        ID_VOLUME = 20004,
        ID_GSENSOR = 20005,
        ID_PLAYLIST = 20006,
        ID_PREV = 20007,
        ID_PLAY = 20008,
        ID_PAUSE = 20009,
        ID_STOP = 20010,
        ID_NEXT = 20011,
        ID_STEP = 20012,
        ID_CAPTURE = 20013,
        ID_CONFIG = 20014,
        ID_MAP = 20015,
        ID_DEFOG = 20016,
        ID_SEEK = 20017,
        ID_SPEED = 20018,
        ID_OPEN = 20019,
        ID_BACKGROUND = 20020,
        ID_LEFT_EDGE = 20021,
        ID_DIVIDER = 20022,
        ID_RIGHT_EDGE = 20023,
        ID_BOTTOM_STRIP = 20024,
        ID_SPEED_READOUT = 20025,
        ID_PLAYBACK_SPEED = 20027,
        ID_KMH = 20028,
        ID_DECORATION = 20029,
        ID_MPH = 20034,
        ID_MPH_NO_GPS = 20035,
        ID_SLIDER_PLATE = 32783,
        ID_SLIDER_COVER = 32784,
        ID_GPS_FIX = 32785,
        ID_GPS_NO_FIX = 32786,
        ID_KMH_NO_GPS = 32787,
    };

    enum Kind { BUTTON, SLIDER, LABEL };
    // The window a control lies on.
    enum Place { VIEW, BACKGROUND, BOTTOM_STRIP, SLIDER_PLATE, SPEED_READOUT };
    // The background's component depends on the recorder model (ViewLayout::BackgroundComponent).
    static constexpr UINT kBackgroundByModel = 0;

    struct Row {
        Kind kind;
        UINT component;
        UINT id;
        Place parent;
        // Whether the rectangle is relative to the parent's component; the controls on the
        // background are placed as if on the view.
        bool relativeToParent;
        DWORD style;
        DWORD options;
        bool hidden;
        // A grip that moves and sizes the main window.
        bool sizing;
        // Sliders: range 0 to maximum, first position.
        int maximum;
        int position;
    };

    struct ToolTip {
        UINT id;
        UINT stringId;
    };

    static const std::vector<Row>& Rows();
    // The password button's tool tip is added only when the button is shown.
    static constexpr ToolTip kPasswordToolTip{ID_PASSWORD, 217};
    static const std::vector<ToolTip>& ToolTips();
};

#pragma once
// The arithmetic of the main view's layout, apart from its windows: which background the recorder
// model gets, where the main window starts, where the channel windows go in the one-channel
// layout, and which speed-unit and GPS signs show.

#include "platform/ui/rect.h"
#include "platform/ui/windefs.h"
#include "viewer/skin/componentinfo.h"

class ViewLayout {
  public:
    // The 16:9 picture of the one-channel display, as the single-precision constant it is.
    static constexpr float kWideRatio = 1.7777778f;
    static constexpr COLORREF kReadoutWithFix = 0x30BBF2;
    static constexpr COLORREF kReadoutWithoutFix = 0x424242;

    // Models 0 to 3; an index outside that range counts as the nearest model.
    static eComponentID BackgroundComponent(int modelIndex);
    // Centred on the primary screen; an axis where the window is at least as large as the screen
    // starts at 0.
    static CPoint CentredCorner(CSize window, int screenWidth, int screenHeight);

    // The half of the view's height that each row of channel windows gets.
    static int RowHeight(int clientHeight, int stripHeight, int channel0Top);

    struct OneChannel {
        CRect channel0;
        // The window behind channel 0, disabled: the rear channel keeps playing unseen.
        CRect channel1;
    };
    // The one-channel layout of the view's client size; channel0Rect is channel 0's place in the
    // two-channel layout.
    static OneChannel ArrangeOneChannel(CSize client, int stripHeight, const CRect& channel0Rect,
                                        int leftEdgeWidth, int rightEdgeWidth, int oneChannelDisplay);

    struct Signs {
        bool kmh = false;
        bool kmhWithoutGps = false;
        bool mph = false;
        bool mphWithoutGps = false;
        bool gpsFix = false;
        bool gpsNoFix = false;
        bool mapShown = false;
        COLORREF readout = kReadoutWithoutFix;
    };
    // The unit signs after a change of unit (0 km/h, 1 mph); the GPS signs are left alone.
    static Signs UnitSigns(int unit, bool gpsSpeed);
    // The whole GPS-valid (non-zero) or GPS-invalid look.
    static Signs GpsSigns(int valid, int unit);
};

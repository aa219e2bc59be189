#pragma once
// The decisions of the full-screen playback control bar, apart from its window: where it goes,
// when it hides, which slider movements reach the main view, and what its labels say.

#include "platform/ui/rect.h"
#include "platform/ui/windefs.h"

#include <string>

class PlaybackControlRules {
  public:
    // The bar hides once the cursor is more than this far above the bottom of the monitor.
    static constexpr int kBottomReach = 70;
    static constexpr UINT_PTR kAutoHideTimer = 0;
    static constexpr UINT kAutoHidePeriod = 5000;

    enum Slider { SEEK, VOLUME, SPEED };

    // Centred at the bottom of the primary screen.
    static CRect OnPrimaryScreen(int screenWidth, int screenHeight, CSize bar);
    // Centred at the bottom of the monitor of the main window; the half of an odd difference
    // rounds towards zero.
    static CRect AtBottom(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight, CSize bar);
    static bool HidesWithCursorAt(int cursorY, int monitorTop, int monitorHeight);

    // Seek and volume act when the thumb is released; the playback speed follows the drag too.
    // Nothing goes to a view slider that is not known.
    static bool Forwards(Slider slider, UINT code, HWND viewSlider);

    // The vehicle speed readout: "    ---" without a speed.
    static std::wstring SpeedText(int speed);
    // 1 shows the play button; anything else the pause button.
    static bool ShowsPlayButton(int flag) { return flag == 1; }
    // 1 (mph) shows unit label B; anything else unit label A.
    static bool ShowsUnitB(int unit) { return unit == 1; }
    // Escape on the bar gives up the enlarged display of the front and rear channels only.
    static bool EscapeLeavesEnlarged(int selectedChannel) {
        return selectedChannel == 0 || selectedChannel == 1;
    }
};

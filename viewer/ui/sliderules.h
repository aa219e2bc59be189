#pragma once
// Where a sliding panel goes, worked out from the measured rectangles alone: the main window it
// docks to (P), the panel itself (S) and, when it opens below, the size it opens to (R). Each
// operation answers the steps the panel window carries out in order; all rectangles are on the
// screen. The panel moves in steps of 5 pixels and waits the slide delay between steps.

#include "platform/ui/rect.h"
#include "platform/ui/windefs.h"

#include <vector>

struct SlideStep {
    enum Kind {
        // Bring the dock parent to the top of the window order without moving or sizing it.
        RaiseDockParent,
        // Move and size the panel (SetWindowPos with the flags), at the top of the window order or
        // directly behind the dock parent.
        Place,
        // Show the panel window.
        Show,
        // Pause for the milliseconds before the next step.
        Wait,
    };
    enum Order { Top, BehindDockParent };

    Kind kind = Show;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    Order order = Top;
    UINT flags = 0;
    int milliseconds = 0;

    bool operator==(const SlideStep& other) const;
};

class SlideRules {
  public:
    enum DockMode { DOCK_LEFT = 0, DOCK_RIGHT = 1, DOCK_BELOW = 3 };
    enum Alignment { ALIGN_LEFT = 0, ALIGN_CENTRE = 1, ALIGN_RIGHT = 2 };
    static constexpr int kStep = 5;
    // Shown during a slide, without taking the focus or raising the main window with it.
    static constexpr UINT kSlideFlags = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

    // The left edge of a panel docked below, by alignment; false for an alignment that places nothing.
    static bool BelowX(const CRect& parent, const CRect& own, int alignment, int& x);

    static std::vector<SlideStep> DockToParent(const CRect& parent, const CRect& own, int mode,
                                               int alignment);
    static std::vector<SlideStep> BeginSlide(const CRect& parent, const CRect& own, const CRect& size,
                                             int mode, int alignment);
    static std::vector<SlideStep> Slide(const CRect& parent, const CRect& own, int mode, int alignment,
                                        int delay);

    static SlideStep Place(int x, int y, int width, int height, SlideStep::Order order, UINT flags);
    static SlideStep Wait(int milliseconds);
    static SlideStep Show();
    static SlideStep RaiseDockParent();
};

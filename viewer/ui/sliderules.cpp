#include "viewer/ui/sliderules.h"

#include <algorithm>

bool SlideStep::operator==(const SlideStep& other) const {
    return kind == other.kind && x == other.x && y == other.y && width == other.width &&
           height == other.height && order == other.order && flags == other.flags &&
           milliseconds == other.milliseconds;
}

SlideStep SlideRules::Place(int x, int y, int width, int height, SlideStep::Order order, UINT flags) {
    SlideStep step;
    step.kind = SlideStep::Place;
    step.x = x;
    step.y = y;
    step.width = width;
    step.height = height;
    step.order = order;
    step.flags = flags;
    return step;
}

SlideStep SlideRules::Wait(int milliseconds) {
    SlideStep step;
    step.kind = SlideStep::Wait;
    // A negative delay would be an endless pause.
    step.milliseconds = std::max(milliseconds, 0);
    return step;
}

SlideStep SlideRules::Show() {
    return SlideStep{};
}

SlideStep SlideRules::RaiseDockParent() {
    SlideStep step;
    step.kind = SlideStep::RaiseDockParent;
    return step;
}

bool SlideRules::BelowX(const CRect& parent, const CRect& own, int alignment, int& x) {
    switch (alignment) {
    case ALIGN_LEFT:
        x = parent.left;
        return true;
    case ALIGN_CENTRE:
        // C division: an odd difference rounds towards zero on either side.
        x = parent.left + (parent.Width() - own.Width()) / 2;
        return true;
    case ALIGN_RIGHT:
        x = parent.right - own.Width();
        return true;
    default:
        return false;
    }
}

std::vector<SlideStep> SlideRules::DockToParent(const CRect& parent, const CRect& own, int mode,
                                                int alignment) {
    if (mode != DOCK_BELOW) {
        return {Place(parent.right, parent.top, own.Width(), own.Height(), SlideStep::Top, SWP_SHOWWINDOW)};
    }
    int x = 0;
    if (!BelowX(parent, own, alignment, x)) {
        return {};
    }
    return {Place(x, parent.bottom, own.Width(), own.Height(), SlideStep::Top, SWP_SHOWWINDOW)};
}

std::vector<SlideStep> SlideRules::BeginSlide(const CRect& parent, const CRect& own, const CRect& size,
                                              int mode, int alignment) {
    if (mode != DOCK_BELOW) {
        return {Place(parent.right, parent.top + 4, own.Width(), parent.Height() - 8,
                      SlideStep::BehindDockParent, SWP_SHOWWINDOW)};
    }
    int x = 0;
    if (!BelowX(parent, own, alignment, x)) {
        return {};
    }
    // Hidden behind the main window, its bottom edge on the main window's bottom edge.
    return {RaiseDockParent(), Place(x, parent.bottom - own.Height(), size.Width(), size.Height(),
                                     SlideStep::BehindDockParent, kSlideFlags)};
}

std::vector<SlideStep> SlideRules::Slide(const CRect& parent, const CRect& own, int mode, int alignment,
                                         int delay) {
    std::vector<SlideStep> steps;
    switch (mode) {
    case DOCK_RIGHT:
    case DOCK_LEFT:
        if (delay == 0) {
            break;
        }
        for (int i = 0; i <= own.Width(); i += kStep) {
            const int x = mode == DOCK_RIGHT ? parent.right - own.Width() + i : parent.left - i;
            steps.push_back(Wait(delay));
            steps.push_back(Place(x, parent.top + 4, own.Width(), parent.Height() - 8,
                                  SlideStep::BehindDockParent, kSlideFlags));
        }
        break;
    case DOCK_BELOW: {
        int x = 0;
        if (!BelowX(parent, own, alignment, x)) {
            steps.push_back(Show());
            break;
        }
        if (delay == 0) {
            steps.push_back(
                Place(x, parent.bottom, own.Width(), own.Height(), SlideStep::BehindDockParent, kSlideFlags));
            steps.push_back(Show());
            break;
        }
        for (int i = 0; i <= own.Height(); i += kStep) {
            steps.push_back(Place(x, parent.bottom - own.Height() + i, own.Width(), own.Height(),
                                  SlideStep::BehindDockParent, kSlideFlags));
            if (i == 0) {
                steps.push_back(Show());
            }
            steps.push_back(Wait(delay));
        }
        break;
    }
    default:
        break;
    }
    return steps;
}

#include "viewer/ui/sliderules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr UINT kSlide = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

SlideStep Place(int x, int y, int width, int height, SlideStep::Order order, UINT flags) {
    return SlideRules::Place(x, y, width, height, order, flags);
}

long Count(const std::vector<SlideStep>& steps, SlideStep::Kind kind) {
    return std::count_if(steps.begin(), steps.end(),
                         [kind](const SlideStep& step) { return step.kind == kind; });
}

// The main window and a panel 100 x 300 somewhere else on the screen.
const CRect kParent(200, 100, 840, 900);
const CRect kPanel(10, 20, 110, 320);

TEST(SlideRules, RightOfTheParentWithoutDelayOpensAtOnceAndSlidesNowhere) {
    EXPECT_EQ(SlideRules::BeginSlide(kParent, kPanel, CRect(0, 0, 500, 200), SlideRules::DOCK_RIGHT, 0),
              std::vector<SlideStep>{Place(840, 104, 100, 792, SlideStep::BehindDockParent, SWP_SHOWWINDOW)});
    EXPECT_TRUE(SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_RIGHT, 0, 0).empty());
    EXPECT_TRUE(SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_LEFT, 0, 0).empty());
    EXPECT_EQ(SlideRules::DockToParent(kParent, kPanel, SlideRules::DOCK_RIGHT, 0),
              std::vector<SlideStep>{Place(840, 100, 100, 300, SlideStep::Top, SWP_SHOWWINDOW)});
}

TEST(SlideRules, BelowTheParentOpensBehindItThenDropsOutOfItsBottomEdge) {
    const CRect parent(200, 300, 840, 900);
    const CRect panel(0, 0, 640, 150);
    EXPECT_EQ(SlideRules::BeginSlide(parent, panel, CRect(0, 0, 500, 200), SlideRules::DOCK_BELOW,
                                     SlideRules::ALIGN_LEFT),
              (std::vector<SlideStep>{SlideRules::RaiseDockParent(),
                                      Place(200, 900 - 150, 500, 200, SlideStep::BehindDockParent, kSlide)}));
    // Measured again after the opening: the panel now has the size it was opened to.
    const CRect opened(200, 750, 700, 950);
    EXPECT_EQ(SlideRules::Slide(parent, opened, SlideRules::DOCK_BELOW, SlideRules::ALIGN_LEFT, 0),
              (std::vector<SlideStep>{Place(200, 900, 500, 200, SlideStep::BehindDockParent, kSlide),
                                      SlideRules::Show()}));
}

TEST(SlideRules, AlignmentBelowTheParent) {
    const struct {
        int parentWidth;
        int alignment;
        bool places;
        int x;
    } cases[] = {
        {640, SlideRules::ALIGN_LEFT, true, 200},
        {640, SlideRules::ALIGN_RIGHT, true, 200 + 640 - 100},
        {640, SlideRules::ALIGN_CENTRE, true, 200 + 270},
        // An odd difference rounds towards zero on either side.
        {107, SlideRules::ALIGN_CENTRE, true, 203},
        {93, SlideRules::ALIGN_CENTRE, true, 197},
        {640, 3, false, 0},
        {640, -1, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.parentWidth << " " << c.alignment);
        const CRect parent(200, 100, 200 + c.parentWidth, 500);
        int x = 0;
        ASSERT_EQ(SlideRules::BelowX(parent, kPanel, c.alignment, x), c.places);
        const std::vector<SlideStep> docked =
            SlideRules::DockToParent(parent, kPanel, SlideRules::DOCK_BELOW, c.alignment);
        if (c.places) {
            EXPECT_EQ(x, c.x);
            EXPECT_EQ(docked,
                      std::vector<SlideStep>{Place(c.x, 500, 100, 300, SlideStep::Top, SWP_SHOWWINDOW)});
        } else {
            EXPECT_TRUE(docked.empty());
        }
    }
}

TEST(SlideRules, ModesThatPlaceNothing) {
    // Mode 2 counts as right of the parent when opening, and slides nowhere.
    EXPECT_EQ(SlideRules::BeginSlide(kParent, kPanel, CRect(), 2, 0),
              std::vector<SlideStep>{Place(840, 104, 100, 792, SlideStep::BehindDockParent, SWP_SHOWWINDOW)});
    EXPECT_TRUE(SlideRules::Slide(kParent, kPanel, 2, 0, 40).empty());
    // Below with an unknown alignment: nothing is placed, but the slide still shows the panel.
    EXPECT_TRUE(
        SlideRules::BeginSlide(kParent, kPanel, CRect(0, 0, 500, 200), SlideRules::DOCK_BELOW, 3).empty());
    EXPECT_EQ(SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_BELOW, 3, 0),
              std::vector<SlideStep>{SlideRules::Show()});
    EXPECT_EQ(SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_BELOW, 3, 25),
              std::vector<SlideStep>{SlideRules::Show()});
}

TEST(SlideRules, ASlideWithDelayMovesInStepsOfFiveAndWaitsBeforeEach) {
    const std::vector<SlideStep> right = SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_RIGHT, 0, 30);
    ASSERT_EQ(right.size(), 42u);
    EXPECT_EQ(Count(right, SlideStep::Place), 21);
    EXPECT_EQ(Count(right, SlideStep::Wait), 21);
    for (int i = 0; i <= 20; ++i) {
        EXPECT_EQ(right[2 * i], SlideRules::Wait(30));
        EXPECT_EQ(right[2 * i + 1],
                  Place(840 - 100 + 5 * i, 104, 100, 792, SlideStep::BehindDockParent, kSlide));
    }
    const std::vector<SlideStep> left = SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_LEFT, 0, 30);
    ASSERT_EQ(left.size(), 42u);
    EXPECT_EQ(left[1], Place(200, 104, 100, 792, SlideStep::BehindDockParent, kSlide));
    EXPECT_EQ(left[41], Place(100, 104, 100, 792, SlideStep::BehindDockParent, kSlide));
    // A width that is no multiple of the step stops short of it.
    EXPECT_EQ(Count(SlideRules::Slide(kParent, CRect(0, 0, 104, 10), SlideRules::DOCK_RIGHT, 0, 30),
                    SlideStep::Place),
              21);
}

TEST(SlideRules, ASlideDownWithDelayShowsAfterItsFirstPlacementAndWaitsAfterEach) {
    const CRect parent(200, 300, 840, 900);
    const CRect panel(0, 0, 640, 100);
    const std::vector<SlideStep> steps =
        SlideRules::Slide(parent, panel, SlideRules::DOCK_BELOW, SlideRules::ALIGN_RIGHT, 10);
    ASSERT_EQ(steps.size(), 43u);
    EXPECT_EQ(steps[0], Place(200, 800, 640, 100, SlideStep::BehindDockParent, kSlide));
    EXPECT_EQ(steps[1], SlideRules::Show());
    EXPECT_EQ(steps[2], SlideRules::Wait(10));
    EXPECT_EQ(steps[41], Place(200, 900, 640, 100, SlideStep::BehindDockParent, kSlide));
    EXPECT_EQ(steps[42], SlideRules::Wait(10));
    EXPECT_EQ(Count(steps, SlideStep::Place), 21);
    EXPECT_EQ(Count(steps, SlideStep::Wait), 21);
    EXPECT_EQ(Count(steps, SlideStep::Show), 1);
}

TEST(SlideRules, ANegativeDelaySlidesWithoutPausing) {
    const std::vector<SlideStep> steps = SlideRules::Slide(kParent, kPanel, SlideRules::DOCK_RIGHT, 0, -1);
    EXPECT_EQ(Count(steps, SlideStep::Place), 21);
    for (const SlideStep& step : steps) {
        if (step.kind == SlideStep::Wait) {
            EXPECT_EQ(step.milliseconds, 0);
        }
    }
}

} // namespace

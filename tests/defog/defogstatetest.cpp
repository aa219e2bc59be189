// The defog window's decisions: zoom limits, fitting, the drag that pans, the strength sliders and
// the files a save writes.

#include "viewer/tools/defogstate.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

DefogState WithPictures(std::array<SIZE, 4> sizes) {
    DefogState state;
    state.SetPictures(sizes);
    return state;
}

const std::array<RECT, 4> kAreas = {RECT{10, 10, 110, 60}, RECT{120, 10, 220, 60}, RECT{10, 70, 110, 120},
                                    RECT{120, 70, 220, 120}};

} // namespace

TEST(DefogState, ZoomOutStopsAtTheSmallestZoomAndZoomInHasNoBound) {
    struct Case {
        int outs;
        int ins;
        double zoom;
    };
    const Case cases[] = {{0, 0, 0.5}, {2, 0, 0.3}, {3, 0, 0.2}, {9, 0, 0.2}, {9, 1, 0.3}, {0, 40, 4.5}};
    for (const Case& c : cases) {
        DefogState state = WithPictures({SIZE{640, 360}, SIZE{}, SIZE{}, SIZE{}});
        for (int i = 0; i < c.outs; ++i) {
            EXPECT_TRUE(state.ZoomOut(0));
        }
        for (int i = 0; i < c.ins; ++i) {
            EXPECT_TRUE(state.ZoomIn(0));
        }
        EXPECT_NEAR(state.Get(0).zoom, c.zoom, 1e-9) << c.outs << " out, " << c.ins << " in";
    }
    DefogState state = WithPictures({SIZE{640, 360}, SIZE{}, SIZE{}, SIZE{}});
    EXPECT_FALSE(state.ZoomIn(1));
    EXPECT_FALSE(state.ZoomOut(1));
    EXPECT_DOUBLE_EQ(state.Get(1).zoom, DefogState::kInitialZoom);
}

TEST(DefogState, FitTakesTheAreaWidthAndCentresVerticallyTruncatingTowardZero) {
    struct Case {
        SIZE picture;
        int areaWidth, areaHeight;
        double zoom;
        LONG y;
        RECT destination;
    };
    const Case cases[] = {
        {{800, 400}, 400, 300, 0.5, 50, {0, 50, 400, 250}},
        {{800, 600}, 400, 200, 0.5, -50, {0, -50, 400, 250}},
        // (270 - 299.25) / 2 = -14.625: toward zero, not down.
        {{1920, 1080}, 532, 270, 532.0 / 1920, -14, {0, -14, 532, 285}},
        // (271 - 270) / 2 = 0.5
        {{640, 360}, 480, 271, 0.75, 0, {0, 0, 480, 270}},
    };
    for (const Case& c : cases) {
        DefogState state = WithPictures({c.picture, SIZE{}, SIZE{}, SIZE{}});
        state.ZoomIn(0);
        ASSERT_TRUE(state.Fit(0, c.areaWidth, c.areaHeight));
        EXPECT_DOUBLE_EQ(state.Get(0).zoom, c.zoom);
        EXPECT_EQ(state.Get(0).pan.x, 0);
        EXPECT_EQ(state.Get(0).pan.y, c.y) << c.picture.cx << "x" << c.picture.cy;
        const RECT d = state.Destination(0);
        EXPECT_EQ(std::make_tuple(d.left, d.top, d.right, d.bottom),
                  std::make_tuple(c.destination.left, c.destination.top, c.destination.right,
                                  c.destination.bottom));
    }
    DefogState empty;
    EXPECT_FALSE(empty.Fit(2, 400, 300));
}

TEST(DefogState, HitsOnlyStrictlyInsideAnArea) {
    struct Case {
        POINT point;
        int channel;
    };
    const Case cases[] = {{{11, 11}, 0},  {{10, 30}, -1}, {{110, 30}, -1}, {{219, 59}, 1},
                          {{60, 70}, -1}, {{60, 71}, 2},  {{200, 119}, 3}, {{115, 65}, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(DefogState::HitChannel(kAreas, c.point), c.channel) << c.point.x << "," << c.point.y;
    }
}

TEST(DefogState, ADragPansOnlyInsideTheAreaItBeganIn) {
    DefogState state = WithPictures({SIZE{640, 360}, SIZE{640, 360}, SIZE{}, SIZE{}});
    const auto hit = [](POINT p) { return DefogState::HitChannel(kAreas, p); };
    const auto pan = [&](int channel) {
        return std::make_pair(static_cast<long>(state.Get(channel).pan.x),
                              static_cast<long>(state.Get(channel).pan.y));
    };

    EXPECT_FALSE(state.BeginDrag(hit({115, 30}), {115, 30})) << "a press between the areas drags nothing";
    EXPECT_FALSE(state.DragTo(hit({20, 20}), {20, 20}));
    EXPECT_EQ(pan(0), std::make_pair(0L, 0L));

    ASSERT_TRUE(state.BeginDrag(hit({20, 20}), {20, 20}));
    EXPECT_TRUE(state.DragTo(hit({25, 27}), {25, 27}));
    EXPECT_EQ(pan(0), std::make_pair(5L, 7L));
    // Over the neighbour: neither picture moves, and the last point stays where it was.
    EXPECT_FALSE(state.DragTo(hit({150, 30}), {150, 30}));
    EXPECT_EQ(pan(0), std::make_pair(5L, 7L));
    EXPECT_EQ(pan(1), std::make_pair(0L, 0L));
    EXPECT_TRUE(state.DragTo(hit({35, 17}), {35, 17}));
    EXPECT_EQ(pan(0), std::make_pair(15L, -3L));
    // Released outside: the drag ends without a last step.
    EXPECT_FALSE(state.EndDrag(hit({150, 30}), {150, 30}));
    EXPECT_FALSE(state.IsDragging());
    EXPECT_FALSE(state.DragTo(hit({40, 20}), {40, 20}));
    EXPECT_EQ(pan(0), std::make_pair(15L, -3L));

    // Released inside: one last step.
    ASSERT_TRUE(state.BeginDrag(hit({150, 30}), {150, 30}));
    EXPECT_TRUE(state.EndDrag(hit({140, 40}), {140, 40}));
    EXPECT_EQ(pan(1), std::make_pair(-10L, 10L));
    EXPECT_FALSE(state.EndDrag(hit({130, 40}), {130, 40})) << "a release without a drag pans nothing";
    EXPECT_EQ(pan(1), std::make_pair(-10L, 10L));
}

TEST(DefogState, TheThumbChangesTheLabelAndItsReleaseRestoresOrFilters) {
    DefogState state = WithPictures({SIZE{640, 360}, SIZE{}, SIZE{}, SIZE{}});
    state.Track(0, 7);
    EXPECT_EQ(state.LabelText(0), L"7");
    EXPECT_EQ(state.EndScroll(0, 9), DefogState::Release::Filter);
    EXPECT_EQ(state.LabelText(0), L"9");
    EXPECT_EQ(state.EndScroll(0, 0), DefogState::Release::Restore);
    EXPECT_EQ(state.LabelText(0), L"0");
    // A channel without a picture: the label follows the thumb, the release does nothing.
    state.Track(1, 4);
    EXPECT_EQ(state.EndScroll(1, 6), DefogState::Release::Nothing);
    EXPECT_EQ(state.LabelText(1), L"4");
    // A stray position never becomes a strength the slider cannot show.
    state.Track(0, 99);
    EXPECT_EQ(state.LabelText(0), L"15");
    EXPECT_EQ(DefogState::ChannelOfTimer(0x10000003), 2);
    EXPECT_EQ(DefogState::ChannelOfTimer(0x10000005), -1);
    EXPECT_EQ(DefogState::ChannelOfTimer(0x10000000), -1);
}

TEST(DefogState, NewPicturesBringTheStrengthsBackToZero) {
    DefogState state = WithPictures({SIZE{640, 360}, SIZE{640, 360}, SIZE{}, SIZE{}});
    state.EndScroll(0, 5);
    state.Track(2, 3);
    state.SetPictures({SIZE{320, 240}, SIZE{}, SIZE{0, 240}, SIZE{320, 0}});
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(state.LabelText(channel), L"0");
    }
    EXPECT_TRUE(state.HasPicture(0));
    EXPECT_FALSE(state.HasPicture(1));
    EXPECT_FALSE(state.HasPicture(2)) << "a picture without height is none";
    EXPECT_FALSE(state.HasPicture(3));
}

TEST(DefogState, SavePlansOneFileForEachChannelWithAPicture) {
    TestFolder folder;
    const std::wstring dir = folder.Wide() + L"/";
    const std::wstring longBase = dir + std::wstring(300 - dir.size() - 4, L'n');
    struct Case {
        std::wstring chosen;
        int filter;
        ImageFileFormat format;
        std::wstring first, second;
    };
    const Case cases[] = {
        {dir + L"b.jpg", 1, ImageFileFormat::Jpeg, dir + L"b-CH1.jpg", dir + L"b-CH3.jpg"},
        {dir + L"b.jpeg", 3, ImageFileFormat::Jpeg, dir + L"b-CH1.jpeg", dir + L"b-CH3.jpeg"},
        {dir + L"b.PNG", 1, ImageFileFormat::Png, dir + L"b-CH1.PNG", dir + L"b-CH3.PNG"},
        {dir + L"b.x", 2, ImageFileFormat::Bmp, dir + L"b.x-CH1.bmp", dir + L"b.x-CH3.bmp"},
        {longBase + L".bmp", 1, ImageFileFormat::Bmp, longBase.substr(0, 250) + L"-CH1.bmp",
         longBase.substr(0, 250) + L"-CH3.bmp"},
    };
    const DefogState state = WithPictures({SIZE{64, 32}, SIZE{}, SIZE{64, 32}, SIZE{}});
    for (const Case& c : cases) {
        const DefogState::SavePlan plan = state.PlanSave(c.chosen, c.filter);
        EXPECT_EQ(plan.format, c.format);
        ASSERT_EQ(plan.files.size(), 2u);
        EXPECT_EQ(plan.files[0], std::make_pair(0, c.first));
        EXPECT_EQ(plan.files[1], std::make_pair(2, c.second));
        EXPECT_TRUE(plan.existing.empty());
    }
    std::ofstream(folder / "b-CH3.jpg") << "taken";
    EXPECT_EQ(state.PlanSave(dir + L"b.jpg", 1).existing, dir + L"b-CH3.jpg");
}

// The main window's decisions without windows: device broadcasts, the layout arithmetic, panel
// docking, the full-screen bookkeeping and the view's workers.

#include "platform/ui/devicebroadcast.h"
#include "viewer/app/globals.h"
#include "viewer/ui/devicechangerules.h"
#include "viewer/ui/fullscreenstate.h"
#include "viewer/ui/paneldocking.h"
#include "viewer/ui/viewlayout.h"
#include "viewer/ui/workerthreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

void PrintRect(const CRect& rect, std::ostream* out) {
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

::testing::AssertionResult SameRect(const CRect& expected, const CRect& actual) {
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    std::ostringstream text;
    text << "expected ";
    PrintRect(expected, &text);
    text << ", got ";
    PrintRect(actual, &text);
    return ::testing::AssertionFailure() << text.str();
}

TEST(DeviceChangeRules, VolumesBecomeTheViewsDriveMessagesAndEverythingElseOnlyATrace) {
    DEV_BROADCAST_VOLUME volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    DEV_BROADCAST_HDR port;
    port.dbch_devicetype = 3;
    const auto of = [](const auto& broadcast) { return reinterpret_cast<LPARAM>(&broadcast); };

    struct Case {
        WPARAM event;
        DWORD unitMask;
        bool isVolume;
        UINT message;
        char letter;
        std::vector<std::string> traces;
    };
    const Case cases[] = {
        {DBT_DEVNODES_CHANGED, 0x10, true, 0, 0, {"DBT_DEVNODES_CHANGED"}},
        {DBT_DEVICEARRIVAL,
         0x10,
         true,
         WM_DRIVE_ARRIVED,
         'E',
         {"DBT_DEVICEARRIVAL", "DBT_DEVICEARRIVAL - E"}},
        {DBT_DEVICEARRIVAL, 0x1, true, WM_DRIVE_ARRIVED, 'A', {"DBT_DEVICEARRIVAL", "DBT_DEVICEARRIVAL - A"}},
        // The lowest letter of several.
        {DBT_DEVICEARRIVAL,
         0x2000000 | 0x40,
         true,
         WM_DRIVE_ARRIVED,
         'G',
         {"DBT_DEVICEARRIVAL", "DBT_DEVICEARRIVAL - G"}},
        {DBT_DEVICEREMOVECOMPLETE,
         0x2000000,
         true,
         WM_DRIVE_REMOVED,
         'Z',
         {"DBT_DEVICEREMOVECOMPLETE", "DBT_DEVICEREMOVECOMPLETE - Z"}},
        {DBT_DEVICEARRIVAL, 0x10, false, 0, 0, {"DBT_DEVICEARRIVAL"}},
        {DBT_DEVICEREMOVECOMPLETE, 0x10, false, 0, 0, {"DBT_DEVICEREMOVECOMPLETE"}},
        {0x8001, 0x10, true, 0, 0, {}},
    };
    for (const Case& c : cases) {
        volume.dbcv_unitmask = c.unitMask;
        const DeviceChangeRules::Action action =
            DeviceChangeRules::Decide(c.event, c.isVolume ? of(volume) : of(port));
        EXPECT_EQ(action.message, c.message) << c.event;
        EXPECT_EQ(action.letter, c.letter) << c.event;
        EXPECT_EQ(action.traces, c.traces) << c.event;
    }
    EXPECT_EQ(DeviceChangeRules::Decide(DBT_DEVICEARRIVAL, 0).message, 0u) << "a broadcast without a header";
}

TEST(ViewLayout, TheBackgroundFollowsTheModelAndOutOfRangeModelsTakeTheNearest) {
    EXPECT_EQ(ViewLayout::BackgroundComponent(0), CID_MAIN_BACKGROUND_0);
    EXPECT_EQ(ViewLayout::BackgroundComponent(1), CID_MAIN_BACKGROUND_1);
    EXPECT_EQ(ViewLayout::BackgroundComponent(2), CID_MAIN_BACKGROUND_2);
    EXPECT_EQ(ViewLayout::BackgroundComponent(3), CID_MAIN_BACKGROUND_3);
    EXPECT_EQ(ViewLayout::BackgroundComponent(7), CID_MAIN_BACKGROUND_3);
    EXPECT_EQ(ViewLayout::BackgroundComponent(-1), CID_MAIN_BACKGROUND_0);
}

TEST(ViewLayout, TheMainWindowIsCentredOnEachAxisWhereTheScreenIsLarger) {
    EXPECT_EQ(ViewLayout::CentredCorner(CSize(1280, 800), 1920, 1080), CPoint(320, 140));
    EXPECT_EQ(ViewLayout::CentredCorner(CSize(1281, 801), 1920, 1080), CPoint(319, 139));
    EXPECT_EQ(ViewLayout::CentredCorner(CSize(1280, 800), 1024, 1080), CPoint(0, 140));
    EXPECT_EQ(ViewLayout::CentredCorner(CSize(1280, 800), 1920, 800), CPoint(320, 0));
    EXPECT_EQ(ViewLayout::CentredCorner(CSize(1280, 800), 800, 600), CPoint(0, 0));
}

TEST(ViewLayout, OneChannelFillsTheRowOrKeepsSixteenToNine) {
    const CRect channel0(8, 40, 449, 370);
    struct Case {
        const char* name;
        CSize client;
        int display;
        CRect expected0;
    };
    // Strip 100 high, edges 8 and 383 wide: F = W - 391, R = (H - 140) / 2.
    const Case cases[] = {
        {"whole width", CSize(1280, 800), 0, CRect(8, 40, 897, 370)},
        // R = 330: 16:9 is 586 wide, narrower than F = 889, so centred across.
        {"wide window", CSize(1280, 800), 1, CRect(8 + (889 - 586) / 2, 40, 8 + (889 - 586) / 2 + 586, 370)},
        // F = 409 < 586: the full width, 230 high (409 / 1.7777778), centred in the row.
        {"narrow window", CSize(800, 800), 1,
         CRect(8, 40 + (330 - 230) / 2, 417, 40 + (330 - 230) / 2 + 230)},
        // Odd sizes: R = 330 (661 / 2), w = 586 truncated, F = 890; left 8 + 152.
        {"odd sizes", CSize(1281, 801), 1, CRect(160, 40, 746, 370)},
    };
    for (const Case& c : cases) {
        const ViewLayout::OneChannel layout =
            ViewLayout::ArrangeOneChannel(c.client, 100, channel0, 8, 383, c.display);
        EXPECT_TRUE(SameRect(c.expected0, layout.channel0)) << c.name;
        EXPECT_TRUE(
            SameRect(CRect(8, 40, 8 + c.client.cx - 391, 40 + (c.client.cy - 140) / 2), layout.channel1))
            << c.name;
    }
}

TEST(ViewLayout, SignsFollowTheUnitTheSpeedAndTheFix) {
    struct Case {
        int unit;
        bool speed;
        bool kmh, kmhWithout, mph, mphWithout;
    };
    const Case units[] = {{0, true, true, false, false, false},
                          {0, false, false, true, false, false},
                          {1, true, false, false, true, false},
                          {1, false, false, false, false, true},
                          {5, true, true, false, false, false}};
    for (const Case& c : units) {
        const ViewLayout::Signs signs = ViewLayout::UnitSigns(c.unit, c.speed);
        EXPECT_EQ(signs.kmh, c.kmh) << c.unit << c.speed;
        EXPECT_EQ(signs.kmhWithoutGps, c.kmhWithout) << c.unit << c.speed;
        EXPECT_EQ(signs.mph, c.mph) << c.unit << c.speed;
        EXPECT_EQ(signs.mphWithoutGps, c.mphWithout) << c.unit << c.speed;
    }
    const ViewLayout::Signs fix = ViewLayout::GpsSigns(1, 1);
    EXPECT_TRUE(fix.gpsFix && !fix.gpsNoFix && fix.mapShown && fix.mph);
    EXPECT_FALSE(fix.kmh || fix.kmhWithoutGps || fix.mphWithoutGps);
    EXPECT_EQ(fix.readout, 0x30BBF2u);
    const ViewLayout::Signs none = ViewLayout::GpsSigns(0, 0);
    EXPECT_TRUE(!none.gpsFix && none.gpsNoFix && !none.mapShown && none.kmhWithoutGps);
    EXPECT_FALSE(none.kmh || none.mph || none.mphWithoutGps);
    EXPECT_EQ(none.readout, 0x424242u);
}

TEST(PanelDocking, TheMapAlwaysFollowsAndTheOthersOnlyWhenVisibleAndNothingIsEnlarged) {
    using Redock = PanelDocking::Redock;
    EXPECT_EQ(PanelDocking::Decide(65535, true, true, true), (Redock{true, true, true}));
    EXPECT_EQ(PanelDocking::Decide(65535, false, false, true), (Redock{false, false, true}));
    EXPECT_EQ(PanelDocking::Decide(65535, true, true, false), (Redock{true, true, false}));
    for (int enlarged = 0; enlarged <= 3; ++enlarged) {
        EXPECT_EQ(PanelDocking::Decide(enlarged, true, true, true), (Redock{true, false, false})) << enlarged;
    }
    EXPECT_EQ(PanelDocking::Decide(4, true, true, true), (Redock{true, true, true}));
}

TEST(FullScreenState, RemembersWhereTheMainWindowStoodAndWhichPanelsShowed) {
    FullScreenState state;
    state.SetNormalPosition(CPoint(320, 140));
    state.SetBaseSize(CSize(1280, 800));
    EXPECT_TRUE(SameRect(CRect(320, 140, 1600, 940), state.BaseRect()));

    state.RememberNormal(CRect(100, 50, 1500, 950));
    EXPECT_EQ(state.GetNormalPosition(), CPoint(100, 50));
    EXPECT_TRUE(SameRect(CRect(100, 50, 1500, 950), state.NormalRect()));
    EXPECT_TRUE(SameRect(CRect(100, 50, 1380, 850), state.BaseRect())) << "the skin's size at the new place";

    FullScreenState::PanelFlags visible{};
    visible[FullScreenState::PLAYLIST] = true;
    visible[FullScreenState::MAP] = true;
    state.RememberPanels(visible);
    EXPECT_EQ(state.RememberedPanels(), visible);

    // A monitor above the primary one: its own top, the work area's left.
    EXPECT_TRUE(
        SameRect(CRect(1920, -1080, 3840, 0), FullScreenState::EnlargedRect(1920, -1080, 1920, 1080)));
    EXPECT_FALSE(FullScreenState::IsChannel(-1));
    EXPECT_TRUE(FullScreenState::IsChannel(0));
    EXPECT_TRUE(FullScreenState::IsChannel(3));
    EXPECT_FALSE(FullScreenState::IsChannel(65535));
}

TEST(WorkerThreads, StoppingAsksEveryWorkerAndWaitsForAllAndRefusesNewOnes) {
    WorkerThreads workers;
    std::atomic<int> ended{0};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(workers.Start([&] {
            while (!workers.StopRequested()) {
                std::this_thread::yield();
            }
            ++ended;
        }));
    }
    workers.JoinAll();
    EXPECT_EQ(ended.load(), 3);
    EXPECT_FALSE(workers.Start([&] { ++ended; }));
    EXPECT_EQ(ended.load(), 3);
}

} // namespace

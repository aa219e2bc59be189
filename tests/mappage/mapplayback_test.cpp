// The running program with the map panel open on a recording with GPS fixes: the playback tick
// moves the car on the map page and the G-sensor graph's cursor with the video, and offline it
// shows the page's notice and keeps the fix for the next tick.

#include "testfolder.h"
#include "uitest.h"

#include "platform/ui/connectedstate.h"
#include "platform/ui/qtaccess.h"
#include "tools/fixtures/avimaker.h"
#include "viewer/app/viewerapp.h"
#include "viewer/ui/mainframe.h"
#include "viewer/ui/viewcontroltable.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPageTimeout = 60000;
// The fix changes every kFramesPerFix frames: several ticks in a row share one fix, so that the
// tick after an offline one meets the fix that was kept back.
constexpr int kFps = 10;
constexpr int kFrames = 60;
constexpr int kFramesPerFix = 15;

bool Shown(CWnd& window) {
    return window.m_hWnd != nullptr && WidgetFromHandle(window.m_hWnd)->isVisible();
}

struct Fix {
    double latitude = 0;
    double longitude = 0;
};

class MapPlaybackTest : public testing::Test {
  protected:
    void SetUp() override {
        SetConnectedStateSource([this] { return online; });
        application = std::make_unique<CViewerApp>();
        ASSERT_TRUE(application->InitInstance());
        ASSERT_NE(application->GetFrame(), nullptr);
        view = &application->GetFrame()->GetView();
        ASSERT_TRUE(WaitFor([&] { return Shown(*application->GetFrame()); }));
    }

    void TearDown() override {
        application->m_pMainWnd = nullptr;
        application.reset();
        Pump();
        SetConnectedStateSource(nullptr);
    }

    // One AVI recording of the start-up model whose fixes stand 0.01 degrees apart.
    void MakeRecording() {
        fixtures::QuietCodecLogs();
        fixtures::AviOptions options;
        options.video.codec = fixtures::VideoCodec::H264;
        options.video.fps = kFps;
        options.video.frameCount = kFrames;
        for (int frame = 0; frame < kFrames; ++frame) {
            fixtures::GpsOptions gps;
            gps.speedKnots = 0;
            gps.latitude = 35.1 + 0.01 * (frame / kFramesPerFix);
            gps.longitude = 129.0 + 0.01 * (frame / kFramesPerFix);
            options.gpsSentences.push_back(
                fixtures::DriveTrack(options.start, gps).SentenceAt(static_cast<double>(frame) / kFps));
        }
        const std::string name = "2023_05_24_12_30_01_F_N.avi";
        fixtures::MakeAviRecording(recordings / name, options);
        ASSERT_NE(view->GetCatalogue().AddFile(recordings.Wide(name), &view->GetList()), 0);
        view->GetCatalogue().FillListByType(&view->GetList(), 9, 1);
    }

    MapPageWindow& Page() { return view->GetMapPanel()->GetPage(); }

    // What the page computes, read back through its update field; each request marks its answer.
    std::wstring Ask(const std::wstring& expression) {
        const std::wstring mark = L"r" + std::to_wstring(++requests) + L" ";
        Page().ExecScript(L"document.getElementById('UpdatePosition').value = '" + mark + L"' + (" + expression +
                          L"); report();");
        std::wstring value;
        EXPECT_TRUE(WaitFor(
            [&] {
                return Page().CDHtmlDialog::GetElementValue(L"UpdatePosition", &value) &&
                       value.compare(0, mark.size(), mark) == 0;
            },
            kPageTimeout))
            << expression.c_str();
        return value.size() >= mark.size() ? value.substr(mark.size()) : L"";
    }

    // The marker's place in degrees.
    Fix Marker() {
        const std::wstring answer =
            Ask(L"(function(p) { return p.lat.toFixed(6) + ' ' + p.lon.toFixed(6); })("
                L"markers.markers[0].lonlat.clone().transform(_map.getProjectionObject(), "
                L"new OpenLayers.Projection('EPSG:4326')))");
        Fix fix;
        EXPECT_EQ(std::swscanf(answer.c_str(), L"%lf %lf", &fix.latitude, &fix.longitude), 2) << answer.c_str();
        return fix;
    }
    std::wstring Notice() { return Ask(L"document.getElementById('notice').style.display"); }

    // The fix of the record the tick read, as the map is handed it.
    Fix FixAt(int position) {
        int count = 0;
        const GpsRecord* records = view->GetCatalogue().GetGpsRecords(view->GetTransport().GetPlayingKey(), &count);
        EXPECT_NE(records, nullptr);
        EXPECT_LT(position, count);
        if (records == nullptr || position >= count) {
            return {};
        }
        return {static_cast<float>(records[position].latitude), static_cast<float>(records[position].longitude)};
    }

    static bool Same(const Fix& a, const Fix& b) {
        return std::fabs(a.latitude - b.latitude) < 1e-5 && std::fabs(a.longitude - b.longitude) < 1e-5;
    }

    // Waits for the tick to read a new position; no event runs between its return and the caller's
    // next request to the page, so the page answers after that tick's statements.
    int NextTick(int last) {
        int position = last;
        EXPECT_TRUE(WaitFor(
            [&] {
                position = view->GetTransport().GetCurrentPosition();
                return position != last;
            },
            kPageTimeout))
            << "no tick after position " << last;
        return position;
    }

    bool online = true;
    int requests = 0;
    TestFolder recordings;
    std::unique_ptr<CViewerApp> application;
    CChildView* view = nullptr;
};

} // namespace

TEST_F(MapPlaybackTest, TheTickMovesTheCarAndTheGraphCursorWithTheVideoAndKeepsTheFixWhileOffline) {
    ASSERT_NO_FATAL_FAILURE(MakeRecording());
    ASSERT_EQ(view->GetMapPanel(), nullptr) << "the browser starts only when the map is opened";
    CWnd* button = view->GetSkinControl(ViewControlTable::ID_MAP);
    ASSERT_NE(button, nullptr);
    view->SendMessage(WM_COMMAND, MAKEWPARAM(ViewControlTable::ID_MAP, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button->m_hWnd));
    ASSERT_NE(view->GetMapPanel(), nullptr);
    ASSERT_TRUE(WaitFor(
        [&] {
            std::wstring initialised;
            return Shown(*view->GetMapPanel()) && Page().Logic().IsPageLoaded() &&
                   Page().CDHtmlDialog::GetElementValue(L"InitVal", &initialised) && initialised == L"true";
        },
        kPageTimeout));

    ASSERT_EQ(view->OpenAndPlay(0), 1);
    const int maximum = view->GetTransport().GetSeekMaximum();
    ASSERT_EQ(maximum, kFrames);
    const CPushGraph& graph = view->GetSensorPanel().GetGraph();
    int position = view->GetTransport().GetCurrentPosition();
    // Online, every tick leaves the car on the fix of the frame it read, and the cursor where that
    // frame lies in the recording; the fixes come in the recording's order.
    int cursor = 0;
    std::vector<int> fixesShown;
    while (fixesShown.size() < 2) {
        position = NextTick(position);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_LT(position, kFrames - kFramesPerFix) << "the recording ran out before the second fix";
        EXPECT_TRUE(Same(Marker(), FixAt(position))) << "position " << position;
        EXPECT_GE(graph.GetCursor(), cursor) << "position " << position;
        cursor = graph.GetCursor();
        EXPECT_GE(cursor, position * 100 / maximum) << "position " << position;
        EXPECT_LE(cursor, (position + 1) * 100 / maximum) << "position " << position;
        const int fix = position / kFramesPerFix;
        if (fixesShown.empty() || fixesShown.back() != fix) {
            EXPECT_TRUE(fixesShown.empty() || fix > fixesShown.back());
            fixesShown.push_back(fix);
        }
    }
    EXPECT_EQ(Notice(), L"none");

    // Offline, the first tick on a new fix leaves the car where it was and shows the notice.
    online = false;
    const Fix kept = Marker();
    do {
        position = NextTick(position);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_LT(position, kFrames - 1) << "the recording ran out before a new fix";
    } while (Same(FixAt(position), kept));
    EXPECT_TRUE(Same(Marker(), kept)) << "position " << position;
    EXPECT_EQ(Notice(), L"block");

    // Online again, the next tick hands over the fix the page never took, even when the video is
    // still on it.
    online = true;
    position = NextTick(position);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(Same(Marker(), FixAt(position))) << "position " << position;
    EXPECT_EQ(Notice(), L"none");
    EXPECT_GT(graph.GetCursor(), cursor);
}

#include "platform/ui/connectedstate.h"
#include "platform/ui/htmldialog.h"
#include "uitest.h"
#include "viewer/ui/mapdlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The browser's first start takes a while on a slow machine; this only bounds a hang.
constexpr int kPageTimeout = 60000;

// The map page as the map panel hosts it: the panel's logic over the HTML dialog.
class PageWindow : public CDHtmlDialog, public IMapPage {
  public:
    int RunScript(const std::wstring& statement) override { return ExecScript(statement); }
    bool GetElementValue(const std::wstring& id, std::wstring* value) override {
        return CDHtmlDialog::GetElementValue(id, value);
    }

    std::vector<std::wstring> events;
    MapDlg logic{*this, [] {
                     DWORD flags = 0;
                     return InternetGetConnectedState(&flags, 0) != FALSE;
                 }};

  protected:
    void OnDocumentComplete(const std::wstring& url) override {
        events.push_back(L"complete " + url);
        logic.OnDocumentComplete(url);
    }
    void OnBeforeNavigate(const std::wstring& url) override {
        events.push_back(L"navigate " + url);
        logic.OnBeforeNavigate(url);
    }
};

class MapPageTest : public testing::Test {
  protected:
    void SetUp() override {
        SetConnectedStateSource([this] { return online; });
        ASSERT_TRUE(top.CreateTop(CRect(0, 0, 400, 340)));
        ASSERT_TRUE(page.Create(&top, CRect(8, 28, 352, 317), 0xE900));
        page.LoadFromResource(L"322.html");
        ASSERT_TRUE(WaitFor([&] { return page.logic.IsPageLoaded(); }, kPageTimeout));
        EXPECT_EQ(Element(L"InitVal"), L"true") << "complete once the page told its elements";
    }
    void TearDown() override { SetConnectedStateSource(nullptr); }

    std::wstring Element(const wchar_t* id) {
        std::wstring value;
        return page.CDHtmlDialog::GetElementValue(id, &value) ? value : L"<none>";
    }

    // The marker count and the marker's place in degrees, as the page reports them back.
    std::wstring Marker() {
        page.ExecScript(
            L"document.getElementById('UpdatePosition').value = markers.markers.length + ' ' + "
            L"markers.markers[0].lonlat.clone().transform(_map.getProjectionObject(), "
            L"new OpenLayers.Projection('EPSG:4326')).toShortString().replace(/(\\.\\d{4})\\d*/g, "
            L"'$1'); report();");
        std::wstring value;
        EXPECT_TRUE(WaitFor([&] { return (value = Element(L"UpdatePosition")) != L"x"; }, kPageTimeout));
        page.ExecScript(L"document.getElementById('UpdatePosition').value = 'x'; report();");
        EXPECT_TRUE(WaitFor([&] { return Element(L"UpdatePosition") == L"x"; }, kPageTimeout));
        return value;
    }

    bool online = true;
    TestWindow top;
    PageWindow page;
};

} // namespace

TEST_F(MapPageTest, ThePageBuildsOfflineAndFollowsThePositions) {
    EXPECT_EQ(page.events,
              (std::vector<std::wstring>{L"navigate res://HTML/322.html", L"complete res://HTML/322.html"}));
    EXPECT_EQ(Element(L"UpdatePosition_IDX"), L"x");
    EXPECT_EQ(page.logic.CheckPageReady(), 1);
    EXPECT_EQ(Marker(), L"1 126.9779, 37.5665");

    EXPECT_EQ(page.logic.MoveTo(35.179554, 129.075642), 1);
    EXPECT_EQ(Marker(), L"1 129.0756, 35.1795");
    EXPECT_EQ(page.logic.MoveTo(0.0, 127.0), 1) << "the page ran it and ignored it";
    EXPECT_EQ(Marker(), L"1 129.0756, 35.1795");

    online = false;
    EXPECT_EQ(page.logic.MoveTo(36.0, 128.0), 0);
    EXPECT_EQ(Marker(), L"1 129.0756, 35.1795");
    page.ExecScript(L"document.getElementById('UpdatePosition').value = "
                    L"document.getElementById('notice').style.display; report();");
    EXPECT_TRUE(WaitFor([&] { return Element(L"UpdatePosition") == L"block"; }, kPageTimeout));
}

TEST_F(MapPageTest, AReloadGoesThroughAnUnloadedPageBackToTheStart) {
    ASSERT_EQ(page.logic.MoveTo(35.179554, 129.075642), 1);
    page.events.clear();
    page.logic.ReloadPage();
    ASSERT_TRUE(
        WaitFor([&] { return page.events.size() >= 2 && Element(L"InitVal") == L"true"; }, kPageTimeout));
    EXPECT_EQ(page.events,
              (std::vector<std::wstring>{L"navigate res://HTML/322.html", L"complete res://HTML/322.html"}));
    EXPECT_TRUE(page.logic.IsPageLoaded());
    EXPECT_EQ(Marker(), L"1 126.9779, 37.5665");
}

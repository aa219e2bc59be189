#include "viewer/ui/mapdlg.h"
#include "platform/base/process.h"
#include "platform/base/trace.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

// Runs what it is given while it has a document, and answers element reads from a table.
class FakeMapPage : public IMapPage {
  public:
    int RunScript(const std::wstring& statement) override {
        statements.push_back(statement);
        return failing ? 1 : 0;
    }
    bool GetElementValue(const std::wstring& id, std::wstring* value) override {
        const auto found = elements.find(id);
        if (found == elements.end()) {
            return false;
        }
        *value = found->second;
        return true;
    }

    std::vector<std::wstring> statements;
    std::map<std::wstring, std::wstring> elements;
    bool failing = false;
};

class MapDlgTest : public testing::Test {
  protected:
    void SetUp() override { map.OnDocumentComplete(L"res://TREVO_VIEWER/322"); }

    FakeMapPage page;
    bool connected = true;
    MapDlg map{page, [this] { return connected; }};
};

// Writes a decimal comma where the C library follows the process locale; false when the system
// has no such locale and none can be built.
bool UseCommaLocale(TestFolder& folder) {
    bool active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (!active) {
        int exitCode = 0;
        RunProcessAndWait({L"localedef", L"-i", L"de_DE", L"-f", L"UTF-8", folder.Wide("de_DE.UTF-8")},
                          ProcessOutput::Hidden, exitCode);
        setenv("LOCPATH", folder.Path().c_str(), 1);
        active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    return active && std::string(probe) == "1,5";
}

} // namespace

TEST_F(MapDlgTest, StatementsAndResultsOfThePanelsCalls) {
    TestFolder folder;
    const bool comma = UseCommaLocale(folder);
    const struct {
        const char* what;
        bool connected;
        bool failing;
        std::function<int(MapDlg&)> call;
        std::wstring statement;
        int result;
    } cases[] = {
        {"a position while connected", true, false, [](MapDlg& m) { return m.MoveTo(37.123456, 127.0); },
         L"javascript:MoveTo(37.123456, 127.000000);", 1},
        {"a position the page failed to take is given again", true, true,
         [](MapDlg& m) { return m.MoveTo(-33.5, 151.25); }, L"javascript:MoveTo(-33.500000, 151.250000);", 0},
        {"a position without a connection shows the notice", false, false,
         [](MapDlg& m) { return m.MoveTo(37.1, 127.0); }, L"javascript:ShowNotice(true);", 0},
        {"notice 0 shows it", true, false,
         [](MapDlg& m) {
             m.ShowNotice(0);
             return 0;
         },
         L"javascript:ShowNotice(true);", 0},
        {"notice 1 hides it", true, false,
         [](MapDlg& m) {
             m.ShowNotice(1);
             return 0;
         },
         L"javascript:ShowNotice(false);", 0},
        {"notice 5 runs nothing", true, false,
         [](MapDlg& m) {
             m.ShowNotice(5);
             return 0;
         },
         L"", 0},
        {"a drive path is built from numbers", true, false,
         [](MapDlg& m) {
             return m.AddDrivePath({37.5, 127.25, std::nan("")}, {});
         },
         L"javascript:AddDrivePath([37.5,127.25,null], []);", 1},
        {"a drive path without a connection shows the notice", false, false,
         [](MapDlg& m) { return m.AddDrivePath({1.0}, {2.0}); }, L"javascript:ShowNotice(true);", 0},
        {"a reload", true, false,
         [](MapDlg& m) {
             m.ReloadPage();
             return 0;
         },
         L"javascript:window.location.reload();", 0},
    };
    std::vector<std::wstring> statements;
    std::vector<int> results;
    for (const auto& c : cases) {
        connected = c.connected;
        page.failing = c.failing;
        page.statements.clear();
        results.push_back(c.call(map));
        statements.push_back(page.statements.size() == 1 ? page.statements[0] : L"<none or several>");
    }
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(statements[i], cases[i].statement) << cases[i].what;
        EXPECT_EQ(results[i], cases[i].result) << cases[i].what;
    }
    if (!comma) {
        GTEST_SKIP() << "no locale with a decimal comma: the statements were written in the C locale only";
    }
}

TEST_F(MapDlgTest, ADrivePathThePageRefusesIsReported) {
    std::vector<std::wstring> lines;
    const TraceSink previous = SetTraceSink([&](const std::wstring& line) { lines.push_back(line); });
    page.failing = true;
    EXPECT_EQ(map.AddDrivePath({}, {}), 0);
    SetTraceSink(previous);
    EXPECT_EQ(page.statements, std::vector<std::wstring>{L"javascript:AddDrivePath([], []);"});
    EXPECT_EQ(lines, std::vector<std::wstring>{L"AddDrivePath connected False"});
    EXPECT_EQ(MapDlg::ScriptNumber(-std::numeric_limits<double>::infinity()), L"null");
    EXPECT_EQ(MapDlg::ScriptNumber(0.1), L"0.10000000000000001");
}

TEST_F(MapDlgTest, ThePageIsReadyOnlyWhenItsInitialValueIsExactlyTrue) {
    const struct {
        const char* what;
        bool connected;
        const wchar_t* initVal; // null: no such element
        int result;
        bool reloads;
    } cases[] = {
        {"built", true, L"true", 1, false},           {"other case", true, L"True", -1, true},
        {"not yet built", true, L"false", -1, true},  {"no element", true, nullptr, -1, true},
        {"no connection", false, L"true", -1, false},
    };
    for (const auto& c : cases) {
        connected = c.connected;
        page.elements.clear();
        if (c.initVal != nullptr) {
            page.elements[L"InitVal"] = c.initVal;
        }
        page.statements.clear();
        EXPECT_EQ(map.CheckPageReady(), c.result) << c.what;
        EXPECT_EQ(page.statements, c.reloads
                                       ? std::vector<std::wstring>{L"javascript:window.location.reload();"}
                                       : std::vector<std::wstring>{})
            << c.what;
    }
}

TEST_F(MapDlgTest, NothingRunsWhileThePageLoads) {
    const struct {
        bool navigation; // false: a completed document
        const wchar_t* url;
        bool loaded;
    } steps[] = {
        {true, L"res://TREVO_VIEWER/322", false},      {true, L"javascript:void(0)", false},
        {false, L"https://tile.example/1.png", false}, {false, L"res://TREVO_VIEWER/322", true},
        {true, L"javascript:void(0)", true},           {true, L"https://www.openstreetmap.org/", true},
        {true, L"res://TREVO_VIEWER/322", false},
    };
    for (const auto& step : steps) {
        if (step.navigation) {
            map.OnBeforeNavigate(step.url);
        } else {
            map.OnDocumentComplete(step.url);
        }
        page.statements.clear();
        EXPECT_EQ(map.IsPageLoaded(), step.loaded) << step.url;
        EXPECT_EQ(map.RunScript(L"javascript:ShowNotice(false);"), step.loaded ? 0 : 1) << step.url;
        EXPECT_EQ(map.MoveTo(1.0, 2.0), step.loaded ? 1 : 0) << "a position sent while loading is lost";
        EXPECT_EQ(page.statements.size(), step.loaded ? 2u : 0u) << step.url;
    }
}

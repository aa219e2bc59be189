// The repair of a broken recording in the running program: the recording without its index is
// offered for repair, our repair program rebuilds it beside the program while the wait box shows,
// and the recording then plays.

#include "scopedenvironment.h"
#include "testfolder.h"
#include "uitest.h"

#include "platform/base/unicode.h"
#include "platform/ui/messagebox.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/moviemaker.h"
#include "tools/fixtures/recordernames.h"
#include "viewer/app/viewerapp.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/ui/mainframe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

class AgreeingBoxes : public MessageBoxHandler {
  public:
    AgreeingBoxes() : m_previous(SetMessageBoxHandler(this)) {}
    ~AgreeingBoxes() override { SetMessageBoxHandler(m_previous); }
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT type) override {
        std::lock_guard<std::mutex> hold(m_lock);
        texts.push_back(text);
        return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
    bool Told(const std::wstring& text) {
        std::lock_guard<std::mutex> hold(m_lock);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::vector<std::wstring> texts;

  private:
    std::mutex m_lock;
    MessageBoxHandler* m_previous;
};

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The running program with a home of its own (documents and repair folders inside it).
class RepairFlowTest : public testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(home / "config");
        application = std::make_unique<CViewerApp>();
        ASSERT_TRUE(application->InitInstance());
        view = &application->GetFrame()->GetView();
        fixtures::QuietCodecLogs();
    }
    void TearDown() override {
        application->m_pMainWnd = nullptr;
        application.reset();
        Pump();
    }

    // Offers the first row's recording for repair, agrees, and waits for the result.
    void OfferAndRepair(AgreeingBoxes& boxes) {
        ASSERT_NE(view->GetCatalogue().AddFile(card.Wide(name), &view->GetList()), 0);
        if (!rearName.empty()) {
            ASSERT_NE(view->GetCatalogue().AddFile(card.Wide(rearName), &view->GetList()), 0);
        }
        view->GetCatalogue().FillListByType(&view->GetList(), 9, 1);
        EXPECT_EQ(view->OpenAndPlay(0), 0);
        EXPECT_TRUE(boxes.Told(view->LoadText(210)));
        ASSERT_TRUE(WaitFor([&] { return boxes.Told(view->LoadText(212)); }, 60000)) << boxes.texts.size();
        EXPECT_TRUE(WaitFor([&] { return view->GetRepairWaitBox().IsWindowVisible() == FALSE; }));
    }

    void ExpectItPlays(AgreeingBoxes& boxes) {
        const size_t told = boxes.texts.size();
        ASSERT_EQ(view->OpenAndPlay(0), 1)
            << (boxes.texts.size() > told ? Utf8FromWide(boxes.texts.back()) : "");
        EXPECT_NE(view->GetPlayer(0), nullptr);
    }

    TestFolder home;
    ScopedEnvironment homeVariable{"HOME", home.Path().string()};
    ScopedEnvironment configVariable{"XDG_CONFIG_HOME", (home / "config").string()};
    TestFolder card;
    std::string name;
    // The rear camera's recording of the same time, when there is one.
    std::string rearName;
    std::unique_ptr<CViewerApp> application;
    CChildView* view = nullptr;
};

// Each MP4/MOV recorder model: the front and the rear recording are both rebuilt, each with the
// model's own reference recording for its camera, and the pair then plays.
class RepairFlowModelTest : public RepairFlowTest, public testing::WithParamInterface<int> {};

TEST_P(RepairFlowModelTest, Mp4RecordingsWithoutTheirIndexAreRebuiltInPlaceAndThenPlay) {
    const int model = GetParam();
    SetModelIndex(model);
    fixtures::MovieOptions options;
    options.model = model;
    options.audio = true;
    options.video.frameCount = 45;
    options.damage.dropIndex = true;
    const std::string token = fixtures::RecordingKinds(model).front().token;
    name = fixtures::RecordingName("", options.start, 'F', token, "mp4");
    rearName = fixtures::RecordingName("", options.start, 'R', token, "mp4");
    fixtures::MakeMovieRecording(card / name, options);
    options.channel = 1;
    fixtures::MakeMovieRecording(card / rearName, options);
    const std::string broken = Contents(card / name);
    const std::string brokenRear = Contents(card / rearName);
    AgreeingBoxes boxes;
    OfferAndRepair(boxes);
    // The broken files stay beside the repaired ones; the working files are gone.
    EXPECT_EQ(Contents(card / ("original_" + name)), broken);
    EXPECT_EQ(Contents(card / ("original_" + rearName)), brokenRear);
    EXPECT_TRUE(std::filesystem::is_empty(home / "Documents"));
    ExpectItPlays(boxes);
    EXPECT_NE(view->GetPlayer(1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Models, RepairFlowModelTest, testing::Values(0, 1, 2),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Model" + std::to_string(info.param);
                         });

TEST_F(RepairFlowTest, AnAviRecordingWithoutItsIndexIsRebuiltInTheRepairFolderAndThenPlays) {
    ASSERT_EQ(GetModelIndex(), 3);
    fixtures::AviOptions options;
    options.video.frameCount = 30;
    options.textChunks = false;
    options.damage.dropIndex = true;
    name = "2023_05_24_12_30_01_F_N.avi";
    fixtures::MakeAviRecording(card / name, options);
    const std::string broken = Contents(card / name);
    AgreeingBoxes boxes;
    OfferAndRepair(boxes);
    // The card is left as it was; the list row now names the copy.
    EXPECT_EQ(Contents(card / name), broken);
    EXPECT_TRUE(std::filesystem::exists(home / "repair" / name));
    EXPECT_EQ(std::wstring(view->GetCatalogue().GetFilePath(view->GetList().GetItemKey(0), 1)),
              (home / "repair" / name).wstring());
    ExpectItPlays(boxes);
}

} // namespace

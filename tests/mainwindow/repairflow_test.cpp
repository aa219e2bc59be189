// The repair of a broken recording in the running program: the recording without its index is
// offered for repair, our repair program rebuilds it beside the program while the wait box shows,
// and the recording then plays.

#include "scopedenvironment.h"
#include "testfolder.h"
#include "uitest.h"

#include "platform/base/unicode.h"
#include "platform/ui/messagebox.h"
#include "tools/fixtures/moviemaker.h"
#include "tools/fixtures/recordernames.h"
#include "viewer/app/viewerapp.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/ui/mainframe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

TEST(RepairFlow, ARecordingWithoutItsIndexIsOfferedRepairedAndThenPlays) {
    TestFolder home;
    std::filesystem::create_directories(home / "config");
    ScopedEnvironment homeVariable("HOME", home.Path().string());
    ScopedEnvironment configVariable("XDG_CONFIG_HOME", (home / "config").string());

    auto application = std::make_unique<CViewerApp>();
    ASSERT_TRUE(application->InitInstance());
    CChildView& view = application->GetFrame()->GetView();
    SetModelIndex(0);

    TestFolder card;
    fixtures::QuietCodecLogs();
    fixtures::MovieOptions options;
    options.audio = true;
    options.video.frameCount = 45;
    options.damage.dropIndex = true;
    const std::string name =
        fixtures::RecordingName("", options.start, 'F', fixtures::RecordingKinds(0).front().token, "mp4");
    fixtures::MakeMovieRecording(card / name, options);
    const std::string broken = [&] {
        std::ifstream in(card / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ASSERT_NE(view.GetCatalogue().AddFile(card.Wide(name), &view.GetList()), 0);
    view.GetCatalogue().FillListByType(&view.GetList(), 9, 1);

    AgreeingBoxes boxes;
    EXPECT_EQ(view.OpenAndPlay(0), 0);
    EXPECT_TRUE(boxes.Told(view.LoadText(210)));
    ASSERT_TRUE(WaitFor([&] { return boxes.Told(view.LoadText(212)); }, 60000)) << boxes.texts.size();
    EXPECT_TRUE(WaitFor([&] { return view.GetRepairWaitBox().IsWindowVisible() == FALSE; }));
    // The broken file stays beside the repaired one; the working files are gone.
    std::ifstream original(card / ("original_" + name), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(original), {}), broken);
    EXPECT_TRUE(std::filesystem::is_empty(home / "Documents"));

    const size_t told = boxes.texts.size();
    ASSERT_EQ(view.OpenAndPlay(0), 1) << (boxes.texts.size() > told ? Utf8FromWide(boxes.texts.back()) : "");
    EXPECT_NE(view.GetPlayer(0), nullptr);
    application->m_pMainWnd = nullptr;
    application.reset();
    Pump();
}

} // namespace

// Copying the open recording over the scripted engine with real files: which route each recorder
// family takes, the names and streams of the copies (read back with ffprobe), and that a failed
// copy is reported, leaves nothing half written and never touches the source.

#include "viewer/ui/recordingcopy.h"
#include "viewer/catalogue/sharedhelpers.h"

#include "tools/fixtures/avimaker.h"

#include "mediaprobe.h"
#include "viewlogicfixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

class ScriptedCopyView : public IRecordingCopyView {
  public:
    explicit ScriptedCopyView(Log& calls) : log(calls) {}
    HWND GetViewWindow() override { return nullptr; }
    std::wstring LoadText(UINT id) override {
        return missingTexts.count(id) != 0 ? L"" : L"#" + std::to_wstring(id);
    }
    bool BrowseForFolder(const std::wstring& title, std::wstring& folder) override {
        log.push_back("Browse(" + Narrow(title) + ")");
        if (folders.empty())
            return false;
        folder = folders.front();
        folders.pop_front();
        return true;
    }
    Log& log;
    std::deque<std::wstring> folders;
    std::set<UINT> missingTexts;
};

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A four-camera AVI recording, made once: encoding is the slow part.
const std::string& FourCameraAvi() {
    static const std::string bytes = [] {
        fixtures::QuietCodecLogs();
        fixtures::AviOptions options;
        options.streams = 4;
        options.video.width = 96;
        options.video.height = 64;
        options.video.frameCount = 4;
        options.video.fps = 12;
        TestFolder folder;
        fixtures::MakeAviRecording(folder / "made.avi", options);
        return Contents(folder / "made.avi");
    }();
    return bytes;
}

int VideoStreams(const fs::path& file) {
    const auto streams = ProbeStreams(file);
    if (!streams)
        return -1;
    return static_cast<int>(std::count_if(streams->begin(), streams->end(),
                                          [](const ProbedStream& stream) { return stream.type == "video"; }));
}

class RecordingCopyTest : public ViewLogicTest {
  protected:
    void SetUp() override {
        ViewLogicTest::SetUp();
        fs::create_directory(destination);
    }
    // Opens the recording; the channels listed fail to open.
    void Open(const std::string& front, const std::string& rear, std::set<int> failing = {}) {
        transport.Stop(0, 1);
        catalogue.recordings.clear();
        AddRecording(L"k1", front, rear);
        ShowAll();
        engine.failingChannels = std::move(failing);
        OpenRow(0);
    }
    // Yes to the question and the folder in the browser.
    void Agree(const fs::path& folder) {
        boxes.answers = {IDYES};
        copyView.folders = {WideFromUtf8(folder.string())};
    }

    fs::path destination = folder / "copies";
    ScriptedCopyView copyView{calls};
    RecordingCopy copier{transport, copyView};
};

TEST(RecordingCopyRules, ChannelsKeptAndTagLetterByModeAndOpenChannels) {
    struct Case {
        int mode;
        std::array<bool, 4> open;
        std::array<int, 4> keep;
        wchar_t letter;
    };
    const Case cases[] = {
        {0, {true, true, true, true}, {1, 1, 1, 1}, L'Q'},
        {0, {true, true, false, false}, {1, 1, 0, 0}, L'D'},
        {0, {true, false, false, false}, {1, 0, 0, 0}, L'S'},
        {0, {true, false, true, true}, {1, 0, 1, 1}, L'T'},
        {1, {true, true, true, true}, {1, 0, 0, 0}, L'S'},
        {1, {true, false, true, true}, {1, 0, 0, 0}, L'S'},
        {2, {true, true, true, true}, {1, 0, 1, 1}, L'T'},
        {2, {true, true, false, false}, {1, 0, 0, 0}, L'S'},
        {2, {true, false, true, true}, {1, 0, 1, 1}, L'T'},
        {3, {true, true, true, true}, {1, 1, 0, 0}, L'D'},
        {3, {true, false, true, true}, {1, 0, 0, 0}, L'S'},
        {3, {true, true, false, false}, {1, 1, 0, 0}, L'D'},
    };
    for (const Case& c : cases) {
        const RecordingCopy::AviSelection selection = RecordingCopy::SelectChannels(c.mode, c.open);
        EXPECT_EQ(selection.keep, c.keep) << "mode " << c.mode << " case " << (&c - cases);
        EXPECT_EQ(selection.letter, c.letter) << "mode " << c.mode << " case " << (&c - cases);
    }

    const struct {
        std::wstring path;
        std::wstring renamed;
    } names[] = {
        {L"/c/2023_05_24_12_30_01_Q_N.avi", L"/c/2023_05_24_12_30_01_T_N.avi"},
        {L"/c/2023_05_24_12_30_01_S_N.AVI", L"/c/2023_05_24_12_30_01_T_N.AVI"},
        {L"T_N.avi", L"T_N.avi"},                   // shorter than the tag's place
        {L"/c/weird_X_N.avi", L"/c/weird_X_N.avi"}, // no tag letter there
        {L"/c/name.avi.avi", L"/c/name.avi.avi"},
    };
    for (const auto& name : names)
        EXPECT_EQ(RecordingCopy::WithTagLetter(name.path, L'T'), name.renamed) << Narrow(name.path);
}

TEST_F(RecordingCopyTest, AviRecordingKeepsTheChosenChannelsUnderItsNewTag) {
    if (!HaveFfmpegTools())
        GTEST_SKIP() << "ffprobe is not installed";
    SetModelIndex(3);
    struct Case {
        int mode;
        std::set<int> failing;
        char letter;
        int streams;
    };
    const Case cases[] = {
        {0, {}, 'Q', 4}, {0, {2, 3}, 'D', 2}, {1, {}, 'S', 1},
        {2, {}, 'T', 3}, {2, {1}, 'T', 3},    {3, {}, 'D', 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " letter " + c.letter);
        Open(AviName(1, 'Q'), "", c.failing);
        Write(folder / AviName(1, 'Q'), FourCameraAvi());
        Agree(destination);
        copier.Run(c.mode);
        const fs::path copy = destination / AviName(1, c.letter);
        EXPECT_EQ(VideoStreams(copy), c.streams);
        EXPECT_EQ(Calls({"MessageBox", "Browse"}),
                  (Log{"MessageBox(#234?)", "Browse(#160)",
                       "MessageBox(コピーが完了しました。\n" + AviName(1, 'Q') + ")"}));
        EXPECT_EQ(Contents(folder / AviName(1, 'Q')), FourCameraAvi()) << "the source stays as it was";
        EXPECT_EQ(std::distance(fs::directory_iterator(destination), {}), 1);
        fs::remove(copy);
        ClearLogs();
    }
}

TEST_F(RecordingCopyTest, RecordingsOfTheMp4FamilyAreCopiedFileByFileInEveryMode) {
    for (int mode = 0; mode < 4; ++mode) {
        SCOPED_TRACE(mode);
        Open(Mp4Name(1, 'F'), Mp4Name(1, 'R'));
        Write(folder / Mp4Name(1, 'F'), "front " + std::to_string(mode));
        Write(folder / Mp4Name(1, 'R'), "rear " + std::to_string(mode));
        // An existing copy is replaced.
        Write(destination / Mp4Name(1, 'F'), "older copy");
        Agree(destination);
        copier.Run(mode);
        EXPECT_EQ(Contents(destination / Mp4Name(1, 'F')), "front " + std::to_string(mode));
        EXPECT_EQ(Contents(destination / Mp4Name(1, 'R')), "rear " + std::to_string(mode));
        EXPECT_EQ(Calls({"MessageBox"}).back(),
                  "MessageBox(コピーが完了しました。\n" + Mp4Name(1, 'F') + "\n" + Mp4Name(1, 'R') + ")");
        EXPECT_EQ(std::distance(fs::directory_iterator(destination), {}), 2) << "no temporary file is left";
        ClearLogs();
    }

    // Without a rear file (or played on one channel) the front file is copied as it is: its name
    // is not taken for an AVI tag.
    Open(Mp4Name(2, 'F'), "");
    Agree(destination);
    copier.Run(3);
    EXPECT_EQ(Contents(destination / Mp4Name(2, 'F')), std::string(1, '\0'));
    EXPECT_EQ(Calls({"MessageBox"}).back(), "MessageBox(コピーが完了しました。\n" + Mp4Name(2, 'F') + ")");
}

TEST_F(RecordingCopyTest, NoOrACancelledBrowserCopiesNothingAndAMissingQuestionStillAsks) {
    Open(Mp4Name(1, 'F'), Mp4Name(1, 'R'));
    boxes.answers = {IDNO};
    copyView.folders = {WideFromUtf8(destination.string())};
    copier.Run(0);
    EXPECT_EQ(Calls({"PlayerPause", "MessageBox", "Browse"}),
              (Log{"PlayerPause(h1)", "PlayerPause(h2)", "MessageBox(#234?)"}));

    ClearLogs();
    boxes.answers = {IDYES};
    copyView.folders.clear();
    copier.Run(0);
    EXPECT_EQ(Calls({"MessageBox", "Browse"}), (Log{"MessageBox(#234?)", "Browse(#160)"}));
    EXPECT_TRUE(fs::is_empty(destination));

    // The English tables have no question: the box is empty and its buttons still decide.
    ClearLogs();
    copyView.missingTexts = {RecordingCopy::kStringCopyQuestion};
    Agree(destination);
    copier.Run(0);
    EXPECT_EQ(Calls({"MessageBox"}).front(), "MessageBox(?)");
    EXPECT_TRUE(fs::exists(destination / Mp4Name(1, 'R')));
    EXPECT_EQ(transport.GetPaused(), 1);
}

TEST_F(RecordingCopyTest, FailedCopyIsReportedLeavesNoPartialFileAndNeverReplacesTheSource) {
    Open(Mp4Name(1, 'F'), Mp4Name(1, 'R'));
    const std::string front(64 * 1024, 'f');
    Write(folder / Mp4Name(1, 'F'), front);

    // Into the recording's own folder: the copy would be its source.
    Agree(folder.Path());
    copier.Run(0);
    EXPECT_EQ(Calls({"MessageBox"}),
              (Log{"MessageBox(#234?)", "MessageBox(The recording could not be copied:\n" +
                                            (folder / Mp4Name(1, 'F')).string() +
                                            "\n(It is the recording itself.))"}));
    EXPECT_EQ(Contents(folder / Mp4Name(1, 'F')), front);

    // A folder that does not exist.
    ClearLogs();
    Agree(folder / "missing");
    copier.Run(0);
    EXPECT_EQ(Calls({"MessageBox"}).back(), "MessageBox(The recording could not be copied:\n" +
                                                (folder / "missing" / Mp4Name(1, 'F')).string() +
                                                "\n(No such file or directory))");

    // A destination that takes no more than 16 KiB, as a full disk: the older copy stays.
    ClearLogs();
    Write(destination / Mp4Name(1, 'F'), "older copy");
    Agree(destination);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 16 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    copier.Run(0);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(Calls({"MessageBox"}).back(), "MessageBox(The recording could not be copied:\n" +
                                                (destination / Mp4Name(1, 'F')).string() +
                                                "\n(File too large))");
    EXPECT_EQ(Contents(destination / Mp4Name(1, 'F')), "older copy");
    EXPECT_EQ(std::distance(fs::directory_iterator(destination), {}), 1);
    EXPECT_FALSE(fs::exists(destination / Mp4Name(1, 'R'))) << "nothing follows a failed copy";
}

TEST_F(RecordingCopyTest, FailedAviChannelCopyIsReportedWithoutCompletion) {
    SetModelIndex(3);
    Open(AviName(1, 'Q'), "");
    Write(folder / AviName(1, 'Q'), "not an AVI recording");
    Agree(destination);
    copier.Run(0);
    EXPECT_EQ(Calls({"MessageBox"}),
              (Log{"MessageBox(#234?)", "MessageBox(The recording could not be copied:\n" +
                                            (destination / AviName(1, 'Q')).string() + ")"}));
    EXPECT_TRUE(fs::is_empty(destination));

    // A name in upper case is known as AVI: nothing is appended.
    ClearLogs();
    const std::string upper = "2023_05_24_12_30_01_Q_N.AVI";
    Open(upper, "");
    Write(folder / upper, FourCameraAvi());
    Agree(destination);
    copier.Run(1);
    EXPECT_TRUE(fs::exists(destination / "2023_05_24_12_30_01_S_N.AVI"));
    EXPECT_EQ(Calls({"MessageBox"}).back(), "MessageBox(コピーが完了しました。\n" + upper + ")");
}

} // namespace

// The capture menu's snapshots over the scripted engine: which files are written, in which format,
// what is asked again and what is reported; and one print job per channel.

#include "viewer/ui/channelsnapshots.h"
#include "platform/ui/printer.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewlogicfixture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

namespace {

class ScriptedSnapshotView : public ISnapshotView {
  public:
    explicit ScriptedSnapshotView(Log& calls) : log(calls) {}
    HWND GetViewWindow() override { return nullptr; }
    std::wstring LoadText(UINT id) override { return L"#" + std::to_wstring(id); }
    bool ChooseSnapshotName(std::wstring& path, int& filterIndex) override {
        log.push_back("SaveDialog");
        if (names.empty())
            return false;
        path = names.front().first;
        filterIndex = names.front().second;
        names.pop_front();
        return true;
    }
    PrintOutcome PrintPicture(CBitmap& bitmap, const BITMAP& info) override {
        log.push_back("PrintPicture(" + std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight) +
                      ")");
        return PrintBitmap(nullptr, &bitmap, &info);
    }
    BYTE* GetFrameBuffer(int channel) override { return buffers[channel].data(); }
    size_t GetFrameBufferSize() const override { return buffers[0].size(); }

    Log& log;
    std::deque<std::pair<std::wstring, int>> names;
    std::array<std::vector<BYTE>, 4> buffers{std::vector<BYTE>(400), std::vector<BYTE>(400),
                                             std::vector<BYTE>(400), std::vector<BYTE>(400)};
};

// Answers every print dialog with the next PDF file, or cancels.
class PdfPrintDialog : public PrintDialogHandler {
  public:
    PdfPrintDialog() : m_previous(SetPrintDialogHandler(this)) {}
    ~PdfPrintDialog() override { SetPrintDialogHandler(m_previous); }
    int Show(HWND, DWORD, std::wstring& pdfFile) override {
        if (files.empty())
            return IDCANCEL;
        pdfFile = files.front();
        files.pop_front();
        return IDOK;
    }
    std::deque<std::wstring> files;

  private:
    PrintDialogHandler* m_previous;
};

class SnapshotTest : public ViewLogicTest {
  protected:
    // An AVI recording whose tag opens that many channels; the channels listed fail to open.
    void OpenAviRecording(char tag, std::set<int> failing = {}) {
        SetModelIndex(3);
        AddRecording(L"k1", AviName(1, tag));
        ShowAll();
        engine.failingChannels = std::move(failing);
        OpenRow(0);
    }
    std::set<std::string> FilesInFolder() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            names.insert(entry.path().filename().string());
        names.erase(AviName(1, 'S'));
        names.erase(AviName(1, 'D'));
        names.erase(AviName(1, 'T'));
        names.erase(AviName(1, 'Q'));
        return names;
    }

    ScriptedSnapshotView snapshotView{calls};
    ChannelSnapshots snapshots{transport, engine, snapshotView};
};

TEST_F(SnapshotTest, EachOpenChannelIsSavedOnceInTheFormatOfItsName) {
    struct Case {
        char tag;
        std::set<int> failing;
        std::string chosen;
        int filter;
        std::vector<std::string> files;
        std::string magic;
    };
    const Case cases[] = {
        {'S', {}, "a.jpg", 1, {"a-CH1.jpg"}, "\xFF\xD8"},
        {'D', {}, "b.PNG", 1, {"b-CH1.PNG", "b-CH2.PNG"}, "\x89PNG"},
        {'T', {}, "c.jpeg", 3, {"c-CH1.jpeg", "c-CH2.jpeg", "c-CH3.jpeg"}, "\xFF\xD8"},
        {'Q', {}, "d", 2, {"d-CH1.bmp", "d-CH2.bmp", "d-CH3.bmp", "d-CH4.bmp"}, "BM"},
        {'Q', {1}, "e.Bmp", 3, {"e-CH1.Bmp", "e-CH3.Bmp", "e-CH4.Bmp"}, "BM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        transport.Stop(0, 1);
        catalogue.recordings.clear();
        OpenAviRecording(c.tag, c.failing);
        snapshotView.names = {{folder.Wide(c.chosen), c.filter}};
        snapshots.CaptureToFile();
        EXPECT_EQ(Calls({"PlayerPause", "SaveDialog", "MessageBox"}).front().rfind("PlayerPause", 0), 0u);
        EXPECT_EQ(Calls({"SaveDialog", "MessageBox"}), Log{"SaveDialog"});
        std::set<std::string> expected(c.files.begin(), c.files.end());
        EXPECT_EQ(FilesInFolder(), expected);
        for (const std::string& file : c.files) {
            std::ifstream stream(folder / file, std::ios::binary);
            std::string head(c.magic.size(), '\0');
            stream.read(head.data(), static_cast<std::streamsize>(head.size()));
            EXPECT_EQ(head, c.magic) << file;
            // The scripted engine fills channel n's picture with the byte n + 1.
            const int channel = file[file.find("-CH") + 3] - '1';
            const QImage saved(QString::fromStdString((folder / file).string()));
            ASSERT_EQ(saved.size(), QSize(4, 2)) << file;
            const QRgb pixel = saved.pixel(1, 1);
            EXPECT_LE(std::abs(qRed(pixel) - (channel + 1)), 3) << file;
            EXPECT_LE(std::abs(qBlue(pixel) - (channel + 1)), 3) << file;
            EXPECT_EQ(qAlpha(pixel), 255) << file;
            std::filesystem::remove(folder / file);
        }
        ClearLogs();
    }
}

TEST_F(SnapshotTest, ChannelWithoutPictureIsSkippedAndReportedAndEveryCaptureIsGivenItsBuffersSize) {
    OpenAviRecording('T');
    engine.blankChannels = {1};
    snapshotView.names = {{folder.Wide("shot.png"), 3}};
    snapshots.CaptureToFile();
    EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"shot-CH1.png", "shot-CH3.png"}));
    EXPECT_EQ(Calls({"MessageBox"}), Log{"MessageBox(Channel 2 has no picture to capture.\n)"});
    EXPECT_EQ(engine.captureBufferSizes, std::vector<size_t>(3, 400));

    // A picture larger than the buffer is refused by the capture, never written past it.
    ClearLogs();
    engine.blankChannels.clear();
    engine.pictureWidth = 20;
    engine.pictureHeight = 6;
    snapshotView.names = {{folder.Wide("large.png"), 3}};
    snapshots.CaptureToFile();
    EXPECT_EQ(Calls({"MessageBox"}).size(), 1u);
    EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"shot-CH1.png", "shot-CH3.png"}));
}

TEST_F(SnapshotTest, ExistingFileOfAnyChannelAsksAgainBeforeAnythingIsWritten) {
    OpenAviRecording('D');
    std::ofstream(folder / "shot-CH2.jpg") << "kept";
    snapshotView.names = {{folder.Wide("shot.jpg"), 1}};
    snapshots.CaptureToFile();
    EXPECT_EQ(
        Calls({"SaveDialog", "MessageBox", "PlayerCaptureFrame"}),
        (Log{"SaveDialog", "MessageBox(#205 (" + Narrow(folder.Wide("shot-CH2.jpg")) + "))", "SaveDialog"}));
    EXPECT_EQ(FilesInFolder(), std::set<std::string>{"shot-CH2.jpg"});

    ClearLogs();
    snapshotView.names = {{folder.Wide("shot.jpg"), 1}, {folder.Wide("other.jpg"), 1}};
    snapshots.CaptureToFile();
    EXPECT_EQ(Calls({"SaveDialog"}).size(), 2u);
    EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"shot-CH2.jpg", "other-CH1.jpg", "other-CH2.jpg"}));
    std::ifstream kept(folder / "shot-CH2.jpg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}

TEST_F(SnapshotTest, FailedSaveIsReportedNamingTheFileAndNothingOpenDoesNothing) {
    snapshots.CaptureToFile();
    snapshots.CaptureToPrinter();
    EXPECT_TRUE(calls.empty());

    OpenAviRecording('D');
    snapshotView.names = {{folder.Wide("missing/shot.png"), 3}};
    snapshots.CaptureToFile();
    const std::string first = Narrow(folder.Wide("missing/shot-CH1.png"));
    const std::string second = Narrow(folder.Wide("missing/shot-CH2.png"));
    EXPECT_EQ(Calls({"MessageBox"}), Log{"MessageBox(The snapshot could not be saved as " + first +
                                         ".\nThe snapshot could not be saved as " + second + ".\n)"});
}

TEST_F(SnapshotTest, PrintingGivesEachOpenChannelItsOwnJobAndReportsWhatFailed) {
    OpenAviRecording('Q', {2});
    engine.blankChannels = {3};
    PdfPrintDialog dialog;
    dialog.files = {folder.Wide("ch1.pdf"), folder.Wide("missing/ch2.pdf")};
    snapshots.CaptureToPrinter();
    EXPECT_EQ(Calls({"PlayerPause(h1)", "PrintPicture", "MessageBox"}),
              (Log{"PlayerPause(h1)", "PrintPicture(4x2)", "PrintPicture(4x2)",
                   "MessageBox(The picture of channel 2 could not be printed.\nChannel 4 has no picture to "
                   "capture.\n)"}));
    EXPECT_TRUE(std::filesystem::exists(folder / "ch1.pdf"));

    // A cancelled dialog prints nothing for its channel and the next channel's dialog follows.
    ClearLogs();
    engine.blankChannels.clear();
    dialog.files = {};
    snapshots.CaptureToPrinter();
    EXPECT_EQ(Calls({"PrintPicture", "MessageBox"}), Log(3, "PrintPicture(4x2)"));
}

} // namespace

// The defog window on the offscreen platform with the built skin and string library: pictures
// handed over and replaced, the strength sliders against the filter's own output, zoom and drag by
// the mouse, saving (asked again over an existing file, failures named) and printing.

#include "viewer/tools/defogdlg.h"

#include "platform/base/resourcemodule.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/printer.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/resources.h"
#include "uitest.h"
#include "viewer/app/globals.h"
#include "viewer/skin/resstorage.h"
#include "viewer/tools/defogpicture.h"

#include "support/testfolder.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <utility>
#include <vector>

namespace {

// A picture of B, G, R and an unused byte with detail for the filter to find.
HBITMAP Picture(int width, int height, int seed) {
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<BYTE>(60 + (x * 3 + seed * 11) % 70);
            p[1] = static_cast<BYTE>(80 + ((x / 8 + y / 8 + seed) % 2) * 40);
            p[2] = static_cast<BYTE>(70 + (y * 5 + seed) % 50);
        }
    }
    return CreateBitmap(width, height, 1, 32, pixels.data());
}

HBITMAP FlatPicture(int width, int height, QRgb colour) {
    const std::vector<QRgb> pixels(static_cast<size_t>(width) * height, colour);
    return CreateBitmap(width, height, 1, 32, pixels.data());
}

QImage Pixels(HBITMAP bitmap) {
    return ImageFromBitmap(bitmap).convertToFormat(QImage::Format_RGB32);
}

bool AllBlack(const QImage& image) {
    for (int y = 1; y + 1 < image.height(); ++y) {
        for (int x = 1; x + 1 < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
                return false;
            }
        }
    }
    return !image.isNull();
}

class RecordingMessageBoxes : public MessageBoxHandler {
  public:
    RecordingMessageBoxes() : m_previous(SetMessageBoxHandler(this)) {}
    ~RecordingMessageBoxes() override { SetMessageBoxHandler(m_previous); }
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        texts.push_back(text);
        return IDOK;
    }
    std::vector<std::wstring> texts;

  private:
    MessageBoxHandler* m_previous;
};

class PdfPrinter : public PrintDialogHandler {
  public:
    explicit PdfPrinter(std::deque<std::wstring> files)
        : m_files(std::move(files)), m_previous(SetPrintDialogHandler(this)) {}
    ~PdfPrinter() override { SetPrintDialogHandler(m_previous); }
    int Show(HWND, DWORD, std::wstring& pdfFile) override {
        ++jobs;
        pdfFile = m_files.front();
        m_files.pop_front();
        return IDOK;
    }
    int jobs = 0;

  private:
    std::deque<std::wstring> m_files;
    PrintDialogHandler* m_previous;
};

// The save dialog answers from a script: (path, filter entry); an empty path cancels.
class ScriptedDefogDlg : public DefogDlg {
  public:
    std::deque<std::pair<std::wstring, int>> answers;
    int asked = 0;

  protected:
    bool ChooseSaveName(std::wstring& path, int& filterIndex) override {
        ++asked;
        if (answers.empty() || answers.front().first.empty()) {
            return false;
        }
        std::tie(path, filterIndex) = answers.front();
        answers.pop_front();
        return true;
    }
};

class DefogDlgTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(g_hResourceDll, nullptr);
        skin = std::make_unique<ResStorage>();
        ASSERT_EQ(skin->LoadSkin(L".\\ResStorage.dat", nullptr), 1);
    }
    static void TearDownTestSuite() {
        skin.reset();
        FreeLibrary(g_hResourceDll);
        g_hResourceDll = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 200, 100)));
        ASSERT_TRUE(dialog.Create(DefogDlg::IDD, &owner));
        dialog.SetResStorage(skin.get());
        dialog.SetLanguageId(1033);
        dialog.CreateControls();
        dialog.ShowWindow(SW_SHOW);
        ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(dialog.m_hWnd)->isVisible(); }));
    }

    void Scroll(int channel, UINT code, int position) {
        dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(code, position),
                           reinterpret_cast<LPARAM>(dialog.GetSlider(channel).m_hWnd));
    }
    // Releases the channel's slider at the strength and waits for the filtered picture.
    void Filter(int channel, int strength) {
        HBITMAP shown = dialog.GetWorkingCopy(channel);
        Scroll(channel, SB_ENDSCROLL, strength);
        ASSERT_TRUE(WaitFor([&] { return dialog.GetWorkingCopy(channel) != shown; }));
    }
    std::wstring Label(int channel) {
        CString text;
        dialog.GetValueLabel(channel).GetWindowText(text);
        return static_cast<const std::wstring&>(text);
    }
    // The client point of the dialog at a point of a channel's picture area.
    QPoint InArea(int channel, int x, int y) {
        POINT point{x, y};
        ::ClientToScreen(dialog.GetPictureArea(channel)->m_hWnd, &point);
        ::ScreenToClient(dialog.m_hWnd, &point);
        return QPoint(point.x, point.y);
    }
    // Repaints the window until the middle of the channel's area shows the colour.
    bool PaintsArea(int channel, QRgb colour) {
        dialog.Invalidate(FALSE);
        return WaitFor([&] {
            const QImage area = WindowPicture(dialog.GetPictureArea(channel)->m_hWnd);
            return !area.isNull() &&
                   (area.pixel(area.width() / 2, area.height() / 2) & 0xFFFFFF) == (colour & 0xFFFFFF);
        });
    }

    static std::unique_ptr<ResStorage> skin;
    TestWindow owner;
    ScriptedDefogDlg dialog;
};

std::unique_ptr<ResStorage> DefogDlgTest::skin;

} // namespace

TEST_F(DefogDlgTest, FourPicturesAreFittedAndShownAndNoneLeavesBlackAreasWithoutSliders) {
    const SIZE sizes[] = {{320, 180}, {160, 120}, {320, 240}, {200, 100}};
    const QRgb colours[] = {0x204060, 0x806040, 0x10C020, 0xE0E0E0};
    dialog.SetImages(FlatPicture(320, 180, colours[0]), FlatPicture(160, 120, colours[1]),
                     FlatPicture(320, 240, colours[2]), FlatPicture(200, 100, colours[3]));
    for (int channel = 0; channel < 4; ++channel) {
        CRect area;
        dialog.GetPictureArea(channel)->GetClientRect(&area);
        const DefogState::Channel& state = dialog.GetState().Get(channel);
        EXPECT_DOUBLE_EQ(state.zoom, static_cast<double>(area.Width()) / sizes[channel].cx);
        EXPECT_EQ(state.pan.y, static_cast<LONG>((area.Height() - sizes[channel].cy * state.zoom) / 2.0));
        EXPECT_EQ(Pixels(dialog.GetWorkingCopy(channel)), Pixels(dialog.GetSource(channel)));
        BITMAP info;
        ASSERT_NE(GetObjectW(dialog.GetWorkingCopy(channel), sizeof(info), &info), 0);
        EXPECT_NE(info.bmBits, nullptr) << "the working copy is a DIB section";
        EXPECT_TRUE(PaintsArea(channel, colours[channel])) << channel;
        EXPECT_TRUE(dialog.GetSlider(channel).IsWindowVisible());
        EXPECT_TRUE(dialog.GetValueLabel(channel).IsWindowVisible());
    }
    dialog.SetImages(nullptr, nullptr, nullptr, nullptr);
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(dialog.GetWorkingCopy(channel), nullptr);
        EXPECT_TRUE(PaintsArea(channel, 0)) << channel;
        EXPECT_TRUE(AllBlack(WindowPicture(dialog.GetPictureArea(channel)->m_hWnd)));
        EXPECT_FALSE(dialog.GetSlider(channel).IsWindowVisible());
        EXPECT_FALSE(dialog.GetValueLabel(channel).IsWindowVisible());
    }
}

TEST_F(DefogDlgTest, TheSliderShowsTheSourceFilteredAtTheReleasedStrengthKeepingZoomAndPan) {
    dialog.SetImages(Picture(240, 135, 5), nullptr, nullptr, nullptr);
    HBITMAP source = dialog.GetSource(0);
    const QImage unfiltered = Pixels(source);

    Scroll(0, SB_THUMBTRACK, 7);
    EXPECT_EQ(Label(0), L"7");
    Pump();
    EXPECT_EQ(Pixels(dialog.GetWorkingCopy(0)), unfiltered) << "the thumb alone filters nothing";

    dialog.SendMessage(WM_COMMAND, DefogDlg::kChannelCommands[0][0]);
    SendMouse(dialog.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, InArea(0, 20, 20), Qt::LeftButton);
    SendMouse(dialog.m_hWnd, QEvent::MouseMove, Qt::NoButton, InArea(0, 31, 16), Qt::LeftButton);
    SendMouse(dialog.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, InArea(0, 31, 16), Qt::NoButton);
    const DefogState::Channel before = dialog.GetState().Get(0);

    for (int strength : {5, 9}) {
        HBITMAP shown = dialog.GetWorkingCopy(0);
        Scroll(0, SB_ENDSCROLL, strength);
        EXPECT_EQ(Label(0), std::to_wstring(strength));
        ASSERT_TRUE(WaitFor([&] { return dialog.GetWorkingCopy(0) != shown; })) << strength;
        HBITMAP expected = DefogPicture::Filter(source, strength);
        EXPECT_EQ(Pixels(dialog.GetWorkingCopy(0)), Pixels(expected)) << "filter(source, " << strength << ")";
        DeleteObject(expected);
        EXPECT_DOUBLE_EQ(dialog.GetState().Get(0).zoom, before.zoom);
        EXPECT_EQ(dialog.GetState().Get(0).pan.x, before.pan.x);
        EXPECT_EQ(dialog.GetState().Get(0).pan.y, before.pan.y);
    }

    Scroll(0, SB_ENDSCROLL, 0);
    EXPECT_EQ(Pixels(dialog.GetWorkingCopy(0)), unfiltered);
    CRect area;
    dialog.GetPictureArea(0)->GetClientRect(&area);
    EXPECT_DOUBLE_EQ(dialog.GetState().Get(0).zoom, area.Width() / 240.0) << "fitted again";
    EXPECT_EQ(dialog.GetState().Get(0).pan.x, 0);

    Scroll(0, SB_ENDSCROLL, 4);
    dialog.SetImages(Picture(120, 90, 6), nullptr, nullptr, nullptr);
    EXPECT_EQ(Label(0), L"0") << "new pictures arrive unfiltered";
    EXPECT_EQ(dialog.GetSlider(0).GetPos(), 0);
    Pump();
    EXPECT_EQ(Pixels(dialog.GetWorkingCopy(0)), Pixels(dialog.GetSource(0))) << "a pending filter is dropped";
}

TEST_F(DefogDlgTest, ZoomButtonsAndADragThatLeavesItsArea) {
    dialog.SetImages(Picture(320, 180, 1), Picture(320, 180, 2), nullptr, nullptr);
    const auto zoom = [&] { return dialog.GetState().Get(0).zoom; };
    const double fitted = zoom();
    dialog.SendMessage(WM_COMMAND, DefogDlg::kChannelCommands[0][0]);
    EXPECT_NEAR(zoom(), fitted + 0.1, 1e-9);
    for (int i = 0; i < 30; ++i) {
        dialog.SendMessage(WM_COMMAND, DefogDlg::kChannelCommands[0][1]);
    }
    EXPECT_DOUBLE_EQ(zoom(), DefogState::kSmallestZoom);
    dialog.SendMessage(WM_COMMAND, DefogDlg::kChannelCommands[0][2]);
    EXPECT_DOUBLE_EQ(zoom(), fitted);

    const POINT start = dialog.GetState().Get(0).pan;
    SendMouse(dialog.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, InArea(0, 30, 30), Qt::LeftButton);
    SendMouse(dialog.m_hWnd, QEvent::MouseMove, Qt::NoButton, InArea(0, 40, 35), Qt::LeftButton);
    SendMouse(dialog.m_hWnd, QEvent::MouseMove, Qt::NoButton, InArea(1, 40, 35), Qt::LeftButton);
    SendMouse(dialog.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, InArea(1, 50, 50), Qt::NoButton);
    EXPECT_EQ(dialog.GetState().Get(0).pan.x, start.x + 10);
    EXPECT_EQ(dialog.GetState().Get(0).pan.y, start.y + 5);
    EXPECT_EQ(dialog.GetState().Get(1).pan.x, 0) << "the neighbour never moves";
    EXPECT_FALSE(dialog.GetState().IsDragging());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(DefogDlgTest, SavingAsksAgainOverAnExistingFileAndNamesAFileThatCouldNotBeWritten) {
    TestFolder folder;
    dialog.SetImages(Picture(64, 32, 1), nullptr, Picture(64, 32, 3), nullptr);
    std::filesystem::create_directories(folder / "taken");
    { std::ofstream(folder / "taken" / "b-CH3.jpg") << "mine"; }
    RecordingMessageBoxes boxes;
    dialog.answers = {{folder.Wide("taken/b.jpg"), 1}, {folder.Wide("b.jpeg"), 3}};
    dialog.SaveImage();
    EXPECT_EQ(dialog.asked, 2);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              LoadStringLang(g_hResourceDll, 205, 1033) + L" (" + folder.Wide("taken/b-CH3.jpg") + L")");
    EXPECT_FALSE(std::filesystem::exists(folder / "taken" / "b-CH1.jpg")) << "nothing written";
    for (const char* name : {"b-CH1.jpeg", "b-CH3.jpeg"}) {
        const QImage saved(QString::fromStdString((folder / name).string()));
        ASSERT_FALSE(saved.isNull()) << name;
        EXPECT_EQ(saved.size(), QSize(64, 32));
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "b-CH2.jpeg"));

    dialog.answers = {{folder.Wide("missing/c.png"), 1}};
    dialog.SaveImage();
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_NE(boxes.texts[1].find(folder.Wide("missing/c-CH1.png")), std::wstring::npos)
        << "the failure names the file";
    EXPECT_NE(boxes.texts[1].find(folder.Wide("missing/c-CH3.png")), std::wstring::npos);

    dialog.answers = {{L"", 0}};
    dialog.SaveImage();
    EXPECT_EQ(boxes.texts.size(), 2u) << "a cancel writes and says nothing";

    // What is saved is what is shown: the filtered picture of the front, the source of the left.
    Filter(0, 6);
    dialog.answers = {{folder.Wide("d.png"), 1}};
    dialog.SaveImage();
    EXPECT_EQ(boxes.texts.size(), 2u);
    for (int channel : {0, 2}) {
        const std::string name = "d-CH" + std::to_string(channel + 1) + ".png";
        const QImage saved(QString::fromStdString((folder / name).string()));
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), Pixels(dialog.GetWorkingCopy(channel)))
            << name;
    }
}

TEST_F(DefogDlgTest, PrintingMakesOneJobForEachChannelWithAPicture) {
    TestFolder folder;
    dialog.SetImages(nullptr, Picture(64, 32, 2), nullptr, Picture(64, 32, 4));
    Filter(1, 3);
    PdfPrinter printer({folder.Wide("rear.pdf"), folder.Wide("right.pdf")});
    RecordingMessageBoxes boxes;
    dialog.PrintImages();
    EXPECT_EQ(printer.jobs, 2);
    EXPECT_GT(std::filesystem::file_size(folder / "rear.pdf"), 0u);
    EXPECT_GT(std::filesystem::file_size(folder / "right.pdf"), 0u);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_NE(dialog.GetWorkingCopy(1), nullptr) << "the pictures stay";
}
// The frame pieces are made after the buttons and must not cover them.
TEST_F(DefogDlgTest, EveryButtonLiesAboveTheFrame) {
    QWidget* window = WidgetFromHandle(dialog.m_hWnd);
    const auto stacking = [&](UINT id) {
        CWnd* control = dialog.GetDlgItem(static_cast<int>(id));
        return control != nullptr
                   ? static_cast<int>(window->children().indexOf(WidgetFromHandle(control->m_hWnd)))
                   : -1;
    };
    int highestFrame = -1;
    for (UINT id : {32811u, 32812u, 32813u, 32814u, 32815u}) {
        ASSERT_GE(stacking(id), 0) << id;
        highestFrame = std::max(highestFrame, stacking(id));
    }
    std::vector<UINT> buttons = {DefogDlg::ID_SAVE, DefogDlg::ID_PRINT, DefogDlg::ID_CLOSE};
    for (const auto& channel : DefogDlg::kChannelCommands) {
        buttons.insert(buttons.end(), channel.begin(), channel.end());
    }
    for (UINT id : buttons) {
        EXPECT_GT(stacking(id), highestFrame) << id;
    }
}

// The loading box of the start-up and the wait box of a folder read: their templates, the texts
// they show (the program's version, the skin store's progress, the string library's messages) and
// how they show them.

#include "uitest.h"

#include "platform/base/resourcemodule.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/screen.h"
#include "platform/ui/static.h"
#include "viewer/app/globals.h"
#include "viewer/resources/programversion.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/loadingmsgdlg.h"
#include "viewer/ui/waitingdialog.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A table that holds English.
constexpr LANGID kEnglish = 1028;
constexpr UINT kAnalysingString = 174;
constexpr UINT kFileReadString = 239;
constexpr UINT kLoadingPicture = 323;

class BoxTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(g_hResourceDll, nullptr);
    }
    static void TearDownTestSuite() {
        FreeLibrary(g_hResourceDll);
        g_hResourceDll = nullptr;
    }
};

CRect WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return CRect(area);
}

CRect ItemRect(const CWnd& dialog, int id) {
    CRect rect;
    dialog.GetDlgItem(id)->GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

CString ItemText(const CWnd& dialog, int id) {
    CString text;
    dialog.GetDlgItemText(id, text);
    return text;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
}

// What a window shows, its child windows on it.
QImage Picture(const CWnd& window) {
    return WidgetFromHandle(window.m_hWnd)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Both boxes: a pop-up with a thin border and no caption, centred on the work area, its client
// the template's size.
void ExpectCentredPopup(const CDialog& box, short cx, short cy) {
    const DWORD style = StyleOf(box.m_hWnd);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_BORDER), DWORD(WS_POPUP | WS_BORDER));
    CRect units(0, 0, cx, cy);
    box.MapDialogRect(&units);
    CRect client;
    box.GetClientRect(&client);
    EXPECT_EQ(client.Size(), units.Size());
    CRect window;
    box.GetWindowRect(&window);
    const CPoint centre = WorkArea().CenterPoint();
    EXPECT_LE(std::abs(window.CenterPoint().x - centre.x), 1);
    EXPECT_LE(std::abs(window.CenterPoint().y - centre.y), 1);
}

// The view's way to report progress: sent to the box, which shows it before the sender goes on.
class LoadingMessages : public ISkinLoadProgress {
  public:
    explicit LoadingMessages(LoadingMsgDlg& box) : m_box(box) {}
    void SetLoadingMessage(const std::wstring& text) override {
        sent.push_back(text);
        EXPECT_EQ(m_box.SendMessage(WM_SET_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str())), 0);
        shown.push_back(ItemText(m_box, LoadingMsgDlg::kStatus).GetString());
    }
    std::vector<std::wstring> sent;
    std::vector<std::wstring> shown;

  private:
    LoadingMsgDlg& m_box;
};

TEST_F(BoxTest, TheLoadingBoxShowsItsPictureTheProgramsVersionAndWaiting) {
    LoadingMsgDlg box;
    ASSERT_TRUE(box.Create(LoadingMsgDlg::IDD, nullptr));
    ExpectCentredPopup(box, 320, 153);

    CRect client;
    box.GetClientRect(&client);
    EXPECT_EQ(ItemRect(box, LoadingMsgDlg::kPicture), client);
    EXPECT_NE(StyleOf(box.GetDlgItem(LoadingMsgDlg::kPicture)->m_hWnd) & SS_BITMAP, 0u);

    const CRect status = ItemRect(box, LoadingMsgDlg::kStatus);
    const CRect version = ItemRect(box, LoadingMsgDlg::kVersion);
    EXPECT_EQ(ItemText(box, LoadingMsgDlg::kStatus), CString(L"Waiting..."));
    EXPECT_EQ(StyleOf(box.GetDlgItem(LoadingMsgDlg::kStatus)->m_hWnd) & SS_TYPEMASK, DWORD(SS_RIGHT));
    EXPECT_EQ(StyleOf(box.GetDlgItem(LoadingMsgDlg::kVersion)->m_hWnd) & SS_TYPEMASK, DWORD(SS_LEFT));
    EXPECT_GE(status.left, client.CenterPoint().x) << "bottom right";
    EXPECT_LT(version.right, status.left) << "bottom left";
    EXPECT_EQ(status.top, version.top);
    EXPECT_GT(status.top, client.bottom * 4 / 5);

    // The version block the build compiles in holds the project's version; a project without one
    // gives a program without a block, and the line reads "Version: " alone.
    EXPECT_EQ(ItemText(box, LoadingMsgDlg::kVersion), CString(L"Version: ") + kProgramVersion);
    EXPECT_EQ(LoadingMsgDlg::GetVersionString(nullptr, L"FileVersion"), CString(kProgramVersion));
    EXPECT_EQ(LoadingMsgDlg::GetVersionString(nullptr, L"ProductName"), CString());
    EXPECT_EQ(LoadingMsgDlg::GetVersionString(g_hResourceDll, L"FileVersion"), CString())
        << "only the program carries a version block";
}

TEST(LoadingBoxVersion, TheValueIsLookedUpUnderTheFirstTranslationOrTheUsersLanguage) {
    const WORD korean[] = {0x0412, 1200};
    const WORD two[] = {0x0411, 932, 0x0409, 1252};
    const struct {
        const void* translation;
        UINT bytes;
        LANGID user;
        const wchar_t* key;
        const wchar_t* path;
    } cases[] = {
        {korean, 4, 0x0409, L"FileVersion", L"\\StringFileInfo\\041204B0\\FileVersion"},
        {two, 8, 0x0411, L"FileVersion", L"\\StringFileInfo\\041104B0\\FileVersion"},
        {korean, 2, 0x0809, L"FileVersion", L"\\StringFileInfo\\080904B0\\FileVersion"},
        {nullptr, 0, 0x0412, L"ProductName", L"\\StringFileInfo\\041204B0\\ProductName"},
        {two, 4, 0x0409, L"FileVersion", L"\\StringFileInfo\\041103A4\\FileVersion"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(LoadingMsgDlg::VersionValuePath(test.translation, test.bytes, test.user, test.key),
                  CString(test.path))
            << test.path;
    }
    // The path is built in 256 characters: a key that does not fit finds nothing.
    const std::wstring fits(255 - std::wstring(L"\\StringFileInfo\\041204B0\\").size(), L'k');
    EXPECT_EQ(LoadingMsgDlg::VersionValuePath(korean, 4, 0, fits.c_str()).GetLength(), 255);
    const std::wstring tooLong = fits + L"k";
    EXPECT_EQ(LoadingMsgDlg::VersionValuePath(korean, 4, 0, tooLong.c_str()), CString());
}

TEST_F(BoxTest, TheLoadingBoxShowsEachProgressTextOfTheSkinLoadAsItIsSent) {
    LoadingMsgDlg box;
    ASSERT_TRUE(box.Create(LoadingMsgDlg::IDD, nullptr));
    box.ShowWindow(SW_SHOW);
    LoadingMessages messages(box);
    ResStorage skin;
    ASSERT_EQ(skin.LoadSkin(L".\\ResStorage.dat", &messages), 1);
    ASSERT_FALSE(messages.sent.empty());
    EXPECT_EQ(messages.shown, messages.sent);
    const std::wstring caption =
        LoadStringLang(g_hResourceDll, ResStorage::kProgressCaptionString, skin.GetLanguageId());
    ASSERT_FALSE(caption.empty());
    for (const std::wstring& text : messages.sent) {
        EXPECT_EQ(text.rfind(caption + L" ", 0), 0u) << text;
    }

    const std::wstring analysing = LoadStringLang(g_hResourceDll, kAnalysingString, kEnglish);
    EXPECT_EQ(analysing, L"Analyzing recorded files...");
    messages.SetLoadingMessage(analysing);
    EXPECT_EQ(messages.shown.back(), analysing);
}

// The lines are grey on the picture, which shows through around their letters.
TEST_F(BoxTest, TheLoadingBoxWritesItsLinesInGreyOverItsPicture) {
    LoadingMsgDlg box;
    ASSERT_TRUE(box.Create(LoadingMsgDlg::IDD, nullptr));
    box.ShowWindow(SW_SHOW);
    const std::wstring analysing = LoadStringLang(g_hResourceDll, kAnalysingString, kEnglish);
    box.SendMessage(WM_SET_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(analysing.c_str()));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(kLoadingPicture));
    const QImage picture = ImageFromBitmap(static_cast<HBITMAP>(bitmap));
    CRect client;
    box.GetClientRect(&client);
    ASSERT_EQ(picture.size(), QSize(client.Width(), client.Height()));

    box.UpdateWindow();
    const QImage shown = Picture(box);
    ASSERT_EQ(shown.size(), picture.size());
    for (const int id : {LoadingMsgDlg::kStatus, LoadingMsgDlg::kVersion}) {
        const CRect line = ItemRect(box, id);
        const QRgb under = picture.pixel(line.left, line.top);
        int ink = 0;
        int foreign = 0;
        for (int y = line.top; y < line.bottom; ++y) {
            for (int x = line.left; x < line.right; ++x) {
                const QRgb pixel = shown.pixel(x, y);
                if (pixel == picture.pixel(x, y)) {
                    continue;
                }
                // Letters are the text colour 0x676767, smoothed into the picture's strip.
                const bool grey = qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) &&
                                  qRed(pixel) > qRed(under) && qRed(pixel) <= 0x67;
                ++(grey ? ink : foreign);
            }
        }
        EXPECT_GT(ink, 20) << id;
        EXPECT_EQ(foreign, 0) << id;
    }
    // Away from the lines the box is its picture.
    EXPECT_EQ(shown.copy(0, 0, picture.width(), ItemRect(box, LoadingMsgDlg::kStatus).top - 1),
              picture.copy(0, 0, picture.width(), ItemRect(box, LoadingMsgDlg::kStatus).top - 1));
}

TEST_F(BoxTest, TheWaitBoxShowsTheTextItWasGivenBeforeOrAfterItsCreation) {
    CWaitingDialog early;
    early.SetText(L"before");
    ASSERT_TRUE(early.Create(CWaitingDialog::IDD, nullptr));
    ExpectCentredPopup(early, 318, 71);
    EXPECT_EQ(ItemText(early, CWaitingDialog::kText), CString(L"before"));
    EXPECT_EQ(StyleOf(early.GetDlgItem(CWaitingDialog::kText)->m_hWnd) & SS_TYPEMASK, DWORD(SS_CENTER));

    CWaitingDialog box;
    ASSERT_TRUE(box.Create(CWaitingDialog::IDD, nullptr));
    EXPECT_EQ(ItemText(box, CWaitingDialog::kText), CString());
    box.SetText(L"after");
    EXPECT_EQ(ItemText(box, CWaitingDialog::kText), CString(L"after"));
    const wchar_t status[] = L"status";
    EXPECT_EQ(box.SendMessage(WM_SET_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(status)), 0);
    EXPECT_EQ(ItemText(box, CWaitingDialog::kText), CString(L"status"));
}

// As the view shows it while a folder is read: the string library's message, on its two lines.
TEST_F(BoxTest, TheWaitBoxDrawsTheFileReadMessageOnTwoLines) {
    CWaitingDialog box;
    ASSERT_TRUE(box.Create(CWaitingDialog::IDD, nullptr));
    const std::wstring message = LoadStringLang(g_hResourceDll, kFileReadString, kEnglish);
    ASSERT_EQ(message, L"File read is now processing.\nPlease wait...");
    box.SetText(message.c_str());
    box.ShowWindow(SW_SHOW);
    box.UpdateWindow();

    const QImage text = Picture(*box.GetDlgItem(CWaitingDialog::kText));
    const QRgb background = text.pixel(0, 0);
    std::vector<bool> inked(static_cast<size_t>(text.height()), false);
    for (int y = 0; y < text.height(); ++y) {
        for (int x = 0; x < text.width(); ++x) {
            inked[static_cast<size_t>(y)] = inked[static_cast<size_t>(y)] || text.pixel(x, y) != background;
        }
    }
    int lines = 0;
    for (size_t y = 0; y < inked.size(); ++y) {
        lines += inked[y] && (y == 0 || !inked[y - 1]) ? 1 : 0;
    }
    EXPECT_EQ(lines, 2);
}

} // namespace

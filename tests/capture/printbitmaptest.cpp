// Pictures printed into PDF files: one landscape page named "DRS" per call, the picture stretched
// over the whole printable area; read back with poppler's renderer.

#include "uitest.h"

#include "platform/base/process.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/printer.h"
#include "viewer/ui/printbitmap.h"

#include "support/testfolder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class AnsweringPrintDialog : public PrintDialogHandler {
  public:
    explicit AnsweringPrintDialog(std::vector<std::pair<int, std::wstring>> answers)
        : m_answers(std::move(answers)) {
        m_previous = SetPrintDialogHandler(this);
    }
    ~AnsweringPrintDialog() override { SetPrintDialogHandler(m_previous); }

    int Show(HWND owner, DWORD flags, std::wstring& pdfFile) override {
        owners.push_back(owner);
        shownFlags.push_back(flags);
        if (m_answers.empty()) {
            return IDCANCEL;
        }
        const auto [answer, file] = m_answers.front();
        m_answers.erase(m_answers.begin());
        pdfFile = file;
        return answer;
    }

    std::vector<HWND> owners;
    std::vector<DWORD> shownFlags;

  private:
    std::vector<std::pair<int, std::wstring>> m_answers;
    PrintDialogHandler* m_previous = nullptr;
};

// A picture twice as high as wide in four colours: red, green above blue, yellow.
constexpr int kWidth = 40;
constexpr int kHeight = 80;
const QRgb kQuarters[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(255, 255, 0)}};

HBITMAP QuarteredBitmap() {
    std::vector<BYTE> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const QRgb colour = kQuarters[y >= kHeight / 2][x >= kWidth / 2];
            BYTE* pixel = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
            pixel[0] = static_cast<BYTE>(qBlue(colour));
            pixel[1] = static_cast<BYTE>(qGreen(colour));
            pixel[2] = static_cast<BYTE>(qRed(colour));
        }
    }
    return CreateBitmap(kWidth, kHeight, 1, 32, pixels.data());
}

// The PDF's pages rendered at 20 dots per inch.
std::vector<QImage> RenderPages(const TestFolder& folder, const std::string& pdf) {
    const std::filesystem::path prefix = folder / (pdf + "-page");
    int exitCode = -1;
    EXPECT_TRUE(
        RunProcessAndWait({L"pdftoppm", L"-r", L"20", folder.Wide(pdf), WideFromUtf8(prefix.string())},
                          ProcessOutput::Hidden, exitCode));
    EXPECT_EQ(exitCode, 0);
    std::vector<QImage> pages;
    for (int page = 1;; ++page) {
        const QImage image(QString::fromStdString(prefix.string() + "-" + std::to_string(page) + ".ppm"));
        if (image.isNull()) {
            return pages;
        }
        pages.push_back(image);
    }
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

TEST(PrintBitmap, PrintsOneLandscapePageNamedDrsFilledByThePicture) {
    TestFolder folder;
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 100, 100)));
    CBitmap bitmap;
    bitmap.Attach(QuarteredBitmap());
    BITMAP info;
    ASSERT_NE(bitmap.GetBitmap(&info), 0);

    AnsweringPrintDialog dialog({{IDOK, folder.Wide("channel.pdf")}});
    EXPECT_EQ(PrintBitmap(&window, &bitmap, &info), PrintOutcome::Printed);
    EXPECT_EQ(dialog.owners, std::vector<HWND>{window.m_hWnd});
    EXPECT_EQ(dialog.shownFlags, std::vector<DWORD>{0x14000Cu});

    std::ifstream pdf(folder / "channel.pdf", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(pdf), std::istreambuf_iterator<char>()};
    const std::string title("/Title (\xFE\xFF\0D\0R\0S)", 17);
    EXPECT_NE(text.find(title), std::string::npos) << "document name";

    const std::vector<QImage> pages = RenderPages(folder, "channel.pdf");
    ASSERT_EQ(pages.size(), 1u);
    const QImage& page = pages[0];
    EXPECT_GT(page.width(), page.height()) << "landscape";

    // What is not white is the picture: it fills the page up to the margins, as wide as the page
    // allows although the picture is twice as high as wide.
    QRect drawn;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (page.pixel(x, y) != qRgb(255, 255, 255)) {
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_GT(drawn.width(), page.width() * 8 / 10);
    EXPECT_GT(drawn.height(), page.height() * 8 / 10);
    EXPECT_GT(drawn.width(), drawn.height()) << "the aspect ratio is not kept";
    const int left = drawn.left() + drawn.width() / 4;
    const int right = drawn.left() + drawn.width() * 3 / 4;
    const int top = drawn.top() + drawn.height() / 4;
    const int bottom = drawn.top() + drawn.height() * 3 / 4;
    EXPECT_TRUE(Near(page.pixel(left, top), kQuarters[0][0]));
    EXPECT_TRUE(Near(page.pixel(right, top), kQuarters[0][1]));
    EXPECT_TRUE(Near(page.pixel(left, bottom), kQuarters[1][0]));
    EXPECT_TRUE(Near(page.pixel(right, bottom), kQuarters[1][1]));
}

TEST(PrintBitmap, CancelPrintsNothingAndAPrinterThatFailsIsReported) {
    TestFolder folder;
    CBitmap bitmap;
    bitmap.Attach(QuarteredBitmap());
    BITMAP info;
    ASSERT_NE(bitmap.GetBitmap(&info), 0);

    AnsweringPrintDialog dialog(
        {{IDCANCEL, folder.Wide("cancelled.pdf")}, {IDOK, folder.Wide("missing/x.pdf")}});
    EXPECT_EQ(PrintBitmap(nullptr, &bitmap, &info), PrintOutcome::Cancelled);
    EXPECT_EQ(PrintBitmap(nullptr, &bitmap, &info), PrintOutcome::Failed);
    EXPECT_EQ(dialog.shownFlags.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

} // namespace

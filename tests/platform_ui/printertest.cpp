// Print jobs on the application's printer with the dialog answered by a handler, into PDF files.
// What the page looks like is checked where the viewer prints its pictures; here the dialog's
// answers and the failures.

#include "uitest.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/printer.h"
#include "platform/ui/qtaccess.h"

#include "support/testfolder.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class AnsweringPrintDialog : public PrintDialogHandler {
  public:
    AnsweringPrintDialog(int answer, std::wstring pdfFile) : m_answer(answer), m_pdfFile(std::move(pdfFile)) {
        m_previous = SetPrintDialogHandler(this);
    }
    ~AnsweringPrintDialog() override { SetPrintDialogHandler(m_previous); }

    int Show(HWND owner, DWORD flags, std::wstring& pdfFile) override {
        owners.push_back(owner);
        shownFlags.push_back(flags);
        pdfFile = m_pdfFile;
        return m_answer;
    }

    std::vector<HWND> owners;
    std::vector<DWORD> shownFlags;

  private:
    int m_answer;
    std::wstring m_pdfFile;
    PrintDialogHandler* m_previous = nullptr;
};

TEST(Printing, DialogAnswersDecideAndAJobPrintsIntoTheChosenFile) {
    TestFolder folder;
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 100, 100)));
    {
        AnsweringPrintDialog cancel(IDCANCEL, folder.Wide("never.pdf"));
        CPrintDialog dialog(PD_NOSELECTION | PD_NOPAGENUMS, &owner);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(cancel.owners, std::vector<HWND>{owner.m_hWnd});
        EXPECT_EQ(cancel.shownFlags, std::vector<DWORD>{PD_NOSELECTION | PD_NOPAGENUMS});
    }
    AnsweringPrintDialog print(IDOK, folder.Wide("page.pdf"));
    CPrintDialog dialog(0, &owner);
    ASSERT_EQ(dialog.DoModal(), IDOK);

    CPrintJob job;
    EXPECT_EQ(job.GetDeviceCaps(HORZRES), 0);
    ASSERT_TRUE(job.StartDoc(L"DRS", DMORIENT_LANDSCAPE));
    EXPECT_FALSE(job.StartDoc(L"DRS", DMORIENT_LANDSCAPE));
    const int width = job.GetDeviceCaps(HORZRES);
    const int height = job.GetDeviceCaps(VERTRES);
    EXPECT_GT(width, height);
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 16, 16);
    EXPECT_TRUE(job.StretchBitmap(0, 0, width, height, bitmap, 0, 0, 16, 16));
    EXPECT_FALSE(job.StretchBitmap(0, 0, width, height, nullptr, 0, 0, 16, 16));
    EXPECT_FALSE(job.StretchBitmap(0, 0, width, height, bitmap, 0, 0, 0, 16));
    EXPECT_TRUE(job.EndDoc());
    EXPECT_FALSE(job.EndDoc());
    DeleteObject(bitmap);
    EXPECT_GT(std::filesystem::file_size(folder / "page.pdf"), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "never.pdf"));

    // Each job has its own orientation.
    CPrintJob portrait;
    ASSERT_TRUE(portrait.StartDoc(L"DRS", DMORIENT_PORTRAIT));
    EXPECT_LT(portrait.GetDeviceCaps(HORZRES), portrait.GetDeviceCaps(VERTRES));
}

TEST(Printing, QtsPrintDialogOffersWhatTheFlagsAllowAndChoosesTheApplicationsPrinter) {
    TestFolder folder;
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 100, 100)));
    for (const bool accept : {false, true}) {
        QAbstractPrintDialog::PrintDialogOptions options;
        QWidget* parent = nullptr;
        QTimer::singleShot(0, qApp, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                ADD_FAILURE() << "no print dialog runs";
                return;
            }
            options = dialog->options();
            parent = dialog->parentWidget();
            // As the user picks printing into a PDF file.
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(QString::fromStdString((folder / "chosen.pdf").string()));
            accept ? dialog->accept() : dialog->reject();
        });
        CPrintDialog dialog(PD_NOSELECTION | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE, &owner);
        EXPECT_EQ(dialog.DoModal(), accept ? IDOK : IDCANCEL);
        EXPECT_FALSE(options.testFlag(QAbstractPrintDialog::PrintSelection));
        EXPECT_FALSE(options.testFlag(QAbstractPrintDialog::PrintPageRange));
        EXPECT_TRUE(options.testFlag(QAbstractPrintDialog::PrintToFile));
        EXPECT_EQ(parent, WidgetFromHandle(owner.m_hWnd));
    }
    CPrintJob job;
    ASSERT_TRUE(job.StartDoc(L"DRS", DMORIENT_LANDSCAPE));
    EXPECT_TRUE(job.EndDoc());
    EXPECT_TRUE(std::filesystem::exists(folder / "chosen.pdf"));
}

TEST(Printing, JobThatCannotWriteItsFileDoesNotStart) {
    TestFolder folder;
    AnsweringPrintDialog print(IDOK, folder.Wide("missing/page.pdf"));
    CPrintDialog dialog(0);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    CPrintJob job;
    EXPECT_FALSE(job.StartDoc(L"DRS", DMORIENT_LANDSCAPE));
    EXPECT_EQ(job.GetDeviceCaps(VERTRES), 0);
    EXPECT_FALSE(job.EndDoc());
}

} // namespace

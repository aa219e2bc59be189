#include "platform/ui/printer.h"

#include "platform/ui/app.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/windowimpl.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

using namespace uiimpl;

namespace {

PrintDialogHandler* installedHandler = nullptr;
QPrinter* applicationPrinter = nullptr;

void DeleteApplicationPrinter() {
    delete applicationPrinter;
    applicationPrinter = nullptr;
}

// Made on first use and gone with the application object, before Qt's print support is.
QPrinter& ApplicationPrinter() {
    if (applicationPrinter == nullptr) {
        applicationPrinter = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine(DeleteApplicationPrinter);
    }
    return *applicationPrinter;
}

QWidget* OwnerWidget(CWnd* parent) {
    CWnd* owner = parent != nullptr ? parent : AfxGetMainWnd();
    const Window* record = owner != nullptr ? Lookup(TopLevelOf(owner->m_hWnd)) : nullptr;
    return record != nullptr ? record->widget.data() : nullptr;
}

} // namespace

PrintDialogHandler* SetPrintDialogHandler(PrintDialogHandler* handler) {
    PrintDialogHandler* previous = installedHandler;
    installedHandler = handler;
    return previous;
}

CPrintDialog::CPrintDialog(DWORD flags, CWnd* parent) : m_flags(flags), m_parent(parent) {}

INT_PTR CPrintDialog::DoModal() {
    QPrinter& printer = ApplicationPrinter();
    if (installedHandler != nullptr) {
        std::wstring pdfFile;
        if (installedHandler->Show(m_parent != nullptr ? m_parent->m_hWnd : nullptr, m_flags, pdfFile) !=
            IDOK) {
            return IDCANCEL;
        }
        if (!pdfFile.empty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdWString(pdfFile));
        }
        return IDOK;
    }
    QPrintDialog dialog(&printer, OwnerWidget(m_parent));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, (m_flags & PD_NOSELECTION) == 0);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, (m_flags & PD_NOPAGENUMS) == 0);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

struct CPrintJob::Job {
    QPainter painter;
    QPageLayout::Orientation printerOrientation = QPageLayout::Portrait;
};

CPrintJob::CPrintJob() = default;

CPrintJob::~CPrintJob() {
    if (m_job != nullptr) {
        ApplicationPrinter().abort();
        m_job->painter.end();
        ApplicationPrinter().setPageOrientation(m_job->printerOrientation);
    }
}

BOOL CPrintJob::StartDoc(LPCWSTR documentName, short orientation) {
    if (m_job != nullptr) {
        return FALSE;
    }
    QPrinter& printer = ApplicationPrinter();
    auto job = std::make_unique<Job>();
    job->printerOrientation = printer.pageLayout().orientation();
    printer.setPageOrientation(orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape
                                                                 : QPageLayout::Portrait);
    printer.setDocName(documentName != nullptr ? QString::fromWCharArray(documentName) : QString());
    if (!job->painter.begin(&printer)) {
        printer.setPageOrientation(job->printerOrientation);
        return FALSE;
    }
    m_job = std::move(job);
    return TRUE;
}

int CPrintJob::GetDeviceCaps(int index) const {
    if (m_job == nullptr) {
        return 0;
    }
    // The printer's own width and height are those of its printable area.
    switch (index) {
    case HORZRES:
        return ApplicationPrinter().width();
    case VERTRES:
        return ApplicationPrinter().height();
    default:
        return 0;
    }
}

BOOL CPrintJob::StretchBitmap(int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY,
                              int sourceWidth, int sourceHeight) {
    const QImage picture = OpaquePictureOf(bitmap);
    if (m_job == nullptr || picture.isNull() || width <= 0 || height <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return FALSE;
    }
    m_job->painter.drawImage(QRectF(x, y, width, height), picture,
                             QRectF(sourceX, sourceY, sourceWidth, sourceHeight));
    return TRUE;
}

BOOL CPrintJob::EndDoc() {
    if (m_job == nullptr) {
        return FALSE;
    }
    const bool ended = m_job->painter.end();
    QPrinter& printer = ApplicationPrinter();
    printer.setPageOrientation(m_job->printerOrientation);
    m_job.reset();
    return ended && printer.printerState() != QPrinter::Error ? TRUE : FALSE;
}

#pragma once
// Printing, on Qt's print support: the print dialog and print jobs on the application's printer,
// the one printer the program keeps for its life (chosen in the dialog, CUPS printers or a PDF
// file). The dialog is answered through PrintDialogHandler so that tests print headlessly. GUI
// thread only.

#include "platform/ui/gdidefs.h"
#include "platform/ui/wnd.h"

#include <memory>
#include <string>

constexpr DWORD PD_NOSELECTION = 0x00000004;
constexpr DWORD PD_NOPAGENUMS = 0x00000008;
constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x00040000;
constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

constexpr short DMORIENT_PORTRAIT = 1;
constexpr short DMORIENT_LANDSCAPE = 2;

class PrintDialogHandler {
  public:
    virtual ~PrintDialogHandler() = default;
    // Called in place of Qt's print dialog. IDOK prints on the application's printer, into the PDF
    // file pdfFile when the handler names one; IDCANCEL prints nothing.
    virtual int Show(HWND owner, DWORD flags, std::wstring& pdfFile) = 0;
};

// Answers the handler installed before; null brings back Qt's dialog.
PrintDialogHandler* SetPrintDialogHandler(PrintDialogHandler* handler);

class CPrintDialog {
  public:
    // Only PD_NOSELECTION and PD_NOPAGENUMS change Qt's dialog; it always prints the copies it
    // is asked for and always offers a PDF file as a printer.
    explicit CPrintDialog(DWORD flags, CWnd* parent = nullptr);
    // IDOK when the user chose to print: the application's printer is then the one chosen.
    INT_PTR DoModal();

  private:
    DWORD m_flags;
    CWnd* m_parent;
};

// One document of one page on the application's printer. The orientation holds for this job
// only: the printer keeps its own for the next.
class CPrintJob {
  public:
    CPrintJob();
    ~CPrintJob();
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    // FALSE when the printer cannot start the document.
    BOOL StartDoc(LPCWSTR documentName, short orientation);
    // HORZRES and VERTRES: the printable area in device pixels; 0 for anything else or before
    // the document starts.
    int GetDeviceCaps(int index) const;
    // Draws the bitmap's part (sourceX, sourceY, sourceWidth, sourceHeight) stretched over the
    // rectangle of the printable area, without keeping its proportions. The printer scales the
    // picture itself: it is never enlarged to the printer's resolution in memory.
    BOOL StretchBitmap(int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY,
                       int sourceWidth, int sourceHeight);
    // Ends the page and the document; FALSE when the printer failed. A job not ended is
    // abandoned with the object.
    BOOL EndDoc();

  private:
    struct Job;
    std::unique_ptr<Job> m_job;
};

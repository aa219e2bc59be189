#include "viewer/ui/printbitmap.h"

#include "platform/ui/printer.h"

PrintOutcome PrintBitmap(CWnd* window, CBitmap* bitmap, const BITMAP* info) {
    CPrintDialog dialog(PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE,
                        window);
    if (dialog.DoModal() != IDOK) {
        return PrintOutcome::Cancelled;
    }
    if (bitmap == nullptr || info == nullptr) {
        return PrintOutcome::Failed;
    }
    CPrintJob job;
    if (!job.StartDoc(L"DRS", DMORIENT_LANDSCAPE)) {
        return PrintOutcome::Failed;
    }
    const bool drawn =
        job.StretchBitmap(0, 0, job.GetDeviceCaps(HORZRES), job.GetDeviceCaps(VERTRES),
                          static_cast<HBITMAP>(*bitmap), 0, 0, info->bmWidth, info->bmHeight) != FALSE;
    const bool ended = job.EndDoc() != FALSE;
    return drawn && ended ? PrintOutcome::Printed : PrintOutcome::Failed;
}

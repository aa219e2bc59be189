#pragma once
// Printing one picture: a print dialog, then one landscape page of a job named "DRS" with the
// picture stretched over the whole printable area (its proportions are not kept). The view's
// snapshots and the defog window print through it, one job per channel.

#include "platform/ui/bitmap.h"
#include "platform/ui/wnd.h"

enum class PrintOutcome { Printed, Cancelled, Failed };

// window owns the print dialog; info gives the bitmap's width and height.
PrintOutcome PrintBitmap(CWnd* window, CBitmap* bitmap, const BITMAP* info);

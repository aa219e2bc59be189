#pragma once
// Keys that the main window's side windows (the playback bar, the playlist, the G-sensor and map
// panels) handle alike, whichever of them has the focus.

#include "platform/ui/windefs.h"

// Break.
constexpr UINT kVkCancel = 0x03;
constexpr UINT kVkF4 = VK_F1 + 3;

// Closes the program after the current message: destroying the main window from inside a side
// window's own handler would destroy that window under it.
void DestroyMainWindowLater();

// The G-sensor and map panels: Alt+F4 closes the program, Escape, Return, Space and Break are
// swallowed (a dialog would close on them), and Space toggles play when released. TRUE when the
// message is handled and goes no further.
BOOL TranslateSidePanelKey(const MSG& message);

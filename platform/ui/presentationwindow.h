#pragma once
// Windows that video is shown in: a video device made for such a window hands its presented
// pictures to it (see platform/video/presentationtarget.h), from any thread, and they are drawn over
// the client area, scaled to it, until the window paints that part again. Where the machine has
// OpenGL the window draws them from their parts itself (videopath.h); else the device composes them.

#include "platform/ui/gdidefs.h"

// From now on, and as long as the window lives, the window receives what video devices present
// for it. Devices look for their window's receiver when they are made, so this comes first.
// FALSE for a dead handle.
BOOL ShowPresentedPictures(HWND window);

#pragma once
// A window's picture, with its child windows, written to an image file (PNG by the name's
// extension): for tools that show what the program's windows look like.

#include "platform/ui/windefs.h"

#include <string>

// The window is painted for the picture; false when it is gone or the file cannot be written.
bool SaveWindowPicture(HWND window, const std::wstring& path);

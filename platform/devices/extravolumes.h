#pragma once
// Folders that act as removable volumes, for tests and the demo card: the variable
// TREVO_EXTRA_VOLUMES lists them as
//
//     /path/one;/path/two:VVVV:PPPP
//
// Entries are separated by ';'. An entry is an absolute folder path, optionally followed by ':' and
// the USB vendor id and ':' and the product id that the folder's volume reports (1 to 4 hexadecimal
// digits each). A backslash takes the next character as it is, so any path can be written: "\;",
// "\:" and "\\" stand for ';', ':' and '\'. An entry that does not read so is left out with a trace
// line.

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

constexpr const char* kExtraVolumesVariable = "TREVO_EXTRA_VOLUMES";

struct ExtraVolume {
    std::string path;
    // 0 when the entry gives none.
    DWORD usbVendorId = 0;
    DWORD usbProductId = 0;
};

std::vector<ExtraVolume> ParseExtraVolumes(const std::string& text);

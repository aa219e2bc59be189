// TREVO_EXTRA_VOLUMES on any bytes: every volume read is an absolute folder with ids of at most four
// hexadecimal digits, and writing the volumes back in the variable's own escapes reads as the same
// volumes.
#include "platform/devices/extravolumes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Escaped(const std::string& path) {
    std::string text;
    for (const char c : path) {
        if (c == '\\' || c == ';' || c == ':')
            text += '\\';
        text += c;
    }
    return text;
}

std::string Written(const std::vector<ExtraVolume>& volumes) {
    std::string text;
    for (const ExtraVolume& volume : volumes) {
        if (!text.empty())
            text += ';';
        text += Escaped(volume.path);
        if (volume.usbVendorId != 0 || volume.usbProductId != 0) {
            char ids[16];
            std::snprintf(ids, sizeof ids, ":%X:%x", static_cast<unsigned>(volume.usbVendorId),
                          static_cast<unsigned>(volume.usbProductId));
            text += ids;
        }
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<ExtraVolume> volumes =
        ParseExtraVolumes(std::string(reinterpret_cast<const char*>(data), size));
    for (const ExtraVolume& volume : volumes) {
        if (volume.path.empty() || volume.path.front() != '/' || volume.usbVendorId > 0xFFFF ||
            volume.usbProductId > 0xFFFF)
            std::abort();
    }
    const std::vector<ExtraVolume> again = ParseExtraVolumes(Written(volumes));
    if (again.size() != volumes.size())
        std::abort();
    for (size_t i = 0; i < volumes.size(); ++i) {
        if (again[i].path != volumes[i].path || again[i].usbVendorId != volumes[i].usbVendorId ||
            again[i].usbProductId != volumes[i].usbProductId)
            std::abort();
    }
    return 0;
}

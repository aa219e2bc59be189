// The mount table on any bytes, read from a file as the volume scan reads /proc/self/mountinfo:
// reading the file must give what parsing its text gives, and the volumes picked from the entries
// must be whole block devices, each device once, none hidden by a later mount on its point.
#include "fuzzfolder.h"

#include "platform/devices/mountinfo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool Same(const MountInfoEntry& a, const MountInfoEntry& b) {
    return a.major == b.major && a.minor == b.minor && a.root == b.root && a.mountPoint == b.mountPoint &&
           a.fsType == b.fsType && a.source == b.source;
}

bool Same(const std::vector<MountInfoEntry>& a, const std::vector<MountInfoEntry>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!Same(a[i], b[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzFolder::Instance().Write("mountinfo", data, size);
    const std::vector<MountInfoEntry> entries = ReadMountInfo(path);
    if (!Same(entries, ParseMountInfo(std::string(reinterpret_cast<const char*>(data), size))))
        std::abort();

    const std::vector<MountInfoEntry> volumes = BlockVolumeMounts(entries);
    for (size_t v = 0; v < volumes.size(); ++v) {
        const MountInfoEntry& volume = volumes[v];
        if (volume.major == 0 || volume.root != "/" || volume.source.rfind("/dev/", 0) != 0)
            std::abort();
        for (size_t other = 0; other < v; ++other) {
            if (volumes[other].major == volume.major && volumes[other].minor == volume.minor)
                std::abort();
        }
        // The entry it came from is the last mount on its point.
        size_t last = entries.size();
        for (size_t e = 0; e < entries.size(); ++e) {
            if (entries[e].mountPoint == volume.mountPoint)
                last = e;
        }
        if (last == entries.size() || !Same(entries[last], volume))
            std::abort();
    }
    return 0;
}

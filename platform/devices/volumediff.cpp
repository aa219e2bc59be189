#include "platform/devices/volumediff.h"

#include <algorithm>
#include <set>

VolumeDiff DiffVolumes(const std::vector<LetteredVolume>& lettered, const std::vector<std::string>& present) {
    VolumeDiff diff;
    const std::set<std::string> presentKeys(present.begin(), present.end());
    std::set<std::string> letteredKeys;
    for (const LetteredVolume& volume : lettered) {
        letteredKeys.insert(volume.key);
        if (presentKeys.count(volume.key) == 0)
            diff.removed.push_back(volume.letter);
    }
    std::sort(diff.removed.begin(), diff.removed.end());
    for (const std::string& key : present) {
        const bool seen = std::find(diff.arrived.begin(), diff.arrived.end(), key) != diff.arrived.end();
        if (letteredKeys.count(key) == 0 && !seen)
            diff.arrived.push_back(key);
    }
    return diff;
}

#pragma once
// What changed between two looks at the volumes. A volume is known by a key that names what it is
// and where it is mounted, so a card taken out and put back, or mounted elsewhere, is a new volume.

#include <string>
#include <vector>

struct LetteredVolume {
    std::string key;
    wchar_t letter = 0;
};

struct VolumeDiff {
    // Letters of the volumes that are gone, in letter order.
    std::vector<wchar_t> removed;
    // Keys of the volumes that have no letter yet, in the order they were found.
    std::vector<std::string> arrived;
};

VolumeDiff DiffVolumes(const std::vector<LetteredVolume>& lettered, const std::vector<std::string>& present);

#pragma once
// The volumes that get drive letters: folders named in TREVO_EXTRA_VOLUMES (extravolumes.h) that
// exist, then the mounted block-device volumes (mountinfo.h) that hold removable media or sit on a
// USB device. Fixed internal disks get none: nothing in the program works on them, and systems with
// many mounts (snap packages, one loop device each) would otherwise leave no letter for a card.
// Refresh brings the drive table in line with what is there now; a volume keeps its letter for as
// long as it stays. Used on one thread.

#include "platform/base/drivetable.h"
#include "platform/devices/extravolumes.h"

#include <map>
#include <set>
#include <string>
#include <vector>

struct VolumeSources {
    std::string mountInfoPath;
    std::string sysfsRoot;
    // In TREVO_EXTRA_VOLUMES's form.
    std::string extraVolumes;

    // The system's mount table and sysfs, and the folders of TREVO_EXTRA_VOLUMES.
    static VolumeSources FromEnvironment();
};

struct VolumeChange {
    bool arrived = false;
    wchar_t letter = 0;

    bool operator==(const VolumeChange& other) const {
        return arrived == other.arrived && letter == other.letter;
    }
};

class VolumeRegistry {
  public:
    explicit VolumeRegistry(VolumeSources sources);
    // Gives the letters back.
    ~VolumeRegistry();
    VolumeRegistry(const VolumeRegistry&) = delete;
    VolumeRegistry& operator=(const VolumeRegistry&) = delete;

    // Looks at the volumes again: volumes that are gone lose their letters, new ones get the lowest
    // free letter from D. Answers what changed, removals first.
    std::vector<VolumeChange> Refresh();

    const VolumeSources& Sources() const { return m_sources; }

  private:
    struct Lettered {
        std::string key;
        wchar_t letter = 0;
        std::wstring root;
    };

    VolumeSources m_sources;
    std::vector<ExtraVolume> m_extras;
    std::vector<Lettered> m_lettered;
    // Block volumes seen last time that got no letter (fixed disks); sysfs is not asked again.
    std::set<std::string> m_unlettered;
    // Volumes the drive table refused a letter (none free, or the folder has one already), so that
    // this is traced once rather than at every look.
    std::set<std::string> m_refused;
};

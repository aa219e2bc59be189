#include "platform/devices/volumeregistry.h"

#include "platform/base/filesystem.h"
#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "platform/devices/blockdevicefacts.h"
#include "platform/devices/mountinfo.h"
#include "platform/devices/removablemedia.h"
#include "platform/devices/volumediff.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

std::wstring NormalRoot(const std::string& path) {
    std::string root = std::filesystem::path(path).lexically_normal().string();
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return WideFromUtf8(root);
}

std::string LetterText(wchar_t letter) {
    return std::string(1, static_cast<char>(letter)) + ":";
}

} // namespace

VolumeSources VolumeSources::FromEnvironment() {
    VolumeSources sources;
    sources.mountInfoPath = kMountInfoPath;
    sources.sysfsRoot = kSysfsRoot;
    if (const char* extra = std::getenv(kExtraVolumesVariable))
        sources.extraVolumes = extra;
    return sources;
}

VolumeRegistry::VolumeRegistry(VolumeSources sources)
    : m_sources(std::move(sources)), m_extras(ParseExtraVolumes(m_sources.extraVolumes)) {}

VolumeRegistry::~VolumeRegistry() {
    for (const Lettered& volume : m_lettered) {
        if (DriveTable::Instance().LetterOfRoot(volume.root) == volume.letter)
            DriveTable::Instance().Unregister(volume.letter);
    }
}

std::vector<VolumeChange> VolumeRegistry::Refresh() {
    std::vector<std::string> present;
    // Volumes without a letter yet, as they would be registered.
    std::map<std::string, DriveVolume> fresh;
    const auto isLettered = [&](const std::string& key) {
        return std::any_of(m_lettered.begin(), m_lettered.end(),
                           [&](const Lettered& volume) { return volume.key == key; });
    };

    std::set<std::wstring> extraRoots;
    for (const ExtraVolume& extra : m_extras) {
        const std::wstring root = NormalRoot(extra.path);
        extraRoots.insert(root);
        if (!FileSystem::IsDirectory(root))
            continue;
        const std::string key = "folder " + Utf8FromWide(root);
        present.push_back(key);
        if (!isLettered(key)) {
            DriveVolume volume;
            volume.mountRoot = root;
            volume.removable = true;
            volume.usbVendorId = extra.usbVendorId;
            volume.usbProductId = extra.usbProductId;
            fresh[key] = volume;
        }
    }

    std::set<std::string> unlettered;
    for (const MountInfoEntry& mount : BlockVolumeMounts(ReadMountInfo(m_sources.mountInfoPath))) {
        const std::wstring root = NormalRoot(mount.mountPoint);
        // The folder named as an extra volume stands for this mount, with the ids given there.
        if (extraRoots.count(root) != 0)
            continue;
        const std::string key = "block " + std::to_string(mount.major) + ":" + std::to_string(mount.minor) +
                                " " + mount.mountPoint;
        if (isLettered(key)) {
            present.push_back(key);
            continue;
        }
        if (m_unlettered.count(key) != 0) {
            unlettered.insert(key);
            continue;
        }
        const auto facts = ReadRemovableMediaFacts(m_sources.sysfsRoot, mount.major, mount.minor);
        if (!facts || (!facts->removable && !facts->onUsb)) {
            unlettered.insert(key);
            continue;
        }
        present.push_back(key);
        DriveVolume volume;
        volume.mountRoot = root;
        volume.removable = facts->removable;
        volume.usbVendorId = facts->usbVendorId;
        volume.usbProductId = facts->usbProductId;
        volume.usbSerial = WideFromUtf8(facts->usbSerial);
        fresh[key] = volume;
    }
    m_unlettered = std::move(unlettered);

    std::vector<LetteredVolume> lettered;
    for (const Lettered& volume : m_lettered)
        lettered.push_back({volume.key, volume.letter});
    const VolumeDiff diff = DiffVolumes(lettered, present);

    std::vector<VolumeChange> changes;
    std::set<std::string> refused;
    for (const wchar_t letter : diff.removed) {
        const auto gone = std::find_if(m_lettered.begin(), m_lettered.end(),
                                       [&](const Lettered& volume) { return volume.letter == letter; });
        // Someone may have cleared the table and handed the letter to another volume meanwhile.
        if (DriveTable::Instance().LetterOfRoot(gone->root) == letter)
            DriveTable::Instance().Unregister(letter);
        TraceLine("volume " + LetterText(letter) + " removed: " + Utf8FromWide(gone->root));
        m_lettered.erase(gone);
        changes.push_back({false, letter});
    }
    for (const std::string& key : diff.arrived) {
        const DriveVolume& volume = fresh.at(key);
        wchar_t letter = DriveTable::Instance().Register(volume);
        // A card mounted again elsewhere after a format had its letter moved there already
        // (cardmount.h); the letter stays this volume's.
        const wchar_t moved = DriveTable::Instance().LetterOfRoot(volume.mountRoot);
        if (letter == 0 && std::find(diff.removed.begin(), diff.removed.end(), moved) != diff.removed.end())
            letter = moved;
        if (letter == 0) {
            if (refused.insert(key).second && m_refused.count(key) == 0)
                TraceLine("volume without a letter: " + Utf8FromWide(volume.mountRoot));
            continue;
        }
        TraceLine("volume " + LetterText(letter) + " arrived: " + Utf8FromWide(volume.mountRoot));
        m_lettered.push_back({key, letter, volume.mountRoot});
        changes.push_back({true, letter});
    }
    m_refused = std::move(refused);
    return changes;
}

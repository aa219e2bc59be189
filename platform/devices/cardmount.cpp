#include "platform/devices/cardmount.h"

#include "platform/base/drivetable.h"
#include "platform/base/unicode.h"
#include "platform/devices/blockdevicefacts.h"
#include "platform/devices/mountinfo.h"
#include "platform/devices/udisks.h"

#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

bool NodeIsDevice(const std::string& node, unsigned major, unsigned minor) {
    struct stat status {};
    return stat(node.c_str(), &status) == 0 && S_ISBLK(status.st_mode) &&
           status.st_rdev == makedev(major, minor);
}

wchar_t UpperLetter(char letter) {
    return static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(letter)));
}

} // namespace

std::optional<CardMount> FindCardMount(char letter) {
    const auto volume = DriveTable::Instance().Find(UpperLetter(letter));
    if (!volume) {
        errno = ENOENT;
        return std::nullopt;
    }
    // Only a card is ever formatted: a fixed disk, a plain folder acting as a volume or a folder
    // inside a larger file system must never lead to the device beneath it.
    std::string root = std::filesystem::path(Utf8FromWide(volume->mountRoot)).lexically_normal().string();
    if (root.size() > 1 && root.back() == '/')
        root.pop_back();
    const auto mounts = ReadMountInfo();
    const auto top = std::find_if(mounts.rbegin(), mounts.rend(),
                                  [&](const MountInfoEntry& entry) { return entry.mountPoint == root; });
    if (!volume->removable || top == mounts.rend() || top->root != "/") {
        errno = ENODEV;
        return std::nullopt;
    }
    const auto facts = ReadBlockDeviceFacts(kSysfsRoot, top->major, top->minor);
    if (!facts || !NodeIsDevice(facts->deviceNode, top->major, top->minor)) {
        errno = ENODEV;
        return std::nullopt;
    }
    return CardMount{facts->name, facts->deviceNode, root};
}

std::optional<std::string> MountCardAgain(const CardMount& card) {
    const auto mounts = ReadMountInfo();
    const auto top = std::find_if(mounts.rbegin(), mounts.rend(),
                                  [&](const MountInfoEntry& entry) { return entry.mountPoint == card.mountPoint; });
    if (top != mounts.rend() && top->root == "/" && NodeIsDevice(card.deviceNode, top->major, top->minor))
        return card.mountPoint;
    // As the unmount went: root did it himself, anyone else asked udisks.
    if (geteuid() != 0)
        return UDisksMount(card.deviceName);
    if (mount(card.deviceNode.c_str(), card.mountPoint.c_str(), "vfat", 0, nullptr) != 0)
        return std::nullopt;
    return card.mountPoint;
}

bool RemountDrive(char letter, const CardMount& card, const CardMounter& mount) {
    const wchar_t upper = UpperLetter(letter);
    auto volume = DriveTable::Instance().Find(upper);
    const auto point = mount(card);
    if (!volume || !point) {
        DriveTable::Instance().Unregister(upper);
        return false;
    }
    volume->mountRoot = WideFromUtf8(*point);
    DriveTable::Instance().Unregister(upper);
    return DriveTable::Instance().Register(*volume) == upper;
}

bool FormatAndRemount(char letter, const std::optional<CardMount>& card, const std::function<bool()>& format,
                      const CardMounter& mount) {
    const bool formatted = format();
    if (card)
        RemountDrive(letter, *card, mount);
    return formatted;
}

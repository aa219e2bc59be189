#pragma once
// Mounting a card again once its volume has been formatted. The format unmounts every mount of the
// card and nothing else brings the new file system back, so whatever is to be written onto it
// afterwards (the recorder's settings) needs it mounted again and its drive letter leading there.

#include <functional>
#include <optional>
#include <string>

struct CardMount {
    // As in /dev ("sdb1").
    std::string deviceName;
    std::string deviceNode;
    // Where the drive letter leads.
    std::string mountPoint;
};

// The mount of the card behind a removable drive letter, noted before a format takes it away.
// Nothing, with errno set, when the letter is not registered (ENOENT), or is not removable or not
// the mount point of a whole block-device file system (ENODEV).
std::optional<CardMount> FindCardMount(char letter);

// Mounts the card's vfat file system: root directly at the point it had, anyone else through udisks,
// which chooses the point. A card that is still mounted there (a format that failed before it could
// unmount) stays as it is. The mount point, or nothing with errno set.
std::optional<std::string> MountCardAgain(const CardMount& card);

using CardMounter = std::function<std::optional<std::string>(const CardMount& card)>;
// Mounts the card again and moves the letter to wherever it landed. When the mount fails the letter
// goes, so that nothing meant for the card lands in the bare folder it was mounted on.
bool RemountDrive(char letter, const CardMount& card, const CardMounter& mount = MountCardAgain);

// Runs a format that unmounts the card noted before it, then mounts the card again whatever the
// outcome: a format that fails after the unmount leaves the old file system intact, and whatever is
// written back afterwards must land on the card or nowhere, never in the bare folder. The format's
// outcome.
bool FormatAndRemount(char letter, const std::optional<CardMount>& card, const std::function<bool()>& format,
                      const CardMounter& mount = MountCardAgain);

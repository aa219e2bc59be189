#include "platform/devices/mountinfo.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// The kernel escapes space, tab, newline and backslash in paths as a backslash and three octal
// digits.
std::string Unescape(const std::string& field) {
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        const bool octal =
            field[i] == '\\' && i + 3 < field.size() && field.find_first_not_of("01234567", i + 1) >= i + 4;
        if (octal) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool ParseDeviceNumbers(const std::string& field, unsigned& major, unsigned& minor) {
    const size_t colon = field.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == field.size())
        return false;
    const std::string majorText = field.substr(0, colon);
    const std::string minorText = field.substr(colon + 1);
    if (majorText.find_first_not_of("0123456789") != std::string::npos ||
        minorText.find_first_not_of("0123456789") != std::string::npos || majorText.size() > 9 ||
        minorText.size() > 9)
        return false;
    major = static_cast<unsigned>(std::stoul(majorText));
    minor = static_cast<unsigned>(std::stoul(minorText));
    return true;
}

} // namespace

std::vector<MountInfoEntry> ParseMountInfo(const std::string& text) {
    std::vector<MountInfoEntry> entries;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        // id parent major:minor root mount-point options [optional fields...] - type source super-options
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-")
            ++separator;
        if (separator + 2 >= fields.size())
            continue;
        MountInfoEntry entry;
        if (!ParseDeviceNumbers(fields[2], entry.major, entry.minor))
            continue;
        entry.root = Unescape(fields[3]);
        entry.mountPoint = Unescape(fields[4]);
        entry.fsType = Unescape(fields[separator + 1]);
        entry.source = Unescape(fields[separator + 2]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<MountInfoEntry> ReadMountInfo(const std::string& path) {
    std::ifstream file(path);
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return ParseMountInfo(text.str());
}

std::vector<MountInfoEntry> BlockVolumeMounts(const std::vector<MountInfoEntry>& entries) {
    std::vector<MountInfoEntry> volumes;
    for (size_t i = 0; i < entries.size(); ++i) {
        const MountInfoEntry& entry = entries[i];
        if (entry.major == 0 || entry.source.rfind("/dev/", 0) != 0 || entry.root != "/")
            continue;
        const bool hidden =
            std::any_of(entries.begin() + i + 1, entries.end(),
                        [&](const MountInfoEntry& later) { return later.mountPoint == entry.mountPoint; });
        const bool listed = std::any_of(volumes.begin(), volumes.end(), [&](const MountInfoEntry& volume) {
            return volume.major == entry.major && volume.minor == entry.minor;
        });
        if (!hidden && !listed)
            volumes.push_back(entry);
    }
    return volumes;
}

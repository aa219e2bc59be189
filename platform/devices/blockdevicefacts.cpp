#include "platform/devices/blockdevicefacts.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadFirstLine(const fs::path& file) {
    std::ifstream stream(file);
    std::string line;
    if (!stream || !std::getline(stream, line))
        return std::nullopt;
    return line;
}

std::optional<ULONGLONG> ReadNumber(const fs::path& file) {
    const auto line = ReadFirstLine(file);
    if (!line || line->empty() || line->size() > 19 ||
        line->find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(*line);
}

// The node udev makes under /dev: the uevent's DEVNAME, which may hold a sub-folder.
std::string DeviceNode(const fs::path& deviceFolder, const std::string& name) {
    std::ifstream uevent(deviceFolder / "uevent");
    for (std::string line; std::getline(uevent, line);) {
        if (line.rfind("DEVNAME=", 0) == 0 && line.size() > 8)
            return "/dev/" + line.substr(8);
    }
    return "/dev/" + name;
}

} // namespace

std::optional<BlockDeviceFacts> ReadBlockDeviceFacts(const std::string& sysfsRoot, unsigned major,
                                                     unsigned minor) {
    const fs::path link =
        fs::path(sysfsRoot) / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
    std::error_code error;
    const fs::path folder = fs::canonical(link, error);
    if (error || !fs::is_directory(folder, error))
        return std::nullopt;

    BlockDeviceFacts facts;
    facts.name = folder.filename().string();
    facts.deviceNode = DeviceNode(folder, facts.name);
    // Only a partition has this file; one that does not read as a number is no device we know.
    if (!fs::exists(folder / "partition", error))
        return facts;
    const auto number = ReadNumber(folder / "partition");
    const auto start = ReadNumber(folder / "start");
    if (!number || *number == 0 || *number > 0xFFFF || !start)
        return std::nullopt;
    facts.partitionNumber = static_cast<int>(*number);
    facts.start512 = *start;
    // A partition's folder sits inside its disk's folder.
    const fs::path diskFolder = folder.parent_path();
    facts.diskName = diskFolder.filename().string();
    facts.diskNode = DeviceNode(diskFolder, facts.diskName);
    return facts;
}

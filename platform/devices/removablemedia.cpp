#include "platform/devices/removablemedia.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// Attribute files are a short line; anything longer than expected is not what we read them for.
std::optional<std::string> ReadAttribute(const fs::path& file, size_t maxLength) {
    std::ifstream stream(file);
    if (!stream)
        return std::nullopt;
    std::string text(maxLength + 1, '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(stream.gcount()));
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (text.size() > maxLength || text.find('\n') != std::string::npos)
        return std::nullopt;
    return text;
}

std::optional<DWORD> ReadUsbId(const fs::path& file) {
    const auto text = ReadAttribute(file, 4);
    if (!text || text->empty() || text->find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    return static_cast<DWORD>(std::stoul(*text, nullptr, 16));
}

// The serial ends a device instance id after a backslash, so it may not hold the id's separators.
std::string ReadSerial(const fs::path& file) {
    const auto text = ReadAttribute(file, 64);
    if (!text)
        return std::string();
    for (const char c : *text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            return std::string();
    }
    return *text;
}

bool Inside(const fs::path& path, const fs::path& root) {
    const auto [rootEnd, pathIt] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end() && pathIt != path.end();
}

} // namespace

std::optional<RemovableMediaFacts> ReadRemovableMediaFacts(const std::string& sysfsRoot, unsigned major,
                                                           unsigned minor) {
    std::error_code error;
    const fs::path root = fs::canonical(sysfsRoot, error);
    if (error)
        return std::nullopt;
    const fs::path folder =
        fs::canonical(root / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor)), error);
    if (error || !fs::is_directory(folder, error))
        return std::nullopt;

    RemovableMediaFacts facts;
    // A partition's folder sits inside its disk's, and only the disk has the removable-media bit.
    const fs::path disk = fs::exists(folder / "partition", error) ? folder.parent_path() : folder;
    facts.removable = ReadAttribute(disk / "removable", 1) == std::string("1");

    for (fs::path device = disk.parent_path(); Inside(device, root); device = device.parent_path()) {
        if (!fs::exists(device / "idVendor", error) || !fs::exists(device / "idProduct", error))
            continue;
        facts.onUsb = true;
        const auto vendor = ReadUsbId(device / "idVendor");
        const auto product = ReadUsbId(device / "idProduct");
        if (vendor && product) {
            facts.usbVendorId = *vendor;
            facts.usbProductId = *product;
            facts.usbSerial = ReadSerial(device / "serial");
        }
        break;
    }
    return facts;
}

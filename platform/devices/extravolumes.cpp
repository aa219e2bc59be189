#include "platform/devices/extravolumes.h"

#include "platform/base/trace.h"

#include <optional>

namespace {

// Splits at the unescaped separator, dropping the escapes of every other character.
std::vector<std::string> SplitEscaped(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            parts.back() += text[++i];
        else if (text[i] == separator)
            parts.emplace_back();
        else
            parts.back() += text[i];
    }
    return parts;
}

// Separates at the unescaped separator and keeps the escapes, so that the parts can be split again.
std::vector<std::string> SplitKeepingEscapes(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            parts.back() += text[i];
            parts.back() += text[++i];
        } else if (text[i] == separator) {
            parts.emplace_back();
        } else {
            parts.back() += text[i];
        }
    }
    return parts;
}

std::optional<DWORD> ParseId(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    return static_cast<DWORD>(std::stoul(text, nullptr, 16));
}

std::optional<ExtraVolume> ParseEntry(const std::string& entry) {
    const std::vector<std::string> fields = SplitEscaped(entry, ':');
    if ((fields.size() != 1 && fields.size() != 3) || fields[0].empty() || fields[0].front() != '/')
        return std::nullopt;
    ExtraVolume volume;
    volume.path = fields[0];
    if (fields.size() == 3) {
        const auto vendor = ParseId(fields[1]);
        const auto product = ParseId(fields[2]);
        if (!vendor || !product)
            return std::nullopt;
        volume.usbVendorId = *vendor;
        volume.usbProductId = *product;
    }
    return volume;
}

} // namespace

std::vector<ExtraVolume> ParseExtraVolumes(const std::string& text) {
    std::vector<ExtraVolume> volumes;
    for (const std::string& entry : SplitKeepingEscapes(text, ';')) {
        if (entry.empty())
            continue;
        if (const auto volume = ParseEntry(entry))
            volumes.push_back(*volume);
        else
            TraceLine(std::string(kExtraVolumesVariable) + ": entry left out: " + entry);
    }
    return volumes;
}

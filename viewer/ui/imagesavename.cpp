#include "viewer/ui/imagesavename.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace {

struct Extension {
    const wchar_t* text;
    ImageFileFormat format;
};

constexpr Extension kExtensions[] = {
    {L"jpg", ImageFileFormat::Jpeg},
    {L"jpeg", ImageFileFormat::Jpeg},
    {L"bmp", ImageFileFormat::Bmp},
    {L"png", ImageFileFormat::Png},
};

// The filter's entries in order, with the extension each gives a name that has none.
constexpr Extension kFilterEntries[] = {
    {L"jpg", ImageFileFormat::Jpeg},
    {L"bmp", ImageFileFormat::Bmp},
    {L"png", ImageFileFormat::Png},
};

// Longer chosen paths keep only their first characters, as the names always have.
constexpr size_t kLongestKeptPath = 254;
constexpr size_t kCutBase = 250;

bool SameLetters(const std::wstring& text, const wchar_t* lowerCase) {
    return std::equal(
        text.begin(), text.end(), lowerCase, lowerCase + std::wcslen(lowerCase),
        [](wchar_t a, wchar_t b) { return std::towlower(static_cast<wint_t>(a)) == static_cast<wint_t>(b); });
}

} // namespace

ImageSaveName::ImageSaveName(const std::wstring& chosenPath, int filterIndex) {
    const size_t slash = chosenPath.rfind(L'/');
    const size_t dot = chosenPath.rfind(L'.');
    const bool hasDot = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash + 1);
    const Extension* known = nullptr;
    if (hasDot) {
        const std::wstring letters = chosenPath.substr(dot + 1);
        for (const Extension& extension : kExtensions) {
            if (SameLetters(letters, extension.text)) {
                known = &extension;
                break;
            }
        }
    }
    size_t baseLength = chosenPath.size();
    if (known != nullptr) {
        baseLength = dot;
        m_extension = chosenPath.substr(dot + 1);
        m_format = known->format;
    } else {
        const bool listed = filterIndex >= 1 && filterIndex <= static_cast<int>(std::size(kFilterEntries));
        const Extension& entry = kFilterEntries[listed ? filterIndex - 1 : 0];
        m_extension = entry.text;
        m_format = entry.format;
    }
    if (chosenPath.size() > kLongestKeptPath) {
        baseLength = std::min(baseLength, kCutBase);
    }
    m_base = chosenPath.substr(0, baseLength);
}

std::wstring ImageSaveName::PathOfChannel(int channel) const {
    return m_base + L"-CH" + std::to_wstring(channel + 1) + L"." + m_extension;
}

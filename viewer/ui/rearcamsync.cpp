#include "viewer/ui/rearcamsync.h"

#include "platform/base/registry.h"

#include <charconv>
#include <cmath>
#include <cwctype>

namespace {

// The registry value is read into a buffer of this many bytes; a longer one cannot be read.
constexpr DWORD kValueBufferSize = 256;

} // namespace

double ReadRearCamSync() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 0.0;
    }
    BYTE buffer[kValueBufferSize] = {};
    DWORD size = sizeof(buffer);
    DWORD type = REG_NONE;
    const LSTATUS status = RegQueryValueExW(key, L"RearCamSync", nullptr, &type, buffer, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return 0.0;
    }
    // A value that fills the buffer has no terminator: only the bytes read count.
    return ParseRearCamSync(RegStringFromBytes(buffer, size));
}

double ParseRearCamSync(const std::wstring& text) {
    size_t first = 0;
    while (first < text.size() && std::iswspace(static_cast<wint_t>(text[first]))) {
        ++first;
    }
    if (first < text.size() && text[first] == L'+') {
        ++first;
        if (first < text.size() && (text[first] == L'+' || text[first] == L'-')) {
            return 0.0;
        }
    }
    std::string number;
    for (size_t i = first; i < text.size() && text[i] > 0 && text[i] < 0x80; ++i) {
        number += static_cast<char>(text[i]);
    }
    double value = 0.0;
    const std::from_chars_result result =
        std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        return 0.0;
    }
    return value;
}

// A device instance id on any bytes, taken as UTF-8 as the device's serial reaches it: a vendor or
// product text is written exactly when the id holds a token of its kind, and then ends inside its
// array.
#include "viewer/ui/usbdrivedetector.h"

#include "platform/base/unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <utility>

namespace {

// No terminator: whatever the parser writes into an array ends with one.
constexpr wchar_t kUnwritten = L'\x7F';

bool Written(const wchar_t (&text)[kUsbIdTextLength]) {
    return std::wmemchr(text, L'\0', kUsbIdTextLength) != nullptr;
}

bool Untouched(const wchar_t (&text)[kUsbIdTextLength]) {
    for (const wchar_t c : text) {
        if (c != kUnwritten)
            return false;
    }
    return true;
}

bool HasToken(const std::wstring& id, const wchar_t* kind) {
    for (size_t begin = 0; begin < id.size();) {
        size_t end = id.find_first_of(L"\\#&", begin);
        if (end == std::wstring::npos)
            end = id.size();
        if (id.compare(begin, 4, kind) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The parser prints its tokens for diagnosis; the fuzzer's own lines go to stderr.
    return std::freopen("/dev/null", "w", stdout) != nullptr ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring id = WideFromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    wchar_t vid[kUsbIdTextLength];
    wchar_t pid[kUsbIdTextLength];
    std::wmemset(vid, kUnwritten, kUsbIdTextLength);
    std::wmemset(pid, kUnwritten, kUsbIdTextLength);
    ParseUsbDeviceId(id.c_str(), vid, pid);
    // The parser reads the id up to its first terminator, as the platform hands it over.
    const std::wstring text = id.c_str();
    for (const auto& [array, kind] : {std::make_pair(&vid, L"VID_"), std::make_pair(&pid, L"PID_")}) {
        if (HasToken(text, kind) ? !Written(*array) : !Untouched(*array))
            std::abort();
    }
    return 0;
}

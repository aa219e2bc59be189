// The password lock's stored values on any bytes: the first two bytes give the stored length (as
// the length value would say it, possibly far beyond the data), the rest is the stored value. The
// text read back never comes from beyond the bytes given or the lock's buffer, and whatever fits
// is stored and read back unchanged when it is text a user can type (no lone surrogates, which is
// how the 8-bit conversion carries bytes it cannot read).
#include "viewer/ui/passwordlock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const long length = static_cast<int16_t>(data[0] | (data[1] << 8));
    const std::vector<BYTE> stored(data + 2, data + size);
    const std::wstring text = PasswordLock::Decode(stored, length);
    if (text.size() > stored.size() || text.size() > PasswordLock::kBufferSize)
        std::abort();
    const bool typed =
        std::none_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; });
    const auto encoded = PasswordLock::Encode(text);
    if (typed && encoded && PasswordLock::Decode(*encoded, static_cast<long>(encoded->size() - 1)) != text)
        std::abort();
    return 0;
}

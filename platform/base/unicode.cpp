#include "platform/base/unicode.h"

namespace {

constexpr wchar_t kEscapedByteBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at bytes[i], or 0 when it is not one.
size_t ValidSequenceLength(const std::string& bytes, size_t i, char32_t& codePoint) {
    const auto byteAt = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byteAt(i);
    size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byteAt(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byteAt(i + k) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

bool IsValidUtf8(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        char32_t codePoint;
        const size_t length = ValidSequenceLength(bytes, i, codePoint);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::wstring WideFromUtf8(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t codePoint;
        const size_t length = ValidSequenceLength(bytes, i, codePoint);
        if (length == 0) {
            text.push_back(static_cast<wchar_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            text.push_back(static_cast<wchar_t>(codePoint));
            i += length;
        }
    }
    return text;
}

std::string Utf8FromWide(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t ch : text) {
        const auto codePoint = static_cast<char32_t>(ch);
        if (codePoint >= kEscapedByteBase + 0x80 && codePoint <= kEscapedByteBase + 0xFF) {
            bytes.push_back(static_cast<char>(codePoint - kEscapedByteBase));
        } else if (codePoint < 0x80) {
            bytes.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            const char32_t safe = (codePoint >= 0xD800 && codePoint <= 0xDFFF) ? 0xFFFD : codePoint;
            bytes.push_back(static_cast<char>(0xE0 | (safe >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((safe >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (safe & 0x3F)));
        } else if (codePoint <= 0x10FFFF) {
            bytes.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            bytes += "\xEF\xBF\xBD";
        }
    }
    return bytes;
}

#include "platform/base/codepage.h"

#include "platform/base/unicode.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iconv.h>
#include <optional>
#include <vector>

namespace {

// Bytes no code page accepts travel as U+DC80..U+DCFF, the same carriage unicode.h uses, so that
// text read from a card writes back to the very bytes it came from.
constexpr wchar_t kEscapedByteBase = 0xDC00;
constexpr UINT kKoreanCodePage = 949;

bool IsEscapedByte(wchar_t ch) {
    return ch >= kEscapedByteBase + 0x80 && ch <= kEscapedByteBase + 0xFF;
}

// iconv descriptors carry conversion state and must not be shared between threads; the playback
// threads convert file names too. Each thread keeps its own, opened on first use.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Converts input from `consumed` on, appending to `output`, until the end or the first
    // sequence the code page rejects; `consumed` is left at that sequence. False when one was met.
    bool Convert(const char* input, size_t inputSize, size_t& consumed, std::vector<char>& scratch,
                 std::string& output) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        while (consumed < inputSize) {
            char* in = const_cast<char*>(input + consumed);
            size_t inLeft = inputSize - consumed;
            char* out = scratch.data();
            size_t outLeft = scratch.size();
            const size_t result = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            const int error = errno;
            output.append(scratch.data(), out - scratch.data());
            consumed = in - input;
            if (result == static_cast<size_t>(-1) && error != E2BIG)
                return false;
        }
        return true;
    }

  private:
    iconv_t m_handle;
};

Converter& Cp949Decoder() {
    thread_local Converter converter("WCHAR_T", "CP949");
    return converter;
}

Converter& Cp949Encoder() {
    thread_local Converter converter("CP949", "WCHAR_T");
    return converter;
}

std::wstring DecodeCp949(const std::string& bytes) {
    Converter& decoder = Cp949Decoder();
    if (!decoder.IsOpen())
        return WideFromUtf8(bytes);
    std::vector<char> scratch((bytes.size() + 1) * sizeof(wchar_t));
    std::string converted;
    std::wstring text;
    size_t consumed = 0;
    while (consumed < bytes.size()) {
        converted.clear();
        const bool complete = decoder.Convert(bytes.data(), bytes.size(), consumed, scratch, converted);
        const size_t count = converted.size() / sizeof(wchar_t);
        const size_t start = text.size();
        text.resize(start + count);
        std::memcpy(text.data() + start, converted.data(), count * sizeof(wchar_t));
        if (!complete) {
            text.push_back(
                static_cast<wchar_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[consumed])));
            ++consumed;
        }
    }
    return text;
}

// Null when a character has no CP949 form.
std::optional<std::string> EncodeCp949(const std::wstring& text) {
    Converter& encoder = Cp949Encoder();
    if (!encoder.IsOpen())
        return std::nullopt;
    std::vector<char> scratch(2 * text.size() + 16);
    std::string bytes;
    size_t start = 0;
    while (start < text.size()) {
        if (IsEscapedByte(text[start])) {
            bytes.push_back(static_cast<char>(text[start] - kEscapedByteBase));
            ++start;
            continue;
        }
        size_t end = start;
        while (end < text.size() && !IsEscapedByte(text[end]))
            ++end;
        const char* run = reinterpret_cast<const char*>(text.data() + start);
        const size_t runSize = (end - start) * sizeof(wchar_t);
        size_t consumed = 0;
        if (!encoder.Convert(run, runSize, consumed, scratch, bytes))
            return std::nullopt;
        start = end;
    }
    return bytes;
}

bool IsAscii(const std::wstring& text) {
    for (wchar_t ch : text) {
        if (ch < 0 || ch >= 0x80)
            return false;
    }
    return true;
}

enum class Encoding { ansi, utf8, unsupported };

Encoding EncodingOf(UINT codePage) {
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case kKoreanCodePage:
        return Encoding::ansi;
    case CP_UTF8:
        return Encoding::utf8;
    default:
        return Encoding::unsupported;
    }
}

// The result of a conversion into a caller's buffer: the size needed when the buffer size is 0,
// else the count written, or 0 when it does not fit.
template <typename Char>
int DeliverToBuffer(const std::basic_string<Char>& converted, Char* buffer, int bufferSize) {
    if (converted.size() > static_cast<size_t>(INT_MAX))
        return 0;
    const int size = static_cast<int>(converted.size());
    if (bufferSize == 0)
        return size;
    if (size > bufferSize)
        return 0;
    std::copy(converted.begin(), converted.end(), buffer);
    return size;
}

} // namespace

std::wstring WideFromAnsi(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return WideFromUtf8(bytes);
    return DecodeCp949(bytes);
}

std::string AnsiFromWide(const std::wstring& text) {
    if (IsAscii(text))
        return std::string(text.begin(), text.end());
    // CP949 bytes can happen to form valid UTF-8 ("\xC2\xA1" is a Hangul syllable in CP949 and
    // U+00A1 in UTF-8); such text would read back as something else, so it goes out as UTF-8.
    const std::optional<std::string> bytes = EncodeCp949(text);
    if (bytes && WideFromAnsi(*bytes) == text)
        return *bytes;
    return Utf8FromWide(text);
}

std::wstring WideFromMultiByte(const std::string& bytes, UINT codePage) {
    switch (EncodingOf(codePage)) {
    case Encoding::ansi:
        return WideFromAnsi(bytes);
    case Encoding::utf8:
        return WideFromUtf8(bytes);
    case Encoding::unsupported:
        break;
    }
    return std::wstring();
}

std::string MultiByteFromWide(const std::wstring& text, UINT codePage) {
    switch (EncodingOf(codePage)) {
    case Encoding::ansi:
        return AnsiFromWide(text);
    case Encoding::utf8:
        return Utf8FromWide(text);
    case Encoding::unsupported:
        break;
    }
    return std::string();
}

int MultiByteToWideChar(UINT codePage, DWORD /*flags: our decoders only produce precomposed text*/,
                        const char* bytes, int byteCount, wchar_t* text, int textSize) {
    if (bytes == nullptr || byteCount == 0 || byteCount < -1 || textSize < 0 ||
        (textSize > 0 && text == nullptr) || EncodingOf(codePage) == Encoding::unsupported)
        return 0;
    const bool throughZero = byteCount == -1;
    const size_t length = throughZero ? std::strlen(bytes) : static_cast<size_t>(byteCount);
    std::wstring converted = WideFromMultiByte(std::string(bytes, length), codePage);
    if (throughZero)
        converted.push_back(L'\0');
    return DeliverToBuffer(converted, text, textSize);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, const wchar_t* text, int textCount, char* bytes,
                        int byteSize, const char* /*defaultChar: never needed, see below*/,
                        BOOL* usedDefaultChar) {
    // Text CP949 cannot hold is written as UTF-8 instead of being replaced, so no character is lost.
    if (usedDefaultChar != nullptr)
        *usedDefaultChar = FALSE;
    if (text == nullptr || textCount == 0 || textCount < -1 || byteSize < 0 ||
        (byteSize > 0 && bytes == nullptr) || EncodingOf(codePage) == Encoding::unsupported)
        return 0;
    const bool throughZero = textCount == -1;
    const size_t length = throughZero ? std::wcslen(text) : static_cast<size_t>(textCount);
    std::string converted = MultiByteFromWide(std::wstring(text, length), codePage);
    if (throughZero)
        converted.push_back('\0');
    return DeliverToBuffer(converted, bytes, byteSize);
}

#include "platform/base/cstring.h"

#include "platform/base/codepage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <locale.h>
#include <stdexcept>
#include <vector>

namespace {

// Number conversions run in this locale whatever the process locale is: the program sets the
// user's locale at start-up, and a German decimal comma must not reach scripts or settings.
locale_t NumberLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// Letter case and white space in full Unicode, independent of the process locale.
locale_t CharacterLocale() {
    static const locale_t locale = [] {
        locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return unicode != static_cast<locale_t>(0) ? unicode : NumberLocale();
    }();
    return locale;
}

class ThreadLocaleScope {
  public:
    explicit ThreadLocaleScope(locale_t locale) : m_previous(uselocale(locale)) {}
    ~ThreadLocaleScope() { uselocale(m_previous); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

  private:
    locale_t m_previous;
};

std::wstring TextOrEmpty(const wchar_t* text) {
    return text != nullptr ? std::wstring(text) : std::wstring();
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

bool IsSpace(wchar_t ch) {
    return iswspace_l(static_cast<wint_t>(ch), CharacterLocale()) != 0;
}

std::wstring Lowered(const std::wstring& text) {
    std::wstring lowered(text);
    for (wchar_t& ch : lowered)
        ch = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(ch), CharacterLocale()));
    return lowered;
}

// One conversion directive: %[flags][width][.precision][size]type.
struct Directive {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
    enum class Size { none, h, hh, l, ll, L, pointer, wide } size = Size::none;
    wchar_t type = 0;
};

class Formatter {
  public:
    Formatter(std::wstring& output, va_list args) : m_output(output) { va_copy(m_args, args); }
    ~Formatter() { va_end(m_args); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    void Run(const wchar_t* format) {
        if (format == nullptr)
            return;
        ThreadLocaleScope numbers(NumberLocale());
        const wchar_t* p = format;
        while (*p != 0) {
            if (*p != L'%') {
                m_output.push_back(*p++);
                continue;
            }
            const wchar_t* start = p++;
            Directive directive;
            p = ParseDirective(p, directive);
            if (!Convert(directive))
                m_output.append(start, p);
        }
    }

  private:
    static int AddDigit(int value, wchar_t digit) {
        return value > (INT_MAX - 9) / 10 ? INT_MAX : value * 10 + (digit - L'0');
    }

    const wchar_t* ParseDirective(const wchar_t* p, Directive& directive) {
        for (;; ++p) {
            if (*p == L'-')
                directive.left = true;
            else if (*p == L'+')
                directive.plus = true;
            else if (*p == L' ')
                directive.space = true;
            else if (*p == L'0')
                directive.zero = true;
            else if (*p == L'#')
                directive.alternate = true;
            else
                break;
        }
        if (*p == L'*') {
            ++p;
            const int width = va_arg(m_args, int);
            if (width < 0) {
                directive.left = true;
                directive.width = width == INT_MIN ? INT_MAX : -width;
            } else {
                directive.width = width;
            }
        } else {
            while (*p >= L'0' && *p <= L'9')
                directive.width = AddDigit(directive.width, *p++);
        }
        if (*p == L'.') {
            ++p;
            directive.precision = 0;
            if (*p == L'*') {
                ++p;
                const int precision = va_arg(m_args, int);
                directive.precision = precision < 0 ? -1 : precision;
            } else {
                while (*p >= L'0' && *p <= L'9')
                    directive.precision = AddDigit(directive.precision, *p++);
            }
        }
        using Size = Directive::Size;
        if (p[0] == L'h' && p[1] == L'h') {
            directive.size = Size::hh, p += 2;
        } else if (p[0] == L'l' && p[1] == L'l') {
            directive.size = Size::ll, p += 2;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            directive.size = Size::ll, p += 3;
        } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
            directive.size = Size::none, p += 3;
        } else if (*p == L'I' || *p == L'z' || *p == L't' || *p == L'j') {
            directive.size = Size::pointer, ++p;
        } else if (*p == L'h') {
            directive.size = Size::h, ++p;
        } else if (*p == L'l') {
            directive.size = Size::l, ++p;
        } else if (*p == L'L') {
            directive.size = Size::L, ++p;
        } else if (*p == L'w') {
            directive.size = Size::wide, ++p;
        }
        directive.type = *p;
        return *p != 0 ? p + 1 : p;
    }

    // False for an unknown conversion, which is then copied as it stands.
    bool Convert(const Directive& directive) {
        switch (directive.type) {
        case L'%':
            m_output.push_back(L'%');
            break;
        case L'd':
        case L'i':
            ConvertNumber(directive, static_cast<unsigned long long>(SignedArgument(directive.size)));
            break;
        case L'u':
        case L'o':
        case L'x':
        case L'X':
            ConvertNumber(directive, UnsignedArgument(directive.size));
            break;
        case L'p':
            ConvertPointer(directive);
            break;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
            ConvertFloating(directive);
            break;
        case L'c':
        case L'C':
            ConvertCharacter(directive);
            break;
        case L's':
        case L'S':
            ConvertString(directive);
            break;
        default:
            return false;
        }
        return true;
    }

    long long SignedArgument(Directive::Size size) {
        using Size = Directive::Size;
        switch (size) {
        case Size::hh:
            return static_cast<signed char>(va_arg(m_args, int));
        case Size::h:
            return static_cast<short>(va_arg(m_args, int));
        case Size::l:
            // long is 32 bits where these formats were written (and DWORD/LONG are 32 bits
            // here); the argument slot is read whole and cut to 32 bits.
            return static_cast<std::int32_t>(va_arg(m_args, long));
        case Size::ll:
            return va_arg(m_args, long long);
        case Size::pointer:
            return va_arg(m_args, std::intptr_t);
        default:
            return va_arg(m_args, int);
        }
    }

    unsigned long long UnsignedArgument(Directive::Size size) {
        using Size = Directive::Size;
        switch (size) {
        case Size::hh:
            return static_cast<unsigned char>(va_arg(m_args, unsigned int));
        case Size::h:
            return static_cast<unsigned short>(va_arg(m_args, unsigned int));
        case Size::l:
            return static_cast<std::uint32_t>(va_arg(m_args, unsigned long));
        case Size::ll:
            return va_arg(m_args, unsigned long long);
        case Size::pointer:
            return va_arg(m_args, std::uintptr_t);
        default:
            return va_arg(m_args, unsigned int);
        }
    }

    static std::string Flags(const Directive& directive) {
        std::string flags;
        if (directive.left)
            flags += '-';
        if (directive.plus)
            flags += '+';
        if (directive.space)
            flags += ' ';
        if (directive.zero)
            flags += '0';
        if (directive.alternate)
            flags += '#';
        return flags;
    }

    // Formats one number with the C library in the C locale; its output is plain ASCII.
    template <typename Value>
    void AppendPrinted(const std::string& format, int width, int precision, Value value) {
        char small[64];
        const int length = std::snprintf(small, sizeof small, format.c_str(), width, precision, value);
        if (length < 0)
            return;
        if (static_cast<size_t>(length) < sizeof small) {
            m_output.append(small, small + length);
            return;
        }
        std::vector<char> large(static_cast<size_t>(length) + 1);
        std::snprintf(large.data(), large.size(), format.c_str(), width, precision, value);
        m_output.append(large.data(), large.data() + length);
    }

    void ConvertNumber(const Directive& directive, unsigned long long value) {
        const bool isSigned = directive.type == L'd' || directive.type == L'i';
        const std::string format = "%" + Flags(directive) + "*.*ll" + static_cast<char>(directive.type);
        if (isSigned)
            AppendPrinted(format, directive.width, directive.precision, static_cast<long long>(value));
        else
            AppendPrinted(format, directive.width, directive.precision, value);
    }

    void ConvertPointer(const Directive& directive) {
        const auto value = reinterpret_cast<std::uintptr_t>(va_arg(m_args, void*));
        const std::string format = std::string("%") + (directive.left ? "-" : "") + "*.*llX";
        AppendPrinted(format, directive.width, static_cast<int>(2 * sizeof(void*)),
                      static_cast<unsigned long long>(value));
    }

    void ConvertFloating(const Directive& directive) {
        const char type = static_cast<char>(directive.type);
        if (directive.size == Directive::Size::L) {
            AppendPrinted("%" + Flags(directive) + "*.*L" + type, directive.width, directive.precision,
                          va_arg(m_args, long double));
        } else {
            AppendPrinted("%" + Flags(directive) + "*.*" + type, directive.width, directive.precision,
                          va_arg(m_args, double));
        }
    }

    static bool IsNarrow(const Directive& directive) {
        using Size = Directive::Size;
        if (directive.size == Size::h)
            return true;
        if (directive.size == Size::l || directive.size == Size::wide)
            return false;
        return directive.type == L'S' || directive.type == L'C';
    }

    void AppendPadded(const Directive& directive, const std::wstring& text) {
        const size_t width = static_cast<size_t>(directive.width);
        const size_t padding = width > text.size() ? width - text.size() : 0;
        if (directive.left) {
            m_output += text;
            m_output.append(padding, L' ');
        } else {
            m_output.append(padding, directive.zero ? L'0' : L' ');
            m_output += text;
        }
    }

    void ConvertCharacter(const Directive& directive) {
        const int value = va_arg(m_args, int);
        std::wstring text;
        if (IsNarrow(directive))
            text = WideFromAnsi(std::string(1, static_cast<char>(value)));
        else
            text.assign(1, static_cast<wchar_t>(value));
        AppendPadded(directive, text);
    }

    void ConvertString(const Directive& directive) {
        const size_t limit = directive.precision < 0 ? SIZE_MAX : static_cast<size_t>(directive.precision);
        std::wstring text;
        if (IsNarrow(directive)) {
            const char* bytes = va_arg(m_args, const char*);
            if (bytes == nullptr)
                text = std::wstring(L"(null)").substr(0, limit);
            else
                text = WideFromAnsi(std::string(bytes, strnlen(bytes, limit)));
        } else {
            const wchar_t* wide = va_arg(m_args, const wchar_t*);
            if (wide == nullptr)
                text = std::wstring(L"(null)").substr(0, limit);
            else
                text.assign(wide, wcsnlen(wide, limit));
        }
        AppendPadded(directive, text);
    }

    std::wstring& m_output;
    va_list m_args;
};

} // namespace

CString::CString(const wchar_t* text) : m_text(TextOrEmpty(text)) {}

CString::CString(const wchar_t* text, int length) {
    if (text != nullptr && length > 0)
        m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(wchar_t ch, int repeat) : m_text(static_cast<size_t>(std::max(repeat, 0)), ch) {}

CString::CString(const char* bytes) {
    if (bytes != nullptr)
        m_text = WideFromAnsi(bytes);
}

wchar_t CString::GetAt(int index) const {
    if (index < 0 || index > GetLength())
        throw std::out_of_range("CString::GetAt");
    return m_text.c_str()[index];
}

void CString::SetAt(int index, wchar_t ch) {
    if (index < 0 || index >= GetLength())
        throw std::out_of_range("CString::SetAt");
    m_text[static_cast<size_t>(index)] = ch;
}

CString CString::Left(int count) const {
    return m_text.substr(0, static_cast<size_t>(std::max(count, 0)));
}

CString CString::Right(int count) const {
    const int kept = std::clamp(count, 0, GetLength());
    return m_text.substr(static_cast<size_t>(GetLength() - kept));
}

CString CString::Mid(int first) const {
    return Mid(first, INT_MAX);
}

CString CString::Mid(int first, int count) const {
    first = std::max(first, 0);
    if (first >= GetLength() || count <= 0)
        return CString();
    return m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count));
}

CString CString::SpanIncluding(const wchar_t* set) const {
    const size_t end = m_text.find_first_not_of(TextOrEmpty(set));
    return m_text.substr(0, end);
}

CString CString::SpanExcluding(const wchar_t* set) const {
    const size_t end = m_text.find_first_of(TextOrEmpty(set));
    return m_text.substr(0, end);
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const {
    const std::wstring set = TextOrEmpty(delimiters);
    if (start < 0 || start >= GetLength()) {
        start = -1;
        return CString();
    }
    if (set.empty()) {
        const CString rest = Mid(start);
        start = GetLength();
        return rest;
    }
    const size_t first = m_text.find_first_not_of(set, static_cast<size_t>(start));
    if (first == std::wstring::npos) {
        start = -1;
        return CString();
    }
    size_t end = m_text.find_first_of(set, first);
    if (end == std::wstring::npos)
        end = m_text.size();
    start = static_cast<int>(end) + 1;
    return m_text.substr(first, end - first);
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t found = m_text.find(ch, static_cast<size_t>(start));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::Find(const wchar_t* text, int start) const {
    if (text == nullptr || start < 0 || start > GetLength())
        return -1;
    const size_t found = m_text.find(text, static_cast<size_t>(start));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::ReverseFind(wchar_t ch) const {
    const size_t found = m_text.rfind(ch);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::FindOneOf(const wchar_t* set) const {
    const size_t found = m_text.find_first_of(TextOrEmpty(set));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::Replace(wchar_t oldCh, wchar_t newCh) {
    int count = 0;
    for (wchar_t& ch : m_text) {
        if (ch == oldCh) {
            ch = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText) {
    const std::wstring from = TextOrEmpty(oldText);
    if (from.empty())
        return 0;
    const std::wstring to = TextOrEmpty(newText);
    std::wstring result;
    int count = 0;
    size_t position = 0;
    for (size_t found; (found = m_text.find(from, position)) != std::wstring::npos;
         position = found + from.size()) {
        result.append(m_text, position, found - position);
        result += to;
        ++count;
    }
    if (count > 0) {
        result.append(m_text, position, std::wstring::npos);
        m_text = std::move(result);
    }
    return count;
}

int CString::Remove(wchar_t ch) {
    const size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, wchar_t ch) {
    m_text.insert(static_cast<size_t>(std::clamp(index, 0, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text) {
    m_text.insert(static_cast<size_t>(std::clamp(index, 0, GetLength())), TextOrEmpty(text));
    return GetLength();
}

int CString::Delete(int index, int count) {
    index = std::max(index, 0);
    if (index < GetLength() && count > 0)
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::MakeUpper() {
    for (wchar_t& ch : m_text)
        ch = static_cast<wchar_t>(towupper_l(static_cast<wint_t>(ch), CharacterLocale()));
    return *this;
}

CString& CString::MakeLower() {
    m_text = Lowered(m_text);
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_text.begin(), m_text.end());
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}
CString& CString::Trim(wchar_t ch) {
    return TrimRight(ch).TrimLeft(ch);
}
CString& CString::Trim(const wchar_t* set) {
    return TrimRight(set).TrimLeft(set);
}

CString& CString::TrimLeft() {
    m_text.erase(m_text.begin(), std::find_if_not(m_text.begin(), m_text.end(), IsSpace));
    return *this;
}

CString& CString::TrimLeft(wchar_t ch) {
    m_text.erase(0, m_text.find_first_not_of(ch));
    return *this;
}

CString& CString::TrimLeft(const wchar_t* set) {
    m_text.erase(0, m_text.find_first_not_of(TextOrEmpty(set)));
    return *this;
}

CString& CString::TrimRight() {
    m_text.erase(std::find_if_not(m_text.rbegin(), m_text.rend(), IsSpace).base(), m_text.end());
    return *this;
}

CString& CString::TrimRight(wchar_t ch) {
    const size_t last = m_text.find_last_not_of(ch);
    m_text.erase(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

CString& CString::TrimRight(const wchar_t* set) {
    const size_t last = m_text.find_last_not_of(TextOrEmpty(set));
    m_text.erase(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

int CString::Compare(const wchar_t* other) const {
    return Sign(m_text.compare(TextOrEmpty(other)));
}

int CString::CompareNoCase(const wchar_t* other) const {
    return Sign(Lowered(m_text).compare(Lowered(TextOrEmpty(other))));
}

int CString::Collate(const wchar_t* other) const {
    return Sign(std::wcscoll(m_text.c_str(), other != nullptr ? other : L""));
}

int CString::CollateNoCase(const wchar_t* other) const {
    return Sign(std::wcscoll(Lowered(m_text).c_str(), Lowered(TextOrEmpty(other)).c_str()));
}

CString& CString::operator+=(const CString& text) {
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(const wchar_t* text) {
    if (text != nullptr)
        m_text += text;
    return *this;
}

CString& CString::operator+=(wchar_t ch) {
    m_text += ch;
    return *this;
}

wchar_t* CString::GetBuffer(int minLength) {
    // One more than asked, so that the caller's terminating zero lies inside the string.
    if (minLength >= GetLength())
        m_text.resize(static_cast<size_t>(minLength) + 1);
    return m_text.data();
}

wchar_t* CString::GetBufferSetLength(int length) {
    m_text.resize(static_cast<size_t>(std::max(length, 0)));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0)
        m_text.resize(wcsnlen(m_text.c_str(), m_text.size()));
    else
        m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
}

void CString::FormatV(const wchar_t* format, va_list args) {
    std::wstring text;
    Formatter(text, args).Run(format);
    m_text = std::move(text);
}

void CString::AppendFormatV(const wchar_t* format, va_list args) {
    std::wstring text;
    Formatter(text, args).Run(format);
    m_text += text;
}

void CString::FormatArguments(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormatArguments(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

CString operator+(const CString& left, const CString& right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, const wchar_t* right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(const wchar_t* left, const CString& right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, wchar_t right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(wchar_t left, const CString& right) {
    CString result(left);
    result += right;
    return result;
}

bool operator==(const CString& left, const CString& right) {
    return static_cast<const std::wstring&>(left) == static_cast<const std::wstring&>(right);
}
bool operator==(const CString& left, const wchar_t* right) {
    return left.Compare(right) == 0;
}
bool operator==(const wchar_t* left, const CString& right) {
    return right.Compare(left) == 0;
}
bool operator!=(const CString& left, const CString& right) {
    return !(left == right);
}
bool operator!=(const CString& left, const wchar_t* right) {
    return !(left == right);
}
bool operator!=(const wchar_t* left, const CString& right) {
    return !(left == right);
}
bool operator<(const CString& left, const CString& right) {
    return static_cast<const std::wstring&>(left) < static_cast<const std::wstring&>(right);
}
bool operator<(const CString& left, const wchar_t* right) {
    return left.Compare(right) < 0;
}
bool operator<(const wchar_t* left, const CString& right) {
    return right.Compare(left) > 0;
}

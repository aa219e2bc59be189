#pragma once
// The class library's wide string, held in a std::wstring. Positions and counts are int, and
// out-of-range positions are clamped the way the class library clamps them. Format follows the
// class library's conversions, not the C library's (see FormatV).

#include "platform/base/resourcemodule.h"
#include "platform/base/wintypes.h"

#include <cstdarg>
#include <string>
#include <type_traits>

class CString;

namespace cstring_detail {

// What reaches the variadic formatter. In the class library a CString passed to Format arrives as
// its text pointer; here strings are turned into their pointers explicitly, and any other class
// object (which the compiler would otherwise pass through "..." without complaint) is refused.
template <typename T> std::decay_t<const T&> FormatArgument(const T& value) {
    using Passed = std::decay_t<const T&>;
    static_assert(std::is_arithmetic_v<Passed> || std::is_enum_v<Passed> || std::is_pointer_v<Passed> ||
                      std::is_null_pointer_v<Passed>,
                  "Format takes numbers, characters, pointers and strings");
    return value;
}
const wchar_t* FormatArgument(const CString& text);
inline const wchar_t* FormatArgument(const std::wstring& text) {
    return text.c_str();
}
inline const char* FormatArgument(const std::string& bytes) {
    return bytes.c_str();
}

} // namespace cstring_detail

class CString {
  public:
    CString() = default;
    CString(const wchar_t* text); // null gives an empty string
    CString(const wchar_t* text, int length);
    CString(const std::wstring& text) : m_text(text) {}
    CString(std::wstring&& text) : m_text(std::move(text)) {}
    explicit CString(wchar_t ch, int repeat = 1);
    // 8-bit text in the ANSI code page (codepage.h).
    explicit CString(const char* bytes);

    operator const wchar_t*() const { return m_text.c_str(); }
    operator const std::wstring&() const { return m_text; }
    const wchar_t* GetString() const { return m_text.c_str(); }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    // Index GetLength() gives the terminating zero; beyond that std::out_of_range is thrown, where
    // the class library throws its invalid-argument exception.
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString SpanIncluding(const wchar_t* set) const;
    CString SpanExcluding(const wchar_t* set) const;
    // The next token at or after start, skipping leading delimiters; start moves past the
    // delimiter that ends it. With no token left: an empty string and start = -1. An empty
    // delimiter set makes the rest of the string one token.
    CString Tokenize(const wchar_t* delimiters, int& start) const;

    // -1 when not found or when start is outside the string.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* set) const;

    // Replace and Remove return the number of replacements or removals; Insert and Delete the
    // new length.
    int Replace(wchar_t oldCh, wchar_t newCh);
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Remove(wchar_t ch);
    int Insert(int index, wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);

    // Letter case and white space follow Unicode, whatever the process locale.
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(const wchar_t* set);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(const wchar_t* set);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(const wchar_t* set);

    // -1, 0 or 1. Compare is ordinal; Collate uses the process locale's collation. A null text
    // counts as empty.
    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;
    int Collate(const wchar_t* other) const;
    int CollateNoCase(const wchar_t* other) const;

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    // GetBuffer(n) gives room for at least n characters and a terminating zero; ReleaseBuffer
    // then sets the length (-1: up to the first zero); in between GetLength counts the whole
    // buffer. GetBufferSetLength(n) sets the length to n at once.
    wchar_t* GetBuffer() { return m_text.data(); }
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // The class library's conversions rather than the C library's: in this wide format %s and %c
    // take wide arguments and %S and %C narrow ones (%hs, %ls, %ws, %hc, %lc, %wc say it
    // explicitly); narrow text is ANSI text (codepage.h), and its precision counts bytes. A null
    // string prints "(null)". %ld and %lu are 32-bit, as long is on that platform; %lld, %I64d,
    // %I64u, %I64x are 64-bit. %p prints 16 upper-case hex digits. The 0 flag pads strings and
    // characters with zeros too. Numbers are always written in the C locale. An unknown conversion
    // is copied as it stands and takes no argument.
    template <typename... Args> void Format(const wchar_t* format, const Args&... args) {
        FormatArguments(format, cstring_detail::FormatArgument(args)...);
    }
    template <typename... Args> void AppendFormat(const wchar_t* format, const Args&... args) {
        AppendFormatArguments(format, cstring_detail::FormatArgument(args)...);
    }
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormatV(const wchar_t* format, va_list args);

    // TRUE when the table holds the text; a missing text leaves the string empty.
    BOOL LoadString(HMODULE module, UINT id, LANGID language) {
        m_text = LoadStringLang(module, id, language);
        return !m_text.empty();
    }
    BOOL LoadString(HMODULE module, UINT id) {
        m_text = LoadStringDefault(module, id);
        return !m_text.empty();
    }

  private:
    void FormatArguments(const wchar_t* format, ...);
    void AppendFormatArguments(const wchar_t* format, ...);

    std::wstring m_text;
};

inline const wchar_t* cstring_detail::FormatArgument(const CString& text) {
    return text.GetString();
}

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const wchar_t* right);
CString operator+(const wchar_t* left, const CString& right);
CString operator+(const CString& left, wchar_t right);
CString operator+(wchar_t left, const CString& right);

bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, const wchar_t* right);
bool operator==(const wchar_t* left, const CString& right);
bool operator!=(const CString& left, const CString& right);
bool operator!=(const CString& left, const wchar_t* right);
bool operator!=(const wchar_t* left, const CString& right);
bool operator<(const CString& left, const CString& right);
bool operator<(const CString& left, const wchar_t* right);
bool operator<(const wchar_t* left, const CString& right);

#include "platform/base/cstring.h"

#include "platform/base/process.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// The C-style entry, so that the table reaches the formatter with exactly the argument types
// written in it.
CString Formatted(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    return text;
}

struct FormatCase {
    CString actual;
    const wchar_t* expected;
    const char* call;
};

#define FORMAT_CASE(expected, ...)                                                                           \
    FormatCase {                                                                                             \
        Formatted(__VA_ARGS__), expected, #__VA_ARGS__                                                       \
    }

std::string Narrow(const CString& text) {
    return Utf8FromWide(static_cast<const std::wstring&>(text));
}

size_t LengthOf(const std::wstring& text) {
    return text.size();
}

} // namespace

TEST(CStringFormat, FollowsTheClassLibraryConversions) {
    const char riff[] = {'R', 'I', 'F', 'F', 'A', 'V', 'I', ' '}; // a FOURCC run without a zero
    const FormatCase cases[] = {
        FORMAT_CASE(L"plain text", L"plain text"),
        FORMAT_CASE(L"100%", L"%d%%", 100),
        // Integers, flags, width and precision.
        FORMAT_CASE(L"-42", L"%d", -42),
        FORMAT_CASE(L"7", L"%i", 7),
        FORMAT_CASE(L"   42|42   |00042", L"%5d|%-5d|%05d", 42, 42, 42),
        FORMAT_CASE(L"+42| 42|-0042", L"%+d|% d|%05d", 42, 42, -42),
        FORMAT_CASE(L"007|  007|", L"%.3d|%5.3d|%.0d", 7, 7, 0),
        FORMAT_CASE(L"   42|42   |007", L"%*d|%*d|%.*d", 5, 42, -5, 42, 3, 7),
        FORMAT_CASE(L"4294967295", L"%u", -1),
        FORMAT_CASE(L"ff|FF|0xff|0XFF|ffffffff", L"%x|%X|%#x|%#X|%x", 255, 255, 255, 255, -1),
        FORMAT_CASE(L"0000BEEF|10|010", L"%08X|%o|%#o", 0xBEEF, 8, 8),
        FORMAT_CASE(L"0x80004005", L"0x%08X", E_FAIL),
        FORMAT_CASE(L"4464|65535|-1", L"%hd|%hu|%hhd", 70000, -1, 255),
        // long is 32 bits where these formats come from.
        FORMAT_CASE(L"-7|4000000000|5|ffffffff", L"%ld|%lu|%ld|%lx", LONG(-7), DWORD(4000000000u),
                    0x100000005L, 0xFFFFFFFFUL),
        FORMAT_CASE(L"-9223372036854775808|18446744073709551615", L"%lld|%llu", LLONG_MIN, ULLONG_MAX),
        FORMAT_CASE(L"-3000000000|3000000000|123456789ab|123456789AB", L"%I64d|%I64u|%I64x|%I64X",
                    -3000000000LL, 3000000000ULL, 0x123456789ABULL, 0x123456789ABULL),
        FORMAT_CASE(L"-5|12", L"%I32d|%Iu", -5, size_t(12)),
        FORMAT_CASE(L"001|1000|z03", L"%.3u|%.3u|z%.2u", 1u, 1000u, 3u),
        // Floating point.
        FORMAT_CASE(L"3.141590|12.3|   3.142|3.14    |", L"%f|%.1f|%8.3f|%-8.2f|", 3.14159, 12.34, 3.14159,
                    3.14159),
        FORMAT_CASE(L"-0003.14|+2.0|4|3.", L"%08.2f|%+.1f|%.0f|%#.0f", -3.14159, 2.0, 3.7, 3.0),
        FORMAT_CASE(L"1.234568e+04|1.234568E+04|1.23e-04", L"%e|%E|%.2e", 12345.678, 12345.678, 0.000123),
        FORMAT_CASE(L"0.0001|1e-05|1.23457e+08|1E-10|100000|1.00000", L"%g|%g|%g|%G|%g|%#g", 0.0001, 1e-5,
                    123456789.0, 1e-10, 100000.0, 1.0),
        FORMAT_CASE(L"0.500000|1.500000|2.250000", L"%f|%Lf|%lf", 0.5f, 1.5L, 2.25),
        FORMAT_CASE(L"100000000000000000000.000000", L"%f", 1e20),
        FORMAT_CASE(L"javascript:MoveTo(37.566535, 126.977969);", L"javascript:MoveTo(%f, %f);", 37.566535,
                    126.977969),
        // Strings: %s wide, %S narrow, h and l/w say it explicitly.
        FORMAT_CASE(L"wide|narrow|narrow|wide|wide", L"%s|%S|%hs|%ls|%ws", L"wide", "narrow", "narrow",
                    L"wide", L"wide"),
        FORMAT_CASE(L"wide|wide", L"%lS|%wS", L"wide", L"wide"),
        FORMAT_CASE(L"\uD55C\uAE00|\uD55C\uAE00|\uD55C", L"%s|%S|%S", L"\uD55C\uAE00", "\xC7\xD1\xB1\xDB",
                    "\xED\x95\x9C"),
        FORMAT_CASE(L"       abc|abc       |abc|   ab|000ab|ab", L"%10s|%-10s|%.3s|%5.2s|%05s|%.*s", L"abc",
                    L"abc", L"abcdef", L"abcdef", L"ab", 2, L"abcdef"),
        FORMAT_CASE(L"RIFF|AVI ", L"%.4S|%.4S", riff, riff + 4),
        FORMAT_CASE(L"(null)|(null)|(nu", L"%s|%S|%.3s", static_cast<const wchar_t*>(nullptr),
                    static_cast<const char*>(nullptr), static_cast<const wchar_t*>(nullptr)),
        // Characters: %c wide, %C narrow.
        FORMAT_CASE(L"W|\uD55C|A|b|\u00E9|x", L"%c|%c|%C|%hc|%lc|%wc", L'W', L'\uD55C', 'A', 'b', L'\u00E9',
                    L'x'),
        FORMAT_CASE(L"  x|x  |00x", L"%3c|%-3c|%03c", L'x', L'x', L'x'),
        FORMAT_CASE(L"Drive E (USB)", L"Drive %C (%s)", 'E', L"USB"),
        // Pointers: all hex digits of the pointer, upper case, no prefix.
        FORMAT_CASE(L"0000000000ABCDEF|0000000000000000", L"%p|%p", reinterpret_cast<void*>(0xABCDEF),
                    static_cast<void*>(nullptr)),
        // Unknown conversions are copied and take no argument; a lone % at the end stays.
        FORMAT_CASE(L"%y 5|50%", L"%y %d|50%", 5),
        FORMAT_CASE(L"[12:00:01:007] started\n", L"[%s:%03d] %s\n", L"12:00:01", 7, L"started"),
        FORMAT_CASE(L"2023-01-02 03:04:05", L"%04d-%02d-%02d %02d:%02d:%02d", 2023, 1, 2, 3, 4, 5),
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.call << " gave " << Narrow(c.actual);
}

TEST(CStringFormat, NumbersIgnoreTheProcessLocale) {
    // A German locale writes a decimal comma; build one when the system has none installed.
    TestFolder folder;
    bool active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (!active) {
        int exitCode = 0;
        RunProcessAndWait({L"localedef", L"-i", L"de_DE", L"-f", L"UTF-8", folder.Wide("de_DE.UTF-8")},
                          ProcessOutput::Hidden, exitCode);
        setenv("LOCPATH", folder.Path().c_str(), 1);
        active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const bool comma = active && std::string(probe) == "1,5";

    CString text;
    text.Format(L"%.1f|%f|%g|%e", 1.5, 37.566535, 0.25, 1234.5);
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    if (!comma) {
        GTEST_SKIP() << "no locale with a decimal comma (the Debian package \"locales\" provides one)";
    }
    EXPECT_EQ(text, L"1.5|37.566535|0.25|1.234500e+03");
}

TEST(CStringFormat, TakesStringObjectsAsTheirText) {
    const CString name(L"REC_0001.avi");
    const std::wstring folder = L"D:\\DCIM";
    const std::string bytes = "\xC7\xD1";
    CString text;
    text.Format(L"%s\\%s (%S)", folder, name, bytes);
    EXPECT_EQ(text, L"D:\\DCIM\\REC_0001.avi (\uD55C)");

    text.Format(L"<%s>", text); // formatting a string with itself
    EXPECT_EQ(text, L"<D:\\DCIM\\REC_0001.avi (\uD55C)>");

    text.AppendFormat(L" %d%%", 50);
    EXPECT_EQ(text, L"<D:\\DCIM\\REC_0001.avi (\uD55C)> 50%");
}

TEST(CString, ConstructionAndConversion) {
    EXPECT_EQ(CString(), L"");
    EXPECT_EQ(CString(static_cast<const wchar_t*>(nullptr)), L"");
    EXPECT_EQ(CString(L"abcdef", 3), L"abc");
    EXPECT_EQ(CString(L'x', 3), L"xxx");
    EXPECT_EQ(CString(L'x', -1), L"");
    EXPECT_EQ(CString(std::wstring(L"std")), L"std");
    EXPECT_EQ(CString("\xC7\xD1\xB1\xDB"), L"\uD55C\uAE00"); // ANSI text
    const CString text(L"path");
    EXPECT_EQ(std::wcslen(text), 4u);
    EXPECT_EQ(LengthOf(text), 4u); // passes where a std::wstring is taken
    EXPECT_TRUE(CString().IsEmpty());
    CString emptied(L"x");
    emptied.Empty();
    EXPECT_TRUE(emptied.IsEmpty());
}

TEST(CString, ExtractionClampsPositions) {
    const CString text(L"Hello World");
    const std::pair<CString, const wchar_t*> cases[] = {
        {text.Left(5), L"Hello"},
        {text.Left(-1), L""},
        {text.Left(99), L"Hello World"},
        {text.Right(5), L"World"},
        {text.Right(-1), L""},
        {text.Right(99), L"Hello World"},
        {text.Mid(6), L"World"},
        {text.Mid(6, 2), L"Wo"},
        {text.Mid(-3, 2), L"He"},
        {text.Mid(9, 99), L"ld"},
        {text.Mid(11), L""},
        {text.Mid(99), L""},
        {text.Mid(3, -1), L""},
        {CString(L"123abc").SpanIncluding(L"0123456789"), L"123"},
        {CString(L"abc").SpanIncluding(L""), L""},
        {CString(L"key=value").SpanExcluding(L"=;"), L"key"},
        {CString(L"key").SpanExcluding(L"=;"), L"key"},
    };
    for (const auto& [actual, expected] : cases)
        EXPECT_EQ(actual, expected) << Narrow(actual);
}

TEST(CString, SearchesGiveMinusOneWhenNotFound) {
    const CString text(L"Hello World");
    const std::pair<int, int> cases[] = {
        {text.Find(L'o'), 4},         {text.Find(L'o', 5), 7},     {text.Find(L'z'), -1},
        {text.Find(L'o', -1), -1},    {text.Find(L'o', 11), -1},   {text.Find(L"World"), 6},
        {text.Find(L"World", 7), -1}, {text.Find(L"", 11), 11},    {text.Find(L"", 12), -1},
        {text.Find(L"o W", 2), 4},    {text.ReverseFind(L'o'), 7}, {text.ReverseFind(L'z'), -1},
        {text.FindOneOf(L"xWl"), 2},  {text.FindOneOf(L""), -1},   {text.FindOneOf(L"xyz"), -1},
        {CString().Find(L'a'), -1},   {CString().Find(L""), 0},    {text.Find(nullptr), -1},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

TEST(CString, EditsReturnTheirCounts) {
    CString text(L"a.b.c");
    EXPECT_EQ(text.Replace(L'.', L'/'), 2);
    EXPECT_EQ(text, L"a/b/c");

    text = L"abab";
    EXPECT_EQ(text.Replace(L"ab", L"xyz"), 2);
    EXPECT_EQ(text, L"xyzxyz");
    text = L"aaa";
    EXPECT_EQ(text.Replace(L"aa", L"b"), 1);
    EXPECT_EQ(text, L"ba");
    text = L"aXa";
    EXPECT_EQ(text.Replace(L"a", L"aa"), 2); // the new text is not searched again
    EXPECT_EQ(text, L"aaXaa");
    EXPECT_EQ(text.Replace(L"", L"x"), 0);
    EXPECT_EQ(text.Replace(L"a", nullptr), 4);
    EXPECT_EQ(text, L"X");
    EXPECT_EQ(text.Replace(L"q", L"r"), 0);

    text = L"hello";
    EXPECT_EQ(text.Remove(L'l'), 2);
    EXPECT_EQ(text, L"heo");
    EXPECT_EQ(text.Insert(-5, L'<'), 4);
    EXPECT_EQ(text.Insert(99, L">"), 5);
    EXPECT_EQ(text.Insert(2, L"--"), 7);
    EXPECT_EQ(text, L"<h--eo>");
    EXPECT_EQ(text.Delete(2, 2), 5);
    EXPECT_EQ(text, L"<heo>");
    EXPECT_EQ(text.Delete(99), 5);
    EXPECT_EQ(text.Delete(1, -1), 5);
    EXPECT_EQ(text.Delete(-1, 1), 4);
    EXPECT_EQ(text.Delete(2, 99), 2);
    EXPECT_EQ(text, L"he");
}

TEST(CString, CharacterAccess) {
    CString text(L"abc");
    EXPECT_EQ(text.GetAt(0), L'a');
    EXPECT_EQ(text[2], L'c');
    EXPECT_EQ(text.GetAt(3), L'\0');
    EXPECT_THROW(text.GetAt(4), std::out_of_range);
    EXPECT_THROW(text.GetAt(-1), std::out_of_range);
    text.SetAt(1, L'X');
    EXPECT_EQ(text, L"aXc");
    EXPECT_THROW(text.SetAt(3, L'x'), std::out_of_range);
}

TEST(CString, CaseAndWhiteSpaceFollowUnicode) {
    EXPECT_EQ(CString(L"abc \u00E9\u043F\u00DF").MakeUpper(), L"ABC \u00C9\u041F\u00DF");
    EXPECT_EQ(CString(L"ABC \u00C9\u041F").MakeLower(), L"abc \u00E9\u043F");
    EXPECT_EQ(CString(L"abc").MakeReverse(), L"cba");

    const std::pair<CString, const wchar_t*> cases[] = {
        {CString(L" \t a b \r\n").Trim(), L"a b"},
        {CString(L" \t a b \r\n").TrimLeft(), L"a b \r\n"},
        {CString(L" \t a b \r\n").TrimRight(), L" \t a b"},
        {CString(L"\u3000\uD55C\u3000").Trim(), L"\uD55C"}, // full-width space
        {CString(L"   ").Trim(), L""},
        {CString(L"xxaxx").Trim(L'x'), L"a"},
        {CString(L"xxaxx").TrimLeft(L'x'), L"axx"},
        {CString(L"xxaxx").TrimRight(L'x'), L"xxa"},
        {CString(L"xyaxyx").Trim(L"xy"), L"a"},
        {CString(L"xyaxyx").TrimLeft(L"yx"), L"axyx"},
        {CString(L"xyaxyx").TrimRight(L"yx"), L"xya"},
        {CString(L"xyx").TrimRight(L"yx"), L""},
        {CString(L"ab").Trim(L""), L"ab"},
    };
    for (const auto& [actual, expected] : cases)
        EXPECT_EQ(actual, expected) << Narrow(actual);
}

TEST(CString, Comparisons) {
    const CString abc(L"abc");
    EXPECT_EQ(abc.Compare(L"abd"), -1);
    EXPECT_EQ(abc.Compare(L"abc"), 0);
    EXPECT_EQ(abc.Compare(L"ABC"), 1);
    EXPECT_EQ(CString().Compare(nullptr), 0);
    EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abc"), 0);
    EXPECT_EQ(CString(L"\u00C9").CompareNoCase(L"\u00E9"), 0);
    EXPECT_EQ(CString(L"A").CompareNoCase(L"_"), 1); // compared as lower case, as the platform does
    EXPECT_EQ(CString(L"abc").CompareNoCase(L"ABCD"), -1);

    std::setlocale(LC_COLLATE, "C");
    EXPECT_EQ(CString(L"B").Collate(L"a"), -1);
    EXPECT_EQ(CString(L"B").CollateNoCase(L"a"), 1);
    EXPECT_EQ(CString(L"b").CollateNoCase(L"B"), 0);

    EXPECT_TRUE(abc == L"abc");
    EXPECT_TRUE(L"abc" == abc);
    EXPECT_TRUE(abc == CString(L"abc"));
    EXPECT_TRUE(abc != L"abd");
    EXPECT_TRUE(L"abd" != abc);
    EXPECT_TRUE(abc < L"abd");
    EXPECT_TRUE(L"ab" < abc);
    EXPECT_TRUE(CString(L"ab") < abc);
    EXPECT_FALSE(abc < abc);
    EXPECT_TRUE(abc != CString(std::wstring(L"abc\0", 4))); // an embedded zero counts
}

TEST(CString, Concatenation) {
    const CString a(L"a");
    EXPECT_EQ(a + CString(L"b"), L"ab");
    EXPECT_EQ(a + L"b", L"ab");
    EXPECT_EQ(L"b" + a, L"ba");
    EXPECT_EQ(a + L'c', L"ac");
    EXPECT_EQ(L'c' + a, L"ca");
    EXPECT_EQ(a + std::wstring(L"s"), L"as");
    CString text;
    text += a;
    text += L"b";
    text += L'c';
    text += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(text, L"abc");
}

TEST(CString, TokenizeWalksTokensThenEnds) {
    const CString text(L"  a,,b ; c;");
    int position = 0;
    std::vector<std::wstring> tokens;
    for (CString token = text.Tokenize(L",; ", position); position != -1;
         token = text.Tokenize(L",; ", position))
        tokens.push_back(token);
    EXPECT_EQ(tokens, (std::vector<std::wstring>{L"a", L"b", L"c"}));

    position = 3;
    EXPECT_EQ(text.Tokenize(L"", position), L",,b ; c;"); // no delimiters: the rest is one token
    EXPECT_EQ(text.Tokenize(L"", position), L"");
    EXPECT_EQ(position, -1);

    const std::pair<CString, int> ends[] = {
        {CString(), 0}, {CString(L",,"), 0}, {CString(L"ab"), 5}, {CString(L"ab"), -2}};
    for (const auto& [source, start] : ends) {
        int at = start;
        EXPECT_EQ(source.Tokenize(L",", at), L"") << Narrow(source) << " from " << start;
        EXPECT_EQ(at, -1);
    }
}

TEST(CString, BufferAccess) {
    CString text;
    wchar_t* buffer = text.GetBuffer(5);
    std::wcscpy(buffer, L"12345"); // five characters and the terminating zero
    text.ReleaseBuffer();
    EXPECT_EQ(text, L"12345");
    EXPECT_EQ(text.GetLength(), 5);

    buffer = text.GetBuffer(2); // smaller than the text: the text stays
    buffer[0] = L'X';
    text.ReleaseBuffer();
    EXPECT_EQ(text, L"X2345");

    buffer = text.GetBuffer(260);
    std::wcscpy(buffer, L"short");
    text.ReleaseBuffer(-1);
    EXPECT_EQ(text, L"short");
    EXPECT_EQ(text.GetLength(), 5);

    text.GetBuffer(10);
    text.ReleaseBuffer(3);
    EXPECT_EQ(text, L"sho");

    buffer = text.GetBufferSetLength(4);
    std::wmemcpy(buffer, L"abcd", 4);
    EXPECT_EQ(text, L"abcd");
    EXPECT_EQ(text.GetLength(), 4);
}

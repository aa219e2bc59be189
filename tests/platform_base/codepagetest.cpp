#include "platform/base/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring Escaped(unsigned char byte) {
    return std::wstring(1, static_cast<wchar_t>(0xDC00 + byte));
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
        hex += ' ';
    }
    return hex;
}

} // namespace

TEST(CodePage, AnsiTextReadsAndWritesBothForms) {
    struct Case {
        std::string bytes;
        std::wstring text;
        bool writtenBack; // whether writing the text gives these very bytes
    };
    const std::wstring thai = L"\u0E20\u0E32\u0E29\u0E32"; // no CP949 form
    const Case cases[] = {
        {"", L"", true},
        {"REC_20230101_120000_F.avi", L"REC_20230101_120000_F.avi", true},
        {"\xC7\xD1\xB1\xDB", L"\uD55C\uAE00", true},          // Korean in CP949
        {"12\xB0\xA1-A", L"12\uAC00-A", true},                // mixed, CP949
        {"\xA2\xE6 \xA5\xD8", L"\u20AC \u03A9", true},        // euro sign, Greek
        {"\xED\x95\x9C\xEA\xB8\x80", L"\uD55C\uAE00", false}, // Korean in UTF-8
        {"a\xEA\xB0\x80"
         "b",
         L"a\uAC00b", false},                                             // mixed, UTF-8
        {"\xE0\xB8\xA0\xE0\xB8\xB2\xE0\xB8\xA9\xE0\xB8\xB2", thai, true}, // only UTF-8 holds it
        // Neither UTF-8 nor CP949: stray bytes are carried and written back unchanged.
        {"\xFF\xFE", Escaped(0xFF) + Escaped(0xFE), true},
        {"a\x80"
         "b",
         L"a" + Escaped(0x80) + L"b", true},
        {"\xC7\xD1\xFF", L"\uD55C" + Escaped(0xFF), true},
        {"\xC7\xD1\xB1", L"\uD55C" + Escaped(0xB1), true}, // cut off after a lead byte
        // CP949 bytes that are valid UTF-8 as well read as UTF-8.
        {"\xC2\xA1", L"\u00A1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromAnsi(c.bytes), c.text) << Hex(c.bytes);
        const std::string written = AnsiFromWide(c.text);
        EXPECT_EQ(WideFromAnsi(written), c.text) << Hex(c.bytes) << "written as " << Hex(written);
        if (c.writtenBack) {
            EXPECT_EQ(written, c.bytes) << Hex(c.bytes) << "written as " << Hex(written);
        }
    }
    // Korean read from UTF-8 is written as CP949; one character without a CP949 form makes it all UTF-8.
    EXPECT_EQ(AnsiFromWide(L"\uD55C\uAE00"), "\xC7\xD1\xB1\xDB");
    EXPECT_EQ(AnsiFromWide(L"\uD55C\u0E20"), "\xED\x95\x9C\xE0\xB8\xA0");
}

TEST(CodePage, TextWhoseCp949FormLooksLikeUtf8IsWrittenAsUtf8) {
    // U+C9D5 is "\xC2\xA1" in CP949, which reads as U+00A1 in UTF-8.
    const std::wstring text = L"\uC9D5";
    const std::string written = AnsiFromWide(text);
    EXPECT_EQ(written, "\xEC\xA7\x95");
    EXPECT_EQ(WideFromAnsi(written), text);
}

TEST(CodePage, CodePagesSelectTheRule) {
    const std::string cp949 = "\xC7\xD1";
    EXPECT_EQ(WideFromMultiByte(cp949, CP_ACP), L"\uD55C");
    EXPECT_EQ(WideFromMultiByte(cp949, CP_OEMCP), L"\uD55C");
    EXPECT_EQ(WideFromMultiByte(cp949, 949), L"\uD55C");
    EXPECT_EQ(WideFromMultiByte(cp949, CP_UTF8), Escaped(0xC7) + Escaped(0xD1)); // UTF-8 only
    EXPECT_EQ(WideFromMultiByte("\xED\x95\x9C", CP_UTF8), L"\uD55C");
    EXPECT_EQ(WideFromMultiByte(cp949, 1252), L"");

    EXPECT_EQ(MultiByteFromWide(L"\uD55C", CP_ACP), cp949);
    EXPECT_EQ(MultiByteFromWide(L"\uD55C", CP_OEMCP), cp949);
    EXPECT_EQ(MultiByteFromWide(L"\uD55C", CP_UTF8), "\xED\x95\x9C");
    EXPECT_EQ(MultiByteFromWide(L"\uD55C", 1252), "");
}

TEST(CodePage, MultiByteToWideCharBufferContract) {
    const char* korean = "\xC7\xD1\xB1\xDB";
    wchar_t text[8];
    // -1: through the terminating zero, which is counted.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, korean, -1, nullptr, 0), 3);
    std::fill(std::begin(text), std::end(text), L'#');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, korean, -1, text, 3), 3);
    EXPECT_EQ(std::wstring(text, 3), std::wstring(L"\uD55C\uAE00", 3));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, korean, -1, text, 2), 0); // too small
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "", -1, nullptr, 0), 1);

    // An explicit count converts exactly those bytes, zeros included, and adds no terminator.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, korean, 2, nullptr, 0), 1);
    std::fill(std::begin(text), std::end(text), L'#');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, korean, 4, text, 8), 2);
    EXPECT_EQ(std::wstring(text, 3), L"\uD55C\uAE00#");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\0b", 3, text, 8), 3);
    EXPECT_EQ(std::wstring(text, 3), std::wstring(L"a\0b", 3));

    // Failures.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, korean, 0, text, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, korean, -2, text, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 4, text, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, korean, 4, nullptr, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, korean, 4, text, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, korean, 4, text, 8), 0);
}

TEST(CodePage, WideCharToMultiByteBufferContract) {
    const wchar_t* korean = L"\uD55C\uAE00";
    char bytes[16];
    BOOL usedDefault = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, korean, -1, nullptr, 0, nullptr, &usedDefault), 5);
    EXPECT_EQ(usedDefault, FALSE);
    std::fill(std::begin(bytes), std::end(bytes), '#');
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, korean, -1, bytes, 5, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(bytes, 6), std::string("\xC7\xD1\xB1\xDB\0#", 6));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, korean, -1, bytes, 4, nullptr, nullptr), 0); // too small
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, korean, 1, nullptr, 0, nullptr, nullptr), 2);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, korean, -1, nullptr, 0, nullptr, nullptr), 7);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, korean, 2, bytes, 16, nullptr, nullptr), 6);
    EXPECT_EQ(std::string(bytes, 6), "\xED\x95\x9C\xEA\xB8\x80");

    // Text CP949 cannot hold is not replaced by a default character: it goes out as UTF-8.
    usedDefault = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u0E20", 1, bytes, 16, "?", &usedDefault), 3);
    EXPECT_EQ(std::string(bytes, 3), "\xE0\xB8\xA0");
    EXPECT_EQ(usedDefault, FALSE);

    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, korean, 0, bytes, 16, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, nullptr, 2, bytes, 16, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, korean, 2, nullptr, 16, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, korean, 2, bytes, 16, nullptr, nullptr), 0);
}

TEST(CodePage, ConvertsOnManyThreadsAtOnce) {
    const std::string cp949 = "\xC7\xD1\xB1\xDB \xB5\xBF\xBF\xB5\xBB\xF3 \xFF";
    const std::wstring text = L"\uD55C\uAE00 \uB3D9\uC601\uC0C1 " + Escaped(0xFF);
    ASSERT_EQ(WideFromAnsi(cp949), text);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                if (WideFromAnsi(cp949) != text || AnsiFromWide(text) != cp949)
                    ++failures;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
}

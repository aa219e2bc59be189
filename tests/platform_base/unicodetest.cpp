#include "platform/base/unicode.h"

#include <gtest/gtest.h>

TEST(Unicode, RoundTripsTextAndForeignBytes) {
    struct Case {
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"", L""},
        {"Drive/REC_20230101.mp4", L"Drive/REC_20230101.mp4"},
        {"\xEC\x83\x81\xEC\x8B\x9C", L"\uC0C1\uC2DC"},         // Korean
        {"\xF0\x9F\x9A\x97", L"\U0001F697"},                 // outside the basic plane
        {"a\xB0\xA1z", std::wstring(L"a") + wchar_t(0xDCB0) + wchar_t(0xDCA1) + L"z"}, // CP949 bytes
        {"\xC0\xAF", std::wstring() + wchar_t(0xDCC0) + wchar_t(0xDCAF)},            // overlong '/'
        {"\xED\xA0\x80", std::wstring() + wchar_t(0xDCED) + wchar_t(0xDCA0) + wchar_t(0xDC80)}, // surrogate
        {"\xE2\x82", std::wstring() + wchar_t(0xDCE2) + wchar_t(0xDC82)},            // truncated
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(Utf8FromWide(c.text), c.bytes) << c.bytes;
    }
}

TEST(Unicode, ValidityCheck) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xEC\x83\x81"));
    EXPECT_FALSE(IsValidUtf8("\xB0\xA1"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
}

TEST(Unicode, UnpairedSurrogateInWideTextBecomesReplacement) {
    EXPECT_EQ(Utf8FromWide(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
}

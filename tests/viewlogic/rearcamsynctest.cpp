// The rear camera's offset: the registry text read through a bounded buffer and parsed with a '.'
// whatever the locale.
#include "viewer/ui/rearcamsync.h"
#include "platform/base/registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RearCamSync, ParsesTheNumberAtTheStart) {
    struct Case {
        const wchar_t* text;
        double value;
    };
    const Case cases[] = {
        {L"0.5", 0.5},  {L" 1.25", 1.25}, {L"-0.3", -0.3}, {L"+0.5", 0.5},   {L"2", 2.0},
        {L"0.5s", 0.5}, {L"abc", 0.0},    {L"", 0.0},      {L"0,5", 0.0},    {L"+-1", 0.0},
        {L"inf", 0.0},  {L"nan", 0.0},    {L"1e400", 0.0}, {L"\x4E00", 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ParseRearCamSync(c.text), c.value) << c.text;
}

class RearCamSyncRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegDeleteValueW(m_key, L"RearCamSync");
        RegCloseKey(m_key);
    }
    void Write(const std::wstring& text, bool terminated) {
        const std::vector<BYTE> bytes = RegStringBytes(text, terminated);
        ASSERT_EQ(
            RegSetValueExW(m_key, L"RearCamSync", 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
    }

    HKEY m_key = nullptr;
};

TEST_F(RearCamSyncRegistry, ReadsTheSettingsValue) {
    EXPECT_EQ(ReadRearCamSync(), 0.0);
    Write(L"0.5", true);
    EXPECT_EQ(ReadRearCamSync(), 0.5);
    Write(L"abc", true);
    EXPECT_EQ(ReadRearCamSync(), 0.0);
}

TEST_F(RearCamSyncRegistry, ValueFillingTheBufferIsReadWithinIt) {
    // 128 units, 256 bytes, no terminator: only the buffer's bytes count.
    Write(L"0.5" + std::wstring(125, L'0'), false);
    EXPECT_EQ(ReadRearCamSync(), 0.5);
    // Longer than the buffer: the value cannot be read.
    Write(L"0.5" + std::wstring(200, L'0'), true);
    EXPECT_EQ(ReadRearCamSync(), 0.0);
}

} // namespace

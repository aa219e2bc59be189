// The viewer's own settings in the registry: defaults, formats, sizes, failures and the stored
// recorder model.
#include "settingseditortestsupport.h"

#include "platform/base/registry.h"
#include "platform/base/unicode.h"
#include "viewer/tools/viewersettingsstore.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwchar>

namespace {

const wchar_t* const kNames[] = {L"RearCamSync",     L"LanguageID",      L"UnitOfSpeed",
                                 L"NumberOfChannel", L"1ChannelDisplay", L"ModelIndex"};

class ViewerSettingsTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
        for (const wchar_t* name : kNames)
            RegDeleteValueW(m_key, name);
    }
    void TearDown() override { RegCloseKey(m_key); }

    void Put(const wchar_t* name, const std::wstring& text) {
        const std::vector<BYTE> bytes = RegStringBytes(text, false);
        ASSERT_EQ(RegSetValueExW(m_key, name, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // The stored text, and its size in bytes through size.
    std::wstring Get(const wchar_t* name, DWORD* size = nullptr) {
        BYTE buffer[1024] = {};
        DWORD length = sizeof(buffer);
        DWORD type = REG_NONE;
        if (RegQueryValueExW(m_key, name, nullptr, &type, buffer, &length) != ERROR_SUCCESS)
            return L"<missing>";
        if (size != nullptr)
            *size = length;
        return RegStringFromBytes(buffer, length);
    }

    HKEY m_key = nullptr;
    RecordingHost m_host;
    OptEditor m_editor{m_host};
};

TEST_F(ViewerSettingsTest, NoValuesGiveDefaultsAndTheFirstSaveWritesThemWithoutTerminator) {
    m_editor.SetUnitOfSpeed(L"1");
    m_editor.SetNumberOfChannel(L"1");
    m_editor.Set1ChannelDisplay(L"1");
    EXPECT_EQ(m_editor.LoadRegistrySettings(), 1);
    EXPECT_EQ(m_editor.RearCamSyncLabel(), L"0.0");
    EXPECT_EQ(m_editor.LanguageId(), -1);
    EXPECT_TRUE(m_editor.IsChecked(22085));
    EXPECT_TRUE(m_editor.IsChecked(22088));
    EXPECT_TRUE(m_editor.IsChecked(22089));
    EXPECT_FALSE(m_editor.IsChecked(22086) || m_editor.IsChecked(22087) || m_editor.IsChecked(22090));

    EXPECT_EQ(m_editor.SaveRegistrySettings(), 1);
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {{L"RearCamSync", L"0.0"},
                                                                  {L"LanguageID", L"-1"},
                                                                  {L"UnitOfSpeed", L"0"},
                                                                  {L"NumberOfChannel", L"2"},
                                                                  {L"1ChannelDisplay", L"0"}};
    for (const auto& [name, text] : expected) {
        DWORD size = 0;
        EXPECT_EQ(Get(name, &size), text) << Utf8FromWide(name);
        EXPECT_EQ(size, 2 * std::wcslen(text)) << Utf8FromWide(name);
    }
    EXPECT_EQ(m_host.calls.back(), L"unit 0");
}

TEST_F(ViewerSettingsTest, StoredTextsAreReadAsTheyStand) {
    struct Case {
        const wchar_t* offset;
        const wchar_t* unit;
        const wchar_t* label;
        float value;
        int unitField;
    };
    const Case cases[] = {
        {L"-1.5", L"7", L"-1.5", -1.5f, 7},
        {L"", L"1", L"0.0", 0.0f, 1},
        {L"2.25x", L" 0", L"2.25x", 2.25f, 0},
    };
    for (const Case& c : cases) {
        Put(L"RearCamSync", c.offset);
        Put(L"UnitOfSpeed", c.unit);
        m_editor.LoadRegistrySettings();
        EXPECT_EQ(m_editor.RearCamSyncLabel(), c.label);
        EXPECT_FLOAT_EQ(m_editor.RearCamSync(), c.value);
        EXPECT_EQ(m_editor.GetUnitOfSpeed(), c.unitField);
        EXPECT_EQ(m_editor.IsChecked(22085), c.unitField != 1);
    }
    // Over the read limit the value counts as unreadable.
    Put(L"NumberOfChannel", std::wstring(129, L'1'));
    Put(L"LanguageID", std::wstring(127, L' ') + L"5");
    m_editor.LoadRegistrySettings();
    EXPECT_EQ(m_editor.GetNumberOfChannel(), 2);
    EXPECT_EQ(m_editor.LanguageId(), 5);
}

class FailingStore : public ViewerSettingsStore {
  public:
    explicit FailingStore(int failAt) : m_failAt(failAt) {}
    bool Open() override { return m_failAt != 0 && ViewerSettingsStore::Open(); }
    bool Write(const wchar_t* name, const std::wstring& text) override {
        return ++m_writes != m_failAt && ViewerSettingsStore::Write(name, text);
    }

  private:
    int m_failAt;
    int m_writes = 0;
};

TEST_F(ViewerSettingsTest, AFailedWriteStopsTheSaveThere) {
    for (int failAt = 0; failAt <= 5; ++failAt) {
        SetUp();
        RecordingHost host;
        OptEditor editor(host);
        FailingStore store(failAt);
        editor.SetSettingsStore(&store);
        EXPECT_EQ(editor.SaveRegistrySettings(), 0) << failAt;
        EXPECT_EQ(host.messages, std::vector<std::wstring>{L"Err OnRegWriteString"}) << failAt;
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(Get(kNames[k - 1]) != L"<missing>", k < failAt) << failAt << " value " << k;
        for (const std::wstring& call : host.calls)
            EXPECT_NE(call.rfind(L"unit", 0), 0u) << failAt;
        TearDown();
    }
    SetUp();
}

TEST_F(ViewerSettingsTest, OffsetStepsAndNumbersIgnoreTheUserLocale) {
    const char* const commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
    std::string before = std::setlocale(LC_ALL, nullptr);
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name) != nullptr)
            break;
    Put(L"RearCamSync", L"0.5");
    m_editor.LoadRegistrySettings();
    for (int i = 0; i < 10; ++i)
        m_editor.OnCommand(22083);
    EXPECT_EQ(m_editor.RearCamSyncLabel(), L"1.5");
    m_editor.SaveRegistrySettings();
    EXPECT_EQ(Get(L"RearCamSync"), L"1.5");
    for (int i = 0; i < 25; ++i)
        m_editor.OnCommand(22084);
    EXPECT_EQ(m_editor.RearCamSyncLabel(), L"-1.0");
    std::setlocale(LC_ALL, before.c_str());
}

TEST_F(ViewerSettingsTest, StoredModelIndexOnlyWhenItNamesAModel) {
    const std::pair<const wchar_t*, int> cases[] = {{L"0", 0},   {L"3", 3}, {L"2", 2},  {L"4", -1},
                                                    {L"-1", -1}, {L"", -1}, {L"1x", -1}};
    EXPECT_EQ(ReadStoredModelIndex(), -1);
    for (const auto& [text, model] : cases) {
        Put(L"ModelIndex", text);
        EXPECT_EQ(ReadStoredModelIndex(), model) << Utf8FromWide(text);
    }
    EXPECT_TRUE(WriteStoredModelIndex(1));
    EXPECT_EQ(Get(L"ModelIndex"), L"1");
    EXPECT_EQ(ReadStoredModelIndex(), 1);
}

} // namespace

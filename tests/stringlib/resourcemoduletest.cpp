// Loading the string library as data and the loads that take no language.
#include "platform/base/resourcemodule.h"

#include "platform/base/unicode.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

namespace {

HMODULE LoadAsData(const std::wstring& name) {
    return LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

// Each test leaves the process-wide language as it found it.
class ResourceModuleTest : public testing::Test {
  protected:
    void SetUp() override { m_language = GetUserInterfaceLanguage(); }
    void TearDown() override { SetUserInterfaceLanguage(m_language); }

  private:
    LANGID m_language = 0;
};

TEST_F(ResourceModuleTest, FindsTheLibraryByItsWindowsNameOrByPath) {
    for (const std::wstring& name : {std::wstring(L"TREVO_Res.dll"), WideFromUtf8(TREVO_RES_PATH)}) {
        HMODULE module = LoadAsData(name);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(LoadStringLang(module, 165, 1028), L"Always");
        EXPECT_TRUE(FreeLibrary(module));
    }
}

TEST_F(ResourceModuleTest, RefusesWhatIsNotOurStringLibrary) {
    TestFolder folder;
    std::ofstream(folder / "TREVO_Res.so") << "not a shared library";
    struct Case {
        const char* what;
        std::wstring name;
        DWORD flags;
    };
    const Case cases[] = {
        {"missing name", L"TREVO_Missing.dll", LOAD_LIBRARY_AS_DATAFILE},
        {"missing path", folder.Wide("absent.so"), LOAD_LIBRARY_AS_DATAFILE},
        {"text file", folder.Wide("TREVO_Res.so"), LOAD_LIBRARY_AS_DATAFILE},
        {"another library", WideFromUtf8(FOREIGN_MODULE_PATH), LOAD_LIBRARY_AS_DATAFILE},
        {"loaded as code", L"TREVO_Res.dll", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadLibraryExW(c.name.c_str(), nullptr, c.flags), nullptr) << c.what;
    }
}

TEST_F(ResourceModuleTest, NullModuleLoadsNothing) {
    EXPECT_EQ(LoadStringLang(nullptr, 165, 1028), L"");
    EXPECT_EQ(LoadStringDefault(nullptr, 165), L"");
    EXPECT_FALSE(GetModuleVersion(nullptr));
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(ResourceModuleTest, LoadWithoutLanguageFollowsTheChosenLanguage) {
    HMODULE module = LoadAsData(L"TREVO_Res.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetUserInterfaceLanguage(), 1033) << "before the program chooses";
    EXPECT_EQ(LoadStringDefault(module, 229), LoadStringLang(module, 229, 1033));
    EXPECT_EQ(LoadStringDefault(module, 165), L"N");

    struct Case {
        LANGID language;
        UINT id;
        std::wstring text;
    };
    const Case cases[] = {
        {1028, 229, L"Please set the removable disk path."},
        {1049, 214, L"Fail to Repair Video File"},
        {1034, 214, L"Fail to reapir video file"},
        {1042, 165, L"상시"},
        {1028, 234, L""},   // no fallback to a table that has it
        {0x0C0C, 165, L""}, // a language without a table
    };
    for (const auto& c : cases) {
        SetUserInterfaceLanguage(c.language);
        EXPECT_EQ(LoadStringDefault(module, c.id), c.text) << c.language << " id " << c.id;
    }
    FreeLibrary(module);
}

TEST_F(ResourceModuleTest, CarriesTheVersionBlock) {
    HMODULE module = LoadAsData(L"TREVO_Res.dll");
    ASSERT_NE(module, nullptr);
    const auto version = GetModuleVersion(module);
    ASSERT_TRUE(version);
    const WORD number[4] = {1, 0, 1, 21};
    EXPECT_TRUE(std::equal(number, number + 4, version->fileVersion));
    EXPECT_TRUE(std::equal(number, number + 4, version->productVersion));
    EXPECT_EQ(version->language, 0x0412);
    EXPECT_EQ(version->codePage, 949);
    const std::map<std::wstring, std::wstring> values = {
        {L"CompanyName", L"TREVO_VIEWER."},
        {L"FileDescription", L"TREVO_VIEWER Res."},
        {L"FileVersion", L"1.0.1.21"},
        {L"InternalName", L"TREVO_VIEWER.dll"},
        {L"OriginalFilename", L"TREVO_VIEWER.dll"},
        {L"ProductName", L"TREVO_VIEWER Res."},
        {L"ProductVersion", L"1.0.1.21"},
    };
    EXPECT_EQ(version->values, values);
    FreeLibrary(module);
}

} // namespace

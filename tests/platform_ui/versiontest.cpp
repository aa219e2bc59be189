// The version block queries and the user's language the program builds its version path from.

#include "platform/base/userlocale.h"
#include "platform/ui/resources.h"

#include "support/scopedenvironment.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kBlock[] = "\\VarFileInfo\\Translation=0412 04B0\n"
                      "\\StringFileInfo\\041204B0\\FileVersion=2.1.0.7\n"
                      "\\StringFileInfo\\040904B0\\FileVersion=\n";

TEST(VersionBlock, ValuesAreFoundByTheirPaths) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(kBlock, L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0412);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200);

    ASSERT_TRUE(VerQueryValueW(kBlock, L"\\StringFileInfo\\041204b0\\fileversion", &value, &length));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"2.1.0.7");
    EXPECT_EQ(length, 8u) << "characters with the terminator";
    ASSERT_TRUE(VerQueryValueW(kBlock, L"\\StringFileInfo\\040904B0\\FileVersion", &value, &length));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"");

    for (const wchar_t* missing : {L"\\StringFileInfo\\041104B0\\FileVersion", L"\\StringFileInfo\\041204B0",
                                   L"FileVersion", L""}) {
        EXPECT_FALSE(VerQueryValueW(kBlock, missing, &value, &length)) << std::wstring(missing).size();
    }
    // A lone word is a translation of odd size; anything else there is none.
    ASSERT_TRUE(VerQueryValueW("\\VarFileInfo\\Translation=0412\n", L"\\VarFileInfo\\Translation", &value,
                               &length));
    EXPECT_EQ(length, 2u);
    EXPECT_FALSE(VerQueryValueW("\\VarFileInfo\\Translation=04120\n", L"\\VarFileInfo\\Translation", &value,
                                &length));
}

TEST(UserLanguage, ComesFromTheLocaleTheUserChose) {
    const struct {
        const char* locale;
        LANGID id;
    } cases[] = {
        {"ko_KR.UTF-8", 0x0412}, {"ja_JP.UTF-8", 0x0411}, {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},
        {"zh_TW.UTF-8", 0x0404}, {"zh_CN.GB18030", 0x0804}, {"es_ES@euro", 0x0C0A}, {"ru_RU", 0x0419},
        {"de", 0x0407},          {"C", 0},                  {"POSIX", 0},           {"xx_YY", 0},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(LangIdFromLocaleName(test.locale), test.id) << test.locale;
    }
    {
        const ScopedEnvironment all("LC_ALL", std::nullopt);
        const ScopedEnvironment messages("LC_MESSAGES", std::string("ja_JP.UTF-8"));
        const ScopedEnvironment lang("LANG", std::string("ko_KR.UTF-8"));
        EXPECT_EQ(GetUserDefaultLangID(), 0x0411);
    }
    const ScopedEnvironment all("LC_ALL", std::string("C"));
    EXPECT_EQ(GetUserDefaultLangID(), 0x0409) << "a language the table does not know is English";
}

} // namespace

// The language the registry value "LanguageID" chooses.
#include "viewer/skin/languagetable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(LanguageTable, RowsGiveLanguageAndSkinFolderElement) {
    struct Case {
        int index;
        LANGID languageId;
        const char* element;
    };
    const Case cases[] = {
        {0, 1042, "skin0"}, {1, 1033, "skin1"}, {2, 1028, "skin2"},
        {3, 2052, "skin3"}, {4, 1049, "skin4"}, {5, 1034, "skin5"},
    };
    for (const auto& c : cases) {
        const LanguageTableRow* row = FindLanguageRow(c.index);
        ASSERT_NE(row, nullptr) << c.index;
        EXPECT_EQ(row->languageId, c.languageId) << c.index;
        EXPECT_STREQ(row->skinElement, c.element) << c.index;
    }
    EXPECT_EQ(FindLanguageRow(-1), nullptr);
    EXPECT_EQ(FindLanguageRow(6), nullptr);
}

TEST(LanguageTable, RegistryValueChoosesTheRow) {
    struct Case {
        std::optional<std::wstring> value;
        int index;
        LANGID languageId;
    };
    const Case cases[] = {
        {L"0", 0, 1042},
        {L"1", 1, 1033},
        {L"2", 2, 1028},
        {L"3", 3, 2052},
        {L"4", 4, 1049},
        {L"5", 5, 1034},
        {std::nullopt, -1, 1033},
        {L"7", -1, 1033},
        {L"6", -1, 1033},
        {L"-1", -1, 1033},
        {L"", 0, 1042}, // _wtoi of nothing is 0
        {L" 2", 2, 1028},
        {L"\t+4", 4, 1049},
        {L"3abc", 3, 2052},
        {L"abc", 0, 1042},
        {L"-0", 0, 1042},
        {L"4294967298", -1, 1033}, // saturates rather than wrapping onto a row
        {L"-4294967295", -1, 1033},
        {std::wstring(L"5\0"
                      L"9",
                      3),
         5, 1034},
    };
    for (const auto& c : cases) {
        const LanguageChoice choice = ChooseLanguage(c.value);
        const std::string label = c.value ? std::string(c.value->begin(), c.value->end()) : "(missing)";
        EXPECT_EQ(choice.index, c.index) << label;
        EXPECT_EQ(choice.languageId, c.languageId) << label;
    }
}

} // namespace

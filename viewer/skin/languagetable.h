#pragma once
// The languages the viewer offers: the row chosen by the registry value "LanguageID" gives the
// language id of every text and the skin folder element of cfg.xml.

#include "platform/base/wintypes.h"

#include <optional>
#include <string>

struct LanguageTableRow {
    LANGID languageId;
    const char* skinElement; // element of cfg.xml naming the skin folder
};

constexpr int LANGUAGE_COUNT = 6;
constexpr int LANGUAGE_INDEX_NONE = -1;
// The language of the texts while no row is chosen.
constexpr LANGID DEFAULT_LANGUAGE_ID = 1033;

// Null outside 0..LANGUAGE_COUNT - 1.
const LanguageTableRow* FindLanguageRow(int index);

struct LanguageChoice {
    int index;         // row of the table, or LANGUAGE_INDEX_NONE
    LANGID languageId; // the row's language, DEFAULT_LANGUAGE_ID without a row
};

// The choice made from the text of "LanguageID" (nothing when the value could not be read):
// the text is read as a decimal number the way _wtoi reads it.
LanguageChoice ChooseLanguage(const std::optional<std::wstring>& languageIdValue);

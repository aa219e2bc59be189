#include "viewer/skin/languagetable.h"

#include <climits>
#include <cwctype>

namespace {

const LanguageTableRow languageTable[LANGUAGE_COUNT] = {
    {1042, "skin0"}, {1033, "skin1"}, {1028, "skin2"}, {2052, "skin3"}, {1049, "skin4"}, {1034, "skin5"},
};

// _wtoi: leading white space, a sign, then digits up to the first other character; a value
// beyond int saturates (so it can never alias a valid row).
int ReadDecimal(const std::wstring& text) {
    size_t position = 0;
    while (position < text.size() && std::iswspace(text[position])) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == L'+' || text[position] == L'-')) {
        negative = text[position] == L'-';
        ++position;
    }
    long long value = 0;
    for (; position < text.size() && text[position] >= L'0' && text[position] <= L'9'; ++position) {
        value = value * 10 + (text[position] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

const LanguageTableRow* FindLanguageRow(int index) {
    return index >= 0 && index < LANGUAGE_COUNT ? &languageTable[index] : nullptr;
}

LanguageChoice ChooseLanguage(const std::optional<std::wstring>& languageIdValue) {
    if (!languageIdValue) {
        return {LANGUAGE_INDEX_NONE, DEFAULT_LANGUAGE_ID};
    }
    const int index = ReadDecimal(*languageIdValue);
    const LanguageTableRow* row = FindLanguageRow(index);
    return row ? LanguageChoice{index, row->languageId}
               : LanguageChoice{LANGUAGE_INDEX_NONE, DEFAULT_LANGUAGE_ID};
}

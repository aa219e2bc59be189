#include "viewer/ziparchive/zipstringcompare.h"

#include <cwchar>
#include <cwctype>

namespace {

std::wstring Folded(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& character : folded)
        character = static_cast<wchar_t>(std::towlower(character));
    return folded;
}

int Sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

int Compare(const std::wstring& first, const std::wstring& second) {
    return Sign(first.compare(second));
}

int CompareNoCase(const std::wstring& first, const std::wstring& second) {
    return Sign(Folded(first).compare(Folded(second)));
}

int Collate(const std::wstring& first, const std::wstring& second) {
    return Sign(std::wcscoll(first.c_str(), second.c_str()));
}

int CollateNoCase(const std::wstring& first, const std::wstring& second) {
    return Sign(std::wcscoll(Folded(first).c_str(), Folded(second).c_str()));
}

} // namespace

ZipStringCompare GetStringCompareFunction(bool caseSensitive, bool collate) {
    if (collate)
        return caseSensitive ? Collate : CollateNoCase;
    return caseSensitive ? Compare : CompareNoCase;
}

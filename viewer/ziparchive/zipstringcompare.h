#pragma once
// The name comparisons the entry index is sorted and searched with: negative, 0 or positive as
// the first name sorts before, with or after the second.

#include <string>

using ZipStringCompare = int (*)(const std::wstring& first, const std::wstring& second);

// Collation follows the C library's current locale, as the program's own sorting does.
ZipStringCompare GetStringCompareFunction(bool caseSensitive, bool collate = true);

#pragma once
// The user's language as the platform's language id, from the POSIX locale the user chose.

#include "platform/base/wintypes.h"

#include <string>

// From LC_ALL, else LC_MESSAGES, else LANG, as the C library picks messages; English (United
// States) when none is set or the language is not one the table knows.
LANGID GetUserDefaultLangID();
// A locale name such as "ko_KR.UTF-8" or "ja_JP"; 0 for "C", "POSIX" and unknown languages.
LANGID LangIdFromLocaleName(const std::string& locale);

#pragma once
// Resource-only modules loaded as data, and string loads from their tables by id and language.

#include "platform/base/wintypes.h"

#include <string>

struct ResourceModule;
using HMODULE = ResourceModule*;
using HINSTANCE = HMODULE;

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

// A bare name ("TREVO_Res.dll") is looked for in the program's folder, with the Linux suffix
// ".so" in place of ".dll". Null when the module cannot be loaded.
HMODULE LoadLibraryExW(const wchar_t* fileName, void* reserved, DWORD flags);
BOOL FreeLibrary(HMODULE module);

// Exactly that language's table; an id the table lacks is an empty text.
std::wstring LoadStringLang(HMODULE module, UINT id, LANGID language);
// The load without a language: the table of the user-interface language set below.
std::wstring LoadStringDefault(HMODULE module, UINT id);
void SetUserInterfaceLanguage(LANGID language);
LANGID GetUserInterfaceLanguage();

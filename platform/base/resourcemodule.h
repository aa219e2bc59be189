#pragma once
// Resource-only modules loaded as data, and string loads from their tables by id and language.

#include "platform/base/wintypes.h"

#include <map>
#include <optional>
#include <string>

struct ResourceModule;
using HMODULE = ResourceModule*;
using HINSTANCE = HMODULE;

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

// Our modules hold data only, so LOAD_LIBRARY_AS_DATAFILE is the one load there is; without it
// the answer is null. A bare name ("TREVO_Res.dll") is looked for in the program's folder, with
// the Linux suffix ".so" in place of ".dll"; a name with a "/" is a path, used as given. Null
// when the file cannot be loaded or carries no string table.
HMODULE LoadLibraryExW(const wchar_t* fileName, void* reserved, DWORD flags);
BOOL FreeLibrary(HMODULE module);

// Exactly that language's table; an id the table lacks is an empty text.
std::wstring LoadStringLang(HMODULE module, UINT id, LANGID language);
// The load without a language: the table of the user-interface language set below, which is
// 1033 until the program sets it.
std::wstring LoadStringDefault(HMODULE module, UINT id);
void SetUserInterfaceLanguage(LANGID language);
LANGID GetUserInterfaceLanguage();

// The version block of a module: its numbers, its one translation and the texts under it
// ("FileVersion", "CompanyName", ...).
struct ModuleVersion {
    WORD fileVersion[4] = {};
    WORD productVersion[4] = {};
    LANGID language = 0;
    WORD codePage = 0;
    std::map<std::wstring, std::wstring> values;
};
// Nothing when the module carries no version block.
std::optional<ModuleVersion> GetModuleVersion(HMODULE module);

#pragma once
// The registry of the current user, kept in one file: $TREVO_CONFIG_HOME/registry.dat when that is
// set, else $XDG_CONFIG_HOME/TREVO_VIEWER/registry.dat (XDG_CONFIG_HOME defaulting to ~/.config).
// Keys and values behave as the platform's registry does for the calls below: key paths and value
// names ignore case, data is kept byte for byte whatever its type, and the query call has the
// platform's buffer-size contract. The file is read on first use and rewritten atomically after
// every change. Safe from any thread.
//
// Text values hold UTF-16LE, two bytes per unit, exactly as the platform stores them, so sizes match
// what the program expects ("0" written without its terminator is two bytes). RegStringBytes and
// RegStringFromBytes convert between wide text and those bytes.

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using LSTATUS = LONG;
using REGSAM = DWORD;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_WRITE_FAULT = 29;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
constexpr LSTATUS ERROR_MORE_DATA = 234;

// Creates the key and any missing keys above it, or opens it. The class, options and security
// arguments are accepted for the program's calls and have no effect here.
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                        REGSAM access, const void* securityAttributes, PHKEY result, LPDWORD disposition);
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCloseKey(HKEY key);
// A null data pointer asks for the size; a buffer smaller than the value gives ERROR_MORE_DATA with
// the size needed and leaves the buffer as it was. A null or empty name is the key's default value.
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize);
LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataSize);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName);

// The UTF-16LE bytes of the text, with the two-byte terminator when asked.
std::vector<BYTE> RegStringBytes(const std::wstring& text, bool withTerminator);
// The text of UTF-16LE bytes, up to the first zero unit; an odd last byte is ignored.
std::wstring RegStringFromBytes(const BYTE* data, DWORD size);

// Forgets everything read, so that the next call loads the store file again (for tests: a fresh
// start of the program, or a changed TREVO_CONFIG_HOME). Open keys stay valid.
void RegReloadStore();
// The store file the next load reads.
std::wstring RegStoreFilePath();

#pragma once
// The 8-bit "ANSI" text of cards, recordings and the skin archive. Reading: UTF-8 when the bytes
// are valid UTF-8, else CP949. Writing: CP949 when every character has a CP949 form, else UTF-8.
// Both forms round-trip, whichever the card or recorder used.

#include "platform/base/wintypes.h"

#include <string>

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_PRECOMPOSED = 0x1;

std::wstring WideFromAnsi(const std::string& bytes);
std::string AnsiFromWide(const std::wstring& text);

// Any code page: CP_ACP, CP_OEMCP and 949 follow the rules above, CP_UTF8 is strict UTF-8.
std::wstring WideFromMultiByte(const std::string& bytes, UINT codePage);
std::string MultiByteFromWide(const std::wstring& text, UINT codePage);

// The platform's buffer contract: with an output size of 0 the result is the size needed;
// a length of -1 means up to and including the terminating zero; 0 means failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int byteCount, wchar_t* text,
                        int textSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, int textCount, char* bytes,
                        int byteSize, const char* defaultChar, BOOL* usedDefaultChar);

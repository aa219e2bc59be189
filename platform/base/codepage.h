#pragma once
// The 8-bit "ANSI" text of cards, recordings and the skin archive. Reading: UTF-8 when the bytes
// are valid UTF-8, else CP949. Writing: CP949 when every character has a CP949 form, else UTF-8.
// Both forms round-trip, whichever the card or recorder used. Bytes that are neither (a stray
// byte, a cut-off character) become U+DC80..U+DCFF as in unicode.h and are written back unchanged.
// CP949 bytes that happen to be valid UTF-8 too are read as UTF-8; text whose CP949 form would be
// read that way is written as UTF-8 instead.

#include "platform/base/wintypes.h"

#include <string>

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_PRECOMPOSED = 0x1;

std::wstring WideFromAnsi(const std::string& bytes);
std::string AnsiFromWide(const std::wstring& text);

// CP_ACP, CP_OEMCP and 949 follow the rules above; CP_UTF8 is UTF-8 alone, never CP949 (invalid
// bytes carried as above). Other code pages are not supported: the result is empty.
std::wstring WideFromMultiByte(const std::string& bytes, UINT codePage);
std::string MultiByteFromWide(const std::wstring& text, UINT codePage);

// The platform's buffer contract: with an output size of 0 the result is the size needed;
// a length of -1 means up to and including the terminating zero; 0 means failure (no input, a
// buffer too small, an unsupported code page). Counts are of wchar_t units. No character is ever
// replaced by a default character (see above), so *usedDefaultChar is always FALSE.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int byteCount, wchar_t* text,
                        int textSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, int textCount, char* bytes,
                        int byteSize, const char* defaultChar, BOOL* usedDefaultChar);

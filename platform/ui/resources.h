#pragma once
// The program's own resources: bitmaps, cursors and raw data compiled in with Qt's resource
// system. A resource id N of kind K is found at ":/K/N" (bitmaps ":/bitmap/N.bmp", cursors
// ":/cursor/N.png" with their hot spot in the PNG text "hotspot" as "x,y", raw data ":/TYPE/N").
// The program has one set of resources, so the module argument does not select among them.

#include "platform/ui/gdidefs.h"

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_DEFAULTSIZE = 0x0040;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;
constexpr UINT LR_SHARED = 0x8000;

// Bitmaps (checked 16-, 24- or 32-bit BMP data) and cursors; with LR_LOADFROMFILE the name is a
// file path. A bitmap given a width and height is stretched to them. Null when nothing loads.
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);
// A new bitmap of the same size and pixels (IMAGE_BITMAP, width and height 0); with
// LR_CREATEDIBSECTION a DIB section of the source's depth, whose bits GetObject gives. The caller
// owns it. Null for anything else.
HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags);

struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

inline const LPCWSTR RT_VERSION = MAKEINTRESOURCEW(16);

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Resource data stays loaded for the whole run; there is nothing to free.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL data);

// The program's version block (FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION)) is text,
// one value a line as "<path>=<value>", under the paths VerQueryValueW takes:
//   \VarFileInfo\Translation=<language> <code page>   (four hexadecimal digits each; more pairs may
//                                                     follow, a lone word makes an odd size)
//   \StringFileInfo\<language><code page>\<key>=<UTF-8 text>
// The block ends with its first NUL, which every loaded resource has after its data. A value found
// is answered from a copy kept for the run: the translation as its words (length in bytes), a text
// as a wide string (length in characters, terminator included). Paths ignore case.
BOOL VerQueryValueW(const void* block, LPCWSTR subBlock, void** buffer, UINT* length);

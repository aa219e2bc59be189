#pragma once
// The plain types, formats and result codes of the video device, with the values the renderer was
// written against, so that traced results and format numbers keep their meaning.

#include "platform/base/wintypes.h"

using D3DFORMAT = DWORD;
// 0xAARRGGBB.
using D3DCOLOR = DWORD;

constexpr DWORD MAKEFOURCC(char a, char b, char c, char d) {
    return static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |
           (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) |
           (static_cast<DWORD>(static_cast<BYTE>(d)) << 24);
}

constexpr D3DCOLOR D3DCOLOR_ARGB(BYTE alpha, BYTE red, BYTE green, BYTE blue) {
    return (static_cast<D3DCOLOR>(alpha) << 24) | (static_cast<D3DCOLOR>(red) << 16) |
           (static_cast<D3DCOLOR>(green) << 8) | static_cast<D3DCOLOR>(blue);
}

constexpr D3DFORMAT D3DFMT_UNKNOWN = 0;
constexpr D3DFORMAT D3DFMT_A8R8G8B8 = 21;
constexpr D3DFORMAT D3DFMT_X8R8G8B8 = 22;
constexpr D3DFORMAT D3DFMT_R5G6B5 = 23;
constexpr D3DFORMAT D3DFMT_X1R5G5B5 = 24;
constexpr D3DFORMAT D3DFMT_YUY2 = MAKEFOURCC('Y', 'U', 'Y', '2');
constexpr D3DFORMAT D3DFMT_UYVY = MAKEFOURCC('U', 'Y', 'V', 'Y');
constexpr D3DFORMAT D3DFMT_YV12 = MAKEFOURCC('Y', 'V', '1', '2');
constexpr D3DFORMAT D3DFMT_NV12 = MAKEFOURCC('N', 'V', '1', '2');

// LockRect: the caller writes every pixel, so what the surface held need not be kept.
constexpr DWORD D3DLOCK_DISCARD = 0x00002000;

constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = static_cast<HRESULT>(0x88760818u);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);

// A locked surface: the first byte of the first row, and the distance between rows.
struct D3DLOCKED_RECT {
    int Pitch = 0;
    BYTE* pBits = nullptr;
};

#include "viewer/ziparchive/zipcompatibility.h"

#include "viewer/ziparchive/zipexception.h"
#include "viewer/ziparchive/zipplatform.h"

#include "platform/base/codepage.h"

namespace ZipCompatibility {

namespace {

enum class Converter { none, identity, unixMode, mask };

Converter ConverterFor(int system) {
    switch (system) {
    case zcDosFat:
    case zcOs2Hpfs:
    case zcNtfs:
    case zcMvs:
        return Converter::identity;
    case zcUnix:
        return Converter::unixMode;
    case zcMacintosh:
    case zcLast:
        return Converter::mask;
    default:
        return Converter::none;
    }
}

constexpr DWORD kUnixDirectory = 0040000;
constexpr DWORD kUnixRegular = 0100000;
constexpr DWORD kUnixOwnerExecute = 0100;
constexpr DWORD kUnixOwnerWrite = 0200;
constexpr DWORD kUnixGroupRead = 040;
constexpr DWORD kUnixOthersRead = 04;

DWORD UnixToCommon(DWORD mode) {
    DWORD common;
    if (mode & kUnixDirectory)
        common = attDirectory;
    else if (mode & kUnixOwnerExecute)
        common = 0;
    else
        common = attArchive;
    if (!(mode & kUnixOwnerWrite))
        common |= attReadOnly;
    if (!(mode & (kUnixGroupRead | kUnixOthersRead)))
        common |= attHidden;
    return common;
}

DWORD CommonToUnix(DWORD common) {
    const bool hidden = (common & attHidden) != 0;
    DWORD mode = hidden ? 0400 : 0444;
    if (!(common & attReadOnly))
        mode = hidden ? 0620 : 0664;
    return mode | ((common & attDirectory) ? (kUnixDirectory | 0111) : kUnixRegular);
}

DWORD Convert(Converter converter, DWORD attributes, bool toCommon) {
    switch (converter) {
    case Converter::unixMode:
        return toCommon ? UnixToCommon(attributes) : CommonToUnix(attributes);
    case Converter::mask:
        return attributes & 0x11;
    default:
        return attributes;
    }
}

} // namespace

bool IsHostSystemSupported(int system) {
    return system >= 0 && system < kSystemCount && ConverterFor(system) != Converter::none;
}

DWORD ConvertAttributes(DWORD attributes, int fromSystem, int toSystem) {
    if (fromSystem == toSystem || fromSystem >= kSystemCount || toSystem >= kSystemCount)
        return attributes;
    const Converter from = ConverterFor(fromSystem);
    const Converter to = ConverterFor(toSystem);
    if (from == Converter::none || to == Converter::none)
        CZipException::Throw(CZipException::platformNotSupported);
    return Convert(to, Convert(from, attributes, true), false);
}

UINT NameCodePageForSystem(int system) {
    switch (system) {
    case zcDosFat:
    case zcNtfs:
        return CP_OEMCP;
    case zcUnix:
    case zcMacintosh:
    case zcLast:
        return CP_UTF8;
    default:
        return CP_ACP;
    }
}

UINT CommentCodePageForSystem(int system) {
    switch (system) {
    case zcUnix:
    case zcMacintosh:
    case zcLast:
        return CP_UTF8;
    default:
        return CP_ACP;
    }
}

void ConvertSlashes(std::wstring& path, bool toWindowsForm) {
    const wchar_t from = toWindowsForm ? L'/' : L'\\';
    const wchar_t to = toWindowsForm ? L'\\' : L'/';
    for (wchar_t& character : path) {
        if (character == from)
            character = to;
    }
}

void ConvertSlashesForPlatform(std::wstring& path) {
    const int system = ZipPlatform::GetSystemID();
    ConvertSlashes(path, system == zcDosFat || system == zcNtfs);
}

bool IsPathSeparator(wchar_t character) {
    return character == L'\\' || character == L'/';
}

std::wstring BufferToString(const CZipAutoBuffer& buffer, UINT codePage) {
    std::wstring text;
    ZipPlatform::MultiByteToWide(buffer, text, codePage);
    return text;
}

CZipAutoBuffer StringToBuffer(const std::wstring& text, UINT codePage) {
    CZipAutoBuffer buffer;
    ZipPlatform::WideToMultiByte(text, buffer, false, codePage);
    return buffer;
}

} // namespace ZipCompatibility

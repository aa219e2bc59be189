#include "viewer/ui/usbdrivedetector.h"

#include "platform/base/drivetable.h"
#include "platform/base/unicode.h"
#include "platform/devices/usbinstanceid.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kDriveCount = 26;

// Reads an id text as hexadecimal; at most 8 digits, so the value always fits.
DWORD HexId(const wchar_t* text) {
    unsigned int value = 0;
    return std::swscanf(text, L"%8X", &value) == 1 ? value : 0;
}

void CopyIdText(const std::wstring& text, wchar_t (&target)[kUsbIdTextLength]) {
    const size_t length = std::min(text.size(), kUsbIdTextLength - 1);
    std::copy_n(text.begin(), length, target);
    target[length] = L'\0';
}

// The ids of the USB device that carries the drive's volume. The platform answers for the whole way
// from the volume to its storage device and that device's parent.
bool FindUsbParentIds(wchar_t letter, DWORD& vid, DWORD& pid) {
    std::wstring instanceId;
    if (!GetUsbParentInstanceIdOfDrive(letter, instanceId))
        return false;
    wchar_t vidText[kUsbIdTextLength] = {};
    wchar_t pidText[kUsbIdTextLength] = {};
    ParseUsbDeviceId(instanceId.c_str(), vidText, pidText);
    vid = HexId(vidText);
    pid = HexId(pidText);
    return true;
}

// The drive letters in the order the platform gives its drive strings.
std::vector<wchar_t> LogicalDriveLetters() {
    // Every root string is "X:\" and its terminator; one more terminator ends the list.
    wchar_t strings[kDriveCount * 4 + 1] = {};
    const DWORD length = GetLogicalDriveStringsW(kDriveCount * 4 + 1, strings);
    std::vector<wchar_t> letters;
    if (length == 0 || length > kDriveCount * 4)
        return letters;
    for (const wchar_t* root = strings; *root != L'\0'; root += std::wcslen(root) + 1)
        letters.push_back(root[0]);
    return letters;
}

void PrintDrive(wchar_t letter) {
    std::printf("Drive %c:\n", static_cast<char>(letter));
}

} // namespace

char DriveLetterFromUnitMask(DWORD unitMask) {
    for (int i = 0; i < kDriveCount; ++i) {
        if (unitMask & (1u << i))
            return static_cast<char>('A' + i);
    }
    return '?';
}

void ParseUsbDeviceId(LPCWSTR id, wchar_t (&vid)[kUsbIdTextLength], wchar_t (&pid)[kUsbIdTextLength]) {
    if (id == nullptr)
        return;
    const std::wstring text = id;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find_first_of(L"\\#&", begin);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring token = text.substr(begin, end - begin);
        begin = end + 1;
        if (token.compare(0, 4, L"VID_") == 0) {
            CopyIdText(token.substr(4), vid);
            std::printf("        vid: \"%s\"\n", Utf8FromWide(vid).c_str());
        } else if (token.compare(0, 4, L"PID_") == 0) {
            CopyIdText(token.substr(4), pid);
            std::printf("        pid: \"%s\"\n", Utf8FromWide(pid).c_str());
        } else if (token.compare(0, 3, L"MI_") == 0) {
            std::printf("        mi: \"%s\"\n", Utf8FromWide(token.substr(3)).c_str());
        }
    }
}

BOOL GetUsbIdsOfDrive(DWORD* vids, DWORD* pids) {
    if (vids == nullptr || pids == nullptr)
        return FALSE;
    std::fill_n(vids, kDriveCount, 0);
    std::fill_n(pids, kDriveCount, 0);
    BOOL identified = FALSE;
    for (const wchar_t letter : LogicalDriveLetters()) {
        const wchar_t drive[] = {letter, L':', L'\0'};
        if (letter < L'A' || letter > L'Z' || GetDriveTypeW(drive) != DRIVE_REMOVABLE)
            continue;
        PrintDrive(letter);
        DWORD vid = 0;
        DWORD pid = 0;
        // An empty card-reader slot or a card pulled out meanwhile must not hide the drives after it.
        if (!FindUsbParentIds(letter, vid, pid))
            continue;
        vids[letter - L'A'] = vid;
        pids[letter - L'A'] = pid;
        identified = TRUE;
    }
    return identified;
}

BOOL GetUsbIdsOfDriveEx(char letter, DWORD* vid, DWORD* pid) {
    if (vid == nullptr || pid == nullptr)
        return FALSE;
    const auto letters = LogicalDriveLetters();
    const wchar_t wanted = static_cast<unsigned char>(letter);
    if (std::find(letters.begin(), letters.end(), wanted) == letters.end())
        return FALSE;
    PrintDrive(wanted);
    DWORD foundVid = 0;
    DWORD foundPid = 0;
    if (!FindUsbParentIds(wanted, foundVid, foundPid))
        return FALSE;
    *vid = foundVid;
    *pid = foundPid;
    return TRUE;
}

#pragma once
// Drive letters are virtual here: a table of letters over mounted volumes (or plain folders that act
// as volumes). The devices layer registers what it finds; tests register folders directly. Paths in
// Windows form ("E:\DCIM\a.mp4") become Linux paths through TranslatePath, and back through
// WindowsPathFromLinux. Safe from any thread.

#include "platform/base/wintypes.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;

struct DriveVolume {
    // 'A' to 'Z'; 0 on registration asks for the next free letter from 'D'.
    wchar_t letter = 0;
    // Absolute Linux folder the letter stands for.
    std::wstring mountRoot;
    bool removable = false;
    // USB ids of the device behind the volume; 0 when not known.
    DWORD usbVendorId = 0;
    DWORD usbProductId = 0;
    // The USB device's serial number, as its device instance id ends with it; empty when unknown.
    std::wstring usbSerial;
    std::wstring label;
};

class DriveTable {
  public:
    static DriveTable& Instance();

    // Returns the letter the volume got, or 0 when its letter is taken or invalid, no letter is
    // free, its root is not absolute or is already registered.
    wchar_t Register(DriveVolume volume);
    bool Unregister(wchar_t letter);
    void Clear();

    std::optional<DriveVolume> Find(wchar_t letter) const;
    // The letter over exactly this root, or 0.
    wchar_t LetterOfRoot(const std::wstring& mountRoot) const;
    // Sorted by letter.
    std::vector<DriveVolume> Volumes() const;

    // The mount root of the letter (any case), or nothing when the letter is not registered.
    std::optional<std::wstring> RootOf(wchar_t letter) const;
    struct Location {
        wchar_t letter = 0;
        std::wstring mountRoot;
        // The path below the root, '/'-separated, empty for the root itself.
        std::wstring rest;
    };
    // The volume whose root holds the path (the deepest one when roots nest), or nothing.
    std::optional<Location> Locate(const std::wstring& linuxPath) const;

  private:
    DriveTable() = default;

    mutable std::mutex m_mutex;
    std::map<wchar_t, DriveVolume> m_volumes;
};

// The Linux path for a path the program holds in Windows form:
// - backslashes become slashes; a long-path prefix "\\?\" is dropped;
// - "X:\a\b" resolves against the letter's mount root; ".." stops at the drive's root as it does on
//   Windows; "C:\repair" (any case) is the repair folder (filesystem.h), as C: is no volume here;
// - a relative path (".\ResStorage.dat", "ref.mp4") resolves against the program's folder, since
//   the program never changes its working folder and always meant the folder it was started in;
// - an absolute Linux path is kept as it is.
// Empty when the path names nothing reachable: an unregistered letter, a network path.
std::wstring TranslatePath(const std::wstring& path);
// "X:\a\b" for a Linux path under a registered root (or "C:\repair\..." under the repair folder);
// empty when it lies under none.
std::wstring WindowsPathFromLinux(const std::wstring& path);

// The platform's drive calls over the table.
DWORD GetLogicalDrives();
// "D:\<0>E:\<0><0>": the length without the final zero, or, when the buffer is too small, the
// length the buffer needs including it.
DWORD GetLogicalDriveStringsW(DWORD bufferLength, LPWSTR buffer);
// Takes "X:" or "X:\"; anything else, and an unregistered letter, is DRIVE_NO_ROOT_DIR.
UINT GetDriveTypeW(LPCWSTR rootPath);

#include "viewer/ui/recorderdrivelist.h"

#include "platform/base/cstring.h"
#include "viewer/skin/resstorage.h"

std::vector<RecorderDriveList::Entry> RecorderDriveList::Entries(const DWORD* vids, const DWORD* pids,
                                                                 const ResStorage& skin) {
    std::vector<Entry> entries;
    for (int drive = 0; drive < kDriveCount; ++drive) {
        const sDeviceInfo* device =
            skin.FindDeviceByVidPid(static_cast<int>(vids[drive]), static_cast<int>(pids[drive]));
        if (device == nullptr) {
            continue;
        }
        CString text;
        text.Format(L"Drive %C (%s)", static_cast<char>('A' + drive),
                    static_cast<const wchar_t*>(device->name));
        entries.push_back({std::wstring(text), drive});
    }
    return entries;
}

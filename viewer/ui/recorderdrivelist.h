#pragma once
// The drives of the start-up scan that carry a known recorder, as the USB device list names them:
// "Drive E (model)" for each drive letter whose USB vendor and product id the skin's model table
// holds. A drive with ids 0 (not identified) or ids of no model gets no entry.

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

class ResStorage;

class RecorderDriveList {
  public:
    static constexpr int kDriveCount = 26;

    struct Entry {
        std::wstring text;
        // The drive letter minus 'A'.
        int drive = -1;

        bool operator==(const Entry& other) const { return text == other.text && drive == other.drive; }
    };

    // In letter order; the ids are 26 each, indexed by drive letter minus 'A'.
    static std::vector<Entry> Entries(const DWORD* vids, const DWORD* pids, const ResStorage& skin);
};

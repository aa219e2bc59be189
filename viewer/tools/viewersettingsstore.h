#pragma once
// Where the viewer keeps its own settings: text values under the current user's key
// "SOFTWARE\TREVO_VIEWER\conf", stored without a terminating zero. The settings editor reads and
// writes through this class; a test puts one in its place that fails where it is told to.

#include "platform/base/wintypes.h"

#include <string>

struct HKEY__;

class ViewerSettingsStore {
  public:
    // A value read takes at most this many bytes; a longer one counts as unreadable.
    static constexpr DWORD kReadLimit = 256;

    ViewerSettingsStore() = default;
    virtual ~ViewerSettingsStore();
    ViewerSettingsStore(const ViewerSettingsStore&) = delete;
    ViewerSettingsStore& operator=(const ViewerSettingsStore&) = delete;

    // Creates the key when it is missing.
    virtual bool Open();
    // False for a missing or unreadable value.
    virtual bool Read(const wchar_t* name, std::wstring& text);
    virtual bool Write(const wchar_t* name, const std::wstring& text);
    virtual void Close();

  private:
    HKEY__* m_key = nullptr;
};

// The recorder model the user chose last ("ModelIndex"), or -1 when none in 0 to 3 is stored.
int ReadStoredModelIndex();
bool WriteStoredModelIndex(int model);

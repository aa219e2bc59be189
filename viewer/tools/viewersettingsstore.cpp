#include "viewer/tools/viewersettingsstore.h"

#include "platform/base/cstring.h"
#include "platform/base/registry.h"
#include "viewer/tools/optitems.h"

namespace {

const wchar_t* const kKeyPath = L"SOFTWARE\\TREVO_VIEWER\\conf";

} // namespace

ViewerSettingsStore::~ViewerSettingsStore() {
    Close();
}

bool ViewerSettingsStore::Open() {
    Close();
    return RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &m_key, nullptr) == ERROR_SUCCESS;
}

bool ViewerSettingsStore::Read(const wchar_t* name, std::wstring& text) {
    if (m_key == nullptr)
        return false;
    BYTE buffer[kReadLimit] = {};
    DWORD size = sizeof(buffer);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(m_key, name, nullptr, &type, buffer, &size) != ERROR_SUCCESS)
        return false;
    text = RegStringFromBytes(buffer, size);
    return true;
}

bool ViewerSettingsStore::Write(const wchar_t* name, const std::wstring& text) {
    if (m_key == nullptr)
        return false;
    const std::vector<BYTE> bytes = RegStringBytes(text, false);
    return RegSetValueExW(m_key, name, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())) ==
           ERROR_SUCCESS;
}

void ViewerSettingsStore::Close() {
    if (m_key != nullptr) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

int ReadStoredModelIndex() {
    ViewerSettingsStore store;
    std::wstring text;
    if (!store.Open() || !store.Read(L"ModelIndex", text) || text.empty())
        return -1;
    const int model = OptTextToInt(text.c_str());
    return model >= 0 && model <= 3 && text.find_first_not_of(L"0123456789") == std::wstring::npos ? model
                                                                                                   : -1;
}

bool WriteStoredModelIndex(int model) {
    ViewerSettingsStore store;
    CString text;
    text.Format(L"%d", model);
    return store.Open() && store.Write(L"ModelIndex", text.GetString());
}

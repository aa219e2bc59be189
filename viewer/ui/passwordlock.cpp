#include "viewer/ui/passwordlock.h"

#include "platform/base/codepage.h"
#include "platform/base/registry.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr const wchar_t* kKey = L"SOFTWARE\\TREVO_VIEWER\\conf";
constexpr const wchar_t* kPasswordValue = L"USER_PASSWORD";
constexpr const wchar_t* kPasswordLengthValue = L"USER_PASSWORD_LENGTH";
constexpr const wchar_t* kCarNumberValue = L"CAR_REG_NO";
constexpr const wchar_t* kCarNumberLengthValue = L"CAR_REG_NO_LENGTH";
constexpr const wchar_t* kWriteError = L"Err OnRegWriteString";
// Too long to be stored: the string library has no text for it; English is what most of its
// tables hold.
constexpr const wchar_t* kTooLong = L"The password or the car registration number is too long.";

// A length value as its decimal text; anything else (missing, not a number, negative) is 0.
long ReadLength(HKEY key, const wchar_t* name) {
    BYTE buffer[64] = {};
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, buffer, &size) != ERROR_SUCCESS) {
        return 0;
    }
    const std::wstring text = RegStringFromBytes(buffer, size);
    wchar_t* end = nullptr;
    const long length = std::wcstol(text.c_str(), &end, 10);
    return length > 0 ? length : 0;
}

// The value's bytes, at most a buffer's worth; empty when it cannot be read into one.
std::vector<BYTE> ReadStored(HKEY key, const wchar_t* name) {
    std::vector<BYTE> bytes(PasswordLock::kBufferSize);
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    bytes.resize(std::min<size_t>(size, bytes.size()));
    return bytes;
}

bool WriteText(HKEY key, const wchar_t* name, const wchar_t* lengthName, const std::vector<BYTE>& stored) {
    const std::vector<BYTE> length = RegStringBytes(std::to_wstring(stored.size() - 1), false);
    return RegSetValueExW(key, name, 0, REG_SZ, stored.data(), static_cast<DWORD>(stored.size())) ==
               ERROR_SUCCESS &&
           RegSetValueExW(key, lengthName, 0, REG_SZ, length.data(), static_cast<DWORD>(length.size())) ==
               ERROR_SUCCESS;
}

} // namespace

std::optional<std::vector<BYTE>> PasswordLock::Encode(const std::wstring& text) {
    const std::string ansi = AnsiFromWide(text);
    if (ansi.size() + 1 > kBufferSize) {
        return std::nullopt;
    }
    std::vector<BYTE> stored;
    stored.reserve(ansi.size() + 2);
    for (char c : ansi) {
        stored.push_back(static_cast<BYTE>(static_cast<BYTE>(c) ^ 0xFF));
    }
    stored.push_back(0xFF);
    stored.push_back(0x00);
    return stored;
}

std::wstring PasswordLock::Decode(const std::vector<BYTE>& stored, long length) {
    const size_t count =
        std::min({length > 0 ? static_cast<size_t>(length) : size_t{0}, stored.size(), kBufferSize});
    std::string ansi;
    for (size_t i = 0; i < count; ++i) {
        const char c = static_cast<char>(stored[i] ^ 0xFF);
        if (c == '\0') {
            break;
        }
        ansi.push_back(c);
    }
    return WideFromAnsi(ansi);
}

PasswordLock::PasswordLock(IPasswordLockWindow& window) : m_window(window) {}

void PasswordLock::Message(const std::wstring& text) {
    MessageBox(m_window.GetLockWindow(), text, L"", MB_OK);
}

void PasswordLock::SetMode(int mode) {
    m_mode = mode;
    m_wrongEntries = 0;
    const bool setting = mode == kFirstPassword || mode == kNewPassword;
    m_window.ShowMode(setting, !setting, setting, m_carNumber);
}

BOOL PasswordLock::LoadFromRegistry() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return TRUE;
    }
    const long passwordLength = ReadLength(key, kPasswordLengthValue);
    const long carNumberLength = ReadLength(key, kCarNumberLengthValue);
    m_password =
        passwordLength != 0 ? Decode(ReadStored(key, kPasswordValue), passwordLength) : std::wstring();
    m_carNumber =
        carNumberLength != 0 ? Decode(ReadStored(key, kCarNumberValue), carNumberLength) : std::wstring();
    RegCloseKey(key);
    return TRUE;
}

BOOL PasswordLock::SaveToRegistry(const std::wstring& password, const std::wstring& carNumber) {
    const std::optional<std::vector<BYTE>> storedPassword = Encode(password);
    const std::optional<std::vector<BYTE>> storedCarNumber = Encode(carNumber);
    HKEY key = nullptr;
    if (!storedPassword || !storedCarNumber ||
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        Message(kWriteError);
        return FALSE;
    }
    const bool written = WriteText(key, kCarNumberValue, kCarNumberLengthValue, *storedCarNumber) &&
                         WriteText(key, kPasswordValue, kPasswordLengthValue, *storedPassword);
    RegCloseKey(key);
    if (!written) {
        Message(kWriteError);
        return FALSE;
    }
    return TRUE;
}

void PasswordLock::OnOk(const std::wstring& password, const std::wstring& confirmation,
                        const std::wstring& carNumber) {
    if (password.empty()) {
        Message(m_window.LoadText(kStringNoPassword));
        return;
    }
    if (m_mode == kUnlock || m_mode == kProveOld) {
        if (password == m_password) {
            if (m_mode == kUnlock) {
                m_window.EnableOwner();
                m_window.CloseLock();
            } else {
                SetMode(kNewPassword);
            }
            return;
        }
        ++m_wrongEntries;
        if (m_wrongEntries < kMaximumWrongEntries) {
            Message(m_window.LoadText(kStringWrongPassword));
            m_window.ClearPasswordEdits();
            return;
        }
        Message(m_window.LoadText(kStringLastWrongPassword));
        m_window.ExitProgram();
        m_window.CloseLock();
        return;
    }
    if (password != confirmation) {
        Message(m_window.LoadText(kStringConfirmationDiffers));
        return;
    }
    if (carNumber.empty()) {
        Message(m_window.LoadText(kStringNoCarNumber));
        return;
    }
    if (!Encode(password) || !Encode(carNumber)) {
        Message(kTooLong);
        return;
    }
    // The new values hold only once they are stored: a failed save keeps the old password.
    if (!SaveToRegistry(password, carNumber)) {
        return;
    }
    m_password = password;
    m_carNumber = carNumber;
    m_window.EnableOwner();
    m_window.CloseLock();
}

void PasswordLock::OnCancel() {
    if (m_mode == kUnlock || m_mode == kFirstPassword) {
        m_window.ExitProgram();
    } else {
        m_window.EnableOwner();
    }
    m_window.CloseLock();
}

#pragma once
// The password lock's decisions, apart from its dialog: the modes, the count of wrong entries, the
// checks of OK and Cancel, and the password and car registration number in the registry. Both are
// stored as their 8-bit text with its terminator, every byte inverted, then one 0 byte, beside a
// length value that counts the terminator. What is read back is trusted no further than the bytes
// actually stored.

#include "platform/base/windowsystem.h"
#include "platform/base/wintypes.h"

#include <optional>
#include <string>
#include <vector>

class IPasswordLockWindow {
  public:
    // Owner of the lock's message boxes.
    virtual HWND GetLockWindow() = 0;
    virtual std::wstring LoadText(UINT id) = 0;
    // Shows or hides the confirmation row and the notice, enables or disables the car number edit,
    // empties both password edits and puts the car number into its edit.
    virtual void ShowMode(bool confirmation, bool notice, bool carNumberEnabled,
                          const std::wstring& carNumber) = 0;
    virtual void ClearPasswordEdits() = 0;
    // Gives the owner (the main view) back its input.
    virtual void EnableOwner() = 0;
    // Ends the program the normal way (a posted exit command to the main window).
    virtual void ExitProgram() = 0;
    virtual void CloseLock() = 0;

  protected:
    ~IPasswordLockWindow() = default;
};

class PasswordLock {
  public:
    enum Mode { kUnlock = 0, kFirstPassword = 1, kProveOld = 3, kNewPassword = 4 };
    static constexpr int kMaximumWrongEntries = 5;
    // The bytes a stored text may take, terminator included.
    static constexpr size_t kBufferSize = 512;

    static constexpr UINT kStringWrongPassword = 222;
    static constexpr UINT kStringLastWrongPassword = 223;
    static constexpr UINT kStringConfirmationDiffers = 224;
    static constexpr UINT kStringNoCarNumber = 225;
    static constexpr UINT kStringNoPassword = 226;

    // The bytes stored for the text; none when its 8-bit form with terminator exceeds the buffer.
    static std::optional<std::vector<BYTE>> Encode(const std::wstring& text);
    // The text of stored bytes: the length value clamped to the bytes read and to the buffer, the
    // bytes inverted, the text ending at its terminator.
    static std::wstring Decode(const std::vector<BYTE>& stored, long length);

    explicit PasswordLock(IPasswordLockWindow& window);

    // Stores the mode, starts a new count of wrong entries and shows the mode.
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    int GetWrongEntries() const { return m_wrongEntries; }
    std::wstring GetPassword() const { return m_password; }
    std::wstring GetCarNumber() const { return m_carNumber; }

    // Missing values count as empty. Returns TRUE.
    BOOL LoadFromRegistry();
    // Writes the car number, then the password: FALSE (after "Err OnRegWriteString") at the first
    // failure, with what was written before it kept.
    BOOL SaveToRegistry(const std::wstring& password, const std::wstring& carNumber);

    void OnOk(const std::wstring& password, const std::wstring& confirmation, const std::wstring& carNumber);
    void OnCancel();

  private:
    void Message(const std::wstring& text);

    IPasswordLockWindow& m_window;
    std::wstring m_password;
    std::wstring m_carNumber;
    int m_wrongEntries = 0;
    int m_mode = kUnlock;
};

#pragma once
// The password lock's window: the password, its confirmation and the car registration number, a
// notice, OK and Cancel. A modeless dialog that disables its owner (the main view) while it is
// shown; its decisions are PasswordLock's.

#include "platform/ui/dialog.h"
#include "viewer/ui/passwordlock.h"

class PasswordDlg : public CDialog, public IPasswordLockWindow {
  public:
    enum { IDD = 325 };
    static constexpr int kPasswordEdit = 1000;
    static constexpr int kPasswordLabel = 1001;
    static constexpr int kConfirmationEdit = 1002;
    static constexpr int kCarNumberEdit = 1003;
    static constexpr int kConfirmationLabel = 1004;
    static constexpr int kCarNumberLabel = 1005;
    static constexpr int kNotice = 1008;
    static constexpr UINT kAppExit = 57665;

    PasswordDlg();

    void SetView(CWnd* view) { m_view = view; }
    void SetLanguageId(WORD languageId) { m_languageId = languageId; }
    void SetMode(int mode) { m_lock.SetMode(mode); }
    std::wstring GetPassword() const { return m_lock.GetPassword(); }
    BOOL LoadFromRegistry() { return m_lock.LoadFromRegistry(); }
    BOOL SaveToRegistry() { return m_lock.SaveToRegistry(m_lock.GetPassword(), m_lock.GetCarNumber()); }
    PasswordLock& GetLock() { return m_lock; }

    // Shows the lock topmost, centred over the view, and disables the view.
    void ShowLocked();

    // IPasswordLockWindow
    HWND GetLockWindow() override { return m_hWnd; }
    std::wstring LoadText(UINT id) override;
    void ShowMode(bool confirmation, bool notice, bool carNumberEnabled,
                  const std::wstring& carNumber) override;
    void ClearPasswordEdits() override;
    void EnableOwner() override;
    void ExitProgram() override;
    void CloseLock() override;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

  private:
    void LoadTexts();
    std::wstring ItemText(int id) const;
    void ShowItem(int id, bool show);

    CWnd* m_view = nullptr;
    PasswordLock m_lock{*this};
    WORD m_languageId = 1033;
};

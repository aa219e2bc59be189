// The password lock: the stored bytes, loading damaged values, the wrong-entry count, the checks
// before a new password holds, and the dialog that shows it.

#include "uitest.h"

#include "platform/base/registry.h"
#include "platform/base/unicode.h"
#include "platform/ui/app.h"
#include "platform/ui/messagebox.h"
#include "viewer/ui/passworddlg.h"
#include "viewer/ui/passwordlock.h"

#include "support/scopedenvironment.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

constexpr const wchar_t* kKey = L"SOFTWARE\\TREVO_VIEWER\\conf";

class ScriptedLockWindow : public IPasswordLockWindow {
  public:
    HWND GetLockWindow() override { return nullptr; }
    std::wstring LoadText(UINT id) override { return L"#" + std::to_wstring(id); }
    void ShowMode(bool confirmation, bool notice, bool carNumberEnabled,
                  const std::wstring& carNumber) override {
        log.push_back("ShowMode(" + std::to_string(confirmation) + std::to_string(notice) +
                      std::to_string(carNumberEnabled) + "," + Utf8FromWide(carNumber) + ")");
    }
    void ClearPasswordEdits() override { log.push_back("ClearPasswordEdits"); }
    void EnableOwner() override { log.push_back("EnableOwner"); }
    void ExitProgram() override { log.push_back("ExitProgram"); }
    void CloseLock() override { log.push_back("CloseLock"); }
    Log log;
};

// Message boxes go into the log as "Box(text)" and are answered OK.
class RecordingBoxes : public MessageBoxHandler {
  public:
    explicit RecordingBoxes(Log& log) : m_log(log), m_previous(SetMessageBoxHandler(this)) {}
    ~RecordingBoxes() override { SetMessageBoxHandler(m_previous); }
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        m_log.push_back("Box(" + Utf8FromWide(text) + ")");
        return IDOK;
    }

  private:
    Log& m_log;
    MessageBoxHandler* m_previous;
};

std::vector<BYTE> ReadValue(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    DWORD size = 0;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        bytes.resize(size);
        RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
    }
    RegCloseKey(key);
    return bytes;
}

void WriteValue(const wchar_t* name, const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<BYTE> Utf16(const std::string& text) {
    return RegStringBytes(WideFromUtf8(text), false);
}

class PasswordLockTest : public testing::Test {
  protected:
    void SetUp() override {
        RegReloadStore();
        // Message boxes reach their handler once the window layer runs.
        ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 10, 10)));
    }
    void TearDown() override { RegReloadStore(); }
    // The lock of a program started anew: it reads what is stored.
    void Restart() {
        lock = std::make_unique<PasswordLock>(window);
        lock->LoadFromRegistry();
        window.log.clear();
        log.clear();
    }
    // Stores a password and car number as a first start does.
    void SetFirstPassword(const std::wstring& password, const std::wstring& carNumber) {
        lock->SetMode(PasswordLock::kFirstPassword);
        lock->OnOk(password, password, carNumber);
        ASSERT_EQ(lock->GetPassword(), password);
    }
    Log Everything() const {
        Log all = log;
        all.insert(all.end(), window.log.begin(), window.log.end());
        return all;
    }

    TestFolder configFolder;
    ScopedEnvironment configHome{"TREVO_CONFIG_HOME", configFolder.Path().string()};
    TestWindow owner;
    ScriptedLockWindow window;
    Log log;
    RecordingBoxes boxes{log};
    std::unique_ptr<PasswordLock> lock = std::make_unique<PasswordLock>(window);
};

TEST_F(PasswordLockTest, ValuesAreStoredAsInvertedBytesWithTheirLengthAndReadBackAsTyped) {
    struct Case {
        std::wstring password;
        std::wstring carNumber;
        std::vector<BYTE> passwordBytes;
        std::string passwordLength;
        std::vector<BYTE> carBytes;
        std::string carLength;
    };
    const Case cases[] = {
        {L"abc", L"12가3456", {0x9E, 0x9D, 0x9C, 0xFF, 0x00}, "4", {}, "9"},
        {L"Pass word", L"X", {}, "10", {0xA7, 0xFF, 0x00}, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8FromWide(c.password));
        SetFirstPassword(c.password, c.carNumber);
        if (!c.passwordBytes.empty()) {
            EXPECT_EQ(ReadValue(L"USER_PASSWORD"), c.passwordBytes);
        }
        if (!c.carBytes.empty()) {
            EXPECT_EQ(ReadValue(L"CAR_REG_NO"), c.carBytes);
        }
        EXPECT_EQ(ReadValue(L"USER_PASSWORD_LENGTH"), Utf16(c.passwordLength));
        EXPECT_EQ(ReadValue(L"CAR_REG_NO_LENGTH"), Utf16(c.carLength));
        RegReloadStore();
        Restart();
        EXPECT_EQ(lock->GetPassword(), c.password);
        EXPECT_EQ(lock->GetCarNumber(), c.carNumber);
    }
}

TEST_F(PasswordLockTest, MissingOrDamagedValuesNeverReadPastWhatIsStored) {
    Restart();
    EXPECT_EQ(lock->GetPassword(), L"");
    EXPECT_EQ(lock->GetCarNumber(), L"");

    struct Case {
        std::vector<BYTE> stored;
        std::string length; // empty: no length value
        std::wstring loaded;
    };
    const std::vector<BYTE> abc = {0x9E, 0x9D, 0x9C, 0xFF, 0x00};
    std::vector<BYTE> unterminated(600, 0x9E);
    const Case cases[] = {
        {abc, "4", L"abc"},
        {abc, "9999", L"abc"}, // longer than stored: the bytes stored count
        {abc, "2", L"ab"},
        {abc, "-3", L""},
        {abc, "x", L""},
        {abc, "", L""},
        {{0x9E, 0x9D}, "4", L"ab"}, // cut short, no terminator
        {unterminated, "600", L""}, // larger than the buffer: not read at all
        {std::vector<BYTE>(511, 0x9E), "700", std::wstring(511, L'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length + " of " + std::to_string(c.stored.size()));
        RegReloadStore();
        std::filesystem::remove_all(configFolder.Path());
        std::filesystem::create_directories(configFolder.Path());
        RegReloadStore();
        WriteValue(L"USER_PASSWORD", c.stored);
        if (!c.length.empty())
            WriteValue(L"USER_PASSWORD_LENGTH", Utf16(c.length));
        Restart();
        EXPECT_EQ(lock->GetPassword(), c.loaded);
        EXPECT_EQ(lock->GetCarNumber(), L"") << "a missing car number is empty";
    }
}

TEST_F(PasswordLockTest, FiveWrongEntriesEndTheProgramAndEveryModeStartsANewCount) {
    SetFirstPassword(L"secret", L"car");
    lock->SetMode(PasswordLock::kUnlock);
    for (int i = 0; i < 4; ++i)
        lock->OnOk(L"Secret", L"", L"");
    EXPECT_EQ(lock->GetWrongEntries(), 4);
    window.log.clear();
    log.clear();
    lock->OnOk(L"secret", L"", L"");
    EXPECT_EQ(Everything(), (Log{"EnableOwner", "CloseLock"}));

    lock->SetMode(PasswordLock::kUnlock);
    window.log.clear();
    for (int i = 0; i < 5; ++i)
        lock->OnOk(L"wrong", L"", L"");
    Log expected;
    for (int i = 0; i < 4; ++i) {
        expected.push_back("Box(#222)");
    }
    expected.push_back("Box(#223)");
    EXPECT_EQ(log, expected);
    EXPECT_EQ(window.log, (Log{"ClearPasswordEdits", "ClearPasswordEdits", "ClearPasswordEdits",
                               "ClearPasswordEdits", "ExitProgram", "CloseLock"}));

    // Proving the old password: three wrong, the right one opens a new count for the new password.
    lock->SetMode(PasswordLock::kProveOld);
    for (int i = 0; i < 3; ++i)
        lock->OnOk(L"wrong", L"", L"");
    window.log.clear();
    lock->OnOk(L"secret", L"", L"");
    EXPECT_EQ(lock->GetMode(), PasswordLock::kNewPassword);
    EXPECT_EQ(lock->GetWrongEntries(), 0);
    EXPECT_EQ(window.log, Log{"ShowMode(101,car)"});
}

TEST_F(PasswordLockTest, NewPasswordHoldsOnlyAfterEveryCheckAndASuccessfulSave) {
    SetFirstPassword(L"old", L"car");
    const std::vector<BYTE> stored = ReadValue(L"USER_PASSWORD");
    struct Case {
        std::wstring password, confirmation, carNumber;
        std::string message;
    };
    const Case refused[] = {
        {L"", L"", L"car", "Box(#226)"},
        {L"new", L"NEW", L"car", "Box(#224)"},
        {L"new", L"new", L"", "Box(#225)"},
        {std::wstring(600, L'n'), std::wstring(600, L'n'), L"car",
         "Box(The password or the car registration number is too long.)"},
        {L"new", L"new", std::wstring(300, L'가'),
         "Box(The password or the car registration number is too long.)"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.message);
        lock->SetMode(PasswordLock::kNewPassword);
        log.clear();
        window.log.clear();
        lock->OnOk(c.password, c.confirmation, c.carNumber);
        EXPECT_EQ(Everything(), Log{c.message});
        EXPECT_EQ(lock->GetPassword(), L"old");
        EXPECT_EQ(ReadValue(L"USER_PASSWORD"), stored);
        // Cancelling the change keeps the old password in force.
        window.log.clear();
        lock->OnCancel();
        EXPECT_EQ(window.log, (Log{"EnableOwner", "CloseLock"}));
        EXPECT_EQ(lock->GetPassword(), L"old");
    }

    // A registry that cannot be written: the message, and the old password still holds.
    {
        std::ofstream(configFolder / "file") << "not a folder";
        ScopedEnvironment unwritable("TREVO_CONFIG_HOME", (configFolder / "file" / "config").string());
        RegReloadStore();
        lock->SetMode(PasswordLock::kNewPassword);
        log.clear();
        window.log.clear();
        lock->OnOk(L"new", L"new", L"car");
        EXPECT_EQ(log.back(), "Box(Err OnRegWriteString)");
        EXPECT_EQ(window.log, Log{});
        EXPECT_EQ(lock->GetPassword(), L"old");
    }
    RegReloadStore();
    lock->OnOk(L"new", L"new", L"car 2");
    EXPECT_EQ(lock->GetPassword(), L"new");
    EXPECT_EQ(lock->GetCarNumber(), L"car 2");
}

TEST_F(PasswordLockTest, CancelEndsTheProgramUnlessAPasswordIsBeingChanged) {
    const struct {
        int mode;
        Log calls;
    } cases[] = {
        {PasswordLock::kUnlock, {"ExitProgram", "CloseLock"}},
        {PasswordLock::kFirstPassword, {"ExitProgram", "CloseLock"}},
        {PasswordLock::kProveOld, {"EnableOwner", "CloseLock"}},
        {PasswordLock::kNewPassword, {"EnableOwner", "CloseLock"}},
    };
    for (const auto& c : cases) {
        lock->SetMode(c.mode);
        window.log.clear();
        lock->OnCancel();
        EXPECT_EQ(window.log, c.calls) << c.mode;
    }
}

// The dialog: its modes as the controls show them, and OK and Cancel from its buttons.
class ExitCommandApp : public CWinApp {};

TEST_F(PasswordLockTest, DialogShowsItsModeAndPostsTheExitCommandToTheMainWindow) {
    ExitCommandApp app;
    TestWindow main;
    ASSERT_TRUE(main.CreateTop(CRect(0, 0, 400, 300)));
    app.m_pMainWnd = &main;
    PasswordDlg dialog;
    ASSERT_TRUE(dialog.Create(PasswordDlg::IDD, &main));
    dialog.SetView(&main);
    dialog.LoadFromRegistry();

    dialog.SetMode(PasswordLock::kFirstPassword);
    dialog.ShowLocked();
    EXPECT_FALSE(main.IsWindowEnabled());
    EXPECT_TRUE(dialog.GetDlgItem(PasswordDlg::kConfirmationEdit)->IsWindowVisible());
    EXPECT_FALSE(dialog.GetDlgItem(PasswordDlg::kNotice)->IsWindowVisible());
    EXPECT_TRUE(dialog.GetDlgItem(PasswordDlg::kCarNumberEdit)->IsWindowEnabled());
    dialog.SetDlgItemText(PasswordDlg::kPasswordEdit, L"pw");
    dialog.SetDlgItemText(PasswordDlg::kConfirmationEdit, L"pw");
    dialog.SetDlgItemText(PasswordDlg::kCarNumberEdit, L"12 AB 34");
    dialog.SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(main.IsWindowEnabled());
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(dialog.GetPassword(), L"pw");

    dialog.SetMode(PasswordLock::kUnlock);
    dialog.ShowLocked();
    EXPECT_FALSE(dialog.GetDlgItem(PasswordDlg::kConfirmationEdit)->IsWindowVisible());
    EXPECT_TRUE(dialog.GetDlgItem(PasswordDlg::kNotice)->IsWindowVisible());
    EXPECT_FALSE(dialog.GetDlgItem(PasswordDlg::kCarNumberEdit)->IsWindowEnabled());
    CString carNumber;
    dialog.GetDlgItemText(PasswordDlg::kCarNumberEdit, carNumber);
    EXPECT_EQ(std::wstring(carNumber), L"12 AB 34");
    dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&main] { return !main.Only({WM_COMMAND}).empty(); }));
    EXPECT_EQ(main.Only({WM_COMMAND}).front().wParam, WPARAM{PasswordDlg::kAppExit});
    app.m_pMainWnd = nullptr;
}

} // namespace

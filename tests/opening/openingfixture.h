#pragma once
// The opener wired to the real catalogue and list filter, the view logic's stand-ins for the
// engine, the list and the view's windows, a stand-in for the view's opening windows, and the skin
// built with the program (its model table names the recorders). Message boxes and the catalogue's
// messages to the view go through a window system that logs them and hands the view's messages to
// the command table, as the view does.

#include "support/testfolder.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/cardopener.h"
#include "viewer/ui/datadircatalogue.h"
#include "viewer/ui/listfilter.h"
#include "viewer/ui/playbacktransport.h"
#include "viewer/ui/viewcommands.h"
#include "viewlogicfakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

class FakeOpeningView : public IOpeningView {
  public:
    explicit FakeOpeningView(Log& calls) : log(calls) {}

    std::wstring LoadText(UINT id) override { return L"#" + std::to_wstring(id); }
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) override;
    void ShowWaitingBox(const std::wstring& text) override;
    void CloseWaitingBox() override;
    void ShowLoadingBox() override;
    void SetLoadingMessage(const std::wstring& text) override;
    void ShowMainWindow(int show) override;
    void ReadConfig() override;
    bool BrowseForFolder(const std::wstring& title, std::wstring& folder) override;
    bool ChooseFiles(const FileDialogSettings& settings, std::vector<std::wstring>& paths) override;
    void SetPopupDriveLetter(char letter) override;
    char GetPopupDriveLetter() override { return popupLetter; }
    void ShowPopup(const std::wstring& text, DWORD timeToShow, DWORD timeToStay, DWORD timeToHide) override;
    void HidePopup() override;
    int PickRecorderDrive(const DWORD* vids, const DWORD* pids) override;

    Log& log;
    // Empty: the browser is cancelled.
    std::optional<std::wstring> folder;
    // Empty: the file dialog is cancelled.
    std::optional<std::vector<std::wstring>> files;
    std::optional<FileDialogSettings> fileDialog;
    char popupLetter = 0;
    std::wstring popupText;
    int pickedDrive = -1;
    // The ids the USB device list was given, by drive letter.
    std::vector<std::pair<DWORD, DWORD>> pickedFrom;
};

// Logs message boxes ("MessageBox(...)") and the messages sent to the view ("Send(10004)"); the
// view's messages then reach the command table.
class OpeningWindowSystem : public IWindowSystem {
  public:
    OpeningWindowSystem(Log& calls, ViewCommands& commands);
    ~OpeningWindowSystem() override;
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Post(HWND, UINT, WPARAM, LPARAM) override { return true; }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;

  private:
    Log& m_log;
    ViewCommands& m_commands;
    IWindowSystem* m_previous;
};

class OpeningTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A card of the model below the folder (names only, one recording of each kind unless asked);
    // its number of recordings.
    int MakeCard(const std::filesystem::path& root, int model, int recordingsPerKind = 1);
    // The list's keys, in row order.
    std::vector<std::wstring> RowKeys() const { return list.Keys(); }
    // Whether the playlist was asked to slide out, and how often.
    int PlaylistSlides() const;
    void ClearLogs() { calls.clear(); }
    Log Calls(const std::vector<std::string>& prefixes) const { return Only(calls, prefixes); }

    static std::unique_ptr<ResStorage> skin;
    TestFolder folder;
    Log calls;
    FakeEngine engine{calls};
    DataDirStruct catalogue;
    DataDirCatalogue catalogueAdapter{catalogue};
    FakeList list;
    FakeView view{calls};
    PlaybackTransport transport{engine, catalogueAdapter, list, view};
    ListFilter filter{catalogueAdapter, list};
    ViewCommands commands{transport, filter, engine, view, view};
    OpeningWindowSystem windows{calls, commands};
    FakeOpeningView opening{calls};
    CardOpener opener{catalogue, list, filter, transport, commands, *skin, opening};

  private:
    HWND m_previousView = nullptr;
};

// Recorder names of the two families.
std::string Mp4Name(int second, char camera);
std::string AviName(int second, char camera);

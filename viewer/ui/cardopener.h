#pragma once
// How recordings come into the view's catalogue: a recorder card (chosen at start-up, offered by
// the taskbar pop-up when its drive arrives, or a folder that turns out to be one), a plain folder
// read file by file, and single files from a drop or the file dialog. It also lays out an empty
// card with the recorder's folders. After each way of adding, a list with rows slides the playlist
// out. The view forwards its messages and commands here and shows what it is told through
// IOpeningView.

#include "platform/base/wintypes.h"
#include "viewer/ui/openingview.h"

#include <string>

class DataDirStruct;
class IPlaylistControl;
class ListFilter;
class PlaybackTransport;
class ResStorage;
class ViewCommands;

class CardOpener {
  public:
    // The card the pop-up offered is opened this long after the click (ViewCommands::kCardOpenTimer).
    static constexpr UINT kCardOpenDelay = 10;
    // How long the pop-up takes to appear, stays and takes to hide, in ms.
    static constexpr DWORD kPopupAppear = 500;
    static constexpr DWORD kPopupStay = 15000;
    static constexpr DWORD kPopupHide = 500;

    CardOpener(DataDirStruct& catalogue, IPlaylistControl& list, ListFilter& filter,
               PlaybackTransport& transport, ViewCommands& commands, const ResStorage& skin,
               IOpeningView& view);
    CardOpener(const CardOpener&) = delete;
    CardOpener& operator=(const CardOpener&) = delete;

    // Reads the folder as a recorder card and shows all its recordings, oldest first: 1, or 0 when
    // the path is empty or no card. A path may be a drive root in Windows form ("E:\").
    int OpenCardFolder(const std::wstring& path, int flag);
    // Adds the recordings of a plain folder one by one.
    void AddFolderFiles(const std::wstring& path);
    // Adds one file: a recording, or the card's settings file.
    void AddSingleFile(const std::wstring& path);

    // WM_OPEN_FOLDER: a card, else a plain folder, read behind the wait box. Null reads nothing.
    void OnOpenFolderMsg(LPCWSTR path);
    // WM_OPEN_FILE.
    void OnOpenFileMsg(LPCWSTR path);
    // ID_OPEN_DIRECTORY: closes the recording and opens the folder the user browses to.
    void OnOpenDirectory();
    // ID_OPEN_FILE: adds every file the user chooses.
    void OnOpenFile();
    // WM_DRIVE_ARRIVED: the pop-up offers the drive's card when its USB ids name a recorder.
    void OnDriveArrived(WPARAM letter);
    // WM_DRIVE_REMOVED: a trace line.
    void OnDriveRemoved(WPARAM letter);
    // WM_NOTIFIER_CLICKED: the offered card is opened behind the loading box when
    // ViewCommands::kCardOpenTimer expires.
    void OnNotifierClicked();
    // Gives the drive path the recorder's folders and an empty "config.txt" where there is none,
    // then opens it.
    void PrepareCardFolders();
    // The start-up: opens the first recorder card among the removable drives, without asking. 1
    // when one was opened.
    int OpenInsertedCard();

    // The folder last chosen in the folder browser, or the root ("E:\") of the card last offered.
    const std::wstring& GetDrivePath() const { return m_drivePath; }

    // The file dialog of the recorder family: MP4/MOV models (modelIndexBelow3 non-zero) or AVI.
    static FileDialogSettings FileDialogFor(int modelIndexBelow3);

  private:
    void ShowPlaylistIfFilled();

    DataDirStruct& m_catalogue;
    IPlaylistControl& m_list;
    ListFilter& m_filter;
    PlaybackTransport& m_transport;
    ViewCommands& m_commands;
    const ResStorage& m_skin;
    IOpeningView& m_view;
    std::wstring m_drivePath;
};

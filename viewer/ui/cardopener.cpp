#include "viewer/ui/cardopener.h"

#include "platform/base/cstring.h"
#include "platform/base/drivetable.h"
#include "platform/base/file.h"
#include "platform/base/filesystem.h"
#include "platform/base/trace.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/listfilter.h"
#include "viewer/ui/playbacktransport.h"
#include "viewer/ui/playlistcontrol.h"
#include "viewer/ui/usbdrivedetector.h"
#include "viewer/ui/viewcommands.h"

namespace {

constexpr UINT kStringSelectFolder = 160;
constexpr UINT kStringDeviceDetected = 173;
constexpr UINT kStringAnalyzing = 174;
constexpr UINT kStringReadingFiles = 239;
constexpr UINT kPlaylistCommand = 20006;
constexpr int kDriveCount = 26;

// OFN_HIDEREADONLY, OFN_NOVALIDATE, OFN_ALLOWMULTISELECT, OFN_FILEMUSTEXIST, OFN_NOREADONLYRETURN
// and OFN_LONGNAMES.
constexpr DWORD kFileDialogFlags = 0x209304;

// The recording folders a prepared card gets besides its settings folder. The recorder names them
// so; the card scan looks for "Drive" and "DriveEvent" instead.
constexpr const wchar_t* kPreparedFolders[] = {L"Blackbox", L"Event", L"Parking", L"ParkingEvent"};

// A drive root in Windows form ("E:\") resolves through the drive table; a folder from a drop or
// a dialog is a Linux path already (and may hold backslashes of its own).
std::wstring LinuxPath(const std::wstring& path) {
    return path.empty() || path.front() == L'/' ? path : TranslatePath(path);
}

std::wstring DriveRoot(char letter) {
    CString root;
    root.Format(L"%C:\\", letter);
    return root;
}

// The entry of the folder that matches the name without regard to case (cards come from a system
// that ignores it), else the name as given.
std::wstring ChildNoCase(const std::wstring& folder, const std::wstring& name) {
    const std::wstring found = FileSystem::FindNameNoCase(folder, name);
    const std::wstring separator = !folder.empty() && folder.back() == L'/' ? L"" : L"/";
    return folder + separator + (found.empty() ? name : found);
}

void TraceDeviceEvent(const wchar_t* event, WPARAM letter) {
    CString line;
    line.Format(L"%s - %C\n", event, static_cast<char>(letter));
    TraceLine(std::wstring(line));
}

} // namespace

CardOpener::CardOpener(DataDirStruct& catalogue, IPlaylistControl& list, ListFilter& filter,
                       PlaybackTransport& transport, ViewCommands& commands, const ResStorage& skin,
                       IOpeningView& view)
    : m_catalogue(catalogue), m_list(list), m_filter(filter), m_transport(transport), m_commands(commands),
      m_skin(skin), m_view(view) {}

FileDialogSettings CardOpener::FileDialogFor(int modelIndexBelow3) {
    if (modelIndexBelow3 != 0) {
        return {L"MP4 File (*.mp4)|*.mp4|MOV File (*.mov)|*.mov|INI File (*.ini)|*.ini||", L"*.mov", L"*.mov",
                kFileDialogFlags};
    }
    return {L"AVI File (*.avi)|*.avi|INI File (*.ini)|*.ini||", L"*.avi", L"*.avi", kFileDialogFlags};
}

void CardOpener::ShowPlaylistIfFilled() {
    if (m_list.GetItemCount() > 0) {
        m_commands.OnSkinCommand(kPlaylistCommand);
    }
}

int CardOpener::OpenCardFolder(const std::wstring& path, int flag) {
    const std::wstring root = LinuxPath(path);
    if (root.empty() || m_catalogue.ScanFolders(root, flag) == 0) {
        return 0;
    }
    m_filter.ShowAll();
    m_view.ReadConfig();
    return 1;
}

void CardOpener::AddFolderFiles(const std::wstring& path) {
    if (path.empty()) {
        return;
    }
    m_catalogue.AddFolder(LinuxPath(path), &m_list);
    m_filter.SetFilterType(ListFilter::kAllTypes);
}

void CardOpener::AddSingleFile(const std::wstring& path) {
    if (m_catalogue.AddFile(LinuxPath(path), &m_list) != 0) {
        m_filter.SetFilterType(ListFilter::kAllTypes);
    }
}

void CardOpener::OnOpenFolderMsg(LPCWSTR path) {
    // Reading a card blocks the thread: the box is drawn before the work starts.
    m_view.ShowWaitingBox(m_view.LoadText(kStringReadingFiles));
    const std::wstring folder = path != nullptr ? path : L"";
    if (OpenCardFolder(folder, 0) == 0) {
        AddFolderFiles(folder);
    }
    ShowPlaylistIfFilled();
    m_view.CloseWaitingBox();
}

void CardOpener::OnOpenFileMsg(LPCWSTR path) {
    AddSingleFile(path != nullptr ? path : L"");
    ShowPlaylistIfFilled();
}

void CardOpener::OnOpenDirectory() {
    m_transport.ClosePlayers(1);
    m_drivePath.clear();
    std::wstring folder;
    if (!m_view.BrowseForFolder(m_view.LoadText(kStringSelectFolder), folder) || folder.empty()) {
        return;
    }
    m_drivePath = folder;
    OnOpenFolderMsg(m_drivePath.c_str());
    ShowPlaylistIfFilled();
}

void CardOpener::OnOpenFile() {
    std::vector<std::wstring> paths;
    if (!m_view.ChooseFiles(FileDialogFor(ModelIndexBelow3()), paths)) {
        return;
    }
    for (const std::wstring& path : paths) {
        m_filter.SetFilterType(ListFilter::kAllTypes);
        m_catalogue.AddFile(LinuxPath(path), &m_list);
    }
    ShowPlaylistIfFilled();
}

void CardOpener::OnDriveArrived(WPARAM letter) {
    TraceDeviceEvent(L"DBT_DEVICEARRIVAL", letter);
    DWORD vid = 0;
    DWORD pid = 0;
    GetUsbIdsOfDriveEx(static_cast<char>(letter), &vid, &pid);
    const sDeviceInfo* device = m_skin.FindDeviceByVidPid(static_cast<int>(vid), static_cast<int>(pid));
    if (device == nullptr) {
        return;
    }
    CString text;
    text.Format(L"%s [%s]", m_view.LoadText(kStringDeviceDetected).c_str(),
                static_cast<const wchar_t*>(device->name));
    m_view.SetPopupDriveLetter(static_cast<char>(letter));
    m_view.ShowPopup(std::wstring(text), kPopupAppear, kPopupStay, kPopupHide);
}

void CardOpener::OnDriveRemoved(WPARAM letter) {
    TraceDeviceEvent(L"DBT_DEVICEREMOVECOMPLETE", letter);
}

void CardOpener::OnNotifierClicked() {
    m_view.HidePopup();
    m_drivePath = DriveRoot(m_view.GetPopupDriveLetter());
    m_view.ShowLoadingBox();
    m_view.ShowMainWindow(0);
    m_view.SetLoadingMessage(m_view.LoadText(kStringAnalyzing));
    m_view.SetTimer(ViewCommands::kCardOpenTimer, kCardOpenDelay);
}

void CardOpener::PrepareCardFolders() {
    m_transport.ClosePlayers(1);
    // A drive path that resolves to nothing gets nothing created; opening it then finds nothing.
    const std::wstring root = LinuxPath(m_drivePath);
    if (!root.empty()) {
        // Creation failures are not reported: the folder is opened as it stands.
        const std::wstring settingsFolder = ModelIndexBelow3() ? ChildNoCase(root, L"Parameter") : root;
        FileSystem::CreateDirectory(settingsFolder);
        for (const wchar_t* name : kPreparedFolders) {
            FileSystem::CreateDirectory(ChildNoCase(root, name));
        }
        // The card's own settings are kept: only a missing file is made, empty.
        const std::wstring config = ChildNoCase(settingsFolder, L"config.txt");
        if (!FileSystem::Exists(config)) {
            CFile file;
            if (file.Open(config, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite)) {
                file.Close();
            }
        }
    }
    OnOpenFolderMsg(m_drivePath.c_str());
}

int CardOpener::OpenInsertedCard() {
    DWORD vids[kDriveCount] = {};
    DWORD pids[kDriveCount] = {};
    if (!GetUsbIdsOfDrive(vids, pids)) {
        return 0;
    }
    const int drive = m_view.PickRecorderDrive(vids, pids);
    if (drive < 0 || drive >= kDriveCount) {
        return 0;
    }
    m_view.SetLoadingMessage(m_view.LoadText(kStringAnalyzing));
    m_drivePath = DriveRoot(static_cast<char>('A' + drive));
    return OpenCardFolder(m_drivePath, 0);
}

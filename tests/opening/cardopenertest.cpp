// Opening cards, folders and files into the catalogue, and laying out an empty card.

#include "openingfixture.h"

#include "platform/base/drivetable.h"
#include "platform/base/unicode.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).put('\0');
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

DriveVolume Volume(wchar_t letter, const std::wstring& root, bool removable, DWORD vid = 0, DWORD pid = 0) {
    DriveVolume volume;
    volume.letter = letter;
    volume.mountRoot = root;
    volume.removable = removable;
    volume.usbVendorId = vid;
    volume.usbProductId = pid;
    return volume;
}

std::wstring Wide(const fs::path& path) {
    return WideFromUtf8(path.string());
}

// A folder whose path is longer than the 256 characters the drive path once held, and than a
// 1023-character name buffer.
fs::path DeepFolder(const fs::path& base) {
    fs::path deep = base;
    for (char part = 'a'; part < 'g'; ++part)
        deep /= std::string(200, part);
    fs::create_directories(deep);
    return deep;
}

} // namespace

TEST_F(OpeningTest, OpenCardFolderReadsOnlyACardAndShowsEveryTypeOldestFirst) {
    const int recordings = MakeCard(folder / "card", 3);
    Touch(folder / "plain" / AviName(1, 'D'));
    const wchar_t letter = DriveTable::Instance().Register(Volume(L'E', Wide(folder / "card"), true));
    ASSERT_EQ(letter, L'E');

    const struct {
        const char* name;
        std::wstring path;
        int result;
        int rows;
    } cases[] = {
        {"empty", L"", 0, 0},
        {"plain folder", folder.Wide("plain"), 0, 0},
        {"missing folder", folder.Wide("missing"), 0, 0},
        {"unregistered drive", L"Q:\\", 0, 0},
        {"card", folder.Wide("card"), 1, recordings},
        {"card's drive", L"E:\\", 1, recordings},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        catalogue.Clear(0);
        list.DeleteAllItems();
        filter.SetFilter(4);
        ClearLogs();
        EXPECT_EQ(opener.OpenCardFolder(test.path, 0), test.result);
        EXPECT_EQ(list.GetItemCount(), test.rows);
        EXPECT_EQ(filter.GetFilterType(), test.result ? 9 : 4);
        EXPECT_EQ(Calls({"ReadConfig"}).size(), test.result ? 1u : 0u);
        const std::vector<std::wstring> keys = RowKeys();
        EXPECT_TRUE(
            std::is_sorted(keys.begin(), keys.end(), [](const std::wstring& a, const std::wstring& b) {
                return stringex(a) < stringex(b);
            }));
    }
}

TEST_F(OpeningTest, OpeningACardLeavesTheListOrderFlagAsItWas) {
    const int recordings = MakeCard(folder / "card", 3);
    ASSERT_EQ(opener.OpenCardFolder(folder.Wide("card"), 0), 1);
    ASSERT_TRUE(filter.ToggleOrder());
    ASSERT_EQ(filter.GetOrderFlag(), 0);

    ASSERT_EQ(opener.OpenCardFolder(folder.Wide("card"), 0), 1);
    EXPECT_EQ(filter.GetOrderFlag(), 0);
    // The rows themselves run oldest first.
    const std::vector<std::wstring> keys = RowKeys();
    ASSERT_EQ(static_cast<int>(keys.size()), recordings);
    EXPECT_LT(stringex(keys.front()), stringex(keys.back()));
}

TEST_F(OpeningTest, AFolderIsReadAsACardOrFileByFileBehindTheWaitBox) {
    const int recordings = MakeCard(folder / "card", 3);
    Touch(folder / "plain" / AviName(1, 'D'));
    Touch(folder / "plain" / AviName(2, 'Q'));
    Touch(folder / "plain" / "notes.txt");
    fs::create_directories(folder / "empty");

    const struct {
        const char* name;
        std::string path;
        int rows;
        bool card;
    } cases[] = {
        {"card root", "card", recordings, true},
        {"plain folder", "plain", 2, false},
        {"folder without recordings", "empty", 0, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        catalogue.Clear(0);
        list.DeleteAllItems();
        filter.SetFilter(4);
        ClearLogs();
        const std::wstring path = folder.Wide(test.path);
        opener.OnOpenFolderMsg(path.c_str());
        EXPECT_EQ(list.GetItemCount(), test.rows);
        EXPECT_EQ(filter.GetFilterType(), 9);
        EXPECT_EQ(Calls({"ReadConfig"}).size(), test.card ? 1u : 0u);
        // Rows slide the playlist out; an empty list leaves it where it is.
        EXPECT_EQ(PlaylistSlides(), test.rows > 0 ? 1 : 0);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(), "ShowWaitingBox(#239)");
        EXPECT_EQ(calls.back(), "CloseWaitingBox");
    }
    // A message without a path reads nothing.
    catalogue.Clear(0);
    list.DeleteAllItems();
    ClearLogs();
    opener.OnOpenFolderMsg(nullptr);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(Calls({"ShowWaitingBox", "CloseWaitingBox"}), (Log{"ShowWaitingBox(#239)", "CloseWaitingBox"}));
}

TEST_F(OpeningTest, ADroppedFileIsAddedWhenTheCatalogueTakesIt) {
    SetModelIndex(0);
    Touch(folder / Mp4Name(1, 'F'));
    Touch(folder / "2023_05_2X_12_30_01_F_normal.mp4");

    filter.SetFilter(4);
    ClearLogs();
    const std::wstring bad = folder.Wide("2023_05_2X_12_30_01_F_normal.mp4");
    opener.OnOpenFileMsg(bad.c_str());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(filter.GetFilterType(), 4);
    EXPECT_EQ(Calls({"MessageBox"}).size(), 1u);
    EXPECT_EQ(PlaylistSlides(), 0);

    const std::wstring good = folder.Wide(Mp4Name(1, 'F'));
    opener.OnOpenFileMsg(good.c_str());
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(filter.GetFilterType(), 9);
    EXPECT_EQ(PlaylistSlides(), 1);
}

TEST_F(OpeningTest, TheFolderBrowserClosesTheRecordingAndOpensWhatWasChosen) {
    // A card below a path of more than 1023 characters opens whole.
    const fs::path deep = DeepFolder(folder.Path());
    ASSERT_GT(deep.string().size(), 1023u);
    const int recordings = MakeCard(deep / "card", 3);
    opening.folder = Wide(deep / "card");
    opener.OnOpenDirectory();
    EXPECT_EQ(opener.GetDrivePath(), *opening.folder);
    EXPECT_EQ(list.GetItemCount(), recordings);
    EXPECT_EQ(Calls({"ResetGraph", "BrowseForFolder", "ShowWaitingBox", "ReadConfig", "CloseWaitingBox"}),
              (Log{"ResetGraph", "BrowseForFolder(#160)", "ShowWaitingBox(#239)", "ReadConfig",
                   "CloseWaitingBox"}));
    // Once for the folder read, once more after it: the second finds the slide already begun.
    EXPECT_EQ(PlaylistSlides(), 2);

    // Cancelled: the recording is closed and the drive path forgotten, nothing else.
    opening.folder.reset();
    ClearLogs();
    opener.OnOpenDirectory();
    EXPECT_EQ(Calls({"ResetGraph", "BrowseForFolder", "ShowWaitingBox", "BeginPanelSlide"}),
              (Log{"ResetGraph", "BrowseForFolder(#160)"}));
    EXPECT_EQ(opener.GetDrivePath(), L"");
    EXPECT_EQ(list.GetItemCount(), recordings);
}

TEST_F(OpeningTest, TheFileDialogFollowsTheRecorderFamily) {
    const struct {
        int model;
        FileDialogSettings settings;
    } cases[] = {
        {0,
         {L"MP4 File (*.mp4)|*.mp4|MOV File (*.mov)|*.mov|INI File (*.ini)|*.ini||", L"*.mov", L"*.mov",
          0x209304}},
        {2,
         {L"MP4 File (*.mp4)|*.mp4|MOV File (*.mov)|*.mov|INI File (*.ini)|*.ini||", L"*.mov", L"*.mov",
          0x209304}},
        {3, {L"AVI File (*.avi)|*.avi|INI File (*.ini)|*.ini||", L"*.avi", L"*.avi", 0x209304}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.model);
        SetModelIndex(test.model);
        opening.fileDialog.reset();
        ClearLogs();
        opener.OnOpenFile();
        ASSERT_TRUE(opening.fileDialog.has_value());
        EXPECT_EQ(*opening.fileDialog, test.settings);
        // Cancelled: nothing is added, nothing slides.
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(PlaylistSlides(), 0);
    }
}

TEST_F(OpeningTest, EveryChosenFileIsAddedInTurnAndASettingsFileBecomesTheCatalogues) {
    // Far more names than a 5000-character buffer held, each of them taken.
    std::vector<std::wstring> files;
    for (int second = 0; second < 60; ++second) {
        const fs::path path = folder / std::string(40, 'x') / AviName(second, 'D');
        Touch(path);
        files.push_back(Wide(path));
    }
    Touch(folder / "card" / "config.txt");
    files.insert(files.begin() + 30, folder.Wide("card/config.txt"));
    size_t characters = 0;
    for (const std::wstring& file : files)
        characters += file.size() + 1;
    ASSERT_GT(characters, 5000u);

    opening.files = files;
    filter.SetFilter(4);
    ClearLogs();
    opener.OnOpenFile();
    EXPECT_EQ(list.GetItemCount(), 60);
    EXPECT_EQ(filter.GetFilterType(), 9);
    // The catalogue tells the view of its new settings, and the settings editor reads them.
    EXPECT_EQ(Calls({"Send(10004)", "ReadConfig"}), (Log{"Send(10004)", "ReadConfig"}));
    ASSERT_NE(catalogue.GetConfigPath(), nullptr);
    EXPECT_EQ(std::wstring(catalogue.GetConfigPath()), folder.Wide("card/config.txt"));
    EXPECT_EQ(Calls({"MessageBox"}), Log{});
    EXPECT_EQ(PlaylistSlides(), 1);
}

TEST_F(OpeningTest, AnArrivingDriveIsOfferedOnlyWhenItsIdsNameARecorder) {
    TraceCapture traces;
    const struct {
        const char* name;
        DWORD vid;
        DWORD pid;
        bool registered;
        const char* popup; // null: none
    } cases[] = {
        {"recorder", 0x3A7E, 0x0001, true, "ShowPopup(#173 [TREVO R4],500,15000,500)"},
        {"other recorder model", 0x3A7E, 0x0002, true, "ShowPopup(#173 [TREVO T310],500,15000,500)"},
        {"unknown USB device", 0x1234, 0x5678, true, nullptr},
        {"not a USB drive", 0, 0, true, nullptr},
        {"no such drive", 0x3A7E, 0x0001, false, nullptr},
    };
    fs::create_directories(folder / "volume");
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        DriveTable::Instance().Clear();
        if (test.registered) {
            ASSERT_EQ(DriveTable::Instance().Register(
                          Volume(L'F', folder.Wide("volume"), true, test.vid, test.pid)),
                      L'F');
        }
        ClearLogs();
        traces.lines.clear();
        opener.OnDriveArrived('F');
        if (test.popup != nullptr) {
            EXPECT_EQ(calls, (Log{"SetPopupDriveLetter(F)", test.popup}));
        } else {
            EXPECT_EQ(calls, Log{});
        }
        EXPECT_EQ(traces.lines, (std::vector<std::string>{"DBT_DEVICEARRIVAL - F\n"}));
    }
}

TEST_F(OpeningTest, ARemovedDriveIsOnlyTraced) {
    TraceCapture traces;
    opener.OnDriveRemoved('G');
    EXPECT_EQ(calls, Log{});
    EXPECT_EQ(traces.lines, (std::vector<std::string>{"DBT_DEVICEREMOVECOMPLETE - G\n"}));
}

TEST_F(OpeningTest, AClickOnThePopUpOpensItsDriveBehindTheLoadingBox) {
    const int recordings = MakeCard(folder / "card", 3);
    ASSERT_EQ(DriveTable::Instance().Register(Volume(L'E', folder.Wide("card"), true, 0x3A7E, 0x0001)), L'E');
    opener.OnDriveArrived('E');
    ClearLogs();

    opener.OnNotifierClicked();
    EXPECT_EQ(calls, (Log{"HidePopup", "ShowLoadingBox", "ShowMainWindow(0)", "SetLoadingMessage(#174)",
                          "SetTimer(0x20000009,10)"}));
    EXPECT_EQ(opener.GetDrivePath(), L"E:\\");
    // What the timer then opens.
    EXPECT_EQ(opener.OpenCardFolder(opener.GetDrivePath(), 0), 1);
    EXPECT_EQ(list.GetItemCount(), recordings);
}

TEST_F(OpeningTest, TheStartUpOpensTheRecorderDriveTheDeviceListChose) {
    const int recordings = MakeCard(folder / "card", 3);
    fs::create_directories(folder / "reader");
    const DriveVolume reader = Volume(L'D', folder.Wide("reader"), true, 0x1234, 0x5678);
    const DriveVolume card = Volume(L'E', folder.Wide("card"), true, 0x3A7E, 0x0001);

    // No removable drive identified: the list is not run.
    EXPECT_EQ(opener.OpenInsertedCard(), 0);
    EXPECT_EQ(calls, Log{});

    ASSERT_EQ(DriveTable::Instance().Register(reader), L'D');
    ASSERT_EQ(DriveTable::Instance().Register(card), L'E');
    // The list chose none.
    opening.pickedDrive = -1;
    EXPECT_EQ(opener.OpenInsertedCard(), 0);
    EXPECT_EQ(calls, Log{"PickRecorderDrive"});
    ASSERT_EQ(opening.pickedFrom.size(), 26u);
    EXPECT_EQ(opening.pickedFrom[3], std::make_pair(DWORD{0x1234}, DWORD{0x5678}));
    EXPECT_EQ(opening.pickedFrom[4], std::make_pair(DWORD{0x3A7E}, DWORD{0x0001}));
    EXPECT_EQ(opening.pickedFrom[6], std::make_pair(DWORD{0}, DWORD{0}));

    opening.pickedDrive = 4;
    ClearLogs();
    EXPECT_EQ(opener.OpenInsertedCard(), 1);
    EXPECT_EQ(Calls({"PickRecorderDrive", "SetLoadingMessage", "ReadConfig"}),
              (Log{"PickRecorderDrive", "SetLoadingMessage(#174)", "ReadConfig"}));
    EXPECT_EQ(opener.GetDrivePath(), L"E:\\");
    EXPECT_EQ(list.GetItemCount(), recordings);
}

TEST_F(OpeningTest, PreparedCardFoldersFollowTheModelAndKeepExistingSettings) {
    const struct {
        const char* name;
        int model;
        std::vector<std::string> existing; // made before, with content "keep" for config.txt
        std::string config;                // where the settings file is then
        std::vector<std::string> folders;
        bool keeps;
    } cases[] = {
        {"AVI model", 3, {}, "config.txt", {"Blackbox", "Event", "Parking", "ParkingEvent"}, false},
        {"MP4/MOV model",
         0,
         {},
         "Parameter/config.txt",
         {"Parameter", "Blackbox", "Event", "Parking", "ParkingEvent"},
         false},
        {"AVI model, settings kept", 3, {"config.txt"}, "config.txt", {"Blackbox"}, true},
        {"MP4/MOV model, settings kept",
         1,
         {"Parameter/config.txt"},
         "Parameter/config.txt",
         {"Parameter"},
         true},
        {"names of another case are the card's own",
         0,
         {"PARAMETER/CONFIG.TXT", "EVENT/"},
         "PARAMETER/CONFIG.TXT",
         {"PARAMETER", "EVENT", "Blackbox"},
         true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        SetModelIndex(test.model);
        const fs::path root = folder / test.name;
        fs::create_directories(root);
        for (const std::string& existing : test.existing) {
            if (existing.back() == '/') {
                fs::create_directories(root / existing);
            } else {
                fs::create_directories((root / existing).parent_path());
                std::ofstream(root / existing) << "keep";
            }
        }
        opening.folder = Wide(root);
        opener.OnOpenDirectory();
        ClearLogs();

        opener.PrepareCardFolders();
        for (const std::string& name : test.folders)
            EXPECT_TRUE(fs::is_directory(root / name)) << name;
        ASSERT_TRUE(fs::is_regular_file(root / test.config));
        EXPECT_EQ(Slurp(root / test.config), test.keeps ? "keep" : "");
        // The settings folder and four recording folders, under the card's own names where it has them;
        // not the "Drive" and "DriveEvent" a card scan looks for.
        size_t entries = 0;
        for (const auto& entry : fs::directory_iterator(root)) {
            (void)entry;
            ++entries;
        }
        EXPECT_EQ(entries, 5u);
        EXPECT_FALSE(fs::exists(root / "Drive"));
        // The recording is closed first; the prepared card is then read as a folder without recordings.
        EXPECT_EQ(Calls({"ResetGraph", "ShowWaitingBox", "CloseWaitingBox"}),
                  (Log{"ResetGraph", "ShowWaitingBox(#239)", "CloseWaitingBox"}));
        EXPECT_EQ(PlaylistSlides(), 0);
    }
}

TEST_F(OpeningTest, PreparingWithoutAReachableDrivePathCreatesNothing) {
    opener.PrepareCardFolders();
    EXPECT_EQ(Calls({"ResetGraph", "ShowWaitingBox"}), (Log{"ResetGraph", "ShowWaitingBox(#239)"}));
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}

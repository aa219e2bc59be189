// The catalogue over whole cards and single files: scans, rows, lookups and changes of records.
#include "viewer/catalogue/datadirstruct.h"

#include "cataloguetestsupport.h"
#include "support/testfolder.h"
#include "tools/fixtures/cardmaker.h"
#include "tools/fixtures/configmaker.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::wstring kPresent = L"\u039F";
const std::wstring kAbsent = L"\u03A7";

std::string NameOf(const std::filesystem::path& path) {
    return path.filename().string();
}

// The key a file of the card gets: the stamp of its name, its folder with a trailing '/', "/E".
stringex KeyOf(const std::filesystem::path& file) {
    return WideFromUtf8(NameOf(file).substr(0, 22)) + L"_" + Wide(file.parent_path()) + L"//E";
}

class CatalogueTest : public testing::Test {
  protected:
    void SetUp() override {
        LoadStringLibrary();
        m_catalogue.SetLanguageId(2052);
    }

    std::wstring Make(const std::string& relative) {
        WriteBytes(m_folder / relative, "");
        return m_folder.Wide(relative);
    }
    void MakeCardFolders() {
        for (const char* name : {"Drive", "DriveEvent"})
            std::filesystem::create_directories(m_folder / name);
    }
    std::vector<std::wstring> RowKeys() const {
        std::vector<std::wstring> keys;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            keys.push_back(m_list.GetItemKey(i));
        return keys;
    }

    TestFolder m_folder;
    FakeWindowSystem m_windows;
    FakeListControl m_list;
    DataDirStruct m_catalogue;
};

struct CardCase {
    const char* what;
    int model;
    fixtures::MovieContainer container;
    bool upperCase;
    bool mixedPrefixes;
};

class CardScanTest : public CatalogueTest, public testing::WithParamInterface<CardCase> {};

TEST_P(CardScanTest, ReadsEveryRecordingOfTheCard) {
    const CardCase& c = GetParam();
    ModelIndexScope model(c.model);
    fixtures::CardOptions options;
    options.model = c.model;
    options.namesOnly = true;
    options.strays = true;
    options.recordingsPerKind = 2;
    options.container = c.container;
    options.upperCaseNames = c.upperCase;
    options.mixedPrefixes = c.mixedPrefixes;
    const fixtures::CardLayout layout = fixtures::MakeCard(m_folder.Path(), options);

    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    EXPECT_EQ(m_catalogue.GetRecordCount(), static_cast<size_t>(layout.recordings));
    for (const fixtures::CardRecordingFile& file : layout.files) {
        SCOPED_TRACE(file.relativePath.string());
        const std::filesystem::path path = m_folder.Path() / file.relativePath;
        const RecFileInfo* record = m_catalogue.GetRecord(KeyOf(path));
        if (file.channelLetter == 'R') {
            if (record) {
                EXPECT_EQ(record->secondPath, Wide(path));
            }
            continue;
        }
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->frontPath, Wide(path));
        EXPECT_EQ(record->type, file.typeCode);
    }
    for (const fixtures::CardRecordingFile& file : layout.files) {
        if (file.channelLetter != 'R')
            continue;
        std::string front = NameOf(file.relativePath);
        const size_t letter = front.find("_R_");
        front[letter + 1] = 'F';
        const RecFileInfo* record =
            m_catalogue.GetRecord(KeyOf(m_folder.Path() / file.relativePath.parent_path() / front));
        ASSERT_NE(record, nullptr) << "rear file without its front record: " << file.relativePath;
        EXPECT_EQ(record->secondPath, Wide(m_folder.Path() / file.relativePath));
    }
    ASSERT_NE(m_catalogue.GetConfigPath(), nullptr);
    EXPECT_EQ(m_catalogue.GetConfigPath(), Wide(m_folder.Path() / layout.config));
    const auto entries = fixtures::DefaultConfigEntries(c.model);
    EXPECT_EQ(m_catalogue.GetConfigValue(WideFromUtf8(entries.front().first)),
              WideFromUtf8(entries.front().second));
    // A sound card asks nothing and says nothing but that playback stops.
    EXPECT_TRUE(m_windows.MessageBoxes().empty());
    EXPECT_EQ(m_windows.Messages(), std::vector<UINT>{WM_PLAYER_READ_ERROR});
}

INSTANTIATE_TEST_SUITE_P(
    EveryModel, CardScanTest,
    testing::Values(CardCase{"T550", 0, fixtures::MovieContainer::Mp4, false, false},
                    CardCase{"T310 mov", 1, fixtures::MovieContainer::Mov, false, true},
                    CardCase{"T330 capitals", 2, fixtures::MovieContainer::Mp4, true, true},
                    CardCase{"R310/R330", 3, fixtures::MovieContainer::Mp4, false, false},
                    CardCase{"R310/R330 capitals", 3, fixtures::MovieContainer::Mp4, true, true}),
    [](const testing::TestParamInfo<CardCase>& info) { return "Model" + std::to_string(info.index); });

TEST_F(CatalogueTest, NotACardChangesNothing) {
    ModelIndexScope model(0);
    MakeCardFolders();
    Make("Drive/2023_05_24_12_30_45_F_normal.mp4");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    m_windows.events.clear();

    TestFolder other;
    std::filesystem::create_directories(other / "Drive");
    WriteBytes(other / "DriveEvent", "a file, not a folder");
    for (const std::wstring& root : {other.Wide(), other.Wide("missing"), std::wstring()})
        EXPECT_EQ(m_catalogue.ScanFolders(root, 0), 0);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 1u);
    EXPECT_NE(m_catalogue.GetConfigPath(), nullptr);
    EXPECT_TRUE(m_windows.events.empty());
}

TEST_F(CatalogueTest, PlaybackStopsBeforeTheRecordsGo) {
    ModelIndexScope model(0);
    MakeCardFolders();
    Make("Drive/2023_05_24_12_30_45_F_normal.mp4");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    size_t heldWhenStopped = 0;
    m_windows.onSend = [&](UINT message) {
        if (message == WM_PLAYER_READ_ERROR)
            heldWhenStopped = m_catalogue.GetRecordCount();
    };
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    EXPECT_EQ(heldWhenStopped, 1u);
    ASSERT_EQ(m_windows.events.size(), 2u);
    EXPECT_EQ(m_windows.events[1].wParam, 0u);
}

TEST_F(CatalogueTest, ConfigOnlyKeepsTheRecordings) {
    ModelIndexScope model(0);
    MakeCardFolders();
    Make("Drive/2023_05_24_12_30_45_F_normal.mp4");
    WriteBytes(m_folder / "Parameter/config.txt", "A=1\r\n");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    Make("Drive/2023_05_24_12_31_45_F_normal.mp4");
    WriteBytes(m_folder / "Parameter/config.txt", "A=2\r\n");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 1), 1);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 1u);
    EXPECT_EQ(m_catalogue.GetConfigValue(L"A"), L"2");
    // Settings alone need no card folders.
    TestFolder bare;
    WriteBytes(bare / "Parameter/config.txt", "A=3\r\n");
    ASSERT_EQ(m_catalogue.ScanFolders(bare.Wide(), 1), 1);
    EXPECT_EQ(m_catalogue.GetConfigValue(L"A"), L"3");
    EXPECT_EQ(m_catalogue.GetRecordCount(), 1u);
}

TEST_F(CatalogueTest, ScanSkipsMissingParkingFoldersAndStrays) {
    ModelIndexScope model(0);
    MakeCardFolders();
    const std::wstring drive = Make("Drive/2023_05_24_12_30_45_F_normal.mp4");
    Make("DriveEvent/2023_05_24_12_31_45_F_event.mp4");
    Make("Drive/notes.txt");
    Make("Drive/2023_05_24_12_32_45_F_xxxx.mp4");
    std::filesystem::create_directories(m_folder / "Drive/2023_05_24_12_33_45_F_normal.mp4");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide() + L"/", 0), 1);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 2u);
    // The trailing '/' of the root does not change the keys.
    EXPECT_NE(m_catalogue.GetRecord(KeyOf(m_folder / "Drive/2023_05_24_12_30_45_F_normal.mp4")), nullptr);
    // The path is kept even when the card has no settings file.
    EXPECT_EQ(std::wstring(m_catalogue.GetConfigPath()), m_folder.Wide("Parameter/config.txt"));
    ModelIndexScope avi(3);
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    EXPECT_EQ(std::wstring(m_catalogue.GetConfigPath()), m_folder.Wide("config.txt"));
    EXPECT_TRUE(m_windows.MessageBoxes().empty());
}

TEST_F(CatalogueTest, ReadOnlyCardIsACard) {
    ModelIndexScope model(0);
    MakeCardFolders();
    Make("Drive/2023_05_24_12_30_45_F_normal.mp4");
    for (const char* name : {"Drive", "DriveEvent"})
        std::filesystem::permissions(m_folder / name,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
    EXPECT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 1u);
    for (const char* name : {"Drive", "DriveEvent"})
        std::filesystem::permissions(m_folder / name, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
}

TEST_F(CatalogueTest, TwoScansGiveTheSameKeys) {
    ModelIndexScope model(3);
    fixtures::CardOptions options;
    options.model = 3;
    options.namesOnly = true;
    fixtures::MakeCard(m_folder.Path(), options);
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    m_catalogue.FillListByType(&m_list, 9, 1);
    const std::vector<std::wstring> first = RowKeys();
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    m_catalogue.FillListByType(&m_list, 9, 1);
    EXPECT_EQ(RowKeys(), first);
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));
}

TEST_F(CatalogueTest, AddFileCases) {
    ModelIndexScope model(0);
    const std::wstring config = Make("config.txt");
    WriteBytes(m_folder / "config.txt", "Speed=1\r\n");
    const std::wstring badName = Make("2023_13_24_12_30_45_F_normal.mp4");
    const std::wstring notes = Make("notes.txt");
    const std::wstring rearAlone = Make("2023_05_24_12_30_45_R_normal.mp4");
    const std::wstring front = Make("2023_05_24_12_31_45_F_event.mp4");
    const std::wstring frontAgain = Make("2023_05_24_12_31_45_F_normal.mp4");

    EXPECT_EQ(m_catalogue.AddFile(config, &m_list), 0);
    EXPECT_EQ(std::wstring(m_catalogue.GetConfigPath()), config);
    EXPECT_EQ(m_catalogue.GetConfigValue(L"Speed"), L"1");
    EXPECT_EQ(m_windows.Messages(), std::vector<UINT>{WM_CONFIG_FILE_ADDED});

    EXPECT_EQ(m_catalogue.AddFile(badName, &m_list), 0);
    EXPECT_EQ(m_catalogue.AddFile(notes, &m_list), 0);
    EXPECT_EQ(m_windows.MessageBoxes(),
              std::vector<std::wstring>{L"File name format is not correct. (" + badName + L" )"});

    EXPECT_EQ(m_catalogue.AddFile(rearAlone, &m_list), 1);
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(m_catalogue.AddFile(front, nullptr), 0);
    EXPECT_EQ(m_catalogue.AddFile(front, &m_list), 1);
    EXPECT_EQ(m_catalogue.AddFile(frontAgain, &m_list), 0);
    for (const std::wstring& path :
         {m_folder.Wide("."), m_folder.Wide(".."), m_folder.Wide("missing.mp4"), std::wstring()})
        EXPECT_EQ(m_catalogue.AddFile(path, &m_list), 0);

    ASSERT_EQ(m_list.GetItemCount(), 1);
    const std::vector<std::wstring> expected = {L"Event", L"Event", L"2023-05-24 12:31:45", kPresent,
                                                kAbsent};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(m_list.Text(0, column), expected[static_cast<size_t>(column)]) << column;
    EXPECT_EQ(m_list.Text(0, 5), L"");
    EXPECT_EQ(m_list.GetItemKey(0), KeyOf(m_folder / "2023_05_24_12_31_45_F_event.mp4"));
    EXPECT_EQ(m_windows.MessageBoxes().size(), 1u);
}

TEST_F(CatalogueTest, AddFileUnderTheAviModel) {
    ModelIndexScope model(3);
    m_catalogue.SetLanguageId(1042);
    const std::wstring badAvi = Make("2023_05_24_12_30_4x_D_N.avi");
    const std::wstring badMp4 = Make("2023_05_24_12_30_4x_D_N.mp4");
    const std::wstring timelapse = Make("2023_05_24_12_30_45_D_L.avi");
    const std::wstring front = Make("2023_05_24_12_31_45_F_N.avi");
    Make("2023_05_24_12_31_45_R_N.avi");
    // The AVI model takes a wrong ".avi" name silently and complains only about ".mp4".
    EXPECT_EQ(m_catalogue.AddFile(badAvi, &m_list), 0);
    EXPECT_EQ(m_catalogue.AddFile(badMp4, &m_list), 0);
    EXPECT_EQ(m_windows.MessageBoxes(),
              std::vector<std::wstring>{L"파일이름의 형식이 올바르지 않습니다. (" + badMp4 + L" )"});
    EXPECT_EQ(m_catalogue.AddFile(timelapse, &m_list), 1);
    EXPECT_EQ(m_catalogue.AddFile(front, &m_list), 1);
    ASSERT_EQ(m_list.GetItemCount(), 2);
    EXPECT_EQ(m_list.Text(0, 0), L"타임");
    EXPECT_EQ(m_list.Text(0, 4), kPresent);
    EXPECT_EQ(m_list.Text(1, 0), L"상시");
    EXPECT_EQ(m_list.Text(1, 4), kPresent);
}

TEST_F(CatalogueTest, AddFolderAddsItsFiles) {
    ModelIndexScope model(0);
    Make("plain/2023_05_24_12_30_45_F_normal.mp4");
    Make("plain/2023_05_24_12_30_45_R_normal.mp4");
    Make("plain/2023_05_24_12_31_45_F_manual.mp4");
    Make("plain/2023_13_24_12_31_45_F_manual.mp4");
    EXPECT_EQ(m_catalogue.AddFolder(m_folder.Wide("plain"), &m_list), 1);
    EXPECT_EQ(m_list.GetItemCount(), 2);
    EXPECT_EQ(m_windows.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_catalogue.AddFolder(m_folder.Wide("missing"), &m_list), 0);
}

TEST_F(CatalogueTest, FillListByTypeFiltersAndOrders) {
    ModelIndexScope model(0);
    MakeCardFolders();
    const std::wstring oldest = Make("Drive/2023_05_24_12_30_00_F_normal.mp4");
    Make("Drive/2023_05_24_12_30_00_R_normal.mp4");
    Make("DriveEvent/2023_05_24_12_31_00_F_event.mp4");
    Make("DriveEvent/2023_05_24_12_33_00_F_event.mp4");
    Make("Parking/2023_05_24_12_32_00_F_motion.mp4");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);

    m_catalogue.FillListByType(&m_list, 9, 0);
    ASSERT_EQ(m_list.GetItemCount(), 4);
    const std::vector<std::wstring> newestFirst = RowKeys();
    EXPECT_TRUE(std::is_sorted(newestFirst.rbegin(), newestFirst.rend()));
    EXPECT_EQ(m_list.Text(3, 2), L"2023-05-24 12:30:00");
    EXPECT_EQ(m_list.Text(3, 4), kPresent);
    EXPECT_EQ(m_list.Text(0, 4), kAbsent);
    EXPECT_EQ(m_list.Text(1, 0), L"Motion Event");

    m_catalogue.FillListByType(&m_list, 4, 1);
    ASSERT_EQ(m_list.GetItemCount(), 2);
    EXPECT_EQ(m_list.Text(0, 2), L"2023-05-24 12:31:00");
    EXPECT_EQ(m_list.Text(1, 2), L"2023-05-24 12:33:00");
    EXPECT_EQ(m_list.Text(0, 0), L"Event");

    m_catalogue.FillListByType(&m_list, 7, 1);
    EXPECT_EQ(m_list.GetItemCount(), 0);
    m_catalogue.FillListByType(nullptr, 9, 1);
    EXPECT_EQ(m_catalogue.GetFilePath(KeyOf(m_folder / "Drive/2023_05_24_12_30_00_F_normal.mp4"), 1), oldest);
}

TEST_F(CatalogueTest, SecondCameraSignOfOneFileAviRecordings) {
    ModelIndexScope model(3);
    MakeCardFolders();
    Make("Drive/2023_05_24_12_30_00_D_N.avi");
    Make("Drive/2023_05_24_12_31_00_Q_N.avi");
    Make("Drive/2023_05_24_12_32_00xNxN.avi");
    Make("Drive/2023_05_24_12_33_00_F_N.avi");
    ASSERT_EQ(m_catalogue.ScanFolders(m_folder.Wide(), 0), 1);
    m_catalogue.FillListByType(&m_list, 9, 1);
    ASSERT_EQ(m_list.GetItemCount(), 4);
    const std::wstring expected[] = {kPresent, kPresent, kAbsent, kAbsent};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(m_list.Text(static_cast<size_t>(row), 3), kPresent) << row;
        EXPECT_EQ(m_list.Text(static_cast<size_t>(row), 4), expected[row]) << row;
    }
}

TEST_F(CatalogueTest, LookupsWithUnknownKeys) {
    ModelIndexScope model(3);
    const std::wstring path = Make("2023_05_24_12_30_45_D_N.avi");
    stringex key;
    ASSERT_EQ(m_catalogue.ParseFileName(path, 0, &key), 3);
    for (const stringex& unknown : {stringex(), stringex(L"2023_05_24_12_30_45_D_/nowhere//E")}) {
        int count = 7;
        EXPECT_EQ(m_catalogue.GetFilePath(unknown, 1), nullptr);
        EXPECT_EQ(m_catalogue.GetFrameCount(unknown), 0);
        EXPECT_EQ(m_catalogue.GetRecordValue(unknown), 0);
        EXPECT_EQ(m_catalogue.CheckRecord(unknown), 1);
        EXPECT_EQ(m_catalogue.GetGpsRecords(unknown, &count), nullptr);
        EXPECT_EQ(m_catalogue.GetGsensorSamples(unknown, &count), nullptr);
        EXPECT_EQ(m_catalogue.GetCarNumber(unknown), nullptr);
        EXPECT_EQ(m_catalogue.RemoveRecord(unknown), 0);
        EXPECT_EQ(count, 7);
    }
    EXPECT_EQ(m_catalogue.GetFilePath(key, 1), path);
    EXPECT_EQ(m_catalogue.GetFilePath(key, 0), nullptr);
    EXPECT_EQ(m_catalogue.GetGpsRecords(key, nullptr), nullptr);
}

TEST_F(CatalogueTest, RecordValueIsTheRecordsOwnWhenAboveZero) {
    ModelIndexScope model(3);
    stringex first;
    stringex second;
    ASSERT_EQ(m_catalogue.ParseFileName(Make("2023_05_24_12_30_45_D_N.avi"), 0, &first), 3);
    ASSERT_EQ(m_catalogue.ParseFileName(Make("2023_05_24_12_31_45_D_N.avi"), 0, &second), 3);
    // A new record holds no value.
    EXPECT_EQ(m_catalogue.GetRecordValue(first), 0);
    EXPECT_EQ(m_catalogue.CheckRecord(first), 1);

    // Nothing in the catalogue sets the value; the test does, to see each key reach its record.
    auto setValue = [&](const stringex& key, int value) {
        const_cast<RecFileInfo*>(m_catalogue.GetRecord(key))->recordValue = value;
    };
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {1, 1}, {42, 42}};
    for (const auto& [value, expected] : cases) {
        setValue(first, value);
        setValue(second, 7);
        EXPECT_EQ(m_catalogue.GetRecordValue(first), expected) << value;
        EXPECT_EQ(m_catalogue.GetRecordValue(second), 7) << value;
    }
}

TEST_F(CatalogueTest, RemovedRecordLeavesNoDanglingRow) {
    ModelIndexScope model(0);
    const std::wstring front = Make("2023_05_24_12_30_45_F_normal.mp4");
    const std::wstring rear = Make("2023_05_24_12_30_45_R_normal.mp4");
    ASSERT_EQ(m_catalogue.AddFile(front, &m_list), 1);
    const stringex key = m_list.GetItemKey(0);
    EXPECT_EQ(m_catalogue.GetFilePath(key, 2), rear);
    EXPECT_EQ(m_catalogue.RemoveRecord(key), 1);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 0u);
    // The row outlives its record: it now finds nothing.
    EXPECT_EQ(m_catalogue.GetFilePath(m_list.GetItemKey(0), 1), nullptr);
    EXPECT_EQ(m_catalogue.RemoveRecord(key), 0);
}

class ReplaceRecordFilesTest : public CatalogueTest {
  protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        m_oldFront = Make("card/Drive/2023_05_24_12_30_45_F_N.avi");
        ASSERT_EQ(m_catalogue.AddFile(Make("card/Drive/2023_05_24_12_29_45_D_N.avi"), &m_list), 1);
        ASSERT_EQ(m_catalogue.AddFile(m_oldFront, &m_list), 1);
        m_oldKey = m_list.GetItemKey(1);
    }

    ModelIndexScope m_model{3};
    std::wstring m_oldFront;
    stringex m_oldKey;
};

TEST_F(ReplaceRecordFilesTest, MovesTheRecordToTheRepairedFiles) {
    const std::wstring repaired = Make("re_F_pair/2023_05_24_12_30_45_F_N.avi");
    const std::wstring rear = Make("re_F_pair/2023_05_24_12_30_45_R_N.avi");
    const stringex newKey = KeyOf(m_folder / "re_F_pair/2023_05_24_12_30_45_F_N.avi");
    EXPECT_EQ(m_catalogue.ReplaceRecordFiles(repaired, m_oldKey, newKey, &m_list, 1), 1);
    EXPECT_EQ(m_catalogue.GetRecord(m_oldKey), nullptr);
    EXPECT_EQ(m_list.GetItemKey(1), newKey);
    EXPECT_EQ(m_catalogue.GetFilePath(newKey, 1), repaired);
    // Only the file name changes camera: the folder's "_F_" stays.
    EXPECT_EQ(m_catalogue.GetFilePath(newKey, 2), rear);
    EXPECT_EQ(m_catalogue.GetRecord(newKey)->type, 3);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 2u);
}

TEST_F(ReplaceRecordFilesTest, UnknownOldKeyChangesNothing) {
    const std::wstring repaired = Make("repair/2023_05_24_12_30_45_F_N.avi");
    EXPECT_EQ(
        m_catalogue.ReplaceRecordFiles(repaired, L"nothing//E", KeyOf(m_folder / "repair/x"), &m_list, 1), 0);
    EXPECT_EQ(m_catalogue.ReplaceRecordFiles(repaired, m_oldKey, stringex(), &m_list, 1), 0);
    EXPECT_EQ(m_list.GetItemKey(1), m_oldKey);
    EXPECT_EQ(m_catalogue.GetFilePath(m_oldKey, 1), m_oldFront);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 2u);
}

TEST_F(ReplaceRecordFilesTest, NewKeyAlreadyHeldIsReplaced) {
    const stringex heldKey = m_list.GetItemKey(0);
    const std::wstring repaired = Make("card/Drive/2023_05_24_12_29_45_Q_N.avi");
    EXPECT_EQ(m_catalogue.ReplaceRecordFiles(repaired, m_oldKey, heldKey, &m_list, 1), 1);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 1u);
    EXPECT_EQ(m_catalogue.GetFilePath(heldKey, 1), repaired);
    EXPECT_EQ(m_catalogue.GetFilePath(heldKey, 2), nullptr);
    EXPECT_EQ(m_list.GetItemKey(1), heldKey);
    // The same key again, and a row out of range.
    const std::wstring again = Make("card/Drive/2023_05_24_12_29_45_T_N.avi");
    EXPECT_EQ(m_catalogue.ReplaceRecordFiles(again, heldKey, heldKey, &m_list, 9), 1);
    EXPECT_EQ(m_catalogue.GetFilePath(heldKey, 1), again);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 1u);
}

} // namespace

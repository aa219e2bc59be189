// The settings editor's commands: apply, the clock file, the model change, sliders, the drive list
// and the card format with the card's settings files put back.
#include "settingseditortestsupport.h"

#include "imagesupport.h"

#include "platform/base/drivetable.h"
#include "platform/base/unicode.h"
#include "platform/devices/cardmount.h"
#include "platform/devices/imagefilevolume.h"
#include "support/testfolder.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/tools/viewersettingsstore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>

namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void EmptyFolder(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        std::filesystem::remove_all(entry.path());
}

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// A folder that stands for a card under a drive letter, for as long as the object lives.
class CardVolume {
  public:
    CardVolume(wchar_t letter, bool removable) : m_letter(letter) {
        DriveVolume volume;
        volume.letter = letter;
        volume.mountRoot = m_folder.Wide();
        volume.removable = removable;
        EXPECT_EQ(DriveTable::Instance().Register(volume), letter);
    }
    ~CardVolume() { DriveTable::Instance().Unregister(m_letter); }
    CardVolume(const CardVolume&) = delete;
    CardVolume& operator=(const CardVolume&) = delete;

    const std::filesystem::path& Root() const { return m_folder.Path(); }

  private:
    TestFolder m_folder;
    wchar_t m_letter;
};

class OptCommandsTest : public testing::Test {
  protected:
    void SetUp() override { m_editor.SetDataDirStruct(&m_catalogue); }

    // A card of the model on the volume, with its settings and clock files, read into the editor.
    void LoadCard(const CardVolume& card, int model) {
        m_model.reset();
        m_model = std::make_unique<ModelScope>(model);
        const std::filesystem::path folder = model == 3 ? card.Root() : card.Root() / "Parameter";
        m_config = folder / "config.txt";
        m_clock = folder / "RTC_time.ini";
        WriteBytes(m_config, model == 3 ? "mic_on=1\nmotion=2\n" : "MIC Volume=1\r\nParking Motion=2\r\n");
        if (model == 3)
            AppendFileChecksum(m_config.string(), false);
        WriteBytes(m_clock, "2020 01 02 03 04 05");
        ASSERT_EQ(m_catalogue.LoadConfigFile(WideFromUtf8(m_config.string())), 1);
        m_editor.ReadConfig(0);
        m_editor.FillDriveList();
    }

    std::unique_ptr<ModelScope> m_model;
    std::filesystem::path m_config;
    std::filesystem::path m_clock;
    RecordingHost m_host;
    DataDirStruct m_catalogue;
    OptEditor m_editor{m_host};
};

TEST_F(OptCommandsTest, ApplyWritesThenHandsTheViewerSettingsToTheView) {
    CardVolume card(L'R', true);
    LoadCard(card, 1);
    m_editor.OnCommand(22087);
    m_editor.OnCommand(22090);
    m_editor.OnSlider(OptSlider::Mic, OptEditor::kScrollEnd, 0);
    m_host.calls.clear();
    m_editor.OnCommand(22007);
    EXPECT_EQ(m_host.calls, (std::vector<std::wstring>{L"unit 0", L"display 1", L"channels 1", L"arrange",
                                                       L"stop", L"play", L"hide"}));
    EXPECT_NE(ReadBytes(m_config).find("MIC Volume=0\r\n"), std::string::npos);
    EXPECT_TRUE(std::regex_match(ReadBytes(m_clock), std::regex("[0-9]{4}( [0-9]{2}){5}")));
}

TEST_F(OptCommandsTest, ApplyWithoutASettingsPathAsksForTheCard) {
    TestFolder prepared;
    struct Case {
        const char* what;
        bool browseGivesPath;
        bool prepareGivesPath;
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {"nothing chosen",
         false,
         false,
         {L"message #229", L"hide", L"browse", L"prepare", L"message #230", L"unit 0", L"display 0",
          L"channels 2", L"arrange", L"stop", L"play", L"hide"}},
        {"card prepared",
         false,
         true,
         {L"message #229", L"hide", L"browse", L"prepare", L"message #231", L"unit 0", L"display 0",
          L"channels 2", L"arrange", L"stop", L"play", L"hide"}},
        {"folder opened",
         true,
         false,
         {L"message #229", L"hide", L"browse", L"unit 0", L"display 0", L"channels 2", L"arrange", L"stop",
          L"play", L"hide"}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        DataDirStruct catalogue;
        OptEditor editor(host);
        editor.SetDataDirStruct(&catalogue);
        CIniFile::Record section;
        CIniFile::Record rear;
        rear.Key = "Rear Mirror";
        rear.Value = "1";
        host.defaults = {section, rear};
        const std::wstring path = prepared.Wide("config.txt");
        if (c.browseGivesPath)
            host.onBrowse = [&] { catalogue.SetConfigPath(path); };
        if (c.prepareGivesPath)
            host.onPrepare = [&] { catalogue.SetConfigPath(path); };
        editor.OnCommand(22007);
        EXPECT_EQ(host.calls, c.calls) << c.what;
        EXPECT_EQ(editor.Value(kRearMirror), c.prepareGivesPath ? 1 : 0) << c.what;
    }
}

TEST_F(OptCommandsTest, ClockFileIsFilledAndCompletedOnlyWhenWritten) {
    CardVolume card(L'R', true);
    LoadCard(card, 0);
    m_editor.OnCommand(22073);
    EXPECT_TRUE(std::regex_match(ReadBytes(m_config.parent_path() / "set_date_time"),
                                 std::regex("[0-9]{4}( [0-9]{2}){5}")));
    EXPECT_EQ(m_host.messages, std::vector<std::wstring>{L"Time has been completed"});

    m_host.messages.clear();
    std::filesystem::remove_all(m_config.parent_path());
    m_editor.OnCommand(22073);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_NE(m_host.messages[0].find(L"set_date_time"), std::wstring::npos);

    RecordingHost host;
    DataDirStruct catalogue;
    OptEditor editor(host);
    editor.SetDataDirStruct(&catalogue);
    editor.OnCommand(22073);
    EXPECT_EQ(host.messages, std::vector<std::wstring>{L"#229"});
}

TEST_F(OptCommandsTest, ModelChangeIsKeptOnlyWhenTheUserAgrees) {
    ModelScope model(1);
    WriteStoredModelIndex(-1);
    for (const int answer : {IDNO, IDYES}) {
        RecordingHost host;
        OptEditor editor(host);
        host.answers = {answer};
        editor.OnCommand(22100);
        EXPECT_EQ(host.messages, std::vector<std::wstring>{L"#238"});
        EXPECT_EQ(GetModelIndex(), answer == IDYES ? 3 : 1);
        EXPECT_EQ(ReadStoredModelIndex(), answer == IDYES ? 3 : -1);
        EXPECT_EQ(Contains(host.calls, L"close"), answer == IDYES);
        if (answer == IDNO) {
            EXPECT_TRUE(editor.IsChecked(22098));
            EXPECT_FALSE(editor.IsChecked(22100));
        }
    }
    WriteStoredModelIndex(-1);
}

TEST_F(OptCommandsTest, SlidersByModel) {
    struct Case {
        int model;
        OptSlider slider;
        int position;
        OptField field;
        int value;
        const wchar_t* label;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {0, OptSlider::ParkingMotion, 2, kParkingMotion, 2, L"2", {}},
        {3, OptSlider::ParkingMotion, 2, kParkingMotion, 40, L"40", {}},
        {3, OptSlider::ParkingMotion, 0, kParkingMotion, 0, L"OFF", {}},
        {0, OptSlider::NightBright, 5, kNightBright, 4, L"5", {}},
        {0, OptSlider::ParkEventRatio, 2, kParkEventRatio, 2, L"60%", {}},
        {3, OptSlider::ParkEventRatio, 2, kParkEventRatio, 0, L"20%", {L"#244"}},
        {0, OptSlider::DrivingAccelerator, 3, kDrivingModeAccelerator, 0, L"1", {}},
    };
    for (const Case& c : cases) {
        ModelScope model(c.model);
        RecordingHost host;
        OptEditor editor(host);
        const int before = editor.Value(c.field);
        editor.OnSlider(c.slider, 4, c.position);
        EXPECT_EQ(editor.Value(c.field), before) << "other scroll codes change nothing";
        editor.OnSlider(c.slider, OptEditor::kScrollThumbTrack, c.position);
        EXPECT_EQ(editor.Value(c.field), c.value) << c.model << " " << c.position;
        EXPECT_EQ(editor.Slider(c.slider).label, c.label) << c.model << " " << c.position;
        EXPECT_EQ(host.messages, c.messages) << c.model << " " << c.position;
    }
}

TEST_F(OptCommandsTest, DriveListHoldsRemovableVolumesAndSelectsTheSettingsVolume) {
    CardVolume removable(L'R', true);
    CardVolume fixed(L'S', false);
    CardVolume second(L'T', true);
    struct Case {
        const CardVolume* settingsOn;
        int selection;
    };
    const Case cases[] = {{&removable, 0}, {&fixed, 1}, {&second, 1}, {nullptr, 1}};
    for (const Case& c : cases) {
        RecordingHost host;
        DataDirStruct catalogue;
        OptEditor editor(host);
        editor.SetDataDirStruct(&catalogue);
        if (c.settingsOn != nullptr)
            catalogue.SetConfigPath(WideFromUtf8((c.settingsOn->Root() / "Parameter/config.txt").string()));
        editor.FillDriveList();
        const std::vector<std::wstring>& entries = editor.DriveEntries();
        // Other tests' or the machine's volumes may be listed too; these are in letter order.
        const auto r = std::find(entries.begin(), entries.end(), L"R: drive");
        ASSERT_NE(r, entries.end());
        ASSERT_TRUE(r + 1 != entries.end());
        EXPECT_EQ(*(r + 1), L"T: drive");
        EXPECT_FALSE(Contains(entries, L"S: drive"));
        if (c.settingsOn != nullptr) {
            EXPECT_EQ(editor.DriveSelection(), (r - entries.begin()) + c.selection);
        }
        if (c.settingsOn != &removable) {
            EXPECT_EQ(editor.DriveSelection(), static_cast<int>(entries.size()) - 1);
        }
    }
}

DWORD g_ticks = 0;
DWORD TestTicks() {
    return g_ticks;
}

TEST_F(OptCommandsTest, FormatProgressShowsEndsAlwaysAndTheRestAtMostEvery300Ms) {
    OptEditor::SetTickSource(&TestTicks);
    struct Step {
        DWORD ticks;
        int percent;
        int shown;
    };
    const Step steps[] = {{10000, 0, 0},   {10100, 5, 0},     {10299, 9, 0}, {10300, 10, 10},
                          {10400, 50, 10}, {10450, 100, 100}, {10460, 0, 0}, {10760, 30, 30}};
    for (const Step& step : steps) {
        g_ticks = step.ticks;
        OptEditor::FormatProgress(&m_editor, step.percent);
        EXPECT_EQ(m_editor.Slider(OptSlider::FormatProgress).position, step.shown) << step.ticks;
        EXPECT_EQ(m_editor.Slider(OptSlider::FormatProgress).label, std::to_wstring(step.shown))
            << step.ticks;
    }
    OptEditor::SetTickSource(nullptr);
}

TEST_F(OptCommandsTest, FormatPutsTheSettingsBackAndStampsOnlyASuccess) {
    TestFolder images;
    struct Case {
        int model;
        // "ok", "fail", "image", "blocked"; "moved": the card comes back under another mount point;
        // "unmounted": it cannot be mounted again. "fail ..." the same after a format that failed
        // once the card was unmounted.
        const char* result;
    };
    const Case cases[] = {{0, "ok"},        {0, "fail"},         {1, "ok"},
                          {2, "fail"},      {2, "image"},        {1, "blocked"},
                          {0, "moved"},     {3, "ok"},           {1, "unmounted"},
                          {0, "fail moved"}, {2, "fail unmounted"}};
    for (const Case& c : cases) {
        CardVolume card(L'R', true);
        TestFolder remounted;
        LoadCard(card, c.model);
        const std::string config = ReadBytes(m_config);
        const std::string clock = ReadBytes(m_clock);
        const std::string what = std::to_string(c.model) + " " + c.result;
        const std::string result = c.result;
        const bool success = result.rfind("fail", 0) != 0;
        const bool unmounted = result.find("unmounted") != std::string::npos;
        const bool moved = result.find("moved") != std::string::npos;
        m_host = RecordingHost();
        m_host.answers = {IDYES};
        m_host.format = [&](FormatProgressCallback callback, void* context) {
            EXPECT_EQ(m_host.calls.back(), L"format R 64") << what;
            EXPECT_TRUE(m_editor.IsFormatting());
            EmptyFolder(card.Root());
            if (result == "blocked")
                WriteBytes(card.Root() / "Parameter", "not a folder");
            if (result == "image") {
                const std::filesystem::path image = images / "card.img";
                std::ofstream(image, std::ios::binary).close();
                // Just above the smallest FAT32 volume with 64-sector clusters (65536 of them).
                std::filesystem::resize_file(image, 2049ull * 1024 * 1024);
                return FormatVolumeFat32(ImageFileVolume::Open(WideFromUtf8(image.string())), context, 64,
                                         callback);
            }
            std::optional<CardMount> mounted;
            if (moved || unmounted)
                mounted = CardMount{"sdr1", "/dev/sdr1", card.Root().string()};
            const bool formatted = FormatAndRemount(
                'R', mounted,
                [&] {
                    callback(context, 0);
                    callback(context, 100);
                    return success;
                },
                [&](const CardMount&) -> std::optional<std::string> {
                    if (unmounted)
                        return std::nullopt;
                    return remounted.Path().string();
                });
            return formatted ? CString() : CString(L"Failed to lock device");
        };
        m_editor.OnCommand(22075);
        if (c.model == 3) {
            EXPECT_EQ(m_host.messages, std::vector<std::wstring>{L"#245"}) << what;
            EXPECT_TRUE(m_host.calls.size() == 1) << what;
            EXPECT_EQ(ReadBytes(m_config), config) << what;
            continue;
        }
        ASSERT_GE(m_host.messages.size(), 2u) << what;
        EXPECT_EQ(m_host.messages[0], L"#236 'R'") << what;
        EXPECT_EQ(m_host.messages[1], success ? L"#235" : L"#237") << what;
        EXPECT_EQ(m_host.calls[1], L"stop") << what;
        EXPECT_FALSE(m_editor.IsFormatting()) << what;
        EXPECT_EQ(m_editor.Slider(OptSlider::FormatProgress).label, L"100") << what;
        if (result == "blocked" || unmounted) {
            // Nothing could be put back, and the user is told so for each file; nothing lands in the
            // bare folder the card was mounted on.
            EXPECT_EQ(m_host.messages.size(), success ? 5u : 4u) << what;
            EXPECT_FALSE(std::filesystem::exists(m_config)) << what;
            if (unmounted) {
                EXPECT_TRUE(std::filesystem::is_empty(card.Root())) << what;
            }
            continue;
        }
        EXPECT_EQ(m_host.messages.size(), 2u) << what;
        if (result == "image") {
            const auto fsck = FindTool("fsck.fat");
            ASSERT_TRUE(fsck) << "fsck.fat (dosfstools) is not installed";
            const ToolRun check = RunTool({*fsck, "-n", (images / "card.img").string()});
            EXPECT_EQ(check.exitCode, 0) << check.output;
        }
        const std::filesystem::path root = moved ? remounted.Path() : card.Root();
        const std::filesystem::path configPath = root / m_config.lexically_relative(card.Root());
        EXPECT_EQ(ReadBytes(configPath), config) << what;
        EXPECT_EQ(ReadBytes(root / m_clock.lexically_relative(card.Root())), clock) << what;
        if (moved) {
            EXPECT_TRUE(std::filesystem::is_empty(card.Root())) << what;
        }
        const std::filesystem::path stamp = configPath.parent_path() / "SD_format_time.ini";
        EXPECT_EQ(std::filesystem::exists(stamp), success) << what;
        if (success) {
            EXPECT_TRUE(std::regex_match(ReadBytes(stamp), std::regex("Format Time=[0-9]{14}"))) << what;
        }
    }
}

TEST_F(OptCommandsTest, FormatNeedsASelectedDriveAndAYes) {
    CardVolume card(L'R', true);
    LoadCard(card, 0);
    m_host.format = [](FormatProgressCallback, void*) { return CString(); };
    m_host.answers = {IDNO};
    m_editor.OnCommand(22075);
    EXPECT_EQ(m_host.messages, std::vector<std::wstring>{L"#236 'R'"});
    m_editor.SelectDrive(-1);
    m_editor.OnCommand(22075);
    m_editor.OnCommand(22079);
    EXPECT_EQ(m_host.messages.size(), 1u);
    EXPECT_FALSE(std::any_of(m_host.calls.begin(), m_host.calls.end(),
                             [](const std::wstring& call) { return call.rfind(L"format", 0) == 0; }));
}

TEST_F(OptCommandsTest, PartitionChangeFormatsWithoutAskingOnlyTheSettingsCard) {
    CardVolume card(L'R', true);
    CardVolume other(L'T', true);
    TestFolder plain;
    struct Case {
        const char* what;
        bool onCard;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {"settings on the card", true, {L"#243", L"#235"}},
        {"settings elsewhere", false, {L"#243", L"#236 'T'"}},
    };
    for (const Case& c : cases) {
        LoadCard(card, 1);
        if (!c.onCard) {
            WriteBytes(plain / "config.txt", "Memory Partition=0\r\n");
            m_catalogue.LoadConfigFile(plain.Wide("config.txt"));
            m_editor.ReadConfig(0);
        }
        m_host = RecordingHost();
        m_host.answers = {IDYES, IDNO};
        m_host.format = [](FormatProgressCallback, void*) { return CString(); };
        m_editor.OnCommand(c.onCard ? 22047 : 22049);
        m_editor.OnCommand(22008);
        EXPECT_EQ(std::vector<std::wstring>(m_host.messages.begin(), m_host.messages.begin() + 2), c.messages)
            << c.what;
        EXPECT_EQ(m_editor.Page(), 4) << c.what;
        EXPECT_EQ(Contains(m_host.calls, L"format R 64"), c.onCard) << c.what;
        EXPECT_FALSE(Contains(m_host.calls, L"format T 64")) << c.what;
    }
}

TEST_F(OptCommandsTest, PartitionChangeAnsweredNoRestoresTheLoadedValues) {
    CardVolume card(L'R', true);
    LoadCard(card, 0);
    m_editor.OnCommand(22049);
    m_editor.OnSlider(OptSlider::ParkEventRatio, OptEditor::kScrollEnd, 2);
    m_host.answers = {IDNO};
    m_editor.OnCommand(22008);
    EXPECT_EQ(m_host.messages.front(), L"#243");
    EXPECT_EQ(m_editor.Value(kMemoryPartition), 0);
    EXPECT_EQ(m_editor.Value(kParkEventRatio), 0);
    EXPECT_NE(ReadBytes(m_config).find("Memory Partition=0\r\n"), std::string::npos);
}

TEST_F(OptCommandsTest, PagesAndRefusalsOnModelThree) {
    ModelScope model(3);
    for (int page = 1; page <= 5; ++page) {
        m_editor.OnCommand(22001 + static_cast<UINT>(page));
        EXPECT_EQ(m_editor.Page(), page);
        for (int tab = 1; tab <= 5; ++tab)
            EXPECT_EQ(m_editor.IsPageTabChecked(tab), tab == page);
    }
    m_editor.OnShow();
    EXPECT_EQ(m_editor.Page(), 1);
    m_editor.OnCommand(22049);
    EXPECT_EQ(m_host.messages, std::vector<std::wstring>{L"#244"});
    EXPECT_EQ(m_editor.Value(kMemoryPartition), 0);
    EXPECT_TRUE(m_editor.IsChecked(22046));
    m_editor.OnCommand(22012);
    EXPECT_EQ(m_host.calls.back(), L"hide");
}

} // namespace

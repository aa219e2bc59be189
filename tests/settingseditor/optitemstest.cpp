// The settings editor's items: the key sets per model, how values reach the controls and come
// back, and what a save leaves in config.txt.
#include "settingseditortestsupport.h"

#include "support/testfolder.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/catalogue/inifile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::wstring> Keys(const std::vector<const OptItem*>& rows, int model) {
    std::vector<std::wstring> keys;
    for (const OptItem* row : rows)
        keys.push_back(OptKeyFor(*row, model));
    return keys;
}

TEST(OptItemsTest, KeySetsAndOrdersPerModel) {
    const std::vector<OptItem>& items = OptItems();
    ASSERT_EQ(items.size(), static_cast<size_t>(kOptFieldCount));
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].field, static_cast<OptField>(i));

    const std::vector<std::wstring> longRead = {L"Driving Mode FrameF",
                                                L"Driving Mode Accelerator",
                                                L"MIC Volume",
                                                L"Sharpness",
                                                L"Night Bright",
                                                L"Rear Mirror",
                                                L"Parking ResolutionF",
                                                L"Parking Accelerator",
                                                L"Parking Motion",
                                                L"CUT OFF VOL",
                                                L"ACC Time",
                                                L"Memory Partition",
                                                L"ParkEventRatio",
                                                L"GPS Speed Display",
                                                L"Speaker Volume",
                                                L"Time zone",
                                                L"Screen Saver Time",
                                                L"PIP Mode",
                                                L"Bit rate"};
    const std::vector<std::wstring> modelZeroWrite = {L"Rear Mirror",
                                                      L"PIP Mode",
                                                      L"Screen Saver Time",
                                                      L"CUT OFF VOL",
                                                      L"ACC Time",
                                                      L"Time zone",
                                                      L"ParkEventRatio",
                                                      L"Memory Partition",
                                                      L"GPS Speed Display",
                                                      L"MIC Volume",
                                                      L"Parking Mode FrameR",
                                                      L"Parking Mode FrameF",
                                                      L"Driving Mode FrameR",
                                                      L"Driving Mode FrameF",
                                                      L"Sharpness",
                                                      L"Bit rate",
                                                      L"Speaker Volume",
                                                      L"Night Bright",
                                                      L"Parking Motion",
                                                      L"Parking Accelerator",
                                                      L"Driving Mode Accelerator",
                                                      L"Parking ResolutionR",
                                                      L"Parking ResolutionF",
                                                      L"Driving ResolutionR",
                                                      L"Driving ResolutionF"};
    const std::vector<std::wstring> modelOneWrite = {
        L"Rear Mirror",       L"PIP Mode",       L"Screen Saver Time",   L"CUT OFF VOL",
        L"ACC Time",          L"Time zone",      L"ParkEventRatio",      L"Memory Partition",
        L"GPS Speed Display", L"MIC Volume",     L"Sharpness",           L"Bit rate",
        L"Speaker Volume",    L"Parking Motion", L"Parking Accelerator", L"Driving Mode Accelerator"};
    std::vector<std::wstring> modelTwoWrite = modelOneWrite;
    modelTwoWrite.erase(modelTwoWrite.begin() + 10, modelTwoWrite.begin() + 12);
    const std::vector<std::wstring> modelOneRead = {L"Driving Mode Accelerator",
                                                    L"MIC Volume",
                                                    L"Sharpness",
                                                    L"Rear Mirror",
                                                    L"Parking Accelerator",
                                                    L"Parking Motion",
                                                    L"CUT OFF VOL",
                                                    L"ACC Time",
                                                    L"Memory Partition",
                                                    L"ParkEventRatio",
                                                    L"GPS Speed Display",
                                                    L"Speaker Volume",
                                                    L"Time zone",
                                                    L"Screen Saver Time",
                                                    L"PIP Mode",
                                                    L"Bit rate"};
    std::vector<std::wstring> modelTwoRead = modelOneRead;
    modelTwoRead.erase(modelTwoRead.begin() + 2);
    modelTwoRead.pop_back();

    EXPECT_EQ(Keys(OptItemsRead(0), 0), longRead);
    EXPECT_EQ(Keys(OptItemsRead(1), 1), modelOneRead);
    EXPECT_EQ(Keys(OptItemsRead(2), 2), modelTwoRead);
    EXPECT_EQ(Keys(OptItemsRead(3), 3),
              (std::vector<std::wstring>{L"lcd_off", L"mic_on", L"speak_on", L"gsensor", L"motion",
                                         L"cut_off", L"parking_timer", L"timezone"}));
    EXPECT_EQ(Keys(OptItemsWritten(0), 0), modelZeroWrite);
    EXPECT_EQ(Keys(OptItemsWritten(1), 1), modelOneWrite);
    EXPECT_EQ(Keys(OptItemsWritten(2), 2), modelTwoWrite);
    EXPECT_EQ(Keys(OptItemsWritten(3), 3), (std::vector<std::wstring>{L"mic_on", L"speak_on", L"gsensor",
                                                                      L"motion", L"cut_off", L"timezone"}));
    EXPECT_TRUE(OptItemsRead(4).empty());
}

TEST(OptItemsTest, NoModelWritesAKeyItNeitherReadNorDerived) {
    const std::set<OptField> derived = {kDrivingResolutionF, kDrivingResolutionR, kDrivingModeFrameR,
                                        kParkingResolutionR, kParkingModeFrameF,  kParkingModeFrameR};
    for (int model = 0; model < 4; ++model) {
        std::set<OptField> read;
        for (const OptItem* row : OptItemsRead(model))
            read.insert(row->field);
        for (const OptItem* row : OptItemsWritten(model))
            EXPECT_TRUE(read.count(row->field) != 0 || (model == 0 && derived.count(row->field) != 0))
                << model << " writes " << testing::PrintToString(std::wstring(OptKeyFor(*row, model)));
    }
}

TEST(OptItemsTest, TextToNumber) {
    const std::pair<const wchar_t*, int> cases[] = {{L" 12x", 12},
                                                    {L"abc", 0},
                                                    {L"-1", -1},
                                                    {L"+7", 7},
                                                    {L"", 0},
                                                    {nullptr, 0},
                                                    {L"\t 3 4", 3},
                                                    {L"99999999999", 2147483647},
                                                    {L"-99999999999", -2147483647 - 1},
                                                    {L"- 5", 0}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(OptTextToInt(text), value) << (text != nullptr ? Utf8FromWide(text) : "null");
}

class OptConfigTest : public testing::Test {
  protected:
    // Loads the text as the card's config.txt for the model and reads it into the editor.
    void Load(int model, const std::string& text) {
        m_model.reset();
        m_model = std::make_unique<ModelScope>(model);
        m_path = m_card / (model == 3 ? "config.txt" : "Parameter/config.txt");
        WriteBytes(m_path, text);
        if (model == 3)
            AppendFileChecksum(m_path.string(), false);
        m_original = ReadBytes(m_path);
        ASSERT_EQ(m_catalogue.LoadConfigFile(WideFromUtf8(m_path.string())), 1);
        m_editor.SetDataDirStruct(&m_catalogue);
        m_editor.ReadConfig(0);
    }

    std::map<std::string, std::string> SavedValues() {
        m_editor.WriteConfig();
        std::vector<CIniFile::Record> records;
        CIniFile::Load(m_path.string(), records, 0);
        std::map<std::string, std::string> values;
        for (const CIniFile::Record& record : records)
            if (!record.Key.empty())
                values[record.Key] = record.Value;
        return values;
    }

    TestFolder m_card;
    std::filesystem::path m_path;
    std::string m_original;
    std::unique_ptr<ModelScope> m_model;
    RecordingHost m_host;
    DataDirStruct m_catalogue;
    OptEditor m_editor{m_host};
};

const char* const kModelZero =
    "# recorder settings\r\nDriving ResolutionF=0\r\nDriving ResolutionR=1\r\nDriving Mode FrameF=1\r\n"
    "Driving Mode FrameR=3\r\nDriving Mode Accelerator=2\r\nMIC Volume=1\r\nSharpness=3\r\nNight Bright=4\r\n"
    "Bit rate=7\r\nRear Mirror=1\r\nParking ResolutionF=1\r\nParking ResolutionR=1\r\nParking Mode "
    "FrameF=2\r\n"
    "Parking Mode FrameR=2\r\nParking Accelerator=2\r\nParking Motion=3\r\nCUT OFF VOL=2\r\nACC Time=0\r\n"
    "Memory Partition=2\r\nParkEventRatio=1\r\nGPS Speed Display=1\r\nSpeaker Volume=1\r\nTime zone=1\r\n"
    "Screen Saver Time=2\r\nPIP Mode=1\r\nFirmware Option=abc\r\n";
const char* const kModelOne =
    "Driving Mode Accelerator=9\r\nMIC Volume=1\r\nSharpness=4\r\nBit rate=5\r\nRear Mirror=1\r\n"
    "Parking Accelerator=4\r\nParking Motion=0\r\nCUT OFF VOL=0\r\nACC Time=3\r\nMemory Partition=1\r\n"
    "ParkEventRatio=2\r\nGPS Speed Display=0\r\n; tuned at the factory\r\nSpeaker Volume=0\r\nTime zone=0\r\n"
    "Screen Saver Time=1\r\nPIP Mode=0\r\nUnknown=x y\r\n";
const char* const kModelTwo =
    "Driving Mode Accelerator=0\r\nMIC Volume=0\r\nRear Mirror=0\r\nParking Accelerator=1\r\n"
    "Parking Motion=4\r\nCUT OFF VOL=1\r\nACC Time=0\r\nMemory Partition=0\r\nParkEventRatio=0\r\n"
    "GPS Speed Display=1\r\nSpeaker Volume=1\r\nTime zone=1\r\nScreen Saver Time=0\r\nPIP Mode=1\r\n";
const char* const kModelThree = "lcd_off=3\nmic_on=1\nspeak_on=0\ngsensor=2\nmotion=1\ncut_off=2\nparking_"
                                "timer=12\ntimezone=1\nextra=9\n";

TEST_F(OptConfigTest, ReadAndSavedUnchangedGivesTheSameBytes) {
    const std::pair<int, const char*> cases[] = {
        {0, kModelZero}, {1, kModelOne}, {2, kModelTwo}, {3, kModelThree}};
    for (const auto& [model, text] : cases) {
        Load(model, text);
        m_editor.WriteConfig();
        EXPECT_EQ(ReadBytes(m_path), m_original) << "model " << model;
    }
}

TEST_F(OptConfigTest, EachChangedControlChangesExactlyItsKeys) {
    struct Case {
        int model;
        const char* text;
        std::function<void(OptEditor&)> change;
        std::map<std::string, std::string> changed;
    };
    const auto command = [](UINT id) { return [id](OptEditor& editor) { editor.OnCommand(id); }; };
    const auto slide = [](OptSlider slider, int position) {
        return [=](OptEditor& editor) { editor.OnSlider(slider, OptEditor::kScrollEnd, position); };
    };
    const Case cases[] = {
        {0, kModelZero, command(22051), {{"Driving Mode FrameF", "2"}, {"Driving Mode FrameR", "2"}}},
        {0,
         kModelZero,
         command(22019),
         {{"Driving Mode FrameF", "0"}, {"Driving Mode FrameR", "0"}, {"Driving ResolutionF", "1"}}},
        {0,
         kModelZero,
         command(22032),
         {{"Parking ResolutionF", "0"}, {"Parking Mode FrameF", "1"}, {"Parking Mode FrameR", "3"}}},
        {0, kModelZero, command(22028), {{"Rear Mirror", "0"}}},
        {0, kModelZero, command(22038), {{"CUT OFF VOL", "1"}}},
        {0, kModelZero, command(22044), {{"CUT OFF VOL", "0"}, {"ACC Time", "2"}}},
        {0, kModelZero, command(22046), {{"Memory Partition", "0"}}},
        {0, kModelZero, command(22052), {{"GPS Speed Display", "0"}}},
        {0, kModelZero, command(22063), {{"Screen Saver Time", "0"}}},
        {0, kModelZero, command(22067), {{"PIP Mode", "0"}}},
        {0, kModelZero, slide(OptSlider::DrivingAccelerator, 1), {{"Driving Mode Accelerator", "0"}}},
        {0, kModelZero, slide(OptSlider::DrivingAccelerator, 0), {{"Driving Mode Accelerator", "9"}}},
        {0, kModelZero, slide(OptSlider::Mic, 0), {{"MIC Volume", "0"}}},
        {0, kModelZero, slide(OptSlider::Sharpness, 0), {{"Sharpness", "0"}}},
        {0, kModelZero, slide(OptSlider::NightBright, 1), {{"Night Bright", "0"}}},
        {0, kModelZero, slide(OptSlider::ParkingAccelerator, 5), {{"Parking Accelerator", "4"}}},
        {0, kModelZero, slide(OptSlider::ParkingMotion, 1), {{"Parking Motion", "1"}}},
        {0, kModelZero, slide(OptSlider::ParkEventRatio, 2), {{"ParkEventRatio", "2"}}},
        {0, kModelZero, slide(OptSlider::Speaker, 0), {{"Speaker Volume", "0"}}},
        {0, kModelZero, [](OptEditor& editor) { editor.OnTimeZoneChanged(0); }, {{"Time zone", "0"}}},
        {1, kModelOne, slide(OptSlider::DrivingAccelerator, 2), {{"Driving Mode Accelerator", "1"}}},
        {1, kModelOne, command(22065), {{"Screen Saver Time", "2"}}},
        {2, kModelTwo, command(22039), {{"ACC Time", "1"}, {"CUT OFF VOL", "0"}}},
        {3, kModelThree, command(22201 - 1), {{"mic_on", "0"}}},
        {3, kModelThree, command(22203), {{"speak_on", "1"}}},
        {3, kModelThree, command(22204), {{"gsensor", "0"}}},
        {3, kModelThree, command(22209), {{"motion", "2"}}},
        {3, kModelThree, command(22037), {{"cut_off", "0"}}},
    };
    for (const Case& c : cases) {
        Load(c.model, c.text);
        std::map<std::string, std::string> expected = SavedValues();
        c.change(m_editor);
        for (const auto& [key, value] : c.changed)
            expected[key] = value;
        EXPECT_EQ(SavedValues(), expected)
            << "model " << c.model << ", first key " << c.changed.begin()->first;
    }
}

TEST_F(OptConfigTest, AcceleratorScaleOneMappingBothWays) {
    struct Case {
        int value;
        int drivingPosition, drivingField;
        const wchar_t* drivingLabel;
        int parkingPosition, parkingField;
        const wchar_t* parkingLabel;
    };
    const Case cases[] = {
        {-3, 1, 0, L"1", 1, 0, L"1"}, {0, 1, 0, L"1", 1, 0, L"1"}, {1, 2, 1, L"2", 2, 1, L"2"},
        {4, 2, 4, L"5", 5, 4, L"5"},  {7, 2, 4, L"5", 5, 4, L"5"}, {9, 0, 9, L"0", 5, 4, L"5"},
    };
    for (const Case& c : cases) {
        const std::string value = std::to_string(c.value);
        Load(1, "Driving Mode Accelerator=" + value + "\r\nParking Accelerator=" + value + "\r\n");
        EXPECT_EQ(m_editor.Slider(OptSlider::DrivingAccelerator).position, c.drivingPosition) << c.value;
        EXPECT_EQ(m_editor.Slider(OptSlider::DrivingAccelerator).label, c.drivingLabel) << c.value;
        EXPECT_EQ(m_editor.Slider(OptSlider::ParkingAccelerator).position, c.parkingPosition) << c.value;
        EXPECT_EQ(m_editor.Slider(OptSlider::ParkingAccelerator).label, c.parkingLabel) << c.value;
        const std::map<std::string, std::string> saved = SavedValues();
        EXPECT_EQ(saved.at("Driving Mode Accelerator"), std::to_string(c.drivingField)) << c.value;
        EXPECT_EQ(saved.at("Parking Accelerator"), std::to_string(c.parkingField)) << c.value;
        // The slider handler keeps the same scale: one below the position, 0 the off code.
        m_editor.OnSlider(OptSlider::DrivingAccelerator, OptEditor::kScrollThumbTrack, c.drivingPosition);
        EXPECT_EQ(m_editor.Value(kDrivingModeAccelerator),
                  c.value == 9 ? 9 : std::min(c.drivingPosition - 1, 4))
            << c.value;
    }
}

TEST_F(OptConfigTest, LabelsAndControlsShownOnReading) {
    struct Case {
        const char* line;
        OptSlider slider;
        int position;
        const wchar_t* label;
    };
    const Case cases[] = {
        {"Parking Motion=6", OptSlider::ParkingMotion, 4, L"2"},
        {"Parking Motion=0", OptSlider::ParkingMotion, 0, L"OFF"},
        {"Parking Motion=4", OptSlider::ParkingMotion, 4, L"4"},
        {"Sharpness=0", OptSlider::Sharpness, 0, L"1"},
        {"Sharpness=4", OptSlider::Sharpness, 4, L"5"},
        {"Night Bright=2", OptSlider::NightBright, 3, L"3"},
        {"MIC Volume=0", OptSlider::Mic, 0, L"0"},
        {"Speaker Volume=1", OptSlider::Speaker, 1, L"1"},
        {"ParkEventRatio=1", OptSlider::ParkEventRatio, 1, L"40%"},
    };
    for (const Case& c : cases) {
        Load(0, std::string(c.line) + "\r\n");
        EXPECT_EQ(m_editor.Slider(c.slider).position, c.position) << c.line;
        EXPECT_EQ(m_editor.Slider(c.slider).label, c.label) << c.line;
    }
}

TEST_F(OptConfigTest, MissingKeysReadAsZeroAndNewKeysLandAfterTheSectionRecord) {
    Load(2, "Other=1\r\n");
    EXPECT_EQ(m_editor.Value(kRearMirror), 0);
    EXPECT_TRUE(m_editor.IsChecked(22028));
    m_editor.WriteConfig();
    const std::string saved = ReadBytes(m_path);
    // Each new key goes directly after the section's own record, so the set order comes out reversed.
    EXPECT_EQ(saved.rfind("Driving Mode Accelerator=0\r\nParking Accelerator=0\r\nParking Motion=0\r\n", 0),
              0u)
        << saved;
    EXPECT_NE(saved.find("Rear Mirror=0\r\nOther=1\r\n"), std::string::npos) << saved;
}

TEST_F(OptConfigTest, ClockFileBesideTheSettingsFileForLongKeySetsOnly) {
    Load(1, kModelOne);
    m_editor.WriteConfig();
    const std::filesystem::path clock = m_path.parent_path() / "RTC_time.ini";
    EXPECT_TRUE(std::regex_match(ReadBytes(clock), std::regex("[0-9]{4}( [0-9]{2}){5}")));

    Load(3, kModelThree);
    m_editor.WriteConfig();
    EXPECT_FALSE(std::filesystem::exists(m_path.parent_path() / "RTC_time.ini"));
    const std::string saved = ReadBytes(m_path);
    EXPECT_NE(saved.find("lcd_off=3\n"), std::string::npos);
    EXPECT_TRUE(VerifyFileChecksum(m_path.string()));
}

TEST(OptSettersTest, DrivingAndParkingQualityByModel) {
    struct Case {
        int model;
        const wchar_t* text;
        std::array<int, 4> driving;  // ResolutionF, ResolutionR, FrameF, FrameR
        std::array<bool, 3> buttons; // 22019, 22014, 22051
    };
    const Case cases[] = {
        {0, L"0", {1, 1, 0, 0}, {true, false, false}}, {0, L"1", {0, 1, 1, 3}, {false, true, false}},
        {0, L"2", {0, 1, 2, 2}, {false, false, true}}, {0, L"7", {0, 0, 7, 0}, {false, false, false}},
        {0, L"x", {1, 1, 0, 0}, {true, false, false}}, {1, L"1", {0, 1, 1, 3}, {false, true, false}},
        {3, L"2", {0, 1, 2, 2}, {false, true, false}},
    };
    for (const Case& c : cases) {
        ModelScope model(c.model);
        RecordingHost host;
        OptEditor editor(host);
        editor.SetDrivingQuality(c.text);
        EXPECT_EQ((std::array<int, 4>{editor.Value(kDrivingResolutionF), editor.Value(kDrivingResolutionR),
                                      editor.Value(kDrivingModeFrameF), editor.Value(kDrivingModeFrameR)}),
                  c.driving)
            << c.model << " " << Utf8FromWide(c.text);
        EXPECT_EQ(
            (std::array<bool, 3>{editor.IsChecked(22019), editor.IsChecked(22014), editor.IsChecked(22051)}),
            c.buttons)
            << c.model << " " << Utf8FromWide(c.text);
        editor.SetParkingQuality(c.text);
        if (OptTextToInt(c.text) == 1) {
            EXPECT_EQ(editor.Value(kParkingModeFrameF), 2);
            EXPECT_EQ(editor.IsChecked(22033), true);
        }
        if (OptTextToInt(c.text) == 0 && c.model == 0) {
            EXPECT_EQ(editor.Value(kParkingModeFrameR), 3);
            EXPECT_TRUE(editor.IsChecked(22032));
            EXPECT_FALSE(editor.IsChecked(22033));
        }
    }
}

TEST(OptSettersTest, MemoryPartitionShowsTheRatioSliderWithoutChangingTheRatio) {
    struct Case {
        const wchar_t* text;
        bool visible;
        const wchar_t* label;
        std::array<bool, 3> buttons; // 22046, 22047, 22049
    };
    const Case cases[] = {
        {L"0", false, L"OFF", {true, false, false}},    {L"1", true, L"20%", {false, true, false}},
        {L"2", true, L"20%", {false, false, true}},     {L"5", true, L"40%", {false, true, false}},
        {nullptr, false, L"OFF", {true, false, false}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        OptEditor editor(host);
        editor.SetValue(kParkEventRatio, 1);
        editor.OnSlider(OptSlider::ParkEventRatio, OptEditor::kScrollEnd, 1);
        editor.SetMemoryPartition(c.text);
        const std::string what = c.text != nullptr ? Utf8FromWide(c.text) : "null";
        EXPECT_EQ(editor.Slider(OptSlider::ParkEventRatio).visible, c.visible) << what;
        EXPECT_EQ(editor.Slider(OptSlider::ParkEventRatio).label, c.label) << what;
        EXPECT_EQ(
            (std::array<bool, 3>{editor.IsChecked(22046), editor.IsChecked(22047), editor.IsChecked(22049)}),
            c.buttons)
            << what;
        EXPECT_EQ(editor.Value(kParkEventRatio), 1) << what;
    }
}

TEST(OptSettersTest, ChoiceGroupsCheckTheirValuesButton) {
    struct Case {
        int model;
        void (OptEditor::*setter)(const wchar_t*);
        const wchar_t* text;
        std::vector<UINT> checked;
        std::vector<UINT> unchecked;
    };
    const Case cases[] = {
        {3, &OptEditor::SetScreenSaverTime, L"0", {22063}, {22064, 22065}},
        {3, &OptEditor::SetScreenSaverTime, L"60", {22064}, {22063, 22065}},
        {3, &OptEditor::SetScreenSaverTime, L"119", {22064}, {22063, 22065}},
        {3, &OptEditor::SetScreenSaverTime, L"120", {22065}, {22063, 22064}},
        {3, &OptEditor::SetScreenSaverTime, L"180", {22063}, {22064, 22065}},
        {1, &OptEditor::SetScreenSaverTime, L"2", {22065}, {22063, 22064}},
        {1, &OptEditor::SetScreenSaverTime, L"60", {22063}, {22064, 22065}},
        {0, &OptEditor::SetAccTime, L"0", {}, {22039, 22044, 22045, 22048}},
        {0, &OptEditor::SetAccTime, L"4", {22048}, {22039, 22044, 22045}},
        {0, &OptEditor::SetAccTime, L"7", {}, {22039, 22044, 22045, 22048}},
        {0, &OptEditor::SetGpsSpeedDisplay, L"5", {22052}, {22053}},
        {0, &OptEditor::SetGpsSpeedDisplay, L"1", {22053}, {22052}},
        {0, &OptEditor::SetCutOffVoltage, L"2", {22074}, {22037, 22038}},
        {3, &OptEditor::SetGsensor, L"8", {22204}, {22205, 22206}},
        {3, &OptEditor::SetMotion, L"2", {22209}, {22207, 22208}},
        {0, &OptEditor::SetMicOn, L"1", {22201}, {22200}},
        {0, &OptEditor::SetUnitOfSpeed, L"7", {22085}, {22086}},
        {0, &OptEditor::SetNumberOfChannel, L"1", {22087}, {22088}},
        {0, &OptEditor::Set1ChannelDisplay, L"3", {22090}, {22089}},
    };
    for (const Case& c : cases) {
        ModelScope model(c.model);
        RecordingHost host;
        OptEditor editor(host);
        (editor.*c.setter)(c.text);
        for (UINT id : c.checked)
            EXPECT_TRUE(editor.IsChecked(id)) << id << " " << Utf8FromWide(c.text);
        for (UINT id : c.unchecked)
            EXPECT_FALSE(editor.IsChecked(id)) << id << " " << Utf8FromWide(c.text);
    }
    RecordingHost host;
    OptEditor editor(host);
    editor.SetScreenSaverTime(L"120");
    EXPECT_EQ(editor.Value(kScreenSaverTime), 120);
    editor.SetTimeZone(L"5");
    EXPECT_EQ(editor.TimeZoneSelection(), -1);
    editor.SetTimeZone(L"1");
    EXPECT_EQ(editor.TimeZoneSelection(), 1);
}

} // namespace

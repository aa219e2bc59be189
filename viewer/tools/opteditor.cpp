#include "viewer/tools/opteditor.h"

#include "platform/base/codepage.h"
#include "platform/base/drivetable.h"
#include "platform/base/timing.h"
#include "platform/base/unicode.h"
#include "platform/base/windowsystem.h"
#include "viewer/catalogue/cardsettings.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/ui/rearcamsync.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>

namespace {

constexpr DWORD kProgressInterval = 300;
DWORD g_lastProgressTick = 0;
OptEditor::TickSource g_tickSource = nullptr;

DWORD ProgressTicks() {
    return g_tickSource != nullptr ? g_tickSource() : GetTickCount();
}

std::wstring Number(int value) {
    CString text;
    text.Format(L"%d", value);
    return text.GetString();
}

std::wstring WithoutEvery(std::wstring text, const std::wstring& part) {
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at))
        text.erase(at, part.size());
    return text;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The path of a file on the card behind a drive letter, for the card-root-relative path given.
std::wstring CardPath(wchar_t letter, const std::wstring& below) {
    std::wstring windows{letter, L':'};
    for (wchar_t c : below)
        windows += c == L'/' ? L'\\' : c;
    return TranslatePath(windows);
}

const wchar_t* const kMotionLabels[] = {L"OFF", L"1", L"2", L"3", L"4"};
const wchar_t* const kRatioLabels[] = {L"20%", L"40%", L"60%"};

} // namespace

struct OptEditor::Command {
    UINT first;
    UINT last;
    // Either a setter with the text of the id's place in texts, or an action given the id.
    void (OptEditor::*setter)(const wchar_t*);
    std::vector<const wchar_t*> texts;
    void (OptEditor::*action)(UINT);
    // Runs after the setter with the text of the id's place (cut-off and ACC time exclude each other).
    void (OptEditor::*then)(const wchar_t*);
    std::vector<const wchar_t*> thenTexts;
};

const std::vector<OptEditor::Command>& OptEditor::Commands() {
    using E = OptEditor;
    static const std::vector<Command> commands = {
        {22002, 22006, nullptr, {}, &E::PageCommand, nullptr, {}},
        {22007, 22007, nullptr, {}, &E::Apply, nullptr, {}},
        {22008, 22008, nullptr, {}, &E::CheckPartitionChange, nullptr, {}},
        {22009, 22009, nullptr, {}, &E::SaveSettingsFileAs, nullptr, {}},
        {22010, 22010, nullptr, {}, &E::ReloadDefaults, nullptr, {}},
        {22011, 22012, nullptr, {}, &E::Hide, nullptr, {}},
        {22014, 22014, &E::SetDrivingQuality, {L"1"}, nullptr, nullptr, {}},
        {22051, 22051, &E::SetDrivingQuality, {L"2"}, nullptr, nullptr, {}},
        {22019, 22019, &E::SetDrivingQuality, {L"0"}, nullptr, nullptr, {}},
        {22028, 22029, &E::SetRearMirror, {L"0", L"1"}, nullptr, nullptr, {}},
        {22032, 22033, &E::SetParkingQuality, {L"0", L"1"}, nullptr, nullptr, {}},
        {22034, 22036, &E::SetCutOffVoltage, {L"0", L"1", L"2"}, nullptr, &E::SetAccTime, {L"0", L"0", L"0"}},
        {22037, 22038, &E::SetCutOffVoltage, {L"0", L"1"}, nullptr, &E::SetAccTime, {L"0", L"0"}},
        {22074, 22074, &E::SetCutOffVoltage, {L"2"}, nullptr, &E::SetAccTime, {L"0"}},
        {22039, 22039, &E::SetCutOffVoltage, {L"0"}, nullptr, &E::SetAccTime, {L"1"}},
        {22044, 22045, &E::SetCutOffVoltage, {L"0", L"0"}, nullptr, &E::SetAccTime, {L"2", L"3"}},
        {22048, 22048, &E::SetCutOffVoltage, {L"0"}, nullptr, &E::SetAccTime, {L"4"}},
        {22046, 22047, nullptr, {}, &E::MemoryPartitionCommand, nullptr, {}},
        {22049, 22049, nullptr, {}, &E::MemoryPartitionCommand, nullptr, {}},
        {22052, 22053, &E::SetGpsSpeedDisplay, {L"0", L"1"}, nullptr, nullptr, {}},
        {22063, 22065, &E::SetScreenSaverTime, {L"0", L"1", L"2"}, nullptr, nullptr, {}},
        {22067, 22068, &E::SetPipMode, {L"0", L"1"}, nullptr, nullptr, {}},
        {22073, 22073, nullptr, {}, &E::WriteClockFile, nullptr, {}},
        {22075, 22075, nullptr, {}, &E::FormatCommand, nullptr, {}},
        {22079, 22079, nullptr, {}, &E::FormatCommand, nullptr, {}},
        {22083, 22084, nullptr, {}, &E::RearOffsetCommand, nullptr, {}},
        {22085, 22086, nullptr, {}, &E::UnitCommand, nullptr, {}},
        {22087, 22088, &E::SetNumberOfChannel, {L"1", L"2"}, nullptr, nullptr, {}},
        {22089, 22090, &E::Set1ChannelDisplay, {L"0", L"1"}, nullptr, nullptr, {}},
        {22092, 22092, nullptr, {}, &E::LoadSettingsFile, nullptr, {}},
        {22097, 22100, nullptr, {}, &E::ModelCommand, nullptr, {}},
        {22200, 22201, &E::SetMicOn, {L"0", L"1"}, nullptr, nullptr, {}},
        {22202, 22203, &E::SetSpeakerOn, {L"0", L"1"}, nullptr, nullptr, {}},
        {22204, 22206, &E::SetGsensor, {L"0", L"1", L"2"}, nullptr, nullptr, {}},
        {22207, 22209, &E::SetMotion, {L"0", L"1", L"2"}, nullptr, nullptr, {}},
    };
    return commands;
}

OptEditor::OptEditor(IOptEditorHost& host) : m_host(host) {
    for (const OptItem& item : OptItems())
        Field(item.field) = item.defaultValue;
    for (size_t i = 0; i < kOptSliderCount; ++i) {
        const OptSliderRow& row = OptSliderRowOf(static_cast<OptSlider>(i));
        m_sliders[i] = {row.minimum, row.maximum, row.position, true, row.label};
    }
    SliderState(OptSlider::FormatProgress).visible = false;
    for (UINT id : {22014u, 22085u, 22028u, 22033u, 22047u, 22052u, 22063u, 22067u, 22087u, 22089u})
        SetCheck(id, true);
    ResetModelButtons();
}

void OptEditor::ApplyDefaultConfig() {
    if (m_catalogue != nullptr)
        m_catalogue->SetConfigRecords(m_host.DefaultConfig());
}

bool OptEditor::IsChecked(UINT id) const {
    const auto found = m_checks.find(id);
    return found != m_checks.end() && found->second;
}

void OptEditor::CheckChoice(const std::vector<std::pair<int, UINT>>& group, int value) {
    const bool known =
        std::any_of(group.begin(), group.end(), [&](const auto& choice) { return choice.first == value; });
    if (!known)
        return;
    for (const auto& [choice, id] : group)
        SetCheck(id, choice == value);
}

void OptEditor::SetSliderPosition(OptSlider slider, int position) {
    OptSliderState& state = SliderState(slider);
    state.position = std::clamp(position, state.minimum, state.maximum);
}

void OptEditor::SetDrivingQuality(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kDrivingModeFrameF) = value;
    if (GetModelIndex() == 0) {
        SetCheck(22014, value == 1);
        SetCheck(22051, value == 2);
        SetCheck(22019, value == 0);
    }
    static const int derived[3][4] = {{1, 1, 0, 0}, {0, 1, 1, 3}, {0, 1, 2, 2}};
    if (value >= 0 && value <= 2) {
        Field(kDrivingResolutionF) = derived[value][0];
        Field(kDrivingResolutionR) = derived[value][1];
        Field(kDrivingModeFrameF) = derived[value][2];
        Field(kDrivingModeFrameR) = derived[value][3];
    }
}

void OptEditor::SetParkingQuality(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kParkingResolutionF) = value;
    if (GetModelIndex() == 0) {
        SetCheck(22032, value == 0);
        SetCheck(22033, value == 1);
    }
    static const int derived[2][3] = {{1, 1, 3}, {1, 2, 2}};
    if (value == 0 || value == 1) {
        Field(kParkingResolutionR) = derived[value][0];
        Field(kParkingModeFrameF) = derived[value][1];
        Field(kParkingModeFrameR) = derived[value][2];
    }
}

void OptEditor::SetRearMirror(const wchar_t* text) {
    Field(kRearMirror) = OptTextToInt(text);
    CheckChoice({{0, 22028}, {1, 22029}}, Field(kRearMirror));
}

void OptEditor::SetCutOffVoltage(const wchar_t* text) {
    Field(kCutOffVol) = OptTextToInt(text);
    CheckChoice({{0, 22037}, {1, 22038}, {2, 22074}}, Field(kCutOffVol));
}

void OptEditor::SetAccTime(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kAccTime) = value;
    static const UINT buttons[] = {22039, 22044, 22045, 22048};
    if (value < 0 || value > 4)
        return;
    for (int i = 0; i < 4; ++i)
        SetCheck(buttons[i], value == i + 1);
}

void OptEditor::SetMemoryPartition(const wchar_t* text) {
    if (text != nullptr)
        Field(kMemoryPartition) = OptTextToInt(text);
    const int value = Field(kMemoryPartition);
    if (value < 0 || value > 2)
        return;
    OptSliderState& ratio = SliderState(OptSlider::ParkEventRatio);
    ratio.visible = value != 0;
    if (value == 0) {
        ratio.label = L"OFF";
    } else {
        ratio.position = 0;
        ratio.label = L"20%";
    }
    CheckChoice({{0, 22046}, {1, 22047}, {2, 22049}}, value);
}

void OptEditor::SetGpsSpeedDisplay(const wchar_t* text) {
    Field(kGpsSpeedDisplay) = OptTextToInt(text);
    SetCheck(22053, Field(kGpsSpeedDisplay) == 1);
    SetCheck(22052, Field(kGpsSpeedDisplay) != 1);
}

void OptEditor::SetScreenSaverTime(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kScreenSaverTime) = value;
    CheckChoice({{0, 22063}, {1, 22064}, {2, 22065}}, GetModelIndex() == 3 ? value / 60 : value);
}

void OptEditor::SetPipMode(const wchar_t* text) {
    Field(kPipMode) = OptTextToInt(text);
    CheckChoice({{0, 22067}, {1, 22068}}, Field(kPipMode));
}

void OptEditor::SetTimeZone(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kTimeZone) = value;
    m_timeZoneSelection = value >= 0 && value < static_cast<int>(TimeZoneEntries().size()) ? value : -1;
}

void OptEditor::SetMicOn(const wchar_t* text) {
    Field(kMicVolume) = OptTextToInt(text);
    CheckChoice({{0, 22200}, {1, 22201}}, Field(kMicVolume));
}

void OptEditor::SetSpeakerOn(const wchar_t* text) {
    Field(kSpeakerVolume) = OptTextToInt(text);
    CheckChoice({{0, 22202}, {1, 22203}}, Field(kSpeakerVolume));
}

void OptEditor::SetGsensor(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kDrivingModeAccelerator) = value;
    const int choice = value >= 0 && value <= 2 ? value : 0;
    for (int i = 0; i < 3; ++i)
        SetCheck(22204 + static_cast<UINT>(i), i == choice);
}

void OptEditor::SetMotion(const wchar_t* text) {
    const int value = OptTextToInt(text);
    Field(kParkingMotion) = value;
    const int choice = value >= 0 && value <= 2 ? value : 0;
    for (int i = 0; i < 3; ++i)
        SetCheck(22207 + static_cast<UINT>(i), i == choice);
}

void OptEditor::SetUnitOfSpeed(const wchar_t* text) {
    m_unitOfSpeed = OptTextToInt(text);
    SetCheck(22085, m_unitOfSpeed != 1);
    SetCheck(22086, m_unitOfSpeed == 1);
}

void OptEditor::SetNumberOfChannel(const wchar_t* text) {
    m_numberOfChannel = OptTextToInt(text);
    SetCheck(22087, m_numberOfChannel == 1);
    SetCheck(22088, m_numberOfChannel != 1);
}

void OptEditor::Set1ChannelDisplay(const wchar_t* text) {
    m_1ChannelDisplay = OptTextToInt(text);
    SetCheck(22089, m_1ChannelDisplay == 0);
    SetCheck(22090, m_1ChannelDisplay != 0);
}

const std::array<const wchar_t*, 2>& OptEditor::TimeZoneEntries() {
    static const std::array<const wchar_t*, 2> entries = {L"UTC + 6:30 Myanmar", L"UTC + 9:00 Seoul"};
    return entries;
}

void OptEditor::ShowAccelerator(OptSlider slider, int value, bool offCode) {
    // One scale both ways: the slider stands one above the value, and the driving slider's 0 is
    // the recorder's "off" code 9, which is kept as 9.
    int position = std::clamp(value, -1, 4) + 1;
    if (offCode && value == 9)
        position = 0;
    else
        position = std::max(position, 1);
    SetSliderPosition(slider, position);
    Field(slider == OptSlider::DrivingAccelerator ? kDrivingModeAccelerator : kParkingAccelerator) =
        position == 0 ? 9 : position - 1;
    SliderState(slider).label = Number(position);
}

void OptEditor::ShowValue(const OptItem& item, OptShow show, const std::wstring& text) {
    const int value = OptTextToInt(text.c_str());
    switch (show) {
    case OptShow::Kept:
        Field(item.field) = value;
        break;
    case OptShow::DrivingQuality:
        SetDrivingQuality(text.c_str());
        break;
    case OptShow::ParkingQuality:
        SetParkingQuality(text.c_str());
        break;
    case OptShow::RearMirror:
        SetRearMirror(text.c_str());
        break;
    case OptShow::CutOffVoltage:
        SetCutOffVoltage(Number(value).c_str());
        break;
    case OptShow::AccTime:
        SetAccTime(text.c_str());
        break;
    case OptShow::MemoryPartition:
        SetMemoryPartition(text.c_str());
        m_memoryPartitionLoaded = Field(kMemoryPartition);
        break;
    case OptShow::GpsSpeedDisplay:
        SetGpsSpeedDisplay(text.c_str());
        break;
    case OptShow::ScreenSaverTime:
        SetScreenSaverTime(text.c_str());
        break;
    case OptShow::PipMode:
        SetPipMode(text.c_str());
        break;
    case OptShow::TimeZone:
        SetTimeZone(Number(value).c_str());
        break;
    case OptShow::MicOn:
        SetMicOn(text.c_str());
        break;
    case OptShow::SpeakerOn:
        SetSpeakerOn(text.c_str());
        break;
    case OptShow::Gsensor:
        SetGsensor(text.c_str());
        break;
    case OptShow::Motion:
        SetMotion(text.c_str());
        break;
    case OptShow::DrivingAccelerator:
        ShowAccelerator(OptSlider::DrivingAccelerator, value, true);
        break;
    case OptShow::ParkingAccelerator:
        ShowAccelerator(OptSlider::ParkingAccelerator, value, false);
        break;
    case OptShow::MicSlider:
    case OptShow::SpeakerSlider: {
        const OptSlider slider = show == OptShow::MicSlider ? OptSlider::Mic : OptSlider::Speaker;
        Field(item.field) = value;
        SetSliderPosition(slider, value);
        SliderState(slider).label = Number(value);
        break;
    }
    case OptShow::Sharpness:
        Field(kSharpness) = value;
        SetSliderPosition(OptSlider::Sharpness, value);
        if (value >= 0 && value <= 4)
            SliderState(OptSlider::Sharpness).label = Number(value + 1);
        break;
    case OptShow::NightBright: {
        Field(kNightBright) = value;
        // The slider starts one below zero; a file's largest number stays where it is.
        const int position = value < std::numeric_limits<int>::max() ? value + 1 : value;
        SetSliderPosition(OptSlider::NightBright, position);
        SliderState(OptSlider::NightBright).label = Number(position);
        break;
    }
    case OptShow::ParkingMotion:
        Field(kParkingMotion) = value;
        SetSliderPosition(OptSlider::ParkingMotion, value);
        if (value >= 0 && value <= 4)
            SliderState(OptSlider::ParkingMotion).label = kMotionLabels[value];
        break;
    case OptShow::ParkEventRatio:
        Field(kParkEventRatio) = value;
        m_parkEventRatioLoaded = value;
        SetSliderPosition(OptSlider::ParkEventRatio, value);
        if (value >= 0 && value <= 2)
            SliderState(OptSlider::ParkEventRatio).label = kRatioLabels[value];
        break;
    }
}

void OptEditor::ReadConfig(int) {
    const int model = GetModelIndex();
    if (m_catalogue != nullptr) {
        if (m_catalogue->GetConfigPath() != nullptr)
            m_pathText = m_catalogue->GetConfigPath();
        for (const OptItem* item : OptItemsRead(model)) {
            const std::wstring text = m_catalogue->GetConfigValue(OptKeyFor(*item, model));
            ShowValue(*item, model == 3 ? item->shortShow : item->longShow, text);
        }
    }
    LoadRegistrySettings();
}

void OptEditor::FillClockText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    CString text;
    text.Format(L"%4d %02d %02d %02d %02d %02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                now.wSecond);
    m_clockText = text.GetString();
}

bool OptEditor::HasSettingsPath() const {
    return m_catalogue != nullptr && m_catalogue->GetConfigPath() != nullptr;
}

std::wstring OptEditor::ClockFolder() const {
    if (!m_settingsFolder.empty())
        return m_settingsFolder;
    return HasSettingsPath() ? WithoutEvery(m_catalogue->GetConfigPath(), L"config.txt") : std::wstring();
}

void OptEditor::WriteConfig() {
    const int model = GetModelIndex();
    if (m_catalogue != nullptr) {
        for (const OptItem* item : OptItemsWritten(model))
            m_catalogue->SetConfigValue(OptKeyFor(*item, model), Number(Value(item->field)));
        m_catalogue->SaveConfig();
        const std::wstring folder = ClockFolder();
        if (model != 3 && !folder.empty()) {
            FillClockText();
            const std::string bytes = AnsiFromWide(m_clockText).substr(0, 1023);
            WriteWholeFile(folder + L"RTC_time.ini", bytes.data(), bytes.size());
        }
    }
    SaveRegistrySettings();
}

int OptEditor::LoadRegistrySettings() {
    ViewerSettingsStore& store = *m_store;
    if (!store.Open())
        return 1;
    std::wstring text;
    if (!store.Read(L"RearCamSync", text) || text.empty())
        text = L"0.0";
    m_rearCamSync = static_cast<float>(ParseRearCamSync(text));
    m_rearCamSyncLabel = text;
    m_languageId = store.Read(L"LanguageID", text) ? OptTextToInt(text.c_str()) : -1;
    SetUnitOfSpeed(store.Read(L"UnitOfSpeed", text) ? text.c_str() : L"0");
    SetNumberOfChannel(store.Read(L"NumberOfChannel", text) ? text.c_str() : L"2");
    Set1ChannelDisplay(store.Read(L"1ChannelDisplay", text) ? text.c_str() : L"0");
    store.Close();
    return 1;
}

int OptEditor::SaveRegistrySettings() {
    ViewerSettingsStore& store = *m_store;
    if (!store.Open()) {
        m_host.ShowMessage(L"Err OnRegWriteString", MB_OK);
        return 0;
    }
    CString offset;
    offset.Format(L"%.1f", static_cast<double>(m_rearCamSync));
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"RearCamSync", offset.GetString()},
        {L"LanguageID", Number(m_languageId)},
        {L"UnitOfSpeed", Number(m_unitOfSpeed)},
        {L"NumberOfChannel", Number(m_numberOfChannel)},
        {L"1ChannelDisplay", Number(m_1ChannelDisplay)},
    };
    for (const auto& [name, text] : values) {
        if (!store.Write(name, text)) {
            store.Close();
            m_host.ShowMessage(L"Err OnRegWriteString", MB_OK);
            return 0;
        }
    }
    m_host.SetSpeedUnit(m_unitOfSpeed);
    store.Close();
    return 1;
}

void OptEditor::FillDriveList() {
    m_driveEntries.clear();
    m_driveLetters.clear();
    m_driveSelection = -1;
    wchar_t current = 0;
    if (HasSettingsPath()) {
        if (const auto location = DriveTable::Instance().Locate(m_catalogue->GetConfigPath()))
            current = location->letter;
    }
    const DWORD mask = GetLogicalDrives();
    for (wchar_t letter = L'D'; letter <= L'Z'; ++letter) {
        if ((mask & (1u << (letter - L'A'))) == 0)
            continue;
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) != DRIVE_REMOVABLE)
            continue;
        CString entry;
        entry.Format(L"%c: drive", letter);
        if (letter == current)
            m_driveSelection = static_cast<int>(m_driveEntries.size());
        m_driveEntries.push_back(entry.GetString());
        m_driveLetters.push_back(letter);
    }
    if (m_driveSelection < 0)
        m_driveSelection = static_cast<int>(m_driveEntries.size()) - 1;
}

void OptEditor::SelectDrive(int index) {
    m_driveSelection = index >= 0 && index < static_cast<int>(m_driveEntries.size()) ? index : -1;
}

void OptEditor::SetTickSource(TickSource source) {
    g_tickSource = source;
}

void OptEditor::FormatProgress(void* context, int percent) {
    const DWORD now = ProgressTicks();
    if (percent != 0 && percent != 100 && now - g_lastProgressTick < kProgressInterval)
        return;
    g_lastProgressTick = now;
    auto* editor = static_cast<OptEditor*>(context);
    editor->SetSliderPosition(OptSlider::FormatProgress, percent);
    editor->SliderState(OptSlider::FormatProgress).label = Number(percent);
    editor->m_host.RepaintNow();
}

void OptEditor::ShowPage(int page) {
    m_page = page;
    for (int i = 0; i < kPageCount; ++i)
        m_pageTabs[static_cast<size_t>(i)] = i + 1 == page;
}

void OptEditor::OnShow() {
    OnCommand(22002);
}

void OptEditor::OnCommand(UINT id) {
    for (const Command& command : Commands()) {
        if (id < command.first || id > command.last)
            continue;
        if (command.action != nullptr) {
            (this->*command.action)(id);
        } else {
            (this->*command.setter)(command.texts[id - command.first]);
            if (command.then != nullptr)
                (this->*command.then)(command.thenTexts[id - command.first]);
        }
        return;
    }
}

void OptEditor::PageCommand(UINT id) {
    ShowPage(static_cast<int>(id - 22001));
    if (id == 22005)
        FillDriveList();
}

void OptEditor::Hide(UINT) {
    m_host.HideEditor();
}

void OptEditor::ChoosePathAndWrite(bool apply) {
    if (!HasSettingsPath()) {
        m_host.ShowMessage(Text(229), MB_OK);
        m_host.HideEditor();
        m_host.OnOpenDirectory();
        if (!HasSettingsPath()) {
            m_host.PrepareCardFolders();
            if (!HasSettingsPath()) {
                m_host.ShowMessage(Text(230), MB_OK);
            } else {
                m_host.ShowMessage(Text(231), MB_OK);
                ApplyDefaultConfig();
                ReadConfig(1);
            }
        }
    }
    WriteConfig();
    if (!apply)
        return;
    LoadRegistrySettings();
    m_host.Set1ChannelDisplay(m_1ChannelDisplay);
    m_host.SetNumberOfChannel(m_numberOfChannel);
    m_host.ArrangeChannelWindows();
    m_host.Stop(0, 0);
    m_host.Play();
    m_host.HideEditor();
}

void OptEditor::Apply(UINT) {
    ChoosePathAndWrite(true);
}

void OptEditor::CheckPartitionChange(UINT) {
    if (GetModelIndex() == 2)
        Field(kMemoryPartition) = 1;
    if (Field(kMemoryPartition) != m_memoryPartitionLoaded ||
        Field(kParkEventRatio) != m_parkEventRatioLoaded) {
        if (m_host.ShowMessage(Text(243), MB_YESNO) == IDYES) {
            OnCommand(22005);
            // Without asking only when the settings file lies on a listed removable volume;
            // anything else would format whichever card happens to be last in the list.
            wchar_t current = 0;
            if (HasSettingsPath()) {
                if (const auto location = DriveTable::Instance().Locate(m_catalogue->GetConfigPath()))
                    current = location->letter;
            }
            const bool listed = m_driveSelection >= 0 && current != 0 &&
                                m_driveLetters[static_cast<size_t>(m_driveSelection)] == current;
            FormatCard(!listed);
        } else {
            Field(kMemoryPartition) = m_memoryPartitionLoaded;
            Field(kParkEventRatio) = m_parkEventRatioLoaded;
        }
    }
    ChoosePathAndWrite(false);
}

void OptEditor::SaveSettingsFileAs(UINT) {
    std::wstring path;
    if (m_catalogue != nullptr && m_host.ChooseSettingsFile(true, path)) {
        m_settingsFolder = FolderOf(path);
        m_catalogue->SetConfigPath(path);
        WriteConfig();
        m_catalogue->LoadConfigFile(path);
        ReadConfig(0);
    }
    SaveRegistrySettings();
}

void OptEditor::LoadSettingsFile(UINT) {
    std::wstring path;
    if (m_catalogue == nullptr || !m_host.ChooseSettingsFile(false, path))
        return;
    m_settingsFolder = FolderOf(path);
    m_catalogue->LoadConfigFile(path);
    ReadConfig(0);
}

void OptEditor::ReloadDefaults(UINT) {
    if (m_catalogue == nullptr)
        return;
    ApplyDefaultConfig();
    ReadConfig(1);
}

void OptEditor::MemoryPartitionCommand(UINT id) {
    if (GetModelIndex() == 3) {
        SetMemoryPartition(nullptr);
        m_host.ShowMessage(Text(244), MB_OK);
        return;
    }
    SetMemoryPartition(id == 22046 ? L"0" : id == 22047 ? L"1" : L"2");
}

void OptEditor::ReportWriteFailure(const std::wstring& path) {
    m_host.ShowMessage(L"Could not write the file " + path, MB_OK | MB_ICONERROR);
}

void OptEditor::WriteClockFile(UINT) {
    if (!HasSettingsPath()) {
        m_host.ShowMessage(Text(229), MB_OK);
        return;
    }
    const std::wstring path = WithoutEvery(m_catalogue->GetConfigPath(), L"config.txt") + L"set_date_time";
    FillClockText();
    const std::string bytes = AnsiFromWide(m_clockText).substr(0, 1023);
    if (!WriteWholeFile(path, bytes.data(), bytes.size())) {
        ReportWriteFailure(path);
        return;
    }
    m_host.ShowMessage(L"Time has been completed", MB_OK | MB_ICONINFORMATION);
}

void OptEditor::FormatCommand(UINT id) {
    FormatCard(id == 22075);
}

void OptEditor::FormatCard(bool ask) {
    const int model = GetModelIndex();
    if (model == 3) {
        const std::wstring text = Text(245);
        SetMemoryPartition(nullptr);
        m_host.ShowMessage(text, MB_OK);
        return;
    }
    if (m_driveSelection < 0)
        return;
    const wchar_t letter = m_driveLetters[static_cast<size_t>(m_driveSelection)];
    if (ask) {
        CString question;
        question.Format(Text(236).c_str(), letter);
        if (m_host.ShowMessage(question.GetString(), MB_YESNO) != IDYES)
            return;
    }
    // Nothing of the card may stay open while its volume is unmounted and rewritten.
    m_host.Stop(0, 0);
    m_formatting = true;
    SetSliderPosition(OptSlider::FormatProgress, 0);
    SliderState(OptSlider::FormatProgress).label = L"0";
    m_host.RepaintNow();

    const std::wstring below = GetConfigFilePath();
    const std::wstring configPath = CardPath(letter, below);
    const std::wstring clockPath = CardPath(letter, WithoutEvery(below, L"config.txt") + L"RTC_time.ini");
    std::vector<BYTE> config;
    std::vector<BYTE> clock;
    const bool hadConfig = ReadWholeFile(configPath, config);
    const bool hadClock = ReadWholeFile(clockPath, clock);

    const CString error =
        m_host.FormatVolume(static_cast<char>(letter), 64, &OptEditor::FormatProgress, this);
    const bool formatted = error.IsEmpty();
    m_host.ShowMessage(Text(formatted ? 235 : 237), MB_OK);

    // The card's root may have moved when its volume was mounted again.
    const std::wstring newConfigPath = CardPath(letter, below);
    const std::wstring newClockPath = CardPath(letter, WithoutEvery(below, L"config.txt") + L"RTC_time.ini");
    if (model < 3) {
        std::error_code ignored;
        std::filesystem::create_directory(Utf8FromWide(CardPath(letter, L"/Parameter")), ignored);
    }
    if (hadConfig && !WriteWholeFile(newConfigPath, config.data(), config.size()))
        ReportWriteFailure(newConfigPath);
    if (hadClock && !WriteWholeFile(newClockPath, clock.data(), clock.size()))
        ReportWriteFailure(newClockPath);
    if (formatted) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        CString stamp;
        stamp.Format(L"Format Time=%04d%02d%02d%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                     now.wMinute, now.wSecond);
        const std::string bytes = AnsiFromWide(stamp.GetString());
        const std::wstring stampPath =
            CardPath(letter, WithoutEvery(below, L"config.txt") + L"SD_format_time.ini");
        if (!WriteWholeFile(stampPath, bytes.data(), bytes.size()))
            ReportWriteFailure(stampPath);
    }
    m_formatting = false;
    m_host.RepaintNow();
}

void OptEditor::RearOffsetCommand(UINT id) {
    const double step = static_cast<double>(0.1f);
    const double value = static_cast<double>(m_rearCamSync) + (id == 22083 ? step : -step);
    m_rearCamSync = static_cast<float>(value);
    CString text;
    text.Format(L"%.1f", static_cast<double>(m_rearCamSync));
    m_rearCamSyncLabel = text.GetString();
}

void OptEditor::UnitCommand(UINT id) {
    SetUnitOfSpeed(id == 22085 ? L"0" : L"1");
    SaveRegistrySettings();
}

void OptEditor::ResetModelButtons() {
    for (int model = 0; model < 4; ++model)
        SetCheck(22097 + static_cast<UINT>(model), GetModelIndex() == model);
}

void OptEditor::ModelCommand(UINT id) {
    if (m_host.ShowMessage(Text(238), MB_YESNO) == IDYES) {
        const int model = static_cast<int>(id - 22097);
        SetModelIndex(model);
        WriteStoredModelIndex(model);
        m_host.CloseMainWindow();
        return;
    }
    ResetModelButtons();
}

void OptEditor::OnTimeZoneChanged(int selection) {
    m_timeZoneSelection = selection;
    Field(kTimeZone) = selection;
}

void OptEditor::OnSlider(OptSlider slider, UINT code, int position) {
    if (code != kScrollThumbTrack && code != kScrollEnd)
        return;
    OptSliderState& state = SliderState(slider);
    switch (slider) {
    case OptSlider::DrivingAccelerator:
        // The same scale as reading: one below the position, position 0 the "off" code 9.
        if (position < 0 || position > 2)
            return;
        Field(kDrivingModeAccelerator) = position == 0 ? 9 : position - 1;
        state.label = Number(position);
        break;
    case OptSlider::Mic:
    case OptSlider::Speaker:
        Field(slider == OptSlider::Mic ? kMicVolume : kSpeakerVolume) = position;
        state.label = Number(position);
        break;
    case OptSlider::Sharpness:
        Field(kSharpness) = position;
        if (position >= 0 && position <= 4)
            state.label = Number(position + 1);
        break;
    case OptSlider::NightBright:
        Field(kNightBright) = position - 1;
        state.label = Number(position);
        break;
    case OptSlider::ParkEventRatio:
        if (GetModelIndex() == 3) {
            SetSliderPosition(slider, Field(kParkEventRatio));
            m_host.ShowMessage(Text(244), MB_OK);
            return;
        }
        Field(kParkEventRatio) = position;
        if (position >= 0 && position <= 2)
            state.label = kRatioLabels[position];
        break;
    case OptSlider::ParkingAccelerator:
        Field(kParkingAccelerator) = position - 1;
        state.label = Number(position);
        break;
    case OptSlider::ParkingMotion: {
        static const int modelThreeValues[] = {0, 20, 40, 50, 70};
        const int value =
            GetModelIndex() == 3 && position >= 0 && position <= 4 ? modelThreeValues[position] : position;
        Field(kParkingMotion) = value;
        state.label = value == 0 ? std::wstring(L"OFF") : Number(value);
        break;
    }
    case OptSlider::FormatProgress:
    case OptSlider::Count:
        return;
    }
    SetSliderPosition(slider, position);
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>& data) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(Utf8FromWide(path).c_str(), "rb"),
                                                         &std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    std::vector<BYTE> bytes(static_cast<size_t>(length));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return false;
    data = std::move(bytes);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const void* data, size_t length) {
    std::FILE* file = std::fopen(Utf8FromWide(path).c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = length == 0 || std::fwrite(data, 1, length, file) == length;
    return std::fclose(file) == 0 && written;
}

#pragma once
// The settings editor without its window: the value of every item, the state of every control
// that shows one (checks, slider positions, labels, combo selections, the visible page), and what
// each command and slider does. The window (OptDlg) creates the skinned controls and mirrors this
// state into them; tests drive the editor directly.

#include "platform/base/cstring.h"
#include "platform/base/wintypes.h"
#include "viewer/catalogue/inifile.h"
#include "viewer/tools/fat32format.h"
#include "viewer/tools/optitems.h"
#include "viewer/tools/viewersettingsstore.h"

#include <array>
#include <map>
#include <string>
#include <vector>

class DataDirStruct;

// What the editor needs from the program around it: message boxes, the main view, the file
// dialogs and the formatter.
class IOptEditorView {
  public:
    // A text of the string library in the skin's language.
    virtual std::wstring LoadText(UINT id) = 0;
    // Answers IDOK, IDYES, IDNO, ...
    virtual int ShowMessage(const std::wstring& text, UINT type) = 0;

    virtual void OnOpenDirectory() = 0;
    virtual void PrepareCardFolders() = 0;
    virtual void Set1ChannelDisplay(int display) = 0;
    virtual void SetNumberOfChannel(int count) = 0;
    virtual void ArrangeChannelWindows() = 0;
    virtual void Stop(int keepIndex, int force) = 0;
    virtual void Play() = 0;
    virtual void SetSpeedUnit(int unit) = 0;
    virtual void CloseMainWindow() = 0;
    virtual std::vector<CIniFile::Record> DefaultConfig() = 0;

    // A settings file to load (or to save as); false when the user cancels.
    virtual bool ChooseSettingsFile(bool save, std::wstring& path) = 0;
    // Formats the volume behind the letter; the error text, empty on success.
    virtual CString FormatVolume(char letter, int sectorsPerCluster, FormatProgressCallback callback,
                                 void* context) = 0;

  protected:
    ~IOptEditorView() = default;
};

// The above and the editor's own window.
class IOptEditorHost : public IOptEditorView {
  public:
    virtual void HideEditor() = 0;
    // The state changed while a command still runs (the format); the window shows it at once.
    virtual void RepaintNow() = 0;

  protected:
    ~IOptEditorHost() = default;
};

struct OptSliderState {
    int minimum = 0;
    int maximum = 0;
    int position = 0;
    bool visible = true;
    std::wstring label;
};

class OptEditor {
  public:
    static constexpr int kPageCount = 5;
    static constexpr UINT kScrollThumbTrack = 5;
    static constexpr UINT kScrollEnd = 8;

    explicit OptEditor(IOptEditorHost& host);
    OptEditor(const OptEditor&) = delete;
    OptEditor& operator=(const OptEditor&) = delete;

    void SetDataDirStruct(DataDirStruct* catalogue) { m_catalogue = catalogue; }
    // Null goes back to the registry.
    void SetSettingsStore(ViewerSettingsStore* store) { m_store = store != nullptr ? store : &m_registry; }
    // Without a catalogue nothing happens.
    void ApplyDefaultConfig();

    // Item setters: decimal text, converted as OptTextToInt does.
    void SetDrivingQuality(const wchar_t* text);
    void SetParkingQuality(const wchar_t* text);
    void SetRearMirror(const wchar_t* text);
    void SetCutOffVoltage(const wchar_t* text);
    void SetAccTime(const wchar_t* text);
    // Null shows the value held again.
    void SetMemoryPartition(const wchar_t* text);
    void SetGpsSpeedDisplay(const wchar_t* text);
    void SetScreenSaverTime(const wchar_t* text);
    void SetPipMode(const wchar_t* text);
    void SetTimeZone(const wchar_t* text);
    void SetMicOn(const wchar_t* text);
    void SetSpeakerOn(const wchar_t* text);
    void SetGsensor(const wchar_t* text);
    void SetMotion(const wchar_t* text);
    void SetUnitOfSpeed(const wchar_t* text);
    void SetNumberOfChannel(const wchar_t* text);
    void Set1ChannelDisplay(const wchar_t* text);
    int GetUnitOfSpeed() const { return m_unitOfSpeed; }
    int GetNumberOfChannel() const { return m_numberOfChannel; }
    int Get1ChannelDisplay() const { return m_1ChannelDisplay; }

    // The card's settings (the catalogue's records) into the items, then the viewer settings.
    void ReadConfig(int unused);
    // The items into the records, saved; the clock file for models 0 to 2; the viewer settings.
    void WriteConfig();
    int LoadRegistrySettings();
    int SaveRegistrySettings();

    // The drive combo: the removable volumes from D to Z as "%c: drive"; the settings file's
    // volume is selected, else the last entry.
    void FillDriveList();
    // The progress callback of the format (context: the editor). 0 and 100 always show, the rest
    // at most every 300 ms of the clock.
    static void FormatProgress(void* context, int percent);
    // The clock FormatProgress reads; null restores the system's.
    using TickSource = DWORD (*)();
    static void SetTickSource(TickSource source);

    void ShowPage(int page);
    void OnCommand(UINT id);
    void OnSlider(OptSlider slider, UINT code, int position);
    void OnTimeZoneChanged(int selection);
    // Called when the window is shown: page 1.
    void OnShow();

    // State for the window and the tests.
    int Value(OptField field) const { return m_values[static_cast<size_t>(field)]; }
    void SetValue(OptField field, int value) { m_values[static_cast<size_t>(field)] = value; }
    float RearCamSync() const { return m_rearCamSync; }
    int LanguageId() const { return m_languageId; }
    int MemoryPartitionLoaded() const { return m_memoryPartitionLoaded; }
    int ParkEventRatioLoaded() const { return m_parkEventRatioLoaded; }
    bool IsChecked(UINT id) const;
    const OptSliderState& Slider(OptSlider slider) const { return m_sliders[static_cast<size_t>(slider)]; }
    int TimeZoneSelection() const { return m_timeZoneSelection; }
    static const std::array<const wchar_t*, 2>& TimeZoneEntries();
    const std::vector<std::wstring>& DriveEntries() const { return m_driveEntries; }
    int DriveSelection() const { return m_driveSelection; }
    void SelectDrive(int index);
    int Page() const { return m_page; }
    bool IsPageTabChecked(int page) const { return m_pageTabs[static_cast<size_t>(page - 1)]; }
    bool IsFormatting() const { return m_formatting; }
    const std::wstring& PathText() const { return m_pathText; }
    const std::wstring& RearCamSyncLabel() const { return m_rearCamSyncLabel; }
    const std::wstring& ClockText() const { return m_clockText; }
    const std::wstring& SettingsFolder() const { return m_settingsFolder; }

  private:
    struct Command;
    static const std::vector<Command>& Commands();

    int& Field(OptField field) { return m_values[static_cast<size_t>(field)]; }
    OptSliderState& SliderState(OptSlider slider) { return m_sliders[static_cast<size_t>(slider)]; }
    void SetCheck(UINT id, bool checked) { m_checks[id] = checked; }
    // Checks the button of the value and unchecks the others; a value of no button changes none.
    void CheckChoice(const std::vector<std::pair<int, UINT>>& group, int value);
    void SetSliderPosition(OptSlider slider, int position);
    void ShowValue(const OptItem& item, OptShow show, const std::wstring& text);
    void ShowAccelerator(OptSlider slider, int value, bool offCode);
    void ResetModelButtons();
    void FillClockText();
    std::wstring ClockFolder() const;
    bool HasSettingsPath() const;
    std::wstring Text(UINT id) { return m_host.LoadText(id); }

    void Apply(UINT id);
    void CheckPartitionChange(UINT id);
    void SaveSettingsFileAs(UINT id);
    void LoadSettingsFile(UINT id);
    void ReloadDefaults(UINT id);
    void Hide(UINT id);
    void PageCommand(UINT id);
    void MemoryPartitionCommand(UINT id);
    void WriteClockFile(UINT id);
    void FormatCommand(UINT id);
    void FormatCard(bool ask);
    void RearOffsetCommand(UINT id);
    void UnitCommand(UINT id);
    void ModelCommand(UINT id);
    void ChoosePathAndWrite(bool apply);
    // A file the user must know was not written.
    void ReportWriteFailure(const std::wstring& path);

    IOptEditorHost& m_host;
    DataDirStruct* m_catalogue = nullptr;
    ViewerSettingsStore m_registry;
    ViewerSettingsStore* m_store = &m_registry;

    std::array<int, kOptFieldCount> m_values{};
    float m_rearCamSync = 0.0f;
    int m_languageId = -1;
    int m_unitOfSpeed = 0;
    int m_numberOfChannel = 2;
    int m_1ChannelDisplay = 0;
    int m_memoryPartitionLoaded = 0;
    int m_parkEventRatioLoaded = 0;
    std::wstring m_clockText;
    std::wstring m_settingsFolder;

    std::map<UINT, bool> m_checks;
    std::array<OptSliderState, kOptSliderCount> m_sliders{};
    int m_timeZoneSelection = -1;
    std::vector<std::wstring> m_driveEntries;
    std::vector<wchar_t> m_driveLetters;
    int m_driveSelection = -1;
    int m_page = 1;
    std::array<bool, kPageCount> m_pageTabs{};
    bool m_formatting = false;
    std::wstring m_pathText;
    std::wstring m_rearCamSyncLabel;
};

// The whole file, or false (leaving data as it was) when it cannot be read.
bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>& data);
// Creates or truncates the file and writes the bytes; false when any step fails.
bool WriteWholeFile(const std::wstring& path, const void* data, size_t length);

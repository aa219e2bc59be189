#pragma once
// The settings editor's window: its skinned pages and controls for the current recorder model,
// made from one table, with page tabs of our own skin so that every page can be reached. It holds
// the editor (OptEditor) and mirrors the editor's state into the controls after every command,
// slider movement and show; everything the editor decides is tested without this window.

#include "platform/ui/combobox.h"
#include "platform/ui/dialog.h"
#include "platform/ui/edit.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/skincombobox.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"
#include "viewer/tools/opteditor.h"

#include <array>
#include <map>
#include <memory>

class ResStorage;

class OptDlg : public CDialog, private IOptEditorHost {
  public:
    enum { IDD = 166 };
    enum : UINT {
        ID_TIME_ZONE = 1002,
        ID_DRIVES = 1003,
        ID_CLOCK_TEXT = 1006,
        ID_NUMBER_A = 1008,
        ID_NUMBER_B = 1009,
        ID_REGISTRATION = 1010,
        ID_PATH = 1014,
        ID_FIRST_COMMAND = 22001,
        ID_LAST_COMMAND = 23000,
    };
    // The page backgrounds' control ids, page 1 first.
    static constexpr std::array<UINT, OptEditor::kPageCount> kPageIds = {22013, 22020, 22031, 22050, 22080};

    explicit OptDlg(CWnd* parent = nullptr);
    ~OptDlg() override;

    // What the editor asks of the rest of the program (the view).
    void SetHost(IOptEditorView* host) { m_outside = host; }
    void SetResStorage(ResStorage* store) { m_store = store; }
    void SetDataDirStruct(DataDirStruct* catalogue, ResStorage* store = nullptr);
    // FALSE, making nothing, without a skin store.
    BOOL CreateControls();
    void ShowPage(int page);
    OptEditor& Editor() { return m_editor; }

    // For the view and the tests: the control of that id (the first of two that share one), or
    // null when the model has none.
    CWnd* GetControl(UINT id);
    CSliderCtrlEx* GetSlider(OptSlider slider);
    CStaticEx* GetPage(int page);
    CComboBox& GetTimeZoneCombo() { return m_timeZone; }
    CComboBox& GetDriveCombo() { return m_drives; }
    // The component each page's background was made from.
    UINT GetPageComponent(int page) const { return m_pageComponents[static_cast<size_t>(page - 1)]; }

    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnHScroll(UINT code, UINT position, CWnd* scrollBar) override;
    void OnShowWindow(BOOL show, UINT status) override;
    BOOL OnEraseBkgnd(CDC* dc) override;

  private:
    // IOptEditorHost
    std::wstring LoadText(UINT id) override;
    int ShowMessage(const std::wstring& text, UINT type) override;
    void HideEditor() override;
    void RepaintNow() override;
    void OnOpenDirectory() override;
    void PrepareCardFolders() override;
    void Set1ChannelDisplay(int display) override;
    void SetNumberOfChannel(int count) override;
    void ArrangeChannelWindows() override;
    void Stop(int keepIndex, int force) override;
    void Play() override;
    void SetSpeedUnit(int unit) override;
    void CloseMainWindow() override;
    std::vector<CIniFile::Record> DefaultConfig() override;
    bool ChooseSettingsFile(bool save, std::wstring& path) override;
    CString FormatVolume(char letter, int sectorsPerCluster, FormatProgressCallback callback,
                         void* context) override;

    CWnd* ParentOf(int page);
    CRect PageRect(int page);
    void CreateButton(UINT id, UINT component, int page, DWORD options);
    void CreateSlider(OptSlider slider, UINT component, UINT labelComponent, int page, bool hidden);
    void PlaceCombo(CSkinComboBox& combo, UINT component);
    // The editor's state into the controls.
    void Sync();

    IOptEditorView* m_outside = nullptr;
    ResStorage* m_store = nullptr;
    OptEditor m_editor{*this};
    CStaticEx m_background;
    std::array<CStaticEx, OptEditor::kPageCount> m_pages;
    std::array<UINT, OptEditor::kPageCount> m_pageComponents{};
    std::map<UINT, std::unique_ptr<CButtonEx>> m_buttons;
    std::array<std::unique_ptr<CSliderCtrlEx>, kOptSliderCount> m_sliders;
    std::array<std::unique_ptr<CStaticEx>, kOptSliderCount> m_labels;
    CStaticEx m_rearCamSyncLabel;
    CSkinComboBox m_timeZone;
    CSkinComboBox m_drives;
    std::vector<std::wstring> m_shownDrives;
    bool m_created = false;
};

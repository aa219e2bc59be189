#pragma once
// The main view: it fills the frame and owns everything the user sees and what drives it: the
// skin, the four channel windows, the playlist panel, the full-screen control bar, the loading
// box, the taskbar pop-up and its own skinned controls; the engine, the catalogue, the transport,
// the command table and the opener of cards, folders and files. It adapts those to its windows;
// the decisions are in the classes it forwards to.

#include "platform/base/windowshook.h"
#include "platform/ui/tooltipctrl.h"
#include "platform/ui/wnd.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/engine/channelwindowview.h"
#include "viewer/engine/moviewnddlg.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/resstorage.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"
#include "viewer/skin/taskbarpopup.h"
#include "viewer/tools/defogdlg.h"
#include "viewer/tools/optdlg.h"
#include "viewer/ui/cardopener.h"
#include "viewer/ui/channelsnapshots.h"
#include "viewer/ui/commandview.h"
#include "viewer/ui/controlbarview.h"
#include "viewer/ui/datadircatalogue.h"
#include "viewer/ui/ffmpegplayerengine.h"
#include "viewer/ui/fullscreenstate.h"
#include "viewer/ui/listfilter.h"
#include "viewer/ui/loadingmsgdlg.h"
#include "viewer/ui/mapbgdlg.h"
#include "viewer/ui/openingview.h"
#include "viewer/ui/passworddlg.h"
#include "viewer/ui/playbackcontroldialog.h"
#include "viewer/ui/playbacktransport.h"
#include "viewer/ui/playlistdlg.h"
#include "viewer/ui/playlistlistadapter.h"
#include "viewer/ui/playlistview.h"
#include "viewer/ui/recordingcopy.h"
#include "viewer/ui/sensordlg.h"
#include "viewer/ui/recordingrepair.h"
#include "viewer/ui/repairqueue.h"
#include "viewer/ui/repairwaitdlg.h"
#include "viewer/ui/transportview.h"
#include "viewer/ui/viewcommands.h"
#include "viewer/ui/viewcontroltable.h"
#include "viewer/ui/viewlayout.h"
#include "viewer/ui/waitingdialog.h"
#include "viewer/ui/workerthreads.h"

#include <array>
#include <map>
#include <memory>
#include <vector>

// The view's keyboard hook, from its construction to its destruction.
extern HHOOK g_hKeyboardHook;

class CChildView : public CWnd,
                   public IChannelWindowView,
                   public IPlaylistView,
                   public IControlBarView,
                   public ITransportView,
                   public ICommandView,
                   public IOpeningView,
                   public ISkinLoadProgress,
                   public IKeyboardHookView,
                   public ISnapshotView,
                   public IRecordingCopyView,
                   public IOptEditorView,
                   public IRepairView {
  public:
    static constexpr int kChannelCount = 4;
    // Each capture buffer holds ten bytes for every pixel of the primary screen, and at least one
    // picture of the engine's.
    static constexpr size_t kBytesPerPixel = 10;

    CChildView();
    ~CChildView() override;

    // What a window the frame hands a command to does with it; FALSE for a command of no one here.
    BOOL HandleCommand(WPARAM wParam, LPARAM lParam);
    // The sliding panels follow the main window again.
    void RedockPanels();
    // The channel windows of the normal layout.
    void ArrangeChannelWindows() override;
    // flag 0 remembers which panels are visible and hides them; 1 shows them as remembered.
    void ShowSidePanels(int flag);
    // The window of a side panel; null for the map panel until it is made.
    CSlideSon* SidePanelWindow(SidePanel panel);
    void CreateMapPanel();
    void SetSpeedUnit(int unit) override;
    void SetNumberOfChannel(int count) override;
    void Set1ChannelDisplay(int display) override;
    void AddToolTip(CWnd* control, UINT stringId);
    void AddToolTipText(CWnd* control, LPCWSTR text);

    // One channel is shown alone over its monitor.
    bool IsChannelEnlarged();

    // The parts a look from outside needs (the frame, tests and the gallery).
    LANGID GetLanguageId() const { return m_languageId; }
    ResStorage& GetSkin() { return m_skin; }
    PlaylistDlg& GetPlaylist() { return m_playlist; }
    SensorDlg& GetSensorPanel() { return m_sensor; }
    // Null until the map panel is first opened.
    MapBGDlg* GetMapPanel() { return m_map.get(); }
    PlaybackControlDialog& GetControlBar() { return m_controlBar; }
    PasswordDlg& GetPasswordLock() { return m_passwordLock; }
    DefogDlg& GetDefogWindow() { return m_defog; }
    OptDlg& GetSettingsEditor() { return m_options; }
    LoadingMsgDlg* GetLoadingBox() { return m_loadingBox.get(); }
    MovieWndDlg& GetChannelWindow(int channel) { return m_channelWindows[static_cast<size_t>(channel)]; }
    CTaskbarPopup& GetTaskbarPopup() { return m_taskbarPopup; }
    PlaybackTransport& GetTransport() { return m_transport; }
    DataDirStruct& GetCatalogue() { return m_catalogue; }
    IPlaylistControl& GetList() { return m_list; }
    WorkerThreads& GetWorkers() { return m_workers; }
    RepairWaitDlg& GetRepairWaitBox() { return m_repairWaitBox; }
    const FullScreenState& GetFullScreenState() const { return m_fullScreen; }
    // The control of the table with that id; null before the controls are made.
    CWnd* GetSkinControl(UINT id);
    // The capture buffer of a channel and the bytes it holds; made once, so a capture never
    // allocates. Untouched until a capture writes it.
    BYTE* GetFrameBuffer(int channel) override { return m_frameBuffers[static_cast<size_t>(channel)].get(); }
    size_t GetFrameBufferSize() const override { return m_frameBufferSize; }

    BOOL PreTranslateMessage(MSG* message) override;

    // IChannelWindowView
    VideoState* GetPlayer(int channel) override;
    int GetNumberOfChannel() override;
    void SetScreenMode(int channel, int enlarged) override;
    void InvalidateChannelWnd1() override;
    void InvalidateChannelWnd2() override;
    void InvalidateChannelWnd3() override;
    void InvalidateChannelWnd4() override;
    CWnd* GetPlaybackControlBar() override;

    // IPlaylistView
    int OpenAndPlay(int row) override;
    void DeleteSelectedRecordings() override;
    const int* GetPlayingRowPointer() override;

    // IControlBarView
    void PlayPrevFile() override;
    void Play() override;
    void Pause() override;
    void Stop(int keepIndex, int force) override;
    void Step() override;
    void PlayNextFile() override;
    void ShowCaptureMenu() override;
    void DefogCurrentFrame(int channels) override;
    HWND GetViewWindow() override;

    // ITransportView
    std::wstring LoadText(UINT id) override;
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) override;
    void KillTimer(UINT_PTR id) override;
    void ShowPlayButton(int paused) override;
    void SetSpeedSliders(int step) override;
    void SetSpeedLabel(const std::wstring& label) override;
    void ShowSpeedReadout(const std::wstring& text, int speed) override;
    void SetSeekRange(int maximum) override;
    void SetSeekPosition(int position) override;
    void SetVolumeSliders(int position) override;
    void ShowPlaybackSliders(int show) override;
    void ShowGpsState(int valid) override;
    void InvalidateChannelWindows() override;
    void ReloadMap() override;
    int MoveMapTo(double latitude, double longitude) override;
    void ShowMapNotice(int flag) override;
    void ResetGraph() override;
    void AddGraphSample(int x, int y, int z) override;
    void SetGraphCursor(int percent) override;
    void SetGraphValues(double x, double y, double z) override;
    bool StartRepair(const stringex& key) override;
    void ShowDefogWindow(const std::array<CapturedFrame, 4>& frames) override;

    // ICommandView
    bool IsPanelVisible(SidePanel panel) override;
    void HidePanel(SidePanel panel) override;
    void BeginPanelSlide(SidePanel panel, UINT component) override;
    void SlidePanel(SidePanel panel) override;
    void ShowPlaylistButton(int show) override;
    bool IsDefogVisible() override;
    void ShowPasswordDialog() override;
    void CloseMainWindow() override;
    void MinimizeMainWindow() override;
    void ShowPopupMenu(const std::vector<MenuItem>& items, const POINT* at) override;
    void OnOpenDirectory() override;
    void OnOpenFile() override;
    void OnCaptureToFile() override;
    void OnCaptureToPrinter() override;
    void CopyRecordings(int mode) override;
    int OpenCardFolder() override;
    void HideLoadingBox() override;
    void ShowMainWindow(int show) override;
    void ReadConfig() override;

    // IOpeningView (LoadText, SetTimer, ShowMainWindow and ReadConfig serve it as above)
    void ShowWaitingBox(const std::wstring& text) override;
    void CloseWaitingBox() override;
    void ShowLoadingBox() override;
    bool BrowseForFolder(const std::wstring& title, std::wstring& folder) override;
    bool ChooseFiles(const FileDialogSettings& settings, std::vector<std::wstring>& paths) override;
    void SetPopupDriveLetter(char letter) override;
    char GetPopupDriveLetter() override;
    void ShowPopup(const std::wstring& text, DWORD timeToShow, DWORD timeToStay, DWORD timeToHide) override;
    void HidePopup() override;
    int PickRecorderDrive(const DWORD* vids, const DWORD* pids) override;

    // ISkinLoadProgress, and the opening of a card: the text goes to the loading box while it exists.
    void SetLoadingMessage(const std::wstring& text) override;
    // IKeyboardHookView
    void ViewKeyboardActivity() override;
    // ISnapshotView (with GetViewWindow, LoadText and the capture buffers above)
    bool ChooseSnapshotName(std::wstring& path, int& filterIndex) override;
    PrintOutcome PrintPicture(CBitmap& bitmap, const BITMAP& info) override;
    // IRepairView: called by the repair worker.
    std::wstring LoadRepairText(UINT id, LANGID language) override;
    void ShowRepairMessage(const std::wstring& text) override;
    void ShowRepairBox(const RECT& over) override;
    void HideRepairBox() override;
    void ReplaceRecordFiles(const std::wstring& newPath, const stringex& oldKey, const stringex& newKey,
                            int row) override;

    // IOptEditorView: what the settings editor asks of the view (LoadText, OnOpenDirectory, the
    // viewer settings, Stop, Play and CloseMainWindow serve it as above).
    int ShowMessage(const std::wstring& text, UINT type) override;
    void PrepareCardFolders() override;
    std::vector<CIniFile::Record> DefaultConfig() override;
    bool ChooseSettingsFile(bool save, std::wstring& path) override;
    CString FormatVolume(char letter, int sectorsPerCluster, FormatProgressCallback callback,
                         void* context) override;

  protected:
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTW create) override;
    void OnDestroy() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnTimer(UINT_PTR id) override;
    void OnHScroll(UINT code, UINT position, CWnd* scrollBar) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateSkinControls();
    void CreateSkinControl(const ViewControlTable::Row& row);
    CWnd* PlaceWindow(ViewControlTable::Place place);
    CRect PlaceRect(ViewControlTable::Place place);
    void ApplySigns(const ViewLayout::Signs& signs, bool gpsSigns);
    void ShowControl(UINT id, bool show);
    void ReleaseResources();
    CWnd* Frame() const;
    CSliderCtrlEx& Slider(UINT id) { return *m_sliders.at(id); }
    CStaticEx& Label(UINT id) { return *m_labels.at(id); }
    CButtonEx& Button(UINT id) { return *m_buttons.at(id); }
    void InvalidateChannel(int channel);
    // Creates the password lock the first time, with the stored values.
    void CreatePasswordLock();

    CToolTipCtrl m_toolTip;
    PlaybackControlDialog m_controlBar;
    std::unique_ptr<LoadingMsgDlg> m_loadingBox;
    DataDirStruct m_catalogue;
    ResStorage m_skin;
    std::array<MovieWndDlg, kChannelCount> m_channelWindows;
    CTaskbarPopup m_taskbarPopup;
    FfmpegPlayerEngine m_engine;
    DataDirCatalogue m_catalogueAdapter{m_catalogue};
    PlaylistDlg m_playlist;
    SensorDlg m_sensor;
    // Made when the user first opens it: the browser under the map is heavy to start.
    std::unique_ptr<MapBGDlg> m_map;
    PlaylistListAdapter m_list{m_playlist.GetListCtrl()};
    PlaybackTransport m_transport{m_engine, m_catalogueAdapter, m_list, *this};
    ListFilter m_filter{m_catalogueAdapter, m_list};
    ViewCommands m_commands{m_transport, m_filter, m_engine, *this, *this};
    CardOpener m_opener{m_catalogue, m_list, m_filter, m_transport, m_commands, m_skin, *this};
    ChannelSnapshots m_snapshots{m_transport, m_engine, *this};
    RecordingCopy m_recordingCopy{m_transport, *this};
    // Only while a folder is read.
    std::unique_ptr<CWaitingDialog> m_waitingBox;
    PasswordDlg m_passwordLock;
    DefogDlg m_defog;
    OptDlg m_options;
    FullScreenState m_fullScreen;
    std::array<CRect, kChannelCount> m_channelRects{};
    size_t m_frameBufferSize = 0;
    std::array<std::unique_ptr<BYTE[]>, kChannelCount> m_frameBuffers;
    // The skinned controls of the table, by control id.
    std::map<UINT, std::unique_ptr<CButtonEx>> m_buttons;
    std::map<UINT, std::unique_ptr<CSliderCtrlEx>> m_sliders;
    std::map<UINT, std::unique_ptr<CStaticEx>> m_labels;
    RepairWaitDlg m_repairWaitBox;
    RecordingRepair m_repair{*this, RepairPlaces::Installed()};
    RepairQueue m_repairs{m_workers, [this](const RepairRequest& request) { m_repair.Run(request); }};
    LANGID m_languageId = 1033;
    int m_passwordCheck = 0;
    int m_unitOfSpeed = 0;
    int m_numberOfChannel = 2;
    int m_1ChannelDisplay = 0;
    bool m_released = false;
    // Last, so that it goes first: no worker outlives what it refers to.
    WorkerThreads m_workers;
};

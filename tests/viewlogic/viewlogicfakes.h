#pragma once
// Stand-ins for what the main view's logic drives: a scripted engine, a catalogue of made-up
// recordings, the playlist's rows, the view's windows and the message boxes. They write the calls
// they get into one shared log of short texts, in order, so that tests compare what happened with
// a table.

#include "platform/base/windowsystem.h"
#include "viewer/ui/commandview.h"
#include "viewer/ui/playerengine.h"
#include "viewer/ui/playlistcontrol.h"
#include "viewer/ui/recordingcatalogue.h"
#include "viewer/ui/transportview.h"

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

using Log = std::vector<std::string>;

// The entries of the log that begin with one of the prefixes, in order.
Log Only(const Log& log, const std::vector<std::string>& prefixes);
std::string Narrow(const std::wstring& text);

// Channel handles are h1, h2, ... in the order of the opens.
class FakeEngine : public IPlayerEngine {
  public:
    explicit FakeEngine(Log& calls) : log(calls) {}
    VideoState* PlayerOpen(const std::string& name, const std::wstring& folder, int width, int height,
                           int noAudio, int channel) override;
    void PlayerClose(VideoState* state) override;
    void PlayerInvalidateFrames() override;
    void PlayerPlay(VideoState* state) override;
    void PlayerPause(VideoState* state) override;
    void PlayerStep(VideoState* state) override;
    void PlayerSetSpeed(VideoState* state, int n, int fast) override;
    void PlayerSetCaption(VideoState* state, const std::wstring& text) override;
    void PlayerSeekTime(VideoState* state, int64_t microseconds) override;
    void PlayerSeekRatio(VideoState* state, double ratio) override;
    int64_t PlayerRatioToTime(VideoState* state, double ratio) override;
    double PlayerGetPositionRatio(VideoState* state) override;
    void PlayerEnableDisplay(VideoState* state, int enable) override;
    void PlayerSelectChannel(VideoState* state, int channel, int mode) override;
    int PlayerGetSelectedChannel() override { return selectedChannel; }
    void PlayerSetVolume(int volume) override;
    void PlayerSetRearCamSync(double seconds) override;
    void PlayerGetPictureSize(int* width, int* height) override;
    HRESULT PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize, int* width,
                               int* height, int* pitch) override;
    void ResetRenderers() override;

    // "h3" for the third handle opened; "null" for none.
    static std::string Name(VideoState* state);
    std::set<std::string> OpenHandles() const { return open; }

    Log& log;
    // Opens of these channels fail.
    std::set<int> failingChannels;
    // The ratio each channel answers (by channel number); -1.0 when not set.
    std::map<int, double> ratios;
    int selectedChannel = 65535;
    int pictureWidth = 4;
    int pictureHeight = 2;
    // Captures of these channels deliver no picture (a renderer reset is pending).
    std::set<int> blankChannels;
    // The buffer size of every capture, in order.
    std::vector<size_t> captureBufferSizes;

  private:
    int m_opened = 0;
    std::map<std::string, int> m_channelOf;
    std::set<std::string> open;
};

struct FakeRecording {
    std::wstring front; // empty: none
    std::wstring rear;
    int type = 3;
    int frames = 900;
    std::vector<GpsRecord> gps;
    std::vector<GsensorSample> samples;
    std::optional<std::string> carNumber;
    int verify = 1;
};

class FakeCatalogue : public IRecordingCatalogue {
  public:
    explicit FakeCatalogue(Log& calls) : log(calls) {}
    void LoadMetadata(const stringex& key) override;
    int GetFrameCount(const stringex& key) const override;
    const wchar_t* GetFilePath(const stringex& key, int channel) const override;
    const GpsRecord* GetGpsRecords(const stringex& key, int* count) const override;
    const GsensorSample* GetGsensorSamples(const stringex& key, int* count) const override;
    const char* GetCarNumber(const stringex& key) const override;
    int VerifyRecording(const stringex& key) override;
    int RemoveRecord(const stringex& key) override;
    // Rows in key order, ascending for order 1.
    void FillListByType(IListControl* list, int type, int order) override;

    std::map<std::wstring, FakeRecording> recordings;
    Log& log;

  private:
    const FakeRecording* Find(const stringex& key) const;
};

class FakeList : public IPlaylistControl {
  public:
    BOOL DeleteAllItems() override;
    int GetItemCount() const override { return static_cast<int>(rows.size()); }
    int InsertItem(int item, const std::wstring& text) override;
    BOOL SetItemText(int, int, const std::wstring&) override { return TRUE; }
    BOOL SetItemKey(int item, const std::wstring& key) override;
    std::wstring GetItemKey(int item) const override;
    int GetSelectionMark() const override { return selectionMark; }
    void SetSelectionMark(int row) override { selectionMark = row; }
    int GetSelectedCount() const override;
    int GetNextSelectedItem(int row) const override;
    void SetItemSelected(int row, bool selected) override;
    bool DeleteItem(int row) override;
    void EnsureVisible(int row) override { visibleRow = row; }
    void Repaint() override { ++repaints; }

    // Rows with these keys; none selected.
    void SetRows(const std::vector<std::wstring>& keys);
    std::vector<std::wstring> Keys() const;
    std::vector<int> Selected() const;

    struct Row {
        std::wstring key;
        bool selected = false;
    };
    std::vector<Row> rows;
    int selectionMark = -1;
    int visibleRow = -1;
    int repaints = 0;
    // Deletions beyond this count fail, as a list that is gone would; -1: no limit.
    int deletionsLeft = -1;
};

class FakeView : public ITransportView, public ICommandView {
  public:
    explicit FakeView(Log& calls) : log(calls) {}
    HWND GetViewWindow() override { return reinterpret_cast<HWND>(0x7E00); }
    std::wstring LoadText(UINT id) override { return L"#" + std::to_wstring(id); }
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
    void SetScreenMode(int channel, int enlarged) override;
    void ReloadMap() override;
    int MoveMapTo(double latitude, double longitude) override;
    void ShowMapNotice(int flag) override;
    void ResetGraph() override;
    void AddGraphSample(int x, int y, int z) override;
    void SetGraphCursor(int percent) override;
    void SetGraphValues(double x, double y, double z) override;
    bool StartRepair(const stringex& key) override;
    void ShowDefogWindow(const std::array<CapturedFrame, 4>& frames) override;

    bool IsPanelVisible(SidePanel panel) override { return visiblePanels.count(panel) != 0; }
    void HidePanel(SidePanel panel) override;
    void BeginPanelSlide(SidePanel panel, UINT component) override;
    void SlidePanel(SidePanel panel) override;
    void ShowPlaylistButton(int show) override;
    bool IsDefogVisible() override { return defogVisible; }
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

    Log& log;
    std::set<UINT_PTR> timers;
    int moveMapResult = 1;
    bool repairStarts = true;
    int cardOpens = 1;
    bool defogVisible = false;
    std::set<SidePanel> visiblePanels;
    std::array<CapturedFrame, 4> defogFrames;
    std::vector<MenuItem> menu;
    std::optional<POINT> menuPoint;
    int seekPosition = 0;
    int seekMaximum = 100;
    int speedStep = 3;
    std::wstring speedLabel = L"1x";
    std::wstring readout = L"    ---";
};

// Message boxes: every text shown, answered from a queue (IDOK when it is empty).
class FakeMessageBoxes : public IWindowSystem {
  public:
    explicit FakeMessageBoxes(Log& calls);
    ~FakeMessageBoxes() override;
    LRESULT Send(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    bool Post(HWND, UINT, WPARAM, LPARAM) override { return true; }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;

    // Each box goes into the log as "MessageBox(#178)", "MessageBox(#210?)" for a Yes/No question.
    Log& log;
    std::deque<int> answers;

  private:
    IWindowSystem* m_previous;
};

// Debugger trace lines, as the transport writes them.
class TraceCapture {
  public:
    TraceCapture();
    ~TraceCapture();
    std::vector<std::string> lines;
};

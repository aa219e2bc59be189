#include "viewlogicfakes.h"

#include "platform/base/trace.h"
#include "platform/base/unicode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

std::string PanelName(ICommandView::SidePanel panel) {
    switch (panel) {
    case ICommandView::GSENSOR_PANEL:
        return "gsensor";
    case ICommandView::MAP_PANEL:
        return "map";
    case ICommandView::PLAYLIST_PANEL:
        break;
    }
    return "playlist";
}

} // namespace

Log Only(const Log& log, const std::vector<std::string>& prefixes) {
    Log result;
    for (const std::string& entry : log)
        for (const std::string& prefix : prefixes)
            if (entry.compare(0, prefix.size(), prefix) == 0) {
                result.push_back(entry);
                break;
            }
    return result;
}

std::string Narrow(const std::wstring& text) {
    return Utf8FromWide(text);
}

std::string FakeEngine::Name(VideoState* state) {
    if (state == nullptr)
        return "null";
    return "h" + std::to_string(reinterpret_cast<uintptr_t>(state) - 0x1000);
}

VideoState* FakeEngine::PlayerOpen(const std::string& name, const std::wstring& folder, int, int, int noAudio,
                                   int channel) {
    log.push_back("PlayerOpen(" + name + "," + Narrow(folder) + "," + std::to_string(noAudio) + "," +
                  std::to_string(channel) + ")");
    if (failingChannels.count(channel))
        return nullptr;
    VideoState* state = reinterpret_cast<VideoState*>(static_cast<uintptr_t>(0x1000 + ++m_opened));
    m_channelOf[Name(state)] = channel;
    open.insert(Name(state));
    return state;
}

void FakeEngine::PlayerClose(VideoState* state) {
    log.push_back("PlayerClose(" + Name(state) + ")");
    open.erase(Name(state));
}

void FakeEngine::PlayerInvalidateFrames() {
    log.push_back("PlayerInvalidateFrames");
}

void FakeEngine::PlayerPlay(VideoState* state) {
    log.push_back("PlayerPlay(" + Name(state) + ")");
}

void FakeEngine::PlayerPause(VideoState* state) {
    log.push_back("PlayerPause(" + Name(state) + ")");
}

void FakeEngine::PlayerStep(VideoState* state) {
    log.push_back("PlayerStep(" + Name(state) + ")");
}

void FakeEngine::PlayerSetSpeed(VideoState* state, int n, int fast) {
    log.push_back("PlayerSetSpeed(" + Name(state) + "," + std::to_string(n) + "," + std::to_string(fast) +
                  ")");
}

void FakeEngine::PlayerSetCaption(VideoState* state, const std::wstring& text) {
    log.push_back("PlayerSetCaption(" + Name(state) + "," + Narrow(text) + ")");
}

void FakeEngine::PlayerSeekTime(VideoState* state, int64_t microseconds) {
    log.push_back("PlayerSeekTime(" + Name(state) + "," + std::to_string(microseconds) + ")");
}

void FakeEngine::PlayerSeekRatio(VideoState* state, double ratio) {
    log.push_back("PlayerSeekRatio(" + Name(state) + "," + Number(ratio) + ")");
}

int64_t FakeEngine::PlayerRatioToTime(VideoState* state, double ratio) {
    log.push_back("PlayerRatioToTime(" + Name(state) + "," + Number(ratio) + ")");
    // A recording of 60 seconds.
    return static_cast<int64_t>(ratio * 60000000.0);
}

double FakeEngine::PlayerGetPositionRatio(VideoState* state) {
    if (state == nullptr || !open.count(Name(state)))
        return -1.0;
    const auto ratio = ratios.find(m_channelOf.at(Name(state)));
    return ratio == ratios.end() ? -1.0 : ratio->second;
}

void FakeEngine::PlayerEnableDisplay(VideoState* state, int enable) {
    log.push_back("PlayerEnableDisplay(" + Name(state) + "," + std::to_string(enable) + ")");
}

void FakeEngine::PlayerSelectChannel(VideoState* state, int channel, int mode) {
    log.push_back("PlayerSelectChannel(" + Name(state) + "," + std::to_string(channel) + "," +
                  std::to_string(mode) + ")");
}

void FakeEngine::PlayerSetVolume(int volume) {
    log.push_back("PlayerSetVolume(" + std::to_string(volume) + ")");
}

void FakeEngine::PlayerSetRearCamSync(double seconds) {
    log.push_back("PlayerSetRearCamSync(" + Number(seconds) + ")");
}

void FakeEngine::PlayerGetPictureSize(int* width, int* height) {
    *width = pictureWidth;
    *height = pictureHeight;
}

HRESULT FakeEngine::PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize, int* width,
                                       int* height, int* pitch) {
    log.push_back("PlayerCaptureFrame(" + Name(state) + ")");
    captureBufferSizes.push_back(bufferSize);
    if (blankChannels.count(m_channelOf.at(Name(state))) != 0) {
        *width = *height = *pitch = 0;
        return S_FALSE;
    }
    const size_t needed = static_cast<size_t>(pictureWidth) * pictureHeight * 4;
    if (buffer == nullptr || bufferSize < needed)
        return E_INVALIDARG;
    // Every byte of the picture is the channel number plus one.
    std::memset(buffer, m_channelOf.at(Name(state)) + 1, needed);
    *width = pictureWidth;
    *height = pictureHeight;
    *pitch = pictureWidth * 4;
    return S_OK;
}

void FakeEngine::ResetRenderers() {
    log.push_back("ResetRenderers");
}

const FakeRecording* FakeCatalogue::Find(const stringex& key) const {
    const auto found = recordings.find(key);
    return found == recordings.end() ? nullptr : &found->second;
}

void FakeCatalogue::LoadMetadata(const stringex& key) {
    log.push_back("LoadMetadata(" + Narrow(key) + ")");
}

int FakeCatalogue::GetFrameCount(const stringex& key) const {
    const FakeRecording* recording = Find(key);
    return recording ? recording->frames : 0;
}

const wchar_t* FakeCatalogue::GetFilePath(const stringex& key, int channel) const {
    const FakeRecording* recording = Find(key);
    if (!recording)
        return nullptr;
    const std::wstring& path = channel == 1 ? recording->front : recording->rear;
    return path.empty() ? nullptr : path.c_str();
}

const GpsRecord* FakeCatalogue::GetGpsRecords(const stringex& key, int* count) const {
    const FakeRecording* recording = Find(key);
    if (!recording || recording->gps.empty())
        return nullptr;
    *count = static_cast<int>(recording->gps.size());
    return recording->gps.data();
}

const GsensorSample* FakeCatalogue::GetGsensorSamples(const stringex& key, int* count) const {
    const FakeRecording* recording = Find(key);
    if (!recording || recording->samples.empty())
        return nullptr;
    *count = static_cast<int>(recording->samples.size());
    return recording->samples.data();
}

const char* FakeCatalogue::GetCarNumber(const stringex& key) const {
    const FakeRecording* recording = Find(key);
    return recording && recording->carNumber ? recording->carNumber->c_str() : nullptr;
}

int FakeCatalogue::VerifyRecording(const stringex& key) {
    log.push_back("VerifyRecording(" + Narrow(key) + ")");
    const FakeRecording* recording = Find(key);
    return recording ? recording->verify : 0;
}

int FakeCatalogue::RemoveRecord(const stringex& key) {
    log.push_back("RemoveRecord(" + Narrow(key) + ")");
    return recordings.erase(key) ? 1 : 0;
}

void FakeCatalogue::FillListByType(IListControl* list, int type, int order) {
    log.push_back("FillListByType(" + std::to_string(type) + "," + std::to_string(order) + ")");
    list->DeleteAllItems();
    std::vector<std::wstring> keys;
    for (const auto& [key, recording] : recordings)
        if (type == 9 || recording.type == type)
            keys.push_back(key);
    if (order != 1)
        std::reverse(keys.begin(), keys.end());
    for (const std::wstring& key : keys) {
        const int row = list->InsertItem(list->GetItemCount(), L"");
        list->SetItemKey(row, key);
    }
}

BOOL FakeList::DeleteAllItems() {
    rows.clear();
    selectionMark = -1;
    return TRUE;
}

int FakeList::InsertItem(int item, const std::wstring&) {
    const int row = std::clamp(item, 0, GetItemCount());
    rows.insert(rows.begin() + row, Row{});
    return row;
}

BOOL FakeList::SetItemKey(int item, const std::wstring& key) {
    if (item < 0 || item >= GetItemCount())
        return FALSE;
    rows[item].key = key;
    return TRUE;
}

std::wstring FakeList::GetItemKey(int item) const {
    return item >= 0 && item < GetItemCount() ? rows[item].key : std::wstring();
}

int FakeList::GetSelectedCount() const {
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const Row& row) { return row.selected; }));
}

int FakeList::GetNextSelectedItem(int row) const {
    for (int next = std::max(row + 1, 0); next < GetItemCount(); ++next)
        if (rows[next].selected)
            return next;
    return -1;
}

void FakeList::SetItemSelected(int row, bool selected) {
    if (row >= 0 && row < GetItemCount())
        rows[row].selected = selected;
}

bool FakeList::DeleteItem(int row) {
    if (row < 0 || row >= GetItemCount() || deletionsLeft == 0)
        return false;
    if (deletionsLeft > 0)
        --deletionsLeft;
    rows.erase(rows.begin() + row);
    return true;
}

void FakeList::SetRows(const std::vector<std::wstring>& keys) {
    rows.clear();
    for (const std::wstring& key : keys)
        rows.push_back(Row{key, false});
}

std::vector<std::wstring> FakeList::Keys() const {
    std::vector<std::wstring> keys;
    for (const Row& row : rows)
        keys.push_back(row.key);
    return keys;
}

std::vector<int> FakeList::Selected() const {
    std::vector<int> selected;
    for (int row = 0; row < GetItemCount(); ++row)
        if (rows[row].selected)
            selected.push_back(row);
    return selected;
}

UINT_PTR FakeView::SetTimer(UINT_PTR id, UINT milliseconds) {
    char text[64];
    std::snprintf(text, sizeof(text), "SetTimer(0x%lX,%u)", static_cast<unsigned long>(id), milliseconds);
    log.push_back(text);
    timers.insert(id);
    return id;
}

void FakeView::KillTimer(UINT_PTR id) {
    char text[64];
    std::snprintf(text, sizeof(text), "KillTimer(0x%lX)", static_cast<unsigned long>(id));
    log.push_back(text);
    timers.erase(id);
}

void FakeView::ShowPlayButton(int paused) {
    log.push_back("ShowPlayButton(" + std::to_string(paused) + ")");
}

void FakeView::SetSpeedSliders(int step) {
    speedStep = step;
    log.push_back("SetSpeedSliders(" + std::to_string(step) + ")");
}

void FakeView::SetSpeedLabel(const std::wstring& label) {
    speedLabel = label;
    log.push_back("SetSpeedLabel(" + Narrow(label) + ")");
}

void FakeView::ShowSpeedReadout(const std::wstring& text, int speed) {
    readout = text;
    log.push_back("ShowSpeedReadout(" + Narrow(text) + "," + std::to_string(speed) + ")");
}

void FakeView::SetSeekRange(int maximum) {
    seekMaximum = maximum;
    log.push_back("SetSeekRange(" + std::to_string(maximum) + ")");
}

void FakeView::SetSeekPosition(int position) {
    seekPosition = position;
    log.push_back("SetSeekPosition(" + std::to_string(position) + ")");
}

void FakeView::SetVolumeSliders(int position) {
    log.push_back("SetVolumeSliders(" + std::to_string(position) + ")");
}

void FakeView::ShowPlaybackSliders(int show) {
    log.push_back("ShowPlaybackSliders(" + std::to_string(show) + ")");
}

void FakeView::ShowGpsState(int valid) {
    log.push_back("ShowGpsState(" + std::to_string(valid) + ")");
}

void FakeView::InvalidateChannelWindows() {
    log.push_back("InvalidateChannelWindows");
}

void FakeView::SetScreenMode(int channel, int enlarged) {
    log.push_back("SetScreenMode(" + std::to_string(channel) + "," + std::to_string(enlarged) + ")");
}

void FakeView::ReloadMap() {
    log.push_back("ReloadMap");
}

int FakeView::MoveMapTo(double latitude, double longitude) {
    log.push_back("MoveMapTo(" + Number(latitude) + "," + Number(longitude) + ")");
    return moveMapResult;
}

void FakeView::ShowMapNotice(int flag) {
    log.push_back("ShowMapNotice(" + std::to_string(flag) + ")");
}

void FakeView::ResetGraph() {
    log.push_back("ResetGraph");
}

void FakeView::AddGraphSample(int x, int y, int z) {
    log.push_back("AddGraphSample(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z) +
                  ")");
}

void FakeView::SetGraphCursor(int percent) {
    log.push_back("SetGraphCursor(" + std::to_string(percent) + ")");
}

void FakeView::SetGraphValues(double x, double y, double z) {
    log.push_back("SetGraphValues(" + Number(x) + "," + Number(y) + "," + Number(z) + ")");
}

bool FakeView::StartRepair(const stringex& key) {
    log.push_back("StartRepair(" + Narrow(key) + ")");
    return repairStarts;
}

void FakeView::ShowDefogWindow(const std::array<CapturedFrame, 4>& frames) {
    defogFrames = frames;
    log.push_back("ShowDefogWindow");
}

void FakeView::HidePanel(SidePanel panel) {
    visiblePanels.erase(panel);
    log.push_back("HidePanel(" + PanelName(panel) + ")");
}

void FakeView::BeginPanelSlide(SidePanel panel, UINT component) {
    char text[64];
    std::snprintf(text, sizeof(text), "BeginPanelSlide(%s,0x%X)", PanelName(panel).c_str(), component);
    log.push_back(text);
}

void FakeView::SlidePanel(SidePanel panel) {
    visiblePanels.insert(panel);
    log.push_back("SlidePanel(" + PanelName(panel) + ")");
}

void FakeView::ShowPlaylistButton(int show) {
    log.push_back("ShowPlaylistButton(" + std::to_string(show) + ")");
}

void FakeView::ShowPasswordDialog() {
    log.push_back("ShowPasswordDialog");
}

void FakeView::CloseMainWindow() {
    log.push_back("CloseMainWindow");
}

void FakeView::MinimizeMainWindow() {
    log.push_back("MinimizeMainWindow");
}

void FakeView::ShowPopupMenu(const std::vector<MenuItem>& items, const POINT* at) {
    menu = items;
    menuPoint.reset();
    if (at)
        menuPoint = *at;
    log.push_back("ShowPopupMenu");
}

void FakeView::OnOpenDirectory() {
    log.push_back("OnOpenDirectory");
}

void FakeView::OnOpenFile() {
    log.push_back("OnOpenFile");
}

void FakeView::OnCaptureToFile() {
    log.push_back("OnCaptureToFile");
}

void FakeView::OnCaptureToPrinter() {
    log.push_back("OnCaptureToPrinter");
}

void FakeView::CopyRecordings(int mode) {
    log.push_back("CopyRecordings(" + std::to_string(mode) + ")");
}

int FakeView::OpenCardFolder() {
    log.push_back("OpenCardFolder");
    return cardOpens;
}

void FakeView::HideLoadingBox() {
    log.push_back("HideLoadingBox");
}

void FakeView::ShowMainWindow(int show) {
    log.push_back("ShowMainWindow(" + std::to_string(show) + ")");
}

void FakeView::ReadConfig() {
    log.push_back("ReadConfig");
}

FakeMessageBoxes::FakeMessageBoxes(Log& calls) : log(calls), m_previous(SetWindowSystem(this)) {}

FakeMessageBoxes::~FakeMessageBoxes() {
    SetWindowSystem(m_previous);
}

int FakeMessageBoxes::ShowMessageBox(HWND, const std::wstring& text, const std::wstring&, UINT type) {
    const bool question = (type & MB_TYPEMASK) == MB_YESNO;
    log.push_back("MessageBox(" + Narrow(text) + (question ? "?" : "") + ")");
    if (answers.empty())
        return question ? IDNO : IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

TraceCapture::TraceCapture() {
    SetTraceSink([this](const std::wstring& line) { lines.push_back(Narrow(line)); });
}

TraceCapture::~TraceCapture() {
    SetTraceSink(TraceSink());
}

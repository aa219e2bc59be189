#include "viewer/ui/playbacktransport.h"

#include "platform/base/codepage.h"
#include "platform/base/file.h"
#include "platform/base/filesystem.h"
#include "platform/base/trace.h"
#include "platform/base/windowsystem.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/recordingnames.h"
#include "viewer/ui/playbacktick.h"
#include "viewer/ui/playerengine.h"
#include "viewer/ui/playlistcontrol.h"
#include "viewer/ui/rearcamsync.h"
#include "viewer/ui/recordingcatalogue.h"
#include "viewer/ui/speedrules.h"
#include "viewer/ui/transportview.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr UINT kStringMalformed = 178;
constexpr UINT kStringVerifySuccess = 207;
constexpr UINT kStringVerifyFail = 208;
constexpr UINT kStringAskRepair = 210;
constexpr UINT kStringNotFound = 213;
constexpr UINT kStringNoPlayingVideo = 227;

constexpr UINT kSbThumbTrack = 5;
constexpr UINT kSbEndScroll = 8;

// The caption buffer holds 20 units with the terminator.
constexpr size_t kCaptionLength = 19;

bool CanOpenForReading(const std::wstring& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        return false;
    }
    file.Abort();
    return true;
}

// Graph values are micro-g lifted by 4 g, so that the graph's lines stay above zero.
int GraphValue(float axis) {
    return static_cast<int>(std::trunc(static_cast<double>(axis) * 1000000.0)) + 4000000;
}

bool InGraphRange(float axis) {
    return axis > -2.0f && axis < 2.0f;
}

} // namespace

PlaybackTransport::PlaybackTransport(IPlayerEngine& engine, IRecordingCatalogue& catalogue,
                                     IPlaylistControl& list, ITransportView& view)
    : m_engine(engine), m_catalogue(catalogue), m_list(list), m_view(view) {}

VideoState* PlaybackTransport::GetChannel(int channel) const {
    return channel >= 0 && channel < kChannelCount ? m_channels[channel] : nullptr;
}

bool PlaybackTransport::IsAnyChannelOpen() const {
    for (VideoState* channel : m_channels) {
        if (channel != nullptr) {
            return true;
        }
    }
    return false;
}

bool PlaybackTransport::HasGpsSpeed() const {
    return m_gpsRecords != nullptr && m_gpsCount > 0 && m_gpsRecords[0].speed >= 0.0;
}

int PlaybackTransport::Message(UINT id, UINT type) {
    return MessageBox(m_view.GetViewWindow(), m_view.LoadText(id), L"", type);
}

void PlaybackTransport::LeaveEnlargedDisplay() {
    m_view.SetScreenMode(m_engine.PlayerGetSelectedChannel(), 0);
}

void PlaybackTransport::ReloadMap() {
    m_view.ReloadMap();
    m_lastLatitude = -1.0f;
    m_lastLongitude = -1.0f;
}

void PlaybackTransport::ResetListPosition() {
    m_currentListIndex = -1;
    m_playingRow = -1;
    m_list.Repaint();
}

void PlaybackTransport::Play() {
    if (!IsAnyChannelOpen()) {
        const int anchor = m_list.GetSelectionMark();
        if (anchor != -1 && m_list.GetSelectedCount() == 1) {
            OpenAndPlay(anchor);
        }
        return;
    }
    m_speedValue = 1;
    for (VideoState* channel : m_channels) {
        if (channel != nullptr) {
            m_engine.PlayerPlay(channel);
        }
    }
    m_view.ShowPlayButton(0);
    m_paused = 0;
}

void PlaybackTransport::Pause() {
    if (!IsAnyChannelOpen()) {
        return;
    }
    m_view.ShowPlayButton(1);
    for (VideoState* channel : m_channels) {
        if (channel != nullptr) {
            m_engine.PlayerPause(channel);
        }
    }
    m_paused = 1;
    SetSpeedStep(SpeedRules::kNormalStep, 0);
}

void PlaybackTransport::TogglePlayPause() {
    if (!IsAnyChannelOpen()) {
        return;
    }
    if (m_paused == 1) {
        Play();
    } else {
        Pause();
    }
}

void PlaybackTransport::Step() {
    if (!IsAnyChannelOpen()) {
        return;
    }
    m_speedValue = 1;
    m_view.ShowPlayButton(1);
    for (VideoState* channel : m_channels) {
        if (channel != nullptr) {
            m_engine.PlayerStep(channel);
        }
    }
    m_countdown = PlaybackTick::kAfterStep;
    SetSpeedStep(SpeedRules::kNormalStep, 0);
}

void PlaybackTransport::Stop(int keepIndex, int force) {
    if (force != 0 || IsAnyChannelOpen()) {
        m_paused = 1;
        m_speedValue = 1;
        if (keepIndex != 1) {
            m_currentListIndex = -1;
            m_playingRow = -1;
        }
        ClosePlayers(1);
        ShowSpeed(-1.0);
        m_playingKey.clear();
    }
    SetSpeedStep(SpeedRules::kNormalStep, 0);
}

int PlaybackTransport::ClosePlayers(int showPlay) {
    if (m_tickTimer != 0) {
        m_view.KillTimer(m_tickTimer);
    }
    // Every open channel is closed, with or without a tick: an open that failed half-way has
    // channels but never started one.
    for (VideoState*& channel : m_channels) {
        if (channel != nullptr) {
            m_engine.PlayerClose(channel);
            channel = nullptr;
        }
    }
    if (showPlay != 0) {
        m_view.ShowPlayButton(1);
    }
    m_view.ShowMapNotice(0);
    m_view.ResetGraph();
    m_gpsRecords = nullptr;
    m_gpsCount = 0;
    m_view.InvalidateChannelWindows();
    m_view.SetSeekPosition(0);
    m_speedValue = 1;
    m_list.Repaint();
    m_samples = nullptr;
    m_sampleCount = 0;
    m_view.ShowPlaybackSliders(0);
    m_view.ShowGpsState(0);
    return 1;
}

void PlaybackTransport::SetSpeedStep(int step, int apply) {
    m_view.SetSpeedSliders(step);
    m_speedValue = SpeedRules::SpeedValue(step);
    if (apply != 0) {
        if (!IsAnyChannelOpen() || m_paused != 0) {
            SetSpeedStep(SpeedRules::kNormalStep, 0);
            return;
        }
        for (VideoState* channel : m_channels) {
            if (channel != nullptr) {
                m_engine.PlayerSetSpeed(channel, std::abs(m_speedValue), m_speedValue > 0 ? 1 : 0);
            }
        }
    }
    m_view.SetSpeedLabel(SpeedRules::SpeedLabel(step));
}

void PlaybackTransport::ShowSpeed(double knots) {
    const int speed = SpeedRules::VehicleSpeed(knots, m_unitOfSpeed);
    m_view.ShowSpeedReadout(SpeedRules::ReadoutText(speed), speed);
}

void PlaybackTransport::PlayPrevFile() {
    if (!IsAnyChannelOpen()) {
        return;
    }
    if (m_currentListIndex > 0 && m_currentListIndex < m_list.GetItemCount()) {
        if (OpenAndPlay(m_currentListIndex - 1) == 0) {
            ResetListPosition();
        }
        return;
    }
    TraceLine(L"Begin of file list");
}

void PlaybackTransport::PlayNextFile() {
    if (m_currentListIndex >= 0 && m_currentListIndex < m_list.GetItemCount() - 1) {
        if (OpenAndPlay(m_currentListIndex + 1) == 0) {
            ResetListPosition();
        }
        return;
    }
    TraceLine(L"End of file list");
}

void PlaybackTransport::DeleteSelectedRecordings() {
    int row = m_list.GetNextSelectedItem(-1);
    while (row != -1) {
        const stringex key = m_list.GetItemKey(row);
        // A row without a key stays; the search goes on below it, so the loop ends.
        if (key.empty()) {
            row = m_list.GetNextSelectedItem(row);
            continue;
        }
        if (!m_playingKey.empty() && key == m_playingKey) {
            Stop(0, 0);
        }
        m_catalogue.RemoveRecord(key);
        if (!m_list.DeleteItem(row)) {
            row = m_list.GetNextSelectedItem(row);
            continue;
        }
        // The rows below moved up; the open recording's row with them.
        if (row < m_currentListIndex) {
            --m_currentListIndex;
        }
        if (row < m_playingRow) {
            --m_playingRow;
        }
        row = m_list.GetNextSelectedItem(row - 1);
    }
}

void PlaybackTransport::DefogCurrentFrame() {
    if (!IsAnyChannelOpen()) {
        Message(kStringNoPlayingVideo, MB_OK);
        return;
    }
    LeaveEnlargedDisplay();
    Pause();
    int width = 0;
    int height = 0;
    m_engine.PlayerGetPictureSize(&width, &height);
    const size_t bufferSize = width > 0 && height > 0 ? static_cast<size_t>(width) * height * 4 : 0;
    std::array<CapturedFrame, kChannelCount> frames;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (m_channels[channel] == nullptr) {
            continue;
        }
        CapturedFrame& frame = frames[channel];
        frame.open = true;
        frame.pixels.assign(bufferSize, 0);
        int pitch = 0;
        if (m_engine.PlayerCaptureFrame(m_channels[channel], frame.pixels.data(), frame.pixels.size(),
                                        &frame.width, &frame.height, &pitch) != S_OK) {
            frame.width = 0;
            frame.height = 0;
        }
        frame.pixels.resize(static_cast<size_t>(frame.width) * frame.height * 4);
    }
    m_view.ShowDefogWindow(frames);
}

std::wstring PlaybackTransport::GetFileNameOfPath(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

int PlaybackTransport::FailOpen(UINT message) {
    ClosePlayers(1);
    LeaveEnlargedDisplay();
    Message(message, MB_OK);
    return 0;
}

void PlaybackTransport::OpenChannel(int channel, const std::string& name, const std::wstring& folder) {
    // Channel 0 plays the sound.
    m_channels[channel] =
        m_engine.PlayerOpen(name, folder, g_screenWidth, g_screenHeight, channel == 0 ? 0 : 1, channel);
    if (m_channels[channel] != nullptr) {
        m_engine.PlayerEnableDisplay(m_channels[channel], 1);
    }
}

void PlaybackTransport::FillGraph(const stringex& key) {
    int count = 0;
    const GsensorSample* samples = m_catalogue.GetGsensorSamples(key, &count);
    m_samples = samples;
    m_sampleCount = samples != nullptr ? count : 0;
    m_view.ResetGraph();
    m_gsensorData = 0;
    if (samples == nullptr || count <= 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        const GsensorSample& sample = samples[i];
        if (!InGraphRange(sample.x) || !InGraphRange(sample.y) || !InGraphRange(sample.z)) {
            break;
        }
        m_view.AddGraphSample(GraphValue(sample.x), GraphValue(sample.y), GraphValue(sample.z));
    }
    m_view.SetGraphCursor(0);
    m_view.SetGraphValues(0.0, 0.0, 0.0);
    m_gsensorData = 1;
}

int PlaybackTransport::OpenAndPlay(int row) {
    m_frontPath.clear();
    m_rearPath.clear();
    const stringex key = m_list.GetItemKey(row);
    if (key.empty()) {
        LeaveEnlargedDisplay();
        Message(kStringMalformed, MB_OK);
        return 0;
    }
    m_playingKey.clear();
    SetSpeedStep(SpeedRules::kNormalStep, 0);
    ClosePlayers(0);
    m_engine.PlayerInvalidateFrames();
    ReloadMap();

    const wchar_t* ownFile = m_catalogue.GetFilePath(key, 1);
    FileSystem::Status status;
    if (ownFile == nullptr || !FileSystem::GetStatus(ownFile, status)) {
        Message(kStringNotFound, MB_OK);
        return 0;
    }
    m_catalogue.LoadMetadata(key);
    const int frames = m_catalogue.GetFrameCount(key);
    if (frames <= 0) {
        LeaveEnlargedDisplay();
        ResetListPosition();
        Message(kStringMalformed, MB_OK);
        if (Message(kStringAskRepair, MB_YESNO) == IDYES) {
            m_repairKey = key;
            if (!m_view.StartRepair(key)) {
                TraceLine(L"Draw: Couldn't start a Repair thread");
                return 0;
            }
        }
        Stop(0, 1);
        return 0;
    }

    m_seekMaximum = frames;
    m_view.SetSeekRange(frames);
    m_view.SetSeekPosition(0);
    FillGraph(key);
    int gpsCount = 0;
    m_gpsRecords = m_catalogue.GetGpsRecords(key, &gpsCount);
    m_gpsCount = m_gpsRecords != nullptr ? gpsCount : 0;
    if (m_gpsRecords != nullptr && m_gpsCount > 0) {
        m_view.ShowGpsState(HasGpsSpeed() ? 1 : 0);
    }

    bool untagged = false;
    bool second = false;
    std::string name0;
    std::wstring folder;
    if (const wchar_t* path = m_catalogue.GetFilePath(key, 1)) {
        untagged = LacksFrontRearTag(path) != 0;
        second = untagged && GetFileTagCode(path, 2) != 0;
        // The display was reset above: a file that vanished since must not end in silence.
        if (!CanOpenForReading(path)) {
            return FailOpen(kStringNotFound);
        }
        m_frontPath = path;
        m_frontName = GetFileNameOfPath(m_frontPath);
        folder = m_frontPath.substr(0, m_frontPath.size() - m_frontName.size());
        name0 = AnsiFromWide(m_frontName);
        OpenChannel(0, name0, folder);
    }
    if ((!untagged && m_numberOfChannel == 2) || (untagged && second)) {
        if (const wchar_t* path2 = m_catalogue.GetFilePath(key, untagged ? 1 : 0)) {
            std::string name1;
            if (LacksFrontRearTag(path2) == 0) {
                // Whatever this open already started is closed again.
                if (!CanOpenForReading(path2)) {
                    return FailOpen(kStringMalformed);
                }
                m_rearPath = path2;
                m_rearName = GetFileNameOfPath(m_rearPath);
                folder = m_rearPath.substr(0, m_rearPath.size() - m_rearName.size());
                name1 = AnsiFromWide(m_rearName);
            }
            OpenChannel(1, untagged ? name0 : name1, folder);
            const int tags = GetFileTagCode(path2, 2);
            for (int channel = 2; channel <= tags && channel < kChannelCount; ++channel) {
                OpenChannel(channel, name0, folder);
            }
        }
    }
    if (!IsAnyChannelOpen()) {
        LeaveEnlargedDisplay();
        Message(kStringMalformed, MB_OK);
        return 0;
    }
    const bool sideOpen = m_channels[1] != nullptr || m_channels[2] != nullptr || m_channels[3] != nullptr;
    m_engine.PlayerSetRearCamSync(m_channels[0] != nullptr && sideOpen ? ReadRearCamSync() : 0.0);

    m_currentListIndex = row;
    m_playingRow = row;
    const int anchor = m_list.GetSelectionMark();
    if (anchor != -1) {
        m_list.SetItemSelected(anchor, false);
    }
    m_list.SetItemSelected(row, true);
    m_list.SetSelectionMark(row);
    m_list.EnsureVisible(row);

    m_paused = 0;
    const int enlarged = m_engine.PlayerGetSelectedChannel();
    if (enlarged >= 0 && enlarged < kChannelCount && m_channels[enlarged] == nullptr) {
        LeaveEnlargedDisplay();
    }
    // A recording without a car number must not show the previous recording's.
    m_caption.clear();
    if (const char* carNumber = m_catalogue.GetCarNumber(key)) {
        m_caption = WideFromAnsi(carNumber).substr(0, kCaptionLength);
    }
    ApplyCaption(1);
    m_engine.PlayerSetVolume(m_volume);
    m_endOfFileCount = 0;
    m_playingKey = key;
    m_tickTimer = m_view.SetTimer(PlaybackTick::kTimerId, PlaybackTick::kPeriod);
    m_view.ShowPlayButton(0);
    m_list.Repaint();
    m_view.ShowPlaybackSliders(1);
    return 1;
}

void PlaybackTransport::ApplyCaption(int flag) {
    if (flag == 0) {
        return;
    }
    for (VideoState* channel : m_channels) {
        if (channel != nullptr) {
            m_engine.PlayerSetCaption(channel, m_caption);
        }
    }
}

void PlaybackTransport::OnVerifyRecording() {
    if (m_verifyRow == -1) {
        return;
    }
    const stringex key = m_list.GetItemKey(m_verifyRow);
    LeaveEnlargedDisplay();
    if (key.empty()) {
        Message(kStringMalformed, MB_OK);
        return;
    }
    Message(m_catalogue.VerifyRecording(key) == 1 ? kStringVerifySuccess : kStringVerifyFail, MB_OK);
}

void PlaybackTransport::OnTick() {
    if (!PlaybackTick::Runs(m_countdown, m_paused)) {
        return;
    }
    int master = 0;
    while (master < kChannelCount && m_channels[master] == nullptr) {
        ++master;
    }
    const double ratio =
        m_engine.PlayerGetPositionRatio(master < kChannelCount ? m_channels[master] : nullptr);
    if (ratio >= 0.0) {
        m_currentPosition = PlaybackTick::SliderPosition(m_seekMaximum, ratio);
        m_view.SetSeekPosition(m_currentPosition);
        // The map, the speed and the graph follow the front camera alone.
        if (master == 0) {
            FollowMap(m_currentPosition);
            FollowGraph(ratio, m_currentPosition);
        }
        return;
    }
    if (m_endOfFileCount == 0) {
        m_view.SetSeekPosition(m_seekMaximum);
        m_endOfFileCount = 1;
        return;
    }
    Stop(1, 0);
    PlayNextFile();
}

void PlaybackTransport::FollowMap(int position) {
    switch (PlaybackTick::MapActionAt(m_gpsRecords, m_gpsCount, position, m_lastLatitude, m_lastLongitude)) {
    case PlaybackTick::MapAction::NONE:
        return;
    case PlaybackTick::MapAction::NOTICE:
        m_view.ShowMapNotice(0);
        break;
    case PlaybackTick::MapAction::MOVE: {
        const float latitude = static_cast<float>(m_gpsRecords[position].latitude);
        const float longitude = static_cast<float>(m_gpsRecords[position].longitude);
        // A page that could not take it (no connection) is given the fix again next tick.
        if (m_view.MoveMapTo(latitude, longitude) == 1) {
            m_view.ShowMapNotice(1);
            m_lastLatitude = latitude;
            m_lastLongitude = longitude;
        }
        break;
    }
    }
    if (m_gpsRecords != nullptr && position < m_gpsCount) {
        ShowSpeed(m_gpsRecords[position].speed);
    }
}

void PlaybackTransport::FollowGraph(double ratio, int position) {
    if (m_gsensorData != 1) {
        return;
    }
    const int percent = PlaybackTick::GraphPercent(ratio);
    if (percent <= 0) {
        return;
    }
    m_view.SetGraphCursor(percent);
    const int index =
        PlaybackTick::SampleIndex(position, m_sampleCount, m_seekMaximum, ModelIndexBelow3() != 0);
    if (m_samples != nullptr && index >= 0 && index < m_sampleCount) {
        const GsensorSample& sample = m_samples[index];
        m_view.SetGraphValues(sample.x, sample.y, sample.z);
    } else {
        m_view.SetGraphValues(0.0, 0.0, 0.0);
    }
}

void PlaybackTransport::OnHScroll(Slider slider, UINT code, int position) {
    switch (slider) {
    case Slider::SEEK:
        if (code == kSbEndScroll) {
            OnSeekSliderEnd(position);
        }
        break;
    case Slider::VOLUME:
        if (code == kSbEndScroll) {
            m_volume = position;
            m_view.SetVolumeSliders(position);
            m_engine.PlayerSetVolume(position);
        }
        break;
    case Slider::SPEED:
        if (code == kSbEndScroll) {
            SetSpeedStep(position, 1);
        } else if (code == kSbThumbTrack) {
            SetSpeedStep(position, 0);
        }
        break;
    }
}

void PlaybackTransport::OnSeekSliderEnd(int position) {
    if (m_channels[0] == nullptr && m_channels[1] == nullptr) {
        m_view.SetSeekPosition(0);
        m_view.SetGraphCursor(0);
        return;
    }
    TraceLine(L"cur ==== " + std::to_wstring(position) + L"\n");
    const double ratio = m_seekMaximum > 0 ? static_cast<double>(position) / m_seekMaximum : 0.0;
    m_currentPosition = position;
    m_view.SetSeekPosition(position);
    m_view.SetGraphCursor(PlaybackTick::GraphPercent(ratio));
    SeekToRatio(ratio);
    m_countdown = PlaybackTick::kAfterSeek;
}

void PlaybackTransport::SeekToRatio(double ratio) {
    if (m_channels[0] != nullptr) {
        m_engine.PlayerSeekRatio(m_channels[0], ratio);
    }
    // How the other channels follow depends on the playing recording, whatever row the list now
    // shows at the current index.
    const wchar_t* path = m_catalogue.GetFilePath(m_playingKey, 1);
    const bool untagged = LacksFrontRearTag(path != nullptr ? path : L"") != 0;
    for (int channel = 1; channel < kChannelCount; ++channel) {
        if (m_channels[channel] == nullptr) {
            continue;
        }
        if (untagged) {
            m_engine.PlayerSeekRatio(m_channels[channel], ratio);
        } else {
            m_engine.PlayerSeekTime(m_channels[channel], m_engine.PlayerRatioToTime(m_channels[0], ratio));
        }
    }
}

void PlaybackTransport::OnGraphSeek(LPARAM position) {
    if (!IsAnyChannelOpen()) {
        return;
    }
    // Handed on whole: a recording may have more than 65,535 frames.
    OnHScroll(Slider::SEEK, kSbEndScroll, PlaybackTick::GraphSeekPosition(m_seekMaximum, position));
}

void PlaybackTransport::OnPlayerReadError(WPARAM code) {
    Stop(0, 0);
    if (code == 1) {
        Message(kStringMalformed, MB_OK);
    }
}

void PlaybackTransport::RefreshListSelection() {
    m_playingRow = -1;
    const int count = m_playingKey.empty() ? 0 : m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (m_list.GetItemKey(row) != m_playingKey) {
            continue;
        }
        m_playingRow = row;
        const int selected = m_list.GetNextSelectedItem(-1);
        if (selected != -1) {
            m_list.SetItemSelected(selected, false);
        }
        m_list.SetItemSelected(row, true);
        m_list.SetSelectionMark(row);
        m_list.EnsureVisible(row);
        break;
    }
    m_list.Repaint();
}

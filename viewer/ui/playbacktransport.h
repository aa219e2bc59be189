#pragma once
// The main view's playback, apart from its windows: play, pause, step, stop, speed, the previous
// and next recording, deleting recordings, opening a recording on up to four engine channels, the
// 500 ms tick that follows the position, seeking with the sliders, and the frames for the defog
// window. It holds the view's playback state; the view forwards its buttons, slider messages and
// the tick to it and shows what it is told through ITransportView.

#include "viewer/catalogue/moviesimpleparser.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <array>
#include <string>

class IPlayerEngine;
class IPlaylistControl;
class IRecordingCatalogue;
class ITransportView;
struct VideoState;

class PlaybackTransport {
  public:
    static constexpr int kChannelCount = 4;
    // The view's sliders that report to it.
    enum class Slider { SEEK, VOLUME, SPEED };

    PlaybackTransport(IPlayerEngine& engine, IRecordingCatalogue& catalogue, IPlaylistControl& list,
                      ITransportView& view);
    PlaybackTransport(const PlaybackTransport&) = delete;
    PlaybackTransport& operator=(const PlaybackTransport&) = delete;

    // Resumes; with nothing open, opens the selection anchor row when it is the only row selected.
    void Play();
    void Pause();
    void TogglePlayPause();
    // One frame on; the tick follows the position while paused from then on.
    void Step();
    // Closes everything; keepIndex 1 keeps the current list index (the next recording follows it);
    // force resets the state even with nothing open.
    void Stop(int keepIndex, int force);
    // Closes every open channel and resets the display; showPlay shows the Play button. Returns 1.
    int ClosePlayers(int showPlay);
    // Steps 0-6 of the speed sliders; apply tells the engine, which only a playing recording takes.
    void SetSpeedStep(int step, int apply);
    // The vehicle speed readout; a negative speed shows none.
    void ShowSpeed(double knots);
    void PlayPrevFile();
    void PlayNextFile();
    // Removes the selected rows and their recordings; the playing one is stopped first.
    void DeleteSelectedRecordings();
    // Pauses and hands the current picture of every open channel to the defog window; message 227
    // with nothing open.
    void DefogCurrentFrame();

    // Opens the recording of the list row on its channels and plays it: 1, or 0 when it could not
    // be opened (the user was told why, or was offered a repair).
    int OpenAndPlay(int row);
    // Non-zero draws the caption (the car number) on every open channel.
    void ApplyCaption(int flag);
    // 2 plays a pair's rear file on channel 1 too; any other value the front file alone.
    void SetNumberOfChannel(int count) { m_numberOfChannel = count; }
    void Set1ChannelDisplay(int display) { m_1ChannelDisplay = display; }
    // 0 km/h, 1 mph.
    void SetUnitOfSpeed(int unit) { m_unitOfSpeed = unit; }
    // The row the verify command checks; -1 none.
    void SetVerifyRow(int row) { m_verifyRow = row; }
    // Checks the signature of the recording in the verify row: message 207 or 208.
    void OnVerifyRecording();
    // The text after the last '/' (the whole path without one).
    static std::wstring GetFileNameOfPath(const std::wstring& path);

    // The tick timer (PlaybackTick::kTimerId): moves the seek sliders, the map, the speed readout and the
    // G-sensor cursor with the position, and at the end of the recording goes on to the next row.
    void OnTick();

    // A slider's report: code SB_ENDSCROLL or SB_THUMBTRACK with the slider's whole position.
    void OnHScroll(Slider slider, UINT code, int position);
    void SeekToRatio(double ratio);
    // A click on the G-sensor graph, in 1/10000 of its width: seeks there as the seek slider does.
    void OnGraphSeek(LPARAM position);
    // An engine channel could not read its file: stop, and for 1 tell the user (178).
    void OnPlayerReadError(WPARAM code);
    // Finds the playing recording's row after the list was refilled, and selects it.
    void RefreshListSelection();

    VideoState* GetChannel(int channel) const;
    bool IsAnyChannelOpen() const;
    int GetPaused() const { return m_paused; }
    int GetSpeedValue() const { return m_speedValue; }
    int GetCountdown() const { return m_countdown; }
    int GetCurrentListIndex() const { return m_currentListIndex; }
    int GetPlayingRow() const { return m_playingRow; }
    // For the playlist, which draws that row as playing.
    const int* GetPlayingRowPointer() const { return &m_playingRow; }
    const stringex& GetPlayingKey() const { return m_playingKey; }
    const stringex& GetRepairKey() const { return m_repairKey; }
    // The seek position the last tick or seek set.
    int GetCurrentPosition() const { return m_currentPosition; }
    int GetSeekMaximum() const { return m_seekMaximum; }
    int GetVolume() const { return m_volume; }
    int GetNumberOfChannel() const { return m_numberOfChannel; }
    int Get1ChannelDisplay() const { return m_1ChannelDisplay; }
    int GetUnitOfSpeed() const { return m_unitOfSpeed; }
    const std::wstring& GetCaption() const { return m_caption; }
    // Whether the playing recording's GPS gives a speed (its first fix's speed is not negative).
    bool HasGpsSpeed() const;
    // The open recording's files (for copying): full paths and names; empty when not open.
    const std::wstring& GetFrontPath() const { return m_frontPath; }
    const std::wstring& GetRearPath() const { return m_rearPath; }
    const std::wstring& GetFrontName() const { return m_frontName; }
    const std::wstring& GetRearName() const { return m_rearName; }

  private:
    int Message(UINT id, UINT type);
    void LeaveEnlargedDisplay();
    void ReloadMap();
    void OpenChannel(int channel, const std::string& name, const std::wstring& folder);
    void FillGraph(const stringex& key);
    int FailOpen(UINT message);
    void ResetListPosition();
    void OnSeekSliderEnd(int position);
    void FollowMap(int position);
    void FollowGraph(double ratio, int position);

    IPlayerEngine& m_engine;
    IRecordingCatalogue& m_catalogue;
    IPlaylistControl& m_list;
    ITransportView& m_view;

    std::array<VideoState*, kChannelCount> m_channels{};
    int m_paused = 1;
    int m_speedValue = 1;
    int m_countdown = 0;
    int m_endOfFileCount = 0;
    int m_currentListIndex = -1;
    int m_playingRow = -1;
    stringex m_playingKey;
    stringex m_repairKey;
    UINT_PTR m_tickTimer = 0;
    int m_currentPosition = 0;
    // The seek sliders are made with the range 0 to 100 and the volume sliders at 50.
    int m_seekMaximum = 100;
    int m_volume = 50;
    int m_numberOfChannel = 2;
    int m_1ChannelDisplay = 0;
    int m_unitOfSpeed = 0;
    int m_verifyRow = -1;
    std::wstring m_caption;
    std::wstring m_frontPath;
    std::wstring m_rearPath;
    std::wstring m_frontName;
    std::wstring m_rearName;
    const GpsRecord* m_gpsRecords = nullptr;
    int m_gpsCount = 0;
    const GsensorSample* m_samples = nullptr;
    int m_sampleCount = 0;
    int m_gsensorData = 0;
    // The fix the map page took last; forgotten whenever the page is reloaded, so that a new page
    // is always given the car.
    float m_lastLatitude = -1.0f;
    float m_lastLongitude = -1.0f;
};

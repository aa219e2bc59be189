#pragma once
// The main view as its transport sees it: the controls that show the playback, the view's
// timers, its texts, and the panels the playback feeds. The view implements it over its windows;
// the transport never owns it.

#include "platform/base/windowsystem.h"
#include "platform/base/wintypes.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <array>
#include <string>
#include <vector>

// One channel's picture as the defog window receives it.
struct CapturedFrame {
    // False for a channel that is not open: the defog window gets no picture for it.
    bool open = false;
    // 0 when the engine had no picture to give.
    int width = 0;
    int height = 0;
    // 32-bit pixels (B, G, R, X), rows of width * 4 bytes.
    std::vector<BYTE> pixels;
};

class ITransportView {
  public:
    // Owner of the transport's message boxes.
    virtual HWND GetViewWindow() = 0;
    // The string library's text in the view's language.
    virtual std::wstring LoadText(UINT id) = 0;
    // The view window's timers: SetTimer answers the id it started, 0 on failure.
    virtual UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) = 0;
    virtual void KillTimer(UINT_PTR id) = 0;

    // paused 0 shows the Pause button and hides Play, anything else the reverse; on the view and
    // on the control bar.
    virtual void ShowPlayButton(int paused) = 0;
    // The view's and the control bar's speed sliders, without notification.
    virtual void SetSpeedSliders(int step) = 0;
    // The view's and the control bar's playback speed labels ("1x", "1/2x", ...), repainted.
    virtual void SetSpeedLabel(const std::wstring& label) = 0;
    // The vehicle speed: the text in the view's readout, the whole number (-1 none) to the control bar.
    virtual void ShowSpeedReadout(const std::wstring& text, int speed) = 0;
    // Both seek sliders: range 0 to maximum, without repainting.
    virtual void SetSeekRange(int maximum) = 0;
    // Both seek sliders, without notification.
    virtual void SetSeekPosition(int position) = 0;
    // Both volume sliders.
    virtual void SetVolumeSliders(int position) = 0;
    // 1 shows the volume and speed sliders and the speed label in place of their cover; 0 the reverse.
    virtual void ShowPlaybackSliders(int show) = 0;
    // The GPS-valid (non-zero) or GPS-invalid look of the readout and the signs; shows or hides the map.
    virtual void ShowGpsState(int valid) = 0;
    // Repaints (with erasing) the four video windows.
    virtual void InvalidateChannelWindows() = 0;
    // enlarged 0 gives up showing the channel alone; channels outside 0-3 only refresh the monitor.
    virtual void SetScreenMode(int channel, int enlarged) = 0;

    // Map panel: reload the map page; move the car (1 when the page took it); 0 shows the page's
    // notice, 1 hides it.
    virtual void ReloadMap() = 0;
    virtual int MoveMapTo(double latitude, double longitude) = 0;
    virtual void ShowMapNotice(int flag) = 0;
    // G-sensor panel: empty the graph; push one value into each of its three lines; the cursor in
    // percent of the recording; the values shown as current.
    virtual void ResetGraph() = 0;
    virtual void AddGraphSample(int x, int y, int z) = 0;
    virtual void SetGraphCursor(int percent) = 0;
    virtual void SetGraphValues(double x, double y, double z) = 0;
    // Starts the repair of the recording on its worker; false when the worker cannot start.
    virtual bool StartRepair(const stringex& key) = 0;
    // Gives the defog window the channels' pictures (it owns them from then on), repaints it,
    // makes it topmost and shows it.
    virtual void ShowDefogWindow(const std::array<CapturedFrame, 4>& frames) = 0;

  protected:
    ~ITransportView() = default;
};

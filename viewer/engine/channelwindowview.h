#pragma once
// The main view as its channel windows see it: the players it opened, its layout and screen mode,
// its channel windows and its playback control bar. The view implements it; the windows never
// own it.

struct VideoState;
class CWnd;

class IChannelWindowView {
  public:
    // The channel's player as PlayerOpen returned it; null when none is open and for any channel
    // but 0..3.
    virtual VideoState* GetPlayer(int channel) = 0;
    // The NumberOfChannel setting: 1, 2 or 4 windows.
    virtual int GetNumberOfChannel() = 0;
    // enlarged 1 shows the channel alone over its monitor, 0 brings back the normal layout.
    virtual void SetScreenMode(int channel, int enlarged) = 0;
    // Repaint (with erasing) the video window of channel 0, 1, 2 and 3.
    virtual void InvalidateChannelWnd1() = 0;
    virtual void InvalidateChannelWnd2() = 0;
    virtual void InvalidateChannelWnd3() = 0;
    virtual void InvalidateChannelWnd4() = 0;
    // Null until the bar exists.
    virtual CWnd* GetPlaybackControlBar() = 0;

  protected:
    ~IChannelWindowView() = default;
};

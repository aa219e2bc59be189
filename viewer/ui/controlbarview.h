#pragma once
// The main view as the full-screen playback control bar sees it: the transport operations its
// buttons call and the window its slider movements go to. The view implements it; the bar never
// owns it.

#include "platform/ui/windefs.h"

class IControlBarView {
  public:
    virtual void PlayPrevFile() = 0;
    // Resumes, or opens the selected recording.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop(int keepIndex, int force) = 0;
    // One frame on.
    virtual void Step() = 0;
    virtual void PlayNextFile() = 0;
    // The capture and copy menu at the cursor.
    virtual void ShowCaptureMenu() = 0;
    // 0: the current frames of every open channel.
    virtual void DefogCurrentFrame(int channels) = 0;
    // enlarged 1 shows the channel alone over its monitor, 0 brings back the normal layout.
    virtual void SetScreenMode(int channel, int enlarged) = 0;
    // Receives the bar's slider movements as WM_HSCROLL, as if its own sliders had moved.
    virtual HWND GetViewWindow() = 0;

  protected:
    ~IControlBarView() = default;
};

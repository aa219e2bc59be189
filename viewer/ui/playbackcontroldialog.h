#pragma once
// The transport bar that floats over the picture while one channel is shown enlarged over the
// whole monitor: the main window's transport buttons and its seek, volume and speed sliders again,
// all from the skin. Every button calls the view, every slider movement goes to the view as if its
// own slider had moved, and the bar hides when the cursor leaves the bottom of the monitor.

#include "platform/ui/dialog.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/componentinfo.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"
#include "viewer/ui/controlbarview.h"

class ResStorage;

class PlaybackControlDialog : public CDialog {
  public:
    enum { IDD = 167 };
    enum : UINT {
        ID_FIRST_COMMAND = 23001,
        ID_BACKGROUND = 23002,
        ID_PREV = 23003,
        ID_PLAY = 23004,
        ID_PAUSE = 23005,
        ID_STOP = 23006,
        ID_STEP = 23007,
        ID_NEXT = 23008,
        ID_CAPTURE = 23009,
        ID_DEFOG = 23010,
        ID_SEEK = 23011,
        ID_VOLUME = 23012,
        ID_SPEED = 23013,
        ID_SPEED_READOUT = 23014,
        ID_PLAYBACK_SPEED = 23015,
        ID_UNIT_A = 23016,
        ID_UNIT_B = 23017,
        ID_LAST_COMMAND = 23500,
    };

    explicit PlaybackControlDialog(CWnd* parent = nullptr);
    ~PlaybackControlDialog() override;

    void SetResStorage(ResStorage* store) { m_store = store; }
    void SetView(IControlBarView* view) { m_view = view; }
    // Builds the bar from the skin; nothing without a skin store.
    void CreateControls();
    // The view's own sliders, which the bar's slider movements stand in for.
    void SetViewSliders(HWND seek, HWND volume, HWND speed);
    // At the bottom of the main window's monitor (g_monitorLeft, g_monitorTop), not shown.
    void PlaceAtBottom(int monitorWidth, int monitorHeight);
    void ShowPlayButton(int flag);
    // The vehicle speed, whole; negative for none.
    void SetSpeed(int speed);
    int GetSpeed() const { return m_lastSpeed; }
    // 0 km/h, 1 mph.
    void SetSpeedUnit(int unit);

    // The view keeps these in step with its own.
    CSliderCtrlEx& GetSeekSlider() { return m_seekSlider; }
    CSliderCtrlEx& GetSpeedSlider() { return m_speedSlider; }
    CSliderCtrlEx& GetVolumeSlider() { return m_volumeSlider; }
    CStaticEx& GetPlaybackSpeedLabel() { return m_playbackSpeedLabel; }

    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnHScroll(UINT code, UINT position, CWnd* scrollBar) override;
    void OnTimer(UINT_PTR id) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnShowWindow(BOOL show, UINT status) override;

  private:
    void OnSkinCommand(UINT id);
    void RestartAutoHideTimer();
    void CreateButton(CButtonEx& button, eComponentID component, UINT id, DWORD options);
    // The images may be another component's.
    void CreateSlider(CSliderCtrlEx& slider, eComponentID component, eComponentID images, UINT id,
                      int maximum, int position);
    void CreateLabel(CStaticEx& label, eComponentID component, UINT id);

    ResStorage* m_store = nullptr;
    CButtonEx m_prevButton;
    CButtonEx m_playButton;
    CButtonEx m_pauseButton;
    CButtonEx m_stopButton;
    CButtonEx m_nextButton;
    CButtonEx m_stepButton;
    CButtonEx m_captureButton;
    CButtonEx m_defogButton;
    CStaticEx m_speedReadout;
    CStaticEx m_unitLabelA;
    CStaticEx m_unitLabelB;
    CStaticEx m_playbackSpeedLabel;
    CSliderCtrlEx m_seekSlider;
    CSliderCtrlEx m_volumeSlider;
    CSliderCtrlEx m_speedSlider;
    CStaticEx m_background;
    IControlBarView* m_view = nullptr;
    HWND m_viewSeekSlider = nullptr;
    HWND m_viewVolumeSlider = nullptr;
    HWND m_viewSpeedSlider = nullptr;
    int m_lastSpeed = -1;
};

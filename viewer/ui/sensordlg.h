#pragma once
// The panel below the main window that shows the G-sensor forces of the playing recording as a
// scrolling graph of three lines with a cursor at the playback position and the current values.

#include "platform/ui/tooltipctrl.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/pushgraph.h"
#include "viewer/skin/staticex.h"
#include "viewer/ui/slideson.h"

class ResStorage;

class SensorDlg : public CSlideSon {
  public:
    enum { IDD = 161 };
    static constexpr UINT kGraphId = 1012;
    static constexpr UINT kBackgroundId = 23572;
    static constexpr UINT kCloseId = 23573;
    static constexpr UINT kFirstHidingCommand = 23571;
    static constexpr UINT kLastHidingCommand = 23580;
    static constexpr int kDockOffsetX = 191;
    static constexpr int kDockOffsetY = 641;
    // The graph's range: trunc(g * 1e6) + 4e6 for g between -2 and 2.
    static constexpr int kGraphMinimum = 2000000;
    static constexpr int kGraphMaximum = 6000000;
    // The lines' colours when the panel is made, and after every reset.
    static constexpr COLORREF kStartColors[3] = {0xFF0000, 0x0000FF, 0x00FF00};
    static constexpr COLORREF kResetColors[3] = {0x00FF00, 0x0000FF, 0xFF0000};
    // Longer dropped paths are left out, as the view's own buffers would not hold them.
    static constexpr size_t kMaxDroppedPath = 1023;

    explicit SensorDlg(CWnd* parent = nullptr);
    ~SensorDlg() override;

    void SetResStorage(ResStorage* store);
    // Builds the panel from the skin; only with a skin store.
    void CreateControls();
    CPushGraph& GetGraph() { return m_graph; }

    void ResetGraph();
    void AddSample(int x, int y, int z);
    void SetCursor(int percent);
    void SetCurrentValues(double x, double y, double z);

    BOOL DockToParent() override;
    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDropFiles(HDROP drop) override;

  private:
    ResStorage* m_store = nullptr;
    LANGID m_languageId = 0;
    CPushGraph m_graph;
    CStaticEx m_background;
    CButtonEx m_close;
    CToolTipCtrl m_toolTip;
};

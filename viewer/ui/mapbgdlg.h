#pragma once
// The map panel in the upper right of the main window: the map page inside a border of grips
// through which the user resizes it. While an edge is dragged an outline shows the new size; on
// release the panel takes it, never smaller than the skin's panel.

#include "platform/ui/tooltipctrl.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/componentinfo.h"
#include "viewer/skin/sizingoutline.h"
#include "viewer/skin/staticex.h"
#include "viewer/ui/mappagewindow.h"
#include "viewer/ui/slideson.h"

#include <vector>

class ResStorage;

class MapBGDlg : public CSlideSon {
  public:
    enum { IDD = 184 };
    static constexpr UINT kPageId = 1000;
    static constexpr UINT kGripTopId = 23582;
    static constexpr UINT kGripLeftId = 23583;
    static constexpr UINT kGripRightId = 23584;
    static constexpr UINT kGripBottomId = 23585;
    static constexpr UINT kCloseId = 23586;
    static constexpr int kDockOffsetX = 905;
    static constexpr int kDockOffsetY = 60;

    explicit MapBGDlg(MapDlg::Connectivity connected, CWnd* parent = nullptr);
    ~MapBGDlg() override;

    void SetResStorage(ResStorage* store);
    // Builds the panel from the skin; only with a skin store.
    void CreateControls();
    MapPageWindow& GetPage() { return m_page; }
    CStaticEx& GetGrip(UINT id);

    int IsMapReady() { return m_page.Logic().CheckPageReady(); }
    int MoveTo(double latitude, double longitude) { return m_page.Logic().MoveTo(latitude, longitude); }
    int AddDrivePath(const std::vector<double>& path, const std::vector<double>& marks) {
        return m_page.Logic().AddDrivePath(path, marks);
    }
    void ShowNotice(int flag) { m_page.Logic().ShowNotice(flag); }
    void ReloadMap() { m_page.Logic().ReloadPage(); }

    BOOL DockToParent() override;
    BOOL PreTranslateMessage(MSG* message) override;

    // The outline while the edges of the hit code follow the cursor, moved by (dx, dy) from where
    // the press was.
    static CRect SizingRect(int hit, const CRect& start, int dx, int dy);
    // The panel's rectangle on release: a side too short grows away from the dragged edge.
    static CRect ReleasedRect(int hit, const CRect& sized, CSize minimum);

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int width, int height) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

  private:
    // The grip that holds the mouse, if it is one of this panel's.
    CStaticEx* GripWithCapture();
    void CreateGrip(CStaticEx& grip, eComponentID component, UINT id, DWORD style, DWORD options,
                    DWORD edges);

    ResStorage* m_store = nullptr;
    LANGID m_languageId = 0;
    MapPageWindow m_page;
    CStaticEx m_gripTop;
    CStaticEx m_gripLeft;
    CStaticEx m_gripRight;
    CStaticEx m_gripBottom;
    CButtonEx m_close;
    CToolTipCtrl m_toolTip;
    CSizingOutline m_outline;
    CRect m_panelRect;
    CRect m_pageRect;
    // The drag in progress: its hit code (0: none), the panel's rectangle and the cursor at the
    // last press.
    int m_sizingHit = 0;
    CRect m_sizingStart;
    POINT m_sizingPress{};
    CRect m_sizingRect;
};

#pragma once
// The main view as its command table sees it: the windows a command shows, hides, slides or
// closes, the popup menus, and the actions other parts of the view carry out (opening folders and
// files, snapshots, copying, the settings). The view implements it; the command table never owns it.

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

struct MenuItem {
    UINT id = 0;
    std::wstring text;

    bool operator==(const MenuItem& other) const { return id == other.id && text == other.text; }
};

class ICommandView {
  public:
    // The panels that slide out beside the main window.
    enum SidePanel { GSENSOR_PANEL, MAP_PANEL, PLAYLIST_PANEL };

    virtual bool IsPanelVisible(SidePanel panel) = 0;
    virtual void HidePanel(SidePanel panel) = 0;
    // Readies the panel's slide to the rectangle of the skin component (relative to the view's
    // background); the slide itself runs at the slide timer.
    virtual void BeginPanelSlide(SidePanel panel, UINT component) = 0;
    virtual void SlidePanel(SidePanel panel) = 0;
    // show 0 hides the view's playlist button, anything else shows it.
    virtual void ShowPlaylistButton(int show) = 0;
    virtual bool IsDefogVisible() = 0;

    // The password lock centred over the view in mode 3, topmost, with the view disabled.
    virtual void ShowPasswordDialog() = 0;
    // WM_CLOSE to the main window.
    virtual void CloseMainWindow() = 0;
    virtual void MinimizeMainWindow() = 0;
    // A popup menu of plain items, owned by the view; at the screen point, or at the cursor when
    // `at` is null. The chosen item arrives as the view's WM_COMMAND.
    virtual void ShowPopupMenu(const std::vector<MenuItem>& items, const POINT* at) = 0;

    virtual void OnOpenDirectory() = 0;
    virtual void OnOpenFile() = 0;
    virtual void OnCaptureToFile() = 0;
    virtual void OnCaptureToPrinter() = 0;
    // 0 whole files, 1 front only, 2 front and sides, 3 front and rear.
    virtual void CopyRecordings(int mode) = 0;
    // Opens the card chosen in the taskbar pop-up (its drive path) as a card; 0 when that fails.
    virtual int OpenCardFolder() = 0;
    virtual void HideLoadingBox() = 0;
    // 1 shows the main window and the side panels that were visible; 0 hides them.
    virtual void ShowMainWindow(int show) = 0;
    // The settings editor reads the catalogue's settings again.
    virtual void ReadConfig() = 0;

  protected:
    ~ICommandView() = default;
};

#pragma once
// The panel listing the recordings of the open card or folder, beside the main window. The view
// fills its list through the catalogue and reads the selection; a double click plays a row, Delete
// removes the selected rows, and the release of Space plays or pauses.

#include "platform/ui/font.h"
#include "platform/ui/tooltipctrl.h"
#include "viewer/skin/skinlistctrl.h"
#include "viewer/ui/playlistview.h"
#include "viewer/ui/slideson.h"

class DataDirStruct;
class ResStorage;

class PlaylistDlg : public CSlideSon {
  public:
    enum { IDD = 183 };
    static constexpr UINT kListId = 1066;
    // Where the panel sits on the main window once it follows it.
    static constexpr int kDockOffsetX = 905;
    static constexpr int kDockOffsetY = 393;

    explicit PlaylistDlg(CWnd* parent = nullptr);
    ~PlaylistDlg() override;

    void SetView(IPlaylistView* view) { m_view = view; }
    // Also takes the language every text of the panel is loaded in; a null store is ignored.
    void SetResStorage(ResStorage* store);
    // Kept for the view; the panel does not read it.
    void SetDataDirStruct(DataDirStruct* catalogue) { m_catalogue = catalogue; }
    DataDirStruct* GetDataDirStruct() const { return m_catalogue; }
    LANGID GetLanguageId() const { return m_languageId; }
    // Builds the panel from the skin; only with a skin store.
    void CreateControls();
    CSkinListCtrl& GetListCtrl() { return m_list; }

    BOOL DockToParent() override;
    BOOL BeginSlide(CRect size) override;
    BOOL PreTranslateMessage(MSG* message) override;

    // The list keeps the left, top and width of its skin rectangle; its height follows the panel's
    // client height.
    static CRect ListRectForClient(const CRect& panelRect, const CRect& listRect, int clientHeight);

  protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int width, int height) override;
    // The panel's frame from the skin around the list: its head, edges and bottom.
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  private:
    IPlaylistView* m_view = nullptr;
    ResStorage* m_store = nullptr;
    DataDirStruct* m_catalogue = nullptr;
    CSkinListCtrl m_list;
    CRect m_panelRect;
    CRect m_listRect;
    CFont m_font;
    LANGID m_languageId = 0;
    CToolTipCtrl m_toolTip;
};

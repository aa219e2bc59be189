#pragma once
// The map page inside the map panel: the HTML dialog with the program's map page, and the panel's
// logic over it, which hears of the page's navigations.

#include "platform/ui/htmldialog.h"
#include "viewer/ui/mapdlg.h"

class MapPageWindow : public CDHtmlDialog, public IMapPage {
  public:
    // The connectivity source decides between moving the car and showing the notice.
    explicit MapPageWindow(MapDlg::Connectivity connected);
    ~MapPageWindow() override;

    // Makes the window and starts loading the page.
    using CDHtmlDialog::Create;
    BOOL Create(CWnd* parent, const RECT& rect, UINT id);
    MapDlg& Logic() { return m_logic; }

    int RunScript(const std::wstring& statement) override;
    bool GetElementValue(const std::wstring& id, std::wstring* value) override;

  protected:
    void OnDocumentComplete(const std::wstring& url) override;
    void OnBeforeNavigate(const std::wstring& url) override;

  private:
    MapDlg m_logic;
};

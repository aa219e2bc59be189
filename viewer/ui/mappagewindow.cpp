#include "viewer/ui/mappagewindow.h"

#include <string>
#include <utility>

MapPageWindow::MapPageWindow(MapDlg::Connectivity connected) : m_logic(*this, std::move(connected)) {}

MapPageWindow::~MapPageWindow() {
    DestroyWindow();
}

BOOL MapPageWindow::Create(CWnd* parent, const RECT& rect, UINT id) {
    if (!CDHtmlDialog::Create(parent, rect, id)) {
        return FALSE;
    }
    LoadFromResource(std::to_wstring(MapDlg::IDR_MAP_PAGE) + L".html");
    return TRUE;
}

int MapPageWindow::RunScript(const std::wstring& statement) {
    return ExecScript(statement);
}

bool MapPageWindow::GetElementValue(const std::wstring& id, std::wstring* value) {
    return CDHtmlDialog::GetElementValue(id, value);
}

void MapPageWindow::OnDocumentComplete(const std::wstring& url) {
    m_logic.OnDocumentComplete(url);
}

void MapPageWindow::OnBeforeNavigate(const std::wstring& url) {
    m_logic.OnBeforeNavigate(url);
}

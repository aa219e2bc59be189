#include "viewer/ui/mapdlg.h"

#include "platform/base/cstring.h"
#include "platform/base/trace.h"

#include <cmath>
#include <utility>

namespace {

const std::wstring kResourcePrefix = L"res://";
const std::wstring kPointReport = L"javascript:void(0)";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

MapDlg::MapDlg(IMapPage& page, Connectivity connected) : m_page(page), m_connected(std::move(connected)) {}

int MapDlg::RunScript(const std::wstring& statement) {
    if (!m_pageLoaded) {
        return 1;
    }
    return m_page.RunScript(statement) == 0 ? 0 : 1;
}

int MapDlg::CheckPageReady() {
    if (!m_connected()) {
        return -1;
    }
    std::wstring value;
    if (!m_page.GetElementValue(L"InitVal", &value) || value != L"true") {
        ReloadPage();
        return -1;
    }
    return 1;
}

int MapDlg::MoveTo(double latitude, double longitude) {
    if (!m_connected()) {
        RunScript(L"javascript:ShowNotice(true);");
        return 0;
    }
    CString statement;
    statement.Format(L"javascript:MoveTo(%f, %f);", latitude, longitude);
    // A position the page never took must be given again, so only a statement that ran counts.
    return RunScript(static_cast<const wchar_t*>(statement)) == 0 ? 1 : 0;
}

int MapDlg::AddDrivePath(const std::vector<double>& path, const std::vector<double>& marks) {
    if (!m_connected()) {
        RunScript(L"javascript:ShowNotice(true);");
        return 0;
    }
    const bool ran =
        RunScript(L"javascript:AddDrivePath(" + ScriptArray(path) + L", " + ScriptArray(marks) + L");") == 0;
    TraceLine(std::string("AddDrivePath connected ") + (ran ? "True" : "False"));
    return ran ? 1 : 0;
}

void MapDlg::ShowNotice(int flag) {
    switch (flag) {
    case 0:
        RunScript(L"javascript:ShowNotice(true);");
        break;
    case 1:
        RunScript(L"javascript:ShowNotice(false);");
        break;
    default:
        RunScript(L"");
        break;
    }
}

void MapDlg::ReloadPage() {
    RunScript(L"javascript:window.location.reload();");
}

void MapDlg::OnDocumentComplete(const std::wstring& url) {
    if (StartsWith(url, kResourcePrefix)) {
        m_pageLoaded = true;
    }
}

// The page's point report arrives as a navigation too; it leaves the page where it is, and with no
// drive path handed to the page there is no point to seek to.
void MapDlg::OnBeforeNavigate(const std::wstring& url) {
    if (url != kPointReport && StartsWith(url, kResourcePrefix)) {
        m_pageLoaded = false;
    }
}

std::wstring MapDlg::ScriptNumber(double value) {
    if (!std::isfinite(value)) {
        return L"null";
    }
    CString text;
    text.Format(L"%.17g", value);
    return static_cast<const wchar_t*>(text);
}

std::wstring MapDlg::ScriptArray(const std::vector<double>& values) {
    std::wstring text = L"[";
    for (size_t i = 0; i < values.size(); ++i) {
        text += (i == 0 ? L"" : L",") + ScriptNumber(values[i]);
    }
    return text + L"]";
}

#pragma once
// What the map panel tells its page and reads from it: the car's position, the notice shown while
// there is no map, the page's readiness and reload, and the page's navigations. The statements
// name the page's own functions; numbers are written in the C locale, whatever the user's.

#include "viewer/ui/mappage.h"

#include <functional>
#include <string>
#include <vector>

class MapDlg {
  public:
    enum { IDD = 132, IDR_MAP_PAGE = 322 };
    // Whether the machine reaches the Internet, where the map's tiles come from.
    using Connectivity = std::function<bool()>;

    MapDlg(IMapPage& page, Connectivity connected);

    // 0 when the statement ran, 1 when it did not; nothing runs before the page has loaded.
    int RunScript(const std::wstring& statement);
    // 1 when the page is built; -1 when it is not (it is then reloaded) or there is no connection.
    int CheckPageReady();
    // 1 when the page took the position; 0 when it did not, so that the caller gives it again.
    int MoveTo(double latitude, double longitude);
    // The path's points and its marks as script arrays; 1 when the page took them.
    int AddDrivePath(const std::vector<double>& path, const std::vector<double>& marks);
    // 0 shows the page's notice, 1 hides it; any other value runs an empty statement.
    void ShowNotice(int flag);
    void ReloadPage();

    // The browser's report of a finished document and of a navigation about to happen.
    void OnDocumentComplete(const std::wstring& url);
    void OnBeforeNavigate(const std::wstring& url);
    bool IsPageLoaded() const { return m_pageLoaded; }

    // A number as a script literal: C-locale digits, null for what is no finite number.
    static std::wstring ScriptNumber(double value);
    static std::wstring ScriptArray(const std::vector<double>& values);

  private:
    IMapPage& m_page;
    Connectivity m_connected;
    bool m_pageLoaded = false;
};

#pragma once
// A child window that shows a web page of the program's resources. The browser answers
// asynchronously; the page pushes the values of its elements to the window over the web channel
// (object "host", method elements) as they change, and the window keeps them, so that reading an
// element answers at once. A document is complete once loaded and its elements reported. Pages of the
// resources are known by "res://" addresses ("res://HTML/322.html" for ":/HTML/322.html"). Drops, context
// menus and script error reports are refused.

#include "platform/ui/wnd.h"

#include <memory>
#include <string>

class CDHtmlDialog : public CWnd {
  public:
    CDHtmlDialog();
    ~CDHtmlDialog() override;

    using CWnd::Create;
    BOOL Create(CWnd* parent, const RECT& rect, UINT id);
    // The page at ":/HTML/<name>".
    void LoadFromResource(const std::wstring& name);
    // 0 when the statement went to a complete document, 1 when there is none.
    int ExecScript(const std::wstring& statement);
    // The "value" the page last reported for the element; false for an element it did not report.
    bool GetElementValue(const std::wstring& id, std::wstring* value) const;
    bool IsDocumentComplete() const;

  protected:
    // A document of the main frame finished loading, and a main-frame navigation is about to start.
    virtual void OnDocumentComplete(const std::wstring& url);
    virtual void OnBeforeNavigate(const std::wstring& url);
    void OnSize(UINT type, int width, int height) override;

  private:
    void CompleteWhenReady();

    struct Browser;
    std::unique_ptr<Browser> m_browser;
};

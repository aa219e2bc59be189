#pragma once
// The map page as the map panel's logic sees it: statements run in the page and element values
// read from it. The HTML dialog implements it over the browser; tests give a fake.

#include <string>

class IMapPage {
  public:
    // 0 when the statement ran in the page, 1 when it did not (no document, or it failed).
    virtual int RunScript(const std::wstring& statement) = 0;
    // The element's "value" attribute; false when the page has no such element.
    virtual bool GetElementValue(const std::wstring& id, std::wstring* value) = 0;

  protected:
    ~IMapPage() = default;
};

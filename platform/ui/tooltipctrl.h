#pragma once
// Tool tips: a text shown when the mouse rests over a tool window. The control watches its tools by
// itself, so relaying messages to it is accepted and not needed.

#include "platform/ui/wnd.h"

#include <memory>

constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;
constexpr DWORD TTDT_AUTOMATIC = 0;
constexpr DWORD TTDT_RESHOW = 1;
constexpr DWORD TTDT_AUTOPOP = 2;
constexpr DWORD TTDT_INITIAL = 3;

class CToolTipCtrl : public CWnd {
  public:
    CToolTipCtrl();
    ~CToolTipCtrl() override;

    using CWnd::Create;
    BOOL Create(CWnd* parent, DWORD style = 0);
    // The tool is the whole window, or the rectangle of its client area when one is given.
    BOOL AddTool(CWnd* window, LPCWSTR text, LPCRECT rect = nullptr, UINT_PTR id = 0);
    void DelTool(CWnd* window, UINT_PTR id = 0);
    void UpdateTipText(LPCWSTR text, CWnd* window, UINT_PTR id = 0);
    void Activate(BOOL activate);
    // Longer tips are broken into lines at most this wide; -1 leaves them on one line.
    int SetMaxTipWidth(int width);
    // TTDT_AUTOMATIC sets the wait before showing to the time given and the showing to ten times it.
    void SetDelayTime(UINT milliseconds);
    void SetDelayTime(DWORD which, int milliseconds);
    void RelayEvent(MSG* message);

    // The text that would be shown for the tool at a point of the window's client area.
    CString GetTipText(CWnd* window, POINT point) const;

  private:
    class Watcher;
    std::unique_ptr<Watcher> m_watcher;
};

#pragma once
// Pop-up menus. Tracking goes through PopupMenuHandler so that tests choose headlessly; the
// platform's own tracking is Qt's menu.

#include "platform/base/cstring.h"
#include "platform/ui/windefs.h"

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

HMENU CreatePopupMenu();
// MF_POPUP items take a menu in place of the id and own it from then on.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrMenu, LPCWSTR text);
// Destroys the menu's sub-menus too.
BOOL DestroyMenu(HMENU menu);
int GetMenuItemCount(HMENU menu);
// The command id of the item at a position; 0xFFFFFFFF for separators and sub-menus.
UINT GetMenuItemID(HMENU menu, int position);
int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int size, UINT flags);
// Answer the previous state, or 0xFFFFFFFF when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
// The chosen command goes to the owner as WM_COMMAND (posted), or with TPM_RETURNCMD is the
// answer (0 when nothing was chosen).
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);

// A top-level window's menu. The menu is kept with the window and destroyed with it, but no menu bar
// is drawn: the program takes the one window menu it has away as its frame is made.
HMENU GetMenu(HWND window);
// Answers FALSE for child windows and dead windows. The menu set before is not destroyed.
BOOL SetMenu(HWND window, HMENU menu);

class PopupMenuHandler {
  public:
    virtual ~PopupMenuHandler() = default;
    // Called on the GUI thread; answers the chosen command id, or 0.
    virtual UINT Track(HMENU menu, UINT flags, POINT point, HWND owner) = 0;
};

// Answers the handler installed before; null brings back Qt's menus.
PopupMenuHandler* SetPopupMenuHandler(PopupMenuHandler* handler);

class CWnd;

class CMenu {
  public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL CreatePopupMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR idOrMenu = 0, LPCWSTR text = nullptr);
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);
    BOOL DestroyMenu();
    BOOL Attach(HMENU menu);
    HMENU Detach();
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    UINT CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_hMenu, item, check); }
    UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
};

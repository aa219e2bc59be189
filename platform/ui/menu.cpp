#include "platform/ui/menu.h"

#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"
#include "platform/ui/wnd.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

using namespace uiimpl;

namespace {

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    HMENU submenu = nullptr;
    std::wstring text;
};

struct MenuTable {
    std::mutex mutex;
    std::map<ULONG_PTR, std::vector<MenuItem>> menus;
    ULONG_PTR next = 0x10000;
};

MenuTable& Menus() {
    static MenuTable table;
    return table;
}

std::atomic<PopupMenuHandler*> installedHandler{nullptr};

std::vector<MenuItem>* ItemsOf(MenuTable& table, HMENU menu) {
    const auto found = table.menus.find(reinterpret_cast<ULONG_PTR>(menu));
    return found == table.menus.end() ? nullptr : &found->second;
}

MenuItem* FindItem(std::vector<MenuItem>& items, UINT item, UINT flags) {
    if ((flags & MF_BYPOSITION) != 0) {
        return item < items.size() ? &items[item] : nullptr;
    }
    for (MenuItem& candidate : items) {
        if ((candidate.flags & (MF_POPUP | MF_SEPARATOR)) == 0 && candidate.id == item) {
            return &candidate;
        }
    }
    return nullptr;
}

std::vector<MenuItem> Snapshot(HMENU menu) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    const std::vector<MenuItem>* items = ItemsOf(table, menu);
    return items != nullptr ? *items : std::vector<MenuItem>();
}

void Fill(QMenu& target, HMENU menu) {
    for (const MenuItem& item : Snapshot(menu)) {
        if ((item.flags & MF_SEPARATOR) != 0) {
            target.addSeparator();
            continue;
        }
        const QString text = QString::fromStdWString(item.text);
        if ((item.flags & MF_POPUP) != 0) {
            QMenu* submenu = target.addMenu(text);
            submenu->setEnabled((item.flags & (MF_GRAYED | MF_DISABLED)) == 0);
            Fill(*submenu, item.submenu);
            continue;
        }
        QAction* action = target.addAction(text);
        action->setData(QVariant::fromValue<qulonglong>(item.id));
        action->setEnabled((item.flags & (MF_GRAYED | MF_DISABLED)) == 0);
        if ((item.flags & MF_CHECKED) != 0) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

UINT TrackWithQt(HMENU menu, UINT flags, POINT point, HWND owner) {
    const Window* record = Lookup(TopLevelOf(owner));
    QMenu popup(record != nullptr ? record->widget.data() : nullptr);
    Fill(popup, menu);
    const QSize size = popup.sizeHint();
    QPoint at(point.x, point.y);
    if ((flags & TPM_CENTERALIGN) != 0) {
        at.rx() -= size.width() / 2;
    } else if ((flags & TPM_RIGHTALIGN) != 0) {
        at.rx() -= size.width();
    }
    if ((flags & TPM_VCENTERALIGN) != 0) {
        at.ry() -= size.height() / 2;
    } else if ((flags & TPM_BOTTOMALIGN) != 0) {
        at.ry() -= size.height();
    }
    const QAction* chosen = popup.exec(at);
    return chosen != nullptr ? static_cast<UINT>(chosen->data().toULongLong()) : 0;
}

} // namespace

HMENU CreatePopupMenu() {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    const ULONG_PTR key = table.next;
    table.next += 4;
    table.menus[key];
    return reinterpret_cast<HMENU>(key);
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrMenu, LPCWSTR text) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::vector<MenuItem>* items = ItemsOf(table, menu);
    if (items == nullptr) {
        return FALSE;
    }
    MenuItem item;
    item.flags = flags;
    if ((flags & MF_POPUP) != 0) {
        item.submenu = reinterpret_cast<HMENU>(idOrMenu);
        if (ItemsOf(table, item.submenu) == nullptr) {
            return FALSE;
        }
    } else {
        item.id = idOrMenu;
    }
    if ((flags & MF_SEPARATOR) == 0 && text != nullptr) {
        item.text = text;
    }
    items->push_back(item);
    return TRUE;
}

BOOL DestroyMenu(HMENU menu) {
    std::vector<MenuItem> items;
    {
        MenuTable& table = Menus();
        std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.menus.find(reinterpret_cast<ULONG_PTR>(menu));
        if (found == table.menus.end()) {
            return FALSE;
        }
        items = std::move(found->second);
        table.menus.erase(found);
    }
    for (const MenuItem& item : items) {
        if (item.submenu != nullptr) {
            DestroyMenu(item.submenu);
        }
    }
    return TRUE;
}

HMENU GetMenu(HWND window) {
    if (!OnGuiThread()) {
        HMENU menu = nullptr;
        RunOnGuiThread([&menu, window] { menu = GetMenu(window); }, true);
        return menu;
    }
    const Window* record = Lookup(window);
    return record != nullptr ? record->menu : nullptr;
}

BOOL SetMenu(HWND window, HMENU menu) {
    if (!OnGuiThread()) {
        BOOL done = FALSE;
        RunOnGuiThread([&done, window, menu] { done = SetMenu(window, menu); }, true);
        return done;
    }
    Window* record = Lookup(window);
    if (record == nullptr || (record->style & WS_CHILD) != 0) {
        return FALSE;
    }
    record->menu = menu;
    return TRUE;
}

int GetMenuItemCount(HMENU menu) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    const std::vector<MenuItem>* items = ItemsOf(table, menu);
    return items != nullptr ? static_cast<int>(items->size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    const std::vector<MenuItem>* items = ItemsOf(table, menu);
    if (items == nullptr || position < 0 || static_cast<size_t>(position) >= items->size()) {
        return 0xFFFFFFFF;
    }
    const MenuItem& item = (*items)[static_cast<size_t>(position)];
    return (item.flags & (MF_POPUP | MF_SEPARATOR)) != 0 ? 0xFFFFFFFF : static_cast<UINT>(item.id);
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int size, UINT flags) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::vector<MenuItem>* items = ItemsOf(table, menu);
    const MenuItem* found = items != nullptr ? FindItem(*items, item, flags) : nullptr;
    if (found == nullptr) {
        return 0;
    }
    if (buffer == nullptr || size <= 0) {
        return static_cast<int>(found->text.size());
    }
    const size_t count = std::min<size_t>(found->text.size(), static_cast<size_t>(size) - 1);
    std::copy_n(found->text.c_str(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::vector<MenuItem>* items = ItemsOf(table, menu);
    MenuItem* found = items != nullptr ? FindItem(*items, item, check) : nullptr;
    if (found == nullptr) {
        return 0xFFFFFFFF;
    }
    const DWORD previous = found->flags & MF_CHECKED;
    found->flags = (found->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::vector<MenuItem>* items = ItemsOf(table, menu);
    MenuItem* found = items != nullptr ? FindItem(*items, item, enable) : nullptr;
    if (found == nullptr) {
        return static_cast<BOOL>(-1);
    }
    const BOOL previous = static_cast<BOOL>(found->flags & (MF_GRAYED | MF_DISABLED));
    found->flags = (found->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (GetMenuItemCount(menu) < 0 || !IsWindow(owner)) {
        return FALSE;
    }
    // The menu takes the mouse, as on the platform.
    if (const HWND capture = GetCapture()) {
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
    }
    POINT point;
    point.x = x;
    point.y = y;
    PopupMenuHandler* handler = installedHandler.load();
    const UINT chosen = handler != nullptr ? handler->Track(menu, flags, point, owner)
                                           : TrackWithQt(menu, flags, point, owner);
    if ((flags & TPM_RETURNCMD) != 0) {
        return static_cast<BOOL>(chosen);
    }
    if (chosen != 0 && (flags & TPM_NONOTIFY) == 0) {
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    }
    return TRUE;
}

PopupMenuHandler* SetPopupMenuHandler(PopupMenuHandler* handler) {
    return installedHandler.exchange(handler);
}

CMenu::~CMenu() {
    if (m_hMenu != nullptr) {
        ::DestroyMenu(m_hMenu);
    }
}

BOOL CMenu::CreatePopupMenu() {
    return Attach(::CreatePopupMenu());
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idOrMenu, LPCWSTR text) {
    return ::AppendMenuW(m_hMenu, flags, idOrMenu, text);
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner != nullptr ? owner->m_hWnd : nullptr, rect);
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) {
        return FALSE;
    }
    return ::DestroyMenu(Detach());
}

BOOL CMenu::Attach(HMENU menu) {
    if (m_hMenu != nullptr || menu == nullptr) {
        return FALSE;
    }
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach() {
    const HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const {
    const int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetMenuStringW(m_hMenu, item, buffer.data(), static_cast<int>(buffer.size()), flags);
    text = CString(buffer.data());
    return copied;
}

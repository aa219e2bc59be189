#include "platform/ui/drop.h"

#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Drop {
    std::vector<std::wstring> paths;
    POINT point;
};

struct DropTable {
    std::mutex mutex;
    std::map<ULONG_PTR, Drop> drops;
    ULONG_PTR next = 0x10000;
};

DropTable& Drops() {
    static DropTable table;
    return table;
}

} // namespace

namespace uiimpl {

HDROP CreateDropHandle(const std::vector<std::wstring>& paths, POINT point) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> lock(table.mutex);
    const ULONG_PTR key = table.next;
    table.next += 4;
    table.drops[key] = Drop{paths, point};
    return reinterpret_cast<HDROP>(key);
}

} // namespace uiimpl

void DragAcceptFiles(HWND window, BOOL accept) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE,
                      accept ? (style | static_cast<LONG_PTR>(WS_EX_ACCEPTFILES))
                             : (style & ~static_cast<LONG_PTR>(WS_EX_ACCEPTFILES)));
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.drops.find(reinterpret_cast<ULONG_PTR>(drop));
    if (found == table.drops.end()) {
        return 0;
    }
    const std::vector<std::wstring>& paths = found->second.paths;
    if (index == 0xFFFFFFFF) {
        return static_cast<UINT>(paths.size());
    }
    if (index >= paths.size()) {
        return 0;
    }
    const std::wstring& path = paths[index];
    if (buffer == nullptr) {
        return static_cast<UINT>(path.size());
    }
    if (size == 0) {
        return 0;
    }
    const size_t count = std::min<size_t>(path.size(), size - 1);
    std::copy_n(path.c_str(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<UINT>(count);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.drops.find(reinterpret_cast<ULONG_PTR>(drop));
    if (found == table.drops.end() || point == nullptr) {
        return FALSE;
    }
    *point = found->second.point;
    return TRUE;
}

void DragFinish(HDROP drop) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.drops.erase(reinterpret_cast<ULONG_PTR>(drop));
}

std::vector<std::wstring> DroppedFiles(HDROP drop) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.drops.find(reinterpret_cast<ULONG_PTR>(drop));
    return found == table.drops.end() ? std::vector<std::wstring>() : found->second.paths;
}

#include "platform/base/windowshook.h"

#include <algorithm>
#include <vector>

namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC procedure;
};

std::vector<Hook>& Chain() {
    static std::vector<Hook> chain;
    return chain;
}

ULONG_PTR lastHandle = 0;
// Position in the chain of the hook now running, per nested run; -1 outside a run.
int runningHook = -1;

} // namespace

HHOOK SetWindowsHookExW(int hookId, HOOKPROC procedure, HINSTANCE, DWORD) {
    if (hookId != WH_KEYBOARD_LL || procedure == nullptr)
        return nullptr;
    const auto handle = reinterpret_cast<HHOOK>(++lastHandle);
    Chain().insert(Chain().begin(), Hook{handle, procedure});
    if (runningHook >= 0)
        ++runningHook;
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& chain = Chain();
    const auto found =
        std::find_if(chain.begin(), chain.end(), [&](const Hook& h) { return h.handle == hook; });
    if (found == chain.end())
        return FALSE;
    if (runningHook >= 0 && found - chain.begin() <= runningHook)
        --runningHook;
    chain.erase(found);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK, int code, WPARAM wParam, LPARAM lParam) {
    if (runningHook < 0)
        return 0;
    const int next = runningHook + 1;
    if (next >= static_cast<int>(Chain().size()))
        return 0;
    const int caller = runningHook;
    runningHook = next;
    const LRESULT result = Chain()[next].procedure(code, wParam, lParam);
    runningHook = caller;
    return result;
}

bool RunLowLevelKeyboardHooks(WPARAM keyMessage, const KBDLLHOOKSTRUCT& event) {
    if (Chain().empty())
        return false;
    const int outer = runningHook;
    runningHook = 0;
    KBDLLHOOKSTRUCT copy = event;
    const LRESULT result = Chain()[0].procedure(HC_ACTION, keyMessage, reinterpret_cast<LPARAM>(&copy));
    runningHook = outer;
    return result != 0;
}

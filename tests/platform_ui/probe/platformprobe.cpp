// A second process for the window layer's tests: what can only be seen from another process (a
// second instance of the program) or in a process of its own (another screen layout, the end of the
// application's event loop). It reports by its exit code and on its output.
//
//   platformprobe second <title>   exit 10: another instance holds the event and restored and raised
//                                  its window; 11: it holds the event but has no such window;
//                                  12: this process holds the event itself
//   platformprobe crash            takes the event and dies without letting it go (13: it could not)
//   platformprobe screens <x> <y> <width> <height> ...
//                                  one line per rectangle: the monitor a window there is on
//   platformprobe afterloop        exit 0 when the GUI thread takes no calls once the loop has ended

#include "platform/base/lasterror.h"
#include "platform/ui/app.h"
#include "platform/ui/guithread.h"
#include "platform/ui/screen.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/window.h"
#include "platform/ui/wnd.h"

#include <QApplication>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr const wchar_t* kEventName = L"q7mvtrx2pazk9wd4hsbnf6ljye";

int Second(const char* title) {
    const HANDLE event = CreateEventW(nullptr, FALSE, TRUE, kEventName);
    int result = 12;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        const std::wstring wide(title, title + std::strlen(title));
        const HWND window = FindWindowW(nullptr, wide.c_str());
        if (window == nullptr) {
            result = 11;
        } else {
            ShowWindow(window, SW_RESTORE);
            result = SetForegroundWindow(window) ? 10 : 14;
        }
    }
    CloseHandle(event);
    return result;
}

int Crash() {
    CreateEventW(nullptr, FALSE, TRUE, kEventName);
    if (GetLastError() != ERROR_SUCCESS) {
        return 13;
    }
    std::raise(SIGKILL);
    return 13;
}

void PrintRect(const char* label, const RECT& rect) {
    std::printf(" %s %ld %ld %ld %ld", label, static_cast<long>(rect.left), static_cast<long>(rect.top),
                static_cast<long>(rect.right), static_cast<long>(rect.bottom));
}

LPCWSTR ProbeClass() {
    WNDCLASSW windowClass;
    windowClass.lpszClassName = L"PlatformProbe";
    RegisterClassW(&windowClass);
    return windowClass.lpszClassName;
}

int Screens(int count, char** values) {
    std::printf("screens %d primary %d %d\n", GetSystemMetrics(SM_CMONITORS), GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    for (int i = 0; i + 3 < count; i += 4) {
        CWnd window;
        if (!window.CreateEx(0, ProbeClass(), L"probe", WS_POPUP | WS_VISIBLE, std::atoi(values[i]),
                             std::atoi(values[i + 1]), std::atoi(values[i + 2]), std::atoi(values[i + 3]),
                             nullptr, nullptr)) {
            return 1;
        }
        MONITORINFO info;
        if (!GetMonitorInfoW(MonitorFromWindow(window.m_hWnd, MONITOR_DEFAULTTONEAREST), &info)) {
            return 1;
        }
        std::printf("window");
        PrintRect("monitor", info.rcMonitor);
        PrintRect("work", info.rcWork);
        std::printf(" primary %d\n", (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? 1 : 0);
    }
    return 0;
}

class QuitAtOnce : public CWinApp {
  public:
    BOOL InitInstance() override {
        PostQuitMessage(0);
        return TRUE;
    }
};

int AfterLoop(int argc, char** argv) {
    QuitAtOnce app;
    AfxWinMain(argc, argv);
    std::atomic<bool> ran{false};
    bool waited = true;
    bool queued = true;
    std::thread worker([&] {
        waited = RunOnGuiThread([&ran] { ran = true; }, true);
        queued = RunOnGuiThread([&ran] { ran = true; }, false);
    });
    worker.join();
    QCoreApplication::processEvents();
    return !waited && !queued && !ran ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "afterloop") == 0) {
        return AfterLoop(1, argv);
    }
    QApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "second") == 0) {
        return Second(argv[2]);
    }
    if (argc == 2 && std::strcmp(argv[1], "crash") == 0) {
        return Crash();
    }
    if (argc >= 2 && std::strcmp(argv[1], "screens") == 0) {
        const int result = Screens(argc - 2, argv + 2);
        std::fflush(stdout);
        return result;
    }
    return 2;
}

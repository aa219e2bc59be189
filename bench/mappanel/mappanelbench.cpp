// What the map page and the G-sensor graph cost: the map page built from the program's resources
// without a network, from making its window to its "InitVal" being "true"; the playback tick's
// work in the two panels (the graph's cursor moved and repainted, one position for the map); and
// the memory the browser adds, this program's and its helper processes', next to the program's
// memory before the page. Runs offscreen without a display. Prints figures only.
//
//   mappanelbench [--ticks N]
#include "platform/ui/connectedstate.h"
#include "platform/ui/window.h"
#include "platform/ui/wnd.h"
#include "viewer/skin/pushgraph.h"
#include "viewer/ui/mappagewindow.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr double kPageGoalMs = 1500.0;
constexpr double kTickGoalMs = 5.0;

// Resident memory of a process in MB (0 for one that is gone).
double ResidentMb(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0.0;
}

std::string ParentOf(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t end = text.rfind(')');
    if (end == std::string::npos) {
        return {};
    }
    std::istringstream fields(text.substr(end + 2));
    std::string state;
    std::string parent;
    fields >> state >> parent;
    return parent;
}

// This process and every process it started, directly or not.
double TreeResidentMb(const std::string& root) {
    double total = ResidentMb(root);
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return total;
    }
    while (dirent* entry = readdir(proc)) {
        if (entry->d_name[0] >= '1' && entry->d_name[0] <= '9' && ParentOf(entry->d_name) == root) {
            total += TreeResidentMb(entry->d_name);
        }
    }
    closedir(proc);
    return total;
}

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

} // namespace

int main(int argc, char** argv) {
    int ticks = 500;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--ticks") == 0) {
            ticks = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    // The page is measured as it builds offline; the tick as it moves the car.
    bool online = false;
    SetConnectedStateSource([&online] { return online; });

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"MapPanelBench";
    RegisterClassW(&windowClass);
    CWnd top;
    top.CreateEx(0, L"MapPanelBench", L"mappanelbench", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr, 0);
    CPushGraph graph;
    graph.Create(&top, CRect(0, 400, 640, 600), 1012, WS_CHILD | WS_VISIBLE);
    graph.ShowGrid(false);
    graph.ShowLabels(false);
    graph.SetMinValue(2000000);
    graph.SetMaxValue(6000000);
    graph.SetPlotRect(CRect(40, 32, 624, 184));
    for (UINT line = 0; line < 3; ++line) {
        graph.AddLine(line, 0xFF0000 >> (8 * line));
        for (int i = 0; i < 3600; ++i) {
            graph.PushValue(line, 4000000 + (i * 7919 + static_cast<int>(line) * 104729) % 1500000);
        }
    }
    Settle();
    const std::string self = std::to_string(getpid());
    const double before = TreeResidentMb(self);

    QElapsedTimer timer;
    // Milliseconds from making the page's window to its "InitVal" being "true"; -1 on a hang.
    const auto build = [&](MapPageWindow& page, int x) {
        timer.start();
        page.Create(&top, CRect(x, 28, x + 344, 317), 1000);
        std::wstring ready;
        while (!(page.CDHtmlDialog::GetElementValue(L"InitVal", &ready) && ready == L"true")) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
            if (timer.elapsed() > 120000) {
                return -1.0;
            }
        }
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    };
    MapPageWindow page([&online] { return online; });
    const double pageMs = build(page, 8);
    Settle();
    const double after = TreeResidentMb(self);
    // A second page in the same program: the browser is already running.
    MapPageWindow second([&online] { return online; });
    const double secondMs = build(second, 400);
    if (pageMs < 0 || secondMs < 0) {
        std::printf("the map page did not build within 120 s\n");
        return 1;
    }

    online = true;
    double total = 0.0;
    double worst = 0.0;
    for (int tick = 0; tick < ticks; ++tick) {
        timer.restart();
        graph.SetCursor(tick * 100 / ticks);
        graph.Update();
        page.Logic().MoveTo(37.5 + tick * 1e-5, 127.0 + tick * 1e-5);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        total += ms;
        worst = std::max(worst, ms);
        QCoreApplication::processEvents();
    }

    std::printf("map page from its window to InitVal \"true\" (offline): %.0f ms (goal under %.0f ms)\n",
                pageMs, kPageGoalMs);
    std::printf("a second page in the same program, the browser already running: %.0f ms\n", secondMs);
    std::printf(
        "tick in the panels (graph cursor repainted, one MoveTo), %d ticks: mean %.3f ms, worst %.3f ms "
        "(goal under %.1f ms)\n",
        ticks, total / ticks, worst, kTickGoalMs);
    std::printf("memory of the program and its processes: %.0f MB without the map page, %.0f MB with it "
                "(the browser adds %.0f MB)\n",
                before, after, after - before);
    SetConnectedStateSource(nullptr);
    return 0;
}

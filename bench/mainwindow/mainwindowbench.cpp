// How quickly the viewer comes up and goes, and what it holds at rest. Each start is a process of
// its own (this program again): from its launch to the first paint of the main window with the
// real skin, next to an empty Qt Widgets window started the same way in the same run; then the
// viewer's shut-down from the close of its main window to the end of its application object, and
// its memory at rest, apart from the four capture buffers, which are reserved and printed on their
// own line; and what each program spends of the processor in that second at rest. Runs on the display of the
// session, or offscreen without one. Prints figures only.
//
//   mainwindowbench [--runs N]
#include "platform/ui/qtaccess.h"
#include "platform/ui/window.h"
#include "viewer/app/viewerapp.h"
#include "viewer/ui/mainframe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr double kStartUpGoalMs = 250.0;
constexpr double kShutDownGoalMs = 300.0;
constexpr double kIdleMemoryGoalMb = 150.0;

// Resident memory of this process in MB.
double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0.0;
}

bool IsMainWindow(QWidget* window) {
    const CWnd* main = AfxGetMainWnd();
    return main != nullptr && main->m_hWnd != nullptr && HandleFromWidget(window) == main->m_hWnd;
}

// The first paint of the window or of anything in it; null: the program's main window.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(QWidget* window) : m_window(window) {
        QApplication::instance()->installEventFilter(this);
    }
    ~FirstPaint() override { QApplication::instance()->removeEventFilter(this); }
    bool painted = false;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Paint || !object->isWidgetType()) {
            return false;
        }
        QWidget* window = static_cast<QWidget*>(object)->window();
        if (m_window != nullptr ? window == m_window : IsMainWindow(window)) {
            painted = true;
        }
        return false;
    }

  private:
    QWidget* m_window;
};

// Processor time of the whole process (all its threads) in ms.
double ProcessorMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// A second of the event loop left to itself, as a user looks at the window; prints the processor
// time it took.
void RestOneSecond() {
    const double before = ProcessorMs();
    QEventLoop rest;
    QTimer::singleShot(1000, &rest, &QEventLoop::quit);
    rest.exec();
    std::printf("rest-cpu %.1f\n", ProcessorMs() - before);
}

void WaitForPaint(FirstPaint& paint) {
    while (!paint.painted) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

int RunEmptyWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(1280, 800);
    FirstPaint paint(&window);
    window.show();
    WaitForPaint(paint);
    std::printf("painted\n");
    std::fflush(stdout);
    RestOneSecond();
    return 0;
}

int RunViewer() {
    auto application = std::make_unique<CViewerApp>();
    // Watching from before the frame exists: showing it may paint at once.
    auto paint = std::make_unique<FirstPaint>(nullptr);
    if (!application->InitInstance()) {
        return 1;
    }
    CMainFrame* frame = application->GetFrame();
    WaitForPaint(*paint);
    paint.reset();
    std::printf("painted\n");
    std::fflush(stdout);

    RestOneSecond();
    const double capture = static_cast<double>(frame->GetView().GetFrameBufferSize()) * 4 / (1024.0 * 1024.0);
    std::printf("idle %.1f\n", ResidentMb());
    std::printf("capture %.1f\n", capture);

    QElapsedTimer closing;
    closing.start();
    ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
    application->ExitInstance();
    application.reset();
    std::printf("shutdown %.1f\n", static_cast<double>(closing.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    return 0;
}

struct ChildRun {
    double startUpMs = 0;
    std::vector<std::string> lines;
};

ChildRun RunChild(const char* program, const char* mode, const QString& configHome) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TREVO_CONFIG_HOME", configHome);
    environment.insert("SDL_AUDIODRIVER", "dummy");
    if (!environment.contains("DISPLAY") && !environment.contains("WAYLAND_DISPLAY")) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    child.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    child.start(program, {mode});
    ChildRun run;
    std::string pending;
    while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
        child.waitForReadyRead(50);
        pending += child.readAllStandardOutput().toStdString();
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line == "painted") {
                run.startUpMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            }
            run.lines.push_back(line);
        }
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double Figure(const std::vector<std::string>& lines, const char* name) {
    const std::string prefix = std::string(name) + " ";
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atof(line.c_str() + prefix.size());
        }
    }
    return -1.0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child-empty") == 0) {
        return RunEmptyWindow(argc, argv);
    }
    if (argc > 1 && std::strcmp(argv[1], "--child-viewer") == 0) {
        return RunViewer();
    }
    int runs = 5;
    if (argc > 2 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    }
    std::vector<double> empty;
    std::vector<double> viewer;
    std::vector<double> shutDown;
    std::vector<double> idle;
    std::vector<double> emptyRest;
    std::vector<double> viewerRest;
    double capture = 0;
    // The settings of one user for all runs: a first start writes them, as it does once for every
    // user, and is not counted.
    QTemporaryDir configHome;
    RunChild(argv[0], "--child-viewer", configHome.path());
    for (int run = 0; run < runs; ++run) {
        const ChildRun emptyRun = RunChild(argv[0], "--child-empty", configHome.path());
        empty.push_back(emptyRun.startUpMs);
        emptyRest.push_back(Figure(emptyRun.lines, "rest-cpu"));
        const ChildRun started = RunChild(argv[0], "--child-viewer", configHome.path());
        viewer.push_back(started.startUpMs);
        shutDown.push_back(Figure(started.lines, "shutdown"));
        idle.push_back(Figure(started.lines, "idle"));
        viewerRest.push_back(Figure(started.lines, "rest-cpu"));
        capture = Figure(started.lines, "capture");
    }
    const double emptyMs = Median(empty);
    const double viewerMs = Median(viewer);
    std::printf("median of %d runs each\n", runs);
    std::printf("start-up to first paint, empty Qt window: %8.1f ms\n", emptyMs);
    std::printf("start-up to first paint, viewer:          %8.1f ms  (+%.1f ms; goal <= +%.0f ms)\n",
                viewerMs, viewerMs - emptyMs, kStartUpGoalMs);
    std::printf("shut-down:                                %8.1f ms  (goal < %.0f ms)\n", Median(shutDown),
                kShutDownGoalMs);
    std::printf("processor time in a second at rest:       %8.1f ms  (empty Qt window: %.1f ms)\n",
                Median(viewerRest), Median(emptyRest));
    std::printf("memory at rest, without capture buffers:  %8.1f MB  (goal < %.0f MB)\n", Median(idle),
                kIdleMemoryGoalMb);
    std::printf("capture buffers, reserved:                %8.1f MB  (4 x 10 bytes per pixel of the primary "
                "screen)\n",
                capture);
    return 0;
}

// How quickly the viewer opens and plays, in its real main window with the real skin and engine:
// - a card of 5,000 recordings (empty files under the recorders' names) from its opening to the
//   filled list; the pop-up's click and the pause the program leaves before reading a card that
//   has just arrived are not counted;
// - from the command that opens a recording of four full-HD cameras (the four-camera recorder's
//   AVI file, HEVC at 8 Mbit/s a camera) to the first picture of every channel in its window,
//   next to the engine alone opening the same four channels in the same windows in the same run;
// - the processor time of one playback tick while the four channels play.
// Runs on the display of the session, or offscreen without one. Prints figures only.
//
//   openingbench [--runs N]
#include "platform/ui/window.h"
#include "platform/video/presentationtarget.h"
#include "tools/fixtures/cardmaker.h"
#include "tools/fixtures/recordernames.h"
#include "viewer/app/globals.h"
#include "viewer/app/viewerapp.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/ui/childview.h"
#include "viewer/ui/mainframe.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kChannels = CChildView::kChannelCount;
constexpr int kCardRecordings = 5000;
constexpr double kCardGoalMs = 500.0;
constexpr double kFirstPictureGoalMs = 300.0;
constexpr double kAboveEngineGoalMs = 50.0;
constexpr double kTickGoalMs = 1.0;
constexpr int kTicks = 40;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Stands between a channel window and the pictures presented for it, counting them.
class CountingTarget : public IPresentationTarget {
  public:
    explicit CountingTarget(std::shared_ptr<IPresentationTarget> window) : m_window(std::move(window)) {}
    SIZE ClientSize() const override { return m_window->ClientSize(); }
    void Present(const PresentedPicture& picture) override {
        m_window->Present(picture);
        ++presented;
    }
    std::atomic<int> presented{0};

  private:
    std::shared_ptr<IPresentationTarget> m_window;
};

// Runs the event loop until the condition holds; false after ten seconds.
bool RunUntil(const std::function<bool()>& condition) {
    const auto start = Clock::now();
    while (!condition()) {
        if (MsSince(start) > 10000) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return true;
}

class Counters {
  public:
    explicit Counters(CChildView& view) {
        for (int channel = 0; channel < kChannels; ++channel) {
            const HWND window = view.GetChannelWindow(channel).m_hWnd;
            m_targets[channel] = std::make_shared<CountingTarget>(FindPresentationTarget(window));
            RegisterPresentationTarget(window, m_targets[channel]);
        }
    }
    std::array<int, kChannels> Now() const {
        std::array<int, kChannels> counts{};
        for (int channel = 0; channel < kChannels; ++channel) {
            counts[channel] = m_targets[channel]->presented;
        }
        return counts;
    }
    // Every channel has shown a picture since the counts were taken.
    bool AllAfter(const std::array<int, kChannels>& before) const {
        for (int channel = 0; channel < kChannels; ++channel) {
            if (m_targets[channel]->presented <= before[channel]) {
                return false;
            }
        }
        return true;
    }

  private:
    std::array<std::shared_ptr<CountingTarget>, kChannels> m_targets;
};

std::filesystem::path MakeFourCameraCard(const std::filesystem::path& root) {
    fixtures::CardOptions options;
    options.model = fixtures::kAviModel;
    options.totalRecordings = 1;
    options.aviLayout = fixtures::AviCardLayout::Four;
    options.video.width = 1920;
    options.video.height = 1080;
    options.video.fps = 30;
    options.video.frameCount = 90;
    options.video.keyframeInterval = 30;
    options.video.bitRate = 8'000'000;
    const fixtures::CardLayout layout = fixtures::MakeCard(root, options);
    return root / layout.files.at(0).relativePath;
}

// The engine alone: the four channels of the file opened straight on it, as the view would.
double EngineOpenToFirstPictures(const std::filesystem::path& file, const Counters& counters) {
    const std::string name = file.filename().string();
    const std::wstring folder = file.parent_path().wstring() + L"/";
    const auto before = counters.Now();
    const auto start = Clock::now();
    std::array<VideoState*, kChannels> states{};
    for (int channel = 0; channel < kChannels; ++channel) {
        states[channel] = PlayerOpen(name.c_str(), folder.c_str(), 1920, 1080, channel == 0 ? 0 : 1, channel);
    }
    const bool shown = RunUntil([&] { return counters.AllAfter(before); });
    const double elapsed = MsSince(start);
    for (VideoState* state : states) {
        if (state != nullptr) {
            PlayerClose(state);
        }
    }
    return shown ? elapsed : -1.0;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    if (argc > 2 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    }
    QTemporaryDir work;
    setenv("TREVO_CONFIG_HOME", (work.path() + "/config").toLocal8Bit().constData(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const std::filesystem::path folder = work.path().toStdString();

    fixtures::CardOptions bigCard;
    bigCard.model = fixtures::kAviModel;
    bigCard.totalRecordings = kCardRecordings;
    bigCard.namesOnly = true;
    fixtures::MakeCard(folder / "big", bigCard);
    const auto making = Clock::now();
    const std::filesystem::path recording = MakeFourCameraCard(folder / "four");
    std::printf("made the four-camera recording (4 x 1920x1080 HEVC, 90 frames) in %.1f s\n",
                MsSince(making) / 1e3);

    auto application = std::make_unique<CViewerApp>();
    if (!application->InitInstance()) {
        std::fprintf(stderr, "the viewer did not start\n");
        return 1;
    }
    CChildView& view = application->GetFrame()->GetView();
    QApplication::processEvents();
    Counters counters(view);

    std::vector<double> cardMs;
    int rows = 0;
    const std::wstring bigPath = (folder / "big").wstring();
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        ::SendMessageW(view.m_hWnd, WM_OPEN_FOLDER, 0, reinterpret_cast<LPARAM>(bigPath.c_str()));
        cardMs.push_back(MsSince(start));
        rows = view.GetList().GetItemCount();
    }

    const std::wstring fourPath = (folder / "four").wstring();
    ::SendMessageW(view.m_hWnd, WM_OPEN_FOLDER, 0, reinterpret_cast<LPARAM>(fourPath.c_str()));
    if (view.GetList().GetItemCount() != 1) {
        std::fprintf(stderr, "the four-camera card shows %d rows\n", view.GetList().GetItemCount());
        return 1;
    }
    std::vector<double> engineMs;
    std::vector<double> viewMs;
    std::vector<double> tickMs;
    double worstTickMs = 0;
    for (int run = 0; run < runs; ++run) {
        engineMs.push_back(EngineOpenToFirstPictures(recording, counters));

        const auto before = counters.Now();
        const auto start = Clock::now();
        view.OpenAndPlay(0);
        viewMs.push_back(RunUntil([&] { return counters.AllAfter(before); }) ? MsSince(start) : -1.0);

        // The tick while the four play, as its timer would call it.
        for (int tick = 0; tick < kTicks / runs + 1; ++tick) {
            const auto shown = counters.Now();
            RunUntil([&] { return counters.AllAfter(shown); });
            const double cpu = ThreadCpuMs();
            view.GetTransport().OnTick();
            const double spent = ThreadCpuMs() - cpu;
            tickMs.push_back(spent);
            worstTickMs = std::max(worstTickMs, spent);
        }
        view.GetTransport().ClosePlayers(1);
    }

    const double engine = Median(engineMs);
    const double opened = Median(viewMs);
    std::printf("median of %d runs each\n", runs);
    std::printf("card of %d recordings to the filled list:  %8.1f ms  (%d rows; goal < %.0f ms)\n",
                kCardRecordings, Median(cardMs), rows, kCardGoalMs);
    std::printf("engine alone, open to four first pictures:  %8.1f ms\n", engine);
    std::printf(
        "viewer, command to four first pictures:     %8.1f ms  (+%.1f ms; goal < %.0f ms and <= +%.0f ms)\n",
        opened, opened - engine, kFirstPictureGoalMs, kAboveEngineGoalMs);
    std::printf("one playback tick while four play:          %8.3f ms  (worst %.3f ms; goal < %.0f ms)\n",
                Median(tickMs), worstTickMs, kTickGoalMs);

    ::SendMessageW(application->GetFrame()->m_hWnd, WM_CLOSE, 0, 0);
    application->ExitInstance();
    return 0;
}

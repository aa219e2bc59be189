// How long the defog window takes from a strength slider's release to the filtered 1920 x 1080
// picture painted in its area, next to the filter alone (and with its conversion to the window's
// bitmap); then the four channels' sliders released together, filtered one after another and
// painted. Two OpenCV threads, as on a two-core laptop. Goals: under 120 ms for one release, under
// 400 ms for the four. Prints figures only: best and median of several rounds.
#include "platform/base/resourcemodule.h"
#include "platform/ui/window.h"
#include "tools/fixtures/framepainter.h"
#include "viewer/app/globals.h"
#include "viewer/skin/resstorage.h"
#include "viewer/tools/defogdlg.h"
#include "viewer/tools/defogpicture.h"
#include "viewer/tools/defogretinex.h"

#include <QApplication>

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kThreads = 2;
constexpr int kRounds = 7;
constexpr double kReleaseGoalMs = 120.0;
constexpr double kFourChannelsGoalMs = 400.0;

using Clock = std::chrono::steady_clock;

// The window, noting when a paint has shown a channel's new working copy.
class TimedDefogDlg : public DefogDlg {
  public:
    std::array<HBITMAP, kChannelCount> waitingFor{};
    std::array<Clock::time_point, kChannelCount> painted{};

  protected:
    void OnPaint() override {
        DefogDlg::OnPaint();
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (waitingFor[channel] != nullptr && GetWorkingCopy(channel) != waitingFor[channel]) {
                waitingFor[channel] = nullptr;
                painted[channel] = Clock::now();
            }
        }
    }
};

// A recorder's frame as the engine captures it: B, G, R and an unused byte.
std::vector<BYTE> Frame(int seed) {
    const fixtures::FramePainter painter(kWidth, kHeight);
    std::vector<uint8_t> rgb;
    painter.Paint(120 + seed, 0, rgb);
    std::vector<BYTE> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    for (size_t i = 0, j = 0; i < pixels.size(); i += 4, j += 3) {
        pixels[i] = rgb[j + 2];
        pixels[i + 1] = rgb[j + 1];
        pixels[i + 2] = rgb[j];
    }
    return pixels;
}

struct Timing {
    double best;
    double median;
};

Timing Time(const std::function<double()>& run) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        times.push_back(run());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Releases the sliders of the channels at the strength and runs the event loop until every one of
// them has painted its filtered picture; the milliseconds until the last paint.
double Release(TimedDefogDlg& window, const std::vector<int>& channels, int strength) {
    const Clock::time_point start = Clock::now();
    for (int channel : channels) {
        window.waitingFor[channel] = window.GetWorkingCopy(channel);
        window.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, strength),
                           reinterpret_cast<LPARAM>(window.GetSlider(channel).m_hWnd));
    }
    const auto waiting = [&] {
        return std::any_of(channels.begin(), channels.end(),
                           [&](int channel) { return window.waitingFor[channel] != nullptr; });
    };
    while (waiting()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    Clock::time_point last = start;
    for (int channel : channels) {
        last = std::max(last, window.painted[channel]);
    }
    return Ms(start, last);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    cv::setNumThreads(kThreads);
    g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ResStorage skin;
    if (skin.LoadSkin(L".\\ResStorage.dat", nullptr) != 1) {
        std::fprintf(stderr, "the skin did not load\n");
        return 1;
    }
    TimedDefogDlg window;
    window.Create(DefogDlg::IDD, nullptr);
    window.SetResStorage(&skin);
    window.CreateControls();
    std::array<std::vector<BYTE>, 4> frames;
    std::array<HBITMAP, 4> sources{};
    for (int channel = 0; channel < 4; ++channel) {
        frames[channel] = Frame(channel);
        sources[channel] =
            DefogPicture::SourceOfCapture(kWidth, kHeight, frames[channel].data(), frames[channel].size());
    }
    window.SetImages(sources[0], sources[1], sources[2], sources[3]);
    window.ShowWindow(SW_SHOW);
    QApplication::processEvents();

    std::printf("defog window, %dx%d pictures, %d OpenCV threads, best / median of %d rounds\n", kWidth,
                kHeight, cv::getNumThreads(), kRounds);
    const cv::Mat source = DefogPicture::SourcePixels(window.GetSource(0));
    // One untimed run of each first: the first call pays for loading and for fresh memory.
    DefogRetinex().DefogFilter(source, 5);
    Release(window, {0}, 4);
    int strength = 1;
    const Timing filter = Time([&] {
        const Clock::time_point start = Clock::now();
        DefogRetinex().DefogFilter(source, 5);
        return Ms(start, Clock::now());
    });
    const Timing bitmap = Time([&] {
        const Clock::time_point start = Clock::now();
        DeleteObject(DefogPicture::Filter(window.GetSource(0), 5));
        return Ms(start, Clock::now());
    });
    const Timing release = Time([&] { return Release(window, {0}, 5 + strength++ % 10); });
    const Timing four = Time([&] { return Release(window, {0, 1, 2, 3}, 5 + strength++ % 10); });
    std::printf("%-48s %8.1f / %-8.1f ms\n", "filter alone (DefogFilter)", filter.best, filter.median);
    std::printf("%-48s %8.1f / %-8.1f ms\n", "filter and 8-bit DIB section", bitmap.best, bitmap.median);
    std::printf("%-48s %8.1f / %-8.1f ms   goal < %.0f ms\n", "slider release to the picture painted",
                release.best, release.median, kReleaseGoalMs);
    std::printf("%-48s %8.1f / %-8.1f ms   goal < %.0f ms\n", "four sliders released, all four painted",
                four.best, four.median, kFourChannelsGoalMs);
    window.DestroyWindow();
    FreeLibrary(g_hResourceDll);
    return 0;
}

// How fast a card is read: a card of 5,000 recordings (empty files under the recorders' names) is
// made for a model of each family, then scanned by the catalogue and listed by find(1) in the same
// run, each several times with a warm cache. The goal is a scan within twice find's time. Prints
// figures only.
#include "viewer/catalogue/datadirstruct.h"

#include "platform/base/filesystem.h"
#include "platform/base/process.h"
#include "platform/base/unicode.h"
#include "tools/fixtures/cardmaker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

constexpr int kRecordings = 5000;
constexpr int kRounds = 15;

struct Timing {
    double best = 0;
    double median = 0;
};

Timing Measure(const std::function<bool()>& run) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!run()) {
            std::fprintf(stderr, "run failed\n");
            std::exit(1);
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void Bench(const std::filesystem::path& root, int model) {
    SetModelIndex(model);
    fixtures::CardOptions options;
    options.model = model;
    options.namesOnly = true;
    options.totalRecordings = kRecordings;
    options.spacingSeconds = 1;
    const fixtures::CardLayout layout = fixtures::MakeCard(root, options);
    const std::wstring card = WideFromUtf8(root.string());

    DataDirStruct catalogue;
    size_t held = 0;
    const Timing scan = Measure([&] {
        const bool scanned = catalogue.ScanFolders(card, 0) == 1;
        held = catalogue.GetRecordCount();
        return scanned;
    });
    const Timing find = Measure([&] {
        int exitCode = -1;
        return RunProcessAndWait({L"find", card}, ProcessOutput::Hidden, exitCode) && exitCode == 0;
    });
    std::printf("model %d: %d recordings in %zu files, %zu catalogued\n", model, layout.recordings,
                layout.files.size(), held);
    std::printf("  catalogue scan  best %7.2f ms  median %7.2f ms\n", scan.best, scan.median);
    std::printf("  find            best %7.2f ms  median %7.2f ms\n", find.best, find.median);
    std::printf("  scan / find     best %5.2fx     median %5.2fx   (goal: within 2x)\n",
                scan.best / find.best, scan.median / find.median);
}

} // namespace

int main() {
    const std::filesystem::path base =
        std::filesystem::path(Utf8FromWide(FileSystem::TemporaryFolder())) / "trevo-cardscanbench";
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    Bench(base / "mp4card", 0);
    Bench(base / "avicard", 3);
    std::filesystem::remove_all(base, ignored);
    return 0;
}

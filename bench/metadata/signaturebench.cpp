// Signature check throughput next to md5sum on the same 1 GiB recording, in one run: the check is
// MD5 from other start words, so md5sum's speed is the mark. Goal: at least 70% of md5sum's speed.
// Both read the file from the page cache (a first md5sum run warms it).

#include "benchrecording.h"

#include "platform/base/process.h"
#include "platform/base/unicode.h"
#include "viewer/catalogue/recordingcheck.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

template <typename Run> double Seconds(Run run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path path = bench::BenchFolder(argc, argv) / "trevo-bench-1gib.mp4";
    std::printf("writing a signed 1 GiB recording to %s ...\n", path.c_str());
    const bench::BenchRecording recording = bench::WriteBenchRecording(path, 1ull << 30, false, true);
    const std::wstring widePath = WideFromUtf8(path.string());
    const std::vector<std::wstring> md5sum = {L"md5sum", widePath};

    int exitCode = 0;
    bool md5sumRan = RunProcessAndWait(md5sum, ProcessOutput::Hidden, exitCode) && exitCode == 0;
    if (!md5sumRan) {
        std::fprintf(stderr, "md5sum could not be run\n");
        return 1;
    }
    std::vector<double> check;
    std::vector<double> reference;
    int result = 0;
    for (int run = 0; run < 5; ++run) {
        check.push_back(Seconds([&] { result = VerifyRecordingFile(widePath); }));
        reference.push_back(
            Seconds([&] { md5sumRan = RunProcessAndWait(md5sum, ProcessOutput::Hidden, exitCode); }));
    }
    const double size = static_cast<double>(recording.fileSize) / (1 << 20);
    const double checkSpeed = size / Median(check);
    const double md5sumSpeed = size / Median(reference);
    std::printf("signature check of %.0f MiB: result %d (1 = intact)\n", size, result);
    std::printf("  check:  median %.3f s, best %.3f s, %.0f MiB/s\n", Median(check),
                *std::min_element(check.begin(), check.end()), checkSpeed);
    std::printf("  md5sum: median %.3f s, best %.3f s, %.0f MiB/s\n", Median(reference),
                *std::min_element(reference.begin(), reference.end()), md5sumSpeed);
    std::printf("  check at %.0f%% of md5sum's speed (goal >= 70%%): %s\n", 100 * checkSpeed / md5sumSpeed,
                checkSpeed >= 0.7 * md5sumSpeed ? "goal met" : "GOAL MISSED");
    std::filesystem::remove(path);
    return result == 1 && md5sumRan && exitCode == 0 ? 0 : 1;
}

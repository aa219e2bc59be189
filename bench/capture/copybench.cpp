// How fast a 1 GiB recording is copied to another folder on the same disk, next to cp copying the
// same file in the same run. The goal: no slower than cp. Prints figures only: best and median of
// a few rounds each, the two taking turns so that neither is favoured by the page cache.
// The file is made in the folder given (default: the system's temporary folder).
#include "platform/base/filesystem.h"
#include "platform/base/process.h"
#include "platform/base/unicode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t kSize = size_t{1} << 30;
constexpr int kRounds = 3;

double Milliseconds(const std::function<bool()>& copy) {
    const auto start = std::chrono::steady_clock::now();
    if (!copy()) {
        std::fprintf(stderr, "copy failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Print(const char* what, std::vector<double> rounds) {
    std::sort(rounds.begin(), rounds.end());
    std::printf("%s: best %.0f ms (%.0f MiB/s), median %.0f ms\n", what, rounds.front(),
                1024.0 * 1000.0 / rounds.front(), rounds[rounds.size() / 2]);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const fs::path folder = base / "trevo-copybench";
    fs::create_directories(folder / "card");
    fs::create_directories(folder / "copies");
    const fs::path source = folder / "card" / "2023_05_24_12_30_45_F_normal.mp4";
    {
        std::ofstream file(source, std::ios::binary);
        std::mt19937_64 random(1);
        std::vector<uint64_t> block((size_t{1} << 20) / sizeof(uint64_t));
        for (size_t written = 0; written < kSize; written += block.size() * sizeof(uint64_t)) {
            for (auto& word : block) {
                word = random();
            }
            file.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
        }
    }
    const fs::path ours = folder / "copies" / "ours.mp4";
    const fs::path theirs = folder / "copies" / "cp.mp4";
    std::vector<double> ourRounds;
    std::vector<double> cpRounds;
    for (int round = 0; round < kRounds; ++round) {
        ourRounds.push_back(Milliseconds(
            [&] { return FileSystem::CopyFile(WideFromUtf8(source.string()), WideFromUtf8(ours.string()), false); }));
        cpRounds.push_back(Milliseconds([&] {
            int exitCode = -1;
            return RunProcessAndWait({L"cp", WideFromUtf8(source.string()), WideFromUtf8(theirs.string())},
                                     ProcessOutput::Hidden, exitCode) &&
                   exitCode == 0;
        }));
        fs::remove(ours);
        fs::remove(theirs);
    }
    fs::remove_all(folder);
    Print("copy of a 1 GiB recording", ourRounds);
    Print("cp of the same file      ", cpRounds);
    std::printf("(goal: the copy no slower than cp)\n");
    return 0;
}

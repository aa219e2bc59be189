// How fast a card is formatted: sparse images of 32 and 64 GiB at 64 sectors per cluster, formatted
// by our formatter and by mkfs.fat (-F 32 -s 64) on an image of the same size in the same run. The
// goal is to be no slower than mkfs.fat. Prints figures only: the best and median times of several
// rounds, the bytes our formatter wrote, and what each image holds on the disk afterwards.
#include "viewer/tools/fat32format.h"

#include "platform/base/process.h"
#include "platform/base/unicode.h"
#include "platform/devices/imagefilevolume.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 5;
constexpr unsigned long long kGiB = 1ull << 30;

// Counts what passes through to the image.
class CountingVolume : public RawVolume {
  public:
    CountingVolume(std::unique_ptr<RawVolume> inner, unsigned long long& written)
        : m_inner(std::move(inner)), m_written(written) {}
    bool Lock() override { return m_inner->Lock(); }
    bool GetGeometry(RawVolumeGeometry& geometry) override { return m_inner->GetGeometry(geometry); }
    bool GetPartitionInfo(RawVolumePartition& partition) override {
        return m_inner->GetPartitionInfo(partition);
    }
    bool SetPointer(ULONGLONG offset) override { return m_inner->SetPointer(offset); }
    bool Write(const void* data, size_t length) override {
        m_written += length;
        return m_inner->Write(data, length);
    }
    bool SetPartitionTypeFat32() override { return m_inner->SetPartitionTypeFat32(); }
    bool Flush() override { return m_inner->Flush(); }
    bool Unlock() override { return m_inner->Unlock(); }

  private:
    std::unique_ptr<RawVolume> m_inner;
    unsigned long long& m_written;
};

void CreateSparse(const fs::path& path, unsigned long long length) {
    fs::remove(path);
    std::ofstream(path, std::ios::binary);
    fs::resize_file(path, length);
}

struct Figures {
    double bestMs = 0;
    double medianMs = 0;
    unsigned long long written = 0;
    unsigned long long allocated = 0;
    bool ok = true;
};

template <typename Run> Figures Measure(const fs::path& image, unsigned long long length, Run run) {
    Figures figures;
    std::vector<double> times;
    for (int round = 0; round < kRounds && figures.ok; ++round) {
        CreateSparse(image, length);
        const auto start = std::chrono::steady_clock::now();
        figures.ok = run(figures.written);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    figures.bestMs = times.front();
    figures.medianMs = times[times.size() / 2];
    figures.allocated = ImageFileAllocatedBytes(WideFromUtf8(image.string()));
    return figures;
}

void Print(const char* who, const Figures& figures) {
    if (!figures.ok) {
        std::printf("  %-10s failed\n", who);
        return;
    }
    std::printf("  %-10s best %8.1f ms  median %8.1f ms", who, figures.bestMs, figures.medianMs);
    if (figures.written != 0)
        std::printf("  written %10llu bytes", figures.written / kRounds);
    else
        std::printf("  %27s", "");
    std::printf("  image holds %10llu bytes\n", figures.allocated);
}

} // namespace

int main() {
    std::random_device random;
    const fs::path folder = fs::temp_directory_path() / ("trevo-formatbench-" + std::to_string(random()));
    fs::create_directories(folder);
    const fs::path image = folder / "card.img";

    std::printf("FAT32 format of a sparse image at 64 sectors per cluster, %d rounds each\n", kRounds);
    for (const unsigned long long gibibytes : {32ull, 64ull}) {
        const unsigned long long length = gibibytes * kGiB;
        std::printf("%llu GiB:\n", gibibytes);
        const Figures ours = Measure(image, length, [&](unsigned long long& written) {
            auto volume = std::make_unique<CountingVolume>(
                ImageFileVolume::Open(WideFromUtf8(image.string())), written);
            return FormatVolumeFat32(std::move(volume), nullptr, 64, nullptr).IsEmpty();
        });
        Print("ours", ours);
        const Figures mkfs = Measure(image, length, [&](unsigned long long&) {
            int exitCode = -1;
            return RunProcessAndWait({L"mkfs.fat", L"-F", L"32", L"-s", L"64", WideFromUtf8(image.string())},
                                     ProcessOutput::Hidden, exitCode) &&
                   exitCode == 0;
        });
        Print("mkfs.fat", mkfs);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}

// How fast the skin archive is read: a 400-entry archive laid out like ResStorage.dat (small XML
// files and bitmaps of a few KB to about 100 KB) is made with Python's zipfile, then opened and every
// entry extracted into a CZipMemFile, the skin store's way. Python's zipfile reads the same archive
// in the same run for comparison. Prints figures only.
#include "viewer/ziparchive/ziparchive.h"

#include "platform/base/filesystem.h"
#include "platform/base/process.h"
#include "platform/base/unicode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 30;

// Writes the archive (argv[1]), then times zipfile reading every entry and writes the figures
// (argv[2]): best and median milliseconds, entry count, plain and stored bytes.
const char* const kPythonScript = R"PY(
import random, statistics, sys, time, zipfile
path, results, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
rng = random.Random(1)

def bitmap(width, height):
    row = bytearray()
    for x in range(width):
        shade = (x * 255) // max(1, width - 1)
        row += bytes((shade, (shade + 40) & 0xFF, 0xFF - shade))
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = bytearray()
    for y in range(height):
        line = bytearray(row)
        # Anti-aliased edges and a little noise, as drawn skin art has.
        for _ in range(width // 8):
            at = rng.randrange(len(line))
            line[at] = rng.randrange(256)
        pixels += line
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little")
    info += (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + b"\0" * 24
    return header + info + bytes(pixels)

def xml(count):
    items = "".join("<item><type>button</type><id>1000%04x</id><location><x>%d</x><y>%d</y></location>"
                    "<size><width>%d</width><height>%d</height></size><image><normal>b%d.bmp</normal>"
                    "</image></item>\n" % (i, i * 3, i * 5, 40, 24, i) for i in range(count))
    return ("<?xml version=\"1.0\"?>\n<component>\n%s</component>\n" % items).encode()

with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("cfg/cfg.xml", xml(2))
    z.writestr("cfg/pidinfo.xml", xml(3))
    for i in range(40):
        z.writestr("skin%d/skin%d.xml" % (i % 6, i), xml(5 + (i * 7) % 40))
    for i in range(358):
        width = rng.choice((16, 24, 32, 48, 64, 96, 128, 160, 180))
        height = rng.choice((16, 24, 32, 40, 64, 100, 180))
        z.writestr("skin%d/b%d.bmp" % (i % 6, i), bitmap(width, height))

times = []
for _ in range(rounds):
    start = time.perf_counter()
    with zipfile.ZipFile(path) as z:
        for name in z.namelist():
            z.read(name)
    times.append((time.perf_counter() - start) * 1000)
with zipfile.ZipFile(path) as z:
    infos = z.infolist()
with open(results, "w") as f:
    f.write("%f %f %d %d %d\n" % (min(times), statistics.median(times), len(infos),
                                  sum(i.file_size for i in infos), sum(i.compress_size for i in infos)))
)PY";

struct Figures {
    double best = 0;
    double median = 0;
};

Figures Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

// One read of the whole archive, as the skin store does it: open read-only, empty password, each
// entry found by name, a memory file sized from its header, extracted and handed over.
double ReadArchiveOnce(const std::wstring& path, const std::vector<std::wstring>& names, size_t& bytesRead) {
    const auto start = std::chrono::steady_clock::now();
    CZipArchive archive;
    archive.Open(path, 3, 0);
    archive.SetPassword(L"", 0xFFFFFFFF);
    bytesRead = 0;
    CZipMemFile memory(1024);
    for (const std::wstring& name : names) {
        const WORD index = archive.FindFile(name, 0, false);
        if (index == 65535)
            continue;
        memory.ReInit(1024);
        memory.SetLength(archive[index]->m_uncompressedSize);
        memory.SeekToBegin();
        if (!archive.ExtractFileInto(index, memory, true, 0x10000))
            continue;
        bytesRead += static_cast<size_t>(memory.GetLength());
        std::free(memory.Detach());
    }
    archive.Close(0, false);
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main() {
    const std::wstring folder =
        FileSystem::TemporaryFolder() + L"/trevo-zipbench-" + std::to_wstring(std::rand());
    if (!FileSystem::CreateDirectories(folder)) {
        std::fprintf(stderr, "cannot create %s\n", Utf8FromWide(folder).c_str());
        return 1;
    }
    const std::wstring archivePath = folder + L"/ResStorage.dat";
    const std::wstring resultsPath = folder + L"/python.txt";
    int exitCode = -1;
    const bool ran = RunProcessAndWait(
        {L"python3", L"-c", WideFromUtf8(kPythonScript), archivePath, resultsPath, std::to_wstring(kRounds)},
        ProcessOutput::Shared, exitCode);
    std::ifstream results(Utf8FromWide(resultsPath));
    Figures python;
    int entries = 0;
    unsigned long long plainBytes = 0;
    unsigned long long storedBytes = 0;
    if (!ran || exitCode != 0 ||
        !(results >> python.best >> python.median >> entries >> plainBytes >> storedBytes)) {
        std::fprintf(stderr, "python3 could not make or read the archive\n");
        return 1;
    }

    std::vector<std::wstring> names;
    {
        CZipArchive archive;
        archive.Open(archivePath, 3, 0);
        for (WORD i = 0; i < archive.GetCount(); ++i)
            names.push_back(archive[i]->GetFileName());
        archive.Close();
    }
    std::vector<double> times;
    size_t bytesRead = 0;
    for (int round = 0; round < kRounds; ++round)
        times.push_back(ReadArchiveOnce(archivePath, names, bytesRead));
    const Figures ours = Summarise(times);

    std::printf("archive: %d entries, %.1f MB plain, %.1f MB stored (made by python3 zipfile)\n", entries,
                plainBytes / 1e6, storedBytes / 1e6);
    std::printf("rounds: %d, each opens the archive and reads every entry\n", kRounds);
    std::printf("CZipArchive -> CZipMemFile: best %7.2f ms, median %7.2f ms (%zu bytes per round)\n",
                ours.best, ours.median, bytesRead);
    std::printf("python3 zipfile read():     best %7.2f ms, median %7.2f ms\n", python.best, python.median);
    std::printf("ratio python/ours (median): %.2f\n", python.median / ours.median);
    std::printf("whole archive under 50 ms (median): %s\n", ours.median < 50.0 ? "yes" : "no");

    FileSystem::RemoveFile(archivePath);
    FileSystem::RemoveFile(resultsPath);
    FileSystem::RemoveDirectory(folder);
    return 0;
}

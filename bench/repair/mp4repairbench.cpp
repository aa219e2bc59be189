// The repair program on one-minute 1080p recordings whose index is gone, next to copying the same
// file with cp: time (goal: within twice cp's), peak memory at about 100 MB and 1 GB (goal: the
// same for both), and the share of whole frames recovered over a table of cut points (goal: all).
//
//   mp4repairbench [folder]   (the folder holds the made recordings; the temporary folder by default)

#include "platform/base/filesystem.h"
#include "platform/base/unicode.h"
#include "tools/fixtures/moviemaker.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The video rate of the recordings and of their reference.
constexpr int kBitRate = 13'000'000;

namespace fs = std::filesystem;

struct Run {
    bool ok = false;
    double seconds = 0;
    long peakKilobytes = 0;
};

Run RunProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    Run run;
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.peakKilobytes = usage.ru_maxrss;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

// Starts the programs measured from a small process forked before the bench grows: the system
// counts a child's peak memory from the memory of the process it was forked from, so children of
// the bench itself, which holds recordings, would show its size instead of their own.
class Launcher {
  public:
    Launcher() {
        int requests[2];
        int replies[2];
        if (pipe(requests) != 0 || pipe(replies) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(requests[1]);
            close(replies[0]);
            Serve(requests[0], replies[1]);
            _exit(0);
        }
        close(requests[0]);
        close(replies[1]);
        m_requests = requests[1];
        m_replies = replies[0];
    }
    ~Launcher() {
        if (m_pid <= 0)
            return;
        close(m_requests);
        close(m_replies);
        waitpid(m_pid, nullptr, 0);
    }
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    Run Measure(const std::vector<std::string>& arguments) {
        Run run;
        std::string request;
        for (const std::string& argument : arguments)
            request += argument + '\0';
        const uint32_t size = static_cast<uint32_t>(request.size());
        if (m_pid > 0 && WriteAll(m_requests, &size, sizeof size) &&
            WriteAll(m_requests, request.data(), size))
            ReadAll(m_replies, &run, sizeof run);
        return run;
    }

  private:
    static void Serve(int requests, int replies) {
        uint32_t size = 0;
        while (ReadAll(requests, &size, sizeof size)) {
            std::string request(size, '\0');
            if (!ReadAll(requests, request.data(), size))
                return;
            std::vector<std::string> arguments;
            for (size_t at = 0; at < request.size();) {
                const size_t end = request.find('\0', at);
                arguments.push_back(request.substr(at, end - at));
                at = end + 1;
            }
            const Run run = RunProgram(arguments);
            if (!WriteAll(replies, &run, sizeof run))
                return;
        }
    }
    static bool ReadAll(int fd, void* to, size_t size) {
        for (auto* p = static_cast<char*>(to); size > 0;) {
            const ssize_t n = read(fd, p, size);
            if (n <= 0)
                return false;
            p += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    static bool WriteAll(int fd, const void* from, size_t size) {
        for (auto* p = static_cast<const char*>(from); size > 0;) {
            const ssize_t n = write(fd, p, size);
            if (n <= 0)
                return false;
            p += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    pid_t m_pid = -1;
    int m_requests = -1;
    int m_replies = -1;
};

struct Packet {
    bool video;
    int64_t position;
    int size;
};

// The median run of several, alternating with the other program measured, so that both see the
// same load on a shared machine; the peak memory is the largest of them.
Run Median(std::vector<Run> runs) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    Run median = runs[runs.size() / 2];
    for (const Run& run : runs) {
        median.ok = median.ok && run.ok;
        median.peakKilobytes = std::max(median.peakKilobytes, run.peakKilobytes);
    }
    return median;
}

std::vector<Packet> Packets(const fs::path& path) {
    // The cut recordings end in part of a picture: the decoder's complaints about it are noise here.
    av_log_set_level(AV_LOG_QUIET);
    std::vector<Packet> packets;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return packets;
    avformat_find_stream_info(format, nullptr);
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        const bool video = format->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        packets.push_back({video, packet->pos, packet->size});
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return packets;
}

fixtures::MovieOptions RecorderOptions(int bitRate, int frames) {
    fixtures::MovieOptions options;
    options.video.width = 1920;
    options.video.height = 1080;
    options.video.frameCount = frames;
    options.video.bitRate = bitRate;
    options.audio = true;
    return options;
}

// The recording as made, and the same bytes without its index.
fs::path MakeRecording(const fs::path& folder, const std::string& name, int bitRate, uint64_t hole,
                       fs::path& indexless, fixtures::MovieLayout& layout) {
    fixtures::QuietCodecLogs();
    fixtures::MovieOptions options = RecorderOptions(bitRate, 30 * 60);
    options.mdatPadding = hole;
    const fs::path path = folder / (name + ".mp4");
    layout = fixtures::MakeMovieRecording(path, options);
    indexless = folder / (name + "-noindex.mp4");
    std::ifstream in(path, std::ios::binary);
    std::ofstream out(indexless, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    for (const fixtures::BoxInfo& box : layout.boxes) {
        if (box.type == "moov")
            continue;
        in.seekg(static_cast<std::streamoff>(box.offset));
        for (uint64_t left = box.size; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
            in.read(buffer.data(), static_cast<std::streamsize>(n));
            out.write(buffer.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
    }
    return path;
}

} // namespace

int main(int argc, char** argv) {
    Launcher launcher;
    const fs::path folder =
        fs::path(argc > 1 ? argv[1] : fs::temp_directory_path().string()) / "mp4repairbench";
    fs::create_directories(folder);
    const std::string program = Utf8FromWide(FileSystem::ProgramFolder()) + "/mp4repair";
    // A reference from the same recorder, as the viewer hands over: the parameter sets the repaired
    // video is decoded with are the reference's.
    const std::string reference = (folder / "reference.mp4").string();
    fixtures::QuietCodecLogs();
    fixtures::MakeMovieRecording(reference, RecorderOptions(kBitRate, 30));
    const fs::path output = folder / "repaired.mp4";

    double load[3] = {};
    if (getloadavg(load, 3) == 3)
        std::printf("load average: %.2f %.2f %.2f on %ld processors\n", load[0], load[1], load[2],
                    sysconf(_SC_NPROCESSORS_ONLN));
    std::vector<Run> startUps;
    for (int i = 0; i < 5; ++i)
        startUps.push_back(launcher.Measure({program}));
    std::printf("start-up of the program without work: %.3f s\n", Median(startUps).seconds);
    std::printf("%-26s %10s %10s %10s %8s %12s   (medians of 5)\n", "recording", "MB", "cp s", "repair s",
                "ratio", "peak KB");
    // The encoder keeps a minute's synthetic pictures near 100 MB whatever rate it is asked for, so the
    // larger input is that recording with a 900 MB stretch of zeros in its media data, which the scan
    // must cross.
    for (const auto& [name, hole] :
         {std::pair<const char*, uint64_t>{"1080p-100MB", 0},
          std::pair<const char*, uint64_t>{"1080p-1GB (900 MB zeros)", 900'000'000}}) {
        fs::path indexless;
        fixtures::MovieLayout layout;
        MakeRecording(folder, name, kBitRate, hole, indexless, layout);
        // Both read a file the page cache holds, as the repair reads its working copy, and write a
        // file that is not there yet.
        std::vector<Run> copies;
        std::vector<Run> repairs;
        for (int i = 0; i < 5; ++i) {
            copies.push_back(launcher.Measure({"cp", indexless.string(), (folder / "copy.mp4").string()}));
            fs::remove(folder / "copy.mp4");
            repairs.push_back(launcher.Measure({program, "-y", "-i", reference, "-broken", indexless.string(),
                                                "-broken_aac", "aac", "-codec", "copy", output.string()}));
            fs::remove(output);
        }
        const Run copy = Median(copies);
        const Run repair = Median(repairs);
        std::printf("%-26s %10.1f %10.3f %10.3f %8.2f %12ld%s\n", name, fs::file_size(indexless) / 1e6,
                    copy.seconds, repair.seconds, repair.seconds / copy.seconds, repair.peakKilobytes,
                    repair.ok && copy.ok ? "" : "  (failed)");
        if (hole != 0) {
            fs::remove(indexless);
            fs::remove(folder / (std::string(name) + ".mp4"));
            continue;
        }
        // The share of whole frames recovered over a table of cut points.
        const std::vector<Packet> packets = Packets(folder / (std::string(name) + ".mp4"));
        const uint64_t size = fs::file_size(indexless);
        size_t whole = 0;
        size_t recovered = 0;
        std::ifstream in(indexless, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        for (int cut = 1; cut <= 20; ++cut) {
            const uint64_t at = size * static_cast<uint64_t>(cut) / 21 + static_cast<uint64_t>(cut) * 7;
            const fs::path cutPath = folder / "cut.mp4";
            std::ofstream(cutPath, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(at));
            for (const Packet& packet : packets)
                whole += static_cast<uint64_t>(packet.position) + static_cast<uint64_t>(packet.size) <= at;
            if (launcher
                    .Measure({program, "-y", "-i", reference, "-broken", cutPath.string(), "-broken_aac",
                              "aac", "-codec", "copy", output.string()})
                    .ok)
                recovered += Packets(output).size();
        }
        std::printf("frames recovered over 20 cut points: %zu of %zu whole (%.2f%%; goal 100%%)\n", recovered,
                    whole, whole ? 100.0 * static_cast<double>(recovered) / static_cast<double>(whole) : 0.0);
        fs::remove(indexless);
        fs::remove(folder / (std::string(name) + ".mp4"));
    }
    std::printf("goal: repair within 2x cp (ratio <= 2); peak memory not growing with the file\n");
    fs::remove(output);
    fs::remove(folder / "cut.mp4");
    fs::remove(reference);
    return 0;
}

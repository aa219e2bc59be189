// How the playback engine does on an ordinary laptop: four channels of full-HD video at a recorder's
// bit rate (8 Mbit/s unless told otherwise) made with the fixture makers, played headless at normal
// speed for a while, next to only decoding the same files with the same libraries and thread
// settings. It plays H.264 and HEVC, each in the main view's four-window layout and with the front
// channel enlarged to a full-HD screen (the other three hidden, as the view hides them), and prints
// for each: the CPU time of playing next to that of only decoding (flat out, and at the pace of
// playing, which costs the decoders more), the share of pictures shown on time, the drift between
// sound and picture (the engine's own sound clock against its picture clock, as the sound follows
// the picture) with its course, and the first picture after opening.
// The first of them also measures how long a seek takes to show its picture and what the engine
// costs while paused; the peak memory is that of all the playing. The four-window layout is played
// once more into windows that take the pictures in their parts, as those drawn with OpenGL do: that
// is the device's part of the OpenGL path, without the drawing, which a graphics card does (on a
// machine without one, Mesa's rasteriser would measure itself, not the path). Run it on two cores
// (taskset -c 0,1) to match a two-core laptop. The sound device is SDL's dummy, which takes its
// buffers on its own timer, a little faster or slower than the clock depending on the machine's
// load. Prints figures only.
//
//   enginebench [--seconds N] [--keyframe-interval N] [--bit-rate MBITS] [--audio-rate HZ] [--folder DIR]
// --folder keeps the recordings in DIR (made when missing) for later runs.
#include "platform/video/presentationtarget.h"
#include "tools/fixtures/moviemaker.h"
#include "viewer/app/globals.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/engine/readthread.h"
#include "viewer/engine/videorefresh.h"
#include "viewer/engine/videostate.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/cpu.h>
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFps = 30;
// A channel window of the main view's four-window layout.
constexpr int kWindowWidth = 441;
constexpr int kWindowHeight = 330;
constexpr double kFrameInterval = 1.0 / kFps;
// Seeks go to places the playing never reaches.
constexpr int kExtraSeconds = 10;

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A folder of its own unless one to keep is named.
class RecordingFolder {
  public:
    explicit RecordingFolder(const std::string& kept) : m_kept(!kept.empty()) {
        std::random_device random;
        m_path = m_kept ? std::filesystem::path(kept)
                        : std::filesystem::temp_directory_path() /
                              ("trevo-enginebench-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~RecordingFolder() {
        std::error_code ignored;
        if (!m_kept)
            std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& Path() const { return m_path; }

  private:
    bool m_kept;
    std::filesystem::path m_path;
};

// A window of the four-window layout that notes the time and picture of every presentation.
class BenchWindow : public IPresentationTarget {
  public:
    struct Presentation {
        double time;
        double pts;
    };

    SIZE ClientSize() const override {
        SIZE size;
        size.cx = m_width;
        size.cy = m_height;
        return size;
    }
    // 0 x 0: hidden.
    void Resize(int width, int height) {
        m_width = width;
        m_height = height;
    }

    // Called on the engine's event thread while it presents: the channel's last shown picture time
    // is the picture's own.
    void Present(const PresentedPicture&) override {
        VideoState* state = m_state;
        if (!state)
            return;
        const double now = EngineNow();
        std::lock_guard<std::mutex> guard(m_lock);
        m_presentations.push_back({now, state->frameLastPts});
    }

    // Taking pictures in their parts, as a window drawn with OpenGL does, the device leaves the
    // converting, scaling and composing to the graphics card; that drawing is not counted here.
    bool DrawsScenes() const override { return m_parts; }
    void TakeParts(bool parts) { m_parts = parts; }

    void Attach(VideoState* state) { m_state = state; }
    std::vector<Presentation> Take() {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<Presentation> taken;
        taken.swap(m_presentations);
        return taken;
    }
    // The first presentation after the time whose picture lies in the window.
    std::optional<double> FirstShown(double after, double from, double to) {
        std::lock_guard<std::mutex> guard(m_lock);
        for (const Presentation& p : m_presentations)
            if (p.time > after && p.pts >= from && p.pts <= to)
                return p.time;
        return std::nullopt;
    }

  private:
    std::atomic<VideoState*> m_state{nullptr};
    std::atomic<bool> m_parts{false};
    std::atomic<int> m_width{kWindowWidth};
    std::atomic<int> m_height{kWindowHeight};
    std::mutex m_lock;
    std::vector<Presentation> m_presentations;
};

HWND WindowHandle(int channel) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0xBE00 + channel));
}

struct DecodeResult {
    int pictures = 0;
    int sounds = 0;
};

// Only decoding: every video (and sound) packet of the file, with the decoders set up as the
// engine sets them up. Paced, it stops after that many pictures and takes each at its time, as
// playing does: a decoder then runs for one picture at a time among the other channels' and finds
// less of its reference pictures in the cache than one decoding flat out.
DecodeResult DecodeOnly(const std::string& path, int pacedPictures = 0) {
    DecodeResult result;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return result;
    avformat_find_stream_info(format, nullptr);
    std::map<int, AVCodecContext*> decoders;
    for (AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
        const int index = av_find_best_stream(format, type, -1, -1, nullptr, 0);
        if (index < 0)
            continue;
        AVCodecContext* context = avcodec_alloc_context3(nullptr);
        avcodec_parameters_to_context(context, format->streams[index]->codecpar);
        context->pkt_timebase = format->streams[index]->time_base;
        context->thread_count = DecoderThreadCount(av_cpu_count());
        avcodec_open2(context, avcodec_find_decoder(context->codec_id), nullptr);
        decoders[index] = context;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const auto start = Clock::now();
    auto drain = [&](AVCodecContext* context) {
        while (avcodec_receive_frame(context, frame) == 0) {
            (context->codec_type == AVMEDIA_TYPE_VIDEO ? result.pictures : result.sounds) += 1;
            av_frame_unref(frame);
            if (pacedPictures > 0 && context->codec_type == AVMEDIA_TYPE_VIDEO)
                std::this_thread::sleep_until(
                    start + std::chrono::microseconds(1'000'000LL * result.pictures / kFps));
        }
    };
    while ((pacedPictures == 0 || result.pictures < pacedPictures) && av_read_frame(format, packet) >= 0) {
        const auto found = decoders.find(packet->stream_index);
        if (found != decoders.end()) {
            avcodec_send_packet(found->second, packet);
            drain(found->second);
        }
        av_packet_unref(packet);
    }
    for (auto& entry : decoders) {
        avcodec_send_packet(entry.second, nullptr);
        drain(entry.second);
        avcodec_free_context(&entry.second);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return result;
}

struct OnTime {
    int expected = 0;
    int shown = 0;
    int onTime = 0;
    double worstLateness = 0;
};

// A picture is on time when it follows the picture before it after its own interval, within one
// picture interval: a stall then counts against the picture it held up, not against every picture
// after it (the frame timer keeps its rhythm from there). The first picture is on time; a picture
// never shown is not.
OnTime OnTimeShare(const std::vector<BenchWindow::Presentation>& presentations) {
    OnTime share;
    std::map<long, double> firstShown; // picture number -> time
    for (const auto& p : presentations)
        if (!std::isnan(p.pts))
            firstShown.emplace(std::lround(p.pts * kFps), p.time);
    if (firstShown.empty())
        return share;
    share.expected = static_cast<int>(firstShown.rbegin()->first - firstShown.begin()->first + 1);
    share.shown = static_cast<int>(firstShown.size());
    share.onTime = 1;
    for (auto previous = firstShown.begin(), next = std::next(previous); next != firstShown.end();
         previous = next++) {
        const double late =
            (next->second - previous->second) - (next->first - previous->first) * kFrameInterval;
        share.worstLateness = std::max(share.worstLateness, late);
        share.onTime += std::fabs(late) <= kFrameInterval ? 1 : 0;
    }
    return share;
}

double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

// Starts the peak over, so that making the recordings does not count (Linux 4.0 and later).
bool ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear);
}

double Median(std::vector<double> values) {
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Row(const char* figure, const std::string& value, const char* goal) {
    std::printf("  %-44s %-26s %s\n", figure, value.c_str(), goal);
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

struct Settings {
    int seconds = 20;
    int keyframeInterval = 30;
    int audioRate = 22050;
    int bitRate = 8000000;
};

struct Codec {
    const char* name;
    fixtures::VideoCodec codec;
};

struct Layout {
    const char* name;
    // The front channel's window; the others have the four-window size, or none when hidden.
    int frontWidth;
    int frontHeight;
    bool othersHidden;
};

// The four recordings of a codec, made once.
std::vector<std::string> MakeRecordings(const std::filesystem::path& folder, const Codec& codec,
                                        const Settings& settings) {
    const auto start = Clock::now();
    std::vector<std::string> names;
    std::vector<std::thread> makers;
    const int frames = (settings.seconds + kExtraSeconds) * kFps;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        names.push_back(std::string("bench-") + codec.name + "-" + std::to_string(channel) + "-" +
                        std::to_string(frames) + "-" + std::to_string(settings.keyframeInterval) + "-" +
                        std::to_string(settings.bitRate) + "-" + std::to_string(settings.audioRate) + ".mp4");
        if (std::filesystem::exists(folder / names.back()))
            continue;
        makers.emplace_back([&, channel, frames, name = names.back()] {
            fixtures::MovieOptions options;
            options.video.codec = codec.codec;
            options.video.width = kWidth;
            options.video.height = kHeight;
            options.video.fps = kFps;
            options.video.frameCount = frames;
            options.video.keyframeInterval = settings.keyframeInterval;
            options.video.bitRate = settings.bitRate;
            options.channel = channel;
            options.audio = channel == 0;
            options.audioSampleRate = settings.audioRate;
            options.recorderBoxes = false;
            fixtures::MakeMovieRecording(folder / name, options);
        });
    }
    for (std::thread& maker : makers)
        maker.join();
    double megabits = 0;
    for (const std::string& name : names)
        megabits += std::filesystem::file_size(folder / name) * 8.0 / 1e6;
    std::printf("%s recordings ready in %.1f s; %.2f Mbit/s a channel on average (a recorder: about 8)\n",
                codec.name, Since(start), megabits / kChannelCount / (settings.seconds + kExtraSeconds));
    return names;
}

// Only decoding, all four at once, scaled to the pictures played for a like-for-like comparison.
double DecodeCpu(const std::filesystem::path& folder, const std::vector<std::string>& names,
                 const Settings& settings) {
    const double cpu = CpuSeconds();
    std::vector<std::thread> decoders;
    for (const std::string& name : names)
        decoders.emplace_back([&folder, name] { DecodeOnly((folder / name).string()); });
    for (std::thread& decoder : decoders)
        decoder.join();
    return (CpuSeconds() - cpu) * settings.seconds / (settings.seconds + kExtraSeconds);
}

// The same pictures decoded at the pace they are played, all four at once.
double PacedDecodeCpu(const std::filesystem::path& folder, const std::vector<std::string>& names,
                      const Settings& settings) {
    const double cpu = CpuSeconds();
    std::vector<std::thread> decoders;
    for (const std::string& name : names)
        decoders.emplace_back(
            [&folder, &settings, name] { DecodeOnly((folder / name).string(), settings.seconds * kFps); });
    for (std::thread& decoder : decoders)
        decoder.join();
    return CpuSeconds() - cpu;
}

struct Played {
    bool opened = false;
    double cpu = 0;
    OnTime onTime;
    double slowestFirstPicture = 0;
    double meanDrift = 0;
    double worstDrift = 0;
    double signedDrift = 0;
    std::vector<double> seekTimes;
    std::vector<double> frontSeekTimes;
    int missedSeeks = 0;
    double pausedCpuShare = NAN;
};

Played Play(const std::filesystem::path& folder, const std::vector<std::string>& names, const Layout& layout,
            std::shared_ptr<BenchWindow> (&windows)[kChannelCount], const Settings& settings, bool extras) {
    Played result;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (channel == kCameraFront)
            windows[channel]->Resize(layout.frontWidth, layout.frontHeight);
        else if (layout.othersHidden)
            windows[channel]->Resize(0, 0);
        else
            windows[channel]->Resize(kWindowWidth, kWindowHeight);
        // Nothing of the run before counts.
        windows[channel]->Take();
    }
    const std::wstring folderName = folder.wstring() + L"/";
    const double playCpuStart = CpuSeconds();
    const double openedAt = EngineNow();
    VideoState* states[kChannelCount];
    for (int channel = 0; channel < kChannelCount; ++channel) {
        states[channel] = PlayerOpen(names[channel].c_str(), folderName.c_str(), kWidth, kHeight,
                                     channel == 0 ? 0 : 1, channel);
        if (!states[channel]) {
            std::fprintf(stderr, "cannot open %s\n", names[channel].c_str());
            for (int opened = 0; opened < channel; ++opened) {
                windows[opened]->Attach(nullptr);
                PlayerClose(states[opened]);
            }
            return result;
        }
        windows[channel]->Attach(states[channel]);
    }
    result.opened = true;
    const auto playStart = Clock::now();
    std::vector<double> drifts;
    std::vector<double> driftTimes;
    while (Since(playStart) < settings.seconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        VideoState* front = states[0];
        if (Since(playStart) > 1.0 && front->audioStream >= 0 && front->pictureShown) {
            drifts.push_back(get_audio_clock(front) - get_video_clock(front));
            driftTimes.push_back(Since(playStart));
        }
    }
    result.cpu = CpuSeconds() - playCpuStart;
    std::vector<BenchWindow::Presentation> played[kChannelCount];
    for (int channel = 0; channel < kChannelCount; ++channel)
        played[channel] = windows[channel]->Take();

    if (extras) {
        // Seeks during playback, all four channels together as the view seeks them.
        const double targets[] = {10, 4, 16, 2, 12, 6, 18, 8, 14};
        for (double target : targets) {
            if (target > settings.seconds + kExtraSeconds - 2)
                continue;
            const double asked = EngineNow();
            for (VideoState* state : states)
                PlayerSeekTime(state, static_cast<int64_t>(target * 1e6));
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            for (int channel = 0; channel < kChannelCount; ++channel) {
                const auto shown = windows[channel]->FirstShown(asked, target - 0.1, target + 0.3);
                if (!shown) {
                    ++result.missedSeeks;
                    continue;
                }
                result.seekTimes.push_back((*shown - asked) * 1000);
                if (channel == 0)
                    result.frontSeekTimes.push_back((*shown - asked) * 1000);
            }
            for (auto& window : windows)
                window->Take();
        }
        // What the engine's polling costs by itself: all four paused.
        for (VideoState* state : states)
            PlayerPause(state);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double pausedCpuStart = CpuSeconds();
        const auto pausedStart = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        result.pausedCpuShare = (CpuSeconds() - pausedCpuStart) / Since(pausedStart);
    }
    for (int channel = 0; channel < kChannelCount; ++channel) {
        windows[channel]->Attach(nullptr);
        PlayerClose(states[channel]);
    }

    // The front camera's sound starts with its picture; a rear camera that shows its first picture
    // much later holds the front back once the two are kept in step.
    std::printf("  first picture after opening:");
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (played[channel].empty()) {
            std::printf(" channel %d hidden%s", channel, channel + 1 < kChannelCount ? "," : "\n");
            continue;
        }
        const double first = (played[channel].front().time - openedAt) * 1000;
        result.slowestFirstPicture = std::max(result.slowestFirstPicture, first);
        std::printf(" channel %d %.0f ms%s", channel, first, channel + 1 < kChannelCount ? "," : "\n");
    }
    std::printf("  pictures of the shown channels (expected / shown / on time, worst delay after the picture "
                "before):");
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (played[channel].empty())
            continue;
        const OnTime share = OnTimeShare(played[channel]);
        std::printf(" %d: %d / %d / %d, %.0f ms;", channel, share.expected, share.shown, share.onTime,
                    share.worstLateness * 1000);
        result.onTime.expected += share.expected;
        result.onTime.onTime += share.onTime;
    }
    // The drift's course shows whether it comes from the start (a constant offset) or from a sound
    // device that plays faster or slower than the clock (a slope up to the correction's threshold).
    std::printf("\n  sound/picture drift, mean of each 2 s:");
    for (double from = 0; from < settings.seconds; from += 2) {
        double sum = 0;
        int count = 0;
        for (size_t i = 0; i < drifts.size(); ++i)
            if (driftTimes[i] >= from && driftTimes[i] < from + 2) {
                sum += drifts[i];
                ++count;
            }
        if (count)
            std::printf(" %+.0f", sum / count * 1000);
    }
    std::printf(" ms\n");
    for (double drift : drifts) {
        result.worstDrift = std::max(result.worstDrift, std::fabs(drift));
        result.meanDrift += std::fabs(drift) / drifts.size();
        result.signedDrift += drift / drifts.size();
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    // A recorder writes full-HD video at about 8 Mbit/s; the encoders' own quality gives far less.
    double megabitsPerSecond = 8;
    std::string kept;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seconds")
            settings.seconds = std::max(2, std::atoi(argv[i + 1]));
        else if (option == "--keyframe-interval")
            settings.keyframeInterval = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--folder")
            kept = argv[i + 1];
        else if (option == "--bit-rate")
            megabitsPerSecond = std::max(0.1, std::atof(argv[i + 1]));
        else if (option == "--audio-rate")
            settings.audioRate = std::max(8000, std::atoi(argv[i + 1]));
    }
    settings.bitRate = static_cast<int>(megabitsPerSecond * 1e6);
    static char dummyAudio[] = "SDL_AUDIODRIVER=dummy";
    if (!SDL_getenv("SDL_AUDIODRIVER"))
        SDL_putenv(dummyAudio);
    fixtures::QuietCodecLogs();

    std::printf("engine benchmark: 4 channels %dx%d %d fps at %.1f Mbit/s, key frame every %d pictures, "
                "front sound AAC %d Hz, %d s played, %d CPUs usable\n",
                kWidth, kHeight, kFps, megabitsPerSecond, settings.keyframeInterval, settings.audioRate,
                settings.seconds, av_cpu_count());
    // CPU times grow with what else the machine runs: the load says how far to trust them.
    std::ifstream loadAverage("/proc/loadavg");
    std::string load;
    if (std::getline(loadAverage, load))
        std::printf("machine load at the start (1, 5, 15 min, runnable/threads): %s\n", load.c_str());

    const Codec codecs[] = {{"H.264", fixtures::VideoCodec::H264}, {"HEVC", fixtures::VideoCodec::Hevc}};
    const Layout layouts[] = {
        {"four windows", kWindowWidth, kWindowHeight, false},
        {"front enlarged", kWidth, kHeight, true},
    };
    RecordingFolder folder(kept);
    std::vector<std::string> names[2];
    for (int codec = 0; codec < 2; ++codec)
        names[codec] = MakeRecordings(folder.Path(), codecs[codec], settings);

    const bool peakReset = ResetPeakMemory();
    g_layoutWidth = kWidth;
    g_layoutHeight = kHeight;
    g_screenWidth = kWidth;
    g_screenHeight = kHeight;
    std::shared_ptr<BenchWindow> windows[kChannelCount];
    for (int channel = 0; channel < kChannelCount; ++channel) {
        windows[channel] = std::make_shared<BenchWindow>();
        RegisterPresentationTarget(WindowHandle(channel), windows[channel]);
    }
    if (!PlayerInit(WindowHandle(0), WindowHandle(1), WindowHandle(2), WindowHandle(3))) {
        std::fprintf(stderr, "the engine did not start\n");
        return 1;
    }
    struct Result {
        const Codec* codec;
        const Layout* layout;
        double decodeCpu;
        double pacedDecodeCpu;
        Played played;
        // Played into windows that take the pictures in their parts (the OpenGL path).
        bool parts = false;
    };
    std::vector<Result> results;
    for (const Codec& codec : codecs) {
        const int index = static_cast<int>(&codec - codecs);
        const double decodeCpu = DecodeCpu(folder.Path(), names[index], settings);
        const double pacedDecodeCpu = PacedDecodeCpu(folder.Path(), names[index], settings);
        for (const Layout& layout : layouts) {
            std::printf("\n%s, %s:\n", codec.name, layout.name);
            results.push_back(
                {&codec, &layout, decodeCpu, pacedDecodeCpu,
                 Play(folder.Path(), names[index], layout, windows, settings, results.empty())});
            if (!results.back().played.opened)
                return 1;
            if (layout.othersHidden)
                continue;
            std::printf("\n%s, %s, OpenGL path:\n", codec.name, layout.name);
            for (auto& window : windows)
                window->TakeParts(true);
            results.push_back({&codec, &layout, decodeCpu, pacedDecodeCpu,
                               Play(folder.Path(), names[index], layout, windows, settings, false), true});
            for (auto& window : windows)
                window->TakeParts(false);
            if (!results.back().played.opened)
                return 1;
        }
    }
    const double peak = PeakMegabytes();
    PlayerUninit();
    for (int channel = 0; channel < kChannelCount; ++channel)
        UnregisterPresentationTarget(WindowHandle(channel));

    std::printf("\n  %-44s %-26s %s\n", "figure", "measured", "goal");
    for (const Result& result : results) {
        const Played& played = result.played;
        const bool four = !result.layout->othersHidden;
        if (result.parts) {
            std::printf("  %s, %s, OpenGL path (the device's part; the drawing is the graphics card's)\n",
                        result.codec->name, result.layout->name);
            Row("CPU time of playing, OpenGL path", Format("%.2f s", played.cpu), "");
            Row("OpenGL path / decoding", Format("%.2fx", played.cpu / result.decodeCpu), "at most 1.15x");
            Row("OpenGL path / decoding paced as played", Format("%.2fx", played.cpu / result.pacedDecodeCpu),
                "");
            Row("pictures shown on time",
                Format("%.1f %%", played.onTime.expected ? 100.0 * played.onTime.onTime / played.onTime.expected : 0),
                "at least 99 %");
            continue;
        }
        std::printf("  %s, %s (%dx%d%s)\n", result.codec->name, result.layout->name, result.layout->frontWidth,
                    result.layout->frontHeight, four ? " each" : ", three hidden");
        Row("CPU time of only decoding the same pictures", Format("%.2f s", result.decodeCpu), "");
        Row("CPU time of playing, software path", Format("%.2f s", played.cpu), "");
        Row("software path / decoding", Format("%.2fx", played.cpu / result.decodeCpu),
            four ? "at most 1.3x" : "");
        Row("CPU time of decoding them paced as played", Format("%.2f s", result.pacedDecodeCpu), "");
        Row("software path / decoding paced as played", Format("%.2fx", played.cpu / result.pacedDecodeCpu),
            "");
        Row("pictures shown on time",
            Format("%.1f %%", played.onTime.expected ? 100.0 * played.onTime.onTime / played.onTime.expected : 0),
            "at least 99 %");
        Row("sound/picture drift, mean |drift|", Format("%.1f ms", played.meanDrift * 1000), "under 20 ms");
        Row("sound/picture drift, worst |drift|", Format("%.1f ms", played.worstDrift * 1000), "under 40 ms");
        Row("sound/picture drift, mean (sound ahead > 0)", Format("%+.1f ms", played.signedDrift * 1000), "");
        Row("first picture after opening, slowest channel", Format("%.0f ms", played.slowestFirstPicture),
            "under 150 ms");
        if (std::isnan(played.pausedCpuShare))
            continue;
        Row("seek to picture on screen, median (all)", Format("%.0f ms", Median(played.seekTimes)),
            "under 150 ms");
        Row("seek to picture on screen, median (front)", Format("%.0f ms", Median(played.frontSeekTimes)),
            "under 150 ms");
        Row("seeks that showed no picture within 700 ms", Format("%.0f", played.missedSeeks), "0");
        Row("CPU use with all four channels paused", Format("%.1f %% of a core", played.pausedCpuShare * 100),
            "");
    }
    Row(peakReset ? "peak memory while playing" : "peak memory of the whole run", Format("%.0f MB", peak),
        "under 600 MB");
    return 0;
}

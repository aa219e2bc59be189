// How fast the defog filter runs on a 1920 x 1080 frame with two threads, next to the
// straightforward OpenCV version of the same steps (three GaussianBlur calls a channel) in the
// same run, and how far apart their 8-bit results lie. The goal: under 100 ms a frame, every byte
// within 2 of the straightforward version's. Prints figures only: best and median of several
// rounds for each power.
#include "viewer/tools/defogretinex.h"

#include "tools/fixtures/framepainter.h"

#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kThreads = 2;
constexpr int kRounds = 5;

// The steps one after the other, each a whole-picture OpenCV call.
cv::Mat Straightforward(cv::Mat input, double power) {
    const int width = input.cols;
    int radius[3];
    const double scales[3] = {0.01, 0.1, 0.3};
    for (int i = 0; i < 3; ++i)
        radius[i] = static_cast<int>(std::ceil((width * scales[i] - 1.0) / 4.0));
    std::vector<cv::Mat> channels;
    cv::split(input, channels);
    cv::Mat normalised[3], light[3], out[3];
    for (int c = 0; c < 3; ++c) {
        channels[c].convertTo(normalised[c], CV_32F, 1.0, 0.0);
        normalised[c] = normalised[c] + 1.0;
        normalised[c] = normalised[c] / 256.0;
    }
    for (int c = 0; c < 3; ++c) {
        cv::Mat blurred[3];
        for (int i = 0; i < 3; ++i)
            cv::GaussianBlur(normalised[c], blurred[i], cv::Size(2 * radius[i] + 1, 2 * radius[i] + 1),
                             radius[i], radius[i], cv::BORDER_REFLECT_101);
        light[c] = ((blurred[0] + blurred[1]) + blurred[2]) / 3.0;
    }
    const double gamma = std::log(0.5) / std::log(cv::mean(light[1])[0]);
    for (int c = 0; c < 3; ++c) {
        cv::Mat reflectance;
        cv::divide(normalised[c], light[c], reflectance, 1.0);
        cv::pow(reflectance, power, reflectance);
        cv::pow(light[c], gamma, light[c]);
        cv::multiply(reflectance, light[c], out[c], 1.0);
    }
    cv::Mat merged;
    cv::merge(out, 3, merged);
    return merged;
}

// A recorder's frame: colour bands, a square and large digits, with sensor noise on top.
cv::Mat Frame() {
    const fixtures::FramePainter painter(kWidth, kHeight);
    std::vector<uint8_t> rgb;
    painter.Paint(120, 0, rgb);
    cv::Mat bgr;
    cv::cvtColor(cv::Mat(kHeight, kWidth, CV_8UC3, rgb.data()), bgr, cv::COLOR_RGB2BGR);
    cv::Mat noise(kHeight, kWidth, CV_16SC3);
    cv::randn(noise, 0, 12);
    bgr.convertTo(bgr, CV_16SC3);
    cv::Mat frame;
    cv::add(bgr, noise, frame, cv::noArray(), CV_8UC3);
    cv::cvtColor(frame, frame, cv::COLOR_BGR2BGRA);
    return frame;
}

struct Timing {
    double best;
    double median;
};

Timing Time(const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

cv::Mat Bytes(const cv::Mat& result) {
    cv::Mat bytes;
    result.convertTo(bytes, CV_8UC3, 255.0);
    return bytes;
}

} // namespace

int main() {
    cv::setNumThreads(kThreads);
    const cv::Mat frame = Frame();
    std::printf(
        "defog of a %dx%d frame, %d OpenCV threads (%u processors here), best / median of %d rounds\n",
        kWidth, kHeight, cv::getNumThreads(), std::thread::hardware_concurrency(), kRounds);
    std::printf("goal: under 100 ms a frame, every byte within 2 of the straightforward version\n\n");
    std::printf("%6s %22s %22s %10s %14s\n", "power", "DefogFilter ms", "straightforward ms", "speed-up",
                "largest diff");
    // One untimed run of each first: the first call pays for loading and for fresh memory.
    DefogRetinex().DefogFilter(frame, 5);
    Straightforward(frame, 5);
    int worst = 0;
    for (double power : {1.0, 5.0, 10.0, 15.0}) {
        cv::Mat ours, reference;
        const Timing fast = Time([&] { ours = DefogRetinex().DefogFilter(frame, power); });
        const Timing slow = Time([&] { reference = Straightforward(frame, power); });
        const int difference = static_cast<int>(cv::norm(Bytes(ours), Bytes(reference), cv::NORM_INF));
        worst = std::max(worst, difference);
        std::printf("%6.0f %10.1f / %-9.1f %10.1f / %-9.1f %9.1fx %14d\n", power, fast.best, fast.median,
                    slow.best, slow.median, slow.median / fast.median, difference);
    }
    std::printf("\nlargest difference of any byte: %d\n", worst);
    return 0;
}

#include "viewer/tools/defogretinex.h"

#include "viewer/tools/multiscaleblur.h"

#include <opencv2/core/utility.hpp>

#include <cmath>
#include <vector>

namespace {

constexpr std::array<double, 3> kScales = {0.01, 0.1, 0.3};
constexpr double kOffset = 1.0;
constexpr double kDivisor = 4.0;
constexpr double kNormaliser = 256.0;
constexpr double kTarget = 0.5;
// A mean illumination this close to 1 is a white picture: its gamma would be infinite, or so
// large that float rounding in the blurs decides the result.
constexpr double kWhiteLogMean = 1e-6;

} // namespace

std::array<int, 3> DefogRetinex::BlurRadii(int width) {
    std::array<int, 3> radii{};
    for (int i = 0; i < 3; ++i)
        radii[i] = static_cast<int>(std::ceil((width * kScales[i] - kOffset) / kDivisor));
    return radii;
}

cv::Mat DefogRetinex::DefogFilter(cv::Mat input, double power) {
    if (input.empty() || input.depth() != CV_8U || input.channels() < 3)
        return cv::Mat();
    const int width = input.cols;
    const int height = input.rows;
    const int channels = input.channels();
    MultiScaleBlur blur(width, height, BlurRadii(width));
    cv::Mat normalised = blur.NewPlane();
    cv::Mat output(height, width, CV_32FC3);

    auto normalise = [&](int c) {
        cv::parallel_for_(cv::Range(0, height), [&](const cv::Range& range) {
            for (int y = range.start; y < range.end; ++y) {
                const uchar* pixel = input.ptr<uchar>(y) + c;
                float* row = normalised.ptr<float>(y);
                for (int x = 0; x < width; ++x, pixel += channels)
                    row[x] = static_cast<float>((*pixel + kOffset) / kNormaliser);
            }
        });
    };
    // Channel c of output row y from its illumination: (I / L)^p * L^gamma.
    double gamma = 1.0;
    auto light = [&](int c, int y, const float* illumination, cv::Mat& reflectance, cv::Mat& lit) {
        const cv::Mat in(1, width, CV_32F, normalised.ptr<float>(y));
        const cv::Mat l(1, width, CV_32F, const_cast<float*>(illumination));
        cv::divide(in, l, reflectance, 1.0);
        cv::pow(reflectance, power, reflectance);
        cv::pow(l, gamma, lit);
        cv::multiply(reflectance, lit, lit, 1.0);
        const float* value = lit.ptr<float>();
        float* out = output.ptr<float>(y) + c;
        for (int x = 0; x < width; ++x, out += 3)
            *out = value[x];
    };

    // Green first: its mean illumination sets gamma for all three channels. The illumination
    // waits in the output's green places until gamma is known.
    normalise(1);
    blur.Apply(normalised, [&](int first, int count, const float* const* rows) {
        for (int i = 0; i < count; ++i) {
            float* out = output.ptr<float>(first + i) + 1;
            for (int x = 0; x < width; ++x, out += 3)
                *out = rows[i][x];
        }
    });
    // Row sums on the threads, added in order: the result must not depend on the threads.
    std::vector<double> rowSums(height);
    cv::parallel_for_(cv::Range(0, height), [&](const cv::Range& range) {
        for (int y = range.start; y < range.end; ++y) {
            const float* row = output.ptr<float>(y) + 1;
            double sum = 0;
            for (int x = 0; x < width; ++x)
                sum += row[3 * x];
            rowSums[y] = sum;
        }
    });
    double sum = 0;
    for (double rowSum : rowSums)
        sum += rowSum;
    const double logMean = std::log(sum / (static_cast<double>(width) * height));
    gamma = std::fabs(logMean) < kWhiteLogMean ? 1.0 : std::log(kTarget) / logMean;
    cv::parallel_for_(cv::Range(0, height), [&](const cv::Range& range) {
        std::vector<float> illumination(width);
        cv::Mat reflectance, lit;
        for (int y = range.start; y < range.end; ++y) {
            const float* row = output.ptr<float>(y) + 1;
            for (int x = 0; x < width; ++x)
                illumination[x] = row[3 * x];
            light(1, y, illumination.data(), reflectance, lit);
        }
    });
    for (int c : {0, 2}) {
        normalise(c);
        blur.Apply(normalised, [&](int first, int count, const float* const* rows) {
            cv::Mat reflectance, lit;
            for (int i = 0; i < count; ++i)
                light(c, first + i, rows[i], reflectance, lit);
        });
    }
    return output;
}

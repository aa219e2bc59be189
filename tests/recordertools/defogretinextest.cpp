// The defog filter against a plain double-precision computation of the same formula, written
// here from the definition: reflected borders, truncated Gaussians, the green mean and its gamma.
#include "viewer/tools/defogretinex.h"

#include <gtest/gtest.h>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <vector>

namespace {

int Reflect(int p, int n) {
    if (n == 1)
        return 0;
    while (p < 0 || p >= n)
        p = p < 0 ? -p : 2 * (n - 1) - p;
    return p;
}

using Plane = std::vector<std::vector<double>>;

Plane Blur(const Plane& in, int k) {
    const int h = static_cast<int>(in.size());
    const int w = static_cast<int>(in[0].size());
    std::vector<double> kernel(2 * k + 1);
    double sum = 0;
    for (int i = -k; i <= k; ++i)
        sum += kernel[i + k] = k == 0 ? 1.0 : std::exp(-0.5 * i * i / (static_cast<double>(k) * k));
    Plane rows(h, std::vector<double>(w)), out(h, std::vector<double>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int i = -k; i <= k; ++i)
                rows[y][x] += kernel[i + k] / sum * in[y][Reflect(x + i, w)];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int i = -k; i <= k; ++i)
                out[y][x] += kernel[i + k] / sum * rows[Reflect(y + i, h)][x];
    return out;
}

// out = (I / L)^p * L^gamma per channel; `gamma` < 0 asks for ln 0.5 / ln(mean green L).
cv::Mat Reference(const cv::Mat& picture, double p, double gamma = -1) {
    const int w = picture.cols;
    const int h = picture.rows;
    const int k[3] = {static_cast<int>(std::ceil((w * 0.01 - 1) / 4)),
                      static_cast<int>(std::ceil((w * 0.1 - 1) / 4)),
                      static_cast<int>(std::ceil((w * 0.3 - 1) / 4))};
    Plane normalised[3], light[3];
    for (int c = 0; c < 3; ++c) {
        normalised[c].assign(h, std::vector<double>(w));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                normalised[c][y][x] = (picture.ptr<uchar>(y)[x * picture.channels() + c] + 1) / 256.0;
        const Plane b1 = Blur(normalised[c], k[0]), b2 = Blur(normalised[c], k[1]),
                    b3 = Blur(normalised[c], k[2]);
        light[c].assign(h, std::vector<double>(w));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                light[c][y][x] = (b1[y][x] + b2[y][x] + b3[y][x]) / 3;
    }
    if (gamma < 0) {
        double mean = 0;
        for (const auto& row : light[1])
            for (double v : row)
                mean += v;
        gamma = std::log(0.5) / std::log(mean / (w * h));
    }
    cv::Mat out(h, w, CV_64FC3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                out.ptr<double>(y)[3 * x + c] =
                    std::pow(normalised[c][y][x] / light[c][y][x], p) * std::pow(light[c][y][x], gamma);
    return out;
}

// A picture of smooth shapes and noise, as a frame of a road would have: every blur matters.
cv::Mat Picture(int width, int height, int channels, unsigned seed) {
    cv::Mat picture(height, width, CV_8UC(channels));
    cv::RNG random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const double wave = 0.5 + 0.35 * std::sin(0.13 * x + 0.7 * c) * std::cos(0.09 * y - 0.3 * c);
                const int value = static_cast<int>(255 * wave) + random.uniform(-30, 31);
                picture.ptr<uchar>(y)[x * channels + c] = cv::saturate_cast<uchar>(value);
            }
    return picture;
}

void ExpectClose(const cv::Mat& actual, const cv::Mat& expected, double relative) {
    ASSERT_EQ(actual.type(), CV_32FC3);
    ASSERT_EQ(actual.size(), expected.size());
    for (int y = 0; y < actual.rows; ++y)
        for (int x = 0; x < actual.cols * 3; ++x) {
            const double want = expected.ptr<double>(y)[x];
            const float got = actual.ptr<float>(y)[x];
            ASSERT_TRUE(std::isfinite(got)) << "at " << x / 3 << "," << y;
            ASSERT_NEAR(got, want, relative * std::fabs(want) + 1e-6)
                << "at " << x / 3 << "," << y << " channel " << x % 3;
        }
}

TEST(DefogRetinex, BlurRadiiFollowTheWidthOnly) {
    struct Case {
        int width;
        std::array<int, 3> radii;
    };
    const Case cases[] = {
        {1, {0, 0, 0}},      {100, {0, 3, 8}},     {101, {1, 3, 8}},      {640, {2, 16, 48}},
        {1280, {3, 32, 96}}, {1920, {5, 48, 144}}, {3840, {10, 96, 288}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefogRetinex::BlurRadii(c.width), c.radii) << c.width;
}

TEST(DefogRetinex, AUniformPictureBecomesMidGreyWhateverThePower) {
    for (int value : {0, 100, 254})
        for (double power : {1.0, 5.0, 15.0}) {
            const cv::Mat picture(40, 130, CV_8UC4, cv::Scalar(value, value, value, 255));
            const cv::Mat out = DefogRetinex().DefogFilter(picture, power);
            ASSERT_EQ(out.type(), CV_32FC3);
            double low, high;
            cv::minMaxLoc(out.reshape(1), &low, &high);
            EXPECT_NEAR(low, 0.5, 1e-5) << value << " " << power;
            EXPECT_NEAR(high, 0.5, 1e-5) << value << " " << power;
        }
}

TEST(DefogRetinex, PicturesOfManyShapesMatchTheFormula) {
    struct Case {
        int width;
        int height;
        double power;
    };
    const Case cases[] = {
        {1, 1, 5},     {3, 2, 5},     {37, 23, 1},  {130, 70, 3}, // 130 wide: k = 1, 3, 10
        {400, 5, 2}, // the largest kernel folds over the five rows many times
        {20, 300, 15}, {211, 97, 15}, {500, 40, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " p " +
                     std::to_string(c.power));
        const cv::Mat picture = Picture(c.width, c.height, 4, c.width * 31 + c.height);
        const cv::Mat out = DefogRetinex().DefogFilter(picture, c.power);
        ExpectClose(out, Reference(picture, c.power), 2e-5 * c.power);
    }
}

TEST(DefogRetinex, OnlyTheFirstThreeChannelsCountAndTheInputIsKept) {
    cv::Mat four = Picture(90, 31, 4, 7);
    const cv::Mat kept = four.clone();
    const cv::Mat before = DefogRetinex().DefogFilter(four, 4);
    EXPECT_EQ(cv::norm(four, kept, cv::NORM_INF), 0);
    cv::Mat three;
    cv::cvtColor(four, three, cv::COLOR_BGRA2BGR);
    four.forEach<cv::Vec4b>(
        [](cv::Vec4b& pixel, const int*) { pixel[3] = static_cast<uchar>(pixel[0] ^ 0x5A); });
    EXPECT_EQ(cv::norm(DefogRetinex().DefogFilter(four, 4), before, cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(DefogRetinex().DefogFilter(three, 4), before, cv::NORM_INF), 0);
}

TEST(DefogRetinex, TheResultDoesNotDependOnTheNumberOfThreads) {
    const cv::Mat picture = Picture(333, 150, 4, 3);
    const int threads = cv::getNumThreads();
    cv::setNumThreads(1);
    const cv::Mat single = DefogRetinex().DefogFilter(picture, 6);
    cv::setNumThreads(4);
    const cv::Mat several = DefogRetinex().DefogFilter(picture, 6);
    cv::setNumThreads(threads);
    EXPECT_EQ(cv::norm(single, several, cv::NORM_INF), 0);
}

TEST(DefogRetinex, AWhitePictureIsLitWithGammaOneAndStaysFinite) {
    // Green 255 everywhere: ln of the mean illumination is 0, which would make gamma infinite.
    cv::Mat greenWhite = Picture(150, 60, 4, 11);
    greenWhite.forEach<cv::Vec4b>([](cv::Vec4b& pixel, const int*) { pixel[1] = 255; });
    for (double power : {1.0, 15.0}) {
        const cv::Mat out = DefogRetinex().DefogFilter(greenWhite, power);
        ExpectClose(out, Reference(greenWhite, power, 1.0), 2e-5 * power);
        cv::Mat bytes;
        out.convertTo(bytes, CV_8UC3, 255.0);
        cv::Mat green;
        cv::extractChannel(bytes, green, 1);
        EXPECT_EQ(cv::countNonZero(green != 255), 0);
    }
    const cv::Mat white(50, 120, CV_8UC4, cv::Scalar::all(255));
    cv::Mat bytes;
    DefogRetinex().DefogFilter(white, 9).convertTo(bytes, CV_8UC3, 255.0);
    EXPECT_EQ(cv::countNonZero(bytes.reshape(1) != 255), 0);
}

TEST(DefogRetinex, PicturesItCannotFilterGiveAnEmptyResult) {
    EXPECT_TRUE(DefogRetinex().DefogFilter(cv::Mat(), 3).empty());
    EXPECT_TRUE(DefogRetinex().DefogFilter(cv::Mat(10, 10, CV_8UC1, cv::Scalar(9)), 3).empty());
    EXPECT_TRUE(DefogRetinex().DefogFilter(cv::Mat(10, 10, CV_8UC2, cv::Scalar(9, 9)), 3).empty());
    EXPECT_TRUE(DefogRetinex().DefogFilter(cv::Mat(10, 10, CV_16UC3, cv::Scalar::all(9)), 3).empty());
}

} // namespace

#pragma once
// The defog filter: splits each colour channel of a still picture into a smooth illumination
// (the mean of three Gaussian blurs) and the detail on it, strengthens the detail with the
// user's power and lights the picture again so that its mean illumination becomes mid-grey:
// out = (I / L)^p * L^gamma, with I = (value + 1) / 256 and gamma = ln 0.5 / ln mean(L of green).

#include <opencv2/core.hpp>

#include <array>

class DefogRetinex {
  public:
    // k of the three blurs (kernel 2k + 1, sigma k) for a picture this wide: 1%, 10% and 30% of
    // the width, less one, divided by 4 and rounded up.
    static std::array<int, 3> BlurRadii(int width);

    // input: 8-bit pixels of at least three channels (blue, green, red; a fourth is ignored).
    // Returns CV_32FC3 of the input's size, nominally 0..1 and not clamped; an empty matrix for
    // an empty picture, for fewer than three channels or for another element type. A picture
    // whose mean green illumination is 1 (white) is lit with gamma 1, so every value is finite.
    cv::Mat DefogFilter(cv::Mat input, double power);
};

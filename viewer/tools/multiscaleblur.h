#pragma once
// The illumination estimate of the defog filter: the mean of three Gaussian blurs of one float
// plane, each the blur OpenCV's GaussianBlur gives for a kernel of 2k+1 taps with sigma k and
// reflected borders (BORDER_REFLECT_101), ((blur1 + blur2) + blur3) / 3.
//
// The largest kernel spans 0.6 of the picture's width, and the window waits for the result, so
// the blurs are computed here rather than by three GaussianBlur calls: one vertical pass serves
// all three kernels, the horizontal passes run on transposed strips of eight rows, bands of rows
// go through both passes while they are in the cache, and the bands are spread over OpenCV's
// threads. The result equals OpenCV's within float rounding.

#include <opencv2/core.hpp>

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class MultiScaleBlur {
  public:
    // radii: k of each kernel, in increasing order (0 leaves the plane as it is).
    MultiScaleBlur(int width, int height, const std::array<int, 3>& radii);

    // A plane this blur reads: CV_32F, with the padding columns the passes need; the picture is
    // its left width columns.
    cv::Mat NewPlane() const;

    // Receives the result band by band, on OpenCV's worker threads: rows[i] is row first + i,
    // `width` values each.
    using BandSink = std::function<void(int first, int count, const float* const* rows)>;

    // The mean of the three blurs of input (made by NewPlane), handed to `sink` band by band.
    void Apply(const cv::Mat& input, const BandSink& sink);

  private:
    // The working rows of one thread's range of bands. They go back to a pool for the next range
    // and the next Apply: fresh memory is slow to touch the first time.
    struct Scratch {
        std::array<std::vector<float>, 3> vertical;
        std::vector<float> columns;
        std::vector<float> sums;
        std::vector<float> light;
    };
    std::unique_ptr<Scratch> TakeScratch();
    void ReturnScratch(std::unique_ptr<Scratch> scratch);

    int m_width;
    int m_height;
    int m_stride;
    std::array<int, 3> m_radii;
    // Taps 0..k of each kernel (it is symmetric), as OpenCV computes and normalises them.
    std::array<std::vector<float>, 3> m_taps;
    // Offset of the reflected row, for rows -k3 .. height + k3 + 1.
    std::vector<int> m_rowOffsets;
    std::mutex m_poolLock;
    std::vector<std::unique_ptr<Scratch>> m_pool;
};

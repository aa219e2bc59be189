#include "viewer/tools/multiscaleblur.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <cmath>

// The passes are written with the vector types GCC and clang share, and compiled for three
// instruction sets; the loader picks the best one the processor has.
#if defined(__x86_64__)
#define MULTISCALE_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define MULTISCALE_CLONES
#endif
#define UNROLL _Pragma("GCC unroll 16")

namespace {

typedef float Vec __attribute__((vector_size(32)));
typedef float UnalignedVec __attribute__((vector_size(32), aligned(4), may_alias));
constexpr int kLanes = 8;

// Loads and stores as macros: inside the cloned passes they take that pass's instruction set.
#define LOAD(p) (*reinterpret_cast<const UnalignedVec*>(p))
#define STORE(p, v) (*reinterpret_cast<UnalignedVec*>(p) = (v))

// Columns of the vertical pass done together, and outputs of the horizontal pass done together:
// enough independent sums to keep the multipliers busy, few enough to stay in registers.
constexpr int kVerticalVectors = 2;
constexpr int kTileWidth = kVerticalVectors * kLanes;
constexpr int kColumnBlock = 8;

// OpenCV's BORDER_REFLECT_101, folding as often as needed for kernels wider than the picture.
int Reflect101(int position, int length) {
    if (length == 1)
        return 0;
    while (position < 0 || position >= length)
        position = position < 0 ? -position : 2 * (length - 1) - position;
    return position;
}

// getGaussianKernel(2k+1, k): exp(-x^2 / 2k^2), normalised to a sum of 1 in double precision.
std::vector<float> HalfKernel(int radius) {
    if (radius == 0)
        return {1.0f};
    std::vector<double> weights(2 * radius + 1);
    const double scale = -0.5 / (static_cast<double>(radius) * radius);
    double sum = 0;
    for (int i = 0; i <= 2 * radius; ++i) {
        const double x = i - radius;
        weights[i] = std::exp(scale * x * x);
        sum += weights[i];
    }
    std::vector<float> half(radius + 1);
    for (int t = 0; t <= radius; ++t)
        half[t] = static_cast<float>(weights[radius + t] / sum);
    return half;
}

struct VerticalJob {
    const float* input;
    const int* rows; // rows[m]: offset of the reflected row m, for m from -k3
    std::array<const float*, 3> taps;
    std::array<int, 3> radii;
    std::array<float*, 3> outputs; // a band of rows from outputRow on
    int outputRow;
    int stride;
};

// Rows y and y+1 of all three blurs for columns [x0, x1), x1 - x0 a multiple of kTileWidth.
// Each input row is loaded once for both output rows: at tap t row y pairs y-t with y+t and row
// y+1 pairs y+1-t with y+1+t, so the loads of one tap are the other row's loads of the tap before.
MULTISCALE_CLONES void VerticalRows(const VerticalJob& job, int y, int x0, int x1) {
    const int k1 = job.radii[0];
    const int k2 = job.radii[1];
    const int k3 = job.radii[2];
    const float* w1 = job.taps[0];
    const float* w2 = job.taps[1];
    const float* w3 = job.taps[2];
    const int* row = job.rows + y;
    const size_t out0 = static_cast<size_t>(y - job.outputRow) * job.stride;
    const size_t out1 = out0 + job.stride;
    for (int x = x0; x < x1; x += kTileWidth) {
        const float* in = job.input + x;
        Vec a1[kVerticalVectors], a2[kVerticalVectors], a3[kVerticalVectors];
        Vec b1[kVerticalVectors], b2[kVerticalVectors], b3[kVerticalVectors];
        Vec low[kVerticalVectors], high[kVerticalVectors];
        UNROLL for (int j = 0; j < kVerticalVectors; ++j) {
            low[j] = LOAD(in + row[0] + kLanes * j);
            high[j] = LOAD(in + row[1] + kLanes * j);
            a1[j] = low[j] * w1[0];
            a2[j] = low[j] * w2[0];
            a3[j] = low[j] * w3[0];
            b1[j] = high[j] * w1[0];
            b2[j] = high[j] * w2[0];
            b3[j] = high[j] * w3[0];
        }
        int t = 1;
        for (; t <= k1; ++t) {
            const float* up = in + row[-t];
            const float* down = in + row[1 + t];
            UNROLL for (int j = 0; j < kVerticalVectors; ++j) {
                const Vec nextLow = LOAD(up + kLanes * j);
                const Vec nextHigh = LOAD(down + kLanes * j);
                const Vec pair0 = nextLow + high[j];
                const Vec pair1 = low[j] + nextHigh;
                a1[j] += pair0 * w1[t];
                a2[j] += pair0 * w2[t];
                a3[j] += pair0 * w3[t];
                b1[j] += pair1 * w1[t];
                b2[j] += pair1 * w2[t];
                b3[j] += pair1 * w3[t];
                low[j] = nextLow;
                high[j] = nextHigh;
            }
        }
        for (; t <= k2; ++t) {
            const float* up = in + row[-t];
            const float* down = in + row[1 + t];
            UNROLL for (int j = 0; j < kVerticalVectors; ++j) {
                const Vec nextLow = LOAD(up + kLanes * j);
                const Vec nextHigh = LOAD(down + kLanes * j);
                const Vec pair0 = nextLow + high[j];
                const Vec pair1 = low[j] + nextHigh;
                a2[j] += pair0 * w2[t];
                a3[j] += pair0 * w3[t];
                b2[j] += pair1 * w2[t];
                b3[j] += pair1 * w3[t];
                low[j] = nextLow;
                high[j] = nextHigh;
            }
        }
        for (; t <= k3; ++t) {
            const float* up = in + row[-t];
            const float* down = in + row[1 + t];
            UNROLL for (int j = 0; j < kVerticalVectors; ++j) {
                const Vec nextLow = LOAD(up + kLanes * j);
                const Vec nextHigh = LOAD(down + kLanes * j);
                a3[j] += (nextLow + high[j]) * w3[t];
                b3[j] += (low[j] + nextHigh) * w3[t];
                low[j] = nextLow;
                high[j] = nextHigh;
            }
        }
        UNROLL for (int j = 0; j < kVerticalVectors; ++j) {
            const size_t at = x + kLanes * j;
            STORE(job.outputs[0] + out0 + at, a1[j]);
            STORE(job.outputs[1] + out0 + at, a2[j]);
            STORE(job.outputs[2] + out0 + at, a3[j]);
            STORE(job.outputs[0] + out1 + at, b1[j]);
            STORE(job.outputs[1] + out1 + at, b2[j]);
            STORE(job.outputs[2] + out1 + at, b3[j]);
        }
    }
}

// Lanes of two vectors interleaved in pairs of 1, 2 and 4 within each 128-bit half, and the
// halves combined: an 8 x 8 transpose in three steps.
#define UNPACK1_LO(a, b) __builtin_shufflevector(a, b, 0, 8, 1, 9, 4, 12, 5, 13)
#define UNPACK1_HI(a, b) __builtin_shufflevector(a, b, 2, 10, 3, 11, 6, 14, 7, 15)
#define UNPACK2_LO(a, b) __builtin_shufflevector(a, b, 0, 1, 8, 9, 4, 5, 12, 13)
#define UNPACK2_HI(a, b) __builtin_shufflevector(a, b, 2, 3, 10, 11, 6, 7, 14, 15)
#define HALVES_LO(a, b) __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11)
#define HALVES_HI(a, b) __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15)

#define TRANSPOSE8(r0, r1, r2, r3, r4, r5, r6, r7)                                                           \
    do {                                                                                                     \
        const Vec t0 = UNPACK1_LO(r0, r1), t1 = UNPACK1_HI(r0, r1);                                          \
        const Vec t2 = UNPACK1_LO(r2, r3), t3 = UNPACK1_HI(r2, r3);                                          \
        const Vec t4 = UNPACK1_LO(r4, r5), t5 = UNPACK1_HI(r4, r5);                                          \
        const Vec t6 = UNPACK1_LO(r6, r7), t7 = UNPACK1_HI(r6, r7);                                          \
        const Vec u0 = UNPACK2_LO(t0, t2), u1 = UNPACK2_HI(t0, t2);                                          \
        const Vec u2 = UNPACK2_LO(t1, t3), u3 = UNPACK2_HI(t1, t3);                                          \
        const Vec u4 = UNPACK2_LO(t4, t6), u5 = UNPACK2_HI(t4, t6);                                          \
        const Vec u6 = UNPACK2_LO(t5, t7), u7 = UNPACK2_HI(t5, t7);                                          \
        r0 = HALVES_LO(u0, u4);                                                                              \
        r1 = HALVES_LO(u1, u5);                                                                              \
        r2 = HALVES_LO(u2, u6);                                                                              \
        r3 = HALVES_LO(u3, u7);                                                                              \
        r4 = HALVES_HI(u0, u4);                                                                              \
        r5 = HALVES_HI(u1, u5);                                                                              \
        r6 = HALVES_HI(u2, u6);                                                                              \
        r7 = HALVES_HI(u3, u7);                                                                              \
    } while (0)

// Eight rows turned into columns: columns[(x + k) * 8 + r] = rows[r][x] for x in [-k, end + k),
// reflected beyond [0, width).
MULTISCALE_CLONES void ToColumns(const float* const* rows, int width, int end, int k, float* columns) {
    float* c = columns + static_cast<size_t>(k) * kLanes;
    int x = 0;
    for (; x + kLanes <= width; x += kLanes) {
        Vec r0 = LOAD(rows[0] + x), r1 = LOAD(rows[1] + x), r2 = LOAD(rows[2] + x), r3 = LOAD(rows[3] + x);
        Vec r4 = LOAD(rows[4] + x), r5 = LOAD(rows[5] + x), r6 = LOAD(rows[6] + x), r7 = LOAD(rows[7] + x);
        TRANSPOSE8(r0, r1, r2, r3, r4, r5, r6, r7);
        STORE(c + (x + 0) * kLanes, r0);
        STORE(c + (x + 1) * kLanes, r1);
        STORE(c + (x + 2) * kLanes, r2);
        STORE(c + (x + 3) * kLanes, r3);
        STORE(c + (x + 4) * kLanes, r4);
        STORE(c + (x + 5) * kLanes, r5);
        STORE(c + (x + 6) * kLanes, r6);
        STORE(c + (x + 7) * kLanes, r7);
    }
    for (; x < width; ++x)
        for (int r = 0; r < kLanes; ++r)
            c[x * kLanes + r] = rows[r][x];
    for (x = -k; x < 0; ++x)
        STORE(c + x * kLanes, LOAD(c + Reflect101(x, width) * kLanes));
    for (x = width; x < end + k; ++x)
        STORE(c + x * kLanes, LOAD(c + Reflect101(x, width) * kLanes));
}

// Columns back into eight rows, scaled.
MULTISCALE_CLONES void FromColumns(const float* columns, int width, float scale, float* const* rows) {
    int x = 0;
    for (; x + kLanes <= width; x += kLanes) {
        const float* c = columns + static_cast<size_t>(x) * kLanes;
        Vec r0 = LOAD(c), r1 = LOAD(c + 8), r2 = LOAD(c + 16), r3 = LOAD(c + 24);
        Vec r4 = LOAD(c + 32), r5 = LOAD(c + 40), r6 = LOAD(c + 48), r7 = LOAD(c + 56);
        TRANSPOSE8(r0, r1, r2, r3, r4, r5, r6, r7);
        STORE(rows[0] + x, r0 * scale);
        STORE(rows[1] + x, r1 * scale);
        STORE(rows[2] + x, r2 * scale);
        STORE(rows[3] + x, r3 * scale);
        STORE(rows[4] + x, r4 * scale);
        STORE(rows[5] + x, r5 * scale);
        STORE(rows[6] + x, r6 * scale);
        STORE(rows[7] + x, r7 * scale);
    }
    for (; x < width; ++x)
        for (int r = 0; r < kLanes; ++r)
            rows[r][x] = columns[x * kLanes + r] * scale;
}

// One blur along the columns made by ToColumns, for x in [0, end), end a multiple of
// kColumnBlock; added to `sums` unless `first`. As in VerticalRows, neighbouring outputs share
// their loads: at each tap one new value enters at either end of the block.
MULTISCALE_CLONES void BlurColumns(const float* columns, int end, int k, const float* w, float* sums,
                                   bool first) {
    const float* c = columns + static_cast<size_t>(k) * kLanes;
    for (int x = 0; x < end; x += kColumnBlock) {
        Vec sum[kColumnBlock], low[kColumnBlock], high[kColumnBlock];
        UNROLL for (int j = 0; j < kColumnBlock; ++j) {
            low[j] = high[j] = LOAD(c + (x + j) * kLanes);
            sum[j] = low[j] * w[0];
        }
        for (int t = 1; t <= k; ++t) {
            const Vec nextLow = LOAD(c + (x - t) * kLanes);
            const Vec nextHigh = LOAD(c + (x + kColumnBlock - 1 + t) * kLanes);
            UNROLL for (int j = kColumnBlock - 1; j > 0; --j) low[j] = low[j - 1];
            low[0] = nextLow;
            UNROLL for (int j = 0; j < kColumnBlock - 1; ++j) high[j] = high[j + 1];
            high[kColumnBlock - 1] = nextHigh;
            UNROLL for (int j = 0; j < kColumnBlock; ++j) sum[j] += (low[j] + high[j]) * w[t];
        }
        UNROLL for (int j = 0; j < kColumnBlock; ++j) {
            float* at = sums + (x + j) * kLanes;
            STORE(at, first ? sum[j] : sum[j] + LOAD(at));
        }
    }
}

int RoundUp(int value, int step) {
    return (value + step - 1) / step * step;
}

// Rows that go through both passes together: the vertical window of a column tile stays in the
// first-level cache while it serves them.
constexpr int kBandRows = 32;

} // namespace

MultiScaleBlur::MultiScaleBlur(int width, int height, const std::array<int, 3>& radii)
    : m_width(width), m_height(height), m_radii(radii) {
    // An odd number of cache lines a row keeps the rows of the vertical window from crowding
    // into a few cache sets.
    m_stride = RoundUp(width, kTileWidth);
    if ((m_stride / kTileWidth) % 2 == 0)
        m_stride += kTileWidth;
    for (int i = 0; i < 3; ++i)
        m_taps[i] = HalfKernel(radii[i]);
    const int k3 = radii[2];
    for (int m = -k3; m <= height + k3 + 1; ++m)
        m_rowOffsets.push_back(Reflect101(m, height) * m_stride);
}

cv::Mat MultiScaleBlur::NewPlane() const {
    // The vertical pass reads the padding columns too; zeros keep its arithmetic clean.
    cv::Mat plane(m_height, m_stride, CV_32F);
    plane.colRange(m_width, m_stride).setTo(0);
    return plane;
}

void MultiScaleBlur::Apply(const cv::Mat& input, const BandSink& sink) {
    const int bands = (m_height + kBandRows - 1) / kBandRows;
    const int tilesEnd = RoundUp(m_width, kTileWidth);
    const int end = RoundUp(m_width, kColumnBlock);
    const int widest = m_radii[2];
    auto run = [&](const cv::Range& range) {
        std::unique_ptr<Scratch> held = TakeScratch();
        Scratch& scratch = *held;
        if (scratch.sums.empty()) {
            for (auto& rows : scratch.vertical)
                rows.assign(static_cast<size_t>(kBandRows) * m_stride, 0.0f);
            scratch.columns.resize(static_cast<size_t>(end + 2 * widest) * kLanes);
            scratch.sums.resize(static_cast<size_t>(end) * kLanes);
            scratch.light.resize(static_cast<size_t>(kBandRows) * m_width);
        }
        VerticalJob job;
        job.input = input.ptr<float>();
        job.rows = m_rowOffsets.data() + widest;
        job.radii = m_radii;
        job.stride = m_stride;
        for (int i = 0; i < 3; ++i) {
            job.taps[i] = m_taps[i].data();
            job.outputs[i] = scratch.vertical[i].data();
        }
        for (int band = range.start; band < range.end; ++band) {
            const int first = band * kBandRows;
            const int count = std::min(kBandRows, m_height - first);
            job.outputRow = first;
            // Rows in pairs; a last odd row of the picture is paired with a row of the band's
            // padding. Rows of a band past the picture only fill its last strip; what they hold
            // never reaches a row of the picture.
            for (int x = 0; x < tilesEnd; x += kTileWidth)
                for (int y = first; y < first + count; y += 2)
                    VerticalRows(job, y, x, x + kTileWidth);
            for (int strip = 0; strip < count; strip += kLanes) {
                for (int i = 0; i < 3; ++i) {
                    const float* rows[kLanes];
                    for (int r = 0; r < kLanes; ++r)
                        rows[r] = scratch.vertical[i].data() + static_cast<size_t>(strip + r) * m_stride;
                    ToColumns(rows, m_width, end, m_radii[i], scratch.columns.data());
                    BlurColumns(scratch.columns.data(), end, m_radii[i], m_taps[i].data(),
                                scratch.sums.data(), i == 0);
                }
                float* rows[kLanes];
                for (int r = 0; r < kLanes; ++r)
                    rows[r] = scratch.light.data() + static_cast<size_t>(strip + r) * m_width;
                FromColumns(scratch.sums.data(), m_width, 1.0f / 3.0f, rows);
            }
            const float* rows[kBandRows];
            for (int r = 0; r < count; ++r)
                rows[r] = scratch.light.data() + static_cast<size_t>(r) * m_width;
            sink(first, count, rows);
        }
        ReturnScratch(std::move(held));
    };
    // Two ranges a thread, so that a slow thread leaves work to the other.
    cv::parallel_for_(cv::Range(0, bands), run, std::min(bands, 2 * std::max(1, cv::getNumThreads())));
}

std::unique_ptr<MultiScaleBlur::Scratch> MultiScaleBlur::TakeScratch() {
    const std::lock_guard<std::mutex> lock(m_poolLock);
    if (m_pool.empty())
        return std::make_unique<Scratch>();
    std::unique_ptr<Scratch> scratch = std::move(m_pool.back());
    m_pool.pop_back();
    return scratch;
}

void MultiScaleBlur::ReturnScratch(std::unique_ptr<Scratch> scratch) {
    const std::lock_guard<std::mutex> lock(m_poolLock);
    m_pool.push_back(std::move(scratch));
}

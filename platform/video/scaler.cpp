#include "platform/video/videodeviceimpl.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

namespace {

bool IsYuv(AVPixelFormat format) {
    return format == AV_PIX_FMT_YUYV422 || format == AV_PIX_FMT_UYVY422 || format == AV_PIX_FMT_YUV420P ||
           format == AV_PIX_FMT_NV12;
}

} // namespace

int PitchWithSlack(int width) {
    // Whole cache lines keep sws on its aligned paths.
    return ((width + kRowSlackPixels) * 4 + 63) & ~63;
}

Scaler::Context::~Context() {
    sws_freeContext(m_context);
}

SwsContext* Scaler::Context::For(int srcWidth, int srcHeight, AVPixelFormat srcFormat, int dstWidth,
                                 int dstHeight, AVPixelFormat dstFormat) {
    const int key[6] = {srcWidth, srcHeight, srcFormat, dstWidth, dstHeight, dstFormat};
    if (m_context && std::equal(key, key + 6, m_key))
        return m_context;
    sws_freeContext(m_context);
    // Linear filtering, as the device's stretch always used.
    m_context = sws_getContext(srcWidth, srcHeight, srcFormat, dstWidth, dstHeight, dstFormat,
                               SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    std::copy(key, key + 6, m_key);
    return m_context;
}

bool Scaler::Scale(const SurfacePlanes& source, std::uint8_t* destination, int destinationPitch, int dstWidth,
                   int dstHeight) {
    std::uint8_t* const planes[4] = {destination, nullptr, nullptr, nullptr};
    const int pitches[4] = {destinationPitch, 0, 0, 0};
    if (!IsYuv(source.format)) {
        SwsContext* context =
            m_context.For(source.width, source.height, source.format, dstWidth, dstHeight, AV_PIX_FMT_BGRA);
        return context &&
               sws_scale(context, source.data, source.linesize, 0, source.height, planes, pitches) == dstHeight;
    }
    const int chromaWidth = (dstWidth + 1) / 2;
    const int chromaHeight = (dstHeight + 1) / 2;
    const int lumaPitch = (dstWidth + kRowSlackPixels + 63) & ~63;
    const int chromaPitch = (chromaWidth + kRowSlackPixels + 63) & ~63;
    const std::size_t lumaSize = static_cast<std::size_t>(lumaPitch) * (dstHeight + kSlackRows);
    const std::size_t chromaSize = static_cast<std::size_t>(chromaPitch) * (chromaHeight + kSlackRows);
    m_planar.resize(lumaSize + 2 * chromaSize + 64);
    std::uint8_t* luma = m_planar.data() + (64 - reinterpret_cast<std::uintptr_t>(m_planar.data()) % 64) % 64;
    std::uint8_t* const planar[4] = {luma, luma + lumaSize, luma + lumaSize + chromaSize, nullptr};
    const int planarPitches[4] = {lumaPitch, chromaPitch, chromaPitch, 0};
    SwsContext* scale =
        m_context.For(source.width, source.height, source.format, dstWidth, dstHeight, AV_PIX_FMT_YUV420P);
    SwsContext* toRgb =
        m_toRgb.For(dstWidth, dstHeight, AV_PIX_FMT_YUV420P, dstWidth, dstHeight, AV_PIX_FMT_BGRA);
    if (!scale || !toRgb ||
        sws_scale(scale, source.data, source.linesize, 0, source.height, planar, planarPitches) != dstHeight)
        return false;
    const std::uint8_t* const converted[4] = {planar[0], planar[1], planar[2], nullptr};
    return sws_scale(toRgb, converted, planarPitches, 0, dstHeight, planes, pitches) == dstHeight;
}

bool Scaler::ToBgraWithSlack(const SurfacePlanes& source, std::uint8_t* destination, int destinationPitch,
                             int dstWidth, int dstHeight) {
    if (!destination || dstWidth < 1 || dstHeight < 1)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    return Scale(source, destination, destinationPitch, dstWidth, dstHeight);
}

bool Scaler::ToBgra(const SurfacePlanes& source, std::uint8_t* destination, int destinationPitch,
                    int dstWidth, int dstHeight) {
    if (!destination || dstWidth < 1 || dstHeight < 1)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    const int scratchPitch = PitchWithSlack(dstWidth);
    m_scratch.resize(static_cast<std::size_t>(scratchPitch) * (dstHeight + kSlackRows) + 64);
    // The scratch rows start on a cache line, whatever the vector's own alignment.
    std::uint8_t* scratch = m_scratch.data();
    scratch += (64 - reinterpret_cast<std::uintptr_t>(scratch) % 64) % 64;
    if (!Scale(source, scratch, scratchPitch, dstWidth, dstHeight))
        return false;
    for (int row = 0; row < dstHeight; ++row) {
        std::uint8_t* target = destination + static_cast<std::size_t>(row) * destinationPitch;
        const std::uint8_t* line = scratch + static_cast<std::size_t>(row) * scratchPitch;
        if (source.mirrored) {
            // Mirrored as it is copied out: no pass of its own.
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(line);
            std::reverse_copy(pixels, pixels + dstWidth, reinterpret_cast<std::uint32_t*>(target));
        } else {
            std::memcpy(target, line, static_cast<std::size_t>(dstWidth) * 4);
        }
    }
    return true;
}

struct CanvasPool::Loan {
    std::shared_ptr<CanvasPool> pool;
    uchar* data;
    std::size_t size;
};

CanvasPool::~CanvasPool() {
    for (const auto& block : m_free)
        av_free(block.second);
}

QImage CanvasPool::Take(int width, int height) {
    const int pitch = PitchWithSlack(width);
    const std::size_t size = static_cast<std::size_t>(pitch) * (height + kSlackRows);
    uchar* data = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto block = m_free.begin(); block != m_free.end(); ++block)
            if (block->first == size) {
                data = block->second;
                m_free.erase(block);
                break;
            }
    }
    if (!data)
        data = static_cast<uchar*>(av_malloc(size));
    if (!data)
        return QImage();
    auto* loan = new Loan{shared_from_this(), data, size};
    return QImage(data, width, height, pitch, QImage::Format_RGB32, &CanvasPool::Return, loan);
}

void CanvasPool::Return(void* info) {
    std::unique_ptr<Loan> loan(static_cast<Loan*>(info));
    // A few pictures are on their way at any time: the one being composed, the one shown, the one
    // the window still paints.
    constexpr std::size_t kKept = 4;
    {
        std::lock_guard<std::mutex> guard(loan->pool->m_lock);
        if (loan->pool->m_free.size() < kKept) {
            loan->pool->m_free.emplace_back(loan->size, loan->data);
            return;
        }
    }
    av_free(loan->data);
}

bool Scaler::ToCanvas(const PresentedVideo& video, QImage& canvas) {
    SurfacePlanes planes;
    for (int plane = 0; plane < 3; ++plane) {
        planes.data[plane] = video.planes[plane];
        planes.linesize[plane] = video.pitches[plane];
    }
    planes.format = AV_PIX_FMT_YUV420P;
    planes.width = video.width;
    planes.height = video.height;
    planes.mirrored = video.mirrored;
    const QRect& place = video.destination;
    return ToBgra(planes,
                  canvas.bits() + static_cast<std::size_t>(place.top()) * canvas.bytesPerLine() +
                      static_cast<std::size_t>(place.left()) * 4,
                  static_cast<int>(canvas.bytesPerLine()), place.width(), place.height());
}

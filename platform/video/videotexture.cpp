#include "platform/video/videotexture.h"

#include "platform/video/videodeviceimpl.h"

#include <cstring>
#include <utility>

VideoTexture::VideoTexture(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
VideoTexture::~VideoTexture() = default;

int VideoTexture::Width() const {
    return m_impl->image.width();
}
int VideoTexture::Height() const {
    return m_impl->image.height();
}

HRESULT VideoTexture::Create(int width, int height, const BYTE* pixels,
                             std::unique_ptr<VideoTexture>* texture) {
    if (!pixels || !texture)
        return E_POINTER;
    if (width < 1 || height < 1)
        return E_INVALIDARG;
    auto impl = std::make_unique<Impl>();
    // A8R8G8B8 on a little-endian machine is Qt's ARGB32 byte for byte.
    impl->image = QImage(width, height, QImage::Format_ARGB32);
    if (impl->image.isNull())
        return E_OUTOFMEMORY;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int row = 0; row < height; ++row)
        std::memcpy(impl->image.scanLine(row), pixels + row * rowBytes, rowBytes);
    texture->reset(new VideoTexture(std::move(impl)));
    return S_OK;
}

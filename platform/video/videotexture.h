#pragma once
// A picture for the scene, copied from 32-bit pixels in A8R8G8B8 order (B, G, R, A in memory),
// rows of width * 4 bytes one after the other.

#include "platform/video/videotypes.h"

#include <memory>

class VideoTexture {
  public:
    // E_POINTER without pixels; E_INVALIDARG for a size below 1 x 1.
    static HRESULT Create(int width, int height, const BYTE* pixels, std::unique_ptr<VideoTexture>* texture);
    ~VideoTexture();
    VideoTexture(const VideoTexture&) = delete;
    VideoTexture& operator=(const VideoTexture&) = delete;

    int Width() const;
    int Height() const;

    struct Impl;
    const Impl& GetImpl() const { return *m_impl; }

  private:
    explicit VideoTexture(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
};

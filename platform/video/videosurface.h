#pragma once
// An off-screen surface of the video device: plain memory holding one picture in the format it
// was made with. One thread may write it (between LockRect and UnlockRect) while others compose or
// capture from it; they wait for each other, so nobody ever reads half a picture.

#include "platform/video/videotypes.h"

#include <memory>

class VideoSurface {
  public:
    ~VideoSurface();
    VideoSurface(const VideoSurface&) = delete;
    VideoSurface& operator=(const VideoSurface&) = delete;

    int Width() const;
    int Height() const;
    D3DFORMAT Format() const;

    // The whole surface for reading and writing, held until UnlockRect on the same thread. Planar
    // formats keep their planes one after the other: YV12 the luma rows, then the V and the U rows
    // at half the pitch; NV12 the luma rows, then the interleaved U/V rows at the pitch. With
    // D3DLOCK_DISCARD the caller writes every pixel and finds undefined ones.
    HRESULT LockRect(D3DLOCKED_RECT* locked, DWORD flags = 0);
    HRESULT UnlockRect();

    struct Impl;
    Impl& GetImpl() const { return *m_impl; }

  private:
    friend class VideoDevice;
    explicit VideoSurface(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
};

// Bytes a pixel takes in the surface's first plane (1 for the planar formats); 0 for a format the
// device cannot hold.
int SurfaceBytesPerPixel(D3DFORMAT format);

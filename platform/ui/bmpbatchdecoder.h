#pragma once
// Turns many BMP files into bitmaps at once, as a skin loads: each handle comes back straight
// away with its final size, while its pixels are converted on worker threads. The pixels are
// there once Wait returns; the destructor waits too. Nothing may draw or read a handle from here
// before then.

#include "platform/ui/gdiobj.h"

#include <cstddef>
#include <memory>

class QThreadPool;

class BmpBatchDecoder {
  public:
    BmpBatchDecoder();
    ~BmpBatchDecoder();
    BmpBatchDecoder(const BmpBatchDecoder&) = delete;
    BmpBatchDecoder& operator=(const BmpBatchDecoder&) = delete;

    // The file as LoadBitmapFromBmpData reads it; null for what that refuses. The data stays
    // with the decoder until its pixels are converted.
    HBITMAP Decode(std::shared_ptr<const unsigned char> data, size_t size);
    void Wait();

  private:
    std::unique_ptr<QThreadPool> m_workers;
};

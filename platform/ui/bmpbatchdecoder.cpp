#include "platform/ui/bmpbatchdecoder.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/gdiimpl.h"

#include <QThreadPool>

#include <algorithm>
#include <thread>
#include <utility>

using namespace uiimpl;

BmpBatchDecoder::BmpBatchDecoder() : m_workers(std::make_unique<QThreadPool>()) {
    m_workers->setMaxThreadCount(static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u)));
}

BmpBatchDecoder::~BmpBatchDecoder() {
    Wait();
}

HBITMAP BmpBatchDecoder::Decode(std::shared_ptr<const unsigned char> data, size_t size) {
    BmpLayout layout;
    if (!ReadBmpLayout(data.get(), size, layout)) {
        return nullptr;
    }
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height), QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;
    }
    // The pixels are taken while the image has one owner, so that no later copy of it detaches
    // them from what the worker writes.
    uchar* pixels = image.bits();
    const qsizetype pitch = image.bytesPerLine();
    const HBITMAP bitmap = AddBitmap(std::move(image));
    std::shared_ptr<BitmapObject> object = FindBitmap(bitmap);
    m_workers->start([data = std::move(data), layout, pixels, pitch, object = std::move(object)] {
        DecodeBmpRows(data.get(), layout, pixels, pitch);
    });
    return bitmap;
}

void BmpBatchDecoder::Wait() {
    m_workers->waitForDone();
}

#pragma once
// The presented picture as Qt sees it, for the window layer and the device itself: the pixels are a
// shared QImage in Format_RGB32, so handing one over copies nothing. A picture handed over in parts
// (to a receiver that draws scenes itself) keeps the decoded planes, where they go and the overlays,
// and composes its pixels only when somebody reads them.

#include "platform/video/presentationtarget.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

// 8-bit YUV 4:2:0 planes (BT.601 video range) of the part of a decoded picture a scene shows.
struct PresentedVideo {
    // Keeps the planes alive as long as the picture lives.
    std::shared_ptr<const void> owner;
    // Y, U, V, each at the first sample shown.
    const std::uint8_t* planes[3] = {};
    int pitches[3] = {};
    // Luma samples shown; the chroma planes hold (width + 1) / 2 x (height + 1) / 2 of them.
    int width = 0;
    int height = 0;
    // Where the samples are stretched to, in client pixels, with linear filtering.
    QRect destination;
    bool mirrored = false;
};

struct PresentedPicture::Impl {
    // The composed pixels; for a picture in parts, made at the first read.
    mutable QImage image;
    mutable std::once_flag composed;
    // The parts, for a picture handed over in them: the client size, the colour around the video,
    // the video (none for a scene without one) and what was drawn over it (null when nothing was),
    // in ARGB32_Premultiplied at the client size.
    bool inParts = false;
    QSize size;
    QRgb clear = 0xFF000000u;
    std::optional<PresentedVideo> video;
    QImage overlay;

    const QImage& Image() const;
};

PresentedPicture PresentedPictureFromImage(QImage image);
PresentedPicture PresentedPictureFromParts(QSize size, QRgb clear, std::optional<PresentedVideo> video,
                                           QImage overlay);
// A null image for a null picture; a picture in parts is composed.
QImage ImageOfPresentedPicture(const PresentedPicture& picture);

#pragma once
// The presented picture as Qt sees it, for the window layer and the device itself: the pixels are a
// shared QImage in Format_RGB32, so handing one over copies nothing.

#include "platform/video/presentationtarget.h"

#include <QImage>

struct PresentedPicture::Impl {
    QImage image;
};

PresentedPicture PresentedPictureFromImage(QImage image);
// A null image for a null picture.
QImage ImageOfPresentedPicture(const PresentedPicture& picture);

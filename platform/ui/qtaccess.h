#pragma once
// The window layer's handles as Qt objects, for the rest of the platform layer (the video device
// presents its frames here) and for tests. The program's own code never includes this header.

#include "platform/ui/gdidefs.h"

#include <QImage>
#include <QRect>

class QWidget;

// The widget that is the window, and the one its mouse and paint events arrive at (a list's
// viewport); null for a dead handle.
QWidget* WidgetFromHandle(HWND window);
QWidget* InputWidgetFromHandle(HWND window);
HWND HandleFromWidget(const QWidget* widget);

// A copy of a bitmap's pixels; a new bitmap from a picture (the caller owns it).
QImage ImageFromBitmap(HBITMAP bitmap);
HBITMAP BitmapFromImage(const QImage& image);

// What a window shows: a plain window's picture, or a control's rendering.
QImage WindowPicture(HWND window);

// Any thread: draws the picture into the window's client rectangle, scaled to it, the way a video
// device presents a frame. It shows until the window paints that part again.
void PresentToWindow(HWND window, const QImage& picture, const QRect& target);

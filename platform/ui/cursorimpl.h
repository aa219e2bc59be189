#pragma once
// Inside the window layer: cursors behind their handles.

#include "platform/ui/windefs.h"

#include <QCursor>
#include <QImage>

class QWidget;

namespace uiimpl {

QCursor CursorOf(HCURSOR cursor);
// A cursor from a picture; the hot spot comes from the picture's "hotspot" text, else its centre.
HCURSOR AddCursor(const QImage& image, bool shared);
// Shows the cursor set last over the widget.
void ApplyCursorTo(QWidget* widget);

} // namespace uiimpl

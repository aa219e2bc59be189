#pragma once
// Inside the window layer: the widget of every window whose class is not a Qt control (registered
// classes, dialogs, statics, the tool-tip window). It keeps the window's picture in the window's
// surface: WM_PAINT draws there when part of it is invalid, and Qt's paint events copy it out.

#include "platform/ui/windowimpl.h"

#include <QWidget>

namespace uiimpl {

class PlainWidget final : public QWidget, public WindowHost {
  public:
    PlainWidget(const Window& window, QWidget* parent, Qt::WindowFlags flags);

    QWidget* Widget() override { return this; }
    bool PaintsSurface() const override { return true; }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    bool event(QEvent* event) override;

  private:
    ClassKind m_kind;
};

QWidget* CreatePlainWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);

} // namespace uiimpl

#pragma once
// Inside the window layer: the widget of every window whose class is not a Qt control (registered
// classes, dialogs, statics, the tool-tip window). It keeps the window's picture in the window's
// surface: WM_PAINT draws there when part of it is invalid, and Qt's paint events copy it out. A
// static's picture may leave its background out; Qt then shows what lies below it.

#include "platform/ui/windowimpl.h"

#include <QWidget>

namespace uiimpl {

class PlainWidget final : public QWidget, public WindowHost {
  public:
    PlainWidget(const Window& window, QWidget* parent, Qt::WindowFlags flags);
    ~PlainWidget() override;

    QWidget* Widget() override { return this; }
    bool PaintsSurface() const override { return true; }
    bool TransparentSurface() const override { return m_kind == ClassKind::Static; }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    bool event(QEvent* event) override;

  private:
    LRESULT StaticProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PaintStatic(Window& window);
    HBITMAP SetImage(Window& window, HBITMAP image, bool owned);

    ClassKind m_kind;
    // A static's bitmap, and whether the static loaded it itself (and frees it).
    HBITMAP m_image = nullptr;
    bool m_ownsImage = false;
};

QWidget* CreatePlainWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);

} // namespace uiimpl

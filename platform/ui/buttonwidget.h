#pragma once
// Inside the window layer: the button control ("Button") on Qt's abstract button, drawn by the
// style as a push button, a check box or a radio button.

#include "platform/ui/windowimpl.h"

#include <QAbstractButton>

namespace uiimpl {

class ButtonWidget final : public QAbstractButton, public WindowHost {
  public:
    ButtonWidget(Window& window, QWidget* parent);

    QWidget* Widget() override { return this; }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

  private:
    void UncheckGroup();
    void Clicked();

    DWORD m_type;
};

QWidget* CreateButtonWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);

} // namespace uiimpl

#pragma once
// Inside the window layer: the edit control ("Edit") on Qt's line edit.

#include "platform/ui/windowimpl.h"

#include <QLineEdit>

namespace uiimpl {

class EditWidget final : public QLineEdit, public WindowHost {
  public:
    EditWidget(Window& window, QWidget* parent);

    QWidget* Widget() override { return this; }
    bool NativeEvent(QWidget* receiver, QEvent* event) override;
    LRESULT ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    bool event(QEvent* event) override;

  private:
    void SetPasswordCharacter(wchar_t character);
    void Notify(const Window& window, WORD code);

    wchar_t m_passwordCharacter = 0;
};

QWidget* CreateEditWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);

} // namespace uiimpl

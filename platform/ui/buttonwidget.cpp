#include "platform/ui/buttonwidget.h"

#include "platform/ui/button.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/window.h"

#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>
#include <vector>

namespace uiimpl {

namespace {

bool IsCheckBox(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

bool IsRadioButton(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

} // namespace

ButtonWidget::ButtonWidget(Window& window, QWidget* parent)
    : QAbstractButton(parent), WindowHost(window.handle), m_type(window.style & BS_TYPEMASK) {
    setFont(FontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
    setCheckable(IsCheckBox(m_type) || IsRadioButton(m_type));
    setText(QString::fromStdWString(window.text));
    connect(this, &QAbstractButton::clicked, this, [this] { Clicked(); });
}

bool ButtonWidget::NativeEvent(QWidget*, QEvent* event) {
    return QAbstractButton::event(event);
}

void ButtonWidget::Clicked() {
    const Window* window = Lookup(Handle());
    if (window != nullptr && window->parent != nullptr) {
        SendMessageW(window->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(window->id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Handle()));
    }
}

void ButtonWidget::nextCheckState() {
    if (m_type == BS_AUTOCHECKBOX) {
        setChecked(!isChecked());
    } else if (m_type == BS_AUTORADIOBUTTON) {
        setChecked(true);
        UncheckGroup();
    }
}

void ButtonWidget::UncheckGroup() {
    const Window* window = Lookup(Handle());
    if (window == nullptr || window->parent == nullptr) {
        return;
    }
    const std::vector<HWND> siblings = ChildrenOf(window->parent);
    const auto self = std::find(siblings.begin(), siblings.end(), Handle());
    if (self == siblings.end()) {
        return;
    }
    const auto startsGroup = [](HWND sibling) {
        const Window* record = Lookup(sibling);
        return record != nullptr && (record->style & WS_GROUP) != 0;
    };
    auto first = self;
    while (first != siblings.begin() && !startsGroup(*first)) {
        --first;
    }
    const auto last = std::find_if(self + 1, siblings.end(), startsGroup);
    for (auto sibling = first; sibling != last; ++sibling) {
        const Window* record = Lookup(*sibling);
        if (*sibling != Handle() && record != nullptr && record->windowClass == window->windowClass &&
            (record->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
            SendMessageW(*sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void ButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (isCheckable()) {
        option.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
    }
    QStyle::ControlElement element = QStyle::CE_PushButton;
    if (IsCheckBox(m_type)) {
        element = QStyle::CE_CheckBox;
    } else if (IsRadioButton(m_type)) {
        element = QStyle::CE_RadioButton;
    } else if (m_type == BS_DEFPUSHBUTTON) {
        option.features |= QStyleOptionButton::DefaultButton;
    }
    style()->drawControl(element, &option, &painter, this);
}

LRESULT ButtonWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_GETCHECK:
        return isCheckable() && isChecked() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        if (isCheckable()) {
            setChecked(wParam == static_cast<WPARAM>(BST_CHECKED));
        }
        return 0;
    case BM_CLICK:
        click();
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = GenericWindowProc(window, message, wParam, lParam);
        setText(QString::fromStdWString(window.text));
        return result;
    }
    case WM_SETFONT:
        setFont(FontOf(reinterpret_cast<HFONT>(wParam)));
        return GenericWindowProc(window, message, wParam, lParam);
    default:
        return NativeControlProc(window, message, wParam, lParam);
    }
}

bool ButtonWidget::event(QEvent* event) {
    return HandleEvent(this, event) || QAbstractButton::event(event);
}

QWidget* CreateButtonWidget(Window& window, QWidget* parent, Qt::WindowFlags) {
    return new ButtonWidget(window, parent);
}

} // namespace uiimpl

#include "platform/ui/editwidget.h"

#include "platform/ui/edit.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/window.h"

#include <QProxyStyle>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <cstdlib>

namespace uiimpl {

namespace {

constexpr DWORD ClientEdge = 0x00000200; // WS_EX_CLIENTEDGE
constexpr int LargestLimit = 0x7FFFFFFE;

// Qt draws a password with the style's character; this style gives the edit's own.
class PasswordStyle final : public QProxyStyle {
  public:
    explicit PasswordStyle(wchar_t character) : m_character(character) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return static_cast<int>(m_character);
        }
        if (hint == SH_LineEdit_PasswordMaskDelay) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

  private:
    wchar_t m_character;
};

Qt::Alignment AlignmentFor(DWORD style) {
    if ((style & ES_RIGHT) != 0) {
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    if ((style & ES_CENTER) != 0) {
        return Qt::AlignHCenter | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

EditWidget::EditWidget(Window& window, QWidget* parent) : QLineEdit(parent), WindowHost(window.handle) {
    setFont(FontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
    setFrame((window.style & WS_BORDER) != 0 || (window.exStyle & ClientEdge) != 0);
    setAlignment(AlignmentFor(window.style));
    setReadOnly((window.style & ES_READONLY) != 0);
    if ((window.style & ES_NUMBER) != 0) {
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    }
    if ((window.style & ES_PASSWORD) != 0) {
        SetPasswordCharacter(L'*');
    }
    setText(QString::fromStdWString(window.text));
}

bool EditWidget::NativeEvent(QWidget*, QEvent* event) {
    return QLineEdit::event(event);
}

void EditWidget::SetPasswordCharacter(wchar_t character) {
    m_passwordCharacter = character;
    QStyle* previous = style();
    if (character == 0) {
        setStyle(nullptr);
        setEchoMode(QLineEdit::Normal);
    } else {
        auto* password = new PasswordStyle(character);
        password->setParent(this);
        setStyle(password);
        setEchoMode(QLineEdit::Password);
    }
    if (dynamic_cast<PasswordStyle*>(previous) != nullptr) {
        previous->deleteLater();
    }
}

void EditWidget::Notify(const Window& window, WORD code) {
    if (window.parent != nullptr) {
        SendMessageW(window.parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(window.id), code),
                     reinterpret_cast<LPARAM>(window.handle));
    }
}

LRESULT EditWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT:
        setText(QString::fromWCharArray(lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : L""));
        window.text = text().toStdWString();
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        const std::wstring current = text().toStdWString();
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        const size_t copied = std::min<size_t>(current.size(), wParam - 1);
        std::copy_n(current.c_str(), copied, buffer);
        buffer[copied] = L'\0';
        return static_cast<LRESULT>(copied);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text().toStdWString().size());
    case EM_LIMITTEXT:
        setMaxLength(wParam == 0 ? LargestLimit
                                 : static_cast<int>(std::min<WPARAM>(wParam, static_cast<WPARAM>(LargestLimit))));
        return 0;
    case EM_GETLIMITTEXT:
        return maxLength();
    case EM_SETREADONLY:
        setReadOnly(wParam != 0);
        window.style = wParam != 0 ? (window.style | ES_READONLY) : (window.style & ~ES_READONLY);
        return TRUE;
    case EM_SETPASSWORDCHAR:
        SetPasswordCharacter(static_cast<wchar_t>(wParam));
        window.style = wParam != 0 ? (window.style | ES_PASSWORD) : (window.style & ~ES_PASSWORD);
        return 0;
    case EM_GETPASSWORDCHAR:
        return static_cast<LRESULT>(m_passwordCharacter);
    case EM_SETSEL: {
        const int length = static_cast<int>(text().size());
        const int start = static_cast<int>(static_cast<LONG_PTR>(wParam));
        const int end = static_cast<int>(lParam);
        if (start < 0) {
            deselect();
            return 0;
        }
        const int last = end < 0 ? length : std::min(end, length);
        const int first = std::min(start, length);
        setSelection(std::min(first, last), std::abs(last - first));
        return 0;
    }
    case EM_GETSEL: {
        const int start = hasSelectedText() ? selectionStart() : cursorPosition();
        const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end)));
    }
    case WM_SETFONT:
        setFont(FontOf(reinterpret_cast<HFONT>(wParam)));
        return GenericWindowProc(window, message, wParam, lParam);
    case WM_SETFOCUS:
        Notify(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        Notify(window, EN_KILLFOCUS);
        return 0;
    default:
        return NativeControlProc(window, message, wParam, lParam);
    }
}

bool EditWidget::event(QEvent* event) {
    return HandleEvent(this, event) || QLineEdit::event(event);
}

QWidget* CreateEditWidget(Window& window, QWidget* parent, Qt::WindowFlags) {
    return new EditWidget(window, parent);
}

} // namespace uiimpl

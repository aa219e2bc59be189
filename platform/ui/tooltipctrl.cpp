#include "platform/ui/tooltipctrl.h"

#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QObject>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QToolTip>

#include <map>
#include <utility>

using namespace uiimpl;

namespace {

constexpr int DefaultInitialDelay = 500;

QString Wrapped(const QString& text, int width) {
    if (width <= 0) {
        return text;
    }
    const QFontMetrics metrics(QToolTip::font());
    QString result;
    QString line;
    QTextBoundaryFinder words(QTextBoundaryFinder::Line, text);
    int start = 0;
    const auto take = [&](const QString& word) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + word.trimmed()) > width) {
            result += line.trimmed() + QLatin1Char('\n');
            line.clear();
        }
        line += word;
    };
    for (int boundary = words.toNextBoundary(); boundary != -1; boundary = words.toNextBoundary()) {
        take(text.mid(start, boundary - start));
        start = boundary;
    }
    return result + line.trimmed();
}

} // namespace

class CToolTipCtrl::Watcher : public QObject {
  public:
    struct Tool {
        QRect area; // empty: the whole window
        QString text;
        QPointer<QWidget> widget;
    };

    Watcher() {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Show(); });
    }

    void Add(HWND window, UINT_PTR id, const QRect& area, const QString& text) {
        const Window* record = Lookup(window);
        if (record == nullptr || record->host == nullptr) {
            return;
        }
        QWidget* widget = record->host->InputWidget();
        widget->installEventFilter(this);
        m_tools[std::make_pair(window, id)] = Tool{area, text, widget};
    }

    void Remove(HWND window, UINT_PTR id) { m_tools.erase(std::make_pair(window, id)); }

    void SetText(HWND window, UINT_PTR id, const QString& text) {
        const auto found = m_tools.find(std::make_pair(window, id));
        if (found != m_tools.end()) {
            found->second.text = text;
        }
    }

    QString TextAt(HWND window, const QPoint& client) const {
        for (const auto& entry : m_tools) {
            if (entry.first.first == window &&
                (entry.second.area.isEmpty() || entry.second.area.contains(client))) {
                return Wrapped(entry.second.text, m_maxWidth);
            }
        }
        return QString();
    }

    bool active = true;
    int initialDelay = DefaultInitialDelay;
    int autoPop = DefaultInitialDelay * 10;
    int m_maxWidth = -1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            if (widget != m_hovered) {
                QToolTip::hideText();
            }
            m_hovered = widget;
            m_timer.start(initialDelay);
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            m_timer.stop();
            m_hovered = nullptr;
            QToolTip::hideText();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void Show() {
        QWidget* widget = m_hovered.data();
        if (!active || widget == nullptr) {
            return;
        }
        const HWND window = HandleOfWidget(widget);
        const QPoint screen = LastCursorPosition();
        const Window* record = Lookup(window);
        if (record == nullptr || !record->widget) {
            return;
        }
        const QString text = TextAt(window, record->widget->mapFromGlobal(screen));
        if (!text.isEmpty()) {
            QToolTip::showText(screen, text, widget, QRect(), autoPop);
        }
    }

    std::map<std::pair<HWND, UINT_PTR>, Tool> m_tools;
    QPointer<QWidget> m_hovered;
    QTimer m_timer;
};

CToolTipCtrl::CToolTipCtrl() : m_watcher(std::make_unique<Watcher>()) {}

CToolTipCtrl::~CToolTipCtrl() = default;

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    return CreateEx(0, L"tooltips_class32", nullptr, WS_POPUP | style, 0, 0, 0, 0,
                    parent != nullptr ? parent->m_hWnd : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* window, LPCWSTR text, LPCRECT rect, UINT_PTR id) {
    if (m_hWnd == nullptr || window == nullptr || !::IsWindow(window->m_hWnd)) {
        return FALSE;
    }
    QRect area;
    if (rect != nullptr) {
        area = QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    }
    m_watcher->Add(window->m_hWnd, id, area, QString::fromWCharArray(text != nullptr ? text : L""));
    return TRUE;
}

void CToolTipCtrl::DelTool(CWnd* window, UINT_PTR id) {
    if (window != nullptr) {
        m_watcher->Remove(window->m_hWnd, id);
    }
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, CWnd* window, UINT_PTR id) {
    if (window != nullptr) {
        m_watcher->SetText(window->m_hWnd, id, QString::fromWCharArray(text != nullptr ? text : L""));
    }
}

void CToolTipCtrl::Activate(BOOL activate) {
    m_watcher->active = activate != FALSE;
    if (!activate) {
        QToolTip::hideText();
    }
}

int CToolTipCtrl::SetMaxTipWidth(int width) {
    return std::exchange(m_watcher->m_maxWidth, width);
}

void CToolTipCtrl::SetDelayTime(UINT milliseconds) {
    SetDelayTime(TTDT_AUTOMATIC, static_cast<int>(milliseconds));
}

void CToolTipCtrl::SetDelayTime(DWORD which, int milliseconds) {
    const int delay = milliseconds < 0 ? DefaultInitialDelay : milliseconds;
    if (which == TTDT_AUTOMATIC) {
        m_watcher->initialDelay = delay;
        m_watcher->autoPop = delay * 10;
    } else if (which == TTDT_INITIAL) {
        m_watcher->initialDelay = delay;
    } else if (which == TTDT_AUTOPOP) {
        m_watcher->autoPop = delay;
    }
}

void CToolTipCtrl::RelayEvent(MSG*) {}

CString CToolTipCtrl::GetTipText(CWnd* window, POINT point) const {
    if (window == nullptr) {
        return CString();
    }
    return CString(m_watcher->TextAt(window->m_hWnd, QPoint(point.x, point.y)).toStdWString());
}

#include "platform/ui/comboboxwidget.h"

#include "platform/ui/dc.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/listbox.h"
#include "platform/ui/window.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace uiimpl {

namespace {

void ToRect(const QRect& from, RECT* to) {
    to->left = from.left();
    to->top = from.top();
    to->right = from.left() + from.width();
    to->bottom = from.top() + from.height();
}

LRESULT CopyText(const QString& text, LPWSTR buffer) {
    if (buffer == nullptr) {
        return CB_ERR;
    }
    const std::wstring wide = text.toStdWString();
    std::copy(wide.begin(), wide.end(), buffer);
    buffer[wide.size()] = L'\0';
    return static_cast<LRESULT>(wide.size());
}

class OwnerDrawDelegate final : public QStyledItemDelegate {
  public:
    explicit OwnerDrawDelegate(ComboBoxWidget* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (m_combo->OwnerDrawn()) {
            m_combo->DrawOwnerItem(painter, option, index);
        } else {
            QStyledItemDelegate::paint(painter, option, index);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_combo->ItemHeight());
        return size;
    }

  private:
    ComboBoxWidget* m_combo;
};

} // namespace

// The list

ComboListWidget::ComboListWidget(HWND handle, ComboBoxWidget* combo) : WindowHost(handle), m_combo(combo) {
    setUniformItemSizes(true);
    viewport()->setMouseTracking(true);
}

bool ComboListWidget::NativeEvent(QWidget* receiver, QEvent* event) {
    return receiver == viewport() ? QListView::viewportEvent(event) : QListView::event(event);
}

void ComboListWidget::BeforeNativePaint() {
    const HDC dc = GetDC(Handle());
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(m_combo->Handle(), WM_CTLCOLORLISTBOX,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(Handle())));
    ReleaseDC(Handle(), dc);
    QColor color;
    if (BrushColor(brush, &color) && viewport()->palette().color(QPalette::Base) != color) {
        QPalette colors = viewport()->palette();
        colors.setColor(QPalette::Base, color);
        viewport()->setPalette(colors);
    }
}

LRESULT ComboListWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    const QModelIndex item = model() != nullptr ? model()->index(index, 0) : QModelIndex();
    switch (message) {
    case LB_GETCOUNT:
        return model() != nullptr ? model()->rowCount() : 0;
    case LB_GETTEXT:
        return item.isValid() ? CopyText(item.data().toString(), reinterpret_cast<LPWSTR>(lParam)) : LB_ERR;
    case LB_GETTEXTLEN:
        return item.isValid() ? static_cast<LRESULT>(item.data().toString().toStdWString().size()) : LB_ERR;
    case LB_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!item.isValid() || rect == nullptr) {
            return LB_ERR;
        }
        ToRect(visualRect(item).translated(InputOffset()), rect);
        return 1;
    }
    case LB_GETCURSEL:
        return currentIndex().isValid() ? currentIndex().row() : LB_ERR;
    case LB_GETITEMHEIGHT:
        return m_combo->ItemHeight();
    case LB_GETTOPINDEX: {
        const QModelIndex top = indexAt(QPoint(1, 1));
        return top.isValid() ? top.row() : 0;
    }
    default:
        return NativeControlProc(window, message, wParam, lParam);
    }
}

bool ComboListWidget::event(QEvent* event) {
    return HandleEvent(this, event) || QListView::event(event);
}

bool ComboListWidget::viewportEvent(QEvent* event) {
    return HandleEvent(viewport(), event) || QListView::viewportEvent(event);
}

// The box

ComboBoxWidget::ComboBoxWidget(Window& window, QWidget* parent)
    : QComboBox(parent), WindowHost(window.handle),
      m_ownerDrawn((window.style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0),
      m_sorted((window.style & CBS_SORT) != 0) {
    setEditable(false);
    setFont(FontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
    m_itemHeight = fontMetrics().height() + 2;
    m_fieldHeight = m_itemHeight;

    Window& list = RegisterPartWindow(L"ComboLBox", nullptr, window.handle, WS_POPUP | WS_BORDER, 0,
                                      std::make_unique<CListBox>());
    auto* listWidget = new ComboListWidget(list.handle, this);
    list.widget = listWidget;
    list.host = listWidget;
    m_listHandle = list.handle;
    setView(listWidget);
    setItemDelegate(new OwnerDrawDelegate(this));
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int) { Command(CBN_SELCHANGE); });
}

bool ComboBoxWidget::NativeEvent(QWidget*, QEvent* event) {
    return QComboBox::event(event);
}

QRect ComboBoxWidget::FitGeometry(const QRect& requested) {
    const int dropped = std::max(0, requested.height() - BoxHeight());
    setMaxVisibleItems(std::max(1, dropped / std::max(1, m_itemHeight)));
    return QRect(requested.topLeft(), QSize(requested.width(), BoxHeight()));
}

void ComboBoxWidget::Command(WORD code) {
    const Window* window = Lookup(Handle());
    if (window != nullptr && window->parent != nullptr) {
        SendMessageW(window->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(window->id), code),
                     reinterpret_cast<LPARAM>(Handle()));
    }
}

void ComboBoxWidget::showPopup() {
    Command(CBN_DROPDOWN);
    if (Window* list = Lookup(m_listHandle)) {
        list->style |= WS_VISIBLE;
    }
    QComboBox::showPopup();
}

void ComboBoxWidget::hidePopup() {
    QComboBox::hidePopup();
    if (Window* list = Lookup(m_listHandle)) {
        list->style &= ~WS_VISIBLE;
    }
    Command(CBN_CLOSEUP);
}

int ComboBoxWidget::Insert(int index, const QString& text) {
    // The platform's box starts without a selection; Qt's would select its first item.
    const bool noSelection = currentIndex() < 0;
    insertItem(index, text);
    if (noSelection && currentIndex() >= 0) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(-1);
    }
    return index;
}

int ComboBoxWidget::Find(int start, const QString& text, bool exact) const {
    const int total = count();
    for (int step = 1; step <= total; ++step) {
        const int index = (start + step) % total;
        const QString candidate = itemText(index);
        const bool match = exact ? candidate.compare(text, Qt::CaseInsensitive) == 0
                                 : candidate.startsWith(text, Qt::CaseInsensitive);
        if (match) {
            return index;
        }
    }
    return CB_ERR;
}

void ComboBoxWidget::DrawOwnerItem(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
    const Window* window = Lookup(Handle());
    if (window == nullptr || window->parent == nullptr) {
        return;
    }
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_COMBOBOX;
    draw.CtlID = static_cast<UINT>(window->id);
    draw.itemID = static_cast<UINT>(index.row());
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = ((option.state & QStyle::State_Selected) ? ODS_SELECTED : 0) |
                     (view()->currentIndex() == index ? ODS_FOCUS : 0) |
                     ((option.state & QStyle::State_Enabled) ? 0 : ODS_DISABLED);
    draw.hwndItem = Handle();
    draw.itemData = static_cast<ULONG_PTR>(index.data(Qt::UserRole).toULongLong());
    ToRect(option.rect, &draw.rcItem);
    painter->save();
    draw.hDC = CreatePainterDC(painter, m_listHandle);
    SendMessageW(window->parent, WM_DRAWITEM, window->id, reinterpret_cast<LPARAM>(&draw));
    DeleteDC(draw.hDC);
    painter->restore();
}

LRESULT ComboBoxWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    const bool valid = index >= 0 && index < count();
    switch (message) {
    case CB_ADDSTRING: {
        const QString text = QString::fromWCharArray(reinterpret_cast<LPCWSTR>(lParam));
        int at = count();
        if (m_sorted) {
            at = 0;
            while (at < count() && itemText(at).compare(text, Qt::CaseInsensitive) <= 0) {
                ++at;
            }
        }
        return Insert(at, text);
    }
    case CB_INSERTSTRING: {
        if (index > count()) {
            return CB_ERR;
        }
        return Insert(index < 0 ? count() : index,
                      QString::fromWCharArray(reinterpret_cast<LPCWSTR>(lParam)));
    }
    case CB_DELETESTRING:
        if (!valid) {
            return CB_ERR;
        }
        removeItem(index);
        return count();
    case CB_RESETCONTENT:
        clear();
        return 0;
    case CB_GETCOUNT:
        return count();
    case CB_GETCURSEL:
        return currentIndex() >= 0 ? currentIndex() : CB_ERR;
    case CB_SETCURSEL:
        setCurrentIndex(valid ? index : -1);
        return valid ? index : CB_ERR;
    case CB_GETLBTEXT:
        return valid ? CopyText(itemText(index), reinterpret_cast<LPWSTR>(lParam)) : CB_ERR;
    case CB_GETLBTEXTLEN:
        return valid ? static_cast<LRESULT>(itemText(index).toStdWString().size()) : CB_ERR;
    case CB_SETITEMDATA:
        if (!valid) {
            return CB_ERR;
        }
        setItemData(index, QVariant::fromValue<qulonglong>(static_cast<ULONG_PTR>(lParam)), Qt::UserRole);
        return 0;
    case CB_GETITEMDATA:
        return valid ? static_cast<LRESULT>(itemData(index, Qt::UserRole).toULongLong()) : CB_ERR;
    case CB_SETITEMHEIGHT: {
        const int height = static_cast<int>(lParam);
        if (height <= 0 || height > 255) {
            return CB_ERR;
        }
        if (index == -1) {
            m_fieldHeight = height;
            resize(width(), BoxHeight());
        } else {
            m_itemHeight = height;
            view()->doItemsLayout();
        }
        return 0;
    }
    case CB_GETITEMHEIGHT:
        return index == -1 ? m_fieldHeight : m_itemHeight;
    case CB_SHOWDROPDOWN:
        if (wParam != 0) {
            showPopup();
        } else {
            hidePopup();
        }
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return view()->isVisible() ? TRUE : FALSE;
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING: {
        if (count() == 0 || lParam == 0) {
            return CB_ERR;
        }
        const QString text = QString::fromWCharArray(reinterpret_cast<LPCWSTR>(lParam));
        const int found = Find(index < 0 ? count() - 1 : index, text, message == CB_FINDSTRINGEXACT);
        if (message == CB_SELECTSTRING && found != CB_ERR) {
            setCurrentIndex(found);
        }
        return found;
    }
    case WM_GETTEXT:
        if (wParam == 0 || lParam == 0) {
            return 0;
        } else {
            const std::wstring text = currentText().toStdWString();
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            const size_t copied = std::min<size_t>(text.size(), wParam - 1);
            std::copy_n(text.c_str(), copied, buffer);
            buffer[copied] = L'\0';
            return static_cast<LRESULT>(copied);
        }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(currentText().toStdWString().size());
    case WM_SETTEXT:
        // A drop-down list shows only its items.
        return CB_ERR;
    case WM_SETFONT:
        setFont(FontOf(reinterpret_cast<HFONT>(wParam)));
        view()->setFont(font());
        return GenericWindowProc(window, message, wParam, lParam);
    case WM_SETFOCUS:
        Command(CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        Command(CBN_KILLFOCUS);
        return 0;
    default:
        return NativeControlProc(window, message, wParam, lParam);
    }
}

bool ComboBoxWidget::event(QEvent* event) {
    return HandleEvent(this, event) || QComboBox::event(event);
}

QWidget* CreateComboBoxWidget(Window& window, QWidget* parent, Qt::WindowFlags) {
    return new ComboBoxWidget(window, parent);
}

} // namespace uiimpl

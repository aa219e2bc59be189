#include "platform/ui/listviewwidget.h"

#include "platform/ui/dc.h"
#include "platform/ui/gdiimpl.h"
#include "platform/ui/headerctrl.h"
#include "platform/ui/keymap.h"
#include "platform/ui/window.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStyle>

#include <algorithm>
#include <cstdlib>

namespace uiimpl {

namespace {

QPoint PointOf(LPARAM lParam) {
    return QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

void ToRect(const QRect& from, RECT* to) {
    to->left = from.left();
    to->top = from.top();
    to->right = from.left() + from.width();
    to->bottom = from.top() + from.height();
}

LRESULT CopyText(const QString& text, LPWSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const std::wstring wide = text.toStdWString();
    const size_t count = std::min<size_t>(wide.size(), static_cast<size_t>(size) - 1);
    std::copy_n(wide.c_str(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<LRESULT>(count);
}

Qt::Alignment AlignmentOf(int format) {
    switch (format & HDF_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

Qt::KeyboardModifiers CurrentModifiers() {
    Qt::KeyboardModifiers modifiers;
    if (GetKeyState(static_cast<int>(VK_SHIFT)) < 0) {
        modifiers |= Qt::ShiftModifier;
    }
    if (GetKeyState(static_cast<int>(VK_CONTROL)) < 0) {
        modifiers |= Qt::ControlModifier;
    }
    return modifiers;
}

} // namespace

// Header

HeaderWidget::HeaderWidget(HWND handle, ListViewWidget* list)
    : QHeaderView(Qt::Horizontal, list), WindowHost(handle), m_list(list) {
    setStretchLastSection(false);
    setSectionsClickable(true);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    viewport()->setMouseTracking(true);
}

bool HeaderWidget::NativeEvent(QWidget* receiver, QEvent* event) {
    return receiver == viewport() ? QHeaderView::viewportEvent(event) : QHeaderView::event(event);
}

int HeaderWidget::DividerAt(int x) const {
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical)) {
            continue;
        }
        const int edge = sectionViewportPosition(logical) + sectionSize(logical);
        if (std::abs(x - edge) <= grip) {
            return logical;
        }
    }
    return -1;
}

LRESULT HeaderWidget::Notify(UINT code, int item) {
    NMHEADERW notify;
    notify.hdr.hwndFrom = Handle();
    notify.hdr.idFrom = 0;
    notify.hdr.code = code;
    notify.iItem = item;
    HDITEMW description;
    description.mask = HDI_WIDTH;
    description.cxy = sectionSize(item);
    notify.pitem = &description;
    return SendMessageW(m_list->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

LRESULT HeaderWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case HDM_GETITEMCOUNT:
        return count();
    case HDM_GETITEMRECT: {
        const int item = static_cast<int>(wParam);
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (item < 0 || item >= count() || rect == nullptr) {
            return FALSE;
        }
        ToRect(QRect(sectionViewportPosition(item), 0, sectionSize(item), height()).translated(InputOffset()),
               rect);
        return TRUE;
    }
    case HDM_GETITEMW: {
        const int item = static_cast<int>(wParam);
        auto* description = reinterpret_cast<HDITEMW*>(lParam);
        if (item < 0 || item >= count() || description == nullptr) {
            return FALSE;
        }
        if ((description->mask & HDI_TEXT) != 0) {
            CopyText(model()->headerData(item, Qt::Horizontal).toString(), description->pszText,
                     description->cchTextMax);
        }
        if ((description->mask & HDI_FORMAT) != 0) {
            description->fmt = m_list->ColumnFormat(item) | HDF_STRING;
        }
        if ((description->mask & HDI_WIDTH) != 0) {
            description->cxy = sectionSize(item);
        }
        if ((description->mask & HDI_ORDER) != 0) {
            description->iOrder = visualIndex(item);
        }
        if ((description->mask & HDI_LPARAM) != 0) {
            description->lParam = 0;
        }
        return TRUE;
    }
    case HDM_SETITEMW: {
        const int item = static_cast<int>(wParam);
        const auto* description = reinterpret_cast<const HDITEMW*>(lParam);
        if (item < 0 || item >= count() || description == nullptr) {
            return FALSE;
        }
        if ((description->mask & HDI_TEXT) != 0 && description->pszText != nullptr) {
            model()->setHeaderData(item, Qt::Horizontal, QString::fromWCharArray(description->pszText));
        }
        if ((description->mask & HDI_FORMAT) != 0) {
            m_list->SetColumnFormat(item, description->fmt & HDF_JUSTIFYMASK);
        }
        if ((description->mask & HDI_WIDTH) != 0) {
            resizeSection(item, description->cxy);
        }
        return TRUE;
    }
    case WM_LBUTTONDOWN: {
        // Resizing and reordering start only when the list's parent lets them.
        const int x = PointOf(lParam).x() - InputOffset().x();
        const int divider = DividerAt(x);
        if (divider >= 0 && sectionResizeMode(divider) == QHeaderView::Interactive) {
            if (Notify(HDN_BEGINTRACKW, divider) != 0) {
                return 0;
            }
        } else if (sectionsMovable()) {
            const int section = logicalIndexAt(x);
            if (section >= 0 && Notify(HDN_BEGINDRAG, section) != 0) {
                m_dragRefused = true;
                setSectionsMovable(false);
            }
        }
        RunNative(window, message, wParam, lParam);
        return 0;
    }
    case WM_LBUTTONUP:
        RunNative(window, message, wParam, lParam);
        if (m_dragRefused) {
            m_dragRefused = false;
            setSectionsMovable(true);
        }
        return 0;
    default:
        return NativeControlProc(window, message, wParam, lParam);
    }
}

bool HeaderWidget::event(QEvent* event) {
    return HandleEvent(this, event) || QHeaderView::event(event);
}

bool HeaderWidget::viewportEvent(QEvent* event) {
    return HandleEvent(viewport(), event) || QHeaderView::viewportEvent(event);
}

// List

ListViewWidget::ListViewWidget(Window& window, QWidget* parent)
    : QTreeView(parent), WindowHost(window.handle), m_model(new QStandardItemModel(this)),
      m_background(GetSysColor(COLOR_WINDOW)), m_textColor(GetSysColor(COLOR_WINDOWTEXT)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setIndentation(0);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode((window.style & LVS_SINGLESEL) != 0 ? QAbstractItemView::SingleSelection
                                                         : QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFont(FontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));

    Window& header = RegisterPartWindow(WC_HEADERW, window.handle, nullptr, WS_CHILD | WS_VISIBLE, 0,
                                        std::make_unique<CHeaderCtrl>());
    auto* headerWidget = new HeaderWidget(header.handle, this);
    header.widget = headerWidget;
    header.host = headerWidget;
    m_headerHandle = header.handle;
    setHeader(headerWidget);
    headerWidget->setModel(m_model);
    if ((window.style & LVS_NOCOLUMNHEADER) != 0) {
        headerWidget->hide();
        header.style &= ~WS_VISIBLE;
    }
    SetColors();
}

bool ListViewWidget::NativeEvent(QWidget* receiver, QEvent* event) {
    return receiver == viewport() ? QTreeView::viewportEvent(event) : QTreeView::event(event);
}

int ListViewWidget::ColumnFormat(int column) const {
    return column >= 0 && static_cast<size_t>(column) < m_formats.size()
               ? m_formats[static_cast<size_t>(column)]
               : 0;
}

void ListViewWidget::SetColumnFormat(int column, int format) {
    if (column < 0 || static_cast<size_t>(column) >= m_formats.size()) {
        return;
    }
    m_formats[static_cast<size_t>(column)] = format;
    m_model->setHeaderData(column, Qt::Horizontal, QVariant::fromValue(AlignmentOf(format)),
                           Qt::TextAlignmentRole);
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (QStandardItem* item = m_model->item(row, column)) {
            item->setTextAlignment(AlignmentOf(format));
        }
    }
}

void ListViewWidget::SetColors() {
    QPalette colors = palette();
    colors.setColor(QPalette::Base, ColorOf(m_background));
    colors.setColor(QPalette::Window, ColorOf(m_background));
    colors.setColor(QPalette::Text, ColorOf(m_textColor));
    colors.setColor(QPalette::Highlight, ColorOf(GetSysColor(COLOR_HIGHLIGHT)));
    colors.setColor(QPalette::HighlightedText, ColorOf(GetSysColor(COLOR_HIGHLIGHTTEXT)));
    // Owner-drawn lists set their colours while they paint; an unchanged colour must not ask for
    // another paint, or the list repaints for ever.
    if (colors == palette()) {
        return;
    }
    setPalette(colors);
    viewport()->update();
}

LRESULT ListViewWidget::Notify(NMHDR& header) {
    const Window* window = Lookup(Handle());
    if (window == nullptr) {
        return 0;
    }
    header.hwndFrom = Handle();
    header.idFrom = window->id;
    const HWND parent = (window->style & WS_CHILD) != 0 ? window->parent : window->owner;
    return SendMessageW(parent, WM_NOTIFY, window->id, reinterpret_cast<LPARAM>(&header));
}

LRESULT ListViewWidget::CustomDraw(DWORD stage) {
    NMLVCUSTOMDRAW draw;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.hdc = GetDC(Handle());
    ToRect(rect(), &draw.nmcd.rc);
    draw.clrText = m_textColor;
    draw.clrTextBk = m_textBackground;
    const LRESULT answer = Notify(draw.nmcd.hdr);
    ReleaseDC(Handle(), draw.nmcd.hdc);
    return answer;
}

void ListViewWidget::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const_cast<ListViewWidget*>(this)->DrawRow(painter, option, index);
}

void ListViewWidget::DrawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) {
    const int row = index.row();
    NMLVCUSTOMDRAW draw;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    ToRect(RowRect(row), &draw.nmcd.rc);
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.nmcd.uItemState = (ItemState(row, LVIS_SELECTED) != 0 ? CDIS_SELECTED : 0) |
                           (ItemState(row, LVIS_FOCUSED) != 0 ? CDIS_FOCUS : 0);
    draw.nmcd.lItemlParam = static_cast<LPARAM>(m_model->index(row, 0).data(Qt::UserRole).toLongLong());
    draw.clrText = m_textColor;
    draw.clrTextBk = m_textBackground;

    const auto stage = [&](DWORD drawStage) {
        draw.nmcd.dwDrawStage = drawStage;
        painter->save();
        // The notification's DC speaks client coordinates.
        painter->translate(-InputOffset());
        draw.nmcd.hdc = CreatePainterDC(painter, Handle());
        m_inCustomDraw = true;
        const LRESULT answer = Notify(draw.nmcd.hdr);
        m_inCustomDraw = false;
        DeleteDC(draw.nmcd.hdc);
        painter->restore();
        return answer;
    };

    LRESULT answer = CDRF_DODEFAULT;
    if ((m_paintAnswer & CDRF_NOTIFYITEMDRAW) != 0) {
        answer = stage(CDDS_ITEMPREPAINT);
    }
    if ((answer & CDRF_SKIPDEFAULT) == 0) {
        QStyleOptionViewItem look = option;
        // The procedure may have taken the selection away to draw the row in colours of its own.
        if (ItemState(row, LVIS_SELECTED) == 0) {
            look.state &= ~QStyle::State_Selected;
            if (draw.clrTextBk != CLR_NONE && draw.clrTextBk != CLR_DEFAULT) {
                const int left = -horizontalOffset();
                painter->fillRect(QRect(left, option.rect.top(), header()->length(), option.rect.height()),
                                  ColorOf(draw.clrTextBk));
            }
            if (draw.clrText != CLR_DEFAULT) {
                look.palette.setColor(QPalette::Text, ColorOf(draw.clrText));
            }
        }
        QTreeView::drawRow(painter, look, index);
    }
    if ((answer & CDRF_NOTIFYPOSTPAINT) != 0) {
        stage(CDDS_ITEMPOSTPAINT);
    }
}

int ListViewWidget::RowHeight() const {
    if (m_model->rowCount() > 0) {
        const int height = rowHeight(m_model->index(0, 0));
        if (height > 0) {
            return height;
        }
    }
    return fontMetrics().height() + 4;
}

QRect ListViewWidget::RowRect(int row) const {
    const QRect cell = visualRect(m_model->index(row, 0));
    return QRect(-horizontalOffset(), cell.top(), header()->length(), cell.height())
        .translated(viewport()->mapTo(this, QPoint(0, 0)));
}

UINT ListViewWidget::ItemState(int row, UINT mask) const {
    UINT state = 0;
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid()) {
        return 0;
    }
    if ((mask & LVIS_SELECTED) != 0 && selectionModel()->isSelected(index)) {
        state |= LVIS_SELECTED;
    }
    if ((mask & LVIS_FOCUSED) != 0 && currentIndex().row() == row) {
        state |= LVIS_FOCUSED;
    }
    return state;
}

void ListViewWidget::SetItemState(int row, UINT state, UINT mask) {
    // Changes made while a row is being drawn must not ask for another painting.
    const QSignalBlocker quiet(m_inCustomDraw ? selectionModel() : nullptr);
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? m_model->rowCount() - 1 : row;
    for (int current = first; current <= last; ++current) {
        const QModelIndex index = m_model->index(current, 0);
        if (!index.isValid()) {
            continue;
        }
        if ((mask & LVIS_SELECTED) != 0) {
            selectionModel()->select(index, ((state & LVIS_SELECTED) != 0 ? QItemSelectionModel::Select
                                                                          : QItemSelectionModel::Deselect) |
                                                QItemSelectionModel::Rows);
        }
        if ((mask & LVIS_FOCUSED) != 0 && (state & LVIS_FOCUSED) != 0) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        }
    }
}

void ListViewWidget::Scroll(int dx, int dy) {
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    const int height = RowHeight();
    const int rows = (dy + (dy < 0 ? -height / 2 : height / 2)) / height;
    verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
}

void ListViewWidget::ScrollBy(QAbstractSlider* bar, UINT code, int position) {
    switch (code) {
    case SB_LINEUP:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case SB_LINEDOWN:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case SB_PAGEUP:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case SB_PAGEDOWN:
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        bar->setValue(position);
        break;
    case SB_TOP:
        bar->setValue(bar->minimum());
        break;
    case SB_BOTTOM:
        bar->setValue(bar->maximum());
        break;
    default:
        break;
    }
}

LRESULT ListViewWidget::InsertItem(const LVITEMW& item) {
    const int row = std::clamp(item.iItem, 0, m_model->rowCount());
    QList<QStandardItem*> cells;
    for (int column = 0; column < std::max(1, m_model->columnCount()); ++column) {
        auto* cell = new QStandardItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setTextAlignment(AlignmentOf(ColumnFormat(column)));
        cells.append(cell);
    }
    m_model->insertRow(row, cells);
    LVITEMW rest = item;
    rest.iItem = row;
    rest.iSubItem = 0;
    SetItem(rest);
    return row;
}

BOOL ListViewWidget::SetItem(const LVITEMW& item) {
    QStandardItem* cell = m_model->item(item.iItem, item.iSubItem);
    if (cell == nullptr) {
        return FALSE;
    }
    if ((item.mask & LVIF_TEXT) != 0) {
        cell->setText(item.pszText != nullptr ? QString::fromWCharArray(item.pszText) : QString());
    }
    if ((item.mask & LVIF_PARAM) != 0 && item.iSubItem == 0) {
        cell->setData(QVariant::fromValue<qlonglong>(item.lParam), Qt::UserRole);
    }
    if ((item.mask & LVIF_STATE) != 0) {
        SetItemState(item.iItem, item.state, item.stateMask);
    }
    return TRUE;
}

BOOL ListViewWidget::GetItem(LVITEMW& item) const {
    const QStandardItem* cell = m_model->item(item.iItem, item.iSubItem);
    if (cell == nullptr) {
        return FALSE;
    }
    if ((item.mask & LVIF_TEXT) != 0) {
        CopyText(cell->text(), item.pszText, item.cchTextMax);
    }
    if ((item.mask & LVIF_PARAM) != 0) {
        item.lParam = static_cast<LPARAM>(m_model->index(item.iItem, 0).data(Qt::UserRole).toLongLong());
    }
    if ((item.mask & LVIF_STATE) != 0) {
        item.state = ItemState(item.iItem, item.stateMask);
    }
    return TRUE;
}

LRESULT ListViewWidget::ClassProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
    case LVM_GETBKCOLOR:
        return static_cast<LRESULT>(m_background);
    case LVM_SETBKCOLOR:
        m_background = static_cast<COLORREF>(lParam);
        SetColors();
        return TRUE;
    case LVM_GETTEXTCOLOR:
        return static_cast<LRESULT>(m_textColor);
    case LVM_SETTEXTCOLOR:
        m_textColor = static_cast<COLORREF>(lParam);
        SetColors();
        return TRUE;
    case LVM_GETTEXTBKCOLOR:
        return static_cast<LRESULT>(m_textBackground);
    case LVM_SETTEXTBKCOLOR:
        m_textBackground = static_cast<COLORREF>(lParam);
        viewport()->update();
        return TRUE;
    case LVM_GETITEMCOUNT:
        return m_model->rowCount();
    case LVM_INSERTCOLUMNW: {
        const auto* column = reinterpret_cast<const LVCOLUMNW*>(lParam);
        if (column == nullptr) {
            return -1;
        }
        const int at = std::clamp(index, 0, m_model->columnCount());
        m_model->insertColumn(at);
        m_formats.insert(m_formats.begin() + at, 0);
        for (int row = 0; row < m_model->rowCount(); ++row) {
            auto* cell = new QStandardItem;
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_model->setItem(row, at, cell);
        }
        if ((column->mask & LVCF_TEXT) != 0 && column->pszText != nullptr) {
            m_model->setHeaderData(at, Qt::Horizontal, QString::fromWCharArray(column->pszText));
        }
        SetColumnFormat(at, (column->mask & LVCF_FMT) != 0 ? column->fmt & HDF_JUSTIFYMASK : LVCFMT_LEFT);
        if ((column->mask & LVCF_WIDTH) != 0 && column->cx >= 0) {
            header()->resizeSection(at, column->cx);
        }
        return at;
    }
    case LVM_DELETECOLUMN:
        if (index < 0 || index >= m_model->columnCount()) {
            return FALSE;
        }
        m_model->removeColumn(index);
        m_formats.erase(m_formats.begin() + index);
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < m_model->columnCount() ? header()->sectionSize(index) : 0;
    case LVM_SETCOLUMNWIDTH:
        if (index < 0 || index >= m_model->columnCount()) {
            return FALSE;
        }
        header()->resizeSection(index,
                                static_cast<int>(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)))));
        return TRUE;
    case LVM_INSERTITEMW: {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        return item != nullptr ? InsertItem(*item) : -1;
    }
    case LVM_SETITEMW: {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        return item != nullptr ? SetItem(*item) : FALSE;
    }
    case LVM_GETITEMW: {
        auto* item = reinterpret_cast<LVITEMW*>(lParam);
        return item != nullptr ? GetItem(*item) : FALSE;
    }
    case LVM_SETITEMTEXTW: {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (item == nullptr) {
            return FALSE;
        }
        LVITEMW text = *item;
        text.mask = LVIF_TEXT;
        text.iItem = index;
        return SetItem(text);
    }
    case LVM_GETITEMTEXTW: {
        auto* item = reinterpret_cast<LVITEMW*>(lParam);
        const QStandardItem* cell = item != nullptr ? m_model->item(index, item->iSubItem) : nullptr;
        return cell != nullptr ? CopyText(cell->text(), item->pszText, item->cchTextMax) : 0;
    }
    case LVM_DELETEITEM:
        return index >= 0 && index < m_model->rowCount() && m_model->removeRow(index) ? TRUE : FALSE;
    case LVM_DELETEALLITEMS:
        m_model->removeRows(0, m_model->rowCount());
        return TRUE;
    case LVM_GETITEMSTATE:
        return static_cast<LRESULT>(ItemState(index, static_cast<UINT>(lParam)));
    case LVM_SETITEMSTATE: {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (item == nullptr || index >= m_model->rowCount()) {
            return FALSE;
        }
        SetItemState(index, item->state, item->stateMask);
        return TRUE;
    }
    case LVM_GETSELECTEDCOUNT:
        return static_cast<LRESULT>(selectionModel()->selectedRows().size());
    case LVM_GETNEXTITEM: {
        const UINT flags = LOWORD(static_cast<DWORD_PTR>(lParam));
        for (int row = index + 1; row < m_model->rowCount(); ++row) {
            const UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
            if (ItemState(row, wanted) == wanted) {
                return row;
            }
        }
        return -1;
    }
    case LVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (rect == nullptr || index < 0 || index >= m_model->rowCount()) {
            return FALSE;
        }
        QRect area = RowRect(index);
        if (rect->left == LVIR_LABEL || rect->left == LVIR_ICON) {
            const QRect cell = visualRect(m_model->index(index, 0)).translated(InputOffset());
            area = QRect(cell.left(), area.top(), cell.width(), area.height());
        }
        ToRect(area, rect);
        return TRUE;
    }
    case LVM_HITTEST: {
        auto* test = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (test == nullptr) {
            return -1;
        }
        const QPoint point = QPoint(test->pt.x, test->pt.y) - InputOffset();
        const QModelIndex hit = indexAt(point);
        test->iItem = hit.isValid() ? hit.row() : -1;
        test->iSubItem = hit.isValid() ? hit.column() : 0;
        test->flags = hit.isValid() ? LVHT_ONITEMLABEL : (point.y() < 0 ? LVHT_ABOVE : LVHT_NOWHERE);
        return test->iItem;
    }
    case LVM_ENSUREVISIBLE:
        if (index < 0 || index >= m_model->rowCount()) {
            return FALSE;
        }
        scrollTo(m_model->index(index, 0), QAbstractItemView::EnsureVisible);
        return TRUE;
    case LVM_SCROLL:
        Scroll(static_cast<int>(wParam), static_cast<int>(lParam));
        return TRUE;
    case LVM_GETTOPINDEX:
        return verticalScrollBar()->value();
    case LVM_GETCOUNTPERPAGE:
        return viewport()->height() / RowHeight();
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(m_headerHandle);
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return static_cast<LRESULT>(m_extendedStyle);
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD previous = m_extendedStyle;
        const DWORD mask = wParam != 0 ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
        m_extendedStyle = (m_extendedStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
        header()->setSectionsMovable((m_extendedStyle & LVS_EX_HEADERDRAGDROP) != 0);
        return static_cast<LRESULT>(previous);
    }
    case WM_SETFONT: {
        const QFont font = FontOf(reinterpret_cast<HFONT>(wParam));
        setFont(font);
        header()->setFont(font);
        return GenericWindowProc(window, message, wParam, lParam);
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        ScrollBy(message == WM_VSCROLL ? static_cast<QAbstractSlider*>(verticalScrollBar())
                                       : static_cast<QAbstractSlider*>(horizontalScrollBar()),
                 LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_NOTIFY: {
        // The header's notifications go on to the list's parent.
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->hwndFrom == m_headerHandle) {
            const HWND parent = (window.style & WS_CHILD) != 0 ? window.parent : window.owner;
            return SendMessageW(parent, WM_NOTIFY, wParam, lParam);
        }
        return 0;
    }
    case WM_PAINT:
        if (wParam != 0) {
            return PaintInto(reinterpret_cast<HDC>(wParam)) ? 0 : 1;
        }
        if (window.nativePaint != nullptr && !window.nativePaint->validated) {
            window.nativePaint->validated = true;
            m_paintAnswer = CustomDraw(CDDS_PREPAINT);
            RunNative(window, message, wParam, lParam);
            if ((m_paintAnswer & CDRF_NOTIFYPOSTPAINT) != 0) {
                CustomDraw(CDDS_POSTPAINT);
            }
            return 0;
        }
        return GenericWindowProc(window, message, wParam, lParam);
    case WM_LBUTTONDBLCLK: {
        RunNative(window, message, wParam, lParam);
        NMITEMACTIVATE activate;
        activate.hdr.code = NM_DBLCLK;
        const QPoint point = PointOf(lParam);
        const QModelIndex hit = indexAt(point - InputOffset());
        activate.iItem = hit.isValid() ? hit.row() : -1;
        activate.iSubItem = hit.isValid() ? hit.column() : 0;
        activate.ptAction.x = point.x();
        activate.ptAction.y = point.y();
        Notify(activate.hdr);
        return 0;
    }
    case WM_KEYDOWN:
        if (RunNative(window, message, wParam, lParam)) {
            return 0;
        } else {
            const int key = QtKeyFromVirtual(static_cast<UINT>(wParam));
            if (key != Qt::Key_unknown) {
                QKeyEvent press(QEvent::KeyPress, key, CurrentModifiers());
                QTreeView::event(&press);
            }
            return 0;
        }
    case WM_MOUSEWHEEL:
        if (RunNative(window, message, wParam, lParam)) {
            return 0;
        }
        verticalScrollBar()->setValue(verticalScrollBar()->value() -
                                      GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
        return 0;
    default:
        return NativeControlProc(window, message, wParam, lParam);
    }
}

bool ListViewWidget::GetScrollInfo(int bar, SCROLLINFO& info) {
    const QScrollBar* scroll = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    if (bar != SB_VERT && bar != SB_HORZ) {
        return false;
    }
    // The platform's maximum counts the last page; Qt's is the last position.
    info.nMin = scroll->minimum();
    info.nPage = static_cast<UINT>(std::max(0, scroll->pageStep()));
    info.nMax = scroll->maximum() + std::max(0, scroll->pageStep() - 1);
    info.nPos = scroll->value();
    info.nTrackPos = scroll->sliderPosition();
    return true;
}

bool ListViewWidget::EnableScrollBar(int bar, UINT arrows) {
    const Qt::ScrollBarPolicy policy =
        arrows == ESB_DISABLE_BOTH ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    if (bar == SB_HORZ || bar == SB_BOTH) {
        setHorizontalScrollBarPolicy(policy);
    }
    if (bar == SB_VERT || bar == SB_BOTH) {
        setVerticalScrollBarPolicy(policy);
    }
    return bar == SB_HORZ || bar == SB_VERT || bar == SB_BOTH;
}

bool ListViewWidget::PaintInto(HDC dc) {
    // Qt lays rows out when it comes to paint; this painting may come first.
    executeDelayedItemsLayout();
    m_paintAnswer = CustomDraw(CDDS_PREPAINT);
    const bool painted = PaintOnDC(dc, [this](QPainter& painter) {
        const QPoint offset = InputOffset();
        painter.fillRect(QRect(offset, viewport()->size()), ColorOf(m_background));
        painter.translate(offset);
        drawTree(&painter, QRegion(viewport()->rect()));
    });
    if ((m_paintAnswer & CDRF_NOTIFYPOSTPAINT) != 0) {
        CustomDraw(CDDS_POSTPAINT);
    }
    return painted;
}

bool ListViewWidget::event(QEvent* event) {
    return HandleEvent(this, event) || QTreeView::event(event);
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    return HandleEvent(viewport(), event) || QTreeView::viewportEvent(event);
}

QWidget* CreateListViewWidget(Window& window, QWidget* parent, Qt::WindowFlags) {
    return new ListViewWidget(window, parent);
}

} // namespace uiimpl

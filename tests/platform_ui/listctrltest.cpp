// The report list view and its header.

#include "uitest.h"

#include "platform/ui/dc.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/qtaccess.h"

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF Dark = RGB(0x17, 0x17, 0x17);
constexpr COLORREF RowGreen = RGB(0, 200, 0);

// A panel that answers its list's notifications the way the program's panels do.
class ListParent : public TestWindow {
  public:
    std::vector<DWORD> stages;
    std::vector<int> doubleClicked;
    int greenRow = -1;
    bool unselectWhileDrawing = false;
    bool refuseTracking = false;
    bool recolourWhileDrawing = false;

  protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_CUSTOMDRAW) {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
            stages.push_back(draw->nmcd.dwDrawStage);
            const int row = static_cast<int>(draw->nmcd.dwItemSpec);
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
                if (recolourWhileDrawing) {
                    SendMessageW(header->hwndFrom, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(Dark));
                }
                *result = CDRF_NOTIFYITEMDRAW;
            } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                if (row == greenRow) {
                    draw->clrTextBk = RowGreen;
                    draw->clrText = RGB(255, 255, 255);
                }
                if (unselectWhileDrawing && (draw->nmcd.uItemState & CDIS_SELECTED) != 0) {
                    ListView_SetItemState(header->hwndFrom, row, 0, LVIS_SELECTED);
                    draw->clrTextBk = RGB(0xF2, 0xBB, 0x30);
                }
                *result = CDRF_NOTIFYPOSTPAINT;
            } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
                if (unselectWhileDrawing && (draw->nmcd.uItemState & CDIS_SELECTED) != 0) {
                    ListView_SetItemState(header->hwndFrom, row, LVIS_SELECTED, LVIS_SELECTED);
                }
                *result = 0;
            }
            return TRUE;
        }
        if (header->code == NM_DBLCLK) {
            doubleClicked.push_back(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
            *result = 0;
            return TRUE;
        }
        if (header->code == HDN_BEGINTRACKW) {
            *result = refuseTracking ? 1 : 0;
            return TRUE;
        }
        return TestWindow::OnNotify(wParam, lParam, result);
    }

  private:
    static void ListView_SetItemState(HWND list, int row, UINT state, UINT mask) {
        LVITEMW item;
        item.state = state;
        item.stateMask = mask;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
};

class ListTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 400, 300)));
        ASSERT_TRUE(
            list.Create(WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 10, 310, 210), &parent, 1066));
        list.SetBkColor(Dark);
        list.SetTextColor(RGB(0x8B, 0x8B, 0x8B));
        EXPECT_EQ(list.InsertColumn(0, L"", LVCFMT_LEFT, 0), 0);
        EXPECT_EQ(list.InsertColumn(1, L"Date", LVCFMT_CENTER, 120), 1);
        EXPECT_EQ(list.InsertColumn(2, L"Type", LVCFMT_RIGHT, 100), 2);
        for (int row = 0; row < 30; ++row) {
            const int at = list.InsertItem(row, L"3");
            list.SetItemText(at, 1, (L"2024-01-" + std::to_wstring(row)).c_str());
            list.SetItemText(at, 2, L"Event");
            list.SetItemData(at, static_cast<DWORD_PTR>(1000 + row));
        }
    }

    int RowHeight() {
        CRect row;
        list.GetItemRect(0, &row, LVIR_BOUNDS);
        return row.Height();
    }

    ListParent parent;
    CListCtrl list;
};

TEST_F(ListTest, ItemsColumnsAndSelection) {
    EXPECT_EQ(list.GetItemCount(), 30);
    EXPECT_EQ(std::wstring(list.GetItemText(4, 1)), L"2024-01-4");
    EXPECT_EQ(list.GetItemData(4), 1004u);
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(std::wstring(list.GetItemText(0, 1)), L"2024-01-1");

    EXPECT_EQ(list.GetSelectedCount(), 0u);
    list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetItemState(3, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), 5);
    EXPECT_EQ(list.GetNextItem(5, LVNI_SELECTED), -1);
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 29u);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListTest, HeaderIsTheChildWithIdZeroAboveTheRows) {
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(list.GetDlgItem(0), header);
    EXPECT_EQ(header->GetItemCount(), 3);
    wchar_t text[32];
    HDITEMW item;
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = 32;
    ASSERT_TRUE(header->GetItem(2, &item));
    EXPECT_EQ(std::wstring(text), L"Type");
    EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
    EXPECT_EQ(item.iOrder, 2);
    EXPECT_EQ(item.cxy, 100);
    CRect second;
    ASSERT_TRUE(header->GetItemRect(1, &second));
    EXPECT_EQ(second.left, 0);
    EXPECT_EQ(second.Width(), 120);

    CRect headerRect;
    header->GetWindowRect(&headerRect);
    list.ScreenToClient(&headerRect);
    EXPECT_EQ(headerRect.top, 0);
    CRect firstRow;
    ASSERT_TRUE(list.GetItemRect(0, &firstRow, LVIR_BOUNDS));
    EXPECT_EQ(firstRow.top, headerRect.bottom);
    EXPECT_GT(firstRow.Height(), 0);
    EXPECT_EQ(firstRow.Width(), 220);
    UINT flags = 0;
    EXPECT_EQ(list.HitTest(CPoint(50, firstRow.top + firstRow.Height() * 2 + 1), &flags), 2);
    EXPECT_EQ(flags, LVHT_ONITEMLABEL);
    EXPECT_EQ(list.HitTest(CPoint(50, 5), &flags), -1);
}

TEST_F(ListTest, ParentDecidesWhetherColumnsMayBeResized) {
    CHeaderCtrl* header = list.GetHeaderCtrl();
    CRect column;
    header->GetItemRect(1, &column);
    const QPoint divider(column.right, column.Height() / 2);
    const auto drag = [&] {
        SendMouse(header->m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, divider, Qt::LeftButton);
        SendMouse(header->m_hWnd, QEvent::MouseMove, Qt::NoButton, divider + QPoint(40, 0), Qt::LeftButton);
        SendMouse(header->m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, divider + QPoint(40, 0),
                  Qt::NoButton);
    };
    parent.refuseTracking = true;
    drag();
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    parent.refuseTracking = false;
    drag();
    EXPECT_EQ(list.GetColumnWidth(1), 160);
}

TEST_F(ListTest, ScrollingByRowsAndByScrollRequests) {
    const int page = list.GetCountPerPage();
    ASSERT_GT(page, 0);
    ASSERT_LT(page, 30);
    EXPECT_EQ(list.GetScrollLimit(SB_VERT), 30 - page);
    EXPECT_EQ(list.GetTopIndex(), 0);
    list.Scroll(CSize(0, RowHeight() * 5));
    EXPECT_EQ(list.GetTopIndex(), 5);
    EXPECT_EQ(list.GetScrollPos(SB_VERT), 5);
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(list.GetTopIndex(), 6);
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(list.GetTopIndex(), 30 - page);
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
    EXPECT_EQ(list.GetTopIndex(), 2);
    // A key sent to the list moves its focus row as typing would.
    list.SetItemState(0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    list.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
}

TEST_F(ListTest, CustomDrawColoursRowsAndSelectionRemovedWhileDrawingStays) {
    parent.greenRow = 1;
    parent.unselectWhileDrawing = true;
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    Pump();
    parent.stages.clear();
    const QImage picture = WidgetFromHandle(list.m_hWnd)->grab().toImage();
    ASSERT_FALSE(parent.stages.empty());
    EXPECT_EQ(parent.stages.front(), CDDS_PREPAINT);
    EXPECT_EQ(std::count(parent.stages.begin(), parent.stages.end(), CDDS_ITEMPREPAINT),
              std::count(parent.stages.begin(), parent.stages.end(), CDDS_ITEMPOSTPAINT));

    CRect row1;
    CRect row2;
    list.GetItemRect(1, &row1, LVIR_BOUNDS);
    list.GetItemRect(2, &row2, LVIR_BOUNDS);
    EXPECT_EQ(picture.pixel(row1.left + 200, row1.top + 1), qRgb(0, 200, 0));
    // The selected row shows the parent's colours, not the list's own selection.
    EXPECT_EQ(picture.pixel(row2.left + 200, row2.top + 1), qRgb(0xF2, 0xBB, 0x30));
    // Below the rows the list's background.
    EXPECT_EQ(picture.pixel(5, picture.height() - 2), qRgb(0x17, 0x17, 0x17));
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
    // Taking the selection away while drawing asked for no further painting.
    parent.stages.clear();
    Pump(30);
    EXPECT_TRUE(parent.stages.empty());
}

TEST_F(ListTest, SettingTheSameColourWhileDrawingLetsTheListRest) {
    const auto paints = [&] { return std::count(parent.stages.begin(), parent.stages.end(), CDDS_PREPAINT); };
    parent.recolourWhileDrawing = true;
    list.Invalidate();
    ASSERT_TRUE(WaitFor([&] { return paints() > 0; }));
    // A paint that asked for another would paint again at every turn of the event loop.
    parent.stages.clear();
    for (int turn = 0; turn < 20; ++turn) {
        QCoreApplication::processEvents();
    }
    EXPECT_LE(paints(), 2);
    parent.stages.clear();
    list.SetBkColor(RGB(0x20, 0x20, 0x20));
    EXPECT_TRUE(WaitFor([&] { return paints() > 0; })) << "a new colour repaints";
}

TEST_F(ListTest, DefaultPaintingGoesIntoAGivenDC) {
    parent.greenRow = 0;
    CClientDC screen(&parent);
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    CRect client;
    list.GetClientRect(&client);
    bitmap.CreateCompatibleBitmap(&screen, client.Width(), client.Height());
    CBitmap* previous = memory.SelectObject(&bitmap);
    memory.FillSolidRect(&client, RGB(255, 0, 255));
    list.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(memory.m_hDC), 0);
    CRect row0;
    list.GetItemRect(0, &row0, LVIR_BOUNDS);
    EXPECT_EQ(memory.GetPixel(200, row0.top + 1), RowGreen);
    EXPECT_EQ(memory.GetPixel(5, client.bottom - 2), Dark);
    memory.SelectObject(previous);
}

TEST_F(ListTest, DoubleClickOnARowNotifiesTheParent) {
    CRect row;
    list.GetItemRect(3, &row, LVIR_BOUNDS);
    const QPoint point(100, row.top + 2);
    Click(list.m_hWnd, point, 1000);
    Click(list.m_hWnd, point, 1100);
    EXPECT_EQ(parent.doubleClicked, std::vector<int>{3});
    EXPECT_EQ(list.GetItemState(3, LVIS_SELECTED), LVIS_SELECTED);
}

} // namespace

namespace {

// Paints the whole header itself, as the skinned header does, and counts its clicks.
class PaintedHeader : public CHeaderCtrl {
  public:
    int paints = 0;
    int presses = 0;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) {
            ++paints;
            CPaintDC dc(this);
            CRect client;
            GetClientRect(&client);
            dc.FillSolidRect(&client, RGB(200, 0, 0));
            return 0;
        }
        if (message == WM_LBUTTONDOWN) {
            ++presses;
        }
        return CHeaderCtrl::WindowProc(message, wParam, lParam);
    }
};

TEST_F(ListTest, SubclassedHeaderPaintsItselfAndGetsItsClicks) {
    PaintedHeader header;
    ASSERT_TRUE(header.SubclassWindow(list.GetHeaderCtrl()->m_hWnd));
    EXPECT_EQ(list.GetHeaderCtrl(), &header);
    const QImage picture = WidgetFromHandle(list.m_hWnd)->grab().toImage();
    EXPECT_GT(header.paints, 0);
    CRect headerRect;
    header.GetClientRect(&headerRect);
    EXPECT_EQ(picture.pixel(headerRect.Width() - 5, headerRect.Height() / 2), qRgb(200, 0, 0));
    Click(header.m_hWnd, QPoint(30, 3));
    EXPECT_EQ(header.presses, 1);
    const HWND handle = header.m_hWnd;
    EXPECT_EQ(header.UnsubclassWindow(), handle);
    EXPECT_NE(list.GetHeaderCtrl(), &header);
    EXPECT_EQ(list.GetHeaderCtrl()->m_hWnd, handle);
}

TEST_F(ListTest, DrawingOnAControlOutsideItsPaintingShowsUntilItPaintsAgain) {
    Pump();
    CDC* dc = list.GetDC();
    ASSERT_NE(dc, nullptr);
    CRect row0;
    list.GetItemRect(0, &row0, LVIR_BOUNDS);
    dc->FillSolidRect(0, row0.top, 40, 5, RGB(0, 0, 255));
    list.ReleaseDC(dc);
    // The next painting shows it over the rows; later paintings of that part do not.
    QImage picture = WidgetFromHandle(list.m_hWnd)->grab().toImage();
    EXPECT_EQ(picture.pixel(10, row0.top + 2), qRgb(0, 0, 255));
    EXPECT_NE(picture.pixel(60, row0.top + 2), qRgb(0, 0, 255));
    list.Invalidate();
    Pump();
    picture = WidgetFromHandle(list.m_hWnd)->grab().toImage();
    EXPECT_NE(picture.pixel(10, row0.top + 2), qRgb(0, 0, 255));
}

} // namespace

#include "platform/ui/qtaccess.h"
#include "skintest.h"
#include "support/testfolder.h"
#include "uitest.h"
#include "viewer/app/globals.h"
#include "viewer/skin/skinlistctrl.h"
#include "viewer/skin/staticex.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// Stands in for the main view: records what the controls send it.
class ViewStandIn : public TestWindow {
  public:
    std::vector<std::pair<UINT, std::wstring>> opened;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_OPEN_FOLDER || message == WM_OPEN_FILE) {
            opened.emplace_back(message, reinterpret_cast<const wchar_t*>(lParam));
        }
        return TestWindow::WindowProc(message, wParam, lParam);
    }
};

class ViewFixture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(top.CreateTop(CRect(100, 100, 500, 400)));
        ASSERT_TRUE(view.CreateTop(CRect(0, 0, 10, 10), WS_POPUP));
        ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(top.m_hWnd)->isVisible(); }));
        g_hViewWnd = view.m_hWnd;
    }
    void TearDown() override { g_hViewWnd = nullptr; }

    BitmapStore store;
    TestWindow top;
    ViewStandIn view;
    TestFolder folder;
};

class SkinListTest : public ViewFixture {
  protected:
    void SetUp() override {
        ViewFixture::SetUp();
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                CRect(10, 10, 210, 160), &top, 3));
        list.InsertColumn(0, L"Name", LVCFMT_LEFT, 180);
        for (int i = 0; i < 4; ++i) {
            list.InsertItem(i, (L"row " + std::to_wstring(i)).c_str());
        }
        list.InitSkinScrollBars(&playingRow);
        HBITMAP images[13];
        const CSize sizes[13] = {{6, 20}, {4, 20}, {2, 20}, {12, 10}, {12, 10}, {20, 10}, {4, 10},
                                 {16, 6}, {16, 6}, {8, 12}, {8, 12},  {8, 4},   {8, 20}};
        for (int i = 0; i < 13; ++i) {
            images[i] = store.Keep(MakeSolidBitmap(sizes[i].cx, sizes[i].cy, RGB(10 * i, 60, 90)));
        }
        list.SetBitmaps(images);
    }

    QRgb RowPixel(int row) {
        CRect rect;
        list.GetItemRect(row, &rect, LVIR_BOUNDS);
        return WindowPicture(list.m_hWnd).pixel(rect.left + 150, rect.CenterPoint().y);
    }

    int playingRow = -1;
    CSkinListCtrl list;
};

TEST(SkinListColoursTest, SelectedWinsOverPlaying) {
    CSkinListCtrl list;
    CSkinListCtrl::RowColors colors{};
    ASSERT_TRUE(list.ChooseRowColors(true, true, colors));
    EXPECT_EQ(colors.text, 0x000000u);
    EXPECT_EQ(colors.background, 0x30BBF2u);
    ASSERT_TRUE(list.ChooseRowColors(false, true, colors));
    EXPECT_EQ(colors.text, 0x8B8B8Bu);
    EXPECT_EQ(colors.background, 0x242424u);
    EXPECT_FALSE(list.ChooseRowColors(false, false, colors));
}

TEST_F(SkinListTest, PlayingAndSelectedRowsDrawInTheirColours) {
    playingRow = 1;
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    playingRow = 1;
    list.Invalidate();
    list.UpdateWindow();
    Pump();
    EXPECT_NE(RowPixel(0), qRgb(0x24, 0x24, 0x24)) << "other rows keep the list's own colours";
    EXPECT_EQ(RowPixel(1), qRgb(0x24, 0x24, 0x24));
    EXPECT_EQ(RowPixel(2), qRgb(0xF2, 0xBB, 0x30));
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED) << "the selection is given back";
    EXPECT_EQ(list.GetSelectedCount(), 2u);
}

TEST_F(SkinListTest, BarsSitBesideTheListAndACannotScrollListRestsItsThumb) {
    CRect listRect;
    list.GetWindowRect(&listRect);
    top.ScreenToClient(&listRect);
    EXPECT_EQ(listRect, CRect(10, 10, 194, 148)) << "less the top cap's width and the left arrow's width";
    CRect barRect;
    list.VerticalBar().GetWindowRect(&barRect);
    top.ScreenToClient(&barRect);
    EXPECT_EQ(barRect, CRect(194, 10, 202, 158));
    EXPECT_FALSE(list.HorizontalBar().IsWindowVisible());
    // Four rows fit: nothing to scroll, and the thumb stays below the cap and arrow.
    list.VerticalBar().UpdateThumbPosition();
    EXPECT_EQ(list.VerticalBar().GetThumbTop(), 6 + 12);
    EXPECT_EQ(CSkinVerticalScrollbar::PixelsPerUnit(148, 6 + 12 + 12 + 6 + 20, 0), 0.0);
    EXPECT_EQ(CSkinHorizontalScrollbar::PixelsPerUnit(100, 12, 20, 12, 0), 0.0);
    EXPECT_EQ(CSkinHorizontalScrollbar::PixelsPerUnit(100, 50, 20, 50, 10), 0.0) << "no room for the thumb";
    EXPECT_EQ(CSkinHorizontalScrollbar::PixelsPerUnit(100, 12, 20, 12, 14), 4.0);
    EXPECT_EQ(CSkinHorizontalScrollbar::LimitThumb(90, 100, 12, 20, 12), 68);
    EXPECT_EQ(CSkinHorizontalScrollbar::LimitThumb(3, 100, 12, 20, 12), 12);
}

TEST_F(SkinListTest, VerticalBarScrollsTheList) {
    for (int i = 4; i < 40; ++i) {
        list.InsertItem(i, (L"row " + std::to_wstring(i)).c_str());
    }
    Pump();
    ASSERT_GT(list.GetScrollLimit(SB_VERT), 0);
    CRect bar;
    list.VerticalBar().GetClientRect(&bar);
    // A click on the down arrow scrolls a line on release.
    Click(list.VerticalBar().m_hWnd, QPoint(2, bar.Height() - 6 - 3), 1000);
    EXPECT_EQ(list.GetTopIndex(), 1);
    const int thumbTop = list.VerticalBar().GetThumbTop();
    EXPECT_GT(thumbTop, 18);
    // A page on the track below the thumb.
    Click(list.VerticalBar().m_hWnd, QPoint(2, bar.Height() - 30), 5000);
    EXPECT_GT(list.GetTopIndex(), 2);
}

TEST_F(SkinListTest, AHeldArrowRepeatsOnItsTimers) {
    for (int i = 4; i < 40; ++i) {
        list.InsertItem(i, (L"row " + std::to_wstring(i)).c_str());
    }
    Pump();
    CRect bar;
    list.VerticalBar().GetClientRect(&bar);
    const QPoint downArrow(2, bar.Height() - 6 - 3);
    SendMouse(list.VerticalBar().m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, downArrow, Qt::LeftButton);
    // The 250 ms hold timer hands over to the 50 ms repeat; each repeat is a line.
    list.VerticalBar().SendMessage(WM_TIMER, 2, 0);
    EXPECT_EQ(list.GetTopIndex(), 0) << "the hold itself scrolls nothing";
    list.VerticalBar().SendMessage(WM_TIMER, 1, 0);
    list.VerticalBar().SendMessage(WM_TIMER, 1, 0);
    EXPECT_EQ(list.GetTopIndex(), 2);
    SendMouse(list.VerticalBar().m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, downArrow, Qt::NoButton);
    EXPECT_EQ(list.GetTopIndex(), 3) << "and one more on release over the arrow";
    list.VerticalBar().SendMessage(WM_TIMER, 1, 0);
    EXPECT_EQ(list.GetTopIndex(), 3) << "released: no more repeats";
}

TEST_F(SkinListTest, HeaderClicksPostToTheViewAndColumnsStayPut) {
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    SendMouse(header->m_hWnd, QEvent::MouseButtonPress, Qt::RightButton, QPoint(30, 5), Qt::RightButton);
    SendMouse(header->m_hWnd, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(30, 5), Qt::NoButton);
    SendMouse(header->m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(30, 5), Qt::LeftButton);
    SendMouse(header->m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(30, 5), Qt::NoButton);
    ASSERT_TRUE(WaitFor([&] { return view.Only({WM_SHOW_TYPE_MENU, WM_TOGGLE_LIST_ORDER}).size() == 2; }));
    const auto posted = view.Only({WM_SHOW_TYPE_MENU, WM_TOGGLE_LIST_ORDER});
    EXPECT_EQ(posted[0].message, WM_SHOW_TYPE_MENU);
    CPoint screen(30, 5);
    header->ClientToScreen(&screen);
    EXPECT_EQ(posted[0].lParam, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    EXPECT_EQ(posted[1].message, WM_TOGGLE_LIST_ORDER);
    EXPECT_EQ(posted[1].lParam, 0);

    // Dragging the divider changes nothing.
    SendMouse(header->m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(179, 5), Qt::LeftButton);
    SendMouse(header->m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(120, 5), Qt::LeftButton);
    SendMouse(header->m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(120, 5), Qt::NoButton);
    EXPECT_EQ(list.GetColumnWidth(0), 180);
}

TEST_F(SkinListTest, CtrlASelectsEveryRowAndStillReachesTheList) {
    MSG message;
    message.hwnd = list.m_hWnd;
    message.message = WM_CHAR;
    message.wParam = 1;
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(&message));
    EXPECT_EQ(list.GetSelectedCount(), 4u);
}

TEST_F(SkinListTest, DropsOpenFoldersAndFilesInDropOrder) {
    const std::wstring file = folder.Wide("clip.mp4");
    std::ofstream(folder / "clip.mp4") << "x";
    const std::wstring sub = folder.Wide("card");
    std::filesystem::create_directories(folder / "card");
    list.DragAcceptFiles(TRUE);
    DropPaths(list.m_hWnd, {file, folder.Wide("missing"), sub});
    ASSERT_EQ(view.opened.size(), 2u);
    EXPECT_EQ(view.opened[0], std::make_pair(WM_OPEN_FILE, file));
    EXPECT_EQ(view.opened[1], std::make_pair(WM_OPEN_FOLDER, sub));

    view.opened.clear();
    g_hViewWnd = nullptr;
    DropPaths(list.m_hWnd, {file});
    EXPECT_TRUE(view.opened.empty()) << "nothing while there is no view";
}

TEST_F(ViewFixture, DropsOnASkinnedWindowReachTheView) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(&top, CRect(0, 0, 50, 20), 7, WS_CHILD | WS_VISIBLE));
    const std::wstring sub = folder.Wide("card");
    std::filesystem::create_directories(folder / "card");
    const std::wstring file = folder.Wide("clip.avi");
    std::ofstream(folder / "clip.avi") << "x";
    DropPaths(label.m_hWnd, {sub, file});
    ASSERT_EQ(view.opened.size(), 2u);
    EXPECT_EQ(view.opened[0], std::make_pair(WM_OPEN_FOLDER, sub));
    EXPECT_EQ(view.opened[1], std::make_pair(WM_OPEN_FILE, file));
}

} // namespace

#include "platform/ui/qtaccess.h"
#include "skintest.h"
#include "uitest.h"
#include "viewer/app/globals.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/color.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

class SkinnedWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(top.CreateTop(CRect(100, 100, 400, 300)));
        ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(top.m_hWnd)->isVisible(); }));
    }

    size_t Commands() const { return top.Only({WM_COMMAND}).size(); }

    BitmapStore store;
    TestWindow top;
};

// ---- the window base ----

TEST(BaseWndTest, RegionLeavesOutExactlyTheKeyPixels) {
    BitmapStore store;
    const COLORREF o = RGB(10, 10, 10);
    HBITMAP bitmap = store.Keep(MakeBitmap({{kKey, o, o, o}, {o, kKey, o, o}, {o, o, o, kKey}}));
    HRGN whole = CBaseWnd::CreateRegionFromBitmap(bitmap, CRect(), kKey);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool key = (x == 0 && y == 0) || (x == 1 && y == 1) || (x == 3 && y == 2);
            EXPECT_EQ(PtInRegion(whole, x, y) != FALSE, !key) << x << "," << y;
        }
    }
    EXPECT_FALSE(PtInRegion(whole, 4, 0));
    DeleteObject(whole);
    // Relative to the source rectangle's corner.
    HRGN part = CBaseWnd::CreateRegionFromBitmap(bitmap, CRect(1, 1, 3, 3), kKey);
    EXPECT_FALSE(PtInRegion(part, 0, 0));
    EXPECT_TRUE(PtInRegion(part, 1, 0));
    EXPECT_FALSE(PtInRegion(part, 2, 0));
    DeleteObject(part);
}

TEST(BaseWndTest, FixedColoursNeedNoProfile) {
    EXPECT_EQ(CBaseWnd::GetBaseColor(2), RGB(255, 0, 255));
    EXPECT_EQ(CBaseWnd::GetBaseColor(3), 0x7FB691u);
    EXPECT_EQ(CBaseWnd::GetBaseColor(0), RGB(205, 18, 125));
}

TEST_F(SkinnedWindowTest, EnterAndEscapeStopAtTheControl) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(&top, CRect(0, 0, 50, 20), 7, WS_CHILD | WS_VISIBLE));
    for (UINT key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        MSG message;
        message.hwnd = label.m_hWnd;
        message.message = WM_KEYDOWN;
        message.wParam = key;
        EXPECT_EQ(CWnd::WalkPreTranslateTree(&message) != FALSE, key != VK_SPACE) << key;
    }
}

TEST_F(SkinnedWindowTest, ZOrderPutsEachWindowBehindTheOneBefore) {
    CStaticEx first;
    CStaticEx second;
    ASSERT_TRUE(first.Create(&top, CRect(0, 0, 50, 50), 1, WS_CHILD | WS_VISIBLE));
    ASSERT_TRUE(second.Create(&top, CRect(0, 0, 50, 50), 2, WS_CHILD | WS_VISIBLE));
    POINT point{10, 10};
    top.ClientToScreen(&point);
    EXPECT_EQ(CWnd::WindowFromPoint(point), &second) << "made last, on top";
    CBaseWnd* order[] = {&first, &second};
    CBaseWnd::SetZOrder(order, 2);
    EXPECT_EQ(CWnd::WindowFromPoint(point), &first);
}

TEST_F(SkinnedWindowTest, AZeroWidthControlPaintsNothingAndSurvives) {
    CStaticEx background;
    background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    background.SetBitmaps(store.Keep(MakeSolidBitmap(4, 4, RGB(1, 1, 1))));
    ASSERT_TRUE(background.Create(&top, CRect(0, 0, 0, 20), 7, WS_CHILD | WS_VISIBLE));
    background.UpdateWindow();
    Pump();
    Pump();
}

// ---- the button ----

TEST(ButtonExTest, StateFollowsTheOrderOfTests) {
    struct Case {
        bool enabled, toggle, checked, pressed, hovering;
        int state;
    };
    const Case cases[] = {
        {false, true, true, true, true, 4},   {true, true, true, false, false, 3},
        {true, false, true, false, true, 2},  {true, false, false, true, true, 3},
        {true, false, false, false, true, 2}, {true, false, false, false, false, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CButtonEx::ChooseState(c.enabled, c.toggle, c.checked, c.pressed, c.hovering), c.state);
    }
}

TEST_F(SkinnedWindowTest, AClickPostsOneCommandToTheNotifyWindow) {
    CButtonEx button;
    HBITMAP image = store.Keep(MakeSolidBitmap(20, 10, RGB(0, 0, 200)));
    button.SetImages(image, image, image, image, image, 0, CRect());
    ASSERT_TRUE(button.Create(&top, CRect(10, 10, 11, 11), 42, WS_CHILD | WS_VISIBLE));
    CRect window;
    button.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), 20) << "the normal image sets the size";
    EXPECT_EQ(window.Height(), 10);

    Click(button.m_hWnd, QPoint(5, 5));
    EXPECT_EQ(Commands(), 0u) << "posted, not sent";
    ASSERT_TRUE(WaitFor([&] { return Commands() == 1; }));
    const LoggedMessage command = top.Only({WM_COMMAND})[0];
    EXPECT_EQ(command.wParam, MAKEWPARAM(42, BN_CLICKED));
    EXPECT_EQ(command.lParam, reinterpret_cast<LPARAM>(button.m_hWnd));
}

TEST_F(SkinnedWindowTest, AReleaseOffTheButtonSendsNothing) {
    CButtonEx button;
    button.ModifyOptions(0, CButtonEx::OPTION_TOGGLE);
    ASSERT_TRUE(button.Create(&top, CRect(10, 10, 40, 30), 42, WS_CHILD | WS_VISIBLE));
    SendMouse(button.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5), Qt::LeftButton);
    SendMouse(button.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(100, 100), Qt::NoButton);
    Pump(50);
    EXPECT_EQ(Commands(), 0u);
    EXPECT_EQ(button.GetCheck(), 0);
}

TEST_F(SkinnedWindowTest, AToggleClickedTwiceEndsUncheckedAfterTwoCommands) {
    CButtonEx button;
    button.ModifyOptions(0, CButtonEx::OPTION_TOGGLE);
    ASSERT_TRUE(button.Create(&top, CRect(10, 10, 40, 30), 42, WS_CHILD | WS_VISIBLE));
    // Far apart, so that the second is not a double click.
    Click(button.m_hWnd, QPoint(5, 5), 1000);
    EXPECT_EQ(button.GetCheck(), 1);
    Click(button.m_hWnd, QPoint(5, 5), 9000);
    EXPECT_EQ(button.GetCheck(), 0);
    ASSERT_TRUE(WaitFor([&] { return Commands() == 2; }));
}

TEST_F(SkinnedWindowTest, AutoRepeatSendsOnItsTimerWhileHeld) {
    CButtonEx button;
    button.ModifyOptions(0, CButtonEx::OPTION_AUTO_REPEAT);
    ASSERT_TRUE(button.Create(&top, CRect(10, 10, 40, 30), 42, WS_CHILD | WS_VISIBLE));
    SendMouse(button.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5), Qt::LeftButton);
    // The first repeat comes from the timer the press started.
    ASSERT_TRUE(WaitFor([&] { return Commands() == 1; }));
    // Each tick sends at once, while the tick is handled.
    button.SendMessage(WM_TIMER, 2, 0);
    EXPECT_EQ(Commands(), 2u);
    // Other timers are not repeats.
    button.SendMessage(WM_TIMER, 7, 0);
    EXPECT_EQ(Commands(), 2u);
    SendMouse(button.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5), Qt::NoButton);
    ASSERT_TRUE(WaitFor([&] { return Commands() == 3; })) << "one more on release over the button";
    Pump(700);
    EXPECT_EQ(Commands(), 3u) << "the release stopped the repeats";
}

TEST_F(SkinnedWindowTest, SharedImagesOutliveTheButtonsGivenThem) {
    HBITMAP image = store.Keep(MakeSolidBitmap(8, 8, RGB(5, 5, 5)));
    {
        CButtonEx first;
        CButtonEx second;
        first.ModifyOptions(0, CButtonEx::OPTION_TINT | CButtonEx::OPTION_HOVER_SHADES);
        first.SetImages(image, image, image, image, image, 0, CRect());
        second.SetImages(image, image, image, image, image, 0, CRect());
        ASSERT_TRUE(first.Create(&top, CRect(0, 0, 8, 8), 1, WS_CHILD | WS_VISIBLE));
    }
    {
        CSliderCtrlEx slider;
        slider.SetBitmaps(image, image, image, image, image);
        CStaticEx label;
        label.ModifyOptions(0, CStaticEx::OPTION_THREE_PIECES);
        label.SetBitmaps(image, image, image);
        ASSERT_TRUE(label.Create(&top, CRect(0, 0, 8, 8), 2, WS_CHILD | WS_VISIBLE));
        label.SetBitmaps(image);
    }
    BITMAP description;
    ASSERT_NE(GetObjectW(image, sizeof(description), &description), 0) << "the store still owns the image";
    EXPECT_EQ(PixelOf(image, 3, 3), RGB(5, 5, 5)) << "tinting worked on a copy";
}

TEST_F(SkinnedWindowTest, TintTakesTheBaseHueAndShadesLightenTheHoverPicture) {
    CStaticEx background;
    background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    background.SetBitmaps(store.Keep(MakeSolidBitmap(40, 20, RGB(0, 0, 0))));
    ASSERT_TRUE(background.Create(&top, CRect(0, 0, 40, 20), 1, WS_CHILD | WS_VISIBLE));
    background.UpdateWindow();
    Pump();
    HBITMAP image = store.Keep(MakeBitmap({{kKey, RGB(200, 40, 40)}}));
    CButtonEx button;
    button.ModifyOptions(0, CButtonEx::OPTION_TINT);
    button.SetImages(image, image, image, image, nullptr, 0, CRect());
    ASSERT_TRUE(button.Create(&background, CRect(2, 2, 4, 3), 2, WS_CHILD | WS_VISIBLE));
    button.UpdateWindow();
    Pump();
    const QImage picture = WindowPicture(button.m_hWnd);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0)) << "the key pixel stays see-through";
    const QRgb tinted = picture.pixel(1, 0);
    const DWORD hls = CColor::ColorToHLS(RGB(qRed(tinted), qGreen(tinted), qBlue(tinted)));
    WORD hue = 0, lightness = 0, saturation = 0;
    CColor::RGBToHLS(CBaseWnd::GetBaseColor(0), &hue, &lightness, &saturation);
    EXPECT_NEAR(static_cast<int>(hls & 0xFF), hue, 2);
    EXPECT_EQ(PixelOf(image, 1, 0), RGB(200, 40, 40)) << "the store's image is untouched";
}

TEST_F(SkinnedWindowTest, MaskCutsTheButtonAndAMissingMaskKeepsItWhole) {
    const COLORREF o = RGB(0, 100, 0);
    HBITMAP normal = store.Keep(MakeSolidBitmap(3, 2, o));
    HBITMAP mask = store.Keep(MakeBitmap({{kKey, o, o}, {o, o, o}}));
    CButtonEx shaped;
    shaped.ModifyOptions(0, CButtonEx::OPTION_MASK_REGION);
    shaped.SetImages(normal, normal, normal, normal, mask, 0, CRect());
    ASSERT_TRUE(shaped.Create(&top, CRect(10, 10, 20, 20), 1, WS_CHILD | WS_VISIBLE));
    CButtonEx whole;
    whole.ModifyOptions(0, CButtonEx::OPTION_MASK_REGION);
    whole.SetImages(normal, normal, normal, normal, nullptr, 0, CRect());
    ASSERT_TRUE(whole.Create(&top, CRect(30, 10, 40, 20), 2, WS_CHILD | WS_VISIBLE));
    POINT corner{0, 0};
    shaped.ClientToScreen(&corner);
    EXPECT_EQ(CWnd::WindowFromPoint(corner), &top);
    POINT inside{1, 0};
    shaped.ClientToScreen(&inside);
    EXPECT_EQ(CWnd::WindowFromPoint(inside), &shaped);
    POINT wholeCorner{0, 0};
    whole.ClientToScreen(&wholeCorner);
    EXPECT_EQ(CWnd::WindowFromPoint(wholeCorner), &whole);
}

TEST_F(SkinnedWindowTest, DisabledPictureWinsOverCheckedAndKeyPixelsShowTheBackground) {
    CStaticEx background;
    background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    background.SetBitmaps(store.Keep(MakeSolidBitmap(60, 40, RGB(200, 200, 0))));
    ASSERT_TRUE(background.Create(&top, CRect(0, 0, 60, 40), 1, WS_CHILD | WS_VISIBLE));
    background.UpdateWindow();
    Pump();

    const COLORREF checked = RGB(0, 0, 250);
    const COLORREF disabled = RGB(90, 90, 90);
    CButtonEx button;
    button.ModifyOptions(0, CButtonEx::OPTION_TOGGLE);
    button.SetImages(store.Keep(MakeSolidBitmap(4, 2, RGB(0, 250, 0))), store.Keep(MakeSolidBitmap(4, 2, 0)),
                     store.Keep(MakeSolidBitmap(4, 2, checked)),
                     store.Keep(MakeBitmap(
                         {{kKey, disabled, disabled, disabled}, {disabled, disabled, disabled, disabled}})),
                     nullptr, 0, CRect());
    ASSERT_TRUE(button.Create(&background, CRect(10, 10, 14, 12), 2, WS_CHILD | WS_VISIBLE));
    button.SetCheck(1);
    button.EnableWindow(FALSE);
    button.UpdateWindow();
    Pump();
    const QImage picture = WindowPicture(button.m_hWnd);
    ASSERT_EQ(picture.width(), 4);
    EXPECT_EQ(picture.pixel(1, 0), qRgb(90, 90, 90));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(200, 200, 0)) << "the background window's picture under the key";
}

// ---- the slider ----

TEST(SliderCtrlExTest, GeometryFollowsRangeMarginsAndThumb) {
    struct Case {
        int width, thumb;
        CRect thumbMargins, channelMargins;
        int minimum, maximum, position;
        int trackLeft, trackRight, centre;
        int clickX, clickPosition;
    };
    const Case cases[] = {
        {200, 20, CRect(), CRect(), 0, 100, 50, 10, 190, 100, 55, 25},
        {200, 20, CRect(), CRect(), 0, 100, 0, 10, 190, 10, 0, -5},
        {200, 20, CRect(), CRect(10, 0, 30, 0), 0, 100, 100, 20, 160, 160, 90, 50},
        {200, 24, CRect(2, 0, 6, 0), CRect(), 0, 10, 5, 10, 190, 100, 100, 5},
        {200, 20, CRect(), CRect(), 30, 30, 30, 10, 190, 10, 100, 30},
    };
    for (const Case& c : cases) {
        const auto geometry =
            CSliderCtrlEx::Layout(CRect(0, 0, c.width, 10), CSize(c.thumb, 8), c.thumbMargins,
                                  c.channelMargins, c.minimum, c.maximum, c.position);
        ASSERT_TRUE(geometry.usable);
        EXPECT_EQ(geometry.track.left, c.trackLeft);
        EXPECT_EQ(geometry.track.right, c.trackRight);
        EXPECT_EQ(geometry.thumbCentre, c.centre);
        EXPECT_EQ(geometry.thumb.Height(), 8);
        EXPECT_EQ(CSliderCtrlEx::PositionFromPoint(geometry, c.clickX, c.minimum, c.maximum),
                  c.clickPosition);
    }
}

TEST(SliderCtrlExTest, NoThumbOrNoTrackMakesTheSliderInert) {
    const auto noThumb =
        CSliderCtrlEx::Layout(CRect(0, 0, 200, 10), CSize(0, 0), CRect(), CRect(), 0, 100, 50);
    EXPECT_FALSE(noThumb.usable);
    const auto noTrack =
        CSliderCtrlEx::Layout(CRect(0, 0, 20, 10), CSize(20, 8), CRect(), CRect(), 0, 100, 50);
    EXPECT_FALSE(noTrack.usable);
    EXPECT_EQ(CSliderCtrlEx::PositionFromPoint(noTrack, 15, 0, 100), 0);
}

TEST(SliderCtrlExTest, RangeClampsMaximumAndPosition) {
    CSliderCtrlEx slider;
    slider.SetPos(40);
    slider.SetRange(10, 5);
    EXPECT_EQ(slider.GetRangeMin(), 10);
    EXPECT_EQ(slider.GetRangeMax(), 10);
    EXPECT_EQ(slider.GetPos(), 10);
    slider.SetRange(0, 100);
    slider.SetPos(150);
    EXPECT_EQ(slider.GetPos(), 100);
}

class SliderWindowTest : public SkinnedWindowTest {
  protected:
    void SetUp() override {
        SkinnedWindowTest::SetUp();
        thumb = store.Keep(MakeSolidBitmap(20, 10, RGB(250, 250, 250)));
        channel = store.Keep(MakeSolidBitmap(3, 10, RGB(0, 120, 0)));
        slider.SetBitmaps(thumb, thumb, thumb, thumb, channel);
        ASSERT_TRUE(slider.Create(&top, CRect(0, 50, 200, 60), 9, WS_CHILD | WS_VISIBLE));
    }
    std::vector<LoggedMessage> Scrolls() const { return top.Only({WM_HSCROLL}); }

    HBITMAP thumb = nullptr;
    HBITMAP channel = nullptr;
    CSliderCtrlEx slider;
};

TEST_F(SliderWindowTest, DragSendsTrackingThenEndWithThePositionInTheHighWord) {
    SendMouse(slider.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(55, 5), Qt::LeftButton);
    EXPECT_EQ(slider.GetPos(), 25);
    EXPECT_TRUE(Scrolls().empty()) << "a press only moves the thumb";
    SendMouse(slider.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(100, 5), Qt::LeftButton);
    SendMouse(slider.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(145, 5), Qt::LeftButton);
    SendMouse(slider.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(190, 5), Qt::NoButton);
    const auto scrolls = Scrolls();
    ASSERT_EQ(scrolls.size(), 3u);
    EXPECT_EQ(scrolls[0].wParam, MAKEWPARAM(SB_THUMBTRACK, 50));
    EXPECT_EQ(scrolls[1].wParam, MAKEWPARAM(SB_THUMBTRACK, 75));
    EXPECT_EQ(scrolls[2].wParam, MAKEWPARAM(SB_ENDSCROLL, 100));
    EXPECT_EQ(scrolls[2].lParam, reinterpret_cast<LPARAM>(slider.m_hWnd));
}

TEST_F(SliderWindowTest, PressAndReleaseInPlaceSendsOnlyTheEnd) {
    Click(slider.m_hWnd, QPoint(100, 5));
    const auto scrolls = Scrolls();
    ASSERT_EQ(scrolls.size(), 1u);
    EXPECT_EQ(scrolls[0].wParam, MAKEWPARAM(SB_ENDSCROLL, 50));
}

TEST_F(SliderWindowTest, ChannelFillsUpToTheThumbCentreOnly) {
    slider.SetPos(50);
    slider.UpdateWindow();
    Pump();
    QImage picture = WindowPicture(slider.m_hWnd);
    EXPECT_EQ(picture.pixel(1, 5), qRgb(0, 120, 0));
    EXPECT_EQ(picture.pixel(85, 5), qRgb(0, 120, 0));
    EXPECT_EQ(picture.pixel(95, 5), qRgb(250, 250, 250)) << "the thumb over its centre";
    EXPECT_NE(picture.pixel(150, 5), qRgb(0, 120, 0));
    slider.SetPos(0);
    slider.UpdateWindow();
    Pump();
    picture = WindowPicture(slider.m_hWnd);
    EXPECT_NE(picture.pixel(0, 5), qRgb(0, 120, 0)) << "at the minimum the thumb starts at 0: no channel";
}

// ---- the static and the grip ----

TEST(StaticExTest, GripHitCodes) {
    struct Case {
        DWORD edges;
        int width, height;
        CPoint point;
        int hit;
    };
    const DWORD rb = CStaticEx::EDGE_RIGHT | CStaticEx::EDGE_BOTTOM;
    const DWORD all = CStaticEx::EDGE_LEFT | CStaticEx::EDGE_TOP | rb;
    const Case cases[] = {
        {rb, 100, 30, CPoint(97, 27), HTBOTTOMRIGHT},
        {rb, 100, 30, CPoint(97, 15), HTRIGHT},
        {rb, 100, 30, CPoint(50, 2), HTCLIENT},
        {rb, 100, 30, CPoint(50, 27), HTBOTTOM},
        {rb, 100, 30, CPoint(2, 27), HTBOTTOM},
        {rb, 100, 30, CPoint(2, 2), HTCLIENT},
        {rb, 100, 30, CPoint(100, 15), HTNOWHERE},
        {rb, 100, 30, CPoint(-1, 15), HTNOWHERE},
        {all, 100, 30, CPoint(0, 0), HTTOPLEFT},
        {all, 100, 30, CPoint(99, 0), HTTOPRIGHT},
        {all, 100, 30, CPoint(0, 29), HTBOTTOMLEFT},
        {all, 100, 30, CPoint(4, 15), HTLEFT},
        {all, 100, 30, CPoint(50, 4), HTTOP},
        {CStaticEx::EDGE_TOP, 100, 30, CPoint(2, 2), HTTOP},
        {CStaticEx::EDGE_LEFT, 100, 30, CPoint(97, 2), HTCLIENT},
        {CStaticEx::EDGE_CENTRE, 100, 30, CPoint(50, 15), CStaticEx::HIT_CENTRE},
        {CStaticEx::EDGE_CENTRE, 100, 30, CPoint(44, 15), HTCLIENT},
        {CStaticEx::EDGE_CENTRE, 8, 30, CPoint(1, 15), CStaticEx::HIT_CENTRE},
        {all | CStaticEx::EDGE_CENTRE, 100, 30, CPoint(50, 29), CStaticEx::HIT_CENTRE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CStaticEx::HitTest(c.edges, CRect(0, 0, c.width, c.height), c.point), c.hit)
            << std::hex << c.edges << std::dec << " at " << c.point.x << "," << c.point.y;
    }
}

TEST(StaticExTest, ThreePieceLayout) {
    auto layout =
        CStaticEx::LayoutThreePieces(CRect(0, 0, 100, 20), CSize(10, 20), CSize(5, 20), CSize(8, 20));
    EXPECT_EQ(layout.end, CRect(92, 0, 100, 20));
    EXPECT_EQ(layout.first, CRect(0, 0, 10, 20));
    EXPECT_EQ(layout.middle, CRect(10, 0, 92, 20));
    // Without a middle the start piece is tiled over everything.
    layout = CStaticEx::LayoutThreePieces(CRect(0, 0, 100, 20), CSize(10, 20), CSize(0, 0), CSize(8, 20));
    EXPECT_EQ(layout.first, CRect(0, 0, 100, 20));
    EXPECT_TRUE(layout.middle.IsRectEmpty());
}

TEST_F(SkinnedWindowTest, NarrowThreePieceBarDrawsTheStartOverTheEnd) {
    const COLORREF start = RGB(200, 0, 0), middle = RGB(0, 200, 0), end = RGB(0, 0, 200);
    CStaticEx bar;
    bar.ModifyOptions(0, CStaticEx::OPTION_THREE_PIECES);
    bar.SetBitmaps(store.Keep(MakeSolidBitmap(4, 6, start)), store.Keep(MakeSolidBitmap(3, 6, middle)),
                   store.Keep(MakeSolidBitmap(4, 6, end)));
    ASSERT_TRUE(bar.Create(&top, CRect(0, 0, 14, 6), 1, WS_CHILD | WS_VISIBLE));
    bar.UpdateWindow();
    Pump();
    QImage picture = WindowPicture(bar.m_hWnd);
    const COLORREF expected[] = {start,  start,  start,  start, middle, middle, middle,
                                 middle, middle, middle, end,   end,    end,    end};
    for (int x = 0; x < 14; ++x) {
        const COLORREF want = expected[x];
        EXPECT_EQ(picture.pixel(x, 3), qRgb(GetRValue(want), GetGValue(want), GetBValue(want))) << x;
    }
    bar.MoveWindow(0, 0, 6, 6);
    bar.UpdateWindow();
    Pump();
    picture = WindowPicture(bar.m_hWnd);
    EXPECT_EQ(picture.pixel(3, 3), qRgb(200, 0, 0)) << "start piece over the end piece";
    EXPECT_EQ(picture.pixel(5, 3), qRgb(0, 0, 200));
}

TEST_F(SkinnedWindowTest, VerticalTilingAndTransparentLabels) {
    CStaticEx background;
    background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    background.SetBitmaps(store.Keep(MakeSolidBitmap(80, 60, RGB(30, 30, 30))));
    ASSERT_TRUE(background.Create(&top, CRect(0, 0, 80, 60), 1, WS_CHILD | WS_VISIBLE));
    background.UpdateWindow();
    Pump();

    CStaticEx column;
    column.ModifyOptions(0, CStaticEx::OPTION_TILE_VERTICAL);
    column.SetBitmaps(store.Keep(MakeBitmap({{RGB(250, 0, 0)}, {RGB(0, 250, 0)}, {RGB(0, 0, 250)}})));
    ASSERT_TRUE(column.Create(&background, CRect(0, 0, 1, 7), 2, WS_CHILD | WS_VISIBLE));
    column.UpdateWindow();
    Pump();
    QImage picture = WindowPicture(column.m_hWnd);
    EXPECT_EQ(picture.pixel(0, 3), qRgb(250, 0, 0));
    EXPECT_EQ(picture.pixel(0, 5), qRgb(0, 0, 250));
    EXPECT_EQ(picture.pixel(0, 6), qRgb(250, 0, 0));

    CStaticEx label;
    label.ModifyOptions(0, CBaseWnd::OPTION_TRANSPARENT | CStaticEx::OPTION_TEXT);
    label.SetBitmaps(store.Keep(MakeBitmap({{kKey, RGB(0, 0, 250)}})));
    ASSERT_TRUE(label.Create(&background, CRect(10, 10, 40, 30), 3, WS_CHILD | WS_VISIBLE));
    label.UpdateWindow();
    Pump();
    picture = WindowPicture(label.m_hWnd);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(30, 30, 30)) << "key pixel shows the background";
    EXPECT_EQ(picture.pixel(1, 0), qRgb(0, 0, 250));
    EXPECT_EQ(picture.pixel(15, 10), qRgb(30, 30, 30)) << "no text, only the bitmap";

    label.SetTextStyle(140, L"Liberation Sans", RGB(255, 255, 255), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    label.SetWindowText(L"WWW");
    label.Invalidate();
    label.UpdateWindow();
    Pump();
    picture = WindowPicture(label.m_hWnd);
    bool light = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            light = light || (qRed(pixel) > 150 && qGreen(pixel) > 150 && qBlue(pixel) > 150);
        }
    }
    EXPECT_TRUE(light) << "the text in its colour";
}

TEST_F(SkinnedWindowTest, GripMovesItsTargetAndForwardsEdgesToTheNotifyWindow) {
    TestWindow panel;
    ASSERT_TRUE(panel.CreateChild(&top, CRect(50, 40, 150, 100), 5));
    CStaticEx grip;
    grip.SetSizingEdges(CStaticEx::EDGE_RIGHT | CStaticEx::EDGE_BOTTOM, panel.m_hWnd);
    ASSERT_TRUE(grip.Create(&panel, CRect(0, 0, 100, 30), 6, WS_CHILD | WS_VISIBLE));

    SendMouse(grip.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(97, 27), Qt::LeftButton);
    EXPECT_EQ(g_sizingHitCode, HTBOTTOMRIGHT);
    SendMouse(grip.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(90, 20), Qt::LeftButton);
    const auto moves = panel.Only({WM_MOUSEMOVE});
    ASSERT_FALSE(moves.empty()) << "an edge drag is the notify window's to resize";
    EXPECT_EQ(moves.back().lParam, MAKELPARAM(90, 20));
    SendMouse(grip.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(90, 20), Qt::NoButton);

    panel.log.clear();
    SendMouse(grip.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(50, 10), Qt::LeftButton);
    EXPECT_EQ(g_sizingHitCode, HTCLIENT);
    SendMouse(grip.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(57, 13), Qt::LeftButton);
    CRect placed;
    panel.GetWindowRect(&placed);
    top.ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(57, 43, 157, 103)) << "the interior drags the window by the cursor's travel";
    SendMouse(grip.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(57, 13), Qt::NoButton);
    EXPECT_EQ(panel.Sequence({WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(SkinnedWindowTest, ReleaseEnlargesTheTargetToItsMinimumSize) {
    TestWindow panel;
    panel.handler = [](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_GETMINMAXINFO) {
            return false;
        }
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{120, 50};
        result = 0;
        return true;
    };
    ASSERT_TRUE(panel.CreateChild(&top, CRect(10, 10, 60, 100), 5));
    CStaticEx grip;
    grip.SetSizingEdges(CStaticEx::EDGE_RIGHT, panel.m_hWnd);
    ASSERT_TRUE(grip.Create(&panel, CRect(0, 0, 50, 20), 6, WS_CHILD | WS_VISIBLE));
    Click(grip.m_hWnd, QPoint(48, 10));
    CRect size;
    panel.GetClientRect(&size);
    EXPECT_EQ(size.Width(), 120);
    EXPECT_EQ(size.Height(), 90);
}

} // namespace

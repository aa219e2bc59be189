#include "platform/ui/qtaccess.h"
#include "skintest.h"
#include "uitest.h"
#include "viewer/skin/skincombobox.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kHighlightBackground = RGB(48, 187, 242);
constexpr COLORREF kHighlightText = RGB(0, 0, 0);
constexpr COLORREF kNormalBackground = RGB(23, 23, 23);
constexpr COLORREF kNormalText = RGB(139, 139, 139);

class SkinComboTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(top.CreateTop(CRect(100, 100, 400, 300)));
        ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(top.m_hWnd)->isVisible(); }));
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 10, 160, 120), &top, 4));
        combo.SetHighlightColors(kHighlightBackground, kHighlightText);
        combo.SetNormalColors(kNormalBackground, kNormalText);
        combo.AddString(L"UTC+09:00");
        combo.AddString(L"UTC+01:00");
    }

    TestWindow top;
    CSkinComboBox combo;
};

TEST(SkinComboStyleTest, EveryTypeBecomesAnOwnerDrawnDropDownList) {
    for (DWORD type : {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST}) {
        const DWORD style = CSkinComboBox::ForcedStyle(WS_CHILD | WS_TABSTOP | type);
        EXPECT_EQ(style & 0xF, CBS_DROPDOWNLIST);
        EXPECT_EQ(style & (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS), CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
        EXPECT_EQ(style & (WS_CHILD | WS_TABSTOP), WS_CHILD | WS_TABSTOP);
    }
}

TEST_F(SkinComboTest, OnlyTheFocusedItemTakesTheHighlightPair) {
    struct Case {
        UINT state;
        COLORREF background, text;
    };
    const Case cases[] = {
        {ODS_FOCUS, kHighlightBackground, kHighlightText},
        {ODS_FOCUS | ODS_SELECTED, kHighlightBackground, kHighlightText},
        {ODS_SELECTED, kNormalBackground, kNormalText},
        {0, kNormalBackground, kNormalText},
    };
    for (const Case& c : cases) {
        COLORREF background = 1;
        COLORREF text = 1;
        combo.ItemColors(c.state, background, text);
        EXPECT_EQ(background, c.background) << c.state;
        EXPECT_EQ(text, c.text) << c.state;
    }
}

TEST_F(SkinComboTest, ItemsAreFilledInTheirPairFromTheSharedTextLeft) {
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(&memory, 100, 40);
    CBitmap* previous = memory.SelectObject(&canvas);
    EXPECT_EQ(CSkinComboBox::ItemTextLeft(), 0) << "no box has painted its list yet";
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_COMBOBOX;
    draw.itemID = 0;
    draw.itemState = ODS_FOCUS;
    draw.hDC = memory.GetSafeHdc();
    draw.rcItem = CRect(0, 0, 100, 20);
    combo.DrawItem(&draw);
    draw.itemID = 1;
    draw.itemState = ODS_SELECTED;
    draw.rcItem = CRect(0, 20, 100, 40);
    combo.DrawItem(&draw);
    EXPECT_EQ(memory.GetPixel(99, 1), kHighlightBackground);
    EXPECT_EQ(memory.GetPixel(99, 21), kNormalBackground);
    bool text = false;
    for (int x = 0; x < 60; ++x) {
        for (int y = 20; y < 40; ++y) {
            text = text || memory.GetPixel(x, y) != kNormalBackground;
        }
    }
    EXPECT_TRUE(text) << "the item's text in the normal text colour";
    memory.SelectObject(previous);
}

TEST_F(SkinComboTest, WithoutImagesTheBoxShowsItsTextOnTheNormalBackground) {
    combo.SetCurSel(0);
    combo.Invalidate();
    combo.UpdateWindow();
    Pump();
    const QImage picture = WindowPicture(combo.m_hWnd);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixel(picture.width() - 2, 4), qRgb(23, 23, 23));
    bool text = false;
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = 3; y < picture.height() - 8; ++y) {
            text = text || picture.pixel(x, y) != qRgb(23, 23, 23);
        }
    }
    EXPECT_TRUE(text);
}

TEST_F(SkinComboTest, CapsAndCentreFrameTheField) {
    BitmapStore store;
    HBITMAP images[CSkinComboBox::IMAGE_COUNT] = {store.Keep(MakeSolidBitmap(6, 30, RGB(200, 0, 0))),
                                                  store.Keep(MakeSolidBitmap(2, 30, RGB(0, 200, 0))),
                                                  store.Keep(MakeSolidBitmap(20, 30, RGB(0, 0, 200))),
                                                  nullptr,
                                                  nullptr,
                                                  nullptr,
                                                  nullptr};
    combo.SetBitmaps(images);
    combo.Invalidate();
    combo.UpdateWindow();
    Pump();
    const QImage picture = WindowPicture(combo.m_hWnd);
    EXPECT_EQ(picture.pixel(2, 1), qRgb(200, 0, 0));
    EXPECT_EQ(picture.pixel(picture.width() - 3, 1), qRgb(0, 0, 200));
    EXPECT_EQ(picture.pixel(40, 1), qRgb(0, 200, 0)) << "the centre above the text field";
    EXPECT_EQ(picture.pixel(40, 4), qRgb(23, 23, 23));
}

} // namespace

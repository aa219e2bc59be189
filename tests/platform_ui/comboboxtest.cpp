// The owner-drawn drop-down combo box and its list.

#include "uitest.h"

#include "platform/ui/combobox.h"
#include "platform/ui/dc.h"
#include "platform/ui/listbox.h"
#include "platform/ui/qtaccess.h"

#include <QListView>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Forces the drop-down list and owner drawing on whatever it is asked for, as the skinned box does,
// and records its owner drawing.
class DrawingCombo : public CComboBox {
  public:
    struct Drawn {
        UINT item;
        UINT state;
        CRect rect;
    };
    std::vector<Drawn> drawn;
    std::vector<WORD> reflected;
    std::vector<HWND> colourRequests;

    using CComboBox::Create;
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                void* context) override {
        style = (style & ~0xFu) | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        return CWnd::Create(className, windowName, style, rect, parent, id, context);
    }

    void DrawItem(LPDRAWITEMSTRUCT draw) override {
        drawn.push_back(Drawn{draw->itemID, draw->itemState, CRect(draw->rcItem)});
        CDC* dc = CDC::FromHandle(draw->hDC);
        dc->FillSolidRect(&draw->rcItem,
                          (draw->itemState & ODS_FOCUS) != 0 ? RGB(0, 0, 200) : RGB(200, 0, 0));
    }

  protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_COMMAND) {
            reflected.push_back(HIWORD(wParam));
        }
        return CComboBox::OnChildNotify(message, wParam, lParam, result);
    }

    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT type) override {
        colourRequests.push_back(window != nullptr ? window->m_hWnd : nullptr);
        return CComboBox::OnCtlColor(dc, window, type);
    }
};

class ComboTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 300)));
        ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWN | CBS_SORT, CRect(10, 10, 160, 210), &parent, 55));
    }

    TestWindow parent;
    DrawingCombo combo;
};

TEST_F(ComboTest, VirtualCreationForcesTheStyleAndTheBoxKeepsItsFieldHeight) {
    EXPECT_EQ(combo.GetStyle() & 0xFu, CBS_DROPDOWNLIST);
    EXPECT_NE(combo.GetStyle() & CBS_OWNERDRAWFIXED, 0u);
    CRect box;
    combo.GetWindowRect(&box);
    EXPECT_EQ(box.Width(), 150);
    EXPECT_EQ(box.Height(), combo.GetItemHeight(-1) + 6);
    EXPECT_EQ(combo.SetItemHeight(-1, 24), 0);
    combo.GetWindowRect(&box);
    EXPECT_EQ(box.Height(), 30);
}

TEST_F(ComboTest, StringsSelectionAndTexts) {
    EXPECT_EQ(combo.AddString(L"banana"), 0);
    EXPECT_EQ(combo.AddString(L"Apple"), 0);
    EXPECT_EQ(combo.AddString(L"cherry"), 2);
    EXPECT_EQ(combo.GetCount(), 3);
    // Like the platform's box, no item is selected until one is chosen.
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.GetWindowTextLength(), 0);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    CString text;
    combo.GetWindowText(text);
    EXPECT_EQ(std::wstring(text), L"banana");
    combo.GetLBText(2, text);
    EXPECT_EQ(std::wstring(text), L"cherry");
    EXPECT_EQ(combo.SetCurSel(7), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.FindStringExact(-1, L"CHERRY"), 2);
    EXPECT_EQ(combo.FindStringExact(-1, L"cher"), CB_ERR);
    EXPECT_EQ(combo.SelectString(-1, L"ba"), 1);
    combo.SetItemData(1, 77);
    EXPECT_EQ(combo.GetItemData(1), 77u);
    EXPECT_EQ(combo.DeleteString(0), 2);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ComboTest, KeysChangeTheSelectionAndNotifyTheParent) {
    combo.AddString(L"one");
    combo.AddString(L"two");
    combo.SetCurSel(0);
    combo.SetFocus();
    SendKey(combo.m_hWnd, QEvent::KeyPress, Qt::Key_Down);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_NE(std::find(combo.reflected.begin(), combo.reflected.end(), CBN_SELCHANGE),
              combo.reflected.end());
    bool parentSaw = false;
    for (const LoggedMessage& command : parent.Only({WM_COMMAND})) {
        parentSaw = parentSaw || (LOWORD(command.wParam) == 55 && HIWORD(command.wParam) == CBN_SELCHANGE &&
                                  reinterpret_cast<HWND>(command.lParam) == combo.m_hWnd);
    }
    EXPECT_TRUE(parentSaw);
}

TEST_F(ComboTest, OpenListIsOwnerDrawnAndReachableThroughItsWindow) {
    for (const wchar_t* text : {L"alpha", L"beta", L"gamma"}) {
        combo.AddString(text);
    }
    combo.SetCurSel(1);
    combo.ShowDropDown(TRUE);
    Pump();
    EXPECT_TRUE(combo.GetDroppedState());
    ASSERT_FALSE(combo.reflected.empty());
    EXPECT_EQ(combo.reflected.front(), CBN_DROPDOWN);

    ASSERT_FALSE(combo.colourRequests.empty());
    const HWND listWindow = combo.colourRequests.front();
    ASSERT_TRUE(IsWindow(listWindow));
    CListBox list;
    ASSERT_TRUE(list.Attach(listWindow));
    EXPECT_EQ(list.GetCount(), 3);
    CString text;
    list.GetText(2, text);
    EXPECT_EQ(std::wstring(text), L"gamma");
    CRect item;
    EXPECT_NE(list.GetItemRect(1, &item), LB_ERR);
    EXPECT_EQ(item.Height(), combo.GetItemHeight(0));

    // Every item drawn by the owner; the current one with the focus state.
    combo.drawn.clear();
    const QImage picture = InputWidgetFromHandle(listWindow)->grab().toImage();
    ASSERT_EQ(combo.drawn.size(), 3u);
    for (const DrawingCombo::Drawn& drawn : combo.drawn) {
        EXPECT_EQ((drawn.state & ODS_FOCUS) != 0, drawn.item == 1) << drawn.item;
    }
    EXPECT_EQ(picture.pixel(item.CenterPoint().x, item.CenterPoint().y), qRgb(0, 0, 200));
    EXPECT_FALSE(parent.Only({WM_DRAWITEM}).empty());

    combo.ShowDropDown(FALSE);
    EXPECT_FALSE(combo.GetDroppedState());
    EXPECT_EQ(combo.reflected.back(), CBN_CLOSEUP);
    list.Detach();
    // The list goes with its box.
    combo.DestroyWindow();
    EXPECT_FALSE(IsWindow(listWindow));
}

} // namespace

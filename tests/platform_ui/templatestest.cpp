// Dialogs made from templates in dialog units: their frame and controls exist before OnInitDialog.

#include "uitest.h"

#include "platform/ui/button.h"
#include "platform/ui/dataexchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/edit.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/static.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr UINT kSettingsTemplate = 60001;
constexpr UINT kBrokenTemplate = 60002;
constexpr UINT kPlacedTemplate = 60003;
constexpr int kLabel = 1001;
constexpr int kName = 1002;
constexpr int kList = 1066;

DialogTemplate ShellDialog(DWORD style, short cx, short cy, std::vector<DialogItemTemplate> items) {
    DialogTemplate dialog;
    dialog.style = style | DS_SETFONT;
    dialog.cx = cx;
    dialog.cy = cy;
    dialog.items = std::move(items);
    return dialog;
}

const DialogResource kSettings(kSettingsTemplate,
                               ShellDialog(WS_POPUP | WS_CAPTION | DS_CENTER, 200, 120,
                                           {
                                               {L"Static", L"Name", WS_VISIBLE | SS_RIGHT, 0, 7, 9, 40, 8, kLabel},
                                               {L"Edit", L"", WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0, 50, 7, 80,
                                                14, kName},
                                               {L"SysListView32", L"", WS_VISIBLE | LVS_REPORT, 0, 7, 30, 186, 60,
                                                kList},
                                               {L"Button", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                                                143, 99, 50, 14, IDOK},
                                           }));
const DialogResource kBroken(kBrokenTemplate,
                             ShellDialog(WS_POPUP, 100, 50,
                                         {{L"NoSuchControlClass", L"", WS_VISIBLE, 0, 0, 0, 10, 10, 1}}));
const DialogResource kPlaced(kPlacedTemplate, [] {
    DialogTemplate dialog = ShellDialog(WS_POPUP, 40, 16, {});
    dialog.x = 20;
    dialog.y = 16;
    return dialog;
}());

class SettingsDialog : public CDialog {
  public:
    explicit SettingsDialog(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}

    std::function<void(SettingsDialog&)> onInit;
    CListCtrl list;
    bool initialised = false;

  protected:
    void DoDataExchange(CDataExchange* exchange) override {
        CDialog::DoDataExchange(exchange);
        DDX_Control(exchange, kList, list);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        initialised = true;
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }
};

CRect ChildRect(const CWnd& parent, int id) {
    CRect rect;
    ::GetWindowRect(::GetDlgItem(parent.m_hWnd, id), &rect);
    parent.ScreenToClient(&rect);
    return rect;
}

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
    const DialogTemplate shell = ShellDialog(WS_POPUP, 0, 0, {});
    const SIZE units = DialogBaseUnits(shell);
    EXPECT_EQ(units.cx, 6);
    EXPECT_EQ(units.cy, 13);
    // The channel window's 206 x 140 and the loading box's 320 x 153 units, rounded as the
    // platform rounds.
    const struct {
        short x, y, cx, cy;
        RECT pixels;
    } cases[] = {
        {0, 0, 206, 140, {0, 0, 309, 228}},
        {0, 0, 320, 153, {0, 0, 480, 249}},
        {7, 9, 40, 8, {11, 15, 71, 28}},
        {1, 1, 1, 1, {2, 2, 4, 4}},
    };
    for (const auto& test : cases) {
        const RECT pixels = DialogUnitsToPixels(shell, test.x, test.y, test.cx, test.cy);
        EXPECT_EQ(CRect(pixels), CRect(test.pixels)) << test.cx << " x " << test.cy;
    }

    DialogTemplate system = shell;
    system.style &= ~DS_SETFONT;
    EXPECT_EQ(DialogBaseUnits(system).cx, 8);
    EXPECT_EQ(DialogBaseUnits(system).cy, 16);
    // A font other than the shell font at 8 points is measured: bigger letters, bigger units.
    DialogTemplate large = shell;
    large.pointSize = 16;
    EXPECT_GT(DialogBaseUnits(large).cx, units.cx);
    EXPECT_GT(DialogBaseUnits(large).cy, units.cy);
}

TEST(DialogTemplates, ControlsExistInPixelsBeforeInitialisation) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(100, 100, 700, 500)));
    SettingsDialog dialog(kSettingsTemplate, &owner);
    CString labelSeen;
    CRect nameRect;
    bool listBound = false;
    dialog.onInit = [&](SettingsDialog& self) {
        self.GetDlgItemText(kLabel, labelSeen);
        nameRect = ChildRect(self, kName);
        listBound = self.list.m_hWnd == ::GetDlgItem(self.m_hWnd, kList) && self.list.m_hWnd != nullptr;
        self.SetDlgItemText(kName, L"Front");
    };
    ASSERT_TRUE(dialog.Create(kSettingsTemplate, &owner));
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(std::wstring(labelSeen), L"Name");
    EXPECT_EQ(nameRect, CRect(75, 11, 195, 34));
    EXPECT_TRUE(listBound);
    CString name;
    dialog.GetDlgItemText(kName, name);
    EXPECT_EQ(std::wstring(name), L"Front");

    // The client area is the template's size; centred over the owner.
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(300, 195));
    EXPECT_FALSE(dialog.IsWindowVisible());

    // The bound list is the dialog's control, driven through the member.
    EXPECT_EQ(dialog.list.InsertColumn(0, L"File", LVCFMT_LEFT, 100), 0);
    EXPECT_EQ(dialog.list.InsertItem(0, L"A.avi"), 0);
    EXPECT_EQ(SendMessageW(::GetDlgItem(dialog.m_hWnd, kList), LVM_GETITEMCOUNT, 0, 0), 1);

    // Every control has the dialog's font; dialog units map as the controls were placed.
    const LRESULT font = SendMessageW(dialog.m_hWnd, WM_GETFONT, 0, 0);
    EXPECT_NE(font, 0);
    for (int id : {kLabel, kName, kList, IDOK}) {
        EXPECT_EQ(SendMessageW(::GetDlgItem(dialog.m_hWnd, id), WM_GETFONT, 0, 0), font) << id;
    }
    CRect units(50, 7, 130, 21);
    dialog.MapDialogRect(&units);
    EXPECT_EQ(units, nameRect);
    CRect notADialog(1, 1, 2, 2);
    EXPECT_FALSE(MapDialogRect(owner.m_hWnd, &notADialog));
}

TEST(DialogTemplates, FocusGoesToTheFirstTabStopAndButtonsEndAModalDialog) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 600, 400)));
    SettingsDialog modeless(kSettingsTemplate, &owner);
    ASSERT_TRUE(modeless.Create(kSettingsTemplate, &owner));
    EXPECT_EQ(WidgetFromHandle(modeless.m_hWnd)->focusWidget(), WidgetFromHandle(modeless.GetDlgItem(kName)->m_hWnd));

    SettingsDialog modal(kSettingsTemplate, &owner);
    modal.onInit = [](SettingsDialog& self) {
        // Once the dialog runs, its OK button is clicked as the user would.
        ::PostMessageW(::GetDlgItem(self.m_hWnd, IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(modal.DoModal(), IDOK);
    EXPECT_EQ(modal.m_hWnd, nullptr);
}

TEST(DialogTemplates, AControlThatCannotBeMadeFailsTheDialog) {
    SettingsDialog dialog(kBrokenTemplate);
    EXPECT_FALSE(dialog.Create(kBrokenTemplate));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(dialog.initialised);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(DialogTemplates, PopUpsArePlacedFromTheirOwnersClientArea) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(200, 100, 600, 400)));
    SettingsDialog dialog(kPlacedTemplate, &owner);
    ASSERT_TRUE(dialog.Create(kPlacedTemplate, &owner));
    CRect rect;
    dialog.GetWindowRect(&rect);
    POINT origin{0, 0};
    owner.ClientToScreen(&origin);
    EXPECT_EQ(rect.TopLeft(), CPoint(origin.x + 30, origin.y + 26));
    EXPECT_EQ(rect.Size(), CSize(60, 26));
}

} // namespace

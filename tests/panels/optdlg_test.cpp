// The settings editor's window on the offscreen platform with the built skin: which controls each
// recorder model gets, the pages and their tabs, sliders that share an id, and the keyboard.
#include "panelsfixture.h"
#include "settingseditor/settingseditortestsupport.h"

#include "platform/ui/edit.h"
#include "platform/ui/window.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/tools/optdlg.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class OptDlgTest : public PanelTest {
  protected:
    std::unique_ptr<OptDlg> Make(ResStorage* store) {
        auto dialog = std::make_unique<OptDlg>();
        EXPECT_TRUE(dialog->Create(OptDlg::IDD, &view));
        dialog->SetHost(&host);
        dialog->SetResStorage(store);
        dialog->SetDataDirStruct(&catalogue);
        return dialog;
    }

    bool Visible(CWnd* window) { return window != nullptr && window->IsWindowVisible(); }
    bool Shown(CWnd* window) { return window != nullptr && (window->GetStyle() & WS_VISIBLE) != 0; }

    RecordingHost host;
    DataDirStruct catalogue;
};

TEST_F(OptDlgTest, ControlsAndPagesFollowTheModel) {
    struct Case {
        int model;
        std::array<UINT, 3> pages; // components of pages 1 to 3
        bool modelZeroControls;
        bool partitionButtons;
    };
    const Case cases[] = {
        {0, {0x11000089, 0x110000A0, 0x110000C0}, true, true},
        {1, {0x11000095, 0x110000AB, 0x11000096}, false, true},
        {2, {0x11000095, 0x110000AB, 0x11000097}, false, false},
        {3, {0x11000095, 0x110000AB, 0x11000096}, false, true},
    };
    for (const Case& c : cases) {
        ModelScope model(c.model);
        std::unique_ptr<OptDlg> dialog = Make(&Skin());
        ASSERT_TRUE(dialog->CreateControls()) << c.model;
        EXPECT_FALSE(dialog->IsWindowVisible()) << "made hidden";
        for (int page = 1; page <= 3; ++page)
            EXPECT_EQ(dialog->GetPageComponent(page), c.pages[static_cast<size_t>(page - 1)]) << c.model;
        EXPECT_EQ(dialog->GetPageComponent(4), 0x110000E0u);
        EXPECT_EQ(dialog->GetPageComponent(5), 0x100000BEu);
        for (UINT id : {22014u, 22051u, 22019u, 22032u, 22033u, 22021u, 22022u, 22023u, 22024u})
            EXPECT_EQ(dialog->GetControl(id) != nullptr, c.modelZeroControls) << c.model << " " << id;
        for (UINT id : {22046u, 22047u, 22049u})
            EXPECT_EQ(dialog->GetControl(id) != nullptr, c.partitionButtons) << c.model << " " << id;
        for (UINT id :
             {22007u, 22012u, 22002u, 22003u, 22004u, 22005u, 22006u, 22017u, 22018u, 22054u, 22040u,
              22042u, 22095u, 22073u, 22075u, 22077u, 22078u, 22082u, 22085u, 22204u, 22209u})
            EXPECT_NE(dialog->GetControl(id), nullptr) << c.model << " " << id;
        for (int button = 0; button < 4; ++button) {
            auto* choice = static_cast<CButtonEx*>(dialog->GetControl(22097 + static_cast<UINT>(button)));
            ASSERT_NE(choice, nullptr);
            EXPECT_EQ(choice->GetCheck(), button == c.model ? 1 : 0) << c.model;
        }
        CComboBox& zones = dialog->GetTimeZoneCombo();
        ASSERT_EQ(zones.GetCount(), 2);
        CString entry;
        zones.GetLBText(0, entry);
        EXPECT_EQ(std::wstring(entry), L"UTC + 6:30 Myanmar");
        zones.GetLBText(1, entry);
        EXPECT_EQ(std::wstring(entry), L"UTC + 9:00 Seoul");
        EXPECT_FALSE(Shown(dialog->GetControl(22077))) << "progress hidden until a format";
        for (int id : {static_cast<int>(OptDlg::ID_NUMBER_A), static_cast<int>(OptDlg::ID_NUMBER_B)}) {
            CWnd* number = dialog->GetDlgItem(id);
            ASSERT_NE(number, nullptr) << id;
            EXPECT_EQ(number->SendMessage(EM_GETLIMITTEXT, 0, 0), 3) << id;
        }
    }
}

TEST_F(OptDlgTest, WithoutASkinNothingIsMade) {
    std::unique_ptr<OptDlg> dialog = Make(nullptr);
    EXPECT_FALSE(dialog->CreateControls());
    EXPECT_EQ(dialog->GetControl(22007), nullptr);
    EXPECT_EQ(dialog->GetControl(22097), nullptr);
}

TEST_F(OptDlgTest, TabsShowOnePageAndEveryShowStartsOnPageOne) {
    ModelScope model(0);
    std::unique_ptr<OptDlg> dialog = Make(&Skin());
    ASSERT_TRUE(dialog->CreateControls());
    for (int page = 1; page <= 5; ++page) {
        CWnd* tab = dialog->GetControl(22001 + static_cast<UINT>(page));
        ASSERT_NE(tab, nullptr);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(22001 + page), BN_CLICKED),
                            reinterpret_cast<LPARAM>(tab->m_hWnd));
        for (int other = 1; other <= 5; ++other) {
            EXPECT_EQ(Shown(dialog->GetPage(other)), other == page) << page << " " << other;
            EXPECT_EQ(
                static_cast<CButtonEx*>(dialog->GetControl(22001 + static_cast<UINT>(other)))->GetCheck(),
                other == page ? 1 : 0);
        }
        EXPECT_EQ(Shown(&dialog->GetDriveCombo()), page == 4) << page;
        for (UINT id : {1008u, 1009u, 1010u, 1014u})
            EXPECT_FALSE(Shown(dialog->GetControl(id))) << page << " " << id;
        EXPECT_TRUE(Shown(dialog->GetControl(1006))) << page;
        EXPECT_TRUE(Shown(&dialog->GetTimeZoneCombo())) << page;
    }
    dialog->ShowWindow(SW_SHOW);
    EXPECT_TRUE(Shown(dialog->GetPage(1)));
    EXPECT_FALSE(Shown(dialog->GetPage(5)));
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(22012, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dialog->GetControl(22012)->m_hWnd));
    EXPECT_FALSE(dialog->IsWindowVisible());
}

TEST_F(OptDlgTest, SlidersSharingAnIdAreToldApartByTheirWindow) {
    ModelScope model(1);
    std::unique_ptr<OptDlg> dialog = Make(&Skin());
    ASSERT_TRUE(dialog->CreateControls());
    CSliderCtrlEx* accelerator = dialog->GetSlider(OptSlider::DrivingAccelerator);
    CSliderCtrlEx* mic = dialog->GetSlider(OptSlider::Mic);
    ASSERT_EQ(accelerator->GetDlgCtrlID(), mic->GetDlgCtrlID());
    dialog->SendMessage(WM_HSCROLL, MAKEWPARAM(OptEditor::kScrollEnd, 1),
                        reinterpret_cast<LPARAM>(mic->m_hWnd));
    EXPECT_EQ(dialog->Editor().Value(kMicVolume), 1);
    EXPECT_EQ(dialog->Editor().Value(kDrivingModeAccelerator), 0);
    dialog->SendMessage(WM_HSCROLL, MAKEWPARAM(OptEditor::kScrollEnd, 0),
                        reinterpret_cast<LPARAM>(accelerator->m_hWnd));
    EXPECT_EQ(dialog->Editor().Value(kDrivingModeAccelerator), 9);
    EXPECT_EQ(dialog->Editor().Value(kMicVolume), 1);
    EXPECT_EQ(mic->GetPos(), 1);
    EXPECT_EQ(accelerator->GetPos(), 0);
}

TEST_F(OptDlgTest, KeysThatWouldCloseOrPressAreSwallowed) {
    std::unique_ptr<OptDlg> dialog = Make(&Skin());
    ASSERT_TRUE(dialog->CreateControls());
    const std::pair<UINT, WPARAM> cases[] = {{WM_KEYDOWN, VK_ESCAPE},    {WM_KEYDOWN, VK_RETURN},
                                             {WM_KEYDOWN, VK_SPACE},     {WM_KEYDOWN, 0x03},
                                             {WM_SYSKEYDOWN, VK_RETURN}, {WM_KEYDOWN, 'A'}};
    for (const auto& [message, key] : cases) {
        MSG msg{};
        msg.hwnd = dialog->m_hWnd;
        msg.message = message;
        msg.wParam = key;
        EXPECT_EQ(dialog->PreTranslateMessage(&msg), message == WM_KEYDOWN && key != 'A')
            << message << " " << key;
    }
}

} // namespace

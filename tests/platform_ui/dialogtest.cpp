// Modal and modeless dialogs without templates.

#include "uitest.h"

#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_FINISH = WM_APP + 10;
constexpr UINT WM_PRESS_ESCAPE = WM_APP + 11;

class TestDialog : public CDialog {
  public:
    explicit TestDialog(CWnd* parent) : CDialog(500, parent) { m_templateRect = CRect(0, 0, 120, 80); }

    std::function<void(TestDialog&)> onInit;
    bool ownerWasDisabled = false;
    bool initialised = false;

  protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        initialised = true;
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_FINISH) {
            ownerWasDisabled = m_pParentWnd != nullptr && !m_pParentWnd->IsWindowEnabled();
            EndDialog(static_cast<int>(wParam));
            return 0;
        }
        if (message == WM_PRESS_ESCAPE) {
            SendKey(m_hWnd, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(Dialogs, ModalDialogEndsWithAPostedMessageAndGivesBackItsOwner) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 300)));
    TestDialog dialog(&owner);
    HWND dialogWindow = nullptr;
    dialog.onInit = [&dialogWindow](TestDialog& self) {
        dialogWindow = self.m_hWnd;
        self.PostMessage(WM_FINISH, 42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_TRUE(dialog.ownerWasDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialogs, EscapeCancelsAndAnEndDuringInitialisationSkipsTheLoop) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 300)));
    TestDialog escaped(&owner);
    escaped.onInit = [](TestDialog& self) { self.PostMessage(WM_PRESS_ESCAPE); };
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);

    TestDialog immediate(&owner);
    immediate.onInit = [](TestDialog& self) { self.EndDialog(IDOK); };
    EXPECT_EQ(immediate.DoModal(), IDOK);
}

TEST(Dialogs, ModelessChildDialogLivesInItsParent) {
    TestWindow parent;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 300)));
    TestDialog dialog(&parent);
    dialog.m_templateStyle = WS_CHILD | WS_VISIBLE | DS_CONTROL;
    dialog.m_templateExStyle = WS_EX_ACCEPTFILES;
    dialog.m_templateRect = CRect(10, 20, 110, 70);
    ASSERT_TRUE(dialog.Create(172, &parent));
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.GetParent(), &parent);
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_NE(dialog.GetExStyle() & WS_EX_ACCEPTFILES, 0u);
    CRect rect;
    dialog.GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(10, 20, 110, 70));
}

} // namespace

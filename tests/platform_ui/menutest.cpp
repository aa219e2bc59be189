// Pop-up menus: built, tracked, answered.

#include "uitest.h"

#include "platform/ui/menu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ChooseSecond : public PopupMenuHandler {
  public:
    UINT Track(HMENU menu, UINT flags, POINT point, HWND owner) override {
        seenFlags = flags;
        seenPoint = point;
        seenOwner = owner;
        return GetMenuItemID(menu, 2);
    }
    UINT seenFlags = 0;
    POINT seenPoint{};
    HWND seenOwner = nullptr;
};

TEST(Menus, ChosenCommandIsAnsweredOrPostedToTheOwner) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 200, 200)));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 100, L"All");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_CHECKED, 101, L"Event");
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuItemID(1), 0xFFFFFFFFu);
    CString text;
    menu.GetMenuString(101, text, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), L"Event");

    ChooseSecond chooser;
    PopupMenuHandler* previous = SetPopupMenuHandler(&chooser);
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 30, 40, &owner), 101);
    EXPECT_EQ(chooser.seenPoint.x, 30);
    EXPECT_EQ(chooser.seenOwner, owner.m_hWnd);
    EXPECT_TRUE(owner.Only({WM_COMMAND}).empty());
    EXPECT_TRUE(menu.TrackPopupMenu(TPM_RIGHTBUTTON, 30, 40, &owner));
    Pump();
    const std::vector<LoggedMessage> commands = owner.Only({WM_COMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, 101u);
    SetPopupMenuHandler(previous);
}

TEST(Menus, QtMenuReturnsTheActivatedItem) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 200, 200)));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 7, L"First");
    menu.AppendMenu(MF_STRING | MF_GRAYED, 8, L"Grey");
    menu.AppendMenu(MF_STRING, 9, L"Third");
    QTimer::singleShot(20, [] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(popup->actions().size(), 3);
        EXPECT_FALSE(popup->actions()[1]->isEnabled());
        popup->setActiveAction(popup->actions()[2]);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(popup, &enter);
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), 9);
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_EQ(GetMenuItemCount(menu.m_hMenu), -1);
}

} // namespace

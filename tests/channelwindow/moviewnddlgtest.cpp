// The channel window without players: the idle picture, the template's frame, keys, drops, the
// control bar, and what input does without a player or a view.

#include "channelwindowfixture.h"
#include "platform/base/trace.h"
#include "platform/ui/cursor.h"
#include "platform/ui/qtaccess.h"
#include "support/testfolder.h"
#include "viewer/app/globals.h"

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

constexpr QRgb kIdleBackground = 0xFF171717;

// The box around every pixel that differs from the idle background; empty when there is none.
QRect InkBox(const QImage& picture) {
    QRect box;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((picture.pixel(x, y) | 0xFF000000) != kIdleBackground) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// The brightest pixel: full-strength text ink.
QRgb Brightest(const QImage& picture) {
    QRgb brightest = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) > qGray(brightest)) {
                brightest = picture.pixel(x, y);
            }
        }
    }
    return brightest;
}

void Press(HWND window, int key) {
    SendKey(window, QEvent::KeyPress, key);
}

void Release(HWND window, int key) {
    SendKey(window, QEvent::KeyRelease, key);
}

using ChannelWindowIdleTest = ChannelWindowTest;

TEST_F(ChannelWindowIdleTest, IdleWindowsShowTheirCameraNameOnDarkGrey) {
    struct Case {
        int channel;
        int nameX;
    };
    for (const Case& c : {Case{0, 156}, Case{1, 156}, Case{2, 156}, Case{3, 160}}) {
        SCOPED_TRACE(c.channel);
        ASSERT_TRUE(WaitFor([&] { return Picture(c.channel).pixel(2, 2) == kIdleBackground; }));
        const QImage picture = Picture(c.channel);
        const QRect ink = InkBox(picture);
        ASSERT_FALSE(ink.isEmpty());
        // The text starts at its point (a glyph's side bearing apart) and is one line of 13 points.
        EXPECT_GE(ink.left(), c.nameX);
        EXPECT_LE(ink.left(), c.nameX + 4);
        EXPECT_GE(ink.top(), 115);
        EXPECT_LE(ink.bottom(), 115 + 30);
        EXPECT_GE(ink.height(), 8);
        EXPECT_GE(ink.width(), 60);
        const QRgb text = Brightest(picture);
        EXPECT_NEAR(qRed(text), 0x8B, 6);
        EXPECT_NEAR(qGreen(text), 0x8B, 6);
        EXPECT_NEAR(qBlue(text), 0x8B, 6);
    }
    // The names differ: "RIGHT CAMERA" is not "LEFT CAMERA" moved over.
    EXPECT_NE(InkBox(Picture(2)).width(), InkBox(Picture(3)).width());
}

TEST_F(ChannelWindowIdleTest, WindowHasTheTemplatesFrame) {
    MovieWndDlg window(&top);
    ASSERT_TRUE(window.Create(MovieWndDlg::IDD, &top));
    CRect client;
    window.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 309);
    EXPECT_EQ(client.Height(), 228);
    EXPECT_NE(window.GetStyle() & WS_CHILD, 0u);
    EXPECT_NE(window.GetExStyle() & WS_EX_ACCEPTFILES, 0u);
    EXPECT_EQ(window.GetParent(), &top);
}

TEST_F(ChannelWindowIdleTest, DoubleClickOnAnIdleWindowSwitchesOnlyOutOfTheEnlargedMode) {
    DoubleClick(2, QPoint(50, 50));
    EXPECT_TRUE(view.screenModes.empty());

    windows[2]->SetEnlarged(1);
    DoubleClick(2, QPoint(50, 50));
    EXPECT_EQ(view.screenModes, (std::vector<std::pair<int, int>>{{2, 0}}));
    // It left the mode itself, so the next double click is on a window that is not enlarged.
    DoubleClick(2, QPoint(50, 50));
    EXPECT_EQ(view.screenModes.size(), 1u);
}

TEST_F(ChannelWindowIdleTest, EscapeLeavesTheEnlargedModeOfWhicheverChannelIsEnlarged) {
    std::vector<std::wstring> traced;
    const TraceSink previous = SetTraceSink([&](const std::wstring& line) { traced.push_back(line); });
    Press(Handle(0), Qt::Key_Escape);
    Release(Handle(0), Qt::Key_Escape);
    EXPECT_TRUE(view.screenModes.empty());

    SelectChannel(3);
    Press(Handle(0), Qt::Key_Escape);
    Release(Handle(0), Qt::Key_Escape);
    SetTraceSink(previous);
    EXPECT_EQ(view.screenModes, (std::vector<std::pair<int, int>>{{3, 0}}));
    EXPECT_EQ(std::count(traced.begin(), traced.end(), L"VK_ESCAPE!!!!!!!!!!!!!!!!"), 2);
}

TEST_F(ChannelWindowIdleTest, EnterAndEscapeKeyDownAreSwallowed) {
    std::vector<UINT> seenByParent;
    top.preTranslate = [&](MSG* message) {
        if (message->message == WM_KEYDOWN) {
            seenByParent.push_back(static_cast<UINT>(message->wParam));
        }
        return FALSE;
    };
    windows[0]->SetFocus();
    for (const int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) {
        Press(Handle(0), key);
        Release(Handle(0), key);
    }
    top.preTranslate = nullptr;
    // Only the space bar went on; the dialog did not end on Enter or Escape.
    EXPECT_EQ(seenByParent, std::vector<UINT>{VK_SPACE});
    EXPECT_TRUE(windows[0]->IsWindowVisible());
}

TEST_F(ChannelWindowIdleTest, DroppedFoldersAndFilesGoToTheViewInDropOrder) {
    TestFolder folder;
    std::filesystem::create_directory(folder / "card");
    std::filesystem::create_directory(folder / "second card");
    std::ofstream(folder / "clip.mp4") << "x";
    std::ofstream(folder / "other.avi") << "x";
    DropPaths(Handle(1), {folder.Wide("card"), folder.Wide("clip.mp4"), folder.Wide("missing.mp4"),
                          folder.Wide("other.avi"), folder.Wide("second card")});
    const std::vector<std::pair<UINT, std::wstring>> expected = {
        {WM_OPEN_FOLDER, folder.Wide("card")},
        {WM_OPEN_FILE, folder.Wide("clip.mp4")},
        {WM_OPEN_FILE, folder.Wide("other.avi")},
        {WM_OPEN_FOLDER, folder.Wide("second card")},
    };
    EXPECT_EQ(viewWindow.opened, expected);
}

TEST_F(ChannelWindowIdleTest, NothingIsSentWhileThereIsNoViewWindow) {
    TestFolder folder;
    std::ofstream(folder / "clip.mp4") << "x";
    g_hViewWnd = nullptr;
    DropPaths(Handle(0), {folder.Wide(), folder.Wide("clip.mp4")});
    EXPECT_TRUE(viewWindow.opened.empty());
}

TEST_F(ChannelWindowIdleTest, LongDroppedPathsAreSentWhole) {
    // A folder whose path is 1023 characters long holds the file: a path cut at that length
    // would name the folder instead.
    TestFolder folder;
    std::string longFolder = folder.Path().string();
    while (1023 - longFolder.size() > 250) {
        longFolder += "/" + std::string(200, 'd');
    }
    longFolder += "/" + std::string(1023 - longFolder.size() - 1, 'e');
    ASSERT_EQ(longFolder.size(), 1023u);
    std::filesystem::create_directories(longFolder);
    const std::string file = longFolder + "/clip.mp4";
    std::ofstream(file) << "x";
    const std::wstring widePath(file.begin(), file.end());
    DropPaths(Handle(0), {widePath});
    EXPECT_EQ(viewWindow.opened, (std::vector<std::pair<UINT, std::wstring>>{{WM_OPEN_FILE, widePath}}));
}

TEST_F(ChannelWindowIdleTest, ControlBarComesUpNearTheBottomOfTheEnlargedChannel) {
    TestWindow bar;
    ASSERT_TRUE(bar.CreateChild(&top, CRect(0, 300, 200, 340), 9, 0));
    view.controlBar = &bar;
    g_monitorHeight = kWindowHeight;
    SelectChannel(0);
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(100, kWindowHeight - 71), Qt::NoButton);
    EXPECT_FALSE(bar.IsWindowVisible());
    // Only the enlarged channel brings it up.
    Mouse(1, QEvent::MouseMove, Qt::NoButton, QPoint(100, kWindowHeight - 5), Qt::NoButton);
    EXPECT_FALSE(bar.IsWindowVisible());
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(100, kWindowHeight - 70), Qt::NoButton);
    EXPECT_TRUE(bar.IsWindowVisible());
    // It is placed right behind the channel's window.
    const QObjectList stacking = WidgetFromHandle(top.m_hWnd)->children();
    EXPECT_EQ(stacking.indexOf(WidgetFromHandle(bar.m_hWnd)) + 1,
              stacking.indexOf(WidgetFromHandle(Handle(0))));

    // A view whose bar does not exist yet is left alone.
    view.controlBar = nullptr;
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(100, kWindowHeight - 5), Qt::NoButton);
}

TEST_F(ChannelWindowIdleTest, RightClickInTheTwoWindowLayoutRepaintsThePartner) {
    struct Case {
        int numberOfChannel;
        int channel;
        std::vector<int> invalidated;
    };
    const Case cases[] = {
        {2, 0, {1}}, {2, 1, {0}}, {2, 2, {3}}, {2, 3, {2}}, {1, 0, {}}, {4, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.numberOfChannel << " windows, channel " << c.channel);
        view.numberOfChannel = c.numberOfChannel;
        view.invalidated.clear();
        RightClick(c.channel, QPoint(30, 30));
        EXPECT_EQ(view.invalidated, c.invalidated);
    }
}

TEST_F(ChannelWindowIdleTest, NoZoomSelectionStartsWithoutAPlayer) {
    Mouse(0, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(20, 20), Qt::LeftButton);
    EXPECT_EQ(::GetCapture(), nullptr);
    Mouse(0, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(120, 120), Qt::NoButton);
    EXPECT_TRUE(view.invalidated.empty());
}

TEST_F(ChannelWindowIdleTest, TheTwoWindowLayoutShowsTheZoomCursorAndNeverHidesThePointer) {
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(40, 40), Qt::NoButton);
    EXPECT_NE(GetCursor(), nullptr);
    EXPECT_NE(GetCursor(), arrow);
    view.numberOfChannel = 4;
    Mouse(0, QEvent::MouseMove, Qt::NoButton, QPoint(50, 40), Qt::NoButton);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(ChannelWindowIdleTest, WindowWithoutViewOrChannelOnlyPaintsItsBackground) {
    MovieWndDlg window(&top);
    ASSERT_TRUE(window.Create(MovieWndDlg::IDD, &top));
    window.MoveWindow(0, 0, kWindowWidth, kWindowHeight);
    window.ShowWindow(SW_SHOW);
    ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(window.m_hWnd)->isVisible(); }));
    SelectChannel(1);
    Mouse(window.m_hWnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 10), Qt::LeftButton);
    Mouse(window.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(90, 90), Qt::LeftButton);
    Mouse(window.m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(90, 90), Qt::NoButton);
    Mouse(window.m_hWnd, QEvent::MouseButtonPress, Qt::RightButton, QPoint(10, 10), Qt::RightButton);
    Mouse(window.m_hWnd, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(10, 10), Qt::NoButton);
    Mouse(window.m_hWnd, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(10, 10), Qt::LeftButton);
    Press(window.m_hWnd, Qt::Key_Escape);
    Release(window.m_hWnd, Qt::Key_Escape);
    window.Invalidate();
    window.UpdateWindow();
    ASSERT_TRUE(WaitFor([&] { return WindowPicture(window.m_hWnd).pixel(5, 5) == kIdleBackground; }));
    EXPECT_TRUE(InkBox(WindowPicture(window.m_hWnd)).isEmpty());
}

} // namespace

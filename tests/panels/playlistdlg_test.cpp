#include "panelsfixture.h"
#include "platform/base/registry.h"
#include "platform/base/resourcemodule.h"
#include "platform/ui/qtaccess.h"
#include "viewer/app/globals.h"
#include "viewer/ui/playlistdlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

class PlaylistTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        Build(playlist, Skin());
    }

    void Build(PlaylistDlg& panel, ResStorage& store) {
        ASSERT_TRUE(panel.Create(PlaylistDlg::IDD, &view));
        panel.SetView(&fakeView);
        panel.SetResStorage(&store);
        panel.SetDataDirStruct(nullptr);
        panel.CreateControls();
        panel.ShowWindow(SW_SHOW);
    }

    void AddRows(int count) {
        for (int row = 0; row < count; ++row) {
            List().InsertItem(row, L"Always");
            List().SetItemText(row, 2, (L"2026-12-10 08:0" + std::to_wstring(row) + L":00").c_str());
        }
    }

    CSkinListCtrl& List() { return playlist.GetListCtrl(); }

    CRect ListRectInPanel() {
        CRect rect;
        List().GetWindowRect(&rect);
        playlist.ScreenToClient(&rect);
        return rect;
    }

    void DoubleClick(const QPoint& at) {
        static quint64 time = 1000000;
        time += 10000;
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
            SendMouse(List().m_hWnd, type, Qt::LeftButton, at, Qt::LeftButton, Qt::NoModifier, ++time);
            SendMouse(List().m_hWnd, QEvent::MouseButtonRelease, Qt::LeftButton, at, Qt::NoButton,
                      Qt::NoModifier, ++time);
        }
    }

    // A key as the window layer takes it from Qt, aimed at the list, which has the focus.
    void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             bool autoRepeat = false) {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(WidgetFromHandle(List().m_hWnd), &event);
    }

    FakePlaylistView fakeView;
    PlaylistDlg playlist;
};

std::vector<std::wstring> Headings(CSkinListCtrl& list) {
    std::vector<std::wstring> headings;
    CHeaderCtrl* header = list.GetHeaderCtrl();
    for (int column = 0; column < header->GetItemCount(); ++column) {
        wchar_t text[64] = {};
        HDITEMW item;
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        header->GetItem(column, &item);
        headings.emplace_back(text);
    }
    return headings;
}

void SetLanguageValue(const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value.empty()) {
        RegDeleteValueW(key, L"LanguageID");
    } else {
        const std::vector<BYTE> bytes = RegStringBytes(value, false);
        RegSetValueExW(key, L"LanguageID", 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    RegCloseKey(key);
}

TEST_F(PlaylistTest, TheBuilderMakesTheListOfTheSkin) {
    CRect panel;
    playlist.GetWindowRect(&panel);
    EXPECT_EQ(panel.Size(), Skin().GetComponentRect(CID_PLAYLIST_PANEL, CRect()).Size());
    ASSERT_EQ(playlist.GetDlgItem(PlaylistDlg::kListId), &List());
    const CRect list = Skin().GetComponentRect(CID_PLAYLIST_LIST, CRect());
    EXPECT_EQ(ListRectInPanel().TopLeft(), list.TopLeft());

    EXPECT_EQ(List().GetExtendedStyle(), 0x30u);
    EXPECT_EQ(List().GetBkColor(), 0x171717u);
    EXPECT_EQ(List().GetTextColor(), 0x8B8B8Bu);
    const int widths[] = {0, 50, 145, 20, 20, 20, 20};
    ASSERT_EQ(List().GetHeaderCtrl()->GetItemCount(), 7);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(List().GetColumnWidth(column), widths[column]) << column;
        HDITEMW item;
        item.mask = HDI_FORMAT;
        List().GetHeaderCtrl()->GetItem(column, &item);
        EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, column == 0 ? HDF_LEFT : HDF_CENTER) << column;
    }
    // No language set: the table of 1033, which holds this edition's Japanese texts.
    EXPECT_EQ(playlist.GetLanguageId(), 1033);
    EXPECT_EQ(Headings(List()), (std::vector<std::wstring>{L"", L"\u7A2E\u985E", L"\u65E5\u6642", L"\u25B3",
                                                           L"\u25BD", L"\u25C1", L"\u25B7"}));
}

TEST_F(PlaylistTest, TheListDrawsTheViewsPlayingRowAndThePanelItsSkinAroundIt) {
    AddRows(4);
    fakeView.playingRow = 2;
    List().Invalidate();
    List().UpdateWindow();
    CRect row;
    ASSERT_TRUE(List().GetItemRect(2, &row, LVIR_BOUNDS));
    EXPECT_EQ(WindowPicture(List().m_hWnd).pixel(row.left + 150, row.CenterPoint().y),
              qRgb(0x24, 0x24, 0x24));
    ASSERT_TRUE(List().GetItemRect(1, &row, LVIR_BOUNDS));
    EXPECT_EQ(WindowPicture(List().m_hWnd).pixel(row.left + 150, row.CenterPoint().y),
              qRgb(0x17, 0x17, 0x17));

    // The panel's own picture: the skin's head and bottom pieces, where they lie in the panel.
    const struct {
        eComponentID piece;
        QPoint at;
    } probes[] = {{CID_PLAYLIST_PIECE_1, QPoint(2, 2)},
                  {CID_PLAYLIST_PIECE_1, QPoint(180, 18)},
                  {CID_PLAYLIST_PIECE_4, QPoint(20, 2)}};
    playlist.Invalidate();
    for (const auto& probe : probes) {
        const QImage piece = ImageFromBitmap(Skin().GetComponentInfo(probe.piece)[0]);
        const CRect rect = Skin().GetComponentRect(probe.piece, CRect());
        const QPoint inPanel(rect.left + probe.at.x(), rect.top + probe.at.y());
        EXPECT_TRUE(WaitFor([&] {
            return WindowPicture(playlist.m_hWnd).pixel(inPanel) == piece.pixel(probe.at);
        })) << probe.piece
            << " at " << inPanel.x() << ", " << inPanel.y();
    }
}

TEST_F(PlaylistTest, HeadingsComeInThePanelsLanguage) {
    SetLanguageValue(L"0");
    ResStorage korean;
    ASSERT_EQ(korean.LoadSkin(L".\\ResStorage.dat", nullptr), 1);
    SetLanguageValue(L"");
    PlaylistDlg panel;
    Build(panel, korean);
    EXPECT_EQ(panel.GetLanguageId(), 1042);
    std::vector<std::wstring> expected = {L""};
    for (UINT id : {161u, 162u, 163u, 164u, 327u, 328u}) {
        expected.push_back(LoadStringLang(g_hResourceDll, id, 1042));
    }
    EXPECT_EQ(expected[1], L"\uC885\uB958");
    EXPECT_EQ(Headings(panel.GetListCtrl()), expected);
}

TEST_F(PlaylistTest, ANullSkinStoreIsIgnored) {
    playlist.SetResStorage(nullptr);
    EXPECT_EQ(playlist.GetLanguageId(), 1033);
    PlaylistDlg bare;
    ASSERT_TRUE(bare.Create(PlaylistDlg::IDD, &view));
    bare.SetResStorage(nullptr);
    bare.CreateControls();
    EXPECT_EQ(bare.GetListCtrl().GetHeaderCtrl()->GetItemCount(), 0) << "nothing is built without a skin";
}

TEST(PlaylistLayout, TheListFollowsThePanelsHeightBelowItsTop) {
    const CRect panel(0, 0, 360, 792);
    const CRect list(8, 36, 352, 784);
    const struct {
        int clientHeight;
        CRect expected;
    } cases[] = {
        {792, CRect(8, 36, 352, 36 + 792 - 44 - 36)},
        {892, CRect(8, 36, 352, 36 + 892 - 44 - 36)},
        {80, CRect(8, 36, 352, 36)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaylistDlg::ListRectForClient(panel, list, c.clientHeight), c.expected) << c.clientHeight;
    }
}

TEST_F(PlaylistTest, ResizingThePanelResizesTheListBelowItsTop) {
    CRect panel;
    playlist.GetWindowRect(&panel);
    playlist.SetWindowPos(HWND_TOP, 0, 0, panel.Width(), 600, SWP_NOMOVE | SWP_NOZORDER);
    const CRect before = ListRectInPanel();
    playlist.SetWindowPos(HWND_TOP, 0, 0, panel.Width(), 700, SWP_NOMOVE | SWP_NOZORDER);
    const CRect after = ListRectInPanel();
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_EQ(after.Height(), before.Height() + 100);
    // The bars stay along the list's right and bottom edges.
    CRect bar;
    List().VerticalBar().GetWindowRect(&bar);
    playlist.ScreenToClient(&bar);
    EXPECT_EQ(bar.left, after.right);
    EXPECT_EQ(bar.top, after.top);
}

TEST_F(PlaylistTest, ADoubleClickPlaysTheRowUnderTheCursor) {
    AddRows(5);
    List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    CRect row;
    ASSERT_TRUE(List().GetItemRect(3, &row, LVIR_BOUNDS));
    TraceLog trace;
    DoubleClick(QPoint(100, row.CenterPoint().y));
    EXPECT_EQ(fakeView.opened, std::vector<int>{3}) << "whatever was selected before";
    EXPECT_TRUE(trace.lines.empty());

    fakeView.openResult = 0;
    ASSERT_TRUE(List().GetItemRect(1, &row, LVIR_BOUNDS));
    DoubleClick(QPoint(100, row.CenterPoint().y));
    EXPECT_EQ(fakeView.opened, (std::vector<int>{3, 1}));
    EXPECT_EQ(trace.lines, std::vector<std::wstring>{L"PlayRecFile() Error, pNMItemActivate->iItem=1"});

    CRect last;
    ASSERT_TRUE(List().GetItemRect(4, &last, LVIR_BOUNDS));
    DoubleClick(QPoint(100, last.bottom + 40));
    EXPECT_EQ(fakeView.opened.size(), 2u) << "below the rows there is nothing to play";
}

TEST_F(PlaylistTest, KeysOfThePanel) {
    const struct {
        UINT message;
        UINT key;
        int selectedChannel;
        BOOL swallowed;
        int deletions;
        size_t toggles;
    } cases[] = {
        {WM_KEYDOWN, VK_ESCAPE, 65535, TRUE, 0, 0},  {WM_KEYDOWN, VK_RETURN, 65535, TRUE, 0, 0},
        {WM_KEYDOWN, VK_SPACE, 65535, TRUE, 0, 0},   {WM_KEYDOWN, 0x03, 65535, TRUE, 0, 0},
        {WM_KEYDOWN, VK_DELETE, 65535, FALSE, 1, 0}, {WM_KEYDOWN, VK_DELETE, 2, FALSE, 1, 0},
        {WM_KEYDOWN, VK_DELETE, 3, FALSE, 1, 0},     {WM_KEYDOWN, VK_DELETE, 0, FALSE, 0, 0},
        {WM_KEYDOWN, VK_DELETE, 1, FALSE, 0, 0},     {WM_KEYUP, VK_SPACE, 65535, FALSE, 0, 1},
        {WM_KEYUP, VK_SPACE, 0, FALSE, 0, 1},        {WM_KEYUP, VK_ESCAPE, 65535, FALSE, 0, 0},
        {WM_KEYDOWN, 'A', 65535, FALSE, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.key << " " << c.selectedChannel);
        SelectChannel(c.selectedChannel);
        fakeView.deletions = 0;
        view.log.clear();
        TraceLog trace;
        MSG message{};
        message.hwnd = List().m_hWnd;
        message.message = c.message;
        message.wParam = c.key;
        EXPECT_EQ(CWnd::WalkPreTranslateTree(&message), c.swallowed);
        EXPECT_EQ(fakeView.deletions, c.deletions);
        EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), c.toggles);
        if (c.deletions != 0) {
            EXPECT_EQ(trace.lines, std::vector<std::wstring>{L"DEL!!DEL!!DEL!!DEL!!"});
        }
        EXPECT_TRUE(playlist.IsWindowVisible()) << "no key closes the panel";
    }
}

TEST_F(PlaylistTest, SpaceHeldDownTogglesOnceWhenReleased) {
    List().SetFocus();
    Key(QEvent::KeyPress, Qt::Key_Space);
    for (int repeat = 0; repeat < 3; ++repeat) {
        Key(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, true);
        Key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, true);
    }
    EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), 0u);
    Key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), 1u);

    // Enter and Escape pressed on the list leave the panel open.
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
        Key(QEvent::KeyPress, key);
        Key(QEvent::KeyRelease, key);
    }
    Pump();
    EXPECT_TRUE(playlist.IsWindowVisible());
    EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), 1u);
}

TEST_F(PlaylistTest, AltF4EndsTheProgramOutsideThePanelsHandler) {
    MainWindowOfTheProgram program(main);
    Key(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
    EXPECT_NE(main.m_hWnd, nullptr) << "not from inside the panel's own handler";
    ASSERT_TRUE(WaitFor([&] { return main.m_hWnd == nullptr; }));
}

// Where the desktop takes Alt+F4 for itself, it asks the focused window to close.
TEST_F(PlaylistTest, TheDesktopsCloseRequestEndsTheProgramAsAltF4Does) {
    MainWindowOfTheProgram program(main);
    QCloseEvent close;
    QCoreApplication::sendEvent(WidgetFromHandle(playlist.m_hWnd), &close);
    EXPECT_TRUE(playlist.IsWindowVisible()) << "not cancelled like a dialog";
    ASSERT_TRUE(WaitFor([&] { return main.m_hWnd == nullptr; }));
}

} // namespace

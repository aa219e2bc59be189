#include "viewer/ui/playlistdlg.h"

#include "platform/base/resourcemodule.h"
#include "platform/base/trace.h"
#include "platform/ui/app.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/engine/ffmpegplayer.h"
#include "viewer/skin/borrowedbitmap.h"
#include "viewer/skin/painter.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/panelkeys.h"

#include <string>

namespace {

constexpr COLORREF kListBackground = 0x171717;
constexpr COLORREF kListText = 0x8B8B8B;
constexpr int kListFontHeight = 13;
constexpr int kMaxTipWidth = 200;

struct Column {
    UINT heading; // string id; 0: no heading
    int width;
    int format;
};

constexpr Column kColumns[] = {{0, 0, LVCFMT_LEFT},      {161, 50, LVCFMT_CENTER}, {162, 145, LVCFMT_CENTER},
                               {163, 20, LVCFMT_CENTER}, {164, 20, LVCFMT_CENTER}, {327, 20, LVCFMT_CENTER},
                               {328, 20, LVCFMT_CENTER}};

// The pictures of the panel around its list, placed as the skin places them in the panel.
constexpr eComponentID kFramePieces[] = {CID_PLAYLIST_PIECE_1, CID_PLAYLIST_PIECE_2, CID_PLAYLIST_PIECE_3,
                                         CID_PLAYLIST_PIECE_4, CID_PLAYLIST_PIECE_5};

} // namespace

PlaylistDlg::PlaylistDlg(CWnd* parent) : CSlideSon(IDD, parent) {
    m_templateStyle = WS_POPUP | WS_CLIPCHILDREN;
    m_templateExStyle = 0;
}

PlaylistDlg::~PlaylistDlg() {
    // The list and its bars go with the window, before the font they are drawn with.
    DestroyWindow();
}

BOOL PlaylistDlg::OnInitDialog() {
    CSlideSon::OnInitDialog();
    // The template's one control; the builder gives it its place.
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(), this,
                  kListId);
    m_list.DragAcceptFiles(TRUE);
    return TRUE;
}

void PlaylistDlg::SetResStorage(ResStorage* store) {
    if (store == nullptr) {
        return;
    }
    m_store = store;
    m_languageId = store->GetLanguageId();
}

void PlaylistDlg::CreateControls() {
    if (m_store == nullptr) {
        return;
    }
    m_panelRect = m_store->GetComponentRect(CID_PLAYLIST_PANEL, CRect());
    SetWindowPos(HWND_TOP, m_panelRect.left, m_panelRect.top, m_panelRect.Width(), m_panelRect.Height(), 0);

    m_listRect = m_store->GetComponentRect(CID_PLAYLIST_LIST, CRect());
    m_list.MoveWindow(&m_listRect, TRUE);

    m_list.InitSkinScrollBars(m_view != nullptr ? m_view->GetPlayingRowPointer() : nullptr);
    m_list.SetBitmaps(m_store->GetComponentInfo(CID_PLAYLIST_LIST).images);
    m_list.SetBkColor(kListBackground);
    m_list.SetTextColor(kListText);

    m_font.CreateFont(kListFontHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"NanumGothic");
    m_list.SetFont(&m_font, TRUE);

    int index = 0;
    for (const Column& column : kColumns) {
        const std::wstring heading = column.heading != 0
                                         ? LoadStringLang(g_hResourceDll, column.heading, m_languageId)
                                         : std::wstring();
        m_list.InsertColumn(index++, heading.c_str(), column.format, column.width);
    }
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);

    if (m_toolTip.m_hWnd == nullptr) {
        m_toolTip.Create(this);
    }
    m_toolTip.SetMaxTipWidth(kMaxTipWidth);
}

CRect PlaylistDlg::ListRectForClient(const CRect& panelRect, const CRect& listRect, int clientHeight) {
    const int height = clientHeight - (panelRect.Height() - listRect.Height()) - listRect.top;
    return CRect(listRect.left, listRect.top, listRect.left + listRect.Width(), listRect.top + height);
}

void PlaylistDlg::OnSize(UINT type, int width, int height) {
    CSlideSon::OnSize(type, width, height);
    if (m_list.m_hWnd == nullptr) {
        return;
    }
    const CRect rect = ListRectForClient(m_panelRect, m_listRect, height);
    m_list.MoveWindow(rect.left, rect.top, rect.Width(), rect.Height());
    m_list.RepositionScrollBars();
    m_list.Invalidate(FALSE);
}

void PlaylistDlg::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    // Where the skin has no picture (a panel taller than the skin's) it shows the list's colour.
    dc.FillSolidRect(&client, kListBackground);
    if (m_store == nullptr) {
        return;
    }
    CPainter painter(&dc);
    for (const eComponentID piece : kFramePieces) {
        CBorrowedBitmap image;
        image.Borrow(m_store->GetComponentInfo(piece)[0]);
        if (image.IsSet()) {
            painter.DrawBitmap(&image, m_store->GetComponentRect(piece, m_panelRect).TopLeft(), CRect());
        }
    }
}

BOOL PlaylistDlg::OnEraseBkgnd(CDC*) {
    return FALSE;
}

BOOL PlaylistDlg::DockToParent() {
    if (MeasureRects()) {
        Run({SlideRules::Place(m_parentRect.left + kDockOffsetX, m_parentRect.top + kDockOffsetY,
                               m_ownRect.Width(), m_ownRect.Height(), SlideStep::Top, 0)});
    }
    return TRUE;
}

// Opened, the panel appears at once where it docks, at the size it is given. Placed right of the
// main window at the main window's height, as the other panels open, it stood half outside the
// main window and kept that height when the main window next moved and docked it.
BOOL PlaylistDlg::BeginSlide(CRect size) {
    if (MeasureRects()) {
        Run({SlideRules::Place(m_parentRect.left + kDockOffsetX, m_parentRect.top + kDockOffsetY,
                               size.Width(), size.Height(), SlideStep::Top, SWP_SHOWWINDOW)});
    }
    return TRUE;
}

BOOL PlaylistDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header != nullptr && header->idFrom == kListId && header->code == NM_DBLCLK) {
        const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
        if (row >= 0 && m_view != nullptr && m_view->OpenAndPlay(row) == 0) {
            TraceLine("PlayRecFile() Error, pNMItemActivate->iItem=" + std::to_string(row));
        }
        *result = 0;
        return TRUE;
    }
    return CSlideSon::OnNotify(wParam, lParam, result);
}

BOOL PlaylistDlg::PreTranslateMessage(MSG* message) {
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.RelayEvent(message);
    }
    const UINT key = static_cast<UINT>(message->wParam);
    if (message->message == WM_SYSKEYDOWN && key == kVkF4) {
        DestroyMainWindowLater();
        return TRUE;
    }
    if (message->message == WM_KEYDOWN) {
        if (key == VK_ESCAPE || key == VK_RETURN || key == VK_SPACE || key == kVkCancel) {
            return TRUE;
        }
        if (key == VK_DELETE) {
            const int selected = PlayerGetSelectedChannel();
            if (selected != 0 && selected != 1 && m_view != nullptr) {
                m_view->DeleteSelectedRecordings();
                TraceLine(std::string("DEL!!DEL!!DEL!!DEL!!"));
            }
        }
    } else if (message->message == WM_KEYUP && key == VK_SPACE && g_hViewWnd != nullptr) {
        ::SendMessageW(g_hViewWnd, WM_TOGGLE_PLAY, 0, 0);
        TraceLine(std::string("VK_SPACE!!!!!!!!!!!!!!!!"));
    }
    return CSlideSon::PreTranslateMessage(message);
}

#include "viewer/skin/skinlistctrl.h"

#include "platform/base/filesystem.h"
#include "platform/ui/dc.h"
#include "platform/ui/drop.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/mymemdc.h"

namespace {

constexpr COLORREF kBackground = 0x171717;
constexpr UINT kBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;
constexpr UINT kBarId = 65535;

} // namespace

CSkinListCtrl::CSkinListCtrl() = default;

CSkinListCtrl::~CSkinListCtrl() {
    m_verticalBar.DestroyWindow();
    m_horizontalBar.DestroyWindow();
    if (m_header.m_hWnd != nullptr) {
        m_header.UnsubclassWindow();
    }
    DestroyWindow();
}

void CSkinListCtrl::AttachHeader() {
    CHeaderCtrl* header = GetHeaderCtrl();
    if (header != nullptr && m_header.m_hWnd == nullptr) {
        m_header.SubclassWindow(header->GetSafeHwnd());
    }
}

void CSkinListCtrl::PreSubclassWindow() {
    AttachHeader();
    CListCtrl::PreSubclassWindow();
}

int CSkinListCtrl::OnCreate(LPCREATESTRUCTW create) {
    const int result = CListCtrl::OnCreate(create);
    if (result != -1) {
        AttachHeader();
    }
    return result;
}

void CSkinListCtrl::InitSkinScrollBars(const int* playingRow) {
    InitializeFlatSB(m_hWnd);
    FlatSB_EnableScrollBar(m_hWnd, SB_BOTH, ESB_DISABLE_BOTH);
    m_playingRow = playingRow;
    CWnd* parent = GetParent();
    m_verticalBar.Create(L"", kBarStyle, CRect(0, 0, 0, 0), parent, kBarId);
    m_verticalBar.SetList(this);
    m_horizontalBar.Create(L"", kBarStyle, CRect(0, 0, 0, 0), parent, kBarId);
    m_horizontalBar.SetList(this);
}

void CSkinListCtrl::SetBitmaps(const HBITMAP images[13]) {
    for (int i = 0; i < 13; ++i) {
        m_images[i] = images[i];
    }
    m_header.SetBitmaps(images[0], images[1], images[2]);
    m_horizontalBar.SetBitmaps(images[3], images[4], images[5], images[6]);
    m_verticalBar.SetBitmaps(images[7], images[8], images[9], images[10], images[11], images[12]);
    RepositionScrollBars();
}

void CSkinListCtrl::RepositionScrollBars() {
    CWnd* parent = GetParent();
    if (parent == nullptr) {
        return;
    }
    const CSize topCap = m_verticalBar.TopCapSize();
    const CSize leftArrow = m_horizontalBar.LeftArrowSize();
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width() - topCap.cx, rect.Height() - leftArrow.cx,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    if (m_verticalBar.m_hWnd != nullptr) {
        m_verticalBar.SetWindowPos(nullptr, rect.right, rect.top, topCap.cx - 8, rect.Height() + leftArrow.cy,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_horizontalBar.m_hWnd != nullptr) {
        m_horizontalBar.SetWindowPos(nullptr, rect.left, rect.bottom, rect.Width() + 1, leftArrow.cy,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UpdateThumbs();
    if (m_horizontalBar.m_hWnd != nullptr) {
        m_horizontalBar.ShowWindow(SW_HIDE);
    }
}

void CSkinListCtrl::UpdateThumbs() {
    m_verticalBar.UpdateThumbPosition();
    m_horizontalBar.UpdateThumbPosition();
}

bool CSkinListCtrl::ChooseRowColors(bool selected, bool playing, RowColors& colors) const {
    if (selected) {
        colors = RowColors{m_selectedText, m_selectedBackground};
        return true;
    }
    if (playing) {
        colors = RowColors{m_currentText, m_currentBackground};
        return true;
    }
    return false;
}

LRESULT CSkinListCtrl::CustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        m_rowWasSelected = GetItemState(row, LVIS_SELECTED) != 0;
        const bool playing = m_playingRow != nullptr && *m_playingRow == row;
        RowColors colors{};
        if (ChooseRowColors(m_rowWasSelected, playing, colors)) {
            draw->clrText = colors.text;
            draw->clrTextBk = colors.background;
        }
        if (m_rowWasSelected) {
            // The list would paint its own selection over ours.
            SetItemState(row, 0, LVIS_SELECTED);
        }
        return CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPOSTPAINT:
        if (m_rowWasSelected) {
            SetItemState(static_cast<int>(draw->nmcd.dwItemSpec), LVIS_SELECTED, LVIS_SELECTED);
        }
        return 0;
    default:
        return 0;
    }
}

BOOL CSkinListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header != nullptr && header->code == NM_CUSTOMDRAW && header->hwndFrom == m_hWnd) {
            *result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            return TRUE;
        }
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, result);
}

BOOL CSkinListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header != nullptr && (header->code == HDN_BEGINTRACKW || header->code == HDN_BEGINTRACKA ||
                              header->code == HDN_BEGINDRAG)) {
        *result = 1;
        return TRUE;
    }
    return CListCtrl::OnNotify(wParam, lParam, result);
}

BOOL CSkinListCtrl::PreTranslateMessage(MSG* message) {
    if (message->message == WM_CHAR && message->wParam == 1) {
        SetRedraw(FALSE);
        const int count = GetItemCount();
        for (int i = 0; i < count; ++i) {
            SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        }
        SetRedraw(TRUE);
    }
    return CListCtrl::PreTranslateMessage(message);
}

LRESULT CSkinListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_ERASEBKGND) {
        const LRESULT result = CListCtrl::WindowProc(message, wParam, lParam);
        UpdateThumbs();
        return result;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

void CSkinListCtrl::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) {
        return;
    }
    CMyMemDC dc(&paint, client);
    CWnd* header = GetDlgItem(0);
    if (header != nullptr) {
        CRect headerRect;
        header->GetWindowRect(&headerRect);
        ScreenToClient(&headerRect);
        dc.ExcludeClipRect(&headerRect);
    }
    CRect clip;
    dc.GetClipBox(&clip);
    dc.FillSolidRect(&clip, kBackground);
    SetBkColor(kBackground);
    UpdateThumbs();
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
}

BOOL CSkinListCtrl::OnMouseWheel(UINT flags, short delta, CPoint point) {
    SendMessage(WM_KEYDOWN, delta < 0 ? VK_DOWN : VK_UP, 1);
    return CListCtrl::OnMouseWheel(flags, delta, point);
}

void CSkinListCtrl::OnShowWindow(BOOL show, UINT status) {
    CListCtrl::OnShowWindow(show, status);
    const int command = show ? SW_SHOW : SW_HIDE;
    if (m_verticalBar.m_hWnd != nullptr) {
        m_verticalBar.ShowWindow(command);
    }
    if (m_horizontalBar.m_hWnd != nullptr) {
        m_horizontalBar.ShowWindow(command);
    }
}

void CSkinListCtrl::OnDropFiles(HDROP drop) {
    for (const std::wstring& path : DroppedFiles(drop)) {
        FileSystem::Status status;
        if (!FileSystem::GetStatus(path, status) || g_hViewWnd == nullptr) {
            continue;
        }
        ::SendMessageW(g_hViewWnd, status.isDirectory ? WM_OPEN_FOLDER : WM_OPEN_FILE, 0,
                       reinterpret_cast<LPARAM>(path.c_str()));
    }
    CListCtrl::OnDropFiles(drop);
}

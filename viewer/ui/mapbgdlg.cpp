#include "viewer/ui/mapbgdlg.h"

#include "platform/base/resourcemodule.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/panelkeys.h"

#include <algorithm>
#include <utility>

namespace {

constexpr DWORD kChildStyle = 0x56000000; // child, visible, clip siblings and children
constexpr DWORD kHiddenChildStyle = 0x46000000;
constexpr DWORD kCloseOptions = CButtonEx::OPTION_MASK_REGION | CBaseWnd::OPTION_HOVER;
constexpr COLORREF kImageKey = RGB(255, 0, 255);
constexpr UINT kCloseTipText = 198;
constexpr int kMaxTipWidth = 200;

bool MovesLeft(int hit) {
    return hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
}
bool MovesRight(int hit) {
    return hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
}
bool MovesTop(int hit) {
    return hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
}
bool MovesBottom(int hit) {
    return hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
}

} // namespace

MapBGDlg::MapBGDlg(MapDlg::Connectivity connected, CWnd* parent)
    : CSlideSon(IDD, parent), m_page(std::move(connected)) {
    m_templateStyle = WS_POPUP | WS_CLIPCHILDREN;
    m_templateExStyle = 0;
}

MapBGDlg::~MapBGDlg() {
    // The controls go with the window, before the objects they are drawn by.
    DestroyWindow();
}

BOOL MapBGDlg::OnInitDialog() {
    CSlideSon::OnInitDialog();
    m_page.Create(this, CRect(), kPageId);
    return TRUE;
}

void MapBGDlg::SetResStorage(ResStorage* store) {
    if (store == nullptr) {
        return;
    }
    m_store = store;
    m_languageId = store->GetLanguageId();
}

CStaticEx& MapBGDlg::GetGrip(UINT id) {
    switch (id) {
    case kGripLeftId:
        return m_gripLeft;
    case kGripRightId:
        return m_gripRight;
    case kGripBottomId:
        return m_gripBottom;
    default:
        return m_gripTop;
    }
}

void MapBGDlg::CreateGrip(CStaticEx& grip, eComponentID component, UINT id, DWORD style, DWORD options,
                          DWORD edges) {
    grip.Create(this, m_store->GetComponentRect(component, CRect()), id, style);
    grip.ModifyOptions(0, options);
    const ComponentImages images = m_store->GetComponentInfo(component);
    grip.SetBitmaps(images[0], images[1], images[2]);
    grip.SetSizingEdges(edges, m_hWnd);
    grip.ShowWindow(SW_HIDE);
}

void MapBGDlg::CreateControls() {
    if (m_store == nullptr || m_hWnd == nullptr) {
        return;
    }
    m_panelRect = m_store->GetComponentRect(CID_MAP_PANEL, CRect());
    m_pageRect = m_store->GetComponentRect(CID_MAP_PAGE, CRect());
    constexpr DWORD kBar = CStaticEx::OPTION_THREE_PIECES | CBaseWnd::OPTION_BACK_BUFFER;
    constexpr DWORD kSide = CStaticEx::OPTION_TILE_VERTICAL;
    using E = CStaticEx;
    CreateGrip(m_gripTop, CID_MAP_GRIP_TOP, kGripTopId, kChildStyle, kBar,
               E::EDGE_LEFT | E::EDGE_RIGHT | E::EDGE_TOP);
    CreateGrip(m_gripLeft, CID_MAP_GRIP_LEFT, kGripLeftId, kChildStyle, kSide, E::EDGE_LEFT);
    CreateGrip(m_gripRight, CID_MAP_GRIP_RIGHT, kGripRightId, kChildStyle, kSide, E::EDGE_RIGHT);
    CreateGrip(m_gripBottom, CID_MAP_GRIP_BOTTOM, kGripBottomId, kChildStyle, kBar,
               E::EDGE_LEFT | E::EDGE_RIGHT | E::EDGE_BOTTOM);

    const CRect topGrip = m_store->GetComponentRect(CID_MAP_GRIP_TOP, CRect());
    m_close.Create(&m_gripTop, m_store->GetComponentRect(CID_MAP_CLOSE, topGrip), kCloseId,
                   kHiddenChildStyle);
    m_close.SetNotifyWnd(m_hWnd);
    m_close.ModifyOptions(0, kCloseOptions);
    const ComponentImages images = m_store->GetComponentInfo(CID_MAP_CLOSE);
    m_close.SetImages(images[0], images[1], images[2], images[3], images[4], kImageKey, CRect());

    if (m_toolTip.m_hWnd == nullptr) {
        m_toolTip.Create(this, TTS_ALWAYSTIP);
    }
    m_toolTip.SetMaxTipWidth(kMaxTipWidth);
    m_toolTip.AddTool(&m_close, LoadStringLang(g_hResourceDll, kCloseTipText, m_languageId).c_str());

    CBaseWnd* order[] = {&m_gripTop, &m_gripBottom, &m_gripRight, &m_gripLeft};
    CBaseWnd::SetZOrder(order, 4);
    SetWindowPos(HWND_TOP, m_panelRect.left, m_panelRect.top, m_panelRect.Width(), m_panelRect.Height(), 0);
    OnSize(SIZE_RESTORED, m_panelRect.Width(), m_panelRect.Height());
}

// The page and the grips keep the skin's margins whatever the panel's size.
void MapBGDlg::OnSize(UINT type, int width, int height) {
    CSlideSon::OnSize(type, width, height);
    if (m_store == nullptr || m_gripTop.m_hWnd == nullptr) {
        return;
    }
    const int right = m_panelRect.right - m_pageRect.right;
    const int bottom = m_panelRect.bottom - m_pageRect.bottom;
    m_page.MoveWindow(m_pageRect.left, m_pageRect.top, width - m_pageRect.left - right,
                      height - m_pageRect.top - bottom);
    m_gripTop.MoveWindow(0, 0, width, m_pageRect.top);
    m_gripLeft.MoveWindow(0, m_pageRect.top, m_pageRect.left, height - m_pageRect.top - bottom);
    m_gripRight.MoveWindow(width - right, m_pageRect.top, right, height - m_pageRect.top - bottom);
    m_gripBottom.MoveWindow(0, height - bottom, width, bottom);
    const CRect close = m_store->GetComponentRect(CID_MAP_CLOSE, CRect());
    m_close.MoveWindow(width - (m_panelRect.Width() - close.left), close.top, close.Width(), close.Height());
}

BOOL MapBGDlg::DockToParent() {
    if (MeasureRects()) {
        Run({SlideRules::Place(m_parentRect.left + kDockOffsetX, m_parentRect.top + kDockOffsetY,
                               m_ownRect.Width(), m_ownRect.Height(), SlideStep::Top, 0)});
    }
    return TRUE;
}

BOOL MapBGDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kCloseId) {
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    return CSlideSon::OnCommand(wParam, lParam);
}

CStaticEx* MapBGDlg::GripWithCapture() {
    const HWND capture = ::GetCapture();
    for (CStaticEx* grip : {&m_gripTop, &m_gripLeft, &m_gripRight, &m_gripBottom}) {
        if (capture != nullptr && grip->m_hWnd == capture && grip->IsPressed()) {
            return grip;
        }
    }
    return nullptr;
}

CRect MapBGDlg::SizingRect(int hit, const CRect& start, int dx, int dy) {
    CRect rect = start;
    if (MovesLeft(hit)) {
        rect.left += dx;
    }
    if (MovesRight(hit)) {
        rect.right += dx;
    }
    if (MovesTop(hit)) {
        rect.top += dy;
    }
    if (MovesBottom(hit)) {
        rect.bottom += dy;
    }
    return rect;
}

CRect MapBGDlg::ReleasedRect(int hit, const CRect& sized, CSize minimum) {
    CRect rect = sized;
    if (rect.Width() < minimum.cx) {
        if (MovesLeft(hit)) {
            rect.left = rect.right - minimum.cx;
        } else {
            rect.right = rect.left + minimum.cx;
        }
    }
    if (rect.Height() < minimum.cy) {
        if (MovesTop(hit)) {
            rect.top = rect.bottom - minimum.cy;
        } else {
            rect.bottom = rect.top + minimum.cy;
        }
    }
    return rect;
}

// The grips hand their presses and drags on here, as the panel's own mouse messages.
void MapBGDlg::OnLButtonDown(UINT flags, CPoint point) {
    CSlideSon::OnLButtonDown(flags, point);
    if (m_sizingHit == 0) {
        GetCursorPos(&m_sizingPress);
        GetWindowRect(&m_sizingStart);
    }
}

// Only a drag that one of this panel's own grips holds sizes the panel: the hit code a grip leaves
// behind is shared by every window's grips.
void MapBGDlg::OnMouseMove(UINT flags, CPoint point) {
    CSlideSon::OnMouseMove(flags, point);
    if (m_sizingHit == 0) {
        if (GripWithCapture() == nullptr || g_sizingHitCode < HTLEFT || g_sizingHitCode > HTBOTTOMRIGHT) {
            return;
        }
        m_sizingHit = g_sizingHitCode;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    m_sizingRect =
        SizingRect(m_sizingHit, m_sizingStart, cursor.x - m_sizingPress.x, cursor.y - m_sizingPress.y);
    m_outline.Show(m_sizingRect);
}

void MapBGDlg::OnLButtonUp(UINT flags, CPoint point) {
    CSlideSon::OnLButtonUp(flags, point);
    if (m_sizingHit == 0) {
        return;
    }
    const CRect rect = ReleasedRect(m_sizingHit, m_sizingRect, m_panelRect.Size());
    m_sizingHit = 0;
    g_sizingHitCode = 0;
    m_outline.Hide();
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

BOOL MapBGDlg::PreTranslateMessage(MSG* message) {
    if (TranslateSidePanelKey(*message)) {
        return TRUE;
    }
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.RelayEvent(message);
    }
    return CSlideSon::PreTranslateMessage(message);
}

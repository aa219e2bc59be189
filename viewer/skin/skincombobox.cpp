#include "viewer/skin/skincombobox.h"

#include "platform/ui/dc.h"
#include "platform/ui/window.h"

namespace {

int g_itemTextLeft = 0;

void Stretch(CDC* target, CBitmap& bitmap, const CSize& size, int x, int y, int width, int height) {
    if (bitmap.GetSafeHandle() == nullptr || width <= 0 || height <= 0) {
        return;
    }
    CDC source;
    source.CreateCompatibleDC(target);
    CBitmap* previous = source.SelectObject(&bitmap);
    target->StretchBlt(x, y, width, height, &source, 0, 0, size.cx, size.cy, SRCCOPY);
    source.SelectObject(previous);
}

} // namespace

CSkinComboBox::CSkinComboBox() {
    m_font.CreateFont(15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
}

CSkinComboBox::~CSkinComboBox() {
    DestroyWindow();
}

DWORD CSkinComboBox::ForcedStyle(DWORD style) {
    return (style & ~0xFu) | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

BOOL CSkinComboBox::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                           UINT id, void* context) {
    return CComboBox::Create(className, windowName, ForcedStyle(style), rect, parent, id, context);
}

void CSkinComboBox::SetBitmaps(const HBITMAP images[IMAGE_COUNT]) {
    for (int i = 0; i < IMAGE_COUNT; ++i) {
        m_handles[i] = images[i];
        m_images[i].Borrow(images[i]);
        m_sizes[i] = m_images[i].Size();
    }
}

void CSkinComboBox::SetHighlightColors(COLORREF background, COLORREF text) {
    m_highlightBackground = background;
    m_highlightText = text;
}

void CSkinComboBox::SetNormalColors(COLORREF background, COLORREF text) {
    m_normalBackground = background;
    m_normalText = text;
    m_list.SetBackgroundColor(background);
}

void CSkinComboBox::ItemColors(UINT itemState, COLORREF& background, COLORREF& text) const {
    const bool focused = (itemState & ODS_FOCUS) != 0;
    background = focused ? m_highlightBackground : m_normalBackground;
    text = focused ? m_highlightText : m_normalText;
}

int CSkinComboBox::ItemTextLeft() {
    return g_itemTextLeft;
}

void CSkinComboBox::DrawItem(LPDRAWITEMSTRUCT draw) {
    if (draw == nullptr || draw->itemID == static_cast<UINT>(-1)) {
        return;
    }
    COLORREF background = 0;
    COLORREF text = 0;
    ItemColors(draw->itemState, background, text);
    CDC* dc = CDC::FromHandle(draw->hDC);
    CRect rect = draw->rcItem;
    CBrush brush(background);
    dc->FillRect(&rect, &brush);
    dc->SetTextColor(text);
    dc->SetBkMode(TRANSPARENT);
    CString itemText;
    GetLBText(static_cast<int>(draw->itemID), itemText);
    CFont* previous = dc->SelectObject(&m_font);
    rect.left = g_itemTextLeft;
    dc->DrawText(itemText, &rect, DT_SINGLELINE | DT_VCENTER);
    dc->SelectObject(previous);
}

LRESULT CSkinComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORLISTBOX) {
        const auto list = reinterpret_cast<HWND>(lParam);
        if (m_list.m_hWnd == nullptr && list != nullptr && list != m_hWnd) {
            m_list.Attach(list);
        }
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

BOOL CSkinComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        const WORD code = HIWORD(wParam);
        if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS) {
            Invalidate(FALSE);
        } else if (code == CBN_DROPDOWN) {
            PostMessage(WM_PAINT, 0, 0);
        }
    }
    return CComboBox::OnChildNotify(message, wParam, lParam, result);
}

BOOL CSkinComboBox::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void CSkinComboBox::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const CSize& left = m_sizes[LEFT];
    const CSize& center = m_sizes[CENTER];
    const CSize& right = m_sizes[RIGHT];
    Stretch(&dc, m_images[LEFT], left, client.left, client.top, left.cx, left.cy);
    Stretch(&dc, m_images[RIGHT], right, client.right - right.cx, client.top, right.cx, right.cy);
    Stretch(&dc, m_images[CENTER], center, client.left + left.cx, client.top,
            client.right - left.cx - right.cx, center.cy);
    CRect field(client.left + left.cx, client.top + 3, client.right - right.cx, client.bottom - 8);
    dc.FillSolidRect(&field, m_normalBackground);
    CString text;
    GetWindowText(text);
    CFont* previous = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_normalText);
    CRect textRect = client;
    textRect.left += 5 + left.cx;
    dc.DrawText(text, &textRect, DT_SINGLELINE | DT_VCENTER);
    dc.SelectObject(previous);
    if (m_list.m_hWnd != nullptr && ::IsWindow(m_list.m_hWnd)) {
        PaintList();
    }
}

void CSkinComboBox::PaintList() {
    CDC* dc = m_list.GetDC();
    if (dc == nullptr) {
        return;
    }
    CRect rect;
    m_list.GetClientRect(&rect);
    dc->FillSolidRect(&rect, m_normalBackground);
    Stretch(dc, m_images[LIST_LEFT], m_sizes[LIST_LEFT], rect.left, rect.top, m_sizes[LIST_LEFT].cx,
            rect.bottom);
    Stretch(dc, m_images[LIST_RIGHT], m_sizes[LIST_RIGHT], rect.right - m_sizes[LIST_RIGHT].cx, rect.top,
            m_sizes[LIST_RIGHT].cx, rect.bottom);
    Stretch(dc, m_images[LIST_TOP], m_sizes[LIST_TOP], rect.left, rect.top, rect.right, m_sizes[LIST_TOP].cy);
    Stretch(dc, m_images[LIST_BOTTOM], m_sizes[LIST_BOTTOM], rect.left, rect.bottom - m_sizes[LIST_BOTTOM].cy,
            rect.right, m_sizes[LIST_BOTTOM].cy);
    CFont* previous = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_normalText);
    const int count = m_list.GetCount();
    for (int i = 0; i < count; ++i) {
        CString text;
        m_list.GetText(i, text);
        CRect item;
        m_list.GetItemRect(i, &item);
        item.left += 5 + m_sizes[LEFT].cx;
        g_itemTextLeft = item.left;
        dc->DrawText(text, &item, DT_SINGLELINE | DT_VCENTER);
    }
    dc->SelectObject(previous);
    m_list.ReleaseDC(dc);
}

void CSkinComboBox::OnDestroy() {
    m_list.Detach();
    CComboBox::OnDestroy();
}

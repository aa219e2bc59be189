#include "viewer/skin/mymemdc.h"

CMyMemDC::CMyMemDC(CDC* target, const CRect& rect) : m_target(target), m_rect(rect) {
    CreateCompatibleDC(target);
    m_bitmap.CreateCompatibleBitmap(target, rect.Width(), rect.Height());
    m_previous = SelectObject(&m_bitmap);
}

CMyMemDC::~CMyMemDC() {
    m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                     SRCCOPY);
    SelectObject(m_previous);
}

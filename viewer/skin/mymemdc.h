#pragma once
// An off-screen DC of the target rectangle's size that copies itself to the target when it goes
// out of scope, for flicker-free painting. Callers draw at the target rectangle's coordinates.

#include "platform/ui/dc.h"

class CMyMemDC : public CDC {
  public:
    CMyMemDC(CDC* target, const CRect& rect);
    ~CMyMemDC() override;
    CMyMemDC(const CMyMemDC&) = delete;
    CMyMemDC& operator=(const CMyMemDC&) = delete;

  private:
    CBitmap m_bitmap;
    CBitmap* m_previous = nullptr;
    CDC* m_target;
    CRect m_rect;
};

#pragma once
// A skin image a control draws but does not own: the skin store owns every image it hands out,
// and several controls are often given the same one. The handle is let go, never deleted.

#include "platform/ui/bitmap.h"
#include "platform/ui/rect.h"

class CBorrowedBitmap : public CBitmap {
  public:
    CBorrowedBitmap() = default;
    ~CBorrowedBitmap() override { Detach(); }
    CBorrowedBitmap(const CBorrowedBitmap&) = delete;
    CBorrowedBitmap& operator=(const CBorrowedBitmap&) = delete;

    // Lets go of the image held before; a null handle leaves the slot empty.
    void Borrow(HBITMAP bitmap) {
        Detach();
        if (bitmap != nullptr) {
            Attach(bitmap);
        }
    }
    bool IsSet() const { return m_hObject != nullptr; }
    CSize Size() const {
        BITMAP description;
        if (!IsSet() || GetBitmap(&description) == 0) {
            return CSize(0, 0);
        }
        return CSize(description.bmWidth, description.bmHeight);
    }
};

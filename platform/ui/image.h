#pragma once
// Saving pictures as image files, on Qt's image writers. The class keeps the bitmap it is given
// and deletes it with itself unless it is detached first, as the class library's image class does.

#include "platform/base/wintypes.h"
#include "platform/ui/gdidefs.h"

enum class ImageFileFormat { Bmp, Jpeg, Png };

class CImage {
  public:
    CImage() = default;
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Takes the bitmap over; a bitmap held before is deleted.
    void Attach(HBITMAP bitmap);
    HBITMAP Detach();
    bool IsNull() const { return m_bitmap == nullptr; }
    void Destroy();

    // Writes the whole picture, opaque, in the given format with the writer's default settings. The
    // file appears only complete: a failed write leaves no file and no partly written one behind.
    // E_FAIL without a bitmap or when the file cannot be written.
    HRESULT Save(LPCWSTR path, ImageFileFormat format) const;

  private:
    HBITMAP m_bitmap = nullptr;
};

#include "platform/ui/image.h"

#include "platform/ui/gdiimpl.h"
#include "platform/ui/gdiobj.h"

#include <QImageWriter>
#include <QSaveFile>
#include <QString>

using namespace uiimpl;

CImage::~CImage() {
    Destroy();
}

void CImage::Attach(HBITMAP bitmap) {
    Destroy();
    m_bitmap = bitmap;
}

HBITMAP CImage::Detach() {
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    return bitmap;
}

void CImage::Destroy() {
    if (m_bitmap != nullptr) {
        DeleteObject(m_bitmap);
        m_bitmap = nullptr;
    }
}

HRESULT CImage::Save(LPCWSTR path, ImageFileFormat format) const {
    const QImage picture = OpaquePictureOf(m_bitmap);
    if (picture.isNull() || path == nullptr || *path == L'\0') {
        return E_FAIL;
    }
    const char* name = format == ImageFileFormat::Bmp   ? "bmp"
                       : format == ImageFileFormat::Png ? "png"
                                                        : "jpeg";
    QSaveFile file(QString::fromWCharArray(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return E_FAIL;
    }
    QImageWriter writer(&file, name);
    if (!writer.write(picture)) {
        file.cancelWriting();
        return E_FAIL;
    }
    return file.commit() ? S_OK : E_FAIL;
}

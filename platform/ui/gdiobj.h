#pragma once
// Drawing objects: the calls on any of them, pens and brushes, stock objects and the system
// colours. CGdiObject owns its handle and deletes it with itself unless it was detached.

#include "platform/ui/gdidefs.h"

BOOL DeleteObject(HGDIOBJ object);
// Bitmaps fill a BITMAP, fonts a LOGFONTW, pens a LOGPEN, brushes a LOGBRUSH; answers the bytes
// written, or the size needed when the buffer is null.
int GetObjectW(HGDIOBJ object, int size, void* buffer);
// Stock objects are never deleted; DeleteObject on one succeeds and does nothing.
HGDIOBJ GetStockObject(int index);

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
// The stock brush of a system colour.
HBRUSH GetSysColorBrush(int index);
// The colours of the platform's standard scheme, the same on every machine.
COLORREF GetSysColor(int index);

class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;

  protected:
    friend class CDC;
    // A stand-in the class library hands out for a handle it does not own.
    bool m_temporary = false;
};

class CPen : public CGdiObject {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateSysColorBrush(int index);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

#include "platform/ui/static.h"

BOOL CStatic::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(L"Static", text, style, rect, parent, id);
}

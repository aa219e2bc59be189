#pragma once
// Files and folders dropped on a window that accepts them (WS_EX_ACCEPTFILES) arrive as
// WM_DROPFILES with a drop handle in wParam. The handle lives until DragFinish, which the layer
// also calls once the message has been handled.

#include "platform/ui/windefs.h"

#include <string>
#include <vector>

// DragAcceptFiles(window, TRUE) sets WS_EX_ACCEPTFILES.
void DragAcceptFiles(HWND window, BOOL accept);
// index 0xFFFFFFFF gives the count; a null buffer gives the path's length without its terminator;
// otherwise at most size - 1 characters and a terminator are copied, and their count returned.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size);
// The drop point in the client coordinates of the window that received it.
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

// Every path of the drop, whole (however long) and in the order dropped; empty for a dead handle.
// Drop targets read their drops with this rather than through fixed buffers, where a cut path
// could name another file.
std::vector<std::wstring> DroppedFiles(HDROP drop);

#pragma once
// Inside the window layer: Qt's keys and the platform's virtual keys.

#include "platform/ui/windefs.h"

#include <Qt>

namespace uiimpl {

// 0 for keys the platform has no virtual key for.
UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);
// Qt::Key_unknown when Qt has no such key.
int QtKeyFromVirtual(UINT virtualKey);
// Arrows, Insert, Delete, Home, End and the page keys outside the keypad.
bool IsExtendedKey(UINT virtualKey, Qt::KeyboardModifiers modifiers);

} // namespace uiimpl

#pragma once
// Whether the machine reaches the Internet: Qt's network information where it has a backend for
// it, else a default route in the kernel's routing table. Tests put a source of their own in its
// place.

#include "platform/base/wintypes.h"

#include <functional>

// flags receives 0; TRUE when connected.
BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved);
// A null source gives the machine's own state back.
void SetConnectedStateSource(std::function<bool()> source);

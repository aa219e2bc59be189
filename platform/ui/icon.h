#pragma once
// Icons of the program's own resources (":/icon/<id>.png"). A loaded icon is shared: loading the
// same one again gives the same handle, and it lives for the whole run.

#include "platform/ui/windefs.h"

// The program has one set of resources, so the module does not select among them; null when the
// resource does not exist.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

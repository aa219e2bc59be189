#pragma once
// The rear camera's time offset against the front camera, in seconds, as the settings editor
// keeps it in the registry: the text value "RearCamSync" under "SOFTWARE\TREVO_VIEWER\conf".

#include "platform/base/wintypes.h"

#include <string>

// 0.0 when the key cannot be opened or the value cannot be read or is no number.
double ReadRearCamSync();
// The number at the start of the text (after blanks), read with a '.' whatever the user's locale,
// as the settings editor writes it; 0.0 when there is none or it is not finite.
double ParseRearCamSync(const std::wstring& text);

#pragma once
// USB recorder detection: the USB vendor and product id of the device behind a drive letter, by
// which the model table recognises a recorder's card, and the drive letter of a volume broadcast's
// unit mask. Free functions without state, for the GUI thread. Console lines ("Drive E:", the vid,
// pid and mi tokens) are for diagnosis only.

#include "platform/base/wintypes.h"

#include <cstddef>

// Characters of an id text, its terminator included; the ids are 4 hexadecimal digits.
constexpr size_t kUsbIdTextLength = 10;

// The lowest of the 26 drive bits that is set gives 'A' plus its number; '?' when none is set.
char DriveLetterFromUnitMask(DWORD unitMask);

// Takes the ids out of a device instance id such as "USB\VID_04E8&PID_6860\serial" or a composite
// device's "USB\VID_04E8&PID_6860&MI_00\...": tokens end at '\', '#' and '&'; the rest of a "VID_"
// or "PID_" token goes into its text, cut to fit, and a later token of a kind overwrites an earlier
// one; an "MI_" token is only printed. A text whose token is missing is left as it was.
void ParseUsbDeviceId(LPCWSTR id, wchar_t (&vid)[kUsbIdTextLength], wchar_t (&pid)[kUsbIdTextLength]);

// Fills the 26 vendor and 26 product ids, indexed by drive letter minus 'A', for each removable
// drive whose USB device is known, and 0 for every other letter. A drive that cannot be opened or
// identified is skipped and the scan goes on. TRUE when a drive was identified; FALSE too when an
// array is missing.
BOOL GetUsbIdsOfDrive(DWORD* vids, DWORD* pids);

// The ids of the one drive with this letter (upper case, as the drive strings have it), removable or
// not. FALSE, with the outputs untouched, when no such drive is there, it is not identified, or an
// output is missing.
BOOL GetUsbIdsOfDriveEx(char letter, DWORD* vid, DWORD* pid);

#pragma once
// The platform's clock calls the program times itself with.

#include "platform/base/wintypes.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

// Milliseconds since the machine started, time asleep included; wraps after 49.7 days like the
// platform's counter, so callers compare differences, never absolute values.
DWORD GetTickCount();
ULONGLONG GetTickCount64();
// 0 gives the rest of the time slice to other threads; INFINITE never returns.
void Sleep(DWORD milliseconds);
// The wall clock in the user's time zone, and in UTC.
void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);

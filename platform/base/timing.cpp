#include "platform/base/timing.h"

#include <cerrno>
#include <ctime>
#include <sched.h>
#include <unistd.h>

namespace {

void FillSystemTime(SYSTEMTIME* time, bool local) {
    if (!time)
        return;
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm parts {};
    if (local)
        localtime_r(&now.tv_sec, &parts);
    else
        gmtime_r(&now.tv_sec, &parts);
    time->wYear = static_cast<WORD>(parts.tm_year + 1900);
    time->wMonth = static_cast<WORD>(parts.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    time->wDay = static_cast<WORD>(parts.tm_mday);
    time->wHour = static_cast<WORD>(parts.tm_hour);
    time->wMinute = static_cast<WORD>(parts.tm_min);
    // A leap second reads as the last second of its minute, as the platform has none.
    time->wSecond = static_cast<WORD>(parts.tm_sec > 59 ? 59 : parts.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

} // namespace

ULONGLONG GetTickCount64() {
    struct timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec / 1000000);
}

DWORD GetTickCount() {
    return static_cast<DWORD>(GetTickCount64());
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;)
            pause();
    }
    struct timespec left {
        static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L
    };
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void GetLocalTime(SYSTEMTIME* time) {
    FillSystemTime(time, true);
}

void GetSystemTime(SYSTEMTIME* time) {
    FillSystemTime(time, false);
}

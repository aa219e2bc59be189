#include "viewer/catalogue/sharedhelpers.h"

#include "platform/base/drivetable.h"
#include "platform/base/unicode.h"
#include "platform/base/windowshook.h"

#include <algorithm>
#include <cerrno>

std::atomic<int> g_modelIndex{0};

int GetModelIndex() {
    return g_modelIndex.load(std::memory_order_relaxed);
}

int ModelIndexBelow3() {
    return GetModelIndex() < 3 ? 1 : 0;
}

int SetModelIndex(int index) {
    g_modelIndex.store(index, std::memory_order_relaxed);
    return index;
}

int SetDefaultModelIndex() {
    return SetModelIndex(3);
}

namespace {

// The UTF-16 code unit at position `half` (0 or 1) of a character.
unsigned Utf16Unit(wchar_t ch, int half) {
    const unsigned code = static_cast<unsigned>(ch);
    if (code < 0x10000)
        return code;
    return half == 0 ? 0xD800 + ((code - 0x10000) >> 10) : 0xDC00 + ((code - 0x10000) & 0x3FF);
}

int UnitCount(wchar_t ch) {
    return static_cast<unsigned>(ch) < 0x10000 ? 1 : 2;
}

} // namespace

int CompareUtf16(const std::wstring& a, const std::wstring& b) {
    // Equal characters are equal code units; only the first difference needs a closer look.
    const size_t common = std::min(a.size(), b.size());
    const auto difference =
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common), b.begin());
    size_t i = static_cast<size_t>(difference.first - a.begin());
    size_t j = i;
    if (i < common && static_cast<unsigned>(a[i]) < 0xD800 && static_cast<unsigned>(b[j]) < 0xD800)
        return a[i] < b[j] ? -1 : 1;
    int halfA = 0;
    int halfB = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned unitA = Utf16Unit(a[i], halfA);
        const unsigned unitB = Utf16Unit(b[j], halfB);
        if (unitA != unitB)
            return unitA < unitB ? -1 : 1;
        if (++halfA == UnitCount(a[i])) {
            halfA = 0;
            ++i;
        }
        if (++halfB == UnitCount(b[j])) {
            halfB = 0;
            ++j;
        }
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool operator<(const stringex& a, const stringex& b) {
    return CompareUtf16(a, b) < 0;
}
bool operator>(const stringex& a, const stringex& b) {
    return CompareUtf16(a, b) > 0;
}
bool operator<=(const stringex& a, const stringex& b) {
    return CompareUtf16(a, b) <= 0;
}
bool operator>=(const stringex& a, const stringex& b) {
    return CompareUtf16(a, b) >= 0;
}

std::FILE* g_logFile = nullptr;

namespace {

LogClock logClock = nullptr;

} // namespace

int OpenLog() {
    CloseLog();
    // The program never changes its working folder, so "the current directory" is its own folder.
    g_logFile = std::fopen(Utf8FromWide(TranslatePath(L"Log.txt")).c_str(), "a+");
    return g_logFile ? 0 : errno;
}

void CloseLog() {
    if (!g_logFile)
        return;
    std::fclose(g_logFile);
    g_logFile = nullptr;
}

void WriteLog(const wchar_t* text) {
    if (!g_logFile || !text)
        return;
    SYSTEMTIME now;
    if (logClock)
        logClock(&now);
    else
        GetLocalTime(&now);
    std::fprintf(g_logFile, "[%02u:%02u:%02u:%03u] %s\n", now.wHour, now.wMinute, now.wSecond,
                 now.wMilliseconds, Utf8FromWide(text).c_str());
    std::fflush(g_logFile);
}

LogClock SetLogClock(LogClock clock) {
    const LogClock before = logClock;
    logClock = clock;
    return before;
}

IKeyboardHookView* g_pKeyboardHookView = nullptr;

LRESULT LowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (g_pKeyboardHookView)
        g_pKeyboardHookView->ViewKeyboardActivity();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

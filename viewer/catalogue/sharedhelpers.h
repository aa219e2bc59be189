#pragma once
// Small helpers the whole viewer shares: the recorder model it works for, the catalogue's key
// string and the diagnostic log.

#include "platform/base/timing.h"
#include "platform/base/wintypes.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <utility>

// The recorder model: 0 T550, 1 T310, 2 T330 (MP4/MOV, one file per camera), 3 R310/R330 (AVI).
// The engine's read threads read it while the user interface may change it, hence atomic.
extern std::atomic<int> g_modelIndex;

int GetModelIndex();
// 1 for the MP4/MOV family; signed, so an unset -1 counts as MP4/MOV too.
int ModelIndexBelow3();
// Returns the index written.
int SetModelIndex(int index);
// The model the program starts with, without asking: 3. Returns it.
int SetDefaultModelIndex();

// The catalogue's key: a wide string ordered by UTF-16 code units, as on Windows, so that names
// with characters beyond the basic plane sort as they did there.
class stringex : public std::wstring {
  public:
    using std::wstring::wstring;
    stringex() = default;
    stringex(const std::wstring& text) : std::wstring(text) {}
    stringex(std::wstring&& text) : std::wstring(std::move(text)) {}
};

// <0, 0 or >0 as the texts compare by their UTF-16 code units.
int CompareUtf16(const std::wstring& a, const std::wstring& b);

bool operator<(const stringex& a, const stringex& b);
bool operator>(const stringex& a, const stringex& b);
bool operator<=(const stringex& a, const stringex& b);
bool operator>=(const stringex& a, const stringex& b);

// The diagnostic log "Log.txt" beside the program; null while closed. Nothing opens it in normal
// use, so the program's log calls write nothing unless a developer build calls OpenLog.
extern std::FILE* g_logFile;

// 0 on success, else the errno of the failed open.
int OpenLog();
void CloseLog();
// Appends "[hh:mm:ss:mmm] text" when the log is open and the text is not null.
void WriteLog(const wchar_t* text);

// The clock WriteLog stamps its lines with; tests install a fixed one. Returns the clock before;
// null restores the local wall clock.
using LogClock = void (*)(SYSTEMTIME* time);
LogClock SetLogClock(LogClock clock);

// The main view as the keyboard hook sees it: one operation that must not block, called on every
// key event.
class IKeyboardHookView {
  public:
    virtual void ViewKeyboardActivity() = 0;

  protected:
    ~IKeyboardHookView() = default;
};

// Set by the main view when it is created; null before.
extern IKeyboardHookView* g_pKeyboardHookView;

// The main view's low-level keyboard hook: tells the view of every key event and never swallows
// one.
LRESULT LowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam);

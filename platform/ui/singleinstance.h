#pragma once
// One running instance of the program per user session, in the platform's vocabulary: a named
// event stands for a running instance, and FindWindowW reaches the windows of the instance that
// holds it.
//
// The first process to create the event holds it for its whole run, by a lock file, and answers
// the others over a local socket; both are named from the event's name and the user's id, in the
// session's runtime folder (XDG_RUNTIME_DIR, or TREVO_CONFIG_HOME when that is set, as tests set
// it). The system frees the lock with the process, so an instance that crashed leaves no lock
// behind. Events serve only this: nothing waits for them.

#include "platform/ui/windefs.h"

// A named event; the security and reset arguments do not matter here. When another process of
// the user holds an event of that name, the answer is a handle to it and GetLastError() answers
// ERROR_ALREADY_EXISTS, else ERROR_SUCCESS. Null for an unnamed event (ERROR_INVALID_PARAMETER).
// The holder answers the other instances from the GUI thread, so it is made there.
HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name);
// Ends the event: a holder lets it go for another instance to take.
BOOL CloseHandle(HANDLE handle);

// A top-level window of this process with the title (and the class, when one is given). Without
// one, no class given, and when another instance holds an event this process opened, that
// instance is asked for its top-level window of the title: the answer is a handle whose ShowWindow and
// SetForegroundWindow that instance carries out on its window. An instance with no such window
// (one still starting) answers none, and so does one that does not answer within a few seconds.
HWND FindWindowW(LPCWSTR className, LPCWSTR title);

#pragma once
// Handing work to the GUI thread, where every window lives. Window calls made on another thread
// (show, move, rectangles, texts, list edits, sends) are handed over this way by the window layer
// itself; other code hands over whole pieces of work.

#include <functional>
#include <thread>

// The thread of Qt's application object; false while there is none.
bool IsGuiThread();

// Runs the call on the GUI thread. On the GUI thread itself a waiting call runs at once, and one
// without waiting runs when the event loop comes round. From another thread a waiting call blocks
// until the GUI thread has run it; before the event loop starts, that is when the GUI thread first
// handles its events. Answers false, and the call never runs, when there is no application object,
// after the application object's event loop (CWinApp::Run) has ended, and, for a waiting call from
// another thread, while the GUI thread is itself waiting in JoinFromGuiThread; a call waiting when
// either happens is released at once with false.
bool RunOnGuiThread(std::function<void()> call, bool wait);

// The GUI thread waits for a worker to end. Meanwhile no thread waits for the GUI thread (see
// above), so the two never wait for each other; calls handed over without waiting still run later.
void JoinFromGuiThread(std::thread& thread);

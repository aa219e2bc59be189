#pragma once
// Inside the window layer: the GUI thread's queue. Posted messages and the quit request travel
// through Qt's event loop in the order they were posted; window timers are Qt timers of this one
// object. Other threads reach the GUI thread only through Post and RunLater (and guithread.h,
// which builds on RunLater).

#include "platform/ui/windefs.h"

#include <QObject>

#include <functional>
#include <map>

namespace uiimpl {

class MessageQueue : public QObject {
  public:
    // Made on first use and moved to the GUI thread; null before the application object exists.
    static MessageQueue* Instance();

    // Any thread. False for a null or dead window; a window that dies before delivery drops it.
    bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode);
    // Any thread: runs the call on the GUI thread later. A call still queued when the queue goes
    // away is dropped unrun.
    void RunLater(std::function<void()> call);

    // GUI thread. A repeating timer that delivers WM_TIMER, or a one-shot hover check.
    int StartWindowTimer(HWND window, UINT_PTR id, UINT milliseconds);
    int StartHoverTimer(HWND window, UINT milliseconds);
    void StopTimer(int timer);

  protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    MessageQueue();
    struct TimerTarget {
        HWND window = nullptr;
        UINT_PTR id = 0;
        bool hover = false;
    };
    std::map<int, TimerTarget> m_timers;
};

} // namespace uiimpl

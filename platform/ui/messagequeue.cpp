#include "platform/ui/messagequeue.h"

#include "platform/base/timing.h"
#include "platform/base/trace.h"
#include "platform/ui/windowimpl.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>

#include <exception>
#include <mutex>

namespace uiimpl {

namespace {

const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type CallType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
  public:
    PostedMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(PostedMessageType), window(window), message(message), wParam(wParam), lParam(lParam) {}
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool quit = false;
    int exitCode = 0;
};

class CallEvent : public QEvent {
  public:
    explicit CallEvent(std::function<void()> call) : QEvent(CallType), call(std::move(call)) {}
    std::function<void()> call;
};

std::mutex instanceMutex;
QPointer<MessageQueue> instance;

// Qt's event loop must never see an exception from a window procedure: it is traced and the
// message counts as handled.
template <typename Call> void Guarded(Call&& call) {
    try {
        call();
    } catch (const std::exception& error) {
        TraceLine(std::string("exception escaped a window procedure: ") + error.what());
    }
}

void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsLive(window)) {
        return;
    }
    MSG queued;
    queued.hwnd = window;
    queued.message = message;
    queued.wParam = wParam;
    queued.lParam = lParam;
    queued.time = GetTickCount();
    const QPoint cursor = LastCursorPosition();
    queued.pt.x = cursor.x();
    queued.pt.y = cursor.y();
    if (!PreTranslate(queued)) {
        Dispatch(queued.hwnd, queued.message, queued.wParam, queued.lParam);
    }
}

} // namespace

MessageQueue::MessageQueue() = default;

MessageQueue* MessageQueue::Instance() {
    std::lock_guard<std::mutex> lock(instanceMutex);
    if (!instance) {
        QCoreApplication* application = QCoreApplication::instance();
        if (application == nullptr) {
            return nullptr;
        }
        auto* queue = new MessageQueue;
        if (QThread::currentThread() == application->thread()) {
            queue->setParent(application);
        } else {
            queue->moveToThread(application->thread());
        }
        instance = queue;
    }
    return instance.data();
}

bool MessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr || !IsLive(window)) {
        return false;
    }
    QCoreApplication::postEvent(this, new PostedMessage(window, message, wParam, lParam));
    return true;
}

void MessageQueue::PostQuit(int exitCode) {
    auto* quit = new PostedMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
    quit->quit = true;
    quit->exitCode = exitCode;
    QCoreApplication::postEvent(this, quit);
}

void MessageQueue::RunLater(std::function<void()> call) {
    QCoreApplication::postEvent(this, new CallEvent(std::move(call)));
}

int MessageQueue::StartWindowTimer(HWND window, UINT_PTR id, UINT milliseconds) {
    const int timer = startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
    if (timer != 0) {
        m_timers[timer] = TimerTarget{window, id, false};
    }
    return timer;
}

int MessageQueue::StartHoverTimer(HWND window, UINT milliseconds) {
    const int timer = startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
    if (timer != 0) {
        m_timers[timer] = TimerTarget{window, 0, true};
    }
    return timer;
}

void MessageQueue::StopTimer(int timer) {
    if (m_timers.erase(timer) != 0) {
        killTimer(timer);
    }
}

bool MessageQueue::event(QEvent* event) {
    if (event->type() == PostedMessageType) {
        auto* posted = static_cast<PostedMessage*>(event);
        if (posted->quit) {
            QCoreApplication::exit(posted->exitCode);
        } else {
            Guarded([posted] { Deliver(posted->window, posted->message, posted->wParam, posted->lParam); });
        }
        return true;
    }
    if (event->type() == CallType) {
        Guarded(static_cast<CallEvent*>(event)->call);
        return true;
    }
    return QObject::event(event);
}

void MessageQueue::timerEvent(QTimerEvent* event) {
    const auto found = m_timers.find(event->timerId());
    if (found == m_timers.end()) {
        killTimer(event->timerId());
        return;
    }
    const TimerTarget target = found->second;
    if (target.hover) {
        StopTimer(event->timerId());
        Guarded([&target] { HoverTimerFired(target.window); });
        return;
    }
    if (!IsLive(target.window)) {
        StopTimer(event->timerId());
        return;
    }
    Guarded([&target] { Deliver(target.window, WM_TIMER, target.id, 0); });
}

} // namespace uiimpl

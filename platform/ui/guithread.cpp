#include "platform/ui/guithread.h"

#include "platform/base/trace.h"
#include "platform/ui/messagequeue.h"
#include "platform/ui/windowimpl.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

namespace {

enum class Outcome { Waiting, Running, Ran, Refused };

struct WaitingCall {
    std::function<void()> call;
    Outcome outcome = Outcome::Waiting;
};

struct HandOver {
    std::mutex mutex;
    std::condition_variable settled;
    std::set<std::shared_ptr<WaitingCall>> waiting;
    int joins = 0;
    bool loopEnded = false;
};

HandOver& State() {
    static HandOver state;
    return state;
}

// Under the state's lock.
void RefuseWaiting(HandOver& state) {
    for (const auto& call : state.waiting) {
        call->outcome = Outcome::Refused;
    }
    state.waiting.clear();
}

// The queued half of a waiting call. When the queue drops it unrun (the application object went
// away), its end releases the waiter.
class Delivery {
  public:
    explicit Delivery(std::shared_ptr<WaitingCall> call) : m_call(std::move(call)) {}
    ~Delivery() {
        HandOver& state = State();
        {
            std::lock_guard<std::mutex> lock(state.mutex);
            if (m_call->outcome != Outcome::Waiting) {
                return;
            }
            m_call->outcome = Outcome::Refused;
            state.waiting.erase(m_call);
        }
        state.settled.notify_all();
    }
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    void Run() {
        HandOver& state = State();
        {
            std::lock_guard<std::mutex> lock(state.mutex);
            if (m_call->outcome != Outcome::Waiting) {
                return;
            }
            m_call->outcome = Outcome::Running;
        }
        // The waiter is released even when the call throws.
        struct Ran {
            HandOver& state;
            const std::shared_ptr<WaitingCall>& call;
            ~Ran() {
                {
                    std::lock_guard<std::mutex> lock(state.mutex);
                    call->outcome = Outcome::Ran;
                    state.waiting.erase(call);
                }
                state.settled.notify_all();
            }
        } ran{state, m_call};
        m_call->call();
    }

  private:
    std::shared_ptr<WaitingCall> m_call;
};

} // namespace

namespace uiimpl {

void EndHandOver() {
    HandOver& state = State();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.loopEnded = true;
        RefuseWaiting(state);
    }
    state.settled.notify_all();
}

void ResumeHandOver() {
    HandOver& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.loopEnded = false;
}

} // namespace uiimpl

bool IsGuiThread() {
    return uiimpl::OnGuiThread();
}

bool RunOnGuiThread(std::function<void()> call, bool wait) {
    if (!call) {
        return false;
    }
    uiimpl::MessageQueue* queue = uiimpl::MessageQueue::Instance();
    if (queue == nullptr) {
        TraceLine(std::string("a call for the GUI thread is dropped: there is no application object"));
        return false;
    }
    HandOver& state = State();
    const bool onGui = uiimpl::OnGuiThread();
    std::shared_ptr<WaitingCall> waiting;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.loopEnded) {
            TraceLine(std::string("a call for the GUI thread is dropped: the event loop has ended"));
            return false;
        }
        if (wait && !onGui) {
            if (state.joins > 0) {
                TraceLine(std::string("a call for the GUI thread is refused: it is waiting for a thread"));
                return false;
            }
            waiting = std::make_shared<WaitingCall>();
            waiting->call = std::move(call);
            state.waiting.insert(waiting);
        }
    }
    if (waiting == nullptr) {
        if (wait) {
            call();
        } else {
            queue->RunLater(std::move(call));
        }
        return true;
    }
    auto delivery = std::make_shared<Delivery>(waiting);
    queue->RunLater([delivery] { delivery->Run(); });
    delivery.reset();
    std::unique_lock<std::mutex> lock(state.mutex);
    state.settled.wait(lock, [&waiting] {
        return waiting->outcome == Outcome::Ran || waiting->outcome == Outcome::Refused;
    });
    if (waiting->outcome == Outcome::Refused) {
        TraceLine(std::string("a call for the GUI thread was refused before it ran"));
        return false;
    }
    return true;
}

void JoinFromGuiThread(std::thread& thread) {
    if (!thread.joinable()) {
        return;
    }
    if (!uiimpl::OnGuiThread()) {
        thread.join();
        return;
    }
    HandOver& state = State();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        ++state.joins;
        RefuseWaiting(state);
    }
    state.settled.notify_all();
    thread.join();
    std::lock_guard<std::mutex> lock(state.mutex);
    --state.joins;
}

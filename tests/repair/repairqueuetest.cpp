// The repair queue: one repair at a time, in order, on the view's workers; at shut-down the running
// repair finishes and the waiting ones are dropped.

#include "viewer/ui/repairqueue.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Holds each repair until the test lets it go, and logs what ran and whether two ever overlapped.
class Gate {
  public:
    void Run(const RepairRequest& request) {
        std::unique_lock<std::mutex> hold(m_lock);
        overlapped = overlapped || m_running;
        m_running = true;
        started.push_back(request.key);
        m_changed.notify_all();
        m_changed.wait(hold, [&] { return m_open > 0; });
        --m_open;
        finished.push_back(request.key);
        m_running = false;
        m_changed.notify_all();
    }
    void Open(int count) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_open += count;
        m_changed.notify_all();
    }
    void WaitStarted(size_t count) {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [&] { return started.size() >= count; });
    }
    void WaitFinished(size_t count) {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [&] { return finished.size() >= count; });
    }

    std::vector<std::wstring> started;
    std::vector<std::wstring> finished;
    bool overlapped = false;

  private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_running = false;
    int m_open = 0;
};

RepairRequest Request(const wchar_t* key) {
    RepairRequest request;
    request.key = key;
    return request;
}

TEST(RepairQueue, RepairsRunOneAtATimeInTheOrderAskedWithTheirOwnKeys) {
    Gate gate;
    WorkerThreads workers;
    RepairQueue queue(workers, [&](const RepairRequest& request) { gate.Run(request); });
    stringex key = L"first";
    ASSERT_TRUE(queue.Submit(Request(key.c_str())));
    gate.WaitStarted(1);
    // A later offer does not reach the running repair's key.
    key = L"changed";
    ASSERT_TRUE(queue.Submit(Request(L"second")));
    ASSERT_TRUE(queue.Submit(Request(L"third")));
    gate.Open(3);
    gate.WaitFinished(3);
    // After the queue ran dry a new request starts a worker again.
    ASSERT_TRUE(queue.Submit(Request(L"fourth")));
    gate.Open(1);
    gate.WaitFinished(4);
    workers.JoinAll();
    EXPECT_EQ(gate.finished, (std::vector<std::wstring>{L"first", L"second", L"third", L"fourth"}));
    EXPECT_FALSE(gate.overlapped);
}

TEST(RepairQueue, ShutDownWaitsForTheRunningRepairAndDropsTheWaitingOnes) {
    Gate gate;
    WorkerThreads workers;
    RepairQueue queue(workers, [&](const RepairRequest& request) { gate.Run(request); });
    ASSERT_TRUE(queue.Submit(Request(L"running")));
    ASSERT_TRUE(queue.Submit(Request(L"waiting")));
    gate.WaitStarted(1);
    std::thread shutDown([&] { workers.JoinAll(); });
    while (!workers.StopRequested())
        std::this_thread::yield();
    EXPECT_FALSE(queue.Submit(Request(L"too late")));
    gate.Open(2);
    shutDown.join();
    EXPECT_EQ(gate.finished, std::vector<std::wstring>{L"running"});
    EXPECT_EQ(gate.started, std::vector<std::wstring>{L"running"});
}

} // namespace

#pragma once
// The worker threads of the main view (the repairs run on them). A worker refers to the view, its
// catalogue and its list, so the view waits for every one before any of them goes: JoinAll asks
// the workers to stop at their next check and waits on the GUI thread without blocking the
// workers' own calls to it.

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class WorkerThreads {
  public:
    WorkerThreads() = default;
    // Joins whatever still runs.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // The work checks StopRequested between its steps; false when it is not started because
    // the workers are stopping.
    bool Start(std::function<void()> work);
    bool StopRequested() const { return m_stopRequested.load(); }
    // GUI thread: asks every worker to stop, waits for all, and refuses new ones from then on.
    void JoinAll();

  private:
    std::atomic<bool> m_stopRequested{false};
    std::vector<std::thread> m_threads;
};

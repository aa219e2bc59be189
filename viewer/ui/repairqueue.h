#pragma once
// The repairs wait their turn here and run one at a time, in the order they were asked for, on one
// worker of the view's: the working files of a repair have fixed names, so two must never overlap.
// When the view's workers stop, the running repair finishes and the waiting ones are dropped.

#include "viewer/ui/recordingrepair.h"
#include "viewer/ui/workerthreads.h"

#include <deque>
#include <functional>
#include <mutex>

class RepairQueue {
  public:
    using Work = std::function<void(const RepairRequest&)>;

    RepairQueue(WorkerThreads& workers, Work work);

    // GUI thread. False when no worker can take it (the workers are stopping).
    bool Submit(RepairRequest request);

  private:
    void Drain();

    WorkerThreads& m_workers;
    Work m_work;
    std::mutex m_lock;
    std::deque<RepairRequest> m_pending;
    bool m_running = false;
};

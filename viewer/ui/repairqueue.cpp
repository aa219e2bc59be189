#include "viewer/ui/repairqueue.h"

#include <utility>

RepairQueue::RepairQueue(WorkerThreads& workers, Work work) : m_workers(workers), m_work(std::move(work)) {}

bool RepairQueue::Submit(RepairRequest request) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_workers.StopRequested())
        return false;
    m_pending.push_back(std::move(request));
    if (m_running)
        return true;
    if (!m_workers.Start([this] { Drain(); })) {
        m_pending.pop_back();
        return false;
    }
    m_running = true;
    return true;
}

void RepairQueue::Drain() {
    for (;;) {
        RepairRequest request;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            if (m_pending.empty() || m_workers.StopRequested()) {
                m_pending.clear();
                m_running = false;
                return;
            }
            request = std::move(m_pending.front());
            m_pending.pop_front();
        }
        m_work(request);
    }
}

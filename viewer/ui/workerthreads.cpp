#include "viewer/ui/workerthreads.h"

#include "platform/ui/guithread.h"

WorkerThreads::~WorkerThreads() {
    JoinAll();
}

bool WorkerThreads::Start(std::function<void()> work) {
    if (m_stopRequested.load()) {
        return false;
    }
    m_threads.emplace_back(std::move(work));
    return true;
}

void WorkerThreads::JoinAll() {
    m_stopRequested.store(true);
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) {
            if (IsGuiThread()) {
                JoinFromGuiThread(thread);
            } else {
                thread.join();
            }
        }
    }
    m_threads.clear();
}

#include "lib/WorkPool.h"

#include <sched.h>

WorkPool::WorkPool(unsigned threads) {
    if (threads == 0)
        threads = Processors();
    fWorkers.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        fWorkers.emplace_back([this] { Work(); });
}

WorkPool::~WorkPool() {
    {
        std::lock_guard<std::mutex> lock(fLock);
        fQuit = true;
    }
    fWake.notify_all();
    for (std::thread& worker : fWorkers)
        worker.join();
}

void WorkPool::Submit(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(fLock);
        fTasks.push_back(std::move(task));
    }
    fWake.notify_one();
}

void WorkPool::Work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(fLock);
            fWake.wait(lock, [this] { return fQuit || !fTasks.empty(); });
            // Tasks still queued are run before the pool goes away.
            if (fTasks.empty())
                return;
            task = std::move(fTasks.front());
            fTasks.pop_front();
        }
        task();
    }
}

unsigned WorkPool::Processors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
    unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

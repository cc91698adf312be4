#pragma once

// A fixed set of worker threads that run submitted tasks in the order they were
// submitted (each task on whichever worker is free). Tasks must not throw. The pool
// waits for every submitted task before it goes away.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkPool {
public:
    // `threads` 0 means one per processor this process may run on.
    explicit WorkPool(unsigned threads = 0);
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    unsigned Threads() const { return unsigned(fWorkers.size()); }
    void Submit(std::function<void()> task);

    // The processors this process may run on (at least 1).
    static unsigned Processors();

private:
    void Work();

    std::mutex fLock;
    std::condition_variable fWake;
    std::deque<std::function<void()>> fTasks;
    bool fQuit = false;
    std::vector<std::thread> fWorkers;
};

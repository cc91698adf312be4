#pragma once

// Worker threads shared by every extraction in the process, one per processor it may
// run on, started when first needed. Work is handed over in batches: a batch keeps at
// most a fixed number of tasks waiting and runs a task on the caller's own thread when
// it is full, so memory stays bounded and the caller works too instead of waiting.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class InflatePool {
public:
    static InflatePool& Shared();
    unsigned Workers() const { return static_cast<unsigned>(fWorkers.size()); }

    class Batch {
    public:
        // `limit`: how many tasks may wait at once; 0 keeps every task on the caller's thread.
        Batch(InflatePool& pool, size_t limit);
        // Waits for the batch's tasks.
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // Queues task, or runs it at once when the batch is full or there are no workers.
        void Submit(std::function<void()> task);
        // Returns when every submitted task has run.
        void Wait();

    private:
        friend class InflatePool;
        void Done();

        InflatePool& fPool;
        size_t fLimit;
        std::mutex fLock;
        std::condition_variable fIdle;
        size_t fPending = 0;
    };

private:
    explicit InflatePool(unsigned workers);
    void Work();

    struct Job {
        Batch* batch;
        std::function<void()> task;
    };
    std::mutex fLock;
    std::condition_variable fWake;
    std::deque<Job> fJobs;
    std::vector<std::thread> fWorkers;
};

#include "archive/InflatePool.h"

#include "lib/WorkPool.h"

InflatePool& InflatePool::Shared() {
    // Never destroyed: its threads only ever wait between batches, and every batch is
    // waited for by its owner, so nothing is left running when the program ends.
    static InflatePool* pool =
        new InflatePool(WorkPool::Processors() > 1 ? WorkPool::Processors() : 0);
    return *pool;
}

InflatePool::InflatePool(unsigned workers) {
    fWorkers.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) {
        fWorkers.emplace_back([this] { Work(); });
        fWorkers.back().detach();
    }
}

void InflatePool::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(fLock);
            fWake.wait(lock, [this] { return !fJobs.empty(); });
            job = std::move(fJobs.front());
            fJobs.pop_front();
        }
        job.task();
        job.batch->Done();
    }
}

InflatePool::Batch::Batch(InflatePool& pool, size_t limit) : fPool(pool), fLimit(limit) {}

InflatePool::Batch::~Batch() {
    Wait();
}

void InflatePool::Batch::Submit(std::function<void()> task) {
    // A limit of 0 keeps every task on the caller's thread.
    bool inline_ = fPool.Workers() == 0 || fLimit == 0;
    if (!inline_) {
        std::lock_guard<std::mutex> lock(fLock);
        if (fPending >= fLimit)
            inline_ = true;
        else
            ++fPending;
    }
    if (inline_) {
        task();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(fPool.fLock);
        fPool.fJobs.push_back({this, std::move(task)});
    }
    fPool.fWake.notify_one();
}

void InflatePool::Batch::Done() {
    std::lock_guard<std::mutex> lock(fLock);
    if (--fPending == 0)
        fIdle.notify_all();
}

void InflatePool::Batch::Wait() {
    std::unique_lock<std::mutex> lock(fLock);
    fIdle.wait(lock, [this] { return fPending == 0; });
}

#pragma once

// LibThread: runs one long operation, Action(), on a thread of its own and, when it ends,
// sends 'LThC' (string "name": the thread's name, int32 "status": Action()'s result) to a
// messenger.
//
// Stopping is cooperative: Kill() marks the thread, and Action() ends at its next safe
// point (StopRequested() tells it, and the platform's safe-point calls honour the mark).
// A killed action sends no notice. The destructor kills a running action and waits for it
// to end; a subclass whose Action() uses its own members must call KillAndWait() in its
// own destructor, before those members go away.

#include "platform/app/Messenger.h"
#include "platform/support/SupportDefs.h"

#include <atomic>
#include <optional>

enum { LIB_THREAD_COMPLETE = 'LThC' };

class LibThread {
public:
    LibThread();
    virtual int32 Action();
    virtual ~LibThread();

    virtual status_t Suspend();
    virtual status_t Resume();
    virtual status_t Kill();
    // Runs Action() on a new thread and tells messenger (none: nobody) when it ends. With
    // wait false returns the result of starting the thread; with wait true blocks until
    // the action and its notice are done and returns the result of waiting.
    virtual status_t Go(const char* name, std::optional<BMessenger> messenger,
                        const int32& priority = 10, const bool& wait = false);
    virtual void PrintToStream() const;

    // The thread's platform state: 1 running, 2 ready, 3 receiving, 4 asleep, 5 suspended,
    // 6 waiting; 0 when there is no thread (never started, or ended).
    int32 Status() const;
    status_t SetPriority(const int32& priority);
    thread_id Thread() const { return fThread; }

    int32 StartAction();
    static int32 StaticAction(void* self);

    // Kill(), then wait until the thread has ended. Safe to call more than once.
    void KillAndWait();

protected:
    // True once Kill() has been asked for; long actions check it between steps.
    bool StopRequested() const { return fStopRequested.load(); }

private:
    LibThread(const LibThread&) = delete;
    LibThread& operator=(const LibThread&) = delete;

    thread_id fThread;
    std::optional<BMessenger> fMessenger;
    std::atomic<bool> fStopRequested;
    bool fWaitedFor; // the thread has ended and was collected
};

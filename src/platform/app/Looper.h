#pragma once

// BLooper: a message queue and the loop that dispatches it.
//
// A looper either runs its own thread (Run() spawns it) or is *hosted*: it has no thread
// of its own and its queue is drained on a host thread. All loopers of the graphical
// front-end (the application and every window) are hosted on the toolkit's one thread;
// the plain BApplication::Run() loop hosts them when there is no toolkit.
//
// The host seam:
//   - SetHosted(true) before Run() makes a looper hosted (BApplication is hosted always).
//   - Posting to a hosted looper enqueues the message and calls the wake-up function
//     installed with SetHostWakeup() (from the posting thread; it must only schedule,
//     e.g. Fl::awake(), never dispatch).
//   - The host calls DispatchHosted() on its thread when woken: every hosted looper
//     dispatches the messages it had queued at that moment (DispatchPending()).
//   - Quit() of a hosted looper on the host thread deletes it once its current dispatch
//     has returned; from another thread it is queued as a quit for the host thread.
//
// Any thread may post to any looper. Messages are delivered in the order they were
// posted by one thread; a message for a looper that is gone is dropped (BMessenger
// answers B_BAD_PORT_ID). The queue is not bounded: posting never blocks.
//
// The lock is recursive and belongs to a thread. Dispatching holds it. Quit() must be
// called with the looper locked or from its own thread, as on the old platform; code
// after Quit() on the looper's own thread must not touch the looper any more (it is
// deleted when the dispatch that called Quit() returns).

#include <functional>
#include <memory>

#include "platform/app/Handler.h"
#include "platform/kernel/OS.h"
#include "platform/support/SupportDefs.h"

class BMessage;
class BMessenger;
struct LooperState;

class BLooper : public BHandler {
public:
    explicit BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
                     int32 portCapacity = 200);
    // Do not delete a running looper: Quit() it. The destructor stops a thread that is
    // still running and drops every queued message.
    ~BLooper() override;

    // Posting; the message is copied. handler nullptr: the preferred handler, or the
    // looper itself. Answers B_BAD_HANDLER when the handler is not in this looper,
    // B_BAD_PORT_ID after Quit().
    status_t PostMessage(uint32 command);
    status_t PostMessage(BMessage* message, BHandler* handler = nullptr,
                         BHandler* replyTo = nullptr);
    status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);

    // Dispatching.
    // Handles B_QUIT_REQUESTED for the looper (QuitRequested(), then Quit() when it
    // answers true); everything else goes to handler->MessageReceived().
    virtual void DispatchMessage(BMessage* message, BHandler* handler);
    void MessageReceived(BMessage* message) override;
    // The message being dispatched, or nullptr.
    BMessage* CurrentMessage() const;
    // Takes the message being dispatched away from the looper; the caller owns it.
    BMessage* DetachCurrentMessage();

    // Life.
    // Starts the looper's thread (or, when hosted, makes the looper ready to dispatch on
    // the host). Answers the thread's id.
    virtual thread_id Run();
    virtual void Quit();
    virtual bool QuitRequested();

    // Locking.
    bool Lock();
    void Unlock();
    status_t LockWithTimeout(bigtime_t timeout);
    bool IsLocked() const;
    thread_id LockingThread() const;
    int32 CountLocks() const;

    // Handlers.
    void AddHandler(BHandler* handler);
    bool RemoveHandler(BHandler* handler);
    int32 CountHandlers() const;
    BHandler* HandlerAt(int32 index) const;
    int32 IndexOf(BHandler* handler) const;
    BHandler* PreferredHandler() const;
    void SetPreferredHandler(BHandler* handler);

    thread_id Thread() const;
    team_id Team() const;
    // Number of messages waiting in the queue.
    int32 CountQueuedMessages() const;
    bool IsRunning() const;

    // The hosting seam, see above.
    void SetHosted(bool hosted);
    bool IsHosted() const;
    // Dispatches, on the calling (host) thread, the messages queued when it is called;
    // answers how many. May delete the looper (when a message made it quit).
    int32 DispatchPending();
    static void SetHostWakeup(std::function<void()> wakeup);
    // Every hosted looper dispatches its pending messages; answers how many in all.
    static int32 DispatchHosted();
    // True when a hosted looper has messages waiting.
    static bool HostedWorkPending();
    // Blocks up to timeout microseconds until a hosted looper has work (for plain host
    // loops); answers HostedWorkPending().
    static bool WaitForHostedWork(bigtime_t timeout);

    // The looper with this id (see BMessenger), only for the registry's users.
    int32 LooperToken() const;

protected:
    // For BApplication: ends the loop on the host without deleting the looper.
    void SetQuitting();
    bool IsQuitting() const;

private:
    friend class BMessenger;
    friend class BApplication;
    friend struct LooperState;

    // The calling thread becomes the host of hosted loopers.
    static void MarkHostThread();
    static int32 LoopEntry(void* looper);
    void Loop();
    bool DispatchOne(bool hostedCall);
    void QuitFromOtherThread();

    std::shared_ptr<LooperState> fState;
};

#include "platform/app/Looper.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>

#include "platform/app/LooperState.h"
#include "platform/app/Message.h"

namespace {

// Never destroyed: looper threads may still be ending while the process exits.
std::mutex& sRegistryLock = *new std::mutex;
std::map<int32, std::shared_ptr<LooperState>>& sLoopers =
    *new std::map<int32, std::shared_ptr<LooperState>>;

std::mutex& sHostLock = *new std::mutex;
std::condition_variable& sHostWork = *new std::condition_variable;
bool sHostPending = false;
std::function<void()>& sHostWakeup = *new std::function<void()>;
std::atomic<thread_id> sHostThread{-1};

thread_id Self() {
    return find_thread(nullptr);
}

} // namespace

// Registry.

void register_looper(const std::shared_ptr<LooperState>& state) {
    std::lock_guard<std::mutex> guard(sRegistryLock);
    sLoopers[state->token] = state;
}

void unregister_looper(int32 token) {
    std::shared_ptr<LooperState> state;
    {
        std::lock_guard<std::mutex> guard(sRegistryLock);
        auto found = sLoopers.find(token);
        if (found == sLoopers.end())
            return;
        state = found->second;
        sLoopers.erase(found);
    }
    std::lock_guard<std::mutex> queue(state->queueLock);
    state->closed = true;
}

std::shared_ptr<LooperState> find_looper(int32 token) {
    std::lock_guard<std::mutex> guard(sRegistryLock);
    auto found = sLoopers.find(token);
    return found == sLoopers.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<LooperState>> all_loopers() {
    std::lock_guard<std::mutex> guard(sRegistryLock);
    std::vector<std::shared_ptr<LooperState>> list;
    for (const auto& entry : sLoopers)
        list.push_back(entry.second);
    return list;
}

status_t deliver_message(int32 looperToken, int32 handlerToken, const BMessage& message) {
    std::unique_ptr<BMessage> copy;
    try {
        copy = std::make_unique<BMessage>(message);
    } catch (const std::bad_alloc&) {
        return B_NO_MEMORY;
    }
    std::shared_ptr<LooperState> state = find_looper(looperToken);
    if (!state)
        return B_BAD_PORT_ID;
    bool wake;
    {
        std::lock_guard<std::mutex> queue(state->queueLock);
        if (state->closed)
            return B_BAD_PORT_ID;
        Envelope envelope;
        envelope.message = std::move(copy);
        envelope.handlerToken = handlerToken;
        state->queue.push_back(std::move(envelope));
        state->queueChanged.notify_all();
        wake = state->hosted && state->running;
    }
    if (wake)
        wake_host();
    return B_OK;
}

void wake_host() {
    std::function<void()> wakeup;
    {
        std::lock_guard<std::mutex> guard(sHostLock);
        sHostPending = true;
        wakeup = sHostWakeup;
    }
    sHostWork.notify_all();
    if (wakeup)
        wakeup();
}

// The lock.

status_t LooperState::Acquire(bigtime_t timeout, bool stopWaits) {
    thread_id self = Self();
    std::unique_lock<std::mutex> guard(lockLock);
    if (dead)
        return B_BAD_VALUE;
    if (lockOwner == self) {
        ++lockCount;
        return B_OK;
    }
    auto ready = [&] {
        if (dead || lockOwner == -1)
            return true;
        if (!stopWaits)
            return false;
        std::lock_guard<std::mutex> queue(queueLock);
        return stopLoop;
    };
    if (timeout == B_INFINITE_TIMEOUT) {
        lockChanged.wait(guard, ready);
    } else if (!lockChanged.wait_for(
                   guard, std::chrono::microseconds(std::max<bigtime_t>(timeout, 0)), ready)) {
        return B_TIMED_OUT;
    }
    if (dead || lockOwner != -1)
        return B_BAD_VALUE;
    lockOwner = self;
    lockCount = 1;
    return B_OK;
}

void LooperState::Release() {
    std::lock_guard<std::mutex> guard(lockLock);
    if (lockOwner != Self() || lockCount <= 0)
        return;
    if (--lockCount == 0) {
        lockOwner = -1;
        lockChanged.notify_all();
    }
}

void LooperState::ReleaseAllHeldBy(thread_id thread) {
    std::lock_guard<std::mutex> guard(lockLock);
    if (lockOwner == thread) {
        lockOwner = -1;
        lockCount = 0;
        lockChanged.notify_all();
    }
}

// BLooper.

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity)
    : BHandler(name), fState(std::make_shared<LooperState>()) {
    (void)portCapacity;
    fState->owner = this;
    fState->token = Token();
    fState->priority = priority;
    fState->handlers.push_back(this);
    BHandler::fLooper = this;
    register_looper(fState);
}

BLooper::~BLooper() {
    unregister_looper(fState->token);
    thread_id thread = -1;
    {
        std::lock_guard<std::mutex> queue(fState->queueLock);
        fState->stopLoop = true;
        fState->queueChanged.notify_all();
        if (!fState->hosted && fState->running)
            thread = fState->thread;
    }
    {
        std::lock_guard<std::mutex> guard(fState->lockLock);
        fState->lockChanged.notify_all();
    }
    // A looper deleted from outside while its thread still runs: let the thread finish
    // its current message and end before the looper's parts go away.
    if (thread >= 0 && thread != Self())
        wait_for_thread(thread, nullptr);

    for (BHandler* handler : fState->handlers)
        if (handler != this)
            handler->fLooper = nullptr;
    fState->handlers.clear();
    BHandler::fLooper = nullptr;
    {
        std::lock_guard<std::mutex> queue(fState->queueLock);
        fState->queue.clear();
    }
    fState->currentOwned.reset();
    std::lock_guard<std::mutex> guard(fState->lockLock);
    fState->dead = true;
    fState->owner = nullptr;
    fState->lockChanged.notify_all();
}

status_t BLooper::PostMessage(uint32 command) {
    BMessage message(command);
    return PostMessage(&message, nullptr, nullptr);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo) {
    BMessage message(command);
    return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo) {
    (void)replyTo;
    if (message == nullptr)
        return B_BAD_VALUE;
    if (handler != nullptr && handler->Looper() != this)
        return B_BAD_HANDLER;
    return deliver_message(fState->token, handler ? handler->Token() : -1, *message);
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler) {
    if (message->what == B_QUIT_REQUESTED && handler == this) {
        if (QuitRequested())
            Quit();
        return;
    }
    if (handler != nullptr)
        handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message) {
    BHandler::MessageReceived(message);
}

BMessage* BLooper::CurrentMessage() const {
    return fState->current;
}

BMessage* BLooper::DetachCurrentMessage() {
    BMessage* message = fState->current;
    if (message != nullptr && fState->currentOwned.get() == message)
        fState->currentOwned.release();
    fState->current = nullptr;
    return message;
}

thread_id BLooper::Run() {
    {
        std::lock_guard<std::mutex> queue(fState->queueLock);
        if (fState->running)
            return fState->thread;
    }
    if (fState->hosted) {
        bool pending;
        {
            std::lock_guard<std::mutex> queue(fState->queueLock);
            fState->running = true;
            thread_id host = sHostThread.load();
            fState->thread = host >= 0 ? host : Self();
            pending = !fState->queue.empty();
        }
        if (pending)
            wake_host();
        return fState->thread;
    }
    thread_id thread = spawn_thread(LoopEntry, Name(), fState->priority, this);
    if (thread < 0)
        return thread;
    {
        std::lock_guard<std::mutex> queue(fState->queueLock);
        fState->thread = thread;
        fState->running = true;
    }
    resume_thread(thread);
    return thread;
}

int32 BLooper::LoopEntry(void* looper) {
    static_cast<BLooper*>(looper)->Loop();
    return B_OK;
}

void BLooper::Loop() {
    // The state outlives the looper when a dispatch deletes it.
    std::shared_ptr<LooperState> state = fState;
    while (true) {
        {
            std::unique_lock<std::mutex> queue(state->queueLock);
            state->queueChanged.wait(queue,
                                     [&] { return state->stopLoop || !state->queue.empty(); });
            if (state->stopLoop)
                return;
        }
        if (!DispatchOne(false))
            return;
    }
}

// Dispatches the first queued message. Answers false when the looper must not be touched
// any more (deleted, or its loop was told to stop).
bool BLooper::DispatchOne(bool hostedCall) {
    std::shared_ptr<LooperState> state = fState;
    if (state->Acquire(B_INFINITE_TIMEOUT, true) != B_OK)
        return false;
    Envelope envelope;
    bool nothing = false;
    bool stop = false;
    {
        // The queue's lock is never held while the looper's lock is taken or given back:
        // a thread waiting for the looper's lock looks at the queue while holding it.
        std::lock_guard<std::mutex> queue(state->queueLock);
        stop = state->stopLoop;
        nothing = stop || state->queue.empty();
        if (!nothing) {
            envelope = std::move(state->queue.front());
            state->queue.pop_front();
        }
    }
    if (nothing) {
        state->Release();
        return !stop;
    }

    if (envelope.quit) {
        // A hosted looper asked to quit from another thread ends here, on its host.
        state->ReleaseAllHeldBy(Self());
        delete this;
        return false;
    }

    BHandler* handler = nullptr;
    if (envelope.handlerToken < 0) {
        handler = state->preferred ? state->preferred : this;
    } else {
        for (BHandler* candidate : state->handlers)
            if (candidate->Token() == envelope.handlerToken)
                handler = candidate;
    }
    bool deleteNow = false;
    if (handler != nullptr) {
        // A handler may run a nested host loop (a modal alert) that dispatches further
        // messages of this looper; the outer dispatch's state comes back afterwards.
        std::unique_ptr<BMessage> outerOwned = std::move(state->currentOwned);
        BMessage* outerCurrent = state->current;
        bool outerInDispatch = state->inDispatch;
        thread_id outerThread = state->dispatchThread;

        state->currentOwned = std::move(envelope.message);
        state->current = state->currentOwned.get();
        state->inDispatch = true;
        state->dispatchThread = Self();
        DispatchMessage(state->current, handler);
        std::lock_guard<std::mutex> queue(state->queueLock);
        deleteNow = state->deleteAfterDispatch && !outerInDispatch;
        state->currentOwned = std::move(outerOwned);
        state->current = outerCurrent;
        state->inDispatch = outerInDispatch;
        state->dispatchThread = outerThread;
    }
    // A message for a handler that left the looper is dropped.
    if (deleteNow) {
        state->ReleaseAllHeldBy(Self());
        delete this;
        return false;
    }
    state->Release();
    (void)hostedCall;
    return true;
}

void BLooper::Quit() {
    std::shared_ptr<LooperState> state = fState;
    thread_id self = Self();
    bool running, hosted, fromDispatch;
    {
        std::lock_guard<std::mutex> queue(state->queueLock);
        running = state->running;
        hosted = state->hosted;
        fromDispatch = state->inDispatch && state->dispatchThread == self;
        if (fromDispatch) {
            // Quitting from one of its own messages: the looper goes when the dispatch
            // returns; nothing queued after this is dispatched.
            state->stopLoop = !hosted;
            state->deleteAfterDispatch = true;
            state->closed = true;
            state->queue.clear();
        }
    }
    if (fromDispatch) {
        unregister_looper(state->token);
        return;
    }
    thread_id host = sHostThread.load();
    if (!running || (hosted && (host < 0 || self == host))) {
        state->ReleaseAllHeldBy(self);
        delete this;
        return;
    }
    if (hosted) {
        // Only the host thread may delete a hosted looper; it does so at its next round.
        state->ReleaseAllHeldBy(self);
        {
            std::lock_guard<std::mutex> queue(state->queueLock);
            if (state->closed)
                return;
            Envelope envelope;
            envelope.quit = true;
            state->queue.push_front(std::move(envelope));
            state->closed = true;
        }
        wake_host();
        return;
    }
    QuitFromOtherThread();
}

void BLooper::QuitFromOtherThread() {
    std::shared_ptr<LooperState> state = fState;
    unregister_looper(state->token);
    thread_id thread;
    {
        std::lock_guard<std::mutex> queue(state->queueLock);
        state->stopLoop = true;
        state->queueChanged.notify_all();
        thread = state->thread;
    }
    state->ReleaseAllHeldBy(Self());
    {
        std::lock_guard<std::mutex> guard(state->lockLock);
        state->lockChanged.notify_all();
    }
    if (thread >= 0 && thread != Self())
        wait_for_thread(thread, nullptr);
    {
        std::lock_guard<std::mutex> queue(state->queueLock);
        state->running = false;
    }
    delete this;
}

bool BLooper::QuitRequested() {
    return true;
}

bool BLooper::Lock() {
    return fState->Acquire(B_INFINITE_TIMEOUT, false) == B_OK;
}

void BLooper::Unlock() {
    fState->Release();
}

status_t BLooper::LockWithTimeout(bigtime_t timeout) {
    return fState->Acquire(timeout, false);
}

bool BLooper::IsLocked() const {
    std::lock_guard<std::mutex> guard(fState->lockLock);
    return fState->lockOwner == Self();
}

thread_id BLooper::LockingThread() const {
    std::lock_guard<std::mutex> guard(fState->lockLock);
    return fState->lockOwner;
}

int32 BLooper::CountLocks() const {
    std::lock_guard<std::mutex> guard(fState->lockLock);
    return fState->lockCount;
}

void BLooper::AddHandler(BHandler* handler) {
    if (handler == nullptr || handler->fLooper == this)
        return;
    if (handler->fLooper != nullptr)
        handler->fLooper->RemoveHandler(handler);
    fState->handlers.push_back(handler);
    handler->fLooper = this;
}

bool BLooper::RemoveHandler(BHandler* handler) {
    if (handler == nullptr || handler == this || handler->fLooper != this)
        return false;
    auto& handlers = fState->handlers;
    handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
    handler->fLooper = nullptr;
    if (fState->preferred == handler)
        fState->preferred = nullptr;
    return true;
}

int32 BLooper::CountHandlers() const {
    return static_cast<int32>(fState->handlers.size());
}

BHandler* BLooper::HandlerAt(int32 index) const {
    if (index < 0 || static_cast<size_t>(index) >= fState->handlers.size())
        return nullptr;
    return fState->handlers[index];
}

int32 BLooper::IndexOf(BHandler* handler) const {
    auto& handlers = fState->handlers;
    auto found = std::find(handlers.begin(), handlers.end(), handler);
    return found == handlers.end() ? -1 : static_cast<int32>(found - handlers.begin());
}

BHandler* BLooper::PreferredHandler() const {
    return fState->preferred;
}

void BLooper::SetPreferredHandler(BHandler* handler) {
    if (handler != nullptr && handler->fLooper != this)
        return;
    fState->preferred = handler;
}

thread_id BLooper::Thread() const {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    return fState->thread;
}

team_id BLooper::Team() const {
    team_info info;
    return get_team_info(B_CURRENT_TEAM, &info) == B_OK ? info.team : B_BAD_TEAM_ID;
}

int32 BLooper::CountQueuedMessages() const {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    return static_cast<int32>(fState->queue.size());
}

bool BLooper::IsRunning() const {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    return fState->running;
}

void BLooper::SetHosted(bool hosted) {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    if (!fState->running)
        fState->hosted = hosted;
}

bool BLooper::IsHosted() const {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    return fState->hosted;
}

int32 BLooper::DispatchPending() {
    std::shared_ptr<LooperState> state = fState;
    size_t pending;
    {
        std::lock_guard<std::mutex> queue(state->queueLock);
        if (!state->hosted || !state->running)
            return 0;
        pending = state->queue.size();
    }
    sHostThread.store(Self());
    int32 dispatched = 0;
    // Only what was queued on entry: a handler that posts to its own looper must not keep
    // the host here for ever.
    for (size_t i = 0; i < pending; ++i) {
        {
            std::lock_guard<std::mutex> queue(state->queueLock);
            if (state->queue.empty())
                break;
        }
        ++dispatched;
        if (!DispatchOne(true))
            break;
    }
    return dispatched;
}

void BLooper::MarkHostThread() {
    sHostThread.store(Self());
}

void BLooper::SetHostWakeup(std::function<void()> wakeup) {
    std::lock_guard<std::mutex> guard(sHostLock);
    sHostWakeup = std::move(wakeup);
}

int32 BLooper::DispatchHosted() {
    sHostThread.store(Self());
    {
        std::lock_guard<std::mutex> guard(sHostLock);
        sHostPending = false;
    }
    int32 total = 0;
    for (const std::shared_ptr<LooperState>& state : all_loopers()) {
        BLooper* looper;
        {
            std::lock_guard<std::mutex> queue(state->queueLock);
            if (!state->hosted || !state->running || state->queue.empty())
                continue;
        }
        {
            std::lock_guard<std::mutex> guard(state->lockLock);
            // A looper deleted by an earlier message of this round is skipped.
            if (state->dead || state->owner == nullptr)
                continue;
            looper = state->owner;
        }
        total += looper->DispatchPending();
    }
    return total;
}

bool BLooper::HostedWorkPending() {
    std::lock_guard<std::mutex> guard(sHostLock);
    return sHostPending;
}

bool BLooper::WaitForHostedWork(bigtime_t timeout) {
    std::unique_lock<std::mutex> guard(sHostLock);
    if (timeout == B_INFINITE_TIMEOUT)
        sHostWork.wait(guard, [] { return sHostPending; });
    else
        sHostWork.wait_for(guard, std::chrono::microseconds(std::max<bigtime_t>(timeout, 0)),
                           [] { return sHostPending; });
    return sHostPending;
}

int32 BLooper::LooperToken() const {
    return fState->token;
}

void BLooper::SetQuitting() {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    fState->quitting = true;
}

bool BLooper::IsQuitting() const {
    std::lock_guard<std::mutex> queue(fState->queueLock);
    return fState->quitting;
}

#pragma once

// Internal to the application kit: a looper's queue, lock and life, and the registry of
// live loopers by id. Messengers and the host loop reach loopers only through the
// registry, and they hold the state (never the looper) while they wait, so that a looper
// that goes away meanwhile is noticed instead of touched.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/app/Message.h"
#include "platform/support/SupportDefs.h"

class BLooper;
class BHandler;

struct Envelope {
    std::unique_ptr<BMessage> message;
    // The target handler's token; -1 for the looper's preferred handler.
    int32 handlerToken = -1;
    // A quit asked for from another thread of a hosted looper.
    bool quit = false;
};

struct LooperState {
    BLooper* owner = nullptr;
    int32 token = -1;
    int32 priority = 10;

    std::mutex queueLock;
    std::condition_variable queueChanged;
    std::deque<Envelope> queue;
    // Set once the looper stops taking messages (Quit) or is deleted.
    bool closed = false;

    std::mutex lockLock;
    std::condition_variable lockChanged;
    thread_id lockOwner = -1;
    int32 lockCount = 0;
    bool dead = false;

    // Loop control; changed under queueLock.
    bool stopLoop = false;
    bool deleteAfterDispatch = false;
    bool quitting = false;

    bool hosted = false;
    bool running = false;
    thread_id thread = -1;
    bool inDispatch = false;
    thread_id dispatchThread = -1;

    std::vector<BHandler*> handlers;
    BHandler* preferred = nullptr;
    BMessage* current = nullptr;
    std::unique_ptr<BMessage> currentOwned;

    // Waits for the lock; false when the looper died (or, with stopWaits, when its loop
    // was told to stop) before the lock could be taken.
    status_t Acquire(bigtime_t timeout, bool stopWaits);
    void Release();
    // Moves the caller's holds of the lock away (the looper is about to be deleted).
    void ReleaseAllHeldBy(thread_id thread);
};

// The registry.
void register_looper(const std::shared_ptr<LooperState>& state);
void unregister_looper(int32 token);
std::shared_ptr<LooperState> find_looper(int32 token);
// Every live looper, oldest first.
std::vector<std::shared_ptr<LooperState>> all_loopers();

// Queues a copy of message for the looper with the token; B_BAD_PORT_ID when it is gone
// or no longer takes messages.
status_t deliver_message(int32 looperToken, int32 handlerToken, const BMessage& message);

// Wakes the host after a hosted looper got a message.
void wake_host();

int32 next_handler_token();

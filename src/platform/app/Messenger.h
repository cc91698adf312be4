#pragma once

// BMessenger: an address of a handler in a looper that any thread may send to. It holds
// ids, never pointers: a messenger to a looper that has quit stays harmless, its sends
// are dropped and answer B_BAD_PORT_ID. Sending never waits for a reply.

#include "platform/support/SupportDefs.h"

class BHandler;
class BLooper;
class BMessage;

class BMessenger {
public:
    BMessenger();
    // Targets handler (in its looper), or, with handler nullptr, looper's preferred
    // handler. result: B_BAD_HANDLER when the handler is in no looper, B_BAD_VALUE when
    // both are nullptr, B_MISMATCHED_VALUES when the handler is in another looper.
    BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
               status_t* result = nullptr);
    // Only the running application can be reached by signature: be_app's signature
    // gives a messenger to be_app, any other B_BAD_VALUE (there is no other process to
    // talk to in this way).
    BMessenger(const char* signature, team_id team = -1, status_t* result = nullptr);
    BMessenger(const BMessenger& other) = default;
    BMessenger& operator=(const BMessenger& other) = default;
    ~BMessenger() = default;

    bool IsValid() const;
    bool IsTargetLocal() const { return true; }
    // The target handler and its looper now; nullptr when gone. Only safe to use while
    // the target cannot go away (e.g. with the looper locked).
    BHandler* Target(BLooper** looper) const;
    bool LockTarget() const;
    status_t LockTargetWithTimeout(bigtime_t timeout) const;

    // The message is copied. timeout is accepted for compatibility: the queue is not
    // bounded, so a send never waits.
    status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
    status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
                         bigtime_t timeout = B_INFINITE_TIMEOUT) const;
    status_t SendMessage(BMessage* message, BMessenger replyTo,
                         bigtime_t timeout = B_INFINITE_TIMEOUT) const;

    bool operator==(const BMessenger& other) const;
    bool operator!=(const BMessenger& other) const { return !(*this == other); }
    bool operator<(const BMessenger& other) const;

    // The ids the messenger holds (flattened into messages by AddMessenger).
    int32 LooperToken() const { return fLooperToken; }
    int32 HandlerToken() const { return fHandlerToken; }
    static BMessenger FromTokens(int32 looperToken, int32 handlerToken);

private:
    int32 fLooperToken = -1;
    // -1: the looper's preferred handler.
    int32 fHandlerToken = -1;
};

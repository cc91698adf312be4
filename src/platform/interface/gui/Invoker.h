#pragma once

// BInvoker: a message and a target; Invoke() sends a copy of the message to the target
// (the window of the invoker, when no target was set). Controls, list views and alerts
// are invokers.

#include <memory>

#include "platform/app/Messenger.h"
#include "platform/support/SupportDefs.h"

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
    BInvoker();
    BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
    BInvoker(BMessage* message, BMessenger target);
    virtual ~BInvoker();

    // Takes ownership of message (nullptr: no message, Invoke() sends nothing).
    virtual status_t SetMessage(BMessage* message);
    BMessage* Message() const { return fMessage.get(); }
    uint32 Command() const;

    virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
    virtual status_t SetTarget(BMessenger messenger);
    bool IsTargetLocal() const { return true; }
    BHandler* Target(BLooper** looper = nullptr) const;
    BMessenger Messenger() const { return fTarget; }
    bool HasTarget() const { return fTarget.IsValid(); }

    // Sends message (or, when nullptr, the invoker's message) to the target.
    virtual status_t Invoke(BMessage* message = nullptr);

protected:
    // Used when no target was set (e.g. the window of a control).
    virtual BMessenger DefaultTarget() const { return BMessenger(); }

private:
    std::unique_ptr<BMessage> fMessage;
    BMessenger fTarget;
};

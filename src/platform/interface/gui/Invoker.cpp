#include "platform/interface/gui/Invoker.h"

#include "platform/app/Handler.h"
#include "platform/app/Looper.h"
#include "platform/app/Message.h"

BInvoker::BInvoker() = default;

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
    : fMessage(message) {
    SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target) : fMessage(message), fTarget(target) {}

BInvoker::~BInvoker() = default;

status_t BInvoker::SetMessage(BMessage* message) {
    if (message != fMessage.get())
        fMessage.reset(message);
    return B_OK;
}

uint32 BInvoker::Command() const {
    return fMessage ? fMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper) {
    if (!handler && !looper) {
        fTarget = BMessenger();
        return B_OK;
    }
    status_t result = B_OK;
    fTarget = BMessenger(handler, looper, &result);
    return result;
}

status_t BInvoker::SetTarget(BMessenger messenger) {
    fTarget = messenger;
    return B_OK;
}

BHandler* BInvoker::Target(BLooper** looper) const {
    return fTarget.Target(looper);
}

status_t BInvoker::Invoke(BMessage* message) {
    if (!message)
        message = fMessage.get();
    if (!message)
        return B_BAD_VALUE;
    BMessenger target = fTarget.IsValid() ? fTarget : DefaultTarget();
    return target.SendMessage(message);
}

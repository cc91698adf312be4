#include "platform/app/Messenger.h"

#include <cstring>

#include "platform/app/Application.h"
#include "platform/app/LooperState.h"
#include "platform/app/Message.h"

BMessenger::BMessenger() = default;

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result) {
    status_t status = B_OK;
    if (handler != nullptr) {
        BLooper* owner = handler->Looper();
        if (owner == nullptr) {
            status = B_BAD_HANDLER;
        } else if (looper != nullptr && looper != owner) {
            status = B_MISMATCHED_VALUES;
        } else {
            fLooperToken = owner->LooperToken();
            fHandlerToken = handler->Token();
        }
    } else if (looper != nullptr) {
        fLooperToken = looper->LooperToken();
        fHandlerToken = -1;
    } else {
        status = B_BAD_VALUE;
    }
    if (result != nullptr)
        *result = status;
}

BMessenger::BMessenger(const char* signature, team_id team, status_t* result) {
    (void)team;
    status_t status = B_BAD_VALUE;
    if (signature != nullptr && be_app != nullptr &&
        strcasecmp(signature, be_app->Signature()) == 0) {
        fLooperToken = be_app->LooperToken();
        fHandlerToken = -1;
        status = B_OK;
    }
    if (result != nullptr)
        *result = status;
}

BMessenger BMessenger::FromTokens(int32 looperToken, int32 handlerToken) {
    BMessenger messenger;
    messenger.fLooperToken = looperToken;
    messenger.fHandlerToken = handlerToken;
    return messenger;
}

bool BMessenger::IsValid() const {
    if (fLooperToken < 0)
        return false;
    std::shared_ptr<LooperState> state = find_looper(fLooperToken);
    if (!state)
        return false;
    std::lock_guard<std::mutex> queue(state->queueLock);
    return !state->closed;
}

BHandler* BMessenger::Target(BLooper** looper) const {
    if (looper != nullptr)
        *looper = nullptr;
    std::shared_ptr<LooperState> state = find_looper(fLooperToken);
    if (!state)
        return nullptr;
    BLooper* owner;
    {
        std::lock_guard<std::mutex> guard(state->lockLock);
        owner = state->owner;
    }
    if (owner == nullptr)
        return nullptr;
    if (looper != nullptr)
        *looper = owner;
    if (fHandlerToken < 0)
        return nullptr;
    for (BHandler* handler : state->handlers)
        if (handler->Token() == fHandlerToken)
            return handler;
    return nullptr;
}

bool BMessenger::LockTarget() const {
    return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const {
    std::shared_ptr<LooperState> state = find_looper(fLooperToken);
    if (!state)
        return B_BAD_PORT_ID;
    status_t status = state->Acquire(timeout, false);
    if (status == B_BAD_VALUE)
        return B_BAD_PORT_ID;
    return status;
}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const {
    BMessage message(command);
    return SendMessage(&message, replyTo);
}

status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const {
    (void)replyTo;
    (void)timeout;
    if (message == nullptr)
        return B_BAD_VALUE;
    if (fLooperToken < 0)
        return B_BAD_PORT_ID;
    return deliver_message(fLooperToken, fHandlerToken, *message);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t timeout) const {
    (void)replyTo;
    return SendMessage(message, static_cast<BHandler*>(nullptr), timeout);
}

bool BMessenger::operator==(const BMessenger& other) const {
    return fLooperToken == other.fLooperToken && fHandlerToken == other.fHandlerToken;
}

bool BMessenger::operator<(const BMessenger& other) const {
    if (fLooperToken != other.fLooperToken)
        return fLooperToken < other.fLooperToken;
    return fHandlerToken < other.fHandlerToken;
}

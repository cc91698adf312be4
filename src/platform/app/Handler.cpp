#include "platform/app/Handler.h"

#include <atomic>

#include "platform/app/Looper.h"
#include "platform/app/Message.h"

namespace {
// Loopers and handlers share one sequence of ids, so a token names exactly one object
// for the life of the process.
std::atomic<int32> sNextToken{1};
} // namespace

int32 next_handler_token() {
    return sNextToken.fetch_add(1);
}

BHandler::BHandler(const char* name) : fName(name ? name : ""), fToken(next_handler_token()) {}

BHandler::~BHandler() {
    if (fLooper != nullptr && fLooper != this)
        fLooper->RemoveHandler(this);
}

void BHandler::MessageReceived(BMessage* message) {
    if (fNextHandler != nullptr && fNextHandler != this)
        fNextHandler->MessageReceived(message);
}

void BHandler::SetName(const char* name) {
    fName = name ? name : "";
}

bool BHandler::LockLooper() {
    BLooper* looper = fLooper;
    if (looper == nullptr || !looper->Lock())
        return false;
    if (fLooper != looper) {
        // The handler moved while we waited.
        looper->Unlock();
        return false;
    }
    return true;
}

void BHandler::UnlockLooper() {
    if (fLooper != nullptr)
        fLooper->Unlock();
}

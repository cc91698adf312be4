#pragma once

// BHandler: an object that receives messages in a looper. A handler belongs to at most
// one looper; messages addressed to it (through a BMessenger or PostMessage) are
// dispatched on that looper's thread with the looper locked.

#include <string>

#include "platform/support/SupportDefs.h"

class BLooper;
class BMessage;

class BHandler {
public:
    explicit BHandler(const char* name = nullptr);
    // A handler that is still in a looper removes itself from it.
    virtual ~BHandler();

    // The default passes the message to the next handler, if there is one.
    virtual void MessageReceived(BMessage* message);

    BLooper* Looper() const { return fLooper; }
    void SetName(const char* name);
    const char* Name() const { return fName.c_str(); }

    // Where MessageReceived passes messages it does not handle.
    void SetNextHandler(BHandler* handler) { fNextHandler = handler; }
    BHandler* NextHandler() const { return fNextHandler; }

    // Locks the handler's looper; false when the handler is in no looper.
    bool LockLooper();
    void UnlockLooper();

    // The handler's identity in messengers: never reused within the process.
    int32 Token() const { return fToken; }

private:
    friend class BLooper;

    BHandler(const BHandler&) = delete;
    BHandler& operator=(const BHandler&) = delete;

    std::string fName;
    BLooper* fLooper = nullptr;
    BHandler* fNextHandler = nullptr;
    int32 fToken;
};

#include "lib/LibThread.h"

#include <cstdio>

#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/kernel/OS.h"

LibThread::LibThread() : fThread(-1), fStopRequested(false), fWaitedFor(false) {}

int32 LibThread::Action() {
    return 0;
}

LibThread::~LibThread() {
    // The thread may still be using this object and the messenger: stop it and let it
    // end before either goes away.
    KillAndWait();
}

status_t LibThread::Suspend() {
    return suspend_thread(fThread);
}

status_t LibThread::Resume() {
    return resume_thread(fThread);
}

status_t LibThread::Kill() {
    if (fThread < 0 || fWaitedFor)
        return B_BAD_THREAD_ID;
    if (find_thread(nullptr) == fThread) {
        // An action stopping itself: kill_thread does not come back.
        fStopRequested.store(true);
        return kill_thread(fThread);
    }
    // The platform's mark goes first: an action that watches only the flag ends the moment
    // it is set, and the mark must still find it running.
    status_t result = kill_thread(fThread);
    fStopRequested.store(true);
    return result;
}

void LibThread::KillAndWait() {
    if (fThread < 0 || fWaitedFor)
        return;
    if (find_thread(nullptr) == fThread)
        return; // an action cannot wait for itself
    Kill();
    status_t exitValue = 0;
    wait_for_thread(fThread, &exitValue);
    fWaitedFor = true;
}

status_t LibThread::Go(const char* name, std::optional<BMessenger> messenger, const int32& priority,
                       const bool& wait) {
    if (fThread >= 0 && !fWaitedFor) {
        // One action at a time: a second would share this object with the first.
        if (Status() != 0)
            return B_BUSY;
        status_t exitValue = 0;
        wait_for_thread(fThread, &exitValue); // collect the ended thread
    }
    fMessenger = std::move(messenger);
    fStopRequested.store(false);
    fWaitedFor = false;

    fThread = spawn_thread(&LibThread::StaticAction, name != nullptr ? name : "", priority, this);
    if (fThread < 0)
        return resume_thread(fThread);
    status_t result = resume_thread(fThread);
    if (!wait || result != B_OK)
        return result;
    status_t exitValue = 0;
    result = wait_for_thread(fThread, &exitValue);
    fWaitedFor = true;
    return result;
}

int32 LibThread::StaticAction(void* self) {
    return static_cast<LibThread*>(self)->StartAction();
}

int32 LibThread::StartAction() {
    int32 result = Action();
    // A stopped action reports nothing, as if it had been cut off.
    if (fMessenger && !fStopRequested.load() && !thread_should_stop()) {
        BMessage notice(LIB_THREAD_COMPLETE);
        thread_info info;
        if (get_thread_info(find_thread(nullptr), &info) == B_OK)
            notice.AddString("name", info.name);
        else
            notice.AddString("name", "");
        notice.AddInt32("status", result);
        fMessenger->SendMessage(&notice, static_cast<BHandler*>(nullptr), B_INFINITE_TIMEOUT);
    }
    return result;
}

int32 LibThread::Status() const {
    if (fThread < 0 || fWaitedFor)
        return 0;
    thread_info info;
    if (get_thread_info(fThread, &info) != B_OK)
        return 0;
    return (int32)info.state;
}

status_t LibThread::SetPriority(const int32& priority) {
    return set_thread_priority(fThread, priority);
}

void LibThread::PrintToStream() const {
    static const char* const kNames[] = {"Running\n", "Ready\n",     "Receiving\n",
                                         "Asleep\n",  "Suspended\n", "Waiting\n"};
    int32 state = Status();
    fputs(state >= 1 && state <= 6 ? kNames[state - 1] : "Unknown\n", stderr);
}

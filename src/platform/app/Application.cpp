#include "platform/app/Application.h"

#include <algorithm>
#include <cstring>

#include "platform/app/LooperState.h"
#include "platform/app/Message.h"

BApplication* be_app = nullptr;
BMessenger be_app_messenger;

namespace {
std::function<void(BApplication*)> sHostLoop;
// Without a pulse the plain loop still looks up now and then, so that a quit asked for
// without a message (Quit() from another thread) is noticed promptly.
constexpr bigtime_t kIdleWait = 100000;
} // namespace

BApplication::BApplication(const char* signature) : BLooper("application") {
    Init(signature, nullptr);
}

BApplication::BApplication(const char* signature, status_t* error) : BLooper("application") {
    Init(signature, error);
}

void BApplication::Init(const char* signature, status_t* error) {
    fSignature = signature ? signature : "";
    // A signature is a MIME type of the "application" supertype.
    if (fSignature.size() <= 12 || strncasecmp(fSignature.c_str(), "application/", 12) != 0)
        fInitStatus = B_BAD_VALUE;
    if (error != nullptr)
        *error = fInitStatus;
    SetHosted(true);
    // The thread that makes the application is the one that runs it.
    MarkHostThread();
    be_app = this;
    be_app_messenger = BMessenger(nullptr, this);
}

BApplication::~BApplication() {
    if (be_app == this) {
        be_app = nullptr;
        be_app_messenger = BMessenger();
    }
}

thread_id BApplication::Run() {
    thread_id self = find_thread(nullptr);
    MarkHostThread();
    {
        std::lock_guard<std::mutex> queue(fState->queueLock);
        fState->thread = self;
        // ReadyToRun comes before anything posted earlier.
        Envelope ready;
        ready.message = std::make_unique<BMessage>(B_READY_TO_RUN);
        fState->queue.push_front(std::move(ready));
    }
    BLooper::Run();
    fNextPulse = system_time() + fPulseRate;

    if (sHostLoop) {
        sHostLoop(this);
    } else {
        while (!IsQuitting()) {
            BLooper::DispatchHosted();
            if (IsQuitting())
                break;
            bigtime_t wait = std::min(PulseIfDue(), kIdleWait);
            if (IsQuitting())
                break;
            if (!BLooper::HostedWorkPending())
                BLooper::WaitForHostedWork(wait);
        }
    }
    QuitOtherLoopers();
    return self;
}

void BApplication::QuitOtherLoopers() {
    std::vector<std::shared_ptr<LooperState>> loopers = all_loopers();
    // Newest first: windows made by other windows go before their makers.
    std::reverse(loopers.begin(), loopers.end());
    for (const std::shared_ptr<LooperState>& state : loopers) {
        if (state.get() == fState.get())
            continue;
        BLooper* looper;
        {
            std::lock_guard<std::mutex> guard(state->lockLock);
            if (state->dead || state->owner == nullptr)
                continue;
            looper = state->owner;
        }
        if (looper->Lock())
            looper->Quit();
    }
}

void BApplication::Quit() {
    SetQuitting();
    {
        std::lock_guard<std::mutex> queue(fState->queueLock);
        fState->closed = true;
    }
    wake_host();
}

bool BApplication::QuitRequested() {
    for (const std::shared_ptr<LooperState>& state : all_loopers()) {
        if (state.get() == fState.get())
            continue;
        if (state->Acquire(B_INFINITE_TIMEOUT, false) != B_OK)
            continue;
        BLooper* looper;
        {
            std::lock_guard<std::mutex> guard(state->lockLock);
            looper = state->owner;
        }
        bool agrees = looper == nullptr || looper->QuitRequested();
        state->Release();
        if (!agrees)
            return false;
    }
    return true;
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler) {
    if (handler != this) {
        BLooper::DispatchMessage(message, handler);
        return;
    }
    switch (message->what) {
    case B_READY_TO_RUN:
        if (!fReadyToRunDone) {
            fReadyToRunDone = true;
            ReadyToRun();
        }
        break;
    case B_QUIT_REQUESTED:
        if (QuitRequested())
            Quit();
        break;
    case B_PULSE:
        Pulse();
        break;
    case B_ARGV_RECEIVED: {
        std::vector<std::string> arguments;
        const char* argument;
        for (int32 i = 0; message->FindString("argv", i, &argument) == B_OK; ++i)
            arguments.push_back(argument);
        std::vector<char*> argv;
        for (std::string& text : arguments)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        ArgvReceived(static_cast<int32>(arguments.size()), argv.data());
        break;
    }
    default:
        BLooper::DispatchMessage(message, handler);
        break;
    }
}

void BApplication::ReadyToRun() {}

void BApplication::Pulse() {}

void BApplication::ArgvReceived(int32 argc, char** argv) {
    (void)argc;
    (void)argv;
}

void BApplication::SetPulseRate(bigtime_t rate) {
    fPulseRate = rate < 0 ? 0 : rate;
    fNextPulse = system_time() + fPulseRate;
    wake_host();
}

bigtime_t BApplication::PulseIfDue() {
    if (fPulseRate <= 0)
        return B_INFINITE_TIMEOUT;
    bigtime_t now = system_time();
    if (now >= fNextPulse) {
        if (Lock()) {
            Pulse();
            Unlock();
        }
        // Late pulses are not made up for.
        fNextPulse = now + fPulseRate;
    }
    return fNextPulse - now;
}

bigtime_t BApplication::NextPulseDelay() const {
    if (fPulseRate <= 0)
        return B_INFINITE_TIMEOUT;
    bigtime_t delay = fNextPulse - system_time();
    return delay < 0 ? 0 : delay;
}

void BApplication::SetHostLoop(std::function<void(BApplication*)> loop) {
    sHostLoop = std::move(loop);
}

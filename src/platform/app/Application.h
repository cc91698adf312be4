#pragma once

// BApplication: the program's looper, hosted on the thread that calls Run().
//
// Run() dispatches ReadyToRun() first and then every message posted to the application
// or to any other hosted looper, and calls Pulse() every PulseRate() microseconds. It
// returns after Quit(); loopers still alive then (windows) are quit before it returns.
//
// A toolkit replaces the plain loop with SetHostLoop(): Run() then calls the host loop,
// which must call BLooper::DispatchHosted() whenever its wake-up function has fired,
// call PulseIfDue() at the latest after NextPulseDelay(), and return once IsQuitting()
// (Quit() calls the wake-up function so that the loop notices).

#include <functional>
#include <string>

#include "platform/app/Looper.h"
#include "platform/app/Messenger.h"

class BApplication : public BLooper {
public:
    explicit BApplication(const char* signature);
    BApplication(const char* signature, status_t* error);
    ~BApplication() override;

    thread_id Run() override;
    // Ends Run() once the current dispatch returns; the application is not deleted.
    void Quit() override;
    // Asks every other looper's QuitRequested(); true when all agree.
    bool QuitRequested() override;
    void DispatchMessage(BMessage* message, BHandler* handler) override;

    virtual void ReadyToRun();
    virtual void Pulse();
    virtual void ArgvReceived(int32 argc, char** argv);

    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const { return fPulseRate; }
    // Calls Pulse() when a pulse is due; answers the microseconds until the next one
    // (B_INFINITE_TIMEOUT when pulsing is off).
    bigtime_t PulseIfDue();
    bigtime_t NextPulseDelay() const;

    const char* Signature() const { return fSignature.c_str(); }
    status_t InitCheck() const { return fInitStatus; }
    bool IsLaunching() const { return !fReadyToRunDone; }
    bool IsQuitting() const { return BLooper::IsQuitting(); }

    static void SetHostLoop(std::function<void(BApplication*)> loop);

private:
    void Init(const char* signature, status_t* error);
    void QuitOtherLoopers();

    std::string fSignature;
    status_t fInitStatus = B_OK;
    bigtime_t fPulseRate = 500000;
    bigtime_t fNextPulse = 0;
    bool fReadyToRunDone = false;
};

extern BApplication* be_app;
extern BMessenger be_app_messenger;

#pragma once

// The application object of the control tests: records what is posted to it, hands tip
// messages to its tip manager and pulses it from the test's loop.

#include <mutex>
#include <vector>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "ui/gui/LibTipManager.h"

class TestApp : public BApplication {
public:
    // The one application of the test process (made on first use, never deleted).
    static TestApp* Get() {
        static TestApp* app = [] {
            auto* made = new TestApp;
            made->BLooper::Run();
            return made;
        }();
        return app;
    }

    void MessageReceived(BMessage* message) override {
        {
            std::lock_guard<std::mutex> lock(fLock);
            fReceived.push_back(*message);
        }
        if (message->what == 'stip' && fTips != nullptr)
            fTips->MessageReceived(message);
    }
    void Pulse() override {
        fPulses++;
        if (fTips != nullptr)
            fTips->PostPending();
    }

    std::vector<BMessage> Received(uint32 what) {
        std::lock_guard<std::mutex> lock(fLock);
        std::vector<BMessage> out;
        for (const BMessage& m : fReceived)
            if (m.what == what)
                out.push_back(m);
        return out;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(fLock);
        fReceived.clear();
    }
    void SetTipManager(LibTipManager* tips) { fTips = tips; }
    int32 Pulses() const { return fPulses; }

private:
    TestApp() : BApplication("application/x-vnd.Kestrelwood.Tarnw-controls-test") {}

    std::mutex fLock;
    std::vector<BMessage> fReceived;
    LibTipManager* fTips = nullptr;
    int32 fPulses = 0;
};

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/app/Application.h"
#include "platform/app/Message.h"

namespace {

constexpr const char* kSignature = "application/x-vnd.Test-App";

class TestApp : public BApplication {
public:
    TestApp() : BApplication(kSignature) {}

    void ReadyToRun() override { fEvents.push_back('rtr '); }
    void Pulse() override {
        if (++fPulses == 3)
            PostMessage('done');
    }
    void MessageReceived(BMessage* message) override {
        fEvents.push_back(message->what);
        fThreads.push_back(find_thread(nullptr));
        if (message->what == 'done' || message->what == 'fine')
            PostMessage(B_QUIT_REQUESTED);
    }

    std::vector<uint32> fEvents;
    std::vector<thread_id> fThreads;
    int fPulses = 0;
};

class Window : public BLooper {
public:
    explicit Window(std::atomic<bool>* deleted, thread_id* thread = nullptr)
        : BLooper("window"), fThread(thread), fDeleted(deleted) {
        SetHosted(true);
    }
    ~Window() override { *fDeleted = true; }
    bool QuitRequested() override { return fMayQuit; }
    void MessageReceived(BMessage* message) override {
        if (fThread)
            *fThread = find_thread(nullptr);
        if (message->what == 'ask')
            be_app_messenger.SendMessage('fine');
    }
    bool fMayQuit = true;
    thread_id* fThread;
    std::atomic<bool>* fDeleted;
};

} // namespace

TEST(Application, RunStartsWithReadyToRunPulsesAndEndsOnQuit) {
    TestApp app;
    EXPECT_EQ(app.InitCheck(), B_OK);
    EXPECT_EQ(be_app, &app);
    EXPECT_STREQ(app.Signature(), kSignature);
    app.SetPulseRate(10000);

    // Posted before Run(): dispatched after ReadyToRun.
    app.PostMessage('pre ');
    std::thread sender([] { be_app_messenger.SendMessage('thrd'); });
    sender.join();

    thread_id runner = app.Run();
    EXPECT_EQ(runner, find_thread(nullptr));
    ASSERT_GE(app.fEvents.size(), 4u);
    EXPECT_EQ(app.fEvents.front(), static_cast<uint32>('rtr '));
    EXPECT_EQ(app.fEvents[1], static_cast<uint32>('pre '));
    EXPECT_EQ(app.fEvents[2], static_cast<uint32>('thrd'));
    EXPECT_EQ(app.fEvents.back(), static_cast<uint32>('done'));
    EXPECT_GE(app.fPulses, 3);
    for (thread_id thread : app.fThreads)
        EXPECT_EQ(thread, runner);
    EXPECT_FALSE(app.IsLaunching());
}

TEST(Application, WindowsAreDispatchedOnTheApplicationThreadAndQuitWithIt) {
    TestApp app;
    std::atomic<bool> windowDeleted{false};
    thread_id windowThread = -1;
    auto* window = new Window(&windowDeleted, &windowThread);
    window->Run();
    BMessenger toWindow(window);

    std::thread worker([&] {
        // A worker that talks to the window while the application runs.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        toWindow.SendMessage('ask');
    });
    app.SetPulseRate(0);
    thread_id runner = app.Run();
    worker.join();

    EXPECT_EQ(windowThread, runner);
    ASSERT_GE(app.fEvents.size(), 2u);
    EXPECT_EQ(app.fEvents[1], static_cast<uint32>('fine'));
    // Windows still open when the loop ends are quit (and deleted) by it.
    EXPECT_TRUE(windowDeleted);
    EXPECT_FALSE(toWindow.IsValid());
}

TEST(Application, AWindowThatRefusesKeepsTheApplicationRunning) {
    TestApp app;
    std::atomic<bool> windowDeleted{false};
    auto* window = new Window(&windowDeleted);
    window->fMayQuit = false;
    window->Run();
    EXPECT_FALSE(app.QuitRequested());
    window->fMayQuit = true;
    EXPECT_TRUE(app.QuitRequested());
    window->Lock();
    window->Quit();
    EXPECT_TRUE(windowDeleted);
}

TEST(Application, QuitFromAnotherThreadEndsRunAndAHostLoopCanReplaceThePlainOne) {
    {
        TestApp app;
        app.SetPulseRate(0);
        std::thread quitter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            app.Quit();
        });
        app.Run();
        quitter.join();
        EXPECT_TRUE(app.IsQuitting());
        EXPECT_EQ(app.fEvents.front(), static_cast<uint32>('rtr '));
    }

    int rounds = 0;
    BApplication::SetHostLoop([&](BApplication* host) {
        while (!host->IsQuitting()) {
            ++rounds;
            BLooper::DispatchHosted();
            host->PulseIfDue();
            BLooper::WaitForHostedWork(1000);
        }
    });
    {
        TestApp app;
        app.SetPulseRate(1000);
        app.Run();
        EXPECT_EQ(app.fEvents.back(), static_cast<uint32>('done'));
        EXPECT_GT(rounds, 0);
    }
    BApplication::SetHostLoop(nullptr);
}

TEST(Application, SignaturesAreCheckedAndReachableOnlyForThisApplication) {
    status_t error = B_OK;
    {
        BApplication bad("text/plain", &error);
        EXPECT_EQ(error, B_BAD_VALUE);
    }
    BApplication app(kSignature, &error);
    EXPECT_EQ(error, B_OK);
    status_t result = B_ERROR;
    BMessenger bySignature("APPLICATION/x-vnd.test-app", -1, &result);
    EXPECT_EQ(result, B_OK);
    EXPECT_EQ(bySignature, be_app_messenger);
    BMessenger other("application/x-vnd.Other", -1, &result);
    EXPECT_EQ(result, B_BAD_VALUE);
    EXPECT_FALSE(other.IsValid());
}

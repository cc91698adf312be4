#include "lib/LibThread.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/app/Looper.h"
#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/kernel/OS.h"

namespace {

struct Notice {
    uint32 what;
    std::string name;
    int32 status;
};

// A looper hosted on the test's own thread that records what it receives.
class Recorder : public BLooper {
public:
    Recorder() : BLooper("recorder") {
        SetHosted(true);
        Run();
    }
    void MessageReceived(BMessage* message) override {
        Notice notice{message->what, "", -999};
        const char* name = nullptr;
        if (message->FindString("name", &name) == B_OK)
            notice.name = name;
        message->FindInt32("status", &notice.status);
        notices.push_back(notice);
    }
    // Dispatches until count notices arrived or a generous time passed.
    void WaitFor(size_t count) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (notices.size() < count && std::chrono::steady_clock::now() < end) {
            WaitForHostedWork(10000);
            DispatchPending();
        }
    }
    std::vector<Notice> notices;
};

struct RecorderDeleter {
    void operator()(Recorder* recorder) const {
        recorder->Lock();
        recorder->Quit();
    }
};
using RecorderPtr = std::unique_ptr<Recorder, RecorderDeleter>;

class ReturnsFive : public LibThread {
public:
    int32 Action() override {
        ran = true;
        return 5;
    }
    std::atomic<bool> ran{false};
};

// Works until it is asked to stop, checking between steps as a long action does.
class Endless : public LibThread {
public:
    ~Endless() override { KillAndWait(); }
    int32 Action() override {
        started = true;
        while (!StopRequested() && thread_safe_point() == B_OK)
            steps++;
        return 1;
    }
    std::atomic<bool> started{false};
    std::atomic<long> steps{0};
};

void WaitUntil(const std::atomic<bool>& flag) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!flag && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

TEST(LibThread, ReportsTheActionResultOnce) {
    RecorderPtr recorder(new Recorder);
    ReturnsFive worker;
    EXPECT_EQ(worker.Go("install", BMessenger(nullptr, recorder.get()), 10, false), B_OK);
    recorder->WaitFor(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    recorder->DispatchPending();
    ASSERT_EQ(recorder->notices.size(), 1u);
    EXPECT_EQ(recorder->notices[0].what, (uint32)'LThC');
    EXPECT_EQ(recorder->notices[0].what, 0x4c546843u);
    EXPECT_EQ(recorder->notices[0].name, "install");
    EXPECT_EQ(recorder->notices[0].status, 5);
}

TEST(LibThread, WaitingGoReturnsAfterTheNotice) {
    RecorderPtr recorder(new Recorder);
    ReturnsFive worker;
    EXPECT_EQ(worker.Go("waited", BMessenger(nullptr, recorder.get()), 10, true), B_OK);
    EXPECT_TRUE(worker.ran);
    EXPECT_EQ(recorder->CountQueuedMessages(), 1);
    EXPECT_EQ(worker.Status(), 0); // ended

    // The object can run again once the first run is over.
    EXPECT_EQ(worker.Go("again", BMessenger(nullptr, recorder.get()), 10, true), B_OK);
    recorder->DispatchPending();
    ASSERT_EQ(recorder->notices.size(), 2u);
    EXPECT_EQ(recorder->notices[1].name, "again");
}

TEST(LibThread, RunsWithoutAMessenger) {
    ReturnsFive worker;
    EXPECT_EQ(worker.Go("quiet", std::nullopt, 10, true), B_OK);
    EXPECT_TRUE(worker.ran);
    LibThread base;
    EXPECT_EQ(base.Action(), 0);
}

TEST(LibThread, KillStopsTheActionWithoutANotice) {
    RecorderPtr recorder(new Recorder);
    Endless worker;
    EXPECT_EQ(worker.Go("install", BMessenger(nullptr, recorder.get()), 10, false), B_OK);
    WaitUntil(worker.started);
    int32 state = worker.Status();
    EXPECT_TRUE(state == 1 || state == 2 || state == 6) << state;

    // A second run while the first lasts is refused.
    EXPECT_EQ(worker.Go("second", BMessenger(nullptr, recorder.get()), 10, false), B_BUSY);

    EXPECT_EQ(worker.Kill(), B_OK);
    worker.KillAndWait();
    EXPECT_EQ(worker.Status(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    recorder->DispatchPending();
    EXPECT_TRUE(recorder->notices.empty());
}

// An action that watches only its own stop flag and ends the moment it is set: Kill must
// still find it running, since it was running when Kill was asked.
class WatchesTheFlag : public LibThread {
public:
    ~WatchesTheFlag() override { KillAndWait(); }
    int32 Action() override {
        started = true;
        while (!StopRequested()) {
        }
        return 1;
    }
    std::atomic<bool> started{false};
};

TEST(LibThread, KillFindsAnActionThatEndsOnTheFlag) {
    for (int round = 0; round < 300; ++round) {
        WatchesTheFlag worker;
        ASSERT_EQ(worker.Go("watcher", std::nullopt, 10, false), B_OK);
        WaitUntil(worker.started);
        ASSERT_EQ(worker.Kill(), B_OK) << "round " << round;
        worker.KillAndWait();
        EXPECT_EQ(worker.Status(), 0);
    }
}

TEST(LibThread, DestroyingARunningWorkerStopsIt) {
    RecorderPtr recorder(new Recorder);
    auto* worker = new Endless;
    worker->Go("install", BMessenger(nullptr, recorder.get()), 10, false);
    WaitUntil(worker->started);
    delete worker; // must neither crash nor report
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    recorder->DispatchPending();
    EXPECT_TRUE(recorder->notices.empty());
}

TEST(LibThread, StatesByName) {
    LibThread never;
    EXPECT_EQ(never.Status(), 0);
    EXPECT_NE(never.Kill(), B_OK);
    testing::internal::CaptureStderr();
    never.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unknown\n");

    Endless worker;
    worker.Go("states", std::nullopt, 10, false);
    WaitUntil(worker.started);
    EXPECT_EQ(worker.Suspend(), B_OK);
    // Suspension takes effect at the worker's next safe point.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (worker.Status() != 5 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(worker.Status(), 5);
    testing::internal::CaptureStderr();
    worker.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Suspended\n");
    EXPECT_EQ(worker.Resume(), B_OK);
    EXPECT_GE(worker.SetPriority(5), 0);
}

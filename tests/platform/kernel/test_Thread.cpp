#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "platform/kernel/OS.h"

namespace {

struct Counter {
    std::atomic<int> steps{0};
    std::atomic<bool> started{false};
    std::atomic<bool> cleanedUp{false};
    int limit = 1000000;
};

// Counts until told to stop; asks at every step, as the installer's worker does between
// file operations.
int32 CountingWorker(void* data) {
    auto* counter = static_cast<Counter*>(data);
    counter->started = true;
    struct Cleanup {
        Counter* counter;
        ~Cleanup() { counter->cleanedUp = true; }
    } cleanup{counter};
    for (int i = 0; i < counter->limit; ++i) {
        thread_exit_if_stopped();
        ++counter->steps;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return 7;
}

int32 ReturnsItsArgument(void* data) {
    return static_cast<int32>(reinterpret_cast<intptr_t>(data));
}

bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

std::string SystemName(thread_id id) {
    std::ifstream in("/proc/self/task/" + std::to_string(id) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

TEST(Thread, ASpawnedThreadWaitsForResumeAndHandsBackItsResult) {
    Counter counter;
    counter.limit = 3;
    thread_id id = spawn_thread(CountingWorker, "counter", B_NORMAL_PRIORITY, &counter);
    ASSERT_GT(id, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(counter.started);
    thread_info info;
    ASSERT_EQ(get_thread_info(id, &info), B_OK);
    EXPECT_EQ(info.state, B_THREAD_SUSPENDED);
    EXPECT_STREQ(info.name, "counter");
    EXPECT_EQ(info.team, getpid());

    ASSERT_EQ(resume_thread(id), B_OK);
    status_t result = 0;
    ASSERT_EQ(wait_for_thread(id, &result), B_OK);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(counter.steps, 3);

    // Gone: waited for once, unknown afterwards.
    EXPECT_EQ(wait_for_thread(id, &result), B_BAD_THREAD_ID);
    EXPECT_EQ(get_thread_info(id, &info), B_BAD_THREAD_ID);
    EXPECT_EQ(resume_thread(id), B_BAD_THREAD_ID);
    EXPECT_EQ(kill_thread(id), B_BAD_THREAD_ID);

    // Waiting for a thread that was never resumed starts it.
    thread_id lazy = spawn_thread(ReturnsItsArgument, "lazy", B_NORMAL_PRIORITY,
                                  reinterpret_cast<void*>(intptr_t{42}));
    ASSERT_EQ(wait_for_thread(lazy, &result), B_OK);
    EXPECT_EQ(result, 42);

    EXPECT_EQ(wait_for_thread(find_thread(nullptr), &result), B_BAD_VALUE);
    EXPECT_EQ(spawn_thread(nullptr, "none", B_NORMAL_PRIORITY, nullptr), B_BAD_VALUE);
}

TEST(Thread, SuspendParksTheThreadAtItsNextSafePointUntilResumed) {
    Counter counter;
    thread_id id = spawn_thread(CountingWorker, "suspended", B_NORMAL_PRIORITY, &counter);
    resume_thread(id);
    ASSERT_TRUE(Eventually([&] { return counter.steps > 5; }));
    EXPECT_EQ(resume_thread(id), B_BAD_THREAD_STATE);

    ASSERT_EQ(suspend_thread(id), B_OK);
    thread_info info;
    ASSERT_EQ(get_thread_info(id, &info), B_OK);
    EXPECT_EQ(info.state, B_THREAD_SUSPENDED);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    int parkedAt = counter.steps;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(counter.steps, parkedAt);

    ASSERT_EQ(resume_thread(id), B_OK);
    ASSERT_TRUE(Eventually([&] { return counter.steps > parkedAt + 5; }));
    kill_thread(id);
    wait_for_thread(id, nullptr);
}

TEST(Thread, KillEndsTheThreadAtItsNextSafePointWithItsCleanUp) {
    Counter counter;
    thread_id id = spawn_thread(CountingWorker, "killed", B_NORMAL_PRIORITY, &counter);
    resume_thread(id);
    ASSERT_TRUE(Eventually([&] { return counter.steps > 2; }));
    ASSERT_EQ(kill_thread(id), B_OK);
    status_t result = 0;
    ASSERT_EQ(wait_for_thread(id, &result), B_OK);
    EXPECT_EQ(result, B_INTERRUPTED);
    EXPECT_TRUE(counter.cleanedUp);
    EXPECT_LT(counter.steps, counter.limit);

    // A suspended thread is released by a kill, and one killed before it started never
    // runs.
    Counter parked;
    id = spawn_thread(CountingWorker, "parked", B_NORMAL_PRIORITY, &parked);
    resume_thread(id);
    ASSERT_TRUE(Eventually([&] { return parked.steps > 0; }));
    suspend_thread(id);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill_thread(id);
    ASSERT_EQ(wait_for_thread(id, &result), B_OK);
    EXPECT_EQ(result, B_INTERRUPTED);

    Counter never;
    id = spawn_thread(CountingWorker, "never", B_NORMAL_PRIORITY, &never);
    kill_thread(id);
    ASSERT_EQ(wait_for_thread(id, &result), B_OK);
    EXPECT_EQ(result, B_INTERRUPTED);
    EXPECT_FALSE(never.started);
}

TEST(Thread, AKillReleasesAThreadWaitingForTheUser) {
    struct Dialog {
        std::mutex lock;
        std::condition_variable answered;
        int button = -1;
        std::atomic<bool> waiting{false};
    } dialog;
    auto ask = [](void* data) -> int32 {
        auto* dialog = static_cast<Dialog*>(data);
        // What a front-end does while a worker waits for an alert: a kill answers the
        // alert with its first button.
        set_thread_stop_callback([dialog] {
            std::lock_guard<std::mutex> guard(dialog->lock);
            dialog->button = 0;
            dialog->answered.notify_all();
        });
        std::unique_lock<std::mutex> guard(dialog->lock);
        dialog->waiting = true;
        dialog->answered.wait(guard, [&] { return dialog->button >= 0; });
        guard.unlock();
        set_thread_stop_callback(nullptr);
        EXPECT_TRUE(thread_should_stop());
        EXPECT_EQ(thread_safe_point(), B_INTERRUPTED);
        return dialog->button;
    };
    thread_id id = spawn_thread(ask, "asking", B_NORMAL_PRIORITY, &dialog);
    resume_thread(id);
    ASSERT_TRUE(Eventually([&] { return dialog.waiting.load(); }));
    kill_thread(id);
    status_t result = -1;
    ASSERT_EQ(wait_for_thread(id, &result), B_OK);
    EXPECT_EQ(result, 0);

    // A callback installed after the kill runs at once.
    std::atomic<bool> lateRunning{false};
    auto late = [](void* data) -> int32 {
        *static_cast<std::atomic<bool>*>(data) = true;
        while (!thread_should_stop())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        int32 calls = 0;
        set_thread_stop_callback([&calls] { ++calls; });
        return calls;
    };
    id = spawn_thread(late, "late", B_NORMAL_PRIORITY, &lateRunning);
    resume_thread(id);
    ASSERT_TRUE(Eventually([&] { return lateRunning.load(); }));
    kill_thread(id);
    ASSERT_EQ(wait_for_thread(id, &result), B_OK);
    EXPECT_EQ(result, 1);

    // Threads not made by spawn_thread are never asked to stop.
    EXPECT_FALSE(thread_should_stop());
    EXPECT_EQ(thread_safe_point(), B_OK);
    EXPECT_EQ(set_thread_stop_callback([] {}), B_BAD_THREAD_ID);
}

TEST(Thread, NamesAreKeptAndShownToTheSystem) {
    Counter counter;
    const char* longName = "installation worker thread";
    thread_id id = spawn_thread(CountingWorker, longName, B_NORMAL_PRIORITY, &counter);
    thread_info info;
    ASSERT_EQ(get_thread_info(id, &info), B_OK);
    EXPECT_STREQ(info.name, longName);
    EXPECT_EQ(SystemName(id), std::string(longName).substr(0, 15));
    EXPECT_EQ(find_thread(longName), id);

    ASSERT_EQ(rename_thread(id, "install"), B_OK);
    ASSERT_EQ(get_thread_info(id, &info), B_OK);
    EXPECT_STREQ(info.name, "install");
    EXPECT_EQ(SystemName(id), "install");
    EXPECT_EQ(rename_thread(id, nullptr), B_BAD_VALUE);

    // Cut to fit, never inside a character.
    ASSERT_EQ(rename_thread(id, "ééééééééé"), B_OK);
    EXPECT_EQ(SystemName(id), "ééééééé");
    kill_thread(id);
    wait_for_thread(id, nullptr);

    // The calling thread, not made by spawn_thread, has a name too.
    thread_id self = find_thread(nullptr);
    EXPECT_EQ(self, static_cast<thread_id>(gettid()));
    ASSERT_EQ(rename_thread(self, "test main"), B_OK);
    ASSERT_EQ(get_thread_info(self, &info), B_OK);
    EXPECT_STREQ(info.name, "test main");
    EXPECT_EQ(find_thread("no such thread"), B_NAME_NOT_FOUND);
}

TEST(Thread, PrioritiesAreKeptInTheirRangeAndTheOldOneIsAnswered) {
    Counter counter;
    thread_id id = spawn_thread(CountingWorker, "priority", B_LOW_PRIORITY, &counter);
    thread_info info;
    ASSERT_EQ(get_thread_info(id, &info), B_OK);
    EXPECT_EQ(info.priority, B_LOW_PRIORITY);
    EXPECT_EQ(set_thread_priority(id, B_NORMAL_PRIORITY), B_LOW_PRIORITY);
    EXPECT_EQ(set_thread_priority(id, 1000), B_NORMAL_PRIORITY);
    ASSERT_EQ(get_thread_info(id, &info), B_OK);
    EXPECT_EQ(info.priority, B_REAL_TIME_PRIORITY);
    EXPECT_EQ(set_thread_priority(-5, B_NORMAL_PRIORITY), B_BAD_THREAD_ID);
    kill_thread(id);
    wait_for_thread(id, nullptr);
}

TEST(Thread, ThreadsOfTheTeamCanBeListed) {
    Counter counter;
    thread_id id = spawn_thread(CountingWorker, "listed", B_NORMAL_PRIORITY, &counter);
    bool sawWorker = false, sawSelf = false;
    int32 cookie = 0;
    thread_info info;
    int listed = 0;
    while (get_next_thread_info(B_CURRENT_TEAM, &cookie, &info) == B_OK) {
        ++listed;
        sawWorker |= info.thread == id;
        sawSelf |= info.thread == find_thread(nullptr);
    }
    EXPECT_TRUE(sawWorker);
    EXPECT_TRUE(sawSelf);
    team_info team;
    ASSERT_EQ(get_team_info(B_CURRENT_TEAM, &team), B_OK);
    EXPECT_EQ(team.team, getpid());
    // Threads of earlier tests may still be ending: the counts need not match exactly.
    EXPECT_GE(team.thread_count, 2);
    EXPECT_GE(listed, 2);
    EXPECT_GE(team.argc, 1);
    EXPECT_EQ(get_team_info(-3, &team), B_BAD_TEAM_ID);
    kill_thread(id);
    wait_for_thread(id, nullptr);
}

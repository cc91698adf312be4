#include "engine/ProgressReporter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/app/Looper.h"
#include "platform/app/Message.h"

namespace {

// What the window would receive.
class WindowStandIn : public BLooper {
public:
    WindowStandIn() : BLooper("window") {}

    void MessageReceived(BMessage* message) override {
        std::lock_guard<std::mutex> guard(fLock);
        fReceived.push_back(*message);
        fChanged.notify_all();
    }

    std::vector<BMessage> WaitFor(size_t count) {
        std::unique_lock<std::mutex> guard(fLock);
        fChanged.wait_for(guard, std::chrono::seconds(10),
                          [&] { return fReceived.size() >= count; });
        return fReceived;
    }

private:
    std::mutex fLock;
    std::condition_variable fChanged;
    std::vector<BMessage> fReceived;
};

struct Heard {
    std::mutex lock;
    std::vector<std::pair<int64, int64>> reports;

    ProgressReporter::ProgressListener Listener() {
        return [this](int64 done, int64 total) {
            std::lock_guard<std::mutex> guard(lock);
            reports.push_back({done, total});
        };
    }
};

} // namespace

TEST(ProgressReporter, StatusReachesTheListenerAndTheWindowCutAtACharacterBoundary) {
    WindowStandIn* window = new WindowStandIn();
    window->Run();
    BMessenger messenger(window);

    ProgressReporter reporter;
    std::vector<std::string> heard;
    reporter.SetStatusListener([&](const char* text) { heard.push_back(text); });
    reporter.SetTarget(&messenger);
    reporter.Status("Installing %d of %d (%s)", 2, 7, "readme.txt");
    // 49 two-byte characters and one more: the last one does not fit in 99 bytes whole.
    std::string longText;
    for (int i = 0; i < 50; i++)
        longText += "\xC3\xA9";
    reporter.Status("%s", longText.c_str());
    // Without a window only the listener hears.
    reporter.SetTarget(nullptr);
    reporter.Status("%s", "last");

    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0], "Installing 2 of 7 (readme.txt)");
    EXPECT_EQ(heard[1], longText.substr(0, 98));
    EXPECT_EQ(heard[2], "last");

    std::vector<BMessage> received = window->WaitFor(2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].what, uint32(kInstallStatusMessage));
    EXPECT_STREQ(received[0].GetString("message", ""), "Installing 2 of 7 (readme.txt)");
    EXPECT_EQ(std::string(received[1].GetString("message", "")), longText.substr(0, 98));
    ASSERT_TRUE(window->Lock());
    window->Quit();
}

TEST(ProgressReporter, ProgressNeverGoesBackNorPastTheTotalAndComesInSteps) {
    WindowStandIn* window = new WindowStandIn();
    window->Run();
    BMessenger messenger(window);

    constexpr int64 kStep = ProgressReporter::kReportStep;
    ProgressReporter reporter;
    Heard heard;
    reporter.SetProgressListener(heard.Listener());
    reporter.SetTarget(&messenger);

    reporter.Start(10 * kStep);         // 0, told at once
    reporter.Report(kStep / 2, false);  // less than a step: kept, not told
    reporter.Report(kStep, false);      // a step: told
    reporter.Report(kStep / 4, true);   // back: stays where it was, not told again
    reporter.Report(kStep + 1, true);   // forced: told
    reporter.Report(20 * kStep, false); // past the total: the total
    EXPECT_EQ(reporter.Done(), 10 * kStep);
    reporter.Finish(); // already there: not told again

    std::vector<std::pair<int64, int64>> expected = {
        {0, 10 * kStep}, {kStep, 10 * kStep}, {kStep + 1, 10 * kStep}, {10 * kStep, 10 * kStep}};
    EXPECT_EQ(heard.reports, expected);

    std::vector<BMessage> received = window->WaitFor(expected.size());
    ASSERT_EQ(received.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(received[i].what, uint32(kInstallProgressMessage));
        EXPECT_EQ(received[i].GetInt64("done", -1), expected[i].first);
        EXPECT_EQ(received[i].GetInt64("total", -1), expected[i].second);
    }
    ASSERT_TRUE(window->Lock());
    window->Quit();
}

TEST(ProgressReporter, ItemsCountWhenHandledAndTheirReadingInBetween) {
    constexpr int64 kStep = ProgressReporter::kReportStep;
    ProgressReporter reporter;
    Heard heard;
    reporter.SetProgressListener(heard.Listener());
    reporter.Start(4 * kStep + 100);

    // An item without planned bytes follows nothing.
    EXPECT_FALSE(reporter.FollowerFor(0));

    reporter.Handled(100); // a small deinstaller
    ProgressReporter::ReadFollower follow = reporter.FollowerFor(4 * kStep);
    ASSERT_TRUE(follow);
    follow(0, 1000);    // nothing read yet
    follow(500, 1000);  // half the item
    follow(0, 0);       // an entry of no length tells nothing
    follow(2000, 1000); // more than its length is all of it
    reporter.Handled(4 * kStep);
    // Counted again when the item is handled: told once, the total.
    EXPECT_EQ(reporter.HandledBytes(), 4 * kStep + 100);
    // A new run starts from nothing.
    reporter.Start(10);
    EXPECT_EQ(reporter.HandledBytes(), 0);

    std::vector<std::pair<int64, int64>> expected = {{0, 4 * kStep + 100},
                                                     {100, 4 * kStep + 100},
                                                     {100 + 2 * kStep, 4 * kStep + 100},
                                                     {4 * kStep + 100, 4 * kStep + 100},
                                                     {0, 10}};
    EXPECT_EQ(heard.reports, expected);
}

// Extraction threads report while the worker tells statuses and a front-end sets and
// clears its listeners: reports arrive whole and in order (ThreadSanitizer watches the
// rest).
TEST(ProgressReporter, ThreadsReportWhileListenersComeAndGo) {
    constexpr int kThreads = 4;
    constexpr int64 kPerThread = 2000;
    constexpr int64 kTotal = kThreads * kPerThread * ProgressReporter::kReportStep;
    ProgressReporter reporter;
    Heard heard;
    reporter.SetProgressListener(heard.Listener());
    reporter.Start(kTotal);

    std::atomic<bool> running{true};
    std::atomic<int> statuses{0};
    std::vector<std::thread> threads;
    std::atomic<int64> next{0};
    // Every report but the last comes while listeners come and go; the last one, once a
    // listener stays, must reach it.
    for (int t = 0; t < kThreads; t++) {
        threads.emplace_back([&] {
            for (int64 i = 0;; i++) {
                int64 step = next.fetch_add(1) + 1;
                if (step >= kThreads * kPerThread)
                    break;
                reporter.Report(step * ProgressReporter::kReportStep, i % 2 == 0);
            }
        });
    }
    threads.emplace_back([&] {
        while (running.load())
            reporter.Status("Installing %d", 1);
    });

    for (int round = 0; round < 200; round++) {
        reporter.SetProgressListener(heard.Listener());
        reporter.SetStatusListener([&](const char* text) {
            if (std::string(text) == "Installing 1")
                statuses++;
        });
        std::this_thread::yield();
        reporter.SetProgressListener(nullptr);
        reporter.SetStatusListener(nullptr);
    }
    reporter.SetProgressListener(heard.Listener());
    for (int t = 0; t < kThreads; t++)
        threads[t].join();
    running.store(false);
    threads.back().join();
    reporter.Report(kTotal, false);
    reporter.Finish();

    EXPECT_EQ(reporter.Done(), kTotal);
    std::lock_guard<std::mutex> guard(heard.lock);
    ASSERT_FALSE(heard.reports.empty());
    for (size_t i = 1; i < heard.reports.size(); i++) {
        EXPECT_LT(heard.reports[i - 1].first, heard.reports[i].first) << i;
        EXPECT_EQ(heard.reports[i].second, kTotal);
    }
    EXPECT_EQ(heard.reports.back().first, kTotal);
}

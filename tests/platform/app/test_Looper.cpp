#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/app/Handler.h"
#include "platform/app/Looper.h"
#include "platform/app/Message.h"
#include "platform/app/Messenger.h"

namespace {

// Records what it gets; tells when it is deleted.
class RecordingLooper : public BLooper {
public:
    explicit RecordingLooper(std::atomic<bool>* deleted = nullptr)
        : BLooper("recorder"), fDeleted(deleted) {}
    ~RecordingLooper() override {
        if (fDeleted)
            *fDeleted = true;
    }

    void MessageReceived(BMessage* message) override {
        std::lock_guard<std::mutex> guard(fLock);
        if (message->what == 'quit') {
            Quit();
            return;
        }
        if (message->what == 'slow')
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fReceived.push_back(*message);
        fThreads.push_back(find_thread(nullptr));
        fCurrentWasMessage = CurrentMessage() == message;
        fChanged.notify_all();
    }

    bool QuitRequested() override { return fAgreeToQuit; }

    bool WaitFor(size_t count) {
        std::unique_lock<std::mutex> guard(fLock);
        return fChanged.wait_for(guard, std::chrono::seconds(10),
                                 [&] { return fReceived.size() >= count; });
    }
    std::vector<BMessage> Received() {
        std::lock_guard<std::mutex> guard(fLock);
        return fReceived;
    }

    std::mutex fLock;
    std::condition_variable fChanged;
    std::vector<BMessage> fReceived;
    std::vector<thread_id> fThreads;
    bool fCurrentWasMessage = false;
    bool fAgreeToQuit = true;
    std::atomic<bool>* fDeleted;
};

class RecordingHandler : public BHandler {
public:
    RecordingHandler() : BHandler("handler") {}
    void MessageReceived(BMessage* message) override { fWhats.push_back(message->what); }
    std::vector<uint32> fWhats;
};

bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

} // namespace

TEST(Looper, MessagesFromManyThreadsAllArriveInTheOrderEachThreadSentThem) {
    auto* looper = new RecordingLooper;
    thread_id loopThread = looper->Run();
    ASSERT_GT(loopThread, 0);
    BMessenger messenger(looper);
    ASSERT_TRUE(messenger.IsValid());

    constexpr int kSenders = 4;
    constexpr int kEach = 500;
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s] {
            for (int i = 0; i < kEach; ++i) {
                BMessage message('data');
                message.AddInt32("sender", s);
                message.AddInt32("index", i);
                EXPECT_EQ(messenger.SendMessage(&message), B_OK);
            }
        });
    }
    for (std::thread& sender : senders)
        sender.join();
    ASSERT_TRUE(looper->WaitFor(kSenders * kEach));

    std::vector<BMessage> received = looper->Received();
    ASSERT_EQ(received.size(), static_cast<size_t>(kSenders * kEach));
    int next[kSenders] = {};
    for (const BMessage& message : received) {
        int32 sender = message.GetInt32("sender", -1);
        ASSERT_GE(sender, 0);
        EXPECT_EQ(message.GetInt32("index", -1), next[sender]++);
    }
    {
        std::lock_guard<std::mutex> guard(looper->fLock);
        for (thread_id thread : looper->fThreads)
            EXPECT_EQ(thread, loopThread);
        EXPECT_TRUE(looper->fCurrentWasMessage);
    }
    ASSERT_TRUE(looper->Lock());
    looper->Quit();
}

TEST(Looper, QuitWithMessagesQueuedDeletesTheLooperAndDispatchesNothingMore) {
    std::atomic<bool> deleted{false};
    auto* looper = new RecordingLooper(&deleted);
    looper->Run();
    BMessenger messenger(looper);
    ASSERT_EQ(messenger.SendMessage('slow'), B_OK);
    for (int i = 0; i < 200; ++i)
        messenger.SendMessage('data');
    ASSERT_TRUE(looper->WaitFor(1));
    ASSERT_TRUE(looper->Lock());
    looper->Quit();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('late'), B_BAD_PORT_ID);
}

TEST(Looper, QuitFromItsOwnMessageEndsTheThread) {
    std::atomic<bool> deleted{false};
    auto* looper = new RecordingLooper(&deleted);
    thread_id thread = looper->Run();
    BMessenger messenger(looper);
    messenger.SendMessage('quit');
    messenger.SendMessage('data');
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_OK);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(messenger.SendMessage('data'), B_BAD_PORT_ID);
    EXPECT_FALSE(messenger.LockTarget());
}

TEST(Looper, QuitRequestedDecidesWhetherAQuitRequestEndsTheLooper) {
    std::atomic<bool> deleted{false};
    auto* looper = new RecordingLooper(&deleted);
    looper->fAgreeToQuit = false;
    looper->Run();
    BMessenger messenger(looper);
    messenger.SendMessage(B_QUIT_REQUESTED);
    messenger.SendMessage('data');
    ASSERT_TRUE(looper->WaitFor(1));
    EXPECT_FALSE(deleted);

    ASSERT_TRUE(looper->Lock());
    looper->fAgreeToQuit = true;
    looper->Unlock();
    thread_id thread = looper->Thread();
    messenger.SendMessage(B_QUIT_REQUESTED);
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_OK);
    EXPECT_TRUE(deleted);
}

TEST(Looper, TheLockIsRecursiveAndBelongsToOneThread) {
    auto* looper = new RecordingLooper;
    looper->Run();
    ASSERT_TRUE(looper->Lock());
    ASSERT_TRUE(looper->Lock());
    EXPECT_TRUE(looper->IsLocked());
    EXPECT_EQ(looper->CountLocks(), 2);
    EXPECT_EQ(looper->LockingThread(), find_thread(nullptr));

    // While locked here, the looper's thread cannot dispatch, and other threads wait.
    BMessenger(looper).SendMessage('data');
    std::thread other([&] {
        EXPECT_FALSE(looper->IsLocked());
        EXPECT_EQ(looper->LockWithTimeout(20000), B_TIMED_OUT);
    });
    other.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(looper->Received().empty());

    looper->Unlock();
    EXPECT_TRUE(looper->IsLocked());
    looper->Unlock();
    EXPECT_FALSE(looper->IsLocked());
    ASSERT_TRUE(looper->WaitFor(1));

    ASSERT_TRUE(BMessenger(looper).LockTarget());
    looper->Quit();
}

TEST(Looper, MessagesReachTheirHandlerAndAreDroppedWhenItLeft) {
    auto* looper = new RecordingLooper;
    RecordingHandler handler;
    RecordingHandler stranger;
    looper->AddHandler(&handler);
    EXPECT_EQ(handler.Looper(), looper);
    EXPECT_EQ(looper->CountHandlers(), 2);

    status_t result = B_OK;
    BMessenger toHandler(&handler, nullptr, &result);
    EXPECT_EQ(result, B_OK);
    BMessenger(&stranger, nullptr, &result);
    EXPECT_EQ(result, B_BAD_HANDLER);
    auto* other = new BLooper;
    BMessenger(&handler, other, &result);
    EXPECT_EQ(result, B_MISMATCHED_VALUES);
    other->Quit();
    EXPECT_EQ(looper->PostMessage('data', &stranger), B_BAD_HANDLER);

    // Messages queue up before Run() and are dispatched afterwards.
    toHandler.SendMessage('one');
    looper->PostMessage('two', &handler);
    looper->PostMessage('self');
    looper->Run();
    ASSERT_TRUE(looper->WaitFor(1));
    ASSERT_TRUE(looper->Lock());
    EXPECT_EQ(handler.fWhats, (std::vector<uint32>{'one', 'two'}));
    looper->RemoveHandler(&handler);
    looper->Unlock();
    EXPECT_EQ(toHandler.SendMessage('gone'), B_OK);
    looper->PostMessage('last');
    ASSERT_TRUE(looper->WaitFor(2));
    ASSERT_TRUE(looper->Lock());
    EXPECT_EQ(handler.fWhats.size(), 2u);
    looper->Quit();
}

TEST(Looper, HostedLoopersDispatchOnlyOnTheHostThread) {
    std::atomic<int> wakeups{0};
    BLooper::SetHostWakeup([&] { ++wakeups; });
    std::atomic<bool> deleted{false};
    auto* looper = new RecordingLooper(&deleted);
    looper->SetHosted(true);
    looper->Run();
    EXPECT_TRUE(looper->IsHosted());

    std::thread sender([&] {
        BMessenger messenger(looper);
        for (int i = 0; i < 3; ++i)
            messenger.SendMessage('data');
    });
    sender.join();
    EXPECT_GE(wakeups.load(), 1);
    EXPECT_TRUE(BLooper::HostedWorkPending());
    EXPECT_TRUE(looper->Received().empty());

    EXPECT_EQ(BLooper::DispatchHosted(), 3);
    ASSERT_EQ(looper->Received().size(), 3u);
    {
        std::lock_guard<std::mutex> guard(looper->fLock);
        for (thread_id thread : looper->fThreads)
            EXPECT_EQ(thread, find_thread(nullptr));
    }

    // A quit asked for from another thread is carried out by the host.
    std::thread quitter([&] {
        ASSERT_TRUE(looper->Lock());
        looper->Quit();
    });
    quitter.join();
    EXPECT_FALSE(deleted);
    BLooper::DispatchHosted();
    EXPECT_TRUE(deleted);
    BLooper::SetHostWakeup(nullptr);
}

TEST(Looper, AHostedLooperThatPostsToItselfDoesNotHoldTheHostForEver) {
    class Echo : public BLooper {
    public:
        void MessageReceived(BMessage* message) override {
            ++count;
            PostMessage(message);
        }
        int count = 0;
    };
    auto* echo = new Echo;
    echo->SetHosted(true);
    echo->Run();
    echo->PostMessage('ping');
    EXPECT_EQ(BLooper::DispatchHosted(), 1);
    EXPECT_EQ(BLooper::DispatchHosted(), 1);
    EXPECT_EQ(echo->count, 2);
    echo->Lock();
    echo->Quit();
}

TEST(Looper, AMessengerOutlivesItsLooper) {
    BMessenger messenger;
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('none'), B_BAD_PORT_ID);
    {
        auto* looper = new BLooper("short");
        looper->Run();
        messenger = BMessenger(looper);
        EXPECT_TRUE(messenger.IsValid());
        BLooper* target = nullptr;
        messenger.Target(&target);
        EXPECT_EQ(target, looper);
        looper->Lock();
        looper->Quit();
    }
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('gone'), B_BAD_PORT_ID);
    BLooper* target = reinterpret_cast<BLooper*>(1);
    EXPECT_EQ(messenger.Target(&target), nullptr);
    EXPECT_EQ(target, nullptr);

    // A messenger carried in a message still names the same target.
    auto* looper = new RecordingLooper;
    looper->Run();
    BMessage carrier;
    carrier.AddMessenger("reply", BMessenger(looper));
    BMessage copy;
    ASSERT_EQ(copy.Unflatten(carrier.Flatten().data(), carrier.Flatten().size()), B_OK);
    BMessenger carried;
    ASSERT_EQ(copy.FindMessenger("reply", &carried), B_OK);
    EXPECT_EQ(carried, BMessenger(looper));
    carried.SendMessage('back');
    EXPECT_TRUE(looper->WaitFor(1));
    ASSERT_TRUE(WaitUntil([&] { return looper->CountQueuedMessages() == 0; }));
    looper->Lock();
    looper->Quit();
}

TEST(Looper, ANestedHostLoopInsideADispatchKeepsTheOuterMessageAndDefersTheQuit) {
    // What a modal alert does on the toolkit's thread: it keeps dispatching while one of
    // the window's own messages is being handled.
    struct Results {
        std::atomic<bool> deleted{false};
        bool outerKept = false;
        bool aliveAfterNestedQuit = false;
    } results;
    class Window : public BLooper {
    public:
        explicit Window(Results* results) : fResults(results) { SetHosted(true); }
        ~Window() override { fResults->deleted = true; }
        void MessageReceived(BMessage* message) override {
            if (message->what == 'outr') {
                PostMessage('innr');
                BLooper::DispatchHosted();
                fResults->outerKept = CurrentMessage() == message && message->what == 'outr';
                fResults->aliveAfterNestedQuit = !fResults->deleted;
            } else if (message->what == 'innr') {
                Quit();
            }
        }
        Results* fResults;
    };
    auto* window = new Window(&results);
    window->Run();
    BMessenger messenger(window);
    window->PostMessage('outr');
    BLooper::DispatchHosted();
    EXPECT_TRUE(results.outerKept);
    EXPECT_TRUE(results.aliveAfterNestedQuit);
    EXPECT_TRUE(results.deleted);
    EXPECT_FALSE(messenger.IsValid());
}

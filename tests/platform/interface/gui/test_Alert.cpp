#include "GuiTestSupport.h"

#include <atomic>
#include <thread>

#include "platform/interface/gui/Alert.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/CheckBox.h"
#include "platform/interface/gui/TextView.h"
#include "platform/kernel/OS.h"

namespace {

BPoint ButtonCentre(BAlert* alert, int32 index) {
    BButton* button = alert->ButtonAt(index);
    BRect frame = button->Frame();
    return BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
}

// The alert that is on screen, once it is.
BAlert* ShownAlert() {
    for (BWindow* window : BWindow::AllWindows())
        if (auto* alert = dynamic_cast<BAlert*>(window); alert && !alert->IsHidden())
            return alert;
    return nullptr;
}

struct AskArgs {
    std::atomic<int32> answer{-99};
};

int32 AskFromSpawnedThread(void* data) {
    auto* args = (AskArgs*)data;
    auto* alert = new BAlert("t", "Stop me", "First", "Second");
    args->answer = alert->Go();
    return 0;
}

} // namespace

TEST(Alert, WorkerWaitsWhileTheToolkitThreadRunsTheAlert) {
    REQUIRE_DISPLAY();
    std::atomic<int32> answer{-99};
    std::thread worker([&] {
        auto* alert = new BAlert("Question", "Replace the file?", "Cancel", "Skip", "Replace",
                                 B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        answer = alert->Go();
    });
    BAlert* alert = nullptr;
    ASSERT_TRUE(Pump([&] { return (alert = ShownAlert()) != nullptr; }));
    Click(alert, ButtonCentre(alert, 1));
    EXPECT_TRUE(Pump([&] { return answer != -99; }));
    worker.join();
    EXPECT_EQ(answer, 1);
    // The alert is gone.
    EXPECT_TRUE(Pump([] { return ShownAlert() == nullptr && BWindow::AllWindows().empty(); }));
}

TEST(Alert, ShortcutsAndTheDefaultButton) {
    REQUIRE_DISPLAY();
    std::atomic<int32> answer{-99};
    std::thread worker([&] {
        auto* alert = new BAlert("Question", "Go on?", "Cancel", "OK");
        alert->SetShortcut(0, B_ESCAPE);
        answer = alert->Go();
    });
    BAlert* alert = nullptr;
    ASSERT_TRUE(Pump([&] { return (alert = ShownAlert()) != nullptr; }));
    EXPECT_TRUE(alert->ButtonAt(1)->IsDefault());
    PressKey(alert, "\x1b");
    EXPECT_TRUE(Pump([&] { return answer != -99; }));
    worker.join();
    EXPECT_EQ(answer, 0);

    // Enter presses the default (last) button.
    answer = -99;
    std::thread second([&] {
        auto* alert = new BAlert("Question", "Go on?", "Cancel", "OK");
        answer = alert->Go();
    });
    ASSERT_TRUE(Pump([&] { return (alert = ShownAlert()) != nullptr; }));
    PressKey(alert, "\n");
    EXPECT_TRUE(Pump([&] { return answer != -99; }));
    second.join();
    EXPECT_EQ(answer, 1);
}

TEST(Alert, GoOnTheWindowThreadRunsItsOwnLoop) {
    REQUIRE_DISPLAY();
    auto* alert = new BAlert("t", "Which one?", "One", "Two", "Three");
    alert->SetShortcut(2, 'r');
    // The key is already waiting when the alert starts.
    PressKey(alert, "r");
    EXPECT_EQ(alert->Go(), 2);
}

TEST(Alert, AStoppedThreadGetsTheFirstButton) {
    REQUIRE_DISPLAY();
    AskArgs args;
    thread_id thread = spawn_thread(AskFromSpawnedThread, "asker", B_NORMAL_PRIORITY, &args);
    ASSERT_GT(thread, 0);
    resume_thread(thread);
    ASSERT_TRUE(Pump([] { return ShownAlert() != nullptr; }));
    kill_thread(thread);
    EXPECT_TRUE(Pump([&] { return args.answer != -99; }));
    EXPECT_EQ(args.answer, 0);
    status_t exitValue;
    wait_for_thread(thread, &exitValue);
    EXPECT_TRUE(Pump([] { return BWindow::AllWindows().empty(); }));
}

TEST(Alert, AsynchronousGoSendsWhichButton) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(10, 10, 100, 100));
    window->Show();
    auto* alert = new BAlert("t", "Done.", "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
    EXPECT_EQ(alert->Go(new BInvoker(new BMessage('done'), window)), B_OK);
    ASSERT_TRUE(Pump([] { return ShownAlert() != nullptr; }));
    PressKey(alert, "\n");
    ASSERT_TRUE(Pump([&] { return window->CountReceived('done') == 1; }));
    EXPECT_EQ(window->Received('done')[0].GetInt32("which", -1), 0);
    CloseWindow(window);
}

// The replace question builds on the alert like this: created on the worker, views
// added into its text view, the window grown downwards, a check box that reports to the
// alert, answered with a shortcut.
class GrownAlert : public BAlert {
public:
    GrownAlert(std::atomic<bool>* applyToAll)
        : BAlert("ReplaceAlert", "", "Don't Replace", "Replace", nullptr, B_WIDTH_FROM_WIDEST,
                 B_WARNING_ALERT),
          fApplyToAll(applyToAll) {
        BTextView* text = TextView();
        text->SetText("The file 'ReadMe' already exists. Do you wish to replace existing");
        SetShortcut(0, 'd');
        SetShortcut(1, 'r');
        buttonTop = ButtonAt(0)->Frame().top;
        ResizeBy(0, 240);
        auto* box = new BCheckBox(BRect(0, 200, 300, 215), "future_collisions",
                                  "Apply to all future collisions", new BMessage(1000));
        text->AddChild(box);
    }
    void MessageReceived(BMessage* message) override {
        if (message->what == 1000) {
            *fApplyToAll = message->GetInt32("be:value", 0) == B_CONTROL_ON;
            return;
        }
        BAlert::MessageReceived(message);
    }
    float buttonTop;

private:
    std::atomic<bool>* fApplyToAll;
};

TEST(Alert, GrownAlertWithViewsInItsTextView) {
    REQUIRE_DISPLAY();
    std::atomic<bool> applyToAll{false};
    std::atomic<int32> answer{-99};
    std::atomic<float> grownBy{0};
    std::thread worker([&] {
        auto* alert = new GrownAlert(&applyToAll);
        grownBy = alert->ButtonAt(0)->Frame().top - alert->buttonTop;
        answer = alert->Go();
    });
    BAlert* alert = nullptr;
    ASSERT_TRUE(Pump([&] { return (alert = ShownAlert()) != nullptr; }));
    EXPECT_FLOAT_EQ(grownBy, 240);
    alert->Lock();
    BView* box = alert->FindView("future_collisions");
    ASSERT_NE(box, nullptr);
    BPoint boxPoint = box->ConvertToWindow(BPoint(5, 7));
    alert->Unlock();
    Click(alert, boxPoint);
    ASSERT_TRUE(Pump([&] { return applyToAll.load(); }));
    PressKey(alert, "r");
    EXPECT_TRUE(Pump([&] { return answer != -99; }));
    worker.join();
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(applyToAll);
}

TEST(Alert, LayoutFollowsButtonWidthsAndText) {
    auto* widest = new BAlert("t", "x", "A", "Much longer label", "B", B_WIDTH_FROM_WIDEST);
    EXPECT_EQ(widest->ButtonAt(0)->Frame().Width(), widest->ButtonAt(1)->Frame().Width());
    EXPECT_EQ(widest->ButtonAt(2)->Frame().Width(), widest->ButtonAt(1)->Frame().Width());
    // Buttons sit right-aligned, in order, inside the window.
    EXPECT_LT(widest->ButtonAt(0)->Frame().right, widest->ButtonAt(1)->Frame().left);
    EXPECT_LE(widest->ButtonAt(2)->Frame().right, widest->Bounds().right);
    auto* label = new BAlert("t", "x", "A", "Much longer label", nullptr, B_WIDTH_FROM_LABEL);
    EXPECT_LT(label->ButtonAt(0)->Frame().Width(), label->ButtonAt(1)->Frame().Width());
    EXPECT_EQ(label->ButtonAt(2), nullptr);
    std::string longText;
    for (int i = 0; i < 40; i++)
        longText += "words that wrap ";
    auto* tall = new BAlert("t", longText.c_str(), "OK");
    EXPECT_GT(tall->Frame().Height(), label->Frame().Height() + 50);
    EXPECT_GT(tall->TextView()->CountLines(), 5);
    EXPECT_STREQ(tall->TextView()->Text(), longText.c_str());
    for (BAlert* alert : {widest, label, tall}) {
        alert->Lock();
        alert->Quit();
    }
}

#include "GuiTestSupport.h"

#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/CheckBox.h"
#include "platform/interface/gui/StringView.h"

namespace {

class CountingView : public BView {
public:
    CountingView(BRect frame, const char* name)
        : BView(frame, name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE) {}
    void MouseDown(BPoint where) override {
        downs++;
        lastDown = where;
    }
    void MouseUp(BPoint) override { ups++; }
    void MouseMoved(BPoint, uint32 transit, const BMessage*) override {
        transits.push_back(transit);
    }
    void KeyDown(const char* bytes, int32 numBytes) override {
        keys += bytes;
        // Keys the view does not use go on to the base (Tab moves the focus).
        BView::KeyDown(bytes, numBytes);
    }
    void Draw(BRect) override { draws++; }
    int downs = 0, ups = 0, draws = 0;
    BPoint lastDown;
    std::vector<uint32> transits;
    std::string keys;
};

} // namespace

TEST(Window, ButtonClickSendsItsMessageToTheWindow) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 299, 199));
    auto* button = new BButton(BRect(10, 10, 100, 30), "ok", "OK", new BMessage('okay'));
    window->AddChild(button);
    window->Show();
    Click(window, BPoint(50, 20));
    ASSERT_TRUE(Pump([&] { return window->CountReceived('okay') == 1; }));
    BMessage sent = window->Received('okay')[0];
    void* source = nullptr;
    EXPECT_EQ(sent.FindPointer("source", &source), B_OK);
    EXPECT_EQ(source, button);
    EXPECT_TRUE(sent.HasInt64("when"));

    // Released outside: no message. Disabled: no message.
    BMessage down(B_MOUSE_DOWN);
    down.AddPoint("where", BPoint(50, 20));
    down.AddInt32("buttons", B_PRIMARY_MOUSE_BUTTON);
    window->PostMessage(&down, window);
    BMessage up(B_MOUSE_UP);
    up.AddPoint("where", BPoint(150, 80));
    window->PostMessage(&up, window);
    window->Lock();
    button->SetEnabled(false);
    window->Unlock();
    Click(window, BPoint(50, 20));
    Settle();
    EXPECT_EQ(window->CountReceived('okay'), 1u);
    CloseWindow(window);
}

TEST(Window, MouseEventsReachTheViewUnderTheMouseInItsCoordinates) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 399, 299));
    auto* outer = new BView(BRect(50, 50, 250, 150), "outer", B_FOLLOW_NONE, B_WILL_DRAW);
    auto* inner = new CountingView(BRect(10, 10, 60, 40), "inner");
    outer->AddChild(inner);
    window->AddChild(outer);
    window->Show();
    Click(window, BPoint(65, 70));
    ASSERT_TRUE(Pump([&] { return inner->ups == 1; }));
    EXPECT_EQ(inner->downs, 1);
    EXPECT_EQ(inner->lastDown, BPoint(5, 10));
    // Scrolling the parent moves what is under the mouse.
    window->Lock();
    outer->ScrollTo(0, 5);
    window->Unlock();
    Click(window, BPoint(65, 60));
    ASSERT_TRUE(Pump([&] { return inner->downs == 2; }));
    EXPECT_EQ(inner->lastDown, BPoint(5, 5));
    // Entering and leaving.
    MoveMouse(window, BPoint(5, 5));
    MoveMouse(window, BPoint(70, 70));
    MoveMouse(window, BPoint(71, 70));
    MoveMouse(window, BPoint(5, 5));
    Settle();
    ASSERT_GE(inner->transits.size(), 3u);
    size_t n = inner->transits.size();
    EXPECT_EQ(inner->transits[n - 3], (uint32)B_ENTERED_VIEW);
    EXPECT_EQ(inner->transits[n - 2], (uint32)B_INSIDE_VIEW);
    EXPECT_EQ(inner->transits[n - 1], (uint32)B_EXITED_VIEW);
    CloseWindow(window);
}

TEST(Window, KeysGoToTheFocusAndEnterPressesTheDefaultButton) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 399, 299));
    auto* view = new CountingView(BRect(10, 10, 60, 40), "keys");
    auto* check = new BCheckBox(BRect(10, 50, 150, 70), "check", "Check", new BMessage('chck'));
    auto* button = new BButton(BRect(10, 100, 100, 120), "go", "Go", new BMessage('go  '));
    window->AddChild(view);
    window->AddChild(check);
    window->AddChild(button);
    window->Lock();
    button->MakeDefault(true);
    view->MakeFocus(true);
    window->Unlock();
    window->Show();
    PressKey(window, "a");
    PressKey(window, "\n");
    ASSERT_TRUE(Pump([&] { return window->CountReceived('go  ') == 1; }));
    EXPECT_EQ(view->keys, "a") << "Enter goes to the default button, not the view";
    // Tab moves the focus to the check box; space ticks it.
    PressKey(window, "\t");
    PressKey(window, " ");
    ASSERT_TRUE(Pump([&] { return window->CountReceived('chck') == 1; }));
    EXPECT_EQ(check->Value(), B_CONTROL_ON);
    EXPECT_EQ(window->CurrentFocus(), check);
    // Command-key shortcuts post their message.
    window->Lock();
    window->AddShortcut('S', B_COMMAND_KEY, new BMessage('save'));
    window->Unlock();
    PressKey(window, "s", B_COMMAND_KEY | B_CONTROL_KEY);
    ASSERT_TRUE(Pump([&] { return window->CountReceived('save') == 1; }));
    // Without the Command key the letter is only a letter; a removed shortcut is gone.
    PressKey(window, "s");
    window->Lock();
    window->RemoveShortcut('S', B_COMMAND_KEY);
    EXPECT_FALSE(window->HasShortcut('s', B_COMMAND_KEY));
    window->Unlock();
    PressKey(window, "s", B_COMMAND_KEY);
    Settle();
    EXPECT_EQ(window->CountReceived('save'), 1u);
    CloseWindow(window);
}

TEST(Window, DroppedFilesReachTheViewUnderTheDrop) {
    struct DropView : BView {
        DropView() : BView(BRect(20, 20, 80, 80), "drop", B_FOLLOW_NONE, B_WILL_DRAW) {}
        void MessageReceived(BMessage* message) override {
            if (message->what == B_SIMPLE_DATA && message->GetBool("be:dropped")) {
                drops++;
                message->FindPoint("where", &where);
                return;
            }
            BView::MessageReceived(message);
        }
        int drops = 0;
        BPoint where;
    };
    auto* window = new RecordingWindow(BRect(100, 100, 299, 199));
    auto* view = new DropView();
    window->AddChild(view);
    window->Show();
    BMessage drop(B_SIMPLE_DATA);
    drop.AddBool("be:dropped", true);
    drop.AddPoint("be:drop_point", BPoint(30, 40));
    drop.AddPoint("where", BPoint(30, 40));
    window->PostMessage(&drop, window);
    ASSERT_TRUE(Pump([&] { return view->drops == 1; }));
    EXPECT_EQ(view->where, BPoint(10, 20));
    CloseWindow(window);
}

TEST(Window, PostsFromOtherThreadsArriveInOrder) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 199, 199));
    window->Show();
    std::thread worker([&] {
        for (int32 i = 0; i < 200; i++) {
            BMessage m('isud');
            m.AddInt32("i", i);
            window->PostMessage(&m);
        }
    });
    ASSERT_TRUE(Pump([&] { return window->CountReceived('isud') == 200; }));
    worker.join();
    auto got = window->Received('isud');
    for (int32 i = 0; i < 200; i++)
        EXPECT_EQ(got[i].GetInt32("i", -1), i);
    CloseWindow(window);
}

TEST(Window, OtherThreadsLockChangeAndQuitAWindow) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 299, 199));
    auto* label = new BStringView(BRect(10, 10, 190, 25), "label", "before");
    window->AddChild(label);
    window->Show();
    Settle();
    std::atomic<bool> changed{false};
    std::thread worker([&] {
        window->Lock();
        label->SetText("after");
        window->Unlock();
        changed = true;
    });
    ASSERT_TRUE(Pump([&] { return changed.load(); }));
    worker.join();
    // The change reaches the screen: the window is redrawn and has nothing left to draw.
    EXPECT_TRUE(Pump([&] { return !window->NeedsUpdate(); }));
    EXPECT_STREQ(label->Text(), "after");
    // Quit from another thread: the window goes on the toolkit thread.
    std::thread quitter([&] {
        window->Lock();
        window->Quit();
    });
    quitter.join();
    EXPECT_TRUE(Pump([&] {
        auto all = BWindow::AllWindows();
        return std::find(all.begin(), all.end(), window) == all.end();
    }));
}

TEST(Window, ResizingModesAndPulses) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 299, 199), "resize", 0);
    auto* left = new BView(BRect(10, 10, 50, 50), "left", B_FOLLOW_LEFT | B_FOLLOW_TOP, 0);
    auto* all = new BView(BRect(10, 60, 190, 90), "all", B_FOLLOW_ALL_SIDES, 0);
    auto* right = new BView(BRect(150, 10, 190, 50), "right", B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, 0);
    window->AddChild(left);
    window->AddChild(all);
    window->AddChild(right);
    window->Lock();
    window->ResizeBy(100, 20);
    window->Unlock();
    EXPECT_EQ(left->Frame(), BRect(10, 10, 50, 50));
    EXPECT_EQ(all->Frame(), BRect(10, 60, 290, 110));
    EXPECT_EQ(right->Frame(), BRect(250, 30, 290, 70));
    EXPECT_EQ(window->Bounds(), BRect(0, 0, 299, 119));

    struct PulseView : BView {
        PulseView() : BView(BRect(0, 0, 5, 5), "pulse", B_FOLLOW_NONE, B_PULSE_NEEDED) {}
        void Pulse() override { pulses++; }
        std::atomic<int> pulses{0};
    };
    auto* pulse = new PulseView();
    window->AddChild(pulse);
    window->SetPulseRate(20000);
    window->Show();
    EXPECT_TRUE(Pump([&] { return pulse->pulses >= 3; }));
    // A window that appears is the active one.
    EXPECT_TRUE(Pump([&] { return window->IsActive(); }));
    CloseWindow(window);
}

TEST(Window, FindViewConversionsAndTreeEdits) {
    // Pure view-tree logic: needs no display.
    auto* window = new RecordingWindow(BRect(100, 200, 299, 399));
    auto* box = new BView(BRect(10, 20, 110, 120), "box", B_FOLLOW_NONE, 0);
    auto* child = new BView(BRect(5, 5, 25, 25), "child", B_FOLLOW_NONE, 0);
    window->AddChild(box);
    box->AddChild(child);
    EXPECT_EQ(window->FindView("child"), child);
    EXPECT_EQ(window->FindView("nothing"), nullptr);
    EXPECT_EQ(child->Window(), window);
    EXPECT_EQ(child->ConvertToScreen(BPoint(1, 1)), BPoint(116, 226));
    EXPECT_EQ(child->ConvertFromScreen(BPoint(116, 226)), BPoint(1, 1));
    EXPECT_EQ(child->ConvertToParent(BPoint(0, 0)), BPoint(5, 5));
    EXPECT_EQ(window->FindView(BPoint(16, 26)), child);
    child->Hide();
    EXPECT_EQ(window->FindView(BPoint(16, 26)), box);
    EXPECT_TRUE(child->IsHidden());
    child->Show();
    EXPECT_TRUE(box->RemoveChild(child));
    EXPECT_EQ(child->Window(), nullptr);
    EXPECT_EQ(window->FindView("child"), nullptr);
    delete child;
    // Deleting a view that is still in the tree takes it out first.
    auto* doomed = new BView(BRect(0, 0, 5, 5), "doomed", B_FOLLOW_NONE, 0);
    box->AddChild(doomed);
    doomed->MakeFocus(true);
    delete doomed;
    EXPECT_EQ(box->CountChildren(), 0);
    EXPECT_EQ(window->CurrentFocus(), nullptr);
    window->Lock();
    window->Quit();
}

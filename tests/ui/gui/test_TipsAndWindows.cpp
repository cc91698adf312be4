// Tip timing (with short delays) and the window base: placement, non-nesting show and
// hide, bringing forward and the help request.

#include "platform/interface/gui/GuiTestSupport.h"

#include "TestApp.h"
#include "platform/interface/gui/Screen.h"
#include "ui/gui/LibTipManager.h"
#include "ui/gui/LibTipString.h"
#include "ui/gui/LibTipWin.h"
#include "ui/gui/LibWindow.h"

namespace {

BMessage ShowTip(const char* text, int16 startDelay = -1, int16 endDelay = -1, int32 width = 0) {
    BMessage tip('stip');
    tip.AddBool("show", true);
    tip.AddString("tip", text);
    tip.AddPoint("loc", BPoint(200, 150));
    if (startDelay >= 0)
        tip.AddInt16("sdelay", startDelay);
    if (endDelay >= 0)
        tip.AddInt16("edelay", endDelay);
    if (width > 0)
        tip.AddInt32("width", width);
    return tip;
}

// Runs the loop with the application's pulse for `microseconds`, answering whether the
// condition held at some point of it.
bool PumpWithPulses(const std::function<bool()>& done, bigtime_t microseconds) {
    return Pump(
        [&] {
            TestApp::Get()->PulseIfDue();
            return done();
        },
        microseconds);
}

struct TipFixture {
    LibTipManager tips;
    TipFixture() { TestApp::Get()->SetTipManager(&tips); }
    ~TipFixture() {
        TestApp::Get()->SetTipManager(nullptr);
        Settle();
    }
    bool Visible() {
        LibTipWin* window = tips.TipWindow();
        return window != nullptr && !window->IsHidden();
    }
};

class HelpWindow : public LibWindow {
public:
    HelpWindow()
        : LibWindow(BRect(0, 0, 455, 257), "InstallerWin", B_TITLED_WINDOW_LOOK,
                    B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE) {}
    bool InsertHelpRequest(BView* view, BMessage& inserts) override {
        inserts.AddString("asked", view->Name());
        return true;
    }
};

} // namespace

TEST(Tips, AtOnceThenGoneAfterTheEndDelay) {
    REQUIRE_DISPLAY();
    TipFixture f;
    BMessage tip = ShowTip("Typical installation", 0, 1);
    f.tips.MessageReceived(&tip);
    EXPECT_TRUE(f.Visible());
    EXPECT_FALSE(f.tips.IsPending());
    EXPECT_EQ(f.tips.TipWindow()->Frame().LeftTop(), BPoint(200, 150));
    bigtime_t start = system_time();
    EXPECT_TRUE(PumpWithPulses([&] { return !f.Visible(); }, 3000000));
    EXPECT_GE(system_time() - start, 900000);
}

TEST(Tips, StartDelayRunsOnTheApplicationPulse) {
    REQUIRE_DISPLAY();
    TipFixture f;
    BMessage tip = ShowTip("Documents", 1, 1);
    bigtime_t start = system_time();
    f.tips.MessageReceived(&tip);
    EXPECT_FALSE(f.Visible());
    EXPECT_TRUE(f.tips.IsPending());
    EXPECT_EQ(TestApp::Get()->PulseRate(), 1000000);
    EXPECT_TRUE(PumpWithPulses([&] { return f.Visible(); }, 3000000));
    EXPECT_GE(system_time() - start, 900000);
    EXPECT_FALSE(f.tips.IsPending());
    EXPECT_TRUE(PumpWithPulses([&] { return !f.Visible(); }, 3000000));

    // A hide request while a tip waits keeps it from appearing.
    f.tips.MessageReceived(&tip);
    BMessage hide('stip');
    hide.AddBool("show", false);
    f.tips.MessageReceived(&hide);
    EXPECT_FALSE(f.tips.IsPending());
    EXPECT_EQ(TestApp::Get()->PulseRate(), 0);
    EXPECT_FALSE(PumpWithPulses([&] { return f.Visible(); }, 1500000));

    // A message without "show" hides a visible tip.
    BMessage now = ShowTip("Now", 0, 10);
    f.tips.MessageReceived(&now);
    EXPECT_TRUE(f.Visible());
    BMessage empty('stip');
    f.tips.MessageReceived(&empty);
    EXPECT_FALSE(f.Visible());
}

TEST(Tips, SizesAndDisabling) {
    REQUIRE_DISPLAY();
    TipFixture f;
    f.tips.SetShowTips(false);
    BMessage tip = ShowTip("Hidden", 0, 4);
    f.tips.MessageReceived(&tip);
    EXPECT_EQ(f.tips.TipWindow(), nullptr);
    f.tips.ToggleTips();
    EXPECT_TRUE(f.tips.ShowsTips());

    BMessage wide = ShowTip("A description of this group that is long enough to need three or "
                            "four lines in a tip that is 160 pixels wide.",
                            0, 4, 160);
    f.tips.MessageReceived(&wide);
    LibTipWin* window = f.tips.TipWindow();
    ASSERT_NE(window, nullptr);
    window->Lock();
    EXPECT_EQ(window->Bounds().Width(), 163);
    LibTipString* text = window->TextView();
    int32 lines = text->CountLines();
    EXPECT_GE(lines, 3);
    EXPECT_EQ(window->Bounds().Height(), lines * text->LineHeight(0) + 2);
    EXPECT_EQ(text->TextRect().left, 1);
    EXPECT_EQ(text->TextRect().Width(), 160);
    window->Unlock();

    BMessage line = ShowTip("One line", 0, 4);
    f.tips.MessageReceived(&line);
    window->Lock();
    EXPECT_EQ(window->Bounds().Width(), text->StringWidth("One line") + 3);
    EXPECT_EQ(window->Bounds().Height(), 13);
    EXPECT_EQ(text->ViewColor(), make_color(255, 255, 203));
    window->Unlock();

    // A tip window that loses activation goes away.
    BMessage inactive(B_WINDOW_ACTIVATED);
    inactive.AddBool("active", true);
    window->PostMessage(&inactive);
    Settle();
    inactive.ReplaceBool("active", false);
    window->PostMessage(&inactive);
    Settle();
    EXPECT_TRUE(window->IsHidden());
}

TEST(LibWindow, ShowAndHideDoNotNestAndPopShows) {
    REQUIRE_DISPLAY();
    LibWindow* window =
        new LibWindow(BRect(0, 0, 199, 99), "plain", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    window->Show();
    window->Hide();
    window->Hide();
    window->Show();
    Settle();
    EXPECT_FALSE(window->IsHidden());
    window->Show();
    window->Hide();
    EXPECT_TRUE(window->IsHidden());
    window->Pop();
    EXPECT_FALSE(window->IsHidden());
    CloseWindow(window);
}

TEST(LibWindow, PlacementOnTheScreen) {
    REQUIRE_DISPLAY();
    BRect screen = BScreen().Frame();
    LibWindow* window = new LibWindow(BRect(0, 0, 455, 257), "InstallerWin", B_TITLED_WINDOW_LOOK,
                                      B_NORMAL_WINDOW_FEEL, 0);
    EXPECT_EQ(window->ScreenFrame(), screen);
    window->Lock();
    window->SetPosition(LibWindow::kCenter);
    EXPECT_EQ(window->Frame().LeftTop(),
              BPoint(screen.right * 0.5f - 227.5f, screen.bottom * 0.5f - 128.5f));
    window->SetPosition(LibWindow::kTopLeft);
    EXPECT_EQ(window->Frame().LeftTop(), BPoint(10, 30));
    // Beyond the nine places the window stays where it is.
    window->SetPosition((LibWindow::ScreenPosition)12);
    EXPECT_EQ(window->Frame().LeftTop(), BPoint(10, 30));

    LibWindow* tip = new LibWindow(BRect(0, 0, 99, 12), "tip", B_BORDERED_WINDOW_LOOK,
                                   B_FLOATING_APP_WINDOW_FEEL, 0);
    tip->Lock();
    tip->SetPosition(LibWindow::kMiddleRight, window);
    // Right of the window, centred on its middle (windows sit on whole pixels).
    EXPECT_EQ(tip->Frame().left, 10 + 455 + 20);
    EXPECT_NEAR(tip->Frame().top, (30 + 287) / 2.0 - 6, 0.5);
    // Twice the screen: the window keeps its relative place.
    BRect bigger(0, 0, screen.right * 2, screen.bottom * 2);
    window->ScreenChanged(bigger, B_RGB32);
    EXPECT_EQ(window->Frame().LeftTop(), BPoint(20, 60));
    EXPECT_EQ(window->ScreenFrame(), bigger);
    tip->Quit();
    window->Quit();
    Settle();
}

TEST(LibWindow, ShiftF1AsksForHelpAboutTheViewUnderTheMouse) {
    REQUIRE_DISPLAY();
    TestApp* app = TestApp::Get();
    app->Clear();
    HelpWindow* window = new HelpWindow;
    BView* background = new BView(window->Bounds(), "bgview", B_FOLLOW_ALL, B_WILL_DRAW);
    BView* button = new BView(BRect(330, 223, 425, 243), "button", B_FOLLOW_NONE, B_WILL_DRAW);
    background->AddChild(button);
    window->AddChild(background);
    window->Show();
    MoveMouse(window, BPoint(350, 230));
    BMessage key(B_KEY_DOWN);
    key.AddString("bytes", "\x10");
    key.AddInt32("modifiers", B_SHIFT_KEY);
    key.AddInt32("key", 2);
    window->PostMessage(&key);
    Settle();
    std::vector<BMessage> help = app->Received('help');
    ASSERT_EQ(help.size(), 1u);
    EXPECT_STREQ(help[0].GetString("window", ""), "InstallerWin");
    EXPECT_STREQ(help[0].GetString("view", ""), "button");
    const char* parent = nullptr;
    ASSERT_EQ(help[0].FindString("view", 1, &parent), B_OK);
    EXPECT_STREQ(parent, "bgview");
    EXPECT_EQ(help[0].CountValues("view"), 2);
    BMessage inserts;
    ASSERT_EQ(help[0].FindMessage("inserts", &inserts), B_OK);
    EXPECT_STREQ(inserts.GetString("asked", ""), "button");

    // F1 alone asks for nothing.
    key.ReplaceInt32("modifiers", 0);
    window->PostMessage(&key);
    Settle();
    EXPECT_EQ(app->Received('help').size(), 1u);
    CloseWindow(window);
}

TEST(Tips, TheManagerOutlivesItsWindow) {
    REQUIRE_DISPLAY();
    {
        TipFixture f;
        BMessage tip = ShowTip("First", 0, 4);
        f.tips.MessageReceived(&tip);
        // An application that ends quits its windows before its members go.
        LibTipWin* window = f.tips.TipWindow();
        window->Lock();
        window->Quit();
        Settle();
        // A later tip gets a new window.
        BMessage again = ShowTip("Again", 0, 4);
        f.tips.MessageReceived(&again);
        EXPECT_TRUE(f.Visible());
        f.tips.TipWindow()->Lock();
        f.tips.TipWindow()->Quit();
        Settle();
    }
    Settle();
}

// Every way the installer window can end, after the user has opened and closed the folder
// panel (cancelled and chosen), a tip and alerts: the program ends with the status of what
// happened and the transcript's last event says so. Bare and under a window manager, at the
// normal size and at twice the size.
#include <gtest/gtest.h>

#include "GuiDriver.h"

using namespace tarnw::test::gui;

namespace {

// Where the folder button sits in the window.
constexpr int kFolderButtonX = 187, kFolderButtonY = 197;
const char* const kPanelTitle = "Choose a folder";

enum class Ending {
    Completed,          // the installation completes and OK is pressed
    CloseBox,           // the window's close box, before installing
    Stop,               // the Stop button during the run
    Terminate,          // SIGTERM before installing
    Interrupt,          // SIGINT during the run
    Hangup,             // SIGHUP before installing
    FailedRun,          // the run fails, then the window is closed by SIGTERM
    Quit,               // Ctrl+Q before installing
    QuitWhileRunning,   // Ctrl+Q during the run: the run is stopped
    QuitAfterFailedRun, // the run fails, then Ctrl+Q
};

const char* Name(Ending ending) {
    switch (ending) {
    case Ending::Completed:
        return "completed";
    case Ending::CloseBox:
        return "close-box";
    case Ending::Stop:
        return "stop";
    case Ending::Terminate:
        return "sigterm";
    case Ending::Interrupt:
        return "sigint";
    case Ending::Hangup:
        return "sighup";
    case Ending::FailedRun:
        return "failed-run";
    case Ending::Quit:
        return "quit";
    case Ending::QuitWhileRunning:
        return "quit-while-running";
    case Ending::QuitAfterFailedRun:
        return "quit-after-failed-run";
    }
    return "?";
}

// Waits for the next window named `name` that is not `except`, and presses a key in it.
void Answer(Display& display, InstallerRun& run, const std::string& name, const std::string& key,
            const std::string& except = "") {
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow(name, &window, 20, except)) << name << ReadFile(run.output);
    display.Key(window, key);
}

// Opens the folder panel and cancels it with Escape, opens it again and chooses the folder
// it shows with Return (the destination is there already: the question is answered
// Replace), and shows an install type's tip.
void UseThePanelATipAndAlerts(Display& display, InstallerRun& run, const XWindow& window,
                              bool managed, int scale, const std::string& shots) {
    display.Click(window, kFolderButtonX * scale, kFolderButtonY * scale);
    XWindow panel;
    ASSERT_TRUE(display.WaitForWindow(kPanelTitle, &panel)) << ReadFile(run.output);
    Screenshot(display, shots + "-1-panel");
    display.Key(panel, "Escape");
    ASSERT_TRUE(display.WaitUntilGone(kPanelTitle)) << "Escape leaves the panel open";

    display.Click(window, kFolderButtonX * scale, kFolderButtonY * scale);
    ASSERT_TRUE(display.WaitForWindow(kPanelTitle, &panel)) << ReadFile(run.output);
    display.Key(panel, "Return");
    Answer(display, run, "Clicky", "Return"); // "... already exists ... replace?" - Replace
    ASSERT_TRUE(display.WaitUntilGone(kPanelTitle));
    ASSERT_TRUE(display.WaitUntilGone("Clicky"));

    // Tips show over the active window: a click on the picture makes it so.
    display.Click(window, 80 * scale, 100 * scale);
    display.Xdotool({"mousemove", std::to_string(window.x + kGroupX * scale),
                     std::to_string(window.y + (kFirstGroupY + 40) * scale)});
    display.Xdotool({"mousemove", std::to_string(window.x + kGroupX * scale),
                     std::to_string(window.y + kFirstGroupY * scale)});
    std::string tip;
    Display::WindowFacts facts;
    // Without a window manager nothing makes the window active again after an alert for
    // sure, and an inactive window shows no tips; there the tip is only tried.
    bool shown = FindTip(display, &tip, &facts, managed ? 15 : 5);
    EXPECT_TRUE(shown || !managed) << ReadFile(run.output);
    Screenshot(display, shots + "-2-tip");
    display.Xdotool({"mousemove", std::to_string(window.x + 20), std::to_string(window.y + 20)});
}

struct Expected {
    int status;
    int endStatus;
};

Expected End(Display& display, InstallerRun& run, const XWindow& window, Ending ending, int scale,
             const std::string& shots) {
    fs::path folder = StandardFolder(B_APPS_DIRECTORY) / "Clicky";
    const int buttonX = kButtonX * scale, buttonY = kButtonY * scale;
    switch (ending) {
    case Ending::Completed: {
        display.Click(window, buttonX, buttonY); // Install
        XWindow done;
        EXPECT_TRUE(display.WaitForWindow("Clicky", &done, 30)) << ReadFile(run.output);
        Screenshot(display, shots + "-3-completed");
        display.Key(done, "Return");
        return {0, 0};
    }
    case Ending::CloseBox:
        display.Key(window, "alt+F4");
        return {7, 7};
    case Ending::Quit:
        display.Key(window, "ctrl+q");
        return {7, 7};
    case Ending::Terminate:
        run.child->Signal(SIGTERM);
        return {7, 7};
    case Ending::Hangup:
        run.child->Signal(SIGHUP);
        return {7, 7};
    case Ending::Stop:
    case Ending::QuitWhileRunning:
    case Ending::Interrupt: {
        // Something of the user's in the way: the run waits at the replace question.
        WriteFile(StandardFolder(B_COMMON_DOCUMENTATION_DIRECTORY) / "Clicky" / "readme.txt",
                  "mine");
        display.Click(window, kGroupX * scale, (kFirstGroupY + kGroupRowHeight) * scale); // Full
        display.Click(window, buttonX, buttonY);                                          // Install
        XWindow replace;
        EXPECT_TRUE(display.WaitForWindow("Clicky", &replace, 30)) << ReadFile(run.output);
        Screenshot(display, shots + "-3-running");
        if (ending == Ending::Stop)
            display.Click(window, buttonX + 40 * scale, buttonY);
        else if (ending == Ending::QuitWhileRunning)
            display.Key(window, "ctrl+q");
        else
            run.child->Signal(SIGINT);
        Answer(display, run, "Clicky", "Return", replace.id); // stopped
        Answer(display, run, "Clicky", "Escape", replace.id); // undo
        return {8, 8};
    }
    case Ending::FailedRun:
    case Ending::QuitAfterFailedRun: {
        // The destination went away after it was chosen, and a file took its place.
        fs::path destination = folder.parent_path();
        fs::remove_all(destination);
        WriteFile(destination, "in the way");
        display.Click(window, buttonX, buttonY);  // Install
        Answer(display, run, "Clicky", "Return"); // the folder cannot be found
        EXPECT_TRUE(display.WaitUntilGone("Clicky"));
        Screenshot(display, shots + "-3-failed");
        fs::remove(destination);
        fs::create_directories(destination);
        if (ending == Ending::QuitAfterFailedRun)
            display.Key(window, "ctrl+q");
        else
            run.child->Signal(SIGTERM);
        return {1, 1};
    }
    }
    return {-1, -1};
}

// At twice the size every ending the user clicks or types is tried, and one signal: the
// signals take the same way out at any size, and each ending takes its own run.
void CheckEveryEnding(Display& display, bool managed, int scale) {
    fs::path installer = BuildInstaller();
    std::vector<Ending> endings =
        scale == 1 ? std::vector<Ending>{Ending::Completed, Ending::Stop,
                                         Ending::Terminate, Ending::Interrupt,
                                         Ending::Hangup,    Ending::FailedRun,
                                         Ending::Quit,      Ending::QuitAfterFailedRun}
                   : std::vector<Ending>{Ending::Completed, Ending::Stop, Ending::QuitWhileRunning,
                                         Ending::Terminate, Ending::Quit, Ending::FailedRun};
    // Without a window manager there is no close box.
    if (managed)
        endings.push_back(Ending::CloseBox);
    for (Ending ending : endings) {
        SCOPED_TRACE(Name(ending));
        ForgetEarlierInstallations();
        fs::path folder = StandardFolder(B_APPS_DIRECTORY) / "Clicky";
        fs::create_directories(folder);
        std::string shots =
            std::to_string(scale) + "x-" + (managed ? "openbox-" : "bare-") + Name(ending);

        InstallerRun run =
            StartInstaller(display, installer, {"TARNW_SCALE=" + std::to_string(scale)});
        XWindow window;
        ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
        display.Click(window, kButtonX * scale, kButtonY * scale); // Agree: the folder is there
        Answer(display, run, "Clicky", "Return");
        ASSERT_TRUE(display.WaitUntilGone("Clicky"));
        UseThePanelATipAndAlerts(display, run, window, managed, scale, shots);
        if (::testing::Test::HasFatalFailure())
            return;
        Expected expected = End(display, run, window, ending, scale, shots);
        int status = run.child->Wait(std::chrono::seconds(40));
        EXPECT_EQ(status, expected.status) << ReadFile(run.output);
        auto events = Transcript(run.transcript);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", expected.endStatus}}))
            << events.back().dump();
        if (ending == Ending::Completed) {
            EXPECT_TRUE(fs::is_regular_file(folder / "clicky"))
                << "Select at once keeps the destination";
        }
    }
}

} // namespace

TEST(GuiWindowEnds, EveryWayOfEndingAfterThePanelWithoutAWindowManager) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (FindProgram("xwininfo").empty())
        GTEST_SKIP() << "xwininfo is needed";
    CheckEveryEnding(display, false, 1);
}

TEST(GuiWindowEnds, EveryWayOfEndingAfterThePanelUnderAWindowManager) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (!display.StartWindowManager())
        GTEST_SKIP() << "openbox, xprop and xwininfo are needed: "
                     << ReadFile(Sandbox::Temp() / "openbox.log");
    CheckEveryEnding(display, true, 1);
}

TEST(GuiWindowEnds, EveryWayOfEndingAtTwiceTheSizeWithoutAWindowManager) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (FindProgram("xwininfo").empty())
        GTEST_SKIP() << "xwininfo is needed";
    CheckEveryEnding(display, false, 2);
}

TEST(GuiWindowEnds, EveryWayOfEndingAtTwiceTheSizeUnderAWindowManager) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (!display.StartWindowManager())
        GTEST_SKIP() << "openbox, xprop and xwininfo are needed: "
                     << ReadFile(Sandbox::Temp() / "openbox.log");
    CheckEveryEnding(display, true, 2);
}

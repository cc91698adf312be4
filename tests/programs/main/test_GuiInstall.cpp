// The installer window end to end: the demo installer runs on a private X server (bare, or
// under a real window manager) and is clicked through with xdotool as a user would, and its
// files, log, transcript, sound and windows are checked. Skipped when Xvfb or xdotool is
// missing (and the window manager tests when openbox or the X utilities are).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "platform/storage/AppFileInfo.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/MimeType.h"
#include "platform/storage/Path.h"
#include "platform/storage/Resources.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

#include "GuiDriver.h"

extern char** environ;

using namespace tarnw::test::gui;

TEST(GuiInstall, AnInstallationIsClickedThroughWithAReplaceQuestion) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    fs::path installer = BuildInstaller();
    // An earlier installation folder, and a manual of someone else's in the way.
    fs::path applications = StandardFolder(B_APPS_DIRECTORY);
    WriteFile(applications / "Clicky" / "old.txt", "old");
    fs::path docs = StandardFolder(B_COMMON_DOCUMENTATION_DIRECTORY) / "Clicky";
    WriteFile(docs / "readme.txt", "mine");
    // The start-up sound goes into a file.
    fs::path sound = Sandbox::MakeFolder("audio") / "out.raw";
    WriteFile(Sandbox::Home() / ".asoundrc",
              "pcm.!default {\n type file\n slave.pcm \"null\"\n file \"" + sound.string() +
                  "\"\n format \"raw\"\n}\n");

    InstallerRun run = StartInstaller(display, installer);
    ASSERT_TRUE(run.child->Started());
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    EXPECT_EQ(window.width, 456);
    EXPECT_EQ(window.height, 258);

    // Agree: the user is told that the installation folder is there already.
    display.Click(window, kButtonX, kButtonY);
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &alert)) << ReadFile(run.output);
    display.Key(alert, "Return");
    ASSERT_TRUE(display.WaitUntilGone("Clicky"));
    // The "Full" install type, then Install.
    display.Click(window, kGroupX, kFirstGroupY + kGroupRowHeight);
    display.Click(window, kButtonX, kButtonY);
    XWindow replace;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &replace)) << ReadFile(run.output);
    display.Key(replace, "r");
    XWindow done;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &done, 20, replace.id)) << ReadFile(run.output);
    display.Key(done, "Return");
    ASSERT_EQ(run.child->Wait(std::chrono::seconds(30)), 0) << ReadFile(run.output);

    fs::path folder = applications / "Clicky";
    EXPECT_TRUE(fs::is_regular_file(folder / "clicky"));
    EXPECT_FALSE(fs::exists(folder / "old.txt"));
    EXPECT_EQ(ReadFile(docs / "readme.txt"), "How to click.\n");
    // The replaced manual was kept among the saved files.
    EXPECT_EQ(ReadFile(folder / "Saved Files" / "readme.txt"), "mine");
    std::string log = ReadFile(folder / "Log");
    EXPECT_NE(log.find("\tInstallation Complete: "), std::string::npos) << log;

    auto events = Transcript(run.transcript);
    auto alerts = Alerts(events);
    ASSERT_EQ(alerts.size(), 3u);
    EXPECT_EQ(alerts[0]["text"], "The folder 'Clicky' already exists in the destination folder.");
    EXPECT_EQ(alerts[1]["title"], "ReplaceAlert");
    EXPECT_EQ(alerts[1]["buttons"], nlohmann::json({"Don't Replace", "Replace"}));
    EXPECT_EQ(alerts[1]["text"],
              "The file 'readme.txt' already exists. Do you wish to replace existing");
    EXPECT_EQ(alerts[1]["answer"], 1);
    EXPECT_EQ(alerts[2]["text"], "Installation successfully completed.");
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 0}}));
    bool statusShown = false;
    for (const auto& event : events)
        statusShown = statusShown || event == nlohmann::json({{"event", "status"},
                                                              {"text", "Installation Complete"}});
    EXPECT_TRUE(statusShown);

    // The running installer stamped its version record and registered its document type.
    BFile file(installer.c_str(), B_READ_ONLY);
    BAppFileInfo info(&file);
    version_info version{};
    ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(version.major, 1u);
    EXPECT_EQ(version.middle, 3u);
    EXPECT_EQ(version.minor, 1u);
    EXPECT_EQ(version.variety, 5u);
    EXPECT_STREQ(version.short_info, "Installer");
    EXPECT_STREQ(version.long_info, "V1.3.1 Install BeOS applications");
    char preferred[B_MIME_TYPE_LENGTH] = {};
    ASSERT_EQ(BMimeType("text/x-tarnw").GetPreferredApp(preferred), B_OK);
    EXPECT_STREQ(preferred, "application/x-vnd.Kestrelwood.Tarnw");

    // The start-up sound played once, from its first sample on.
    std::string wav = ReadFile(kDemo / "startup.wav");
    size_t data = wav.find("data");
    ASSERT_NE(data, std::string::npos);
    std::string samples = wav.substr(data + 8, 64);
    std::string played = ReadFile(sound);
    EXPECT_EQ(played.substr(0, samples.size()), samples);
}

TEST(GuiInstall, StopOrASignalDuringARunStopsItAndSaysSo) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    fs::path installer = BuildInstaller();
    ForgetEarlierInstallations();
    fs::path docs = StandardFolder(B_COMMON_DOCUMENTATION_DIRECTORY) / "Clicky";
    WriteFile(docs / "readme.txt", "mine");
    // The system's folders as before the installer started (it registers its document type
    // in the home folder as it starts).
    auto look = [] { return tarnw::test::TreeSnapshot::Take({Sandbox::Prefix()}); };
    auto before = look();

    // 0: the Stop button; otherwise the signal a user or the system sends.
    for (int stop : {0, SIGTERM, SIGINT, SIGHUP}) {
        InstallerRun run = StartInstaller(display, installer);
        XWindow window;
        ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
        display.Click(window, kButtonX, kButtonY);
        display.Click(window, kGroupX, kFirstGroupY + kGroupRowHeight);
        display.Click(window, kButtonX, kButtonY);
        // The worker waits for the replace question, a safe point; the window still answers.
        XWindow replace;
        ASSERT_TRUE(display.WaitForWindow("Clicky", &replace)) << ReadFile(run.output);
        if (stop == 0)
            display.Click(window, kButtonX + 40, kButtonY); // Stop shows right of the question
        else
            run.child->Signal(stop);
        XWindow stopped;
        ASSERT_TRUE(display.WaitForWindow("Clicky", &stopped, 20, replace.id))
            << stop << ReadFile(run.output);
        display.Key(stopped, "Return");
        // Then the choice: Escape undoes the run.
        XWindow question;
        ASSERT_TRUE(display.WaitForWindow("Clicky", &question, 20, stopped.id))
            << stop << ReadFile(run.output);
        display.Key(question, "Escape");
        EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 8) << stop << ReadFile(run.output);

        auto events = Transcript(run.transcript);
        auto alerts = Alerts(events);
        ASSERT_GE(alerts.size(), 2u);
        const auto& notice = alerts[alerts.size() - 2];
        EXPECT_EQ(notice["text"], "Installation was stopped before it could complete.");
        EXPECT_EQ(notice["icon"], "stop");
        EXPECT_EQ(alerts.back()["buttons"], nlohmann::json({"Undo", "Keep"}));
        EXPECT_EQ(alerts.back()["answer"], 0);
        // Undone: everything is as it was.
        auto after = look();
        EXPECT_TRUE(after == before) << stop << after.DifferencesFrom(before);
        EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 8}}));
        // What was in the way was not replaced.
        EXPECT_EQ(ReadFile(docs / "readme.txt"), "mine");
    }
}

TEST(GuiInstall, WithoutADisplayTheInstallerDoesNotOpenTheWindow) {
    fs::path installer = BuildDemo();
    // No display answers here: the installer runs unattended instead and refuses, since
    // nobody accepted the licence; the toolkit must not end it first.
    auto result = RunProgram({installer.string()}, "",
                             {"DISPLAY=:4711", "TARNW_FRONTEND=", "TARNW_ANSWERS="});
    EXPECT_EQ(result.status, 6) << result.output;
}

TEST(GuiInstall, ABareInstallerSaysItWasImproperlyBuiltAndQuits) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    fs::path bare = Sandbox::MakeFolder("bare") / "tarnwhistle";
    fs::copy_file(kBin + "/tarnwhistle", bare);
    InstallerRun run = StartInstaller(display, bare);
    // Without a package, alerts carry the installer's own name.
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("tarnwhistle", &alert)) << ReadFile(run.output);
    display.Key(alert, "Return");
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 5) << ReadFile(run.output);
    auto events = Transcript(run.transcript);
    auto alerts = Alerts(events);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["icon"], "stop");
    EXPECT_EQ(alerts[0]["text"],
              "Error obtaining configuration in installer. The installer was improperly built.");
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 5}}));
}

TEST(GuiInstall, AnInstallerCutShortAsksForANewDownloadAndQuits) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    std::string whole = ReadFile(BuildInstaller());
    fs::path cut = Sandbox::MakeFolder("cut") / "ClickyInstaller";
    WriteFile(cut, whole.substr(0, whole.size() - 300));
    fs::permissions(cut, fs::perms(0755));
    InstallerRun run = StartInstaller(display, cut);
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &alert)) << ReadFile(run.output);
    display.Key(alert, "Return");
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 9) << ReadFile(run.output);
    auto events = Transcript(run.transcript);
    auto alerts = Alerts(events);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["icon"], "stop");
    std::string text = alerts[0]["text"];
    EXPECT_NE(text.find("damaged or incomplete"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(whole.size())), std::string::npos) << text;
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 9}}));
}

TEST(GuiInstall, ADamagedPayloadIsFoundWhenInstallIsPressedBeforeAnythingIsPlaced) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    fs::path built = BuildInstaller();
    ForgetEarlierInstallations();
    std::string bytes = ReadFile(built);
    {
        BFile file(built.c_str(), B_READ_ONLY);
        BResources resources(&file);
        off_t offset = 0, size = 0;
        ASSERT_EQ(resources.GetResourceLocation(B_RAW_TYPE, 2100, &offset, &size), B_OK);
        bytes[size_t(offset + size / 2)] ^= 0x20;
    }
    fs::path damaged = Sandbox::MakeFolder("damaged") / "ClickyInstaller";
    WriteFile(damaged, bytes);
    fs::permissions(damaged, fs::perms(0755));
    InstallerRun run = StartInstaller(display, damaged);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    display.Click(window, kButtonX, kButtonY);     // Agree
    display.Click(window, kButtonX + 5, kButtonY); // Install, the "Typical" type
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &alert, 30)) << ReadFile(run.output);
    display.Key(alert, "Return");
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 9) << ReadFile(run.output);
    auto events = Transcript(run.transcript);
    auto alerts = Alerts(events);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["text"],
              "The installer file is damaged or incomplete. Please download it again.");
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 9}}));
    EXPECT_FALSE(fs::exists(StandardFolder(B_APPS_DIRECTORY) / "Clicky"));
}

TEST(GuiInstall, OnceTheRunHasEndedStopCannotUndoTheCompletion) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    fs::path installer = BuildInstaller();
    ForgetEarlierInstallations();
    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    display.Click(window, kButtonX, kButtonY);     // Agree
    display.Click(window, kButtonX + 5, kButtonY); // Install, the "Typical" type
    XWindow done;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &done, 30)) << ReadFile(run.output);
    // The completion message is up; the button that read Stop is pressed, twice (at two
    // points: xdotool waits for the pointer to move).
    display.Click(window, kButtonX - 20, kButtonY);
    display.Click(window, kButtonX + 20, kButtonY);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    XWindow still;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &still, 1));
    EXPECT_EQ(still.id, done.id);
    display.Key(done, "Return");
    ASSERT_EQ(run.child->Wait(std::chrono::seconds(30)), 0) << ReadFile(run.output);

    auto events = Transcript(run.transcript);
    auto alerts = Alerts(events);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["text"], "Installation successfully completed.");
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 0}}));
    EXPECT_TRUE(fs::is_regular_file(StandardFolder(B_APPS_DIRECTORY) / "Clicky" / "clicky"));
}

namespace {

// Tips, alerts and the window itself tell the window system what they are, with a window
// manager or without one.
void CheckWindowsSayWhatTheyAre(Display& display, bool managed) {
    fs::path installer = BuildInstaller();
    ForgetEarlierInstallations();
    // An earlier installation folder: agreeing to the licence tells the user about it.
    WriteFile(StandardFolder(B_APPS_DIRECTORY) / "Clicky" / "old.txt", "old");
    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    EXPECT_EQ(window.width, 456);
    EXPECT_EQ(window.height, 258);

    // The installer window: fixed size, neither minimizable nor maximizable.
    std::string motif = display.Property(window.id, "_MOTIF_WM_HINTS");
    // flags, functions, decorations: move and close only; border, title and menu.
    EXPECT_NE(motif.find("= 0x3, 0x24, 0x1a,"), std::string::npos) << motif;
    EXPECT_NE(display.Property(window.id, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_NORMAL"),
              std::string::npos);
    if (managed) {
        // The window manager says what it allows once it has taken the window on.
        std::string actions;
        for (int i = 0; i < 50; i++) {
            actions = display.Property(window.id, "_NET_WM_ALLOWED_ACTIONS");
            if (actions.find("_NET_WM_ACTION_") != std::string::npos)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_NE(actions.find("_NET_WM_ACTION_MOVE"), std::string::npos) << actions;
        EXPECT_EQ(actions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << actions;
        EXPECT_EQ(actions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << actions;
    }

    // A click into the window, as a user's first, then Agree: the alert about the folder.
    display.Click(window, 80, 100);
    display.Click(window, kButtonX, kButtonY);
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &alert)) << ReadFile(run.output);
    EXPECT_NE(display.Property(alert.id, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_DIALOG"),
              std::string::npos);
    std::string owner = display.Property(alert.id, "WM_TRANSIENT_FOR");
    size_t hex = owner.find("0x");
    ASSERT_NE(hex, std::string::npos) << owner;
    EXPECT_EQ(std::to_string(std::stoul(owner.substr(hex), nullptr, 16)), window.id);
    std::string alertMotif = display.Property(alert.id, "_MOTIF_WM_HINTS");
    // Movable only; a title, no minimize or maximize.
    EXPECT_NE(alertMotif.find("= 0x3, 0x4, 0x1a,"), std::string::npos) << alertMotif;
    // Centred on the installer window.
    EXPECT_NEAR(alert.x + alert.width / 2, window.x + window.width / 2, 2);
    EXPECT_NEAR(alert.y + alert.height / 2, window.y + window.height / 2, 2);
    display.Key(alert, "Return");
    ASSERT_TRUE(display.WaitUntilGone("Clicky"));

    // The first install type's description as a tip: a window nobody manages or frames,
    // and the installer keeps the focus.
    std::string installerFocus = FocusedWindow(display);
    display.Xdotool({"mousemove", std::to_string(window.x + kGroupX),
                     std::to_string(window.y + kFirstGroupY + 30)});
    display.Xdotool(
        {"mousemove", std::to_string(window.x + kGroupX), std::to_string(window.y + kFirstGroupY)});
    std::string tip;
    Display::WindowFacts facts;
    ASSERT_TRUE(FindTip(display, &tip, &facts)) << ReadFile(run.output);
    EXPECT_TRUE(facts.overrideRedirect);
    EXPECT_EQ(facts.height, 16); // one line of the plain font, laid out 160 wide
    EXPECT_EQ(display.Property(tip, "_NET_WM_WINDOW_TYPE").find("TOOLTIP") != std::string::npos,
              true);
    EXPECT_EQ(FocusedWindow(display), installerFocus);
    // Its border is ours: black along the edges, the tip's yellow inside.
    std::string pixels =
        display.Run({"import", "-window", "root", "-crop",
                     "2x2+" + std::to_string(facts.x) + "+" + std::to_string(facts.y), "txt:-"});
    EXPECT_NE(pixels.find("0,0: (0,0,0)"), std::string::npos) << pixels;
    EXPECT_NE(pixels.find("1,0: (0,0,0)"), std::string::npos) << pixels;
    EXPECT_NE(pixels.find("srgb(255,255,203)"), std::string::npos) << pixels;

    // The installer still shows tips: the next type's description replaces it, lower down.
    display.Xdotool({"mousemove", std::to_string(window.x + kGroupX),
                     std::to_string(window.y + kFirstGroupY + kGroupRowHeight)});
    Display::WindowFacts next;
    bool moved = false;
    for (int i = 0; i < 50 && !moved; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        next = display.Facts(tip);
        moved = next.viewable && next.y == facts.y + kGroupRowHeight;
    }
    EXPECT_TRUE(moved) << next.y << " after " << facts.y;
    EXPECT_EQ(FocusedWindow(display), installerFocus);
}

} // namespace

TEST(GuiInstall, WindowsSayWhatTheyAreWithoutAWindowManager) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (FindProgram("xprop").empty() || FindProgram("xwininfo").empty() ||
        FindProgram("import").empty())
        GTEST_SKIP() << "xprop, xwininfo and import are needed";
    CheckWindowsSayWhatTheyAre(display, false);
}

TEST(GuiInstall, WindowsSayWhatTheyAreUnderAWindowManager) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (FindProgram("import").empty() || !display.StartWindowManager())
        GTEST_SKIP() << "openbox, xprop, xwininfo and import are needed: "
                     << ReadFile(Sandbox::Temp() / "openbox.log");
    CheckWindowsSayWhatTheyAre(display, true);
}

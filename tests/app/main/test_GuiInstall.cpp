// The installer window end to end: the demo installer runs on a private X server and is
// clicked through with xdotool as a user would, and its files, log, transcript and sound
// are checked. Skipped when Xvfb or xdotool is missing.
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
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const std::string kBin = TARNW_BIN_DIR;
const fs::path kDemo = fs::path(TARNW_SOURCE_DIR) / "examples/demo";

using tarnw::test::FindProgram;
// A started program; the destructor ends it if it still runs.
using Child = tarnw::test::BackgroundProgram;

struct XWindow {
    std::string id;
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
};

// A private X server for one test, and xdotool on it.
class Display {
public:
    Display() {
        std::string xvfb = FindProgram("Xvfb");
        fXdotool = FindProgram("xdotool");
        if (xvfb.empty() || fXdotool.empty())
            return;
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return;
        // The server picks a free display number and writes it to the pipe.
        fServer = std::make_unique<Child>(
            std::vector<std::string>{xvfb, "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                                     "1024x768x24", "-nolisten", "tcp"},
            std::vector<std::string>{}, Sandbox::Temp() / "xvfb.log", pipeFds[1]);
        close(pipeFds[1]);
        std::string number;
        char c;
        while (read(pipeFds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(pipeFds[0]);
        if (!number.empty())
            fName = ":" + number;
    }

    bool Ready() const { return !fName.empty(); }
    std::string Variable() const { return "DISPLAY=" + fName; }

    std::string Xdotool(const std::vector<std::string>& args) {
        std::vector<std::string> argv{fXdotool};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv, "", {Variable()}).output;
    }

    std::vector<XWindow> VisibleWindows() {
        std::vector<XWindow> windows;
        std::stringstream ids(Xdotool({"search", "--onlyvisible", "--name", ".*"}));
        std::string id;
        while (std::getline(ids, id)) {
            if (id.empty())
                continue;
            XWindow window;
            window.id = id;
            window.name = Xdotool({"getwindowname", id});
            if (!window.name.empty() && window.name.back() == '\n')
                window.name.pop_back();
            std::stringstream shell(Xdotool({"getwindowgeometry", "--shell", id}));
            std::string line;
            while (std::getline(shell, line)) {
                auto value = [&](const char* key) {
                    return line.rfind(key, 0) == 0 ? std::atoi(line.c_str() + std::strlen(key))
                                                   : -1;
                };
                if (int v = value("X="); v >= 0)
                    window.x = v;
                if (int v = value("Y="); v >= 0)
                    window.y = v;
                if (int v = value("WIDTH="); v >= 0)
                    window.width = v;
                if (int v = value("HEIGHT="); v >= 0)
                    window.height = v;
            }
            // The screen's own window is no window of ours.
            if (window.width < 1024)
                windows.push_back(window);
        }
        return windows;
    }

    // Waits for a visible window of that name (an empty name: an untitled alert).
    bool WaitForWindow(const std::string& name, XWindow* found, int seconds = 20) {
        for (int i = 0; i < seconds * 10; i++) {
            for (const XWindow& window : VisibleWindows())
                if (window.name == name) {
                    *found = window;
                    return true;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Waits until no visible window has that name any more.
    bool WaitUntilGone(const std::string& name, int seconds = 20) {
        for (int i = 0; i < seconds * 10; i++) {
            bool shown = false;
            for (const XWindow& window : VisibleWindows())
                shown = shown || window.name == name;
            if (!shown)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void Click(const XWindow& window, int x, int y) {
        Xdotool({"mousemove", "--sync", std::to_string(window.x + x), std::to_string(window.y + y),
                 "click", "1"});
    }
    void Key(const XWindow& window, const std::string& key) {
        Xdotool({"windowfocus", "--sync", window.id});
        Xdotool({"key", key});
    }

private:
    std::string fXdotool;
    std::string fName;
    std::unique_ptr<Child> fServer;
};

#define REQUIRE_PRIVATE_DISPLAY(display)                                                           \
    do {                                                                                           \
        if (!(display).Ready())                                                                    \
            GTEST_SKIP() << "Xvfb and xdotool are needed";                                         \
    } while (0)

// A small package with a licence, two install types, the demo's start-up sound and a
// documentation file that asks before it replaces anything.
fs::path BuildInstaller() {
    fs::path folder = Sandbox::MakeFolder("package");
    WriteFile(folder / "clicky", "#!/bin/sh\necho clicky\n");
    WriteFile(folder / "readme.txt", "How to click.\n");
    fs::copy_file(kDemo / "startup.wav", folder / "startup.wav");
    WriteFile(folder / "manifest.json", R"({
  "app_name": "Clicky", "version": "2.0", "license": "Click responsibly.",
  "opt_created_folder": "Clicky", "opt_default_folder": "Applications",
  "opt_save_replaced": true, "opt_log": true, "audio_file": "startup.wav",
  "groups": [{"name": "Typical", "description": "The program"},
             {"name": "Full", "description": "The program and its manual"}],
  "custom_folders": [{"name": "Clicky Docs", "root": "Common Documentation",
                      "sub_dir": "Clicky", "replace": false}],
  "files": [
    {"source": "clicky", "groups": ["Typical", "Full"]},
    {"source": "readme.txt", "groups": ["Full"], "destination": "Clicky Docs",
     "destination_exists": "Prompt"}
  ]
})");
    fs::path installer = Sandbox::MakeFolder("installer") / "ClickyInstaller";
    auto result = RunProgram({kBin + "/tarnw-pack", "build", (folder / "manifest.json").string(),
                              "-o", installer.string()});
    EXPECT_EQ(result.status, 0) << result.output;
    return installer;
}

fs::path BuildDemo() {
    fs::path installer = Sandbox::MakeFolder("installer") / "DemoInstaller";
    auto result = RunProgram({kBin + "/tarnw-pack", "build", (kDemo / "manifest.json").string(),
                              "-o", installer.string()});
    EXPECT_EQ(result.status, 0) << result.output;
    return installer;
}

std::vector<nlohmann::json> Transcript(const fs::path& file) {
    std::vector<nlohmann::json> events;
    std::istringstream lines(ReadFile(file));
    std::string line;
    while (std::getline(lines, line))
        events.push_back(nlohmann::json::parse(line));
    return events;
}

fs::path StandardFolder(directory_which which) {
    BPath path;
    EXPECT_EQ(find_directory(which, &path, true, nullptr), B_OK);
    return path.Path();
}

// Points in the installer window (see the window's layout).
constexpr int kButtonX = 377, kButtonY = 233;
constexpr int kGroupX = 200, kFirstGroupY = 50, kGroupRowHeight = 15;

struct InstallerRun {
    fs::path transcript = Sandbox::MakeFolder("run") / "transcript";
    fs::path output = transcript.parent_path() / "output";
    std::unique_ptr<Child> child;
};

InstallerRun StartInstaller(Display& display, const fs::path& installer) {
    InstallerRun run;
    run.child = std::make_unique<Child>(
        std::vector<std::string>{installer.string()},
        std::vector<std::string>{display.Variable(), "TARNW_FRONTEND=gui",
                                 "TARNW_TRANSCRIPT=" + run.transcript.string()},
        run.output);
    return run;
}

std::vector<nlohmann::json> Alerts(const std::vector<nlohmann::json>& events) {
    std::vector<nlohmann::json> alerts;
    for (const auto& event : events)
        if (event["event"] == "alert")
            alerts.push_back(event);
    return alerts;
}

} // namespace

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
    ASSERT_TRUE(display.WaitForWindow("", &alert)) << ReadFile(run.output);
    display.Key(alert, "Return");
    ASSERT_TRUE(display.WaitUntilGone(""));
    // The "Full" install type, then Install.
    display.Click(window, kGroupX, kFirstGroupY + kGroupRowHeight);
    display.Click(window, kButtonX, kButtonY);
    XWindow replace;
    ASSERT_TRUE(display.WaitForWindow("ReplaceAlert", &replace)) << ReadFile(run.output);
    display.Key(replace, "r");
    ASSERT_TRUE(display.WaitUntilGone("ReplaceAlert"));
    XWindow done;
    ASSERT_TRUE(display.WaitForWindow("", &done)) << ReadFile(run.output);
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

TEST(GuiInstall, QuittingDuringARunStopsItAndSaysSo) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    fs::path installer = BuildInstaller();
    fs::path docs = StandardFolder(B_COMMON_DOCUMENTATION_DIRECTORY) / "Clicky";
    WriteFile(docs / "readme.txt", "mine");
    // The system's folders as before the installer started (it registers its document type
    // in the home folder as it starts).
    auto look = [] { return tarnw::test::TreeSnapshot::Take({Sandbox::Prefix()}); };
    auto before = look();

    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    display.Click(window, kButtonX, kButtonY);
    display.Click(window, kGroupX, kFirstGroupY + kGroupRowHeight);
    display.Click(window, kButtonX, kButtonY);
    // The worker waits for the replace question; the window still answers: Stop.
    XWindow replace;
    ASSERT_TRUE(display.WaitForWindow("ReplaceAlert", &replace)) << ReadFile(run.output);
    display.Click(window, kButtonX, kButtonY);
    XWindow stopped;
    ASSERT_TRUE(display.WaitForWindow("", &stopped)) << ReadFile(run.output);
    display.Key(stopped, "Return");
    // Then the choice: Escape undoes the run.
    XWindow question;
    ASSERT_TRUE(display.WaitForWindow("", &question)) << ReadFile(run.output);
    display.Key(question, "Escape");
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 8) << ReadFile(run.output);

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
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 8}}));
    // What was in the way was not replaced.
    EXPECT_EQ(ReadFile(docs / "readme.txt"), "mine");
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
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("", &alert)) << ReadFile(run.output);
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

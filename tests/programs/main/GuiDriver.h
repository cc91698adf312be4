// The installer window driven as a user would: a private X server (Xvfb on a free display
// number), optionally a real window manager on it, xdotool for the mouse and keyboard, and
// a small package with a licence and two install types. Shared by the window's end-to-end
// tests.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace tarnw::test::gui {

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

inline const std::string kBin = TARNW_BIN_DIR;
inline const fs::path kDemo = fs::path(TARNW_SOURCE_DIR) / "examples/demo";

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
            // Only window numbers: xdotool also reports on windows that vanished meanwhile.
            if (!IsWindowNumber(id))
                continue;
            XWindow window;
            window.id = id;
            window.name = Xdotool({"getwindowname", id});
            if (!window.name.empty() && window.name.back() == '\n')
                window.name.pop_back();
            WindowFacts facts = Facts(id);
            window.x = facts.x;
            window.y = facts.y;
            window.width = facts.width;
            window.height = facts.height;
            // The screen's own window is no window of ours.
            if (window.width < 1024)
                windows.push_back(window);
        }
        return windows;
    }

    // What xwininfo says of a window: where its content lies on the screen, its size,
    // whether it is mapped and whether a window manager may manage it.
    struct WindowFacts {
        int x = 0, y = 0, width = 0, height = 0;
        bool viewable = false;
        bool overrideRedirect = false;
    };
    static bool IsWindowNumber(const std::string& id) {
        return !id.empty() && id.find_first_not_of("0123456789") == std::string::npos;
    }

    WindowFacts Facts(const std::string& id) {
        WindowFacts facts;
        // xwininfo without a window to describe waits for a click on one.
        if (!IsWindowNumber(id))
            return facts;
        std::stringstream lines(Run({"xwininfo", "-id", id}));
        std::string line;
        auto number = [&](const char* key, int* out) {
            size_t at = line.find(key);
            if (at != std::string::npos)
                *out = std::atoi(line.c_str() + at + std::strlen(key));
        };
        while (std::getline(lines, line)) {
            number("Absolute upper-left X:", &facts.x);
            number("Absolute upper-left Y:", &facts.y);
            number("Width:", &facts.width);
            number("Height:", &facts.height);
            if (line.find("Map State: IsViewable") != std::string::npos)
                facts.viewable = true;
            if (line.find("Override Redirect State: yes") != std::string::npos)
                facts.overrideRedirect = true;
        }
        return facts;
    }

    // The windows that sit right on the root window (a framed window's frame, not the
    // window itself), as decimal ids.
    std::vector<std::string> RootChildren() {
        std::vector<std::string> ids;
        std::stringstream lines(Run({"xwininfo", "-root", "-children"}));
        std::string line;
        bool listed = false;
        while (std::getline(lines, line)) {
            // The children follow the line that counts them, one a line.
            if (line.find("children") != std::string::npos) {
                listed = true;
                continue;
            }
            size_t at = line.find("0x");
            if (!listed || at == std::string::npos)
                continue;
            unsigned long id = std::stoul(line.substr(at), nullptr, 16);
            if (id != 0)
                ids.push_back(std::to_string(id));
        }
        return ids;
    }

    // A property of a window as xprop prints it.
    std::string Property(const std::string& id, const std::string& name) {
        return IsWindowNumber(id) ? Run({"xprop", "-id", id, name}) : std::string();
    }

    // Runs a program, found along PATH, against this display.
    std::string Run(std::vector<std::string> argv) {
        std::string found = FindProgram(argv[0].c_str());
        if (found.empty())
            return std::string();
        argv[0] = found;
        return RunProgram(argv, "", {Variable()}).output;
    }

    // Starts openbox on the display and waits until it manages windows; false when it
    // cannot be had.
    bool StartWindowManager() {
        std::string openbox = FindProgram("openbox");
        if (openbox.empty() || FindProgram("xprop").empty() || FindProgram("xwininfo").empty())
            return false;
        // The window manager reads its configuration and theme from the system's places,
        // not the sandbox's.
        fManager = std::make_unique<Child>(
            std::vector<std::string>{openbox, "--sm-disable"},
            std::vector<std::string>{Variable(), "XDG_CONFIG_DIRS=/etc/xdg",
                                     "XDG_DATA_DIRS=/usr/local/share:/usr/share"},
            Sandbox::Temp() / "openbox.log");
        for (int i = 0; i < 200; i++) {
            if (Run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") !=
                std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Waits for a visible window of that name (other than the window `except`).
    bool WaitForWindow(const std::string& name, XWindow* found, int seconds = 20,
                       const std::string& except = "") {
        for (int i = 0; i < seconds * 10; i++) {
            for (const XWindow& window : VisibleWindows())
                if (window.name == name && window.id != except) {
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
    std::unique_ptr<Child> fManager;
};

#define REQUIRE_PRIVATE_DISPLAY(display)                                                           \
    do {                                                                                           \
        if (!(display).Ready())                                                                    \
            GTEST_SKIP() << "Xvfb and xdotool are needed";                                         \
    } while (0)

// A small package with a licence, two install types, the demo's start-up sound and a
// documentation file that asks before it replaces anything.
inline fs::path BuildInstaller() {
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
    auto result = tarnw::test::PackInstaller(folder / "manifest.json", installer);
    EXPECT_EQ(result.status, 0) << result.output;
    return installer;
}

inline fs::path BuildDemo() {
    fs::path installer = Sandbox::MakeFolder("installer") / "DemoInstaller";
    auto result = tarnw::test::PackInstaller(kDemo / "manifest.json", installer);
    EXPECT_EQ(result.status, 0) << result.output;
    return installer;
}

inline std::vector<nlohmann::json> Transcript(const fs::path& file) {
    std::vector<nlohmann::json> events;
    std::istringstream lines(ReadFile(file));
    std::string line;
    while (std::getline(lines, line))
        events.push_back(nlohmann::json::parse(line));
    return events;
}

inline fs::path StandardFolder(directory_which which) {
    BPath path;
    EXPECT_EQ(find_directory(which, &path, true, nullptr), B_OK);
    return path.Path();
}

// The tests share one sandbox: each starts without what an earlier one installed.
inline void ForgetEarlierInstallations() {
    fs::remove_all(StandardFolder(B_APPS_DIRECTORY) / "Clicky");
    fs::remove_all(StandardFolder(B_COMMON_DOCUMENTATION_DIRECTORY) / "Clicky");
}

// Points in the installer window (see the window's layout).
constexpr int kButtonX = 377, kButtonY = 233;
constexpr int kGroupX = 200, kFirstGroupY = 50, kGroupRowHeight = 15;

struct InstallerRun {
    fs::path transcript = Sandbox::MakeFolder("run") / "transcript";
    fs::path output = transcript.parent_path() / "output";
    std::unique_ptr<Child> child;
};

// The installer on the display, with more of the environment (NAME=VALUE) and arguments
// when given.
inline InstallerRun StartInstaller(Display& display, const fs::path& installer,
                                   const std::vector<std::string>& environment = {},
                                   const std::vector<std::string>& arguments = {}) {
    InstallerRun run;
    std::vector<std::string> argv{installer.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables{display.Variable(), "TARNW_FRONTEND=gui",
                                       "TARNW_TRANSCRIPT=" + run.transcript.string()};
    variables.insert(variables.end(), environment.begin(), environment.end());
    run.child = std::make_unique<Child>(argv, variables, run.output);
    return run;
}

// A picture of the whole screen, kept with the test output for people to look at:
// Testing/screenshots/<suite>.<test>/<name>.png in the build folder. Empty when ImageMagick
// is missing.
inline fs::path Screenshot(Display& display, const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path folder = fs::path(TARNW_TEST_BINARY_DIR).parent_path() / "Testing" / "screenshots" /
                      (std::string(test->test_suite_name()) + "." + test->name());
    std::error_code error;
    fs::create_directories(folder, error);
    fs::path file = folder / (name + ".png");
    display.Run({"import", "-window", "root", file.string()});
    return fs::exists(file) ? file : fs::path();
}

inline std::vector<nlohmann::json> Alerts(const std::vector<nlohmann::json>& events) {
    std::vector<nlohmann::json> alerts;
    for (const auto& event : events)
        if (event["event"] == "alert")
            alerts.push_back(event);
    return alerts;
}

// The first viewable override-redirect window right on the root: the tip.
inline bool FindTip(Display& display, std::string* id, Display::WindowFacts* facts,
                    int seconds = 5) {
    for (int i = 0; i < seconds * 10; i++) {
        for (const std::string& child : display.RootChildren()) {
            Display::WindowFacts candidate = display.Facts(child);
            // The window manager keeps small helper windows of its own off the screen.
            if (candidate.viewable && candidate.overrideRedirect && candidate.width > 20 &&
                candidate.x >= 0) {
                *id = child;
                *facts = candidate;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

inline std::string FocusedWindow(Display& display) {
    std::string focus = display.Xdotool({"getwindowfocus"});
    while (!focus.empty() && (focus.back() == '\n' || focus.back() == ' '))
        focus.pop_back();
    return focus;
}

} // namespace tarnw::test::gui

// The installer window on high-resolution screens, end to end: the demo installer runs on a
// private X server (bare, or under openbox) with the scale asked for by the X resources,
// the toolkit or our own variable, is clicked through at the scaled places, and its
// windows are photographed into the test output (screenshots/ beside the test program).
// Skipped when Xvfb, xdotool, xprop or import is missing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::BackgroundProgram;
using tarnw::test::FindProgram;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;

namespace {

struct Geometry {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
};

// A private X server, optionally managed by openbox, and the X tools against it.
class ScaledDisplay {
public:
    explicit ScaledDisplay(bool managed) {
        std::string xvfb = FindProgram("Xvfb");
        for (const char* tool : {"xdotool", "xprop", "import"})
            if (FindProgram(tool).empty())
                return;
        if (xvfb.empty() || (managed && FindProgram("openbox").empty()))
            return;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        fServer = std::make_unique<BackgroundProgram>(
            std::vector<std::string>{xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     "1600x1200x24", "-nolisten", "tcp", "-noreset"},
            std::vector<std::string>{}, Sandbox::Temp() / "xvfb.log", fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return;
        fName = ":" + number;
        if (managed) {
            fManager = std::make_unique<BackgroundProgram>(
                std::vector<std::string>{FindProgram("openbox"), "--sm-disable"},
                std::vector<std::string>{Variable(), "XDG_CONFIG_DIRS=/etc/xdg",
                                         "XDG_DATA_DIRS=/usr/local/share:/usr/share"},
                Sandbox::Temp() / "openbox.log");
            bool up = false;
            for (int i = 0; i < 100 && !up; i++) {
                up = Run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") !=
                     std::string::npos;
                if (!up)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            if (!up)
                fName.clear();
        }
    }

    bool Ready() const { return !fName.empty(); }
    std::string Variable() const { return "DISPLAY=" + fName; }

    std::string Run(std::vector<std::string> argv) {
        argv[0] = FindProgram(argv[0].c_str());
        return RunProgram(argv, "", {Variable()}).output;
    }

    // The X resources a desktop would have loaded (what xrdb writes).
    void SetResources(const std::string& text) {
        Run({"xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER", text});
    }

    // Waits for a visible window of that name; its content's place and size.
    bool WaitForWindow(const std::string& name, Geometry* found, const std::string& except = "") {
        for (int i = 0; i < 200; i++) {
            std::stringstream ids(Run({"xdotool", "search", "--onlyvisible", "--name", name}));
            std::string id;
            while (std::getline(ids, id)) {
                if (id.empty() || id == except ||
                    id.find_first_not_of("0123456789") != std::string::npos)
                    continue;
                if (Run({"xdotool", "getwindowname", id}) != name + "\n")
                    continue;
                std::stringstream shell(Run({"xdotool", "getwindowgeometry", "--shell", id}));
                std::string line;
                Geometry g;
                g.id = id;
                while (std::getline(shell, line)) {
                    auto value = [&](const char* key) {
                        return std::atoi(line.c_str() + std::strlen(key));
                    };
                    if (line.rfind("X=", 0) == 0)
                        g.x = value("X=");
                    else if (line.rfind("Y=", 0) == 0)
                        g.y = value("Y=");
                    else if (line.rfind("WIDTH=", 0) == 0)
                        g.width = value("WIDTH=");
                    else if (line.rfind("HEIGHT=", 0) == 0)
                        g.height = value("HEIGHT=");
                }
                *found = g;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void Click(const Geometry& window, int x, int y) {
        Run({"xdotool", "mousemove", "--sync", std::to_string(window.x + x),
             std::to_string(window.y + y), "click", "1"});
    }
    void Key(const Geometry& window, const std::string& key) {
        Run({"xdotool", "windowfocus", "--sync", window.id});
        Run({"xdotool", "key", key});
    }

    // A picture of the window into the test output, to be looked at.
    fs::path Photograph(const Geometry& window, const std::string& name) {
        fs::path folder = fs::path(TARNW_BIN_DIR).parent_path() / "tests" / "screenshots";
        fs::create_directories(folder);
        fs::path file = folder / (name + ".png");
        // Drawing finishes a moment after the window appears.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Run({"import", "-window", window.id, file.string()});
        return file;
    }

private:
    std::string fName;
    std::unique_ptr<BackgroundProgram> fServer;
    std::unique_ptr<BackgroundProgram> fManager;
};

struct Run {
    fs::path transcript = Sandbox::MakeFolder("run") / "transcript";
    fs::path output = transcript.parent_path() / "output";
    std::unique_ptr<BackgroundProgram> child;
};

Run Start(ScaledDisplay& display, const std::vector<std::string>& environment) {
    Run run;
    std::vector<std::string> variables{display.Variable(), "TARNW_FRONTEND=gui",
                                       "TARNW_TRANSCRIPT=" + run.transcript.string()};
    variables.insert(variables.end(), environment.begin(), environment.end());
    run.child = std::make_unique<BackgroundProgram>(
        std::vector<std::string>{tarnw::test::BuildDemo().string()}, variables, run.output);
    return run;
}

// The demo's window at its layout size of 456 x 258.
constexpr int kWidth = 456, kHeight = 258;
// The window's one button, in layout units.
constexpr int kButtonX = 377, kButtonY = 233;

std::string LastEvent(const fs::path& transcript) {
    std::istringstream lines(ReadFile(transcript));
    std::string line, last;
    while (std::getline(lines, line))
        if (!line.empty())
            last = line;
    return last;
}

// Each setting a desktop may give gives the window its size; the override wins.
void CheckSettings(ScaledDisplay& display, const std::string& label) {
    struct Case {
        std::string resources;
        std::vector<std::string> environment;
        double scale;
    } cases[] = {
        {"Xft.dpi:\t192\n", {}, 2}, {"Xft.dpi:\t144\nXft.antialias:\t1\n", {}, 1.5},
        {"", {"GDK_SCALE=2"}, 2},   {"Xft.dpi:\t192\n", {"TARNW_SCALE=1.25"}, 1.25},
        {"Xft.dpi:\t96\n", {}, 1},
    };
    for (const Case& c : cases) {
        display.SetResources(c.resources);
        Run run = Start(display, c.environment);
        Geometry window;
        ASSERT_TRUE(display.WaitForWindow("DemoInstaller", &window)) << ReadFile(run.output);
        EXPECT_EQ(window.width, (int)std::lround(kWidth * c.scale)) << label << " " << c.scale;
        EXPECT_EQ(window.height, (int)std::lround(kHeight * c.scale)) << label << " " << c.scale;
        run.child->Signal(SIGTERM);
        EXPECT_NE(run.child->Wait(std::chrono::seconds(20)), -1);
    }
}

// At twice the size the window is clicked through to a completed installation, and each
// of its pages and the completion message are photographed.
void CheckInstallationAtTwoX(ScaledDisplay& display, const std::string& label) {
    BPath applications;
    ASSERT_EQ(find_directory(B_APPS_DIRECTORY, &applications, true, nullptr), B_OK);
    fs::path installed = fs::path(applications.Path()) / "Demo";
    fs::remove_all(installed);
    display.SetResources("Xft.dpi:\t192\n");
    Run run = Start(display, {});
    Geometry window;
    ASSERT_TRUE(display.WaitForWindow("DemoInstaller", &window)) << ReadFile(run.output);
    display.Photograph(window, "scale-2x-" + label + "-licence");
    display.Click(window, kButtonX * 2, kButtonY * 2); // Agree
    display.Photograph(window, "scale-2x-" + label + "-install");
    display.Click(window, kButtonX * 2, kButtonY * 2); // Install
    Geometry done;
    ASSERT_TRUE(display.WaitForWindow("Demo", &done)) << ReadFile(run.output);
    // An alert is at least its 310 units wide, twice over.
    EXPECT_GE(done.width, 620);
    display.Photograph(done, "scale-2x-" + label + "-complete");
    display.Key(done, "Return");
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 0) << ReadFile(run.output);
    EXPECT_EQ(nlohmann::json::parse(LastEvent(run.transcript)),
              nlohmann::json({{"event", "end"}, {"status", 0}}));
    EXPECT_TRUE(fs::exists(installed / "demo-hello"));
}

} // namespace

TEST(GuiScale, TheDesktopsSettingSizesTheWindowWithoutAWindowManager) {
    ScaledDisplay display(false);
    if (!display.Ready())
        GTEST_SKIP() << "Xvfb, xdotool, xprop and import are needed";
    CheckSettings(display, "bare");
}

TEST(GuiScale, TheDesktopsSettingSizesTheWindowUnderAWindowManager) {
    ScaledDisplay display(true);
    if (!display.Ready())
        GTEST_SKIP() << "Xvfb, openbox, xdotool, xprop and import are needed";
    CheckSettings(display, "openbox");
}

TEST(GuiScale, AnInstallationIsClickedThroughAtTwiceTheSizeWithoutAWindowManager) {
    ScaledDisplay display(false);
    if (!display.Ready())
        GTEST_SKIP() << "Xvfb, xdotool, xprop and import are needed";
    CheckInstallationAtTwoX(display, "bare");
}

TEST(GuiScale, AnInstallationIsClickedThroughAtTwiceTheSizeUnderAWindowManager) {
    ScaledDisplay display(true);
    if (!display.Ready())
        GTEST_SKIP() << "Xvfb, openbox, xdotool, xprop and import are needed";
    CheckInstallationAtTwoX(display, "openbox");
}

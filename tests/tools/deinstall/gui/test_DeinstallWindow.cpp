// The deinstaller's window end to end: the demo is installed unattended, then its
// deinstaller runs on a private X server and is clicked through as a user would. Skipped
// when Xvfb or xdotool is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/Process.h"
#include "support/Sandbox.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

using tarnw::test::FindProgram;

// A program in the background whose output goes to the sandbox's log.
class Background : public tarnw::test::BackgroundProgram {
public:
    Background(std::vector<std::string> argv, std::vector<std::string> extra, int passFd = -1)
        : BackgroundProgram(argv, extra, Sandbox::Temp() / "background.log", passFd) {}
    // The exit status, or -1 while it runs after `seconds`.
    int Wait(int seconds) { return BackgroundProgram::Wait(std::chrono::seconds(seconds)); }
};

bool WaitFor(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 20; i++) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

class DeinstallWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string xvfb = FindProgram("Xvfb");
        xdotool = FindProgram("xdotool");
        if (xvfb.empty() || xdotool.empty())
            GTEST_SKIP() << "Xvfb or xdotool is missing";
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        server = std::make_unique<Background>(
            std::vector<std::string>{xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     "1024x768x24", "-nolisten", "tcp"},
            std::vector<std::string>{}, fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty());
        display = "DISPLAY=:" + number;

        fs::path installer = Sandbox::MakeFolder("installer") / "DemoInstaller";
        auto built = tarnw::test::PackInstaller(tarnw::test::DemoManifest(), installer);
        ASSERT_EQ(built.status, 0) << built.output;
        destination = Sandbox::MakeFolder("apps");
        fs::path answers = Sandbox::MakeFolder("answers") / "install";
        WriteFile(answers,
                  "license: agree\ngroup: Full\ndestination: " + destination.string() + "\n");
        auto installed =
            RunProgram({installer.string()}, "",
                       {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + answers.string()});
        ASSERT_EQ(installed.status, 0) << installed.output;
    }

    // Clicks at (x, y) inside the window named `title` (the first one xdotool finds).
    bool ClickIn(const std::string& title, int x, int y) {
        // The window may take a moment to be mapped on a busy machine.
        std::string id;
        WaitFor(
            [&] {
                auto found = RunProgram({xdotool, "search", "--name", title}, "", {display});
                id = found.status == 0 ? found.output.substr(0, found.output.find('\n')) : "";
                return !id.empty();
            },
            10);
        if (id.empty())
            return false;
        return RunProgram({xdotool, "mousemove", "--window", id, std::to_string(x),
                           std::to_string(y), "click", "1"},
                          "", {display})
                   .status == 0;
    }
    // Presses the alert's one button (at its lower right): the alert is the smaller of the
    // windows with the deinstaller's title.
    bool ClickAlertButton(const std::string& title) {
        auto found =
            RunProgram({xdotool, "search", "--onlyvisible", "--name", title}, "", {display});
        std::stringstream ids(found.output);
        std::string id;
        while (std::getline(ids, id)) {
            auto geometry =
                RunProgram({xdotool, "getwindowgeometry", "--shell", id}, "", {display}).output;
            size_t width = geometry.find("WIDTH="), height = geometry.find("HEIGHT=");
            if (width == std::string::npos || height == std::string::npos)
                continue;
            int w = std::atoi(geometry.c_str() + width + 6);
            int h = std::atoi(geometry.c_str() + height + 7);
            if (h > 250)
                continue;
            return RunProgram({xdotool, "mousemove", "--window", id, std::to_string(w - 48),
                               std::to_string(h - 23), "click", "1"},
                              "", {display})
                       .status == 0;
        }
        return false;
    }

    std::string xdotool, display;
    std::unique_ptr<Background> server;
    fs::path destination;
};

} // namespace

TEST_F(DeinstallWindowTest, RemoveClickedRemovesTheInstallation) {
    fs::path folder = destination / "Demo";
    fs::path transcript = Sandbox::MakeFolder("transcript") / "lines";
    Background deinstaller(
        {(folder / "Demo 1.0 Deinstaller").string()},
        {display, "TARNW_FRONTEND=gui", "TARNW_TRANSCRIPT=" + transcript.string()});
    // The window records its list once it is built.
    ASSERT_TRUE(
        WaitFor([&] { return ReadFile(transcript).find("\"plan\"") != std::string::npos; }, 20));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(ClickIn("Demo 1.0 Deinstaller", 506, 355)); // Remove
    // The result comes as an alert (recorded once answered), then OK in the window.
    ASSERT_TRUE(WaitFor([&] { return ClickAlertButton("Demo 1.0 Deinstaller"); }, 20));
    ASSERT_TRUE(
        WaitFor([&] { return ReadFile(transcript).find("was removed") != std::string::npos; }, 10))
        << ReadFile(transcript);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ClickIn("Demo 1.0 Deinstaller", 506, 355);
    EXPECT_EQ(deinstaller.Wait(20), 0) << ReadFile(transcript);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_NE(ReadFile(transcript).find("{\"event\":\"end\",\"status\":0}"), std::string::npos);
}

TEST_F(DeinstallWindowTest, CancelRemovesNothing) {
    fs::path folder = destination / "Demo";
    fs::path transcript = Sandbox::MakeFolder("transcript") / "lines";
    Background deinstaller(
        {(folder / "Demo 1.0 Deinstaller").string()},
        {display, "TARNW_FRONTEND=gui", "TARNW_TRANSCRIPT=" + transcript.string()});
    ASSERT_TRUE(
        WaitFor([&] { return ReadFile(transcript).find("\"plan\"") != std::string::npos; }, 20));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(ClickIn("Demo 1.0 Deinstaller", 412, 355)); // Cancel
    EXPECT_EQ(deinstaller.Wait(20), 7);
    EXPECT_TRUE(fs::exists(folder / "demo-hello"));
    EXPECT_TRUE(fs::exists(folder / "Demo 1.0 Deinstaller"));
}

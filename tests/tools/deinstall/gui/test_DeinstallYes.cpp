// The deinstaller's --yes where a display is available: it removes without asking and opens
// no window. Runs on a private X server; skipped when Xvfb is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::BackgroundProgram;
using tarnw::test::FindProgram;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;

namespace {

class DeinstallWithDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        std::string xvfb = FindProgram("Xvfb");
        if (xvfb.empty())
            GTEST_SKIP() << "Xvfb is missing";
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        server = std::make_unique<BackgroundProgram>(
            std::vector<std::string>{xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     "800x600x24", "-nolisten", "tcp"},
            std::vector<std::string>{}, Sandbox::Temp() / "xvfb.log", fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty());
        display = "DISPLAY=:" + number;

        fs::path folder = Sandbox::MakeFolder("apps");
        auto installed =
            RunProgram({tarnw::test::BuildDemo().string(), "--frontend=unattended",
                        "--accept-license", "--group=Full", "--target", folder.string()},
                       "", {"TARNW_ANSWERS="});
        ASSERT_EQ(installed.status, 0) << installed.output;
        installation = folder / "Demo";
    }

    // Runs the placed deinstaller in the background with the display and ends it after
    // 30 seconds at the latest, so that a window waiting for a click cannot hang the suite.
    int Deinstall(std::vector<std::string> options, std::vector<std::string> environment,
                  std::string& output) {
        options.insert(options.begin(), (installation / "Demo 1.0 Deinstaller").string());
        environment.push_back(display);
        fs::path log = Sandbox::MakeFolder("log") / "output";
        BackgroundProgram deinstaller(options, environment, log);
        int status = deinstaller.Wait(std::chrono::seconds(30));
        output = ReadFile(log);
        return status;
    }

    std::unique_ptr<BackgroundProgram> server;
    std::string display;
    fs::path installation;
};

} // namespace

TEST_F(DeinstallWithDisplay, YesOpensNoWindowWhereADisplayIs) {
    fs::path transcript = Sandbox::MakeFolder("transcript") / "lines";
    std::string output;
    int status = Deinstall(
        {"--yes"}, {"TARNW_FRONTEND=", "TARNW_ANSWERS=", "TARNW_TRANSCRIPT=" + transcript.string()},
        output);
    ASSERT_EQ(status, 0) << "still running (-1) or failed\n" << output;
    EXPECT_FALSE(fs::exists(installation));
    // What was decided is on standard output, as in the terminal.
    EXPECT_NE(output.find("Demo"), std::string::npos) << output;
    EXPECT_NE(ReadFile(transcript).find("{\"event\":\"end\",\"status\":0}"), std::string::npos);
}

TEST_F(DeinstallWithDisplay, YesWinsOverAWindowAskedForByTheEnvironmentOnly) {
    std::string output;
    // The environment's front-end yields to the option, as every variable does.
    EXPECT_EQ(Deinstall({"--yes"}, {"TARNW_FRONTEND=gui", "TARNW_ANSWERS="}, output), 0) << output;
    EXPECT_FALSE(fs::exists(installation));
}

// The deinstaller's command line, on the deinstaller a real installation placed.
#include <gtest/gtest.h>

#include <filesystem>

#include "DeinstallOptions.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::RunProgram;
using tarnw::test::RunResult;
using tarnw::test::Sandbox;

namespace {

// Installs the demo package into a fresh folder; returns its placed deinstaller.
fs::path InstallDemo() {
    fs::path folder = Sandbox::MakeFolder("demo");
    fs::path installer = folder / "DemoInstaller";
    auto built = tarnw::test::PackInstaller(tarnw::test::DemoManifest(), installer);
    EXPECT_EQ(built.status, 0) << built.output;
    fs::path destination = folder / "apps";
    fs::create_directories(destination);
    auto installed = RunProgram({installer.string(), "--frontend=unattended", "--accept-license",
                                 "--group=Full", "--target", destination.string()},
                                "", {"TARNW_ANSWERS="});
    EXPECT_EQ(installed.status, 0) << installed.output;
    return destination / "Demo" / "Demo 1.0 Deinstaller";
}

RunResult Deinstall(const fs::path& deinstaller, std::vector<std::string> options) {
    options.insert(options.begin(), deinstaller.string());
    return RunProgram(options, "", {"TARNW_FRONTEND=", "TARNW_ANSWERS=", "DISPLAY="});
}

} // namespace

TEST(DeinstallCommandLine, HelpVersionAndWrongOptionsRemoveNothing) {
    fs::path deinstaller = InstallDemo();
    fs::path folder = deinstaller.parent_path();

    RunResult help = Deinstall(deinstaller, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--restore"), std::string::npos) << help.output;
    RunResult version = Deinstall(deinstaller, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("Demo 1.0"), std::string::npos) << version.output;
    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"--yes", "--bogus"},
                                                  {"--yes=please"},
                                                  {"--frontend", "tui"},
                                                  {"--yes", "everything"}}) {
        RunResult refused = Deinstall(deinstaller, wrong);
        EXPECT_EQ(refused.status, 2) << wrong.back() << "\n" << refused.output;
    }
    EXPECT_TRUE(fs::is_regular_file(folder / "demo-hello"));
    EXPECT_TRUE(fs::is_regular_file(deinstaller));
}

TEST(DeinstallCommandLine, YesRemovesWithoutAskingAndWinsOverTheEnvironment) {
    fs::path deinstaller = InstallDemo();
    fs::path folder = deinstaller.parent_path();
    // Without consent an unattended run removes nothing.
    RunResult declined = Deinstall(deinstaller, {"--frontend", "unattended"});
    EXPECT_EQ(declined.status, 7) << declined.output;
    EXPECT_TRUE(fs::is_regular_file(folder / "demo-hello"));

    // The environment asks for the console; the option wins, and --yes consents.
    RunResult removed = RunProgram({deinstaller.string(), "--yes", "--frontend=unattended"}, "",
                                   {"TARNW_FRONTEND=console", "TARNW_ANSWERS=", "DISPLAY="});
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_FALSE(fs::exists(folder / "demo-hello"));
}

TEST(DeinstallCommandLine, OptionsParse) {
    DeinstallCommandLine line;
    const char* all[] = {
        "d", "--yes", "--restore", "--answers=a", "--transcript", "t", "--frontend=console"};
    ASSERT_TRUE(line.Parse(7, all)) << line.Error();
    EXPECT_TRUE(line.Options().yes);
    EXPECT_TRUE(line.Options().restore);
    EXPECT_EQ(line.Options().AnswersPath(), "a");
    EXPECT_EQ(line.Options().TranscriptPath(), "t");
    EXPECT_STREQ(line.Options().RequestedFrontend(), "console");
    const char* misspelt[] = {"d", "--restor"};
    EXPECT_FALSE(line.Parse(2, misspelt));
    EXPECT_EQ(line.Error(), "unknown option '--restor'; did you mean '--restore'?");
}

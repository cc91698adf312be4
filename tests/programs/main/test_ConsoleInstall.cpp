// The console dialogue driven through its standard input.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;

TEST(ConsoleInstall, AgreeChooseTypeToggleFilesPickFolderAndInstall) {
    fs::path installer = Sandbox::MakeFolder("console") / "DemoInstaller";
    auto built = tarnw::test::PackInstaller(tarnw::test::DemoManifest(), installer);
    ASSERT_EQ(built.status, 0) << built.output;
    fs::path destination = Sandbox::MakeFolder("dest");

    // Licence (one page): an empty line asks again, then 1 (Agree); language: keep;
    // type: 2 (Documents); files: add file 2; destination typed; install: 1; completion.
    std::string input = "\n1\n\n2\n+2\n\n" + destination.string() + "\n1\n\n";
    auto run = RunProgram({installer.string()}, input, {"TARNW_FRONTEND=console"});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("DEMO SOFTWARE LICENCE"), std::string::npos);
    EXPECT_NE(run.output.find("[x] 3) Demo Documentation"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Installation successfully completed."), std::string::npos);
    EXPECT_TRUE(fs::exists(destination / "Demo" / "demo-greet.sh"));
    EXPECT_FALSE(fs::exists(destination / "Demo" / "demo-hello"));
}

TEST(ConsoleInstall, QuittingAtTheLicenceInstallsNothing) {
    fs::path installer = Sandbox::MakeFolder("console") / "DemoInstaller";
    ASSERT_EQ(tarnw::test::PackInstaller(tarnw::test::DemoManifest(), installer).status, 0);
    auto run = RunProgram({installer.string()}, "q\n", {"TARNW_FRONTEND=console"});
    EXPECT_EQ(run.status, 6) << run.output;
    EXPECT_NE(run.output.find("not accepted"), std::string::npos);
}

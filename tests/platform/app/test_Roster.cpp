#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

#include "platform/app/Roster.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::WriteFile;

namespace {

constexpr const char* kSignature = "application/x-vnd.Test-Echo";

// An application that writes its arguments, one a line, to the file named by the first.
fs::path InstallEchoApp() {
    BPath apps;
    EXPECT_EQ(find_directory(B_APPS_DIRECTORY, &apps, true), B_OK);
    fs::path folder = fs::path(apps.Path()) / "Echo";
    fs::create_directories(folder);
    fs::path program = folder / "Echo";
    WriteFile(program, "#!/bin/sh\nout=\"$1\"; shift\nprintf '%s\\n' \"$@\" > \"$out.tmp\"\n"
                       "mv \"$out.tmp\" \"$out\"\n");
    chmod(program.c_str(), 0755);
    BFile file(program.c_str(), B_READ_WRITE);
    EXPECT_EQ(file.InitCheck(), B_OK);
    BAppFileInfo info(&file);
    EXPECT_EQ(info.SetSignature(kSignature), B_OK);
    return program;
}

std::string WaitForFile(const fs::path& path) {
    for (int i = 0; i < 500 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(path) ? ReadFile(path) : std::string("<missing>");
}

} // namespace

TEST(Roster, FindsAnApplicationBySignature) {
    fs::path program = InstallEchoApp();
    entry_ref ref;
    ASSERT_EQ(be_roster->FindApp(kSignature, &ref), B_OK);
    EXPECT_EQ(fs::path(ref.path()), program);
    // Signatures are MIME types: case does not matter.
    EXPECT_EQ(be_roster->FindApp("Application/X-Vnd.test-echo", &ref), B_OK);
    EXPECT_EQ(be_roster->FindApp("application/x-vnd.Nobody", &ref), B_LAUNCH_FAILED_APP_NOT_FOUND);
    EXPECT_EQ(be_roster->FindApp("", &ref), B_BAD_VALUE);

    // A file that carries the signature but cannot be run is no application.
    chmod(program.c_str(), 0644);
    EXPECT_EQ(be_roster->FindApp(kSignature, &ref), B_LAUNCH_FAILED_APP_NOT_FOUND);
}

TEST(Roster, LaunchPassesArgumentsLiterallyWithoutAShell) {
    fs::path program = InstallEchoApp();
    fs::path out = tarnw::test::Sandbox::MakeFolder("launch") / "args";
    std::string first = out.string();
    std::string tricky = "two words; $(touch " + out.string() + ".injected) `id` \"quoted\"";
    char* argv[] = {first.data(), tricky.data()};
    team_id team = -1;
    ASSERT_EQ(be_roster->Launch(kSignature, 2, argv, &team), B_OK);
    EXPECT_GT(team, 0);
    EXPECT_EQ(WaitForFile(out), tricky + "\n");
    EXPECT_FALSE(fs::exists(out.string() + ".injected"));

    // By reference and by path too.
    fs::path out2 = out.string() + "2";
    std::string second = out2.string();
    char* argv2[] = {second.data()};
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(program.c_str(), &ref), B_OK);
    ASSERT_EQ(be_roster->Launch(&ref, 1, argv2), B_OK);
    EXPECT_EQ(WaitForFile(out2), "\n");
    fs::path out3 = out.string() + "3";
    std::string third = out3.string();
    char* argv3[] = {third.data()};
    ASSERT_EQ(be_roster->Launch(program.c_str(), 1, argv3), B_OK);
    EXPECT_EQ(WaitForFile(out3), "\n");
}

TEST(Roster, LaunchFailuresAreReported) {
    EXPECT_EQ(be_roster->Launch("application/x-vnd.Nobody"), B_LAUNCH_FAILED_APP_NOT_FOUND);
    EXPECT_EQ(be_roster->Launch("/no/such/program"), B_ENTRY_NOT_FOUND);
    fs::path text = tarnw::test::Sandbox::MakeFolder("plain") / "readme";
    WriteFile(text, "not a program");
    EXPECT_EQ(be_roster->Launch(text.c_str()), B_LAUNCH_FAILED_EXECUTABLE);
    EXPECT_EQ(be_roster->Launch(static_cast<const char*>(nullptr)), B_BAD_VALUE);
}

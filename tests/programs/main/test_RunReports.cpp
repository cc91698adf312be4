// What a run reports beside its questions: progress in bytes in the transcript and on the
// terminal, and the path and reason behind a failure whose alert text is fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <sys/mount.h>
#include <unistd.h>

#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::RunResult;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

constexpr size_t kLargeSize = 14 * 1024 * 1024;

// A package with a large item (bytes that do not compress) between two small ones.
fs::path BuildLargePackage() {
    static fs::path installer;
    if (!installer.empty())
        return installer;
    fs::path source = Sandbox::MakeFolder("large");
    std::string large(kLargeSize, '\0');
    std::mt19937 random(7);
    for (char& c : large)
        c = char(random());
    WriteFile(source / "data.bin", large);
    WriteFile(source / "readme.txt", "Read me.\n");
    WriteFile(source / "docs" / "guide.txt", std::string(5000, 'g'));
    WriteFile(source / "manifest.json", R"json({
      "app_name": "Big", "version": "1.0", "opt_created_folder": "Big", "opt_log": true,
      "opt_compression": 1, "groups": [{"name": "All", "description": "everything"}],
      "files": [
        {"source": "readme.txt", "groups": ["All"]}, {"source": "data.bin", "groups": ["All"]},
        {"source": "docs", "groups": ["All"]}
      ]})json");
    installer = source / "BigInstaller";
    RunResult built = tarnw::test::PackInstaller(source / "manifest.json", installer);
    EXPECT_EQ(built.status, 0) << built.output;
    return installer;
}

std::vector<nlohmann::json> Events(const fs::path& transcript, const char* kind) {
    std::vector<nlohmann::json> events;
    std::istringstream lines(ReadFile(transcript));
    std::string line;
    while (std::getline(lines, line)) {
        auto event = nlohmann::json::parse(line);
        if (kind == nullptr || event["event"] == kind)
            events.push_back(event);
    }
    return events;
}

} // namespace

TEST(RunReports, ProgressInBytesNeverGoesBackAndEndsAtTheTotal) {
    fs::path destination = Sandbox::MakeFolder("apps");
    fs::path transcript = Sandbox::MakeFolder("log") / "transcript";
    RunResult run = RunProgram({BuildLargePackage().string(), "--frontend=unattended", "--target",
                                destination.string(), "--transcript=" + transcript.string()},
                               "", {"TARNW_ANSWERS="});
    ASSERT_EQ(run.status, 0) << run.output;

    auto progress = Events(transcript, "progress");
    ASSERT_GE(progress.size(), 2u);
    int64_t total = progress.front()["total"];
    // Everything the run places, the items and the deinstaller, as --info counts it.
    RunResult info = RunProgram({BuildLargePackage().string(), "--info"});
    size_t line = info.output.find("  Total ");
    ASSERT_NE(line, std::string::npos) << info.output;
    size_t open = info.output.find('(', line);
    EXPECT_EQ(total, std::stoll(info.output.substr(open + 1))) << info.output;
    int64_t deinstaller = total - int64_t(kLargeSize) - 9 - 5000;
    EXPECT_GT(deinstaller, 0);
    EXPECT_EQ(progress.front()["done"], 0);
    int64_t previous = -1;
    size_t withinLarge = 0;
    for (const auto& event : progress) {
        EXPECT_EQ(event["total"], total);
        int64_t done = event["done"];
        EXPECT_GT(done, previous) << event;
        previous = done;
        // Reports while the large item is being placed, beyond those at its ends.
        if (done > deinstaller + 9 && done < deinstaller + 9 + int64_t(kLargeSize))
            ++withinLarge;
    }
    EXPECT_GE(withinLarge, 2u);
    EXPECT_EQ(progress.back()["done"], total);

    // The last report comes before the run announces its end.
    auto all = Events(transcript, nullptr);
    size_t lastProgress = 0, complete = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i]["event"] == "progress")
            lastProgress = i;
        if (all[i]["event"] == "status" && all[i]["text"] == "Installation Complete")
            complete = i;
    }
    EXPECT_LT(lastProgress, complete);
    EXPECT_NE(run.output.find("Progress: 100% "), std::string::npos) << run.output;
}

TEST(RunReports, TheConsoleEndsWhenItsInputEndsWithNothingChosen) {
    // Language and install type kept, every file taken away, then no more input.
    RunResult run = RunProgram({BuildLargePackage().string(), "--frontend", "console"},
                               "\n\n-1 -2 -3\n", {"TARNW_ANSWERS="});
    EXPECT_EQ(run.status, 7) << run.output;
}

TEST(RunReports, TheConsoleShowsHowFarTheRunIs) {
    fs::path destination = Sandbox::MakeFolder("apps");
    // Language and install type (Enter keeps them), files (Enter), destination, Install,
    // then OK at the end.
    std::string input = "\n\n\n" + destination.string() + "\n1\n\n";
    RunResult run = RunProgram({BuildLargePackage().string(), "--frontend", "console"}, input,
                               {"TARNW_ANSWERS="});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Installing 2 of 3 (data.bin)  "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("100% "), std::string::npos);
    EXPECT_NE(run.output.find(" MB / "), std::string::npos);
}

TEST(RunReports, AFolderThatCannotBeMadeIsReportedWithItsPathAndTheReason) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a read-only volume needs root";
    fs::path volume = Sandbox::MakeFolder("readonly");
    ASSERT_EQ(mount("tmpfs", volume.c_str(), "tmpfs", MS_RDONLY, "size=64m"), 0);
    fs::path transcript = Sandbox::MakeFolder("log") / "transcript";
    RunResult run = RunProgram({BuildLargePackage().string(), "--frontend=unattended", "--target",
                                volume.string(), "--transcript", transcript.string()},
                               "", {"TARNW_ANSWERS="});
    umount(volume.c_str());
    EXPECT_EQ(run.status, 1) << run.output;

    std::string detail =
        "Unable to create installation folder '" + (volume / "Big").string() + "': ";
    // The alert keeps its words; the path and reason go to standard error and the transcript.
    auto alerts = Events(transcript, "alert");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["text"], "Unable to create installation folder 'Big'. Unable to install "
                                 "files.");
    auto errors = Events(transcript, "error");
    ASSERT_EQ(errors.size(), 1u);
    std::string text = errors[0]["text"];
    EXPECT_EQ(text.rfind(detail, 0), 0u) << text;
    EXPECT_NE(text.find("Read-only file system"), std::string::npos) << text;
    EXPECT_NE(run.output.find(text), std::string::npos) << run.output;
    EXPECT_TRUE(fs::is_empty(volume));
}

TEST(RunReports, AnItemThatCannotBePlacedIsLoggedWithItsPathAndTheReason) {
    fs::path source = Sandbox::MakeFolder("blocked");
    WriteFile(source / "tool", "#!/bin/sh\n");
    // The package places its item into a custom folder whose place is taken by a file.
    WriteFile(source / "manifest.json", R"json({
      "app_name": "Blocked", "version": "1", "opt_created_folder": "Blocked", "opt_log": true,
      "custom_folders": [{"name": "Tools", "root": "User Settings", "sub_dir": "blocked/tools",
                          "replace": false}],
      "groups": [{"name": "All", "description": "everything"}],
      "files": [{"source": "tool", "destination": "Tools", "groups": ["All"]}]})json");
    fs::path installer = source / "Installer";
    ASSERT_EQ(tarnw::test::PackInstaller(source / "manifest.json", installer).status, 0);
    fs::path settings = Sandbox::Home() / ".config";
    WriteFile(settings / "blocked", "a file where a folder should be");

    fs::path destination = Sandbox::MakeFolder("apps");
    fs::path transcript = Sandbox::MakeFolder("log") / "transcript";
    RunResult run = RunProgram({installer.string(), "--frontend=unattended", "--target",
                                destination.string(), "--transcript", transcript.string()},
                               "", {"TARNW_ANSWERS="});
    EXPECT_EQ(run.status, 4) << run.output;
    auto errors = Events(transcript, "error");
    ASSERT_FALSE(errors.empty()) << ReadFile(transcript);
    std::string text = errors[0]["text"];
    EXPECT_EQ(text.rfind("tool was not installed: ", 0), 0u) << text;
    EXPECT_NE(text.find((settings / "blocked").string()), std::string::npos) << text;
    // The log, when the run keeps it, tells the same.
    if (fs::exists(destination / "Blocked" / "Log")) {
        EXPECT_NE(ReadFile(destination / "Blocked" / "Log").find(text.substr(24)),
                  std::string::npos);
    }
    fs::remove(settings / "blocked");
}

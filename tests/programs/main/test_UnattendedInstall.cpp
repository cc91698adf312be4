// Builds installers with tarnw-pack and runs them unattended in the sandbox.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/xattr.h>

#include "platform/storage/AppFileInfo.h"
#include "platform/storage/File.h"
#include "platform/storage/MimeType.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const std::string kBin = TARNW_BIN_DIR;

using tarnw::test::BuildDemo;

using InstallRun = tarnw::test::UnattendedRun;

InstallRun Install(const fs::path& installer, const std::string& answers) {
    return tarnw::test::RunUnattended(installer, answers);
}

std::vector<std::string> Statuses(const InstallRun& run) {
    std::vector<std::string> texts;
    for (const auto& event : run.transcript)
        if (event["event"] == "status")
            texts.push_back(event["text"]);
    return texts;
}

std::vector<nlohmann::json> Alerts(const InstallRun& run) {
    std::vector<nlohmann::json> alerts;
    for (const auto& event : run.transcript)
        if (event["event"] == "alert")
            alerts.push_back(event);
    return alerts;
}

std::string Attribute(const fs::path& path, const char* name) {
    char value[1024];
    ssize_t size =
        getxattr(path.c_str(), (std::string("user.") + name).c_str(), value, sizeof value);
    return size < 0 ? "" : std::string(value, size_t(size));
}

} // namespace

TEST(UnattendedInstall, TheDemoInstallsCompletelyIntoTheChosenFolder) {
    fs::path destination = Sandbox::MakeFolder("apps");
    InstallRun run = Install(
        BuildDemo(), "license: agree\ngroup: Full\ndestination: " + destination.string() + "\n");
    ASSERT_EQ(run.status, 0) << run.output;

    fs::path folder = destination / "Demo";
    EXPECT_TRUE(fs::is_regular_file(folder / "demo-hello"));
    EXPECT_TRUE(fs::is_regular_file(folder / "demo-greet.sh"));
    EXPECT_TRUE(fs::is_regular_file(folder / "Demo 1.0 Deinstaller"));
    EXPECT_TRUE(fs::is_directory(folder / "Saved Files"));
    EXPECT_EQ(fs::status(folder / "demo-hello").permissions() & fs::perms::owner_exec,
              fs::perms::owner_exec);

    std::string identity = "Demo;1.0;December 2026;Tarnwhistle Demo Works;support@demo.invalid;";
    EXPECT_EQ(Attribute(folder / "demo-hello", "InstallBy"), identity);

    std::string log = ReadFile(folder / "Log");
    EXPECT_NE(log.find("\tInstallation Started: "), std::string::npos) << log;
    EXPECT_NE(log.find("\t\tInstalling : Demo Documentation\n"), std::string::npos);
    EXPECT_NE(log.find("\tInstallation Complete: "), std::string::npos);

    EXPECT_EQ(Statuses(run),
              (std::vector<std::string>{
                  "Checking System Resources...", "Creating deinstaller...",
                  "Installing 1 of 3 (demo-hello)", "Installing 2 of 3 (demo-greet.sh)",
                  "Installing 3 of 3 (Demo Documentation)", "Installation Complete"}));
    auto alerts = Alerts(run);
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back()["icon"], "info");
    EXPECT_EQ(alerts.back()["text"],
              "Installation successfully completed.\n\nType demo-hello in a terminal to try it.");
    EXPECT_EQ(run.transcript.back(), nlohmann::json({{"event", "end"}, {"status", 0}}));

    std::string profile = ReadFile(Sandbox::Home() / ".profile");
    EXPECT_NE(profile.find("#BEGIN_DemoPath"), std::string::npos) << profile;
}

// The window, the console and the unattended run all start the same way: the installer
// stamps its version record on itself. It registers itself for its document type only when
// a run begins: opening and closing it leaves the user's type records alone.
TEST(UnattendedInstall, EveryFrontEndRecordsItsVersionAndARunRegistersItsType) {
    ASSERT_EQ(BMimeType("text/x-tarnw").SetPreferredApp("application/x-other", B_OPEN), B_OK);
    for (const char* frontend : {"unattended", "console"}) {
        SCOPED_TRACE(frontend);
        fs::path installer = Sandbox::MakeFolder("copy") / "DemoInstaller";
        fs::copy_file(BuildDemo(), installer);

        RunProgram({installer.string()}, "q\n",
                   {std::string("TARNW_FRONTEND=") + frontend, "TARNW_ANSWERS=/dev/null"});

        BFile file(installer.c_str(), B_READ_ONLY);
        BAppFileInfo info(&file);
        version_info version{};
        ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
        EXPECT_EQ(version.major, 1u);
        EXPECT_EQ(version.middle, 3u);
        EXPECT_EQ(version.minor, 1u);
        EXPECT_STREQ(version.short_info, "Installer");
        char preferred[B_MIME_TYPE_LENGTH] = {};
        ASSERT_EQ(BMimeType("text/x-tarnw").GetPreferredApp(preferred), B_OK);
        EXPECT_STREQ(preferred, "application/x-other");
    }
    fs::path destination = Sandbox::MakeFolder("apps");
    InstallRun run = Install(
        BuildDemo(), "license: agree\ngroup: Full\ndestination: " + destination.string() + "\n");
    ASSERT_EQ(run.status, 0) << run.output;
    char preferred[B_MIME_TYPE_LENGTH] = {};
    ASSERT_EQ(BMimeType("text/x-tarnw").GetPreferredApp(preferred), B_OK);
    EXPECT_STREQ(preferred, "application/x-vnd.Kestrelwood.Tarnw");
}

// Runs that install nothing leave the home folder and the system exactly as they were:
// no type record, no empty default destination.
TEST(UnattendedInstall, ARunThatInstallsNothingLeavesNothing) {
    auto look = [] {
        return tarnw::test::TreeSnapshot::Take({Sandbox::Home(), Sandbox::Prefix()});
    };
    auto before = look();
    // Opened and quit at the licence, in the console.
    RunProgram({BuildDemo().string()}, "q\n",
               {"TARNW_FRONTEND=console", "TARNW_ANSWERS=/dev/null"});
    EXPECT_EQ(look().DifferencesFrom(before), "") << "quit at the licence";
    // The licence refused, with the default destination (not there yet).
    InstallRun refused = Install(BuildDemo(), "group: Full\n");
    EXPECT_EQ(refused.status, 6) << refused.output;
    EXPECT_EQ(look().DifferencesFrom(before), "") << "licence refused";
}

TEST(UnattendedInstall, WithoutAcceptingTheLicenceNothingIsInstalled) {
    fs::path destination = Sandbox::MakeFolder("apps");
    InstallRun run =
        Install(BuildDemo(), "group: Full\ndestination: " + destination.string() + "\n");
    EXPECT_EQ(run.status, 6);
    EXPECT_NE(run.output.find("license: agree"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::is_empty(destination));
}

TEST(UnattendedInstall, AnExistingInstallationFolderIsAskedAboutAndCancelEndsTheRun) {
    fs::path destination = Sandbox::MakeFolder("apps");
    WriteFile(destination / "Demo" / "mine.txt", "keep me");

    InstallRun cancelled = Install(
        BuildDemo(), "license: agree\ndestination: " + destination.string() + "\nanswer: Cancel\n");
    EXPECT_EQ(cancelled.status, 7) << cancelled.output;
    auto alerts = Alerts(cancelled);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["text"], "The folder 'Demo' already exists in the destination "
                                 "folder.\nDo you wish to replace?");
    EXPECT_EQ(alerts[0]["buttons"], nlohmann::json({"Cancel", "Replace"}));
    EXPECT_EQ(ReadFile(destination / "Demo" / "mine.txt"), "keep me");
    EXPECT_FALSE(fs::exists(destination / "Demo" / "Log"));

    InstallRun replaced =
        Install(BuildDemo(),
                "license: agree\ndestination: " + destination.string() + "\nanswer: Replace\n");
    EXPECT_EQ(replaced.status, 0) << replaced.output;
    EXPECT_FALSE(fs::exists(destination / "Demo" / "mine.txt"));
    // The old installation folder went to the Trash, not away.
    fs::path trash = Sandbox::Home() / ".local/share/Trash/files";
    bool found = false;
    for (const auto& entry : fs::recursive_directory_iterator(trash))
        found = found || entry.path().filename() == "mine.txt";
    EXPECT_TRUE(found);
}

TEST(UnattendedInstall, ABareInstallerReportsThatItWasImproperlyBuilt) {
    fs::path bare = Sandbox::MakeFolder("bare") / "tarnwhistle";
    fs::copy_file(kBin + "/tarnwhistle", bare);
    InstallRun run = Install(bare, "license: agree\n");
    EXPECT_EQ(run.status, 5);
    auto alerts = Alerts(run);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["icon"], "stop");
    EXPECT_EQ(alerts[0]["text"],
              "Error obtaining configuration in installer. The installer was improperly built.");
}

TEST(UnattendedInstall, UnknownChoicesInTheAnswersFileAreRefusedBeforeAnythingHappens) {
    fs::path destination = Sandbox::MakeFolder("apps");
    for (const std::string answers :
         {"license: agree\ngroup: Everything\n", "license: agree\nfiles: +nothing-like-it\n",
          "license: agree\nlanguage: xx\n", "licence: agree\n",
          "license: agree\nanswer: Replce\n"}) {
        InstallRun run =
            Install(BuildDemo(), answers + "destination: " + destination.string() + "\n");
        EXPECT_EQ(run.status, 2) << answers << run.output;
    }
    EXPECT_TRUE(fs::is_empty(destination));
}

TEST(UnattendedInstall, RefusalsNameWhatWasProbablyMeant) {
    fs::path destination = Sandbox::MakeFolder("apps");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"licence: agree\n", "unknown key \"licence\"; did you mean \"license\"?"},
        {"license: agree\ngroup: Ful\n",
         "the package has no install type \"Ful\"; did you mean \"Full\"?"},
        {"license: agree\nfiles: -demo-helo\n", "did you mean \"demo-hello\"?"},
        {"license: agree\nanswer: Replace\nanswer: Dont Replace\n",
         "line 3: answer \"Dont Replace\" names no button of any question; did you mean "
         "\"Don't Replace\"? The buttons are: \"OK\""},
        // A label of another language than the run's is not a button of its questions.
        {"license: agree\nanswer: Ersetzen\n", "answer \"Ersetzen\" names no button"},
    };
    for (const auto& [answers, message] : cases) {
        InstallRun run =
            Install(BuildDemo(), answers + "destination: " + destination.string() + "\n");
        EXPECT_EQ(run.status, 2) << answers << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
        ASSERT_GE(run.transcript.size(), 2u);
        EXPECT_EQ(run.transcript[run.transcript.size() - 2]["event"], "error");
    }
    EXPECT_TRUE(fs::is_empty(destination));
    // In the run's language its labels are buttons. The run keeps its language on the
    // installer, so it gets a copy of its own.
    fs::path copy = Sandbox::MakeFolder("german") / "DemoInstaller";
    fs::copy_file(BuildDemo(), copy);
    InstallRun german = Install(copy, "language: de\nlicense: agree\nanswer: Ersetzen\n"
                                      "destination: " +
                                          destination.string() + "\n");
    EXPECT_EQ(german.status, 0) << german.output;
}

// The installer's command line on a real package: questions that install nothing, the
// check of the installer's own file, refusals, and an installation chosen by options.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::RunResult;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

using tarnw::test::BuildDemo;

// Every entry of the sandbox with its size and modification time.
std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(Sandbox::Root())) {
        std::error_code error;
        auto size = entry.is_regular_file(error) ? entry.file_size(error) : 0;
        auto time = fs::last_write_time(entry.path(), error).time_since_epoch().count();
        entries[entry.path().string()] = std::to_string(size) + "@" + std::to_string(time);
    }
    return entries;
}

// Runs the installer with options and no front-end in the environment but unattended, so
// that a run the options did not stop installs without asking.
RunResult RunInstaller(const fs::path& installer, std::vector<std::string> options) {
    options.insert(options.begin(), installer.string());
    return RunProgram(options, "", {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=", "DISPLAY="});
}

std::vector<nlohmann::json> ReadTranscript(const fs::path& path) {
    std::vector<nlohmann::json> events;
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line))
        events.push_back(nlohmann::json::parse(line));
    return events;
}

} // namespace

TEST(InstallerCommandLine, QuestionsAreAnsweredWithoutInstallingAnything) {
    fs::path installer = BuildDemo();
    auto before = Snapshot();

    RunResult help = RunInstaller(installer, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--accept-license"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("--frontend"), std::string::npos);

    RunResult version = RunInstaller(installer, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("Demo 1.0\n"), std::string::npos) << version.output;
    EXPECT_NE(version.output.find("Tarnwhistle installer 1.3.1"), std::string::npos);

    RunResult info = RunInstaller(installer, {"--info"});
    EXPECT_EQ(info.status, 0);
    for (const char* expected :
         {"Product: Demo 1.0", "Company: Tarnwhistle Demo Works", "demo-hello", "(201 bytes)",
          "Documents - The documentation only", "Languages: en fr es de it no sv da nl pt"})
        EXPECT_NE(info.output.find(expected), std::string::npos) << expected << "\n" << info.output;

    RunResult list = RunInstaller(installer, {"--list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.output, "demo-hello\ndemo-greet.sh\nDemo Documentation\n");
    EXPECT_EQ(Snapshot(), before);

    // Help wins over everything else given with it, an installation included.
    fs::path destination = Sandbox::MakeFolder("apps");
    before = Snapshot();
    RunResult helpFirst =
        RunInstaller(installer, {"--accept-license", "--target", destination.string(), "--help"});
    EXPECT_EQ(helpFirst.status, 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST(InstallerCommandLine, CheckTellsAWholeInstallerFromADamagedOrCutOne) {
    fs::path installer = BuildDemo();
    RunResult whole = RunInstaller(installer, {"--check"});
    EXPECT_EQ(whole.status, 0) << whole.output;

    fs::path folder = Sandbox::MakeFolder("damaged");
    std::string bytes = ReadFile(installer);
    // A flipped byte among the resources appended to the program, and a copy that lost its
    // end.
    std::string flipped = bytes;
    flipped[bytes.size() - 4096] ^= 0x5a;
    WriteFile(folder / "flipped", flipped);
    WriteFile(folder / "cut", bytes.substr(0, bytes.size() - 1000));
    for (const char* name : {"flipped", "cut"}) {
        fs::permissions(folder / name, fs::perms::owner_all);
        RunResult damaged = RunInstaller(folder / name, {"--check"});
        EXPECT_EQ(damaged.status, 9) << name << "\n" << damaged.output;
        EXPECT_NE(damaged.output.find("damaged or incomplete"), std::string::npos)
            << damaged.output;
    }
}

TEST(InstallerCommandLine, AWrongOptionOrValueIsNamedAndNothingIsDone) {
    fs::path installer = BuildDemo();
    fs::path destination = Sandbox::MakeFolder("apps");
    auto before = Snapshot();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--acept-license"}, "did you mean '--accept-license'?"},
        {{"--frontend", "windowed"}, "unknown front-end 'windowed'"},
        {{"--frontend=consle"}, "did you mean 'console'?"},
        {{"--lang=xx"}, "unknown language 'xx'"},
        {{"--target"}, "option '--target' needs a value"},
        {{"--list=all"}, "option '--list' takes no value"},
        {{"--info", "--list"}, "cannot be given together"},
        {{"install"}, "unexpected argument 'install'"},
        {{"--accept-license", "--group", "Ful", "--target", destination.string()},
         "did you mean \"Full\"?"},
        {{"--accept-license", "--target", (destination / "missing").string()}, "no folder"},
    };
    for (const auto& [options, message] : cases) {
        RunResult result = RunInstaller(installer, options);
        EXPECT_EQ(result.status, 2) << options[0] << "\n" << result.output;
        EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
    }
    EXPECT_EQ(Snapshot(), before);
}

TEST(InstallerCommandLine, OptionsChooseAnUnattendedInstallationAndWinOverTheEnvironment) {
    fs::path installer = BuildDemo();
    fs::path destination = Sandbox::MakeFolder("apps");
    fs::path elsewhere = Sandbox::MakeFolder("elsewhere");
    fs::path logs = Sandbox::MakeFolder("logs");
    // The environment asks for another front-end, answers and transcript: the options win.
    WriteFile(logs / "answers", "group: Documents\ndestination: " + elsewhere.string() + "\n");
    RunResult result =
        RunProgram({installer.string(), "--frontend", "unattended", "--accept-license", "--target",
                    destination.string(), "--group=Full", "--lang", "de",
                    "--transcript=" + (logs / "transcript").string()},
                   "",
                   {"TARNW_FRONTEND=console", "TARNW_ANSWERS=" + (logs / "answers").string(),
                    "TARNW_TRANSCRIPT=" + (logs / "ignored").string()});
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(fs::is_regular_file(destination / "Demo" / "demo-hello"));
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_FALSE(fs::exists(logs / "ignored"));
    auto events = ReadTranscript(logs / "transcript");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "end"}, {"status", 0}}));
    // German status texts: the language option was taken.
    bool german = false;
    for (const auto& event : events)
        german = german || (event["event"] == "status" &&
                            event["text"].get<std::string>().find("Installiere") == 0);
    EXPECT_TRUE(german) << ReadFile(logs / "transcript");
}

TEST(InstallerCommandLine, HelpRefusalsAndReportsSpeakTheUsersLanguage) {
    fs::path installer = BuildDemo();
    auto before = Snapshot();
    auto run = [&](const std::string& locale, std::vector<std::string> options) {
        options.insert(options.begin(), installer.string());
        return RunProgram(options, "",
                          {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=", "DISPLAY=", "LANGUAGE=",
                           "LC_ALL=", "LC_MESSAGES=", "LANG=" + locale});
    };

    RunResult help = run("de_DE.UTF-8", {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Aufruf: " + installer.string()), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("--accept-license     die Lizenz annehmen"), std::string::npos);
    RunResult refused = run("de_DE.UTF-8", {"--acept-license"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("unbekannte Option „--acept-license“; meinten Sie "
                                  "„--accept-license“?"),
              std::string::npos)
        << refused.output;
    EXPECT_NE(refused.output.find("„" + installer.string() + " --help“ liefert"),
              std::string::npos);
    RunResult info = run("de_DE.UTF-8", {"--info"});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find("Produkt: Demo 1.0"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("(201 Byte)"), std::string::npos) << info.output;

    help = run("fr_FR.UTF-8", {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Utilisation : "), std::string::npos) << help.output;
    refused = run("fr_FR.UTF-8", {"--target"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("l'option « --target » demande une valeur"), std::string::npos)
        << refused.output;
    refused = run("fr_FR.UTF-8", {"--accept-license", "--group", "Ful"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("type d'installation « Ful » ; vouliez-vous dire « Full » ?"),
              std::string::npos)
        << refused.output;
    RunResult check = run("fr_FR.UTF-8", {"--check"});
    EXPECT_EQ(check.status, 0);
    EXPECT_NE(check.output.find("le programme d'installation est intact"), std::string::npos)
        << check.output;
    // The language option wins over the environment, even on a line refused for another
    // reason; what scripts read stays as it is.
    refused = run("fr_FR.UTF-8", {"--lang", "de", "--bogus"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("unbekannte Option „--bogus“"), std::string::npos)
        << refused.output;
    RunResult version = run("fr_FR.UTF-8", {"--version"});
    EXPECT_NE(version.output.find("Tarnwhistle installer 1.3.1"), std::string::npos);
    EXPECT_EQ(run("de_DE.UTF-8", {"--list"}).output,
              "demo-hello\ndemo-greet.sh\nDemo Documentation\n");
    // A locale that is none of the ten speaks English.
    refused = run("ja_JP.UTF-8", {"--bogus"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("unknown option '--bogus'"), std::string::npos);
    EXPECT_EQ(Snapshot(), before);
}

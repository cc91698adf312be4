// The deinstaller's command line, on the deinstaller a real installation placed.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "deinstall/DeinstallOptions.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::RunProgram;
using tarnw::test::RunResult;
using tarnw::test::Sandbox;

namespace {

// Installs the demo package into a fresh folder with the installer's `options`; returns
// its placed deinstaller.
fs::path InstallDemo(const std::vector<std::string>& options = {}) {
    fs::path folder = Sandbox::MakeFolder("demo");
    fs::path installer = folder / "DemoInstaller";
    auto built = tarnw::test::PackInstaller(tarnw::test::DemoManifest(), installer);
    EXPECT_EQ(built.status, 0) << built.output;
    fs::path destination = folder / "apps";
    fs::create_directories(destination);
    std::vector<std::string> argv = {installer.string(), "--frontend=unattended",
                                     "--accept-license", "--group=Full",
                                     "--target",         destination.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    auto installed = RunProgram(argv, "", {"TARNW_ANSWERS="});
    EXPECT_EQ(installed.status, 0) << installed.output;
    return destination / "Demo" / "Demo 1.0 Deinstaller";
}

// Runs the program with a terminal for its standard input and output, feeding it nothing.
// A program that waits for the user there is ended after 30 seconds (status -1).
RunResult RunInTerminal(const std::vector<std::string>& argv,
                        const std::vector<std::string>& extraEnvironment) {
    RunResult result;
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return result;
    std::string terminal = ptsname(master);
    std::vector<std::string> environment = tarnw::test::EnvironmentWith(extraEnvironment);
    std::vector<char*> args, envp;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, terminal.c_str(), O_RDWR | O_NOCTTY, 0);
    pid_t child = -1;
    int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        close(master);
        return result;
    }
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < until) {
        pollfd ready = {master, POLLIN, 0};
        if (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN)) {
            char buffer[4096];
            ssize_t got = read(master, buffer, sizeof buffer);
            if (got > 0)
                result.output.append(buffer, size_t(got));
        }
        ended = waitpid(child, &status, WNOHANG) == child;
    }
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        result.output += "\n(still waiting after 30 seconds)";
    } else {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    close(master);
    return result;
}

RunResult Deinstall(const fs::path& deinstaller, std::vector<std::string> options) {
    options.insert(options.begin(), deinstaller.string());
    return RunProgram(options, "", {"TARNW_FRONTEND=", "TARNW_ANSWERS=", "DISPLAY="});
}

// The deinstaller run under the locale `locale` (LANG, with nothing else set).
RunResult DeinstallIn(const fs::path& deinstaller, const std::string& locale,
                      std::vector<std::string> options) {
    options.insert(options.begin(), deinstaller.string());
    return RunProgram(options, "",
                      {"TARNW_FRONTEND=", "TARNW_ANSWERS=", "DISPLAY=", "LANGUAGE=", "LC_ALL=",
                       "LC_MESSAGES=", "LANG=" + locale});
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

TEST(DeinstallCommandLine, YesInATerminalRemovesWithoutWaitingForTheUser) {
    fs::path deinstaller = InstallDemo();
    fs::path folder = deinstaller.parent_path();
    RunResult removed = RunInTerminal({deinstaller.string(), "--yes"},
                                      {"TARNW_FRONTEND=", "TARNW_ANSWERS=", "DISPLAY="});
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_FALSE(fs::exists(folder));
    // The result is told, not asked.
    EXPECT_NE(removed.output.find("Demo 1.0 was removed."), std::string::npos) << removed.output;
}

TEST(DeinstallCommandLine, HelpAndRefusalsSpeakTheUsersLanguage) {
    fs::path deinstaller = InstallDemo();
    auto run = [&](const std::string& locale, const std::vector<std::string>& options) {
        return DeinstallIn(deinstaller, locale, options);
    };
    RunResult help = run("de_DE.UTF-8", {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--yes                ohne Rückfrage und ohne Fenster entfernen"),
              std::string::npos)
        << help.output;
    RunResult refused = run("de_DE.UTF-8", {"--restor"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("unbekannte Option „--restor“; meinten Sie „--restore“?"),
              std::string::npos)
        << refused.output;

    help = run("fr_FR.UTF-8", {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("supprime sans rien demander et sans fenêtre"), std::string::npos)
        << help.output;
    refused = run("fr_FR.UTF-8", {"--yes=please"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("l'option « --yes » ne prend pas de valeur"), std::string::npos)
        << refused.output;
    EXPECT_NE(refused.output.find("pour plus d'informations"), std::string::npos);
    fs::path answers = Sandbox::MakeFolder("answers") / "remove";
    tarnw::test::WriteFile(answers, "remove: yes\nlanguage: xx\n");
    refused = run("fr_FR.UTF-8", {"--frontend=unattended", "--answers", answers.string()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("langue inconnue « xx »"), std::string::npos) << refused.output;
    EXPECT_TRUE(fs::is_regular_file(deinstaller.parent_path() / "demo-hello"));
}

TEST(DeinstallCommandLine, TheRunSpeaksTheLanguageAskedForElseTheLocaleElseTheInstallations) {
    fs::path deinstaller = InstallDemo({"--lang=it"});
    fs::path folder = deinstaller.parent_path();
    auto declined = [&](const std::string& locale, std::vector<std::string> options) {
        options.insert(options.begin(), "--frontend=unattended");
        RunResult result = DeinstallIn(deinstaller, locale, options);
        EXPECT_EQ(result.status, 7) << result.output;
        return result.output;
    };
    // Without a locale the installation's language (kept on the deinstaller) speaks.
    EXPECT_NE(declined("C.UTF-8", {}).find("Non è stato rimosso nulla."), std::string::npos);
    std::string said = declined("de_DE.UTF-8", {});
    EXPECT_NE(said.find("Es wurde nichts entfernt."), std::string::npos) << said;
    said = declined("de_DE.UTF-8", {"--lang", "fr"});
    EXPECT_NE(said.find("Rien n'a été supprimé."), std::string::npos) << said;

    // The answers file's language is a choice as well; --lang wins over it.
    fs::path answers = Sandbox::MakeFolder("answers") / "keep";
    tarnw::test::WriteFile(answers, "remove: no\nlanguage: sv\n");
    said = declined("de_DE.UTF-8", {"--answers", answers.string()});
    EXPECT_NE(said.find("Inget togs bort."), std::string::npos) << said;
    said = declined("de_DE.UTF-8", {"--answers", answers.string(), "--lang=fr"});
    EXPECT_NE(said.find("Rien n'a été supprimé."), std::string::npos) << said;

    RunResult refused = DeinstallIn(deinstaller, "de_DE.UTF-8", {"--lang=xx", "--yes"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.output.find("unbekannte Sprache „xx“"), std::string::npos) << refused.output;
    EXPECT_TRUE(fs::is_regular_file(folder / "demo-hello"));

    // Neither the locale nor --lang changed the language the installation keeps.
    EXPECT_NE(declined("C", {}).find("Non è stato rimosso nulla."), std::string::npos);
    RunResult removed = DeinstallIn(deinstaller, "de_DE.UTF-8", {"--yes"});
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_NE(removed.output.find("Demo 1.0 wurde entfernt."), std::string::npos) << removed.output;
    EXPECT_FALSE(fs::exists(folder / "demo-hello"));
}

TEST(DeinstallCommandLine, OptionsParse) {
    DeinstallCommandLine line;
    const char* all[] = {
        "d",        "--yes", "--restore", "--answers=a", "--transcript", "t", "--frontend=console",
        "--lang=sv"};
    ASSERT_TRUE(line.Parse(8, all)) << line.Error();
    EXPECT_EQ(line.Options().language, "sv");
    EXPECT_TRUE(line.Options().yes);
    EXPECT_TRUE(line.Options().restore);
    EXPECT_EQ(line.Options().AnswersPath(), "a");
    EXPECT_EQ(line.Options().TranscriptPath(), "t");
    EXPECT_STREQ(line.Options().RequestedFrontend(), "console");
    const char* misspelt[] = {"d", "--restor"};
    EXPECT_FALSE(line.Parse(2, misspelt));
    EXPECT_EQ(line.Error(), "unknown option '--restor'; did you mean '--restore'?");
}

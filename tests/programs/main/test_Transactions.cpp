// Installations as transactions, with real installer processes and real faults: signals,
// kill -9 at several instants, a volume that runs out of room, two installers at once.
// Each compares the whole sandbox (entries, contents, modes, user attributes; the Trash
// aside) before and after.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/storage/MimeType.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

extern char** environ;

namespace {

constexpr int kItems = 6;

// Items of incompressible data, so that a run lasts long enough to be caught in the middle;
// a settings file that replaces the user's (saved), a link on the desktop and, with
// `edits`, a block in the user's profile.
fs::path BuildPackage(const std::string& name, bool edits) {
    fs::path package = Sandbox::MakeFolder("package");
    std::string files;
    for (int i = 1; i <= kItems; i++) {
        std::string data(2 * 1024 * 1024, '\0');
        uint32_t state = 2463534242u + uint32_t(i);
        for (char& c : data) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            c = char(state);
        }
        WriteFile(package / ("item" + std::to_string(i)), data);
        files += R"({"source": "item)" + std::to_string(i) +
                 R"(", "groups": ["All"], "destination": "User Selected", "deinstallable": true},)";
    }
    WriteFile(package / "prod.conf", "new=1\n");
    WriteFile(package / "tree" / "a.txt", "a");
    WriteFile(package / "tree" / "b" / "c.txt", "c");
    std::string manifest =
        R"({
      "app_name": "Prod", "version": "1.0", "release_date": "today", "company": "Makers",
      "support_email": "help@makers.invalid",
      "opt_created_folder": "Prod", "opt_log": true, "opt_save_replaced": true,
      "groups": [{"name": "All", "description": "everything"}],)" +
        std::string(edits ? R"("edit_profile": true, "edit_profile_tag": "ProdPath",
      "edit_profile_contents": "export PATH=$PATH:/prod",)"
                          : "") +
        R"("files": [)" + files + R"(
        {"source": "tree", "groups": ["All"], "destination": "User Selected", "link": "Desktop",
         "deinstallable": true},
        {"source": "prod.conf", "groups": ["All"], "destination": "User Settings",
         "destination_exists": "Replace", "deinstallable": true}]})";
    WriteFile(package / "manifest.json", manifest);
    fs::path installer = Sandbox::MakeFolder("installer") / name;
    auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
    EXPECT_EQ(built.status, 0) << built.output;
    return installer;
}

// An installer or deinstaller running unattended in the background.
class Running {
public:
    // With `console` the answers are the console dialogue's standard input.
    Running(const fs::path& program, const std::string& answers, bool console = false) {
        fs::path folder = Sandbox::MakeFolder("run");
        WriteFile(folder / "answers", answers);
        output = folder / "output";
        transcript = folder / "transcript";
        std::vector<std::string> environment = tarnw::test::EnvironmentWith(
            {console ? "TARNW_FRONTEND=console" : "TARNW_FRONTEND=unattended",
             "TARNW_ANSWERS=" + (folder / "answers").string(),
             "TARNW_TRANSCRIPT=" + transcript.string()});
        std::string input = console ? (folder / "answers").string() : "/dev/null";
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string path = program.string();
        char* argv[] = {path.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
        if (posix_spawn(&fPid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            fPid = -1;
        // The run at a lower priority than this process, which watches its journal to hold it
        // at a given change: on a loaded machine the run could otherwise write everything
        // before the watcher is scheduled again.
        if (fPid > 0)
            setpriority(PRIO_PROCESS, id_t(fPid), 10);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Running() {
        if (fPid > 0 && fStatus < 0) {
            kill(fPid, SIGKILL);
            Wait();
        }
    }
    // Holds the run where it is, so that a signal sent next finds it there however slowly
    // this process is scheduled; Signal lets it go on.
    void Pause() { kill(fPid, SIGSTOP); }
    void Signal(int signal) {
        kill(fPid, signal);
        kill(fPid, SIGCONT);
    }
    // The exit status, or 128 + the signal that ended it.
    int Wait() {
        if (fStatus >= 0)
            return fStatus;
        int status = 0;
        for (int i = 0; i < 3000; i++) {
            pid_t done = waitpid(fPid, &status, WNOHANG);
            if (done == fPid) {
                fStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return fStatus;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(fPid, SIGKILL);
        waitpid(fPid, &status, 0);
        fStatus = 999;
        return fStatus;
    }
    std::string Output() const { return ReadFile(output); }
    std::string Transcript() const { return ReadFile(transcript); }

    fs::path output, transcript;

private:
    pid_t fPid = -1;
    int fStatus = -1;
};

class Transactions : public ::testing::Test {
protected:
    void SetUp() override {
        destination = Sandbox::MakeFolder("apps");
        WriteFile(Sandbox::Home() / ".profile", "# mine\nexport EDITOR=vi\n");
        WriteFile(Sandbox::Home() / ".config" / "prod.conf", "old=1\n");
        fs::permissions(Sandbox::Home() / ".config" / "prod.conf", fs::perms(0640));
        fs::create_directories(Sandbox::Home() / "Desktop");
        // Every installer registers itself for its document type as it starts; a run that
        // is undone or removed takes that record away again when it was the one to make it.
        before = Look();
    }

    TreeSnapshot Look() const {
        return TreeSnapshot::Take({Sandbox::Home(), Sandbox::Prefix(), destination});
    }
    std::string Answers(const std::string& more = "") const {
        return "license: agree\ndestination: " + destination.string() + "\n" + more;
    }
    fs::path Journal() const { return destination / ".Prod.tarnw-journal"; }
    fs::path Deinstaller() const { return destination / "Prod" / "Prod 1.0 Deinstaller"; }

    // Waits until the running installer's journal holds `records` records (0: until it
    // names the item `leaf`). False when the run ended first.
    bool WaitForJournal(Running& run, size_t records, const std::string& leaf = "") {
        bool seen = false;
        for (int i = 0; i < 200000; i++) {
            std::string text = ReadFile(Journal());
            size_t lines = size_t(std::count(text.begin(), text.end(), '\n'));
            if (leaf.empty() ? lines > records
                             : text.find("/Prod/" + leaf + "\n") != std::string::npos) {
                run.Pause();
                return true;
            }
            // Once begun, a journal that goes means the run has ended.
            if (seen && lines == 0)
                return false;
            seen = seen || lines > 0;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        return false;
    }

    void ExpectAsBefore(const std::string& context) {
        TreeSnapshot after = Look();
        EXPECT_TRUE(after == before) << context << "\n" << after.DifferencesFrom(before);
    }

    fs::path destination;
    TreeSnapshot before;
};

const fs::path& EditingInstaller() {
    static fs::path installer = BuildPackage("EditingInstaller", true);
    return installer;
}

const fs::path& PlainInstaller() {
    static fs::path installer = BuildPackage("PlainInstaller", false);
    return installer;
}

TEST_F(Transactions, ASignalStopsTheRunAndTheDefaultUndoLeavesNoTrace) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        Running run(EditingInstaller(), Answers());
        ASSERT_TRUE(WaitForJournal(run, 0, "item2")) << run.Output();
        run.Signal(signal);
        EXPECT_EQ(run.Wait(), 8) << strsignal(signal) << "\n" << run.Output();
        std::string transcript = run.Transcript();
        EXPECT_NE(transcript.find("Installation was stopped before it could complete."),
                  std::string::npos);
        // The question is recorded as any alert, answered with its first button (Undo).
        EXPECT_NE(transcript.find(R"("answer":0,"buttons":["Undo","Keep"])"), std::string::npos)
            << transcript;
        ExpectAsBefore(strsignal(signal));
    }
}

TEST_F(Transactions, TheConsoleStopsOnCtrlCAndUndoesAtTheEndOfItsInput) {
    // Language, install type and files kept; the destination typed; Install.
    Running run(EditingInstaller(), "\n\n\n" + destination.string() + "\n1\n", true);
    ASSERT_TRUE(WaitForJournal(run, 0, "item2")) << run.Output();
    run.Signal(SIGINT);
    EXPECT_EQ(run.Wait(), 8) << run.Output();
    EXPECT_NE(run.Output().find("Undoing the installation..."), std::string::npos) << run.Output();
    ExpectAsBefore("after Ctrl-C in the console");
}

TEST_F(Transactions, KeepingAStoppedRunLeavesADeinstallerThatRemovesIt) {
    Running run(EditingInstaller(), Answers("on_failure: keep\n"));
    ASSERT_TRUE(WaitForJournal(run, 0, "item3")) << run.Output();
    run.Signal(SIGTERM);
    ASSERT_EQ(run.Wait(), 8) << run.Output();
    EXPECT_FALSE(fs::exists(Journal()));
    EXPECT_TRUE(fs::exists(destination / "Prod" / "item1"));
    ASSERT_TRUE(fs::exists(Deinstaller()));
    for (const auto& entry : fs::directory_iterator(destination / "Prod"))
        EXPECT_EQ(entry.path().filename().string().rfind(".tarnw-", 0), std::string::npos)
            << entry.path();

    auto removal = tarnw::test::RunUnattended(Deinstaller(), "remove: yes\nrestore: yes\n");
    EXPECT_EQ(removal.status, 0) << removal.output;
    EXPECT_EQ(removal.output.find("Nothing of"), std::string::npos) << removal.output;
    EXPECT_FALSE(fs::exists(destination / "Prod"));
    EXPECT_EQ(ReadFile(Sandbox::Home() / ".config" / "prod.conf"), "old=1\n");
    // Down to the record the installer made of its document type as it started.
    ExpectAsBefore("kept, then removed");
}

TEST_F(Transactions, AKilledRunIsUndoneByItsDeinstallerOrByTheNextRun) {
    // Instants: at the start, between the folder and the deinstaller, in the middle of the
    // items, near the end.
    const size_t instants[] = {1, 4, 7, 11};
    for (size_t instant : instants) {
        for (bool byDeinstaller : {true, false}) {
            std::string context = "killed after " + std::to_string(instant) + " records, then " +
                                  (byDeinstaller ? "the deinstaller" : "a new run");
            {
                Running run(PlainInstaller(), Answers());
                ASSERT_TRUE(WaitForJournal(run, instant)) << context << "\n" << run.Output();
                run.Signal(SIGKILL);
                EXPECT_EQ(run.Wait(), 128 + SIGKILL) << context;
            }
            // Killed in the middle: the journal is there to tell what the run did.
            ASSERT_TRUE(fs::exists(Journal())) << context;
            if (byDeinstaller && fs::exists(Journal()) && fs::exists(Deinstaller())) {
                auto removal = tarnw::test::RunUnattended(Deinstaller(), "remove: yes\n");
                EXPECT_EQ(removal.status, 0) << context << "\n" << removal.output;
                EXPECT_EQ(removal.output.find("Nothing of"), std::string::npos) << removal.output;
                ExpectAsBefore(context);
                continue;
            }
            auto again = tarnw::test::RunUnattended(PlainInstaller(), Answers("answer: Replace\n"));
            ASSERT_EQ(again.status, 0) << context << "\n" << again.output;
            // The user is told before the unfinished run is undone.
            EXPECT_NE(
                again.output.find("did not finish. It will be undone before this one begins."),
                std::string::npos)
                << again.output;
            for (int i = 1; i <= kItems; i++)
                EXPECT_EQ(fs::file_size(destination / "Prod" / ("item" + std::to_string(i))),
                          2u * 1024 * 1024)
                    << context;
            auto removal = tarnw::test::RunUnattended(Deinstaller(), "remove: yes\nrestore: yes\n");
            EXPECT_EQ(removal.status, 0) << context << "\n" << removal.output;
            ExpectAsBefore(context);
        }
    }
}

TEST_F(Transactions, TwoInstallersAtOnceGiveOneWholeInstallation) {
    // The second run puts the first's installation folder in the Trash, and with it what
    // the first had saved: the settings file is left out so that the comparison holds.
    fs::remove(Sandbox::Home() / ".config" / "prod.conf");
    before = Look();
    Running first(PlainInstaller(), Answers("answer: Replace\n"));
    Running second(PlainInstaller(), Answers("answer: Replace\n"));
    int a = first.Wait();
    int b = second.Wait();
    // The second either waits for the first and installs after it, or, when the first had
    // made the folder already, is told so and answers Replace.
    EXPECT_EQ(a, 0) << first.Output();
    EXPECT_EQ(b, 0) << second.Output();
    for (int i = 1; i <= kItems; i++)
        EXPECT_EQ(fs::file_size(destination / "Prod" / ("item" + std::to_string(i))),
                  2u * 1024 * 1024);
    EXPECT_EQ(ReadFile(destination / "Prod" / "tree" / "b" / "c.txt"), "c");
    EXPECT_FALSE(fs::exists(Journal()));
    EXPECT_FALSE(fs::exists(destination / ".Prod.tarnw-lock"));
    auto removal = tarnw::test::RunUnattended(Deinstaller(), "remove: yes\nrestore: yes\n");
    EXPECT_EQ(removal.status, 0) << removal.output;
    ExpectAsBefore("after the deinstaller");
}

// A tmpfs mounted at a new folder of the sandbox for the life of the object.
struct Volume {
    explicit Volume(const std::string& options) : path(Sandbox::MakeFolder("volume")) {
        mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
        EXPECT_TRUE(mounted) << strerror(errno);
    }
    ~Volume() {
        if (mounted)
            umount2(path.c_str(), MNT_DETACH);
    }
    fs::path path;
    bool mounted = false;
};

TEST_F(Transactions, AVolumeTooSmallIsRefusedBeforeAnythingIsWritten) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a volume needs root";
    // The items take 12 MiB; with the deinstaller they need more than 13. Or room in bytes,
    // but for too few files.
    for (const char* options : {"size=13m", "size=64m,nr_inodes=16"}) {
        Volume volume(options);
        ASSERT_TRUE(volume.mounted);
        fs::path saved = destination;
        destination = volume.path;
        before = Look();
        Running run(PlainInstaller(), Answers());
        EXPECT_EQ(run.Wait(), 3) << options << "\n" << run.Output();
        std::string transcript = run.Transcript();
        EXPECT_NE(transcript.find(R"("icon":"stop","text":"Installation requires )"),
                  std::string::npos)
            << transcript;
        EXPECT_NE(
            transcript.find("the destination volume '" + volume.path.filename().string() + "'"),
            std::string::npos)
            << transcript;
        // No folder, no journal, no lock file: nothing at all.
        EXPECT_TRUE(fs::is_empty(volume.path)) << options;
        ExpectAsBefore(options);
        destination = saved;
    }
}

TEST_F(Transactions, ALinkFolderWithoutRoomIsRefusedAndTheDefaultFolderMadeForTheRunGoes) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a volume needs root";
    fs::path package = Sandbox::MakeFolder("linked");
    WriteFile(package / "tool", "#!/bin/sh\n");
    WriteFile(package / "manifest.json", R"({
      "app_name": "Linked", "version": "1", "opt_created_folder": "Linked",
      "opt_default_folder": "Applications",
      "groups": [{"name": "All", "description": "everything"}],
      "files": [{"source": "tool", "groups": ["All"], "link": "Desktop"}]})");
    fs::path installer = package / "Installer";
    ASSERT_EQ(tarnw::test::PackInstaller(package / "manifest.json", installer).status, 0);
    // Root installs applications into the prefix's opt folder, made for the run.
    ASSERT_FALSE(fs::exists(Sandbox::Prefix() / "opt"));
    // The desktop's root folder takes the only node it has.
    Volume desktop("size=1m,nr_inodes=1");
    ASSERT_TRUE(desktop.mounted);
    ASSERT_EQ(mount(desktop.path.c_str(), (Sandbox::Home() / "Desktop").c_str(), nullptr, MS_BIND,
                    nullptr),
              0)
        << strerror(errno);
    before = Look();
    Running run(installer, "license: agree\n");
    EXPECT_EQ(run.Wait(), 3) << run.Output();
    EXPECT_NE(run.Output().find("the destination volume '"), std::string::npos) << run.Output();
    ExpectAsBefore("after the refusal");
    umount2((Sandbox::Home() / "Desktop").c_str(), MNT_DETACH);
}

TEST_F(Transactions, AVolumeThatRunsOutOfRoomEndsInAnUndo) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a volume needs root";
    // There is room when the run begins; something else fills the volume in its middle.
    Volume volume("size=64m");
    ASSERT_TRUE(volume.mounted);
    fs::path saved = destination;
    destination = volume.path;
    before = Look();
    Running run(PlainInstaller(), Answers());
    // Held at its first change, when every item is still to be written: held later, a
    // loaded machine let it write the rest before the hold took effect.
    ASSERT_TRUE(WaitForJournal(run, 0)) << run.Output();
    {
        int fd = open((volume.path / ".filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        std::string block(1 << 20, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        close(fd);
    }
    run.Signal(SIGCONT);
    EXPECT_EQ(run.Wait(), 4) << run.Output();
    EXPECT_NE(run.Output().find("Undoing the installation..."), std::string::npos) << run.Output();
    EXPECT_NE(run.Output().find("No space left on device"), std::string::npos) << run.Output();
    fs::remove(volume.path / ".filler");
    ExpectAsBefore("after the volume ran out of room");
    destination = saved;
}

} // namespace

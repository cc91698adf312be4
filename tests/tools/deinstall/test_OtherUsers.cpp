// Another user shares the destination (a sticky 1777 folder, a group-writable 2775 folder,
// or that user's own home) and plants what root's installer and deinstaller will find
// there: journals and records naming system files, FIFOs and links under the journal's and
// the lock's names, a lock held for ever, a swapped installation folder. Root then installs,
// recovers and deinstalls: nothing outside the package's places changes, nothing hangs, and
// what was set aside is named. The other user is real (uid 65534 through setpriv).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "engine/InstalledRecord.h"
#include "engine/Journal.h"
#include "engine/RunLock.h"
#include "platform/app/Message.h"
#include "platform/storage/MimeType.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::RunResult;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

constexpr uid_t kOther = 65534;

const char* kManifest = R"json({
  "app_name": "Tool", "version": "2.0", "release_date": "today", "company": "Makers",
  "support_email": "help@makers.invalid",
  "opt_created_folder": "Tool", "opt_log": true, "opt_save_replaced": true,
  "groups": [{"name": "All", "description": "everything"}],
  "files": [{"source": "tool", "groups": ["All"], "destination": "User Selected",
             "deinstallable": true}]
})json";

enum class Shared { Sticky, Group, TheirHome };

std::string NameOf(Shared kind) {
    switch (kind) {
    case Shared::Sticky:
        return "sticky";
    case Shared::Group:
        return "group";
    case Shared::TheirHome:
        return "their-home";
    }
    return "";
}

bool MentionsInAnError(const tarnw::test::UnattendedRun& run, const std::string& text) {
    for (const nlohmann::json& event : run.transcript) {
        if (event.value("event", "") == "error" &&
            event.value("text", "").find(text) != std::string::npos)
            return true;
    }
    return false;
}

class OtherUsers : public ::testing::TestWithParam<Shared> {
protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root, to be root facing another user";
        if (tarnw::test::FindProgram("setpriv").empty())
            GTEST_SKIP() << "needs setpriv to act as another user";
        // The other user reaches the shared folders through the sandbox.
        for (fs::path level = Sandbox::Root() / "work"; level != level.root_path();
             level = level.parent_path()) {
            struct stat info;
            if (stat(level.c_str(), &info) == 0 && (info.st_mode & S_IXOTH) == 0)
                chmod(level.c_str(), (info.st_mode & 07777) | 0711);
            if (level == Sandbox::Root().parent_path())
                break;
        }
        RunResult reach = AsOther({"test", "-x", (Sandbox::Root() / "work").string()});
        if (reach.status != 0)
            GTEST_SKIP() << "uid 65534 cannot reach the sandbox " << Sandbox::Root() << ": "
                         << reach.output;

        fs::path package = Sandbox::MakeFolder("package");
        WriteFile(package / "manifest.json", kManifest);
        WriteFile(package / "tool", "#!/bin/sh\necho tool\n");
        installer = Sandbox::MakeFolder("installer") / "ToolInstaller";
        auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
        ASSERT_EQ(built.status, 0) << built.output;

        // Files only root may change, in a folder standing for /etc.
        decoy = Sandbox::MakeFolder("etc");
        WriteFile(decoy / "passwd", "root:x:0:0\n");
        WriteFile(decoy / "victim", "precious\n");
        WriteFile(decoy / "tree" / "leaf", "precious\n");
        fs::create_directories(decoy / "cron.d");
        staging = Sandbox::MakeFolder("staging");
        chmod(staging.c_str(), 0755);

        destination = Sandbox::MakeFolder(NameOf(GetParam()));
        switch (GetParam()) {
        case Shared::Sticky:
            chmod(destination.c_str(), 01777);
            break;
        case Shared::Group:
            ASSERT_EQ(chown(destination.c_str(), 0, kOther), 0);
            chmod(destination.c_str(), 02775);
            break;
        case Shared::TheirHome:
            ASSERT_EQ(chown(destination.c_str(), kOther, kOther), 0);
            chmod(destination.c_str(), 0755);
            break;
        }
        installFolder = destination / "Tool";
        deinstaller = installFolder / "Tool 2.0 Deinstaller";
        journal = Journal::PathFor(installFolder.string());
        lock = Journal::LockPathFor(installFolder.string());
        decoyBefore = TreeSnapshot::Take({decoy});
    }

    static RunResult AsOther(const std::vector<std::string>& argv) {
        std::vector<std::string> command = {tarnw::test::FindProgram("setpriv"),
                                            "--reuid",
                                            "65534",
                                            "--regid",
                                            "65534",
                                            "--clear-groups",
                                            "--"};
        command.insert(command.end(), argv.begin(), argv.end());
        return RunProgram(command);
    }

    // The other user writes `bytes` to `path` (the file is theirs).
    void PlantFile(const fs::path& path, const std::string& bytes) {
        fs::path staged = staging / ("planted-" + std::to_string(++fPlanted));
        WriteFile(staged, bytes);
        chmod(staged.c_str(), 0644);
        RunResult copied = AsOther({"cp", staged.string(), path.string()});
        ASSERT_EQ(copied.status, 0) << copied.output;
    }

    // A journal naming the decoy's files, as found in the issue's attack.
    std::string ForgedJournal(bool committed) {
        std::string theirs = (destination / "theirs").string();
        std::string bytes = "tarnw-journal\t2\t" + installFolder.string() + "\t1\tTool 2.0\n";
        bytes += "entry\t" + (decoy / "victim").string() + "\n";
        bytes += "folder\t" + (decoy / "tree").string() + "\n";
        bytes += "move\t" + (decoy / "cron.d" / "evil").string() + "\t" + theirs + "\n";
        bytes += "before\t" + (decoy / "passwd").string() + "\t" + theirs + "\n";
        bytes += "trash\t" + (decoy / "victim").string() + "\t" + theirs + "\t" +
                 (decoy / "tree" / "leaf").string() + "\n";
        if (committed)
            bytes += "commit\n";
        return bytes;
    }

    tarnw::test::UnattendedRun Install(const std::string& extra = "") {
        return tarnw::test::RunUnattended(
            installer, "license: agree\ndestination: " + destination.string() + "\n" + extra);
    }

    tarnw::test::UnattendedRun Deinstall() {
        return tarnw::test::RunUnattended(deinstaller, "remove: yes\n");
    }

    void ExpectDecoyUntouched() {
        EXPECT_EQ(TreeSnapshot::Take({decoy}).DifferencesFrom(decoyBefore), "");
    }

    fs::path installer, decoy, staging, destination, installFolder, deinstaller;
    std::string journal, lock;
    TreeSnapshot decoyBefore;

private:
    int fPlanted = 0;
};

TEST_P(OtherUsers, APlantedJournalIsSetAsideByTheInstallerAndTheDeinstaller) {
    PlantFile(destination / "theirs", "their file\n");
    PlantFile(journal, ForgedJournal(false));
    // The installer's own document type is registered by every installer that starts.
    ASSERT_EQ(
        BMimeType("text/x-tarnw").SetPreferredApp("application/x-vnd.Kestrelwood.Tarnw", B_OPEN),
        B_OK);
    auto everything = [&] {
        return TreeSnapshot::Take({destination, decoy, Sandbox::Home(), Sandbox::Prefix()});
    };
    TreeSnapshot untouched = everything();

    auto install = Install();
    ASSERT_EQ(install.status, 0) << install.output;
    EXPECT_NE(install.output.find(journal), std::string::npos) << install.output;
    EXPECT_TRUE(MentionsInAnError(install, journal)) << install.output;
    ExpectDecoyUntouched();
    EXPECT_EQ(ReadFile(destination / "theirs"), "their file\n");

    // A committed one, planted beside the finished installation, is not settled either.
    PlantFile(journal, ForgedJournal(true));
    auto removed = Deinstall();
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_TRUE(MentionsInAnError(removed, journal)) << removed.output;
    ExpectDecoyUntouched();
    EXPECT_FALSE(fs::exists(installFolder));
    // Only the planted journal differs (planted again, with other bytes).
    fs::remove(journal);
    PlantFile(journal, ForgedJournal(false));
    EXPECT_EQ(everything().DifferencesFrom(untouched), "");
}

TEST_P(OtherUsers, FifosAndLinksUnderTheJournalsAndTheLocksNamesNeverBlock) {
    ASSERT_EQ(AsOther({"mkfifo", journal}).status, 0);
    auto start = std::chrono::steady_clock::now();
    auto install = Install();
    ASSERT_EQ(install.status, 0) << install.output;
    EXPECT_TRUE(MentionsInAnError(install, journal)) << install.output;

    ASSERT_EQ(AsOther({"mkfifo", journal}).status, 0);
    auto removed = Deinstall();
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_TRUE(MentionsInAnError(removed, journal)) << removed.output;
    AsOther({"rm", "-f", journal});

    ASSERT_EQ(AsOther({"mkfifo", lock}).status, 0);
    auto fifoLock = Install();
    EXPECT_EQ(fifoLock.status, 1) << fifoLock.output;
    EXPECT_TRUE(MentionsInAnError(fifoLock, lock)) << fifoLock.output;
    AsOther({"rm", "-f", lock});

    ASSERT_EQ(AsOther({"ln", "-s", (decoy / "passwd").string(), lock}).status, 0);
    auto linkLock = Install();
    EXPECT_EQ(linkLock.status, 1) << linkLock.output;
    EXPECT_TRUE(MentionsInAnError(linkLock, lock)) << linkLock.output;
    EXPECT_FALSE(fs::exists(installFolder));
    ExpectDecoyUntouched();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(2));
}

TEST_P(OtherUsers, ALockHeldByAnotherUsersProcessIsRefusedAfterAShortWait) {
    ASSERT_EQ(Install().status, 0);
    fs::path output = staging / "flock.out";
    tarnw::test::BackgroundProgram holder({tarnw::test::FindProgram("setpriv"), "--reuid", "65534",
                                           "--regid", "65534", "--clear-groups", "--", "flock",
                                           lock, "sleep", "120"},
                                          {}, output);
    ASSERT_TRUE(holder.Started());
    for (int i = 0; i < 100 && !fs::exists(lock); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(fs::exists(lock));
    TreeSnapshot installed = TreeSnapshot::Take({destination});

    auto removed = Deinstall();
    EXPECT_EQ(removed.status, 8) << removed.output;
    EXPECT_TRUE(MentionsInAnError(removed, lock)) << removed.output;
    auto again = Install("answer: Replace\n");
    EXPECT_EQ(again.status, 1) << again.output;
    EXPECT_TRUE(MentionsInAnError(again, lock)) << again.output;
    EXPECT_EQ(TreeSnapshot::Take({destination}).DifferencesFrom(installed), "");
    holder.Signal(SIGKILL);
    holder.Wait(std::chrono::seconds(10));
}

TEST_P(OtherUsers, AForgedRecordOfAnEarlierInstallationIsNotTakenOver) {
    ASSERT_EQ(Install().status, 0);
    // The list root's installation wrote, with an entry added that names a system file.
    BMessage list;
    std::string error;
    ASSERT_TRUE(InstalledRecord::Read(deinstaller.string(), list, error)) << error;
    list.AddString("created_entry", (decoy / "victim").string().c_str());
    list.AddString("created_folder", (decoy / "tree").string().c_str());
    fs::path forged = staging / deinstaller.filename();
    ASSERT_TRUE(InstalledRecord::Write(forged.string(), list, error)) << error;
    std::string recordBytes = ReadFile(InstalledRecord::PathFor(forged.string()));

    // Root's own record, rewritten to name it: the places alone refuse it.
    WriteFile(InstalledRecord::PathFor(deinstaller.string()), recordBytes);
    auto replaced = Install("answer: Replace\n");
    ASSERT_EQ(replaced.status, 0) << replaced.output;
    EXPECT_TRUE(MentionsInAnError(replaced, (decoy / "victim").string())) << replaced.output;
    auto removed = Deinstall();
    EXPECT_EQ(removed.status, 0) << removed.output;
    ExpectDecoyUntouched();

    if (GetParam() != Shared::TheirHome)
        return;
    // In their own home the other user puts an installation folder of their own in place
    // of root's: the deinstaller copied, the forged record beside it.
    ASSERT_EQ(Install().status, 0);
    fs::path own = destination / "Tool.theirs";
    ASSERT_EQ(AsOther({"mkdir", own.string()}).status, 0);
    ASSERT_EQ(AsOther({"cp", deinstaller.string(), (own / deinstaller.filename()).string()}).status,
              0);
    PlantFile(InstalledRecord::PathFor((own / deinstaller.filename()).string()), recordBytes);
    ASSERT_EQ(AsOther({"mv", installFolder.string(), (destination / "Tool.root").string()}).status,
              0);
    ASSERT_EQ(AsOther({"mv", own.string(), installFolder.string()}).status, 0);
    auto over = Install("answer: Replace\n");
    ASSERT_EQ(over.status, 0) << over.output;
    EXPECT_TRUE(MentionsInAnError(over, deinstaller.filename().string())) << over.output;
    EXPECT_EQ(Deinstall().status, 0);
    ExpectDecoyUntouched();
}

TEST_P(OtherUsers, ASwappedInstallationFolderIsLeftAloneByTheRecovery) {
    // A run of root's that was killed: it made the installation folder and placed a file.
    {
        Journal run;
        ASSERT_TRUE(run.Begin(installFolder.string(), "Tool 2.0")) << run.Error();
        ASSERT_TRUE(run.NoteIdentity(destination.string()));
        ASSERT_TRUE(run.NoteFolder(installFolder.string()));
        fs::create_directory(installFolder);
        ASSERT_TRUE(run.NoteIdentity(installFolder.string()));
        ASSERT_TRUE(run.NoteEntry((installFolder / "victim").string()));
        WriteFile(installFolder / "victim", "placed\n");
        run.Close();
    }
    // Where the other user may rename it, they put a link to root's files in its place.
    if (GetParam() == Shared::TheirHome || GetParam() == Shared::Group) {
        ASSERT_EQ(AsOther({"mv", installFolder.string(), (destination / "moved").string()}).status,
                  0);
    } else {
        // A sticky folder lets only root move root's folder: the swap is root's own here.
        fs::rename(installFolder, destination / "moved");
    }
    ASSERT_EQ(AsOther({"ln", "-s", decoy.string(), installFolder.string()}).status, 0);

    auto install = Install("answer: Replace\n");
    EXPECT_EQ(install.status, 0) << install.output;
    ExpectDecoyUntouched();
    EXPECT_NE(install.output.find(installFolder.string()), std::string::npos) << install.output;
    EXPECT_EQ(Deinstall().status, 0);
    ExpectDecoyUntouched();
}

// A package of several items, one of them replacing a settings file that is saved.
const char* kLargerManifest = R"json({
  "app_name": "Tool", "version": "2.0", "release_date": "today", "company": "Makers",
  "support_email": "help@makers.invalid",
  "opt_created_folder": "Tool", "opt_log": true, "opt_save_replaced": true,
  "groups": [{"name": "All", "description": "everything"}],
  "files": [
    {"source": "item1", "groups": ["All"], "destination": "User Selected", "deinstallable": true},
    {"source": "item2", "groups": ["All"], "destination": "User Selected", "deinstallable": true},
    {"source": "item3", "groups": ["All"], "destination": "User Selected", "deinstallable": true},
    {"source": "tool.conf", "groups": ["All"], "destination": "User Settings",
     "destination_exists": "Replace", "deinstallable": true}
  ]
})json";

// The other user swaps root's installation folder for a link to a folder of root's: here
// root's own second installation of the same product, whose entries carry the very tag
// the deinstaller looks for.
class SwappedByOtherUser : public OtherUsers {
protected:
    void SetUp() override {
        OtherUsers::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        fs::path package = Sandbox::MakeFolder("larger");
        WriteFile(package / "manifest.json", kLargerManifest);
        std::string bytes(1 << 20, '\0');
        for (int item = 1; item <= 3; item++) {
            for (size_t i = 0; i < bytes.size(); i++)
                bytes[i] = char((i * 7919 + size_t(item) * 104729) >> 3);
            WriteFile(package / ("item" + std::to_string(item)), bytes);
        }
        WriteFile(package / "tool.conf", "new=1\n");
        installer = Sandbox::MakeFolder("larger-installer") / "ToolInstaller";
        auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
        ASSERT_EQ(built.status, 0) << built.output;
        WriteFile(Sandbox::Home() / ".config" / "tool.conf", "old=1\n");

        rootsOwn = Sandbox::MakeFolder("roots-own");
        chmod(rootsOwn.c_str(), 0755);
        auto own = tarnw::test::RunUnattended(
            installer, "license: agree\ndestination: " + rootsOwn.string() + "\n");
        ASSERT_EQ(own.status, 0) << own.output;
        ASSERT_TRUE(fs::exists(rootsOwn / "Tool" / "Saved Files" / "tool.conf"));
        // Root's copies differ from the package's: one unpacked over them would show.
        for (const char* item : {"item2", "item3"})
            WriteFile(rootsOwn / "Tool" / item, std::string("root's own ") + item + "\n");
        WriteFile(Sandbox::Home() / ".config" / "tool.conf", "old=1\n");
    }

    // The other user moves the installation folder aside and links root's own in its place
    // (in a sticky folder only root may move root's folder: there root moves it).
    void Swap() {
        fs::path moved = destination / "Tool.moved";
        if (GetParam() == Shared::Sticky)
            fs::rename(installFolder, moved);
        else
            ASSERT_EQ(AsOther({"mv", installFolder.string(), moved.string()}).status, 0);
        ASSERT_EQ(
            AsOther({"ln", "-s", (rootsOwn / "Tool").string(), installFolder.string()}).status, 0);
    }

    TreeSnapshot RootsOwn() const { return TreeSnapshot::Take({rootsOwn, decoy}); }

    fs::path rootsOwn;
};

TEST_P(SwappedByOtherUser, AFolderSwappedInTheMiddleOfARunLeavesRootsFilesAsTheyWere) {
    TreeSnapshot before = RootsOwn();
    fs::path run = Sandbox::MakeFolder("midrun");
    WriteFile(run / "answers", "license: agree\ndestination: " + destination.string() + "\n");
    fs::path transcript = run / "transcript";
    tarnw::test::BackgroundProgram installing({installer.string()},
                                              {"TARNW_FRONTEND=unattended",
                                               "TARNW_ANSWERS=" + (run / "answers").string(),
                                               "TARNW_TRANSCRIPT=" + transcript.string()},
                                              run / "output");
    ASSERT_TRUE(installing.Started());
    // Stopped as soon as its journal names the second item, the folder is swapped under it.
    bool named = false;
    for (int i = 0; i < 200000 && !named; i++) {
        std::string text = fs::exists(journal) ? ReadFile(journal) : "";
        if (text.find("/Tool/item2\n") != std::string::npos) {
            installing.Signal(SIGSTOP);
            named = true;
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
    ASSERT_TRUE(named) << ReadFile(run / "output");
    Swap();
    installing.Signal(SIGCONT);
    int status = installing.Wait(std::chrono::seconds(120));
    std::string output = ReadFile(run / "output");

    EXPECT_EQ(RootsOwn().DifferencesFrom(before), "") << output;
    // The swap is found and said; the run does not claim to have installed.
    EXPECT_NE(status, 0) << output;
    EXPECT_NE(output.find(installFolder.string()), std::string::npos) << output;
    EXPECT_TRUE(fs::is_symlink(installFolder));
    // The settings file it replaced is back as it was; when the swap came after it was
    // saved, it is kept in Saved Files of the moved folder, which the undo leaves alone.
    fs::path home = Sandbox::Home() / ".config" / "tool.conf";
    fs::path kept = destination / "Tool.moved" / "Saved Files" / "tool.conf";
    EXPECT_TRUE((fs::exists(home) && ReadFile(home) == "old=1\n") ||
                (fs::exists(kept) && ReadFile(kept) == "old=1\n"))
        << output;
}

TEST_P(SwappedByOtherUser, TheDeinstallerLeavesASwappedFolderAloneAndSaysSo) {
    auto install = Install();
    ASSERT_EQ(install.status, 0) << install.output;
    Swap();
    TreeSnapshot before = RootsOwn();
    // Root starts the deinstaller where it now lies, and asks for the saved files back.
    fs::path moved = destination / "Tool.moved" / deinstaller.filename();
    auto removed = tarnw::test::RunUnattended(moved, "remove: yes\nrestore: yes\n");
    EXPECT_EQ(removed.status, 4) << removed.output;
    EXPECT_TRUE(MentionsInAnError(removed, installFolder.string())) << removed.output;
    EXPECT_EQ(RootsOwn().DifferencesFrom(before), "") << removed.output;
    EXPECT_TRUE(fs::is_symlink(installFolder));

    // The same from the command line, run again over what the first run left.
    auto command = tarnw::test::RunProgram({moved.string(), "--yes", "--restore"});
    EXPECT_EQ(command.status, 4) << command.output;
    EXPECT_NE(command.output.find(installFolder.string()), std::string::npos) << command.output;
    EXPECT_EQ(RootsOwn().DifferencesFrom(before), "") << command.output;
}

INSTANTIATE_TEST_SUITE_P(SharedDestinations, SwappedByOtherUser,
                         ::testing::Values(Shared::Sticky, Shared::Group, Shared::TheirHome),
                         [](const auto& info) {
                             std::string name = NameOf(info.param);
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// The same user's run holds the lock: the installer says which process it waits for, and a
// signal ends the wait with nothing changed.
TEST(LockWait, TellsWhoHoldsTheLockAndEndsOnASignalWithNothingChanged) {
    fs::path package = Sandbox::MakeFolder("package");
    WriteFile(package / "manifest.json", kManifest);
    WriteFile(package / "tool", "#!/bin/sh\necho tool\n");
    fs::path installer = Sandbox::MakeFolder("installer") / "ToolInstaller";
    auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
    ASSERT_EQ(built.status, 0) << built.output;
    fs::path destination = Sandbox::MakeFolder("waiting");
    RunLock held;
    ASSERT_TRUE(
        held.Acquire(Journal::LockPathFor((destination / "Tool").string()), nullptr, nullptr));
    TreeSnapshot before = TreeSnapshot::Take({destination});

    fs::path run = Sandbox::MakeFolder("run");
    WriteFile(run / "answers", "license: agree\ndestination: " + destination.string() + "\n");
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        fs::path transcript = run / ("transcript-" + std::to_string(signal));
        tarnw::test::BackgroundProgram installing({installer.string()},
                                                  {"TARNW_FRONTEND=unattended",
                                                   "TARNW_ANSWERS=" + (run / "answers").string(),
                                                   "TARNW_TRANSCRIPT=" + transcript.string()},
                                                  run / "output");
        ASSERT_TRUE(installing.Started());
        std::string pid = std::to_string(getpid());
        bool told = false;
        for (int i = 0; i < 600 && !told; i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            told = fs::exists(transcript) &&
                   ReadFile(transcript).find("process " + pid) != std::string::npos;
        }
        EXPECT_TRUE(told) << (fs::exists(transcript) ? ReadFile(transcript) : "no transcript");
        installing.Signal(signal);
        EXPECT_EQ(installing.Wait(std::chrono::seconds(60)), 8) << signal;
    }
    EXPECT_EQ(TreeSnapshot::Take({destination}).DifferencesFrom(before), "");
}

INSTANTIATE_TEST_SUITE_P(SharedDestinations, OtherUsers,
                         ::testing::Values(Shared::Sticky, Shared::Group, Shared::TheirHome),
                         [](const auto& info) {
                             std::string name = NameOf(info.param);
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

} // namespace

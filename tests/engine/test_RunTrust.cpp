// What a run believes of the files it finds beside an installation folder that others may
// share: only regular files of its own user, never a link, FIFO or device, and never a
// journal or record naming places the package cannot change. And the undo acts through the
// folders the run made: a folder replaced behind its back is left alone.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Journal.h"
#include "engine/RunLock.h"
#include "engine/RunScope.h"
#include "engine/RunUndo.h"
#include "files/OwnFile.h"
#include "platform/app/Message.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

constexpr uid_t kOtherUser = 65534;

std::string Header(const std::string& folder) {
    return "tarnw-journal\t2\t" + folder + "\t4242\tProd 1.0\n";
}

TEST(OwnFiles, OnlyARegularFileOfThisUserThatNobodyElseMayWriteIsOpened) {
    fs::path folder = Sandbox::MakeFolder("own");
    WriteFile(folder / "mine", "x");
    chmod((folder / "mine").c_str(), 0644);
    WriteFile(folder / "shared", "x");
    chmod((folder / "shared").c_str(), 0664);
    fs::create_symlink(folder / "mine", folder / "link");
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);

    ownfile::Verdict verdict;
    int fd = ownfile::Open((folder / "mine").string(), O_RDONLY, verdict);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(verdict, ownfile::Verdict::Own);
    if (fd >= 0)
        close(fd);
    EXPECT_LT(ownfile::Open((folder / "shared").string(), O_RDONLY, verdict), 0);
    EXPECT_EQ(verdict, ownfile::Verdict::Shared);
    EXPECT_LT(ownfile::Open((folder / "link").string(), O_RDONLY, verdict), 0);
    EXPECT_EQ(verdict, ownfile::Verdict::NotAFile);
    // A FIFO nobody writes to would block an open for reading: it is refused at once.
    auto start = std::chrono::steady_clock::now();
    EXPECT_LT(ownfile::Open((folder / "fifo").string(), O_RDONLY, verdict), 0);
    EXPECT_EQ(verdict, ownfile::Verdict::NotAFile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_LT(ownfile::Open((folder / "none").string(), O_RDONLY, verdict), 0);
    EXPECT_EQ(verdict, ownfile::Verdict::Missing);

    if (geteuid() == 0) {
        WriteFile(folder / "theirs", "x");
        chmod((folder / "theirs").c_str(), 0600);
        ASSERT_EQ(chown((folder / "theirs").c_str(), kOtherUser, kOtherUser), 0);
        EXPECT_LT(ownfile::Open((folder / "theirs").string(), O_RDONLY, verdict), 0);
        EXPECT_EQ(verdict, ownfile::Verdict::Foreign);
    }
}

TEST(JournalTrust, AJournalNobodyElseCouldWriteIsReadAndEveryOtherIsSetAside) {
    fs::path folder = Sandbox::MakeFolder("journal-trust");
    std::string installFolder = (folder / "Prod").string();
    std::string path = Journal::PathFor(installFolder);
    std::string bytes = Header(installFolder) + "entry\t" + installFolder + "/x\n";
    JournalContents contents;
    std::string error;
    bool notOwn = true;

    WriteFile(path, bytes);
    chmod(path.c_str(), 0600);
    ASSERT_TRUE(Journal::Load(path, contents, error, &notOwn)) << error;
    EXPECT_FALSE(notOwn);
    EXPECT_EQ(contents.records.size(), 1u);

    chmod(path.c_str(), 0666);
    EXPECT_FALSE(Journal::Load(path, contents, error, &notOwn));
    EXPECT_TRUE(notOwn);
    EXPECT_NE(error.find(path), std::string::npos) << error;

    fs::remove(path);
    WriteFile(folder / "elsewhere", bytes);
    fs::create_symlink(folder / "elsewhere", path);
    EXPECT_FALSE(Journal::Load(path, contents, error, &notOwn));
    EXPECT_TRUE(notOwn);

    // A new journal replaces the link instead of writing through it.
    Journal journal;
    ASSERT_TRUE(journal.Begin(installFolder, "Prod 1.0")) << journal.Error();
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(ReadFile(folder / "elsewhere"), bytes);
    journal.Discard();

    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(Journal::Load(path, contents, error, &notOwn));
    EXPECT_TRUE(notOwn);
    ASSERT_TRUE(journal.Begin(installFolder, "Prod 1.0")) << journal.Error();
    EXPECT_TRUE(fs::is_regular_file(path));
    journal.Discard();
}

TEST(JournalTrust, FolderIdentitiesAreWrittenAndReadAndTheFormerVersionStillReads) {
    fs::path folder = Sandbox::MakeFolder("identity");
    std::string installFolder = (folder / "Prod").string();
    fs::create_directories(installFolder);
    Journal journal;
    ASSERT_TRUE(journal.Begin(installFolder, "Prod 1.0"));
    ASSERT_TRUE(journal.NoteIdentity(installFolder));
    EXPECT_FALSE(journal.NoteIdentity(installFolder + "/missing"));
    struct stat info;
    ASSERT_EQ(stat(installFolder.c_str(), &info), 0);

    JournalContents contents;
    std::string error;
    ASSERT_TRUE(Journal::Load(journal.FilePath(), contents, error)) << error;
    ASSERT_EQ(contents.records.size(), 1u);
    EXPECT_EQ(contents.records[0].kind, JournalKind::Identity);
    EXPECT_EQ(contents.records[0].device, uint64(info.st_dev));
    EXPECT_EQ(contents.records[0].inode, uint64(info.st_ino));
    journal.Discard();

    for (const char* bad : {"identity\t/d/Prod\t1\n", "identity\t/d/Prod\t1\tx\n",
                            "identity\t/d/Prod\t-1\t2\n", "identity\t/d/Prod\t1\t2\t3\n"}) {
        ASSERT_TRUE(Journal::Parse(Header("/d/Prod") + "folder\t/d/Prod\n" + bad, contents, error));
        EXPECT_EQ(contents.records.size(), 1u) << bad;
    }
    std::string former = "tarnw-journal\t1\t/d/Prod\t1\tP\nfolder\t/d/Prod\n";
    ASSERT_TRUE(Journal::Parse(former, contents, error)) << error;
    EXPECT_EQ(contents.records.size(), 1u);
}

TEST(RunLockTrust, ALinkOrFifoUnderTheLocksNameIsRefusedAtOnceAndNotFollowed) {
    fs::path folder = Sandbox::MakeFolder("lock-trust");
    std::string path = (folder / ".Prod.tarnw-lock").string();
    WriteFile(folder / "victim", "keep");
    fs::create_symlink(folder / "victim", path);
    RunLock lock;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(lock.Acquire(path, nullptr, nullptr));
    EXPECT_EQ(lock.Why(), RunLock::Refusal::NotAFile);
    EXPECT_EQ(ReadFile(folder / "victim"), "keep");
    fs::remove(path);

    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(lock.Acquire(path, nullptr, nullptr));
    EXPECT_EQ(lock.Why(), RunLock::Refusal::NotAFile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    fs::remove(path);

    // The waiter learns who holds the lock.
    RunLock first;
    ASSERT_TRUE(first.Acquire(path, nullptr, nullptr)) << first.Error();
    pid_t told = -1;
    int polls = 0;
    EXPECT_FALSE(lock.Acquire(
        path, [&](pid_t holder) { told = holder; }, [&] { return ++polls > 2; }));
    EXPECT_EQ(lock.Why(), RunLock::Refusal::Stopped);
    EXPECT_EQ(told, getpid());
}

TEST(RunLockTrust, AnotherUsersLockFileThatNobodyHoldsIsReplacedByAnOwnOne) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the lock file to another user";
    fs::path folder = Sandbox::MakeFolder("lock-foreign");
    std::string path = (folder / ".Prod.tarnw-lock").string();
    WriteFile(path, "");
    ASSERT_EQ(chown(path.c_str(), kOtherUser, kOtherUser), 0);
    RunLock lock;
    ASSERT_TRUE(lock.Acquire(path, nullptr, nullptr)) << lock.Error();
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, geteuid());
    lock.Release();
}

class Scope : public ::testing::Test {
protected:
    void SetUp() override {
        scope.SetInstallFolder("/d/Prod");
        scope.AddFolder("/usr/local/bin");
        scope.AddFile("/h/.profile");
        scope.SetTrash("/h/.local/share/Trash/files");
    }

    std::string Stranger(const std::string& records) {
        JournalContents contents;
        std::string error;
        EXPECT_TRUE(Journal::Parse(Header("/d/Prod") + records, contents, error)) << error;
        return scope.FirstStranger(contents);
    }

    RunScope scope;
};

TEST_F(Scope, AJournalNamingOnlyThePackagesPlacesPasses) {
    EXPECT_EQ(Stranger("folder\t/d\nidentity\t/d\t1\t2\nfolder\t/d/Prod\n"
                       "entry\t/d/Prod/tool\nentry\t/usr/local/bin/tool\n"
                       "move\t/usr/local/bin/old\t/d/Prod/Saved Files/old\n"
                       "move\t/usr/local/bin/x\t/usr/local/bin/.tarnw-held-1-2-3\n"
                       "before\t/h/.profile\t/h/.tarnw-before-1-2-3\n"
                       "trash\t/d/Prod\t/h/.local/share/Trash/files/Prod\t"
                       "/h/.local/share/Trash/info/Prod.trashinfo\n"),
              "");
}

TEST_F(Scope, EveryPlaceOutsideThePackagesIsFound) {
    EXPECT_EQ(Stranger("entry\t/etc/victim\n"), "/etc/victim");
    EXPECT_EQ(Stranger("folder\t/etc/cron.d\n"), "/etc/cron.d");
    EXPECT_EQ(Stranger("move\t/etc/cron.d/evil\t/d/Prod/x\n"), "/etc/cron.d/evil");
    // Moved elsewhere than beside itself or into the installation folder.
    EXPECT_EQ(Stranger("move\t/usr/local/bin/x\t/usr/local/bin/sub/x\n"), "/usr/local/bin/sub/x");
    EXPECT_EQ(Stranger("before\t/etc/passwd\t/etc/.tarnw-before-1-2-3\n"), "/etc/passwd");
    // The copy of an edited file only beside it, under the run's own name.
    EXPECT_EQ(Stranger("before\t/h/.profile\t/d/Prod/theirs\n"), "/d/Prod/theirs");
    EXPECT_EQ(Stranger("before\t/h/.profile\t/h/theirs\n"), "/h/theirs");
    EXPECT_EQ(Stranger("trash\t/d/Prod\t/tmp/files/Prod\t/h/.local/share/Trash/info/P.trashinfo\n"),
              "/tmp/files/Prod");
    EXPECT_EQ(Stranger("trash\t/d/Prod\t/h/.local/share/Trash/files/Prod\t/etc/shadow\n"),
              "/etc/shadow");
    // Another installation folder's journal.
    JournalContents contents;
    contents.installFolder = "/d/Other";
    EXPECT_EQ(scope.FirstStranger(contents), "/d/Other");
}

TEST_F(Scope, ADeinstallersRecordIsJudgedByTheSamePlacesAndTheyTravelWithIt) {
    BMessage installed;
    installed.AddString("install_folder", "/d/Prod");
    installed.AddString("path", "/d/Prod/tool");
    installed.AddString("saved", "/d/Prod/Saved Files/old");
    installed.AddString("saved_from", "/usr/local/bin/old");
    installed.AddString("created_folder", "/d");
    EXPECT_EQ(scope.FirstStranger(installed), "");

    BMessage configuration;
    scope.AddTo(configuration);
    RunScope kept;
    ASSERT_TRUE(kept.ReadFrom(configuration));
    EXPECT_EQ(kept.FirstStranger(installed), "");

    for (const char* field : {"created_entry", "path", "link", "created_file", "script_file"}) {
        BMessage forged = installed;
        forged.AddString(field, "/etc/victim");
        EXPECT_EQ(kept.FirstStranger(forged), "/etc/victim") << field;
    }
    BMessage savedElsewhere = installed;
    savedElsewhere.AddString("saved", "/etc/passwd");
    savedElsewhere.AddString("saved_from", "/usr/local/bin/x");
    EXPECT_EQ(kept.FirstStranger(savedElsewhere), "/etc/passwd");
    EXPECT_FALSE(RunScope().ReadFrom(BMessage()));

    // The default destination, made as the installer started, only as a folder.
    BMessage defaultMade = installed;
    defaultMade.AddString("created_folder", "/opt");
    EXPECT_EQ(kept.FirstStranger(defaultMade), "/opt");
    scope.AddMadeFolder("/opt");
    BMessage withDefault;
    scope.AddTo(withDefault);
    ASSERT_TRUE(kept.ReadFrom(withDefault));
    EXPECT_EQ(kept.FirstStranger(defaultMade), "");
    defaultMade.AddString("created_entry", "/opt/other");
    EXPECT_EQ(kept.FirstStranger(defaultMade), "/opt/other");
}

TEST_F(Scope, ASavedEntryLiesInSavedFilesOrTheTrashAndCameFromAFolderThePackagePlacesIn) {
    BMessage installed;
    installed.AddString("install_folder", "/d/Prod");
    installed.AddString("saved", "/d/Prod/Saved Files/old");
    installed.AddString("saved_from", "/usr/local/bin/old");
    // Kept in the Trash with the earlier installation when this one keeps no Saved Files.
    installed.AddString("saved", "/h/.local/share/Trash/files/Prod/Saved Files/older");
    installed.AddString("saved_from", "/usr/local/bin/older");
    EXPECT_EQ(scope.FirstStranger(installed), "");

    auto withSaved = [&](const std::string& saved, const std::string& origin) {
        BMessage forged = installed;
        forged.AddString("saved", saved.c_str());
        forged.AddString("saved_from", origin.c_str());
        return scope.FirstStranger(forged);
    };
    // Put back over a program of the installation, or the folders themselves moved away.
    EXPECT_EQ(withSaved("/d/Prod/tool", "/usr/local/bin/x"), "/d/Prod/tool");
    EXPECT_EQ(withSaved("/d/Prod/Saved Files", "/usr/local/bin/x"), "/d/Prod/Saved Files");
    EXPECT_EQ(withSaved("/h/.local/share/Trash/files", "/usr/local/bin/x"),
              "/h/.local/share/Trash/files");
    EXPECT_EQ(withSaved("/d/Prod/Saved Files/../../etc/x", "/usr/local/bin/x"),
              "/d/Prod/Saved Files/../../etc/x");
    // Put back into a place the run never placed into: a start-up file is only edited.
    EXPECT_EQ(withSaved("/d/Prod/Saved Files/x", "/etc/cron.d/x"), "/etc/cron.d/x");
    EXPECT_EQ(withSaved("/d/Prod/Saved Files/x", "/h/.profile"), "/h/.profile");
}

// A run into `destination` made Prod and put a file in it; then the folder was swapped.
class SwappedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root = Sandbox::MakeFolder("swapped");
        destination = root / "dest";
        decoy = root / "system";
        fs::create_directories(destination);
        WriteFile(decoy / "tool", "the system's own");
        WriteFile(decoy / "sub" / "deep", "the system's own");
        installFolder = (destination / "Prod").string();

        ASSERT_TRUE(journal.Begin(installFolder, "Prod 1.0"));
        ASSERT_TRUE(journal.NoteIdentity(destination.string()));
        ASSERT_TRUE(journal.NoteFolder(installFolder));
        fs::create_directories(installFolder);
        ASSERT_TRUE(journal.NoteIdentity(installFolder));
        ASSERT_TRUE(journal.NoteEntry(installFolder + "/tool"));
        WriteFile(installFolder + "/tool", "placed");
        ASSERT_TRUE(journal.NoteFolder(installFolder + "/sub"));
        fs::create_directories(installFolder + "/sub");
        ASSERT_TRUE(journal.NoteEntry(installFolder + "/sub/deep"));
        WriteFile(installFolder + "/sub/deep", "placed");
        contents = journal.Contents();
        journal.Discard();
    }

    fs::path root, destination, decoy;
    std::string installFolder;
    Journal journal;
    JournalContents contents;
};

TEST_F(SwappedFolder, ALinkInPlaceOfTheInstallationFolderIsNotFollowed) {
    fs::rename(installFolder, destination / "Prod.moved");
    fs::create_directory_symlink(decoy, installFolder);
    TreeSnapshot before = TreeSnapshot::Take({root});
    RunUndo undo(contents);
    EXPECT_FALSE(undo.Undo());
    EXPECT_EQ(TreeSnapshot::Take({root}).DifferencesFrom(before), "");
    ASSERT_FALSE(undo.Problems().empty());
    EXPECT_NE(undo.Problems().front().find(installFolder), std::string::npos);
}

TEST_F(SwappedFolder, AnotherFolderInItsPlaceIsLeftAloneAndSoIsALinkFurtherDown) {
    fs::rename(installFolder, destination / "Prod.moved");
    fs::create_directories(installFolder);
    WriteFile(installFolder + "/tool", "someone else's");
    TreeSnapshot before = TreeSnapshot::Take({root});
    RunUndo undo(contents);
    EXPECT_FALSE(undo.Undo());
    EXPECT_EQ(TreeSnapshot::Take({root}).DifferencesFrom(before), "");
    EXPECT_FALSE(undo.Problems().empty());

    // The folder is the run's own, but a folder inside it became a link.
    fs::remove_all(installFolder);
    fs::rename(destination / "Prod.moved", installFolder);
    fs::rename(installFolder + "/sub", root / "sub.moved");
    fs::create_directory_symlink(decoy / "sub", installFolder + "/sub");
    RunUndo again(contents);
    again.Undo();
    EXPECT_EQ(ReadFile(decoy / "sub" / "deep"), "the system's own");
    EXPECT_TRUE(fs::exists(decoy / "tool"));
}

TEST_F(SwappedFolder, AFolderLeftAsTheRunMadeItIsUndoneWhole) {
    RunUndo undo(contents);
    EXPECT_TRUE(undo.Undo()) << ::testing::PrintToString(undo.Problems());
    EXPECT_FALSE(fs::exists(installFolder));
    EXPECT_TRUE(fs::exists(destination));
    EXPECT_EQ(ReadFile(decoy / "tool"), "the system's own");
}

} // namespace

// The journal's format as a reader meets it (torn, hostile, foreign), and undo from a
// journal on real files: what was made goes, what was moved comes back as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "engine/Journal.h"
#include "engine/RunLock.h"
#include "engine/RunUndo.h"
#include "files/LibFileOps.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

std::string Header(const std::string& folder) {
    return "tarnw-journal\t1\t" + folder + "\t4242\tProd 1.0\n";
}

TEST(Journal, RecordsSurviveHostileNamesAndATornLastLine) {
    fs::path folder = Sandbox::MakeFolder("journal");
    std::string installFolder = (folder / "Prod").string();
    Journal journal;
    ASSERT_TRUE(journal.Begin(installFolder, "Prod\t1.0")) << journal.Error();
    std::string odd = (folder / "a\tb\nc%41 d").string();
    ASSERT_TRUE(journal.NoteEntry(odd));
    ASSERT_TRUE(journal.NoteMove("/home/u/x", "/home/u/.tarnw-held-1-2-3"));
    ASSERT_TRUE(journal.Note({JournalKind::Trash, "/a/b", "/t/files/b", "/t/info/b.trashinfo"}));

    std::string bytes = ReadFile(Journal::PathFor(installFolder));
    // A record cut short by a kill is not part of the journal.
    bytes += "entry\t/never/finished";
    JournalContents contents;
    std::string error;
    ASSERT_TRUE(Journal::Parse(bytes, contents, error)) << error;
    EXPECT_EQ(contents.installFolder, installFolder);
    EXPECT_EQ(contents.product, "Prod\t1.0");
    EXPECT_EQ(contents.pid, int32(getpid()));
    ASSERT_EQ(contents.records.size(), 3u);
    EXPECT_EQ(contents.records[0].path, odd);
    EXPECT_EQ(contents.records[1].other, "/home/u/.tarnw-held-1-2-3");
    EXPECT_EQ(contents.records[2].third, "/t/info/b.trashinfo");
    EXPECT_FALSE(contents.committed);

    journal.Discard();
    EXPECT_FALSE(fs::exists(Journal::PathFor(installFolder)));
}

TEST(Journal, ForeignOrMalformedBytesAreRefusedOrCutAtTheFirstBadLine) {
    JournalContents contents;
    std::string error;
    EXPECT_FALSE(Journal::Parse("", contents, error));
    EXPECT_FALSE(Journal::Parse("tarnw-journal\t3\t/a/b\t1\tP\n", contents, error));
    EXPECT_FALSE(Journal::Parse("tarnw-journal\t1\trelative\t1\tP\n", contents, error));
    EXPECT_FALSE(Journal::Parse("tarnw-journal\t1\t/a/../b\t1\tP\n", contents, error));
    EXPECT_FALSE(Journal::Parse("tarnw-journal\t1\t/a/b\t-1\tP\n", contents, error));
    EXPECT_FALSE(Journal::Parse("something else\n", contents, error));

    // A path that climbs out, an unknown kind, a bad escape or a missing field ends the
    // records there; what came before stays.
    for (const char* bad : {"entry\t/a/../etc\n", "erase\t/a\n", "entry\t/a%4\n", "move\t/a\n",
                            "entry\tno/slash\n", "commit\textra\n"}) {
        std::string bytes = Header("/d/Prod") + "folder\t/d/Prod\n" + bad + "entry\t/d/Prod/x\n";
        ASSERT_TRUE(Journal::Parse(bytes, contents, error)) << bad;
        EXPECT_EQ(contents.records.size(), 1u) << bad;
    }
    ASSERT_TRUE(Journal::Parse(Header("/d/Prod") + "folder\t/d/Prod\ncommit\n", contents, error));
    EXPECT_TRUE(contents.committed);
}

class UndoFromJournal : public ::testing::Test {
protected:
    void SetUp() override {
        root = Sandbox::MakeFolder("undo");
        destination = root / "apps";
        home = root / "home";
        fs::create_directories(destination);
        WriteFile(home / "settings.conf", "mine\n");
        chmod((home / "settings.conf").c_str(), 0640);
        setxattr((home / "settings.conf").c_str(), "user.note", "kept", 4, 0);
        WriteFile(home / ".profile", "# mine\n");
        WriteFile(home / "old" / "tree" / "leaf", "leaf");
        WriteFile(destination / "Prod" / "earlier", "an earlier installation");
        before = TreeSnapshot::Take({root});
        installFolder = (destination / "Prod").string();
    }

    // Makes the changes of a run, each written down first, as the engine does.
    void MakeChanges(Journal& journal) {
        ASSERT_TRUE(journal.Begin(installFolder, "Prod 1.0"));
        std::string trashed = (root / "Trash" / "files" / "Prod").string();
        fs::create_directories(root / "Trash" / "files");
        fs::create_directories(root / "Trash" / "info");
        std::string info = (root / "Trash" / "info" / "Prod.trashinfo").string();
        ASSERT_TRUE(journal.Note({JournalKind::Trash, installFolder, trashed, info}));
        WriteFile(info, "[Trash Info]\n");
        ASSERT_TRUE(LibMove(installFolder.c_str(), trashed.c_str()));

        ASSERT_TRUE(journal.NoteFolder(installFolder));
        fs::create_directories(installFolder);
        ASSERT_TRUE(journal.NoteEntry(installFolder + "/item"));
        WriteFile(installFolder + "/item", "new item");

        std::string saved = installFolder + "/settings.conf";
        ASSERT_TRUE(journal.NoteMove((home / "settings.conf").string(), saved));
        ASSERT_TRUE(LibMove((home / "settings.conf").c_str(), saved.c_str()));
        ASSERT_TRUE(journal.NoteEntry((home / "settings.conf").string()));
        WriteFile(home / "settings.conf", "theirs\n");

        std::string held = (home / ".tarnw-held-1-1-1").string();
        ASSERT_TRUE(journal.NoteMove((home / "old").string(), held));
        fs::rename(home / "old", held);

        std::string copy = (home / ".tarnw-before-1-1-1").string();
        ASSERT_TRUE(LibCopy((home / ".profile").c_str(), copy.c_str()));
        ASSERT_TRUE(journal.Note({JournalKind::Before, (home / ".profile").string(), copy, ""}));
        WriteFile(home / ".profile", "# mine\n#BEGIN_P\nexport P=1\n#END_P\n");
        setxattr((home / ".profile").c_str(), "user.mime_type", "text/plain", 10, 0);

        ASSERT_TRUE(journal.NoteFolder((home / "made").string()));
        ASSERT_TRUE(journal.NoteFolder((home / "made" / "deeper").string()));
        fs::create_directories(home / "made" / "deeper");
        // Written down, then killed before it was made.
        ASSERT_TRUE(journal.NoteEntry((home / "never").string()));
    }

    fs::path root, destination, home;
    std::string installFolder;
    TreeSnapshot before;
};

TEST_F(UndoFromJournal, PutsEveryEntryBackWithContentsModesAndAttributes) {
    Journal journal;
    MakeChanges(journal);
    RunUndo undo(journal.Contents());
    EXPECT_TRUE(undo.Undo()) << ::testing::PrintToString(undo.Problems());
    journal.Discard();
    TreeSnapshot after = TreeSnapshot::Take({root});
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
}

TEST_F(UndoFromJournal, AnUndoCutShortIsFinishedByTheNextOne) {
    Journal journal;
    MakeChanges(journal);
    JournalContents contents;
    std::string error;
    ASSERT_TRUE(Journal::Load(Journal::PathFor(installFolder), contents, error)) << error;
    // The first undo takes back only the newest half, as if it had been killed.
    JournalContents half = contents;
    half.records.erase(half.records.begin(), half.records.begin() + half.records.size() / 2);
    RunUndo(half).Undo();
    EXPECT_TRUE(RunUndo(contents).Undo());
    journal.Discard();
    TreeSnapshot after = TreeSnapshot::Take({root});
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
}

TEST_F(UndoFromJournal, SettlingKeepsTheChangesAndDropsWhatWasHeldForUndo) {
    Journal journal;
    MakeChanges(journal);
    RunUndo(journal.Contents()).Settle();
    journal.Discard();
    EXPECT_FALSE(fs::exists(home / ".tarnw-held-1-1-1"));
    EXPECT_FALSE(fs::exists(home / ".tarnw-before-1-1-1"));
    EXPECT_EQ(ReadFile(home / "settings.conf"), "theirs\n");
    EXPECT_EQ(ReadFile(installFolder + "/item"), "new item");
    EXPECT_FALSE(fs::exists(Journal::PathFor(installFolder)));
}

TEST(UndoAroundTheDestination, FoldersMadeForTheDestinationGoLastTheOuterOnesToo) {
    // The default destination was two folders deep and neither was there; the journal and
    // the lock lie in the inner one.
    fs::path root = Sandbox::MakeFolder("around");
    fs::path outer = root / "opt";
    fs::path destination = outer / "Preferences";
    std::string installFolder = (destination / "Prod").string();
    fs::create_directories(destination);
    Journal journal;
    ASSERT_TRUE(journal.Begin(installFolder, "Prod 1.0")) << journal.Error();
    WriteFile(Journal::LockPathFor(installFolder), "");
    ASSERT_TRUE(journal.NoteFolder(outer.string()));
    ASSERT_TRUE(journal.NoteFolder(destination.string()));
    ASSERT_TRUE(journal.NoteFolder(installFolder));
    fs::create_directories(installFolder);

    RunUndo undo(journal.Contents());
    EXPECT_TRUE(undo.Undo()) << ::testing::PrintToString(undo.Problems());
    EXPECT_EQ(undo.FoldersLeftForLast(),
              (std::vector<std::string>{destination.string(), outer.string()}));
    journal.Discard();
    fs::remove(Journal::LockPathFor(installFolder));
    undo.RemoveFoldersLeftForLast();
    EXPECT_TRUE(undo.Problems().empty()) << ::testing::PrintToString(undo.Problems());
    EXPECT_FALSE(fs::exists(outer));
}

TEST(RunLeftovers, OnlyTheTemporaryFilesOfTheNamedOrVanishedProcessGo) {
    fs::path folder = Sandbox::MakeFolder("leftovers");
    std::string mine = ".tarnw-part-" + std::to_string(getpid()) + "-1-abc";
    // Process ids above the kernel's limit belong to no process.
    WriteFile(folder / ".tarnw-part-99999999-1-abc", "dead");
    WriteFile(folder / ".tarnw-copy-99999998-1-abc" / "inner", "dead");
    // What the resource writer leaves of a program or container it was writing.
    WriteFile(folder / ".tarnw-program-99999997-Ab1xYz", "dead");
    WriteFile(folder / ".tarnw-rewrite-99999997-Ab1xYz", "dead");
    WriteFile(folder / mine, "alive");
    WriteFile(folder / ".tarnw-notes", "not a temporary name");
    WriteFile(folder / "user file", "kept");
    RunUndo::RemoveLeftovers(folder.string(), 0);
    EXPECT_FALSE(fs::exists(folder / ".tarnw-part-99999999-1-abc"));
    EXPECT_FALSE(fs::exists(folder / ".tarnw-copy-99999998-1-abc"));
    EXPECT_FALSE(fs::exists(folder / ".tarnw-program-99999997-Ab1xYz"));
    EXPECT_FALSE(fs::exists(folder / ".tarnw-rewrite-99999997-Ab1xYz"));
    EXPECT_TRUE(fs::exists(folder / mine));
    EXPECT_TRUE(fs::exists(folder / ".tarnw-notes"));
    EXPECT_TRUE(fs::exists(folder / "user file"));
    RunUndo::RemoveLeftovers(folder.string(), int32(getpid()));
    EXPECT_FALSE(fs::exists(folder / mine));
}

TEST(RunLockTest, ASecondHolderWaitsAndTheFileGoesWithTheLastOne) {
    fs::path folder = Sandbox::MakeFolder("lock");
    std::string path = (folder / ".Prod.tarnw-lock").string();
    RunLock first;
    ASSERT_TRUE(first.Acquire(path, nullptr, nullptr)) << first.Error();
    RunLock second;
    int waited = 0;
    int polls = 0;
    EXPECT_FALSE(second.Acquire(
        path, [&](pid_t) { waited++; }, [&] { return ++polls > 3; }));
    EXPECT_EQ(waited, 1);
    first.Release();
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(second.Acquire(
        path, [&](pid_t) { waited++; }, nullptr));
    EXPECT_EQ(waited, 1);
    second.Release();
    EXPECT_FALSE(fs::exists(path));
}

} // namespace

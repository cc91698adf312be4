#include "engine/RunTransaction.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

// What the journal on the disk holds now: what a run after a power cut would find.
JournalContents OnDisk(const fs::path& installFolder) {
    JournalContents contents;
    std::string error;
    EXPECT_TRUE(Journal::Load(Journal::PathFor(installFolder.string()), contents, error)) << error;
    return contents;
}

struct TransactionTest : ::testing::Test {
    fs::path root = Sandbox::MakeFolder("destination");
    fs::path folder = root / "Tool";
    fs::path settings = Sandbox::MakeFolder("settings");
    RunTransaction transaction;

    void SetUp() override {
        WriteFile(settings / "tool.conf", "mine=1\n");
        WriteFile(settings / "profile", "PATH=/bin\n");
    }
};

} // namespace

TEST_F(TransactionTest, EveryChangeIsOnTheDiskBeforeItIsMadeAndTheUndoTakesThemAllBack) {
    TreeSnapshot before = TreeSnapshot::Take({root, settings});
    ASSERT_TRUE(transaction.Begin(folder.string(), "Tool 1.0")) << transaction.Error();
    ASSERT_TRUE(transaction.NoteNewFolders((folder / "bin").string()));
    fs::create_directories(folder / "bin");

    ASSERT_TRUE(transaction.MoveAside((settings / "tool.conf").string()).Ok());
    EXPECT_FALSE(fs::exists(settings / "tool.conf"));
    ASSERT_TRUE(transaction.NoteNewEntry((settings / "tool.conf").string()));
    WriteFile(settings / "tool.conf", "new=1\n");

    ASSERT_TRUE(transaction.KeepBefore((settings / "profile").string()).Ok());
    WriteFile(settings / "profile", "PATH=/bin:/opt/tool\n");

    // Each change was named before it was made, in order, with the place it went.
    JournalContents written = OnDisk(folder);
    ASSERT_EQ(written.records.size(), 5u);
    EXPECT_EQ(written.records[0].kind, JournalKind::Folder);
    EXPECT_EQ(written.records[0].path, folder.string());
    EXPECT_EQ(written.records[1].path, (folder / "bin").string());
    EXPECT_EQ(written.records[2].kind, JournalKind::Move);
    EXPECT_EQ(ReadFile(written.records[2].other), "mine=1\n");
    EXPECT_EQ(written.records[3].kind, JournalKind::Entry);
    EXPECT_EQ(written.records[4].kind, JournalKind::Before);
    EXPECT_EQ(ReadFile(written.records[4].other), "PATH=/bin\n");
    EXPECT_FALSE(written.committed);

    EXPECT_EQ(transaction.Undo(), std::vector<std::string>());
    EXPECT_FALSE(transaction.IsOpen());
    EXPECT_EQ(TreeSnapshot::Take({root, settings}).DifferencesFrom(before), "");
}

TEST_F(TransactionTest, ACommittedRunKeepsItsChangesAndLetsWhatItHeldGo) {
    ASSERT_TRUE(transaction.Begin(folder.string(), "Tool 1.0"));
    ASSERT_TRUE(transaction.NoteNewFolders(folder.string()));
    fs::create_directories(folder);
    ASSERT_TRUE(transaction.MoveAside((settings / "tool.conf").string()).Ok());
    WriteFile(settings / "tool.conf", "new=1\n");

    std::string warning;
    ASSERT_TRUE(transaction.Commit(warning).Ok());
    EXPECT_EQ(warning, "");
    EXPECT_FALSE(transaction.IsOpen());
    EXPECT_FALSE(fs::exists(Journal::PathFor(folder.string())));
    EXPECT_EQ(ReadFile(settings / "tool.conf"), "new=1\n");
    // The entry moved aside is gone with the settling: only the new one is left.
    EXPECT_EQ(std::distance(fs::directory_iterator(settings), fs::directory_iterator()), 2);
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(TransactionTest, WithoutAJournalNothingIsNamedAndAMoveAsideFailsWithItsReason) {
    EXPECT_TRUE(transaction.NoteNewEntry((settings / "x").string()));
    EXPECT_FALSE(fs::exists(Journal::PathFor(folder.string())));

    ASSERT_TRUE(transaction.Begin(folder.string(), "Tool 1.0"));
    Result<void> aside = transaction.MoveAside((settings / "missing").string());
    ASSERT_FALSE(aside.Ok());
    EXPECT_EQ(aside.Error().reason, "No such file or directory");
    EXPECT_EQ(transaction.Undo(), std::vector<std::string>());
}

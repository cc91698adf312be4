// Items and links that meet an existing entry of the same name.

#include "InstallRunFixture.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::WriteFile;

namespace {

class CollisionTest : public InstallFixture {
protected:
    void SetUp() override {
        target = fs::path(StdFolder(B_USER_DIRECTORY)) / "Target";
        fs::create_directories(target);
        package.AddCustomFolder("Target", 3000, "Target", false);
    }
    void AddFile(const char* name, const char* contents, const BMessage& meta) {
        package.AddItem(MakeTree("src", {{name, contents}}) / name, meta);
    }
    fs::path target;
};

} // namespace

TEST_F(CollisionTest, NoExistingEntryAsksNothingInEveryMode) {
    AddFile("p", "new", Meta("Target", "Prompt"));
    AddFile("r", "new", Meta("Target", "Rename"));
    AddFile("x", "new", Meta("Target", "Replace"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_TRUE(Questions().empty());
    EXPECT_FALSE(LogHas("Existing file"));
    EXPECT_EQ(ReadFile(target / "p"), "new");
}

TEST_F(CollisionTest, PromptAsksWithTheReplaceAlertAndKeepsAskingWithoutTheBox) {
    WriteFile(target / "a", "old a");
    WriteFile(target / "b", "old b");
    AddFile("a", "new a", Meta("Target", "Prompt"));
    AddFile("b", "new b", Meta("Target", "Prompt"));
    ui.frontend.Answer(0); // don't replace a
    ui.frontend.Answer(1); // replace b
    ASSERT_EQ(Run(), kInstallFinished);

    std::vector<FrontendRequest> questions = Questions();
    ASSERT_EQ(questions.size(), 2u);
    const FrontendRequest& first = questions[0];
    EXPECT_EQ(first.existingPath, (target / "a").string());
    EXPECT_EQ(first.newPath, (Folder() / "a").string());
    EXPECT_EQ(first.buttons, (std::vector<std::string>{"Don't Replace", "Replace"}));
    EXPECT_EQ(first.shortcuts, (std::vector<char>{'d', 'r'}));
    EXPECT_TRUE(first.hasBox);
    EXPECT_EQ(first.boxLabel, "Apply to all future collisions");
    EXPECT_EQ(first.icon, FrontendIcon::Warning);
    EXPECT_EQ(first.language, "en");
    EXPECT_EQ(first.text, "The file 'a' already exists. Do you wish to replace existing");

    EXPECT_EQ(ReadFile(target / "a"), "old a");
    EXPECT_EQ(ReadFile(Folder() / "a"), "new a");
    EXPECT_EQ(ReadFile(target / "b"), "new b");
    EXPECT_TRUE(LogHas("\t\t\tUser desired not to place item in " + target.string() + "\n"));
}

TEST_F(CollisionTest, ApplyToAllHoldsForItemsButLinksAreStillAsked) {
    fs::path links = fs::path(StdFolder(B_USER_DIRECTORY)) / "Links";
    fs::create_directories(links);
    package.AddCustomFolder("Links", 3000, "Links", false);
    WriteFile(target / "a", "old a");
    WriteFile(target / "b", "old b");
    WriteFile(links / "a", "old link a");
    AddFile("a", "new a", Meta("Target", "Prompt", "Links", "Prompt"));
    AddFile("b", "new b", Meta("Target", "Prompt"));
    ui.frontend.Answer(1, true); // replace a, and every later item
    ui.frontend.Answer(0);       // the link of a: don't replace
    ASSERT_EQ(Run(), kInstallFinished);
    std::vector<FrontendRequest> questions = Questions();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].existingPath, (links / "a").string());
    EXPECT_EQ(ReadFile(target / "b"), "new b");
    EXPECT_EQ(ReadFile(links / "a"), "old link a");
    EXPECT_TRUE(LogHas("\t\t\tUser desired not to place a link in " + links.string() + "\n"));
}

TEST_F(CollisionTest, DeclinedWithApplyToAllDeclinesLaterItemsSilently) {
    WriteFile(target / "a", "old a");
    WriteFile(target / "b", "old b");
    AddFile("a", "new a", Meta("Target", "Prompt"));
    AddFile("b", "new b", Meta("Target", "Prompt"));
    ui.frontend.Answer(0, true);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_EQ(ReadFile(target / "b"), "old b");
    EXPECT_EQ(ReadFile(Folder() / "b"), "new b");
}

TEST_F(CollisionTest, RenameGivesTheExistingEntryAFreeCopyName) {
    WriteFile(target / "a", "old a");
    WriteFile(target / "a copy", "older copy");
    AddFile("a", "new a", Meta("Target", "Rename"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(target / "a"), "new a");
    EXPECT_EQ(ReadFile(target / "a copy"), "older copy");
    EXPECT_EQ(ReadFile(target / "a copy 1"), "old a");
    EXPECT_TRUE(LogHas("\t\t\tExisting file renamed\n"));
}

TEST_F(CollisionTest, ReplaceSavesOrRemoves) {
    package.config.AddBool("opt_save_replaced", true);
    WriteFile(target / "a", "old a");
    AddFile("a", "new a", Meta("Target", "replace")); // any other text replaces
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(target / "a"), "new a");
    EXPECT_EQ(ReadFile(Folder() / "Saved Files" / "a"), "old a");
    EXPECT_TRUE(LogHas("\t\t\tExisting file saved.\n"));
}

TEST_F(CollisionTest, ReplaceWithoutSavingRemovesAWholeFolder) {
    fs::create_directories(target / "docs" / "old");
    WriteFile(target / "docs" / "old" / "x", "x");
    package.AddItem(MakeTree("src", {{"docs/new.txt", "n"}}) / "docs", Meta("Target"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_TRUE(fs::exists(target / "docs" / "new.txt"));
    // Replaced, not merged.
    EXPECT_FALSE(fs::exists(target / "docs" / "old"));
    EXPECT_TRUE(LogHas("\t\t\tExisting file removed.\n"));
}

TEST_F(CollisionTest, PromptYesOverAFolderReplacesItCompletely) {
    fs::create_directories(target / "docs" / "old");
    package.AddItem(MakeTree("src", {{"docs/new.txt", "n"}}) / "docs", Meta("Target", "Prompt"));
    ui.frontend.Answer(1);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_TRUE(fs::exists(target / "docs" / "new.txt"));
    EXPECT_FALSE(fs::exists(target / "docs" / "old"));
    EXPECT_TRUE(LogHas("\t\t\tRemoved existing folder " + (target / "docs").string() + "\n"));
}

TEST_F(CollisionTest, TwoSavedEntriesOfOneNameAreBothKept) {
    package.config.AddBool("opt_save_replaced", true);
    fs::path other = fs::path(StdFolder(B_USER_DIRECTORY)) / "Other";
    fs::create_directories(other);
    package.AddCustomFolder("Other", 3000, "Other", false);
    WriteFile(target / "a", "first old");
    WriteFile(other / "a", "second old");
    AddFile("a", "new 1", Meta("Target"));
    package.AddItem(MakeTree("src2", {{"a", "new 2"}}) / "a", Meta("Other"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(Folder() / "Saved Files" / "a"), "first old");
    EXPECT_EQ(ReadFile(Folder() / "Saved Files" / "a copy"), "second old");
}

// What a collision took out of the way comes back when the user undoes a run that could
// not place everything.
TEST_F(CollisionTest, AnEntryRemovedFromTheWayComesBackWhenThePartialRunIsUndone) {
    WriteFile(target / "handbook" / "old", "the user's");
    package.AddItem(MakeTree("src", {{"handbook/new.txt", "n"}}) / "handbook", Meta("Target"));
    AddFile("lost", "l", Meta("Nowhere Special"));
    ui.frontend.Answer(0); // the warning: OK
    ui.frontend.Answer(0); // Undo
    ASSERT_EQ(Run(), kInstallIncomplete);
    EXPECT_EQ(ReadFile(target / "handbook" / "old"), "the user's");
    EXPECT_FALSE(fs::exists(target / "handbook" / "new.txt"));
}

// Entries in an item's way that stay where they are: the run says so, places nothing inside
// them and does not end as a success.
class BlockedWayTest : public CollisionTest {
protected:
    void TearDown() override {
        for (const fs::path& file : immutable)
            SetImmutable(file, false);
        for (const fs::path& point : mounted)
            umount2(point.c_str(), MNT_DETACH);
    }
    // A tmpfs mounted on a folder of that name in the target folder, holding one file.
    bool MountInTheWay(const std::string& leaf) {
        fs::path point = target / leaf;
        fs::create_directories(point);
        if (geteuid() != 0 || mount("tarnw-test", point.c_str(), "tmpfs", 0, "size=1m") != 0)
            return false;
        mounted.push_back(point);
        WriteFile(point / "on the volume", "kept");
        return true;
    }
    // A folder of that name whose one file may not be deleted, not even by root.
    bool UndeletableInTheWay(const std::string& leaf) {
        fs::path file = target / leaf / "locked";
        WriteFile(file, "kept");
        if (!SetImmutable(file, true))
            return false;
        immutable.push_back(file);
        return true;
    }
    static bool SetImmutable(const fs::path& file, bool on) {
        int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        close(fd);
        return done;
    }
    void AddFolder(const std::string& leaf, const BMessage& meta) {
        package.AddItem(MakeTree("src-" + leaf, {{leaf + "/new.txt", "n"}}) / leaf, meta);
    }
    void ExpectReportedNotPlaced(const std::string& leaf, const std::string& keptFile) {
        SCOPED_TRACE(leaf);
        EXPECT_EQ(ReadFile(target / leaf / keptFile), "kept");
        EXPECT_FALSE(fs::exists(target / leaf / leaf));
        EXPECT_FALSE(fs::exists(target / leaf / "new.txt"));
        EXPECT_TRUE(fs::exists(Folder() / leaf / "new.txt")); // stays in the installation
        EXPECT_NE(Report().text.find("\n" + leaf), std::string::npos) << Report().text;
        EXPECT_FALSE(LogHas("\t\t\tRemoved existing folder " + (target / leaf).string()));
    }
    // The list of what was not placed comes before the choice between undoing and keeping.
    const FrontendRequest& Report() const {
        return ui.frontend.requests[ui.frontend.requests.size() - 2];
    }
    // Keeps what the run placed, so that it can be looked at.
    void KeepWhatIsPlaced() {
        ui.frontend.Answer(0); // the list of what was not placed
        ui.frontend.Answer(1); // Keep
    }
    std::vector<fs::path> mounted;
    std::vector<fs::path> immutable;
};

TEST_F(BlockedWayTest, AMountPointInTheWayIsNeitherEmptiedNorFilled) {
    if (!MountInTheWay("replaced") || !MountInTheWay("asked"))
        GTEST_SKIP() << "mounting a tmpfs needs root";
    AddFolder("replaced", Meta("Target", "Replace"));
    AddFolder("asked", Meta("Target", "Prompt"));
    ui.frontend.Answer(1); // replace "asked"
    KeepWhatIsPlaced();
    ASSERT_EQ(Run(), kInstallIncomplete);
    ExpectReportedNotPlaced("replaced", "on the volume");
    ExpectReportedNotPlaced("asked", "on the volume");
    EXPECT_FALSE(LogHas("Existing file removed."));
    EXPECT_FALSE(LogHas("User desired not to place"));
    EXPECT_TRUE(LogHas("holds a mounted file system and is not removed"));
    EXPECT_EQ(Report().icon, FrontendIcon::Warning);
}

TEST_F(BlockedWayTest, AMountPointIsNotSavedEither) {
    if (!MountInTheWay("replaced"))
        GTEST_SKIP() << "mounting a tmpfs needs root";
    package.config.AddBool("opt_save_replaced", true);
    AddFolder("replaced", Meta("Target", "Replace"));
    KeepWhatIsPlaced();
    ASSERT_EQ(Run(), kInstallIncomplete);
    ExpectReportedNotPlaced("replaced", "on the volume");
    EXPECT_FALSE(fs::exists(Folder() / "Saved Files" / "replaced"));
    EXPECT_FALSE(LogHas("Existing file saved."));
}

TEST_F(BlockedWayTest, AMountedCustomFolderIsNotClearedAndItsItemsAreReported) {
    if (!MountInTheWay("Manuals"))
        GTEST_SKIP() << "mounting a tmpfs needs root";
    package.AddCustomFolder("Manuals", 3000, "Target/Manuals", true);
    AddFile("guide", "g", Meta("Manuals"));
    ui.frontend.Answer(0); // the warning
    ui.frontend.Answer(1); // keep what was placed
    ASSERT_EQ(Run(), kInstallIncomplete);
    EXPECT_EQ(ReadFile(target / "Manuals" / "on the volume"), "kept");
    EXPECT_FALSE(fs::exists(target / "Manuals" / "guide"));
    EXPECT_TRUE(LogHas("\t\t\tNot installed: the folder " + (target / "Manuals").string() +
                       " holds a mounted file system and is not replaced\n"))
        << LogText();
}

TEST_F(BlockedWayTest, AFolderThatCannotBeRemovedIsReportedAndNothingGoesInside) {
    if (geteuid() != 0 || !UndeletableInTheWay("replaced") || !UndeletableInTheWay("asked"))
        GTEST_SKIP() << "making a file undeletable needs root and a file system that can";
    AddFolder("replaced", Meta("Target", "Replace"));
    AddFolder("asked", Meta("Target", "Prompt"));
    ui.frontend.Answer(1);
    KeepWhatIsPlaced();
    ASSERT_EQ(Run(), kInstallIncomplete);
    ExpectReportedNotPlaced("replaced", "locked");
    ExpectReportedNotPlaced("asked", "locked");
    EXPECT_FALSE(LogHas("Existing file removed."));
    EXPECT_TRUE(LogHas("could not be removed: " + (target / "replaced" / "locked").string() +
                       " is marked immutable or append-only"));
    EXPECT_NE(Report().text.find("not installed"), std::string::npos);
}

// A link is not placed inside a folder that stays in its way, and no answer is invented.
TEST_F(BlockedWayTest, ALinkWhoseWayStaysBlockedIsReportedWithoutAnAnswer) {
    fs::path links = fs::path(StdFolder(B_USER_DIRECTORY)) / "Links";
    package.AddCustomFolder("Links", 3000, "Links", false);
    fs::path locked = links / "tool" / "locked";
    WriteFile(locked, "kept");
    if (geteuid() != 0 || !SetImmutable(locked, true))
        GTEST_SKIP() << "making a file undeletable needs root and a file system that can";
    immutable.push_back(locked);
    AddFile("tool", "new", Meta("User Selected", "Replace", "Links", "Replace"));
    ASSERT_EQ(Run(), kInstallIncomplete);
    EXPECT_FALSE(fs::exists(links / "tool" / "tool"));
    EXPECT_FALSE(LogHas("User desired not to place a link"));
    EXPECT_FALSE(LogHas("Existing file removed."));
}

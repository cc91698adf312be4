// Items and links that meet an existing entry of the same name.

#include "InstallRunFixture.h"

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

#include "engine/CollisionPolicy.h"

#include <gtest/gtest.h>

TEST(CollisionPolicy, ModesAreExactAndEverythingElseReplaces) {
    EXPECT_EQ(CollisionModeFrom("Prompt"), CollisionMode::Prompt);
    EXPECT_EQ(CollisionModeFrom("Rename"), CollisionMode::Rename);
    EXPECT_EQ(CollisionModeFrom("Replace"), CollisionMode::Replace);
    EXPECT_EQ(CollisionModeFrom("replace"), CollisionMode::Replace);
    EXPECT_EQ(CollisionModeFrom("prompt"), CollisionMode::Replace);
    EXPECT_EQ(CollisionModeFrom("Prompt "), CollisionMode::Replace);
    EXPECT_EQ(CollisionModeFrom(nullptr), CollisionMode::Replace);
}

TEST(CollisionPolicy, ReplaceAndRenameNeverAsk) {
    CollisionSwitches switches;
    EXPECT_FALSE(CollisionPolicy::NeedsQuestion(CollisionMode::Replace, switches));
    EXPECT_FALSE(CollisionPolicy::NeedsQuestion(CollisionMode::Rename, switches));

    CollisionOutcome removed =
        CollisionPolicy::Decide(CollisionMode::Replace, switches, false, std::nullopt, false);
    EXPECT_TRUE(removed.place);
    EXPECT_EQ(removed.fate, ExistingEntryFate::Removed);
    CollisionOutcome saved =
        CollisionPolicy::Decide(CollisionMode::Replace, switches, true, std::nullopt, false);
    EXPECT_EQ(saved.fate, ExistingEntryFate::Saved);
    CollisionOutcome renamed =
        CollisionPolicy::Decide(CollisionMode::Rename, switches, true, std::nullopt, false);
    EXPECT_TRUE(renamed.place);
    EXPECT_EQ(renamed.fate, ExistingEntryFate::Renamed);
}

TEST(CollisionPolicy, PromptWithoutApplyToAllAsksAgain) {
    CollisionSwitches switches;
    ASSERT_TRUE(CollisionPolicy::NeedsQuestion(CollisionMode::Prompt, switches));
    CollisionOutcome no = CollisionPolicy::Decide(CollisionMode::Prompt, switches, false, 0, false);
    EXPECT_FALSE(no.place);
    EXPECT_EQ(no.fate, ExistingEntryFate::Kept);
    EXPECT_TRUE(CollisionPolicy::NeedsQuestion(CollisionMode::Prompt, switches));

    CollisionOutcome yes =
        CollisionPolicy::Decide(CollisionMode::Prompt, switches, false, 1, false);
    EXPECT_TRUE(yes.place);
    // Without saving, the existing entry is left for the caller to replace.
    EXPECT_EQ(yes.fate, ExistingEntryFate::Kept);
}

TEST(CollisionPolicy, ApplyToAllRemembersTheAnswer) {
    CollisionSwitches switches;
    CollisionOutcome first =
        CollisionPolicy::Decide(CollisionMode::Prompt, switches, true, 1, true);
    EXPECT_TRUE(first.place);
    EXPECT_EQ(first.fate, ExistingEntryFate::Saved);
    EXPECT_FALSE(CollisionPolicy::NeedsQuestion(CollisionMode::Prompt, switches));
    CollisionOutcome later =
        CollisionPolicy::Decide(CollisionMode::Prompt, switches, true, std::nullopt, false);
    EXPECT_TRUE(later.place);
    EXPECT_EQ(later.fate, ExistingEntryFate::Saved);

    CollisionSwitches declined;
    CollisionPolicy::Decide(CollisionMode::Prompt, declined, false, 0, true);
    CollisionOutcome silent =
        CollisionPolicy::Decide(CollisionMode::Prompt, declined, false, std::nullopt, false);
    EXPECT_FALSE(silent.place);
}

#pragma once

// What happens when an item or a link is about to be placed where an entry of the same name
// already is. The package names a mode per item; "Prompt" asks the user, and an answer
// given with "Apply to all future collisions" is reused for the rest of the run.

#include <optional>

enum class CollisionMode { Prompt, Rename, Replace };

// "Prompt" and "Rename" compared exactly; anything else, and no text, is Replace.
CollisionMode CollisionModeFrom(const char* text);

// One pair per kind of entry (items, links), kept for a whole run.
struct CollisionSwitches {
    bool ask = true;    // the next "Prompt" collision shows the question
    bool answer = true; // the last answer: true for replace
};

enum class ExistingEntryFate {
    Kept,    // left where it is (not placed, or left for the caller to overwrite)
    Saved,   // moved into the saved files folder
    Renamed, // given a free copy name in its own folder
    Removed  // deleted with all its contents
};

struct CollisionOutcome {
    bool place = true;
    ExistingEntryFate fate = ExistingEntryFate::Kept;
};

class CollisionPolicy {
public:
    // Whether this collision must ask the user.
    static bool NeedsQuestion(CollisionMode mode, const CollisionSwitches& switches);

    // Decides a collision. `reply` is the user's answer (pressed button, apply-to-all box)
    // when NeedsQuestion was true; the switches are updated from it.
    static CollisionOutcome Decide(CollisionMode mode, CollisionSwitches& switches,
                                   bool saveReplaced, std::optional<int> button, bool applyToAll);
};

#include "engine/CollisionPolicy.h"

#include <cstring>

CollisionMode CollisionModeFrom(const char* text) {
    if (text != nullptr && std::strcmp(text, "Prompt") == 0)
        return CollisionMode::Prompt;
    if (text != nullptr && std::strcmp(text, "Rename") == 0)
        return CollisionMode::Rename;
    return CollisionMode::Replace;
}

bool CollisionPolicy::NeedsQuestion(CollisionMode mode, const CollisionSwitches& switches) {
    return mode == CollisionMode::Prompt && switches.ask;
}

CollisionOutcome CollisionPolicy::Decide(CollisionMode mode, CollisionSwitches& switches,
                                         bool saveReplaced, std::optional<int> button,
                                         bool applyToAll) {
    CollisionOutcome outcome;
    switch (mode) {
    case CollisionMode::Prompt:
        if (switches.ask && button.has_value()) {
            // The second button is "Replace".
            switches.answer = *button == 1;
            switches.ask = !applyToAll;
        }
        outcome.place = switches.answer;
        if (outcome.place && saveReplaced)
            outcome.fate = ExistingEntryFate::Saved;
        break;
    case CollisionMode::Rename:
        outcome.fate = ExistingEntryFate::Renamed;
        break;
    case CollisionMode::Replace:
        outcome.fate = saveReplaced ? ExistingEntryFate::Saved : ExistingEntryFate::Removed;
        break;
    }
    return outcome;
}

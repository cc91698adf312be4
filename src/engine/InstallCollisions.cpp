// The collisions of a run: what happens to an entry that stands where an item or a link is
// to be placed (asked, kept, saved, renamed or removed, as CollisionPolicy decides).

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "engine/CollisionPolicy.h"
#include "engine/EngineTexts.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "files/LibFileOps.h"
#include "platform/interface/Frontend.h"

bool InstallConfig::RemoveInTheWay(const std::string& leaf, const std::string& existing) {
    if (InstallPaths::HoldsMountPoint(existing)) {
        Failure(leaf, "the existing entry " + existing +
                          " holds a mounted file system and is not removed");
        return false;
    }
    // Known before anything is touched: the removal is held for an undo and only completed
    // when the run is, so a part that cannot go would stay behind unseen.
    std::string blocker = InstallPaths::RemovalBlocker(existing);
    if (!blocker.empty()) {
        Failure(leaf, "the existing entry " + existing + " could not be removed: " + blocker);
        return false;
    }
    errno = 0;
    bool removed = RemoveExisting(existing);
    int error = errno;
    if (!removed || InstallPaths::EntryExists(existing)) {
        std::string reason = "the existing entry " + existing + " could not be removed";
        if (error != 0)
            reason += std::string(" (") + std::strerror(error) + ")";
        Failure(leaf, reason);
        return false;
    }
    return true;
}

bool InstallConfig::ReplaceControl(const char* folder, const BPath& item, const char* mode,
                                   bool& ask, bool& answer, const BPath& savedFiles, bool* failed) {
    if (failed != nullptr)
        *failed = false;
    auto fail = [&] {
        if (failed != nullptr)
            *failed = true;
        return false;
    };
    std::string leaf = item.Leaf() != nullptr ? item.Leaf() : "";
    std::string existing = InstallPaths::Join(folder != nullptr ? folder : "", leaf);
    if (!InstallPaths::EntryExists(existing))
        return true;

    CollisionMode collisionMode = CollisionModeFrom(mode);
    CollisionSwitches switches{ask, answer};
    std::optional<int> button;
    bool applyToAll = false;
    if (CollisionPolicy::NeedsQuestion(collisionMode, switches)) {
        FrontendRequest request;
        request.title = "ReplaceAlert";
        request.text = EngineTexts::ReplaceQuestion(existing.c_str());
        request.buttons = {"Don't Replace", "Replace"};
        request.shortcuts = {'d', 'r'};
        request.icon = FrontendIcon::Warning;
        request.hasBox = true;
        request.boxLabel = "Apply to all future collisions";
        request.isReplace = true;
        request.existingPath = existing;
        request.newPath = item.Path() != nullptr ? item.Path() : "";
        request.language = fRun->language;
        FrontendAnswer reply = AskFrontend(request);
        button = reply.button;
        applyToAll = reply.boxChecked;
    }
    bool saveReplaced = BoolValue("opt_save_replaced") && savedFiles.Path() != nullptr &&
                        savedFiles.Path()[0] != '\0';
    CollisionOutcome outcome =
        CollisionPolicy::Decide(collisionMode, switches, saveReplaced, button, applyToAll);
    ask = switches.ask;
    answer = switches.answer;

    switch (outcome.fate) {
    case ExistingEntryFate::Saved: {
        // Two replaced entries of the same name must not overwrite each other in the
        // saved files folder.
        std::string target = InstallPaths::FreeName(savedFiles.Path(), leaf);
        // A move across file systems copies and then deletes: never a mounted volume's
        // contents.
        if (InstallPaths::HoldsMountPoint(existing)) {
            Failure(leaf, "the existing entry " + existing +
                              " holds a mounted file system and is not saved");
            return fail();
        }
        // Saved Files on a volume that cannot keep the entry's mode, owner or attributes
        // (FAT, exFAT) does not take it: put back, it would not be what it was.
        std::string lost;
        if (InstallFolderSwapped() || !NoteMoved(existing, target) ||
            !LibMoveKeepingAll(existing.c_str(), Through(target).c_str(), &lost) ||
            InstallPaths::EntryExists(existing)) {
            Failure(leaf, "the existing entry " + existing + " could not be saved" +
                              (lost.empty() ? std::string()
                                            : " (the volume of " + fRun->savedFiles +
                                                  " cannot keep it: " + lost + ")"));
            return fail();
        }
        fRun->ledger.saved.push_back({target, existing});
        Log("\t\t\tExisting file saved.\n");
        break;
    }
    case ExistingEntryFate::Renamed: {
        // The first free copy name, as the Tracker's duplicate gives it.
        std::string why;
        if (NoteMoved(existing, InstallPaths::FreeName(InstallPaths::Parent(existing), leaf))) {
            Result<std::string> renamed = LibDuplicateEntry(existing.c_str());
            if (!renamed)
                why = " (" + renamed.Error().reason + ")";
        }
        if (InstallPaths::EntryExists(existing)) {
            Failure(leaf, "the existing entry " + existing + " could not be renamed" + why);
            return fail();
        }
        Log("\t\t\tExisting file renamed\n");
        break;
    }
    case ExistingEntryFate::Removed:
        if (!RemoveInTheWay(leaf, existing))
            return fail();
        Log("\t\t\tExisting file removed.\n");
        break;
    case ExistingEntryFate::Kept:
        break;
    }
    return outcome.place;
}

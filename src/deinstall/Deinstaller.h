#pragma once

// Removes what an installation placed, and only that. Looking comes before touching: the
// plan says, for every entry the installation listed, whether it will go or why it stays.
//  - A file or folder goes only while its "InstallBy" still holds this product's identity:
//    an entry that a later installation of another product tagged stays, and so does one
//    that lost its tag.
//  - A folder goes only when it is empty once its listed contents are gone, so what the
//    user added to it survives (and the folder with it).
//  - A link goes, by its own path, only while it still points where the installation
//    pointed it.
//  - The start-up blocks named by the configuration and the list are taken out of their
//    files; the files keep a ".orig" copy.
// After that, on request, the entries the installation replaced are put back from "Saved
// Files"; folders and start-up files the installation made are removed when nothing is
// left in them; and last the installation folder goes when it holds nothing but the
// deinstaller, its record, the log and an empty "Saved Files".

#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "deinstall/DeinstallRecord.h"

enum class PlanKind { File, Folder, Link, Block };

enum class PlanState {
    Remove,    // will be removed
    Retagged,  // another product installed it since: it stays
    Untagged,  // carries no tag of this product any more: it stays
    LinkMoved, // the link points elsewhere now (or is no link any more): it stays
    Gone       // not there any more
};

struct PlanItem {
    PlanKind kind = PlanKind::File;
    PlanState state = PlanState::Remove;
    std::string path; // the entry, or the file holding the block
    std::string tag;  // the block's tag
};

struct DeinstallOutcome {
    std::vector<std::string> removed;  // what this run removed
    std::vector<std::string> kept;     // folders kept because they hold other entries
    std::vector<std::string> failed;   // "path: reason" of what could not be removed
    std::vector<std::string> restored; // entries put back in their places
    std::vector<std::string> restoreFailed;
    // Folders of the installation that were swapped for another folder or a link after it:
    // nothing in them or behind them was touched.
    std::vector<std::string> replaced;
    bool installFolderRemoved = false;
    // Whether everything meant to go is gone (and every requested restore was made).
    bool Complete() const { return failed.empty() && restoreFailed.empty() && replaced.empty(); }
};

class FolderCursor;

class Deinstaller {
public:
    // `self` is the deinstaller's own file; the installation folder is the folder it is in.
    Deinstaller(DeinstallRecord record, std::string self);

    const DeinstallRecord& Record() const { return fRecord; }
    const std::string& InstallFolder() const { return fInstallFolder; }
    const std::vector<PlanItem>& Plan() const;
    // The installation's folders found swapped for another folder or a link when the plan
    // was made.
    std::vector<std::string> ReplacedFolders() const;
    int32_t CountToRemove() const;
    // Saved copies that can be put back now.
    std::vector<std::pair<std::string, std::string>> Restorable() const;

    // Called before each removal with its number (from 1), the count and the leaf.
    using Progress = std::function<void(int index, int total, const std::string& leaf)>;
    DeinstallOutcome Run(bool restore, const Progress& progress = nullptr);

private:
    // Looks at every listed entry again; after a run, only when the plan is asked for.
    void MakePlan() const;
    void Refresh() const;
    PlanItem InspectEntry(const std::string& path) const;
    PlanItem InspectEntry(const std::string& path, FolderCursor& cursor) const;
    PlanState TagState(const std::string& path) const;
    PlanState TagState(const std::string& path, FolderCursor& cursor) const;
    // The entry's "InstallBy" text, read without following a link; false with errno.
    bool ReadTag(const std::string& path, FolderCursor& cursor, std::string& tag) const;
    // A tagged entry, a link, or a folder holding nothing else.
    bool IsOwnTree(const std::string& path, FolderCursor& cursor) const;
    // Whether a saved entry is what an earlier installation of this product placed where
    // this one replaced it: then it goes with the product instead of coming back.
    bool IsOwnSaved(const std::string& saved, const std::string& origin,
                    FolderCursor& cursor) const;
    // Plans the entry and everything inside it, contents first.
    void PlanTree(const std::string& path, FolderCursor& cursor) const;
    // The names in a folder, reached through the noted folders; none when it was replaced.
    std::vector<std::string> Children(const std::string& folder) const;
    // Opens a folder through the noted folders (storage/NotedFolders.h); a replaced folder
    // on the way is remembered and gives -1 with errno EXDEV.
    int OpenFolder(const std::string& path, int flags, bool make) const;
    void NoteReplaced(const std::string& folder) const;
    // Removes one planned entry: 0, or why it stays (an errno, or -1 for a start-up file
    // that could not be rewritten). ENOENT counts as removed.
    int RemoveEntry(const PlanItem& item, FolderCursor& cursor);
    void NoteRemoval(const PlanItem& item, int error, DeinstallOutcome& outcome);
    void RemoveItem(const PlanItem& item, DeinstallOutcome& outcome, FolderCursor& cursor);
    // Removes every planned entry, telling the progress; errors[i] is removals[i]'s.
    void RemovePlanned(const std::vector<const PlanItem*>& removals, std::vector<int>& errors,
                       const Progress& progress);
    void RemoveHooks(DeinstallOutcome& outcome);
    void RestoreSaved(DeinstallOutcome& outcome);
    void RemoveCreated(DeinstallOutcome& outcome);
    // Tells the desktop that menu entries and icons are gone (their folders given).
    void RefreshDesktop(const std::set<std::string>& menuFolders,
                        const std::set<std::string>& iconThemes);
    void RemoveInstallFolder(DeinstallOutcome& outcome);
    bool InsideInstallFolder(const std::string& path) const;

    DeinstallRecord fRecord;
    std::string fIdentity;
    std::string fSelf;
    std::string fInstallFolder;
    mutable std::vector<PlanItem> fPlan;
    mutable bool fStale = false;
    // Where each placed link pointed, by the link's path.
    mutable std::unordered_map<std::string, std::string> fLinkTargets;
    // Start-up files given their ".orig" copy in this run: it keeps the file as it was
    // before the deinstaller, not between two of its edits.
    std::set<std::string> fBackedUp;
    // Original places given back their saved entry in this run: what lies there now is the
    // user's again.
    std::set<std::string> fRestored;
    // The installation's folders found replaced, in the order found.
    mutable std::vector<std::string> fReplaced;
};

// A line for the list of what will be removed ("path", or "#BEGIN_tag in file").
std::string DescribePlanItem(const PlanItem& item);

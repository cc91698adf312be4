#pragma once

// An installation run as a transaction: one run at a time per installation folder (its
// RunLock), and a journal in which every change is named, and on the disk, before it is made
// ("record, then change"), so that a run that did not complete can be taken back (RunUndo)
// by itself, by the next run or by the deinstaller. It knows nothing of the package, the
// front-end or the run's report: what fails comes back as a value.
//
// It outlives a run: a run the window stopped keeps its journal open until the user chose
// between undo and keep (Unsettled()).

#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/RunLock.h"
#include "lib/Result.h"

class RunTransaction {
public:
    RunLock& Lock() { return fLock; }

    // Starts the journal of the run into `installFolder`. False with Error() set.
    bool Begin(const std::string& installFolder, const std::string& product);
    // Whether a journal is kept: without one (a run that is not a transaction, or one that
    // ended) every Note is true and nothing is written.
    bool IsOpen() const { return fJournal.IsOpen(); }
    // Why the last Note, Begin or Commit failed.
    const std::string& Error() const { return fJournal.Error(); }
    const Journal& Records() const { return fJournal; }

    // Names a change before it is made; false, with Error(), when it could not be written.
    bool Note(const JournalRecord& record);
    bool NoteNewEntry(const std::string& path) { return Note({JournalKind::Entry, path, "", ""}); }
    // Names every folder of `path` that does not exist yet, outermost first.
    bool NoteNewFolders(const std::string& path);
    bool NoteMoved(const std::string& from, const std::string& to) {
        return Note({JournalKind::Move, from, to, ""});
    }
    // Notes which folder is at `path` now, so that the undo acts in it only while it is still
    // that one. False without a reason when `path` is no folder.
    bool NoteIdentity(const std::string& path);

    // Moves the entry at `path` out of the way, to a hidden name beside it, named first: the
    // undo puts it back, settling removes it. A failure to name it has the journal's reason.
    Result<void> MoveAside(const std::string& path);
    // Keeps a whole copy of the file at `path` beside it, on the disk and named, before the
    // file is edited in place; the undo puts it back with one rename.
    Result<void> KeepBefore(const std::string& path);

    // Completes the run: everything the journal names reaches the disk, then the commit is
    // written and what was held for an undo goes. Fails, leaving the journal, when a volume
    // could not be written; `warning` tells of a commit record that could not be written.
    Result<void> Commit(std::string& warning);
    // Takes everything back, newest change first, and lets the folder go. The problems
    // met, one line each.
    std::vector<std::string> Undo();
    // Leaves the journal on the disk as it is: the deinstaller takes the run back from it.
    void Close() { fJournal.Close(); }
    void Release() { fLock.Release(); }

    // A run that did not complete and whose undo-or-keep decision is still open.
    bool Unsettled() const { return fUnsettled; }
    void SetUnsettled(bool unsettled) { fUnsettled = unsettled; }

private:
    Journal fJournal;
    RunLock fLock;
    bool fUnsettled = false;
};

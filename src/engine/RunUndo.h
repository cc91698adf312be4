#pragma once

// Takes back what an installation run did, from its journal: newest change first, every
// entry the run made is removed and every entry it moved (into "Saved Files", aside, to
// the Trash, or kept before an edit) is put back where it was, with its contents, mode and
// attributes. Each step looks at the disk before acting, so that a journal whose last
// change was written down but never made, or an undo that was itself interrupted, is
// undone all the same by running it again.
//
// Folders the run made or worked in were noted with their device and inode. Everything
// below such a folder is reached from a descriptor of that folder, one name at a time and
// never through a link, and only while the folder is still the one noted: a folder that
// someone replaced (by another folder or by a link to one) is left alone and reported.
//
// Settle() is the other ending: the run completed, or the user kept what it placed; what
// was only held for an undo goes.

#include <string>
#include <vector>

#include "engine/Journal.h"
#include "files/NotedFolders.h"
#include "lib/PosixFs.h"

class RunUndo {
public:
    explicit RunUndo(JournalContents contents);

    // True when everything was undone; Problems() says what was not, and why.
    bool Undo();
    void Settle();
    // Folders the run made that hold nothing but the journal and the lock file while the
    // undo runs: they go after those two (call it once the journal is discarded and the
    // lock released).
    void RemoveFoldersLeftForLast();
    // Those folders, inner ones first, for a run that goes on in them instead.
    const std::vector<std::string>& FoldersLeftForLast() const { return fLeftForLast; }
    const std::vector<std::string>& Problems() const { return fProblems; }

    // What Undo() would remove, and what it would put back ("path" lines), for a user who
    // is asked first.
    std::vector<std::string> EntriesToRemove() const;
    std::vector<std::string> EntriesToPutBack() const;

    // Removes, in `folder`, the temporary files and folders of this user that the run's
    // process left (the ".tarnw-<kind>-<pid>-..." names); with pid 0 those of every
    // process that is gone.
    static void RemoveLeftovers(const std::string& folder, int32 pid);
    static void RemoveLeftoversAt(int folderFd, int32 pid);

    // The prefix of the names under which a run keeps what it holds for an undo.
    static const char* HeldTag() { return "held"; }
    static const char* BeforeTag() { return "before"; }

private:
    // An open folder and a name in it.
    struct Place {
        int folder = -1;
        std::string leaf;
    };

    void UndoRecord(const JournalRecord& record);
    bool InsideInstallFolder(const std::string& path) const;
    bool HoldsOnlyTheRunsOwn(const std::string& folder);
    void Problem(const std::string& path, const std::string& reason);
    std::vector<std::string> FoldersTouched() const;

    // The folder at `path`, open, reached as the class comment says; `make` makes missing
    // levels below a noted folder. None when it is not there (errno ENOENT) or was
    // replaced (then a problem is noted once).
    posixfs::OwnedFd OpenFolder(const std::string& path, bool make);
    // The folder holding `path`, open, and the leaf; folder -1 as above.
    Place PlaceOf(const std::string& path, bool make = false);
    static void Close(Place& place);
    bool Exists(const Place& place) const;
    bool IsFolder(const Place& place) const;
    // Moves `from` to `to`; across volumes by copying (as LibMoveAsIs does).
    bool Move(const Place& from, const Place& to);

    JournalContents fContents;
    NotedFolders fFolders;
    std::vector<std::string> fReplaced; // noted folders found replaced, reported once
    std::vector<std::string> fProblems;
    std::vector<std::string> fLeftForLast;
};

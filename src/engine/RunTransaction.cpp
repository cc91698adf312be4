#include "engine/RunTransaction.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "engine/InstallPaths.h"
#include "engine/RunUndo.h"
#include "files/LibFileOps.h"
#include "lib/PosixFs.h"

bool RunTransaction::Begin(const std::string& installFolder, const std::string& product) {
    return fJournal.Begin(installFolder, product);
}

bool RunTransaction::Note(const JournalRecord& record) {
    return !fJournal.IsOpen() || fJournal.Note(record);
}

bool RunTransaction::NoteNewFolders(const std::string& path) {
    std::vector<std::string> missing;
    for (std::string level = path;
         !level.empty() && level != "/" && !InstallPaths::EntryExists(level);
         level = InstallPaths::Parent(level))
        missing.push_back(level);
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        if (!Note({JournalKind::Folder, *level, "", ""}))
            return false;
    }
    return true;
}

bool RunTransaction::NoteIdentity(const std::string& path) {
    return !fJournal.IsOpen() || fJournal.NoteIdentity(path);
}

Result<void> RunTransaction::MoveAside(const std::string& path) {
    std::string held =
        InstallPaths::Join(InstallPaths::Parent(path), posixfs::TemporaryLeaf(RunUndo::HeldTag()));
    if (!NoteMoved(path, held))
        return Failure::Because("cannot name the move of", path, Error());
    if (rename(path.c_str(), held.c_str()) != 0)
        return Failure::System("cannot move out of the way", path);
    return Done();
}

Result<void> RunTransaction::KeepBefore(const std::string& path) {
    // The copy is whole before the journal names it, so an undo never puts back half a
    // file; it sits beside the file, so that putting it back is one rename.
    std::string copy = InstallPaths::Join(InstallPaths::Parent(path),
                                          posixfs::TemporaryLeaf(RunUndo::BeforeTag()));
    // ... and on the disk before the edit can be.
    if (!LibCopy(path.c_str(), copy.c_str()) || !posixfs::SyncFileAndFolder(copy)) {
        unlink(copy.c_str());
        return Failure::Because("cannot copy before its edit", path, "");
    }
    if (!Note({JournalKind::Before, path, copy, ""})) {
        unlink(copy.c_str());
        return Failure::Because("cannot name the edit of", path, Error());
    }
    return Done();
}

Result<void> RunTransaction::Commit(std::string& warning) {
    warning.clear();
    if (!fJournal.IsOpen())
        return Done();
    // Everything placed reaches the disk before the run counts as complete: a power cut
    // after the commit finds every file with its contents. Without that the run is
    // incomplete, and its journal stays.
    std::vector<std::string> placed = {fJournal.FilePath()};
    for (const JournalRecord& record : fJournal.Records())
        for (const std::string* path : {&record.path, &record.other, &record.third})
            if (!path->empty())
                placed.push_back(*path);
    std::string error;
    if (!posixfs::SyncVolumesOf(placed, &error))
        return Failure::Because("cannot complete the run in", fJournal.InstallFolder(), error);
    // From here on the run counts as complete: a run killed later is settled, not undone.
    if (!fJournal.Note({JournalKind::Commit, "", "", ""}))
        warning = fJournal.Error();
    RunUndo(fJournal.Contents()).Settle();
    fJournal.Discard();
    return Done();
}

std::vector<std::string> RunTransaction::Undo() {
    RunUndo run(fJournal.Contents());
    run.Undo();
    fJournal.Discard();
    fLock.Release();
    run.RemoveFoldersLeftForLast();
    return run.Problems();
}

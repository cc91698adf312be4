// The steps of InstallConfig that make a run a transaction: the lock on the installation
// folder, the recovery of a run that did not finish, the journal written before each
// change, and the end of a run that did not complete (undo, or keep what was placed).

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/EngineTexts.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "engine/RunUndo.h"
#include "files/LibFileOps.h"
#include "files/TrashRecord.h"
#include "frontend/LibAlert.h"
#include "lib/PosixFs.h"
#include "locale/xLocalize.h"
#include "platform/interface/Frontend.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"

namespace {

std::string ListOf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += "\n" + line;
    return text;
}

} // namespace

bool InstallConfig::BeginTransaction(EngineTexts& texts) {
    fTransaction.SetUnsettled(false);
    // One run per installation folder: a second one waits here for the first to end.
    std::string lockPath = Journal::LockPathFor(fRun->installFolder);
    RunLock& lock = fTransaction.Lock();
    bool acquired = lock.Acquire(
        lockPath,
        [&](pid_t holder) {
            if (holder != 0)
                UpdateStatus("%s", texts.Format(1130, std::to_string(holder).c_str()).c_str());
            else
                UpdateStatus("%s", texts.Get(1125).c_str());
        },
        [&] { return StoppedHere(); });
    if (!acquired) {
        if (lock.Why() == RunLock::Refusal::Foreign) {
            std::string holder = lock.Holder() != 0 ? std::to_string(lock.Holder()) : "?";
            ReportDetail(texts.Format(1131, holder.c_str(), lockPath.c_str()));
        } else if (lock.Why() == RunLock::Refusal::NotAFile) {
            ReportDetail(texts.Format(1132, lockPath.c_str()));
        } else if (!StoppedHere()) {
            ReportDetail("Unable to create installation folder '" + fRun->installFolder +
                         "': " + lock.Error());
        }
        return false;
    }
    RecoverEarlierRun(texts);
    if (!fTransaction.Begin(fRun->installFolder,
                            std::string(StringValue("app_name")) + " " + StringValue("version"))) {
        ReportDetail("Unable to create installation folder '" + fRun->installFolder +
                     "': " + fTransaction.Error());
        fTransaction.Release();
        return false;
    }
    // Folders made for this installation before the run (the default destination) go with
    // an undo too, when nothing else is in them.
    for (const std::string& folder : fRun->foldersMadeBefore) {
        if (!fTransaction.Note({JournalKind::Folder, folder, "", ""}))
            break;
    }
    fRun->journalled = true;
    // What the installer records for itself is made now, each new entry named first, so
    // that an undone or removed installation leaves the home folder as it was.
    if (fPlanStartRecord && fMakeStartRecord) {
        std::vector<std::string> planned = fPlanStartRecord();
        bool noted = true;
        for (size_t i = 0; noted && i < planned.size(); i++)
            noted = fTransaction.Note(
                {i + 1 < planned.size() ? JournalKind::Folder : JournalKind::Entry, planned[i], "",
                 ""});
        if (noted) {
            fMakeStartRecord();
            fRun->entriesMadeAtStart = planned;
        }
    }
    // The undo acts in the destination, and in the folders made for it, only while they are
    // still the folders they are now.
    for (const std::string& folder : fRun->foldersMadeBefore)
        NoteFolderIdentity(folder);
    NoteFolderIdentity(InstallPaths::Parent(fRun->installFolder));
    return true;
}

void InstallConfig::RecoverEarlierRun(EngineTexts& texts) {
    std::string path = Journal::PathFor(fRun->installFolder);
    struct stat named;
    if (lstat(path.c_str(), &named) == 0) {
        JournalContents earlier;
        std::string error;
        bool notOwn = false;
        std::string stranger;
        if (!Journal::Load(path, earlier, error, &notOwn)) {
            // What another user could have written is not believed, nor acted on.
            if (notOwn)
                ReportSetAside(path, "", error);
            else
                fRun->report.Warning(error + "; it is set aside");
        } else if (earlier.installFolder != fRun->installFolder) {
            fRun->report.Warning("the journal " + path + " belongs to " + earlier.installFolder +
                                 "; it is set aside");
        } else if (stranger = ScopeOfRun().FirstStranger(earlier); !stranger.empty()) {
            ReportSetAside(path, stranger, "the journal " + path + " names " + stranger);
        } else if (earlier.committed) {
            // That run completed; only what it held for an undo was left.
            RunUndo(earlier).Settle();
        } else {
            LibInfo("%s", texts.Format(1126, fRun->installFolder.c_str()).c_str());
            UpdateStatus("%s", texts.Get(1127).c_str());
            RunUndo undo(earlier);
            undo.Undo();
            // The lock stays: this run goes on in the same place. The folders that run made
            // for it (the default destination) become this run's, to go with its undo or its
            // deinstaller.
            unlink(path.c_str());
            const std::vector<std::string>& left = undo.FoldersLeftForLast();
            for (auto folder = left.rbegin(); folder != left.rend(); ++folder) {
                if (std::find(fRun->foldersMadeBefore.begin(), fRun->foldersMadeBefore.end(),
                              *folder) == fRun->foldersMadeBefore.end())
                    fRun->foldersMadeBefore.push_back(*folder);
            }
            if (!undo.Problems().empty())
                LibWarning("%s%s", texts.Get(1124).c_str(), ListOf(undo.Problems()).c_str());
        }
        // Whatever it was, the name is this run's journal's now (Journal::Begin makes it
        // anew).
    }
    // Temporary files of runs whose process is gone (killed before its journal began, or
    // while it wrote outside it).
    RunUndo::RemoveLeftovers(fDestinationPath, 0);
    if (InstallPaths::IsFolder(fRun->installFolder))
        RunUndo::RemoveLeftovers(fRun->installFolder, 0);
}

void InstallConfig::NoteFolderIdentity(const std::string& folder) {
    if (!fTransaction.NoteIdentity(folder) && !fTransaction.Error().empty())
        fRun->report.Warning(fTransaction.Error());
}

bool InstallConfig::NoteChange(const JournalRecord& record) {
    if (fTransaction.Note(record))
        return true;
    ReportJournalFailure(record.path);
    return false;
}

void InstallConfig::ReportJournalFailure(const std::string& path) {
    fRun->report.Warning(fTransaction.Error());
    fRun->report.ListFailure(InstallPaths::Leaf(path) + ": " + fTransaction.Error());
}

bool InstallConfig::NoteNewEntry(const std::string& path) {
    return NoteChange({JournalKind::Entry, path, "", ""});
}

bool InstallConfig::NoteNewFolders(const std::string& path) {
    if (fTransaction.NoteNewFolders(path))
        return true;
    ReportJournalFailure(path);
    return false;
}

bool InstallConfig::NoteMoved(const std::string& from, const std::string& to) {
    return NoteChange({JournalKind::Move, from, to, ""});
}

bool InstallConfig::RemoveExisting(const std::string& path) {
    if (!InstallPaths::EntryExists(path))
        return true;
    if (!fTransaction.IsOpen()) {
        LibUnlink(path.c_str());
        return !InstallPaths::EntryExists(path);
    }
    Result<void> aside = fTransaction.MoveAside(path);
    if (aside)
        return true;
    if (aside.Error().error == 0)
        ReportJournalFailure(path);
    else
        fRun->report.Warning("cannot move " + path + " out of the way: " + aside.Error().reason);
    return false;
}

bool InstallConfig::KeepBeforeEdit(const std::string& path) {
    if (!fTransaction.IsOpen() || !fRun->keptBefore.insert(path).second)
        return true;
    if (!InstallPaths::EntryExists(path))
        return NoteNewEntry(path);
    Result<void> kept = fTransaction.KeepBefore(path);
    if (kept)
        return true;
    if (kept.Error().reason.empty())
        fRun->report.ListFailure(InstallPaths::Leaf(path) + ": " + path +
                                 " could not be copied before its edit");
    else
        ReportJournalFailure(path);
    return false;
}

Result<std::string> InstallConfig::TrashExisting(const std::string& path) {
    if (!fTransaction.IsOpen())
        return LibTrashEntry(BPath(path.c_str()), false);
    const char* what = "cannot move to the Trash";
    BPath trash;
    status_t found = find_directory(B_TRASH_DIRECTORY, &trash, false);
    if (found != B_OK || trash.Path() == nullptr)
        return Failure::Because(what, path,
                                std::string("there is no Trash folder (") +
                                    strerror_status(found != B_OK ? found : B_ERROR) + ")");
    std::string files = trash.Path();
    std::string info = InstallPaths::Join(InstallPaths::Parent(files), "info");
    // A Trash made for this run is named first, and goes with its undo when left empty.
    for (const std::string& folder : {files, info}) {
        if (InstallPaths::EntryExists(folder))
            continue;
        if (!NoteNewFolders(folder))
            return Failure::Because(what, path, fTransaction.Error());
        std::vector<std::string> missing;
        for (std::string level = folder; !InstallPaths::EntryExists(level);
             level = InstallPaths::Parent(level))
            missing.insert(missing.begin(), level);
        for (const std::string& level : missing)
            mkdir(level.c_str(), 0700);
        NoteFolderIdentity(folder);
    }
    Result<TrashRecord> record = TrashRecord::Reserve(files, info, InstallPaths::Leaf(path));
    if (!record)
        return record.Error();
    if (!NoteChange({JournalKind::Trash, path, record->Target(), record->InfoPath()}))
        return Failure::Because(what, path, fTransaction.Error());
    if (Result<void> written = record->Write(path); !written)
        return written.Error();
    if (Result<void> moved = LibMoveEntryAsIs(path.c_str(), record->Target().c_str()); !moved) {
        record->Discard();
        return moved.Error();
    }
    return record->Target();
}

bool InstallConfig::CommitRun() {
    std::string warning;
    Result<void> committed = fTransaction.Commit(warning);
    if (!committed) {
        fRun->report.Warning(committed.Error().reason);
        fRun->report.ListFailure(committed.Error().reason);
        return false;
    }
    if (!warning.empty())
        fRun->report.Warning(warning);
    return true;
}

FrontendRequest InstallConfig::UndoOrKeepRequest() {
    std::unique_ptr<xLocalize> own;
    EngineTexts texts(Localize(own));
    FrontendRequest request;
    request.text = texts.Get(1120);
    request.buttons = {texts.Get(1121), texts.Get(1122)};
    // Return takes the rightmost button (Keep); Escape undoes.
    request.shortcuts = {B_ESCAPE, 0};
    request.icon = FrontendIcon::Warning;
    request.answerKey = "on_failure";
    request.answerValues = {"undo", "keep"};
    return request;
}

void InstallConfig::SettleRun(bool undo) {
    fTransaction.SetUnsettled(false);
    if (fTransaction.IsOpen()) {
        std::unique_ptr<xLocalize> own;
        EngineTexts texts(Localize(own));
        CloseLog();
        if (undo) {
            UpdateStatus("%s", texts.Get(1123).c_str());
            std::vector<std::string> problems = fTransaction.Undo();
            if (!problems.empty())
                LibWarning("%s%s", texts.Get(1124).c_str(), ListOf(problems).c_str());
        } else {
            // What stays is the deinstaller's to remove. Without its list, the journal stays
            // instead: the deinstaller then takes back everything the run made.
            size_t failures = fRun->report.Failures().size();
            WriteInstalledRecord();
            if ((fRun->report.Failures().size() != failures &&
                 InstallPaths::EntryExists(fRun->deinstallerPath)) ||
                !CommitRun())
                fTransaction.Close();
        }
    }
    fTransaction.Release();
}

void InstallConfig::EndRun(int32 result) {
    if (!fTransaction.IsOpen()) {
        fTransaction.Release();
        return;
    }
    bool offered = result == kInstallIncomplete || result == kInstallStopped;
    if (!offered) {
        // Nothing was placed worth keeping (the installation folder could not be made).
        SettleRun(true);
        return;
    }
    if (StopRequested()) {
        // The window stopped the worker; it asks once the worker has ended.
        fTransaction.SetUnsettled(true);
        CloseLog();
        return;
    }
    if (result == kInstallStopped) {
        std::unique_ptr<xLocalize> own;
        LibError("%s", EngineTexts(Localize(own)).Get(1027).c_str());
    }
    bool undo = AskFrontend(UndoOrKeepRequest()).button != 1;
    // A restart asked for at the end of the run is for what it placed: an undone run needs
    // none.
    if (undo)
        fRun->restart = false;
    SettleRun(undo);
}

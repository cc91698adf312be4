#pragma once

// The installation engine. It is at the same time the package configuration (the message
// of PackageConfig), the worker thread (LibThread) and the run: Action() checks the
// system's requirements, creates the installation folder, writes the log, places the
// deinstaller, extracts and places every selected item with its link and deinstall tag,
// edits the start-up scripts, offers to launch what was installed and shows the
// completion message. It talks to the window only through 'isud' (status texts) and
// 'LThC' (the end of the run, from LibThread), and to the user only through the
// front-end seam.
//
// Concurrency: the window writes only the "install_to_system" marks, before it starts the
// worker. During a run the worker reads the records decoded once (PackageConfig::Records),
// places the items on its own copy of them and writes that back once under ConfigLock();
// the window reads the configuration during a run only through DeinstallerSize(), which
// takes the same lock.

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/CollisionPolicy.h"
#include "engine/InstallRun.h"
#include "engine/Journal.h"
#include "engine/ProgressReporter.h"
#include "engine/RunScope.h"
#include "engine/RunTransaction.h"
#include "files/InstallerSignature.h"
#include "files/LibAppResource.h"
#include "lib/LibString.h"
#include "lib/LibThread.h"
#include "lib/Result.h"
#include "package/PackageConfig.h"
#include "platform/app/Messenger.h"
#include "platform/storage/Entry.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "platform/storage/Volume.h"

class EngineTexts;

class SpaceNeeds;
class xLocalize;
struct FrontendRequest;

// Results of Action(), sent to the window as "status" of 'LThC'.
enum {
    // The run is over: the installation completed, or the user stopped it at a
    // requirements question. The window quits (restarting first when asked for).
    kInstallFinished = 0,
    // The destination folder could not be opened or the installation folder not created.
    kInstallNoFolder = 1,
    // The run was stopped from outside before it ended (no notice is sent then).
    kInstallStopped = 2,
    // A disk-space requirement was not met.
    kInstallNoDiskSpace = 3,
    // The run went to its end, but some items could not be extracted, placed or linked;
    // the user has been told which. The window lets the user try again.
    kInstallIncomplete = 4,
    // The installer file is damaged or incomplete; nothing was written. The user has been
    // told to download it again.
    kInstallDamaged = 5
};

// Verdicts of CheckSystemResources().
enum { kRequirementsMet = 1, kRequirementsNoDiskSpace = 2, kRequirementsStop = 3 };

// The list of what the run installed, kept for the deinstaller in its record file
// (InstalledRecord.h; deinstallers of earlier versions carried it as this resource): a
// message with "install_folder", "path" (every tagged entry, a folder before its
// contents), "link" + "link_target" (the tagged links and where they point), "saved" +
// "saved_from" (entries moved into the saved files folder and their places),
// "created_folder" (folders the run made outside the installation folder, outer ones
// first), "created_entry" (files the installer made for itself as it started, such as its
// document type's record), "created_file" (start-up files the run made), "script_file" +
// "script_tag" (the blocks it added), "hook_entry" + "hook_entry_for" (the autostart entry
// it made, and the script it runs), and "hook_block" + "hook_block_tag" + "hook_block_for"
// (the profile block it added that reads a script).
constexpr int32 kInstalledResourceId = 2003;
constexpr const char* kInstalledResourceName = "TWC:installed";

class InstallConfig : public PackageConfig, public LibThread {
public:
    InstallConfig();
    ~InstallConfig() override;

    // The run, on the worker thread; one of the results above.
    int32 Action() override;
    status_t Go(const char* name, std::optional<BMessenger> messenger, const int32& priority = 10,
                const bool& wait = false) override;
    // The thread's state, then every install file record.
    void PrintToStream() const override;

    // Formats a status text (at most 99 bytes, cut at a character boundary) and sends it as
    // 'isud' to the messenger given to Go, and to the status listener when there is one.
    void UpdateStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Receives every status text on the worker thread (non-window front-ends).
    void SetStatusListener(std::function<void(const char*)> listener);
    // Receives the run's progress in bytes (non-window front-ends); the window gets
    // kInstallProgressMessage instead.
    void SetProgressListener(std::function<void(int64 done, int64 total)> listener);

    // The destination folder chosen by the user; the installation folder
    // ("opt_created_folder") is created inside it.
    void SetDestination(const entry_ref& ref);
    bool SetDestinationPath(const char* path);
    const entry_ref& Destination() const { return fDestination; }
    const std::string& DestinationPath() const { return fDestinationPath; }
    // Destination folder + "opt_created_folder".
    std::string InstallationFolderPath() const;

    // The installer file whose payloads are installed; the running program when not set.
    void SetInstallerPath(const char* path);

    // Whether the installation folder already exists.
    bool DoesDestinationExist();
    // Resolves a custom or standard folder name to a folder path (see the .cpp). An
    // unknown name gives an empty result.
    void GetNewPath(const char* name, BMessage& customFolders, BVolume& volume,
                    const char* savedFiles, LibString& result);
    // Recorded size of the first record whose "file_name" has this leaf; 0 when none.
    int32 GetFileSize(const char* leaf);

    int CheckSystemResources();

    // Decides a collision at `folder` for the entry at `item`; true when the entry may be
    // placed. The two switches belong to the kind of entry (items or links). When the
    // existing entry could not be saved, renamed or removed, the failure is recorded and
    // `failed` (when given) set: the entry must not be placed, though nobody declined it.
    bool ReplaceControl(const char* folder, const BPath& item, const char* mode, bool& ask,
                        bool& answer, const BPath& savedFiles, bool* failed = nullptr);

    void OpenLog(const char* path);
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void CloseLog();

    // Tags the entry (and everything inside a folder) with "InstallBy" = identity.
    void AddDeinstallTag(const char* path, const char* identity);

    // The StartUp block for the boot script.
    void BuildStartupString(const char* folder, LibString& out);

    // Offers to start the installed items marked "auto_launch".
    void AutoLaunch();

    bool RestartRequested() const { return fRun->restart; }
    // "TWC:deinstaller_size"; safe to call while a run goes on.
    int32 DeinstallerSize();
    std::mutex& ConfigLock() { return fConfigLock; }

    // Asks a running installation to stop at its next safe point, as the Stop button does,
    // but from any thread and without dismissing a question the run is asking; the run then
    // offers to undo itself (a signal in the terminal front-ends).
    void RequestStop() { fStopAsked.store(true); }
    // A run that did not complete and whose undo-or-keep decision is still open: the window
    // stopped the worker, and asks the user itself once the worker has ended.
    bool HasUnsettledRun() const { return fTransaction.Unsettled(); }
    // The undo-or-keep question ("on_failure" in an answers file), in the run's language.
    FrontendRequest UndoOrKeepRequest();
    // Who signed the installer, as the last integrity check found.
    const SignatureReport& Signature() const { return fSignature; }
    // Ends an unsettled run: undoes everything it did, or keeps it (the deinstaller then
    // lists what was placed). Tells the user what could not be undone.
    void SettleRun(bool undo);

    // What the last run did, for front-ends and tests.
    int32 LastResult() const { return fLastResult; }
    const std::vector<std::string>& TaggedPaths() const { return fRun->ledger.tagged; }
    const std::vector<std::string>& Failures() const { return fRun->report.Failures(); }

    // The product identity "app_name;version;release_date;company;support_email;".
    std::string IdentityString() const;
    // The deinstaller's file name: app_name + " " + version + " Deinstaller".
    std::string DeinstallerName() const;

private:
    // Makes the run's state anew and runs.
    int32 Run();
    // Places item `index` and writes where it went into `records`.
    bool InstallItem(int32 index, InstallRecords& records, LibAppResource& resources);
    void PlaceLink(const std::string& leaf, const std::string& itemPath,
                   const InstallRecords::Item& item);
    // Whether everything the run writes fits on each volume that receives some of it, in
    // InstallSpaceCheck.cpp; when not, the user has been told with the not-enough-space
    // alert.
    bool RoomOnEveryVolume(EngineTexts& texts, const std::string& requires_);
    void PlanRoom(SpaceNeeds& needs);
    // The folder a destination or link name resolves to, as GetNewPath finds it but
    // without making or replacing anything; `replaces` tells whether the first item to go
    // there replaces an existing folder. Empty for an unknown name.
    std::string FolderNamed(const std::string& name, const BMessage& customFolders,
                            bool& replaces) const;
    void WriteLogHeader(xLocalize& localize, const std::string& volumeName, int64 freeBytes);
    // Before the first write: the container and every resource the run reads (the
    // configuration, the deinstaller record, the texts, the selected items' payloads)
    // match their checksums. Otherwise the user is told and false comes back.
    bool InstallerIsWhole();
    // Makes the default destination's missing folders when the run goes there.
    void MakeDefaultDestination();
    // The run ends before its journal began: the empty default-destination folders made
    // for it go again, the innermost first.
    void TakeBackFoldersMadeBefore();
    // The product is installed in the same place signed by someone else, and the user did
    // not allow the change (SignerRecord.h); nothing has been written.
    bool SignerChangeRefused(EngineTexts& texts);
    void PlaceDeinstaller(LibAppResource& resources);
    void BuildDeinstallerConfiguration(BMessage& out) const;
    void WriteInstalledRecord();
    // Opens the installation folder the run has just made, for InstallFolderSwapped.
    void HoldInstallFolder();
    // Whether something else now stands under the installation folder's name (another
    // folder, or a link to one): then the run places nothing more and fails, once saying so.
    bool InstallFolderSwapped();
    // The path by which the run reaches `path`: an entry right inside the installation
    // folder or Saved Files is reached through the folder the run made (/proc/self/fd), so
    // that nothing goes through a name swapped since. RunPath turns such a path back.
    std::string Through(const std::string& path) const;
    std::string RunPath(const std::string& path) const;
    // Menu entries and icons of the installed programs, and the deinstaller's menu entry.
    void PlaceDesktopEntries();
    // Libmkdir that remembers every folder it had to make, for the deinstaller.
    bool MakeFolder(const std::string& path);
    // Takes over from the deinstaller of an earlier installation of the product in the
    // same place the folders and files it had made, so that this run's deinstaller
    // removes them too.
    void InheritEarlierRecord(const std::string& deinstaller);
    // The places a run of this package can change (engine/RunScope.h), in
    // InstallRunScope.cpp.
    RunScope ScopeOfRun() const;
    // Tells that the journal or record at `path` is set aside: in the user's language on
    // standard error, in the log and as an error of the front-end, with `detail` (English)
    // in the log.
    void ReportSetAside(const std::string& path, const std::string& stranger,
                        const std::string& detail);

public:
    // The missing folders of the default destination, outer ones first: a run into it makes
    // them as it begins (taking them back when it ends before its journal does), and its
    // undo or its deinstaller removes them when they are left empty.
    void NoteFoldersMadeBeforeRun(const std::vector<std::string>& folders);
    // What the installer records for itself in the home folder (its document type's
    // record) is made only when a run begins, after its journal names it, so that a run
    // that ends before, its undo and its deinstaller leave the home folder as it was.
    // `plan` tells what `make` would create (folders, outer ones first, then the record).
    void SetStartRecord(std::function<std::vector<std::string>()> plan,
                        std::function<void()> make) {
        fPlanStartRecord = std::move(plan);
        fMakeStartRecord = std::move(make);
    }

private:
    // The journal of the run (see Journal.h), in InstallRunJournal.cpp. Each Note... writes
    // the change down before it is made; false means the journal could not be written and
    // the change must not be made (the failure is recorded).
    bool BeginTransaction(EngineTexts& texts);
    void RecoverEarlierRun(EngineTexts& texts);
    bool NoteChange(const JournalRecord& record);
    // A change the journal could not name: to standard error and the list of failures.
    void ReportJournalFailure(const std::string& path);
    // Notes the device and inode of a folder the run made or works in.
    void NoteFolderIdentity(const std::string& folder);
    bool NoteNewEntry(const std::string& path);
    // Notes every missing level of `path`, outer ones first.
    bool NoteNewFolders(const std::string& path);
    bool NoteMoved(const std::string& from, const std::string& to);
    // Moves an existing entry out of the way in its own folder instead of removing it, so
    // that an undo can put it back; it goes for good when the run is settled.
    bool RemoveExisting(const std::string& path);
    // Keeps the former state of a file about to be edited in place (or notes that it did
    // not exist).
    bool KeepBeforeEdit(const std::string& path);
    // Moves the entry into the Trash, journalled; gives its place there, or why it stayed.
    Result<std::string> TrashExisting(const std::string& path);
    // The entries an earlier installation in the same folder saved, which went to the Trash
    // with it, move into this run's "Saved Files" (or are left in the Trash when this run
    // saves nothing), and this run's deinstaller restores them: those of the places this
    // run placed something again, and only those.
    void AdoptEarlierSaved(const std::string& trashedFolder);
    bool CommitRun(); // false when what was placed could not be made durable
    void EndRun(int32 result);

    void CreateStartupHook();
    void EditScripts();
    void EditUserScript(directory_which folder, const char* file, const char* tag,
                        const char* contents);
    void CompletionDialog(xLocalize& localize);
    void AskRestart(const std::string& text, EngineTexts& texts);
    void SetItemDates(LibAppResource::ExtractOptions& options, const BMessage& record);
    // Moves an item placed in the installation folder to its destination, named in the
    // journal first.
    Result<void> MoveItem(const std::string& from, const std::string& to);
    // Reports the items written on other threads that failed, once they are all done.
    void ReportLateFailures(LibAppResource& resources);
    void Failure(const std::string& leaf, const std::string& reason);
    // Deletes the entry in an item's way with all its contents; false, with the failure
    // recorded, when it is still there or reaches into another file system.
    bool RemoveInTheWay(const std::string& leaf, const std::string& existing);
    // The path and reason behind an alert whose words are fixed: to the log, standard
    // error and the front-end (the transcript's "error" event).
    void ReportDetail(const std::string& detail);
    std::string NowText() const;
    std::unique_ptr<LibAppResource> OpenInstallerResources();
    // The catalogue of the installer being installed from.
    std::unique_ptr<xLocalize> MakeLocalize() const;
    // The catalogue to speak in: the front-end's, else the installer's own, made into own.
    xLocalize& Localize(std::unique_ptr<xLocalize>& own) const;
    bool StoppedHere();
    // Progress in bytes: the plan of the run, then reports that never go back.
    void StartProgress();
    // Reports the bytes of an entry `size` planned bytes long as ExtractEntry reads it,
    // after what the run has handled.
    void FollowExtraction(LibAppResource& resources, int64 size);

    entry_ref fDestination;
    std::string fDestinationPath;
    std::string fInstallerPath;

    std::mutex fConfigLock;
    ProgressReporter fProgress;

    // The state of the current run, or of the last one when none is running.
    std::unique_ptr<InstallRun> fRun = std::make_unique<InstallRun>();
    SignatureReport fSignature;
    int32 fLastResult = kInstallFinished;
    std::vector<std::string> fDefaultDestinationToMake;
    std::function<std::vector<std::string>()> fPlanStartRecord;
    std::function<void()> fMakeStartRecord;
    // The catalogue a run keeps from its start to its end.
    xLocalize* fLocalize = nullptr;

    // The lock and journal of the current run; of the last one while its undo-or-keep
    // decision is open.
    RunTransaction fTransaction;
    std::atomic<bool> fStopAsked{false};
};

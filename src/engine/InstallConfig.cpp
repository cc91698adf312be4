#include "engine/InstallConfig.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "engine/EngineTexts.h"
#include "engine/FolderResolver.h"
#include "engine/InstallPaths.h"
#include "engine/LibStdDirName.h"
#include "engine/LibSysInfo.h"
#include "engine/ProcessLauncher.h"
#include "engine/RequirementMath.h"
#include "engine/ScriptBlockEditor.h"
#include "engine/StartupScript.h"
#include "engine/UserBootHooks.h"
#include "files/InstallerIntegrity.h"
#include "files/LibAppResource.h"
#include "files/LibFileOps.h"
#include "files/LibNode.h"
#include "frontend/LibAlert.h"
#include "lib/ByteText.h"
#include "lib/MessageFields.h"
#include "locale/xLocalize.h"
#include "platform/interface/Frontend.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"

InstallConfig::InstallConfig() = default;

InstallConfig::~InstallConfig() {
    // The run uses this object's members: it must be over before they go.
    KillAndWait();
    CloseLog();
}

status_t InstallConfig::Go(const char* name, std::optional<BMessenger> messenger,
                           const int32& priority, const bool& wait) {
    fStopAsked.store(false);
    fProgress.SetTarget(messenger ? &*messenger : nullptr);
    return LibThread::Go(name, std::move(messenger), priority, wait);
}

void InstallConfig::PrintToStream() const {
    LibThread::PrintToStream();
    PrintInstallFiles();
}

void InstallConfig::SetStatusListener(std::function<void(const char*)> listener) {
    fProgress.SetStatusListener(std::move(listener));
}

void InstallConfig::SetProgressListener(std::function<void(int64, int64)> listener) {
    fProgress.SetProgressListener(std::move(listener));
}

void InstallConfig::StartProgress() {
    int64 total = 0;
    std::shared_ptr<const InstallRecords> records = Records();
    for (int32 i = 0; i < records->Count(); i++) {
        const InstallRecords::Item* item = records->At(i);
        if (item->selected && item->size > 0)
            total += item->size;
    }
    if (IncludeDeinstaller())
        total += std::max<int32>(DeinstallerSize(), 0);
    fProgress.Start(total);
}

void InstallConfig::FollowExtraction(LibAppResource& resources, int64 size) {
    resources.SetExtractProgress(fProgress.FollowerFor(size));
}

void InstallConfig::UpdateStatus(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fProgress.Status(format, args);
    va_end(args);
}

// #pragma mark - destination

void InstallConfig::SetDestination(const entry_ref& ref) {
    fDestination = ref;
    LibString path;
    if (LibGetFullPath(ref, path))
        fDestinationPath = static_cast<const char*>(path);
    else
        fDestinationPath = ref.path();
}

bool InstallConfig::SetDestinationPath(const char* path) {
    if (path == nullptr || path[0] == '\0')
        return false;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return false;
    fDestinationPath = absolute.lexically_normal().string();
    if (fDestinationPath.size() > 1 && fDestinationPath.back() == '/')
        fDestinationPath.pop_back();
    entry_ref ref;
    if (get_ref_for_path(fDestinationPath.c_str(), &ref) == B_OK)
        fDestination = ref;
    return true;
}

void InstallConfig::SetInstallerPath(const char* path) {
    fInstallerPath = path != nullptr ? path : "";
}

std::string InstallConfig::InstallationFolderPath() const {
    const char* name = StringValue("opt_created_folder");
    if (!InstallPaths::IsPlainName(name) || fDestinationPath.empty())
        return "";
    return InstallPaths::Join(fDestinationPath, name);
}

bool InstallConfig::DoesDestinationExist() {
    std::string folder = InstallationFolderPath();
    return !folder.empty() && LibExists(folder.c_str());
}

// Custom folders, like standard ones, lie in the system's places whatever volume the
// destination is on: a manual below another disk's mount point is one `man` never finds.
// The volume stays in the signature for the callers; only the installation folder
// follows the chosen volume.
void InstallConfig::GetNewPath(const char* name, BMessage& customFolders, BVolume& /*volume*/,
                               const char* savedFiles, LibString& result) {
    result = "";
    fRun->folderProblem.clear();
    if (name == nullptr)
        return;
    std::optional<ResolvedFolder> resolved = FolderResolver(customFolders).Resolve(name);
    if (!resolved)
        return;
    if (resolved->custom) {
        const std::string& path = resolved->path;
        // Only a folder below the standard folder is ever cleared, never the standard
        // folder itself (a definition without a sub folder names the root).
        if (resolved->replaceAsked && InstallPaths::EntryExists(path)) {
            // A mounted file system is never emptied; a folder that stays where it is
            // cannot be the new one: its items are reported as not placed.
            if (InstallPaths::HoldsMountPoint(path)) {
                fRun->folderProblem =
                    "the folder " + path + " holds a mounted file system and is not replaced";
                fRun->report.Notice("The folder " + path +
                                    " holds a mounted file system and is not replaced");
                return;
            }
            std::string why;
            if (BoolValue("opt_save_replaced") && savedFiles != nullptr && savedFiles[0] != 0) {
                std::string target = InstallPaths::FreeName(savedFiles, InstallPaths::Leaf(path));
                std::string lost;
                if (NoteMoved(path, target) &&
                    LibMoveKeepingAll(path.c_str(), target.c_str(), &lost) &&
                    InstallPaths::EntryExists(target))
                    fRun->ledger.saved.push_back({target, path});
                else if (!lost.empty())
                    why = " (the volume of " + std::string(savedFiles) +
                          " cannot keep it: " + lost + ")";
            } else {
                RemoveExisting(path);
            }
            fRun->replacedPlaces.insert(path);
            if (InstallPaths::EntryExists(path)) {
                fRun->folderProblem = "the folder " + path + " could not be replaced" + why;
                fRun->report.Notice("The folder " + path + " could not be replaced");
                return;
            }
        }
        if (!InstallPaths::EntryExists(path))
            MakeFolder(path);
        // The place is cleared once per run: later items go into what is there now.
        BMessage definition;
        if (customFolders.FindMessage("custom_folder", resolved->index, &definition) == B_OK &&
            IsTrue(definition, "custom_replace_existing")) {
            definition.ReplaceBool("custom_replace_existing", false);
            customFolders.ReplaceMessage("custom_folder", resolved->index, &definition);
        }
    }
    result = resolved->path.c_str();
}

int32 InstallConfig::GetFileSize(const char* leaf) {
    BMessage record;
    if (!GetInstallFile(FindInstallFile(leaf), record))
        return 0;
    int32 size = 0;
    record.FindInt32("file_size", &size);
    return size;
}

int32 InstallConfig::DeinstallerSize() {
    std::lock_guard<std::mutex> lock(fConfigLock);
    return Int32Value("TWC:deinstaller_size");
}

std::string InstallConfig::IdentityString() const {
    std::string identity;
    for (const char* key : {"app_name", "version", "release_date", "company", "support_email"}) {
        identity += StringValue(key);
        identity += ";";
    }
    return identity;
}

std::string InstallConfig::DeinstallerName() const {
    std::string name =
        std::string(StringValue("app_name")) + " " + StringValue("version") + " Deinstaller";
    return InstallPaths::SafeLeaf(name);
}

// #pragma mark - requirements

std::unique_ptr<xLocalize> InstallConfig::MakeLocalize() const {
    if (fInstallerPath.empty())
        return std::make_unique<xLocalize>();
    return std::make_unique<xLocalize>(fInstallerPath.c_str());
}

xLocalize& InstallConfig::Localize(std::unique_ptr<xLocalize>& own) const {
    if (fLocalize != nullptr)
        return *fLocalize;
    own = MakeLocalize();
    return *own;
}

// #pragma mark - log and deinstall records

void InstallConfig::OpenLog(const char* path) {
    fRun->report.CloseLog();
    if (path != nullptr && BoolValue("opt_log"))
        fRun->report.OpenLog(path);
}

void InstallConfig::Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fRun->report.Log(format, args);
    va_end(args);
}

void InstallConfig::CloseLog() {
    fRun->report.CloseLog();
}

void InstallConfig::AddDeinstallTag(const char* path, const char* identity) {
    if (path == nullptr || identity == nullptr)
        return;
    struct stat info;
    if (lstat(path, &info) != 0)
        return;
    fRun->ledger.tagged.push_back(path);
    // A symbolic link cannot carry attributes here, and opening it would tag what it
    // points to, which may lie anywhere; it is recorded in the deinstaller's list only.
    if (S_ISLNK(info.st_mode))
        return;
    {
        LibNode node(path);
        if (node.InitCheck() != B_OK)
            return;
        node.RemoveAttr("InstallBy");
        node.WriteStringAttr("InstallBy", identity);
    }
    if (!S_ISDIR(info.st_mode))
        return;
    for (const std::string& child : InstallPaths::ListFolder(path))
        AddDeinstallTag(child.c_str(), identity);
}

void InstallConfig::BuildStartupString(const char* folder, LibString& out) {
    out = StartupBlockText(folder, StringValue("support_email")).c_str();
}

// #pragma mark - the run

bool InstallConfig::StoppedHere() {
    return StopRequested() || fStopAsked.load();
}

void InstallConfig::Failure(const std::string& leaf, const std::string& reason) {
    fRun->report.ItemFailed(leaf, reason);
}

void InstallConfig::ReportDetail(const std::string& detail) {
    fRun->report.Detail(detail);
}

std::unique_ptr<LibAppResource> InstallConfig::OpenInstallerResources() {
    // The payloads are only read; the running installer never rewrites its own file.
    if (fInstallerPath.empty())
        return std::make_unique<LibAppResource>(uint32(B_READ_ONLY));
    return std::make_unique<LibAppResource>(fInstallerPath.c_str(), uint32(B_READ_ONLY));
}

int32 InstallConfig::Action() {
    std::unique_ptr<xLocalize> localize = MakeLocalize();
    fLocalize = localize.get();
    fLastResult = Run();
    CloseLog();
    EndRun(fLastResult);
    fLocalize = nullptr;
    return fLastResult;
}

int32 InstallConfig::Run() {
    xLocalize& localize = *fLocalize;
    EngineTexts texts(localize);
    // Nothing of an earlier run is carried into this one.
    fRun = std::make_unique<InstallRun>();
    fRun->language = localize.Language();

    UpdateStatus("%s", texts.Get(1032).c_str());

    if (!InstallerIsWhole())
        return kInstallDamaged;
    int verdict = CheckSystemResources();
    if (verdict == kRequirementsNoDiskSpace)
        return kInstallNoDiskSpace;
    if (verdict == kRequirementsStop)
        return kInstallFinished;
    if (StoppedHere())
        return kInstallStopped;
    if (SignerChangeRefused(texts)) {
        TakeBackFoldersMadeBefore();
        return kInstallFinished;
    }

    // The default destination is made when a run goes there, right before its journal
    // names it; a run that ends before its journal begins takes it back.
    MakeDefaultDestination();
    struct TakeBackUnlessJournalled {
        InstallConfig& engine;
        ~TakeBackUnlessJournalled() {
            if (!engine.fRun->journalled)
                engine.TakeBackFoldersMadeBefore();
        }
    } takeBack{*this};

    struct stat destination;
    errno = 0;
    if (fDestinationPath.empty() || stat(fDestinationPath.c_str(), &destination) != 0 ||
        !S_ISDIR(destination.st_mode)) {
        int error = errno;
        std::string reason = fDestinationPath.empty() ? "no destination folder was chosen"
                             : !InstallPaths::EntryExists(fDestinationPath)
                                 ? std::strerror(error != 0 ? error : ENOENT)
                                 : "it is not a folder";
        ReportDetail("Failure to find selected installation folder '" + fDestinationPath +
                     "': " + reason);
        LibError("%s", texts.Get(1040).c_str());
        return kInstallNoFolder;
    }
    fRun->volume.SetTo(destination.st_dev);
    std::string volumeName = InstallPaths::VolumeName(fDestinationPath);
    fRun->identity = IdentityString();

    // The installation folder must be a plain name inside the destination: an empty
    // name, "..", or one with a "/" would make the run move the destination itself (or
    // a folder above it) to the Trash.
    const char* createdName = StringValue("opt_created_folder");
    fRun->installFolder = InstallationFolderPath();
    if (fRun->installFolder.empty()) {
        ReportDetail(std::string("Unable to create installation folder '") + createdName +
                     "': the package names no plain folder name");
        LibError("%s", texts.Format(1041, createdName).c_str());
        return kInstallNoFolder;
    }
    if (!BeginTransaction(texts)) {
        if (StoppedHere())
            return kInstallStopped;
        LibError("%s", texts.Format(1041, createdName).c_str());
        return kInstallNoFolder;
    }
    std::string trashedFolder;
    std::string notTrashed; // why an earlier folder of that name stayed
    if (InstallPaths::EntryExists(fRun->installFolder)) {
        InheritEarlierRecord(InstallPaths::Join(fRun->installFolder, DeinstallerName()));
        Result<std::string> trashed = TrashExisting(fRun->installFolder);
        if (trashed)
            trashedFolder = trashed.Value();
        else
            notTrashed = trashed.Error().Text();
    }
    errno = 0;
    if (!NoteNewFolders(fRun->installFolder) || !Libmkdir(fRun->installFolder.c_str()) ||
        !InstallPaths::IsFolder(fRun->installFolder)) {
        int error = errno;
        std::string reason =
            !notTrashed.empty()
                ? "an entry of that name is in the way and could not be moved to the Trash (" +
                      notTrashed + ")"
            : InstallPaths::EntryExists(fRun->installFolder)
                ? "an entry of that name is in the way and could not be moved to the Trash"
            : error != 0 ? std::strerror(error)
                         : "it could not be made";
        ReportDetail("Unable to create installation folder '" + fRun->installFolder +
                     "': " + reason);
        LibError("%s", texts.Format(1041, createdName).c_str());
        return kInstallNoFolder;
    }
    NoteFolderIdentity(fRun->installFolder);
    HoldInstallFolder();
    if (BoolValue("opt_save_replaced")) {
        fRun->savedFiles = InstallPaths::Join(fRun->installFolder, "Saved Files");
        if (NoteNewFolders(fRun->savedFiles) && Libmkdir(fRun->savedFiles.c_str())) {
            NoteFolderIdentity(fRun->savedFiles);
            if (fRun->savedFilesFd >= 0)
                close(fRun->savedFilesFd);
            fRun->savedFilesFd =
                open(fRun->savedFiles.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
    }

    std::string logPath = InstallPaths::Join(fRun->installFolder, "Log");
    if (NoteNewEntry(logPath))
        OpenLog(logPath.c_str());
    WriteLogHeader(localize, volumeName, InstallPaths::FreeBytes(fDestinationPath));

    std::unique_ptr<LibAppResource> resources = OpenInstallerResources();
    StartProgress();
    if (IncludeDeinstaller()) {
        UpdateStatus("%s", texts.Get(1033).c_str());
        int64 size = std::max<int32>(DeinstallerSize(), 0);
        FollowExtraction(*resources, size);
        PlaceDeinstaller(*resources);
        resources->SetExtractProgress(nullptr);
        fProgress.Handled(size);
    }
    // Without its deinstaller nothing the run placed could be taken away again: the run
    // places nothing more and ends incomplete, which offers to undo it.
    bool placeItems = !IncludeDeinstaller() || !fRun->deinstallerPath.empty();
    FindMessage("custom_folder", &fRun->customFolders);

    if (placeItems && BoolValue("opt_create_startup"))
        CreateStartupHook();

    // The run's own copy of the records: where each item went is written into it, and it
    // goes back into the configuration once, after the last item.
    InstallRecords records = TakeRecords();
    for (int32 i = 0; i < records.Count(); i++) {
        if (records.At(i)->selected)
            fRun->total++;
    }
    fRun->itemStatusFormat = texts.CheckedFormat(1036);
    for (int32 i = 0; placeItems && i < records.Count(); i++) {
        if (StoppedHere()) {
            ReportLateFailures(*resources);
            return kInstallStopped;
        }
        if (InstallFolderSwapped())
            break;
        InstallItem(i, records, *resources);
    }
    ReportLateFailures(*resources);
    {
        std::lock_guard<std::mutex> lock(fConfigLock);
        StoreRecords(std::move(records));
    }
    if (StoppedHere())
        return kInstallStopped;

    if (placeItems && !InstallFolderSwapped()) {
        PlaceDesktopEntries();
        EditScripts();
    }
    AdoptEarlierSaved(trashedFolder);
    WriteInstalledRecord();
    if (!fRun->report.HasFailures())
        CommitRun();
    if (placeItems && !InstallFolderSwapped())
        AutoLaunch();

    // Everything the run set out to place has been handled.
    fProgress.Finish();
    Log("\tInstallation Complete: %s\n", NowText().c_str());
    CloseLog();
    if (!InstallFolderSwapped() && InstallPaths::EntryExists(logPath))
        LibSetMimeType(logPath.c_str(), "text/plain");
    UpdateStatus("%s", texts.Get(1037).c_str());

    CompletionDialog(localize);
    return fRun->report.HasFailures() ? kInstallIncomplete : kInstallFinished;
}

bool InstallConfig::InstallItem(int32 index, InstallRecords& records, LibAppResource& resources) {
    const InstallRecords::Item* found = records.At(index);
    if (found == nullptr)
        return false;
    if (!found->selected)
        return true;
    // A copy: writing the item's new place into the records below changes them.
    const InstallRecords::Item item = *found;

    const std::string& leaf = item.leaf;
    Log("\t\tInstalling : %s\n", leaf.c_str());
    fRun->ordinal++;
    UpdateStatus(fRun->itemStatusFormat.c_str(), int(fRun->ordinal), int(fRun->total),
                 leaf.c_str());
    if (!InstallPaths::IsPlainName(leaf.c_str())) {
        Failure(leaf, "the package gives it no usable name");
        fRun->failedItems.insert(index);
        return true;
    }
    std::string path = InstallPaths::Join(fRun->installFolder, leaf);

    // The deinstaller's tag is written on each file and folder as it is unpacked, in the
    // same pass as its data.
    bool deinstallable = item.deinstallable;
    LibAppResource::ExtractOptions options;
    if (deinstallable)
        options.attributes.push_back({"InstallBy", B_STRING_TYPE, fRun->identity});
    // The journal names each item before it is written, so an item can be written where
    // it belongs: a stopped run's half-written item goes with the rest of the run.
    options.inPlace = fTransaction.IsOpen();
    if (!NoteNewEntry(path)) {
        fRun->failedItems.insert(index);
        return true;
    }
    int32 size = item.size;
    // However the item ends, its bytes count as handled when the next one starts.
    struct ItemProgress {
        ProgressReporter& progress;
        LibAppResource& resources;
        int64 size;
        ~ItemProgress() {
            resources.SetExtractProgress(nullptr);
            progress.Handled(size);
        }
    } itemProgress{fProgress, resources, std::max<int64>(size, 0)};
    FollowExtraction(resources, itemProgress.size);
    BMessage record;
    records.Record(index, record);
    SetItemDates(options, record);
    // An item that stays where it is unpacked, with no link to it, is not read again by
    // this run: a small one may be written while the next items are unpacked. Any other
    // item waits until those are done.
    const std::string& destination = item.destination;
    const std::string& link = item.link;
    if (destination == config_value::kUserSelected && (link.empty() || link == config_value::kNone))
        options.mayFinishLater = true;
    else
        ReportLateFailures(resources);
    // Unpacked into the folder the run made, whatever its name leads to by now.
    std::string into = Through(path);
    Result<LibAppResource::Extracted> extracted =
        resources.ExtractEntry(kFirstPayloadResourceId + index, into.c_str(), std::move(options));
    if (InstallFolderSwapped()) {
        fRun->failedItems.insert(index);
        return true;
    }
    if (!extracted || *extracted == LibAppResource::Extracted::NoSuchPayload) {
        std::string reason = extracted
                                 ? std::string("the package holds no data for it")
                                 : "it could not be extracted (" + extracted.Error().reason + ")";
        Failure(leaf, reason);
        fRun->failedItems.insert(index);
        return true;
    }

    if (destination != config_value::kUserSelected) {
        LibString folderText;
        GetNewPath(destination.c_str(), fRun->customFolders, fRun->volume, fRun->savedFiles.c_str(),
                   folderText);
        std::string folder = static_cast<const char*>(folderText);
        std::string target = InstallPaths::Join(folder, leaf);
        bool failed = false; // an entry in the way stayed: reported, nobody declined
        if (folder.empty()) {
            Failure(leaf, !fRun->folderProblem.empty()
                              ? fRun->folderProblem
                              : "its destination '" + destination + "' is no known folder");
        } else if (InstallPaths::SameEntry(target, path)) {
            // Already where it belongs.
        } else if (ReplaceControl(folder.c_str(), BPath(path.c_str()),
                                  item.destinationExists.c_str(), fRun->itemSwitches.ask,
                                  fRun->itemSwitches.answer, BPath(fRun->savedFiles.c_str()),
                                  &failed)) {
            bool saveReplaced = BoolValue("opt_save_replaced");
            bool cleared = true;
            if (!saveReplaced && InstallPaths::EntryExists(target) &&
                (InstallPaths::IsFolder(path) || InstallPaths::IsFolder(target))) {
                cleared = RemoveInTheWay(leaf, target);
                if (cleared)
                    Log("\t\t\tRemoved existing folder %s\n", target.c_str());
            } else if (InstallPaths::IsFolder(target)) {
                // A folder still in the way would take the item inside it.
                Failure(leaf, "the existing folder " + target + " is still in its way");
                cleared = false;
            }
            if (cleared && !InstallPaths::EntryExists(folder))
                MakeFolder(folder);
            errno = 0;
            if (!cleared) {
                // Reported; the item stays in the installation folder.
            } else if (InstallFolderSwapped()) {
                // Said; what stands under the folder's name now is not the run's.
            } else if (Result<void> moved = MoveItem(Through(path), target);
                       moved && InstallPaths::EntryExists(target) &&
                       !InstallPaths::EntryExists(Through(path))) {
                Log("\t\t\tPlaced in %s\n", folder.c_str());
                path = target;
            } else {
                Failure(leaf, "it could not be moved to " + folder +
                                  (!moved && !moved.Error().reason.empty()
                                       ? " (" + moved.Error().reason + ")"
                                       : std::string()));
            }
        } else if (!failed) {
            Log("\t\t\tUser desired not to place item in %s\n", folder.c_str());
        }
    }

    records.SetFileName(index, path, &record);
    fRun->replacedPlaces.insert(path);

    if (deinstallable) {
        for (const std::string& relative : resources.ExtractedPaths())
            fRun->ledger.tagged.push_back(relative.empty() ? path
                                                           : InstallPaths::Join(path, relative));
    } else {
        Log("\t\t\tThis file will not be removed by the de-installer\n");
    }

    PlaceLink(leaf, path, item);
    return true;
}

void InstallConfig::PlaceLink(const std::string& leaf, const std::string& itemPath,
                              const InstallRecords::Item& item) {
    const std::string& link = item.link;
    bool deinstallable = item.deinstallable;
    if (link.empty() || link == config_value::kNone)
        return;

    std::string folder;
    bool userSelected = link == config_value::kUserSelected;
    if (userSelected) {
        folder = fRun->installFolder;
    } else {
        LibString folderText;
        GetNewPath(link.c_str(), fRun->customFolders, fRun->volume, fRun->savedFiles.c_str(),
                   folderText);
        folder = static_cast<const char*>(folderText);
        if (folder.empty()) {
            Failure(leaf, !fRun->folderProblem.empty()
                              ? fRun->folderProblem
                              : "its link folder '" + link + "' is no known folder");
            return;
        }
    }
    std::string linkPath = InstallPaths::Join(folder, leaf);
    // A link in the item's own place would replace the item: the item is kept, without a
    // question, so without the line that tells of a user's answer.
    if (InstallPaths::SameEntry(linkPath, itemPath))
        return;
    bool failed = false;
    bool allowed = userSelected ||
                   ReplaceControl(folder.c_str(), BPath(itemPath.c_str()), item.linkExists.c_str(),
                                  fRun->linkSwitches.ask, fRun->linkSwitches.answer,
                                  BPath(fRun->savedFiles.c_str()), &failed);
    if (!allowed) {
        if (!failed)
            Log("\t\t\tUser desired not to place a link in %s\n", folder.c_str());
        return;
    }
    if (!InstallPaths::EntryExists(folder))
        MakeFolder(folder);
    errno = 0;
    if (!NoteNewEntry(linkPath) || !LibSymLink(itemPath.c_str(), linkPath.c_str()) ||
        !InstallPaths::IsLink(linkPath)) {
        Failure(leaf,
                "its link could not be placed in " + folder +
                    (errno != 0 ? std::string(" (") + std::strerror(errno) + ")" : std::string()));
        return;
    }
    // Only the new link is given its type; the folder's other entries are left alone.
    Libmimeset(linkPath.c_str());
    Log("\t\t\tPlaced a link in %s\n", folder.c_str());
    if (deinstallable) {
        AddDeinstallTag(linkPath.c_str(), fRun->identity.c_str());
        fRun->ledger.links.push_back({linkPath, itemPath});
        fRun->replacedPlaces.insert(linkPath);
    } else {
        Log("\t\t\tThis link will not be removed by the de-installer\n");
    }
}

Result<void> InstallConfig::MoveItem(const std::string& from, const std::string& to) {
    errno = 0;
    if (!NoteNewEntry(to))
        return Failure::Because("cannot move", from, errno != 0 ? std::strerror(errno) : "").To(to);
    return LibMoveEntry(from.c_str(), to.c_str());
}

void InstallConfig::ReportLateFailures(LibAppResource& resources) {
    for (const LibAppResource::LateFailure& late : resources.FinishExtractions()) {
        std::string destination = RunPath(late.failure.path);
        Failure(InstallPaths::Leaf(destination),
                "it could not be extracted (" + late.failure.reason + ")");
        fRun->failedItems.insert(late.id - kFirstPayloadResourceId);
        // Its own entry is the last of that path: an earlier item of the same name stays.
        auto own = std::find(fRun->ledger.tagged.rbegin(), fRun->ledger.tagged.rend(), destination);
        if (own != fRun->ledger.tagged.rend())
            fRun->ledger.tagged.erase(std::next(own).base());
    }
}

void InstallConfig::SetItemDates(LibAppResource::ExtractOptions& options, const BMessage& record) {
    // Set as the item is written: a later call per item would resolve its whole path
    // again, which a run of thousands of items pays for. Linux keeps no settable creation
    // time, so the record's file_creation has nowhere to go.
    int64 seconds = 0;
    if (record.FindInt64("file_accessed", &seconds) == B_OK)
        options.accessed = seconds;
    if (record.FindInt64("file_modified", &seconds) == B_OK)
        options.modified = seconds;
}

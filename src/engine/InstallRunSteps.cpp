// The steps of InstallConfig that surround the items: the log header, the deinstaller and
// its records, the StartUp hook and the script edits, the launch offer and the completion
// message.

#include <cstring>
#include <fcntl.h>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/DamagedInstaller.h"
#include "engine/EngineTexts.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "engine/InstalledRecord.h"
#include "engine/LibSysInfo.h"
#include "engine/ProcessLauncher.h"
#include "engine/RequirementMath.h"
#include "engine/ScriptBlockEditor.h"
#include "engine/SignerRecord.h"
#include "engine/UserBootHooks.h"
#include "files/InstallerIntegrity.h"
#include "files/LibAppResource.h"
#include "files/LibFileOps.h"
#include "files/LibNode.h"
#include "files/OwnFile.h"
#include "files/ProgramRole.h"
#include "frontend/LibAlert.h"
#include "lib/ByteText.h"
#include "lib/LibDateTime.h"
#include "lib/LibLocaleDate.h"
#include "lib/LibLocaleTime.h"
#include "locale/xLocalize.h"
#include "platform/interface/Frontend.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/storage/MimeType.h"
#include "platform/storage/NodeInfo.h"
#include "platform/support/Errors.h"

namespace {

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

const char* kElfType = "application/x-vnd.Be-elfexecutable";
const char* kDefaultEditor = "application/x-vnd.Be-STEE";

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

bool HasElfMagic(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char magic[4] = {};
    bool elf = read(fd, magic, 4) == 4 && std::memcmp(magic, "\177ELF", 4) == 0;
    close(fd);
    return elf;
}

std::string StoredType(const char* path) {
    BNode node(path);
    if (node.InitCheck() != B_OK)
        return "";
    BNodeInfo info(&node);
    char type[B_MIME_TYPE_LENGTH] = "";
    if (info.GetType(type) != B_OK)
        return "";
    return type;
}

} // namespace

std::string InstallConfig::NowText() const {
    LibDateTime now(true);
    LibLocaleDate dateFormat;
    LibLocaleTime timeFormat;
    timeFormat.SetShowSeconds(true);
    LibString date = dateFormat.Format(now);
    LibString time = timeFormat.Format(now);
    return std::string(static_cast<const char*>(date)) + " " + static_cast<const char*>(time);
}

void InstallConfig::WriteLogHeader(xLocalize& localize, const std::string& volumeName,
                                   int64 freeBytes) {
    if (!fRun->report.HasLog())
        return;
    EngineTexts texts(localize);
    Log("\nAPPLICATION\n");
    Log("\tApplication : %s\n", StringValue("app_name"));
    Log("\tVersion : %s\n", StringValue("version"));
    Log("\tRelease Date : %s\n", StringValue("release_date"));
    Log("\tCompany : %s\n", StringValue("company"));
    Log("\tSupport Email : %s\n", StringValue("support_email"));

    Log("\nABOUT THIS SYSTEM\n");
    LibSysInfo info;
    Log("\t%s\n", info.DescriptionText().c_str());
    Log("\tFree Disk Space : %s\n", ByteText(uint64(freeBytes < 0 ? 0 : freeBytes)).c_str());

    Log("\nINSTALLER REQUIREMENTS\n");
    bool diskNeeded = BoolValue("req_disk_space_needed");
    Log("\tDisk Space Needed: %s\n", YesNo(diskNeeded));
    if (diskNeeded) {
        BMessage amount;
        double value = 0;
        if (FindMessage("req_disk_space_amount", &amount) == B_OK)
            amount.FindDouble("value", &value);
        Log("\t\tDisk spaced %s: %s\n",
            texts.Get(BoolValue("req_disk_space_required") ? 1025 : 1026).c_str(),
            ByteText(RequirementMath::DiskMinimum(value)).c_str());
    }
    bool ramNeeded = BoolValue("req_ram_needed");
    Log("\tPhysical RAM Needed: %s\n", YesNo(ramNeeded));
    if (ramNeeded) {
        Log("\t\tRAM %s: %d MB\n", texts.Get(BoolValue("req_ram_required") ? 1025 : 1026).c_str(),
            int(Int32Value("req_ram_amount")));
    }
    Log("\tBoot Volume Only: %s\n", YesNo(BoolValue("req_boot_vol_only")));
    Log("\tRemovable Volume Allowed: %s\n", YesNo(BoolValue("req_removable_vol_ok")));
    Log("\tShared Volume Allowed: %s\n", YesNo(BoolValue("req_shared_vol_ok")));
    Log("\tShared Libraries:\n");
    Log("\tDependent Applications:\n");

    Log("\nINSTALLATION\n\tOn volume %s.\n\tIn folder %s.\n", volumeName.c_str(),
        fRun->installFolder.c_str());
    if (BoolValue("opt_save_replaced"))
        Log("\tReplaced files moved to %s\n", fRun->savedFiles.c_str());
    Log("\n");
    Log("\tInstallation Started: %s\n", NowText().c_str());
}

// #pragma mark - deinstaller

void InstallConfig::BuildDeinstallerConfiguration(BMessage& out) const {
    out.MakeEmpty();
    out.what = 0;
    for (const char* key : {"app_name", "version", "release_date", "company", "support_email"})
        out.AddString(key, StringValue(key));
    BMessage image;
    if (FindMessage("about_image", &image) == B_OK)
        out.AddMessage("about_image", &image);
    const char* edits[][2] = {{"edit_bootscript", "edit_bootscript_tag"},
                              {"edit_setup_env", "edit_setup_env_tag"},
                              {"edit_profile", "edit_profile_tag"}};
    for (auto& edit : edits) {
        bool on = BoolValue(edit[0]);
        out.AddBool(edit[0], on);
        if (on)
            out.AddString(edit[1], StringValue(edit[1]));
    }
    // The deinstaller believes no record that names anything outside these places.
    ScopeOfRun().AddTo(out);
}

bool InstallConfig::InstallerIsWhole() {
    std::string path = fInstallerPath.empty() ? RunningProgramPath() : fInstallerPath;
    // Payloads of items left out are not read; ids past the records belong to none.
    std::shared_ptr<const InstallRecords> records = Records();
    auto wanted = [&records](type_code type, int32 id) {
        if (!IsPayloadResource(type, id))
            return true;
        const InstallRecords::Item* item = records->At(id - kFirstPayloadResourceId);
        return item == nullptr || item->selected;
    };
    std::vector<RequiredResource> required = {
        {kConfigurationResourceType, kConfigurationResourceId, "the configuration"}};
    if (IncludeDeinstaller())
        required.push_back(
            {kDeinstallerResourceType, kDeinstallerResourceId, "the deinstaller record"});
    IntegrityReport report = CheckInstallerFile(path.c_str(), wanted, required);
    fSignature = report.signature;
    if (report.Sound() && IncludeDeinstaller()) {
        LibAppResource resources(path.c_str(), uint32(B_READ_ONLY));
        size_t size = 0;
        const void* bytes =
            resources.LoadResource(kDeinstallerResourceType, kDeinstallerResourceId, &size);
        if (bytes == nullptr ||
            std::string_view(static_cast<const char*>(bytes), size) != kDeinstallerRecord) {
            report.verdict = Integrity::kDamaged;
            report.reason = "the deinstaller record is not one this program understands";
        }
    }
    if (report.Sound())
        return true;
    ReportDamagedInstaller(*fLocalize, path, report);
    return false;
}

void InstallConfig::PlaceDeinstaller(LibAppResource& resources) {
    std::string path = InstallPaths::Join(fRun->installFolder, DeinstallerName());
    size_t size = 0;
    const void* record =
        resources.LoadResource(kDeinstallerResourceType, kDeinstallerResourceId, &size);
    if (record == nullptr ||
        std::string_view(static_cast<const char*>(record), size) != kDeinstallerRecord) {
        Failure(DeinstallerName(), "the installer carries no usable deinstaller record");
        return;
    }

    // The deinstaller is this program's own image with the deinstaller's resources,
    // written whole under a temporary name and renamed, so it is never seen half-made.
    BMessage configuration;
    BuildDeinstallerConfiguration(configuration);
    std::vector<NewResource> parts = {
        {kRoleResourceType, kRoleResourceId, kRoleResourceName, std::string(kDeinstallerRole)},
        {kConfigurationResourceType, kConfigurationResourceId, kConfigurationResourceName,
         configuration.Flatten()},
    };
    // The same program image as ours: the signature over it goes along, and the
    // deinstaller checks itself with it.
    if (fSignature.Signed())
        parts.push_back({kSignatureResourceType, kSignatureResourceId, kSignatureResourceName,
                         std::string(fSignature.block.begin(), fSignature.block.end())});
    if (!NoteNewEntry(path))
        return;
    const char* program = resources.FilePath();
    int image = program != nullptr ? open(program, O_RDONLY | O_CLOEXEC) : -1;
    status_t status = image < 0 ? B_ENTRY_NOT_FOUND
                                : write_program_file(path.c_str(), image,
                                                     resources.ContainerStart(), parts, 0755);
    if (image >= 0)
        close(image);
    if (status != B_OK) {
        Failure(DeinstallerName(), std::string("the deinstaller could not be written (") +
                                       strerror_status(status) + ")");
        return;
    }
    fRun->deinstallerPath = path;
    LibNode node(path.c_str());
    node.WriteStringAttr("language", fRun->language.c_str());
}

void InstallConfig::WriteInstalledRecord() {
    // The record would go beside whatever now stands under the folder's name.
    if (fRun->deinstallerPath.empty() || InstallFolderSwapped() ||
        !InstallPaths::EntryExists(fRun->deinstallerPath))
        return;
    // Besides what the run made, its deinstaller removes what the earlier installation in
    // this place made, and what was made for this run before it began.
    RunLedger listed = fRun->ledger;
    listed.createdFolders = fRun->inherited.createdFolders;
    Append(listed.createdFolders, fRun->foldersMadeBefore);
    listed.createdEntries = fRun->inherited.createdEntries;
    for (const std::string& entry : fRun->entriesMadeAtStart) {
        struct stat st;
        if (lstat(entry.c_str(), &st) == 0)
            (S_ISDIR(st.st_mode) ? listed.createdFolders : listed.createdEntries).push_back(entry);
    }
    Append(listed.createdFolders, fRun->ledger.createdFolders);
    listed.createdFiles = fRun->inherited.createdFiles;
    Append(listed.createdFiles, fRun->ledger.createdFiles);
    BMessage installed;
    installed.AddString("install_folder", fRun->installFolder.c_str());
    listed.AddTo(installed);
    // The folders the deinstaller will work in, as they are now.
    auto noteIdentity = [&](const std::string& folder) {
        struct stat st;
        if (!folder.empty() && lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            installed.AddString("folder_identity", InstalledRecord::FolderIdentity(
                                                       folder, uint64(st.st_dev), uint64(st.st_ino))
                                                       .c_str());
    };
    noteIdentity(fRun->installFolder);
    noteIdentity(fRun->savedFiles);
    for (const std::string& folder : fRun->ledger.createdFolders)
        noteIdentity(folder);
    // A saved original goes back only into the folder it was taken from, not into whatever
    // is found under that folder's name then.
    std::set<std::string> savedFrom;
    for (const RunLedger::PathPair& saved : fRun->ledger.saved) {
        std::string folder = InstallPaths::Parent(saved.second);
        if (savedFrom.insert(folder).second)
            noteIdentity(folder);
    }
    SignerRecord::Add(installed, fSignature);
    // The list goes into a small file of its own beside the deinstaller: rewriting the
    // program to carry it would need the program's size a second time on the volume.
    std::string record = InstalledRecord::PathFor(fRun->deinstallerPath);
    if (!InstallPaths::EntryExists(record) && !NoteNewEntry(record))
        return;
    std::string error;
    if (!InstalledRecord::Write(fRun->deinstallerPath, installed, error))
        Failure(DeinstallerName(),
                "the deinstaller could not be given the list of what was installed (" + error +
                    ")");
}

void InstallConfig::InheritEarlierRecord(const std::string& deinstaller) {
    if (!InstallPaths::EntryExists(deinstaller))
        return;
    // The earlier deinstaller and its record are believed only when this user wrote them
    // and nobody else can have changed them since.
    ownfile::Verdict verdict = ownfile::Verdict::Missing;
    int fd = ownfile::Open(deinstaller, O_RDONLY, verdict);
    if (fd < 0) {
        if (verdict != ownfile::Verdict::Missing)
            ReportSetAside(deinstaller, "", ownfile::Describe(verdict, deinstaller));
        return;
    }
    close(fd);
    LibAppResource earlier(deinstaller.c_str(), uint32(B_READ_ONLY));
    if (!earlier.IsAttached())
        return;
    size_t size = 0;
    const void* bytes =
        earlier.LoadResource(kConfigurationResourceType, kConfigurationResourceId, &size);
    BMessage configuration;
    if (bytes == nullptr || configuration.Unflatten(static_cast<const char*>(bytes), size) != B_OK)
        return;
    // Only what the same product made: every value of its identity agrees.
    for (const char* key : {"app_name", "version", "release_date", "company", "support_email"}) {
        const char* value = nullptr;
        if (configuration.FindString(key, &value) != B_OK || value == nullptr ||
            std::strcmp(value, StringValue(key)) != 0)
            return;
    }
    BMessage installed;
    std::string error;
    std::string record = InstalledRecord::PathFor(deinstaller);
    bool notOwn = false;
    if (!InstalledRecord::Read(deinstaller, installed, error, &notOwn)) {
        if (notOwn)
            ReportSetAside(record, "", error);
        return;
    }
    // A record naming anything a run of this package cannot have made is not taken over,
    // not even in part.
    if (std::string stranger = ScopeOfRun().FirstStranger(installed); !stranger.empty()) {
        ReportSetAside(record, stranger, "the record " + record + " names " + stranger);
        return;
    }
    // Only what is still there, and saved entries named by plain paths, are taken over.
    RunLedger made = RunLedger::From(installed);
    for (const std::string& folder : made.createdFolders) {
        if (InstallPaths::IsFolder(folder))
            fRun->inherited.createdFolders.push_back(folder);
    }
    for (const std::string& file : made.createdFiles) {
        if (InstallPaths::EntryExists(file))
            fRun->inherited.createdFiles.push_back(file);
    }
    for (const std::string& entry : made.createdEntries) {
        if (InstallPaths::EntryExists(entry))
            fRun->inherited.createdEntries.push_back(entry);
    }
    for (const RunLedger::PathPair& saved : made.saved) {
        if (IsPlainAbsolutePath(saved.first) && IsPlainAbsolutePath(saved.second))
            fRun->inherited.saved.push_back(saved);
    }
}

void InstallConfig::HoldInstallFolder() {
    for (int* held : {&fRun->installFolderFd, &fRun->savedFilesFd}) {
        if (*held >= 0)
            close(*held);
        *held = -1;
    }
    fRun->installFolderSwapped = false;
    fRun->installFolderFd =
        open(fRun->installFolder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // Without /proc the items are unpacked by the folder's path, and checked after each.
    fRun->unpackThroughHeldFolder =
        fRun->installFolderFd >= 0 && access("/proc/self/fd", X_OK) == 0;
}

bool InstallConfig::InstallFolderSwapped() {
    if (fRun->installFolderSwapped)
        return true;
    if (fRun->installFolderFd < 0)
        return false;
    struct stat held;
    struct stat now;
    int fd = open(fRun->installFolder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool same = fd >= 0 && fstat(fd, &now) == 0 && fstat(fRun->installFolderFd, &held) == 0 &&
                now.st_dev == held.st_dev && now.st_ino == held.st_ino;
    if (fd >= 0)
        close(fd);
    if (same)
        return false;
    fRun->installFolderSwapped = true;
    Failure(InstallPaths::Leaf(fRun->installFolder),
            "the installation folder " + fRun->installFolder +
                " was moved or replaced by another folder or a link during the run; nothing "
                "more is placed, and what lies behind its name now is left alone");
    return true;
}

std::string InstallConfig::Through(const std::string& path) const {
    if (!fRun->unpackThroughHeldFolder)
        return path;
    std::string folder = InstallPaths::Parent(path);
    int held = folder == fRun->installFolder ? fRun->installFolderFd
               : folder == fRun->savedFiles  ? fRun->savedFilesFd
                                             : -1;
    if (held < 0)
        return path;
    return "/proc/self/fd/" + std::to_string(held) + "/" + InstallPaths::Leaf(path);
}

std::string InstallConfig::RunPath(const std::string& path) const {
    for (const auto& [held, folder] :
         {std::pair<int, const std::string*>{fRun->installFolderFd, &fRun->installFolder},
          {fRun->savedFilesFd, &fRun->savedFiles}}) {
        std::string prefix = "/proc/self/fd/" + std::to_string(held) + "/";
        if (held >= 0 && path.compare(0, prefix.size(), prefix) == 0)
            return *folder + "/" + path.substr(prefix.size());
    }
    return path;
}

void InstallConfig::AdoptEarlierSaved(const std::string& trashedFolder) {
    // Saved Files lie in the installation folder, which is no longer the run's.
    if (InstallFolderSwapped())
        return;
    std::string prefix = fRun->installFolder + "/";
    for (const RunLedger::PathPair& saved : fRun->inherited.saved) {
        // Only what lay in the earlier installation folder went to the Trash with it.
        if (saved.first.compare(0, prefix.size(), prefix) != 0 || trashedFolder.empty() ||
            fRun->replacedPlaces.count(saved.second) == 0)
            continue;
        std::string inTrash = trashedFolder + "/" + saved.first.substr(prefix.size());
        if (!InstallPaths::EntryExists(inTrash))
            continue;
        if (fRun->savedFiles.empty() || !InstallPaths::IsFolder(fRun->savedFiles)) {
            fRun->ledger.saved.push_back({inTrash, saved.second});
            continue;
        }
        std::string target =
            InstallPaths::FreeName(fRun->savedFiles.c_str(), InstallPaths::Leaf(saved.first));
        if (NoteMoved(inTrash, target) && LibMoveAsIs(inTrash.c_str(), target.c_str()) &&
            InstallPaths::EntryExists(target))
            fRun->ledger.saved.push_back({target, saved.second});
    }
}

bool InstallConfig::SignerChangeRefused(EngineTexts& texts) {
    std::string folder = InstallationFolderPath();
    if (folder.empty() || !InstallPaths::EntryExists(folder))
        return false;
    std::optional<RecordedSigner> earlier = SignerRecord::Earlier(
        InstallPaths::Join(folder, DeinstallerName()), StringValue("app_name"));
    if (!earlier || !SignerRecord::ChangeNeedsConsent(*earlier, fSignature))
        return false;
    std::string current = fSignature.Signed() ? fSignature.SignerText() : texts.Get(1308);
    ReportDetail("The installed product was signed by " + earlier->Text() +
                 "; this installer is signed by " + current);
    FrontendRequest request;
    request.text =
        texts.Format(1307, StringValue("app_name"), earlier->Text().c_str(), current.c_str());
    request.buttons = {texts.Get(1015), texts.Get(1309)};
    // Return and Escape both cancel: a change of maker is allowed only on purpose.
    request.shortcuts = {B_ESCAPE, 0};
    request.defaultButton = 0;
    request.icon = FrontendIcon::Warning;
    request.answerKey = "signer_change";
    request.answerValues = {"cancel", "allow"};
    return AskFrontend(request).button != 1;
}

void InstallConfig::TakeBackFoldersMadeBefore() {
    for (auto folder = fRun->foldersMadeBefore.rbegin(); folder != fRun->foldersMadeBefore.rend();
         ++folder)
        rmdir(folder->c_str());
    fRun->foldersMadeBefore.clear();
}

void InstallConfig::NoteFoldersMadeBeforeRun(const std::vector<std::string>& folders) {
    fDefaultDestinationToMake = folders;
}

void InstallConfig::MakeDefaultDestination() {
    if (fDefaultDestinationToMake.empty() || fDefaultDestinationToMake.back() != fDestinationPath)
        return;
    for (const std::string& folder : fDefaultDestinationToMake) {
        if (InstallPaths::EntryExists(folder))
            continue;
        if (mkdir(folder.c_str(), 0755) != 0)
            return;
        fRun->foldersMadeBefore.push_back(folder);
    }
}

bool InstallConfig::MakeFolder(const std::string& path) {
    // The deinstaller takes away what the run made, and only that: each missing level is
    // remembered, the outer ones first.
    std::vector<std::string> missing;
    for (std::string level = path;
         !level.empty() && level != "/" && !InstallPaths::EntryExists(level);
         level = InstallPaths::Parent(level))
        missing.push_back(level);
    if (!NoteNewFolders(path))
        return false;
    bool made = Libmkdir(path.c_str());
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        if (InstallPaths::IsFolder(*level)) {
            fRun->ledger.createdFolders.push_back(*level);
            NoteFolderIdentity(*level);
        }
    }
    return made;
}

// #pragma mark - scripts

void InstallConfig::CreateStartupHook() {
    LibString folder;
    GetNewPath("StartUp", fRun->customFolders, fRun->volume, fRun->savedFiles.c_str(), folder);
    if (folder.Length() == 0) {
        // Without a custom folder of that name there is no folder to run at start-up.
        fRun->report.Warning("The package defines no StartUp folder; no StartUp block added");
        return;
    }
    Log("\tCreating StartUp folder in %s.\n", static_cast<const char*>(folder));
    LibString block;
    BuildStartupString(folder, block);
    EditUserScript(B_USER_BOOT_DIRECTORY, "UserBootscript", "StartUpFolder", block);
}

void InstallConfig::EditUserScript(directory_which which, const char* file, const char* tag,
                                   const char* contents) {
    // An empty tag would match every block of the file.
    if (tag == nullptr || tag[0] == '\0') {
        fRun->report.Warning(std::string("No tag for the block in ") + file +
                             "; the file is left as it is");
        return;
    }
    BPath folder;
    if (find_directory(which, &folder, false, nullptr) != B_OK)
        return;
    if (!InstallPaths::EntryExists(folder.Path()))
        MakeFolder(folder.Path());
    std::string path = InstallPaths::Join(folder.Path(), file);
    bool existed = InstallPaths::EntryExists(path);

    // The file keeps the editor the user chose for it.
    char editor[B_MIME_TYPE_LENGTH] = "";
    {
        BNode node(path.c_str());
        BNodeInfo info(&node);
        if (node.InitCheck() != B_OK || info.GetPreferredApp(editor) != B_OK) {
            BMimeType text("text/plain");
            if (text.GetPreferredApp(editor) != B_OK)
                std::strcpy(editor, kDefaultEditor);
        }
        if (editor[0] == '\0')
            std::strcpy(editor, kDefaultEditor);
    }

    // An undo puts the file back as it was, with its ".orig" copy and the editor's own
    // temporary file.
    if (!KeepBeforeEdit(path) || !KeepBeforeEdit(path + ".orig") || !KeepBeforeEdit(path + ".tmp"))
        return;
    bool added = ScriptBlockEditor::Edit(path, tag, contents);
    LibSetFileType(path.c_str(), "text/plain", editor);
    if (!existed && InstallPaths::EntryExists(path))
        fRun->ledger.createdFiles.push_back(path);
    if (!added)
        return;
    fRun->ledger.scriptEdits.push_back({path, tag});

    if (which == B_USER_BOOT_DIRECTORY && std::strcmp(file, "UserBootscript") == 0) {
        std::string entry = UserBootHooks::AutostartEntryPath();
        if (!InstallPaths::EntryExists(entry)) {
            MakeFolder(InstallPaths::Parent(entry));
            if (NoteNewEntry(entry) && KeepBeforeEdit(entry + ".tmp") &&
                UserBootHooks::EnsureBootscriptAutostart(path))
                fRun->ledger.hookEntries.push_back({entry, path});
        }
    } else if (which == B_USER_BOOT_DIRECTORY && std::strcmp(file, "UserSetupEnvironment") == 0) {
        BPath home;
        if (find_directory(B_USER_DIRECTORY, &home, false, nullptr) == B_OK) {
            std::string profile = InstallPaths::Join(home.Path(), ".profile");
            bool profileExisted = InstallPaths::EntryExists(profile);
            if (!ScriptBlockEditor::HasBlock(profile, UserBootHooks::ProfileHookTag()) &&
                KeepBeforeEdit(profile) && KeepBeforeEdit(profile + ".orig") &&
                KeepBeforeEdit(profile + ".tmp") &&
                UserBootHooks::EnsureSetupEnvironmentSourced(profile, path)) {
                fRun->ledger.hookBlocks.push_back({profile, UserBootHooks::ProfileHookTag(), path});
                if (!profileExisted)
                    fRun->ledger.createdFiles.push_back(profile);
            }
        }
    }
}

void InstallConfig::EditScripts() {
    // An edit without contents only takes out the package's old block.
    if (BoolValue("edit_bootscript")) {
        Log("\tAdded script tab %s to /boot/home/config/boot/UserBootscript\n",
            StringValue("edit_bootscript_tag"));
        EditUserScript(B_USER_BOOT_DIRECTORY, "UserBootscript", StringValue("edit_bootscript_tag"),
                       StringValueOrNull("edit_bootscript_contents"));
    }
    if (BoolValue("edit_setup_env")) {
        Log("\tAdded script tab %s to /boot/home/config/boot/UserSetupEnvironment\n",
            StringValue("edit_setup_env_tag"));
        EditUserScript(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment",
                       StringValue("edit_setup_env_tag"),
                       StringValueOrNull("edit_setup_env_contents"));
    }
    if (BoolValue("edit_profile")) {
        Log("\tAdded script tab %s to /boot/home/.profile\n", StringValue("edit_profile_tag"));
        EditUserScript(B_USER_DIRECTORY, ".profile", StringValue("edit_profile_tag"),
                       StringValueOrNull("edit_profile_contents"));
    }
}

// #pragma mark - launch and completion

void InstallConfig::AutoLaunch() {
    std::unique_ptr<xLocalize> own;
    EngineTexts texts(Localize(own));
    bool question = false;
    std::shared_ptr<const InstallRecords> records = Records();
    for (int32 i = 0; i < records->Count(); i++) {
        const InstallRecords::Item& item = *records->At(i);
        // An item that was not installed is not started.
        if (!item.selected || !item.autoLaunch || fRun->failedItems.count(i) != 0)
            continue;
        if (StoppedHere())
            return;

        BMessage meta;
        records->Meta(i, meta);
        const std::string& path = item.fileName;
        std::string text = texts.Get(1034) + path + texts.Get(1035);
        const char* reason = nullptr;
        if (meta.FindString("auto_launch_reason", &reason) == B_OK && reason != nullptr &&
            reason[0] != '\0') {
            text += "\n\n";
            text += reason;
            question = true;
        }
        if (question) {
            FrontendRequest request;
            request.text = text;
            request.buttons = {texts.Get(1018), texts.Get(1019)};
            request.shortcuts = {0, 0};
            request.icon = FrontendIcon::Info;
            if (AskFrontend(request).button != 1)
                continue;
        }

        std::string type = StoredType(path.c_str());
        std::string folder = InstallPaths::Parent(path);
        bool program = type == kElfType || (type.empty() && HasElfMagic(path.c_str()));
        if (program) {
            if (ProcessLauncher::Run({path}, folder, false) != B_OK)
                LibError("%s", texts.Format(1039, InstallPaths::Leaf(path).c_str()).c_str());
        } else {
            // A script runs from its own folder, and to its end before the run goes on.
            ProcessLauncher::Run({"/bin/sh", path}, folder, true);
        }
    }
}

void InstallConfig::AskRestart(const std::string& text, EngineTexts& texts) {
    FrontendRequest request;
    request.text = text;
    request.buttons = {texts.Get(1029), texts.Get(1030)};
    request.shortcuts = {0, 0};
    request.icon = FrontendIcon::Info;
    if (AskFrontend(request).button == 1)
        fRun->restart = true;
}

void InstallConfig::CompletionDialog(xLocalize& localize) {
    EngineTexts texts(localize);
    if (fRun->report.HasFailures()) {
        // What could not be installed is told instead of a message of success: the items
        // by name; why each failed is in the log and on standard error.
        std::string message = texts.Get(1240) + "\n";
        for (const std::string& leaf : fRun->report.FailedLeaves())
            message += "\n" + leaf;
        if (BoolValue("opt_log"))
            message += "\n\n" + texts.Format(1241, fRun->installFolder.c_str());
        LibWarning("%s", message.c_str());
        if (BoolValue("complete_restart")) {
            // What was placed may still need the restart to take effect.
            std::string question = texts.Get(1042);
            question.erase(0, question.find_first_not_of('\n'));
            AskRestart(question, texts);
        }
    } else {
        std::string message = texts.Get(1038);
        const char* comments = StringValue("complete_comments");
        if (comments[0] != '\0') {
            message += "\n\n";
            message += comments;
        }
        if (BoolValue("complete_restart")) {
            message += texts.Get(1042);
            AskRestart(message, texts);
        } else {
            LibInfo("%s", message.c_str());
        }
    }
    if (BoolValue("complete_display_folder"))
        LibOpenEntry(fRun->installFolder.c_str());
}

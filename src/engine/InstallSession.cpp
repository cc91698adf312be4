#include "engine/InstallSession.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "engine/DamagedInstaller.h"
#include "engine/EngineTexts.h"
#include "engine/LibShutdown.h"
#include "engine/LibStdDirName.h"
#include "frontend/LibAlert.h"
#include "locale/xLocalize.h"
#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/interface/Frontend.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "platform/storage/Resources.h"

namespace {

const std::string kNothing;

std::vector<std::string> SplitGroups(const char* text) {
    std::vector<std::string> names;
    std::string current;
    for (const char* p = text; p != nullptr && *p != '\0'; p++) {
        if (*p == ';') {
            names.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty())
        names.push_back(current);
    return names;
}

xLocalize LocalizeFor(const std::string& installer) {
    return installer.empty() ? xLocalize() : xLocalize(installer.c_str());
}

} // namespace

InstallSession::InstallSession() = default;

InstallSession::~InstallSession() {
    fEngine.KillAndWait();
}

bool InstallSession::Load(const char* installerPath) {
    // A download cut short or damaged is not the vendor's fault: the user is told to
    // download it again, before anything is made (the default destination below). The
    // payloads are checked when a run knows which it places.
    std::string path = installerPath != nullptr ? installerPath : RunningProgramPath();
    IntegrityReport report = CheckInstallerFile(
        path.c_str(), [](type_code type, int32 id) { return !IsPayloadResource(type, id); }, {},
        ImageCheck::kChecked);
    fDamaged = report.Broken();
    fSignature = report.signature;
    if (fDamaged) {
        xLocalize localize = LocalizeFor(installerPath != nullptr ? installerPath : "");
        ReportDamagedInstaller(localize, path, report);
        return false;
    }
    bool loaded;
    if (installerPath == nullptr) {
        loaded = fEngine.LoadConfiguration();
    } else {
        fEngine.SetInstallerPath(installerPath);
        fInstaller = installerPath;
        BFile file(installerPath, B_READ_ONLY);
        BResources resources;
        loaded = file.InitCheck() == B_OK && resources.SetTo(&file) == B_OK &&
                 fEngine.LoadConfiguration(resources);
        if (file.InitCheck() == B_OK && !loaded)
            fEngine.MakeEmpty();
    }
    if (!loaded) {
        LibError("%s", "Error obtaining configuration in installer. The installer was "
                       "improperly built.");
        return false;
    }
    ReadRecords();
    return true;
}

void InstallSession::ReadRecords() {
    fGroups.clear();
    fFiles.clear();
    BMessage groups;
    if (fEngine.FindMessage("groups", &groups) == B_OK) {
        const char* name = nullptr;
        for (int32 i = 0; groups.FindString("group_name", i, &name) == B_OK; i++) {
            const char* description = nullptr;
            if (groups.FindString("group_description", i, &description) != B_OK)
                description = nullptr;
            fGroups.push_back(
                {name != nullptr ? name : "", description != nullptr ? description : ""});
        }
    }
    std::shared_ptr<const InstallRecords> records = fEngine.Records();
    fFiles.reserve(size_t(records->Count()));
    for (int32 i = 0; i < records->Count(); i++) {
        const InstallRecords::Item& item = *records->At(i);
        fFiles.push_back({item.leaf, item.size, SplitGroups(item.groups.c_str())});
    }
    fSelected.assign(fFiles.size(), false);
    fSelectedGroup = -1;
    if (!fGroups.empty())
        SelectGroup(0);
}

std::string InstallSession::License() const {
    return fEngine.StringValue("license");
}

// #pragma mark - destination

void InstallSession::SetDefaultDestination() {
    const char* folder = nullptr;
    if (fEngine.FindString("opt_default_folder", &folder) == B_OK && folder != nullptr) {
        if (std::strcmp(folder, "Current") == 0) {
            char* current = getcwd(nullptr, 0);
            if (current != nullptr) {
                bool set = fEngine.SetDestinationPath(current);
                std::free(current);
                if (set)
                    return;
            }
        } else {
            directory_which which;
            BPath path;
            // A missing standard folder (a fresh account has no applications folder yet) is
            // made by the run that goes there, not by opening the installer.
            if (LibGetStdDirName(folder, which)) {
                std::vector<std::string> missing;
                if (find_directory(which, &path, false, nullptr) == B_OK)
                    for (std::string level = path.Path();
                         level.size() > 1 && access(level.c_str(), F_OK) != 0;
                         level = level.substr(0, level.rfind('/') == 0 ? 1 : level.rfind('/')))
                        missing.insert(missing.begin(), level);
                if (path.Path() != nullptr && fEngine.SetDestinationPath(path.Path())) {
                    fEngine.NoteFoldersMadeBeforeRun(missing);
                    return;
                }
            }
        }
    }
    // The user's home folder.
    BPath home;
    if (find_directory(B_USER_DIRECTORY, &home, false, nullptr) == B_OK &&
        fEngine.SetDestinationPath(home.Path()))
        return;
    const char* variable = std::getenv("HOME");
    fEngine.SetDestinationPath(variable != nullptr ? variable : "/");
}

bool InstallSession::SetDestination(const char* path) {
    return fEngine.SetDestinationPath(path);
}

bool InstallSession::CheckDestinationFolder(bool fromPanel) {
    if (!fEngine.DoesDestinationExist())
        return true;
    xLocalize localize = LocalizeFor(fInstaller);
    EngineTexts texts(localize);
    FrontendRequest request;
    request.text = texts.Get(1013) + fEngine.StringValue("opt_created_folder") + texts.Get(1014);
    request.icon = FrontendIcon::Info;
    if (fromPanel) {
        request.text += texts.Get(1020);
        request.buttons = {texts.Get(1015), texts.Get(1016)};
        request.shortcuts = {0, 0};
        return AskFrontend(request).button == 1;
    }
    request.buttons = {texts.Get(1017)};
    request.shortcuts = {0};
    AskFrontend(request);
    return false;
}

// #pragma mark - selection

const std::string& InstallSession::GroupName(int32 group) const {
    return group >= 0 && group < CountGroups() ? fGroups[group].name : kNothing;
}

const std::string& InstallSession::GroupDescription(int32 group) const {
    return group >= 0 && group < CountGroups() ? fGroups[group].description : kNothing;
}

const std::string& InstallSession::FileLeaf(int32 file) const {
    return file >= 0 && file < CountFiles() ? fFiles[file].leaf : kNothing;
}

int32 InstallSession::FileSize(int32 file) const {
    return file >= 0 && file < CountFiles() ? fFiles[file].size : 0;
}

bool InstallSession::FileInGroup(int32 file, int32 group) const {
    if (file < 0 || file >= CountFiles() || group < 0 || group >= CountGroups())
        return false;
    for (const std::string& name : fFiles[file].groups) {
        if (name == fGroups[group].name)
            return true;
    }
    return false;
}

void InstallSession::SelectGroup(int32 group) {
    if (group < 0 || group >= CountGroups())
        return;
    fSelectedGroup = group;
    for (int32 file = 0; file < CountFiles(); file++)
        fSelected[file] = FileInGroup(file, group);
}

void InstallSession::SetSelected(int32 file, bool selected) {
    if (file >= 0 && file < CountFiles())
        fSelected[file] = selected;
}

bool InstallSession::IsSelected(int32 file) const {
    return file >= 0 && file < CountFiles() && fSelected[file];
}

int32 InstallSession::CountSelected() const {
    int32 count = 0;
    for (bool selected : fSelected)
        count += selected ? 1 : 0;
    return count;
}

int64 InstallSession::SelectedSize() {
    int64 total = fEngine.DeinstallerSize();
    for (int32 file = 0; file < CountFiles(); file++) {
        if (fSelected[file] && fFiles[file].size > 0)
            total += fFiles[file].size;
    }
    return total;
}

// #pragma mark - the run

void InstallSession::MarkSelection() {
    std::lock_guard<std::mutex> lock(fEngine.ConfigLock());
    // One pass over the records: marking them one by one would copy the whole list for
    // every row.
    fEngine.MarkInstallFiles(std::vector<bool>(fSelected.begin(), fSelected.end()));
}

status_t InstallSession::Install(std::optional<BMessenger> target) {
    MarkSelection();
    return fEngine.Go("install", std::move(target), 10, false);
}

int32 InstallSession::InstallAndWait() {
    MarkSelection();
    fEngine.SetStatusListener([](const char* text) {
        if (Frontend* frontend = CurrentFrontend())
            frontend->Status(text);
    });
    fEngine.SetProgressListener([](int64 done, int64 total) {
        if (Frontend* frontend = CurrentFrontend())
            frontend->Progress(done, total);
    });
    fEngine.Go("install", std::nullopt, 10, true);
    fEngine.SetStatusListener(nullptr);
    fEngine.SetProgressListener(nullptr);
    int32 result = fEngine.LastResult();
    ThreadChange(result);
    return result;
}

bool InstallSession::HandleMessage(BMessage* message, bool* ended, bool* quit) {
    if (ended != nullptr)
        *ended = false;
    if (quit != nullptr)
        *quit = false;
    if (message == nullptr)
        return false;
    if (message->what == kInstallStatusMessage) {
        const char* text = nullptr;
        if (message->FindString("message", &text) == B_OK && text != nullptr) {
            if (Frontend* frontend = CurrentFrontend())
                frontend->Status(text);
        }
        return true;
    }
    if (message->what == kInstallProgressMessage) {
        if (Frontend* frontend = CurrentFrontend())
            frontend->Progress(message->GetInt64("done", 0), message->GetInt64("total", 0));
        return true;
    }
    if (message->what == LIB_THREAD_COMPLETE) {
        const char* name = nullptr;
        if (message->FindString("name", &name) != B_OK || name == nullptr ||
            std::strcmp(name, "install") != 0)
            return false;
        int32 status = 0;
        message->FindInt32("status", &status);
        bool shouldQuit = ThreadChange(status);
        if (ended != nullptr)
            *ended = true;
        if (quit != nullptr)
            *quit = shouldQuit;
        return true;
    }
    return false;
}

bool InstallSession::ThreadChange(int32 status) {
    // A damaged installer file can do nothing more: the installer ends.
    if (status == kInstallDamaged)
        return true;
    // A run that placed only part of the items asks for the restart too, when the package
    // wants one: what was placed may need it.
    bool placed = status == kInstallFinished || status == kInstallIncomplete;
    if (placed && fEngine.RestartRequested())
        LibShutdown(true);
    return status == kInstallFinished;
}

bool InstallSession::IsRunning() const {
    int32 state = fEngine.Status();
    return state == 1 || state == 6;
}

bool InstallSession::QuitRunning() {
    if (!IsRunning())
        return false;
    fEngine.Kill();
    xLocalize localize = LocalizeFor(fInstaller);
    EngineTexts texts(localize);
    LibError("%s", texts.Get(1027).c_str());
    // Nothing may still be writing when the installer goes away.
    fEngine.KillAndWait();
    return true;
}

// The places a run of this package can change, for judging what an earlier run left
// (its journal, its deinstaller's record) and for the deinstaller, which keeps them.

#include <cstdio>
#include <memory>

#include "engine/DesktopEntries.h"
#include "engine/EngineTexts.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "engine/LibStdDirName.h"
#include "engine/UserBootHooks.h"
#include "lib/MessageFields.h"
#include "locale/xLocalize.h"
#include "package/PackageConfig.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/MimeType.h"
#include "platform/storage/Path.h"

namespace {

// The installer's own document type: its record is made as the installer starts.
constexpr const char* kInstallerDocumentType = "text/x-tarnw";

std::string StandardFolder(directory_which which) {
    BPath folder;
    if (find_directory(which, &folder, false, nullptr) != B_OK || folder.Path() == nullptr)
        return "";
    return folder.Path();
}

} // namespace

RunScope InstallConfig::ScopeOfRun() const {
    RunScope scope;
    std::string installFolder =
        fRun->installFolder.empty() ? InstallationFolderPath() : fRun->installFolder;
    scope.SetInstallFolder(installFolder);

    BMessage customFolders;
    FindMessage("custom_folder", &customFolders);
    auto addNamed = [&](const std::string& name) {
        if (name.empty() || name == config_value::kUserSelected || name == config_value::kNone)
            return;
        bool replaces = false;
        std::string folder = FolderNamed(name, customFolders, replaces);
        if (!folder.empty())
            scope.AddFolder(folder);
    };
    BMessage definition;
    for (int32 i = 0; customFolders.FindMessage("custom_folder", i, &definition) == B_OK; i++)
        addNamed(StringOf(definition, "custom_folder_name"));
    std::shared_ptr<const InstallRecords> records = Records();
    for (int32 i = 0; i < records->Count(); i++) {
        addNamed(records->At(i)->destination);
        addNamed(records->At(i)->link);
    }
    addNamed("StartUp");

    scope.AddFolder(DesktopEntries::ApplicationsFolder());
    scope.AddFolder(DesktopEntries::IconThemeFolder());
    // A start-up file is edited with its ".orig" copy and the editor's temporary file.
    auto addScript = [&](const std::string& file) {
        scope.AddFile(file);
        scope.AddFile(file + ".orig");
        scope.AddFile(file + ".tmp");
    };
    std::string boot = StandardFolder(B_USER_BOOT_DIRECTORY);
    if (!boot.empty()) {
        addScript(InstallPaths::Join(boot, "UserBootscript"));
        addScript(InstallPaths::Join(boot, "UserSetupEnvironment"));
    }
    std::string home = StandardFolder(B_USER_DIRECTORY);
    if (!home.empty())
        addScript(InstallPaths::Join(home, ".profile"));
    scope.AddFile(UserBootHooks::AutostartEntryPath());
    scope.AddFile(UserBootHooks::AutostartEntryPath() + ".tmp");
    scope.AddFile(BMimeType(kInstallerDocumentType).DatabaseFile());
    // The default destination is made as the installer starts when it is missing, whatever
    // destination the run then takes.
    directory_which defaultFolder;
    const char* defaultName = StringValue("opt_default_folder");
    if (defaultName != nullptr && LibGetStdDirName(defaultName, defaultFolder))
        scope.AddMadeFolder(StandardFolder(defaultFolder));
    for (const std::string& folder : fRun->foldersMadeBefore)
        scope.AddMadeFolder(folder);
    std::string trash = StandardFolder(B_TRASH_DIRECTORY);
    if (!trash.empty())
        scope.SetTrash(trash);
    return scope;
}

void InstallConfig::ReportSetAside(const std::string& path, const std::string& stranger,
                                   const std::string& detail) {
    std::unique_ptr<xLocalize> own;
    EngineTexts texts(Localize(own));
    std::string message = stranger.empty() ? texts.Format(1128, path.c_str())
                                           : texts.Format(1129, path.c_str(), stranger.c_str());
    if (!detail.empty())
        Log("\t%s\n", detail.c_str());
    ReportDetail(message);
}
